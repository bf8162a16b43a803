// Wine's bridge between the X clipboard and the Windows one runs in Wine's
// desktop process, which starts with the first program that needs the
// desktop and ends a moment after the last one has gone. As it starts, the
// bridge takes the X clipboard over once, or empties the clipboard when X
// has none: a test that put text on the clipboard just before would find it
// gone. So before the first test the bridge is made to have started.
#include <gtest/gtest.h>
#include <windows.h>

namespace ixo {
namespace {

class ClipboardBridgeStarted : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return;
    GetDesktopWindow();  // starts the desktop process when none runs
    HWND bridge = nullptr;
    for (int i = 0; i < 3000 && !bridge; ++i) {
      bridge = FindWindowExA(HWND_MESSAGE, nullptr, "__wine_clipboard_manager", nullptr);
      if (!bridge) Sleep(10);
    }
    // Its window answers only once the bridge's start is done.
    DWORD_PTR answer = 0;
    if (bridge) SendMessageTimeoutA(bridge, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
  }
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new ClipboardBridgeStarted);

}  // namespace
}  // namespace ixo
