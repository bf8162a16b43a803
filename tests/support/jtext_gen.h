// Seeded generators of code page 932 byte strings for randomized tests,
// biased toward what breaks double-byte routines: lead bytes (runs of them
// too), trail bytes 0x5C and 0x40, a lone lead byte at the end, and letters
// that form overlapping matches. Header-only, portable, deterministic (no
// standard distributions, whose results differ between libraries).
#pragma once

#include <cstdint>
#include <string>

namespace ixo::testgen {

class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    // splitmix64
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

 private:
  uint64_t s_;
};

// One byte from a small, nasty alphabet (or, now and then, any byte).
inline char NastyByte(Rng& r) {
  static const unsigned char kBytes[] = {'a',  'b',  'a',  'b',  0x5C, 0x40, 0x81, 0x81,
                                         0x95, 0x9A, 0xE0, 0xFC, 0x20, '/',  '-',  0x9F};
  if (r.Chance(5)) return static_cast<char>(r.Below(256));
  return static_cast<char>(kBytes[r.Below(sizeof kBytes)]);
}

// A text of up to `maxLen` bytes, built from nasty bytes and whole
// characters such as 0x95 0x5C, 0x81 0x40, 0x81 0x9A and "ab".
inline std::string NastyText(Rng& r, uint32_t maxLen) {
  static const char* const kPieces[] = {"\x95\x5C", "\x81\x40", "\x81\x9A", "ab", "--",
                                        "\x83\x5C", "\x81\x81", " ",        "/",  "\\"};
  const uint32_t len = r.Below(maxLen + 1);
  std::string s;
  while (s.size() < len) {
    if (r.Chance(40)) {
      s += kPieces[r.Below(sizeof kPieces / sizeof kPieces[0])];
    } else {
      s += NastyByte(r);
    }
  }
  if (s.size() > len) s.resize(len);
  if (len > 0 && r.Chance(10)) s.back() = static_cast<char>(0x81);  // lone lead at the end
  return s;
}

// A search string: a few nasty bytes, often ending in a lead byte, or a
// piece of `t` (so that it is found, though maybe not on a character start).
inline std::string NastySearch(Rng& r, const std::string& t) {
  std::string s;
  if (!t.empty() && r.Chance(40)) {
    const uint32_t at = r.Below(static_cast<uint32_t>(t.size()));
    const uint32_t len = 1 + r.Below(3);
    s = t.substr(at, len);
  } else {
    const uint32_t len = 1 + r.Below(3);
    for (uint32_t i = 0; i < len; ++i) s += NastyByte(r);
  }
  if (r.Chance(15)) s.back() = static_cast<char>(r.Chance(50) ? 0x81 : 0x95);
  return s;
}

}  // namespace ixo::testgen
