#pragma once
// The download run without a window: `tellurio --kurse-laden [--verzeichnis
// DIR]`.  It runs the same download run as the menu command on the data
// directory (DIR, or the process current directory), writes progress and
// results as German lines, never asks a question (where the window would
// ask, it takes the answer that changes nothing and says so) and never waits
// for input.  Plain C++: no display, no Qt.
//
// Exit status: 0 when the run went through without a "Fehler"; 1 when it
// failed (the reason is written to the error stream: a server that cannot
// be reached, a store that cannot be read, another copy of Tellurio on the
// directory, no depots there, ...); 2 for invalid arguments.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "marabu/MarabuClient.h"
#include "platform/Clock.h"
#include "platform/Settings.h"

namespace tellurio {

inline constexpr int kHeadlessOk = 0;
inline constexpr int kHeadlessFailed = 1;
inline constexpr int kHeadlessUsage = 2;

struct HeadlessArguments {
  bool download = false;                           // --kurse-laden was given
  bool help = false;                               // --hilfe / --help
  std::optional<std::filesystem::path> directory;  // --verzeichnis DIR
  std::string error;                               // German; empty when valid
};

// Reads the program's arguments (without the program name).  Without
// --kurse-laden nothing is checked but --verzeichnis (the window takes its
// own arguments).
HeadlessArguments ParseHeadlessArguments(const std::vector<std::string>& arguments);

// The German usage text.
std::string HeadlessUsage();

struct HeadlessServices {
  const Clock& clock;
  Settings& settings;
  marabu::WebLibrary& web;
  std::ostream& out;  // progress and notes
  std::ostream& err;  // failures
};

// Runs the download on directory (made the process current directory, as
// the program's working directory is) and returns the exit status.
int RunHeadlessDownload(const std::filesystem::path& directory, HeadlessServices services);

}  // namespace tellurio
