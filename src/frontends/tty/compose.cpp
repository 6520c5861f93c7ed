#include "frontends/tty/compose.h"

#include <algorithm>

namespace pz::tty {

using namespace ui;

CellGrid compose(const std::vector<Form*>& forms, int cols, int rows, std::vector<Placement>& placements) {
  CellGrid screen(cols, rows, Cell{U' ', kSilver, kBlack, false});
  placements.clear();
  for (Form* f : forms) {
    CellGrid g = render(*f);
    const int cw = std::max(1, f->look.cellWidth), ch = std::max(1, f->look.cellHeight);
    int left = std::clamp(f->geometry.x / cw, 0, std::max(0, cols - g.cols()));
    int top = std::clamp(f->geometry.y / ch, 0, std::max(0, rows - g.rows() - 1));
    // Title row: the caption on an inverted bar across the window's width.
    screen.fill({left, top, g.cols(), 1}, Cell{U' ', kWhite, kNavy, true});
    const int capLen = std::min(static_cast<int>(f->caption.size()), g.cols());
    screen.text(left + (g.cols() - capLen) / 2, top, f->caption, kWhite, kNavy, true, capLen);
    for (int r = 0; r < g.rows(); ++r)
      for (int c = 0; c < g.cols(); ++c)
        if (screen.inside(left + c, top + 1 + r)) screen.at(left + c, top + 1 + r) = g.at(c, r);
    placements.push_back({left, top + 1});
    if (f == forms.back()) {
      screen.cursorCol = g.cursorCol >= 0 ? left + g.cursorCol : -1;
      screen.cursorRow = g.cursorRow >= 0 ? top + 1 + g.cursorRow : -1;
    }
  }
  return screen;
}

int paletteIndex(Color c) {
  const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  auto level = [](int v) { return v < 48 ? 0 : v < 115 ? 1 : (v - 35) / 40; };
  static const int kSteps[] = {0, 95, 135, 175, 215, 255};
  int lr = level(r), lg = level(g), lb = level(b);
  auto dist = [&](int rr, int gg, int bb) { return (r - rr) * (r - rr) + (g - gg) * (g - gg) + (b - bb) * (b - bb); };
  int cube = 16 + 36 * lr + 6 * lg + lb;
  int cubeDist = dist(kSteps[lr], kSteps[lg], kSteps[lb]);
  int avg = (r + g + b) / 3;
  int grayLevel = std::clamp((avg - 8) / 10, 0, 23);
  int gv = 8 + grayLevel * 10;
  return dist(gv, gv, gv) < cubeDist ? 232 + grayLevel : cube;
}

}  // namespace pz::tty
