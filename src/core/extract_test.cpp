#include "core/extract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jtext_gen.h"
#include "oracle.h"

namespace ixo {
namespace {

using std::string;

// Code page 932 bytes of the characters used below.
#define STAR "\x81\x9A"    // ★
#define ZSPACE "\x81\x40"  // full-width space
#define SO "\x83\x5C"      // ソ
#define HYOU "\x95\x5C"    // 表
#define SHIN "\x90\x56"    // 新
#define CHAKU "\x92\x85"   // 着
#define JOU "\x8F\xEE"     // 情
#define HOU "\x95\xF1"     // 報
#define CHOUON "\x81\x5B"  // ー
#define DO "\x83\x68"      // ド
#define FU "\x83\x74"      // フ
#define TO "\x83\x67"      // ト

const string kDefaultExtra = "-=?;%&,#\\";
const string kDefaultDel =
    "\x81\x9A\r\n\x81\x9C\r\n\x81\xA1\r\n\x81\x9F\r\n\x81\xA4\r\n\x81\x9B\r\n\x81\xA0\r\n"
    "\x81\x9E\r\n--\r\n\x81\x40\r\n\x81\x64\r\n\x81\x63\r\n\x84\xAA\r\n\x81\x99\r\n==\r\n";

LineList L(std::initializer_list<const char*> lines) {
  LineList l;
  for (const char* s : lines) l.Add(s);
  return l;
}

struct Case {
  LineList lines;
  string extra;
  string title, url;
};

void Check(const Case& c, const LineList& del, bool https = false) {
  const TURLRecord got = ExtractURL(c.extra, del, c.lines, https);
  EXPECT_EQ(got.URL, c.url) << c.lines.Text();
  EXPECT_EQ(got.Title, c.title) << c.lines.Text();
  const TURLRecord ref = oracle::ExtractURL(c.extra, del, c.lines, https);
  EXPECT_EQ(ref.URL, c.url) << "oracle: " << c.lines.Text();
  EXPECT_EQ(ref.Title, c.title) << "oracle: " << c.lines.Text();
}

TEST(ExtractURL, TypicalTextsGiveTheirAddressAndTitle) {
  const LineList del(kDefaultDel);
  ASSERT_EQ(del.Count(), 15u);
  const string d = kDefaultExtra;
  const Case cases[] = {
      {L({"Example Domain", "http://example.com/"}), d, "Example Domain", "http://example.com/"},
      {L({"http://example.com/ Example"}), d, "Example", "http://example.com/"},
      {L({"see http://example.com/" SO FU TO}), d, "see " SO FU TO, "http://example.com/"},
      {L({"http://example.com/a?b=1"}), d, "http--example.com-ab=1", "http://example.com/a?b=1"},
      {L({STAR SHIN CHAKU STAR, "http://example.com/"}), d, SHIN CHAKU, "http://example.com/"},
      {L({}), d, "", ""},
      {L({"no address", "here"}), d, "", ""},
      {L({"http://"}), d, "http--", "http://"},
      {L({"", "http://", "", "x"}), d, "x", "http://"},
      {L({"http://a.com/", "http://b.com/"}), d, "httpb.com", "http://a.com/"},
      {L({"x http://a.com/ y http://b.com/"}), d, "x  y httpb.com", "http://a.com/"},
      {L({"http://a.b/" SHIN CHAKU}), d, SHIN CHAKU, "http://a.b/"},
      {L({"http://a.b/c_d"}), d + "_", "http--a.b-c_d", "http://a.b/c_d"},
      {L({"http://a.b/c_d"}), d, "_d", "http://a.b/c"},
      {L({STAR " -- " ZSPACE, "  ", "Title", "http://a.b/"}), d, "Title", "http://a.b/"},
      {L({"HTTP://A.B/"}), d, "", ""},
      {L({"https://a.b/"}), d, "", ""},
      {L({"Example\thttp://example.com/"}), d, "Example\t", "http://example.com/"},
      {L({SHIN CHAKU ZSPACE JOU HOU, "http://example.com/"}), d, SHIN CHAKU JOU HOU,
       "http://example.com/"},
      {L({"http://a.b/[x]" CHOUON "y"}), d + CHOUON, "]" CHOUON "y", "http://a.b/[x"},
      {L({DO "ttp://a.b/"}), d, "\x83", "http://a.b/"},
      {L({"a" HYOU "\\b http://x/"}), d, "a" HYOU "b", "http://x/"},
      {L({"http://x/\\y"}), d, "http--x-y", "http://x/\\y"},
      {L({"<a href=\"http://ex.com/p?q=1&r=2#s\">Link</a>"}), d, "a href=Linka",
       "http://ex.com/p?q=1&r=2#s"},
  };
  for (const Case& c : cases) Check(c, del);
}

// The same texts with the https switch off (only "http://" is found) and on
// (the earlier of "http://" and "https://" in the first line holding either).
TEST(ExtractURL, HttpsSwitchOffAndOn) {
  const LineList del(kDefaultDel);
  const string d = kDefaultExtra;
  struct SwitchCase {
    LineList lines;
    string offTitle, offURL;
    string onTitle, onURL;
  };
  const SwitchCase cases[] = {
      {L({"Title", "https://example.com/a"}), "", "", "Title", "https://example.com/a"},
      {L({"x https://a.b/ y http://c.d/"}), "x httpsa.b y", "http://c.d/", "x  y httpc.d",
       "https://a.b/"},
      {L({"x http://a.b/ y https://c.d/"}), "x  y httpsc.d", "http://a.b/", "x  y httpsc.d",
       "http://a.b/"},
      // Only the first line holding either scheme counts.
      {L({"https://a.b/", "http://c.d/"}), "httpsa.b", "http://c.d/", "httpc.d", "https://a.b/"},
      {L({"https://"}), "", "", "https--", "https://"},
      {L({"https:// x"}), "", "", "x", "https://"},
      {L({"https://example.com/p?q=1"}), "", "", "https--example.com-pq=1",
       "https://example.com/p?q=1"},
      {L({"https://a.b/" SHIN CHAKU}), "", "", SHIN CHAKU, "https://a.b/"},
      // The search is byte-wise: "https://" may begin on the second byte of
      // a double-byte character.
      {L({DO "ttps://a.b/"}), "", "", "\x83", "https://a.b/"},
      {L({"httphttps://x/"}), "", "", "http", "https://x/"},
      {L({"https:/http://a/"}), "https", "http://a/", "https", "http://a/"},
      {L({"HTTPS://A.B/"}), "", "", "", ""},
      {L({"ftp://a.b/", "Https://a.b/"}), "", "", "", ""},
  };
  for (const SwitchCase& c : cases) {
    Check({c.lines, d, c.offTitle, c.offURL}, del, false);
    Check({c.lines, d, c.onTitle, c.onURL}, del, true);
  }
}

TEST(ExtractURL, EmptyDeleteListAndExtra) {
  const LineList none;
  Check({L({STAR "a" STAR, "http://a.b/?x"}), "", STAR "a" STAR, "http://a.b/"}, none);
  Check({L({"http://a.b/"}), "", "http--a.b-", "http://a.b/"}, none);
  // A blank line of the user's list removes nothing.
  Check({L({"ab", "http://a.b/"}), "", "ab", "http://a.b/"}, LineList("\r\n\r\nq\r\n"));
}

TEST(ExtractURL, UserStringsAreNotAppliedToTheAddressLine) {
  // Every line is empty after cleaning: the title comes from the address
  // line, where only the eleven bad characters are removed.
  const LineList del(kDefaultDel);
  Check({L({"--", STAR "http://a.b/--c"}), kDefaultExtra, STAR "http--a.b---c", "http://a.b/--c"},
        del);
}

TEST(ExtractTitle, Directly) {
  const LineList del(kDefaultDel);
  const LineList lines = L({"", "x http://a.b/ y"});
  EXPECT_EQ(ExtractTitle(lines, del, 1, 3, 11), "x  y");
  EXPECT_EQ(ExtractTitle(lines, del, 1, 3, 0), "x httpa.b y");
  EXPECT_EQ(ExtractTitle(L({"", "  "}), del, 1, 1, 2), "");
}

TEST(UniqueChars, KeepsFirstOccurrences) {
  EXPECT_EQ(UniqueChars("--==??"), "-=?");
  EXPECT_EQ(UniqueChars(""), "");
  EXPECT_EQ(UniqueChars("abcabc"), "abc");
  EXPECT_EQ(UniqueChars(CHOUON "\x81"
                               "a"),
            CHOUON "a");  // bytes, not characters
  EXPECT_EQ(UniqueChars(string("a\0a\0", 4)), string("a\0", 2));
  EXPECT_EQ(oracle::UniqueChars("--==??"), "-=?");
}

TEST(IsURLChar, ReadsTheSetOfTheLastExtraction) {
  ExtractURL("_", LineList(), LineList());
  EXPECT_TRUE(IsURLChar("a"));
  EXPECT_TRUE(IsURLChar("~"));
  EXPECT_TRUE(IsURLChar("_"));
  EXPECT_FALSE(IsURLChar("-"));
  EXPECT_FALSE(IsURLChar(" "));
  EXPECT_FALSE(IsURLChar(""));
  ExtractURL("-", LineList(), LineList());
  EXPECT_TRUE(IsURLChar("-"));
  EXPECT_FALSE(IsURLChar("_"));
}

// Random clipboard texts against the step-by-step algorithms of the oracle.
TEST(ExtractRandom, AgreesWithTheOracle) {
  testgen::Rng rng(424242);
  const char* const pieces[] = {"http://", "http://", "a.b/", "x",        " ",        "\t", ZSPACE,
                                STAR,      "--",      "==",   "/",        ":",        "?",  "\\",
                                HYOU,      SO,        DO,     "\x81",     "_",        "h",  "p",
                                "~",       CHOUON,    "-",    "https://", "https://", "s"};
  const size_t np = sizeof pieces / sizeof pieces[0];
  const char* const extras[] = {"", "-=?;%&,#\\", "_", CHOUON, "\x81", " "};
  for (int iter = 0; iter < 20000; ++iter) {
    LineList lines;
    const uint32_t nl = rng.Below(5);
    for (uint32_t i = 0; i < nl; ++i) {
      string line;
      const uint32_t k = rng.Below(7);
      for (uint32_t j = 0; j < k; ++j) {
        line += rng.Chance(85) ? string(pieces[rng.Below(np)]) : string(1, testgen::NastyByte(rng));
      }
      lines.Add(line);
    }
    LineList del;
    if (rng.Chance(50)) {
      del.SetText(kDefaultDel);
    } else {
      const uint32_t nd = rng.Below(4);
      for (uint32_t i = 0; i < nd; ++i) del.Add(testgen::NastySearch(rng, lines.Text()));
    }
    const string extra = extras[rng.Below(sizeof extras / sizeof extras[0])];
    const bool https = rng.Chance(50);
    const TURLRecord got = ExtractURL(extra, del, lines, https);
    const TURLRecord ref = oracle::ExtractURL(extra, del, lines, https);
    ASSERT_EQ(got, ref) << "iter " << iter << " https " << https << "\n"
                        << lines.Text() << "\n---\n"
                        << del.Text();
  }
}

// Lines that the step-by-step algorithms would clean in quadratic time.
TEST(ExtractURL, AdversarialTitleLinesAreLinear) {
  const LineList del(kDefaultDel);
  const char* const units[] = {STAR, "--", ZSPACE, HYOU};
  for (const char* unit : units) {
    string text;
    while (text.size() < (1u << 20)) text += unit;
    const LineList lines(text + "\r\nhttp://example.com/\r\n");
    const TURLRecord rec = ExtractURL(kDefaultExtra, del, lines);
    EXPECT_EQ(rec.URL, "http://example.com/");
    if (string(unit) == HYOU) {
      EXPECT_EQ(rec.Title, text);
    } else {
      EXPECT_EQ(rec.Title, "http--example.com-");
    }
  }
}

}  // namespace
}  // namespace ixo
