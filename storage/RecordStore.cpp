#include "storage/RecordStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "platform/Codec1252.h"
#include "storage/ListFile.h"
#include "storage/detail/LineTable.h"
#include "storage/detail/Memory.h"
#include "storage/detail/Scramble.h"

namespace tellurio {

namespace fs = std::filesystem;
using detail::LineTable;

namespace {

// Numbers in store lines are read leniently: the leading decimal digits, 0
// when there are none.  Saturates instead of overflowing.
uint64_t LeadingNumber(std::string_view s) {
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > (uint64_t(1) << 40)) return uint64_t(1) << 40;
  }
  return v;
}

// Today in UTC as "TT.MM.JJJJ", for the names of copies of damaged files
// when the caller gave no date.
std::string TodayUtc() {
  const std::chrono::year_month_day d{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
  char text[16];
  std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(d.day()), static_cast<unsigned>(d.month()),
                static_cast<int>(d.year()));
  return text;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

fs::path WithSuffix(const fs::path& p, const std::string& suffix) {
  fs::path out = p;
  out += suffix;
  return out;
}

// Keeps a copy of file under the new name `copy`, which must not exist: a
// hard link where the file system has them (the original is replaced by
// renaming, never rewritten, so the link keeps the old content), otherwise
// the bytes.
Status KeepCopy(const fs::path& file, const fs::path& copy) {
  if (::link(file.c_str(), copy.c_str()) == 0) return Status::Ok();
  if (errno == EEXIST) return Status::FromErrno(EEXIST, copy.string());
  std::string bytes;
  Status read = ReadFileBytes(file, bytes);
  if (!read.ok()) return read;
  const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return Status::FromErrno(errno, copy.string());
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      const int e = w < 0 ? errno : EIO;
      ::close(fd);
      ::unlink(copy.c_str());
      return Status::FromErrno(e, copy.string());
    }
    done += static_cast<size_t>(w);
  }
  if (::fdatasync(fd) != 0 || ::close(fd) != 0) {
    const int e = errno;
    ::unlink(copy.c_str());
    return Status::FromErrno(e, copy.string());
  }
  return Status::Ok();
}

}  // namespace

RecordStore::RecordStore() = default;
RecordStore::~RecordStore() = default;
RecordStore::RecordStore(RecordStore&&) noexcept = default;
RecordStore& RecordStore::operator=(RecordStore&&) noexcept = default;

fs::path RecordStore::DataPath() const {
  fs::path p = base_;
  p += ".dat";
  return p;
}

fs::path RecordStore::IndexPath() const {
  fs::path p = base_;
  p += ".idx";
  return p;
}

void RecordStore::Reset(int sectionCount, const std::vector<int>& widths) {
  sections_.assign(static_cast<size_t>(std::max(sectionCount, 0)), Section{});
  for (size_t t = 0; t < sections_.size(); ++t) sections_[t].rowWidth = t < widths.size() ? std::max(widths[t], 1) : 1;
  keys_.assign(1, "0");
  keyIndex_.clear();
  table_.reset();
  currentIndex_ = -1;
  currentKey_.clear();
  currentCleared_ = false;
  repaired_ = false;
  damage_ = 0;
  indexFailure_ = Status::Ok();
  readFailure_ = Status::Ok();
  damagedCopies_.clear();
  copiesKept_ = false;
}

Status RecordStore::Create(const fs::path& basePath, int sectionCount, const std::vector<int>& rowWidths) {
  base_ = basePath;
  Reset(sectionCount, rowWidths);
  std::error_code ec;
  if (fs::exists(DataPath(), ec)) return Status::Ok();  // an existing store is not changed
  // The files of an empty store are exactly what Save writes for it.
  std::string index;
  (void)EncodeListBytes(keys_, keys_.size(), index);  // the placeholder "0" is always storable
  return ReplaceFilesTogether({FileReplacement{DataPath(), BuildDataFile()}, FileReplacement{IndexPath(), index}});
}

