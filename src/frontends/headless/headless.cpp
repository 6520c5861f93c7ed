#include "frontends/headless/headless.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <sstream>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/process.h"
#include "platform/text.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::headless {

using ui::Application;

HeadlessPresenter::HeadlessPresenter(std::vector<ScriptStep> steps, platform::VirtualClock& clock, std::ostream& out,
                                     std::ostream& err)
    : steps_(std::move(steps)), clock_(clock), out_(out), err_(err) {}

void HeadlessPresenter::runModal(ui::Form& form) {
  if (realWaits_ && form.name() == "TfErr") waitInRealTime(form);
  while (!form.closeRequested()) {
    if (next_ >= steps_.size()) {
      for (ui::Form* f : Application::instance().openForms()) openAtEnd_.push_back(f->name());
      throw ScriptExhausted{};
    }
    execute(steps_[next_++]);
  }
}

// A wait window of a busy lock or table: its timer fires when its time has passed in real time
// too, so that the other stations can let go meanwhile. After a minute the script's steps go to
// it again (an Esc there gives up), so that a lock that is never freed cannot hang the run.
void HeadlessPresenter::waitInRealTime(ui::Form& form) {
  auto& timers = ui::TimerQueue::instance();
  const auto konec = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!form.closeRequested() && std::chrono::steady_clock::now() < konec) {
    const long long due = timers.nextDue();
    if (due < 0) return;
    const long long za = std::min<long long>(std::max<long long>(0, due - clock_.monotonicMs()), 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(za));
    advance(za);
  }
}

// Moves the clock on by `ms`, stopping at each timer's due time so that timers fire in order and
// every period fires.
void HeadlessPresenter::advance(long long ms) {
  const long long target = clock_.monotonicMs() + ms;
  auto& timers = ui::TimerQueue::instance();
  for (;;) {
    long long due = timers.nextDue();
    if (due < 0 || due > target) break;
    if (due > clock_.monotonicMs()) clock_.advance(due - clock_.monotonicMs());
    timers.fireDue(clock_.monotonicMs());
  }
  if (target > clock_.monotonicMs()) clock_.advance(target - clock_.monotonicMs());
}

void HeadlessPresenter::dump() {
  for (ui::Form* f : Application::instance().openForms()) {
    out_ << "=== " << f->name() << " \"" << platform::cp1250ToUtf8(f->caption) << "\" ===\n";
    ui::CellGrid g = ui::render(*f);
    for (int r = 0; r < g.rows(); ++r) {
      std::string line = g.rowText(r);
      line.erase(line.find_last_not_of(' ') + 1);
      out_ << line << '\n';
    }
  }
  out_.flush();
}

void HeadlessPresenter::mouse(const ScriptStep& step) {
  ui::Form* top = Application::instance().topForm();
  if (!top) return;
  ui::MouseEvent ev;
  ev.button = step.kind == ScriptStep::RightClick ? ui::MouseButton::Right : ui::MouseButton::Left;
  ev.doubleClick = step.kind == ScriptStep::DoubleClick;
  ev.ctrl = step.key.ctrl;
  ev.shift = step.key.shift;
  ev.alt = step.key.alt;
  ev.col = step.col - 1;
  ev.row = step.row - 1;
  ev.x = ev.col * top->look.cellWidth + top->look.cellWidth / 2;
  ev.y = ev.row * top->look.cellHeight + top->look.cellHeight / 2;
  if (step.kind == ScriptStep::Drag) {
    ev.drag = true;
    ev.fromCol = ev.col;
    ev.fromRow = ev.row;
    ev.fromX = ev.x;
    ev.fromY = ev.y;
    ev.col = step.col2 - 1;
    ev.row = step.row2 - 1;
    ev.x = ev.col * top->look.cellWidth + top->look.cellWidth / 2;
    ev.y = ev.row * top->look.cellHeight + top->look.cellHeight / 2;
  }
  Application::instance().dispatchMouse(ev);
}

