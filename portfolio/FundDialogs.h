#pragma once
// The fund dialogs as the fund commands see them, and the rules inside them
// (without widgets): which field is checked when, which message follows and
// what the dialog does then.  The Qt dialogs forward their events to the
// rules; tests drive the rules directly or script the whole dialog.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/DialogStep.h"
#include "platform/Prompter.h"
#include "portfolio/Funds.h"

namespace tellurio {

class PriceEntrySession;

// The fields of "neuen Fond in das Depot übernehmen" and "Fonddaten editieren".
enum class FundField { None, Name, Wkn, Surcharge, Currency };

struct FundEntry {
  std::string name;
  std::string wkn;
  std::string surchargePercent;  // as typed, "5" or "5,25"
  std::string currency;
};

// What the dialog does after a field was left or OK was pressed: clear and
// focus a field (None: nothing), and whether it stays, closes with OK or is
// cancelled.  On Accept, entry is what the dialog returns.
struct FieldOutcome {
  DialogStep step = DialogStep::Stay;
  FundField clear = FundField::None;
  FundEntry entry;
};

// "neuen Fond in das Depot übernehmen".
class NewFundRules {
 public:
  // masters: the funds of the depot in key order.  store: the depot store,
  // for the check that a name can be held by its files.
  NewFundRules(Prompter& p, std::vector<FundMaster> masters, const RecordStore& store);
  const std::vector<FundMaster>& Funds() const { return masters_; }

  FieldOutcome NameLeft(const std::string& name);
  FieldOutcome WknLeft(const std::string& wkn);
  FieldOutcome Ok(const FundEntry& entry);

 private:
  Prompter& prompter_;
  std::vector<FundMaster> masters_;
  const RecordStore& store_;
};

// The reason (German) why a fund name cannot be a record key of the store,
// or nothing.
std::optional<std::string> RefuseFundName(const std::string& name, const RecordStore& store);

// "Fond aus dem Depot löschen": a double click chooses; OK asks.
class DeleteFundRules {
 public:
  explicit DeleteFundRules(Prompter& p) : prompter_(p) {}
  void DoubleClicked(const std::string& fund) { choice_ = fund; }
  const std::string& Choice() const { return choice_; }
  DialogStep Ok();

 private:
  Prompter& prompter_;
  std::string choice_;
};

// "Fonddaten editieren".
class EditFundRules {
 public:
  EditFundRules(Prompter& p, std::vector<FundMaster> masters) : prompter_(p), masters_(std::move(masters)) {}
  const std::vector<FundMaster>& Funds() const { return masters_; }
  // The fields shown for the fund at that index: WKN, currency, surcharge
  // percent with 2 decimals.
  FundEntry Shown(size_t index) const;
  // OK for the fund at that index with the typed fields.  On Accept the
  // entry holds the WKN, the surcharge text ("0,00" when empty) and the
  // currency ("Euro" when empty).
  FieldOutcome Ok(size_t index, const FundEntry& typed);

 private:
  Prompter& prompter_;
  std::vector<FundMaster> masters_;
};

// What the fund data window "Fonddaten" shows.
struct FundDataView {
  std::string name;
  std::string wkn;
  std::string surchargePercent;  // "k.A." for a zero factor
  std::string currency;
  std::string purchasePrice;  // "k.A." or the price followed by the currency
  std::string priceDate;
  std::vector<std::string> priceRows;  // date, price pairs for the chart
};

class FundDialogs {
 public:
  virtual ~FundDialogs() = default;
  virtual std::optional<FundEntry> NewFund(NewFundRules& rules) = 0;
  virtual std::optional<std::string> ChooseFundToDelete(const std::vector<std::string>& funds,
                                                        DeleteFundRules& rules) = 0;
  // Returns the index of the edited fund and the accepted entry.
  virtual std::optional<std::pair<size_t, FundEntry>> EditFund(EditFundRules& rules) = 0;
  // Shows the window; true when the user deleted the fund with LOESCHEN and
  // confirmed it.
  virtual bool ShowFundData(const FundDataView& data) = 0;
  // "Werteeingabe" on an open session; the session writes on commit.
  virtual void EnterPrices(PriceEntrySession& session) = 0;
};

}  // namespace tellurio
