// Paths of code page 932 text, walked by characters: the 0x5C that ends a
// character such as 0x95 0x5C is no backslash.
#pragma once

#include <string>
#include <string_view>

namespace ixo {

// The folder part of `path` up to and including its last backslash; empty
// when it has none.
std::string FolderOfPath(std::string_view path);

}  // namespace ixo
