#pragma once
// Line-numbered access to a text file whose lines end with CR LF.
//
// Every operation opens the file, works and closes it again: no file stays
// open between operations.  Lines are byte strings exactly as stored (code
// page 1252 for the program's own files); the line break is not part of a
// line, a last line without a line break is a line, an empty file has 0 lines.
// Every byte other than CR and LF is data (including byte 26).

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tellurio {

// Raised by the constructor that opens a file, when the file cannot be opened.
class FileException : public std::runtime_error {
 public:
  FileException(std::string path, int errnoValue);
  const std::string& path() const { return path_; }
  int error() const { return errno_; }

 private:
  std::string path_;
  int errno_;
};

class CTextFile {
 public:
  enum Mode : int { modeRead = 0, modeWrite = 1, modeReadWrite = 2, modeCreate = 4096 };

  CTextFile() = default;
  // Opens like Open(); throws FileException when the file cannot be opened.
  CTextFile(const std::filesystem::path& path, int mode);
  virtual ~CTextFile() = default;

  virtual std::string GetFileName() const;  // the name as passed
  virtual std::string GetFilePath() const;  // directory at opening + "/"
  virtual void SetFilePath(const std::filesystem::path& path);

  // Line positions: origin 0 from the start, 1 from the current position,
  // 2 back from the end.  Returns the new position, or -1 (position kept)
  // when it would leave 0..lineCount; an unknown origin returns 0.
  virtual int Seek(int offset, int origin);
  virtual int GetLength() const;  // lineCount
  virtual void Close();           // lineCount := 0, position := 0
  // 0 on success, -1 when the file cannot be opened in that mode.  Mode
  // modeCreate (alone or with a write mode) creates or truncates the file.
  virtual int Open(const std::filesystem::path& path, int mode);
  // Reads n lines from the position on into out[0..n-1] (past the end: empty
  // strings); advances the position by n; returns n.
  virtual int ReadLines(std::vector<std::string>& out, int n);
  // Appends n lines, each followed by CR LF, after the existing content
  // (whatever the position); advances the position by n.  Returns false when
  // the file could not be written.
  virtual bool WriteLines(const std::vector<std::string>& lines, int n);

  int Position() const { return position_; }

 private:
  std::filesystem::path path_;
  std::string name_;
  std::string directory_;
  int mode_ = modeRead;
  int lineCount_ = 0;
  int position_ = 0;
};

// Splits file bytes into lines: at LF, with one CR before the LF removed.
std::vector<std::string> SplitLines(std::string_view bytes);
// The number of lines SplitLines finds, without making them.
size_t CountLines(std::string_view bytes);

}  // namespace tellurio
