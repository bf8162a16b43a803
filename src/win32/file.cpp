#include "win32/file.h"

#include <algorithm>
#include <vector>

namespace ixo {
namespace {

// What one call reads or writes at most: a text of several gigabytes does
// not fit the count of one call.
constexpr DWORD kChunk = 1 << 20;

bool SystemClose(void* handle) { return CloseHandle(handle) != FALSE; }
FileCloseFn closeFile = SystemClose;

}  // namespace

File::~File() {
  if (Valid()) CloseHandle(h_);
}

bool File::WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size(), kChunk));
    DWORD put = 0;
    if (!WriteFile(h_, bytes.data(), part, &put, nullptr) || put == 0) return false;
    bytes.remove_prefix(put);
  }
  return true;
}

bool File::ReadAll(std::string& out) { return Read(out, false); }

bool File::ReadText(std::string& out) { return Read(out, true); }

bool File::Read(std::string& out, bool toZero) {
  LARGE_INTEGER size;
  if (GetFileSizeEx(h_, &size) && size.QuadPart > 0 && size.QuadPart < (int64_t{1} << 31)) {
    out.reserve(out.size() + static_cast<size_t>(size.QuadPart));
  }
  std::vector<char> chunk(kChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h_, chunk.data(), kChunk, &got, nullptr)) return false;
    if (got == 0) return true;
    const char* const begin = chunk.data();
    const char* const end = begin + got;
    const char* const stop = toZero ? std::find(begin, end, '\0') : end;
    out.append(begin, stop);
    if (stop != end) return true;
  }
}

bool File::Close() {
  const bool ok = closeFile(h_);
  h_ = INVALID_HANDLE_VALUE;
  return ok;
}

File OpenFileToRead(const std::string& path) {
  return File(CreateFileA(path.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

File CreateFileToWrite(const std::string& path) {
  return File(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

File CreateFileToWrite(const std::wstring& path) {
  return File(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

void SetFileCloseForTests(FileCloseFn close) { closeFile = close ? close : SystemClose; }

}  // namespace ixo
