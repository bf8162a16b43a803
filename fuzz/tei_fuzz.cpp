// A title-delete file of arbitrary bytes, read as a line list and written
// back: the lines are the text's lines, the written text reads back as the
// same lines, and no line holds a break or a zero byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/linelist.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

// The text as the file is saved again, built byte by byte: up to the first
// zero byte, every break (CR LF, lone CR, lone LF) made CR LF, and a CR LF
// after a last line that has none.
std::string Normalized(std::string_view in) {
  std::string out;
  size_t i = 0;
  for (; i < in.size() && in[i] != '\0'; ++i) {
    if (in[i] == '\r') {
      out += "\r\n";
      if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
    } else if (in[i] == '\n') {
      out += "\r\n";
    } else {
      out += in[i];
    }
  }
  if (!out.empty() && !(out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)) {
    out += "\r\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  ixo::LineList list(in);
  const std::string text = list.Text();
  Check(text == Normalized(in), "text differs from the normalized input");

  size_t breaks = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '\r' && text[i + 1] == '\n') ++breaks;
  }
  Check(breaks == list.Count(), "one CR LF per line");
  for (const std::string_view line : list.Lines()) {
    Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
          "a line holds a break or a zero byte");
  }

  ixo::LineList again;
  again.SetText(text);
  Check(again.Lines() == list.Lines(), "the saved text reads back as other lines");
  Check(again.Text() == text, "saving twice differs");
  return 0;
}
