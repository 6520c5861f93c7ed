#include "ui/app.h"

#include <algorithm>

#include "ui/form.h"

namespace pz::ui {

Application& Application::instance() {
  static Application app;
  return app;
}

int Application::showModal(Form& form) {
  if (form.showing_) return form.modalResult_;  // already shown: a window is shown once at a time
  form.closeRequested_ = false;
  form.modalResult_ = 0;
  form.showing_ = true;
  stack_.push_back(&form);
  // Leaves the stack consistent however the loop ends (a presenter may unwind it).
  struct Pop {
    Application& app;
    Form& f;
    ~Pop() {
      f.showing_ = false;
      app.stack_.erase(std::remove(app.stack_.begin(), app.stack_.end(), &f), app.stack_.end());
    }
  } pop{*this, form};
  if (!form.focused_ || !form.focused_->focusable()) form.focusNext();
  form.onShow();
  if (presenter_ && !form.closeRequested_) presenter_->runModal(form);
  return form.modalResult_;
}

Form* Application::topForm() const {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
    if (!(*it)->modeless_) return *it;
  return nullptr;
}

void Application::showModeless(Form& form) {
  if (form.showing_) return;
  form.showing_ = true;
  form.modeless_ = true;
  form.closeRequested_ = false;
  stack_.push_back(&form);
  form.onShow();
  if (presenter_) presenter_->showModeless(form);
}

void Application::hideModeless(Form& form) {
  if (!form.showing_ || !form.modeless_) return;
  form.showing_ = false;
  form.modeless_ = false;
  stack_.erase(std::remove(stack_.begin(), stack_.end(), &form), stack_.end());
  if (presenter_) presenter_->hideModeless(form);
}

void Application::dispatchKey(const KeyEvent& ev) {
  if (Form* f = topForm()) f->deliverKey(ev);
}

void Application::dispatchMouse(const MouseEvent& ev) {
  if (Form* f = topForm()) f->deliverMouse(ev);
}

void Application::beep() {
  if (presenter_) presenter_->beep();
}

void Application::processPending() {
  if (presenter_) presenter_->processPending();
}

}  // namespace pz::ui
