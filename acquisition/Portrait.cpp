#include "acquisition/Portrait.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <thread>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "calendar/NumberText.h"
#include "platform/Codec1252.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A portrait file that is a pipe or a device is not waited on: only a
// regular file is read.
File OpenForReading(const fs::path& path, Status* status) {
  int fd = -1;
  const Status opened = OpenDataFile(path, fd);
  if (!opened.ok()) {
    if (status)
      *status = opened.code() == Status::Code::NotFound
                    ? Status::Error(Status::Code::NotFound, path.string(), "Die Datei existiert nicht.")
                    : opened;
    return nullptr;
  }
  File f(::fdopen(fd, "rb"));
  if (!f) {
    const int e = errno;
    ::close(fd);
    if (status) *status = Status::FromErrno(e, path.string());
  }
  return f;
}

// The distinct byte patterns of the texts and, per pattern, the texts that
// have it.
struct Patterns {
  std::unordered_map<std::string, std::vector<size_t>> users;
  std::unordered_map<std::string_view, size_t> id;  // views into `users` keys
  std::vector<const std::vector<size_t>*> usersById;
  std::vector<size_t> lengths;  // distinct, ascending
  bool inPattern[256] = {};
  size_t maxLength = 0;
  size_t minLength = 0;
};

void BuildPatterns(const std::vector<std::string>& texts, Patterns& p) {
  for (size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].empty()) continue;
    std::string bytes = Cp1252FromUtf8(texts[i]);
    // A text with a line break can never stand within one line.
    if (bytes.find_first_of("\r\n") != std::string::npos) continue;
    p.users[std::move(bytes)].push_back(i);
  }
  for (auto& [bytes, users] : p.users) {
    p.id.emplace(std::string_view(bytes), p.usersById.size());
    p.usersById.push_back(&users);
    for (unsigned char c : bytes) p.inPattern[c] = true;
    if (std::find(p.lengths.begin(), p.lengths.end(), bytes.size()) == p.lengths.end())
      p.lengths.push_back(bytes.size());
  }
  std::sort(p.lengths.begin(), p.lengths.end());
  if (!p.lengths.empty()) {
    p.minLength = p.lengths.front();
    p.maxLength = p.lengths.back();
  }
}

}  // namespace

namespace {

// The number of line feeds in b[from, to).
long CountLineFeeds(const unsigned char* b, size_t from, size_t to) {
  long n = 0;
  size_t i = from;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i one = _mm_set1_epi8(1);
  while (i + 16 <= to) {
    // Up to 255 blocks add their 0/1 bytes before the sums are taken.
    __m128i acc = _mm_setzero_si128();
    const size_t stop = std::min(to - 15, i + 255 * 16);
    for (; i < stop; i += 16)
      acc = _mm_add_epi8(
          acc, _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)), lf), one));
    const __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
    n += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
  }
#endif
  for (; i < to; ++i) n += b[i] == '\n';
  return n;
}

}  // namespace

