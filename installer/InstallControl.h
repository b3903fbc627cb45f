#pragma once
// What "install.txt" asks for, and the "uinstall.txt" the installer writes
// from it for the uninstaller.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tellurio {

inline constexpr const char* kInstallControlFile = "install.txt";
inline constexpr const char* kUninstallControlFile = "uinstall.txt";
inline constexpr const char* kUninstallerProgram = "uninstaller";
// The program folder of the default target and of the menu folder.
inline constexpr const char* kProgramFolder = "Tellurio";

// The directory the installer or the uninstaller works on: the current
// directory when it holds controlFile, else the directory of the running
// program when that does (a bundle started from a file manager), else the
// current directory.
std::filesystem::path DirectoryHoldingControlFile(const char* controlFile);

struct Rename {
  std::string from;
  std::string to;
};

struct InstallControl {
  std::vector<std::string> lines;   // the file as read, UTF-8
  std::vector<Rename> renames;      // "Umbenennen="
  std::uint64_t neededSpace = 0;    // "Platz="
  std::vector<std::string> files;   // "Anzahl="
  bool withExtras = false;          // "Zusatz=" is "1"
  std::string registrationProgram;  // "Programm=" (only with extras)
  std::vector<std::string> extras;  // "Zusatzanzahl=" (only with extras)
  std::string licenceFile;          // "Lizenz="
  std::string notesFile;            // "Zusatztext="
  // Entries refused, each named in German ("Anzahl=3: es folgen nur 2
  // Zeilen", "\"../x\" ist kein einfacher Dateiname").  The installation does
  // not start when there are any.
  std::vector<std::string> problems;
};

// Reads the keys of install.txt from its lines.
InstallControl ReadInstallControl(std::vector<std::string> lines);

// The lines of uinstall.txt: the lines of install.txt with line 1 replaced
// by "Vorgabe=" and the target, the additional components in skippedExtras
// (already present in the system directory) taken out of the
// "Zusatzanzahl=" list with its count lowered ("Zusatzanzahl=0" and
// "Zusatz=0" when none remain), and linkPath appended as the last line.
std::vector<std::string> UninstallLines(const std::vector<std::string>& installLines,
                                        const std::filesystem::path& target,
                                        const std::vector<std::string>& skippedExtras, const std::string& linkPath);

// The program among the installed files in dir: the first entry of files
// other than the uninstaller that ends in ".exe" or is an executable regular
// file that is not a shared library ("lib....so").
std::optional<std::string> FindProgramFile(const std::vector<std::string>& files, const std::filesystem::path& dir);

// The first image file of files (".svg", ".png", ".xpm"), for the links'
// icon; empty when there is none.
std::string FindIconFile(const std::vector<std::string>& files);

// The program's name without ".exe", and the title of its menu entry and
// menu folder (the name with a capital first letter: "tellurio" → "Tellurio").
std::string ProgramName(const std::string& programFile);
std::string MenuTitle(const std::string& programName);

}  // namespace tellurio
