// Timers fire between events on the one user-interface thread, in the order they fall due, on
// the platform clock (virtual under the headless presenter).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace pz::ui {

class Timer {
 public:
  Timer(int intervalMs, std::function<void()> onTimer, bool enabled = false);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Enabling (or changing the interval) starts a new period from now; interval 0 never fires.
  void setEnabled(bool on);
  bool enabled() const { return enabled_; }
  void setInterval(int ms);
  int interval() const { return interval_; }
  std::function<void()> onTimer;

 private:
  friend class TimerQueue;
  int interval_;
  bool enabled_ = false;
  bool running_ = false;  // its handler is running; it does not fire again inside itself
  int64_t due_ = 0;
  uint64_t seq_ = 0;
};

class TimerQueue {
 public:
  static TimerQueue& instance();
  // The earliest due time of an enabled timer, or -1.
  int64_t nextDue() const;
  // Fires every timer due at `now`, earliest first (ties in creation order). A timer that fell
  // due several periods ago fires once and starts a new period from `now`; the headless
  // presenter steps its clock from one due time to the next, so there every period fires.
  void fireDue(int64_t now);

 private:
  friend class Timer;
  void add(Timer* t);
  void remove(Timer* t);
  Timer* earliest(int64_t now) const;
  std::vector<Timer*> timers_;
  uint64_t nextSeq_ = 0;
};

}  // namespace pz::ui
