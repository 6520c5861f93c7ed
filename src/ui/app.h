// The application: the stack of shown windows and the presenter that shows them.
#pragma once

#include <string>
#include <vector>

#include "ui/cells.h"
#include "ui/keys.h"

namespace pz::ui {

class Form;
struct Look;

// The part of the screen that windows may use, in pixels.
struct WorkArea {
  int x = 0, y = 0, w = 1024, h = 768;
};

// What a presenter (desktop, terminal, headless) gives the screen model.
class Presenter {
 public:
  virtual ~Presenter() = default;
  // Runs a nested event loop until `form` has closeRequested(); draws after every event.
  virtual void runModal(Form& form) = 0;
  // Handles the events that are waiting, without blocking (progress of long work).
  virtual void processPending() {}
  virtual void beep() {}
  virtual std::string clipboardText() { return clipboard_; }
  virtual void setClipboardText(const std::string& cp1250) { clipboard_ = cp1250; }
  virtual int screenDpi() { return 96; }
  virtual WorkArea workArea() { return {}; }
  // The font and colour dialogs of the look menus. They change the value and return true when
  // the user chose; a presenter without dialogs leaves the value alone.
  virtual bool chooseFont(Look&) { return false; }
  virtual bool chooseColor(Color&) { return false; }

 private:
  std::string clipboard_;
};

class Application {
 public:
  static Application& instance();

  void setPresenter(Presenter* p) { presenter_ = p; }
  Presenter* presenter() const { return presenter_; }

  // Windows shown now, bottom to top.
  const std::vector<Form*>& openForms() const { return stack_; }
  Form* topForm() const { return stack_.empty() ? nullptr : stack_.back(); }

  void dispatchKey(const KeyEvent& ev);
  void dispatchMouse(const MouseEvent& ev);
  void beep();
  void processPending();

 private:
  friend class Form;
  int showModal(Form& form);
  Presenter* presenter_ = nullptr;
  std::vector<Form*> stack_;
};

}  // namespace pz::ui
