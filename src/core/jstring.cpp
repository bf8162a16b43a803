// Double-byte string routines.
//
// JDeleteAll and JReplaceAll change the first occurrence and then search
// again from the start of the string, until none is left. Done that way the
// work is quadratic (a title of 500,000 stars). The versions here make one
// pass from left to right and give byte for byte the same result.
//
// The output O is built from the input in whole characters (a lead byte with
// the byte after it, or a single byte, as the first byte decides). Invariant:
// O followed by the rest of the input is the string the step-by-step loop
// holds at that point, O ends on one of its character starts, and no
// occurrence of the search string that begins a character lies wholly inside
// O. All occurrences have the same length, so the earliest occurrence of the
// whole string is the earliest of those that end inside O once a character
// has been appended, and it can only end inside the character just appended:
// after its last byte, or after its first when the search string ends in a
// lone lead byte -- then the deletion of JLength(search) characters takes the
// trail byte with it. Either way the deletion reaches exactly to the end of
// O, which is cut back to the start of the occurrence (a "junction"); for
// JReplaceAll the replacement becomes the next input. Which bytes of O begin
// a character is kept beside it, so the look-back costs O(|search|).
//
// JDeleteAll avoids the character-by-character work where it can: when no
// occurrence can begin in O and end in the input (no proper prefix of the
// search string at a character start near the end of O), or when enough of
// the input has been appended since the junction that none can cross it,
// the next occurrence is that of the unchanged input, found by a bytewise
// search; everything before it is copied at once, and occurrences standing
// one after another are dropped at once.
#include "core/jstring.h"

#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "core/error.h"

