#include "storage/RecordStore.h"

#include <algorithm>
#include <charconv>
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

// Data files beyond this size are refused rather than risk 32-bit positions.
constexpr size_t kMaxDataFile = size_t(600) << 20;

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
}

Status RecordStore::Create(const fs::path& basePath, int sectionCount, const std::vector<int>& rowWidths) {
  base_ = basePath;
  Reset(sectionCount, rowWidths);
  std::error_code ec;
  if (fs::exists(DataPath(), ec)) return Status::Ok();  // an existing store is not changed
  // The data file of an empty store is exactly what Save writes for it.
  Status s = WriteFileAtomically(DataPath(), BuildDataFile());
  if (!s.ok()) return s;
  return WriteIndex(keys_);
}

void RecordStore::RebuildKeyIndex() {
  keyIndex_.clear();
  keyIndex_.reserve(keys_.size() * 2);
  const int n = RecordCount();
  for (int r = 0; r < n && r < static_cast<int>(keys_.size()); ++r) keyIndex_.emplace(keys_[r], r);
}

Status RecordStore::Open() {
  detail::FileBytes bytes;
  Status status = bytes.Read(DataPath());
  const std::string_view raw = bytes.view();
  if (!status.ok()) {
    Load({}, {});
    if (status.code() == Status::Code::NotFound) status = Status::Ok();
    return status;
  }
  if (raw.size() > kMaxDataFile) {
    Load({}, {});
    repaired_ = true;
    return Status::Error(Status::Code::IoError, DataPath().string(), "Die Datei ist zu groß.");
  }
  std::string index;
  ReadFileBytes(IndexPath(), index);  // a missing index is rebuilt from the master rows
  Load(raw, index);
  return Status::Ok();
}

void RecordStore::Load(std::string_view raw, std::string_view indexBytes) {
  const int T = SectionCount();
  std::vector<int> widths;
  for (const Section& s : sections_) widths.push_back(s.rowWidth);
  Reset(T, widths);
  if (raw.size() > kMaxDataFile) raw = {};

  auto table = std::make_shared<LineTable>(LineTable::Decode(raw));
  const LineTable& L = *table;
  const size_t lineCount = L.size();

  // Header: T, then (width, start) per section.  It must describe the layout
  // the store was created with; anything else is not a store of this kind.
  bool headerOk = lineCount >= static_cast<size_t>(2 * T + 1) && LeadingNumber(L.line(0)) == static_cast<uint64_t>(T);
  for (int t = 0; headerOk && t < T; ++t)
    headerOk = LeadingNumber(L.line(1 + 2 * t)) == static_cast<uint64_t>(sections_[t].rowWidth);
  if (!headerOk) {
    repaired_ = lineCount > 0;
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
        }
      } else {
        repaired_ = true;
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
            repaired_ = true;  // the section ends early: the rest have no rows
            break;
          }
          uint64_t m = LeadingNumber(L.line(base + p));
          const uint64_t stored = m;
          if (p + 1 + m > n) {
            m = n - p - 1;
            repaired_ = true;
          }
          if (m % w != 0) {
            m -= m % w;  // a partial row cannot be used
            repaired_ = true;
          }
          sec.records[r] = TableRecord(base + p + 1, m);
          p += std::min(stored, n - p - 1) + 1;
        }
      }
      if (p < n) repaired_ = true;
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
  int r = -1;
  const int k = FindRow(section, match, field, r);
  if (k < 0) return;
  const size_t w = static_cast<size_t>(RowWidth(section));
  std::vector<std::string>& own = Edit(section, r);
  for (size_t j = 0; j < w; ++j) own[k * w + j] = j < values.size() ? values[j] : std::string();
  Select(currentKey_);
}

void RecordStore::DeleteRow(int section, std::string_view match, int field) {
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

Status RecordStore::WriteIndex(const std::vector<std::string>& keys) const { return WriteListFile(IndexPath(), keys); }

Status RecordStore::Save() {
  if (!IsStorableFirstString(keys_.empty() ? std::string_view("0") : std::string_view(keys_[0])))
    return Status::Error(Status::Code::Unrepresentable, IndexPath().string(),
                         "Der erste Schlüssel darf nicht mit \"%\" oder \"(\" beginnen.");
  Status s = WriteFileAtomically(DataPath(), BuildDataFile());
  if (!s.ok()) return s;
  return WriteIndex(keys_);
}

}  // namespace tellurio
