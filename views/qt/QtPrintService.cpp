#include "views/qt/QtPrintService.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <algorithm>

#include "views/qt/ChartPagePrinter.h"
#include "views/qt/TextPagePrinter.h"
#include "views/table/CsvExport.h"

namespace tellurio {

namespace {

// The PDF writer reports no failed write: on a full disk it closes a file
// that ends part-way.  A PDF file counts as written when its last bytes
// hold the end-of-file mark that the writer puts last.
bool PdfFileComplete(const QString& path) {
  if (!QFileInfo(path).isFile()) return true;  // a device or pipe: nothing to read back
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 tail = 1024;
  if (file.size() > tail && !file.seek(file.size() - tail)) return false;
  return file.read(tail).contains("%%EOF");
}

}  // namespace

int PrintJobOn(QPrinter& printer, const PrintJob& job, const std::string& printDate) {
  PreparePrinter(printer, job.landscape);
  printer.setDocName(QString::fromStdString(job.title));
  // What the output file was before the job, to tell a file the job wrote
  // from one it never touched.
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
  const QFileInfo before(toFile ? printer.outputFileName() : QString());
  const bool existedBefore = toFile && before.exists();
  const QDateTime modifiedBefore = existedBefore ? before.lastModified() : QDateTime();
  int pages = 0;
  if (job.table)
    pages = PrintTextTable(printer, *job.table, printDate).pages;
  else if (PrintChartPage(printer, job))
    pages = 1;
  if (!toFile) return pages;
  const QString file = printer.outputFileName();
  if (PdfFileComplete(file)) return pages;
  // A file that the job wrote and that ends part-way is no document: it is
  // removed, so that no one later takes it for the printout.  A file the
  // job never touched (it could not begin) is left as it was.
  const QFileInfo after(file);
  if (after.exists() && (!existedBefore || after.lastModified() != modifiedBefore)) {
    // Failing to remove it changes nothing about the outcome: the job has
    // failed, and the message that follows says so.
    (void)QFile::remove(file);
  }
  return 0;
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
  prompter_.Notice(
      "Fehler",
      "Der Druckauftrag \"" + job.title +
          "\" konnte nicht ausgeführt werden.\nPrüfen Sie den Drucker, den Namen der Ausgabedatei und den freien "
          "Platz auf dem Datenträger.",
      MessageIcon::Stop, BeepKind::Stop);
  return false;
}

}  // namespace tellurio
