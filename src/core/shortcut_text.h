// What a shortcut makes of Unicode text: the title its file is named after,
// cut to fit, and the bytes of its URL= line. (shortcut_file holds the rest
// of the shortcut's rules.)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ixo {

// `title` cut so that prefix + title + ".URL" can be created anywhere the
// program runs, where `prefixUnits` is the UTF-16 length of the prefix (the
// folder and its backslash). One rule fits NTFS, Linux file systems and
// Samba shares: the name (title and ".URL") at most 255 UTF-16 units and 255
// bytes of UTF-8, the whole path at most 259 units. A title that fits comes
// back unchanged. Otherwise it is cut at a character boundary, never inside
// a surrogate pair nor between a character and the marks, variation
// selectors or joined characters that go with it, and the spaces (half- and
// full-width) then left at its end are removed. When not even an empty title
// fits, the title is empty.
std::u16string FitTitle(std::u16string_view title, size_t prefixUnits);

// The address as the URL= line holds it: what code page 932 holds as its
// bytes, every other character as its UTF-8 bytes percent-encoded, as
// browsers write addresses: "%F0%9F%8D%B0" for U+1F370, a lone surrogate as
// U+FFFD.
std::string URLLineBytes(std::u16string_view url);

}  // namespace ixo
