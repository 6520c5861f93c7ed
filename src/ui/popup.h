// A popup menu: a list of commands that a window opens by a key or the right mouse button. It
// shows its visible items as a small modal window at a cell of its owner; Enter or a click runs
// the chosen item, Esc closes it with nothing done.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pz::ui {

class Form;

struct MenuItem {
  std::string name;     // component name ("a", "b", ...)
  std::string caption;  // cp1250
  bool visible = true;
  bool enabled = true;
  std::function<void()> onClick;
};

class PopupMenu {
 public:
  explicit PopupMenu(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }
  std::vector<MenuItem> items;

  MenuItem* find(const std::string& itemName);
  bool hasVisibleItems() const;
  // Shows the menu with its top left corner at cell (col, row) of `owner` and runs the item
  // chosen. Returns the index of that item in `items`, or -1 when none was chosen.
  int popup(const Form& owner, int col, int row);

 private:
  std::string name_;
};

}  // namespace pz::ui
