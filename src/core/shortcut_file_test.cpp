#include "core/shortcut_file.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

// Off: "http:/" or "ftp://" as the first six bytes. The https switch also
// accepts exactly "https://" as the first eight.
TEST(IsShortcutURL, AcceptsItsSchemesByTheirFirstBytes) {
  struct Case {
    const char* url;
    bool accepted, acceptedWithHttps;
  } cases[] = {
      {"http://example.com/", true, true},
      {"ftp://example.com/", true, true},
      {"http:/x", true, true},
      {"http:/", true, true},
      {"https://example.com/", false, true},
      {"https://", false, true},
      {"https:/x", false, false},
      {"https:", false, false},
      {"HTTPS://example.com/", false, false},
      {"Https://example.com/", false, false},
      {" https://a/", false, false},
      {"HTTP://example.com/", false, false},
      {"http:", false, false},
      {"", false, false},
      {" http://a/", false, false},
      {"ftp:/a", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsShortcutURL(c.url, false), c.accepted) << c.url;
    EXPECT_EQ(IsShortcutURL(c.url, true), c.acceptedWithHttps) << c.url << " with https";
  }
}

TEST(ShortcutFileName, FolderBackslashTitleAndExtension) {
  struct Case {
    const char* folder;
    const char* title;
    const char* file;
  } cases[] = {
      {"C:\\x", "a", "C:\\x\\a.URL"},
      // A folder's own backslash is kept; the system reads the two as one.
      {"C:\\x\\", "a", "C:\\x\\\\a.URL"},
      {"C:\\x", "", "C:\\x\\.URL"},
      // 表 and ソ end in the byte of a backslash: nothing is taken for one.
      {"C:\\表", "ソフト 新着", "C:\\表\\ソフト 新着.URL"},
      {"", "a", "\\a.URL"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortcutFileName(c.folder, c.title), c.file) << c.title;
}

TEST(IsRefusedShortcutFileName, DevicesAndNamesLongerThanAnyPath) {
  const std::string folder = "C:\\x\\";
  struct Case {
    std::string file;
    bool refused;
  } cases[] = {
      {"C:\\x\\a.URL", false},
      {"C:\\x\\NUL.URL", true},
      {"C:\\x\\Aux. .URL", true},
      {"C:\\x\\CONOUT$.URL", true},
      {"C:\\x\\lpt9.URL", true},
      {"C:\\x\\NUL.txt.URL", true},
      {"C:\\x\\NULL.URL", false},
      {folder + std::string(kLongestPath - folder.size(), 'a'), false},
      {folder + std::string(kLongestPath - folder.size() + 1, 'a'), true},
      // Wine would cut a name of 64 KB to its first bytes.
      {folder + std::string(65536 - 3, 'a') + ".URL", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsRefusedShortcutFileName(c.file), c.refused) << c.file.substr(0, 40);
  }
}

TEST(ShortcutContent, TheTwoLinesWithTheAddressByteForByte) {
  struct Case {
    std::string url;
    std::string content;
  } cases[] = {
      {"http://example.com/", "[InternetShortcut]\r\nURL=http://example.com/\r\n"},
      {"http://example.com/a?b=1&c=表",
       "[InternetShortcut]\r\nURL=http://example.com/a?b=1&c=表\r\n"},
      // A zero byte does not end the address.
      {std::string("ftp://a\0b", 9), std::string("[InternetShortcut]\r\nURL=ftp://a\0b\r\n", 35)},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortcutContent(c.url), c.content) << c.url;
}

}  // namespace
}  // namespace ixo