void HeadlessPresenter::execute(const ScriptStep& step) {
  switch (step.kind) {
    case ScriptStep::Key:
      Application::instance().dispatchKey(step.key);
      advance(pace_);
      break;
    case ScriptStep::Type:
      // Each character is a key of its own; a window that closes on one of them leaves the rest
      // to the window below, as a fast typist's keys would.
      for (char ch : step.text) {
        Application::instance().dispatchKey(ui::keyForChar(ch));
        advance(pace_);
      }
      break;
    case ScriptStep::Wait: advance(step.number); break;
    case ScriptStep::Pace: pace_ = step.number; break;
    case ScriptStep::RealWaits: realWaits_ = true; break;
    case ScriptStep::Dump: dump(); break;
    case ScriptStep::Click:
    case ScriptStep::DoubleClick:
    case ScriptStep::RightClick:
    case ScriptStep::Drag:
      mouse(step);
      advance(pace_);
      break;
    case ScriptStep::Resize:
      if (ui::Form* top = Application::instance().topForm()) top->resizeTo(step.col, step.row);
      advance(pace_);
      break;
    case ScriptStep::Run: {
      out_.flush();
      auto res = platform::runProcess({"/bin/sh", "-c", step.text}, 10 * 60 * 1000);
      err_ << res.output;
      if (!res.started) err_ << "line " << step.line << ": the command could not be started\n";
      else if (res.exitCode != 0) err_ << "line " << step.line << ": the command ended with " << res.exitCode << '\n';
      break;
    }
  }
}

bool parseIsoDate(const std::string& s, platform::Date& out) {
  int y, m, d;
  char tail;
  if (s.size() != 10 || s[4] != '-' || s[7] != '-' || std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3)
    return false;
  out = {y, m, d};
  return platform::validDate(out);
}

int runHeadless(const std::string& scriptPath, std::optional<platform::Date> today, const std::function<int()>& program,
                std::ostream& out, std::ostream& err) {
  std::string script;
  if (scriptPath == "-") {
    script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    platform::File f;
    int code = f.openNative(scriptPath, platform::Access::Read, platform::Share::DenyNone, platform::Create::OpenExisting);
    int64_t size = 0;
    if (code == platform::kIoOk) code = f.size(size);
    if (code == platform::kIoOk) {
      script.resize(static_cast<size_t>(size));
      size_t got = 0;
      f.readAt(0, script.data(), script.size(), &got);
      script.resize(got);
    }
    if (code != platform::kIoOk) {
      err << "pzpokl: cannot read the script " << scriptPath << " (error " << code << ")\n";
      return 2;
    }
  }
  std::vector<ScriptError> errors;
  auto steps = parseScript(script, errors);
  if (!errors.empty()) {
    for (const auto& e : errors) err << scriptPath << ":" << e.line << ": " << e.message << '\n';
    return 2;
  }

  platform::VirtualClock clock(today ? *today : platform::SystemClock().today(), platform::TimeOfDay{8, 0, 0, 0});
  platform::setClock(&clock);
  HeadlessPresenter presenter(std::move(steps), clock, out, err);
  auto& app = Application::instance();
  app.setPresenter(&presenter);
  // A script never starts a browser; the address goes to standard error for the script to see.
  platform::setUrlOpener([&err](const std::string& url) {
    err << "pzpokl: open " << url << '\n';
    return true;
  });
  int rc;
  try {
    rc = program();
    if (presenter.unusedSteps() > 0)
      err << "pzpokl: the program ended with " << presenter.unusedSteps() << " steps of the script left\n";
  } catch (const HeadlessPresenter::ScriptExhausted&) {
    err << "pzpokl: the script ended while windows were open:";
    for (const auto& name : presenter.openAtEnd()) err << ' ' << name;
    err << '\n';
    rc = 3;
  }
  out.flush();
  app.setPresenter(nullptr);
  platform::setUrlOpener(nullptr);
  platform::setClock(nullptr);
  return rc;
}

}  // namespace pz::headless
