#pragma once
// Merging the records of a price file into the two stores of one depot: the
// price of a held fund (matched by WKN) goes into the depot store, every
// other fund of the file into the fund archive store, which keeps at most
// 781 prices of a fund it fills itself.
//
// Everything here changes the stores in memory only; the caller saves.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/PriceFile.h"
#include "portfolio/Funds.h"
#include "storage/RecordStore.h"

namespace tellurio {

// A fund archive record that reaches this many price rows loses its oldest
// row when a price for a new date arrives.
inline constexpr size_t kArchivePriceLimit = 781;

// A price for a fund of the depot store.
struct HeldPrice {
  std::string fund;  // the depot store key
  std::string date;
  std::string price;
};

// What one price file means for one depot: held-fund prices in file order,
// and the records of all other funds (pointers into the PriceFile, which
// must outlive the plan).
struct MergePlan {
  std::vector<HeldPrice> held;
  std::vector<const PriceRecord*> others;
};

// Matches every record with the first fund of the depot store whose WKN is
// the record's WKN, exactly.
MergePlan PlanMerge(const RecordStore& depot, const PriceFile& file);

// Puts (date, price) into the fund's price rows: a row of that date is
// overwritten, otherwise the row is appended; the rows end up ordered by
// date, rows of equal dates in their order.  A fund the store does not hold
// is left alone.
void StoreHeldPrice(RecordStore& depot, const HeldPrice& update);

// Why the fund archive cannot take the record as a new fund, or nothing: its
// name is checked as a typed fund name is (the index and data file must
// read it back as it is), its WKN, surcharge factor and currency must read
// back unchanged from the data file.  A fund the archive holds already needs
// no check: only its prices are written.
std::optional<std::string> RefuseNewArchiveFund(const RecordStore& archive, const PriceRecord& record);

// The same for a fund of the fund archive store, with the limit: a fund
// holding kArchivePriceLimit rows (or more than that) that gets a new date
// loses its oldest row first when it holds exactly the limit.  A fund the
// archive does not know is added with its master row and the one price.
void StoreArchivePrice(RecordStore& archive, const PriceRecord& record);

// The held-fund part of a merge: every held price of the plan (allFunds),
// or only the first one of `fund`.  A price the store cannot hold is left
// out and the fund's name appended to skipped.  True when the depot store
// changed.
bool MergeHeldPrices(RecordStore& depot, const MergePlan& plan, bool allFunds, const std::string& fund,
                     std::vector<std::string>& skipped);

// The fund archive part of a merge: every other record of the plan, in
// order; step(k, name) is called before record k.  A record that would be
// a new fund the archive cannot hold (RefuseNewArchiveFund), or whose price
// it cannot hold (StorablePrice), is left out and its name appended to
// skipped.  True when the archive changed.
bool MergeArchivePrices(RecordStore& archive, const MergePlan& plan,
                        const std::function<void(int k, const std::string& name)>& step,
                        std::vector<std::string>& skipped);

// The rows (date, price pairs) ordered by date, rows with equal dates in
// their order.  Returns whether anything moved.
bool SortPriceRows(std::vector<std::string>& rows);

}  // namespace tellurio
