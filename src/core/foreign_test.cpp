#include "core/foreign.h"

#include <gtest/gtest.h>

#include <string>

#include "core/cp932.h"
#include "core/extract.h"
#include "core/jstring.h"
#include "core/linelist.h"
#include "core/utf.h"

namespace ixo {
namespace {

const std::u16string kHigh(1, char16_t(0xD83C));  // lone surrogates
const std::u16string kLow(1, char16_t(0xDF70));

// Every code in `core` is two bytes, a lead byte left unassigned by code page
// 932 and a trail byte of 0x80 or above.
void ExpectCodesWhole(const std::string& core) {
  for (size_t i = 0; i < core.size(); ++i) {
    const auto b = static_cast<unsigned char>(core[i]);
    if (b == 0x85 || b == 0x86 || b == 0xEB || b == 0xEC || b == 0xEF) {
      ASSERT_LT(i + 1, core.size());
      EXPECT_GE(static_cast<unsigned char>(core[i + 1]), 0x80);
    }
    if (IsLeadByte(b)) ++i;
  }
}

TEST(ForeignTable, TextCodePage932HoldsKeepsItsOwnBytes) {
  const std::u16string cases[] = {
      u"",
      u"http://example.com/ a\\b?c",
      u"表示 ソフト ★新着情報★\u3000ｶﾅ",
      u"\u0080\uF8F0≒ⅰ纊",
  };
  for (const std::u16string& text : cases) {
    ForeignTable table;
    const std::string core = ToCoreText(text, table);
    EXPECT_EQ(core, Utf16ToCp932(text));
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(FromCoreText(core, table), text);
  }
}

TEST(ForeignTable, CharactersItCannotHoldComeBackWhole) {
  const std::u16string cases[] = {
      u"Café 🍰 – Menu «best»",
      u"中国新闻网 한국어",
      u"Ünïcödé ✓ 第2版",
      u"〜−¥ 👨‍👩‍👧 🇯🇵 e\u0301",
      kHigh + u"a" + kLow + kLow + kHigh,
      kLow + kHigh,  // the wrong order is no pair
      u"🍰" + kHigh,
  };
  for (const std::u16string& text : cases) {
    ForeignTable table;
    const std::string core = ToCoreText(text, table);
    ExpectCodesWhole(core);
    EXPECT_EQ(FromCoreText(core, table), text) << Utf16ToUtf8(text);
  }
}

TEST(ForeignTable, CodesGoInOrderOfFirstAppearanceOneForEachCharacter) {
  ForeignTable table;
  EXPECT_EQ(ToCoreText(u"\u00E9\U0001F370\u00E9" + kHigh + u"\U0001F370", table),
            "\x85\x80\x85\x81\x85\x80\x85\x82\x85\x81");
  EXPECT_EQ(table.size(), 3u);
  // A second text adds to the table without changing what it gave.
  EXPECT_EQ(ToCoreText(u"a\u00E9\u00AB", table), "a\x85\x80\x85\x83");
}

TEST(ForeignTable, The626thCharacterBecomesAQuestionMark) {
  std::u16string text;
  for (char32_t c = 0x1F000; c < 0x1F000 + ForeignTable::kCapacity + 1; ++c) AppendUtf16(text, c);
  ForeignTable table;
  const std::string core = ToCoreText(text + u"\U0001F000", table);
  ASSERT_EQ(core.size(), 2 * ForeignTable::kCapacity + 1 + 2);
  EXPECT_EQ(core.substr(0, 2), "\x85\x80");
  EXPECT_EQ(core.substr(250, 2), "\x86\x80");
  EXPECT_EQ(core.substr(2 * 625 - 2, 2), "\xEF\xFC");
  EXPECT_EQ(core[2 * 625], '?');
  EXPECT_EQ(core.substr(2 * 625 + 1), "\x85\x80");  // a known one still has its code
  ExpectCodesWhole(core);
  std::u16string want = text;
  want.replace(want.size() - 2, 2, u"?");
  EXPECT_EQ(FromCoreText(core, table), want + u"\U0001F000");
}

TEST(ForeignTable, ACodeNotInTheTableDecodesAsCodePage932) {
  ForeignTable table;
  ToCoreText(u"é", table);
  for (const char* core : {"\x85\x81", "\x86\x80", "\x85\x7F", "\x85"}) {
    EXPECT_EQ(FromCoreText(core, table), Cp932ToUtf16(core)) << core;
  }
  EXPECT_EQ(FromCoreText("\x85\x80\x85\x81", table), u"\u00E9・");
}

TEST(ForeignTable, TheDoubleByteRoutinesTakeACodeAsOneCharacter) {
  ForeignTable table;
  const std::u16string text = u"\\é?🍰表\\" + kLow + u"?";
  std::string core = ToCoreText(text, table);
  EXPECT_EQ(JLength(core), 8);
  JDeleteAll(core, "\\");
  JDeleteAll(core, "?");
  EXPECT_EQ(FromCoreText(core, table), u"\u00E9\U0001F370表" + kLow);
  JDelete(core, 2, 1);
  EXPECT_EQ(FromCoreText(core, table), u"\u00E9表" + kLow);
}

TEST(ForeignTable, ACodeEndsAnAddress) {
  const LineList del(FileNameBadChars);
  // The title is the line without its address.
  for (const std::u16string& after : {std::u16string(u"🍰y"), std::u16string(u"éy"), kHigh + u"y"}) {
    ForeignTable table;
    const LineList lines(ToCoreText(u"see http://example.com/x" + after, table));
    const TURLRecord rec = ExtractURL("-=?;%&,#\\", del, lines);
    EXPECT_EQ(rec.URL, "http://example.com/x") << Utf16ToUtf8(after);
    EXPECT_EQ(FromCoreText(rec.Title, table), u"see " + after) << Utf16ToUtf8(after);
  }
}

}  // namespace
}  // namespace ixo
