#include "views/qt/ChartPagePrinter.h"

#include <QPageLayout>
#include <QPainter>

#include "views/ChartRenderer.h"
#include "views/table/PageLayout.h"

namespace tellurio {

namespace {
constexpr int kPageMargin = 480;  // 0.4 inch around the chart
}

bool PrintChartPage(QPrinter& printer, const PrintJob& job) {
  const std::optional<chart::ChartKind> kind = chart::KindOfNumber(job.chartKind);
  if (!kind || job.table) return false;
  QPainter p;
  if (!p.begin(&printer)) return false;
  const double scale = printer.resolution() / static_cast<double>(kPrintUnitsPerInch);
  const QRectF sheet = printer.pageLayout().fullRectPixels(printer.resolution());
  p.scale(scale, scale);
  const int pageW = static_cast<int>(sheet.width() / scale), pageH = static_cast<int>(sheet.height() / scale);
  const QRect area(kPageMargin, kPageMargin, pageW - 2 * kPageMargin, pageH - 2 * kPageMargin);
  chart::ChartInput in;
  in.kind = *kind;
  in.fund = job.fund;
  in.title = job.title;
  in.medium = chart::Medium::Printer;
  chart::ScrollState whole;  // a fresh state: the whole series is printed
  DrawChart(p, area, in, job.series, whole);
  return p.end();
}

}  // namespace tellurio
