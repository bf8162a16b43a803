#include "core/linelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "jtext_gen.h"
#include "oracle.h"

namespace ixo {
namespace {

using std::string;
using Lines = std::vector<string>;

struct SplitCase {
  string text;
  Lines want;
};

TEST(LineList, SetTextCutsAtEveryKindOfBreak) {
  const SplitCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR: two breaks
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\n\r", {"a", ""}},
      {"\r\n", {""}},
      {"\n", {""}},
      {"\r", {""}},
      {"\r\n\r\n", {"", ""}},
      {"\n\r", {"", ""}},
      {"a\r\n\n", {"a", ""}},
      {string("ab\0cd", 5), {"ab"}},  // a zero byte ends the text
      {string("\0ab", 3), {}},
      {string("a\r\0\nb", 5), {"a"}},
      {"\x95\x5C\r\n\x81\x40", {"\x95\x5C", "\x81\x40"}},
      {"\x81\r\n", {"\x81"}},  // a lead byte does not take the break
  };
  for (const SplitCase& c : cases) {
    LineList l;
    l.Add("old");
    l.SetText(c.text);
    EXPECT_EQ(oracle::Strings(l), c.want) << c.text;
    EXPECT_EQ(oracle::SplitLines(c.text), c.want) << c.text;
    EXPECT_EQ(oracle::Strings(LineList(c.text)), c.want);
  }
}

TEST(LineList, TextEndsEveryLineWithCrLf) {
  EXPECT_EQ(LineList().Text(), "");
  LineList l;
  l.Add("a");
  EXPECT_EQ(l.Text(), "a\r\n");
  l.Add("");
  l.Add("b");
  EXPECT_EQ(l.Text(), "a\r\n\r\nb\r\n");
  EXPECT_EQ(LineList("x\ny\rz").Text(), "x\r\ny\r\nz\r\n");
}

TEST(LineList, InsertDeleteMove) {
  LineList l("a\nb\nc\nd");
  l.Insert(0, "0");
  l.Insert(5, "e");
  l.Insert(2, "x");
  EXPECT_EQ(oracle::Strings(l), (Lines{"0", "a", "x", "b", "c", "d", "e"}));
  l.Delete(2);
  l.Delete(0);
  l.Delete(4);
  EXPECT_EQ(oracle::Strings(l), (Lines{"a", "b", "c", "d"}));
  l.Move(0, 2);
  EXPECT_EQ(oracle::Strings(l), (Lines{"b", "c", "a", "d"}));
  l.Move(3, 0);
  EXPECT_EQ(oracle::Strings(l), (Lines{"d", "b", "c", "a"}));
  l.Move(1, 1);
  EXPECT_EQ(oracle::Strings(l), (Lines{"d", "b", "c", "a"}));
  l.Move(0, 3);
  EXPECT_EQ(oracle::Strings(l), (Lines{"b", "c", "a", "d"}));
  EXPECT_EQ(l.Count(), 4u);
  EXPECT_FALSE(l.Empty());
  l.Clear();
  EXPECT_TRUE(l.Empty());
}

TEST(LineList, BadIndexesChangeNothing) {
  LineList l("a\nb");
  EXPECT_THROW(l.Insert(3, "x"), Error);
  EXPECT_THROW(l.Delete(2), Error);
  EXPECT_THROW(l.Move(2, 0), Error);
  EXPECT_THROW(l.Move(0, 2), Error);
  EXPECT_EQ(oracle::Strings(l), (Lines{"a", "b"}));
}

TEST(LineList, MoveAgreesWithDeleteThenInsert) {
  testgen::Rng rng(5);
  for (int iter = 0; iter < 500; ++iter) {
    Lines v;
    const uint32_t n = 1 + rng.Below(8);
    for (uint32_t i = 0; i < n; ++i) v.push_back(string(1, static_cast<char>('a' + i)));
    LineList l;
    for (const string& s : v) l.Add(s);
    const size_t from = rng.Below(n), to = rng.Below(n);
    l.Move(from, to);
    const string moved = v[from];
    v.erase(v.begin() + static_cast<long>(from));
    v.insert(v.begin() + static_cast<long>(to), moved);
    ASSERT_EQ(oracle::Strings(l), v);
  }
}

TEST(LineList, RandomTextsAgreeWithTheOracle) {
  testgen::Rng rng(11);
  const char bytes[] = {'a', '\r', '\n', '\0', '\x81', 'b'};
  for (int iter = 0; iter < 5000; ++iter) {
    // Short texts, and texts over several blocks of 64 bytes with breaks
    // rare or dense, so that CR LF and LF CR also stand across block ends.
    string text;
    const bool longText = rng.Chance(30);
    const uint32_t len = rng.Below(longText ? 300 : 16);
    const uint32_t breaks = longText ? rng.Below(100) : 50;
    for (uint32_t i = 0; i < len; ++i) {
      if (rng.Below(100) >= breaks) {
        text += 'a';
      } else {
        text += bytes[1 + rng.Below(rng.Chance(95) ? 2 : 5)];
      }
    }
    LineList l(text);
    ASSERT_EQ(oracle::Strings(l), oracle::SplitLines(text)) << iter;
    // Reading the text back and setting it again gives the same lines.
    ASSERT_EQ(LineList(l.Text()).Lines(), l.Lines());
    ASSERT_EQ(l.Text(), oracle::JoinLines(l.Lines()));
  }
}

TEST(LineList, CopiesMovesAndChangesKeepEveryLine) {
  // Lines of the text and lines of the store, short and longer than a string
  // holds in itself; under AddressSanitizer a view of storage let go fails.
  const string longLine(40, 'L');
  LineList a("x\r\n" + longLine + "\r\n\r\ny");
  a.Add(longLine + "+");
  a.Insert(0, "s");
  a.Insert(1, "");
  const Lines want = {"s", "", "x", longLine, "", "y", longLine + "+"};
  LineList b = a;
  a.Delete(6);
  a.Delete(0);
  EXPECT_EQ(oracle::Strings(a), (Lines{"", "x", longLine, "", "y"}));
  a.SetText("other");
  EXPECT_EQ(oracle::Strings(b), want);
  LineList c = std::move(b);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(oracle::Strings(c), want);
  b = c;
  c.Clear();
  c = std::move(b);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(oracle::Strings(c), want);
  // Set from a line of its text, then from a line of its store.
  c.SetText(c[3]);
  EXPECT_EQ(oracle::Strings(c), (Lines{longLine}));
  c.Add(longLine + "z\nz");
  c.SetText(c[1]);
  EXPECT_EQ(oracle::Strings(c), (Lines{longLine + "z", "z"}));
}

TEST(LineList, LargeText) {
  // Short lines and one long line; the benchmark measures 50 MB.
  const size_t units = (4u << 20) / 16;
  string text;
  for (size_t i = 0; i < units; ++i) text += "line of text\r\n\n\r";
  text += string(1u << 20, 'x');
  LineList l(text);
  ASSERT_EQ(l.Count(), 3 * units + 1);
  EXPECT_EQ(l[3], "line of text");
  EXPECT_EQ(l[4], "");
  EXPECT_EQ(l[l.Count() - 1].size(), 1u << 20);
  EXPECT_EQ(l.Text().size(), 18 * units + (1u << 20) + 2);
}

}  // namespace
}  // namespace ixo
