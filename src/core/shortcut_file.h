// The rules of an Internet Shortcut file: which addresses get one, the name
// it is saved under and the two lines it holds. Writing it is the Windows
// side's (win32/shortcut).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ixo {

// No path of the system is longer than 32767 characters, and a character
// takes at least one byte.
inline constexpr size_t kLongestPath = 32767;

// True when `url` gets a shortcut: it begins with "http:/" or "ftp://" or,
// with `https` on, "https://", byte for byte and in that letter case.
bool IsShortcutURL(std::string_view url, bool https);

// `folder` + "\" + `title` + ".URL". A folder that already ends in a
// backslash gets a second one, which the system reads as one.
std::string ShortcutFileName(std::string_view folder, std::string_view title);

// True when no file may be made under the name `file`: one that names a
// device (Windows would open the device and swallow the write) or one longer
// than kLongestPath bytes.
bool IsRefusedShortcutFileName(std::string_view file);

// "[InternetShortcut]", CR LF, "URL=" and `url` byte for byte, CR LF.
std::string ShortcutContent(std::string_view url);

}  // namespace ixo
