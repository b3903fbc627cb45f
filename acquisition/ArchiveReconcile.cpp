#include "acquisition/ArchiveReconcile.h"

#include <climits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "calendar/DateOrder.h"
#include "portfolio/Funds.h"

namespace tellurio {

namespace {

struct Span {
  int first = INT_MAX;   // day number of the oldest row
  int newest = INT_MIN;  // day number of the newest row
};

Span SpanOf(const RecordView& rows) {
  Span s;
  for (size_t i = 0; i + 1 < rows.size(); i += 2) {
    const int d = DayNumber(rows[i], 0);
    s.first = std::min(s.first, d);
    s.newest = std::max(s.newest, d);
  }
  return s;
}

std::vector<std::string> Copy(const RecordView& v) {
  std::vector<std::string> out;
  out.reserve(v.size());
  for (size_t i = 0; i < v.size(); ++i) out.emplace_back(v[i]);
  return out;
}

// The older fund's rows dated before the survivor's first row, then the
// survivor's rows.
std::vector<std::string> Join(const std::vector<std::string>& older, const std::vector<std::string>& survivor,
                              int survivorFirst) {
  std::vector<std::string> out;
  out.reserve(older.size() + survivor.size());
  for (size_t i = 0; i + 1 < older.size(); i += 2) {
    if (DayNumber(older[i], 0) < survivorFirst) {
      out.push_back(older[i]);
      out.push_back(older[i + 1]);
    }
  }
  out.insert(out.end(), survivor.begin(), survivor.end());
  return out;
}

}  // namespace

ReconcileOutcome ReconcileArchive(RecordStore& archive) {
  ReconcileOutcome outcome;
  const int n = archive.RecordCount();
  if (n < 2 || archive.SectionCount() < 2) return outcome;
  {
    std::unordered_set<std::string_view> keys;
    for (int r = 0; r < n; ++r) {
      if (!keys.insert(archive.Values(section::kMaster, r)[0]).second) {
        outcome.skipped = true;
        return outcome;
      }
    }
  }

  std::vector<bool> drop(static_cast<size_t>(n), false);
  // Joined price rows of the survivors, by record index.
  std::unordered_map<int, std::vector<std::string>> joined;
  // WKN -> the record that survives so far.
  std::unordered_map<std::string_view, int> survivorOf;
  auto rowsOf = [&](int r) {
    auto it = joined.find(r);
    return it != joined.end() ? it->second : Copy(archive.Values(section::kPrices, r));
  };
  auto spanOf = [&](int r) {
    auto it = joined.find(r);
    if (it == joined.end()) return SpanOf(archive.Values(section::kPrices, r));
    Span s;
    for (size_t i = 0; i + 1 < it->second.size(); i += 2) {
      const int d = DayNumber(it->second[i], 0);
      s.first = std::min(s.first, d);
      s.newest = std::max(s.newest, d);
    }
    return s;
  };

  for (int r = 0; r < n; ++r) {
    const RecordView master = archive.Values(section::kMaster, r);
    const std::string_view wkn = master.size() > 1 ? master[1] : std::string_view();
    if (wkn.empty()) continue;
    auto [it, fresh] = survivorOf.emplace(wkn, r);
    if (fresh) continue;
    const int earlier = it->second;
    const Span a = spanOf(earlier);
    const Span b = spanOf(r);
    // The earlier-listed fund stays unless the later one has newer prices.
    const int keep = b.newest > a.newest ? r : earlier;
    const int gone = keep == r ? earlier : r;
    const Span keepSpan = keep == r ? b : a;
    std::vector<std::string> series = Join(rowsOf(gone), rowsOf(keep), keepSpan.first);
    joined.erase(gone);
    joined[keep] = std::move(series);
    drop[static_cast<size_t>(gone)] = true;
    it->second = keep;
    ++outcome.removed;
  }
  if (outcome.removed == 0) return outcome;
  // The survivors get their joined rows, then the others go; the store
  // stays the same object, so what its opening found (a repair to keep a
  // copy of, a file that could not be read) still holds for its save.
  for (auto& [r, rows] : joined) {
    archive.Select(std::string(archive.Values(section::kMaster, r)[0]));
    archive.ReplaceRows(section::kPrices, std::move(rows));
  }
  archive.DropRecords(drop);
  return outcome;
}

}  // namespace tellurio
