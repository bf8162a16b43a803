#include "core/cp932.h"

#include <gtest/gtest.h>

#include <string>

#include "core/utf.h"

namespace ixo {
namespace {

TEST(Cp932, EveryCharacterItHoldsComesBackUnchanged) {
  size_t held = 0;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const std::u16string one(1, static_cast<char16_t>(c));
    const std::string bytes = Utf16ToCp932(one, '\0');
    if (!IsCp932Char(c)) {
      EXPECT_EQ(bytes, std::string(1, '\0')) << std::hex << static_cast<uint32_t>(c);
      continue;
    }
    ++held;
    EXPECT_TRUE(bytes.size() == 1 || bytes.size() == 2) << std::hex << static_cast<uint32_t>(c);
    EXPECT_EQ(Cp932ToUtf16(bytes), one) << std::hex << static_cast<uint32_t>(c);
  }
  // As many as Windows holds (the Windows tests compare each one).
  EXPECT_EQ(held, 9402u);
}

TEST(Cp932, EveryCodeDecodesToOneCharacterThatEncodesToAnEqualCode) {
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      const std::string code = {static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = Cp932ToUtf16(code);
      // A lead byte takes the byte after it, unless that is a zero byte.
      const bool pair = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
      ASSERT_EQ(text.size(), pair && trail != 0 ? 1u : 2u) << lead << " " << trail;
      if (pair && text[0] != kCp932Unassigned) {
        EXPECT_EQ(Cp932ToUtf16(Utf16ToCp932(text)), text) << lead << " " << trail;
      }
    }
  }
}

TEST(Cp932, DecodesAsWindowsDoes) {
  struct Case {
    std::string bytes;
    std::u16string want;
  };
  const Case cases[] = {
      {"a\\~", u"a\\~"},
      {"\x80\xA0\xFD\xFE\xFF", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},  // no character in the code page
      {"\xA1\xDF", u"\uFF61\uFF9F"},                                // half-width kana
      {"\x81\x40\x95\x5C\x81\x5F", u"\u3000表＼"},
      {"\x81\x60\x81\x7C", u"\uFF5E\uFF0D"},    // not U+301C, U+2212
      {"\x84\xBE\x84\xBF", u"\u2542\u30FB"},    // the last of a row, then unassigned
      {"\x85\x40\xEB\xFC\xEF\x80", u"・・・"},  // the rows without a character
      {"\x81\x20\x81\x7F\x81\xFD", u"・・・"},  // no trail byte, still read with the lead byte
      {"\xF0\x40\xF9\xFC", u"\uE000\uE757"},    // the user-defined characters
      {"\x87\x54\xFA\x4A\xED\x40\xFC\x4B\xFC\x4C", u"ⅠⅠ纊黑・"},
      {"x\x81", u"x・"},
      {std::string("\x81\0x", 3), std::u16string(u"・\0x", 3)},  // a zero byte is no trail byte
  };
  for (const Case& c : cases) EXPECT_EQ(Cp932ToUtf16(c.bytes), c.want) << c.bytes;
}

TEST(Cp932, EncodesACharacterOfSeveralCodesAsWindowsDoes) {
  struct Case {
    std::u16string text;
    std::string want;
  };
  const Case cases[] = {
      {u"≒∵\uFFE2", "\x81\xE0\x81\xE6\x81\xCA"},  // the JIS code before the NEC and IBM ones
      {u"Ⅰ№㈱", "\x87\x54\x87\x82\x87\x8A"},      // the NEC code before the IBM one
      {u"ⅰ￤＇＂纊", "\xFA\x40\xFA\x55\xFA\x56\xFA\x57\xFA\x5C"},  // IBM, not NEC-selected IBM
      {u"・", "\x81\x45"},
      {u"\uF8F0\u0080", "\xA0\x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16ToCp932(c.text), c.want);
}

TEST(Cp932, ACharacterItDoesNotHoldIsOneUnheldByte) {
  const std::u16string cases[] = {
      u"é",
      u"«",
      u"\u301C",
      u"\u2212",
      u"¥",
      u"\u203E",
      u"한",
      u"🍰",
      u"\U0010FFFF",
      std::u16string(1, char16_t(0xD83C)),
      std::u16string(1, char16_t(0xDF70)),
  };
  for (const std::u16string& c : cases) {
    size_t i = 0;
    EXPECT_FALSE(IsCp932Char(NextCodePoint(c, i)));
    EXPECT_EQ(Utf16ToCp932(u"a" + c + u"b"), "a?b");
    EXPECT_EQ(Utf16ToCp932(c, '#'), "#");
  }
}

}  // namespace
}  // namespace ixo
