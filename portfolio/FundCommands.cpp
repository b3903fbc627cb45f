#include "portfolio/FundCommands.h"

#include "calendar/NumberText.h"
#include "portfolio/PriceEntrySession.h"

namespace tellurio {

namespace {

std::string Trim(std::string s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

}  // namespace

bool ReportFailure(Prompter& prompter, const Status& status) {
  if (status.ok()) return true;
  prompter.Show(Message{"Fehler", status.Describe(), MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  return false;
}

FundCommands::FundCommands(DepotState& state, const Calendar& calendar, Prompter& prompter, DocumentEvents& events,
                           ConversionFactorSource& factors, FundDialogs& dialogs)
    : state_(state), calendar_(calendar), prompter_(prompter), events_(events), factors_(factors), dialogs_(dialogs) {}

bool FundCommands::Report(const Status& s) { return ReportFailure(prompter_, s); }

void FundCommands::RegisterCurrency(const std::string& currency) {
  CurrencyList(state_.currencyFactors).Register(currency, state_.currency, factors_);
}

void FundCommands::Stop(const std::string& text) {
  prompter_.Notice("Hinweis", text, MessageIcon::Stop, BeepKind::Stop);
}

void FundCommands::NewFund() {
  RecordStore& depot = state_.depotStore;
  NewFundRules rules(prompter_, AllMasters(depot), depot);
  std::optional<FundEntry> entry = dialogs_.NewFund(rules);
  if (!entry) return;
  const FundMaster master{entry->name, entry->wkn, SurchargeFactorText(entry->surchargePercent),
                          entry->currency.empty() ? std::string("Euro") : entry->currency};
  depot.AddRecord(master.Row());
  if (!Report(depot.Save())) return;
  RegisterCurrency(master.currency);
  state_.fundCount = depot.RecordCount();

  // A fund deleted earlier gets its prices back from the fund archive.
  RecordStore& archive = state_.auxiliaryStore;
  if (archive.FindKey(master.name) >= 0 && archive.FindKey(master.name) < archive.RecordCount()) {
    std::vector<std::string> prices = PriceRows(archive, master.name);
    depot.Select(master.name);
    if (!prices.empty()) depot.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
    if (Report(depot.Save())) {
      Status s;
      archive.DeleteRecord(master.name, &s);
      Report(s);
    }
  }
  events_.RecomputeStatistics(Scope::AllFunds);
  events_.RebuildTicker();
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.UpdateAllViews();
}

void FundCommands::DeleteFund() {
  RecordStore& depot = state_.depotStore;
  if (depot.RecordCount() == 0) {
    Stop("Sie müssen erst Fonds eingeben, bevor Sie diese löschen können.");
    return;
  }
  DeleteFundRules rules(prompter_);
  std::optional<std::string> chosen = dialogs_.ChooseFundToDelete(FundNames(depot), rules);
  if (!chosen) return;
  const std::string fund = *chosen;
  std::optional<FundMaster> master = ReadMaster(depot, fund);
  if (!master) return;

  // The fund goes to the fund archive with its prices before it leaves the
  // depot, so a failed write of the archive keeps it in the depot.
  RecordStore& archive = state_.auxiliaryStore;
  if (archive.FindKey(fund) >= 0 && archive.FindKey(fund) < archive.RecordCount()) {
    Status s;
    archive.DeleteRecord(fund, &s);
    if (!Report(s)) return;
  }
  archive.AddRecord(master->Row());
  // The archive's format loses some prices the depot store holds (a whole
  // "7" reads back blank there): they move as the same number with ",00".
  std::vector<std::string> prices = PriceRows(depot, fund);
  for (size_t i = 1; i < prices.size(); i += 2)
    if (std::optional<std::string> storable = StorablePrice(archive, prices[i])) prices[i] = std::move(*storable);
  archive.Select(fund);
  if (!prices.empty()) archive.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
  if (!Report(archive.Save())) return;
  Status s;
  depot.DeleteRecord(fund, &s);
  Report(s);
  if (state_.selectedFund == fund) state_.selectedFund.clear();
  state_.fundCount = depot.RecordCount();
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.RecomputeStatistics(Scope::AllFunds);
  events_.ResetChartView(false);
  events_.RebuildTicker();
  events_.UpdateAllViews();
}

void FundCommands::EditFund() {
  RecordStore& depot = state_.depotStore;
  if (depot.RecordCount() == 0) {
    Stop("Sie müssen erst Fonds eingeben, bevor Sie diese ändern können.");
    return;
  }
  EditFundRules rules(prompter_, AllMasters(depot));
  auto edited = dialogs_.EditFund(rules);
  if (!edited) return;
  const FundEntry& e = edited->second;
  const FundMaster master{e.name, e.wkn, SurchargeFactorText(e.surchargePercent), e.currency};
  depot.Select(master.name);
  depot.UpdateRow(section::kMaster, master.Row(), master.name, 0);
  if (!Report(depot.Save())) return;
  RegisterCurrency(master.currency);
}

FundDataView FundCommands::DataOf(const RecordStore& archive, const std::string& fund) {
  FundDataView v;
  std::optional<FundMaster> m = ReadMaster(archive, fund);
  if (!m) return v;
  v.name = m->name;
  v.wkn = m->wkn;
  v.surchargePercent = SurchargePercentText(m->surchargeFactor);
  v.currency = m->currency;
  v.priceRows = PriceRows(archive, fund);
  const DatedPrice latest = LatestPrice(v.priceRows);
  const double purchase = ParseNumber(latest.price) * ParseNumber(m->surchargeFactor);
  v.purchasePrice = purchase == 0 ? std::string("k.A.") : FormatNumber(purchase, 2) + " " + m->currency;
  v.priceDate = latest.date;
  return v;
}

bool FundCommands::ShowFundData(const std::string& markedLine) {
  if (markedLine.empty()) {
    Stop("Sie müssen erst mit der linken Maustaste einen Fondnamen anklicken, \num diesen zu markieren!");
    return false;
  }
  RecordStore& archive = state_.auxiliaryStore;
  std::string fund;
  for (const std::string& name : FundNames(archive)) {
    if (markedLine.find(name.substr(0, 20)) != std::string::npos) {
      fund = name;
      break;
    }
  }
  if (fund.empty()) return false;
  if (dialogs_.ShowFundData(DataOf(archive, fund))) {
    Status s;
    archive.DeleteRecord(fund, &s);
    Report(s);
  }
  return true;
}

bool FundCommands::TakeOverFund(const std::string& line) {
  const size_t tab = line.find('\t');
  std::string head = line.substr(0, tab);
  // The column text ends with one character of its own before the tab.
  if (tab != std::string::npos && !head.empty()) head.pop_back();
  head = Trim(head);
  if (head.empty()) return false;  // an empty text would match every fund
  RecordStore& archive = state_.auxiliaryStore;
  std::string fund;
  for (const std::string& name : FundNames(archive)) {
    if (name.find(head) != std::string::npos) {
      fund = name;
      break;
    }
  }
  if (fund.empty()) return false;
  std::optional<FundMaster> master = ReadMaster(archive, fund);
  if (!master) return false;
  if (master->currency.empty()) master->currency = "Euro";
  RecordStore& depot = state_.depotStore;
  if (depot.FindKey(fund) >= 0 && depot.FindKey(fund) < depot.RecordCount()) {
    prompter_.Notice("Hinweis", "Der Fond\n\n" + fund + "\n\nist schon im Depot.", MessageIcon::Exclamation,
                     BeepKind::Exclamation);
    return false;
  }
  depot.AddRecord(master->Row());
  std::vector<std::string> prices = PriceRows(archive, fund);
  if (!prices.empty()) depot.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
  if (!Report(depot.Save())) return false;
  state_.fundCount = depot.RecordCount();
  RegisterCurrency(master->currency);
  Status s;
  archive.DeleteRecord(fund, &s);
  Report(s);
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.RecomputeStatistics(Scope::AllFunds);
  events_.RebuildTicker();
  events_.UpdateAllViews();
  return true;
}

void FundCommands::EnterPrices() {
  if (state_.depotStore.RecordCount() == 0) {
    Stop("Sie müssen erst Fonds eingeben, bevor Sie Kursdaten eingeben können.");
    return;
  }
  PriceEntrySession session(state_.depotStore, calendar_, prompter_);
  dialogs_.EnterPrices(session);
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.RebuildTicker();
  events_.UpdateAllViews();
}

}  // namespace tellurio
