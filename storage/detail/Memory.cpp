#include "storage/detail/Memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

namespace tellurio::detail {

namespace {
constexpr size_t kMapThreshold = size_t(1) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

Status TooLarge(const std::filesystem::path& path, size_t maxBytes) {
  return Status::Error(
      Status::Code::TooLarge, path.string(),
      "Die Datei ist größer als " + std::to_string(maxBytes >> 20) + " MB und kann keine Datei des Programms sein");
}
}  // namespace

Memory::Memory(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes >= kMapThreshold) {
    const size_t cap = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* p = mmap(nullptr, cap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED) {
      madvise(p, cap, MADV_HUGEPAGE);  // a hint; without huge pages it still works
      data_ = static_cast<char*>(p);
      capacity_ = cap;
      mapped_ = true;
      return;
    }
  }
  data_ = static_cast<char*>(std::malloc(bytes));
  if (!data_) throw std::bad_alloc();
  capacity_ = bytes;
}

void Memory::Shrink(size_t used) {
  if (!mapped_) return;
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t keep = std::max(page, (used + page - 1) & ~(page - 1));
  if (keep >= capacity_) return;
  if (munmap(data_ + keep, capacity_ - keep) == 0) capacity_ = keep;
}

Memory::~Memory() {
  if (!data_) return;
  if (mapped_)
    munmap(data_, capacity_);
  else
    std::free(data_);
}

Status OpenRegularFile(const std::filesystem::path& path, size_t maxBytes, int& fd, size_t& size) {
  size = 0;
  // O_NONBLOCK: opening a pipe without a writer must not wait for one.  It
  // does not change how a regular file is read.
  fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Status::FromErrno(errno, path.string());
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    fd = -1;
    return Status::FromErrno(e, path.string());
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    fd = -1;
    if (S_ISDIR(st.st_mode)) return Status::FromErrno(EISDIR, path.string());
    return Status::Error(Status::Code::NotRegular, path.string(),
                         "Das ist keine gewöhnliche Datei, sondern eine Pipe, ein Gerät oder Ähnliches");
  }
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
    ::close(fd);
    fd = -1;
    return TooLarge(path, maxBytes);
  }
  size = static_cast<size_t>(st.st_size);
  return Status::Ok();
}

Status ReadWholeFile(const std::filesystem::path& path, Memory& out, size_t& size, size_t maxBytes) {
  size = 0;
  int fd = -1;
  size_t length = 0;
  Status opened = OpenRegularFile(path, maxBytes, fd, length);
  if (!opened.ok()) return opened;
  out = Memory(length + 1);
  for (;;) {
    if (size == out.capacity()) {  // the file grew while being read
      if (size > maxBytes) {
        ::close(fd);
        size = 0;
        return TooLarge(path, maxBytes);
      }
      Memory bigger(out.capacity() * 2);
      std::copy(out.data(), out.data() + size, bigger.data());
      out = std::move(bigger);
    }
    const ssize_t r = ::read(fd, out.data() + size, out.capacity() - size);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      size = 0;
      return Status::FromErrno(e, path.string());
    }
    if (r == 0) break;
    size += static_cast<size_t>(r);
  }
  ::close(fd);
  if (size > maxBytes) {
    size = 0;
    return TooLarge(path, maxBytes);
  }
  return Status::Ok();
}

void FileBytes::Release(size_t from, size_t to) {
  if (!mapped_ || to > size_) return;
  // Whole huge pages: the file's pages may be mapped 2 MB at a time, and
  // giving back part of such a mapping splits it first, which costs the
  // other processors a flush of their address caches each time.  The
  // ranges of one reader follow each other, so rounding both ends down
  // gives back everything but the last part; what lies before `from` in
  // that page is another reader's, and given back early it is only read
  // from the file again.
  // Never below the mapping's start (where it is not at a huge page).
  const uintptr_t page = static_cast<uintptr_t>(kHugePage);
  const uintptr_t start = reinterpret_cast<uintptr_t>(data_);
  const uintptr_t a = std::max((start + from) & ~(page - 1), start);
  const uintptr_t b = (start + to) & ~(page - 1);
  // The pages are the file's: read again, they come back as they were.
  if (b > a) madvise(reinterpret_cast<void*>(a), b - a, MADV_DONTNEED);
}

FileBytes::~FileBytes() {
  if (mapped_) munmap(mapped_, size_);
}

Status FileBytes::Read(const std::filesystem::path& path, size_t maxBytes) {
  int fd = -1;
  size_t length = 0;
  Status opened = OpenRegularFile(path, maxBytes, fd, length);
  if (!opened.ok()) return opened;
  if (length >= kMapThreshold) {
    // The program replaces files by renaming new ones over them, never by
    // rewriting them in place, so a mapped file does not change under us.
    // Not populated: the decoder reads it once, front to back, and lets the
    // pages it is done with go (Release), so that the whole file is never
    // resident beside what is decoded from it.
    void* p = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p != MAP_FAILED) {
      ::close(fd);
      mapped_ = p;
      data_ = static_cast<const char*>(p);
      size_ = length;
      return Status::Ok();
    }
  }
  ::close(fd);
  Status s = ReadWholeFile(path, buffer_, size_, maxBytes);
  data_ = buffer_.data();
  return s;
}

}  // namespace tellurio::detail
