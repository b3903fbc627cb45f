#pragma once
// The command "Sparpläne" and the rules of its two dialogs without widgets:
// "Renditeberechnung" (depot, fund or whole depot, one-off or monthly
// payment, amounts, period; BERR computes, DRUCKEN hands the report on) and
// "Werteeingabe für die Fonds" (the amounts of every fund of a depot).  The
// Qt dialogs (analysis/qt) forward their events here and show what the
// rules decide; every message goes through the Prompter.  Nothing is
// written: the chosen depot's store is opened read-only.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/SavingsPlan.h"
#include "calendar/Calendar.h"
#include "platform/DialogStep.h"
#include "platform/Prompter.h"
#include "portfolio/DepotState.h"
#include "portfolio/DepotStores.h"
#include "storage/RecordStore.h"
#include "storage/Status.h"

namespace tellurio {

// ---- Werteeingabe für die Fonds ---------------------------------------------

struct FundAmounts {
  std::string monthlyRate;
  std::string initialAmount;
  std::string distributionDay;  // "TT.MM."
};

class FundAmountsRules {
 public:
  enum class Column { MonthlyRate, InitialAmount, DistributionDay };
  struct Outcome {
    DialogStep step = DialogStep::Stay;
    size_t row = 0;  // the field that gets the focus (when staying)
    Column column = Column::InitialAmount;
    bool clear = false;  // that field is emptied first
  };

  // One row per fund; prefill holds the fields the dialog opens with (one
  // per fund, or empty for empty fields).  The prompter must outlive the
  // rules.
  FundAmountsRules(std::vector<std::string> funds, SavingsMode mode, Prompter& prompter,
                   std::vector<FundAmounts> prefill = {});

  const std::vector<std::string>& Funds() const { return funds_; }
  SavingsMode Mode() const { return mode_; }
  // The monthly rate column exists in monthly mode only.
  bool ShowsMonthlyRate() const { return mode_ == SavingsMode::Monthly; }
  const std::vector<FundAmounts>& Prefill() const { return prefill_; }

  // OK with the fields of every row (the monthly rate is not read in one-off
  // mode).  Accept: Result() holds the amounts of every fund.
  Outcome Ok(const std::vector<FundAmounts>& fields);
  // Per fund: the monthly rate ("0,00" in one-off mode), the initial amount
  // and the distribution day ("31.12." when left empty).
  const std::vector<FundAmounts>& Result() const { return result_; }

 private:
  std::vector<std::string> funds_;
  SavingsMode mode_;
  Prompter& prompter_;
  std::vector<FundAmounts> prefill_;
  std::vector<FundAmounts> result_;
};

inline constexpr const char* kFundAmountsText = "Geben Sie die investierten Beträge für die einzelnen Fonds ein";

// ---- Renditeberechnung -------------------------------------------------------

class ReturnCalculationRules;

// The two dialogs as the rules and the command see them; the Qt layer
// implements them, tests script them.
class SavingsDialogs {
 public:
  virtual ~SavingsDialogs() = default;
  // "Renditeberechnung", modal.  True when it was closed by DRUCKEN after a
  // calculation (the rules then hold the report).
  virtual bool ReturnCalculation(ReturnCalculationRules& rules) = 0;
  // "Werteeingabe für die Fonds", modal.  True when closed with OK.
  virtual bool FundAmounts(FundAmountsRules& rules) = 0;
};

// The fields of "Renditeberechnung" that an event may send the focus to or
// that can be switched off.
enum class ReturnField {
  None,
  Funds,
  PurchaseDate,
  MonthlyRate,
  DebitDay,
  IncreaseBox,
  Increase,
  Start,
  End,
  DistributionDay,
  InitialAmount,
};

// What the fields hold when BERR is pressed.
struct ReturnInputs {
  std::string purchaseDate;
  std::string monthlyRate;
  int debitDay = 1;  // 1..31, from the drop-down "01." .. "31."
  bool increaseOn = false;
  std::string increase;  // "% pro Jahr"
  std::string start;
  std::string end;
  std::string distributionDay;
  std::string initialAmount;
};

class ReturnCalculationRules {
 public:
  // Takes the depot list, the display currency, a copy of the currency list
  // and the working directory from the state, and opens the first depot of
  // the list.  Everything must outlive the rules.
  ReturnCalculationRules(const DepotState& state, const Calendar& calendar, Prompter& prompter,
                         SavingsDialogs& dialogs);

