#include "core/jstring.h"

#include <gtest/gtest.h>

#include <string>

#include "core/error.h"
#include "jtext_gen.h"
#include "oracle.h"

namespace ixo {
namespace {

using std::string;

// Byte strings are written with hex escapes; adjacent literals keep an
// escape from swallowing the letter after it ("\x81" "A").

TEST(IsTrailByte, Examples) {
  EXPECT_TRUE(
      IsTrailByte("\x81"
                  "A",
                  2));
  EXPECT_FALSE(
      IsTrailByte("\x81\x81"
                  "A",
                  3));
  EXPECT_TRUE(
      IsTrailByte("\x81\x81"
                  "A",
                  2));
  EXPECT_FALSE(IsTrailByte("abc", 1));
  EXPECT_FALSE(IsTrailByte("\x81", 1));
  EXPECT_FALSE(IsTrailByte("\x81\x81\x81", 3));
  EXPECT_TRUE(IsTrailByte("a\x81\x81\x81\x81", 5));
  EXPECT_TRUE(IsTrailByte("\x95\x5C", 2));
}

TEST(IsTrailByte, IllegalIndex) {
  for (int32_t i : {0, -1, 4, INT32_MAX, INT32_MIN}) {
    try {
      IsTrailByte("abc", i);
      ADD_FAILURE() << "no error for " << i;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Illegal Index");
    }
  }
  EXPECT_THROW(IsTrailByte("", 1), Error);
}

TEST(JLength, Examples) {
  EXPECT_EQ(JLength("abc"), 3);
  EXPECT_EQ(JLength("\x82\xA0"
                    "b"),
            2);
  EXPECT_EQ(JLength("a\x81"), 2);
  EXPECT_EQ(JLength(""), 0);
  EXPECT_EQ(JLength("\x81\x81\x81"), 2);
  EXPECT_EQ(JLength("\x95\x5C\x5C"), 2);
}

struct PosCase {
  string sub, s;
  int32_t want;
};

TEST(JPos, Examples) {
  const PosCase cases[] = {
      {"c", "abc", 3},
      {"b",
       "\x82\xA0"
       "b",
       2},
      {"\\", "\x95\x5C", 0},
      {"\\", "\x95\x5C\\", 2},
      {"abcd", "abc", 0},
      {"", "abc", 0},
      {"a", "", 0},
      {"", "", 0},
      {"A\x81",
       "A\x81\x40"
       "B",
       1},
      {"\x81", "\x81\x40", 1},  // ends on the first byte of a character
      {"\x40", "\x81\x40\x40", 2},
      {"abc", "abc", 1},
      {"bc", "abc", 2},
      {"\x9A\x81", "\x81\x9A\x81\x9A", 0},
      {"\x81\x9A", "\x81\x9A\x81\x9A", 1},
  };
  for (const PosCase& c : cases) {
    EXPECT_EQ(JPos(c.sub, c.s), c.want) << c.sub << " in " << c.s;
    EXPECT_EQ(oracle::JPos(c.sub, c.s), c.want) << c.sub << " in " << c.s;
  }
}

struct InsertCase {
  string ins, t;
  int32_t pos;
  string want;
};

TEST(JInsert, Examples) {
  const InsertCase cases[] = {
      {"XY", "abc", 2, "aXYbc"},
      {"XY", "abc", 0, "XYabc"},
      {"XY", "abc", 1, "XYabc"},
      {"XY", "abc", 4, "abcXY"},
      {"XY", "abc", 9, "abcXY"},
      {"X",
       "\x82\xA0"
       "c",
       2,
       "\x82\xA0"
       "Xc"},
      {"X", "", 1, "X"},
      {"X", "", 5, "X"},
      {"X", "a\x81", 2, "aX\x81"},
      {"X", "\x81", 2, "\x81X"},
      {"X", "abc", INT32_MIN, "Xabc"},
      {"", "abc", 2, "abc"},
  };
  for (const InsertCase& c : cases) {
    string t = c.t;
    JInsert(c.ins, t, c.pos);
    EXPECT_EQ(t, c.want) << c.ins << " into " << c.t << " at " << c.pos;
    string o = c.t;
    oracle::JInsert(c.ins, o, c.pos);
    EXPECT_EQ(o, c.want);
  }
}

struct DeleteCase {
  string t;
  int32_t pos, count;
  string want;
};

TEST(JDelete, Examples) {
  const DeleteCase cases[] = {
      {"abcde", 2, 2, "ade"},
      {"abc", 2, 10, "a"},
      {"abc", 4, 1, "abc"},
      {"abc", 0, 1, "bc"},
      {"abc", 2, 0, "abc"},
      {"abc", 2, -1, "abc"},
      {"\x82\xA0\x82\xA2"
       "c",
       2, 1,
       "\x82\xA0"
       "c"},
      {"A\x81", 2, 1, "A"},
      {"", 1, 1, ""},
      {"", 0, 5, ""},
      {"abc", 1, INT32_MAX, ""},
      {"abc", INT32_MAX, 1, "abc"},
  };
  for (const DeleteCase& c : cases) {
    string t = c.t;
    JDelete(t, c.pos, c.count);
    EXPECT_EQ(t, c.want) << c.t << " at " << c.pos << " count " << c.count;
    string o = c.t;
    oracle::JDelete(o, c.pos, c.count);
    EXPECT_EQ(o, c.want);
  }
}

struct TrimCase {
  string s, want;
};

TEST(JTrim, Examples) {
  const TrimCase cases[] = {
      {"  a b  ", "a b"},
      {"\x81\x40 a\x81\x40", "a"},
      {" \x81\x40x", "x"},
      {"   ", ""},
      {"\ta", "\ta"},
      {"a\x81\x81\x40", "a\x81\x81\x40"},
      {"a\x81 ", "a\x81 "},
      {"", ""},
      {"\x81", "\x81"},
      {" \x81", "\x81"},
      {"\x81\x40\x81\x40 \x81\x40", ""},
      {"x\x81\x40 \x81\x40  ", "x"},
      {"\x81\x81\x81\x40", "\x81\x81"},  // 0x81 0x81 | 0x81 0x40
      {"\x81\x81\x40", "\x81\x81\x40"},  // 0x81 0x81 | 0x40
  };
  for (const TrimCase& c : cases) {
    EXPECT_EQ(JTrim(c.s), c.want) << c.s;
    EXPECT_EQ(oracle::JTrim(c.s), c.want) << c.s;
  }
}

TEST(JTrim, LeftAndRightAlone) {
  string t = " \x81\x40 a \x81\x40 ";
  JTrimLeft(t);
  EXPECT_EQ(t, "a \x81\x40 ");
  JTrimRight(t);
  EXPECT_EQ(t, "a");
}

struct ReplaceCase {
  string t, search, repl, want;
};

TEST(JReplaceAll, Examples) {
  const ReplaceCase cases[] = {
      {"a/b/c", "/", "-", "a-b-c"},
      {"abb", "ab", "a", "a"},
      {"abc", "", "x", "abc"},
      {"", "a", "x", ""},
      {"\x95\x5C\\", "\\", "-", "\x95\x5C-"},
      {"aab", "ab", "b", "b"},
      {"xy", "x", "\x81", "\x81y"},    // the replacement's lead byte takes the y
      {"xx", "x", "\x81", "\x81x"},    // ... and hides the second x
      {"a\x81\x40", "a\x81", "", ""},  // the trail byte goes with it
      {"a\x81\x40"
       "b",
       "a\x81", "Z", "Zb"},
      {"http://a.b/", "/", "-", "http:--a.b-"},
  };
  for (const ReplaceCase& c : cases) {
    string t = c.t;
    JReplaceAll(t, c.search, c.repl);
    EXPECT_EQ(t, c.want) << c.t << " / " << c.search << " / " << c.repl;
    string o = c.t;
    oracle::JReplaceAll(o, c.search, c.repl);
    EXPECT_EQ(o, c.want) << "oracle: " << c.t << " / " << c.search << " / " << c.repl;
  }
}

struct DeleteAllCase {
  string t, search, want;
};

TEST(JDeleteAll, Examples) {
  const DeleteAllCase cases[] = {
      {"\x95\x5C\\", "\\", "\x95\x5C"},
      {"aabb", "ab", ""},
      {"aaabbb", "ab", ""},
      {"aabbx", "ab", "x"},
      {"abc", "", "abc"},
      {"", "a", ""},
      {"\x81\x9A\x81\x9A\x81\x9A", "\x81\x9A", ""},
      {"\x81\x9A"
       "a\x81\x9A",
       "\x81\x9A", "a"},
      {"\x9A\x81\x9A\x81\x9A", "\x9A\x81", "\x9A"},  // lone 0x9A, then pairs removed
      {"a--b----c-", "--", "abc-"},
      {"---", "--", "-"},
      {"\x81\x40\x81\x40"
       "a\x81\x40",
       "\x81\x40", "a"},
      {"\x95\x5C\x95\x5C", "\\", "\x95\x5C\x95\x5C"},
      {"\x95\x5C\x95\x5C", "\x5C\x95", "\x95\x5C\x95\x5C"},
      {"a\x81\x40"
       "b",
       "a\x81", "b"},                       // the trail byte goes with it
      {"a\x81", "a\x81", ""},               // a lone lead byte at the end
      {"aa\x81\x40\x81\x40", "a\x81", ""},  // the second match forms after the first
      {"ba\x81\x40\x81\x40", "a\x81", "b\x81\x40"},
      {"\x81\x81\x81\x81", "\x81", ""},
      {"x\x81\x81\x81\x81", "\x81\x81", "x"},
      {"\x81\x81\x81", "\x81\x81", "\x81"},
  };
  for (const DeleteAllCase& c : cases) {
    string t = c.t;
    JDeleteAll(t, c.search);
    EXPECT_EQ(t, c.want) << c.t << " / " << c.search;
    string o = c.t;
    oracle::JDeleteAll(o, c.search);
    EXPECT_EQ(o, c.want) << "oracle: " << c.t << " / " << c.search;
  }
}

TEST(JDeleteAll, SearchLooksIntoTheTarget) {
  string t = "abab";
  JDeleteAll(t, std::string_view(t).substr(0, 2));
  EXPECT_EQ(t, "");
  t = "a/b";
  JReplaceAll(t, std::string_view(t).substr(1, 1), std::string_view(t).substr(0, 1));
  EXPECT_EQ(t, "aab");
}

TEST(JDeleteAll, LongRunsStayLinear) {
  // Would take minutes if each deletion searched again from the start.
  string t;
  for (int i = 0; i < 300000; ++i) t += "\x81\x9A";
  JDeleteAll(t, "\x81\x9A");
  EXPECT_EQ(t, "");
  t = string(300000, 'a') + string(300000, 'b');
  JDeleteAll(t, "ab");
  EXPECT_EQ(t, "");
  t.clear();
  for (int i = 0; i < 300000; ++i) t += "a/";
  JReplaceAll(t, "/", "-");
  EXPECT_EQ(t.find('/'), string::npos);
  EXPECT_EQ(t.size(), 600000u);
}

// The real routines against their step-by-step versions on many small texts.
TEST(JStringRandom, AgreesWithTheOracle) {
  testgen::Rng rng(20240601);
  for (int iter = 0; iter < 30000; ++iter) {
    const string t = testgen::NastyText(rng, 24);
    const string search = testgen::NastySearch(rng, t);
    const int32_t pos = static_cast<int32_t>(rng.Below(30)) - 2;
    const int32_t count = static_cast<int32_t>(rng.Below(12)) - 2;
    SCOPED_TRACE(::testing::Message() << "iter " << iter);

    ASSERT_EQ(JLength(t), oracle::JLength(t)) << t;
    ASSERT_EQ(JPos(search, t), oracle::JPos(search, t)) << search << " in " << t;
    if (!t.empty()) {
      const int32_t i = 1 + static_cast<int32_t>(rng.Below(static_cast<uint32_t>(t.size())));
      ASSERT_EQ(IsTrailByte(t, i), oracle::IsTrailByte(t, i)) << t << " at " << i;
    }
    string a = t, b = t;
    JInsert(search, a, pos);
    oracle::JInsert(search, b, pos);
    ASSERT_EQ(a, b);
    a = t, b = t;
    JDelete(a, pos, count);
    oracle::JDelete(b, pos, count);
    ASSERT_EQ(a, b) << t << " at " << pos << " count " << count;
    ASSERT_EQ(JTrim(t), oracle::JTrim(t)) << t;
    a = t, b = t;
    JDeleteAll(a, search);
    oracle::JDeleteAll(b, search);
    ASSERT_EQ(a, b) << search << " from " << t;

    // A replacement that does not hold the search string; a step-by-step loop that
    // does not end within a bound is left out.
    string repl = testgen::NastySearch(rng, t);
    if (rng.Chance(30)) repl.clear();
    if (repl.find(search) != string::npos) continue;
    b = t;
    if (!oracle::JReplaceAllBounded(b, search, repl, 200)) continue;
    a = t;
    JReplaceAll(a, search, repl);
    ASSERT_EQ(a, b) << search << " by " << repl << " in " << t;
  }
}

// Long texts with few kinds of bytes: cascades of deletions across long runs.
TEST(JStringRandom, CascadesAgreeWithTheOracle) {
  testgen::Rng rng(77);
  const char* const searches[] = {"ab",       "aab",   "abb", "\x81\x9A", "\x9A\x81", "\x81",
                                  "\x81\x81", "a\x81", "--",  "\x81\x40", "\\",       "\x5C\x95"};
  const char alphabet[] = {'a', 'b', '\x81', '\x9A', '-', '\x40', '\x95', '\x5C'};
  for (int iter = 0; iter < 3000; ++iter) {
    string t;
    const uint32_t len = rng.Below(120);
    const uint32_t kinds = 2 + rng.Below(sizeof alphabet - 1);
    for (uint32_t i = 0; i < len; ++i) t += alphabet[rng.Below(kinds)];
    const string search = searches[rng.Below(sizeof searches / sizeof searches[0])];
    string a = t, b = t;
    JDeleteAll(a, search);
    oracle::JDeleteAll(b, search);
    ASSERT_EQ(a, b) << search << " from " << t;
    const string repl = rng.Chance(50) ? string(1, search[0]) : string();
    if (repl.find(search) != string::npos) continue;
    b = t;
    if (!oracle::JReplaceAllBounded(b, search, repl, 1000)) continue;
    a = t;
    JReplaceAll(a, search, repl);
    ASSERT_EQ(a, b) << search << " by " << repl << " in " << t;
  }
}

// Long runs of one search string with a stray byte here and there: the runs
// that go at once, a chunk at a time, and what a stray byte does to them.
TEST(JStringRandom, LongRunsAgreeWithTheOracle) {
  testgen::Rng rng(99);
  const char* const searches[] = {"\x81\x9A", "--",   "\x81\x40", "ab",  "\x9A\x81",
                                  "a",        "\x81", "\x95\x5C", "abc", "a\x81"};
  for (int iter = 0; iter < 24; ++iter) {
    const string search = searches[rng.Below(sizeof searches / sizeof searches[0])];
    string t;
    const uint32_t runs = 1 + rng.Below(3);
    for (uint32_t k = 0; k < runs; ++k) {
      if (rng.Chance(70)) t += testgen::NastyByte(rng);
      const uint32_t copies = 1 + rng.Below(5000 / static_cast<uint32_t>(search.size()));
      for (uint32_t c = 0; c < copies; ++c) t += search;
    }
    if (rng.Chance(50)) t += testgen::NastyByte(rng);
    string a = t, b = t;
    JDeleteAll(a, search);
    oracle::JDeleteAll(b, search);
    ASSERT_EQ(a, b) << iter << " " << search;
  }
}

// Texts that repeat a few bytes over and over (a line of 表, whose every
// trail byte is a backslash), after a short text that sets where the
// characters of the repeats begin, some with one stray byte: the searches
// that pass over the repeats at once must find what the oracle finds.
TEST(JStringRandom, RepeatsAgreeWithTheOracle) {
  // A match right after the repeats, or taking the byte after them, at each
  // length of the repeats.
  const struct {
    string before, unit, after, search;
  } runs[] = {
      {"\x95\\x", "\\", "x", "\\x"},
      {"", "\x95\\", "\\", "\\"},
      {"\x81", "\x81\x81", "\\\x95", "\\\x95"},
  };
  for (const auto& r : runs) {
    string t = r.before;
    for (int len = 0; len < 48; ++len, t.insert(r.before.size(), r.unit)) {
      ASSERT_EQ(JPos(r.search, t + r.after), oracle::JPos(r.search, t + r.after)) << len;
    }
  }
  testgen::Rng rng(3);
  const char bytes[] = {'\x95', '\x5C', '\x81', 'a'};
  const char* const searches[] = {"\\", "\x5C\x95", "\x95", "\x95\x5C", "\x81", "\x5C\x5C", "a\\"};
  for (int iter = 0; iter < 20000; ++iter) {
    string unit;
    for (uint32_t k = 1 + rng.Below(8); k > 0; --k)
      unit += bytes[rng.Below(rng.Chance(50) ? 2 : 4)];
    string t = testgen::NastyText(rng, 12);
    for (uint32_t k = 2 + rng.Below(120 / static_cast<uint32_t>(unit.size())); k > 0; --k)
      t += unit;
    if (rng.Chance(50))
      t.insert(rng.Below(static_cast<uint32_t>(t.size())), 1, testgen::NastyByte(rng));
    const string search = rng.Chance(80) ? searches[rng.Below(7)] : testgen::NastySearch(rng, t);
    SCOPED_TRACE(::testing::Message() << "iter " << iter << ": " << search << " in " << t);
    ASSERT_EQ(JPos(search, t), oracle::JPos(search, t));
    string a = t, b = t;
    JDeleteAll(a, search);
    oracle::JDeleteAll(b, search);
    ASSERT_EQ(a, b);
  }
}

}  // namespace
}  // namespace ixo
