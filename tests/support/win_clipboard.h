// Clipboard situations for tests: another window holding the clipboard open,
// contents in a format that is not text, text placed by a program of the X
// display, and waiting (with a bound) for the clipboard to show something.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ixo {

// Runs `done` until it is true, answering the thread's window messages in
// between; false when `timeout_ms` passed first.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms);

// Replaces the clipboard's contents with `bytes` in a private registered
// format only (no text of any kind). False when the clipboard could not be
// opened within a second.
bool PutPrivateFormatOnly(std::string_view bytes);

// Puts `bytes` on the clipboard as CF_TEXT exactly as given, without adding
// a terminating zero byte.
bool PutRawText(std::string_view bytes);

// Puts a copy as a browser or a password manager puts one: `text` as
// CF_UNICODETEXT and, with it, each format registered under its name with
// its bytes as given.
struct ClipFormat {
  std::string name;
  std::string data;
};
bool PutCopy(std::u16string_view text, const std::vector<ClipFormat>& formats = {});

// The performance counter's time, and the milliseconds between two of them.
LARGE_INTEGER Now();
double MsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to);

// A window of another thread that opens the clipboard and keeps it open for
// `hold_ms` milliseconds, or until Release() when `hold_ms` is INFINITE.
// The constructor returns once the clipboard is held (see held()).
class ClipboardHolder {
 public:
  explicit ClipboardHolder(DWORD hold_ms);
  ~ClipboardHolder();
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

  bool held() const { return held_; }
  // Closes the clipboard and waits for the thread to end.
  void Release();
  // After Release(): when the clipboard was closed (at the latest). A busy
  // machine may run the thread late, so a hold can last longer than asked.
  LARGE_INTEGER closedAt() const { return closedAt_; }

 private:
  HANDLE opened_;
  HANDLE release_;
  bool held_ = false;
  LARGE_INTEGER closedAt_{};
  std::thread thread_;
};

// True when running under Wine with xclip on the Linux side.
bool HaveXClip();

// Starts `xclip -selection clipboard` on the Linux side of Wine with the
// UTF-8 text `utf8`, written first to `scratch_file` (a Windows path). The
// X client keeps the selection until another owner takes it.
bool StartXClipText(std::string_view utf8, const std::string& scratch_file);

}  // namespace ixo
