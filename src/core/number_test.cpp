#include "core/number.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

struct NumberCase {
  std::string in;
  std::optional<int32_t> want;  // nullopt: not a number, the key's default
};

TEST(ParseNumber, Table) {
  const NumberCase cases[] = {
      // Decimal with an optional sign.
      {"0", 0},
      {"60", 60},
      {"+5", 5},
      {"-5", -5},
      {"-0", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"00000000000000000000042", 42},
      // Outside the 32-bit signed range.
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      // Leading blanks are skipped, trailing ones are not.
      {" 12", 12},
      {"   -3", -3},
      {"\t12", 12},
      {"12 ", std::nullopt},
      {"1 2", std::nullopt},
      {"- 1", std::nullopt},
      // Hexadecimal after each of the five prefixes, as a 32-bit pattern.
      {"$10", 16},
      {"x1f", 31},
      {"X1F", 31},
      {"0x7fffffff", 2147483647},
      {"0XaBcD", 0xABCD},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$00000001", 1},
      {" $A", 10},
      // No sign before hexadecimal, no empty digits, at most eight digits.
      {"-$10", std::nullopt},
      {"+$10", std::nullopt},
      {"-0x10", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"x", std::nullopt},
      {"$123456789", std::nullopt},
      {"$000000001", std::nullopt},
      {"0x1G", std::nullopt},
      {"$ 1", std::nullopt},
      {"00x1", std::nullopt},
      // Anything else.
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"true", std::nullopt},
      {"1e3", std::nullopt},
      {"12abc", std::nullopt},
      {"1.5", std::nullopt},
      {"\x82\x50", std::nullopt},  // full-width digit one
      {std::string("1\0", 2), std::nullopt},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(ParseNumber(c.in), c.want) << "input \"" << c.in << "\"";
  }
}

TEST(ReadNumber, GivesTheDefaultForWhatIsNotANumber) {
  EXPECT_EQ(ReadNumber("", 60), 60);
  EXPECT_EQ(ReadNumber("true", 0), 0);
  EXPECT_EQ(ReadNumber("0x", 2), 2);
  EXPECT_EQ(ReadNumber("0", 60), 0);
  EXPECT_EQ(ReadNumber("$FFFFFFFF", 60), -1);
}

}  // namespace
}  // namespace ixo
