#include "win32/shortcut.h"

#include <windows.h>

#include "core/error.h"
#include "core/jstring.h"
#include "core/shortcut_file.h"
#include "win32/file.h"
#include "win32/scoped.h"

namespace ixo {
namespace {

[[noreturn]] void CannotCreate(const std::string& file) {
  throw Error(FormatMessage1("ファイル %s を作成できません", file));
}

// Entries a search of the folder must not count, whatever the platform lists.
constexpr DWORD kExcluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

}  // namespace

bool FolderExists(std::string_view folder) {
  std::string path(folder);
  // A backslash that ends the folder is dropped, but not the 0x5C that ends a
  // double-byte character such as 0x95 0x5C.
  if (!path.empty() && path.back() == '\\' &&
      !IsTrailByte(path, static_cast<int32_t>(path.size()))) {
    path.pop_back();
  }
  path += "\\*.*";
  WIN32_FIND_DATAA data;
  const FindHandle find(path.c_str(), data);
  if (!find.Valid()) return false;
  do {
    if ((data.dwFileAttributes & kExcluded) == 0) return true;
  } while (FindNextFileA(find.Get(), &data));
  return false;
}

bool MakeURLFile(std::string_view folder, const TURLRecord& rec, bool https) {
  if (!IsShortcutURL(rec.URL, https)) return false;
  if (!FolderExists(folder)) return false;
  const std::string file = ShortcutFileName(folder, rec.Title);
  if (IsRefusedShortcutFileName(file)) CannotCreate(file);

  File out = CreateFileToWrite(file);
  if (!out.Valid()) CannotCreate(file);
  const bool written = out.WriteAll(ShortcutContent(rec.URL));
  if (!out.Close() || !written) {
    // A half-written shortcut is worse than none: the user would take it for
    // a saved link.
    DeleteFileA(file.c_str());
    CannotCreate(file);
  }
  return true;
}

}  // namespace ixo
