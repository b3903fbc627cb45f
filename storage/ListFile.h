#pragma once
// List files: the storage unit for every small data file.  A whole list of
// strings is written at once with a light scrambling of its characters and
// read back at once.  The scrambling works on code page 1252 bytes; the
// strings handed in and out are UTF-8.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Status.h"

namespace tellurio {

// Files beyond this size are not read as data files: far above the largest
// store a depot can realistically reach, far below what would exhaust memory.
inline constexpr size_t kMaxDataFileBytes = size_t(600) << 20;

// Reads and decodes the list file into out (the number of strings is
// out.size()).  A missing file is created empty and gives no strings.  A
// file that exists but cannot be read (no permission, an I/O error, not a
// regular file, too large) fails with the reason, and out is then empty.
Status ReadListFile(const std::filesystem::path& path, std::vector<std::string>& out);

// Encodes the first n strings (all when n < 0) and replaces the file
// atomically: a new file is written beside it, flushed and renamed over the
// old one, so a crash leaves either the old or the new content.  The caller's
// strings are not changed.  Refused (Status::Code::Unrepresentable, nothing
// written) when the first string starts with "%" or "(": its key byte would be
// a line break, which the format cannot hold.
Status WriteListFile(const std::filesystem::path& path, const std::vector<std::string>& lines, int n = -1);

// The scrambling itself, in place, on code page 1252 byte strings.
void EncodeLines(std::vector<std::string>& lines);
void DecodeLines(std::vector<std::string>& lines);

// Whole-file forms: decoded UTF-8 strings from the bytes of a list file, and
// the bytes of a list file (CR LF after every line) from UTF-8 strings.
// EncodeListBytes fails like WriteListFile on a first string that starts
// with "%" or "(".
std::vector<std::string> DecodeListBytes(std::string_view fileBytes);
bool EncodeListBytes(const std::vector<std::string>& lines, size_t n, std::string& out);

// True when a list whose first string is this one can be written.
bool IsStorableFirstString(std::string_view utf8);

// The scrambling key of a list whose first string is this one.
unsigned char ListKeyOf(std::string_view firstUtf8);

// Whether a text, written as a line of a list file with that key, reads back
// unchanged.  The format loses a character whose code lands above 223 (long
// lines, capital umlauts and accented letters at some positions) and a
// one-character text whose code is a blank; callers that take names from the
// user check them with this before storing.  The data files of the record
// store have the key ListKeyOf(number of sections).
bool RoundTrips(std::string_view utf8, unsigned char key, bool firstLine);

// Plain read for imports: all lines of a text file, converted from code page
// 1252 to UTF-8, without decoding.  Fails (NotFound, IoError) when the file
// cannot be read.
Status ReadTextLines(const std::filesystem::path& path, std::vector<std::string>& out);

// Reads a whole regular file of at most maxBytes into bytes.  A pipe or a
// device is refused without waiting on it (NotRegular), a larger file
// without reading it (TooLarge).
Status ReadFileBytes(const std::filesystem::path& path, std::string& out, size_t maxBytes = kMaxDataFileBytes);

// Opens a data file for reading as ReadFileBytes does (a regular file of at
// most maxBytes, a pipe never waited on); on success fd is open and the
// caller closes it.  For files read piece by piece.
Status OpenDataFile(const std::filesystem::path& path, int& fd, size_t maxBytes = kMaxDataFileBytes);

// Replaces a file atomically with the given bytes (temporary file in the same
// directory, flush to disk, rename).  The temporary file is named by
// TemporaryFilePrefix; a crash can leave it behind, and
// fileset::RemoveLeftoverTemporaries removes it at the next start.
Status WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// One file of ReplaceFilesTogether: its path and its new content.
struct FileReplacement {
  std::filesystem::path path;
  std::string bytes;
};

// Replaces several files as one: every new content is first written beside
// its target and flushed; only when all are written are they renamed over
// their targets, in order.  When a rename fails, the targets renamed before
// it get their old content back (their old files are kept as hard links, or
// as bytes in memory where the file system has no hard links), so after any
// failure every target is as it was.  A crash in the middle of the renames
// can leave the first targets new.
Status ReplaceFilesTogether(const std::vector<FileReplacement>& files);

namespace detail {
// The rename that puts every new file in place (WriteFileAtomically,
// ReplaceFilesTogether).  Tests replace it to make a chosen rename fail; the
// program never changes it.  Same contract as rename(2).
using RenameFunction = int (*)(const char* from, const char* to);
extern RenameFunction renameFile;
}  // namespace detail

// The start of the name of every temporary file this process writes beside
// target: "." + file name + ".tmp-" + process id + "-".  A unique ending
// follows.
std::string TemporaryFilePrefix(const std::filesystem::path& target);

}  // namespace tellurio
