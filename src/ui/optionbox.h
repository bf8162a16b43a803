// The options dialog: edits every setting of an option record except the
// clipboard watch, modally, over the main window.
#pragma once

#include "settings/options.h"

namespace ixo {

// Shows the dialog and returns when it has closed. Only when the user left
// it with OK does `rec` take the dialog's values.
void ShowOptionBox(TOptionRecord& rec);

}  // namespace ixo
