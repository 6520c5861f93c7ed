#include "ui/controls.h"

#include <algorithm>

#include "ui/form.h"

namespace pz::ui {
namespace {

void fillArea(CellGrid& g, CellRect a, PaintStyle st) { g.fill(a, Cell{U' ', st.fg, st.bg, st.bold}); }

int alignedCol(CellRect a, int len, Align align) {
  switch (align) {
    case Align::Right: return a.col + std::max(0, a.cols - len);
    case Align::Center: return a.col + std::max(0, (a.cols - len) / 2);
    case Align::Left: break;
  }
  return a.col;
}

constexpr PaintStyle kSelected = {kWhite, kHighlight, false};

}  // namespace

void Control::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const { fillArea(g, a, st); }

void Label::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const {
  fillArea(g, a, st);
  int len = std::min(static_cast<int>(text.size()), a.cols);
  g.text(alignedCol(a, len, align), a.row, text, st.fg, st.bg, st.bold, a.cols);
}

void Edit::paint(CellGrid& g, CellRect a, PaintStyle st, bool focused) const {
  fillArea(g, a, st);
  view_ = editor;
  int first = view_.scrollFor(a.cols);
  g.text(a.col, a.row, std::string_view(editor.text()).substr(static_cast<size_t>(first)), st.fg, st.bg, st.bold, a.cols);
  if (focused) {
    g.cursorCol = a.col + editor.cursor() - first;
    g.cursorRow = a.row;
  }
}

bool Edit::ZrusVybrany(const KeyEvent& ev) {
  const bool znak = ev.ch != 0 && static_cast<unsigned char>(ev.ch) >= 32 && !ev.ctrl && !ev.alt;
  if (!znak && !(ev.plain() && (ev.vk == kVkBack || ev.vk == kVkDelete))) return false;
  setValue("");
  return true;
}

bool Edit::key(const KeyEvent& ev) {
  if (readOnly) return false;
  std::string before = editor.text();
  bool refused = false;
  bool used = editor.key(ev, &refused);
  if (refused && onRefused) onRefused();
  if (used && onChange && editor.text() != before) onChange();
  return used;
}

void Button::paint(CellGrid& g, CellRect a, PaintStyle st, bool focused) const {
  if (focused) st = {st.fg, st.bg, true};
  fillArea(g, a, st);
  const int row = a.row + (a.rows - 1) / 2;
  int len = std::min(static_cast<int>(text.size()), std::max(0, a.cols - 2));
  g.text(alignedCol(a, len, Align::Center), row, text, st.fg, st.bg, st.bold, len);
  if (a.cols >= 2) {
    g.put(a.col, row, focused ? U'>' : U'[', st.fg, st.bg, st.bold);
    g.put(a.col + a.cols - 1, row, focused ? U'<' : U']', st.fg, st.bg, st.bold);
  }
}

bool Button::key(const KeyEvent& ev) {
  if (ev.plain() && (ev.vk == kVkReturn || ev.vk == kVkSpace)) {
    if (onClick) onClick();
    return true;
  }
  return false;
}

void Button::mouse(const MouseEvent& ev, CellRect) {
  if (ev.button == MouseButton::Left && onClick) onClick();
}

void CheckBox::paint(CellGrid& g, CellRect a, PaintStyle st, bool focused) const {
  fillArea(g, a, st);
  std::string s = std::string(checked ? "[X] " : "[ ] ") + text;
  g.text(a.col, a.row, s, st.fg, st.bg, st.bold || focused, a.cols);
}

void CheckBox::toggle() {
  checked = !checked;
  if (onClick) onClick();
}

bool CheckBox::key(const KeyEvent& ev) {
  if (ev.plain() && ev.vk == kVkSpace) {
    toggle();
    return true;
  }
  return false;
}

void CheckBox::mouse(const MouseEvent& ev, CellRect) {
  if (ev.button == MouseButton::Left) toggle();
}

void Grid::setSize(int cols, int rowCount) {
  colWidths.resize(static_cast<size_t>(std::max(0, cols)), 10);
  rows.resize(static_cast<size_t>(std::max(0, rowCount)));
  for (auto& r : rows) r.resize(colWidths.size());
  row = std::clamp(row, 0, std::max(0, rowCount - 1));
}

// The grid columns in drawing order: the fixed ones, then the scrolling ones from leftCol.
static std::vector<int> shownColumns(const Grid& g) {
  std::vector<int> cols;
  const int fixed = std::clamp(g.fixedCols, 0, g.colCount());
  for (int c = 0; c < fixed; ++c) cols.push_back(c);
  for (int c = std::max(g.leftCol, fixed); c < g.colCount(); ++c) cols.push_back(c);
  return cols;
}

void Grid::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const {
  fillArea(g, a, st);
  const int first = std::max(topRow, fixedRows);
  const std::vector<int> cols = shownColumns(*this);
  for (int line = 0; line < a.rows; ++line) {
    int r = line < fixedRows ? line : first + (line - fixedRows);
    if (r >= rowCount()) break;
    int x = a.col;
    for (int c : cols) {
      if (x >= a.col + a.cols) break;
      PaintStyle cs = st;
      if (r == row && r >= fixedRows && showSelection) cs = kSelected;
      if (styleCell) styleCell(c, r, cs);
      int w = std::min(colWidths[static_cast<size_t>(c)], a.col + a.cols - x);
      g.fill({x, a.row + line, w, 1}, Cell{U' ', cs.fg, cs.bg, cs.bold});
      g.text(x, a.row + line, rows[static_cast<size_t>(r)][static_cast<size_t>(c)], cs.fg, cs.bg, cs.bold, w);
      x += w;
    }
  }
}

int Grid::columnAt(int cellCol, CellRect area) const {
  int x = area.col;
  for (int c : shownColumns(*this)) {
    const int w = colWidths[static_cast<size_t>(c)];
    if (cellCol >= x && cellCol < x + w) return c;
    x += w;
  }
  return -1;
}

int Grid::rowAt(int cellRow, CellRect area) const {
  int line = cellRow - area.row;
  if (line < 0) return -1;
  int r = line < fixedRows ? line : std::max(topRow, fixedRows) + (line - fixedRows);
  return r < rowCount() ? r : -1;
}

void Grid::mouse(const MouseEvent& ev, CellRect area) {
  int r = rowAt(ev.row, area);
  if (r < 0) return;
  if (r >= fixedRows) row = r;
  if (onCellClick) onCellClick(r);
}

void ScrollBar::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const {
  fillArea(g, a, st);
  const bool vertical = a.rows >= a.cols;
  const int len = vertical ? a.rows : a.cols;
  if (len <= 0) return;
  const int span = std::max(1, max - min);
  const int thumb = std::clamp((position - min) * (len - 1) / span, 0, len - 1);
  for (int i = 0; i < len; ++i) {
    char32_t ch = i == thumb ? U'\u2588' : U'\u2591';
    if (vertical) g.put(a.col, a.row + i, ch, st.fg, st.bg);
    else g.put(a.col + i, a.row, ch, st.fg, st.bg);
  }
}

void Memo::paint(CellGrid& g, CellRect a, PaintStyle st, bool focused) const {
  fillArea(g, a, st);
  // Keep the cursor in view: the memo scrolls with it.
  if (!readOnly) {
    if (line < topLine) topLine = line;
    if (line >= topLine + a.rows) topLine = line - a.rows + 1;
  }
  const int left = readOnly ? 0 : std::max(0, col - a.cols + 1);
  for (int i = 0; i < a.rows && topLine + i < static_cast<int>(lines.size()); ++i) {
    const std::string& l = lines[static_cast<size_t>(topLine + i)];
    if (static_cast<int>(l.size()) > left)
      g.text(a.col, a.row + i, std::string_view(l).substr(static_cast<size_t>(left)), st.fg, st.bg, st.bold, a.cols);
  }
  if (focused && !readOnly) {
    g.cursorCol = a.col + col - left;
    g.cursorRow = a.row + line - topLine;
  }
}

bool Memo::key(const KeyEvent& ev) {
  if (readOnly) return false;
  if (lines.empty()) lines.emplace_back();
  line = std::clamp(line, 0, static_cast<int>(lines.size()) - 1);
  std::string* cur = &lines[static_cast<size_t>(line)];
  col = std::clamp(col, 0, static_cast<int>(cur->size()));
  if (ev.ctrl || ev.alt) return false;
  switch (ev.vk) {
    case kVkUp: if (line > 0) --line; break;
    case kVkDown: if (line + 1 < static_cast<int>(lines.size())) ++line; break;
    case kVkLeft:
      if (col > 0) --col;
      else if (line > 0) col = static_cast<int>(lines[static_cast<size_t>(--line)].size());
      return true;
    case kVkRight:
      if (col < static_cast<int>(cur->size())) ++col;
      else if (line + 1 < static_cast<int>(lines.size())) ++line, col = 0;
      return true;
    case kVkHome: col = 0; return true;
    case kVkEnd: col = static_cast<int>(cur->size()); return true;
    case kVkPrior: line = std::max(0, line - 10); break;
    case kVkNext: line = std::min(static_cast<int>(lines.size()) - 1, line + 10); break;
    case kVkReturn: {
      std::string rest = cur->substr(static_cast<size_t>(col));
      cur->erase(static_cast<size_t>(col));
      lines.insert(lines.begin() + line + 1, rest);
      ++line;
      col = 0;
      modified = true;
      return true;
    }
    case kVkBack:
      if (col > 0) {
        cur->erase(static_cast<size_t>(--col), 1);
      } else if (line > 0) {
        std::string& prev = lines[static_cast<size_t>(line - 1)];
        col = static_cast<int>(prev.size());
        prev += *cur;
        lines.erase(lines.begin() + line);
        --line;
      }
      modified = true;
      return true;
    case kVkDelete:
      if (col < static_cast<int>(cur->size())) {
        cur->erase(static_cast<size_t>(col), 1);
      } else if (line + 1 < static_cast<int>(lines.size())) {
        *cur += lines[static_cast<size_t>(line + 1)];
        lines.erase(lines.begin() + line + 1);
      }
      modified = true;
      return true;
    default:
      if (static_cast<unsigned char>(ev.ch) >= 32) {
        cur->insert(static_cast<size_t>(col++), 1, ev.ch);
        modified = true;
        return true;
      }
      return false;
  }
  col = std::min(col, static_cast<int>(lines[static_cast<size_t>(line)].size()));
  return true;
}

void Image::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const { fillArea(g, a, st); }

void ProgressBar::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const {
  fillArea(g, a, st);
  const int span = std::max(1, max - min);
  const int done = std::clamp((position - min) * a.cols / span, 0, a.cols);
  for (int i = 0; i < a.cols; ++i) g.put(a.col + i, a.row, i < done ? U'\u2588' : U'\u2591', st.fg, st.bg);
}

void ListBox::paint(CellGrid& g, CellRect a, PaintStyle st, bool) const {
  fillArea(g, a, st);
  for (int i = 0; i < a.rows && topIndex + i < static_cast<int>(items.size()); ++i) {
    int idx = topIndex + i;
    PaintStyle s = idx == itemIndex ? kSelected : st;
    if (static_cast<size_t>(idx) < grayed.size() && grayed[static_cast<size_t>(idx)]) s.fg = kGray;
    g.fill({a.col, a.row + i, a.cols, 1}, Cell{U' ', s.fg, s.bg, s.bold});
    g.text(a.col, a.row + i, items[static_cast<size_t>(idx)], s.fg, s.bg, s.bold, a.cols);
  }
}

bool ListBox::key(const KeyEvent& ev) {
  if (!ev.plain() || items.empty()) return false;
  const int n = static_cast<int>(items.size());
  const int page = std::max(1, geometry.h > 0 && form() ? geometry.h / std::max(1, form()->look.cellHeight) : 10);
  switch (ev.vk) {
    case kVkUp: itemIndex = std::max(0, itemIndex - 1); break;
    case kVkDown: itemIndex = std::min(n - 1, itemIndex + 1); break;
    case kVkHome: itemIndex = 0; break;
    case kVkEnd: itemIndex = n - 1; break;
    case kVkPrior: itemIndex = std::max(0, itemIndex - page); break;
    case kVkNext: itemIndex = std::min(n - 1, itemIndex + page); break;
    default: return false;
  }
  if (itemIndex < topIndex) topIndex = itemIndex;
  if (itemIndex >= topIndex + page) topIndex = itemIndex - page + 1;
  return true;
}

void ListBox::mouse(const MouseEvent& ev, CellRect area) {
  int idx = topIndex + ev.row - area.row;
  if (idx >= 0 && idx < static_cast<int>(items.size())) itemIndex = idx;
  if (onClick) onClick();
}

}  // namespace pz::ui
