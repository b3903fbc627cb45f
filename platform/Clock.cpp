#include "platform/Clock.h"

namespace tellurio {

using namespace std::chrono;

// Howard Hinnant's civil-date algorithms (proleptic Gregorian calendar).
long long DaysFromCivil(CivilDate d) {
  long long y = d.year;
  const unsigned m = static_cast<unsigned>(d.month);
  const unsigned dd = static_cast<unsigned>(d.day);
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + dd - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

CivilDate CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

CivilDate Clock::TodayUtc() const {
  const auto secs = duration_cast<seconds>(Now().time_since_epoch()).count();
  long long days = secs / 86400;
  if (secs % 86400 < 0) --days;
  return CivilFromDays(days);
}

int Clock::SecondOfDayUtc() const {
  const auto secs = duration_cast<seconds>(Now().time_since_epoch()).count();
  long long r = secs % 86400;
  if (r < 0) r += 86400;
  return static_cast<int>(r);
}

system_clock::time_point SystemClock::Now() const { return system_clock::now(); }

FixedClock::FixedClock() : FixedClock(CivilDate{2001, 3, 5}) {}

FixedClock::FixedClock(CivilDate date, int secondOfDay) { Set(date, secondOfDay); }

system_clock::time_point FixedClock::Now() const {
  std::lock_guard lock(mutex_);
  return now_;
}

void FixedClock::Set(CivilDate date, int secondOfDay) {
  std::lock_guard lock(mutex_);
  now_ = system_clock::time_point(seconds(DaysFromCivil(date) * 86400 + secondOfDay));
}

void FixedClock::Advance(seconds by) {
  std::lock_guard lock(mutex_);
  now_ += by;
}

}  // namespace tellurio
