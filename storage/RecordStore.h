#pragma once
// RecordStore: keyed records of text values in a data file (".dat") and an
// index file (".idx"), both list files.  The only way the program stores
// portfolio data.
//
// A store has T sections.  Record r exists in every section at index r; in
// each section a record is a sequence of rows of that section's row width.
// Section 0 is the master section: one row per record, whose first value is
// the record's key.  Everything is held in memory: Open reads both files,
// Save (and DeleteRecord) rewrite both, each file replaced atomically.
//
// Line numbers ("line index", "start line") follow the section's line list
// of the data file: record r's count line is at offsets[r], followed by its m
// value lines, and offsets[r+1] = offsets[r] + m + 1.
//
// Text values are UTF-8 inside; the files hold code page 1252.
//
// Costs: an edit touches only the record it changes (plus a pass over the
// record offsets, not over the lines, when line numbers are asked for next);
// Open decodes the data file in one vectorised pass and keeps the values in
// one buffer until a record is edited.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "storage/Status.h"
#include "storage/detail/LineTable.h"

namespace tellurio {

inline constexpr const char* kRecordNotFound = "Fehler! Satz nicht gefunden";

namespace detail {
class LineTable;  // decoded lines of a data file, shared by unedited records
}

// Read-only view of one record's value lines in one section.  Valid until the
// store is changed, opened again or destroyed.
class RecordView {
 public:
  RecordView() = default;
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Where the values lie when they are those read from the data file (not
  // edited since): the decoded table and the first line.  Two views with the
  // same table, first line and size hold the same values as long as the
  // table lives; null for edited values.
  const detail::LineTable* Table() const { return own_ ? nullptr : table_; }
  uint32_t FirstLine() const { return first_; }

  // Inline: the statistics read millions of values in a row.
  std::string_view operator[](size_t i) const {
    if (own_) return (*own_)[i];
    return table_->line(first_ + i);
  }

  // All values as one text, when they lie in one piece in the decoded
  // table: each value but the last followed by "\n" or "\r\n".  Empty
  // when the values were edited or are not in one piece (then read them
  // one by one).  A reader of many short values walks this text instead of
  // looking each value up.
  std::string_view Text() const { return Text(0, count_); }
  // The same for the `count` values from value `from` on; empty as well
  // when they run past the end.
  std::string_view Text(size_t from, size_t count) const {
    return own_ || !table_ || from > count_ || count > count_ - from ? std::string_view()
                                                                     : table_->span(first_ + from, count);
  }
  // How many of the values lie in the first of the two pieces a large
  // store is decoded in, when they lie in both; size() otherwise (also for
  // edited values).
  size_t InFirstPiece() const {
    if (own_ || !table_) return count_;
    const size_t half = table_->FirstHalf();
    return first_ < half && first_ + count_ > half ? half - first_ : count_;
  }

 private:
  friend class RecordStore;
  const detail::LineTable* table_ = nullptr;  // when values lie in the table
  uint32_t first_ = 0;
  const std::vector<std::string>* own_ = nullptr;  // when the record was edited
  size_t count_ = 0;
};

class RecordStore {
 public:
  RecordStore();
  virtual ~RecordStore();
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;
  RecordStore(RecordStore&&) noexcept;
  RecordStore& operator=(RecordStore&&) noexcept;

  // Binds the store to basePath + ".dat" / ".idx" and resets memory to T empty
  // sections.  When the data file does not exist, writes an empty store (both
  // files); an existing store is not changed.
  Status Create(const std::filesystem::path& basePath, int sectionCount, const std::vector<int>& rowWidths);

