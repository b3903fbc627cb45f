#pragma once
// The library's notion of "today": the system clock in UTC, or a fixed date
// set through the test hook.

#include "platform/Clock.h"

namespace marabu {

// The clock the exports read.  Valid for the life of the library.
const tellurio::Clock& LibraryClock();

// Fixes "today" at the given date (12:00 UTC); year 0 returns to the system
// clock.
void SetLibraryToday(int year, int month, int day);

}  // namespace marabu
