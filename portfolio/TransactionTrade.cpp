#include "portfolio/TransactionTrade.h"

#include <cmath>

#include "calendar/NumberText.h"
#include "portfolio/CurrencyList.h"
#include "portfolio/FundCommands.h"
#include "portfolio/Funds.h"

namespace tellurio {

namespace {

const char kTakeOver[] = "Wollen Sie die Eingabe übernehmen?";

std::string NoPriceText(const std::string& date, const std::string& fund) {
  return "Für den " + date + " sind keine Kursdaten des Fonds " + fund +
         " verfügbar.\nGeben Sie bitte erst ein Datum ein für das ein aktuellen Kurs vorliegt.";
}

}  // namespace

std::string TargetAmountText(double unitPrice, const std::string& shares) {
  return FormatNumber(ParseNumber(shares) * unitPrice, 2);
}

std::string MissingFactorText(const std::string& currency, const std::string& display) {
  return "Für die Währung " + currency + " ist kein Umrechnungsfaktor in " + display +
         " festgelegt (der Faktor ist 0).\nOhne diesen Faktor kann die Eingabe nicht übernommen werden.\n"
         "Nach dem nächsten Laden des Depots fragt das Programm wieder nach dem Faktor.";
}

std::string MissingPriceText(const std::string& fund, const std::string& date) {
  return "Für den Fond " + fund + " liegt " + (date.empty() ? std::string("für diesen Tag") : "am " + date) +
         " kein Anteilspreis vor.\nOhne Anteilspreis kann die Eingabe nicht übernommen werden.";
}

TradeSession::TradeSession(TradeKind kind, DepotState& state, const Calendar& calendar, Prompter& prompter)
    : kind_(kind), state_(state), calendar_(calendar), prompter_(prompter), funds_(FundNames(state.depotStore)) {
  if (!funds_.empty()) Load(0);
}

void TradeSession::NoPrice(const std::string& date) {
  prompter_.Notice("Fehler", NoPriceText(date, funds_[fund_]), MessageIcon::Stop, BeepKind::Stop);
}

void TradeSession::Load(size_t index) {
  fund_ = index;
  const std::string& fund = funds_[fund_];
  const RecordStore& store = state_.depotStore;
  const std::optional<FundMaster> master = ReadMaster(store, fund);
  surcharge_ = master ? master->surchargeFactor : "1,0000";
  fundCurrency_ = master ? master->currency : "";
  factor_ = "1,0000";
  amountCurrency_ = fundCurrency_;
  if (fundCurrency_ != state_.currency) {
    if (std::optional<std::string> f = CurrencyList(state_.currencyFactors).FactorText(fundCurrency_)) {
      amountCurrency_ = state_.currency;
      factor_ = *f;
    }
  }

  const std::string day = Calendar::FormatDate(PreviousBusinessDay(calendar_, calendar_.Today()));
  if (std::optional<std::string> p = ExactPrice(PriceRows(store, fund), day)) {
    date_ = dateField_ = day;
    price_ = *p;
    unitPrice_ = kind_ == TradeKind::Buy ? IssuePriceText(price_, surcharge_) : price_;
    amountEnabled_ = true;
  } else {
    date_.clear();
    dateField_.clear();
    price_ = "0,00";
    unitPrice_.clear();  // no price of the fund shown before stays on display
    amountEnabled_ = false;
    NoPrice(day);
  }

  const std::vector<std::string> holding = ReadSection(store, section::kHolding, fund);
  hasHolding_ = holding.size() >= 2;
  oldHolding_ = hasHolding_ ? holding[1] : "0";
  newHolding_ = oldHolding_;
  inputComplete_ = false;
}

TradeOutcome TradeSession::DateTyped(const std::string& date) {
  if (funds_.empty()) return {};
  if (std::optional<std::string> p = ExactPrice(PriceRows(state_.depotStore, funds_[fund_]), date)) {
    date_ = dateField_ = date;
    price_ = *p;
    unitPrice_ = kind_ == TradeKind::Buy ? IssuePriceText(price_, surcharge_) : price_;
    amountEnabled_ = true;
    return {};
  }
  NoPrice(date);
  date_.clear();
  dateField_.clear();
  price_ = "0,00";
  unitPrice_.clear();
  amountEnabled_ = false;
  return TradeOutcome{DialogStep::Stay, TradeField::Date, false};
}

double TradeSession::UnitPrice() const {
  const double price = ParseNumber(price_);
  return kind_ == TradeKind::Buy ? price * ParseNumber(surcharge_) : price;
}

std::string TradeSession::HoldingAfter(double shares) const {
  // The holding moves by the share count the row stores (4 decimals), so it
  // stays the sum of the rows: a sale of 2,00005 shares books 2,0000, and
  // the holding must not lose the 0,00005 that the row does not show.
  const double booked = ParseNumber(FormatNumber(shares, 4));
  const double old = ParseNumber(oldHolding_);
  return ShareSumText(kind_ == TradeKind::Buy ? old + booked : old - booked);
}

void TradeSession::AmountChanged(const std::string& amount) {
  inputComplete_ = true;
  const double divisor = UnitPrice() * ParseNumber(factor_);
  const double shares = ParseNumber(amount) / divisor;
  // Without a price or factor there is no share count to show.
  newHolding_ = divisor != 0 && std::isfinite(shares) ? HoldingAfter(shares) : std::string();
}

bool TradeSession::Store(const std::string& amount) {
  const std::string& fund = funds_[fund_];
  const double unit = UnitPrice();
  if (date_.empty() || unit == 0 || !std::isfinite(unit)) {
    prompter_.Notice("Hinweis", MissingPriceText(fund, date_), MessageIcon::Exclamation, BeepKind::Exclamation);
    return false;
  }
  const double factor = ParseNumber(factor_);
  if (factor == 0) {
    prompter_.Notice("Hinweis", MissingFactorText(fundCurrency_, state_.currency), MessageIcon::Exclamation,
                     BeepKind::Exclamation);
    return false;
  }
  const double money = ParseNumber(amount);
  const double shares = money / (unit * factor);
  if (!std::isfinite(shares) || !std::isfinite(ParseNumber(oldHolding_) + shares) || !std::isfinite(money / factor)) {
    prompter_.Notice("Hinweis",
                     "Mit diesem Betrag kann keine Anteilszahl berechnet werden.\nDie Eingabe wird nicht übernommen.",
                     MessageIcon::Exclamation, BeepKind::Exclamation);
    return false;
  }
  const std::string priceText = kind_ == TradeKind::Buy ? FormatNumber(unit, 2) : price_;
  const std::vector<std::string> row = {date_, priceText, FormatNumber(shares, 4), FormatNumber(money / factor, 2)};
  const std::string holding = HoldingAfter(shares);

  RecordStore& store = state_.depotStore;
  store.Select(fund);
  store.AppendRows(kind_ == TradeKind::Buy ? section::kPurchases : section::kSales, row, 1);
  // The fund holds at most one holding row: replacing the section replaces
  // it, or adds it for the first booking.
  store.ReplaceRows(section::kHolding, {date_, holding});
  oldHolding_ = newHolding_ = holding;
  hasHolding_ = true;
  inputComplete_ = false;
  ++stored_;
  return ReportFailure(prompter_, store.Save());
}

TradeOutcome TradeSession::Ok(const std::string& amount, const std::string& dateField) {
  if (!inputComplete_ || funds_.empty()) return TradeOutcome{DialogStep::Accept};
  if (!amount.empty() && !dateField.empty()) {
    if (!prompter_.AskYesNo("Frage", kTakeOver, MessageIcon::Question, BeepKind::Question)) return {};
    return Store(amount) ? TradeOutcome{DialogStep::Accept} : TradeOutcome{};
  }
  if (amount.empty()) {
    prompter_.AskYesNo("Frage",
                       kind_ == TradeKind::Buy ? "Geben Sie bitte erst eine Kaufsumme ein !"
                                               : "Geben Sie bitte erst eine Verkaufsumme ein !",
                       MessageIcon::Question, BeepKind::Question);
    return TradeOutcome{DialogStep::Stay, TradeField::Date, false};
  }
  prompter_.AskYesNo("Frage", "Geben Sie bitte erst eingültiges Datum ein !", MessageIcon::Question,
                     BeepKind::Question);
  return TradeOutcome{DialogStep::Stay, TradeField::Amount, false};
}

TradeOutcome TradeSession::SwitchFund(size_t index, const std::string& amount) {
  if (index >= funds_.size()) return {};
  if (inputComplete_ && prompter_.AskYesNo("Frage", kTakeOver, MessageIcon::Question, BeepKind::Question))
    Store(amount);
  Load(index);
  return TradeOutcome{DialogStep::Stay, TradeField::Date, true};
}

std::optional<double> TradeSession::TargetUnitPrice() {
  if (funds_.empty()) return std::nullopt;
  if (unitPrice_.empty()) {
    NoPrice(calendar_.TodayText());
    return std::nullopt;
  }
  return UnitPrice() * ParseNumber(factor_);
}

}  // namespace tellurio
