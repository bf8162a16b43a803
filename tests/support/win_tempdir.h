// A fresh folder under the Windows temp folder for one test, removed with
// everything in it when the test ends.
#pragma once

#include <windows.h>

#include <string>

namespace ixo {

class TempDir {
 public:
  TempDir() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned serial = 0;
    for (;;) {
      path_ = std::string(base) + "ixo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++serial);
      if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
  }
  ~TempDir() { RemoveTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing backslash.
  const std::string& path() const { return path_; }

  static void RemoveTree(const std::string& dir) {
    // The folder's own name is ASCII; what it holds may be named in any
    // characters, which only the W calls can reach.
    RemoveTreeW(std::wstring(dir.begin(), dir.end()));
  }
  static void RemoveTreeW(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = dir + L"\\" + name;
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTreeW(full);
        } else {
          DeleteFileW(full.c_str());
        }
      } while (FindNextFileW(h, &data));
      FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
  }

 private:
  std::string path_;
};

}  // namespace ixo
