#include "core/charset.h"

#include "core/html_tokenizer.h"

namespace ixo {

namespace {

struct Label {
  std::string_view name;
  int codePage;
};

// The labels browsers know for each charset that Windows has a code page
// for (and "cp932", which Windows' own programs write).
constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", 65001},
    {"unicode11utf8", 65001},
    {"unicode20utf8", 65001},
    {"utf-8", 65001},
    {"utf8", 65001},
    {"x-unicode20utf8", 65001},
    {"csshiftjis", 932},
    {"cp932", 932},
    {"ms932", 932},
    {"ms_kanji", 932},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"windows-31j", 932},
    {"x-sjis", 932},
    {"cseucpkdfmtjapanese", 20932},
    {"euc-jp", 20932},
    {"x-euc-jp", 20932},
    {"csiso2022jp", 50220},
    {"iso-2022-jp", 50220},
    {"csunicode", 1200},
    {"iso-10646-ucs-2", 1200},
    {"ucs-2", 1200},
    {"unicode", 1200},
    {"unicodefeff", 1200},
    {"utf-16", 1200},
    {"utf-16le", 1200},
    {"unicodefffe", 1201},
    {"utf-16be", 1201},
    {"866", 866},
    {"cp866", 866},
    {"csibm866", 866},
    {"ibm866", 866},
    {"dos-874", 874},
    {"iso-8859-11", 874},
    {"iso8859-11", 874},
    {"iso885911", 874},
    {"tis-620", 874},
    {"windows-874", 874},
    {"cp1250", 1250},
    {"windows-1250", 1250},
    {"x-cp1250", 1250},
    {"cp1251", 1251},
    {"windows-1251", 1251},
    {"x-cp1251", 1251},
    {"ansi_x3.4-1968", 1252},
    {"ascii", 1252},
    {"cp1252", 1252},
    {"cp819", 1252},
    {"csisolatin1", 1252},
    {"ibm819", 1252},
    {"iso-8859-1", 1252},
    {"iso-ir-100", 1252},
    {"iso8859-1", 1252},
    {"iso88591", 1252},
    {"iso_8859-1", 1252},
    {"iso_8859-1:1987", 1252},
    {"l1", 1252},
    {"latin1", 1252},
    {"us-ascii", 1252},
    {"windows-1252", 1252},
    {"x-cp1252", 1252},
    {"cp1253", 1253},
    {"windows-1253", 1253},
    {"x-cp1253", 1253},
    {"cp1254", 1254},
    {"csisolatin5", 1254},
    {"iso-8859-9", 1254},
    {"iso-ir-148", 1254},
    {"iso8859-9", 1254},
    {"iso88599", 1254},
    {"iso_8859-9", 1254},
    {"iso_8859-9:1989", 1254},
    {"l5", 1254},
    {"latin5", 1254},
    {"windows-1254", 1254},
    {"x-cp1254", 1254},
    {"cp1255", 1255},
    {"windows-1255", 1255},
    {"x-cp1255", 1255},
    {"cp1256", 1256},
    {"windows-1256", 1256},
    {"x-cp1256", 1256},
    {"cp1257", 1257},
    {"windows-1257", 1257},
    {"x-cp1257", 1257},
    {"cp1258", 1258},
    {"windows-1258", 1258},
    {"x-cp1258", 1258},
    {"csmacintosh", 10000},
    {"mac", 10000},
    {"macintosh", 10000},
    {"x-mac-roman", 10000},
    {"x-mac-cyrillic", 10007},
    {"x-mac-ukrainian", 10007},
    {"cskoi8r", 20866},
    {"koi", 20866},
    {"koi8", 20866},
    {"koi8-r", 20866},
    {"koi8_r", 20866},
    {"koi8-ru", 21866},
    {"koi8-u", 21866},
    {"csisolatin2", 28592},
    {"iso-8859-2", 28592},
    {"iso-ir-101", 28592},
    {"iso8859-2", 28592},
    {"iso88592", 28592},
    {"iso_8859-2", 28592},
    {"iso_8859-2:1987", 28592},
    {"l2", 28592},
    {"latin2", 28592},
    {"csisolatin3", 28593},
    {"iso-8859-3", 28593},
    {"iso-ir-109", 28593},
    {"iso8859-3", 28593},
    {"iso88593", 28593},
    {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593},
    {"l3", 28593},
    {"latin3", 28593},
    {"csisolatin4", 28594},
    {"iso-8859-4", 28594},
    {"iso-ir-110", 28594},
    {"iso8859-4", 28594},
    {"iso88594", 28594},
    {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594},
    {"l4", 28594},
    {"latin4", 28594},
    {"csisolatincyrillic", 28595},
    {"cyrillic", 28595},
    {"iso-8859-5", 28595},
    {"iso-ir-144", 28595},
    {"iso8859-5", 28595},
    {"iso88595", 28595},
    {"iso_8859-5", 28595},
    {"iso_8859-5:1988", 28595},
    {"arabic", 28596},
    {"asmo-708", 28596},
    {"csiso88596e", 28596},
    {"csiso88596i", 28596},
    {"csisolatinarabic", 28596},
    {"ecma-114", 28596},
    {"iso-8859-6", 28596},
    {"iso-8859-6-e", 28596},
    {"iso-8859-6-i", 28596},
    {"iso-ir-127", 28596},
    {"iso8859-6", 28596},
    {"iso88596", 28596},
    {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596},
    {"csisolatingreek", 28597},
    {"ecma-118", 28597},
    {"elot_928", 28597},
    {"greek", 28597},
    {"greek8", 28597},
    {"iso-8859-7", 28597},
    {"iso-ir-126", 28597},
    {"iso8859-7", 28597},
    {"iso88597", 28597},
    {"iso_8859-7", 28597},
    {"iso_8859-7:1987", 28597},
    {"sun_eu_greek", 28597},
    {"csiso88598e", 28598},
    {"csisolatinhebrew", 28598},
    {"hebrew", 28598},
    {"iso-8859-8", 28598},
    {"iso-8859-8-e", 28598},
    {"iso-ir-138", 28598},
    {"iso8859-8", 28598},
    {"iso88598", 28598},
    {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598},
    {"visual", 28598},
    {"csiso88598i", 38598},
    {"iso-8859-8-i", 38598},
    {"logical", 38598},
    {"iso-8859-13", 28603},
    {"iso8859-13", 28603},
    {"iso885913", 28603},
    {"csisolatin9", 28605},
    {"iso-8859-15", 28605},
    {"iso8859-15", 28605},
    {"iso885915", 28605},
    {"iso_8859-15", 28605},
    {"l9", 28605},
    {"chinese", 936},
    {"csgb2312", 936},
    {"csiso58gb231280", 936},
    {"gb2312", 936},
    {"gb_2312", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"iso-ir-58", 936},
    {"x-gbk", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"cn-big5", 950},
    {"csbig5", 950},
    {"x-x-big5", 950},
    {"cseuckr", 949},
    {"csksc56011987", 949},
    {"euc-kr", 949},
    {"iso-ir-149", 949},
    {"korean", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"windows-949", 949},
};

