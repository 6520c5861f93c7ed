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

// How far the user has moved the view of the top window away from its focus, in cells (positive:
// towards the window's right and bottom edge). Only a window larger than the terminal is moved.
struct Pan {
  int cols = 0, rows = 0;
  bool larger = false;      // set by compose: the top window is larger than the terminal
  bool checkFocus = false;  // a key came: the pan ends unless some of the focus stays in view
};

// Composes the windows bottom to top; `placements` receives where each client area went. `pan`
// is cut to what the top window allows.
ui::CellGrid compose(const std::vector<ui::Form*>& forms, int cols, int rows, std::vector<Placement>& placements);
ui::CellGrid compose(const std::vector<ui::Form*>& forms, int cols, int rows, std::vector<Placement>& placements,
                     Pan& pan);

// The nearest colour of the xterm 256-colour palette to a Windows colour value (0x00BBGGRR).
int paletteIndex(ui::Color c);

}  // namespace pz::tty
