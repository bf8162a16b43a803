#include "core/devicename.h"

#include <gtest/gtest.h>

namespace ixo {
namespace {

TEST(IsDeviceFileName, ReservedNamesInAnyDressAreDevices) {
  for (const char* file :
       {"C:\\x\\CON.URL", "C:\\x\\con.URL", "C:\\x\\Nul.url", "C:\\x\\PRN.URL", "C:\\x\\AUX.URL",
        "C:\\x\\COM1.URL", "C:\\x\\com9.URL", "C:\\x\\LPT1.URL", "C:\\x\\lpt9.URL",
        "C:\\x\\CONIN$.URL", "C:\\x\\conout$.URL", "C:\\x\\CON .URL", "C:\\x\\CON...URL",
        "C:\\x\\CON. . .URL", "C:\\x\\CON.txt.URL", "\\CON.URL", "CON", "x/NUL.URL", "C:NUL.URL"}) {
    EXPECT_TRUE(IsDeviceFileName(file)) << file;
  }
}

TEST(IsDeviceFileName, OrdinaryNamesAreFiles) {
  for (const char* file : {"C:\\x\\CONSOLE.URL", "C:\\x\\ CON.URL", "C:\\x\\COM0.URL",
                           "C:\\x\\COM10.URL", "C:\\x\\LPT.URL", "C:\\x\\xCON.URL", "C:\\x\\.URL",
                           "C:\\CON\\a.URL", "C:\\x\\CONIN.URL", "C:\\x\\Example Domain.URL", ""}) {
    EXPECT_FALSE(IsDeviceFileName(file)) << file;
  }
}

TEST(IsDeviceFileName, TrailByteBackslashIsNoSeparator) {
  // 0x95 0x5C ends in the byte of a backslash; "\x95\\CON" is one name, not a
  // folder followed by CON.
  EXPECT_FALSE(IsDeviceFileName("C:\\x\\\x95\\CON.URL"));
  EXPECT_TRUE(IsDeviceFileName("C:\\x\\\x95\\\\CON.URL"));
}

}  // namespace
}  // namespace ixo
