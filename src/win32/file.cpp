#include "win32/file.h"

#include <algorithm>
#include <vector>

#include "core/error.h"

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

namespace {

// Opens `path`, or creates it, to write into the file itself; others may
// read it meanwhile.
File OpenFileToWriteInPlace(const std::string& path) {
  return File(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Creates `path` with `attributes` (0: none), and only when nothing of that
// name is there yet.
File CreateNewFile(const std::string& path, DWORD attributes) {
  return File(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Writes `text` into the file itself, which keeps its attributes and
// permissions; false when it cannot be opened or written, or when the system
// does not take the last of the data.
bool WriteInPlace(const std::string& path, std::string_view text) {
  File file = OpenFileToWriteInPlace(path);
  if (!file.Valid()) return false;
  const bool ok = file.WriteAll(text) && SetEndOfFile(file.Get());
  return file.Close() && ok;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  File file = OpenFileToRead(path);
  std::string text;
  if (!file.Valid() || !file.ReadText(text)) {
    throw Error(FormatMessage1("ファイル %s は開けません", path));
  }
  return text;
}

// The text goes into a new file beside it, which takes the old one's place
// only once it is whole: a write that stops short (a full disk) leaves the
// old file as it was instead of cut. ReplaceFileA keeps the old file's
// attributes and permissions on Windows; Wine's keeps neither, so the
// attributes are given to the new file as it is made. Where no new file can
// be made beside it (a folder whose files may be changed but where none may
// be created, or a file or folder of that name already there, which is not
// the program's to touch), the file is written in place.
void WriteWholeFile(const std::string& path, std::string_view text) {
  const auto cannot = [&] { return Error(FormatMessage1("ファイル %s を作成できません", path)); };
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool exists =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  constexpr DWORD kCarried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

  const std::string fresh = path + ".new";
  File file = CreateNewFile(fresh, exists ? attributes & kCarried : 0);
  if (!file.Valid()) {
    if (!WriteInPlace(path, text)) throw cannot();
    return;
  }
  const bool written = file.WriteAll(text);
  if (!file.Close() || !written) {
    DeleteFileA(fresh.c_str());
    throw cannot();
  }
  constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (!exists) {
    if (MoveFileExA(fresh.c_str(), path.c_str(), kMove)) return;
  } else if (ReplaceFileA(path.c_str(), fresh.c_str(), nullptr,
                          REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                          nullptr)) {
    return;
  } else if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    // The old file is gone already and the new one, whole, is still under
    // its own name: it takes the place, or stays as the only copy there is.
    if (MoveFileExA(fresh.c_str(), path.c_str(), kMove)) return;
    throw cannot();
  }
  DeleteFileA(fresh.c_str());
  throw cannot();
}

void SetFileCloseForTests(FileCloseFn close) { closeFile = close ? close : SystemClose; }

}  // namespace ixo
