#include "views/table/PageLayout.h"

#include <algorithm>

namespace tellurio {

PageBox TextArea(int pageWidth, int pageHeight) {
  PageBox b;
  b.left = 1120;
  b.top = 914;
  b.right = std::max(b.left + 1, pageWidth - 548);
  b.bottom = std::max(b.top + 1, pageHeight - 365);
  return b;
}

size_t TextPageLayout::EndLine(int page, size_t lineCount) const {
  return std::min(lineCount, FirstLine(page) + LinesPerPage());
}

TextPageLayout LayoutTextPages(int pageWidth, int pageHeight, int lineHeight, int headerHeight, int footerHeight,
                               size_t lineCount, int columnSets) {
  TextPageLayout l;
  l.area = TextArea(pageWidth, pageHeight);
  l.lineHeight = std::max(1, lineHeight);
  l.headerHeight = std::max(0, headerHeight);
  l.footerHeight = std::max(0, footerHeight);
  l.columnSets = std::max(1, columnSets);
  const int room = l.area.Height() - l.headerHeight - l.footerHeight;
  l.linesPerColumn = std::max(1, room / l.lineHeight);
  const size_t perPage = l.LinesPerPage();
  l.pageCount = std::max<int>(1, static_cast<int>((lineCount + perPage - 1) / perPage));
  return l;
}

std::string PrintDateText(const std::string& date) { return "Druckdatum: " + date; }

std::string PageFooterText(int page, int count) {
  return "Seite " + std::to_string(page) + " von " + std::to_string(count);
}

}  // namespace tellurio
