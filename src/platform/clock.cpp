#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace pz::platform {
namespace {
Clock* g_clock = nullptr;

// Howard Hinnant's days-from-civil, shifted to day 1 = 0001-01-01.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}
constexpr int64_t kEpochShift = 719162;  // days from 0001-01-01 to 1970-01-01
}  // namespace

int64_t dayNumber(Date d) { return daysFromCivil(d.year, d.month, d.day) + kEpochShift; }

Date fromDayNumber(int64_t n) {
  int64_t z = n - kEpochShift + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

bool validDate(Date d) {
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  return d.day <= kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
}

int64_t SystemClock::monotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Date SystemClock::today() {
  time_t t = time(nullptr);
  struct tm tm;
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

TimeOfDay SystemClock::now() {
  using namespace std::chrono;
  auto tp = system_clock::now();
  time_t t = system_clock::to_time_t(tp);
  struct tm tm;
  localtime_r(&t, &tm);
  int cs = static_cast<int>(duration_cast<milliseconds>(tp.time_since_epoch()).count() % 1000 / 10);
  return {tm.tm_hour, tm.tm_min, tm.tm_sec, cs};
}

Date VirtualClock::today() {
  int64_t days = (startMs_ + elapsed_) / 86400000;
  return fromDayNumber(dayNumber(date_) + days);
}

TimeOfDay VirtualClock::now() {
  int64_t ms = (startMs_ + elapsed_) % 86400000;
  return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
          static_cast<int>(ms % 1000 / 10)};
}

Clock& clock() {
  static SystemClock system;
  return g_clock ? *g_clock : system;
}

void setClock(Clock* c) { g_clock = c; }

}  // namespace pz::platform
