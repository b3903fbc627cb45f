#include "acquisition/PriceMerge.h"

#include <unordered_map>

#include "calendar/DateOrder.h"
#include "portfolio/FundDialogs.h"
#include "portfolio/Funds.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace {

// A valid record index of the key, or -1 (an empty store answers its
// placeholder key "0" with index 0).
int RecordOf(const RecordStore& store, std::string_view key) {
  const int r = store.FindKey(key);
  return r >= 0 && r < store.RecordCount() ? r : -1;
}

std::vector<std::string> CopyRows(const RecordStore& store, int section, int record) {
  const RecordView v = store.Values(section, record);
  std::vector<std::string> out;
  out.reserve(v.size() + 2);
  for (size_t i = 0; i < v.size(); ++i) out.emplace_back(v[i]);
  return out;
}

// Index of the first row dated `date`, or -1.
long FindDate(const std::vector<std::string>& rows, const std::string& date) {
  for (size_t i = 0; i + 1 < rows.size(); i += 2)
    if (rows[i] == date) return static_cast<long>(i / 2);
  return -1;
}

}  // namespace

bool SortPriceRows(std::vector<std::string>& rows) {
  bool sorted = true;
  int previous = 0;
  for (size_t i = 0; i + 1 < rows.size(); i += 2) {
    const int d = DayNumber(rows[i], 0);
    if (i > 0 && d < previous) {
      sorted = false;
      break;
    }
    previous = d;
  }
  if (sorted) return false;
  SortRowsByDate(rows, 2, 0, false);
  return true;
}

MergePlan PlanMerge(const RecordStore& depot, const PriceFile& file) {
  MergePlan plan;
  std::unordered_map<std::string, std::string> byWkn;  // WKN -> first fund holding it
  for (const FundMaster& m : AllMasters(depot)) byWkn.emplace(m.wkn, m.name);
  for (const PriceRecord& r : file.records) {
    auto it = byWkn.find(r.wkn);
    if (it != byWkn.end())
      plan.held.push_back(HeldPrice{it->second, r.date, r.price});
    else
      plan.others.push_back(&r);
  }
  return plan;
}

void StoreHeldPrice(RecordStore& depot, const HeldPrice& update) {
  const int r = RecordOf(depot, update.fund);
  if (r < 0) return;
  std::vector<std::string> rows = CopyRows(depot, section::kPrices, r);
  const long at = FindDate(rows, update.date);
  if (at >= 0) {
    rows[static_cast<size_t>(2 * at + 1)] = update.price;
  } else {
    rows.push_back(update.date);
    rows.push_back(update.price);
  }
  SortPriceRows(rows);
  depot.Select(update.fund);
  depot.ReplaceRows(section::kPrices, std::move(rows));
}

std::optional<std::string> RefuseNewArchiveFund(const RecordStore& archive, const PriceRecord& record) {
  if (std::optional<std::string> why = RefuseFundName(record.name, archive)) return why;
  const unsigned char key = ListKeyOf(std::to_string(archive.SectionCount()));
  for (const std::string* value : {&record.wkn, &record.surchargeFactor, &record.currency})
    if (!RoundTrips(*value, key, false))
      return "Der Wert \"" + *value + "\" kann in den Datendateien nicht gespeichert werden.";
  return std::nullopt;
}

void StoreArchivePrice(RecordStore& archive, const PriceRecord& record) {
  const int r = RecordOf(archive, record.name);
  if (r < 0) {
    archive.AddRecord({record.name, record.wkn, record.surchargeFactor, record.currency});
    archive.ReplaceRows(section::kPrices, {record.date, record.price});
    return;
  }
  std::vector<std::string> rows = CopyRows(archive, section::kPrices, r);
  const long at = FindDate(rows, record.date);
  if (at >= 0) {
    // A new price for a date the fund has: nothing needs to make room.
    rows[static_cast<size_t>(2 * at + 1)] = record.price;
  } else {
    if (rows.size() / 2 == kArchivePriceLimit) {
      SortPriceRows(rows);
      rows.erase(rows.begin(), rows.begin() + 2);
    }
    rows.push_back(record.date);
    rows.push_back(record.price);
  }
  SortPriceRows(rows);
  archive.Select(record.name);
  archive.ReplaceRows(section::kPrices, std::move(rows));
}

bool MergeHeldPrices(RecordStore& depot, const MergePlan& plan, bool allFunds, const std::string& fund,
                     std::vector<std::string>& skipped) {
  bool changed = false;
  for (const HeldPrice& h : plan.held) {
    if (!allFunds && h.fund != fund) continue;
    if (std::optional<std::string> price = StorablePrice(depot, h.price)) {
      StoreHeldPrice(depot, HeldPrice{h.fund, h.date, *price});
      changed = true;
    } else {
      skipped.push_back(h.fund);
    }
    if (!allFunds) break;
  }
  return changed;
}

bool MergeArchivePrices(RecordStore& archive, const MergePlan& plan,
                        const std::function<void(int k, const std::string& name)>& step,
                        std::vector<std::string>& skipped) {
  bool changed = false;
  for (size_t k = 0; k < plan.others.size(); ++k) {
    const PriceRecord& record = *plan.others[k];
    if (step) step(static_cast<int>(k), record.name);
    const std::optional<std::string> price = StorablePrice(archive, record.price);
    if (!price || (RecordOf(archive, record.name) < 0 && RefuseNewArchiveFund(archive, record))) {
      skipped.push_back(record.name);
      continue;
    }
    PriceRecord stored = record;
    stored.price = *price;
    StoreArchivePrice(archive, stored);
    changed = true;
  }
  return changed;
}

}  // namespace tellurio
