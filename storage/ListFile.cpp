#include "storage/ListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Codec1252.h"
#include "storage/CTextFile.h"

namespace tellurio {

namespace fs = std::filesystem;

Status ReadFileBytes(const fs::path& path, std::string& out) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Status::FromErrno(errno, path.string());
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    return Status::FromErrno(e, path.string());
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Status::FromErrno(EISDIR, path.string());
  }
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (got == out.size()) out.resize(out.size() + 65536);  // the file may have grown
    const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      out.clear();
      return Status::FromErrno(e, path.string());
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  out.resize(got);
  ::close(fd);
  return Status::Ok();
}

Status WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string tmpl = (dir / ("." + path.filename().string() + ".tmp-XXXXXX")).string();
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return Status::FromErrno(errno, path.string());
  auto fail = [&](int e) {
    ::close(fd);
    ::unlink(tmpl.c_str());
    return Status::FromErrno(e, path.string());
  };
  struct stat old {};
  ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(w);
  }
  if (::fdatasync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int e = errno;
    ::unlink(tmpl.c_str());
    return Status::FromErrno(e, path.string());
  }
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    const int e = errno;
    ::unlink(tmpl.c_str());
    return Status::FromErrno(e, path.string());
  }
  // Make the rename itself durable; a directory that cannot be synced still
  // holds the complete new file, so a failure here is not reported.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return Status::Ok();
}

int ReadListFile(const fs::path& path, std::vector<std::string>& out, Status* status) {
  out.clear();
  if (status) *status = Status::Ok();
  std::string bytes;
  Status s = ReadFileBytes(path, bytes);
  if (s.code() == Status::Code::NotFound) {
    // A missing list file is created empty and reads as no strings.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
    } else if (status) {
      *status = Status::FromErrno(errno, path.string());
    }
    return 0;
  }
  if (!s.ok()) {
    if (status) *status = s;
    return 0;
  }
  out = DecodeListBytes(bytes);
  return static_cast<int>(out.size());
}

Status WriteListFile(const fs::path& path, const std::vector<std::string>& lines, int n) {
  const size_t count = n < 0 ? lines.size() : std::min(lines.size(), static_cast<size_t>(n));
  std::string bytes;
  if (!EncodeListBytes(lines, count, bytes))
    return Status::Error(Status::Code::Unrepresentable, path.string(),
                         "Der erste Eintrag darf nicht mit \"%\" oder \"(\" beginnen.");
  return WriteFileAtomically(path, bytes);
}

Status ReadTextLines(const fs::path& path, std::vector<std::string>& out) {
  out.clear();
  std::string bytes;
  Status s = ReadFileBytes(path, bytes);
  if (!s.ok()) return s;
  for (const std::string& line : SplitLines(bytes)) out.push_back(Utf8FromCp1252(line));
  return Status::Ok();
}

}  // namespace tellurio
