#pragma once
// Printing a chart job (print kinds 1 to 3) on one landscape page: the chart
// core lays the chart out in printing mode (its fonts, margins and gaps of
// the printer, the whole series) over the page less a narrow margin, and the
// chart painter draws it.  Lengths are print units of 1/1200 inch, whatever
// the printer's resolution.

#include <QPrinter>

#include "views/table/TableViewController.h"

namespace tellurio {

// The printer must be prepared (PreparePrinter).  False when painting could
// not start or the job is no chart.
bool PrintChartPage(QPrinter& printer, const PrintJob& job);

}  // namespace tellurio
