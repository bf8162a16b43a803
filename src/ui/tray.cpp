// The main window's notification-area icon and automatic exit.
#include <cstring>
#include <string>

#include "core/autoexit.h"
#include "ui/main.h"
#include "wingui/app.h"

namespace ixo {

// The record is the first version of the shell's structure, up to the
// 64-byte tip: 88 bytes in a 32-bit program, 104 in a 64-bit one, where the
// window and icon handles are 8 bytes and aligned.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88));

void TForm1::FillTrayData(const char* tip) {
  TrayData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayData.hWnd = Handle();
  TrayData.uID = 1;
  TrayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayData.uCallbackMessage = WM_TRAYICON;
  TrayData.hIcon = Application().SmallIcon();
  SetTip(tip);
}

void TForm1::SetTip(const std::string& tip) {
  const size_t length = std::min(tip.size(), sizeof TrayData.szTip - 1);
  std::memcpy(TrayData.szTip, tip.data(), length);
  TrayData.szTip[length] = '\0';
}

void TForm1::AddIcon() {
  Shell_NotifyIconA(NIM_ADD, &TrayData);
  iconShown_ = true;
}

void TForm1::DeleteIcon() {
  Shell_NotifyIconA(NIM_DELETE, &TrayData);
  iconShown_ = false;
}

void TForm1::AppOnMinimize() {
  if (!OptionRec.Tray) return;
  FillTrayData("IXO");
  AddIcon();
  ShowWindow(Application().Handle(), SW_HIDE);
}

void TForm1::AppOnRestore() {
  SetWindowState(TWindowState::Normal);
  if (OptionRec.Tray) {
    ShowWindow(Application().Handle(), SW_HIDE);
  } else {
    ShowWindow(Application().Handle(), SW_SHOW);
    DeleteIcon();
  }
  ToForeground();
}

void TForm1::ToForeground() {
  // Over a disabled window the user could do nothing: with a message box,
  // the options dialog or the folder browser open, the enabled one on top
  // comes forward instead.
  if (Application().InModalState()) {
    Application().BringActivePopupToFront();
  } else {
    SetForegroundWindow(Handle());
  }
}

void TForm1::BringUp() {
  Application().Restore();
  ToForeground();
}

LRESULT TForm1::WMTrayIcon(WPARAM wParam, LPARAM lParam) {
  (void)wParam;
  switch (lParam) {
    case WM_LBUTTONDOWN:
      if (WindowState() == TWindowState::Minimized) SetWindowState(TWindowState::Normal);
      BringUp();
      break;
    case WM_RBUTTONDOWN: {
      BringUp();
      HWND popup = Application().InModalState() ? Application().ActivePopup() : nullptr;
      POINT cursor;
      GetCursorPos(&cursor);
      // The menu's owner is the foreground window, or the menu would not
      // close when the user clicks elsewhere.
      TMenuItem* chosen = PopupMenu1.Track(cursor, popup ? popup : Handle());
      // And the window gets a message after the menu, or a second click on
      // the icon would open it only every other time.
      PostMessageA(Handle(), WM_NULL, 0, 0);
      if (!chosen) break;
      // With a modal window open the items only bring it forward: the
      // dialog's caller still works on OptionRec, a box waits for its OK.
      if (Application().InModalState()) {
        BringUp();
      } else {
        chosen->Click();
      }
      break;
    }
  }
  return 0;
}

void TForm1::AppOnDeactivate() {
  // The options dialog keeps the timer off until it has ended.
  if (optionsOpen_) return;
  Tim.SetEnabled(OptionRec.Atc);
}

void TForm1::resettime() {
  if (CountsInactivity(OptionRec.AcType)) Tim.SetEnabled(false);
  CountDown = OptionRec.AcTime;
  SetCaption("Ixo");
  if (OptionRec.Tray) {
    SetTip("Ixo");
    Shell_NotifyIconA(NIM_MODIFY, &TrayData);
  }
}

void TForm1::TimTimer() {
  if (CountsInactivity(OptionRec.AcType) && GetActiveWindow() == Handle()) {
    resettime();
    return;
  }
  if (CountDown == -1) {
    // A close that failed is still being reported: one box at a time.
    if (Application().ErrorBoxOpen()) return;
    Close();
    return;
  }
  const std::string text = "Ixo - 終了まであと " + std::to_string(CountDown) + "秒";
  SetCaption(text);
  if (OptionRec.Tray) {
    SetTip(text);
    Shell_NotifyIconA(NIM_MODIFY, &TrayData);
  }
  // Counting on below -1 wraps as the 32-bit count always did.
  CountDown = static_cast<int32_t>(static_cast<uint32_t>(CountDown) - 1u);
}

}  // namespace ixo