  // Reads both files.  Missing files give an empty store.  A data file that
  // exists but cannot be read (no permission, an I/O error, not a regular
  // file, larger than kMaxDataFileBytes) gives an empty store that is
  // read-only until it is opened again: Save and DeleteRecord refuse to
  // write over what could not be read.  The status then says why.
  //
  // A truncated or inconsistent data file gives as many records as are
  // whole.  When the index file disagrees with the keys in the master rows
  // (a crash between the two writes, a lost index file) the key list is
  // rebuilt from the master rows.  Repaired() tells whether anything had to
  // be mended; the files as they were are then kept beside them before the
  // first save writes over them (DamagedCopies()).
  Status Open();

  // Makes the store empty and read-only with that reason, bound to no file:
  // for a store its caller refuses to open.
  void MarkUnreadable(Status why);

  // Open from the bytes of a data file and of an index file instead of the
  // files themselves (the layout is the one given to Create).
  // `decoded` (when given) is told of ranges of dataBytes that were read for
  // the last time (see detail::LineTable::Decode).
  void Load(std::string_view dataBytes, std::string_view indexBytes,
            const std::function<void(size_t, size_t)>& decoded = {});

  // Writes the data file and the index file as one (ReplaceFilesTogether):
  // after a failure both are as they were.  Refused for a read-only store;
  // after a repair, the damaged files are kept first (refused when that
  // fails).
  Status Save();
  // Saves several stores as one: after any failure every file of every
  // store is as it was.  The stores' conditions are checked first, so a
  // refused store leaves all files untouched.
  static Status SaveTogether(const std::vector<RecordStore*>& stores);
  // The bytes Save writes to the data file.
  std::string DataFileBytes() const { return BuildDataFile(); }

  int RecordCount() const;
  void GetKeys(int first, int count, std::vector<std::string>& out) const;
  // The whole key list (the placeholder "0" in an empty store).
  const std::vector<std::string>& Keys() const { return keys_; }
  // First exact match, or -1.
  int FindKey(std::string_view key) const;
  // Makes the record current in every section; 1, or 0 when the key is absent.
  int Select(std::string_view key);
  // Select, then (rowWidth_0 + 1) * FindKey; -1 when absent.
  int SelectedRecordLine(std::string_view key);
  // Line index of the record's count line in that section, or -1.
  int RecordLine(int section, std::string_view key) const;
  // Copies rowCount rows (all when -1) of the record whose count line is at
  // start.  Returns the record's key, or kRecordNotFound (out emptied) when
  // no record starts there or it holds fewer rows.
  std::string ReadRows(std::string& outKey, int section, int rowCount, int start, std::vector<std::string>& out) const;

  // The edits below change memory only; a read-only store (see Open) ignores
  // them.
  // Appends a record (memory only) and selects it.
  void AddRecord(const std::vector<std::string>& values);
  // Appends rowCount rows to the current record (memory only).
  void AppendRows(int section, const std::vector<std::string>& values, int rowCount);
  // Overwrites the first row of the current record whose value at field equals
  // match (memory only); no match changes nothing.
  void UpdateRow(int section, const std::vector<std::string>& values, std::string_view match, int field);
  // Removes the first such row (memory only).
  void DeleteRow(int section, std::string_view match, int field);
  // Removes the record from all sections and writes both files.  1, or 0 when
  // absent.  *status (when given) reports a failed write.
  int DeleteRecord(std::string_view key, Status* status = nullptr);

  // Removes the records whose drop entry is true from all sections (memory
  // only).  The current record stays current when it is kept.
  void DropRecords(const std::vector<bool>& drop);

  // Replaces all rows of the current record in that section in one step
  // (memory only).  values.size() must be a multiple of the row width; extra
  // values are dropped.
  void ReplaceRows(int section, std::vector<std::string> values);

  // The decoded table the unedited records refer to (kept alive by whoever
  // holds it; see RecordView::Table).
  std::shared_ptr<const detail::LineTable> SharedTable() const { return table_; }