namespace ixo {

namespace {

constexpr size_t npos = std::string_view::npos;

inline bool Lead(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// Byte index of character `pos` (from 1) of `t`, or npos when `t` has fewer
// than `pos` characters. `pos` must be at least 1.
size_t CharStart(std::string_view t, int64_t pos) {
  const size_t n = t.size();
  size_t b = 0;
  for (int64_t c = 1; c < pos; ++c) {
    if (b >= n) return npos;
    b += Lead(t[b]) ? 2 : 1;
  }
  return b < n ? b : npos;
}

inline uint64_t Load64(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

// 0x80 in each byte of x that is a lead byte (0x81-0x9F, 0xE0-0xFC), 0
// elsewhere; exact, no carries between bytes: of the low seven bits y of a
// byte whose high bit is set, 1 <= y <= 0x1F or 0x60 <= y <= 0x7C.
inline uint64_t LeadBits(uint64_t x) {
  const uint64_t y = x & ~kHighs;
  const uint64_t low = (kOnes * (127 + 0x20) - y) & (y + kOnes * 127);
  const uint64_t high = (kOnes * (127 + 0x7D) - y) & (y + kOnes * (127 - 0x5F));
  return (low | high) & x & kHighs;
}

// `at` holds the m >= 1 bytes of `s`.
inline bool Same(const char* at, const char* s, size_t m) {
  if (m == 2) {
    uint16_t a, b;
    std::memcpy(&a, at, 2);
    std::memcpy(&b, s, 2);
    return a == b;
  }
  return at[0] == s[0] && at[m - 1] == s[m - 1] &&
         (m <= 2 || std::memcmp(at + 1, s + 1, m - 2) == 0);
}

// Byte index of the first occurrence of s[0, m) in h[from, n), bytewise; npos
// when none. Eight positions at a time: a position is a candidate when its
// byte equals the first byte of s and the byte m-1 further on equals the
// last, which skips quickly over texts full of s's first byte (0x81).
size_t FindBytes(const char* h, size_t n, size_t from, const char* s, size_t m) {
  if (m == 0 || from > n || n - from < m) return npos;
  if (m == 1) {
    const void* f = std::memchr(h + from, static_cast<unsigned char>(s[0]), n - from);
    return f ? static_cast<size_t>(static_cast<const char*>(f) - h) : npos;
  }
  size_t i = from;
  if constexpr (std::endian::native == std::endian::little) {
    const uint64_t first = kOnes * static_cast<unsigned char>(s[0]);
    const uint64_t last = kOnes * static_cast<unsigned char>(s[m - 1]);
    // Positions i .. i+7 need bytes up to i+7+m-1.
    while (i + 7 + m <= n) {
      const uint64_t x = (Load64(h + i) ^ first) | (Load64(h + i + m - 1) ^ last);
      // Zero bytes of x mark candidates (borrows may add false ones, never
      // drop true ones; every candidate is compared in full).
      uint64_t z = (x - kOnes) & ~x & kHighs;
      while (z != 0) {
        const size_t k = static_cast<size_t>(std::countr_zero(z)) / 8;
        if (m <= 2 || std::memcmp(h + i + k + 1, s + 1, m - 2) == 0) {
          if (h[i + k] == s[0] && h[i + k + m - 1] == s[m - 1]) return i + k;
        }
        z &= z - 1;
      }
      i += 8;
    }
  }
  for (; i + m <= n; ++i) {
    if (Same(h + i, s, m)) return i;
  }
  return npos;
}

// Smallest character start p >= b of `t` at which the bytes of `s` stand;
// npos when there is none. `b` must be a character start of `t` (or beyond
// its end); nothing before `b` is read. Linear in |t| (times |s| for the
// comparisons): a bytewise search jumps to candidates, and whether a
// candidate starts a character is settled by the run of lead bytes before it,
// looked at only back to the last known character start.
size_t FindCharMatch(std::string_view t, size_t b, std::string_view s) {
  const size_t n = t.size();
  const size_t m = s.size();
  if (m == 0 || m > n) return npos;
  const size_t from = b;
  const char* const h = t.data();
  const char* const pat = s.data();
  const size_t last = n - m;
  // Whether candidate p (>= b) begins a character; if not, p + 1 does.
  auto isStart = [&](size_t p) {
    size_t j = p;
    while (j > b && Lead(h[j - 1])) --j;
    // j begins a character: j == b, or the byte before it ends one.
    if ((p - j) % 2 == 0) return true;
    b = p + 1;
    return false;
  };
  size_t i = b;
  while (i <= last) {
    size_t p = FindBytes(h, n, i, pat, m);
    if (p == npos) return npos;
    if (isStart(p)) return p;
    i = p + 1;
    if constexpr (std::endian::native == std::endian::little) {
      // Candidates may stand close together (0x95 0x5C searched for "\\"):
      // look at eight positions at a time, settling most of them by the
      // byte before: after a byte that is not a lead byte a character
      // begins; after a lead byte that follows such a byte, a trail byte
      // stands. Only candidates deeper in a run of lead bytes are counted out.
      const uint64_t first = kOnes * static_cast<unsigned char>(pat[0]);
      const uint64_t lastb = kOnes * static_cast<unsigned char>(pat[m - 1]);
      // Lead bits (0x80 per byte) of the eight bytes before position i.
      uint64_t prevLead = 0;
      if (i >= 1 && Lead(h[i - 1])) prevLead |= 0x80ull << 56;
      if (i >= 2 && Lead(h[i - 2])) prevLead |= 0x80ull << 48;
      int empty = 0;
      while (empty < 4 && i + 7 <= last) {
        // A long run of one character (a line of 表, whose every trail byte
        // is a candidate for "\\"): no match begins before i, and where the
        // bytes repeat the eight before them, so do the matches, once the
        // character starts repeat too. Eight bytes that hold a byte other
        // than a lead byte end on the same character start whatever the
        // start they began on (a character begins after that byte); eight
        // lead bytes end on the start they began on. So where the eight
        // bytes before i repeat the eight before them, the character starts
        // from i on repeat those eight bytes before.
        if (i >= from + 16 && Load64(h + i - 16) == Load64(h + i - 8)) {
          const size_t next = RepeatsUntil(t, i, m - 1);
          if (next != i) {
            i = next;
            continue;
          }
        }
        const uint64_t word = Load64(h + i);
        const uint64_t x = (word ^ first) | (Load64(h + i + m - 1) ^ lastb);
        // Candidates (with false ones after a true one; all are compared).
        uint64_t z = (x - kOnes) & ~x & kHighs;
        const uint64_t lead = LeadBits(word);
        const uint64_t lead1 = (lead << 8) | (prevLead >> 56);   // byte before
        const uint64_t lead2 = (lead << 16) | (prevLead >> 48);  // two before
        prevLead = lead;
        if (z == 0) {
          ++empty;
          i += 8;
          continue;
        }
        empty = 0;
        // Drop the candidates that are surely trail bytes.
        z &= ~(lead1 & ~lead2);
        while (z != 0) {
          const unsigned bit = static_cast<unsigned>(std::countr_zero(z));
          p = i + bit / 8;
          if (Same(h + p, pat, m) && (((lead1 >> bit) & 1) == 0 || isStart(p))) return p;
          z &= z - 1;
        }
        i += 8;
      }
    }
  }
  return npos;
}

// True when byte k (from 0) of s is the trail byte of a double-byte character:
// an odd number of lead bytes stands directly before it.
bool TrailAt(const char* s, size_t k) {
  size_t count = 0;
  while (k > 0 && Lead(s[k - 1])) {
    ++count;
    --k;
  }
  return count % 2 == 1;
}

// Character starts of the whole characters in t[0, len) into flags[0, len]
// (flags[len] is scratch).
void MarkStarts(const char* t, size_t len, unsigned char* flags) {
  size_t k = 0;
  while (k < len) {
    flags[k] = 1;
    flags[k + 1] = 0;
    k += Lead(t[k]) ? 2 : 1;
  }
}

}  // namespace

bool IsTrailByte(std::string_view s, int32_t i) {
  if (i < 1 || static_cast<uint64_t>(i) > s.size()) throw Error("Illegal Index");
  return TrailAt(s.data(), static_cast<size_t>(i) - 1);
}

int32_t JPos(std::string_view sub, std::string_view s) {
  if (sub.empty() || s.empty()) return 0;
  const size_t p = FindCharMatch(s, 0, sub);
  if (p == npos) return 0;
  int32_t ch = 1;
  for (size_t b = 0; b < p; b += Lead(s[b]) ? 2 : 1) ++ch;
  return ch;
}

int32_t JLength(std::string_view s) {
  const size_t n = s.size();
  int32_t count = 0;
  for (size_t b = 0; b < n; b += Lead(s[b]) ? 2 : 1) ++count;
  return count;
}

size_t RepeatsUntil(std::string_view s, size_t i, size_t extra) {
  // Longer stretches are compared at once as long as they repeat.
  const char* const h = s.data();
  const size_t n = s.size();
  size_t chunk = 8;
  for (;;) {
    if (i + chunk + extra <= n && std::memcmp(h + i, h + i - 8, chunk + extra) == 0) {
      i += chunk;
      if (chunk < 4096) chunk *= 2;
    } else if (chunk > 8) {
      chunk /= 2;
    } else {
      return i;
    }
  }
}

void JInsert(std::string_view ins, std::string& t, int32_t pos) {
  if (pos < 1) pos = 1;
  size_t b = CharStart(t, pos);
  if (b == npos) b = t.size();
  std::string out;
  out.reserve(t.size() + ins.size());
  out.append(t, 0, b);
  out.append(ins);
  out.append(t, b, std::string::npos);
  t = std::move(out);
}

void JDelete(std::string& t, int32_t pos, int32_t count) {
  if (pos < 1) pos = 1;
  const size_t b = CharStart(t, pos);
  if (b == npos) return;
  const size_t n = t.size();
  size_t e = b;
  for (int32_t k = 0; k < count && e < n; ++k) e += Lead(t[e]) ? 2 : 1;
  if (e >= n) {
    t.resize(b);
  } else {
    t.erase(b, e - b);
  }
}

namespace {

// How many bytes JTrimLeft takes off the front of `t`.
inline size_t LeftTrimLength(std::string_view t) {
  size_t k = 0;
  const size_t n = t.size();
  for (;;) {
    if (k < n && t[k] == ' ') {
      k += 1;
    } else if (k + 1 < n && t[k] == '\x81' && t[k + 1] == '\x40') {
      k += 2;
    } else {
      break;
    }
  }
  return k;
}

// The length JTrimRight leaves of `t`. Each step looks back over the lead
// bytes before the last byte; only the last step of a run of removals can
// look far, so the whole is linear.
inline size_t RightTrimEnd(std::string_view t) {
  size_t n = t.size();
  while (n > 0) {
    if (TrailAt(t.data(), n - 1)) {
      if (t[n - 2] == '\x81' && t[n - 1] == '\x40') {
        n -= 2;
      } else {
        break;
      }
    } else if (t[n - 1] == ' ') {
      n -= 1;
    } else {
      break;
    }
  }
  return n;
}

}  // namespace

void JTrimLeft(std::string& t) { t.erase(0, LeftTrimLength(t)); }

void JTrimRight(std::string& t) { t.resize(RightTrimEnd(t)); }

std::string JTrim(std::string_view s) {
  // JTrimLeft and then JTrimRight on a copy, of which only what stays is
  // copied. What JTrimLeft leaves begins where a character began in `s`, so
  // JTrimRight reads the same characters in it.
  s.remove_prefix(LeftTrimLength(s));
  return std::string(s.substr(0, RightTrimEnd(s)));
}

namespace {

// Whether the last character of `s` (read from its first byte) is a lone
// lead byte: an occurrence of such a search string takes the next byte too.
bool EndsInLoneLead(const char* s, size_t m) {
  size_t k = 0;
  while (k + 1 < m) k += Lead(s[k]) ? 2 : 1;
  return k == m - 1 && Lead(s[k]);
}

}  // namespace

bool JDeleteAllTo(std::string_view s, std::string_view search, std::string& out) {
  if (search.empty() || s.empty()) return false;
  size_t p = FindCharMatch(s, 0, search);
  if (p == npos) return false;
  const std::string sub(search);  // `search` might look into `out`
  const char* const src = s.data();
  const size_t n = s.size();
  const size_t m = sub.size();
  const char* const pat = sub.data();
  const char lastByte = pat[m - 1];
  const bool loneLead = EndsInLoneLead(pat, m);
  // The output O and, beside it, which bytes of O begin a character; on the
  // stack for the short lines of most texts.
  char local[512];
  std::unique_ptr<char[]> mem(2 * n + 1 > sizeof local ? new char[2 * n + 1] : nullptr);
  char* const o = mem ? mem.get() : local;
  unsigned char* const start = reinterpret_cast<unsigned char*>(o + n);
  size_t w = 0;  // |O|
  size_t r = 0;  // the input is src[r, n); r always begins a character of src

  // Whether an occurrence could begin inside O and end in the input: a
  // proper prefix of the search string at a character start near O's end.
  // Remembered while O stays as it is.
  size_t checkedAt = npos;
  bool straddle = false;
  auto canStraddle = [&] {
    if (checkedAt == w) return straddle;
    checkedAt = w;
    straddle = false;
    for (size_t k = 1; k < m && k <= w && !straddle; ++k) {
      const size_t q = w - k;
      straddle = start[q] && o[q] == pat[0] && std::memcmp(o + q, pat, k) == 0;
    }
    return straddle;
  };

  for (;;) {
    // p (>= r) is the earliest occurrence in the whole string O + src[r, n):
    // keep src[r, p) and drop the occurrence, JLength(search) characters, so
    // that a search string ending in a lone lead byte takes the next byte too.
    if (p > r) {
      std::memcpy(o + w, src + r, p - r);
      MarkStarts(src + r, p - r, start + w);
      w += p - r;
      checkedAt = npos;
    }
    r = p + m + (loneLead && p + m < n ? 1 : 0);
    p = npos;
    // O ends where an occurrence was dropped (a junction).
    while (r < n && canStraddle()) {
      // An occurrence may begin in O and end in the input: append the input
      // character by character until an occurrence ends in O, or until none
      // can begin before the junction and end after it.
      checkedAt = npos;
      const size_t junction = w;
      bool known = false;  // the next occurrence begins before src[r]
      bool dropped = false;
      while (r < n) {
        if (!known && w - junction + 1 >= m) {
          // O[junction, w) == src[junction + r - w, r) with the same
          // character starts: the next occurrence lies in src from there on.
          p = FindCharMatch(s, junction + r - w, sub);
          if (p == npos || p >= r) break;  // none at all, or p is the next one
          known = true;                    // it ends within the next m bytes
          p = npos;
        }
        const char c = src[r];
        o[w] = c;
        start[w] = 1;
        if (Lead(c) && r + 1 < n) {
          o[w + 1] = src[r + 1];
          start[w + 1] = 0;
          r += 2;
          w += 2;
          // Ending after the lead byte: the trail byte goes with it.
          if (c == lastByte && w > m && start[w - 1 - m] && Same(o + w - 1 - m, pat, m)) {
            w -= m + 1;
            dropped = true;
            break;
          }
        } else {
          r += 1;
          w += 1;
        }
        if (o[w - 1] == lastByte && w >= m && start[w - m] && Same(o + w - m, pat, m)) {
          w -= m;
          dropped = true;
          break;
        }
      }
      if (!dropped) break;  // p is the next occurrence (>= r), or npos: none
    }
    if (p == npos && r < n && !canStraddle()) {
      // Nothing of O takes part in the next occurrence: it lies in the
      // input as it stands. Occurrences right at its start go at once, O
      // staying as it is (a line of stars).
      if (!loneLead && r + m <= n && Same(src + r, pat, m)) {
        // Occurrences one after another, m bytes each: while a stretch
        // repeats the m bytes before it, it is made of occurrences.
        r += m;
        const size_t chunk = 256 - 256 % m;
        while (chunk > 0 && r + chunk <= n && std::memcmp(src + r - m, src + r, chunk) == 0) {
          r += chunk;
        }
      }
      while (r + m <= n && Same(src + r, pat, m)) r += m + (loneLead && r + m < n ? 1 : 0);
      if (r < n) p = FindCharMatch(s, r, sub);
    }
    if (p == npos) break;
  }
  if (r < n) {
    std::memcpy(o + w, src + r, n - r);
    w += n - r;
  }
  out.assign(o, w);
  return true;
}

void JDeleteAll(std::string& t, std::string_view search) {
  std::string out;
  if (JDeleteAllTo(t, search, out)) t.swap(out);
}

void JReplaceAll(std::string& t, std::string_view search, std::string_view repl) {
  if (search.empty() || t.empty()) return;
  size_t first = FindCharMatch(t, 0, search);
  if (first == npos) return;
  if (search.size() == 1 && repl.size() == 1 && !Lead(search[0]) && !Lead(repl[0]) &&
      search[0] != repl[0]) {
    // One single-byte character for another ("/" by "-"): no character start
    // moves and no occurrence forms anew, so exactly the occurrences of the
    // original text are replaced, where they stand.
    const char c = search[0];
    const char x = repl[0];
    for (size_t p = first; p != npos; p = FindCharMatch(t, p + 1, std::string_view(&c, 1)))
      t[p] = x;
    return;
  }
  const std::string sub(search);
  const std::string rev(repl.rbegin(), repl.rend());  // pushed onto the input stack
  const std::string src(std::move(t));
  const size_t n = src.size();
  const size_t m = sub.size();
  std::string out;
  out.reserve(n + 16);
  out.assign(src, 0, first);
  std::vector<unsigned char> start(first + 1);
  MarkStarts(src.data(), first, start.data());
  start.resize(first);
  // The rest of the input: pending bytes (top at the back), then src[r, n).
  std::string pend;
  size_t r = first;
  auto more = [&] { return !pend.empty() || r < n; };
  auto next = [&]() -> char {
    if (!pend.empty()) {
      const char c = pend.back();
      pend.pop_back();
      return c;
    }
    return src[r++];
  };
  while (more()) {
    const size_t old = out.size();
    const char c = next();
    out.push_back(c);
    start.push_back(1);
    size_t q = npos;
    if (Lead(c) && more()) {
      out.push_back(next());
      start.push_back(0);
      if (old + 1 >= m && start[old + 1 - m] && Same(out.data() + old + 1 - m, sub.data(), m)) {
        q = old + 1 - m;
      }
    }
    if (q == npos && out.size() >= m && start[out.size() - m] &&
        Same(out.data() + out.size() - m, sub.data(), m)) {
      q = out.size() - m;
    }
    if (q != npos) {
      out.resize(q);
      start.resize(q);
      pend.append(rev);
    }
  }
  t = std::move(out);
}

}  // namespace ixo
