#pragma once
// Printing a TextTable on text pages: on every page the title, "Druckdatum: "
// with the date, the captions and column headers, then the page's lines and
// the footer "Seite x von y".  Lists in "Arial", the savings-plan report in
// "Times New Roman"; a table wider than the page is printed in a smaller
// font, a narrower one is spread over the width.  A list of few narrow
// columns (the price list) fills several column sets side by side.

#include <QPrinter>
#include <string>

#include "views/table/PageLayout.h"
#include "views/table/TextTable.h"

namespace tellurio {

// Sets the orientation and lets the painter address the whole sheet (the
// page margins are the text area's).  Call before painting starts.
void PreparePrinter(QPrinter& printer, bool landscape);

struct PrintedPages {
  int pages = 0;  // 0: the printer could not be started (nothing printed)
  TextPageLayout layout;
};

// Prints the table; the printer must be prepared.  printDate is "TT.MM.JJJJ".
PrintedPages PrintTextTable(QPrinter& printer, const TextTable& table, const std::string& printDate);

}  // namespace tellurio
