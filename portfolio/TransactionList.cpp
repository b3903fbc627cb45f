#include "portfolio/TransactionList.h"

#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"
#include "portfolio/Funds.h"

namespace tellurio {

namespace {

constexpr int kWidth = 4;  // date, price, shares, kind ("k" purchase, "v" sale)

void AddRows(const std::vector<std::string>& rows, const char* kind, std::vector<std::string>& out) {
  for (size_t i = 0; i + 3 < rows.size(); i += 4) {
    out.push_back(rows[i]);
    out.push_back(rows[i + 1]);
    out.push_back(rows[i + 2]);
    out.push_back(kind);
  }
}

}  // namespace

TransactionListView BuildTransactionList(const RecordStore& depot, const std::string& fund) {
  TransactionListView v;
  v.title = "Umsätze des Fonds " + fund;
  const std::optional<FundMaster> master = ReadMaster(depot, fund);
  const std::string currency = master ? master->currency : "";

  std::vector<std::string> rows;
  AddRows(ReadSection(depot, section::kPurchases, fund), "k", rows);
  AddRows(ReadSection(depot, section::kSales, fund), "v", rows);
  SortRowsByDate(rows, kWidth, 0, false);  // stable: purchases stay ahead on a day

  const std::vector<std::string> opening = ReadSection(depot, section::kOpening, fund);
  double total = opening.size() >= 2 ? ParseNumber(opening[1]) : 0;
  for (size_t i = 0; i + kWidth - 1 < rows.size(); i += kWidth) {
    TransactionLine line;
    line.date = rows[i];
    line.shares = rows[i + 2];
    const std::string price = rows[i + 1] + " " + currency;
    if (rows[i + 3] == "v") {
      total -= ParseNumber(line.shares);
      line.salePrice = price;
    } else {
      total += ParseNumber(line.shares);
      line.purchasePrice = price;
    }
    line.total = ShareSumText(total);
    v.lines.push_back(std::move(line));
  }

  const std::vector<std::string> holding = ReadSection(depot, section::kHolding, fund);
  const bool held = holding.size() >= 2;
  v.distributions = ShareSumText((held ? ParseNumber(holding[1]) : 0) - total);
  v.holding = held ? holding[1] : "0,0000";
  return v;
}

TransactionListing::TransactionListing(const RecordStore& depot) : depot_(depot), funds_(FundNames(depot)) {}

TransactionListView TransactionListing::Build(size_t index) const {
  if (index >= funds_.size()) return {};
  return BuildTransactionList(depot_, funds_[index]);
}

}  // namespace tellurio
