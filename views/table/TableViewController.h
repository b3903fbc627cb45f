#pragma once
// What the table view, the print command and the CSV export do, without
// widgets: the table pane's dialog and table, the print items of
// "Druckausgabe" as print jobs, and the CSV files.  Dialogs, the pane and the
// printer are reached through the interfaces below; the Qt program
// implements them, tests script them.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "portfolio/DepotState.h"
#include "portfolio/DepotStores.h"
#include "views/table/FundTable.h"
#include "views/table/PrintItems.h"
#include "views/table/TableSelectionRules.h"
#include "views/table/TextTable.h"

namespace tellurio {

enum class ExportItem { Transactions, Prices, FundData };

class TableViewDialogs {
 public:
  virtual ~TableViewDialogs() = default;
  // "Auswahl der Tabellenansicht", driven by rules; nothing when cancelled.
  virtual std::optional<TableSelection> ChooseTable(TableSelectionRules& rules) = 0;
  // "Druckausgabe"; nothing when cancelled.
  virtual std::optional<PrintChoice> ChoosePrintItems(PrintChoiceRules& rules) = 0;
  // Which list of the fund to export; nothing when cancelled.
  virtual std::optional<ExportItem> ChooseExportItem(const std::string& fund) = 0;
  // The CSV file to write, starting in dir with the suggested name; nothing
  // when cancelled.
  virtual std::optional<std::filesystem::path> AskCsvPath(const std::filesystem::path& dir,
                                                          const std::string& suggestedName) = 0;
};

// One print job: a text table (print kinds 0, 4, 5, 6, 13, 16) or a chart
// (kinds 1, 2, 3) with the series the chart drawing takes.
struct PrintJob {
  int kind = printkind::kReport;
  std::string title;
  bool landscape = false;
  std::shared_ptr<const TextTable> table;
  int chartKind = 0;  // the chart drawing's kind: 0 long-term, 1 daily, 2 monthly, 3 yearly averages
  std::string fund;
  std::vector<std::string> series;  // label, value, label, value, ...
};

class PrintService {
 public:
  virtual ~PrintService() = default;
  // Offers the print dialog for the job and prints it.  False when the user
  // cancelled the dialog or the job failed (the service has told the user).
  virtual bool Print(const PrintJob& job) = 0;
};

class TableViewController {
 public:
  // Everything is owned by the caller and must outlive the controller;
  // state and statistics are the document's and are only read.
  TableViewController(const DepotState& state, const Statistics& statistics, const Calendar& calendar,
                      Prompter& prompter, TableViewDialogs& dialogs, PrintService& printer);

  // The table view was switched on: runs "Auswahl der Tabellenansicht" and
  // builds the chosen table (naming skipped depots in one "Hinweis").
  // Null when the dialog was cancelled: the pane stays empty.
  std::shared_ptr<const TextTable> ChooseAndBuildTable();
  // The two halves of it: the dialog (false when cancelled) and the build.
  bool ChooseTable();
  // The same table again with the settings last chosen (none: null).
  std::shared_ptr<const TextTable> RebuildTable();
  const std::optional<TableSelection>& LastSelection() const { return last_; }
  // Called with true before and false after reading the depots for a table
  // (the program shows a wait cursor meanwhile).
  void SetBusyIndicator(std::function<void(bool)> busy) { busy_ = std::move(busy); }

  // The print command.  With a table in the table pane (shown not null) that
  // table is printed; otherwise "Druckausgabe" runs for the selected fund and
  // each chosen item becomes a job of its own, in the dialog's order.  A
  // cancelled print dialog skips that item only.  Returns the jobs started.
  int Print(std::shared_ptr<const TextTable> shown);

  // The CSV export: the table of the table pane, or one list of the
  // selected fund.  True when a file was written.
  bool ExportCsv(const std::shared_ptr<const TextTable>& shown);

  // The print jobs of a choice for the selected fund (messages for refused
  // periods go to the prompter); exposed for the tests.
  std::vector<PrintJob> JobsFor(const PrintChoice& choice);
  static PrintJob TableJob(std::shared_ptr<const TextTable> table);

 private:
  bool RequireFund(const char* what);
  std::optional<TextTable> ExportTable(ExportItem item);
  bool WriteCsv(const TextTable& table);

  const DepotState& state_;
  const Statistics& statistics_;
  const Calendar& calendar_;
  Prompter& prompter_;
  TableViewDialogs& dialogs_;
  PrintService& printer_;
  // Opens the stores of the depots that are not current; reports each
  // damaged or unreadable one once while the controller lives.
  DepotStores stores_;
  std::optional<TableSelection> last_;
  std::function<void(bool)> busy_;
};

}  // namespace tellurio
