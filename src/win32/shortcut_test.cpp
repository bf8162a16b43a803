#include "win32/shortcut.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/error.h"
#include "win32/file.h"
#include "win32/wide.h"
#include "win_files.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

// The error MakeURLFile raises for `title` in `folder`, or "" when it saves.
std::string SaveError(const std::string& folder, const std::string& title) {
  try {
    MakeURLFile(folder, {title, "http://b/"});
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

std::string CannotCreateText(const std::string& folder, const std::string& title) {
  return "ファイル " + folder + "\\" + title + ".URL を作成できません";
}

class ShortcutTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string Folder() const { return dir_.path(); }  // no trailing backslash
};

TEST_F(ShortcutTest, WritesExactlyTheTwoLines) {
  ASSERT_TRUE(MakeURLFile(Folder(), {"a", "http://example.com/"}));
  EXPECT_EQ(ReadFileBytes(Folder() + "\\a.URL"),
            "[InternetShortcut]\r\nURL=http://example.com/\r\n");
}

// Which addresses get a file is IsShortcutURL's rule; the https switch is
// handed to it.
TEST_F(ShortcutTest, AnAddressWithoutAShortcutWritesNothing) {
  const std::string file = Folder() + "\\t.URL";
  for (const bool https : {false, true}) {
    SCOPED_TRACE(https ? "with https" : "without https");
    DeleteFileA(file.c_str());
    EXPECT_EQ(MakeURLFile(Folder(), {"t", "https://example.com/"}, https), https);
    EXPECT_EQ(FileExists(file), https);
  }
  DeleteFileA(file.c_str());
  EXPECT_FALSE(MakeURLFile(Folder(), {"t", "mailto:a@example.com"}, true));
  EXPECT_FALSE(FileExists(file));
}

TEST_F(ShortcutTest, JapaneseTitleAndAddressAreWrittenByteForByte) {
  // 表 and ソ end in the byte of a backslash.
  const std::string title = "表ソフト 新着";
  const std::string url = "http://example.com/a?b=1&c=表";
  ASSERT_TRUE(MakeURLFile(Folder(), {title, url}));
  EXPECT_EQ(ReadFileBytes(Folder() + "\\" + title + ".URL"),
            "[InternetShortcut]\r\nURL=" + url + "\r\n");
}

TEST_F(ShortcutTest, ReplacesAnExistingFileAndWritesAgainEveryTime) {
  const std::string file = Folder() + "\\same.URL";
  ASSERT_TRUE(WriteFileBytes(file, std::string(5000, 'x')));
  ASSERT_TRUE(MakeURLFile(Folder(), {"same", "http://a/"}));
  EXPECT_EQ(ReadFileBytes(file), "[InternetShortcut]\r\nURL=http://a/\r\n");
  ASSERT_TRUE(DeleteFileA(file.c_str()));
  ASSERT_TRUE(MakeURLFile(Folder(), {"same", "http://a/"}));
  EXPECT_TRUE(FileExists(file));
}

TEST_F(ShortcutTest, TrailingBackslashGivesADoubledSeparatorThatStillWorks) {
  ASSERT_TRUE(MakeURLFile(Folder() + "\\", {"a", "http://b/"}));
  EXPECT_EQ(ReadFileBytes(Folder() + "\\a.URL"), "[InternetShortcut]\r\nURL=http://b/\r\n");
}

TEST_F(ShortcutTest, MissingFolderOrAFileInsteadOfAFolderWritesNothing) {
  EXPECT_FALSE(MakeURLFile(Folder() + "\\missing", {"a", "http://b/"}));
  const std::string file = Folder() + "\\plain.txt";
  ASSERT_TRUE(WriteFileBytes(file, "x"));
  EXPECT_FALSE(MakeURLFile(file, {"a", "http://b/"}));
  EXPECT_FALSE(FileExists(Folder() + "\\missing\\a.URL"));
}

TEST_F(ShortcutTest, TitleThatCannotBeAFileNameRaisesTheErrorWithTheFileName) {
  for (const std::string title : {"a\tb", "a?b", "a|b", "a<b"}) {
    EXPECT_EQ(SaveError(Folder(), title), CannotCreateText(Folder(), title)) << title;
  }
}

TEST_F(ShortcutTest, DeviceNamesAreRefusedInsteadOfVanishingIntoTheDevice) {
  for (const std::string title : {"NUL", "Aux. "}) {
    EXPECT_EQ(SaveError(Folder(), title), CannotCreateText(Folder(), title)) << title;
  }
}

TEST_F(ShortcutTest, AFailedCloseIsAFailedWriteAndLeavesNoFile) {
  std::string error;
  {
    const test::FailingCloses failing;
    error = SaveError(Folder(), "late");
  }
  EXPECT_EQ(error, CannotCreateText(Folder(), "late"));
  EXPECT_FALSE(FileExists(Folder() + "\\late.URL"));
}

// The names of the files in `folder` but "." and "..", in UTF-16.
std::vector<std::wstring> FileNames(const std::string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((Wide(folder) + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

TEST_F(ShortcutTest, ATitleOfAnyCharactersNamesTheFileWholeAndTheAddressKeepsItsBytes) {
  const std::u16string title = u"Caf\u00E9 \U0001F370 \u2013 \u4E2D\u56FD \uD55C\uAD6D \u8868";
  ASSERT_TRUE(MakeURLFile(Wide(Folder()), {title, u"http://example.com/x\U0001F370y?\u8868"}));
  EXPECT_EQ(FileNames(Folder()), std::vector<std::wstring>{ToWide(title) + L".URL"});
  // What code page 932 cannot hold is percent-encoded UTF-8; 表 keeps its
  // code page 932 bytes, as before.
  const std::wstring file = Wide(Folder()) + L"\\" + ToWide(title) + L".URL";
  File in(
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string content;
  ASSERT_TRUE(in.Valid() && in.ReadAll(content));
  EXPECT_EQ(content, "[InternetShortcut]\r\nURL=http://example.com/x%F0%9F%8D%B0y?\x95\x5C\r\n");
}

// A title too long for a file name is cut to fit, at a character, and the
// shortcut is written: never an error, never a name the system cuts itself
// (Linux keeps 255 bytes of a name and would drop the ".URL").
TEST_F(ShortcutTest, ATitleTooLongForAFileNameIsCutToFit) {
  const size_t prefix = Folder().size() + 1;  // the folder and its backslash
  struct Case {
    const char* what;
    std::u16string title;
    size_t kept;  // characters of the title in the name
  };
  const Case cases[] = {
      {"a paragraph of ASCII", std::u16string(300, u'a'), std::min<size_t>(251, 259 - prefix - 4)},
      {"a page of ASCII", std::u16string(32767, u'a'), std::min<size_t>(251, 259 - prefix - 4)},
      {"beyond 64 KB", std::u16string(65533, u'a'), std::min<size_t>(251, 259 - prefix - 4)},
      // Three bytes of UTF-8 each: 83 of them and ".URL" are 253 bytes.
      {"kana", std::u16string(200, u'\u3042'), 83},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      EXPECT_TRUE(MakeURLFile(Wide(Folder()), {c.title, u"http://b/"}));
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
    const std::wstring name = ToWide(c.title.substr(0, c.kept)) + L".URL";
    EXPECT_EQ(FileNames(Folder()), std::vector<std::wstring>{name});
    DeleteFileW((Wide(Folder()) + L"\\" + name).c_str());
  }
}

TEST_F(ShortcutTest, FolderTestFindsAnEmptyFolderByItsDotEntries) {
  EXPECT_TRUE(FolderExists(Folder()));
  EXPECT_TRUE(FolderExists(Folder() + "\\"));
  EXPECT_FALSE(FolderExists(Folder() + "\\nothing-here"));
}

// A drive root has no "." entry, so it counts only through its visible
// entries. tools/winenv.sh gives the tests drive T:, an empty folder marked
// by a hidden file; elsewhere these tests are skipped.
class DriveRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetFileAttributesA("T:\\.ixo-test-drive") == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << "no test drive T:";
    }
    Clear();
  }
  void TearDown() override { Clear(); }
  static void Clear() {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA("T:\\*", &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == ".." || name == ".ixo-test-drive") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        TempDir::RemoveTree("T:\\" + name);
      } else {
        SetFileAttributesA(("T:\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(("T:\\" + name).c_str());
      }
    } while (FindNextFileA(h, &data));
    FindClose(h);
  }
};

TEST_F(DriveRootTest, RootCountsOnlyThroughVisibleEntries) {
  // Only the hidden marker: the root does not count as a folder.
  EXPECT_FALSE(FolderExists("T:\\"));
  const std::string hidden = "T:\\hidden.txt";
  ASSERT_TRUE(WriteFileBytes(hidden, "x"));
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(CreateDirectoryA("T:\\sys", nullptr));
  ASSERT_TRUE(SetFileAttributesA("T:\\sys", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(FolderExists("T:\\"));
  EXPECT_FALSE(MakeURLFile("T:\\", {"a", "http://b/"}));
  EXPECT_EQ(GetFileAttributesA("T:\\a.URL"), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(CreateDirectoryA("T:\\visible", nullptr));
  EXPECT_TRUE(FolderExists("T:\\"));
  EXPECT_TRUE(FolderExists("T:"));
  ASSERT_TRUE(MakeURLFile("T:\\", {"a", "http://b/"}));
  EXPECT_TRUE(FileExists("T:\\\\a.URL"));
}

TEST_F(ShortcutTest, FolderEndingInATrailByteBackslashKeepsIt) {
  // The folder 表 ends in 0x5C; dropping that byte would look for "\x95".
  const std::string folder = Folder() + "\\表";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_TRUE(FolderExists(folder));
  ASSERT_TRUE(MakeURLFile(folder, {"a", "http://b/"}));
  EXPECT_TRUE(FileExists(folder + "\\a.URL"));
}

}  // namespace
}  // namespace ixo
