#include "core/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

TEST(Utf, WellFormedTextGoesBothWaysUnchanged) {
  const std::u16string cases[] = {
      u"",  u"ascii",         u"Café – «best»",      u"中国新闻网 한국어",
      u"🍰", u"x🍰y\U0010FFFF", u"\u00FF\u0800\uFFFF",
  };
  for (const std::u16string& text : cases) {
    const std::string utf8 = Utf16ToUtf8(text);
    EXPECT_TRUE(IsUtf8(utf8));
    EXPECT_EQ(Utf8ToUtf16(utf8), text);
    EXPECT_EQ(Utf8Size(text), utf8.size());
  }
  // Escapes, not the characters: GoogleTest quotes the expression as a
  // narrow string, which the Windows build writes in code page 932.
  EXPECT_EQ(Utf16ToUtf8(u"\u00E9\U0001F370"), "\xC3\xA9\xF0\x9F\x8D\xB0");
}

TEST(Utf, EachMaximalIllFormedPartBecomesOneReplacementCharacter) {
  struct Case {
    const char* bytes;
    std::u16string want;
  };
  const Case cases[] = {
      {"a\x80z", u"a\uFFFDz"},        // a lone continuation byte
      {"\xC3", u"\uFFFD"},            // cut short at the end
      {"\xE3\x81z", u"\uFFFDz"},      // two bytes of three, then no continuation
      {"\xF0\x9F\x8Dz", u"\uFFFDz"},  // three bytes of four
      {"\xC0\xAF", u"\uFFFD\uFFFD"},  // an overlong form is no character
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate in UTF-8
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xFF\xFE", u"\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_FALSE(IsUtf8(c.bytes));
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.want);
  }
}

TEST(Utf, ALoneSurrogateIsOneCodePointAndNoUtf8) {
  const std::u16string text = {u'a', char16_t(0xD83C), u'b', char16_t(0xDF70)};
  size_t i = 0;
  std::u32string points;
  while (i < text.size()) points.push_back(NextCodePoint(text, i));
  EXPECT_EQ(points, (std::u32string{U'a', 0xD83C, U'b', 0xDF70}));
  EXPECT_EQ(Utf16ToUtf8(text),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  std::u16string pair;
  AppendUtf16(pair, 0x1F370);
  EXPECT_EQ(pair, u"\U0001F370");
}

}  // namespace
}  // namespace ixo
