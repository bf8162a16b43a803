#include "win32/wide.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/shortcut.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

TEST(Cp932PathOf, AFolderNamedInAnyCharactersIsKeptByANameCodePage932Holds) {
  const TempDir dir;
  const std::wstring base(dir.path().begin(), dir.path().end());
  // 表 and ソ end in the byte of a backslash; code page 932 holds them.
  const std::wstring held = base + L"\\\u8868\u30BD\u30D5\u30C8";
  ASSERT_TRUE(CreateDirectoryW(held.c_str(), nullptr));
  EXPECT_EQ(Cp932PathOf(held), Narrow(held));

  const std::wstring unheld = base + L"\\Caf\u00E9 \U0001F370 \uD55C\uAD6D";
  ASSERT_TRUE(CreateDirectoryW(unheld.c_str(), nullptr));
  const std::optional<std::string> kept = Cp932PathOf(unheld);
  ASSERT_TRUE(kept);
  EXPECT_EQ(Wide(*kept).find(L'?'), std::wstring::npos) << *kept;
  // The short name leads to the same folder: a shortcut saved there is in it.
  ASSERT_TRUE(MakeURLFile(*kept, {"a", "http://example.com/"}));
  const std::wstring file = unheld + L"\\a.URL";
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace ixo
