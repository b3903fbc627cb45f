#pragma once
// The release bundle's control file: what the installer of a bundle reads.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tellurio {

inline constexpr const char* kBundleLicenceFile = "Lizenz.txt";
inline constexpr const char* kBundleNotesFile = "Hinweise.txt";

// The lines of install.txt for files (in this order) needing neededSpace
// bytes, with the licence and notes files (each left out when empty).
std::vector<std::string> BundleControlLines(const std::vector<std::string>& files, std::uint64_t neededSpace,
                                            const std::string& licenceFile, const std::string& notesFile);

// Writes the bundle's control files into dir, which already holds files:
// the licence and notes texts (UTF-8, "\n" line ends) as code page 1252
// files with CR LF, and install.txt needing the size of the files.  Returns
// an empty text or a German description of the failure.
std::string WriteBundleControl(const std::filesystem::path& dir, const std::vector<std::string>& files,
                               const std::string& licenceText, const std::string& notesText);

}  // namespace tellurio
