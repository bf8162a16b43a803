// Whole files as bytes, for tests that set up or inspect files on disk
// through the Windows calls the program itself uses.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ixo {

// Creates or replaces `path` with exactly `bytes`; false when that fails.
inline bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    const DWORD part = bytes.size() > (1u << 24) ? (1u << 24) : static_cast<DWORD>(bytes.size());
    DWORD put = 0;
    ok = WriteFile(h, bytes.data(), part, &put, nullptr) && put == part;
    bytes.remove_prefix(part);
  }
  return CloseHandle(h) && ok;
}

// The bytes of `path`, or "<missing>" when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}

inline bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace ixo