bool IsAsciiSpace(char c) { return html::IsSpace(c); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsAsciiSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsAsciiSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Where "charset" starts in `s` at or after `from`, in any letter case.
size_t FindCharsetWord(std::string_view s, size_t from) {
  constexpr std::string_view kWord = "charset";
  for (size_t i = from; i + kWord.size() <= s.size(); ++i) {
    if (html::EqualsIgnoreCase(s.substr(i, kWord.size()), kWord)) return i;
  }
  return std::string_view::npos;
}

// A <meta> declares a charset with charset="...", or with
// http-equiv="Content-Type" and content="...; charset=...", whichever of
// the two comes first; content without that http-equiv declares nothing.
// An unknown label in charset= ends the search in this <meta>.
int MetaCodePage(const html::Token<char>& meta) {
  bool gotPragma = false, needPragma = false, charsetSet = false;
  // Only the first of a repeated attribute counts; only these three matter.
  bool seenEquiv = false, seenContent = false, seenCharset = false;
  int codePage = 0;
  for (const html::Attribute<char>& a : meta.attributes) {
    if (html::EqualsIgnoreCase(a.name, "http-equiv") && !seenEquiv) {
      seenEquiv = true;
      gotPragma = html::EqualsIgnoreCase(a.value, "content-type");
    } else if (html::EqualsIgnoreCase(a.name, "content") && !seenContent) {
      seenContent = true;
      const int cp = CodePageOfLabel(CharsetParameter(a.value));
      if (!charsetSet && cp != 0) {
        codePage = cp;
        charsetSet = needPragma = true;
      }
    } else if (html::EqualsIgnoreCase(a.name, "charset") && !seenCharset) {
      seenCharset = true;
      if (!charsetSet) {
        codePage = CodePageOfLabel(a.value);
        charsetSet = true;
        needPragma = false;
      }
    }
  }
  if (!charsetSet || (needPragma && !gotPragma)) return 0;
  return codePage;
}

}  // namespace

int CodePageOfLabel(std::string_view label) {
  label = Trim(label);
  if (label.size() >= 2 && (label.front() == '"' || label.front() == '\'') &&
      label.back() == label.front()) {
    label = Trim(label.substr(1, label.size() - 2));
  }
  for (const Label& l : kLabels) {
    if (html::EqualsIgnoreCase(label, l.name)) return l.codePage;
  }
  return 0;
}

