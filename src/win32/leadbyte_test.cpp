// The core decides lead bytes by the fixed ranges of code page 932; on the
// program's Japanese systems that must be exactly what Windows says.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/jstring.h"

namespace ixo {
namespace {

TEST(LeadByte, AgreesWithThePlatformForEveryByteUnderCodePage932) {
  ASSERT_EQ(GetACP(), 932u) << "the tests must run with a Japanese locale";
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b)),
              IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE)
        << "byte " << b;
  }
}

}  // namespace
}  // namespace ixo
