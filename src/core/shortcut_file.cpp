#include "core/shortcut_file.h"

#include "core/devicename.h"

namespace ixo {

bool IsShortcutURL(std::string_view url, bool https) {
  return url.starts_with("http:/") || url.starts_with("ftp://") ||
         (https && url.starts_with("https://"));
}

std::string ShortcutFileName(std::string_view folder, std::string_view title) {
  std::string file;
  file.reserve(folder.size() + title.size() + 5);
  file += folder;
  file += '\\';
  file += title;
  file += ".URL";
  return file;
}

bool IsRefusedShortcutFileName(std::string_view file) {
  // Wine keeps the length of a name given to the ANSI calls in 16 bits: a
  // name of 64 KB or more (a title of a whole page of text) would wrap to its
  // first few bytes and create that shorter file instead of failing, so no
  // name longer than a path can be reaches the system.
  return file.size() > kLongestPath || IsDeviceFileName(file);
}

std::string ShortcutContent(std::string_view url) {
  // A zero byte in the address (possible only when typed by hand) is kept as
  // it stands: the content is the address byte for byte.
  std::string content = "[InternetShortcut]\r\nURL=";
  content += url;
  content += "\r\n";
  return content;
}

}  // namespace ixo
