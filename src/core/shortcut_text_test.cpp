#include "core/shortcut_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/utf.h"

namespace ixo {
namespace {

std::u16string Repeat(std::u16string_view unit, size_t n) {
  std::u16string s;
  for (size_t i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(FitTitle, CutsAtEachOfTheThreeLimits) {
  const std::u16string family = u"👨‍👩‍👧";  // 8 units, 18 bytes
  struct Case {
    std::u16string title;
    size_t prefixUnits;
    std::u16string want;
  };
  const Case cases[] = {
      // 255 units in the name: 251 for the title.
      {Repeat(u"a", 251), 3, Repeat(u"a", 251)},
      {Repeat(u"a", 299), 3, Repeat(u"a", 251)},
      // 255 bytes of UTF-8: 83 characters of three bytes.
      {Repeat(u"あ", 83), 3, Repeat(u"あ", 83)},
      {Repeat(u"あ", 200), 3, Repeat(u"あ", 83)},
      // Four bytes and two units each: 62 whole, never half a pair.
      {Repeat(u"🍰", 62), 3, Repeat(u"🍰", 62)},
      {Repeat(u"🍰", 63), 3, Repeat(u"🍰", 62)},
      {u"a" + Repeat(u"🍰", 63), 3, u"a" + Repeat(u"🍰", 62)},
      // 259 units in the path: a long folder leaves less.
      {Repeat(u"a", 251), 100, Repeat(u"a", 155)},
      {u"x" + Repeat(u"🍰", 100), 200, u"x" + Repeat(u"🍰", 27)},
      {Repeat(u"a", 10), 255, u""},
      {Repeat(u"a", 10), 256, u""},  // not even ".URL" fits
      {u"", 300, u""},
      // Spaces left at the end of a cut are removed, those of a whole title not.
      {Repeat(u"a", 249) + u" \u3000 b", 3, Repeat(u"a", 249)},
      {u"a \u3000", 3, u"a \u3000"},
      // A character keeps its marks, variation selector and joined characters.
      {Repeat(u"a", 250) + u"e\u0301", 3, Repeat(u"a", 250)},
      {Repeat(u"a", 247) + u"\u304B\u3099", 3, Repeat(u"a", 247)},
      {Repeat(u"a", 249) + u"#\uFE0F", 3, Repeat(u"a", 249)},
      {Repeat(u"a", 240) + family + u"z", 3, Repeat(u"a", 240)},
      {Repeat(u"a", 233) + family, 3, Repeat(u"a", 233) + family},
      {Repeat(u"a", 244) + u"🇯🇵", 3, Repeat(u"a", 244)},
      {Repeat(u"a", 236) + u"🇯🇵🇫🇷", 3, Repeat(u"a", 236) + u"🇯🇵"},
      // A first character too long to keep whole is cut between code points.
      {u"e" + Repeat(u"\u0301", 300), 3, u"e" + Repeat(u"\u0301", 125)},
  };
  for (const Case& c : cases) {
    const std::u16string got = FitTitle(c.title, c.prefixUnits);
    EXPECT_EQ(got, c.want) << Utf16ToUtf8(c.title) << " after " << c.prefixUnits;
    if (!got.empty() || c.prefixUnits + 4 <= 259) {
      EXPECT_LE(got.size() + 4, 255u);
      EXPECT_LE(Utf8Size(got) + 4, 255u);
      EXPECT_LE(c.prefixUnits + got.size() + 4, 259u);
    }
  }
}

TEST(URLLineBytes, PercentEncodesWhatCodePage932CannotHold) {
  struct Case {
    std::u16string url;
    std::string want;
  };
  const Case cases[] = {
      {u"http://example.com/a?b=%41&c#d", "http://example.com/a?b=%41&c#d"},
      {u"http://example.com/表ｶ", "http://example.com/\x95\x5C\xB6"},
      {u"http://example.com/x🍰y", "http://example.com/x%F0%9F%8D%B0y"},
      {u"http://example.com/café/«»", "http://example.com/caf%C3%A9/%C2%AB%C2%BB"},
      {u"http://example.com/〜" + std::u16string(1, char16_t(0xDC00)),
       "http://example.com/%E3%80%9C%EF%BF%BD"},
  };
  for (const Case& c : cases) EXPECT_EQ(URLLineBytes(c.url), c.want) << c.want;
}

}  // namespace
}  // namespace ixo
