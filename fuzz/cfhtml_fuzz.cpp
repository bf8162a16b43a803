// The clipboard's "HTML Format" on any bytes: the fragment and the source
// address always lie inside the block, before its first zero byte; and a
// block written as Chromium or Firefox write one, around any fragment,
// gives that fragment back.
//
// Input: byte 0 chooses the writer's layout (offset width, line ends,
// markers); the rest is read once as a whole block, and once as the
// fragment of a block made around it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/cfhtml.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

bool Inside(std::string_view part, std::string_view block) {
  return part.data() >= block.data() && part.data() + part.size() <= block.data() + block.size();
}

std::string MakeBlock(std::string_view fragment, uint8_t mode) {
  const int digits = (mode & 3) == 0 ? 0 : (mode & 3) == 1 ? 8 : 10;
  const char* eol = (mode & 4) ? "\n" : "\r\n";
  const std::string before = (mode & 8) ? "<html><body>\r\n<!--StartFragment-->" : "<p>";
  const std::string after = (mode & 8) ? "<!--EndFragment-->\r\n</body>\r\n</html>" : "</p>";
  const std::string source = (mode & 16) ? std::string("SourceURL:http://a/") + eol : "";
  // The offsets count the header, whose length depends on them: write it
  // again until its length holds still (it only grows, so it does).
  std::string header;
  for (std::string last = "-"; header.size() != last.size();) {
    last = header;
    const size_t start = last.size() + before.size(), end = start + fragment.size();
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "Version:0.9%sStartHTML:%0*zu%sEndHTML:%0*zu%sStartFragment:%0*zu%s"
                  "EndFragment:%0*zu%s",
                  eol, digits, last.size(), eol, digits, end + after.size(), eol, digits, start,
                  eol, digits, end, eol);
    header = buf + source;
  }
  return header + before + std::string(fragment) + after +
         ((mode & 32) ? std::string(1, '\0') : "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string_view block = rest.substr(0, rest.find('\0'));
  if (const auto fragment = ixo::CfHtmlFragment(rest)) {
    Check(Inside(*fragment, block), "fragment inside the block");
  }
  const std::string_view source = ixo::CfHtmlSourceURL(rest);
  Check(source.empty() || Inside(source, block), "source inside the block");

  // The zero byte would end the block: a fragment of text holds none.
  std::string fragment(rest);
  for (char& c : fragment) c = c == '\0' ? ' ' : c;
  const std::string made = MakeBlock(fragment, mode);
  const auto got = ixo::CfHtmlFragment(made);
  Check(got.has_value() && *got == fragment, "a written block gives its fragment back");
  return 0;
}
