// Addresses as the program asks a web server for a page: the address as it
// goes out, and the one a redirect leads to.
#pragma once

#include <string>
#include <string_view>

namespace ixo {

// `url` as it is sent: its fragment ("#...") left off, and every character
// that is not printable ASCII percent-encoded in UTF-8, as browsers send an
// address.
std::u16string RequestAddress(std::u16string_view url);

// The address a redirect's Location names, read against `base`, the address
// that answered with it: an absolute address, "//host/...", "/path",
// "?query" or a path relative to the base's folder, with "." and ".."
// segments resolved. Empty when `location` is empty.
std::u16string ResolveAddress(std::u16string_view base, std::u16string_view location);

// The scheme of `url` in lower case ("http", "https"); empty when it has
// none.
std::u16string SchemeOf(std::u16string_view url);

}  // namespace ixo
