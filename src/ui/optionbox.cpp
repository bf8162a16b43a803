// Placeholder until the options dialog arrives: it is to be replaced by the
// dialog itself. Until then the record comes back as it went in, as it does
// when the user cancels the dialog.
#include "ui/optionbox.h"

namespace ixo {

void ShowOptionBox(TOptionRecord& rec) { (void)rec; }

}  // namespace ixo