namespace {

// What the scan of one range of the file found.
struct RangeScan {
  std::vector<long> first;  // per pattern: the line (from the range's start) of its first occurrence, or -1
  size_t found = 0;
  long lines = 0;         // line feeds in the range (up to where the scan stopped)
  bool lineOpen = false;  // bytes read since the last line feed
  bool read = false;      // any byte read
  Status status;
};

// Scans the bytes of fd from `from` up to `to` (or the end of the file)
// for the patterns, in blocks of blockBytes, until every pattern is found
// unless all lines are to be counted.
//
// An occurrence of a pattern is a run of bytes that all occur in some
// pattern, at least minLength long, so it covers one of every minLength
// positions: only those are looked at, and only around those that hold
// such a byte is the run found and every substring of it ending there
// looked up.  Lines are counted up to each find and at each block's end.
// The tail of a run at the end of a block is carried into the next, so a
// pattern split by a block boundary is found as well.  One buffer for the
// range, not zero-filled: every byte looked at was read into it first.
RangeScan ScanRange(int fd, const std::string& name, off_t from, off_t to, const Patterns& p, size_t blockBytes,
                    bool countAll) {
  const size_t wanted = p.usersById.size();
  RangeScan out;
  out.first.assign(wanted, -1);
  const size_t capacity = std::max<size_t>(p.maxLength, 1) + blockBytes;
  const std::unique_ptr<char[]> storage(new char[capacity]);
  char* const buffer = storage.get();
  long line = 0;  // line feeds before `counted`
  size_t carry = 0;
  off_t at = from;
  const size_t step = std::max<size_t>(p.minLength, 1);
  for (;;) {
    if (wanted > 0 && out.found == wanted && !countAll) break;
    const size_t ask =
        to < 0 ? blockBytes : static_cast<size_t>(std::min<off_t>(to - at, static_cast<off_t>(blockBytes)));
    if (ask == 0) break;
    const ssize_t got = ::pread(fd, buffer + carry, ask, at);
    if (got < 0) {
      if (errno == EINTR) continue;
      out.status = Status::FromErrno(EIO, name);
      break;
    }
    if (got == 0) break;
    at += got;
    out.read = true;
    const size_t end = carry + static_cast<size_t>(got);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(buffer);
    size_t counted = carry;  // the carried bytes hold no line feed
    size_t runEnd = 0;       // runs end before this were looked at
    if (out.found < wanted) {
      for (size_t i = carry > 0 ? 0 : step - 1; i < end; i += step) {
        if (i < runEnd || !p.inPattern[b[i]]) continue;
        size_t l = i;
        while (l > runEnd && p.inPattern[b[l - 1]]) --l;
        size_t r = i + 1;
        while (r < end && p.inPattern[b[r]]) ++r;
        runEnd = r;
        if (r - l < p.minLength) continue;
        for (size_t q = l + p.minLength - 1; q < r; ++q) {
          for (size_t length : p.lengths) {
            if (length > q + 1 - l) break;
            auto it = p.id.find(std::string_view(buffer + q + 1 - length, length));
            if (it == p.id.end() || out.first[it->second] >= 0) continue;
            ++out.found;
            line += CountLineFeeds(b, counted, q);
            counted = q;
            out.first[it->second] = line;
          }
        }
      }
    }
    line += CountLineFeeds(b, counted, end);
    out.lineOpen = b[end - 1] != '\n';
    // Keep what a pattern ending in the next block may start with: the
    // block's last bytes when they all occur in patterns.
    size_t tail = 0;
    while (tail < end && tail + 1 < std::max<size_t>(p.maxLength, 1) && p.inPattern[b[end - 1 - tail]]) ++tail;
    carry = tail;
    if (carry > 0) std::memmove(buffer, buffer + end - carry, carry);
  }
  out.lines = line;
  return out;
}

// Where a file of `size` bytes is cut for two scans at once: after the
// first line feed from its middle on (no pattern holds one, so none is
// cut); 0 (no cut) for a file of fewer than four blocks or without such a
// line feed within a block.
off_t SplitPoint(int fd, off_t size, size_t blockBytes) {
  if (size < static_cast<off_t>(4 * blockBytes)) return 0;
  std::vector<char> look(blockBytes);
  const off_t mid = size / 2;
  for (;;) {
    const ssize_t got = ::pread(fd, look.data(), look.size(), mid);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return 0;
    const void* lf = std::memchr(look.data(), '\n', static_cast<size_t>(got));
    return lf ? mid + (static_cast<const char*>(lf) - look.data()) + 1 : 0;
  }
}

}  // namespace

std::vector<long> FirstLinesContaining(const fs::path& file, const std::vector<std::string>& texts, Status* status,
                                       size_t blockBytes, long* lineCount) {
  if (status) *status = Status::Ok();
  if (lineCount) *lineCount = 0;
  std::vector<long> first(texts.size(), -1);
  File f = OpenForReading(file, status);
  if (!f) return first;
  Patterns p;
  BuildPatterns(texts, p);
  const size_t wanted = p.usersById.size();
  if (wanted == 0 && !lineCount) return first;
  blockBytes = std::max(blockBytes, size_t{1});
  const int fd = ::fileno(f.get());
  struct stat st {};
  const off_t size = ::fstat(fd, &st) == 0 ? st.st_size : 0;

  // A large file is scanned in two halves at once.  The first half's finds
  // come first; the second half's count after all lines of the first.
  const off_t split = SplitPoint(fd, size, blockBytes);
  RangeScan a, b;
  if (split > 0) {
    std::thread second([&] { b = ScanRange(fd, file.string(), split, -1, p, blockBytes, lineCount != nullptr); });
    // The first half is read to its end unless it holds every pattern: the
    // second half's lines are counted on from it.
    a = ScanRange(fd, file.string(), 0, split, p, blockBytes, lineCount != nullptr);
    second.join();
  } else {
    a = ScanRange(fd, file.string(), 0, -1, p, blockBytes, lineCount != nullptr);
  }
  const Status& failed = !a.status.ok() ? a.status : b.status;
  if (!failed.ok() && status) *status = failed;
  for (size_t id = 0; id < wanted; ++id) {
    long line = a.first[id];
    if (line < 0 && split > 0 && b.first[id] >= 0) line = a.lines + b.first[id];
    if (line < 0) continue;
    for (size_t user : *p.usersById[id]) first[user] = line;
  }
  if (lineCount) {
    const bool open = split > 0 && b.read ? b.lineOpen : a.lineOpen;
    *lineCount = a.lines + (split > 0 ? b.lines : 0) + (open ? 1 : 0);
  }
  return first;
}

