#pragma once
// The two backup generations in the root of a drive, "Vater" (the latest)
// and "Sohn" (the one before), and the file work of backup and restore.
//
// A backup is written into "Vater.neu" beside them and every copy is read
// back and compared with its source; only a complete, verified new
// generation replaces "Vater", and the old "Vater" becomes "Sohn".  Until
// then "Vater" and "Sohn" are not touched, and on any failure they stay as
// they were.
//
// A restore reads and stages every file of the generation in the working
// directory before it replaces any file, and replaces each one atomically,
// so each file of the working directory is either the old or the restored
// one.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/FileLayer.h"

namespace tellurio::backup {

inline constexpr const char* kFather = "Vater";
inline constexpr const char* kSon = "Sohn";
// Where the next generation is written until it is complete.
inline constexpr const char* kNewGeneration = "Vater.neu";
// Where "Sohn" waits while the generations are shifted; removed at the end.
inline constexpr const char* kOldSon = "Sohn.alt";

// The files a backup saves, in this order: each depot's two stores and its
// fund archive (D.dat, D.idx, n_D.dat, n_D.idx), each provider's list
// (P.pls), then "anb.dbk", "dax.dxt" and "portrait.txt".
std::vector<std::string> BackupFileNames(const std::vector<std::string>& depots,
                                         const std::vector<std::string>& providers);

// Which generations a drive root holds.
struct GenerationsFound {
  bool rootAccessible = false;  // the root can be entered and listed
  bool father = false;
  bool son = false;
};
GenerationsFound FindGenerations(FileLayer& files, const fs::path& root);

struct BackupResult {
  bool ok = false;
  // For the user when !ok: what failed, naming the file and the reason.
  std::string problem;
  // For the user when ok but something after the new generation was in
  // place failed (removing the oldest generation); empty otherwise.
  std::string warning;
  // False only when a failed shift of the generations could not be undone:
  // the problem then says where they are.
  bool generationsIntact = true;
  int filesSaved = 0;
};

// Saves the files (names in workingDirectory; missing ones are skipped) as
// the new "Vater" in root, keeping the previous "Vater" as "Sohn" and
// removing the older "Sohn".  freeBytes, when known, is the space left on
// the drive; a backup that cannot fit is refused before anything is
// written.
BackupResult WriteGeneration(FileLayer& files, const fs::path& workingDirectory, const std::vector<std::string>& names,
                             const fs::path& root, std::optional<std::uint64_t> freeBytes);

// The generation a restore reads from: "Vater" when it can be listed,
// otherwise "Sohn"; nothing when neither can.
struct RestoreSource {
  fs::path dir;
  std::string generation;  // "Vater" or "Sohn"
  std::vector<std::string> files;
};
std::optional<RestoreSource> OpenRestoreSource(FileLayer& files, const fs::path& root);

struct RestoreResult {
  enum class Outcome {
    Restored,     // every file replaced
    NoDepotData,  // the generation holds no depot store: nothing changed
    Failed,       // a file could not be read or staged: nothing changed
    Partial,      // replacing failed halfway: restored holds what was done
  };
  Outcome outcome = Outcome::Failed;
  std::string problem;                // the failure, naming file and reason
  std::vector<std::string> restored;  // files replaced by the backup's
  std::vector<std::string> notRestored;
  // Files of the generation left out because their names cannot be depot or
  // provider names here, with the reason for each.
  std::vector<std::string> refused;
};

// Why a depot (depot = true) or provider name taken from a backup file
// cannot be used, or nothing.
using NameCheck = std::function<std::optional<std::string>(const std::string& name, bool depot)>;

// Copies the files of source into workingDirectory.  Names of depot stores
// (D.dat, D.idx, n_D.dat, n_D.idx) and provider lists (P.pls) must pass
// check; hidden files and names taken by a directory in the working
// directory are left out too.  freeBytes, when known, is the space left in
// the working directory (the staged copies need room beside the old files).
RestoreResult RestoreGeneration(FileLayer& files, const RestoreSource& source, const fs::path& workingDirectory,
                                const NameCheck& check, std::optional<std::uint64_t> freeBytes);

// The depot name a restored file stands for ("A" for A.dat, A.idx, n_A.dat
// and n_A.idx), or nothing for other files.
std::optional<std::string> DepotOfFile(const std::string& file);
// The provider name of P.pls, or nothing.
std::optional<std::string> ProviderOfFile(const std::string& file);

}  // namespace tellurio::backup
