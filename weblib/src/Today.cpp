#include "Today.h"

#include <atomic>

namespace marabu {

namespace {

tellurio::SystemClock& SystemClockInstance() {
  static tellurio::SystemClock clock;
  return clock;
}

tellurio::FixedClock& FixedClockInstance() {
  static tellurio::FixedClock clock;
  return clock;
}

std::atomic<bool> useFixed{false};

}  // namespace

const tellurio::Clock& LibraryClock() {
  if (useFixed.load()) return FixedClockInstance();
  return SystemClockInstance();
}

void SetLibraryToday(int year, int month, int day) {
  if (year == 0) {
    useFixed.store(false);
    return;
  }
  FixedClockInstance().Set(tellurio::CivilDate{year, month, day});
  useFixed.store(true);
}

}  // namespace marabu
