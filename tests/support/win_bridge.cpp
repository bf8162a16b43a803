// Before the first test, Wine's clipboard bridge is made to have started
// (see win_bridge.h): no test's text on the clipboard is taken over by it.
#include "win_bridge.h"

#include <gtest/gtest.h>

namespace ixo {
namespace {

class ClipboardBridgeStarted : public ::testing::Environment {
 public:
  void SetUp() override {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
      WaitForClipboardBridge();
    }
  }
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new ClipboardBridgeStarted);

}  // namespace
}  // namespace ixo
