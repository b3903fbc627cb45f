#pragma once
// The transaction list "Umsatzanzeige": for one fund, its purchases and sales
// in date order with the running share count from the opening shares on,
// the shares that distributions added net of costs, and the holding.  Only
// reads the depot store.

#include <string>
#include <vector>

#include "storage/RecordStore.h"

namespace tellurio {

// One line of the list, in the order of its columns "Datum",
// "Verkaufspreis", "Kaufpreis", "Anteile", "Gesamtbestand".  A purchase
// leaves the sale price empty and a sale the purchase price.
struct TransactionLine {
  std::string date;
  std::string salePrice;      // price + " " + fund currency
  std::string purchasePrice;  // price + " " + fund currency
  std::string shares;         // as stored
  std::string total;          // running total, 4 decimals

  bool operator==(const TransactionLine&) const = default;
};

struct TransactionListView {
  std::string title;  // "Umsätze des Fonds " + name
  std::vector<TransactionLine> lines;
  std::string distributions;  // "Erträge bisher gesamt"
  std::string holding;        // "Anteilsbestand gesamt"
};

// The list of the fund; purchases come before sales of the same day.
TransactionListView BuildTransactionList(const RecordStore& depot, const std::string& fund);

// The funds of the depot and their lists, for the dialog.
class TransactionListing {
 public:
  explicit TransactionListing(const RecordStore& depot);
  const std::vector<std::string>& Funds() const { return funds_; }
  TransactionListView Build(size_t index) const;

 private:
  const RecordStore& depot_;
  std::vector<std::string> funds_;
};

}  // namespace tellurio
