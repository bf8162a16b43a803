// The core converts code page 932 itself, so that the result depends on no
// code page of the system; here it must give exactly what Windows gives, for
// every byte, every two-byte sequence and every UTF-16 unit.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/cp932.h"
#include "core/foreign.h"

namespace ixo {
namespace {

std::u16string SystemDecode(const std::string& bytes) {
  wchar_t out[8];
  const int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), out, 8);
  return std::u16string(out, out + n);
}

// The bytes Windows gives `c`, and whether it had to put the default
// character for it.
std::string SystemEncode(char16_t c, bool& unheld) {
  const wchar_t in = c;
  char out[8];
  BOOL used = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &in, 1, out, 8, nullptr, &used);
  unheld = used != FALSE;
  return std::string(out, n);
}

// Counts the mismatches and names the first few, rather than 65,536 failures.
class Mismatches {
 public:
  explicit Mismatches(const char* what) : what_(what) {}
  ~Mismatches() { EXPECT_EQ(count_, 0) << what_; }
  void Add(unsigned code) {
    if (count_++ < 10) ADD_FAILURE() << what_ << " differs at 0x" << std::hex << code;
  }

 private:
  const char* what_;
  int count_ = 0;
};

TEST(Cp932Parity, DecodesEverySingleByteAndEveryPairAsWindows) {
  ASSERT_EQ(GetACP(), 932u) << "the tests must run with a Japanese locale";
  Mismatches mismatches("MultiByteToWideChar(932)");
  for (unsigned b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    if (Cp932ToUtf16(one) != SystemDecode(one)) mismatches.Add(b);
  }
  for (unsigned code = 0; code < 0x10000; ++code) {
    const std::string two = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    if (Cp932ToUtf16(two) != SystemDecode(two)) mismatches.Add(code);
  }
}

TEST(Cp932Parity, EncodesEveryUtf16UnitAsWindowsWithoutLookAlikes) {
  Mismatches mismatches("WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS)");
  std::u16string held;
  for (unsigned c = 0; c < 0x10000; ++c) {
    bool unheld;
    const std::string want = SystemEncode(static_cast<char16_t>(c), unheld);
    const std::u16string one(1, static_cast<char16_t>(c));
    if (IsCp932Char(c) == unheld || Utf16ToCp932(one) != (unheld ? "?" : want)) {
      mismatches.Add(c);
    }
    if (!unheld) held += one;
  }
  // A text of every character it holds: the bytes CF_TEXT gave the program
  // (made without WC_NO_BEST_FIT_CHARS), also as the core's text.
  const auto* units = reinterpret_cast<const wchar_t*>(held.data());
  const int length = static_cast<int>(held.size());
  const int n = WideCharToMultiByte(932, 0, units, length, nullptr, 0, nullptr, nullptr);
  std::string system(n, '\0');
  WideCharToMultiByte(932, 0, units, length, system.data(), n, nullptr, nullptr);
  ForeignTable table;
  EXPECT_EQ(ToCoreText(held, table), system);
  EXPECT_EQ(table.size(), 0u);
}

}  // namespace
}  // namespace ixo
