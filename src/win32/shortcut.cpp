#include "win32/shortcut.h"

#include <windows.h>

#include "core/devicename.h"
#include "core/error.h"
#include "core/jstring.h"

namespace ixo {
namespace {

[[noreturn]] void CannotCreate(const std::string& file) {
  throw Error(FormatMessage1("ファイル %s を作成できません", file));
}

// Entries a search of the folder must not count, whatever the platform lists.
constexpr DWORD kExcluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

// No path of the system is longer than 32767 characters, and a character
// takes at least one byte. Wine keeps the length of a name given to the ANSI
// calls in 16 bits: a name of 64 KB or more (a title of a whole page of text)
// wraps to its first few bytes and creates that shorter file instead of
// failing, so such a name never reaches the system.
constexpr size_t kLongestPath = 32767;

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
  const std::string_view url = rec.URL;
  const std::string_view scheme = url.substr(0, 6);
  const bool accepted =
      scheme == "http:/" || scheme == "ftp://" || (https && url.substr(0, 8) == "https://");
  if (!accepted) return false;
  if (!FolderExists(folder)) return false;

  std::string file(folder);
  file += '\\';
  file += rec.Title;
  file += ".URL";
  // Windows would open a device for such a name and swallow the write.
  if (IsDeviceFileName(file)) CannotCreate(file);
  if (file.size() > kLongestPath) CannotCreate(file);

  std::string content = "[InternetShortcut]\r\nURL=";
  content += rec.URL;
  content += "\r\n";

  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) CannotCreate(file);
  // A zero byte in the address (possible only when typed by hand) is written
  // as it stands: the content is the URL byte for byte.
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
