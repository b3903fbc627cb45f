#include "storage/detail/Memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace tellurio::detail {

namespace {
constexpr size_t kMapThreshold = size_t(1) << 20;
constexpr size_t kHugePage = size_t(2) << 20;
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

Memory::~Memory() {
  if (!data_) return;
  if (mapped_)
    munmap(data_, capacity_);
  else
    std::free(data_);
}

}  // namespace tellurio::detail
