// ExtractURL, ExtractTitle, UniqueChars and IsURLChar against the step-by-step
// algorithms of the extraction (and through them the double-byte routines).
//
// Input (at most 4 KB, so that the quadratic step-by-step loops stay quick):
// byte 0 chooses the extra URL characters, the title-delete list and the
// https switch (bit 3); then,
// up to the first 0xFF byte, the user's extra characters or delete list;
// the rest is the clipboard text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/extract.h"
#include "core/linelist.h"
#include "fuzz_check.h"
#include "oracle.h"

using ixo::Check;

namespace {

const char kDefaultDel[] =
    "\x81\x9A\r\n\x81\x9C\r\n\x81\xA1\r\n\x81\x9F\r\n\x81\xA4\r\n\x81\x9B\r\n\x81\xA0\r\n"
    "\x81\x9E\r\n--\r\n\x81\x40\r\n\x81\x64\r\n\x81\x63\r\n\x84\xAA\r\n\x81\x99\r\n==\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const uint8_t mode = data[0];
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string part;
  const size_t cut = rest.find('\xFF');
  if (cut != std::string::npos) {
    part = rest.substr(0, cut);
    rest.erase(0, cut + 1);
  }
  const std::string extra = (mode & 1) ? part : std::string("-=?;%&,#\\");
  ixo::LineList del;
  switch ((mode >> 1) & 3) {
    case 0:
      del.SetText(kDefaultDel);
      break;
    case 1:
      del.SetText(part);
      break;
    case 2:
      break;  // empty list
    default:
      del.SetText(kDefaultDel);
      del.Add(part);  // a string with line breaks, as Add allows
      break;
  }
  const ixo::LineList lines(rest);
  const bool https = (mode & 8) != 0;

  const ixo::TURLRecord got = ixo::ExtractURL(extra, del, lines, https);
  const ixo::TURLRecord want = ixo::oracle::ExtractURL(extra, del, lines, https);
  Check(got == want, "ExtractURL");

  // Both sets are now BaseURLChars followed by `extra`.
  for (const std::string& c :
       {std::string(), part.substr(0, 1), rest.substr(0, 1), rest.substr(0, 2)}) {
    Check(ixo::IsURLChar(c) == ixo::oracle::IsURLChar(c), "IsURLChar");
  }
  Check(ixo::UniqueChars(rest) == ixo::oracle::UniqueChars(rest), "UniqueChars");

  if (lines.Count() > 0 && size >= 4) {
    const int urlLine = data[1] % static_cast<int>(lines.Count());
    const int urlPos = static_cast<int8_t>(data[2]);
    const int urlLength = static_cast<int8_t>(data[3]);
    Check(ixo::ExtractTitle(lines, del, urlLine, urlPos, urlLength) ==
              ixo::oracle::ExtractTitle(lines, del, urlLine, urlPos, urlLength),
          "ExtractTitle");
  }
  return 0;
}
