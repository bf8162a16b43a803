#include "settings/history.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "numbered.h"

namespace ixo {
namespace {

TEST(IndexOf, IgnoresLetterCaseByTheUsersLocale) {
  const LineList list("C:\\a\r\nD:\\Links\r\n\r\nＡＢＣ\r\nC:\\A\r\n");
  struct Case {
    const char* text;
    int index;
  } cases[] = {
      {"C:\\a", 0},   {"c:\\A", 0},  {"d:\\links", 1}, {"", 2},
      {"ＡＢＣ", 3},  {"ａｂｃ", 3},  // full-width letters fold case among themselves
      {"ABC", -1},                    // but are not their half-width forms
      {"C:\\a ", -1}, {"C:", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(IndexOf(list, c.text), c.index) << c.text;
  EXPECT_EQ(IndexOf(LineList(), "x"), -1);
}

struct AddCase {
  const char* name;
  std::string item;
  std::string before;
  std::string after;
};

TEST(AddHistory, Table) {
  const std::string ten = "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n";
  const AddCase cases[] = {
      {"first folder", "C:\\a", "", "C:\\a\r\n"},
      {"new goes to the top", "C:\\b", "C:\\a\r\n", "C:\\b\r\nC:\\a\r\n"},
      {"other case moves the stored line", "c:\\A", "D:\\x\r\nC:\\a\r\nE:\\y\r\n",
       "C:\\a\r\nD:\\x\r\nE:\\y\r\n"},
      {"already on top", "C:\\A", "c:\\a\r\nD:\\x\r\n", "c:\\a\r\nD:\\x\r\n"},
      {"full-width letters of other case match", "ａｂｃ", "x\r\nＡＢＣ\r\n", "ＡＢＣ\r\nx\r\n"},
      {"full-width and half-width differ", "ABC", "ＡＢＣ\r\n", "ABC\r\nＡＢＣ\r\n"},
      {"blanks only", "   ", "C:\\a\r\n", "C:\\a\r\n"},
      {"control bytes only", std::string("\t\x01\x20\x00", 4), "C:\\a\r\n", "C:\\a\r\n"},
      {"empty", "", "C:\\a\r\n", "C:\\a\r\n"},
      {"kept untrimmed", " C:\\a ", "C:\\a\r\n", " C:\\a \r\nC:\\a\r\n"},
      {"eleventh drops the last", "new", ten,
       "new\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"},
      {"moving keeps ten", "9", ten, "9\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"},
      {"longer list is cut to ten", "5", ten + "10\r\n11\r\n",
       "5\r\n0\r\n1\r\n2\r\n3\r\n4\r\n6\r\n7\r\n8\r\n9\r\n"},
      {"breaks of the list are made CR LF", "c", "a\nb\r", "c\r\na\r\nb\r\n"},
      {"double-byte folder with 0x5C trail bytes", "C:\\表\\ソフト", "C:\\a\r\n",
       "C:\\表\\ソフト\r\nC:\\a\r\n"},
      // An item that is more than one line would become several folders, and
      // one with a zero byte would cut off the rest of the list.
      {"line break in the item", "C:\\a\r\nC:\\b", "D:\\x\r\n", "D:\\x\r\n"},
      {"lone LF in the item", "C:\\a\nC:\\b", "D:\\x\r\n", "D:\\x\r\n"},
      {"zero byte in the item", std::string("C:\\a\0C:\\b", 9), "D:\\x\r\n", "D:\\x\r\n"},
  };
  for (const AddCase& c : cases) {
    std::string list = c.before;
    AddHistory(c.item, list);
    EXPECT_EQ(list, c.after) << c.name;
  }
}

// AddHistory applied to entries count-1 down to 0, one at a time.
std::string OneByOne(const std::vector<std::string>& entries) {
  std::string list;
  for (size_t n = entries.size(); n-- > 0;) AddHistory(entries[n], list);
  return list;
}

std::string FromEntries(const std::vector<std::string>& entries, size_t* reads = nullptr) {
  size_t asked = 0;
  std::string out = HistoryFromEntries(entries.size(), [&](size_t i) {
    EXPECT_EQ(i, asked) << "entries are read from 0 upwards, each once";
    ++asked;
    return entries.at(i);
  });
  if (reads) *reads = asked;
  return out;
}

TEST(HistoryFromEntries, Examples) {
  struct Case {
    const char* name;
    std::vector<std::string> entries;
    std::string want;
  };
  std::vector<std::string> twelve;
  std::string first_ten;
  for (int i = 0; i < 12; ++i) {
    twelve.push_back(Numbered("F", i));
    if (i < 10) first_ten += Numbered("F", i) + "\r\n";
  }
  std::vector<std::string> evicted = {"a"};
  std::vector<std::string> kept = {"a"};
  for (int i = 1; i <= 10; ++i) evicted.push_back(Numbered("o", i));
  for (int i = 1; i <= 9; ++i) kept.push_back(Numbered("o", i));
  evicted.push_back("A");
  kept.push_back("A");
  const Case cases[] = {
      {"none", {}, ""},
      {"case variants collapse", {"C:\\a", "c:\\A", "D:\\b"}, "c:\\A\r\nD:\\b\r\n"},
      {"twelve keep the lowest ten", twelve, first_ten},
      {"blanks skipped", {"", "x", "  ", "y", ""}, "x\r\ny\r\n"},
      // Ten other folders between two spellings push the higher one out of
      // the list before the lower one comes; nine do not.
      {"pushed out, lower spelling stays", evicted,
       "a\r\no1\r\no2\r\no3\r\no4\r\no5\r\no6\r\no7\r\no8\r\no9\r\n"},
      {"not pushed out, higher spelling stays", kept,
       "A\r\no1\r\no2\r\no3\r\no4\r\no5\r\no6\r\no7\r\no8\r\no9\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FromEntries(c.entries), c.want) << c.name;
    EXPECT_EQ(OneByOne(c.entries), c.want) << c.name;
  }
}

TEST(HistoryFromEntries, AgreesWithAddHistoryFromTheTopDown) {
  // Few names in changing letter case, so that spellings collapse, folders
  // drop out and come back, and the reading stops at every possible point.
  std::mt19937 rng(20240611);
  for (int round = 0; round < 1500; ++round) {
    const int names = 1 + static_cast<int>(rng() % 24);
    const size_t count = rng() % 70;
    std::vector<std::string> entries;
    for (size_t i = 0; i < count; ++i) {
      if (rng() % 10 == 0) {
        entries.push_back(rng() % 2 ? "" : " \t");
        continue;
      }
      std::string name = Numbered("f", rng() % names) + "x";
      for (char& ch : name) {
        if (rng() % 2) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      }
      entries.push_back(name);
    }
    const std::string want = OneByOne(entries);
    ASSERT_EQ(FromEntries(entries), want) << "round " << round;
  }
}

TEST(HistoryFromEntries, StopsReadingOnceNothingCanChange) {
  // A damaged count of endless folders, all different: once the ten that
  // stay are known, nothing after them is read.
  std::string want;
  for (int i = 0; i < 10; ++i) want += Numbered("C:\\folder", i) + "\r\n";
  std::string got;
  EXPECT_NO_THROW(got = HistoryFromEntries(SIZE_MAX, [](size_t i) {
                    if (i >= 1000) throw std::out_of_range("read on and on");
                    return Numbered("C:\\folder", i);
                  }));
  EXPECT_EQ(got, want);
  size_t reads = 0;

  // With only ten names every entry can still decide a letter case.
  std::vector<std::string> cycling;
  for (int i = 0; i < 500; ++i) cycling.push_back(Numbered(i % 3 ? "d" : "D", i % 10));
  EXPECT_EQ(FromEntries(cycling, &reads), OneByOne(cycling));
  EXPECT_EQ(reads, cycling.size());
}

}  // namespace
}  // namespace ixo
