#include "ui/timer.h"

#include <algorithm>

#include "platform/clock.h"

namespace pz::ui {

Timer::Timer(int intervalMs, std::function<void()> fn, bool enabled) : onTimer(std::move(fn)), interval_(intervalMs) {
  TimerQueue::instance().add(this);
  setEnabled(enabled);
}

Timer::~Timer() { TimerQueue::instance().remove(this); }

void Timer::setEnabled(bool on) {
  enabled_ = on;
  if (on) due_ = platform::clock().monotonicMs() + interval_;
}

void Timer::setInterval(int ms) {
  interval_ = ms;
  if (enabled_) due_ = platform::clock().monotonicMs() + interval_;
}

TimerQueue& TimerQueue::instance() {
  static TimerQueue q;
  return q;
}

void TimerQueue::add(Timer* t) {
  t->seq_ = nextSeq_++;
  timers_.push_back(t);
}

void TimerQueue::remove(Timer* t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

int64_t TimerQueue::nextDue() const {
  int64_t best = -1;
  for (const Timer* t : timers_)
    if (t->enabled_ && t->interval_ > 0 && !t->running_ && (best < 0 || t->due_ < best)) best = t->due_;
  return best;
}

Timer* TimerQueue::earliest(int64_t now) const {
  Timer* best = nullptr;
  for (Timer* t : timers_) {
    if (!t->enabled_ || t->interval_ <= 0 || t->running_ || t->due_ > now) continue;
    if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->seq_ < best->seq_)) best = t;
  }
  return best;
}

void TimerQueue::fireDue(int64_t now) {
  while (Timer* t = earliest(now)) {
    t->due_ += t->interval_;
    if (t->due_ <= now) t->due_ = now + t->interval_;  // no burst of catch-up after a stall
    t->running_ = true;
    // The handler may delete the timer (a form closing); look it up again before touching it.
    auto fn = t->onTimer;
    if (fn) fn();
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->running_ = false;
  }
}

}  // namespace pz::ui