void RecordStore::RebuildKeyIndex() {
  keyIndex_.clear();
  keyIndex_.reserve(keys_.size() * 2);
  const int n = RecordCount();
  for (int r = 0; r < n && r < static_cast<int>(keys_.size()); ++r) keyIndex_.emplace(keys_[r], r);
}

Status RecordStore::Open() {
  detail::FileBytes bytes;
  Status status = bytes.Read(DataPath(), kMaxDataFileBytes);
  if (!status.ok()) {
    Load({}, {});
    if (status.code() == Status::Code::NotFound) return Status::Ok();
    // The file is there but could not be read: nothing may be written over it.
    readFailure_ = status;
    return status;
  }
  std::string index;
  // A missing index is rebuilt from the master rows; one that cannot be read
  // is rebuilt as well and named in DamageDescription.
  const Status indexRead = ReadFileBytes(IndexPath(), index);
  Load(bytes.view(), index, [&bytes](size_t from, size_t to) { bytes.Release(from, to); });
  if (!indexRead.ok() && indexRead.code() != Status::Code::NotFound) {
    indexFailure_ = indexRead;
    damage_ |= kIndexUnreadable;
    repaired_ = true;
  }
  if (bytes.view().empty()) {
    damage_ |= kEmptyFile;  // even an empty store has its header
    repaired_ = true;
  }
  if (repaired_) PlanDamagedCopies();
  return Status::Ok();
}

void RecordStore::MarkUnreadable(Status why) {
  base_.clear();
  Load({}, {});
  readFailure_ = why.ok() ? Status::Error(Status::Code::Refused, "", "Der Speicher wurde nicht geöffnet.") : why;
}

std::string RecordStore::DamageDescription() const {
  std::string out;
  auto add = [&out](const std::string& sentence) {
    if (!out.empty()) out += " ";
    out += sentence;
  };
  if (damage_ & kEmptyFile) add("Die Datendatei ist leer, es fehlt sogar ihr Kopf.");
  if (damage_ & kHeaderUnreadable)
    add("Der Kopf der Datendatei ist unlesbar oder passt nicht zu dieser Art von Datei; ihr Inhalt konnte nicht "
        "gelesen werden.");
  if (damage_ & kIncomplete)
    add("Die Datendatei ist unvollständig oder ihr Inhalt passt nicht zusammen; was nicht ganz gelesen werden "
        "konnte, wurde übergangen.");
  if (damage_ & kIndexUnreadable)
    add("Die Indexdatei konnte nicht gelesen werden (" + indexFailure_.message() +
        "); die Namen der Datensätze wurden aus den Daten neu aufgebaut.");
  else if (damage_ & kIndexRebuilt)
    add("Die Indexdatei passte nicht zu den Daten; die Namen der Datensätze wurden aus den Daten neu aufgebaut.");
  return out;
}

void RecordStore::PlanDamagedCopies() {
  damagedCopies_.clear();
  const std::string date = copyDate_.empty() ? TodayUtc() : copyDate_;
  const bool index = Exists(IndexPath());
  for (int n = 1; n < 1000; ++n) {
    const std::string suffix = ".beschädigt-" + date + (n > 1 ? "-" + std::to_string(n) : std::string());
    const fs::path data = WithSuffix(DataPath(), suffix);
    const fs::path idx = WithSuffix(IndexPath(), suffix);
    if (Exists(data) || Exists(idx)) continue;
    damagedCopies_.push_back(data);
    if (index) damagedCopies_.push_back(idx);
    return;
  }
}

Status RecordStore::KeepDamagedFiles() {
  if (!repaired_ || copiesKept_) return Status::Ok();
  for (const fs::path& copy : damagedCopies_) {
    const std::string name = copy.filename().string();
    const fs::path original = copy.parent_path() / name.substr(0, name.find(".beschädigt-"));
    Status kept = KeepCopy(original, copy);
    if (kept.ok()) continue;
    // The index holds nothing the data file does not; one that cannot be
    // read (or is gone) needs no copy.
    if (original == IndexPath() && (damage_ & kIndexUnreadable || kept.code() == Status::Code::NotFound)) continue;
    return Status::Error(kept.code(), DataPath().string(),
                         "Die beschädigte Datei konnte nicht als \"" + copy.string() + "\" aufbewahrt werden (" +
                             kept.message() + "). Damit nichts verloren geht, wurde nicht gespeichert.");
  }
  copiesKept_ = true;
  return Status::Ok();
}

