#include "ui/form.h"

#include <algorithm>

#include "ui/app.h"

namespace pz::ui {

Form::Form(std::string name, std::string caption_) : caption(std::move(caption_)), name_(std::move(name)) {}
Form::~Form() = default;

void Form::adopt(std::unique_ptr<Control> c) {
  c->form_ = this;
  c->tabOrder = static_cast<int>(controls_.size());
  controls_.push_back(std::move(c));
}

Control* Form::find(const std::string& name) const {
  for (const auto& c : controls_)
    if (c->name() == name) return c.get();
  return nullptr;
}

void Form::removeAllControls() {
  focused_ = nullptr;
  controls_.clear();
}

void Form::setFocus(Control* c) {
  if (!c || c->focusable()) focused_ = c;
}

void Form::focusNext(bool backwards) {
  std::vector<Control*> order;
  for (const auto& c : controls_)
    if (c->focusable()) order.push_back(c.get());
  if (order.empty()) return;
  std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->tabOrder < b->tabOrder; });
  auto it = std::find(order.begin(), order.end(), focused_);
  if (it == order.end()) {
    focused_ = backwards ? order.back() : order.front();
    return;
  }
  size_t i = static_cast<size_t>(it - order.begin());
  size_t n = order.size();
  focused_ = order[backwards ? (i + n - 1) % n : (i + 1) % n];
}

int Form::showModal() { return Application::instance().showModal(*this); }

void Form::close(int result) {
  if (!canClose()) return;
  modalResult_ = result;
  closeRequested_ = true;
  onClose();
}

int Form::cols() const { return std::max(1, (geometry.w + look.cellWidth - 1) / std::max(1, look.cellWidth)); }
int Form::rows() const { return std::max(1, (geometry.h + look.cellHeight - 1) / std::max(1, look.cellHeight)); }

CellRect Form::cellsOf(const Control& c) const {
  const int cw = std::max(1, look.cellWidth), ch = std::max(1, look.cellHeight);
  const Rect& g = c.geometry;
  CellRect r;
  r.col = g.x / cw;
  r.row = g.y / ch;
  r.cols = std::max(1, (g.x + g.w + cw / 2) / cw - r.col);
  r.rows = std::max(1, (g.y + g.h + ch / 2) / ch - r.row);
  return r;
}

Control* Form::controlAt(int col, int row) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    const Control& c = **it;
    if (!c.visible) continue;
    CellRect r = cellsOf(c);
    if (col >= r.col && col < r.col + r.cols && row >= r.row && row < r.row + r.rows) return it->get();
  }
  return nullptr;
}

void Form::deliverKey(const KeyEvent& ev) {
  if (onKey(ev)) return;
  if (focused_ && focused_->enabled && focused_->visible && focused_->key(ev)) return;
  if (ev.vk == kVkTab && !ev.ctrl && !ev.alt) {
    focusNext(ev.shift);
    return;
  }
  if (ev.vk == kVkReturn && ev.plain()) {
    for (const auto& c : controls_) {
      auto* b = dynamic_cast<Button*>(c.get());
      if (b && b->isDefault && b->enabled && b->visible && b->onClick) {
        b->onClick();
        return;
      }
    }
  }
}

void Form::resizeTo(int width, int height) {
  if (width < 1 || height < 1 || (width == geometry.w && height == geometry.h)) return;
  geometry.w = width;
  geometry.h = height;
  onResize();
}

void Form::deliverMouse(const MouseEvent& ev) {
  if (ev.drag) {
    // Controls know only clicks; a drag is the form's to handle, on the control it started on.
    onMouse(ev, controlAt(ev.fromCol, ev.fromRow));
    return;
  }
  Control* hit = controlAt(ev.col, ev.row);
  if (onMouse(ev, hit)) return;
  if (!hit || !hit->enabled) return;
  if (hit->focusable()) focused_ = hit;
  hit->mouse(ev, cellsOf(*hit));
}

CellGrid render(const Form& form) {
  CellGrid grid(form.cols(), form.rows(), Cell{U' ', form.fontColor, form.color, form.look.fontBold});
  for (const auto& c : form.controls()) {
    if (!c->visible) continue;
    PaintStyle st{c->fontColor == kInherit ? form.fontColor : c->fontColor,
                  c->color == kInherit ? form.color : c->color, c->bold || form.look.fontBold};
    c->paint(grid, form.cellsOf(*c), st, c.get() == form.focused());
  }
  return grid;
}

}  // namespace pz::ui
