#include "core/html.h"

#include <algorithm>

#include "core/html_tokenizer.h"
#include "core/utf.h"

namespace ixo {

namespace {

// The names of U+00A0 to U+00FF, in order. Each may also stand without its
// ';', as pages written before HTML 4 had it.
constexpr std::string_view kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct NamedReference {
  std::string_view name;
  char16_t code;
  bool legacy;  // also without its ';'
};

// The rest of HTML 4's references, &apos; and the capitals browsers know.
// &lang; and &rang; are the angle brackets browsers give today.
constexpr NamedReference kNamed[] = {
    {"quot", 34, true},       {"amp", 38, true},       {"lt", 60, true},
    {"gt", 62, true},         {"QUOT", 34, true},      {"AMP", 38, true},
    {"LT", 60, true},         {"GT", 62, true},        {"COPY", 169, true},
    {"REG", 174, true},       {"apos", 39, false},     {"OElig", 338, false},
    {"oelig", 339, false},    {"Scaron", 352, false},  {"scaron", 353, false},
    {"Yuml", 376, false},     {"fnof", 402, false},    {"circ", 710, false},
    {"tilde", 732, false},    {"Alpha", 913, false},   {"Beta", 914, false},
    {"Gamma", 915, false},    {"Delta", 916, false},   {"Epsilon", 917, false},
    {"Zeta", 918, false},     {"Eta", 919, false},     {"Theta", 920, false},
    {"Iota", 921, false},     {"Kappa", 922, false},   {"Lambda", 923, false},
    {"Mu", 924, false},       {"Nu", 925, false},      {"Xi", 926, false},
    {"Omicron", 927, false},  {"Pi", 928, false},      {"Rho", 929, false},
    {"Sigma", 931, false},    {"Tau", 932, false},     {"Upsilon", 933, false},
    {"Phi", 934, false},      {"Chi", 935, false},     {"Psi", 936, false},
    {"Omega", 937, false},    {"alpha", 945, false},   {"beta", 946, false},
    {"gamma", 947, false},    {"delta", 948, false},   {"epsilon", 949, false},
    {"zeta", 950, false},     {"eta", 951, false},     {"theta", 952, false},
    {"iota", 953, false},     {"kappa", 954, false},   {"lambda", 955, false},
    {"mu", 956, false},       {"nu", 957, false},      {"xi", 958, false},
    {"omicron", 959, false},  {"pi", 960, false},      {"rho", 961, false},
    {"sigmaf", 962, false},   {"sigma", 963, false},   {"tau", 964, false},
    {"upsilon", 965, false},  {"phi", 966, false},     {"chi", 967, false},
    {"psi", 968, false},      {"omega", 969, false},   {"thetasym", 977, false},
    {"upsih", 978, false},    {"piv", 982, false},     {"ensp", 8194, false},
    {"emsp", 8195, false},    {"thinsp", 8201, false}, {"zwnj", 8204, false},
    {"zwj", 8205, false},     {"lrm", 8206, false},    {"rlm", 8207, false},
    {"ndash", 8211, false},   {"mdash", 8212, false},  {"lsquo", 8216, false},
    {"rsquo", 8217, false},   {"sbquo", 8218, false},  {"ldquo", 8220, false},
    {"rdquo", 8221, false},   {"bdquo", 8222, false},  {"dagger", 8224, false},
    {"Dagger", 8225, false},  {"bull", 8226, false},   {"hellip", 8230, false},
    {"permil", 8240, false},  {"prime", 8242, false},  {"Prime", 8243, false},
    {"lsaquo", 8249, false},  {"rsaquo", 8250, false}, {"oline", 8254, false},
    {"frasl", 8260, false},   {"euro", 8364, false},   {"image", 8465, false},
    {"weierp", 8472, false},  {"real", 8476, false},   {"trade", 8482, false},
    {"alefsym", 8501, false}, {"larr", 8592, false},   {"uarr", 8593, false},
    {"rarr", 8594, false},    {"darr", 8595, false},   {"harr", 8596, false},
    {"crarr", 8629, false},   {"lArr", 8656, false},   {"uArr", 8657, false},
    {"rArr", 8658, false},    {"dArr", 8659, false},   {"hArr", 8660, false},
    {"forall", 8704, false},  {"part", 8706, false},   {"exist", 8707, false},
    {"empty", 8709, false},   {"nabla", 8711, false},  {"isin", 8712, false},
    {"notin", 8713, false},   {"ni", 8715, false},     {"prod", 8719, false},
    {"sum", 8721, false},     {"minus", 8722, false},  {"lowast", 8727, false},
    {"radic", 8730, false},   {"prop", 8733, false},   {"infin", 8734, false},
    {"ang", 8736, false},     {"and", 8743, false},    {"or", 8744, false},
    {"cap", 8745, false},     {"cup", 8746, false},    {"int", 8747, false},
    {"there4", 8756, false},  {"sim", 8764, false},    {"cong", 8773, false},
    {"asymp", 8776, false},   {"ne", 8800, false},     {"equiv", 8801, false},
    {"le", 8804, false},      {"ge", 8805, false},     {"sub", 8834, false},
    {"sup", 8835, false},     {"nsub", 8836, false},   {"sube", 8838, false},
    {"supe", 8839, false},    {"oplus", 8853, false},  {"otimes", 8855, false},
    {"perp", 8869, false},    {"sdot", 8901, false},   {"lceil", 8968, false},
    {"rceil", 8969, false},   {"lfloor", 8970, false}, {"rfloor", 8971, false},
    {"lang", 0x27E8, false},  {"rang", 0x27E9, false}, {"loz", 9674, false},
    {"spades", 9824, false},  {"clubs", 9827, false},  {"hearts", 9829, false},
    {"diams", 9830, false},
};

// The longest name of all above, and the longest that may stand without ';'.
constexpr size_t kLongestName = 8;
constexpr size_t kLongestLegacyName = 6;

// The character a name stands for (0: none); `legacy` tells whether it may
// stand without its ';'.
char16_t LookUpName(std::u16string_view name, bool& legacy) {
  std::string ascii(name.begin(), name.end());  // the caller gives letters and digits only
  for (size_t i = 0; i < std::size(kLatin1Names); ++i) {
    if (kLatin1Names[i] == ascii) {
      legacy = true;
      return static_cast<char16_t>(0xA0 + i);
    }
  }
  for (const NamedReference& r : kNamed) {
    if (r.name == ascii) {
      legacy = r.legacy;
      return r.code;
    }
  }
  return 0;
}

// What browsers read for &#128; to &#159;: the Windows-1252 characters
// there; 0 where Windows-1252 has none and the number stands for itself.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char32_t NumericReference(char32_t n) {
  if (n == 0 || n > 0x10FFFF || IsHighSurrogate(n) || IsLowSurrogate(n)) return kReplacementChar;
  if (n >= 0x80 && n <= 0x9F && kWindows1252[n - 0x80] != 0) return kWindows1252[n - 0x80];
  return n;
}

bool IsAsciiAlnum(char16_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int DigitValue(char16_t c, int base) {
  int d = 99;
  if (c >= '0' && c <= '9') d = c - '0';
  if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < base ? d : -1;
}

// The reference at t[at] (an '&') appended to `out`; how many code units
// it took, 0 when there is none and the '&' stands for itself.
size_t DecodeReference(std::u16string_view t, size_t at, bool inAttribute, std::u16string& out) {
  const size_t n = t.size();
  size_t i = at + 1;
  if (i < n && t[i] == '#') {
    ++i;
    const int base = i < n && (t[i] == 'x' || t[i] == 'X') ? 16 : 10;
    if (base == 16) ++i;
    const size_t digits = i;
    char32_t value = 0;
    for (int d; i < n && (d = DigitValue(t[i], base)) >= 0; ++i) {
      value = std::min<char32_t>(value * base + d, 0x110000);  // anything above is too large
    }
    if (i == digits) return 0;
    if (i < n && t[i] == ';') ++i;
    AppendUtf16(out, NumericReference(value));
    return i - at;
  }
  size_t len = 0;
  while (i + len < n && len <= kLongestName && IsAsciiAlnum(t[i + len])) ++len;
  bool legacy = false;
  if (len >= 2 && len <= kLongestName && i + len < n && t[i + len] == ';') {
    if (const char16_t c = LookUpName(t.substr(i, len), legacy)) {
      out.push_back(c);
      return len + 2;
    }
  }
  for (size_t k = std::min(len, kLongestLegacyName); k >= 2; --k) {
    const char16_t c = LookUpName(t.substr(i, k), legacy);
    if (c == 0 || !legacy) continue;
    if (inAttribute && i + k < n && (IsAsciiAlnum(t[i + k]) || t[i + k] == '=')) return 0;
    out.push_back(c);
    return k + 1;
  }
  return 0;
}

void AppendDecoded(std::u16string& out, std::u16string_view text, bool inAttribute) {
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '&') {
      if (const size_t used = DecodeReference(text, i, inAttribute, out)) {
        i += used;
        continue;
      }
    }
    out.push_back(text[i++]);
  }
}

