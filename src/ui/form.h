// A window of the screen model: pixel geometry, caption, colours, a look, and named controls.
// Windows are created once at program start and shown modally many times.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/cells.h"
#include "ui/controls.h"
#include "ui/keys.h"

namespace pz::ui {

struct Look {
  std::string fontName = "Courier New";
  int fontSize = 10;
  bool fontBold = false;
  bool fontItalic = false;
  int cellWidth = 8;    // pixels of one character cell
  int cellHeight = 16;
};

class Form {
 public:
  Form(std::string name, std::string caption);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  std::string caption;
  Rect geometry;  // position on the screen and size of the client area, in pixels
  Color color = kBtnFace;
  Color fontColor = kBlack;
  Look look;
  bool resizable = false;  // the user may change the size (the form lays itself out in onResize)
  bool popupMenu = false;  // a menu or choice list: a frameless popup owned by the window below

  template <class T>
  T& add(std::string name) {
    auto c = std::make_unique<T>(std::move(name));
    T& ref = *c;
    adopt(std::move(c));
    return ref;
  }
  Control* find(const std::string& name) const;
  // Frees every control (dialogs that build their lines anew for each call).
  void removeAllControls();
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  Control* focused() const { return focused_; }
  void setFocus(Control* c);
  // Moves the focus to the next (or previous) focusable control in tab order.
  void focusNext(bool backwards = false);

  // Shows the form modally; returns its modal result when it closes.
  int showModal();
  // Ends the modal loop with a result, unless canClose() refuses.
  void close(int result = 0);
  bool isShowing() const { return showing_; }
  bool isModeless() const { return modeless_; }
  bool closeRequested() const { return closeRequested_; }
  int modalResult() const { return modalResult_; }

  // Size of the client area in character cells.
  int cols() const;
  int rows() const;
  // Cells of a control within the form.
  CellRect cellsOf(const Control& c) const;

  // Input as the application delivers it: the form sees every key first (keyboard preview);
  // what it leaves goes to the focused control, then Tab moves the focus.
  void deliverKey(const KeyEvent& ev);
  void deliverMouse(const MouseEvent& ev);
  Control* controlAt(int col, int row) const;
  // The user resized the window (pixels of the client area); the form lays itself out again.
  void resizeTo(int width, int height);

 protected:
  // Hooks. onKey returns true when it used the key.
  virtual void onShow() {}
  virtual bool onKey(const KeyEvent&) { return false; }
  virtual bool onMouse(const MouseEvent&, Control*) { return false; }
  virtual void onResize() {}
  virtual bool canClose() { return true; }
  virtual void onClose() {}

 private:
  friend class Application;
  void adopt(std::unique_ptr<Control> c);
  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focused_ = nullptr;
  bool showing_ = false;
  bool modeless_ = false;
  bool closeRequested_ = false;
  int modalResult_ = 0;
};

// Renders a form into its grid of cells: the form's colour, then each visible control at its
// pixel geometry divided by the form's cell size, in the order the controls were added.
CellGrid render(const Form& form);

}  // namespace pz::ui
