#include "frontends/tty/compose.h"

#include <algorithm>
#include <string>

#include "platform/text.h"

namespace pz::tty {

using namespace ui;

namespace {

// The cells of a form that must stay in view: the text cursor, else the current row of a focused
// list (its first cell, or the whole row with `celyRadek`), else the focused control.
CellRect mistoFokusu(const Form& f, const CellGrid& g, bool celyRadek = false) {
  if (g.cursorCol >= 0 && g.cursorRow >= 0) return {g.cursorCol, g.cursorRow, 1, 1};
  const Control* c = f.focused();
  if (!c) return {};
  CellRect r = f.cellsOf(*c);
  if (c->kind() == ControlKind::Grid) {
    const auto& grid = static_cast<const Grid&>(*c);
    for (int k = 0; k < r.rows; ++k)
      if (grid.rowAt(r.row + k, r) == grid.row) return {r.col, r.row + k, celyRadek ? r.cols : std::min(r.cols, 1), 1};
  }
  return r;
}

}  // namespace

CellGrid compose(const std::vector<Form*>& forms, int cols, int rows, std::vector<Placement>& placements) {
  Pan none;
  return compose(forms, cols, rows, placements, none);
}

CellGrid compose(const std::vector<Form*>& forms, int cols, int rows, std::vector<Placement>& placements, Pan& pan) {
  pan.larger = false;
  CellGrid screen(cols, rows, Cell{U' ', kSilver, kBlack, false});
  placements.clear();
  for (Form* f : forms) {
    CellGrid g = render(*f);
    const int cw = std::max(1, f->look.cellWidth), ch = std::max(1, f->look.cellHeight);
    int left = std::clamp(f->geometry.x / cw, 0, std::max(0, cols - g.cols()));
    int top = std::clamp(f->geometry.y / ch, 0, std::max(0, rows - g.rows() - 1));
    const bool sirsi = g.cols() > cols, vyssi = g.rows() + 1 > rows;
    if (sirsi || vyssi) {
      // A window larger than the terminal is moved so that its focus is in view: the cursor, the
      // current row of a list, or the focused control. The last row keeps the hint.
      const CellRect fokus = mistoFokusu(*f, g);
      if (sirsi && fokus.col + fokus.cols > cols)
        left = std::max(cols - g.cols(), cols - fokus.col - std::min(fokus.cols, cols));
      const int viditelnych = std::max(1, rows - 2);  // client rows between the title and the hint
      if (vyssi && fokus.row + fokus.rows > viditelnych)
        top = std::max(viditelnych - g.rows(), viditelnych - fokus.row - std::min(fokus.rows, viditelnych));
      if (f == forms.back()) {
        // The user's pan moves the view further, as far as the window's edges. After a key the
        // pan stays while some of the focus is still in view, so that a list panned to its right
        // columns stays there while its rows are walked.
        pan.larger = true;
        if (pan.checkFocus) {
          const CellRect r = mistoFokusu(*f, g, true);
          const int x = left - pan.cols + r.col, y = top - pan.rows + 1 + r.row;
          if (x >= cols || x + r.cols <= 0 || y >= rows - 1 || y + r.rows <= 0) pan.cols = pan.rows = 0;
          pan.checkFocus = false;
        }
        if (sirsi) {
          const int posunuty = std::clamp(left - pan.cols, cols - g.cols(), 0);
          pan.cols = left - posunuty;
          left = posunuty;
        } else {
          pan.cols = 0;
        }
        if (vyssi) {
          const int posunuty = std::clamp(top - pan.rows, std::min(0, viditelnych - g.rows()), 0);
          pan.rows = top - posunuty;
          top = posunuty;
        } else {
          pan.rows = 0;
        }
      }
    }
    // Title row: the caption on an inverted bar across the window's width.
    screen.fill({left, top, g.cols(), 1}, Cell{U' ', kWhite, kNavy, true});
    const int capLen = std::min(static_cast<int>(f->caption.size()), g.cols());
    screen.text(left + (g.cols() - capLen) / 2, top, f->caption, kWhite, kNavy, true, capLen);
    for (int r = 0; r < g.rows(); ++r)
      for (int c = 0; c < g.cols(); ++c)
        if (screen.inside(left + c, top + 1 + r)) screen.at(left + c, top + 1 + r) = g.at(c, r);
    placements.push_back({left, top + 1});
    if (f == forms.back()) {
      if (sirsi || vyssi) {
        std::string hint = "Okno (" + std::to_string(g.cols()) + " x " + std::to_string(g.rows() + 1) +
                           ") je větší než terminál (" + std::to_string(cols) + " x " + std::to_string(rows) +
                           "): pohled sleduje kurzor";
        // The pan keys, in words where the row has room; an 80-column row has ten cells left.
        const std::string klavesy = ", Alt+šipky jím posunou";
        hint += static_cast<int>(platform::utf8ToCp1250(hint + klavesy).size()) <= cols ? klavesy : "/Alt+šipky";
        screen.fill({0, rows - 1, cols, 1}, Cell{U' ', kBlack, kYellow, false});
        screen.text(0, rows - 1, platform::utf8ToCp1250(hint), kBlack, kYellow, false, cols);
      }
      screen.cursorCol = g.cursorCol >= 0 ? left + g.cursorCol : -1;
      screen.cursorRow = g.cursorRow >= 0 ? top + 1 + g.cursorRow : -1;
      if (!screen.inside(screen.cursorCol, screen.cursorRow)) screen.cursorCol = screen.cursorRow = -1;
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
