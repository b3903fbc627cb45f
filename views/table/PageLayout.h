#pragma once
// The layout of printed text pages: the text area inside the page margins,
// the lines per page that follow from the line height, the page count, and
// the texts of header and footer.  All lengths are print units of 1/1200
// inch, whatever the printer's resolution.

#include <cstddef>
#include <string>

namespace tellurio {

inline constexpr int kPrintUnitsPerInch = 1200;

struct PageBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// The text area of a page of that size: 1120 units from the left edge, 914
// from the top, 548 from the right and 365 from the bottom.
PageBox TextArea(int pageWidth, int pageHeight);

struct TextPageLayout {
  PageBox area;
  int lineHeight = 1;
  int headerHeight = 0;  // title, print date and column headers, on every page
  int footerHeight = 0;  // "Seite x von y"
  int linesPerColumn = 1;
  int columnSets = 1;  // a flowing list fills this many column sets per page
  int pageCount = 1;

  size_t LinesPerPage() const { return static_cast<size_t>(linesPerColumn) * static_cast<size_t>(columnSets); }
  // The body lines of page `page` (0-based) are [FirstLine, EndLine).
  size_t FirstLine(int page) const { return static_cast<size_t>(page) * LinesPerPage(); }
  size_t EndLine(int page, size_t lineCount) const;
};

// Lays out lineCount body lines.  At least one line fits on a page (a line
// taller than the room left still gets a page of its own), and there is at
// least one page: an empty list prints its header on one page.
TextPageLayout LayoutTextPages(int pageWidth, int pageHeight, int lineHeight, int headerHeight, int footerHeight,
                               size_t lineCount, int columnSets = 1);

// "Druckdatum: " + date.
std::string PrintDateText(const std::string& date);
// "Seite " + page + " von " + count (page counted from 1).
std::string PageFooterText(int page, int count);

}  // namespace tellurio
