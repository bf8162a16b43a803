#include "core/cliptext.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "core/cp932.h"
#include "core/extract.h"

namespace ixo {
namespace {

// A clipboard of named formats; "text" stands for the Unicode text.
class TableClip : public ClipSource {
 public:
  explicit TableClip(std::u16string text) : text_(std::move(text)) {}
  TableClip& With(std::string name, std::string data) {
    formats_[std::move(name)] = std::move(data);
    return *this;
  }
  std::optional<std::u16string> Text() override { return text_; }
  std::optional<std::string> Data(std::string_view name) override {
    const auto it = formats_.find(std::string(name));
    if (it == formats_.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::optional<std::u16string> text_;
  std::map<std::string, std::string> formats_;
};

const std::string kDword0("\0\0\0\0", 4);
const std::string kDword1("\1\0\0\0", 4);

TEST(ClipText, APrivateCopyIsLeftAloneByTheWatchButNotByTheButtons) {
  struct Case {
    const char* what;
    std::string format;
    std::string data;
    bool isPrivate;
  };
  const Case cases[] = {
      {"excluded from monitors, whatever it holds", std::string(kExcludeFromMonitors), "", true},
      {"kept out of the history", std::string(kClipboardHistory), kDword0, true},
      {"allowed into the history", std::string(kClipboardHistory), kDword1, false},
      {"an unrelated format", "HTML Format", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TableClip clip(u"secret\r\nhttp://example.com/");
    clip.With(c.format, c.data);
    EXPECT_EQ(IsPrivateCopy(clip), c.isPrivate);
    std::u16string last = u"before";
    EXPECT_EQ(TakeNewCopy(clip, last).has_value(), !c.isPrivate);
    EXPECT_EQ(last, c.isPrivate ? u"before" : u"secret\r\nhttp://example.com/");
    ASSERT_TRUE(TakeCopy(clip));
  }
}

TEST(ClipText, ACopyIsNewWhenAnyCharacterDiffers) {
  // Both texts read the same through code page 932 ("x?"): the watch takes
  // each, as it takes what the user copied.
  std::u16string last;
  TableClip cake(u"x\U0001F370");
  TableClip burger(u"x\U0001F354");
  EXPECT_TRUE(TakeNewCopy(cake, last));
  EXPECT_FALSE(TakeNewCopy(cake, last));
  EXPECT_TRUE(TakeNewCopy(burger, last));
  EXPECT_EQ(last, u"x\U0001F354");
  std::u16string kept = u"kept";
  class NoText : public ClipSource {
    std::optional<std::u16string> Text() override { return std::nullopt; }
    std::optional<std::string> Data(std::string_view) override { return std::nullopt; }
  } picture;
  EXPECT_FALSE(TakeNewCopy(picture, kept));
  EXPECT_FALSE(TakeCopy(picture));
  EXPECT_EQ(kept, u"kept");
}

TEST(ClipText, TitlesKeepEveryCharacterAndAddressesEndAtOneCodePage932CannotHold) {
  const LineList del("\x81\x9A\r\n");  // the star
  struct Case {
    std::u16string text, title, url;
  };
  const Case cases[] = {
      {u"Caf\u00E9 \U0001F370 \u2013 Menu \u00ABbest\u00BB\r\nhttp://example.com/",
       u"Caf\u00E9 \U0001F370 \u2013 Menu \u00ABbest\u00BB", u"http://example.com/"},
      {u"\u4E2D\u56FD\u65B0\u95FB\u7F51 \uD55C\uAD6D\uC5B4\nhttp://example.com/",
       u"\u4E2D\u56FD\u65B0\u95FB\u7F51 \uD55C\uAD6D\uC5B4", u"http://example.com/"},
      {u"\u00DCn\u00EFc\u00F6d\u00E9 \u2713 \u7B2C2\u7248\nhttp://example.com/",
       u"\u00DCn\u00EFc\u00F6d\u00E9 \u2713 \u7B2C2\u7248", u"http://example.com/"},
      // The cake ends the address, as a double-byte character does.
      {u"see http://example.com/x\U0001F370y", u"see \U0001F370y", u"http://example.com/x"},
      // What follows the address on its line is the title.
      {u"http://example.com/\u00E9t\u00E9", u"\u00E9t\u00E9", u"http://example.com/"},
      {u"no address \U0001F370", u"", u""},
  };
  for (const Case& c : cases) {
    const TURLText found = FindURL(ClipCopy{c.text, {}}, "-=?;%&,#\\", del, false);
    EXPECT_EQ(found.Title, c.title);
    EXPECT_EQ(found.URL, c.url);
  }
}

TEST(ClipText, TextCodePage932HoldsGivesWhatItsBytesGive) {
  const LineList del(
      "\x81\x9A\r\n\x81\x9C\r\n--\r\n\x81\x40\r\n");  // ★, ●, --, the full-width space
  const std::string texts[] = {
      "Example Domain\r\nhttp://example.com/",
      "see http://example.com/\x83\x5C\x83\x74\x83\x67",          // ソフト
      "\x81\x9A\x90\x56\x92\x85\x81\x9A\r\nhttp://example.com/",  // ★新着★
      "http://example.com/a?b=1",
      "\x95\x5C\\\x95\x5C\r\nhttp://x/",  // 表\表
  };
  for (const std::string& bytes : texts) {
    const TURLRecord direct = ExtractURL("-=?;%&,#\\", del, LineList(bytes), false);
    const TURLText found = FindURL(ClipCopy{Cp932ToUtf16(bytes), {}}, "-=?;%&,#\\", del, false);
    EXPECT_EQ(Utf16ToCp932(found.Title), direct.Title);
    EXPECT_EQ(Utf16ToCp932(found.URL), direct.URL);
  }
}

// An "HTML Format" block as Edge writes one, its offsets counted.
std::string CfHtml(const std::string& fragment) {
  const std::string head = "<html><body>\r\n<!--StartFragment-->";
  const std::string tail = "<!--EndFragment-->\r\n</body></html>";
  const auto header = [&](size_t base) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\n"
                  "StartFragment:%010zu\r\nEndFragment:%010zu\r\n",
                  base, base + head.size() + fragment.size() + tail.size(), base + head.size(),
                  base + head.size() + fragment.size());
    return std::string(text);
  };
  const size_t base = header(0).size();
  return header(base) + head + fragment + tail;
}

TEST(ClipText, AnAddressCopiedAloneTakesTheTitleOfTheCopysOwnLink) {
  const LineList del("\x81\x9A\r\n");  // the star
  const std::string link =
      "<a href=\"https://example.com/page?a=1&amp;b=2\">\xE2\x98\x85 Caf\xC3\xA9 &amp; "
      "<b>Menu</b>\n\t\xF0\x9F\x8D\xB0 : \xE2\x98\x85</a>";
  struct Case {
    const char* what;
    std::u16string text;
    std::string fragment;
    bool linkTitle;
    std::u16string title;
    bool fromAddress;
  };
  const Case cases[] = {
      {"the link names the page, cleaned as a title", u"https://example.com/page?a=1&b=2", link,
       true, u"Caf\u00E9 & Menu \U0001F370", false},
      {"switched off", u"https://example.com/page?a=1&b=2", link, false,
       u"https--example.com-pagea=1&b=2", true},
      {"a link to another address", u"https://example.com/other", link, true,
       u"https--example.com-other", true},
      {"another line names it", u"Text title\r\nhttps://example.com/page?a=1&b=2", link, true,
       u"Text title", false},
      {"a link of nothing but what a title loses", u"https://example.com/x",
       "<a href=\"https://example.com/x\">\xE2\x98\x85 ?*</a>", true, u"https--example.com-x",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TURLText found =
        FindURL(ClipCopy{c.text, CfHtml(c.fragment)}, "-=?;%&,#\\", del, true, c.linkTitle);
    EXPECT_EQ(found.Title, c.title);
    EXPECT_EQ(found.TitleFromAddress, c.fromAddress);
  }
  // A damaged header gives no link title, and no harm.
  const TURLText damaged =
      FindURL(ClipCopy{u"https://example.com/x", "StartFragment:-1\r\n"}, "", del, true, true);
  EXPECT_EQ(damaged.Title, u"https--example.com-x");
}

}  // namespace
}  // namespace ixo
