#include "portfolio/TransactionEntries.h"

#include <cmath>

#include "calendar/NumberText.h"
#include "portfolio/Funds.h"

namespace tellurio {

namespace {

const char kTakeOverEntries[] = "Wollen Sie die bisherigen Einnahmen übernehmen?";
const char kNoPriceFirst[] = "Für das angegebene Datum ist kein Kurswert verfügbar.\n";
const char kNoPriceLast[] = "Der Dialog wird jetzt abgebrochen !!";
const char kEnterPrices[] = "Geben Sie bitte erst die Kurse für das Ausschüttungsdatum ein.\n";
const char kEnterCostPrices[] = "Geben Sie bitte erst den Kurse für das Datum ein.\n";

std::string DateMissingText(AdjustmentKind kind) {
  return std::string(kind == AdjustmentKind::Distribution
                         ? "Sie müssen erst das Datum der Ertragsausschüttung angeben,\n"
                         : "Sie müssen erst das Datum des Kostenanfalls angeben,\n") +
         "sonst kann der neue Anteilsbestand nicht ausgerechnet werden.";
}

bool Ask(Prompter& p, const std::string& text) {
  return p.AskYesNo("Frage", text, MessageIcon::Question, BeepKind::Question);
}

}  // namespace

double SharesAfterDistribution(double shares, double perShare, double price, double surchargeFactor) {
  return shares + (perShare * shares) / (price * surchargeFactor);
}

double SharesAfterCosts(double shares, double cost, double price) { return shares - cost / price; }

// ---- distributions and costs ------------------------------------------------

AdjustmentSession::AdjustmentSession(AdjustmentKind kind, const RecordStore& depot, Prompter& prompter)
    : kind_(kind), depot_(depot), prompter_(prompter), funds_(FundNames(depot)) {
  if (!funds_.empty()) Load(0);
}

void AdjustmentSession::Load(size_t index) {
  fund_ = index;
  const std::optional<FundMaster> m = ReadMaster(depot_, funds_[fund_]);
  currency_ = m ? m->currency : "";
  const std::vector<std::string> holding = ReadSection(depot_, section::kHolding, funds_[fund_]);
  shares_ = holding.size() >= 2 ? holding[1] : "0,000";
  newShares_ = shares_;
  pending_ = false;
}

DialogStep AdjustmentSession::AmountChanged(const std::string& date, const std::string& amount) {
  pending_ = true;
  if (date.empty()) {
    prompter_.Notice("Hinweis", DateMissingText(kind_), MessageIcon::Stop, BeepKind::Stop);
    return DialogStep::Stay;
  }
  const std::vector<std::string> prices =
      funds_.empty() ? std::vector<std::string>{} : PriceRows(depot_, funds_[fund_]);
  const std::string* price = nullptr;
  for (size_t i = 0; i + 1 < prices.size(); i += 2) {
    if (prices[i] == date) {
      price = &prices[i + 1];
      break;
    }
  }
  if (price == nullptr || ParseNumber(*price) == 0) {
    const char* middle = price != nullptr && kind_ == AdjustmentKind::Costs ? kEnterCostPrices : kEnterPrices;
    prompter_.Notice("Hinweis", std::string(kNoPriceFirst) + middle + kNoPriceLast, MessageIcon::Stop, BeepKind::Stop);
    entries_.clear();
    pending_ = false;
    return DialogStep::Cancel;
  }
  const double shares = ParseNumber(shares_);
  double now = 0;
  if (kind_ == AdjustmentKind::Distribution) {
    const std::optional<FundMaster> m = ReadMaster(depot_, funds_[fund_]);
    now = SharesAfterDistribution(shares, ParseNumber(amount), ParseNumber(*price),
                                  ParseNumber(m ? m->surchargeFactor : "1"));
  } else {
    now = SharesAfterCosts(shares, ParseNumber(amount), ParseNumber(*price));
  }
  // A surcharge factor of 0 leaves nothing to show.
  newShares_ = std::isfinite(now) ? FormatNumber(now, 4) : std::string();
  return DialogStep::Stay;
}

bool AdjustmentSession::Record(const std::string& date, const std::string& amount) {
  if (amount.empty() || funds_.empty()) return false;
  if (date.empty()) {
    // An entry without a date could never be applied.
    prompter_.Notice("Hinweis", DateMissingText(kind_), MessageIcon::Stop, BeepKind::Stop);
    return false;
  }
  entries_.push_back({funds_[fund_], date, amount});
  pending_ = false;
  newShares_ = shares_;
  return true;
}

EntryOutcome AdjustmentSession::Edit(const std::string& date, const std::string& amount) {
  if (!Record(date, amount)) return {};
  return EntryOutcome{DialogStep::Stay, true};
}

EntryOutcome AdjustmentSession::SwitchFund(size_t index, const std::string& date, const std::string& amount) {
  if (index >= funds_.size()) return {};
  if (pending_ && Ask(prompter_, kTakeOverEntries)) Record(date, amount);
  Load(index);
  return EntryOutcome{DialogStep::Stay, true};
}

EntryOutcome AdjustmentSession::Ok(const std::string& date, const std::string& amount) {
  if (pending_ && Ask(prompter_, kTakeOverEntries)) Record(date, amount);
  pending_ = false;
  return EntryOutcome{DialogStep::Accept, false};
}

// ---- opening holdings -------------------------------------------------------

OpeningSession::OpeningSession(const RecordStore& depot, Prompter& prompter)
    : depot_(depot), prompter_(prompter), funds_(FundNames(depot)) {}

EntryOutcome OpeningSession::Edit(const OpeningEntry& typed) {
  if (funds_.empty() || typed.shares.empty()) return {};
  const std::string& fund = funds_[fund_];
  bool exists = ReadSection(depot_, section::kOpening, fund).size() >= 2;
  // An entry of this dialog for the same fund would be replaced just the same.
  for (const OpeningEntry& e : entries_) exists = exists || e.fund == fund;
  const bool take = !exists || Ask(prompter_, "Für den Fond " + fund +
                                                  " sind schon Anfangsbestände vorhanden.\n"
                                                  "Wollen Sie trotzdem die Eingabe übernehmen?");
  if (take) {
    OpeningEntry e = typed;
    e.fund = fund;
    if (e.currency.empty()) {
      // No currency typed: the capital is in the fund currency.
      const std::optional<FundMaster> m = ReadMaster(depot_, fund);
      e.currency = m && !m->currency.empty() ? m->currency : "Euro";
    }
    entries_.push_back(e);
  }
  pending_ = false;
  return EntryOutcome{DialogStep::Stay, true};
}

bool OpeningSession::AskPending(const OpeningEntry& typed) {
  if (!pending_) return false;
  if (Ask(prompter_, kTakeOverEntries)) Edit(typed);
  pending_ = false;
  return true;
}

EntryOutcome OpeningSession::SwitchFund(size_t index, const OpeningEntry& typed) {
  if (index >= funds_.size()) return {};
  AskPending(typed);
  fund_ = index;
  pending_ = false;
  return EntryOutcome{DialogStep::Stay, true};
}

EntryOutcome OpeningSession::Ok(const OpeningEntry& typed) {
  AskPending(typed);
  return EntryOutcome{entries_.empty() ? DialogStep::Cancel : DialogStep::Accept, false};
}

}  // namespace tellurio
