// Whole files as bytes, for tests that set up or inspect files on disk
// through the calls the program itself uses.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "win32/file.h"

namespace ixo::test {

// Creates or replaces `path` with exactly `bytes`; false when that fails.
inline bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  File file = CreateFileToWrite(path);
  if (!file.Valid()) return false;
  const bool written = file.WriteAll(bytes);
  return file.Close() && written;
}

// The bytes of `path`; nullopt when it cannot be opened or read.
inline std::optional<std::string> ReadFileBytes(const std::string& path) {
  File file = OpenFileToRead(path);
  std::string bytes;
  if (!file.Valid() || !file.ReadAll(bytes)) return std::nullopt;
  return bytes;
}

// True when `path` names a file (not a folder).
inline bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// True when `path` names a file or a folder.
inline bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// While it lives, every checked close of a file (File::Close) closes the
// handle but reports a failure, as a network drive does for a delayed write
// that did not go through.
class FailingCloses {
 public:
  FailingCloses() {
    SetFileCloseForTests([](void* handle) {
      CloseHandle(handle);
      return false;
    });
  }
  ~FailingCloses() { SetFileCloseForTests(nullptr); }
  FailingCloses(const FailingCloses&) = delete;
  FailingCloses& operator=(const FailingCloses&) = delete;
};

}  // namespace ixo::test
