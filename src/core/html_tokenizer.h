// The part of a browser's HTML reading that the titles need: tags with their
// attributes, text, and the raw text of script, style and title elements;
// comments, doctypes and processing instructions are passed over. It reads
// the code units of any ASCII-compatible charset (UTF-8, Shift_JIS, EUC-JP,
// GBK, Big5, the single-byte ones: no byte of their multibyte characters is
// '<', '>', '/', '=', a quote or a space) or of UTF-16.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ixo::html {

enum class TokenKind {
  kText,     // character data; its references are not decoded
  kRcData,   // the text of a title or textarea element (references not decoded)
  kRawText,  // the contents of script, style and the like: no text at all
  kStartTag,
  kEndTag,  // (its attributes are dropped, as browsers drop them)
  kEnd,     // the end of the input, and every token after it
};

template <class Char>
struct Attribute {
  std::basic_string_view<Char> name;  // as written; compare with NameIs
  std::basic_string_view<Char> value;
};

template <class Char>
struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::basic_string_view<Char> text;  // kText, kRcData, kRawText
  std::basic_string_view<Char> name;  // tags, as written
  std::vector<Attribute<Char>> attributes;
  bool selfClosing = false;
  // kRcData, kRawText: false when the input ended before its end tag.
  bool terminated = true;

  // True when the tag's name is `lower` in any letter case.
  bool NameIs(std::string_view lower) const;
  // The first attribute named `lower` in any letter case (a repeated
  // attribute counts once, as browsers read it), or null.
  const Attribute<Char>* Find(std::string_view lower) const;
};

template <class Char>
class Tokenizer {
 public:
  explicit Tokenizer(std::basic_string_view<Char> input) : in_(input) {}

  // The next token. After the start tag of a raw-text or title element comes
  // exactly one kRawText or kRcData token (perhaps empty), then its end tag.
  const Token<Char>& Next();
  // True inside <svg> or <math>, where <title> and <style> are elements of
  // their own and a <![CDATA[ section is text.
  bool InForeignContent() const { return foreign_ > 0; }

 private:
  void ReadText(size_t from);
  void ReadRawText();
  void SkipComment();
  void SkipBogusComment();
  bool ReadTag(size_t nameAt, TokenKind kind);
  bool StartsWith(size_t at, std::string_view ascii) const;

  std::basic_string_view<Char> in_;
  size_t pos_ = 0;
  Token<Char> tok_;
  std::string_view rawName_;  // the element whose raw text comes next
  TokenKind rawKind_ = TokenKind::kRawText;
  size_t foreign_ = 0;  // how many <svg> and <math> are open
};

// True when `s` is `lower` in any ASCII letter case.
template <class Char>
bool EqualsIgnoreCase(std::basic_string_view<Char> s, std::string_view lower);

// Tab, LF, FF, CR and space: the whitespace of HTML.
template <class Char>
bool IsSpace(Char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

}  // namespace ixo::html
