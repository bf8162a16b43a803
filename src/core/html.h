// Titles out of HTML: the text of the clipboard's own link to a copied
// address, and the <title> of a page, read as a browser reads them.
// Titles leave here as UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ixo {

// `text` with its character references decoded as a browser decodes them:
// named ones (HTML 4's 252, &apos;, and the capital &AMP; &LT; &GT; &QUOT;
// &COPY; &REG;), decimal (&#1234;) and hex (&#x1F370;), the ';' optional
// after a number. A number of 0, of a surrogate or above U+10FFFF gives
// U+FFFD; 128-159 are read as the Windows-1252 characters. A name without
// its ';' is decoded only for the Latin-1 ones and &amp; &lt; &gt; &quot;
// (and their capitals), which pages have always written so, as the longest
// such name that starts the text after the '&'; `inAttribute`, such a name
// followed by a letter, a digit or '=' is left as it stands ("?a=1&copy=2").
std::u16string DecodeCharacterReferences(std::u16string_view text, bool inAttribute = false);

// Whitespace collapsed as browsers do for a title: none at either end, and
// each run inside one space. Whitespace is tab, LF, FF, CR and space, and
// here also the other C0 controls, which no file name can hold; U+00A0
// stays.
std::u16string CollapseWhitespace(std::u16string_view text);

// The final title from the text of a title element decoded from its
// charset: references decoded, whitespace collapsed. Empty: no title.
std::u16string TitleText(std::u16string_view text);

// The text of the first link in `fragment` (the UTF-8 HTML of the
// clipboard) whose href, references decoded and whitespace trimmed, is
// exactly `address`, and whose text is not empty: tags, comments and the
// contents of script and style removed, references decoded, whitespace
// collapsed. `address` is the extraction's code page 932 text; an address
// that is not all ASCII matches no link. Empty when no link gives one.
std::u16string LinkTitle(std::string_view fragment, std::string_view address);

// The raw text of the first <title> element of `html` (not one inside
// <svg> or <math>), tags and references in it left as they stand, as a
// view into `html`. Nothing when there is none, or when its end tag never
// comes: the rest of a broken or cut-off page is no title.
std::optional<std::string_view> TitleElementText(std::string_view html);
std::optional<std::u16string_view> TitleElementText(std::u16string_view html);

}  // namespace ixo
