// The main window's icon in the notification area: the record the shell
// keeps for it, and one small function for each of the shell's operations on
// it, as the shell's rules want them.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

namespace ixo {

// The icon's callback message to its window; the second parameter carries
// the mouse message.
inline constexpr UINT WM_TRAYICON = WM_USER;

class TTrayIcon {
 public:
  // Fills the record: the icon of window `owner`, with `icon` and `tip`. The
  // shell is not told.
  void Fill(HWND owner, HICON icon, const char* tip);
  // Puts the icon into the notification area. The shell's answer is not
  // looked at, and an icon shown already is added again.
  void Add();
  // Takes it out again.
  void Delete();
  // Sets the tip, cut to 63 characters, and tells the shell.
  void ShowTip(const std::string& tip);

  // True from Add to Delete.
  bool Shown() const { return shown_; }
  // The record as the shell gets it.
  const NOTIFYICONDATAW& Data() const { return data_; }

 private:
  void SetTip(const std::string& tip);

  NOTIFYICONDATAW data_{};
  bool shown_ = false;
};

}  // namespace ixo
