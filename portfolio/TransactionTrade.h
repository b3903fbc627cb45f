#pragma once
// Buying and selling fund shares: the working state of the dialogs
// "Fondanteile kaufen" and "Verkauf von Fondanteilen" without widgets.  The
// Qt dialog forwards its events (date typed, amount edited, OK, fund
// switched, ZIEL) and shows what the session holds afterwards; every booking
// is written to the depot store and saved at once.
//
// A purchase turns an amount of money into shares at the issue price of the
// day (price × surcharge factor), a sale at the stored price; the amount is
// typed in the display currency when the fund currency has a factor in the
// currency list, else in the fund currency.

#include <optional>
#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "platform/DialogStep.h"
#include "platform/Prompter.h"
#include "portfolio/DepotState.h"

namespace tellurio {

enum class TradeKind { Buy, Sell };

// The fields of the buy and sell dialogs that an event can send the focus to.
enum class TradeField { None, Date, Amount };

// What the dialog does after an event: stay, close (Accept: closed with OK,
// stored or not), which field gets the focus, whether the amount field is
// emptied.
struct TradeOutcome {
  DialogStep step = DialogStep::Stay;
  TradeField focus = TradeField::None;
  bool clearAmount = false;
};

class TradeSession {
 public:
  // Loads the first fund of the depot (which may show the no-price message).
  // state and everything else must outlive the session.
  TradeSession(TradeKind kind, DepotState& state, const Calendar& calendar, Prompter& prompter);

  TradeKind Kind() const { return kind_; }
  const std::vector<std::string>& Funds() const { return funds_; }
  size_t FundIndex() const { return fund_; }

  // What the dialog shows.
  const std::string& DateText() const { return dateField_; }       // the date field
  const std::string& UnitPriceText() const { return unitPrice_; }  // empty without a price
  const std::string& FundCurrency() const { return fundCurrency_; }
  const std::string& AmountCurrency() const { return amountCurrency_; }
  bool AmountEnabled() const { return amountEnabled_; }
  const std::string& OldHolding() const { return oldHolding_; }
  const std::string& NewHolding() const { return newHolding_; }  // empty when not computable
  // The conversion factor text in use ("1,0000" without a list entry).
  const std::string& Factor() const { return factor_; }
  bool InputComplete() const { return inputComplete_; }
  // Bookings written while the dialog was open.
  int Stored() const { return stored_; }

  // The date field was edited and then the amount field or the fund list got
  // the focus: the exact price of that date becomes the day in use.  Not
  // found: the message, the date field emptied and focused, the amount field
  // read-only.
  TradeOutcome DateTyped(const std::string& date);
  // Every edit of the amount field: the new holding is recomputed.
  void AmountChanged(const std::string& amount);
  // OK with the amount and date fields as they are.
  TradeOutcome Ok(const std::string& amount, const std::string& dateField);
  // Another fund chosen in the list; a pending amount is booked on the fund
  // selected before when the user says so.
  TradeOutcome SwitchFund(size_t index, const std::string& amount);
  // ZIEL: the price of one share in the amount currency, or nothing (with the
  // no-price message) when the dialog shows no price.
  std::optional<double> TargetUnitPrice();

 private:
  void Load(size_t index);
  void NoPrice(const std::string& date);
  // Unit price in the fund currency: issue price (buy) or price (sell).
  double UnitPrice() const;
  // The holding text after booking that many shares (before the 4-decimal
  // cut of the row).
  std::string HoldingAfter(double shares) const;
  // Books the amount on the current fund; false (with a notice) when the
  // booking cannot be computed, or when the store could not be saved.
  bool Store(const std::string& amount);

  TradeKind kind_;
  DepotState& state_;
  const Calendar& calendar_;
  Prompter& prompter_;
  std::vector<std::string> funds_;
  size_t fund_ = 0;

  std::string surcharge_ = "1,0000";
  std::string fundCurrency_;
  std::string amountCurrency_;
  std::string factor_ = "1,0000";
  std::string date_;            // day in use, empty without a price
  std::string price_ = "0,00";  // stored price of that day
  std::string dateField_;
  std::string unitPrice_;
  bool amountEnabled_ = false;
  std::string oldHolding_ = "0";
  bool hasHolding_ = false;
  std::string newHolding_ = "0";
  bool inputComplete_ = false;
  int stored_ = 0;
};

// The target dialogs "Zielkauf" and "Zielverkauf": the amount for a number
// of shares at the unit price, 2 decimals ("0,0000" before any edit).
inline constexpr const char* kTargetStartText = "0,0000";
std::string TargetAmountText(double unitPrice, const std::string& shares);

// The notices shown when a booking cannot be computed: the conversion factor
// of a currency is 0 or missing, or there is no usable price.
std::string MissingFactorText(const std::string& currency, const std::string& displayCurrency);
std::string MissingPriceText(const std::string& fund, const std::string& date);

}  // namespace tellurio
