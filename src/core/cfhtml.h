// The clipboard's "HTML Format" (CF_HTML): a header of "Name:value" lines
// ("Version:", "StartHTML:", "EndHTML:", "StartFragment:", "EndFragment:",
// "SourceURL:", ...), whose offsets count bytes from the start of the block,
// then the HTML in UTF-8, the copied part between "<!--StartFragment-->" and
// "<!--EndFragment-->".
#pragma once

#include <optional>
#include <string_view>

namespace ixo {

// The copied fragment of `block` (the clipboard's bytes, perhaps ending in
// a zero byte and whatever follows it), as a view into `block`: the bytes
// from StartFragment to EndFragment. When those are missing or unusable
// (signed, not a number, too large, beyond the data, inside the header,
// crossed), the bytes between the two markers; nothing when neither gives a
// fragment. Offsets may be padded with zeros and with spaces.
std::optional<std::string_view> CfHtmlFragment(std::string_view block);

// The header's "SourceURL:" value, trimmed; empty when there is none.
std::string_view CfHtmlSourceURL(std::string_view block);

}  // namespace ixo