Status RecordStore::CheckWritable() const {
  if (readFailure_.ok()) return Status::Ok();
  return Status::Error(Status::Code::Refused, DataPath().string(),
                       "Die Datei konnte beim Öffnen nicht gelesen werden (" + readFailure_.message() +
                           "). Damit ihr Inhalt nicht verloren geht, wird sie nicht überschrieben, solange sie nicht "
                           "wieder gelesen werden kann.");
}

void RecordStore::Load(std::string_view raw, std::string_view indexBytes,
                       const std::function<void(size_t, size_t)>& decoded) {
  const int T = SectionCount();
  std::vector<int> widths;
  for (const Section& s : sections_) widths.push_back(s.rowWidth);
  Reset(T, widths);
  if (raw.size() > kMaxDataFileBytes) raw = {};

  auto table = std::make_shared<LineTable>(LineTable::Decode(raw, decoded));
  const LineTable& L = *table;
  const size_t lineCount = L.size();

  // Header: T, then (width, start) per section.  It must describe the layout
  // the store was created with; anything else is not a store of this kind.
  bool headerOk = lineCount >= static_cast<size_t>(2 * T + 1) && LeadingNumber(L.line(0)) == static_cast<uint64_t>(T);
  for (int t = 0; headerOk && t < T; ++t)
    headerOk = LeadingNumber(L.line(1 + 2 * t)) == static_cast<uint64_t>(sections_[t].rowWidth);
  if (!headerOk) {
    if (lineCount > 0) {
      repaired_ = true;
      damage_ |= kHeaderUnreadable;
    }
  } else {
    int recordCount = 0;
    // Section starts.  A one-character number whose code is a blank is
    // written as a blank and reads back empty (see below); such a start
    // follows from the section before it.
    std::vector<uint64_t> starts(static_cast<size_t>(T));
    for (int t = 0; t < T; ++t) {
      if (L.line(2 + 2 * t) != " ") {
        starts[t] = LeadingNumber(L.line(2 + 2 * t));
      } else if (t == 0) {
        starts[t] = 2 * static_cast<uint64_t>(T) + 1;
      } else {
        const uint64_t prev = starts[t - 1];
        starts[t] = prev < lineCount ? prev + LeadingNumber(L.line(prev)) + 1 : prev;
      }
    }
    for (int t = 0; t < T; ++t) {
      Section& sec = sections_[t];
      const uint64_t start = starts[t];
      uint64_t n = 0;
      if (start < lineCount) {
        n = LeadingNumber(L.line(start));
        // The format writes a one-character line whose code is a blank as a
        // blank, which reads back as an empty string: in a two-section store
        // a section of 7 lines comes back with the count " ".  The count is
        // then taken from where the next section starts (or the file ends).
        if (L.line(start) == " ") {
          const uint64_t next = t + 1 < T ? starts[t + 1] : lineCount;
          n = next > start ? next - start - 1 : 0;
        }
        const uint64_t available = lineCount - start - 1;
        if (n > available) {
          n = available;
          repaired_ = true;
          damage_ |= kIncomplete;
        }
      } else {
        repaired_ = true;
        damage_ |= kIncomplete;
      }
      const size_t base = static_cast<size_t>(start) + 1;  // first line of the section
      const uint64_t w = static_cast<uint64_t>(sec.rowWidth);
      uint64_t p = 0;
      if (t == 0) {
        const uint64_t expected = n / (w + 1);
        while (static_cast<uint64_t>(sec.records.size()) < expected) {
          const uint64_t m = LeadingNumber(L.line(base + p));
          if (m != w || p + 1 + m > n) {
            repaired_ = true;
            damage_ |= kIncomplete;
            break;
          }
          sec.records.push_back(TableRecord(base + p + 1, m));
          p += m + 1;
        }
        recordCount = static_cast<int>(sec.records.size());
      } else {
        sec.records.resize(static_cast<size_t>(recordCount));
        for (int r = 0; r < recordCount; ++r) {
          if (p >= n) {
            // The section ends early: the rest have no rows.
            repaired_ = true;
            damage_ |= kIncomplete;
            break;
          }
          uint64_t m = LeadingNumber(L.line(base + p));
          const uint64_t stored = m;
          if (p + 1 + m > n) {
            m = n - p - 1;
            repaired_ = true;
            damage_ |= kIncomplete;
          }
          if (m % w != 0) {
            m -= m % w;  // a partial row cannot be used
            repaired_ = true;
            damage_ |= kIncomplete;
          }
          sec.records[r] = TableRecord(base + p + 1, m);
          p += std::min(stored, n - p - 1) + 1;
        }
      }
      if (p < n) {
        repaired_ = true;
        damage_ |= kIncomplete;
      }
    }
    table_ = table;
  }

  // Keys: the index file, unless it disagrees with the master rows.
  std::vector<std::string> index = DecodeListBytes(indexBytes);
  const int n = RecordCount();
  bool agrees = static_cast<int>(index.size()) == n || (n == 0 && index.size() == 1 && index[0] == "0");
  for (int r = 0; agrees && r < n; ++r) agrees = index[r] == View(sections_[0], r)[0];
  if (agrees && n > 0) {
    keys_ = std::move(index);
  } else if (!agrees) {
    repaired_ = true;
    damage_ |= kIndexRebuilt;
    keys_.clear();
    for (int r = 0; r < n; ++r) keys_.emplace_back(View(sections_[0], r)[0]);
    if (keys_.empty()) keys_.assign(1, "0");
  }
  RebuildKeyIndex();
}

