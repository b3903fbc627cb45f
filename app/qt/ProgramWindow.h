#pragma once
// The program's main window together with the command objects its commands
// drive, all bound in one place (BindProgram).  main() makes one after the
// depot session has started; the main-window test makes one on a prepared
// document, so that it checks the program's own wiring.

#include <memory>

#include "analysis/ReturnCalculation.h"
#include "analysis/qt/SavingsDialogsQt.h"
#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/TableCommands.h"
#include "portfolio/FundCommands.h"
#include "portfolio/TransactionCommands.h"
#include "portfolio/qt/FundDialogsQt.h"
#include "portfolio/qt/TransactionDialogsQt.h"
#include "views/CTellurioView.h"

namespace tellurio {

class CTellurioDoc;
class PriceAcquisition;
class DocumentBackup;
class TableViewDialogsQt;
class QtPrintService;

// The dialogs and the printer of the table view, the print command and the
// CSV export, when they are not the program's own (tests).
struct TableViewServices {
  TableViewDialogs& dialogs;
  PrintService& printer;
};

class ProgramWindow {
 public:
  // doc, acquisition, prompter, backup and tableServices (when given) must
  // outlive this object.  The window is attached to the document (its view
  // host) and the panes' actions are installed until this object is
  // destroyed.  Without backup its two commands stay unavailable; without
  // tableServices the table view uses the Qt dialogs and the system's
  // printers.
  ProgramWindow(CTellurioDoc& doc, PriceAcquisition& acquisition, Prompter& prompter, DocumentBackup* backup = nullptr,
                const TableViewServices* tableServices = nullptr);
  ~ProgramWindow();
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  CMainFrame& frame() { return frame_; }
  AppFlags& flags() { return flags_; }
  CommandTable& commands() { return commands_; }
  TableCommands& tables() { return *tables_; }

 private:
  CTellurioDoc& doc_;
  AppFlags flags_;
  CommandTable commands_;
  CMainFrame frame_;
  FundDialogsQt fundDialogs_;
  FundCommands funds_;
  TransactionDialogsQt transactionDialogs_;
  TransactionCommands transactions_;
  SavingsDialogsQt savingsDialogs_;
  SavingsPlans savings_;
  ViewActions actions_;
  std::unique_ptr<TableViewDialogsQt> tableDialogs_;
  std::unique_ptr<QtPrintService> printService_;
  std::unique_ptr<TableCommands> tables_;
};

}  // namespace tellurio