bool IsTitleSpace(char16_t c) { return c <= ' '; }

std::u16string_view TrimSpace(std::u16string_view s) {
  while (!s.empty() && html::IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && html::IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool IsLinkTo(const html::Token<char>& tag, std::string_view address) {
  const html::Attribute<char>* href = tag.Find("href");
  if (href == nullptr) return false;
  const std::u16string decoded = DecodeCharacterReferences(Utf8ToUtf16(href->value), true);
  const std::u16string_view url = TrimSpace(decoded);
  return std::equal(url.begin(), url.end(), address.begin(), address.end(),
                    [](char16_t a, char b) { return a == static_cast<unsigned char>(b); });
}

template <class Char>
std::optional<std::basic_string_view<Char>> FindTitleElement(std::basic_string_view<Char> html) {
  html::Tokenizer<Char> tokens(html);
  for (;;) {
    const html::Token<Char>& t = tokens.Next();
    if (t.kind == html::TokenKind::kEnd) return std::nullopt;
    if (t.kind != html::TokenKind::kStartTag || !t.NameIs("title")) continue;
    if (tokens.InForeignContent()) continue;  // an SVG image's own title
    const html::Token<Char>& text = tokens.Next();
    if (text.kind != html::TokenKind::kRcData || !text.terminated) return std::nullopt;
    return text.text;
  }
}

}  // namespace

std::u16string DecodeCharacterReferences(std::u16string_view text, bool inAttribute) {
  std::u16string out;
  out.reserve(text.size());
  AppendDecoded(out, text, inAttribute);
  return out;
}

std::u16string CollapseWhitespace(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  bool space = false;
  for (const char16_t c : text) {
    if (IsTitleSpace(c)) {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(u' ');
    space = false;
    out.push_back(c);
  }
  return out;
}

std::u16string TitleText(std::u16string_view text) {
  return CollapseWhitespace(DecodeCharacterReferences(text));
}

std::u16string LinkTitle(std::string_view fragment, std::string_view address) {
  if (address.empty() || !std::all_of(address.begin(), address.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
      })) {
    return {};
  }
  html::Tokenizer<char> tokens(fragment);
  bool inLink = false;
  std::u16string text;
  for (;;) {
    const html::Token<char>& t = tokens.Next();
    const bool isA = (t.kind == html::TokenKind::kStartTag || t.kind == html::TokenKind::kEndTag) &&
                     t.NameIs("a");
    // A link ends at its end tag, at the next link (which closes it), or
    // with the fragment.
    if (inLink && (isA || t.kind == html::TokenKind::kEnd)) {
      std::u16string title = CollapseWhitespace(text);
      if (!title.empty()) return title;
      inLink = false;
    }
    if (t.kind == html::TokenKind::kEnd) return {};
    if (isA && t.kind == html::TokenKind::kStartTag && IsLinkTo(t, address)) {
      inLink = true;
      text.clear();
    } else if (inLink && (t.kind == html::TokenKind::kText || t.kind == html::TokenKind::kRcData)) {
      // Each run of text on its own: a reference never spans a tag.
      AppendDecoded(text, Utf8ToUtf16(t.text), false);
    }
  }
}

std::optional<std::string_view> TitleElementText(std::string_view html) {
  return FindTitleElement(html);
}

std::optional<std::u16string_view> TitleElementText(std::u16string_view html) {
  return FindTitleElement(html);
}

}  // namespace ixo
