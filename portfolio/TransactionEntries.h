#pragma once
// Distributions, costs and opening holdings: the working state of the
// dialogs "Ertragsausschüttung eingeben", "jährliche Kosten des Fonds" and
// "Anfangsbestände eingeben" without widgets.  Each dialog collects entries
// (EDIT, or a Yes to the question on a fund switch or OK); nothing is
// written before the dialog closes with OK, and the commands then apply the
// entries (TransactionCommands).

#include <string>
#include <vector>

#include "platform/DialogStep.h"
#include "platform/Prompter.h"
#include "storage/RecordStore.h"

namespace tellurio {

enum class AdjustmentKind { Distribution, Costs };

struct AdjustmentEntry {
  std::string fund;
  std::string date;
  std::string amount;  // distribution per share, or the total cost

  bool operator==(const AdjustmentEntry&) const = default;
};

// What the dialog does after an event: stay or close, and whether its input
// fields are emptied (the date field then gets the focus).
struct EntryOutcome {
  DialogStep step = DialogStep::Stay;
  bool clearFields = false;
};

// New share count after a distribution per share reinvested at the issue
// price (price × surcharge factor), or after costs paid with shares at the
// price.  Not finite when the price (or factor) is 0; callers check.
double SharesAfterDistribution(double shares, double perShare, double price, double surchargeFactor);
double SharesAfterCosts(double shares, double cost, double price);

// "Ertragsausschüttung eingeben" and "jährliche Kosten des Fonds".
class AdjustmentSession {
 public:
  // depot: the store of the current depot (funds in key order); both must
  // outlive the session.  Shows the first fund.
  AdjustmentSession(AdjustmentKind kind, const RecordStore& depot, Prompter& prompter);

  AdjustmentKind Kind() const { return kind_; }
  const std::vector<std::string>& Funds() const { return funds_; }
  size_t FundIndex() const { return fund_; }
  const std::string& Currency() const { return currency_; }
  const std::string& Shares() const { return shares_; }        // "vorhandene Anteile"
  const std::string& NewShares() const { return newShares_; }  // "neuer Anteilsbestand"
  bool Pending() const { return pending_; }

  // An input field was edited.
  void FieldEdited() { pending_ = true; }
  // Every edit of the amount field.  Cancel: the date has no price; the
  // message has been shown and every entry is dropped.
  DialogStep AmountChanged(const std::string& date, const std::string& amount);
  // EDIT: records (fund, date, amount) unless the amount is empty.
  EntryOutcome Edit(const std::string& date, const std::string& amount);
  EntryOutcome SwitchFund(size_t index, const std::string& date, const std::string& amount);
  // Closes with OK (after asking about a pending entry).
  EntryOutcome Ok(const std::string& date, const std::string& amount);

  const std::vector<AdjustmentEntry>& Entries() const { return entries_; }

 private:
  void Load(size_t index);
  bool Record(const std::string& date, const std::string& amount);

  AdjustmentKind kind_;
  const RecordStore& depot_;
  Prompter& prompter_;
  std::vector<std::string> funds_;
  size_t fund_ = 0;
  std::string currency_;
  std::string shares_ = "0,000";
  std::string newShares_ = "0,000";
  bool pending_ = false;
  std::vector<AdjustmentEntry> entries_;
};

struct OpeningEntry {
  std::string fund;
  std::string date;
  std::string shares;   // as typed
  std::string capital;  // as typed, in `currency`
  std::string currency;

  bool operator==(const OpeningEntry&) const = default;
};

// "Anfangsbestände eingeben".
class OpeningSession {
 public:
  OpeningSession(const RecordStore& depot, Prompter& prompter);

  const std::vector<std::string>& Funds() const { return funds_; }
  size_t FundIndex() const { return fund_; }
  bool Pending() const { return pending_; }

  void FieldEdited() { pending_ = true; }
  // EDIT with the typed fields (the fund is the selected one).  Asks first
  // when the fund already has opening holdings (stored or entered in this
  // dialog).  An empty share field records nothing and keeps the fields.
  EntryOutcome Edit(const OpeningEntry& typed);
  EntryOutcome SwitchFund(size_t index, const OpeningEntry& typed);
  // Closes: with OK when at least one entry was recorded, else cancelled.
  EntryOutcome Ok(const OpeningEntry& typed);

  const std::vector<OpeningEntry>& Entries() const { return entries_; }

 private:
  bool AskPending(const OpeningEntry& typed);

  const RecordStore& depot_;
  Prompter& prompter_;
  std::vector<std::string> funds_;
  size_t fund_ = 0;
  bool pending_ = false;
  std::vector<OpeningEntry> entries_;
};

}  // namespace tellurio
