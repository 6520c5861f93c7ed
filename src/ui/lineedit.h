// Editing of one line of text: cursor, insert or overwrite, delete, maximum length. Belongs to
// the model, not to a toolkit widget, so every presenter edits alike.
#pragma once

#include <string>

#include "ui/keys.h"

namespace pz::ui {

class LineEditor {
 public:
  const std::string& text() const { return text_; }
  void setText(std::string text);  // cursor goes to the end
  int cursor() const { return cursor_; }
  void setCursor(int pos);
  bool insertMode() const { return insert_; }
  void setInsertMode(bool on) { insert_ = on; }
  int maxLength() const { return maxLength_; }
  void setMaxLength(int n);  // 0 = no limit

  // Handles cursor keys, Home, End, Backspace, Delete, Insert and typed characters. Returns false
  // for keys it does not use, so that the form can have them. A character that would pass the
  // maximum length is refused (and `refused` set) rather than cut anything.
  bool key(const KeyEvent& ev, bool* refused = nullptr);

  // First character shown when `width` cells are visible, keeping the cursor in view.
  int scrollFor(int width);

 private:
  std::string text_;
  int cursor_ = 0;
  int scroll_ = 0;
  int maxLength_ = 0;
  bool insert_ = true;
};

}  // namespace pz::ui
