// The device-name test of the shortcut writer on arbitrary paths, against the
// oracle's reading, which finds the last component through the step-by-step
// trail-byte test; every device name, however it is dressed (letter case,
// extension, trailing dots and spaces, any folder before it), is caught. And
// the message that names a refused file holds the name byte for byte.
//
// Input: byte 0 chooses a device name and how to dress it; the rest is the
// path (cut to 1 KB, as the step-by-step trail-byte test is quadratic).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/devicename.h"
#include "core/error.h"
#include "fuzz_check.h"
#include "oracle.h"

using ixo::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
  if (path.size() > 1024) path.resize(1024);

  Check(ixo::IsDeviceFileName(path) == ixo::oracle::IsDeviceFileName(path),
        "differs from the reference");

  // A device name put after the path as a component of its own, in mixed
  // letter case, with an extension or dots and spaces after it.
  static const std::vector<std::string> devices = ixo::oracle::DeviceNames();
  std::string device = devices[mode % devices.size()];
  for (size_t i = 0; i < device.size(); ++i) {
    if ((mode >> (i % 8)) & 1 && device[i] >= 'A' && device[i] <= 'Z') device[i] += 'a' - 'A';
  }
  static const char* const tails[] = {"", ".URL", ". ", "  ..", ".tar.gz", " .x"};
  const std::string tail = tails[(mode >> 5) % 6];
  Check(ixo::IsDeviceFileName(device + tail), "a device name alone was not caught");
  // The separator must be a character of its own: after a lead byte it would
  // be that character's second byte.
  const std::string folder = path + "\\";
  if (!ixo::oracle::IsTrailByte(folder, static_cast<int32_t>(folder.size()))) {
    Check(ixo::IsDeviceFileName(folder + device + tail), "a device name was not caught");
  }

  // The message that names the file holds it byte for byte.
  const std::string message = ixo::FormatMessage1("ファイル %s を作成できません", path);
  const std::string before = "ファイル ";
  const std::string after = " を作成できません";
  Check(message == before + path + after, "the message does not name the file as it is");
  return 0;
}
