#include "core/charset.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ixo {
namespace {

TEST(CodePageOfLabel, TheLabelsBrowsersKnowInAnyCase) {
  struct Case {
    const char* label;
    int codePage;
  } cases[] = {
      {"utf-8", 65001},
      {" UTF8\t", 65001},
      {"\"utf-8\"", 65001},
      {"Shift_JIS", 932},
      {"shift-jis", 932},
      {"SJIS", 932},
      {"x-sjis", 932},
      {"MS_Kanji", 932},
      {"csShiftJIS", 932},
      {"Windows-31J", 932},
      {"cp932", 932},
      {"'sjis'", 932},
      {"EUC-JP", 20932},
      {"x-euc-jp", 20932},
      {"CSEUCPKDFMTJAPANESE", 20932},
      {"ISO-2022-JP", 50220},
      {"csISO2022JP", 50220},
      {"utf-16", 1200},
      {"UTF-16LE", 1200},
      {"utf-16be", 1201},
      {"windows-1250", 1250},
      {"windows-1251", 1251},
      {"windows-1252", 1252},
      {"windows-1258", 1258},
      {"ISO-8859-1", 1252},
      {"latin1", 1252},
      {"us-ascii", 1252},
      {"iso-8859-2", 28592},
      {"iso-8859-9", 1254},
      {"iso-8859-15", 28605},
      {"gb2312", 936},
      {"GBK", 936},
      {"gb18030", 54936},
      {"Big5", 950},
      {"EUC-KR", 949},
      {"ks_c_5601-1987", 949},
      {"KOI8-R", 20866},
      {"", 0},
      {"\"\"", 0},
      {"x-unknown", 0},
      {"utf-8x", 0},
      {"shift_jis-2004", 0},
      {"utf 8", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CodePageOfLabel(c.label), c.codePage) << c.label;
}

TEST(CharsetParameter, TheLabelInAContentTypeValue) {
  struct Case {
    const char* content;
    const char* label;
  } cases[] = {
      {"text/html; charset=Shift_JIS", "Shift_JIS"},
      {"text/html;charset=\"utf-8\"", "utf-8"},
      {"text/html; CHARSET = 'euc-jp' ", "euc-jp"},
      {"text/html; charset=utf-8; foo=bar", "utf-8"},
      {"text/html; charset=utf-8 x", "utf-8"},
      {"text/html; charsetx=1; charset=sjis", "sjis"},
      {"text/html", ""},
      {"", ""},
      {"text/html; charset=", ""},
      {"text/html; charset=\"utf-8", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CharsetParameter(c.content), c.label) << c.content;
}

TEST(DeclaredCodePage, ByteOrderMarkThenHeaderThenMeta) {
  const std::string sjisMeta = "<meta charset=\"Shift_JIS\">";
  const std::string longHead = std::string("<head><script>").append(4000, 'x') + "</script>";
  struct Case {
    std::string page;
    const char* contentType;
    int codePage;
  } cases[] = {
      {std::string("\xEF\xBB\xBF") + sjisMeta, "text/html; charset=EUC-JP", 65001},
      {"\xFF\xFE<", "text/html; charset=utf-8", 1200},
      {"\xFE\xFF", "", 1201},
      {sjisMeta, "text/html; charset=EUC-JP", 20932},
      {sjisMeta, "text/html; charset=bogus", 932},
      {sjisMeta, "text/html", 932},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">", "", 20932},
      {"<META CONTENT='text/html;charset=EUC-JP' HTTP-EQUIV=content-type>", "", 20932},
      {"<meta content=\"text/html; charset=euc-jp\">", "", 0},  // no http-equiv
      {"<meta http-equiv=\"refresh\" content=\"0; charset=euc-jp\">", "", 0},
      {"<meta content=\"text/html; charset=euc-jp\" http-equiv=Content-Type charset=utf-8>", "",
       20932},
      {"<meta charset=bogus content=\"text/html; charset=euc-jp\" http-equiv=Content-Type>", "", 0},
      {"<meta charset=bogus><meta charset=euc-jp>", "", 20932},
      {"<meta charset=sjis charset=euc-jp>", "", 932},
      {"<meta charset=\"utf-16\">", "", 65001},
      {"<meta charset=utf-16be>", "", 65001},
      {"<meta name=x charset=\"ISO-2022-JP\">", "", 50220},
      // Past the first 1024 bytes, after the title: still the head.
      {longHead + "<title>t</title>" + sjisMeta + "</head>", "", 932},
      // No declaration where browsers read none.
      {std::string("<!-- ") + sjisMeta + " -->", "", 0},
      {std::string("<script>'") + sjisMeta + "'</script>", "", 0},
      {std::string("<title>") + sjisMeta + "</title>", "", 0},
      {std::string("<head></head>") + sjisMeta, "", 0},
      {std::string("<body>") + sjisMeta, "", 0},
      {"<p>&lt;meta charset=sjis&gt;</p>", "", 0},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeclaredCodePage(c.page, c.contentType), c.codePage) << c.page.substr(0, 80);
  }
}

TEST(Iso2022JpToShiftJis, EachCharacterSetAsShiftJisBytes) {
  struct Case {
    const char* jis;
    const char* sjis;
  } cases[] = {
      {"\x1B$B$3$s$K$A$O\x1B(B", "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD"},  // konnichiwa
      {"a\x1B$@4A;z\x1B(Jb",
       "a\x8A\xBF\x8E\x9A"
       "b"},                                               // kanji, JIS C 6226 and JIS-Roman
      {"\x1B$B%`t!0!\x1B(B", "\x83\x80\xEA\x9F\x88\x9F"},  // both halves of a lead, the last row
      {"\x1B(I1\x1B(Bx\x0E"
       "2\x0Fy",
       "\xB1x\xB2y"},  // half-width katakana both ways
      {"\x1B$B$3\r\n$3 $3\x1B(B", "\x82\xB1\r\n\x82\xB1 \x82\xB1"},  // controls pass in any set
      {"\x1B$B$ $3", " \x82\xB1"},     // a lead byte with no trail is dropped
      {"\x1B$B$", ""},                 // and at the end
      {"\x1B$(Dxx\x1B(Ba", "a"},       // JIS X 0212 and others: skipped to the next escape
      {"\x1B&@\x1B$B$3", "\x82\xB1"},  // the JIS X 0208-1990 announcer
      {"a\x1B", "a"},                  // an escape cut off
      {"\x1B\x80z", "z"},              // a broken escape: the ESC alone
      {"\x80"
       "a\xA1\xFE",
       "a\xA1"},                      // only 8-bit katakana above 0x7F
      {"\x1B(I\x60\x1B$B\x7F!", ""},  // bytes of no character in their set
  };
  for (const Case& c : cases) EXPECT_EQ(Iso2022JpToShiftJis(c.jis), c.sjis) << c.jis;
}

// Every JIS X 0208 code gives a Shift_JIS lead byte and trail byte, each
// code its own.
TEST(Iso2022JpToShiftJis, TheArithmeticMapsEveryCodeOneToOne) {
  std::set<std::string> seen;
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      const char jis[] = {'\x1B', '$', 'B', char(row), char(cell), 0};
      const std::string sjis = Iso2022JpToShiftJis(jis);
      ASSERT_EQ(sjis.size(), 2u) << row << " " << cell;
      const unsigned char lead = sjis[0], trail = sjis[1];
      EXPECT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF)) << row;
      EXPECT_TRUE((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC)) << cell;
      seen.insert(sjis);
    }
  }
  EXPECT_EQ(seen.size(), 94u * 94u);
}

}  // namespace
}  // namespace ixo
