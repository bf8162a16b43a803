// URL and title extraction.
#include "core/extract.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/jstring.h"

namespace ixo {

namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

// BaseURLChars followed by the extra characters of the last extraction; read
// by IsURLChar.
std::string& URLCharSet() {
  static std::string set;
  return set;
}

// Where the first address of `line` starts (from 0) and how long its scheme
// is: "http://" (7 bytes), or with `https` also "https://" (8), whichever
// starts earlier; npos when there is none. Every occurrence has its own
// colon, and colons are rarer than 'h'. No colon completes both schemes (the
// byte before it is 'p' for one, 's' for the other), and an occurrence at a
// later colon starts later, so the first colon that completes either wins.
struct SchemeAt {
  size_t pos;
  size_t length;
};
SchemeAt FindScheme(std::string_view line, bool https) {
  const char* const base = line.data();
  const size_t n = line.size();
  if (n < kHttp.size()) return {std::string_view::npos, 0};
  size_t from = 4;
  while (from + 3 <= n) {
    const void* c = std::memchr(base + from, ':', n - 2 - from);
    if (!c) break;
    const size_t colon = static_cast<size_t>(static_cast<const char*>(c) - base);
    if (std::memcmp(base + colon - 4, kHttp.data(), kHttp.size()) == 0) return {colon - 4, 7};
    if (https && colon >= 5 && std::memcmp(base + colon - 5, kHttps.data(), kHttps.size()) == 0) {
      return {colon - 5, 8};
    }
    from = colon + 1;
  }
  return {std::string_view::npos, 0};
}

// Delphi's Delete(s, index, count) on bytes: nothing when index is outside s.
void DeleteBytes(std::string& s, int index, int count) {
  if (index < 1 || static_cast<size_t>(index) > s.size() || count <= 0) return;
  s.erase(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

// A set of byte values.
struct ByteSet {
  uint64_t bits[4] = {};
  void Add(unsigned char b) { bits[b >> 6] |= uint64_t{1} << (b & 63); }
  // Every byte of `other` is in this set.
  bool Holds(const ByteSet& other) const {
    return ((other.bits[0] & ~bits[0]) | (other.bits[1] & ~bits[1]) | (other.bits[2] & ~bits[2]) |
            (other.bits[3] & ~bits[3])) == 0;
  }
};

// The bytes of s, eight at a time. The long lines of one character spend
// their time passing over the bytes that repeat the eight before them, which
// add nothing new.
ByteSet BytesOf(std::string_view s) {
  ByteSet set;
  const char* const p = s.data();
  const size_t n = s.size();
  const auto word = [p](size_t k) {
    uint64_t w;
    std::memcpy(&w, p + k, 8);
    return w;
  };
  size_t k = 0;
  while (k + 8 <= n) {
    for (size_t j = 0; j < 8; ++j) set.Add(static_cast<unsigned char>(p[k + j]));
    k += 8;
    if (k + 8 <= n && word(k) == word(k - 8)) k = RepeatsUntil(s, k, 0);
  }
  for (; k < n; ++k) set.Add(static_cast<unsigned char>(p[k]));
  return set;
}

}  // namespace

std::string UniqueChars(std::string_view s) {
  bool seen[256] = {};
  std::string out;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (!seen[b]) {
      seen[b] = true;
      out.push_back(c);
    }
  }
  return out;
}

bool IsURLChar(std::string_view c) {
  if (c.empty()) return false;
  return URLCharSet().find(c) != std::string::npos;
}

TURLRecord ExtractURL(std::string_view extra, const LineList& delList, const LineList& lines,
                      bool https, bool* fromAddress) {
  std::string& set = URLCharSet();
  set.assign(BaseURLChars);
  set.append(extra);
  bool isURL[256] = {};
  for (const char c : set) isURL[static_cast<unsigned char>(c)] = true;

  const size_t count = lines.Count();
  for (size_t i = 0; i < count; ++i) {
#if defined(__GNUC__)
    // Many short lines: ask for the bytes of a line a little ahead.
    if (i + 8 < count) __builtin_prefetch(lines[i + 8].data());
#endif
    const std::string_view line = lines[i];
    const auto [at, scheme] = FindScheme(line, https);
    if (at == std::string_view::npos) continue;
    // The scheme's own bytes are never tested.
    size_t e = at + scheme;
    while (e < line.size() && isURL[static_cast<unsigned char>(line[e])]) ++e;
    TURLRecord rec;
    rec.URL.assign(line, at, e - at);
    rec.Title = ExtractTitle(lines, delList, static_cast<int>(i), static_cast<int>(at + 1),
                             static_cast<int>(e - at), fromAddress);
    return rec;
  }
  return TURLRecord{};
}

std::string ExtractTitle(const LineList& lines, const LineList& delList, int urlLine, int urlPos,
                         int urlLength, bool* fromAddress) {
  if (fromAddress) *fromAddress = false;
  std::string dtext(FileNameBadChars);
  dtext.append(delList.Text());
  const LineList d(dtext);
  // The non-empty strings of D (an empty one removes nothing) and their bytes.
  std::vector<std::pair<std::string_view, ByteSet>> dels;
  for (const std::string_view s : d.Lines()) {
    if (!s.empty()) dels.emplace_back(s, BytesOf(s));
  }

  std::string buf, tmp;
  for (size_t i = 0; i < lines.Count(); ++i) {
    std::string_view t = lines[i];
    if (static_cast<int>(i) == urlLine) {
      buf = t;
      DeleteBytes(buf, urlPos, urlLength);
      t = buf;
    }
    if (!t.empty()) {
      // A string none of whose bytes occur in the line removes nothing, then
      // or after other removals (which take bytes away, never bring any).
      const ByteSet present = BytesOf(t);
      for (const auto& [s, bytes] : dels) {
        if (present.Holds(bytes) && JDeleteAllTo(t, s, tmp)) {
          buf.swap(tmp);
          t = buf;
          if (t.empty()) break;  // nothing more to remove
        }
      }
    }
    std::string title = JTrim(t);
    if (!title.empty()) return title;
  }

  if (urlLine < 0 || static_cast<size_t>(urlLine) >= lines.Count()) return std::string();
  if (fromAddress) *fromAddress = true;
  std::string t(lines[static_cast<size_t>(urlLine)]);
  JReplaceAll(t, "/", "-");
  const LineList bad(FileNameBadChars);
  for (const std::string_view s : bad.Lines()) JDeleteAll(t, s);
  return JTrim(t);
}

std::string CleanTitle(std::string_view title, const LineList& delList) {
  // The title as the one line of a text with no address in it.
  return ExtractTitle(LineList(title), delList, -1, 0, 0);
}

}  // namespace ixo
