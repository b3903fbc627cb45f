#include "backup/FileLayer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/ErrorText.h"

namespace tellurio::backup {

Status FileFailure(FileOp op, int err, const fs::path& path) {
  std::string reason;
  switch (err) {
    case EACCES:
    case EPERM:
      reason = op == FileOp::Read || op == FileOp::List ? "Keine Leseberechtigung" : "Keine Schreibberechtigung";
      break;
    case EROFS:
      reason = "Das Laufwerk ist schreibgeschützt";
      break;
    case ENOSPC:
    case EDQUOT:
      reason = "Das Laufwerk ist voll";
      break;
    case ENODEV:
    case ENXIO:
    case ESTALE:
    case ENOTCONN:
    case ENOMEDIUM:
    case EHOSTDOWN:
    case EHOSTUNREACH:
      reason = "Das Laufwerk ist nicht mehr erreichbar";
      break;
    case EIO:
      reason = "Ein-/Ausgabefehler: Das Laufwerk ist beschädigt oder nicht mehr angeschlossen";
      break;
    case ENOENT:
      reason = "Die Datei oder das Verzeichnis ist nicht mehr vorhanden";
      break;
    case EBADMSG:
      reason = "Die geschriebenen Daten lesen sich anders zurück: Das Laufwerk speichert nicht zuverlässig";
      break;
    default:
      reason = GermanErrorText(err);
  }
  return Status::Error(err == ENOENT ? Status::Code::NotFound : Status::Code::IoError, path.string(), reason);
}

EntryKind PosixFileLayer::Kind(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? EntryKind::Missing : EntryKind::Inaccessible;
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  if (S_ISDIR(st.st_mode)) return EntryKind::Directory;
  return EntryKind::Other;
}

Status PosixFileLayer::ListFiles(const fs::path& dir, std::vector<std::string>& names) {
  names.clear();
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return FileFailure(FileOp::List, errno, dir);
  DIR* d = ::fdopendir(dfd);
  if (!d) {
    const int e = errno;
    ::close(dfd);
    return FileFailure(FileOp::List, e, dir);
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(d);
    if (!entry) {
      const int e = errno;
      ::closedir(d);
      if (e != 0) {
        names.clear();
        return FileFailure(FileOp::List, e, dir);
      }
      return Status::Ok();
    }
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_UNKNOWN) {
      // Some file systems do not fill in the type.
      struct stat st {};
      regular = ::fstatat(::dirfd(d), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) names.emplace_back(name);
  }
}

namespace {

constexpr size_t kPiece = size_t{1} << 20;

// Reads up to n bytes, fewer only at the end of the file; -1 with errno set
// on failure.
ssize_t ReadFully(int fd, char* buffer, size_t n) {
  size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd, buffer + got, n - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<ssize_t>(got);
}

bool WriteFully(int fd, const char* data, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t w = ::write(fd, data + done, n - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  return true;
}

// A file descriptor that is closed when it goes out of scope (read-only
// files: closing them cannot lose data).
struct ReadFd {
  int fd = -1;
  explicit ReadFd(const fs::path& p) : fd(::open(p.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadFd() {
    if (fd >= 0) ::close(fd);
  }
  ReadFd(const ReadFd&) = delete;
  ReadFd& operator=(const ReadFd&) = delete;
};

}  // namespace

PosixFileLayer::PosixFileLayer(PieceHook afterWrite)
    : afterWrite_(std::move(afterWrite)), piece_(new char[kPiece]), readBack_(new char[kPiece]) {}

Status PosixFileLayer::CopyNewFile(const fs::path& from, const fs::path& to) {
  const ReadFd in(from);
  if (in.fd < 0) return FileFailure(FileOp::Read, errno, from);
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return FileFailure(FileOp::Read, errno, from);
  if (S_ISDIR(st.st_mode)) return FileFailure(FileOp::Read, EISDIR, from);
  ::posix_fadvise(in.fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // a hint only; its failure changes nothing
  const int out = ::open(to.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) return FileFailure(FileOp::Write, errno, to);
  auto fail = [&](FileOp op, int e) {
    ::close(out);
    ::unlink(to.c_str());  // best effort: on a vanished drive nothing is left to remove
    return FileFailure(op, e, op == FileOp::Read ? from : to);
  };
  // Each piece is read back while it is still in the cache, which costs far
  // less than reading both files again afterwards.  What comes back is what
  // the file system holds; fdatasync below hands it to the device.
  std::uint64_t offset = 0;
  for (;;) {
    const ssize_t n = ReadFully(in.fd, piece_.get(), kPiece);
    if (n < 0) return fail(FileOp::Read, errno);
    if (n == 0) break;
    const size_t length = static_cast<size_t>(n);
    if (!WriteFully(out, piece_.get(), length)) return fail(FileOp::Write, errno);
    if (afterWrite_) afterWrite_(out, offset, length);
    size_t got = 0;
    while (got < length) {
      const ssize_t r = ::pread(out, readBack_.get() + got, length - got, static_cast<off_t>(offset + got));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return fail(FileOp::Write, errno);
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    if (got != length || std::memcmp(piece_.get(), readBack_.get(), length) != 0) return fail(FileOp::Write, EBADMSG);
    offset += length;
  }
  // Errors of the device (a full stick, a pulled cable) often show only here.
  if (::fdatasync(out) != 0) return fail(FileOp::Write, errno);
  if (::close(out) != 0) {
    const int e = errno;
    ::unlink(to.c_str());
    return FileFailure(FileOp::Write, e, to);
  }
  return Status::Ok();
}

Status PosixFileLayer::MakeDirectory(const fs::path& path) {
  if (::mkdir(path.c_str(), 0755) != 0) return FileFailure(FileOp::CreateDirectory, errno, path);
  return Status::Ok();
}

Status PosixFileLayer::Rename(const fs::path& from, const fs::path& to) {
  struct stat st {};
  if (::lstat(from.c_str(), &st) != 0) return FileFailure(FileOp::Rename, errno, from);
  // rename() would replace an empty directory at `to`; a generation
  // directory is never put in the place of another one.
  struct stat target {};
  if (S_ISDIR(st.st_mode) && ::lstat(to.c_str(), &target) == 0) return FileFailure(FileOp::Rename, EEXIST, to);
  if (::rename(from.c_str(), to.c_str()) != 0) return FileFailure(FileOp::Rename, errno, from);
  return Status::Ok();
}

Status PosixFileLayer::RemoveFile(const fs::path& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return FileFailure(FileOp::Remove, errno, path);
  return Status::Ok();
}

Status PosixFileLayer::RemoveTree(const fs::path& path) {
  std::error_code ec;
  fs::remove_all(path, ec);  // removes symbolic links as links
  if (ec && ec.value() != ENOENT) return FileFailure(FileOp::Remove, ec.value(), path);
  return Status::Ok();
}

Status PosixFileLayer::SyncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FileFailure(FileOp::Sync, errno, dir);
  const int r = ::fsync(fd);
  const int e = errno;
  ::close(fd);
  // Some file systems cannot sync a directory (EINVAL); their entries are
  // written with the files.
  if (r != 0 && e != EINVAL) return FileFailure(FileOp::Sync, e, dir);
  return Status::Ok();
}

}  // namespace tellurio::backup