  // Direct read access by record index (0 .. RecordCount()-1).
  RecordView Values(int section, int record) const;
  int RowWidth(int section) const;
  int SectionCount() const { return static_cast<int>(sections_.size()); }
  // Index of the current record, or -1; its key as held in section 0.
  int CurrentRecord() const { return currentIndex_; }
  // Copy of the current record of a section in the classic form: the count
  // line followed by the values (rowWidth empty strings when none is current).
  std::vector<std::string> Current(int section) const;

  const std::filesystem::path& BasePath() const { return base_; }
  std::filesystem::path DataPath() const;
  std::filesystem::path IndexPath() const;
  bool Repaired() const { return repaired_; }
  // German sentences saying what Open found damaged and mended; empty when
  // nothing was.
  std::string DamageDescription() const;
  // True when Open could not read the data file: nothing may be written.
  bool ReadOnly() const { return !readFailure_.ok(); }
  const Status& ReadFailure() const { return readFailure_; }
  // The date "TT.MM.JJJJ" that names the copies of damaged files (today in
  // UTC unless set).  Set before Open.
  void SetCopyDate(std::string date) { copyDate_ = std::move(date); }
  // Where the damaged files of a repaired store are (or will be, before the
  // next save) kept: "<file>.beschädigt-TT.MM.JJJJ", with "-2", "-3", ...
  // when that name is taken.  Empty when nothing was repaired.
  const std::vector<std::filesystem::path>& DamagedCopies() const { return damagedCopies_; }

 private:
  struct Record {
    uint32_t first = 0;  // first value line in the table, when !edited
    uint32_t count = 0;  // number of value lines, when !edited
    bool edited = false;
    std::vector<std::string> own;  // the values, when edited
    size_t size() const { return edited ? own.size() : count; }
  };
  static Record TableRecord(uint64_t first, uint64_t count) {
    Record r;
    r.first = static_cast<uint32_t>(first);
    r.count = static_cast<uint32_t>(count);
    return r;
  }
  struct Section {
    int rowWidth = 0;
    std::vector<Record> records;
    mutable std::vector<uint32_t> offsets;  // line index of each record's count line
    mutable bool offsetsValid = false;
  };

  void Reset(int sectionCount, const std::vector<int>& widths);
  void RebuildKeyIndex();
  const std::vector<uint32_t>& Offsets(int section) const;
  std::vector<std::string>& Edit(int section, int record);
  RecordView View(const Section& s, int record) const;
  std::string Value(const Section& s, int record, size_t i) const;
  int ResolveCurrent() const;
  // Row index of the first row of the current record whose value at field
  // equals match, or -1; record receives the record to change.
  int FindRow(int section, std::string_view match, int field, int& record) const;
  void SelectIndex(int record);
  std::string BuildDataFile() const;

  std::filesystem::path base_;
  std::vector<Section> sections_;
  std::vector<std::string> keys_;
  std::unordered_map<std::string, int> keyIndex_;  // first index of each key
  std::shared_ptr<const detail::LineTable> table_;
  int currentIndex_ = -1;        // record copied into "current" by the last Select
  std::string currentKey_;       // value 0 of its master row at that moment
  bool currentCleared_ = false;  // the last record was deleted while current
  bool repaired_ = false;
  // What Open mended, for DamageDescription.
  enum Damage : unsigned {
    kIndexRebuilt = 1,
    kIndexUnreadable = 2,
    kHeaderUnreadable = 4,
    kIncomplete = 8,
    kEmptyFile = 16,
  };
  unsigned damage_ = 0;
  Status indexFailure_;  // why the index file could not be read
  Status readFailure_;   // why the data file could not be read (read-only)
  std::string copyDate_;
  std::vector<std::filesystem::path> damagedCopies_;
  bool copiesKept_ = false;  // the damaged files are kept already

  // Chooses the names of the copies of damaged files (after a repair).
  void PlanDamagedCopies();
  // Keeps the damaged files before a save writes over them.
  Status KeepDamagedFiles();
  // Why this store may not be written now, or Ok.
  Status CheckWritable() const;
};

}  // namespace tellurio
