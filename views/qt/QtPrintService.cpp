#include "views/qt/QtPrintService.h"

#include <QPrintDialog>
#include <QPrinterInfo>
#include <algorithm>

#include "views/qt/ChartPagePrinter.h"
#include "views/qt/TextPagePrinter.h"
#include "views/table/CsvExport.h"

namespace tellurio {

int PrintJobOn(QPrinter& printer, const PrintJob& job, const std::string& printDate) {
  PreparePrinter(printer, job.landscape);
  printer.setDocName(QString::fromStdString(job.title));
  if (job.table) return PrintTextTable(printer, *job.table, printDate).pages;
  return PrintChartPage(printer, job) ? 1 : 0;
}

QtPrintService::QtPrintService(Prompter& prompter, const Calendar& calendar, std::filesystem::path workingDirectory,
                               QWidget* parent)
    : prompter_(prompter), calendar_(calendar), workingDirectory_(std::move(workingDirectory)), parent_(parent) {}

bool QtPrintService::Print(const PrintJob& job) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, job.landscape);
  printer.setDocName(QString::fromStdString(job.title));
  // Without a printer of the system the dialog prints to a PDF file; it is
  // offered in the working directory under the job's title.
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    const std::string name = FileNameFor(job.title, ".pdf");
    printer.setOutputFileName(QString::fromStdString((workingDirectory_ / name).string()));
  }
  QPrintDialog dialog(&printer, parent_);
  // One dialog per job: its title says which item it prints.
  dialog.setWindowTitle(QStringLiteral("Drucken: %1").arg(QString::fromStdString(job.title)));
  dialog.setMinimumWidth(
      std::max(dialog.sizeHint().width(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 120));
  if (dialog.exec() != QDialog::Accepted) return false;
  if (PrintJobOn(printer, job, calendar_.TodayText()) > 0) return true;
  prompter_.Notice("Fehler",
                   "Der Druckauftrag \"" + job.title +
                       "\" konnte nicht ausgeführt werden.\nPrüfen Sie den Drucker oder den Namen der Ausgabedatei.",
                   MessageIcon::Stop, BeepKind::Stop);
  return false;
}

}  // namespace tellurio
