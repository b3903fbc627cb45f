#include "installer/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/ErrorText.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// A file descriptor closed on every path out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now; returns the errno of a failed close (data not written), or 0.
  int Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Reads exactly n bytes (fewer only at the end of the file); -1 with errno.
ssize_t ReadFully(int fd, char* buffer, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t r = ::read(fd, buffer + done, n - done);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return static_cast<ssize_t>(done);
}

bool WriteFully(int fd, const char* buffer, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t w = ::write(fd, buffer + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += static_cast<size_t>(w);
  }
  return true;
}

std::string Failure(const fs::path& source, const fs::path& target, const std::string& reason) {
  return "Die Datei " + source.string() + " konnte nicht nach " + target.string() + " kopiert werden: " + reason;
}

}  // namespace

std::vector<std::uint64_t> CopyBlocks(std::uint64_t size) {
  if (size <= 100) return {size};
  std::vector<std::uint64_t> blocks(100, size / 100);
  if (size % 100 != 0) blocks.push_back(size % 100);
  return blocks;
}

bool SameContent(const fs::path& a, const fs::path& b) {
  Fd fa(::open(a.c_str(), O_RDONLY | O_CLOEXEC));
  Fd fb(::open(b.c_str(), O_RDONLY | O_CLOEXEC));
  if (fa.get() < 0 || fb.get() < 0) return false;
  std::vector<char> ba(1 << 16), bb(1 << 16);
  for (;;) {
    const ssize_t na = ReadFully(fa.get(), ba.data(), ba.size());
    const ssize_t nb = ReadFully(fb.get(), bb.data(), bb.size());
    if (na < 0 || nb < 0 || na != nb) return false;
    if (na == 0) return true;
    if (std::memcmp(ba.data(), bb.data(), static_cast<size_t>(na)) != 0) return false;
  }
}

std::string CopyFileChecked(const fs::path& source, const fs::path& target,
                            const std::function<void(size_t, size_t)>& onBlock) {
  Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (in.get() < 0) return Failure(source, target, GermanErrorText(errno));
  struct stat st {};
  if (::fstat(in.get(), &st) != 0) return Failure(source, target, GermanErrorText(errno));
  if (!S_ISREG(st.st_mode)) return Failure(source, target, "keine gewöhnliche Datei");

  std::string tmpl = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int tmpFd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  if (tmpFd < 0) return Failure(source, target, GermanErrorText(errno));
  Fd out(tmpFd);
  const fs::path temporary = tmpl;
  auto fail = [&](int err) {
    ::unlink(temporary.c_str());
    return Failure(source, target, err ? GermanErrorText(err) : "die Kopie stimmt nicht mit dem Original überein");
  };

  const std::vector<std::uint64_t> blocks = CopyBlocks(static_cast<std::uint64_t>(st.st_size));
  std::vector<char> buffer;
  for (size_t i = 0; i < blocks.size(); ++i) {
    buffer.resize(static_cast<size_t>(blocks[i]));
    const ssize_t got = ReadFully(in.get(), buffer.data(), buffer.size());
    if (got < 0) return fail(errno);
    // A file that shrinks while it is copied is caught by the comparison.
    if (!WriteFully(out.get(), buffer.data(), static_cast<size_t>(got))) return fail(errno ? errno : EIO);
    if (onBlock) onBlock(i, blocks.size());
  }
  if (::fchmod(out.get(), st.st_mode & 07777) != 0) return fail(errno);
  if (::fsync(out.get()) != 0) return fail(errno);
  if (const int err = out.Close(); err != 0) return fail(err);
  if (!SameContent(source, temporary)) return fail(0);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  return {};
}

}  // namespace tellurio
