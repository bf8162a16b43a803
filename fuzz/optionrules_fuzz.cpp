// The options dialog's rules on arbitrary text, as a hand-edited IXO.tei,
// IXO.ini or a typed box gives it: line breaks made CR LF, blank bytes
// trimmed, the automatic-exit time read and kept in range, against plain
// second readings.
//
// Input: the first four bytes are also taken as a 32-bit time and byte 0 as
// an automatic-exit kind; the whole input is the text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/linelist.h"
#include "core/number.h"
#include "core/optionrules.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  std::string out;
  size_t at = 0;
  for (size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size()) {
    out.append(s, at, hit - at);
    out.append(to);
  }
  out.append(s, at, std::string::npos);
  s = std::move(out);
}

// Every break (CR LF, lone CR, lone LF) made one LF, then every LF CR LF.
std::string ReferenceBreaks(std::string_view in) {
  std::string s(in.substr(0, in.find('\0')));
  ReplaceAll(s, "\r\n", "\n");
  ReplaceAll(s, "\r", "\n");
  ReplaceAll(s, "\n", "\r\n");
  return s;
}

std::string ReferenceTrim(std::string_view in) {
  size_t b = 0, e = in.size();
  while (b < e && static_cast<unsigned char>(in[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(in[e - 1]) <= 0x20) --e;
  return std::string(in.substr(b, e - b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);

  const std::string crlf = ixo::CRLFBreaks(in);
  Check(crlf == ReferenceBreaks(in), "CRLFBreaks differs from the reference");
  Check(ixo::CRLFBreaks(crlf) == crlf, "CRLFBreaks of its own result changes it");
  // The box shows the lines the list holds.
  const ixo::LineList lines(in);
  std::string joined;
  for (size_t i = 0; i < lines.Count(); ++i) {
    if (i > 0) joined += "\r\n";
    joined += lines[i];
  }
  std::string_view body = crlf;
  if (body.size() >= 2 && body.substr(body.size() - 2) == "\r\n") body.remove_suffix(2);
  Check(joined == body, "CRLFBreaks shows other lines than the line list");

  const std::string trimmed = ixo::TrimBlankBytes(in);
  Check(trimmed == ReferenceTrim(in), "TrimBlankBytes differs from the reference");

  const std::optional<int32_t> time = ixo::TimeFromText(in);
  const std::optional<int32_t> number = ixo::ParseNumber(in);
  if (number && *number >= ixo::kMinTime && *number <= ixo::kMaxTime) {
    Check(time == number, "a time in range was not taken");
  } else {
    Check(!time, "a time out of range or no number was taken");
  }

  if (size >= 4) {
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits = (bits << 8) | data[k];
    const int32_t seconds = static_cast<int32_t>(bits);
    const int32_t clamped = ixo::ClampTime(seconds);
    Check(clamped >= ixo::kMinTime && clamped <= ixo::kMaxTime, "ClampTime left the range");
    Check((seconds >= ixo::kMinTime && seconds <= ixo::kMaxTime) == (clamped == seconds),
          "ClampTime changed a time in range or kept one outside");
  }
  if (size >= 1) {
    const int radio = ixo::RadioOfAcType(data[0]);
    Check(radio == (data[0] <= 2 ? data[0] : 0), "RadioOfAcType");
  }
  return 0;
}
