#include "analysis/ReturnCalculation.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"
#include "portfolio/CurrencyList.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotice = "Hinweis";
constexpr const char* kLeftOut = "Der Fond wird bei der Berechnung nicht berücksichtigt.";
constexpr const char* kDistributionDayFormat =
    "Sie haben das Ausschüttungsdatum im falschen Format eingegeben.\nDie Eingabe muß im Format 'TT.MM.' erfolgen.";

void StopBox(Prompter& p, const char* title, const std::string& text) {
  p.Show(Message{title, text, MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
}

}  // namespace

// ---- Werteeingabe für die Fonds ---------------------------------------------

FundAmountsRules::FundAmountsRules(std::vector<std::string> funds, SavingsMode mode, Prompter& prompter,
                                   std::vector<FundAmounts> prefill)
    : funds_(std::move(funds)), mode_(mode), prompter_(prompter), prefill_(std::move(prefill)) {
  prefill_.resize(funds_.size());
}

FundAmountsRules::Outcome FundAmountsRules::Ok(const std::vector<FundAmounts>& fields) {
  const bool monthly = mode_ == SavingsMode::Monthly;
  std::vector<FundAmounts> result;
  double rates = 0, amounts = 0;
  for (size_t i = 0; i < funds_.size(); ++i) {
    const FundAmounts in = i < fields.size() ? fields[i] : FundAmounts{};
    FundAmounts out{monthly ? in.monthlyRate : "0,00", in.initialAmount,
                    in.distributionDay.empty() ? kDefaultDistributionDay : in.distributionDay};
    // A distribution day that is no day of the year would be compared as
    // some other day; it is refused as in the main dialog.
    if (!IsDistributionDay(out.distributionDay)) {
      StopBox(prompter_, kNotice, kDistributionDayFormat);
      return Outcome{DialogStep::Stay, i, Column::DistributionDay, false};
    }
    rates += ParseNumber(out.monthlyRate);
    amounts += ParseNumber(out.initialAmount);
    result.push_back(std::move(out));
  }
  const Column first = monthly ? Column::MonthlyRate : Column::InitialAmount;
  if (monthly && rates == 0) {
    StopBox(prompter_, "Eingabefehler",
            "Sie müssen in mindestens einen Fond monatlich einzahlen,\num den Gewinn des Depots ausrechnen zu können");
    return Outcome{DialogStep::Stay, 0, first, true};
  }
  if (!monthly && amounts == 0) {
    StopBox(prompter_, "Eingabefehler",
            "Sie müssen in mindestens einen Fond investieren,\num den Gewinn des Depots ausrechnen zu können");
    return Outcome{DialogStep::Stay, 0, first, true};
  }
  result_ = std::move(result);
  return Outcome{DialogStep::Accept, 0, first, false};
}

// ---- Renditeberechnung -------------------------------------------------------

ReturnCalculationRules::ReturnCalculationRules(const DepotState& state, const Calendar& calendar, Prompter& prompter,
                                               SavingsDialogs& dialogs)
    : calendar_(calendar),
      prompter_(prompter),
      dialogs_(dialogs),
      workingDirectory_(state.workingDirectory),
      depots_(state.depotNames),
      currency_(state.currency),
      factors_(state.currencyFactors) {
  SelectDepot(0);
}

void ReturnCalculationRules::SelectDepot(size_t index) {
  fund_.reset();
  funds_.clear();
  prepared_.clear();
  store_ = RecordStore();
  if (index >= depots_.size()) return;
  depot_ = index;
  // Read only: nothing is created or written, a depot without a data file
  // is empty, and a damaged or unreadable store is reported by stores_ (a
  // repaired one is computed on what could be read, as the user was told).
  if (stores_.Open(workingDirectory_, depots_[index], StoreKind::Depot, store_, /*createMissing=*/false) ==
      StoreOpened::Unreadable) {
    store_ = RecordStore();
    return;
  }
  funds_ = FundNames(store_);
}

void ReturnCalculationRules::SelectFund(std::optional<size_t> index) {
  fund_ = index && *index < funds_.size() ? index : std::nullopt;
}

void ReturnCalculationRules::SetScope(SavingsScope scope) {
  scope_ = scope;
  fund_.reset();
}

bool ReturnCalculationRules::Enabled(ReturnField field) const {
  switch (field) {
    case ReturnField::Funds:
    case ReturnField::InitialAmount:
      return scope_ == SavingsScope::Fund;
    case ReturnField::MonthlyRate:
    case ReturnField::DebitDay:
    case ReturnField::IncreaseBox:
    case ReturnField::Increase:
      return mode_ == SavingsMode::Monthly;
    default:
      return true;
  }
}

std::vector<std::string> ReturnCalculationRules::DebitDayTexts() {
  std::vector<std::string> out;
  for (int d = 1; d <= 31; ++d) out.push_back(DebitDayText(d));
  return out;
}

void ReturnCalculationRules::Notice(const std::string& text, MessageIcon icon) {
  prompter_.Show(Message{kNotice, text, MessageButtons::Ok, icon, BeepKind::Stop});
}

namespace {
// Asks nobody: a factor only the user knows is not there.
class NoFactorAsked : public ConversionFactorSource {
 public:
  std::optional<std::string> AskFactor(const std::string&, const std::string&) override { return std::nullopt; }
};
}  // namespace

std::optional<double> ReturnCalculationRules::ConversionFactor(const std::string& currency) const {
  std::vector<std::string> copy = factors_;
  CurrencyList list(copy);
  if (!list.FactorText(currency)) {
    // The list holds the currencies of the current depot's funds; a fund of
    // another depot may have one it lacks.  The display currency and DM or
    // Euro have their fixed factors; any other currency stays without one.
    NoFactorAsked nobody;
    list.Register(currency, currency_, nobody);
  }
  const std::optional<std::string> text = list.FactorText(currency);
  if (!text) return std::nullopt;
  const double k = ParseNumber(*text);
  if (!(k > 0)) return std::nullopt;  // a factor the user cancelled ("0,00000") converts nothing
  return k;
}

std::vector<std::optional<FundPlanResult>> ReturnCalculationRules::RunFunds(const std::vector<SavingsInput>& records,
                                                                            const std::vector<size_t>& fundIndex,
                                                                            int debitDay) {
  // First what each fund lacks, from its master row; then the plans; then
  // the messages, in fund order.  A fund's rows are indexed once while the
  // depot stays chosen: the store does not change under the dialog.
  enum class Lack { Nothing, Fund, Factor, Surcharge };
  const size_t n = records.size();
  prepared_.resize(funds_.size());
  std::vector<Lack> lack(n, Lack::Nothing);
  std::vector<const SavingsFund*> funds(n, nullptr);
  std::vector<double> factors(n, 0);
  for (size_t i = 0; i < n; ++i) {
    std::optional<SavingsFund>& prepared = prepared_[fundIndex[i]];
    if (!prepared) {
      SavingsFund f;
      if (ReadSavingsFund(store_, records[i].fund, f)) {
        if (!IndexSavingsRows(f)) LoadSavingsRows(f);
        prepared = std::move(f);
      }
    }
    if (!prepared) {
      lack[i] = Lack::Fund;
      continue;
    }
    funds[i] = &*prepared;
    if (const std::optional<double> k = ConversionFactor(prepared->currency)) {
      factors[i] = *k;
      if (!(prepared->surchargeFactor > 0)) lack[i] = Lack::Surcharge;
    } else {
      // Without its factor the fund's amounts cannot be converted; a made-up
      // factor would give a plainly wrong figure, so the fund is left out.
      lack[i] = Lack::Factor;
    }
  }
  // Each fund's plan depends on that fund alone and only reads its rows, so
  // a depot of long series is shared between two threads, each with about
  // half of the rows.
  std::vector<FundPlanResult> plans(n);
  auto run = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
      if (lack[i] == Lack::Nothing) plans[i] = SimulateFund(records[i], *funds[i], factors[i], mode_, debitDay);
  };
  std::vector<size_t> rowsBefore(n + 1, 0);
  for (size_t i = 0; i < n; ++i) {
    const SavingsFund* f = lack[i] == Lack::Nothing ? funds[i] : nullptr;
    rowsBefore[i + 1] = rowsBefore[i] + (f ? std::max(f->dates.size(), f->sourceDates.size()) : 0);
  }
  if (n >= 2 && rowsBefore[n] >= 100000) {
    const size_t half = static_cast<size_t>(std::lower_bound(rowsBefore.begin(), rowsBefore.end(), rowsBefore[n] / 2) -
                                            rowsBefore.begin());
    const size_t split = std::clamp<size_t>(half, 1, n - 1);
    std::thread other;
    try {
      other = std::thread(run, split, n);
    } catch (const std::system_error&) {
      run(split, n);  // no second thread to be had: this one does all
    }
    run(0, split);
    if (other.joinable()) other.join();
  } else {
    run(0, n);
  }

  std::vector<std::optional<FundPlanResult>> out(n);
  for (size_t i = 0; i < n; ++i) {
    const std::string& name = records[i].fund;
    const std::string noData =
        "Von dem Fond " + name + " sind keine Daten in Ihrem gewählten\nAnlagezeitraum vorhanden.";
    switch (lack[i]) {
      case Lack::Fund:
        Notice(noData);
        break;
      case Lack::Factor:
        Notice("Für die Währung " + funds[i]->currency + " des Fonds " + name +
               " ist kein Umrechnungsfaktor bekannt.\n" + kLeftOut);
        break;
      case Lack::Surcharge:
        Notice("Der Fond " + name + " hat keinen gültigen Ausgabeaufschlag.\n" + kLeftOut);
        break;
      case Lack::Nothing:
        if (plans[i].failure == SavingsFailure::NoData)
          Notice(noData);
        else if (plans[i].failure == SavingsFailure::TooLarge)
          Notice("Die Beträge des Fonds " + name + " werden zu groß, um sie berechnen zu können.\n" + kLeftOut);
        else
          out[i] = std::move(plans[i]);
        break;
    }
  }
  return out;
}