int RecordStore::RecordCount() const { return sections_.empty() ? 0 : static_cast<int>(sections_[0].records.size()); }

void RecordStore::GetKeys(int first, int count, std::vector<std::string>& out) const {
  out.clear();
  if (first < 0 || count <= 0) return;
  for (int i = first; i < first + count && i < static_cast<int>(keys_.size()); ++i) out.push_back(keys_[i]);
}

int RecordStore::FindKey(std::string_view key) const {
  auto it = keyIndex_.find(std::string(key));
  return it == keyIndex_.end() ? -1 : it->second;
}

RecordView RecordStore::View(const Section& s, int r) const {
  RecordView v;
  const Record& rec = s.records[static_cast<size_t>(r)];
  if (rec.edited) {
    v.own_ = &rec.own;
    v.count_ = rec.own.size();
  } else {
    v.table_ = table_.get();
    v.first_ = rec.first;
    v.count_ = rec.count;
  }
  return v;
}

RecordView RecordStore::Values(int section, int record) const {
  if (section < 0 || section >= SectionCount() || record < 0 || record >= RecordCount()) return {};
  return View(sections_[section], record);
}

int RecordStore::RowWidth(int section) const {
  return section >= 0 && section < SectionCount() ? sections_[section].rowWidth : 0;
}

const std::vector<uint32_t>& RecordStore::Offsets(int section) const {
  const Section& s = sections_[section];
  if (!s.offsetsValid) {
    s.offsets.resize(s.records.size());
    uint32_t p = 0;
    for (size_t r = 0; r < s.records.size(); ++r) {
      s.offsets[r] = p;
      p += static_cast<uint32_t>(s.records[r].size()) + 1;
    }
    s.offsetsValid = true;
  }
  return s.offsets;
}

std::vector<std::string>& RecordStore::Edit(int section, int record) {
  Section& s = sections_[section];
  Record& rec = s.records[static_cast<size_t>(record)];
  if (!rec.edited) {
    rec.own.reserve(rec.count + 2u * static_cast<size_t>(s.rowWidth));
    for (uint32_t i = 0; i < rec.count; ++i) rec.own.emplace_back(table_->line(rec.first + i));
    rec.edited = true;
  }
  s.offsetsValid = false;
  return rec.own;
}

