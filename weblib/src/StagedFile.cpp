#include "StagedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace marabu {

namespace {

std::atomic<unsigned> serial{0};

}  // namespace

StagedFile::~StagedFile() { Discard(); }

void StagedFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

bool StagedFile::Create(const std::filesystem::path& target) {
  Discard();
  target_ = target;
  const std::string base = "." + target.filename().string() + ".laden-" + std::to_string(::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = target.parent_path() / (base + "-" + std::to_string(serial.fetch_add(1)));
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = candidate;
      return true;
    }
    if (errno != EEXIST) {
      error_ = errno;
      return false;
    }
  }
  error_ = EEXIST;
  return false;
}

bool StagedFile::Write(std::string_view bytes) {
  if (fd_ < 0) {
    if (error_ == 0) error_ = EBADF;
    return false;
  }
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool StagedFile::Commit() {
  if (fd_ < 0) {
    if (error_ == 0) error_ = EBADF;
    return false;
  }
  if (::fdatasync(fd_) != 0) {
    error_ = errno;
    return false;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    error_ = errno;
    return false;
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    error_ = errno;
    return false;
  }
  temporary_.clear();
  // The rename is made durable by syncing the directory; a failure here does
  // not undo it, so it is not reported.
  const std::filesystem::path directory =
      target_.parent_path().empty() ? std::filesystem::path(".") : target_.parent_path();
  const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

}  // namespace marabu
