#include "win32/shortcut.h"

#include <windows.h>

#include "core/error.h"
#include "core/jstring.h"
#include "core/shortcut_file.h"

namespace ixo {
namespace {

[[noreturn]] void CannotCreate(const std::string& file) {
  throw Error(FormatMessage1("ファイル %s を作成できません", file));
}

// Entries a search of the folder must not count, whatever the platform lists.
constexpr DWORD kExcluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

bool DefaultClose(void* handle) { return CloseHandle(handle) != FALSE; }
FileCloseFn closeFile = DefaultClose;

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
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    if ((data.dwFileAttributes & kExcluded) == 0) {
      found = true;
      break;
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

bool MakeURLFile(std::string_view folder, const TURLRecord& rec, bool https) {
  if (!IsShortcutURL(rec.URL, https)) return false;
  if (!FolderExists(folder)) return false;
  const std::string file = ShortcutFileName(folder, rec.Title);
  if (IsRefusedShortcutFileName(file)) CannotCreate(file);
  const std::string content = ShortcutContent(rec.URL);

  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) CannotCreate(file);
  const char* p = content.data();
  size_t left = content.size();
  bool ok = true;
  while (left > 0) {
    const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) {
      ok = false;
      break;
    }
    p += written;
    left -= written;
  }
  // The close is part of the write: a network drive reports a delayed write
  // that failed only here.
  ok = closeFile(h) && ok;
  if (!ok) {
    // A half-written shortcut is worse than none: the user would take it for
    // a saved link.
    DeleteFileA(file.c_str());
    CannotCreate(file);
  }
  return true;
}

void SetFileCloseForTests(FileCloseFn close) { closeFile = close ? close : DefaultClose; }

}  // namespace ixo