void RecordStore::SelectIndex(int r) {
  currentIndex_ = r;
  currentCleared_ = false;
  currentKey_ = std::string(View(sections_[0], r)[0]);
}

int RecordStore::Select(std::string_view key) {
  const int r = FindKey(key);
  if (r < 0) return 0;
  SelectIndex(r);
  return 1;
}

int RecordStore::ResolveCurrent() const {
  if (currentIndex_ < 0) return -1;
  return FindKey(currentKey_);
}

int RecordStore::SelectedRecordLine(std::string_view key) {
  if (!Select(key)) return -1;
  return (RowWidth(0) + 1) * FindKey(key);
}

int RecordStore::RecordLine(int section, std::string_view key) const {
  if (section < 0 || section >= SectionCount()) return -1;
  const int r = FindKey(key);
  if (r < 0) return -1;
  return static_cast<int>(Offsets(section)[static_cast<size_t>(r)]);
}

std::string RecordStore::ReadRows(std::string& outKey, int section, int rowCount, int start,
                                  std::vector<std::string>& out) const {
  out.clear();
  outKey = kRecordNotFound;
  if (section < 0 || section >= SectionCount() || start < 0 || rowCount < -1) return outKey;
  const std::vector<uint32_t>& off = Offsets(section);
  auto it = std::lower_bound(off.begin(), off.end(), static_cast<uint32_t>(start));
  if (it == off.end() || *it != static_cast<uint32_t>(start)) return outKey;
  const int r = static_cast<int>(it - off.begin());
  const RecordView v = View(sections_[section], r);
  const size_t m = v.size();
  const size_t k = rowCount == -1 ? m : static_cast<size_t>(rowCount) * static_cast<size_t>(RowWidth(section));
  if (k > m) return outKey;
  out.reserve(k);
  for (size_t i = 0; i < k; ++i) out.emplace_back(v[i]);
  outKey = r < static_cast<int>(keys_.size()) ? keys_[static_cast<size_t>(r)] : std::string();
  return outKey;
}

void RecordStore::AddRecord(const std::vector<std::string>& values) {
  if (ReadOnly()) return;  // what could not be read is not changed either
  if (sections_.empty()) return;
  const size_t w = static_cast<size_t>(RowWidth(0));
  const bool wasEmpty = RecordCount() == 0;
  Record master;
  master.edited = true;
  master.own.assign(values.begin(), values.begin() + static_cast<long>(std::min(values.size(), w)));
  master.own.resize(w);
  const std::string key = master.own[0];
  sections_[0].records.push_back(std::move(master));
  for (size_t t = 1; t < sections_.size(); ++t) {
    Record empty;
    empty.edited = true;
    sections_[t].records.push_back(std::move(empty));
  }
  for (Section& s : sections_) s.offsetsValid = false;
  // "0" in the first key is the empty store's placeholder only while the store
  // is really empty; a first record whose key is "0" keeps it.
  if (wasEmpty && keys_.size() == 1 && keys_[0] == "0")
    keys_[0] = key;
  else
    keys_.push_back(key);
  const int r = RecordCount() - 1;
  keyIndex_.emplace(key, r);  // keeps an earlier record of the same key first
  Select(keys_.back());
}

void RecordStore::AppendRows(int section, const std::vector<std::string>& values, int rowCount) {
  if (ReadOnly()) return;  // what could not be read is not changed either
  if (section < 0 || section >= SectionCount() || rowCount <= 0) return;
  const int r = ResolveCurrent();
  if (r < 0) return;
  const size_t w = static_cast<size_t>(RowWidth(section));
  size_t take = std::min(values.size(), static_cast<size_t>(rowCount) * w);
  take -= take % w;
  std::vector<std::string>& own = Edit(section, r);
  own.insert(own.end(), values.begin(), values.begin() + static_cast<long>(take));
  Select(currentKey_);
}

