#pragma once
// The files and directories of the data directory (the working directory).
//
//   D.dat, D.idx          main store of depot D
//   n_D.dat, n_D.idx      fund archive store of depot D
//   P.pls                 list file: depots of provider P, in order of creation
//   anb.dbk               list file: pairs provider P, web-library provider
//   dax.dxt               list file: pairs date, DAX value
//   portrait.txt          fund portraits as downloaded (plain lines)
//   dax1.html             the index page as downloaded
//   Fondpreise/P/JJJJ/<month name>/TTMMJJJJ.txt   downloaded price files

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Status.h"

namespace tellurio::fileset {

namespace fs = std::filesystem;

inline constexpr const char* kArchivePrefix = "n_";
inline constexpr const char* kProviderAssignments = "anb.dbk";
inline constexpr const char* kDaxHistory = "dax.dxt";
inline constexpr const char* kPortraitFile = "portrait.txt";
inline constexpr const char* kIndexPage = "dax1.html";
inline constexpr const char* kPriceRoot = "Fondpreise";

// Section layout of the depot store and of the fund archive store.
inline const std::vector<int> kDepotRowWidths = {4, 2, 4, 4, 2, 2};
inline const std::vector<int> kArchiveRowWidths = {4, 2};

fs::path DepotBase(const fs::path& wd, const std::string& depot);        // wd/D
fs::path ArchiveBase(const fs::path& wd, const std::string& depot);      // wd/n_D
fs::path ProviderList(const fs::path& wd, const std::string& provider);  // wd/P.pls
fs::path PriceRoot(const fs::path& wd);                                  // wd/Fondpreise
fs::path ProviderPriceDir(const fs::path& wd, const std::string& provider);
fs::path PriceMonthDir(const fs::path& wd, const std::string& provider, int year, const std::string& monthName);

// Makes sure Fondpreise/P/JJJJ/<month> exists for every provider, creating
// each missing level.  Failures of single directories do not stop the others;
// the first one is reported.
Status EnsurePriceDirectories(const fs::path& wd, const std::vector<std::string>& providers, int year,
                              const std::string& monthName);

// Names (without extension) of the files in wd ending in extension (".dat" or
// ".pls").  For ".dat", names starting with "n_" (fund archive stores) are left
// out.  Ordered by name, ignoring case first, as a directory listing shows them.
// A file whose name is not UTF-8 (written by another system in its own code
// page) is left out too: its name would change on its way through the
// window, and the program would then open files of another name.  Such file
// names are added to *notUtf8 when given.
std::vector<std::string> ListDataFiles(const fs::path& wd, std::string_view extension,
                                       std::vector<std::string>* notUtf8 = nullptr);

// Deletes a file; a missing file is no error.
Status RemoveFile(const fs::path& path);

// Removes what interrupted saves left behind: temporary files beside the
// program's files in wd and in the price directory tree (named by
// TemporaryFilePrefix, or by the web library's staged downloads) whose
// process no longer runs.  The files they were to replace are whole (they
// are replaced only by renaming a complete file over them), so nothing is
// lost.  Returns how many were removed; failures to remove one are skipped
// (it is tried again at the next start).
int RemoveLeftoverTemporaries(const fs::path& wd);

// Whether a file name is one of those temporary files, and of which process.
bool IsTemporaryFileName(std::string_view name, long& pid);

}  // namespace tellurio::fileset
