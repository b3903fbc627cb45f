#pragma once
// Print jobs through Qt PrintSupport: each job offers the print dialog (the
// system's printers where CUPS has any, and always printing to a PDF file),
// then prints its pages.  Text jobs print their table on text pages, chart
// jobs their chart on a landscape page.

#include <QPointer>
#include <QPrinter>
#include <QWidget>
#include <filesystem>

#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "views/table/TableViewController.h"

namespace tellurio {

// Prints a job on a printer that is set up (no dialog): prepares the
// orientation and paints the pages.  Returns the pages printed, 0 when
// nothing could be printed or a PDF file could not be written whole.
int PrintJobOn(QPrinter& printer, const PrintJob& job, const std::string& printDate);

class QtPrintService : public PrintService {
 public:
  // All must outlive the service; parent may be null.
  QtPrintService(Prompter& prompter, const Calendar& calendar, std::filesystem::path workingDirectory, QWidget* parent);
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool Print(const PrintJob& job) override;

 private:
  Prompter& prompter_;
  const Calendar& calendar_;
  std::filesystem::path workingDirectory_;
  QPointer<QWidget> parent_;
};

}  // namespace tellurio
