#include "wingui/errorbox.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

TEST(ErrorBoxTextTest, AppendsAFullStopAfterALastByteThatSortsAfterIt) {
  const struct {
    std::string message;
    std::string shown;
  } rows[] = {
      {"", ""},
      {"abc", "abc."},
      {"abc.", "abc."},
      {"a,", "a,"},   // 0x2C
      {"a-", "a-"},   // 0x2D
      {"a/", "a/."},  // 0x2F
      {"a ", "a "},
      {"ファイル C:\\a.URL を作成できません", "ファイル C:\\a.URL を作成できません."},
      {"クリップボードを開くことができません", "クリップボードを開くことができません."},
  };
  for (const auto& row : rows) EXPECT_EQ(ErrorBoxText(row.message), row.shown) << row.message;
}

}  // namespace
}  // namespace ixo
