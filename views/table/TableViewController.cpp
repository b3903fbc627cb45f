#include "views/table/TableViewController.h"

#include "portfolio/Funds.h"
#include "views/chart/ChartCore.h"
#include "views/table/CsvExport.h"
#include "views/table/FundTableBuilder.h"

namespace tellurio {

TableViewController::TableViewController(const DepotState& state, const Statistics& statistics,
                                         const Calendar& calendar, Prompter& prompter, TableViewDialogs& dialogs,
                                         PrintService& printer)
    : state_(state),
      statistics_(statistics),
      calendar_(calendar),
      prompter_(prompter),
      dialogs_(dialogs),
      printer_(printer),
      stores_(prompter, calendar) {}

std::shared_ptr<const TextTable> TableViewController::ChooseAndBuildTable() {
  return ChooseTable() ? RebuildTable() : nullptr;
}

bool TableViewController::ChooseTable() {
  TableSelectionRules rules(state_.depotNames);
  std::optional<TableSelection> chosen = dialogs_.ChooseTable(rules);
  if (!chosen) return false;
  last_ = std::move(*chosen);
  return true;
}

std::shared_ptr<const TextTable> TableViewController::RebuildTable() {
  if (!last_) return nullptr;
  if (busy_) busy_(true);
  FundTableResult built = BuildFundTable(*last_, state_, statistics_, calendar_, stores_);
  if (busy_) busy_(false);
  if (!built.skippedDepots.empty())
    prompter_.Notice("Hinweis", SkippedDepotsText(built.skippedDepots), MessageIcon::Exclamation,
                     BeepKind::Exclamation);
  return std::make_shared<const TextTable>(std::move(built.table));
}

PrintJob TableViewController::TableJob(std::shared_ptr<const TextTable> table) {
  PrintJob job;
  job.kind = table->kind;
  job.title = table->title;
  job.landscape = table->landscape;
  job.table = std::move(table);
  return job;
}

bool TableViewController::RequireFund(const char* what) {
  if (LocateFund(state_, state_.selectedFund)) return true;
  prompter_.Notice("Hinweis", std::string("Sie müssen erst einen Fond auswählen, bevor Sie ") + what + " können!",
                   MessageIcon::Stop, BeepKind::Stop);
  return false;
}

std::vector<PrintJob> TableViewController::JobsFor(const PrintChoice& choice) {
  std::vector<PrintJob> jobs;
  const std::string& fund = state_.selectedFund;
  const std::optional<FundLocation> at = LocateFund(state_, fund);
  if (!at) return jobs;
  const std::vector<std::string> prices = PriceRows(*at->store, fund);
  const std::vector<std::string> master = ReadSection(*at->store, section::kMaster, fund);
  const std::string currency = master.size() > 3 ? master[3] : std::string();
  auto addChart = [&](int kind, chart::ChartKind chartKind, std::string title, std::vector<std::string> series) {
    PrintJob job;
    job.kind = kind;
    job.title = title.empty() ? chart::ChartTitle(chartKind, fund) : std::move(title);
    job.landscape = true;
    job.chartKind = chart::KindNumber(chartKind);
    job.fund = fund;
    job.series = std::move(series);
    jobs.push_back(std::move(job));
  };
  for (PrintItem item : PrintOrder(choice)) {
    switch (item) {
      case PrintItem::LongTermChart:
        addChart(printkind::kPriceChart, chart::ChartKind::LongTerm, "", prices);
        break;
      case PrintItem::YearlyChart:
        addChart(printkind::kYearlyChart, chart::ChartKind::YearlyAverages, "",
                 statistics_.DerivedSeriesList(at->record, at->scope, 1));
        break;
      case PrintItem::MonthlyChart:
        addChart(printkind::kMonthlyChart, chart::ChartKind::MonthlyAverages, "",
                 statistics_.DerivedSeriesList(at->record, at->scope, 0));
        break;
      case PrintItem::Transactions:
        jobs.push_back(TableJob(std::make_shared<const TextTable>(TransactionsTable(state_.depotStore, fund))));
        break;
      case PrintItem::Prices:
        jobs.push_back(TableJob(std::make_shared<const TextTable>(PricesTable(fund, currency, prices))));
        break;
      case PrintItem::FundData:
        jobs.push_back(TableJob(std::make_shared<const TextTable>(
            FundDataTable(master, prices, statistics_.FundInfoLines(at->record, at->scope)))));
        break;
      case PrintItem::PeriodChart: {
        PeriodRows period = SelectPeriod(prices, choice.start, choice.end);
        if (period.problem != PeriodRows::Problem::None) {
          prompter_.Notice("Hinweis", PeriodProblemText(period.problem), MessageIcon::Stop, BeepKind::Stop);
          break;
        }
        addChart(printkind::kPriceChart, chart::ChartKind::Daily,
                 chart::PeriodChartTitle(fund, choice.start, choice.end), std::move(period.rows));
        break;
      }
    }
  }
  return jobs;
}

int TableViewController::Print(std::shared_ptr<const TextTable> shown) {
  if (shown) {
    printer_.Print(TableJob(std::move(shown)));
    return 1;
  }
  if (!RequireFund("die Fonddaten drucken")) return 0;
  PrintChoiceRules rules(prompter_);
  const std::optional<PrintChoice> choice = dialogs_.ChoosePrintItems(rules);
  if (!choice) return 0;
  int started = 0;
  // Each job runs its own print dialog; a cancelled one skips that job only.
  for (const PrintJob& job : JobsFor(*choice)) {
    printer_.Print(job);
    ++started;
  }
  return started;
}

std::optional<TextTable> TableViewController::ExportTable(ExportItem item) {
  const std::string& fund = state_.selectedFund;
  const std::optional<FundLocation> at = LocateFund(state_, fund);
  if (!at) return std::nullopt;
  const std::vector<std::string> prices = PriceRows(*at->store, fund);
  const std::vector<std::string> master = ReadSection(*at->store, section::kMaster, fund);
  switch (item) {
    case ExportItem::Transactions:
      return TransactionsTable(state_.depotStore, fund);
    case ExportItem::Prices:
      return PricesTable(fund, master.size() > 3 ? master[3] : std::string(), prices);
    case ExportItem::FundData:
      return FundDataTable(master, prices, statistics_.FundInfoLines(at->record, at->scope));
  }
  return std::nullopt;
}

bool TableViewController::WriteCsv(const TextTable& table) {
  const std::optional<std::filesystem::path> path = dialogs_.AskCsvPath(state_.workingDirectory, CsvFileName(table));
  if (!path || path->empty()) return false;
  const Status status = WriteCsvFile(*path, table);
  if (!status.ok()) {
    prompter_.Notice("Fehler", status.Describe(), MessageIcon::Stop, BeepKind::Stop);
    return false;
  }
  return true;
}

bool TableViewController::ExportCsv(const std::shared_ptr<const TextTable>& shown) {
  if (shown) return WriteCsv(*shown);
  if (!RequireFund("die Fonddaten exportieren")) return false;
  const std::optional<ExportItem> item = dialogs_.ChooseExportItem(state_.selectedFund);
  if (!item) return false;
  const std::optional<TextTable> table = ExportTable(*item);
  return table && WriteCsv(*table);
}

}  // namespace tellurio
