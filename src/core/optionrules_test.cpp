#include "core/optionrules.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

using namespace std::string_literals;

TEST(CRLFBreaks, Table) {
  struct Case {
    std::string in, want;
  };
  const Case cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\rb", "a\r\nb"},
      {"a\nb", "a\r\nb"},
      {"a\n", "a\r\n"},
      {"\r", "\r\n"},
      // LF then CR is two breaks, not one.
      {"a\n\rb", "a\r\n\r\nb"},
      {"a\r\r\nb", "a\r\n\r\nb"},
      {"\n\n", "\r\n\r\n"},
      // A zero byte ends the text.
      {"a\rb\0c\nd"s, "a\r\nb"},
      // Second bytes of double-byte characters are never breaks anyway;
      // they pass through untouched.
      {"\x95\x5C\r\x83\x5C", "\x95\x5C\r\n\x83\x5C"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, CRLFBreaks(c.in)) << c.in;
}

TEST(TrimBlankBytes, Table) {
  struct Case {
    std::string in, want;
  };
  const Case cases[] = {
      {"", ""},
      {"   ", ""},
      {"  -=?  ", "-=?"},
      {"\t\r\n-=?\x01\x1F ", "-=?"},
      {"\0\0x\0"s, "x"},
      {"a b", "a b"},
      // 0x21 and above stay, the full-width space (0x81 0x40) too.
      {"!\x81\x40", "!\x81\x40"},
      {"\x7F", "\x7F"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, TrimBlankBytes(c.in)) << c.in;
}

TEST(ClampTime, KeepsTheRangeAndBringsTheRestIntoIt) {
  EXPECT_EQ(10, ClampTime(10));
  EXPECT_EQ(60, ClampTime(60));
  EXPECT_EQ(32767, ClampTime(32767));
  EXPECT_EQ(10, ClampTime(9));
  EXPECT_EQ(10, ClampTime(-1));
  EXPECT_EQ(10, ClampTime(INT32_MIN));
  EXPECT_EQ(32767, ClampTime(32768));
  EXPECT_EQ(32767, ClampTime(INT32_MAX));
}

TEST(TimeFromText, Table) {
  struct Case {
    std::string in;
    std::optional<int32_t> want;
  };
  const Case cases[] = {
      {"120", 120},          {"10", 10},
      {"32767", 32767},      {"9", std::nullopt},
      {"5", std::nullopt},   {"32768", std::nullopt},
      {"-1", std::nullopt},  {"abc", std::nullopt},
      {"", std::nullopt},    {"12a", std::nullopt},
      {"1.5", std::nullopt}, {" 60", 60},
      {"$20", 32},           {"99999999999", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, TimeFromText(c.in)) << c.in;
}

TEST(RadioOfAcType, ZeroToTwoShowAsThemselvesTheRestAsZero) {
  EXPECT_EQ(0, RadioOfAcType(0));
  EXPECT_EQ(1, RadioOfAcType(1));
  EXPECT_EQ(2, RadioOfAcType(2));
  EXPECT_EQ(0, RadioOfAcType(3));
  EXPECT_EQ(0, RadioOfAcType(255));
}

}  // namespace
}  // namespace ixo
