// Printing a window as it looks: its character cells, row by row, in a fixed-pitch font on the
// program's printer (F10 in the choice menu and in edit forms).
#pragma once

#include "ui/form.h"

namespace pz::ui {

// False when the printer could not take the page.
bool TiskniOkno(const Form& okno);

}  // namespace pz::ui
