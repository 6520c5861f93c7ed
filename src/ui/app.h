// The application: the stack of shown windows and the presenter that shows them.
#pragma once

#include <string>
#include <vector>

#include "ui/cells.h"
#include "ui/controls.h"
#include "ui/keys.h"

namespace pz::ui {

class Form;

// A font as the font dialog offers and returns it.
struct FontChoice {
  std::string name;
  int size = 8;  // points
  bool bold = false, italic = false;
  Color color = kBlack;
};

// What a presenter (desktop, terminal, headless) gives the screen model.
class Presenter {
 public:
  virtual ~Presenter() = default;
  // Runs a nested event loop until `form` has closeRequested(); draws after every event.
  virtual void runModal(Form& form) = 0;
  // A window shown without a loop of its own (the flashing message) appears and goes away.
  virtual void showModeless(Form&) {}
  virtual void hideModeless(Form&) {}
  // Handles the events that are waiting, without blocking (progress of long work).
  virtual void processPending() {}
  virtual void beep() {}
  virtual std::string clipboardText() { return clipboard_; }
  virtual void setClipboardText(const std::string& cp1250) { clipboard_ = cp1250; }
  virtual int screenDpi() { return 96; }
  // The system's font and colour dialogs, starting from the value given; false when the user
  // cancels or the presenter has no such dialog.
  virtual bool chooseFont(FontChoice&) { return false; }
  virtual bool chooseColor(Color&) { return false; }
  // Whether the two dialogs above are the system's own; without them a window asks through its
  // choice lists and question forms instead.
  virtual bool hasSystemDialogs() const { return false; }
  // The part of the screen that windows may cover, in pixels.
  virtual Rect workArea() { return {0, 0, 1024, 768}; }

 private:
  std::string clipboard_;
};

class Application {
 public:
  static Application& instance();

  void setPresenter(Presenter* p) { presenter_ = p; }
  Presenter* presenter() const { return presenter_; }

  // Windows shown now, bottom to top, modeless ones included.
  const std::vector<Form*>& openForms() const { return stack_; }
  // The topmost modal window: the one that gets the keys and the mouse.
  Form* topForm() const;

  // Shows a window above the others without waiting for it; it takes no input.
  void showModeless(Form& form);
  void hideModeless(Form& form);

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
