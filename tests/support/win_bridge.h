// Wine's bridge between the X clipboard and the Windows one runs in Wine's
// desktop process, which starts with the first program that needs the
// desktop and ends a second after the last one has gone. As it starts, the
// bridge takes the X clipboard over once, or empties the clipboard when X
// has none: a program that put text on the clipboard just before would find
// it gone.
#pragma once

#include <windows.h>

namespace ixo {

// Starts Wine's desktop process when none runs and returns once its bridge
// has started; false when there is no bridge (not Wine, or no X).
inline bool WaitForClipboardBridge() {
  GetDesktopWindow();
  HWND bridge = nullptr;
  for (int i = 0; i < 3000 && !bridge; ++i) {
    bridge = FindWindowExA(HWND_MESSAGE, nullptr, "__wine_clipboard_manager", nullptr);
    if (!bridge) Sleep(10);
  }
  // Its window answers messages only once the bridge's start is done.
  DWORD_PTR answer = 0;
  return bridge && SendMessageTimeoutA(bridge, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
}

}  // namespace ixo
