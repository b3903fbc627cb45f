// Fuzz target: a price file (downloaded or prepared for import) through the
// merge into one depot's depot store and fund archive, which are then
// written and read back, as a save and the next start would.
//
// The input is the file's bytes (code page 1252 lines, as ReadTextLines
// gives them).  The depot holds two funds and the archive one, so that held
// funds, known archive funds and new ones all occur.
//
// Checked beyond "no crash": after the stores are read back,
// - every price of the file for a held fund is in the depot store under the
//   file's date, and every other one in the fund archive (the last price of
//   a fund wins), unless its new fund was left out;
// - a fund left out is one the archive cannot hold unchanged;
// - every new archive fund has the master data of its first record;
// - the funds that were there keep their other prices, and every price
//   series is ordered by date.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/PriceFile.h"
#include "acquisition/PriceMerge.h"
#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Codec1252.h"
#include "portfolio/Funds.h"
#include "storage/CTextFile.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace {

using tellurio::RecordStore;
using Rows = std::vector<std::string>;

std::string IndexBytes(const RecordStore& store) {
  std::string index;
  Check(tellurio::EncodeListBytes(store.Keys(), store.Keys().size(), index));
  return index;
}

// The store as the next start reads it: from the bytes of its files.
void ReadBack(RecordStore& store) {
  const std::string data = store.DataFileBytes();
  const std::string index = IndexBytes(store);
  store.Load(data, index);
}

struct Stores {
  RecordStore depot, archive;
  std::string depotData, depotIndex, archiveData, archiveIndex;
};

// The two stores with their first content; bound to files in a temporary
// directory once, never written again (the merge is read back from bytes).
Stores& Initial() {
  static Stores s;
  static bool made = false;
  if (made) return s;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tellurio-fuzz-merge";
  std::filesystem::create_directories(dir);
  Check(s.depot.Create(dir / "Depot", 6, {4, 2, 4, 4, 2, 2}).ok());
  Check(s.archive.Create(dir / "n_Depot", 2, {4, 2}).ok());
  s.depot.Load({}, {});
  s.archive.Load({}, {});
  s.depot.AddRecord({"Halter A", "111111", "1,0500", "Euro"});
  s.depot.ReplaceRows(1, {"03.03.2003", "40,00", "04.03.2003", "41,00"});
  s.depot.AddRecord({"Halter B", "222222", "1,0300", "DM"});
  s.depot.ReplaceRows(1, {"04.03.2003", "12,00"});
  s.archive.AddRecord({"Archiv C", "333333", "1,0000", "Euro"});
  s.archive.ReplaceRows(1, {"01.03.2003", "9,00", "05.03.2003", "9,50"});
  s.depotData = s.depot.DataFileBytes();
  s.depotIndex = IndexBytes(s.depot);
  s.archiveData = s.archive.DataFileBytes();
  s.archiveIndex = IndexBytes(s.archive);
  made = true;
  return s;
}

std::string PriceOn(const RecordStore& store, const std::string& fund, const std::string& date) {
  const Rows rows = tellurio::PriceRows(store, fund);
  for (size_t i = 0; i + 1 < rows.size(); i += 2)
    if (rows[i] == date) return rows[i + 1];
  return {};
}

void CheckOrdered(const RecordStore& store) {
  for (int r = 0; r < store.RecordCount(); ++r) {
    const tellurio::RecordView v = store.Values(1, r);
    for (size_t i = 2; i + 1 < v.size(); i += 2)
      Check(tellurio::DayNumber(v[i - 2], 0) <= tellurio::DayNumber(v[i], 0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Rows lines;
  for (const std::string& l : tellurio::SplitLines(std::string_view(reinterpret_cast<const char*>(data), size)))
    lines.push_back(tellurio::Utf8FromCp1252(l));
  const tellurio::PriceFile file = tellurio::ReadPriceRecords(lines);

  Stores& s = Initial();
  s.depot.Load(s.depotData, s.depotIndex);
  s.archive.Load(s.archiveData, s.archiveIndex);
  const tellurio::MergePlan plan = tellurio::PlanMerge(s.depot, file);
  Rows skipped;
  tellurio::MergeHeldPrices(s.depot, plan, true, {}, skipped);
  tellurio::MergeArchivePrices(s.archive, plan, {}, skipped);
  ReadBack(s.depot);
  ReadBack(s.archive);

  // What the file asks for, worked out record by record: a held fund's
  // price goes to the depot; any other record to the archive, where a fund
  // it does not know yet is added only when the archive can hold it (the
  // first key, which decides that, stays "Archiv C" throughout).
  const std::map<std::string, std::string> held = {{"111111", "Halter A"}, {"222222", "Halter B"}};
  std::map<std::string, std::string> heldPrice, archivePrice;
  std::map<std::string, const tellurio::PriceRecord*> added;
  std::set<std::string> left;
  for (const tellurio::PriceRecord& r : file.records) {
    Check(r.date == file.date);
    auto h = held.find(r.wkn);
    const RecordStore& target = h != held.end() ? s.depot : s.archive;
    // A price is stored as written or, where the format would lose it, as
    // the same number with ",00"; one that cannot be stored is left out.
    const std::optional<std::string> price = tellurio::StorablePrice(target, r.price);
    if (price) Check(tellurio::ParseNumber(*price) == tellurio::ParseNumber(r.price));
    if (h != held.end()) {
      if (price)
        heldPrice[h->second] = *price;
      else
        left.insert(h->second);
      continue;
    }
    if (!price) {
      left.insert(r.name);
      continue;
    }
    if (r.name != "Archiv C" && added.find(r.name) == added.end()) {
      if (tellurio::RefuseNewArchiveFund(s.archive, r)) {
        left.insert(r.name);
        continue;
      }
      added.emplace(r.name, &r);
    }
    archivePrice[r.name] = *price;
  }
  for (const auto& [fund, price] : heldPrice) Check(PriceOn(s.depot, fund, file.date) == price);
  Check(s.depot.RecordCount() == 2);
  Check(PriceOn(s.depot, "Halter A", "03.03.2003") == "40,00" || file.date == "03.03.2003");
  Check(std::set<std::string>(skipped.begin(), skipped.end()) == left);
  Check(s.archive.RecordCount() == 1 + static_cast<int>(added.size()));
  for (const auto& [name, price] : archivePrice) {
    const int r = s.archive.FindKey(name);
    Check(r >= 0 && r < s.archive.RecordCount());
    Check(PriceOn(s.archive, name, file.date) == price);
  }
  for (const auto& [name, first] : added) {
    const std::optional<tellurio::FundMaster> m = tellurio::ReadMaster(s.archive, name);
    Check(m && m->name == first->name && m->wkn == first->wkn && m->surchargeFactor == first->surchargeFactor &&
          m->currency == first->currency);
  }
  Check(PriceOn(s.archive, "Archiv C", "01.03.2003") == "9,00" || file.date == "01.03.2003");
  CheckOrdered(s.depot);
  CheckOrdered(s.archive);
  return 0;
}
