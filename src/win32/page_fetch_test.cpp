#include "win32/page_fetch.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

// A page's title in each charset a Japanese user meets, decoded through
// Windows' code pages (ISO-2022-JP by way of Shift_JIS, which Wine reads).
TEST(PageTitleOf, EachCharsetGivesTheSameTitle) {
  // 新着 – テスト in each form.
  const std::u16string want = u"\u65B0\u7740 \u2013 \u30C6\u30B9\u30C8 &";
  struct Case {
    const char* what;
    std::string contentType, body;
  };
  const Case cases[] = {
      {"UTF-8 by its header", "text/html; charset=utf-8",
       "<title>\xE6\x96\xB0\xE7\x9D\x80 &ndash; \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 "
       "&amp;</title>"},
      {"Shift_JIS by its meta", "text/html",
       "<meta charset=\"Shift_JIS\"><title>\x90\x56\x92\x85 &#x2013; \x83\x65\x83\x58\x83\x67 "
       "&amp;</title>"},
      {"EUC-JP by its http-equiv", "",
       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"
       "<title>\xBF\xB7\xC3\xE5 &#8211; \xA5\xC6\xA5\xB9\xA5\xC8 &amp;</title>"},
      {"ISO-2022-JP by its header", "text/html; charset=iso-2022-jp",
       "<title>\x1B$B?7Ce\x1B(B &ndash; \x1B$B%F%9%H\x1B(B &amp;</title>"},
      {"UTF-16 by its mark", "",
       std::string("\xFF\xFE<\0t\0i\0t\0l\0e\0>\0\xB0\x65\x40\x77 \0\x13\x20 \0\xC6\x30\xB9\x30"
                   "\xC8\x30 \0&\0a\0m\0p\0;\0<\0/\0t\0i\0t\0l\0e\0>\0",
                   60)},
      {"Shift_JIS by its bytes alone", "",
       "<title>\x90\x56\x92\x85 &ndash; \x83\x65\x83\x58\x83\x67 &amp;</title>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PageTitleOf({c.body, c.contentType}), want);
  }
  EXPECT_EQ(PageTitleOf({"<p>no title here</p>", "text/html"}), u"");
  EXPECT_EQ(PageTitleOf({"<title>  \r\n </title>", "text/html"}), u"");
  EXPECT_EQ(PageTitleOf({"<title>Caf\xE9</title>", "text/html; charset=windows-1252"}),
            u"Caf\u00E9");
}

}  // namespace
}  // namespace ixo
