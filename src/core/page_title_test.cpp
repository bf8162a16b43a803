#include "core/page_title.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/html.h"
#include "core/utf.h"

namespace ixo {
namespace {

// Narrow literals are ASCII or escapes (the Windows build compiles them to
// code page 932); each charset's bytes are spelled out.
const std::string kNihonUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
const std::string kNihonSjis = "\x93\xFA\x96\x7B";
const std::string kNihonEuc = "\xC6\xFC\xCB\xDC";

std::string Titled(const std::string& head, const std::string& title) {
  return std::string("<html><head>").append(head).append("<title>") + title +
         "</title></head><body>x</body></html>";
}

// `text` in UTF-16 bytes, with or without a byte-order mark.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian, bool mark) {
  std::string out;
  if (mark) out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t c : text) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

TEST(FindPageTitle, TheTitleInTheCodePageOfItsPage) {
  const std::u16string cafe = u"<title>Caf\u00E9 \U0001F370 &amp; \u65E5\u672C</title>";
  const std::string cafeUtf8 = std::string("Caf\xC3\xA9 \xF0\x9F\x8D\xB0 &amp; ") + kNihonUtf8;
  const std::string eucMetaAfterTitle =
      std::string("<head><title>") + kNihonEuc +
      "</title><meta http-equiv=Content-Type content=\"text/html; charset=EUC-JP\"></head>";
  struct Case {
    const char* what;
    std::string page;
    const char* contentType;
    std::optional<PageTitleBytes> want;
  } cases[] = {
      {"meta UTF-8", Titled("<meta charset=utf-8>", kNihonUtf8), "", {{65001, kNihonUtf8}}},
      {"header Shift_JIS",
       Titled("", kNihonSjis),
       "text/html; charset=Shift_JIS",
       {{932, kNihonSjis}}},
      {"header over meta",
       Titled("<meta charset=euc-jp>", kNihonSjis),
       "text/html;charset=sjis",
       {{932, kNihonSjis}}},
      {"EUC-JP after the title", eucMetaAfterTitle, "", {{20932, kNihonEuc}}},
      {"meta naming UTF-16",
       Titled("<meta charset=utf-16>", kNihonUtf8),
       "",
       {{65001, kNihonUtf8}}},
      {"another code page",
       Titled("", "\xE9t\xE9"),
       "text/html; charset=iso-8859-1",
       {{1252, "\xE9t\xE9"}}},
      {"undeclared UTF-8", Titled("", kNihonUtf8), "", {{65001, kNihonUtf8}}},
      {"undeclared Shift_JIS", Titled("", kNihonSjis), "", {{932, kNihonSjis}}},
      {"undeclared ASCII", Titled("", "Hello"), "text/html", {{65001, "Hello"}}},
      // Only the bytes up to the title's end decide.
      {"undeclared, cut inside a character",
       Titled("", kNihonUtf8).substr(0, 38) + "\xE6\x97",
       "",
       {{65001, kNihonUtf8}}},
      {"UTF-8 mark",
       std::string("\xEF\xBB\xBF") + Titled("", kNihonUtf8),
       "text/html; charset=Shift_JIS",
       {{65001, kNihonUtf8}}},
      {"UTF-16LE mark", Utf16Bytes(cafe, false, true), "", {{65001, cafeUtf8}}},
      {"UTF-16BE mark",
       Utf16Bytes(cafe, true, true),
       "text/html; charset=utf-8",
       {{65001, cafeUtf8}}},
      {"UTF-16LE header",
       Utf16Bytes(cafe, false, false),
       "text/html; charset=utf-16le",
       {{65001, cafeUtf8}}},
      {"UTF-16BE header",
       Utf16Bytes(cafe, true, false),
       "text/html; charset=UTF-16BE",
       {{65001, cafeUtf8}}},
      {"UTF-16, odd length",
       Utf16Bytes(u"<title>a</title>", false, true) + "x",
       "",
       {{65001, "a"}}},
      // ISO-2022-JP's kanji are ASCII bytes: "<!" is a kanji here, no markup.
      {"ISO-2022-JP header",
       "<title>\x1B$B<!$3\x1B(B</title>",
       "text/html; charset=iso-2022-jp",
       {{932, "\x8E\x9F\x82\xB1"}}},
      {"ISO-2022-JP meta",
       "<meta charset=ISO-2022-JP><title>\x1B$BF|K\\\x1B(B</title>",
       "",
       {{932, kNihonSjis}}},
      {"undeclared ISO-2022-JP", "<title>\x1B$BF|K\\\x1B(B</title>", "", {{932, kNihonSjis}}},
      {"no title", "<html><head></head><body>Hello</body></html>", "", std::nullopt},
      {"never closed", "<title>Hello", "", std::nullopt},
      {"an SVG's title only", "<svg><title>icon</title></svg>", "", std::nullopt},
      {"empty", "", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FindPageTitle(c.page, c.contentType), c.want) << c.what;
}

TEST(FindPageTitle, ARawTitleFinishedByTitleText) {
  const std::optional<PageTitleBytes> raw =
      FindPageTitle("<title>\n  Caf&eacute; <b>&amp;</b>\t&#x1F370;\n</title>", "");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(TitleText(Utf8ToUtf16(raw->text)), u"Caf\u00E9 <b>&</b> \U0001F370");
}

}  // namespace
}  // namespace ixo
