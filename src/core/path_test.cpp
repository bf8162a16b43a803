#include "core/path.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

TEST(FolderOfPath, Table) {
  struct Case {
    std::string path;
    std::string folder;
  };
  const Case cases[] = {
      {"C:\\tools\\Ixo.exe", "C:\\tools\\"},
      {"C:\\表\\Ixo.exe", "C:\\表\\"},
      {"C:\\tools\\表.exe", "C:\\tools\\"},
      {"C:\\ソフト\\表示", "C:\\ソフト\\"},
      {"\\\\server\\share\\a.exe", "\\\\server\\share\\"},
      {"Ixo.exe", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

}  // namespace
}  // namespace ixo
