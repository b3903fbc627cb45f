#pragma once
// The table view, the print command and the CSV export in the main window:
// the table toggle shows "Fenster4" with its table pane and runs the table
// selection; printing and the export work on the table shown there, or on
// the selected fund while the charts are shown.

#include <memory>

#include "views/table/TableViewController.h"

namespace tellurio {

class CMainFrame;
class CTellurioDoc;
class CommandTable;
class TablePane;
struct SavingsReport;
struct AppFlags;

class TableCommands {
 public:
  // All must outlive this object.
  TableCommands(CTellurioDoc& doc, CMainFrame& frame, AppFlags& flags, TableViewDialogs& dialogs,
                PrintService& printer);
  ~TableCommands();

  // The table toggle's request, the print command and the CSV export.
  void Bind(CommandTable& table);

  // Shows the savings-plan report in the table pane, switching the table
  // view on (without the table selection) when it is off.
  void ShowReport(const SavingsReport& report);

  // The table pane of "Fenster4", or null while the table view is off.
  TablePane* Pane() const;
  TableViewController& Controller() { return controller_; }

 private:
  void ShowTableView(bool on);
  void Print();
  void Export();
  void ActivateTablePane();
  std::shared_ptr<const TextTable> Shown() const;

  CTellurioDoc& doc_;
  CMainFrame& frame_;
  AppFlags& flags_;
  TableViewController controller_;
  CommandTable* commands_ = nullptr;
  // A report waiting for the table pane that the toggle is about to open.
  std::shared_ptr<const TextTable> pendingReport_;
};

}  // namespace tellurio
