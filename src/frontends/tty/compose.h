// Places the open windows on a screen of terminal cells: each window at its pixel position
// divided by its cell size, with a title row above its client area, moved in so that it fits
// the terminal where it can and clipped where it cannot.
#pragma once

#include <vector>

#include "ui/cells.h"
#include "ui/form.h"

namespace pz::tty {

struct Placement {
  int col = 0, row = 0;  // top left cell of the client area on the screen
};

// Composes the windows bottom to top; `placements` receives where each client area went.
ui::CellGrid compose(const std::vector<ui::Form*>& forms, int cols, int rows, std::vector<Placement>& placements);

// The nearest colour of the xterm 256-colour palette to a Windows colour value (0x00BBGGRR).
int paletteIndex(ui::Color c);

}  // namespace pz::tty
