#include "core/html_tokenizer.h"

#include <string>

namespace ixo::html {

namespace {

template <class Char>
bool IsAsciiAlpha(Char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

template <class Char>
char32_t LowerAscii(Char c) {
  const char32_t u = static_cast<std::make_unsigned_t<Char>>(c);
  return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

// The elements whose contents are no markup: script data and the like (no
// text at all), and the title and textarea (text, with references). Inside
// <noscript> a browser that runs scripts reads no markup either.
constexpr std::string_view kRawTextElements[] = {"script",  "style",    "xmp",     "iframe",
                                                 "noembed", "noframes", "noscript"};
constexpr std::string_view kRcDataElements[] = {"title", "textarea"};

template <class Char, size_t N>
std::string_view FindName(std::basic_string_view<Char> name, const std::string_view (&names)[N]) {
  for (const std::string_view n : names) {
    if (EqualsIgnoreCase(name, n)) return n;
  }
  return {};
}

template <class Char>
bool IsForeignRoot(std::basic_string_view<Char> name) {
  return EqualsIgnoreCase(name, "svg") || EqualsIgnoreCase(name, "math");
}

}  // namespace

template <class Char>
bool EqualsIgnoreCase(std::basic_string_view<Char> s, std::string_view lower) {
  if (s.size() != lower.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (LowerAscii(s[i]) != static_cast<unsigned char>(lower[i])) return false;
  }
  return true;
}

template <class Char>
bool Token<Char>::NameIs(std::string_view lower) const {
  return EqualsIgnoreCase(name, lower);
}

template <class Char>
const Attribute<Char>* Token<Char>::Find(std::string_view lower) const {
  for (const Attribute<Char>& a : attributes) {
    if (EqualsIgnoreCase(a.name, lower)) return &a;
  }
  return nullptr;
}

template <class Char>
bool Tokenizer<Char>::StartsWith(size_t at, std::string_view ascii) const {
  if (in_.size() - at < ascii.size()) return false;
  for (size_t i = 0; i < ascii.size(); ++i) {
    if (in_[at + i] != static_cast<Char>(ascii[i])) return false;
  }
  return true;
}

template <class Char>
const Token<Char>& Tokenizer<Char>::Next() {
  tok_.kind = TokenKind::kEnd;
  tok_.text = {};
  tok_.name = {};
  tok_.attributes.clear();
  tok_.selfClosing = false;
  tok_.terminated = true;
  if (!rawName_.empty()) {
    ReadRawText();
    return tok_;
  }
  const size_t n = in_.size();
  while (pos_ < n) {
    if (in_[pos_] != '<') {
      ReadText(pos_);
      return tok_;
    }
    const size_t rest = n - pos_;
    const Char next = rest >= 2 ? in_[pos_ + 1] : Char(0);
    if (next == '!') {
      if (StartsWith(pos_, "<!--")) {
        SkipComment();
      } else if (foreign_ > 0 && StartsWith(pos_, "<![CDATA[")) {
        const size_t from = pos_ + 9;
        size_t close = from;
        while (close < n && !StartsWith(close, "]]>")) ++close;
        tok_.kind = TokenKind::kText;
        tok_.text = in_.substr(from, close - from);
        pos_ = close < n ? close + 3 : n;
        return tok_;
      } else {
        SkipBogusComment();
      }
      continue;
    }
    if (next == '?') {
      SkipBogusComment();
      continue;
    }
    if (next == '/' && rest >= 3) {
      const Char third = in_[pos_ + 2];
      if (IsAsciiAlpha(third)) {
        if (!ReadTag(pos_ + 2, TokenKind::kEndTag)) break;
        return tok_;
      }
      if (third == '>') {
        pos_ += 3;  // "</>" is nothing at all
      } else {
        SkipBogusComment();
      }
      continue;
    }
    if (IsAsciiAlpha(next)) {
      if (!ReadTag(pos_ + 1, TokenKind::kStartTag)) break;
      return tok_;
    }
    ReadText(pos_ + 1);  // a '<' that begins no markup is text
    return tok_;
  }
  pos_ = n;
  tok_.kind = TokenKind::kEnd;
  return tok_;
}

template <class Char>
void Tokenizer<Char>::ReadText(size_t from) {
  size_t end = in_.find(Char('<'), from);
  if (end == std::basic_string_view<Char>::npos) end = in_.size();
  tok_.kind = TokenKind::kText;
  tok_.text = in_.substr(pos_, end - pos_);
  pos_ = end;
}

// Up to "</name" followed by whitespace, '/' or '>', in any letter case; the
// end tag itself is read as the next token.
template <class Char>
void Tokenizer<Char>::ReadRawText() {
  const size_t n = in_.size();
  const size_t len = rawName_.size();
  size_t end = n;
  for (size_t i = pos_; (i = in_.find(Char('<'), i)) != std::basic_string_view<Char>::npos; ++i) {
    if (n - i < len + 3 || in_[i + 1] != '/') continue;
    if (!EqualsIgnoreCase(in_.substr(i + 2, len), rawName_)) continue;
    const Char after = in_[i + 2 + len];
    if (IsSpace(after) || after == '/' || after == '>') {
      end = i;
      break;
    }
  }
  tok_.kind = rawKind_;
  tok_.text = in_.substr(pos_, end - pos_);
  tok_.terminated = end < n;
  pos_ = end;
  rawName_ = {};
}

// "<!--" up to "-->" or "--!>"; "<!-->" and "<!--->" end at once; a comment
// that is never closed runs to the end.
template <class Char>
void Tokenizer<Char>::SkipComment() {
  const size_t n = in_.size();
  const size_t i = pos_ + 4;
  for (const std::string_view abrupt : {">", "->"}) {
    if (StartsWith(i, abrupt)) {
      pos_ = i + abrupt.size();
      return;
    }
  }
  for (size_t at = i; at < n; ++at) {
    for (const std::string_view end : {"-->", "--!>"}) {
      if (StartsWith(at, end)) {
        pos_ = at + end.size();
        return;
      }
    }
  }
  pos_ = n;
}

// "<!...>", "<?...>" and "</...>" that is no end tag: up to the next '>'.
template <class Char>
void Tokenizer<Char>::SkipBogusComment() {
  const size_t end = in_.find(Char('>'), pos_ + 2);
  pos_ = end == std::basic_string_view<Char>::npos ? in_.size() : end + 1;
}

// The tag whose name starts at `nameAt`; false when the input ends inside it
// (browsers drop such a tag).
template <class Char>
bool Tokenizer<Char>::ReadTag(size_t nameAt, TokenKind kind) {
  const size_t n = in_.size();
  const auto isSpace = [&](size_t i) { return IsSpace(in_[i]); };
  size_t i = nameAt;
  while (i < n && !isSpace(i) && in_[i] != '/' && in_[i] != '>') ++i;
  tok_.kind = kind;
  tok_.name = in_.substr(nameAt, i - nameAt);
  bool closed = false;
  while (!closed) {
    while (i < n && isSpace(i)) ++i;
    if (i >= n) break;
    if (in_[i] == '>') {
      ++i;
      closed = true;
      break;
    }
    if (in_[i] == '/') {
      ++i;
      if (i < n && in_[i] == '>') {
        tok_.selfClosing = true;
        ++i;
        closed = true;
      }
      continue;
    }
    // A name starts with any character but those above, '=' included.
    const size_t nameStart = i++;
    while (i < n && !isSpace(i) && in_[i] != '/' && in_[i] != '>' && in_[i] != '=') ++i;
    Attribute<Char> a{in_.substr(nameStart, i - nameStart), {}};
    while (i < n && isSpace(i)) ++i;
    if (i < n && in_[i] == '=') {
      ++i;
      while (i < n && isSpace(i)) ++i;
      if (i >= n) break;
      if (in_[i] == '"' || in_[i] == '\'') {
        const size_t close = in_.find(in_[i], i + 1);
        if (close == std::basic_string_view<Char>::npos) break;
        a.value = in_.substr(i + 1, close - i - 1);
        i = close + 1;
      } else {
        const size_t start = i;
        while (i < n && !isSpace(i) && in_[i] != '>') ++i;
        a.value = in_.substr(start, i - start);
      }
    }
    tok_.attributes.push_back(a);
  }
  if (!closed) {
    pos_ = n;
    return false;
  }
  pos_ = i;
  if (kind == TokenKind::kEndTag) {
    tok_.attributes.clear();
    tok_.selfClosing = false;
    if (foreign_ > 0 && IsForeignRoot(tok_.name)) --foreign_;
    return true;
  }
  if (IsForeignRoot(tok_.name)) {
    if (!tok_.selfClosing) ++foreign_;
  } else if (foreign_ == 0) {
    // A self-closing slash means nothing on an HTML element: <script/> still
    // starts a script.
    if (const std::string_view raw = FindName(tok_.name, kRawTextElements); !raw.empty()) {
      rawName_ = raw;
      rawKind_ = TokenKind::kRawText;
    } else if (const std::string_view rc = FindName(tok_.name, kRcDataElements); !rc.empty()) {
      rawName_ = rc;
      rawKind_ = TokenKind::kRcData;
    }
  }
  return true;
}

template struct Token<char>;
template struct Token<char16_t>;
template class Tokenizer<char>;
template class Tokenizer<char16_t>;
template bool EqualsIgnoreCase(std::basic_string_view<char>, std::string_view);
template bool EqualsIgnoreCase(std::basic_string_view<char16_t>, std::string_view);

}  // namespace ixo::html