PortraitIndex IndexPortraits(const std::vector<PortraitFund>& funds, const fs::path& file, Status* status,
                             size_t blockBytes) {
  // The WKN of a fund is the one of the first fund of that name.
  std::unordered_map<std::string, size_t> firstOfName;
  std::vector<std::string> wkns;
  std::vector<size_t> textOf(funds.size());
  for (size_t k = 0; k < funds.size(); ++k) {
    auto [it, fresh] = firstOfName.emplace(funds[k].name, wkns.size());
    if (fresh) wkns.push_back(funds[k].wkn);
    textOf[k] = it->second;
  }
  const std::vector<long> lines = FirstLinesContaining(file, wkns, status, blockBytes);
  PortraitIndex index;
  for (size_t k = 0; k < funds.size(); ++k) {
    const long w = lines[textOf[k]];
    if (w < 0) continue;
    index.push_back(PortraitEntry{funds[k].name, std::max(0L, w - 2)});
  }
  return index;
}

std::vector<std::string> ReadLinesFrom(const fs::path& path, long first, size_t count) {
  std::vector<std::string> out;
  File f = OpenForReading(path, nullptr);
  if (!f || count == 0) return out;
  first = std::max(0L, first);
  long line = 0;
  std::string current;
  char block[1 << 16];
  size_t got;
  bool open = false;
  while ((got = std::fread(block, 1, sizeof block, f.get())) > 0) {
    size_t i = 0;
    while (i < got) {
      const char* nl = static_cast<const char*>(std::memchr(block + i, '\n', got - i));
      const size_t stop = nl ? static_cast<size_t>(nl - block) : got;
      if (line >= first) current.append(block + i, stop - i);
      open = true;
      if (!nl) break;
      if (line >= first) {
        if (!current.empty() && current.back() == '\r') current.pop_back();
        out.push_back(Utf8FromCp1252(current));
        current.clear();
        if (out.size() == count) return out;
      }
      ++line;
      open = false;
      i = stop + 1;
    }
  }
  if (open && line >= first) {
    if (!current.empty() && current.back() == '\r') current.pop_back();
    out.push_back(Utf8FromCp1252(current));
  }
  return out;
}

namespace {

std::string Entry(const std::vector<std::string>& lines, size_t i) {
  return i < lines.size() ? lines[i] : std::string();
}

// The n values after position `at`; fewer when the lines end.
std::vector<double> Values(const std::vector<std::string>& lines, size_t& at, size_t n) {
  std::vector<double> out;
  for (size_t k = 0; k < n && at < lines.size(); ++k) out.push_back(ParseNumber(lines[at++]));
  return out;
}

bool IsCount(const std::string& s) {
  if (s.empty() || s.size() > 4) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

PortraitBlock ParsePortraitBlock(const std::vector<std::string>& lines) {
  PortraitBlock b;
  for (size_t i = 0; i < b.master.size(); ++i) b.master[i] = Entry(lines, i);
  b.strategy = Entry(lines, 11);
  for (size_t i = 0; i < 7; ++i) b.fundPerformance[i] = Entry(lines, 12 + i);
  b.comparisonName = Entry(lines, 19);
  for (size_t i = 0; i < 7; ++i) b.comparisonPerformance[i] = Entry(lines, 20 + i);
  size_t at = 27;
  for (; at < lines.size(); ++at) {
    if (lines[at].find("Wertentwicklung") != std::string::npos) break;
    b.positions.push_back(lines[at]);
  }
  if (at >= lines.size()) return b;
  PortraitCharts& c = b.charts;
  c.present = true;
  ++at;
  c.referenceName = Entry(lines, at++);
  const std::string count = Entry(lines, at++);
  if (!IsCount(count)) return b;
  const size_t n = static_cast<size_t>(std::stoi(count));
  for (size_t k = 0; k < n && at < lines.size(); ++k) c.labels.push_back(lines[at++]);
  c.fund = Values(lines, at, n);
  c.reference = Values(lines, at, n);
  if (at < lines.size() && lines[at].find("Konkurrenz") != std::string::npos) ++at;
  c.best = Values(lines, at, n);
  c.worst = Values(lines, at, n);
  // A short block gives short series; all are cut to the shortest so that
  // the charts draw matching points.
  size_t m = c.labels.size();
  for (auto* v : {&c.fund, &c.reference}) m = std::min(m, v->size());
  c.labels.resize(m);
  c.fund.resize(m);
  c.reference.resize(m);
  if (c.best.size() < m || c.worst.size() < m) {
    c.best.clear();
    c.worst.clear();
  } else {
    c.best.resize(m);
    c.worst.resize(m);
  }
  return b;
}

std::string PerformanceCell(const std::string& entry) {
  size_t a = entry.find_first_not_of(' ');
  if (a == std::string::npos) return "k.A.";
  const size_t z = entry.find_last_not_of(' ');
  const std::string text = entry.substr(a, z - a + 1);
  const char c = text[0];
  const bool number =
      (c >= '0' && c <= '9') || ((c == '-' || c == '+') && text.size() > 1 && text[1] >= '0' && text[1] <= '9');
  if (!number) return text;
  if (ParseNumber(text) == 0) return "0.00 %";
  return text + " %";
}

}  // namespace tellurio
