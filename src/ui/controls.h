// Named controls of a form. Geometry is in pixels of the form's client area; the renderer places
// a control at its pixels divided by the form's character cell size.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/cells.h"
#include "ui/keys.h"
#include "ui/lineedit.h"

namespace pz::ui {

class Form;

enum class ControlKind { Label, Edit, Button, CheckBox, Grid, ScrollBar, Memo, Image, ProgressBar, List };

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// A colour that is not set takes the form's.
inline constexpr Color kInherit = 0xFFFFFFFF;

struct PaintStyle {
  Color fg, bg;
  bool bold;
};

class Control {
 public:
  Control(ControlKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
  virtual ~Control() = default;

  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  Form* form() const { return form_; }

  Rect geometry;
  bool visible = true;
  bool enabled = true;
  Color color = kInherit;      // background
  Color fontColor = kInherit;  // text
  bool bold = false;
  int tabOrder = 0;
  std::string text;  // caption of a label, button or check box

  virtual bool focusable() const { return false; }
  // Draws into `area`, the control's cells within the form's grid; `focused` when it has focus.
  virtual void paint(CellGrid& grid, CellRect area, PaintStyle style, bool focused) const;
  // A key for the focused control; false when it does not use the key.
  virtual bool key(const KeyEvent&) { return false; }
  virtual void mouse(const MouseEvent&, CellRect) {}

  std::function<void()> onClick;

 private:
  friend class Form;
  ControlKind kind_;
  std::string name_;
  Form* form_ = nullptr;
};

enum class Align { Left, Right, Center };

class Label : public Control {
 public:
  explicit Label(std::string name) : Control(ControlKind::Label, std::move(name)) {}
  Align align = Align::Left;
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
};

class Edit : public Control {
 public:
  explicit Edit(std::string name) : Control(ControlKind::Edit, std::move(name)) {}
  LineEditor editor;
  bool readOnly = false;
  bool focusable() const override { return enabled && visible; }
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
  bool key(const KeyEvent& ev) override;
  const std::string& value() const { return editor.text(); }
  void setValue(std::string v) { editor.setText(std::move(v)); }
  // For a field entered with its whole text selected, the key that ends the selection: a
  // character typed, Backspace or Delete clears the text first (the key then acts on the empty
  // field); any other key leaves it. True when the text was cleared.
  bool ZrusVybrany(const KeyEvent& ev);
  std::function<void()> onChange;
  // Called when a typed character is refused because the field is full.
  std::function<void()> onRefused;

 private:
  mutable LineEditor view_;  // scroll state for painting
};

class Button : public Control {
 public:
  explicit Button(std::string name) : Control(ControlKind::Button, std::move(name)) {}
  bool isDefault = false;
  bool focusable() const override { return enabled && visible; }
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
  bool key(const KeyEvent& ev) override;
  void mouse(const MouseEvent& ev, CellRect) override;
};

class CheckBox : public Control {
 public:
  explicit CheckBox(std::string name) : Control(ControlKind::CheckBox, std::move(name)) {}
  bool checked = false;
  bool focusable() const override { return enabled && visible; }
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
  bool key(const KeyEvent& ev) override;
  void mouse(const MouseEvent& ev, CellRect) override;
  void toggle();
};

// A grid of text cells in rows and columns (the browse windows' row list).
class Grid : public Control {
 public:
  explicit Grid(std::string name) : Control(ControlKind::Grid, std::move(name)) {}
  int colCount() const { return static_cast<int>(colWidths.size()); }
  int rowCount() const { return static_cast<int>(rows.size()); }
  void setSize(int cols, int rowCount);
  std::string& cell(int col, int row) { return rows[static_cast<size_t>(row)][static_cast<size_t>(col)]; }

  std::vector<int> colWidths;  // in character cells
  std::vector<std::vector<std::string>> rows;
  int fixedRows = 0;
  int fixedCols = 0;  // columns that stay at the left edge when the rest scroll sideways
  int row = 0;     // current row
  int topRow = 0;  // first scrolling row shown
  int leftCol = 0;  // first scrolling column shown (below fixedCols counts as fixedCols)
  bool showSelection = true;
  // Optional colouring of one cell (for marked rows and the like).
  std::function<void(int col, int row, PaintStyle&)> styleCell;
  std::function<void(int row)> onCellClick;

  bool focusable() const override { return enabled && visible; }
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
  void mouse(const MouseEvent& ev, CellRect area) override;
  // The grid column drawn at form cell column `cellCol` of `area`, or -1 beyond the last.
  int columnAt(int cellCol, CellRect area) const;
  // The grid row drawn at form cell row `cellRow` of `area`, or -1 beyond the last.
  int rowAt(int cellRow, CellRect area) const;
};

class ScrollBar : public Control {
 public:
  explicit ScrollBar(std::string name) : Control(ControlKind::ScrollBar, std::move(name)) {}
  int min = 0, max = 100, position = 0;
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
};

// Lines of text; editable with the cursor keys, Enter, Backspace and Delete unless read-only.
class Memo : public Control {
 public:
  explicit Memo(std::string name) : Control(ControlKind::Memo, std::move(name)) {}
  std::vector<std::string> lines;
  mutable int topLine = 0;  // follows the cursor when painted
  bool readOnly = true;
  int line = 0, col = 0;  // the cursor while editing
  bool modified = false;
  bool focusable() const override { return enabled && visible && !readOnly; }
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
  bool key(const KeyEvent& ev) override;
};

class Image : public Control {
 public:
  explicit Image(std::string name) : Control(ControlKind::Image, std::move(name)) {}
  std::string picturePath;  // program form; presenters that can draw pictures load it
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
};

class ProgressBar : public Control {
 public:
  explicit ProgressBar(std::string name) : Control(ControlKind::ProgressBar, std::move(name)) {}
  int min = 0, max = 100, position = 0;
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
};

class ListBox : public Control {
 public:
  explicit ListBox(std::string name) : Control(ControlKind::List, std::move(name)) {}
  std::vector<std::string> items;
  std::vector<bool> grayed;  // items shown grey (a menu's disabled commands); missing entries are not
  int itemIndex = -1;
  int topIndex = 0;
  bool focusable() const override { return enabled && visible; }
  void paint(CellGrid&, CellRect, PaintStyle, bool) const override;
  bool key(const KeyEvent& ev) override;
  void mouse(const MouseEvent& ev, CellRect area) override;
};

}  // namespace pz::ui
