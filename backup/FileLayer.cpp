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

void ByteBuffer::Resize(size_t n) {
  if (n > capacity_) {
    // Grow in large steps so that a run of growing files reallocates rarely.
    size_t cap = capacity_ ? capacity_ : 1 << 16;
    while (cap < n) cap *= 2;
    std::unique_ptr<char[]> grown(new char[cap]);
    if (size_) std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
    capacity_ = cap;
  }
  size_ = n;
}

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

Status PosixFileLayer::ReadFile(const fs::path& path, ByteBuffer& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileFailure(FileOp::Read, errno, path);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int e = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return FileFailure(FileOp::Read, e, path);
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // a hint only; its failure changes nothing
  out.Resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (got == out.size()) out.Resize(out.size() + (1 << 16));  // the file may have grown
    const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      return FileFailure(FileOp::Read, e, path);
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  out.Resize(got);
  ::close(fd);
  return Status::Ok();
}

Status PosixFileLayer::WriteNewFile(const fs::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return FileFailure(FileOp::Write, errno, path);
  auto fail = [&](int e) {
    ::close(fd);
    ::unlink(path.c_str());  // best effort: on a vanished drive nothing is left to remove
    return FileFailure(FileOp::Write, e, path);
  };
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(w);
  }
  // Errors of the device (a full stick, a pulled cable) often show only here.
  if (::fdatasync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int e = errno;
    ::unlink(path.c_str());
    return FileFailure(FileOp::Write, e, path);
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
