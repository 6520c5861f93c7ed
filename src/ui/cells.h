// The grid of character cells that every presenter draws. Colours are Windows colour values
// (0x00BBGGRR), as the settings files store them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pz::ui {

using Color = uint32_t;
inline constexpr Color kBlack = 0x000000, kWhite = 0xFFFFFF, kNavy = 0x800000, kSilver = 0xC0C0C0,
                       kGray = 0x808080, kBtnFace = 0xF0F0F0, kHighlight = 0xD77800, kMaroon = 0x000080,
                       kYellow = 0x00FFFF, kAqua = 0xFFFF00;

struct Cell {
  char32_t ch = U' ';  // Unicode, so that frames and bars can use their own glyphs
  Color fg = kBlack;
  Color bg = kWhite;
  bool bold = false;
  bool operator==(const Cell&) const = default;
};

struct CellRect {
  int col = 0, row = 0, cols = 0, rows = 0;
};

class CellGrid {
 public:
  CellGrid() = default;
  CellGrid(int cols, int rows, Cell fill);
  int cols() const { return cols_; }
  int rows() const { return rows_; }
  Cell& at(int col, int row) { return cells_[static_cast<size_t>(row * cols_ + col)]; }
  const Cell& at(int col, int row) const { return cells_[static_cast<size_t>(row * cols_ + col)]; }
  bool inside(int col, int row) const { return col >= 0 && row >= 0 && col < cols_ && row < rows_; }

  void fill(CellRect r, Cell c);
  // Writes cp1250 text from (col, row), clipped to `maxCols` cells (and to the grid). The
  // control characters 0x10 and 0x11 show as the pointers ► and ◄.
  void text(int col, int row, std::string_view s, Color fg, Color bg, bool bold = false, int maxCols = -1);
  void put(int col, int row, char32_t ch, Color fg, Color bg, bool bold = false);
  // One row as UTF-8 text, trailing blanks kept.
  std::string rowText(int row) const;

  // The caret of the focused edit field, if any.
  int cursorCol = -1, cursorRow = -1;

 private:
  int cols_ = 0, rows_ = 0;
  std::vector<Cell> cells_;
};

}  // namespace pz::ui
