#include "core/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace ixo {
namespace {

TEST(WebAddress, ARedirectIsReadAgainstTheAddressThatGaveIt) {
  const std::u16string base = u"http://example.com/news/2026/page.html?x=1#top";
  const struct {
    std::u16string location, want;
  } cases[] = {
      {u"https://other.example/a", u"https://other.example/a"},
      {u"//cdn.example/b?c", u"http://cdn.example/b?c"},
      {u"/root", u"http://example.com/root"},
      {u"next.html", u"http://example.com/news/2026/next.html"},
      {u"../2025/", u"http://example.com/news/2025/"},
      {u"./a/./b/../c", u"http://example.com/news/2026/a/c"},
      {u"../../../../up", u"http://example.com/up"},
      {u"?y=2", u"http://example.com/news/2026/page.html?y=2"},
      {u"#frag", u"http://example.com/news/2026/page.html?x=1"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveAddress(base, c.location), c.want);
  EXPECT_EQ(ResolveAddress(u"http://example.com", u"a"), u"http://example.com/a");
}

TEST(WebAddress, WhatGoesOutIsPrintableAscii) {
  EXPECT_EQ(RequestAddress(u"http://example.com/a b#part"), u"http://example.com/a%20b");
  EXPECT_EQ(RequestAddress(u"http://example.com/\u8868/\U0001F370"),
            u"http://example.com/%E8%A1%A8/%F0%9F%8D%B0");
  EXPECT_EQ(SchemeOf(u"HTTPS://example.com/"), u"https");
  EXPECT_EQ(SchemeOf(u"example.com/x:y"), u"");
}

}  // namespace
}  // namespace ixo