std::string_view CharsetParameter(std::string_view content) {
  for (size_t i = 0; (i = FindCharsetWord(content, i)) != std::string_view::npos;) {
    i += 7;
    while (i < content.size() && IsAsciiSpace(content[i])) ++i;
    if (i >= content.size() || content[i] != '=') continue;
    ++i;
    while (i < content.size() && IsAsciiSpace(content[i])) ++i;
    if (i >= content.size()) return {};
    const char q = content[i];
    if (q == '"' || q == '\'') {
      const size_t close = content.find(q, i + 1);
      if (close == std::string_view::npos) return {};
      return content.substr(i + 1, close - i - 1);
    }
    size_t end = i;
    while (end < content.size() && !IsAsciiSpace(content[end]) && content[end] != ';') ++end;
    return content.substr(i, end - i);
  }
  return {};
}

int ByteOrderMark(std::string_view page) {
  if (page.substr(0, 3) == "\xEF\xBB\xBF") return kCodePageUtf8;
  if (page.substr(0, 2) == "\xFF\xFE") return kCodePageUtf16LE;
  if (page.substr(0, 2) == "\xFE\xFF") return kCodePageUtf16BE;
  return 0;
}

int DeclaredCodePage(std::string_view page, std::string_view contentType) {
  if (const int bom = ByteOrderMark(page)) return bom;
  if (const int header = CodePageOfLabel(CharsetParameter(contentType))) return header;
  // Browsers look at the first 1024 bytes, but Japanese pages often put
  // their charset later, after a long head of scripts, styles and other
  // <meta>, or after the <title>; the head is read to its end, as Chrome
  // does. Comments, scripts and the title's text hold no declaration.
  html::Tokenizer<char> tokens(page);
  for (;;) {
    const html::Token<char>& t = tokens.Next();
    if (t.kind == html::TokenKind::kEnd) return 0;
    if (t.kind == html::TokenKind::kEndTag && t.NameIs("head")) return 0;
    if (t.kind != html::TokenKind::kStartTag) continue;
    if (t.NameIs("body")) return 0;
    if (!t.NameIs("meta")) continue;
    if (const int cp = MetaCodePage(t)) {
      // The page's bytes were readable as ASCII: a <meta> that says
      // UTF-16 is mistaken, and browsers read UTF-8.
      return cp == kCodePageUtf16LE || cp == kCodePageUtf16BE ? kCodePageUtf8 : cp;
    }
  }
}

std::string Iso2022JpToShiftJis(std::string_view text) {
  // kOther: a set the program cannot convert (JIS X 0212, GB 2312, ...),
  // whose characters are dropped up to the next escape.
  enum class Set { kAscii, kJis0208, kKatakana, kOther };
  Set set = Set::kAscii;
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  const auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  for (size_t i = 0; i < n;) {
    const unsigned char b = at(i);
    if (b == 0x1B) {
      // ESC, intermediate bytes (0x20-0x2F), one final byte (0x30-0x7E).
      size_t end = i + 1;
      while (end < n && at(end) >= 0x20 && at(end) <= 0x2F) ++end;
      if (end >= n || at(end) < 0x30 || at(end) > 0x7E) {
        ++i;  // a broken sequence: the ESC alone is dropped
        continue;
      }
      const std::string_view seq = text.substr(i + 1, end - i);
      if (seq == "(B" || seq == "(J") {
        set = Set::kAscii;
      } else if (seq == "$@" || seq == "$B") {
        set = Set::kJis0208;
      } else if (seq == "(I") {
        set = Set::kKatakana;
      } else if (seq[0] == '(' || (seq[0] == '$' && (seq.size() == 2 || seq[1] == '('))) {
        set = Set::kOther;  // another set called into use; other escapes change nothing
      }
      i = end + 1;
      continue;
    }
    if (b == 0x0E || b == 0x0F) {  // SO, SI
      set = b == 0x0E ? Set::kKatakana : Set::kAscii;
      ++i;
      continue;
    }
    ++i;
    if (b < 0x21) {
      out.push_back(static_cast<char>(b));  // controls and space, in any set
    } else if (set == Set::kAscii) {
      // 8-bit half-width katakana, which some mailers wrote, are already
      // Shift_JIS; no other byte above 0x7F is a character here.
      if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) out.push_back(static_cast<char>(b));
    } else if (set == Set::kKatakana) {
      if (b <= 0x5F) out.push_back(static_cast<char>(b + 0x80));
    } else if (set == Set::kJis0208 && b <= 0x7E && i < n && at(i) >= 0x21 && at(i) <= 0x7E) {
      // Row b, cell c of JIS X 0208: two rows share a lead byte, the odd
      // one in trail bytes 0x40-0x9E (0x7F left out), the even one in
      // 0x9F-0xFC.
      const unsigned char c = at(i++);
      const unsigned lead = ((b + 1) >> 1) + (b <= 0x5E ? 0x70 : 0xB0);
      const unsigned trail = (b & 1) ? c + (c >= 0x60 ? 0x20 : 0x1F) : c + 0x7E;
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    }
  }
  return out;
}

}  // namespace ixo
