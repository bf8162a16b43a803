// Windows opens a file named after a device ("CON.URL", "nul .url") as that
// device: the write "succeeds" and no file exists. The shortcut writer asks
// this before it creates a file.
#pragma once

#include <string_view>

namespace ixo {

// True when the last component of the path `file` names a reserved device:
// CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$ or CONOUT$, in any letter
// case, alone or before an extension, with or without trailing dots or spaces.
bool IsDeviceFileName(std::string_view file);

}  // namespace ixo