void RecordStore::ReplaceRows(int section, std::vector<std::string> values) {
  if (ReadOnly()) return;  // what could not be read is not changed either
  if (section < 0 || section >= SectionCount()) return;
  const int r = ResolveCurrent();
  if (r < 0) return;
  const size_t w = static_cast<size_t>(RowWidth(section));
  values.resize(values.size() - values.size() % w);
  if (section == 0 && values.size() != w) return;  // a master record has exactly one row
  Record& rec = sections_[section].records[static_cast<size_t>(r)];
  rec.edited = true;
  rec.own = std::move(values);
  sections_[section].offsetsValid = false;
  Select(currentKey_);
}

int RecordStore::FindRow(int section, std::string_view match, int field, int& record) const {
  record = -1;
  if (section < 0 || section >= SectionCount()) return -1;
  const int r = ResolveCurrent();
  const size_t w = static_cast<size_t>(RowWidth(section));
  if (r < 0 || field < 0 || static_cast<size_t>(field) >= w) return -1;
  // The row is looked for in the current copy and changed in the record its
  // key names; the two are the same record except in a store with duplicate keys.
  const RecordView cur = View(sections_[section], currentIndex_);
  size_t k = 0;
  const size_t rows = cur.size() / w;
  while (k < rows && cur[k * w + static_cast<size_t>(field)] != match) ++k;
  if (k == rows || (k + 1) * w > sections_[section].records[static_cast<size_t>(r)].size()) return -1;
  record = r;
  return static_cast<int>(k);
}

void RecordStore::UpdateRow(int section, const std::vector<std::string>& values, std::string_view match, int field) {
  if (ReadOnly()) return;  // what could not be read is not changed either
  int r = -1;
  const int k = FindRow(section, match, field, r);
  if (k < 0) return;
  const size_t w = static_cast<size_t>(RowWidth(section));
  std::vector<std::string>& own = Edit(section, r);
  for (size_t j = 0; j < w; ++j) own[k * w + j] = j < values.size() ? values[j] : std::string();
  Select(currentKey_);
}

void RecordStore::DeleteRow(int section, std::string_view match, int field) {
  if (ReadOnly()) return;    // what could not be read is not changed either
  if (section == 0) return;  // removing the master row would break the record
  int r = -1;
  const int k = FindRow(section, match, field, r);
  if (k < 0) return;
  const long w = RowWidth(section);
  std::vector<std::string>& own = Edit(section, r);
  own.erase(own.begin() + k * w, own.begin() + (k + 1) * w);
  Select(currentKey_);
}

int RecordStore::DeleteRecord(std::string_view key, Status* status) {
  if (status) *status = Status::Ok();
  const int r = FindKey(key);
  if (r < 0) return 0;
  if (Status writable = CheckWritable(); !writable.ok()) {
    if (status) *status = writable;
    return 0;
  }
  const bool wasCurrent = currentIndex_ >= 0 && key == currentKey_;
  const std::string previous = currentKey_;
  const bool hadCurrent = currentIndex_ >= 0;
  keys_.erase(keys_.begin() + r);
  for (Section& s : sections_) {
    s.records.erase(s.records.begin() + r);
    s.offsetsValid = false;
  }
  if (keys_.empty()) keys_.assign(1, "0");
  RebuildKeyIndex();
  currentIndex_ = -1;
  Status s = Save();
  if (status) *status = s;
  if (wasCurrent) {
    if (RecordCount() > 0)
      Select(keys_[0]);
    else
      currentCleared_ = true;
  } else if (hadCurrent) {
    Select(previous);
  }
  return 1;
}

void RecordStore::DropRecords(const std::vector<bool>& drop) {
  if (ReadOnly()) return;
  const int n = RecordCount();
  const std::string previous = currentIndex_ >= 0 ? currentKey_ : std::string();
  bool any = false;
  for (Section& sec : sections_) {
    size_t w = 0;
    for (int r = 0; r < n; ++r) {
      if (static_cast<size_t>(r) < drop.size() && drop[static_cast<size_t>(r)]) continue;
      if (w != static_cast<size_t>(r)) sec.records[w] = std::move(sec.records[static_cast<size_t>(r)]);
      ++w;
    }
    any = any || w != sec.records.size();
    sec.records.resize(w);
    sec.offsetsValid = false;
  }
  if (!any) return;
  std::vector<std::string> keys;
  for (int r = 0; r < n && r < static_cast<int>(keys_.size()); ++r)
    if (static_cast<size_t>(r) >= drop.size() || !drop[static_cast<size_t>(r)]) keys.push_back(std::move(keys_[r]));
  keys_ = std::move(keys);
  if (keys_.empty()) keys_.assign(1, "0");
  RebuildKeyIndex();
  currentIndex_ = -1;
  currentCleared_ = false;
  if (!previous.empty()) Select(previous);
}

