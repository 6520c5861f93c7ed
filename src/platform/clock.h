// Time as the program sees it. The headless presenter installs a virtual clock, so that timers,
// dates and times of a key script are repeatable.
#pragma once

#include <cstdint>

namespace pz::platform {

struct Date {
  int year = 0, month = 0, day = 0;
};
struct TimeOfDay {
  int hour = 0, minute = 0, second = 0, hundredths = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t monotonicMs() = 0;
  virtual Date today() = 0;
  virtual TimeOfDay now() = 0;
};

class SystemClock : public Clock {
 public:
  int64_t monotonicMs() override;
  Date today() override;
  TimeOfDay now() override;
};

// Starts at a given date and time; moves only when told.
class VirtualClock : public Clock {
 public:
  VirtualClock(Date date, TimeOfDay time) : date_(date), startMs_(toMs(time)) {}
  int64_t monotonicMs() override { return elapsed_; }
  Date today() override;
  TimeOfDay now() override;
  void advance(int64_t ms) { elapsed_ += ms; }
  void setDate(Date d) { date_ = d; }

 private:
  static int64_t toMs(TimeOfDay t) {
    return ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.hundredths * 10;
  }
  Date date_;
  int64_t startMs_;
  int64_t elapsed_ = 0;
};

// The process-wide clock; the system clock unless a presenter installed another.
Clock& clock();
void setClock(Clock* c);  // nullptr restores the system clock

// Days since 1 January 1 of the proleptic Gregorian calendar, and back.
int64_t dayNumber(Date d);
Date fromDayNumber(int64_t n);
bool validDate(Date d);

}  // namespace pz::platform
