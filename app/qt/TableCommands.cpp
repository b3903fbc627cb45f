#include "app/qt/TableCommands.h"

#include <QApplication>
#include <QCursor>
#include <utility>

#include "app/core/CTellurioDoc.h"
#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/qt/TablePane.h"
#include "views/table/ReportTable.h"

namespace tellurio {

namespace {
const QString kTablePane = QStringLiteral("Fenster4");
}

TableCommands::TableCommands(CTellurioDoc& doc, CMainFrame& frame, AppFlags& flags, TableViewDialogs& dialogs,
                             PrintService& printer)
    : doc_(doc),
      frame_(frame),
      flags_(flags),
      controller_(doc.State(), doc.statistics(), doc.calendar(), doc.prompter(), dialogs, printer) {
  // Reading other depots for a table takes a moment on large data.
  controller_.SetBusyIndicator([](bool busy) {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  });
}

TableCommands::~TableCommands() = default;

void TableCommands::Bind(CommandTable& table) {
  commands_ = &table;
  table.SetTableViewRequest([this](bool on) { ShowTableView(on); });
  table.Bind(cmd::kPrint, [this] { Print(); });
  table.Bind(cmd::kExportCsv, [this] { Export(); });
}

TablePane* TableCommands::Pane() const {
  CChildFrame* pane = frame_.FindPane(kTablePane);
  return pane ? FindTablePane(pane->View()) : nullptr;
}

std::shared_ptr<const TextTable> TableCommands::Shown() const {
  TablePane* pane = flags_.tableViewOn ? Pane() : nullptr;
  return pane ? pane->Table() : nullptr;
}

void TableCommands::ShowTableView(bool on) {
  frame_.ShowTableView(on);
  if (!on) return;
  CChildFrame* frame = frame_.FindPane(kTablePane);
  if (!frame || !frame->View()) return;
  TablePane* pane = FindTablePane(frame->View());
  if (!pane) {
    pane = AttachTablePane(frame->View());
    QObject::connect(pane, &TablePane::printRequested, pane, [this] {
      if (commands_) commands_->Execute(cmd::kPrint);
    });
    QObject::connect(pane, &TablePane::exportRequested, pane, [this] {
      if (commands_) commands_->Execute(cmd::kExportCsv);
    });
  }
  if (pendingReport_)
    pane->SetTable(std::exchange(pendingReport_, nullptr));
  else
    pane->SetTable(controller_.ChooseAndBuildTable());
  ActivateTablePane();
}

void TableCommands::ShowReport(const SavingsReport& report) {
  auto table = std::make_shared<const TextTable>(SavingsReportTable(report));
  if (flags_.tableViewOn) {
    if (TablePane* pane = Pane()) pane->SetTable(std::move(table));
    ActivateTablePane();
    return;
  }
  pendingReport_ = std::move(table);
  if (commands_) commands_->Execute(cmd::kTableToggle);
  pendingReport_.reset();
  // The toggle enabled printing; the toolbar and menus show it.
  frame_.RefreshCommandStates();
}

void TableCommands::ActivateTablePane() {
  CChildFrame* frame = frame_.FindPane(kTablePane);
  if (!frame) return;
  frame->raise();
  frame->activateWindow();
  if (TablePane* pane = FindTablePane(frame->View())) pane->setFocus(Qt::OtherFocusReason);
}

void TableCommands::Print() {
  controller_.Print(Shown());
  if (flags_.tableViewOn) ActivateTablePane();
}

void TableCommands::Export() {
  controller_.ExportCsv(Shown());
  if (flags_.tableViewOn) ActivateTablePane();
}

}  // namespace tellurio
