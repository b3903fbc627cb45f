#include "storage/ListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/Codec1252.h"
#include "storage/CTextFile.h"
#include "storage/detail/Memory.h"

namespace tellurio {

namespace fs = std::filesystem;

detail::RenameFunction detail::renameFile = &::rename;

Status ReadFileBytes(const fs::path& path, std::string& out, size_t maxBytes) {
  out.clear();
  int fd = -1;
  size_t length = 0;
  Status opened = detail::OpenRegularFile(path, maxBytes, fd, length);
  if (!opened.ok()) return opened;
  out.resize(length);
  size_t got = 0;
  for (;;) {
    if (got == out.size()) {  // the file may have grown
      if (got > maxBytes) {
        ::close(fd);
        out.clear();
        return Status::Error(Status::Code::TooLarge, path.string(), "Die Datei wuchs beim Lesen über jedes Maß");
      }
      out.resize(out.size() + 65536);
    }
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

Status OpenDataFile(const fs::path& path, int& fd, size_t maxBytes) {
  size_t size = 0;
  return detail::OpenRegularFile(path, maxBytes, fd, size);
}

std::string TemporaryFilePrefix(const fs::path& target) {
  return "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-";
}

namespace {

// Writes bytes to a new temporary file beside path and flushes it; tmp
// receives its name.  The file keeps the permissions of the file it will
// replace.
Status WriteTemporary(const fs::path& path, std::string_view bytes, std::string& tmp) {
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  tmp = (dir / (TemporaryFilePrefix(path) + "XXXXXX")).string();
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    const int e = errno;
    tmp.clear();
    return Status::FromErrno(e, path.string());
  }
  auto fail = [&](int e) {
    ::close(fd);
    ::unlink(tmp.c_str());
    tmp.clear();
    return Status::FromErrno(e, path.string());
  };
  // A failure leaves the temporary file's own permissions (owner read and
  // write), which loses nothing.
  struct stat old {};
  (void)::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
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
    ::unlink(tmp.c_str());
    tmp.clear();
    return Status::FromErrno(e, path.string());
  }
  return Status::Ok();
}

// Makes the renames in a directory durable; a directory that cannot be
// synced still holds the complete new files, so a failure is not reported.
void SyncDirectory(const fs::path& path) {
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
}

// What a target held before it was replaced, so that it can get it back.
struct OldContent {
  bool existed = false;
  std::string link;   // a hard link to the old file, or empty
  std::string bytes;  // the old bytes, when no link could be made
};

unsigned NextSerial() {
  static std::atomic<unsigned> serial{0};
  return serial.fetch_add(1);
}

Status KeepOld(const fs::path& path, OldContent& old) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return Status::Ok();
    return Status::FromErrno(errno, path.string());
  }
  old.existed = true;
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = (dir / (TemporaryFilePrefix(path) + "alt" + std::to_string(NextSerial()))).string();
    if (::link(path.c_str(), name.c_str()) == 0) {
      old.link = name;
      return Status::Ok();
    }
    if (errno != EEXIST) break;
  }
  // No hard links here (or the target is no regular file): keep the bytes.
  return ReadFileBytes(path, old.bytes);
}

// Gives the target its old content back; true when that worked.
bool Restore(const fs::path& path, OldContent& old) {
  if (!old.existed) return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  if (!old.link.empty()) {
    if (::rename(old.link.c_str(), path.c_str()) != 0) return false;
    old.link.clear();
    return true;
  }
  std::string tmp;
  if (!WriteTemporary(path, old.bytes, tmp).ok()) return false;
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace

Status ReplaceFilesTogether(const std::vector<FileReplacement>& files) {
  std::vector<std::string> tmps(files.size());
  auto discard = [&] {
    for (const std::string& t : tmps)
      if (!t.empty()) ::unlink(t.c_str());
  };
  for (size_t i = 0; i < files.size(); ++i) {
    Status s = WriteTemporary(files[i].path, files[i].bytes, tmps[i]);
    if (!s.ok()) {
      discard();
      return s;
    }
  }
  // One file needs no way back: its rename either happens or not.
  std::vector<OldContent> old(files.size());
  if (files.size() > 1) {
    for (size_t i = 0; i < files.size(); ++i) {
      Status s = KeepOld(files[i].path, old[i]);
      if (!s.ok()) {
        discard();
        for (const OldContent& o : old)
          if (!o.link.empty()) ::unlink(o.link.c_str());
        return s;
      }
    }
  }
  Status result;
  size_t renamed = 0;
  for (; renamed < files.size(); ++renamed) {
    if (detail::renameFile(tmps[renamed].c_str(), files[renamed].path.c_str()) != 0) {
      result = Status::FromErrno(errno, files[renamed].path.string());
      break;
    }
    tmps[renamed].clear();
  }
  if (!result.ok()) {
    discard();
    for (size_t i = 0; i < renamed; ++i) {
      if (!Restore(files[i].path, old[i]))
        result = Status::Error(Status::Code::IoError, files[i].path.string(),
                               "Nach einem Fehler beim Speichern von \"" + files[renamed].path.string() +
                                   "\" konnte der alte Inhalt nicht wiederhergestellt werden: " + result.message());
    }
  }
  for (const OldContent& o : old)
    if (!o.link.empty()) ::unlink(o.link.c_str());
  std::vector<fs::path> synced;
  for (const FileReplacement& f : files) {
    const fs::path dir = f.path.parent_path();
    if (std::find(synced.begin(), synced.end(), dir) != synced.end()) continue;
    synced.push_back(dir);
    SyncDirectory(f.path);
  }
  return result;
}

Status WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  std::string tmp;
  Status s = WriteTemporary(path, bytes, tmp);
  if (!s.ok()) return s;
  if (detail::renameFile(tmp.c_str(), path.c_str()) != 0) {
    const int e = errno;
    ::unlink(tmp.c_str());
    return Status::FromErrno(e, path.string());
  }
  SyncDirectory(path);
  return Status::Ok();
}

Status ReadListFile(const fs::path& path, std::vector<std::string>& out) {
  out.clear();
  std::string bytes;
  Status s = ReadFileBytes(path, bytes);
  if (s.code() == Status::Code::NotFound) {
    // A missing list file is created empty and reads as no strings.  O_EXCL:
    // a dangling symbolic link is not followed to create a file elsewhere.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return Status::FromErrno(errno, path.string());
    ::close(fd);
    return Status::Ok();
  }
  if (!s.ok()) return s;
  out = DecodeListBytes(bytes);
  return Status::Ok();
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