  const std::vector<std::string>& Depots() const { return depots_; }
  size_t DepotIndex() const { return depot_; }
  // Reopens the chosen depot's store (read-only) and refills the fund list;
  // no fund is chosen afterwards.
  void SelectDepot(size_t index);

  const std::vector<std::string>& Funds() const { return funds_; }
  std::optional<size_t> FundIndex() const { return fund_; }
  void SelectFund(std::optional<size_t> index);

  SavingsMode Mode() const { return mode_; }
  void SetMode(SavingsMode mode) { mode_ = mode; }
  SavingsScope Scope() const { return scope_; }
  // Either scope clears the fund choice.
  void SetScope(SavingsScope scope);
  // "einmalig" switches off the monthly rate, the debit day, the increase
  // box and its percentage; scope "Depot" the fund list and the initial
  // amount.
  bool Enabled(ReturnField field) const;

  // The depot currency shown beside the amounts.
  const std::string& Currency() const { return currency_; }
  // "01." .. "31.".
  static std::vector<std::string> DebitDayTexts();

  // BERR: the checks in order, the amounts of every fund in scope "Depot",
  // the simulation of every fund and the totals.  Returns the field that
  // gets the focus after a refused input (None otherwise).  A calculation
  // that gives no result keeps the previous one.
  ReturnField Calculate(const ReturnInputs& inputs);
  // The last calculation that gave a result.
  const std::optional<SavingsCalculation>& Calculation() const { return calculation_; }

  // DRUCKEN: Accept when there is a result (the dialog closes and Report()
  // is what the table pane shows); otherwise the message and Stay.
  DialogStep Print();
  SavingsReport Report() const;

 private:
  void Notice(const std::string& text, MessageIcon icon = MessageIcon::Stop);
  std::optional<double> ConversionFactor(const std::string& currency) const;
  // Each fund's part of the calculation, in order; nothing (after its
  // message) for a fund without a result.
  // fundIndex: the position of each record's fund in the fund list.
  std::vector<std::optional<FundPlanResult>> RunFunds(const std::vector<SavingsInput>& records,
                                                      const std::vector<size_t>& fundIndex, int debitDay);

  const Calendar& calendar_;
  Prompter& prompter_;
  SavingsDialogs& dialogs_;
  // Opens the chosen depot's store; reports each damaged or unreadable one
  // once while the dialog lives.
  DepotStores stores_{prompter_, calendar_};
  std::filesystem::path workingDirectory_;
  std::vector<std::string> depots_;
  std::string currency_;
  std::vector<std::string> factors_;  // copy of the currency list
  size_t depot_ = 0;
  RecordStore store_;
  std::vector<std::string> funds_;
  // What has been read of each fund of the list (its rows indexed), for the
  // next calculations on the same depot.
  std::vector<std::optional<SavingsFund>> prepared_;
  std::optional<size_t> fund_;
  SavingsMode mode_ = SavingsMode::OneOff;
  SavingsScope scope_ = SavingsScope::Depot;
  // The amounts typed in the last "Werteeingabe für die Fonds", offered
  // again for the same depot and funds.
  std::string amountsDepot_;
  std::vector<std::string> amountsFunds_;
  std::vector<FundAmounts> amounts_;
  std::optional<SavingsCalculation> calculation_;
};

// The command "Sparpläne": runs "Renditeberechnung" and hands the report of
// a DRUCKEN to the report sink (the table pane, or whatever shows it).
class SavingsPlans {
 public:
  using ReportSink = std::function<void(const SavingsReport&)>;
  // Everything must outlive the command.
  SavingsPlans(const DepotState& state, const Calendar& calendar, Prompter& prompter, SavingsDialogs& dialogs)
      : state_(state), calendar_(calendar), prompter_(prompter), dialogs_(dialogs) {}

  void SetReportSink(ReportSink sink) { sink_ = std::move(sink); }
  void Run();

 private:
  const DepotState& state_;
  const Calendar& calendar_;
  Prompter& prompter_;
  SavingsDialogs& dialogs_;
  ReportSink sink_;
};

}  // namespace tellurio
