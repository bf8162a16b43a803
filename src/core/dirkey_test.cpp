#include "core/dirkey.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

TEST(DirIndex, OnlyDirAndAPlainDecimalNumber) {
  struct Case {
    std::string name;
    int64_t index;
  } cases[] = {
      {"Dir0", 0},
      {"Dir7", 7},
      {"dir12", 12},
      {"DIR3", 3},
      {"dIr9", 9},
      {"Dir2147483646", 2147483646},
      {"Dir9999999999", 9999999999},
      {"Dir10000000000", -1},  // eleven digits: past every count
      {"Dir", -1},
      {"Dir01", -1},  // another key than Dir1
      {"Dir00", -1},
      {"Dir-1", -1},
      {"Dir+1", -1},
      {"Dir 1", -1},
      {"Dir1 ", -1},
      {"Dir1a", -1},
      {"Dir$1", -1},
      {"Dirx", -1},
      {"Count", -1},
      {"Di1", -1},
      {"Dir\xEF\xBC\x91", -1},  // a full-width digit
      {"Ｄir1", -1},
      {"", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(DirIndex(c.name), c.index) << c.name;
}

TEST(DirKey, ReadsBackAsItsIndex) {
  for (const int64_t n : {int64_t{0}, int64_t{1}, int64_t{9}, int64_t{10}, int64_t{2147483646}}) {
    EXPECT_EQ(DirKey(n), "Dir" + std::to_string(n));
    EXPECT_EQ(DirIndex(DirKey(n)), n);
  }
}

}  // namespace
}  // namespace ixo
