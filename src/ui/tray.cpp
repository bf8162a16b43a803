#include "ui/tray.h"

#include <cstddef>
#include <cstring>

#include "win32/wide.h"

namespace ixo {

// The record is the first version of the shell's structure, up to the tip
// of 64 characters: the Unicode one, so that the tip reads the same whatever
// the system's code page.
static_assert(NOTIFYICONDATAW_V1_SIZE == offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(wchar_t));

void TTrayIcon::Fill(HWND owner, HICON icon, const char* tip) {
  data_.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data_.hWnd = owner;
  data_.uID = 1;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = WM_TRAYICON;
  data_.hIcon = icon;
  SetTip(tip);
}

void TTrayIcon::SetTip(const std::string& tip) {
  // The first version of the record has room for 63 characters and the zero.
  constexpr size_t kTipRoom = 63;
  std::wstring wide = Wide(tip);
  if (wide.size() > kTipRoom) wide.resize(kTipRoom);
  std::memcpy(data_.szTip, wide.data(), wide.size() * sizeof(wchar_t));
  data_.szTip[wide.size()] = L'\0';
}

void TTrayIcon::Add() {
  Shell_NotifyIconW(NIM_ADD, &data_);
  shown_ = true;
}

void TTrayIcon::Delete() {
  Shell_NotifyIconW(NIM_DELETE, &data_);
  shown_ = false;
}

void TTrayIcon::ShowTip(const std::string& tip) {
  SetTip(tip);
  Shell_NotifyIconW(NIM_MODIFY, &data_);
}

}  // namespace ixo
