#include "frontends/tty/tty_presenter.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/text.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::tty {

using ui::Application;

namespace {

// Alternate screen, hidden cursor, application keypad (so Num+ - * are told apart), SGR mouse.
constexpr const char* kEnter = "\x1b[?1049h\x1b[?25l\x1b=\x1b[?1000h\x1b[?1006h\x1b[2J";
constexpr const char* kLeave = "\x1b[?1006l\x1b[?1000l\x1b>\x1b[0m\x1b[?25h\x1b[?1049l";
constexpr int kEscapeTimeoutMs = 40;

void appendStyle(std::string& out, const ui::Cell& c) {
  out += "\x1b[0";
  if (c.bold) out += ";1";
  out += ";38;5;" + std::to_string(paletteIndex(c.fg));
  out += ";48;5;" + std::to_string(paletteIndex(c.bg));
  out += 'm';
}

}  // namespace

bool TtyPresenter::start() { return term_.open(kEnter, kLeave); }

void TtyPresenter::stop() { term_.close(); }

void TtyPresenter::beep() { term_.write("\a"); }

void TtyPresenter::draw() {
  int cols, rows;
  term_.size(cols, rows);
  if (term_.resized() || cols != shown_.cols() || rows != shown_.rows()) fullRedraw_ = true;
  auto& app = Application::instance();
  if (app.topForm() != panned_) pan_ = {};
  panned_ = app.topForm();
  ui::CellGrid next = compose(app.openForms(), cols, rows, placements_, pan_);
  std::string out = "\x1b[?25l";
  const ui::Cell* style = nullptr;
  for (int r = 0; r < rows; ++r) {
    int c = 0;
    while (c < cols) {
      if (!fullRedraw_ && next.at(c, r) == shown_.at(c, r)) {
        ++c;
        continue;
      }
      out += "\x1b[" + std::to_string(r + 1) + ";" + std::to_string(c + 1) + "H";
      for (; c < cols && (fullRedraw_ || !(next.at(c, r) == shown_.at(c, r))); ++c) {
        const ui::Cell& cell = next.at(c, r);
        if (!style || style->fg != cell.fg || style->bg != cell.bg || style->bold != cell.bold) appendStyle(out, cell);
        style = &cell;
        platform::appendUtf8(out, cell.ch < 32 ? U' ' : cell.ch);
      }
    }
  }
  out += "\x1b[0m";
  if (next.cursorCol >= 0 && next.cursorRow >= 0)
    out += "\x1b[" + std::to_string(next.cursorRow + 1) + ";" + std::to_string(next.cursorCol + 1) + "H\x1b[?25h";
  term_.write(out);
  shown_ = std::move(next);
  fullRedraw_ = false;
}

void TtyPresenter::deliver(const TtyEvent& ev) {
  auto& app = Application::instance();
  if (!ev.isMouse) {
    if (panKey(ev.key)) return;
    pan_.checkFocus = true;
    app.dispatchKey(ev.key);
    return;
  }
  const auto& forms = app.openForms();
  ui::Form* top = app.topForm();
  if (!top || placements_.size() != forms.size()) return;
  const Placement& p = placements_[static_cast<size_t>(std::find(forms.begin(), forms.end(), top) - forms.begin())];
  ui::MouseEvent m = ev.mouse;
  m.col -= p.col;
  m.row -= p.row;
  if (m.col < 0 || m.row < 0 || m.col >= top->cols() || m.row >= top->rows()) return;  // outside the modal window
  const int64_t now = platform::clock().monotonicMs();
  m.doubleClick = m.button == ui::MouseButton::Left && lastClickMs_ >= 0 && now - lastClickMs_ < 400 &&
                  m.col == lastClickCol_ && m.row == lastClickRow_;
  lastClickMs_ = m.doubleClick ? -1 : now;
  lastClickCol_ = m.col;
  lastClickRow_ = m.row;
  m.x = m.col * top->look.cellWidth + top->look.cellWidth / 2;
  m.y = m.row * top->look.cellHeight + top->look.cellHeight / 2;
  app.dispatchMouse(m);
}

bool TtyPresenter::panKey(const ui::KeyEvent& key) {
  if (!key.alt || key.ctrl || key.shift || !pan_.larger || Application::instance().topForm() != panned_) return false;
  // Half a screen a key, so that two or three keys reach any edge of the windows there are.
  const int across = std::max(1, shown_.cols() / 2), down = std::max(1, (shown_.rows() - 2) / 2);
  switch (key.vk) {
    case ui::kVkLeft: pan_.cols -= across; break;
    case ui::kVkRight: pan_.cols += across; break;
    case ui::kVkUp: pan_.rows -= down; break;
    case ui::kVkDown: pan_.rows += down; break;
    default: return false;
  }
  pan_.checkFocus = false;  // the pan is the user's latest word, even over a key not drawn yet
  return true;
}

// Waits at most timeoutMs for input and decodes it into the queue; false when nothing came.
bool TtyPresenter::pollInput(int timeoutMs) {
  std::string bytes;
  if (term_.read(bytes, decoder_.pending() ? std::min(timeoutMs < 0 ? kEscapeTimeoutMs : timeoutMs, kEscapeTimeoutMs) : timeoutMs)) {
    decoder_.feed(bytes);
  } else if (decoder_.pending()) {
    decoder_.timeout();
  }
  auto evs = decoder_.take();
  queue_.insert(queue_.end(), evs.begin(), evs.end());
  return !evs.empty();
}

void TtyPresenter::runModal(ui::Form& form) {
  auto& timers = ui::TimerQueue::instance();
  while (!form.closeRequested()) {
    if (!queue_.empty()) {
      TtyEvent ev = queue_.front();
      queue_.erase(queue_.begin());
      deliver(ev);
      continue;
    }
    timers.fireDue(platform::clock().monotonicMs());
    if (form.closeRequested()) break;
    draw();
    const int64_t due = timers.nextDue();
    int timeout = -1;
    if (due >= 0) timeout = static_cast<int>(std::max<int64_t>(0, due - platform::clock().monotonicMs()));
    pollInput(timeout);
  }
  draw();
}

void TtyPresenter::processPending() {
  pollInput(0);
  draw();
}

}  // namespace pz::tty
