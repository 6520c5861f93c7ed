#include "ui/cells.h"

#include <algorithm>

#include "platform/text.h"

namespace pz::ui {

CellGrid::CellGrid(int cols, int rows, Cell fill)
    : cols_(std::max(0, cols)), rows_(std::max(0, rows)), cells_(static_cast<size_t>(cols_ * rows_), fill) {}

void CellGrid::fill(CellRect r, Cell c) {
  for (int y = std::max(0, r.row); y < std::min(rows_, r.row + r.rows); ++y)
    for (int x = std::max(0, r.col); x < std::min(cols_, r.col + r.cols); ++x) at(x, y) = c;
}

void CellGrid::text(int col, int row, std::string_view s, Color fg, Color bg, bool bold, int maxCols) {
  if (row < 0 || row >= rows_) return;
  int n = static_cast<int>(s.size());
  if (maxCols >= 0) n = std::min(n, maxCols);
  for (int i = 0; i < n; ++i) {
    int x = col + i;
    if (x < 0) continue;
    if (x >= cols_) break;
    const auto byte = static_cast<unsigned char>(s[static_cast<size_t>(i)]);
    // The pointers 0x10 and 0x11 mark rows in lists; they show as the terminal fonts draw them.
    const char32_t ch = byte == 0x10 ? U'\u25BA' : byte == 0x11 ? U'\u25C4' : platform::cp1250ToUnicode(byte);
    at(x, row) = Cell{ch, fg, bg, bold};
  }
}

void CellGrid::put(int col, int row, char32_t ch, Color fg, Color bg, bool bold) {
  if (inside(col, row)) at(col, row) = Cell{ch, fg, bg, bold};
}

std::string CellGrid::rowText(int row) const {
  std::string s;
  s.reserve(static_cast<size_t>(cols_));
  for (int x = 0; x < cols_; ++x) {
    char32_t c = at(x, row).ch;
    platform::appendUtf8(s, c < 32 ? U' ' : c);
  }
  return s;
}

}  // namespace pz::ui
