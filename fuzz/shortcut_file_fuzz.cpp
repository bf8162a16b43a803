// The shortcut's rules on arbitrary folders, titles (a clipboard title, or
// one typed by hand) and addresses, against the rules read plainly: the
// scheme check with and without the https switch, the file name, the refusal
// of device names and of names longer than any path (near that length too),
// and the two lines of the file.
//
// Input: byte 0 is the mode (bit 0 the https switch; bits 1-2 lengthen the
// folder so that the file name is one byte shorter than the longest path, as
// long or one byte longer); the rest is folder, title and address, cut at its
// first two zero bytes, at most 1 KB.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/linelist.h"
#include "core/shortcut_file.h"
#include "fuzz_check.h"
#include "oracle.h"

using ixo::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const bool https = mode & 1;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  if (rest.size() > 1024) rest = rest.substr(0, 1024);
  std::string_view parts[3];
  for (int i = 0; i < 2; ++i) {
    const size_t zero = rest.find('\0');
    parts[i] = rest.substr(0, zero);
    rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  }
  parts[2] = rest;
  std::string folder(parts[0]);
  const std::string title(parts[1]);
  const std::string url(parts[2]);

  // An 'x' before the folder changes no component after it, and no device
  // name begins with one.
  const size_t target = ixo::kLongestPath - 2 + ((mode >> 1) & 3);
  const size_t length = folder.size() + 1 + title.size() + 4;
  if (((mode >> 1) & 3) != 0 && length < target) folder.insert(0, target - length, 'x');

  const auto begins = [&](std::string_view prefix) {
    return url.substr(0, prefix.size()) == prefix;
  };
  const bool accepted = begins("http:/") || begins("ftp://") || (https && begins("https://"));
  Check(ixo::IsShortcutURL(url, https) == accepted, "scheme check");

  const std::string file = ixo::ShortcutFileName(folder, title);
  Check(file == folder + "\\" + title + ".URL", "file name");

  const bool refused = file.size() > ixo::kLongestPath || ixo::oracle::IsDeviceFileName(file);
  Check(ixo::IsRefusedShortcutFileName(file) == refused, "refusal");

  const std::string content = ixo::ShortcutContent(url);
  Check(content == "[InternetShortcut]\r\nURL=" + url + "\r\n", "content");
  // An address of one line gives exactly the two lines.
  if (url.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) {
    const std::vector<std::string> want = {"[InternetShortcut]", "URL=" + url};
    Check(ixo::oracle::Strings(ixo::LineList(content)) == want, "two lines");
  }
  return 0;
}
