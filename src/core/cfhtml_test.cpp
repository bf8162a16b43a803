#include "core/cfhtml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

namespace ixo {
namespace {

const std::string kLink = "<a href=\"https://example.com/\">Example Domain</a>";

struct Layout {
  int digits;         // how wide the offsets are written
  const char* eol;    // the header's line ends
  const char* extra;  // header lines after the four offsets
  const char* before;
  const char* after;
  bool noContext = false;  // StartHTML and EndHTML are -1
};

// Chromium (Chrome and Edge), Firefox and Microsoft's own example.
constexpr Layout kChrome = {10, "\r\n", "SourceURL:https://example.com/\r\n",
                            "<html>\r\n<body>\r\n<!--StartFragment-->",
                            "<!--EndFragment-->\r\n</body>\r\n</html>"};
constexpr Layout kFirefox = {8, "\r\n", "SourceURL:https://example.com/\r\n",
                             "<html><body>\r\n<!--StartFragment-->",
                             "<!--EndFragment-->\r\n</body>\r\n</html>"};
constexpr Layout kMicrosoft = {
    10, "\r\n", "StartSelection:0000000000\r\nEndSelection:0000000000\r\n",
    "<html><body><!--StartFragment-->", "<!--EndFragment--></body></html>"};

// A block with every offset right, as its writer makes it.
std::string MakeBlock(const Layout& l, const std::string& fragment) {
  const auto line = [&](const char* name, long long value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s:%0*lld%s", name, l.digits, value, l.eol);
    return std::string(buf);
  };
  // The offsets count the header, whose length depends on them: write it
  // again until its length holds still (it only grows, so it does).
  std::string header;
  for (std::string last = "-"; header.size() != last.size();) {
    last = header;
    const long long startFragment = last.size() + std::string(l.before).size();
    const long long endFragment = startFragment + fragment.size();
    const long long endHtml = endFragment + std::string(l.after).size();
    header = std::string("Version:0.9") + l.eol +
             line("StartHTML", l.noContext ? -1 : static_cast<long long>(last.size())) +
             line("EndHTML", l.noContext ? -1 : endHtml) + line("StartFragment", startFragment) +
             line("EndFragment", endFragment) + l.extra;
  }
  return header + l.before + fragment + l.after;
}

// `n` in ten digits, as Chromium writes an offset.
std::string Padded(size_t n) {
  const std::string digits = std::to_string(n);
  return std::string(10 - digits.size(), '0') + digits;
}

// `block` with the value of its header line `name` replaced.
std::string WithValue(std::string block, const std::string& name, const std::string& value) {
  const size_t at = block.find(name + ":") + name.size() + 1;
  block.replace(at, block.find_first_of("\r\n", at) - at, value);
  return block;
}

TEST(CfHtmlFragment, TheBytesBetweenTheHeadersOffsets) {
  const std::string japanese = "<a href=\"https://example.com/\">\xE6\x97\xA5\xE6\x9C\xAC</a>";
  const std::string chrome = MakeBlock(kChrome, kLink);
  const size_t start = chrome.find(kLink), end = start + kLink.size();
  std::string anyCase = chrome;
  anyCase.replace(anyCase.find("StartFragment:"), 13, "STARTFRAGMENT");
  anyCase.replace(anyCase.find("EndFragment:"), 11, "endfragment");
  // Offsets that leave the markers out, as some programs set them.
  std::string outside = MakeBlock({10, "\r\n", "", "<html><body>", "</body></html>"}, kLink);
  outside.insert(outside.find("<a "), "<!--StartFragment-->x");
  outside = WithValue(outside, "StartFragment", Padded(outside.find("<a ")));
  outside = WithValue(outside, "EndFragment", Padded(outside.find("</a>") + 4));
  struct Case {
    const char* what;
    std::string block;
    std::string fragment;
  } cases[] = {
      {"Chrome and Edge", chrome, kLink},
      {"Firefox, with its zero byte", MakeBlock(kFirefox, kLink) + std::string("\0junk", 5), kLink},
      {"Microsoft's example", MakeBlock(kMicrosoft, japanese), japanese},
      {"LF line ends", MakeBlock({6, "\n", "", "<!--StartFragment-->", ""}, kLink), kLink},
      {"lone CR line ends", MakeBlock({6, "\r", "", "", ""}, kLink), kLink},
      {"no padding, no markers", MakeBlock({0, "\r\n", "", "<p>", "</p>"}, kLink), kLink},
      {"an empty fragment", MakeBlock(kChrome, ""), ""},
      {"no context", MakeBlock({0, "\r\n", "", "<!--StartFragment-->", "", true}, kLink), kLink},
      {"offsets padded with spaces",
       WithValue(
           WithValue(chrome, "StartFragment", std::string(" ").append(Padded(start), 2) + " "),
           "EndFragment", std::string("   ").append(std::to_string(end)) + "\t   "),
       kLink},
      {"names in any letter case", anyCase, kLink},
      {"offsets win over markers", outside, kLink},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CfHtmlFragment(c.block), std::optional<std::string_view>(c.fragment)) << c.what;
  }
}

TEST(CfHtmlFragment, ADamagedHeaderFallsBackToTheMarkersOrGivesNothing) {
  const std::string chrome = MakeBlock(kChrome, kLink);
  const size_t end = chrome.find(kLink) + kLink.size();
  const std::string bare = MakeBlock({10, "\r\n", "", "<html><body>", "</body></html>"}, kLink);
  const std::string damaged[][2] = {
      {"StartFragment", ""},
      {"EndFragment", std::string("-").append(std::to_string(end))},
      {"StartFragment", "-1"},
      {"EndFragment", std::to_string(end) + "x"},
      {"EndFragment", std::string("+").append(std::to_string(end))},
      {"EndFragment", std::string("1 ").append(std::to_string(end))},
      {"EndFragment", std::string("0x").append(std::to_string(end))},
      {"EndFragment", "99999999999999999999999"},
      {"EndFragment", Padded(chrome.size() + 1)},
      {"StartFragment", Padded(end + 1)},  // after EndFragment
      {"StartFragment", Padded(0)},        // inside the header
      {"StartFragment", Padded(12)},
  };
  for (const auto& d : damaged) {
    SCOPED_TRACE(d[0] + ":" + d[1]);
    EXPECT_EQ(CfHtmlFragment(WithValue(chrome, d[0], d[1])), kLink);
    EXPECT_EQ(CfHtmlFragment(WithValue(bare, d[0], d[1])), std::nullopt);
  }
  // The zero byte ends the block: offsets past it are beyond the data.
  std::string cut = bare;
  cut[cut.find("</a>")] = '\0';
  EXPECT_EQ(CfHtmlFragment(cut), std::nullopt);
  // Both offsets missing.
  EXPECT_EQ(CfHtmlFragment("Version:0.9\r\n<!--StartFragment-->x<!--EndFragment-->"), "x");
  for (const char* block : {"", "Version:0.9", "StartFragment:0\r\n"}) {
    EXPECT_EQ(CfHtmlFragment(block), std::nullopt) << block;
  }
  EXPECT_EQ(CfHtmlFragment(std::string("\0<!--StartFragment-->a<!--EndFragment-->", 40)),
            std::nullopt);
}

TEST(CfHtmlFragment, TheMarkersAsOlderProgramsWriteThem) {
  struct Case {
    const char* block;
    std::optional<std::string_view> fragment;
  } cases[] = {
      {"Version:1.0\r\n<!--StartFragment-->a<!--EndFragment-->", "a"},
      {"Version:1.0\r\n<!--StartFragment -->a<!--EndFragment -->", "a"},
      {"Version:1.0\n<!-- StartFragment-->a<!-- ENDFRAGMENT-->", "a"},
      {"Version:1.0\n<!--StartFragment-->a<!--EndFragment-->b<!--EndFragment-->", "a"},
      {"Version:1.0\r\n<!--StartFragment-->a", std::nullopt},
      {"Version:1.0\r\n<!--EndFragment-->a<!--StartFragment-->", std::nullopt},
      {"Version:1.0\r\n<!--StartFragmentx-->a<!--EndFragment-->", std::nullopt},
      // A SourceURL that holds a marker is no part of the HTML.
      {"SourceURL:x<!--StartFragment-->\r\na<!--EndFragment-->", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(CfHtmlFragment(c.block), c.fragment) << c.block;
}

TEST(CfHtmlSourceURL, TheHeadersAddressTrimmed) {
  EXPECT_EQ(CfHtmlSourceURL(MakeBlock(kChrome, kLink)), "https://example.com/");
  EXPECT_EQ(CfHtmlSourceURL("Version:0.9\nsourceurl: http://a/b?c=d \n<html>"), "http://a/b?c=d");
  EXPECT_EQ(CfHtmlSourceURL(MakeBlock(kMicrosoft, kLink)), "");
  EXPECT_EQ(CfHtmlSourceURL("<html>SourceURL:http://a/</html>"), "");
}

}  // namespace
}  // namespace ixo
