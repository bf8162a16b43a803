#include "win32/shortcut.h"

#include <windows.h>

#include "core/cp932.h"
#include "core/error.h"
#include "core/shortcut_file.h"
#include "core/shortcut_text.h"
#include "win32/file.h"
#include "win32/scoped.h"
#include "win32/wide.h"

namespace ixo {
namespace {

[[noreturn]] void CannotCreate(const std::wstring& file) {
  const std::u16string name = ToU16(file);
  throw Error(FormatMessage1("ファイル %s を作成できません", Utf16ToCp932(name)),
              FormatMessage1(Cp932ToUtf16("ファイル %s を作成できません"), name));
}

// Entries a search of the folder must not count, whatever the platform lists.
constexpr DWORD kExcluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

// The folder, its backslash, the title cut to fit, ".URL".
std::wstring FileNameFor(std::wstring_view folder, std::u16string_view title) {
  std::wstring file(folder);
  file += L'\\';
  file += ToWide(FitTitle(title, folder.size() + 1));
  file += L".URL";
  return file;
}

}  // namespace

bool FolderExists(std::wstring_view folder) {
  std::wstring path(folder);
  // A backslash that ends the folder is dropped (one character of its own in
  // UTF-16, never the second byte of a double-byte one).
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  path += L"\\*.*";
  WIN32_FIND_DATAW data;
  const FindHandle find(path.c_str(), data);
  if (!find.Valid()) return false;
  do {
    if ((data.dwFileAttributes & kExcluded) == 0) return true;
  } while (FindNextFileW(find.Get(), &data));
  return false;
}

bool FolderExists(std::string_view folder) { return FolderExists(Wide(folder)); }

bool MakeURLFile(std::wstring_view folder, const TURLText& rec, bool https, std::wstring* written) {
  const std::string url = URLLineBytes(rec.URL);
  if (!IsShortcutURL(url, https)) return false;
  if (!FolderExists(folder)) return false;
  const std::wstring file = FileNameFor(folder, rec.Title);
  if (IsRefusedShortcutFileName(Narrow(file))) CannotCreate(file);

  File out = CreateFileToWrite(file);
  if (!out.Valid()) CannotCreate(file);
  const bool whole = out.WriteAll(ShortcutContent(url));
  if (!out.Close() || !whole) {
    // A half-written shortcut is worse than none: the user would take it for
    // a saved link.
    DeleteFileW(file.c_str());
    CannotCreate(file);
  }
  if (written) *written = file;
  return true;
}

bool RenameURLFile(std::wstring_view folder, const std::wstring& file, std::u16string_view title) {
  const std::wstring renamed = FileNameFor(folder, title);
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  if (renamed == file) return true;
  if (IsRefusedShortcutFileName(Narrow(renamed))) return false;
  return MoveFileExW(file.c_str(), renamed.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool MakeURLFile(std::string_view folder, const TURLRecord& rec, bool https) {
  return MakeURLFile(Wide(folder), TURLText{Cp932ToUtf16(rec.Title), Cp932ToUtf16(rec.URL)}, https);
}

}  // namespace ixo
