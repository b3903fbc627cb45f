#pragma once
// The C library's heap on transparent huge pages.
//
// Fresh memory reaches a process one page fault per 4 KiB page.  The start
// of the program touches a few hundred megabytes of fresh memory (the
// decoded stores, the statistics, the window's back buffers, the lists of
// thousands of lines), and on a virtual machine every fault is a trip to the
// host: there the faults, not the work, were half of the time from the depot
// choice to the painted window.  With huge pages a fault brings 2 MiB at
// once.  The system leaves huge pages to the programs that ask for them
// ("madvise"), and glibc asks for its heap only when the tunable
// glibc.malloc.hugetlb=1 is in GLIBC_TUNABLES at the start of the process:
// so the program starts itself once more with it, before anything else.

#include <optional>
#include <string>

namespace tellurio {

// The tunable as added by UseHugePagesForMalloc.
inline constexpr const char* kHugePageTunable = "glibc.malloc.hugetlb=1";

// GLIBC_TUNABLES with the huge-page tunable added to `current` (null: not
// set); nullopt when `current` already sets glibc.malloc.hugetlb (the
// user's own choice stays).
std::optional<std::string> TunablesWithHugePages(const char* current);

// Called first in main, with main's argv.  Replaces the process by the same
// program with the same arguments and GLIBC_TUNABLES extended, unless it is
// already set so, the program runs with raised privileges (glibc then
// ignores the tunables) or the program cannot be started again (then it
// goes on as it is).  In the restarted process, GLIBC_TUNABLES is set back
// to what it was, so that the programs it starts see the user's
// environment, and the process takes back its name (process lists would
// show "exe", the name of the link it was started through).
void UseHugePagesForMalloc(char** argv);

}  // namespace tellurio
