#include "core/error.h"

#include <gtest/gtest.h>

namespace ixo {
namespace {

TEST(FormatMessage1, ReplacesThePlaceholderOnce) {
  EXPECT_EQ(FormatMessage1("file %s x", "a%sb"), "file a%sb x");
  EXPECT_EQ(FormatMessage1("no placeholder", "a"), "no placeholder");
  EXPECT_EQ(FormatMessage1("%s", ""), "");
}

}  // namespace
}  // namespace ixo
