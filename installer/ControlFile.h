#pragma once
// The control files "install.txt" and "uinstall.txt": code page 1252 text
// with CR LF line ends, read by key.  A key's line is the first line that
// contains the key text anywhere; its value is the text after the last "=".
// List keys ("Anzahl=", "Zusatzanzahl=", "Umbenennen=") are followed by as
// many entry lines as their value counts.
//
// Entries come from a file that anyone may have edited: counts are checked,
// and file names are taken only as plain names (no "/", no "..", not
// absolute), so that a control file can never reach outside the directory
// it belongs to.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurio {

// The lines of a control file, UTF-8.  A line ends at CR LF; a lone CR or a
// lone LF also ends one (a file saved by another editor), and a last line
// without an end is taken as it stands.
std::vector<std::string> ControlLines(std::string_view bytes);

// The bytes of a control file: every line followed by CR LF, in code page
// 1252.  *exact (when given) is false when a character could not be written.
std::string ControlFileBytes(const std::vector<std::string>& lines, bool* exact = nullptr);

// The index of the first line that contains key, or nullopt.
std::optional<size_t> FindKey(const std::vector<std::string>& lines, std::string_view key);

// The text after the last "=" of the key's line; empty when no line holds it.
std::string KeyValue(const std::vector<std::string>& lines, std::string_view key);

// A decimal count of at most 64 bits without sign or blanks; nullopt otherwise.
std::optional<std::uint64_t> ParseCount(std::string_view text);

// True for a name that stays inside a directory: not empty, no "/", no NUL,
// not "." or "..".
bool IsPlainFileName(std::string_view name);

// The entries that follow a list key.  An empty or missing value gives no
// entries.  problem (German, naming the key) is set when the count is not a
// number or more lines are counted than the file holds; entries then holds
// what could be read.
struct ListEntries {
  std::optional<size_t> keyLine;
  std::vector<std::string> entries;
  std::string problem;
};
ListEntries ReadList(const std::vector<std::string>& lines, std::string_view key);

}  // namespace tellurio