std::vector<std::string> RecordStore::Current(int section) const {
  std::vector<std::string> out;
  if (section < 0 || section >= SectionCount()) return out;
  if (currentCleared_) return out;
  if (currentIndex_ < 0) {
    out.assign(static_cast<size_t>(RowWidth(section)), std::string());
    return out;
  }
  const RecordView v = View(sections_[section], currentIndex_);
  out.push_back(std::to_string(v.size()));
  for (size_t i = 0; i < v.size(); ++i) out.emplace_back(v[i]);
  return out;
}

std::string RecordStore::BuildDataFile() const {
  const int T = SectionCount();
  std::vector<uint64_t> n(static_cast<size_t>(T));
  size_t bytes = 64;
  for (int t = 0; t < T; ++t) {
    uint64_t lines = 0;
    for (const Record& rec : sections_[t].records) lines += rec.size() + 1;
    n[t] = lines;
    bytes += static_cast<size_t>(lines) * 12;
  }
  const std::string header0 = std::to_string(T);
  const unsigned char k = detail::KeyOf(header0);
  std::string out;
  out.reserve(bytes);
  std::string conv;
  auto line = [&](std::string_view text) {
    if (!IsAscii(text)) {
      conv = Cp1252FromUtf8(text);
      text = conv;
    }
    detail::AppendEncodedLine(out, text, k, false);
    out += "\r\n";
  };
  detail::AppendEncodedLine(out, header0, k, true);
  out += "\r\n";
  uint64_t acc = 0;
  for (int t = 0; t < T; ++t) {
    line(std::to_string(sections_[t].rowWidth));
    line(std::to_string(acc + 2 * static_cast<uint64_t>(T) + 1));
    acc += n[t] + 1;
  }
  char num[24];
  for (int t = 0; t < T; ++t) {
    line(std::to_string(n[t]));
    const Section& s = sections_[t];
    for (size_t r = 0; r < s.records.size(); ++r) {
      const RecordView v = View(s, static_cast<int>(r));
      auto res = std::to_chars(num, num + sizeof num, v.size());
      line(std::string_view(num, static_cast<size_t>(res.ptr - num)));
      for (size_t i = 0; i < v.size(); ++i) line(v[i]);
    }
  }
  return out;
}

Status RecordStore::Save() { return SaveTogether({this}); }

Status RecordStore::SaveTogether(const std::vector<RecordStore*>& stores) {
  for (RecordStore* s : stores) {
    Status writable = s->CheckWritable();
    if (!writable.ok()) return writable;
    if (!IsStorableFirstString(s->keys_.empty() ? std::string_view("0") : std::string_view(s->keys_[0])))
      return Status::Error(Status::Code::Unrepresentable, s->IndexPath().string(),
                           "Der erste Schlüssel darf nicht mit \"%\" oder \"(\" beginnen.");
  }
  for (RecordStore* s : stores) {
    Status kept = s->KeepDamagedFiles();
    if (!kept.ok()) return kept;
  }
  std::vector<FileReplacement> files;
  for (RecordStore* s : stores) {
    files.push_back(FileReplacement{s->DataPath(), s->BuildDataFile()});
    FileReplacement index{s->IndexPath(), {}};
    // Cannot fail: the first key was checked above.
    (void)EncodeListBytes(s->keys_, s->keys_.size(), index.bytes);
    files.push_back(std::move(index));
  }
  return ReplaceFilesTogether(files);
}

}  // namespace tellurio
