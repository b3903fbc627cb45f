#pragma once
// The system clock behind an interface, so that "today" can be set in tests.

#include <chrono>
#include <mutex>

namespace tellurio {

struct CivilDate {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  bool operator==(const CivilDate&) const = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The current moment.  Thread-safe.
  virtual std::chrono::system_clock::time_point Now() const = 0;

  // Today's date in UTC.
  CivilDate TodayUtc() const;
  // Seconds since midnight UTC of the current moment.
  int SecondOfDayUtc() const;
};

class SystemClock final : public Clock {
 public:
  std::chrono::system_clock::time_point Now() const override;
};

// A clock that stands still at a given moment until it is set again.
class FixedClock final : public Clock {
 public:
  FixedClock();  // 05.03.2001, 12:00 UTC
  explicit FixedClock(CivilDate date, int secondOfDay = 12 * 3600);

  std::chrono::system_clock::time_point Now() const override;
  void Set(CivilDate date, int secondOfDay = 12 * 3600);
  void Advance(std::chrono::seconds by);

 private:
  mutable std::mutex mutex_;
  std::chrono::system_clock::time_point now_;
};

// Days since 01.01.1970 of a proleptic Gregorian date, and back.
long long DaysFromCivil(CivilDate date);
CivilDate CivilFromDays(long long days);

}  // namespace tellurio
