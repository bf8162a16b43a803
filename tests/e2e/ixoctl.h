// What the parts of ixoctl share: finding the program's windows by the path
// of its executable, and reading a file whole.
#pragma once

#include <windows.h>

#include <string>

struct Search {
  std::string exe;
  HWND main = nullptr;  // the main form (TForm1)
  HWND app = nullptr;   // the application's taskbar window
  DWORD pid = 0;        // the process, from any of its windows
};

// The windows of the program whose executable is `exe`.
Search Find(const char* exe);

// Appends the bytes of the file at `path` to `out`; false when it cannot be read.
bool ReadFileBytes(const char* path, std::string& out);

// Says why on stderr, as every failure of ixoctl does, and gives the failure
// status: a failure without a word is one ixoctl did not see (it did not run).
int Fail(const char* why);

namespace viewer {
// ixoctl viewer EXE (see ixoctl_viewer.cpp).
int Run(const char* exe);
}  // namespace viewer