ReturnField ReturnCalculationRules::Calculate(const ReturnInputs& in) {
  const bool monthly = mode_ == SavingsMode::Monthly;
  // 1. The distribution day.
  const std::string distributionDay = in.distributionDay.empty() ? kDefaultDistributionDay : in.distributionDay;
  if (!IsDistributionDay(distributionDay)) {
    Notice(kDistributionDayFormat);
    return ReturnField::DistributionDay;
  }
  // 2. The other fields; switched-off fields take no part.
  SavingsInput common;
  common.distributionDay = distributionDay;
  common.yearlyIncrease = monthly && in.increaseOn ? in.increase : "";
  common.purchaseDate = in.purchaseDate;
  common.monthlyRate = monthly ? in.monthlyRate : "";
  common.start = in.start;
  common.end = in.end;
  common.initialAmount = scope_ == SavingsScope::Fund ? in.initialAmount : "";
  if (common.purchaseDate.empty()) {
    Notice("Sie müssen erst das Kaufdatum eingeben.");
    return ReturnField::PurchaseDate;
  }
  if (common.start.empty()) {
    Notice("Sie müssen erst den Beginn des Anlagezeitraumes eingeben.");
    return ReturnField::Start;
  }
  if (common.end.empty()) {
    Notice("Sie müssen erst das Ende des Anlagezeitraumes eingeben.");
    return ReturnField::End;
  }
  const int debitDay = in.debitDay >= 1 && in.debitDay <= 31 ? in.debitDay : 1;

  std::vector<SavingsInput> records;
  std::vector<size_t> fundIndex;  // of each record in the fund list
  if (scope_ == SavingsScope::Depot) {
    // 3. The amounts of every fund of the depot.
    const std::string depot = depot_ < depots_.size() ? depots_[depot_] : std::string();
    if (funds_.empty()) {
      Notice("Das Depot " + depot + " enthält keine Fonds.");
      return ReturnField::None;
    }
    const bool sameFunds = amountsDepot_ == depot && amountsFunds_ == funds_;
    FundAmountsRules amounts(funds_, mode_, prompter_, sameFunds ? amounts_ : std::vector<FundAmounts>{});
    if (!dialogs_.FundAmounts(amounts)) return ReturnField::None;
    amountsDepot_ = depot;
    amountsFunds_ = funds_;
    amounts_ = amounts.Result();
    for (size_t i = 0; i < funds_.size() && i < amounts_.size(); ++i) {
      SavingsInput r = common;
      r.monthlyRate = amounts_[i].monthlyRate;
      r.initialAmount = amounts_[i].initialAmount;
      r.distributionDay = amounts_[i].distributionDay;
      r.fund = funds_[i];
      records.push_back(std::move(r));
      fundIndex.push_back(i);
    }
  } else {
    // 4. One fund.
    if (!fund_) {
      Notice("Sie müssen erst einen Fond aus dem Listenfeld auswählen.");
      return ReturnField::Funds;
    }
    if (!monthly && common.initialAmount.empty()) {
      Notice("Sie müssen erst einen Anfangsbetrag eingeben");
      return ReturnField::InitialAmount;
    }
    if (monthly && common.monthlyRate.empty()) {
      Notice("Sie müssen erst einen monatlichen Sparbetrag eingeben.");
      return ReturnField::MonthlyRate;
    }
    SavingsInput r = common;
    r.fund = funds_[*fund_];
    records.push_back(std::move(r));
    fundIndex.push_back(*fund_);
  }

  // 5. The order of the dates is the same for every fund: said once.
  if (CompareDates(common.purchaseDate, common.start, 0) > 0) {
    Notice("Das Kaufdatum kann nicht nach dem Beginn des Anlagezeitraums liegen!!");
    return ReturnField::PurchaseDate;
  }
  if (CompareDates(common.start, common.end, 0) > 0) {
    Notice(
        "Das Datums des Beginn des Anlagezeitraums kann nicht \n"
        "nach dem Ende des Anlagezeitraums liegen");
    return ReturnField::Start;
  }

  // Every fund with a result takes part in the totals and the report with
  // its own inputs; a fund without one (its message named it) is left out.
  SavingsCalculation c;
  c.mode = mode_;
  c.scope = scope_;
  c.depot = depot_ < depots_.size() ? depots_[depot_] : std::string();
  c.currency = currency_;
  c.debitDay = debitDay;
  std::vector<std::optional<FundPlanResult>> results = RunFunds(records, fundIndex, debitDay);
  for (size_t i = 0; i < records.size(); ++i) {
    if (!results[i]) continue;
    c.inputs.push_back(records[i]);
    c.results.push_back(std::move(*results[i]));
  }
  std::optional<SavingsTotals> totals = ComputeTotals(c.results, common.end, calendar_);
  if (!totals) {
    // Funds with a result but no totals: their sums overflowed.
    if (!c.results.empty()) Notice("Die Summe der Beträge wird zu groß, um sie berechnen zu können.");
    return ReturnField::None;
  }
  c.totals = std::move(*totals);
  calculation_ = std::move(c);
  return ReturnField::None;
}

DialogStep ReturnCalculationRules::Print() {
  if (!calculation_) {
    Notice(
        "Sie müssen vor der Druckausgabe erst die Gewinnberechnung ausführen !!\n"
        "Drücken Sie also erst die Berechnungstaste und dann die Drucktaste.");
    return DialogStep::Stay;
  }
  return DialogStep::Accept;
}

SavingsReport ReturnCalculationRules::Report() const {
  return calculation_ ? BuildSavingsReport(*calculation_) : SavingsReport{};
}

void SavingsPlans::Run() {
  ReturnCalculationRules rules(state_, calendar_, prompter_, dialogs_);
  if (!dialogs_.ReturnCalculation(rules) || !rules.Calculation()) return;
  if (sink_) sink_(rules.Report());
}

}  // namespace tellurio
