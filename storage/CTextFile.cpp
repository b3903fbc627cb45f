#include "storage/CTextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/ErrorText.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

FileException::FileException(std::string path, int e)
    : std::runtime_error("Die Datei \"" + path + "\" kann nicht geöffnet werden: " + GermanErrorText(e)),
      path_(std::move(path)),
      errno_(e) {}

size_t CountLines(std::string_view bytes) {
  size_t n = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  if (!bytes.empty() && bytes.back() != '\n') ++n;  // a last line without a line break
  return n;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    size_t end = nl;
    if (end > start && bytes[end - 1] == '\r') --end;
    lines.emplace_back(bytes.substr(start, end - start));
    start = nl + 1;
  }
  return lines;
}

namespace {

// Whether the file can be opened in the mode; creates or truncates it for
// modeCreate.  Returns 0 or an errno value.
int Probe(const fs::path& path, int mode) {
  // O_NONBLOCK: a pipe without a writer must not block the probe.
  int flags = O_CLOEXEC | O_NONBLOCK;
  if (mode & CTextFile::modeCreate) {
    flags |= O_CREAT | O_TRUNC | ((mode & 3) == CTextFile::modeRead ? O_RDWR : O_WRONLY);
  } else if ((mode & 3) == CTextFile::modeWrite) {
    flags |= O_WRONLY;
  } else if ((mode & 3) == CTextFile::modeReadWrite) {
    flags |= O_RDWR;
  } else {
    flags |= O_RDONLY;
  }
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

}  // namespace

CTextFile::CTextFile(const fs::path& path, int mode) {
  if (Open(path, mode) != 0) throw FileException(path.string(), errno ? errno : ENOENT);
}

std::string CTextFile::GetFileName() const { return name_; }
std::string CTextFile::GetFilePath() const { return directory_; }
void CTextFile::SetFilePath(const fs::path& path) {
  path_ = path;
  name_ = path.string();
}

int CTextFile::Open(const fs::path& path, int mode) {
  const int e = Probe(path, mode);
  if (e != 0) {
    errno = e;
    return -1;
  }
  path_ = path;
  name_ = path.string();
  std::error_code ec;
  const fs::path abs = fs::absolute(path, ec);
  directory_ = (ec ? path : abs).parent_path().string() + "/";
  mode_ = mode;
  std::string bytes;
  lineCount_ = ReadFileBytes(path, bytes).ok() ? static_cast<int>(CountLines(bytes)) : 0;
  position_ = 0;
  return 0;
}

int CTextFile::Seek(int offset, int origin) {
  switch (origin) {
    case 0:
      if (offset < 0 || offset > lineCount_) return -1;
      position_ = offset;
      return offset;
    case 1: {
      const long long p = static_cast<long long>(position_) + offset;
      if (p < 0 || p > lineCount_) return -1;
      position_ = static_cast<int>(p);
      return position_;
    }
    case 2: {
      const long long p = static_cast<long long>(lineCount_) - offset;
      if (p < 0 || p > lineCount_) return -1;
      position_ = static_cast<int>(p);
      return position_;
    }
    default:
      return 0;
  }
}

int CTextFile::GetLength() const { return lineCount_; }

void CTextFile::Close() {
  lineCount_ = 0;
  position_ = 0;
}

int CTextFile::ReadLines(std::vector<std::string>& out, int n) {
  if (n < 0) n = 0;
  out.assign(static_cast<size_t>(n), std::string());
  std::string bytes;
  if (ReadFileBytes(path_, bytes).ok()) {
    const std::vector<std::string> lines = SplitLines(bytes);
    for (int i = 0; i < n; ++i) {
      const size_t at = static_cast<size_t>(position_) + static_cast<size_t>(i);
      if (at < lines.size()) out[static_cast<size_t>(i)] = lines[at];
    }
  }
  position_ += n;
  return n;
}

bool CTextFile::WriteLines(const std::vector<std::string>& lines, int n) {
  if (n < 0) n = 0;
  const size_t count = std::min(lines.size(), static_cast<size_t>(n));
  std::string bytes;
  for (size_t i = 0; i < count; ++i) {
    bytes += lines[i];
    bytes += "\r\n";
  }
  bool ok = false;
  // O_NONBLOCK: a pipe without a reader fails at once instead of blocking.
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    size_t done = 0;
    ok = true;
    while (done < bytes.size()) {
      const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      done += static_cast<size_t>(w);
    }
    ::close(fd);
  }
  lineCount_ = std::max(lineCount_, position_ + static_cast<int>(count));
  position_ += static_cast<int>(count);
  return ok;
}

}  // namespace tellurio
