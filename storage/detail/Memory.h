#pragma once
// Uninitialised byte buffers for whole files.  Large buffers come from an
// anonymous mapping with transparent huge pages requested, so that reading a
// store of tens of megabytes does not pay one page fault per 4 KiB (on the
// machines measured, faulting in 4 KiB pages cost more than decoding).

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <utility>

#include "storage/Status.h"

namespace tellurio::detail {

class Memory {
 public:
  Memory() = default;
  explicit Memory(size_t bytes);
  ~Memory();
  Memory(Memory&& o) noexcept { swap(o); }
  Memory& operator=(Memory&& o) noexcept {
    Memory tmp(std::move(o));
    swap(tmp);
    return *this;
  }
  Memory(const Memory&) = delete;
  Memory& operator=(const Memory&) = delete;

  // Gives back what lies beyond the first `used` bytes (of a mapped
  // buffer: the pages after them, including the rest of a huge page).
  void Shrink(size_t used);

  char* data() { return data_; }
  const char* data() const { return data_; }
  size_t capacity() const { return capacity_; }

 private:
  void swap(Memory& o) noexcept {
    std::swap(data_, o.data_);
    std::swap(capacity_, o.capacity_);
    std::swap(mapped_, o.mapped_);
  }
  char* data_ = nullptr;
  size_t capacity_ = 0;
  bool mapped_ = false;
};

// Opens a data file for reading.  Only a regular file of at most maxBytes
// is accepted: a pipe or device is refused without blocking on it
// (NotRegular), a larger file without reading it (TooLarge).  On success fd
// is open (the caller closes it) and size holds the file's length.
Status OpenRegularFile(const std::filesystem::path& path, size_t maxBytes, int& fd, size_t& size);

// Reads a whole regular file of at most maxBytes into a fresh buffer; size
// receives its length.  A file that grows beyond maxBytes while it is read
// is refused (TooLarge).
Status ReadWholeFile(const std::filesystem::path& path, Memory& out, size_t& size, size_t maxBytes);

// The bytes of a whole file for one pass over them: large files are mapped
// read-only (no copy), small ones read into a buffer.  The view is valid while
// the object lives.
class FileBytes {
 public:
  FileBytes() = default;
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  // As ReadWholeFile: a regular file of at most maxBytes.
  Status Read(const std::filesystem::path& path, size_t maxBytes);
  std::string_view view() const { return {data_, size_}; }
  // The bytes [from, to) will not be read again: a mapped file gives back
  // the memory of its whole pages there (reading them again reads the file).
  void Release(size_t from, size_t to);

 private:
  Memory buffer_;
  const char* data_ = nullptr;
  size_t size_ = 0;
  void* mapped_ = nullptr;
};

}  // namespace tellurio::detail
