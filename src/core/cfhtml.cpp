#include "core/cfhtml.h"

#include <cstdint>

namespace ixo {

namespace {

constexpr int64_t kNoOffset = -1;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;  // letters only
  }
  return true;
}

// Decimal digits, padded with zeros or spaces; kNoOffset for anything else
// (the -1 of "no context" included) and for a number no block can reach.
int64_t ParseOffset(std::string_view value) {
  value = TrimBlanks(value);
  if (value.empty()) return kNoOffset;
  int64_t n = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return kNoOffset;
    n = n * 10 + (c - '0');
    if (n > INT32_MAX) return kNoOffset;
  }
  return n;
}

struct Header {
  size_t end = 0;  // the first byte after its last line
  int64_t startFragment = kNoOffset, endFragment = kNoOffset;
  std::string_view sourceURL;
};

// The "Name:value" lines at the start of `block`, each ended by CR LF, CR
// or LF; the first line that is no such line begins the HTML. The first of
// a repeated name counts. Names are letters, in any letter case.
Header ReadHeader(std::string_view block) {
  Header h;
  bool seenStart = false, seenEnd = false, seenSource = false;
  size_t i = 0;
  while (i < block.size()) {
    size_t eol = block.find_first_of("\r\n", i);
    if (eol == std::string_view::npos) eol = block.size();
    const std::string_view line = block.substr(i, eol - i);
    const size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) break;
    const std::string_view name = line.substr(0, colon);
    bool letters = true;
    for (const char c : name) letters = letters && IsAsciiLetter(c);
    if (!letters) break;
    const std::string_view value = line.substr(colon + 1);
    if (EqualsIgnoreCase(name, "StartFragment") && !seenStart) {
      h.startFragment = ParseOffset(value);
      seenStart = true;
    } else if (EqualsIgnoreCase(name, "EndFragment") && !seenEnd) {
      h.endFragment = ParseOffset(value);
      seenEnd = true;
    } else if (EqualsIgnoreCase(name, "SourceURL") && !seenSource) {
      h.sourceURL = TrimBlanks(value);
      seenSource = true;
    }
    i = eol;
    if (i < block.size() && block[i] == '\r') ++i;
    if (i < block.size() && block[i] == '\n') ++i;
    h.end = i;
  }
  return h;
}

// "<!--", blanks, `word` in any letter case, blanks, "-->": the exact
// markers as Microsoft writes them, and the spaced ones older programs
// wrote. Where the first one at or after `from` begins and ends.
struct Span {
  size_t begin = std::string_view::npos, end = std::string_view::npos;
};
Span FindMarker(std::string_view block, size_t from, std::string_view word) {
  for (size_t at = from; (at = block.find("<!--", at)) != std::string_view::npos; ++at) {
    size_t i = at + 4;
    while (i < block.size() && IsBlank(block[i])) ++i;
    if (!EqualsIgnoreCase(block.substr(i, word.size()), word)) continue;
    i += word.size();
    while (i < block.size() && IsBlank(block[i])) ++i;
    if (block.substr(i, 3) == "-->") return {at, i + 3};
  }
  return {};
}

std::string_view Block(std::string_view clipboard) {
  return clipboard.substr(0, clipboard.find('\0'));
}

}  // namespace

std::optional<std::string_view> CfHtmlFragment(std::string_view clipboard) {
  const std::string_view block = Block(clipboard);
  const Header h = ReadHeader(block);
  const int64_t start = h.startFragment, end = h.endFragment;
  if (start != kNoOffset && end != kNoOffset && start >= static_cast<int64_t>(h.end) &&
      start <= end && end <= static_cast<int64_t>(block.size())) {
    return block.substr(start, end - start);
  }
  const Span open = FindMarker(block, h.end, "StartFragment");
  if (open.end == std::string_view::npos) return std::nullopt;
  const Span close = FindMarker(block, open.end, "EndFragment");
  if (close.begin == std::string_view::npos) return std::nullopt;
  return block.substr(open.end, close.begin - open.end);
}

std::string_view CfHtmlSourceURL(std::string_view clipboard) {
  return ReadHeader(Block(clipboard)).sourceURL;
}

}  // namespace ixo
