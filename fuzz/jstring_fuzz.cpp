// The double-byte routines against their step-by-step versions in the oracle.
//
// Input: byte 0 and 1 give the lengths (mod 8) of the search string and the
// replacement, bytes 2 and 3 a position and a count (signed), then the search
// string, the replacement and the text, which is cut to 1 KB so that the
// quadratic step-by-step loops stay quick.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/error.h"
#include "core/jstring.h"
#include "fuzz_check.h"
#include "oracle.h"

using ixo::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const size_t searchLen = data[0] % 8;
  const size_t replLen = data[1] % 8;
  const int32_t pos = static_cast<int8_t>(data[2]);
  const int32_t count = static_cast<int8_t>(data[3]);
  size_t k = 4;
  auto take = [&](size_t n) {
    n = n < size - k ? n : size - k;
    std::string s(reinterpret_cast<const char*>(data + k), n);
    k += n;
    return s;
  };
  const std::string search = take(searchLen);
  const std::string repl = take(replLen);
  std::string text = take(size - k);
  if (text.size() > 1024) text.resize(1024);

  namespace o = ixo::oracle;
  Check(ixo::JLength(text) == o::JLength(text), "JLength");
  Check(ixo::JLength(search) == o::JLength(search), "JLength search");
  Check(ixo::JPos(search, text) == o::JPos(search, text), "JPos");
  Check(ixo::JPos(text, search) == o::JPos(text, search), "JPos swapped");

  for (int32_t i : {pos, count, static_cast<int32_t>(text.size()), 1, 0}) {
    bool a = false, b = false, threwA = false, threwB = false;
    try {
      a = ixo::IsTrailByte(text, i);
    } catch (const ixo::Error&) {
      threwA = true;
    }
    try {
      b = o::IsTrailByte(text, i);
    } catch (const ixo::Error&) {
      threwB = true;
    }
    Check(threwA == threwB && a == b, "IsTrailByte");
  }

  std::string a = text, b = text;
  ixo::JInsert(search, a, pos);
  o::JInsert(search, b, pos);
  Check(a == b, "JInsert");

  a = text, b = text;
  ixo::JDelete(a, pos, count);
  o::JDelete(b, pos, count);
  Check(a == b, "JDelete");

  Check(ixo::JTrim(text) == o::JTrim(text), "JTrim");
  a = text, b = text;
  ixo::JTrimLeft(a);
  o::JTrimLeft(b);
  Check(a == b, "JTrimLeft");
  a = text, b = text;
  ixo::JTrimRight(a);
  o::JTrimRight(b);
  Check(a == b, "JTrimRight");

  a = text, b = text;
  ixo::JDeleteAll(a, search);
  o::JDeleteAll(b, search);
  Check(a == b, "JDeleteAll");
  std::string out = "unchanged";
  const bool changed = ixo::JDeleteAllTo(text, search, out);
  Check(changed == (o::JPos(search, text) != 0), "JDeleteAllTo result");
  Check(changed ? out == b : out == "unchanged", "JDeleteAllTo text");

  // JReplaceAll: only with a replacement that does not hold the search
  // string, and only where the step-by-step loop ends within a bound.
  if (!search.empty() && repl.find(search) == std::string::npos) {
    b = text;
    if (o::JReplaceAllBounded(b, search, repl, 4096)) {
      a = text;
      ixo::JReplaceAll(a, search, repl);
      Check(a == b, "JReplaceAll");
    }
  }
  return 0;
}
