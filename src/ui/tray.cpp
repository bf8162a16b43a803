#include "ui/tray.h"

#include <algorithm>
#include <cstring>

namespace ixo {

// The record is the first version of the shell's structure, up to the
// 64-byte tip: 88 bytes in a 32-bit program, 104 in a 64-bit one, where the
// window and icon handles are 8 bytes and aligned.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88));

void TTrayIcon::Fill(HWND owner, HICON icon, const char* tip) {
  data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data_.hWnd = owner;
  data_.uID = 1;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = WM_TRAYICON;
  data_.hIcon = icon;
  SetTip(tip);
}

void TTrayIcon::SetTip(const std::string& tip) {
  const size_t length = std::min(tip.size(), sizeof data_.szTip - 1);
  std::memcpy(data_.szTip, tip.data(), length);
  data_.szTip[length] = '\0';
}

void TTrayIcon::Add() {
  Shell_NotifyIconA(NIM_ADD, &data_);
  shown_ = true;
}

void TTrayIcon::Delete() {
  Shell_NotifyIconA(NIM_DELETE, &data_);
  shown_ = false;
}

void TTrayIcon::ShowTip(const std::string& tip) {
  SetTip(tip);
  Shell_NotifyIconA(NIM_MODIFY, &data_);
}

}  // namespace ixo
