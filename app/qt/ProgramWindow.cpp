#include "app/qt/ProgramWindow.h"

#include "app/core/CTellurioDoc.h"
#include "app/qt/ShellCommands.h"
#include "views/qt/QtPrintService.h"
#include "views/qt/TableViewDialogsQt.h"

namespace tellurio {

ProgramWindow::ProgramWindow(CTellurioDoc& doc, PriceAcquisition& acquisition, Prompter& prompter,
                             DocumentBackup* backup, const TableViewServices* tableServices)
    : doc_(doc),
      commands_(flags_, prompter),
      frame_(flags_, commands_),
      fundDialogs_(prompter, &frame_),
      funds_(doc.State(), doc.calendar(), prompter, doc, doc, fundDialogs_),
      transactionDialogs_(prompter, doc.calendar().clock(), &frame_),
      transactions_(doc.State(), doc.calendar(), prompter, doc, doc, transactionDialogs_, doc.Stores()),
      savingsDialogs_(prompter, doc.calendar().clock(), &frame_),
      savings_(doc.State(), doc.calendar(), prompter, savingsDialogs_) {
  frame_.AttachDocument(&doc);
  BindProgram(commands_, ProgramParts{doc, frame_, flags_, funds_, transactions_, acquisition, savings_, backup},
              actions_);
  // The table view, printing and the CSV export.
  if (!tableServices) {
    tableDialogs_ = std::make_unique<TableViewDialogsQt>(prompter, doc.calendar().clock(), &frame_);
    printService_ = std::make_unique<QtPrintService>(prompter, doc.calendar(), doc.State().workingDirectory, &frame_);
  }
  tables_ =
      std::make_unique<TableCommands>(doc, frame_, flags_, tableServices ? tableServices->dialogs : *tableDialogs_,
                                      tableServices ? tableServices->printer : *printService_);
  tables_->Bind(commands_);
  // The report of DRUCKEN in "Renditeberechnung" goes to the table pane.
  savings_.SetReportSink([this](const SavingsReport& report) { tables_->ShowReport(report); });
  CTellurioView::SetActions(&actions_);
}

ProgramWindow::~ProgramWindow() {
  CTellurioView::SetActions(nullptr);
  doc_.SetViewHost(nullptr);
}

}  // namespace tellurio
