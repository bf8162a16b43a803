// The double-byte routines, the line list, the extraction and the device-name
// test step by step (see oracle.h). Positions are 1-based, as the routines
// count them; `At(s, i)` is byte i (from 1) of s.
#include "oracle.h"

#include "core/error.h"
#include "core/jstring.h"

namespace ixo::oracle {

namespace {

unsigned char At(std::string_view s, int64_t i) { return static_cast<unsigned char>(s[i - 1]); }
int64_t Len(std::string_view s) { return static_cast<int64_t>(s.size()); }
bool Lead(unsigned char b) { return ixo::IsLeadByte(b); }

// Delphi's Copy(s, index, count) and Delete(s, index, count) on bytes.
std::string Copy(std::string_view s, int64_t index, int64_t count) {
  if (index < 1) index = 1;
  if (index > Len(s) || count <= 0) return std::string();
  return std::string(s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}
void DeleteBytes(std::string& s, int64_t index, int64_t count) {
  if (index < 1 || index > Len(s) || count <= 0) return;
  s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}
// Delphi's Pos(sub, s): 1-based byte position of the first occurrence, 0 if none.
int64_t Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<int64_t>(p) + 1;
}

std::string urlCharSet;

}  // namespace

bool IsTrailByte(std::string_view s, int32_t i) {
  // 1. Outside the string: "Illegal Index".
  if (i < 1 || i > Len(s)) throw ixo::Error("Illegal Index");
  // 2. The first byte is never a trail byte.
  if (i == 1) return false;
  // 3. Count the lead bytes standing directly before i.
  int64_t count = 0;
  for (int64_t k = i - 1; k >= 1; --k) {
    if (!Lead(At(s, k))) break;
    ++count;
  }
  // 4. Odd: trail byte.
  return count % 2 == 1;
}

int32_t JLength(std::string_view s) {
  int64_t pos = 1;
  int32_t count = 0;
  while (pos <= Len(s)) {
    ++count;
    pos += Lead(At(s, pos)) ? 2 : 1;
  }
  return count;
}

int32_t JPos(std::string_view sub, std::string_view s) {
  // 1.
  if (sub.empty() || s.empty()) return 0;
  // 2.
  const int64_t lastStart = Len(s) - Len(sub) + 1;
  int64_t pos = 1;
  int32_t ch = 1;
  for (;;) {
    // 3. (the comparison fails when fewer bytes than Sub has are left)
    if (At(s, pos) == At(sub, 1) && pos - 1 + Len(sub) <= Len(s) &&
        s.substr(static_cast<size_t>(pos - 1), sub.size()) == sub) {
      return ch;
    }
    // 4.
    pos += Lead(At(s, pos)) ? 2 : 1;
    ++ch;
    if (pos > lastStart) break;
  }
  // 5.
  return 0;
}

void JInsert(std::string_view ins, std::string& t, int32_t pos) {
  // 1.
  if (pos < 1) pos = 1;
  // 2.
  int64_t b = 1;
  int32_t count = 1;
  while (b <= Len(t)) {
    if (count == pos) {
      t = std::string(t.substr(0, static_cast<size_t>(b - 1))) + std::string(ins) +
          t.substr(static_cast<size_t>(b - 1));
      return;
    }
    b += Lead(At(t, b)) ? 2 : 1;
    ++count;
  }
  // 3.
  t = t + std::string(ins);
}

void JDelete(std::string& t, int32_t pos, int32_t count) {
  // 1.
  if (pos < 1) pos = 1;
  // 2. Walk to character pos.
  int64_t b = 1;
  int32_t ch = 1;
  while (ch < pos) {
    if (b > Len(t)) return;
    b += Lead(At(t, b)) ? 2 : 1;
    ++ch;
  }
  if (b > Len(t)) return;
  // 3. Step over at most count characters.
  int64_t e = b;
  for (int32_t k = 0; k < count; ++k) {
    if (e > Len(t)) break;
    e += Lead(At(t, e)) ? 2 : 1;
  }
  // 4.
  if (e > Len(t)) {
    t = t.substr(0, static_cast<size_t>(b - 1));
  } else {
    t = t.substr(0, static_cast<size_t>(b - 1)) + t.substr(static_cast<size_t>(e - 1));
  }
}

void JTrimLeft(std::string& t) {
  while (!t.empty()) {
    if (At(t, 1) == 0x20) {
      t.erase(0, 1);
    } else if (Len(t) >= 2 && At(t, 1) == 0x81 && At(t, 2) == 0x40) {
      t.erase(0, 2);
    } else {
      break;
    }
  }
}

void JTrimRight(std::string& t) {
  while (!t.empty()) {
    const int64_t n = Len(t);
    if (IsTrailByte(t, static_cast<int32_t>(n))) {
      if (At(t, n - 1) == 0x81 && At(t, n) == 0x40) {
        t.erase(static_cast<size_t>(n - 2), 2);
      } else {
        break;
      }
    } else if (At(t, n) == 0x20) {
      t.erase(static_cast<size_t>(n - 1), 1);
    } else {
      break;
    }
  }
}

std::string JTrim(std::string_view s) {
  if (s.empty()) return std::string();
  std::string t(s);
  JTrimLeft(t);
  JTrimRight(t);
  return t;
}

bool JReplaceAllBounded(std::string& t, std::string_view search, std::string_view repl,
                        int64_t maxSteps) {
  const std::string sub(search), rep(repl);
  for (int64_t step = 0;; ++step) {
    // 1.
    const int32_t a = JPos(sub, t);
    if (a == 0) return true;
    if (step >= maxSteps) return false;
    // 2.
    JDelete(t, a, JLength(sub));
    JInsert(rep, t, a);
    // 3.
  }
}

void JReplaceAll(std::string& t, std::string_view search, std::string_view repl) {
  JReplaceAllBounded(t, search, repl, INT64_MAX);
}

void JDeleteAll(std::string& t, std::string_view search) {
  const std::string sub(search);
  int32_t a = JPos(sub, t);
  while (a != 0) {
    JDelete(t, a, JLength(sub));
    a = JPos(sub, t);
  }
}

std::vector<std::string> SplitLines(std::string_view text) {
  // Setting the list first empties it; a zero byte ends the text.
  std::vector<std::string> lines;
  size_t p = 0;
  auto ch = [&](size_t i) -> char { return i < text.size() ? text[i] : '\0'; };
  while (ch(p) != '\0') {
    const size_t start = p;
    while (ch(p) != '\0' && ch(p) != '\r' && ch(p) != '\n') ++p;
    lines.emplace_back(text.substr(start, p - start));
    if (ch(p) == '\r') ++p;
    if (ch(p) == '\n') ++p;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string_view>& lines) {
  std::string out;
  for (const std::string_view line : lines) out += std::string(line) + "\r\n";
  return out;
}

std::vector<std::string> Strings(const LineList& list) {
  return std::vector<std::string>(list.Lines().begin(), list.Lines().end());
}

std::string UniqueChars(std::string_view s) {
  std::string result;
  for (const char c : s) {
    if (result.find(c) == std::string::npos) result.push_back(c);
  }
  return result;
}

bool IsURLChar(std::string_view c) { return Pos(c, urlCharSet) > 0; }

TURLRecord ExtractURL(std::string_view extra, const LineList& delList, const LineList& lines,
                      bool https) {
  // 1.
  urlCharSet = std::string(BaseURLChars) + std::string(extra);
  // 2.
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::string line(lines[i]);
    // 2.1 The first "http://"; with the switch, the first "https://" instead
    // when it starts earlier.
    int64_t p = Pos("http://", line);
    int64_t schemeLength = 7;
    if (https) {
      const int64_t q = Pos("https://", line);
      if (q > 0 && (p == 0 || q < p)) {
        p = q;
        schemeLength = 8;
      }
    }
    if (p == 0) continue;
    // 2.2
    std::string s = Copy(line, p, Len(line));
    // 2.3 From the first byte after the scheme.
    for (int64_t j = schemeLength + 1; j <= Len(s); ++j) {
      if (!IsURLChar(std::string(1, s[static_cast<size_t>(j - 1)]))) {
        s = Copy(s, 1, j - 1);
        break;
      }
    }
    // 2.4
    TURLRecord rec;
    rec.Title = oracle::ExtractTitle(lines, delList, static_cast<int>(i), static_cast<int>(p),
                                     static_cast<int>(Len(s)));
    rec.URL = s;
    return rec;
  }
  // 3.
  return TURLRecord{};
}

std::string ExtractTitle(const LineList& lines, const LineList& delList, int urlLine, int urlPos,
                         int urlLength) {
  // 1.
  const std::vector<std::string> d =
      SplitLines(std::string(FileNameBadChars) + JoinLines(delList.Lines()));
  // 2.
  for (size_t i = 0; i < lines.Count(); ++i) {
    std::string t(lines[i]);
    if (static_cast<int>(i) == urlLine) DeleteBytes(t, urlPos, urlLength);
    if (!t.empty()) {
      for (const std::string& s : d) JDeleteAll(t, s);
    }
    t = JTrim(t);
    if (!t.empty()) return t;
  }
  // 3.
  std::string t(lines[static_cast<size_t>(urlLine)]);
  JReplaceAll(t, "/", "-");
  for (const std::string& s : SplitLines(FileNameBadChars)) JDeleteAll(t, s);
  return JTrim(t);
}

std::vector<std::string> DeviceNames() {
  std::vector<std::string> names = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (char d = '1'; d <= '9'; ++d) {
    names.push_back(std::string("COM") + d);
    names.push_back(std::string("LPT") + d);
  }
  return names;
}

bool IsDeviceFileName(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if ((c == '\\' || c == '/' || c == ':') && !IsTrailByte(path, static_cast<int32_t>(i + 1))) {
      start = i + 1;
    }
  }
  std::string name(path.substr(start));
  name = name.substr(0, name.find('.'));
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (const std::string& device : DeviceNames()) {
    if (name == device) return true;
  }
  return false;
}

}  // namespace ixo::oracle
