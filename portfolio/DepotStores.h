#pragma once
// Opening a depot's stores: the one way every part of the program (the
// depot session, the download run and the import, the transactions across
// depots, the demo data) binds and reads the depot store and the fund
// archive of a depot, with one behaviour when a file is damaged or cannot be
// read.
//
// - A missing store is created empty (or, when asked to, left missing).
// - A store that was damaged and mended on opening is reported once with a
//   "Hinweis": the file, what was wrong, how many records (funds) could be
//   read, and the name under which the damaged file is kept beside it before
//   anything is saved over it (RecordStore keeps it at its first save).
// - A store that exists but could not be read at all is reported once with a
//   "Fehler" and stays read-only: saving it is refused (RecordStore) until it
//   is opened again and can be read.
//
// Reports are given once per file and condition during the life of the
// object, so a damaged file that a run opens many times is named once.
// Not thread-safe; the program opens stores on its user-interface thread.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "storage/RecordStore.h"

namespace tellurio {

enum class StoreKind { Depot, Archive };

// How a store was found.
enum class StoreOpened {
  Read,        // read as it was
  Repaired,    // damaged; what could be read is there (reported)
  Unreadable,  // could not be read: empty and read-only (reported)
  Missing,     // no data file, and none was to be created: empty
};

class DepotStores {
 public:
  // Both must outlive the object.
  DepotStores(Prompter& prompter, const Calendar& calendar);

  // Binds store to the files of depot's depot store or fund archive in wd
  // and reads them.  A missing store is created empty when createMissing,
  // otherwise left missing (nothing is written).  A depot name that is no
  // valid depot name (as the user must type it) is refused: the store is
  // then empty, bound to nothing and read-only.
  StoreOpened Open(const std::filesystem::path& wd, const std::string& depot, StoreKind kind, RecordStore& store,
                   bool createMissing = true);

  // Both stores of the depot, created when missing.  True when both could be
  // read (a repaired store counts as read).
  bool OpenBoth(const std::filesystem::path& wd, const std::string& depot, RecordStore& depotStore,
                RecordStore& archive);

  // The depots listed in provider's list file in wd, in file order.  A name
  // that is no valid depot name ("../x", an absolute path, control
  // characters, ...) is named once and left out.  A list file that cannot
  // be read is reported once; *readable (when given) tells whether it could
  // be read.  A missing list file is created empty, as every list file.
  std::vector<std::string> DepotsOfProvider(const std::filesystem::path& wd, const std::string& provider,
                                            bool* readable = nullptr);

  // Reads a list file.  A file that cannot be read is reported once with a
  // "Fehler" and false returned (out is then empty): whoever would write the
  // list back must not, or the lines that could not be read would be lost.
  bool ReadList(const std::filesystem::path& file, std::vector<std::string>& out);

  // Forgets what was reported, so that the next opening of a damaged or
  // unreadable file is named again: when the user makes a depot current, its
  // state is told then, not only at the first opening of the session.
  void ForgetReports() { reported_.clear(); }

  Prompter& prompter() { return prompter_; }

 private:
  // Shows m unless the same key was reported before.
  void ReportOnce(const std::string& key, const Message& m);

  Prompter& prompter_;
  const Calendar& calendar_;
  std::set<std::string> reported_;
};

// A name from a file as it may be shown in a message: control characters
// replaced by "?", cut to about 80 characters.
std::string Displayable(const std::string& name);

}  // namespace tellurio
