#pragma once
// Paging through the lines of a table with the vertical scroll bar: the
// first line shown and how many fit on one screen.  The scroll bar's range
// is 0 .. MaxFirst(), its page step PerPage().

#include <algorithm>
#include <cstddef>

namespace tellurio {

class TablePaging {
 public:
  // lines: number of lines of the table; perPage: lines that fit (at least 1).
  void Reset(size_t lines, size_t perPage) {
    lines_ = lines;
    perPage_ = std::max<size_t>(1, perPage);
    first_ = std::min(first_, MaxFirst());
  }
  void SetPerPage(size_t perPage) { Reset(lines_, perPage); }

  size_t Lines() const { return lines_; }
  size_t PerPage() const { return perPage_; }
  size_t First() const { return first_; }
  // The last page starts here; 0 when everything fits.
  size_t MaxFirst() const { return lines_ > perPage_ ? lines_ - perPage_ : 0; }
  // Lines shown from First().
  size_t Visible() const { return std::min(perPage_, lines_ - first_); }

  // Each returns true when the first line changed.
  bool ScrollTo(long long first) {
    const long long clamped = std::clamp<long long>(first, 0, static_cast<long long>(MaxFirst()));
    const bool moved = static_cast<size_t>(clamped) != first_;
    first_ = static_cast<size_t>(clamped);
    return moved;
  }
  bool ScrollLines(long long n) { return ScrollTo(static_cast<long long>(first_) + n); }
  bool ScrollPages(long long n) { return ScrollLines(n * static_cast<long long>(perPage_)); }

 private:
  size_t lines_ = 0;
  size_t perPage_ = 1;
  size_t first_ = 0;
};

}  // namespace tellurio
