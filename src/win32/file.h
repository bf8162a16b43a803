// Files through the system's own calls: a handle that closes itself, whose
// close can be checked as part of a write; writing all of a text; reading all
// of a file; replacing a whole file so that a write that stops short leaves
// the old one as it was.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ixo {

// An open file handle (INVALID_HANDLE_VALUE when the file could not be
// opened), closed when it goes out of scope.
class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }

  // Writes the whole of `bytes`; false when a write fails or stops short (a
  // full disk).
  bool WriteAll(std::string_view bytes);
  // Appends everything from the current position to the end to `out`; false
  // when a read fails.
  bool ReadAll(std::string& out);
  // The same up to the first zero byte, which ends a text: nothing after it
  // is read.
  bool ReadText(std::string& out);
  // Closes now; true when the system took the last of the data. The close is
  // part of a write: a network drive reports a delayed write that failed
  // only here.
  bool Close();

 private:
  bool Read(std::string& out, bool toZero);
  HANDLE h_;
};

// Opens `path` to read it; other programs may keep it open meanwhile, as
// long as they let others read.
File OpenFileToRead(const std::string& path);
// Creates `path`, or empties the file there, to write it, shared with no one.
File CreateFileToWrite(const std::string& path);
File CreateFileToWrite(const std::wstring& path);

// The whole file up to its first zero byte; Error("ファイル %s は開けません")
// when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path);

// Replaces the file with `text`, keeping its attributes; Error("ファイル %s を
// 作成できません") when it cannot be created or written.
void WriteWholeFile(const std::string& path, std::string_view text);

// Tests only: replaces the call that Close makes (CloseHandle), so that a
// close that fails (a delayed write on a network drive) can be seen; nullptr
// gives the real one back.
using FileCloseFn = bool (*)(void* handle);
void SetFileCloseForTests(FileCloseFn close);

}  // namespace ixo
