#include "views/qt/TextPagePrinter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "views/Fonts.h"
#include "views/qt/TableMetrics.h"

namespace tellurio {

namespace {

// Sizes in print units (1/1200 inch).
constexpr int kTitleSize = 280;
constexpr int kHeadingSize = 240;
constexpr int kBodySize = 200;
constexpr int kTableSize = 170;  // the wide fund tables
constexpr int kSmallestSize = 100;
constexpr double kPadding = 50;  // inside a cell, left and right
constexpr double kSetGap = 300;  // between column sets of a flowing list
constexpr int kMaxColumnSets = 4;
constexpr double kNarrowest = 800;  // a cut name column, padding included

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsFundTable(const TextTable& t) { return t.kind == 13 || t.kind == 16; }

struct Fonts {
  QFont title, heading, body, bold;
  QFont text;  // text lines keep the full size when a wide table shrinks its rows
};

Fonts MakeFonts(const TextTable& t, int bodySize, int textSize) {
  const QString family = t.serif ? QStringLiteral("Times New Roman") : QStringLiteral("Arial");
  Fonts f;
  f.title = ProgramFont(family, kTitleSize, 700, true);
  f.heading = ProgramFont(family, kHeadingSize, 400, true);
  f.body = ProgramFont(family, bodySize);
  f.bold = ProgramFont(family, bodySize, 700);
  f.text = ProgramFont(family, textSize);
  return f;
}

// Column widths at a body size, padding included.
std::vector<double> Widths(const TextTable& t, const Fonts& f, QPaintDevice* device) {
  const QFontMetricsF body(f.body, device), bold(f.bold, device);
  std::vector<double> w = WidestTexts(t, body, bold);
  for (double& x : w) x += 2 * kPadding;
  FitGroupCaptions(t, bold, kPadding, w);
  return w;
}

double Sum(const std::vector<double>& w) {
  double s = 0;
  for (double x : w) s += x;
  return s;
}

}  // namespace

void PreparePrinter(QPrinter& printer, bool landscape) {
  printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setFullPage(true);
}

PrintedPages PrintTextTable(QPrinter& printer, const TextTable& t, const std::string& printDate) {
  PrintedPages out;
  QPainter p;
  if (!p.begin(&printer)) return out;
  const double scale = printer.resolution() / static_cast<double>(kPrintUnitsPerInch);
  const QRectF sheet = printer.pageLayout().fullRectPixels(printer.resolution());
  p.scale(scale, scale);
  const int pageW = static_cast<int>(sheet.width() / scale), pageH = static_cast<int>(sheet.height() / scale);
  const PageBox area = TextArea(pageW, pageH);

  // The body font: as large as the table allows, down to the smallest size.
  const int fullSize = t.serif ? kBodySize : IsFundTable(t) ? kTableSize : kBodySize;
  int size = fullSize;
  Fonts f = MakeFonts(t, size, fullSize);
  std::vector<double> w = Widths(t, f, &printer);
  for (int round = 0; round < 4 && Sum(w) > area.Width() && size > kSmallestSize; ++round) {
    size = std::max(kSmallestSize, static_cast<int>(size * area.Width() / Sum(w)));
    f = MakeFonts(t, size, fullSize);
    w = Widths(t, f, &printer);
  }
  // Still too wide: the left-aligned columns (names, companies, depots)
  // give up what is missing, the widest first, none narrower than
  // kNarrowest; their texts are cut with "…".  Figures are never cut: they
  // stay on the sheet, not past its right edge.
  std::vector<bool> elide(w.size(), false);
  if (Sum(w) > area.Width()) {
    const std::vector<double> full = w;
    // The width all wide left-aligned columns are cut to: found by halving
    // the interval between kNarrowest and the widest of them.
    auto cutTo = [&](double level) {
      for (size_t c = 0; c < w.size(); ++c)
        if (t.columns[c].align == CellAlign::Left) w[c] = std::min(full[c], std::max(level, kNarrowest));
    };
    double low = kNarrowest, high = kNarrowest;
    for (size_t c = 0; c < w.size(); ++c)
      if (t.columns[c].align == CellAlign::Left) high = std::max(high, full[c]);
    for (int step = 0; step < 40 && high - low > 1; ++step) {
      const double mid = (low + high) / 2;
      cutTo(mid);
      (Sum(w) > area.Width() ? high : low) = mid;
    }
    cutTo(low);
    for (size_t c = 0; c < w.size(); ++c) elide[c] = w[c] < full[c];
  }
  int sets = 1;
  if (t.flowing) {
    const double setW = Sum(w);
    sets = std::clamp(static_cast<int>((area.Width() + kSetGap) / (setW + kSetGap)), 1, kMaxColumnSets);
  } else if (!w.empty() && Sum(w) < area.Width()) {
    const double extra = (area.Width() - Sum(w)) / static_cast<double>(w.size());
    for (double& x : w) x += extra;
  }
  const double setWidth = Sum(w);

  const QFontMetricsF titleM(f.title, &printer), bodyM(f.body, &printer), headingM(f.heading, &printer),
      textM(f.text, &printer);
  double tallest = bodyM.height();
  for (const TableLine& l : t.lines) {
    if (l.kind == LineKind::Heading) tallest = std::max(tallest, headingM.height());
    if (l.kind == LineKind::Text) tallest = std::max(tallest, textM.height());
  }
  const double lineH = std::ceil(tallest * 1.2);
  const double titleH = std::ceil(titleM.height() * 1.3);
  double headerH = titleH + lineH * 1.5;  // title, print date, a half line
  if (!t.groups.empty()) headerH += lineH;
  if (t.HasHeaderRow()) headerH += lineH + lineH * 0.25;
  const double footerH = lineH * 1.5;
  out.layout = LayoutTextPages(pageW, pageH, static_cast<int>(lineH), static_cast<int>(std::ceil(headerH)),
                               static_cast<int>(footerH), t.lines.size(), sets);
  const TextPageLayout& L = out.layout;
  const QPen grid(QColor(192, 192, 192), 3);
  const QPen rule(Qt::black, 5);

  for (int page = 0; page < L.pageCount; ++page) {
    if (page > 0 && !printer.newPage()) break;
    double y = area.top;
    p.setPen(Qt::black);
    p.setFont(f.title);
    p.drawText(QRectF(area.left, y, area.Width(), titleH), Qt::AlignLeft | Qt::AlignTop, Q(t.title));
    y += titleH;
    p.setFont(f.body);
    p.drawText(QRectF(area.left, y, area.Width(), lineH), Qt::AlignLeft | Qt::AlignVCenter,
               Q(PrintDateText(printDate)));
    y += lineH * 1.5;
    for (int set = 0; set < L.columnSets; ++set) {
      // The lines of this column set.
      const size_t first = L.FirstLine(page) + static_cast<size_t>(set) * static_cast<size_t>(L.linesPerColumn);
      const size_t end = std::min(
          std::min(first + static_cast<size_t>(L.linesPerColumn), L.EndLine(page, t.lines.size())), t.lines.size());
      // The last page of a flowing list may not reach its later sets: no
      // headers over nothing (the first set keeps them, even of an empty list).
      if (set > 0 && first >= end) break;
      const double x0 = area.left + set * (setWidth + kSetGap);
      std::vector<double> xs(w.size() + 1, x0);
      for (size_t c = 0; c < w.size(); ++c) xs[c + 1] = xs[c] + w[c];
      double hy = y;
      if (!t.groups.empty()) {
        p.setFont(f.bold);
        for (const ColumnGroup& g : t.groups) {
          if (g.last >= w.size() || g.first > g.last) continue;
          const QRectF r(xs[g.first], hy, xs[g.last + 1] - xs[g.first], lineH);
          p.setPen(Qt::black);
          p.drawText(r, Qt::AlignCenter, Q(g.caption));
          p.setPen(grid);
          p.drawLine(QPointF(r.left() + kPadding, r.bottom()), QPointF(r.right() - kPadding, r.bottom()));
        }
        hy += lineH;
      }
      if (t.HasHeaderRow()) {
        p.setFont(f.bold);
        p.setPen(Qt::black);
        for (size_t c = 0; c < w.size(); ++c)
          p.drawText(QRectF(xs[c] + kPadding, hy, w[c] - 2 * kPadding, lineH), AlignOf(t.columns[c].align),
                     Q(t.columns[c].header));
        hy += lineH;
        p.setPen(rule);
        p.drawLine(QPointF(x0, hy), QPointF(xs.back(), hy));
      }
      double ly = area.top + L.headerHeight;
      for (size_t i = first; i < end; ++i) {
        const TableLine& l = t.lines[i];
        switch (l.kind) {
          case LineKind::Row:
            if (t.StartsBlock(i) && i > first) {
              p.setPen(rule);
              p.drawLine(QPointF(x0, ly), QPointF(xs.back(), ly));
            }
            p.setFont(f.body);
            p.setPen(Qt::black);
            for (size_t c = 0; c < w.size(); ++c) {
              const QRectF cell(xs[c] + kPadding, ly, w[c] - 2 * kPadding, lineH);
              QString text = Q(l.At(c));
              if (elide[c]) text = bodyM.elidedText(text, Qt::ElideRight, cell.width());
              p.drawText(cell, AlignOf(t.columns[c].align), text);
            }
            if (IsFundTable(t)) {
              p.setPen(grid);
              p.drawLine(QPointF(x0, ly + lineH), QPointF(xs.back(), ly + lineH));
            }
            break;
          case LineKind::Header:
            p.setFont(f.bold);
            p.setPen(Qt::black);
            for (size_t c = 0; c < w.size(); ++c)
              p.drawText(QRectF(xs[c] + kPadding, ly, w[c] - 2 * kPadding, lineH), AlignOf(t.columns[c].align),
                         Q(l.At(c)));
            p.setPen(rule);
            p.drawLine(QPointF(x0, ly + lineH), QPointF(xs.back(), ly + lineH));
            break;
          case LineKind::Caption:
            p.setFont(f.bold);
            p.setPen(Qt::black);
            p.drawText(QRectF(x0, ly, area.Width(), lineH), Qt::AlignLeft | Qt::AlignVCenter, Q(l.At(0)));
            break;
          case LineKind::Heading:
            p.setFont(f.heading);
            p.setPen(Qt::black);
            p.drawText(QRectF(x0, ly, area.Width(), lineH), Qt::AlignLeft | Qt::AlignVCenter, Q(l.At(0)));
            break;
          case LineKind::Text:
            p.setFont(f.text);
            p.setPen(Qt::black);
            p.drawText(QRectF(x0, ly, area.Width(), lineH), Qt::AlignLeft | Qt::AlignVCenter, Q(l.At(0)));
            break;
          case LineKind::Blank:
            break;
        }
        ly += lineH;
      }
    }
    p.setFont(f.body);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left, area.bottom - lineH, area.Width(), lineH), Qt::AlignHCenter | Qt::AlignVCenter,
               Q(PageFooterText(page + 1, L.pageCount)));
    ++out.pages;
  }
  if (!p.end()) out.pages = 0;  // the pages did not reach the printer
  return out;
}

}  // namespace tellurio
