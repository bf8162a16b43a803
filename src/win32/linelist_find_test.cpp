#include <gtest/gtest.h>

#include "core/linelist.h"

namespace ixo {
namespace {

TEST(LineListIndexOf, IgnoresLetterCaseByTheUsersLocale) {
  LineList list("C:\\a\r\nD:\\Links\r\n\r\nＡＢＣ\r\nC:\\A\r\n");
  struct Case {
    const char* text;
    int index;
  } cases[] = {
      {"C:\\a", 0},   {"c:\\A", 0},  {"d:\\links", 1}, {"", 2},  {"ＡＢＣ", 3},
      {"ａｂｃ", 3},  // full-width letters fold case among themselves
      {"ABC", -1},    // but are not their half-width forms
      {"C:\\a ", -1}, {"C:", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(list.IndexOf(c.text), c.index) << c.text;
  EXPECT_EQ(LineList().IndexOf("x"), -1);
}

}  // namespace
}  // namespace ixo
