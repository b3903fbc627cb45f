#include "views/qt/TablePane.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <optional>

#include "views/Fonts.h"
#include "views/qt/TableMetrics.h"

namespace tellurio {

// The painter on the back buffer, begun on first use: most screens draw
// everything straight into the pixels and need none.
class LazyPainter {
 public:
  LazyPainter(QImage& image, const QRect& clip) : image_(image), clip_(clip) {}
  // How often the painter was asked for.
  int Uses() const { return uses_; }
  QPainter& operator*() {
    ++uses_;
    if (!painter_) {
      painter_.emplace(&image_);
      painter_->setClipRect(clip_);
    }
    return *painter_;
  }

 private:
  QImage& image_;
  QRect clip_;
  std::optional<QPainter> painter_;
  int uses_ = 0;
};

namespace {

constexpr int kLeft = 8;       // the table's distance from the pane's left edge
constexpr int kPadding = 6;    // inside a cell, left and right
constexpr int kOverhang = 16;  // how far glyphs may reach past the end of their advances
const QColor kGrid(192, 192, 192);
const QColor kHeaderFill(236, 236, 236);
const QColor kCaptionFill(246, 246, 246);
const QColor kStripe(249, 249, 249);
const QColor kTitle(31, 58, 96);
const QColor kBlockRule(112, 112, 112);  // above the first row of a depot or company block

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Pixels [from, to) set to one value.  Filling rows and refilling white are
// a good part of the time of a screen, and the compiler leaves a plain loop
// over the pixels unvectorised: the C library's wmemset (a wide character
// is a 32-bit value here) fills with the widest stores the processor has.
// The pixels of a vertical grid line, one per row, are set in place.
void FillPixels(quint32* from, quint32* to, quint32 pixel) {
  static_assert(sizeof(wchar_t) == sizeof(quint32));
  if (to - from >= 16)
    std::wmemset(reinterpret_cast<wchar_t*>(from), static_cast<wchar_t>(pixel), static_cast<size_t>(to - from));
  else
    for (; from < to; ++from) *from = pixel;
}

// An opaque rectangle inside the clip: straight into the pixels where the
// target is set (what QPainter::fillRect with an opaque colour gives), else
// through the painter.
void Fill(LazyPainter& p, const GlyphText::Target* target, const QRect& r, const QColor& color) {
  if (!target) {
    (*p).fillRect(r, color);
    return;
  }
  const QRect area = r & target->clip;
  const quint32 pixel = color.rgba() | 0xff000000u;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    quint32* line = target->bits + y * target->stride;
    FillPixels(line + area.left(), line + area.right() + 1, pixel);
  }
}

// One-pixel grid lines from one end to the other (both included), as a
// one-pixel-wide pen draws them; a filled rectangle costs far less.
void HorizontalLine(LazyPainter& p, const GlyphText::Target* target, int x1, int x2, int y, const QColor& color) {
  Fill(p, target, QRect(QPoint(std::min(x1, x2), y), QPoint(std::max(x1, x2), y)), color);
}
void VerticalLine(LazyPainter& p, const GlyphText::Target* target, int x, int y1, int y2, const QColor& color) {
  Fill(p, target, QRect(QPoint(x, std::min(y1, y2)), QPoint(x, std::max(y1, y2))), color);
}

// One cell's text in black: straight into the back buffer where the glyph
// helper can (target set), else through the painter, in a batch.
void DrawCell(LazyPainter& p, GlyphText::Batch& batch, const GlyphText& text, const GlyphText::Target* target,
              const QRectF& rect, Qt::Alignment align, const std::string& cell) {
  if (target && text.DrawDirect(*target, rect, align, cell)) return;
  if (cell.empty()) return;
  QPainter& painter = *p;
  painter.setPen(Qt::black);
  if (target)
    text.Draw(painter, rect, align, Q(cell));
  else
    text.DrawBatched(painter, batch, rect, align, Q(cell));
}

// Draws what is left in the batch.
void Flush(LazyPainter& p, GlyphText::Batch& batch, const GlyphText& text) {
  if (!batch.glyphs.isEmpty()) text.Flush(*p, batch);
}

}  // namespace

TablePane::TablePane(QWidget* parent)
    : QWidget(parent),
      font_(ProgramFont(QStringLiteral("Arial"), 11)),
      bold_(ProgramFont(QStringLiteral("Arial"), 11, 700)),
      bodyText_(font_),
      boldText_(bold_) {
  setObjectName(QStringLiteral("tablePane"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  titleFont_ = ProgramFont(QStringLiteral("Arial"), 15, 700);
  rowHeight_ = QFontMetrics(font_).height() + 6;
  titleHeight_ = QFontMetrics(titleFont_).height() + 14;
  vbar_ = new QScrollBar(Qt::Vertical, this);
  vbar_->setObjectName(QStringLiteral("tableScroll"));
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  hbar_->setObjectName(QStringLiteral("tableScrollSideways"));
  hbar_->hide();
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) {
    paging_.ScrollTo(v);
    Render();
    update();
  });
  connect(hbar_, &QScrollBar::valueChanged, this, [this](int v) {
    xOffset_ = v;
    Render();
    update();
  });
}

void TablePane::SetTable(std::shared_ptr<const TextTable> table) {
  table_ = std::move(table);
  xOffset_ = 0;
  paging_ = TablePaging();
  Measure();
  UpdateBars();
  Render();
  update();
}

void TablePane::Measure() {
  ++layout_;
  widths_.clear();
  if (!table_) return;
  std::vector<double> w = WidestTexts(
      *table_, [this](const QString& s) { return bodyText_.Width(s); },
      [this](const QString& s) { return boldText_.Width(s); }, QFontMetricsF(font_).maxWidth());
  for (double& x : w) x += 2 * kPadding;
  FitGroupCaptions(*table_, QFontMetricsF(bold_), kPadding, w);
  for (double x : w) widths_.push_back(static_cast<int>(std::ceil(x)));
}

int TablePane::TableWidth() const {
  int w = 0;
  for (int x : widths_) w += x;
  return w;
}

int TablePane::HeaderHeight() const {
  if (!table_) return 0;
  return titleHeight_ + (table_->groups.empty() ? 0 : rowHeight_) + (table_->HasHeaderRow() ? rowHeight_ + 2 : 0);
}

QRect TablePane::Viewport() const {
  const int right = vbar_->isVisible() ? vbar_->x() : width();
  const int bottom = hbar_->isVisible() ? hbar_->y() : height();
  return QRect(0, 0, std::max(1, right), std::max(1, bottom));
}

void TablePane::UpdateBars() {
  const int barW = vbar_->sizeHint().width(), barH = hbar_->sizeHint().height();
  const bool sideways = table_ && kLeft + TableWidth() > width() - barW;
  hbar_->setVisible(sideways);
  vbar_->setGeometry(width() - barW, 0, barW, height() - (sideways ? barH : 0));
  vbar_->show();
  hbar_->setGeometry(0, height() - barH, width() - barW, barH);
  const QRect view = Viewport();
  const size_t perPage = static_cast<size_t>(std::max(1, (view.height() - HeaderHeight()) / rowHeight_));
  paging_.Reset(table_ ? table_->lines.size() : 0, perPage);
  {
    const QSignalBlocker block(vbar_);
    vbar_->setRange(0, static_cast<int>(paging_.MaxFirst()));
    vbar_->setPageStep(static_cast<int>(paging_.PerPage()));
    vbar_->setSingleStep(1);
    vbar_->setValue(static_cast<int>(paging_.First()));
    vbar_->setEnabled(paging_.MaxFirst() > 0);
  }
  const QSignalBlocker block(hbar_);
  const int overflow = std::max(0, kLeft + TableWidth() + kLeft - view.width());
  xOffset_ = std::min(xOffset_, overflow);
  hbar_->setRange(0, overflow);
  hbar_->setPageStep(std::max(1, view.width() - 40));
  hbar_->setSingleStep(20);
  hbar_->setValue(xOffset_);
}

void TablePane::DrawHeader(LazyPainter& lazy, GlyphText::Batch& batch, const GlyphText::Target* cellTarget,
                           const std::vector<int>& xs, const QRect& view) {
  const TextTable& t = *table_;
  QPainter& p = *lazy;
  const int x0 = xs.front(), tableRight = xs.back();
  p.setFont(titleFont_);
  p.setPen(kTitle);
  p.drawText(QRect(x0, 0, std::max(view.width(), tableRight - x0), titleHeight_), Qt::AlignLeft | Qt::AlignVCenter,
             Q(t.title));
  int y = titleHeight_;
  p.setFont(bold_);
  if (!t.groups.empty()) {
    for (const ColumnGroup& g : t.groups) {
      if (g.last >= widths_.size() || g.first > g.last) continue;
      const QRect r(xs[g.first], y, xs[g.last + 1] - xs[g.first], rowHeight_);
      p.fillRect(r, kCaptionFill);
      p.setPen(kGrid);
      p.drawRect(r.adjusted(0, 0, -1, 0));
      p.setPen(Qt::black);
      p.drawText(r, Qt::AlignCenter, Q(g.caption));
    }
    y += rowHeight_;
  }
  if (t.HasHeaderRow()) {
    const int h = rowHeight_ + 2;
    p.fillRect(QRect(x0, y, tableRight - x0, h), kHeaderFill);
    p.setPen(Qt::black);
    for (size_t c = 0; c < t.columns.size() && c < widths_.size(); ++c)
      DrawCell(lazy, batch, boldText_, cellTarget, QRectF(xs[c] + kPadding, y, widths_[c] - 2 * kPadding, h),
               AlignOf(t.columns[c].align), t.columns[c].header);
    Flush(lazy, batch, boldText_);
    HorizontalLine(lazy, nullptr, x0, tableRight, y, kGrid);
    HorizontalLine(lazy, nullptr, x0, tableRight, y + h - 1, kGrid);
    for (int x : xs) VerticalLine(lazy, nullptr, x, y, y + h - 1, kGrid);
  }
}

void TablePane::Render() {
  const QSize size(std::max(1, width()), std::max(1, height()));
  if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
  const QRect view = Viewport();
  // Scrolling up and down keeps the title, captions and header row: they
  // are drawn once per table, layout and sideways offset and then copied.
  const HeaderKey key{table_.get(), layout_, xOffset_, view, size};
  const int band = table_ ? std::min(HeaderHeight(), size.height()) : 0;
  const bool reuse = table_ && key == headerKey_ && headerBand_.height() == band && band > 0;
  const int x0 = kLeft - xOffset_;
  const int tableRight = x0 + TableWidth();
  if (reuse) {
    const qsizetype bytes = buffer_.bytesPerLine();
    // The band is still there unless the last screen drew into it.
    if (!bandIntact_)
      for (int y = 0; y < band; ++y) std::memcpy(buffer_.scanLine(y), headerBand_.constScanLine(y), bytes);
    // Below the header everything is white again, but only left of where
    // the last screen drew (right of it the buffer is still white) and not
    // where a row is filled with its colour anyway.
    const int clean = std::min(size.width(), cleanRight_);
    const int rowLeft = std::max(x0, view.left()), rowRight = std::min(tableRight, view.right() + 1);
    const size_t first = paging_.First(), visible = paging_.Visible();
    for (int y = band; y < size.height(); ++y) {
      quint32* line = reinterpret_cast<quint32*>(buffer_.scanLine(y));
      const size_t k = static_cast<size_t>((y - band) / rowHeight_);
      const LineKind kind = k < visible ? table_->lines[first + k].kind : LineKind::Blank;
      const bool filled = y <= view.bottom() && rowLeft < rowRight &&
                          ((kind == LineKind::Row && k % 2 == 1) || kind == LineKind::Header);
      if (filled) {
        FillPixels(line, line + rowLeft, 0xffffffffu);
        if (rowRight < clean) FillPixels(line + rowRight, line + clean, 0xffffffffu);
      } else {
        FillPixels(line, line + clean, 0xffffffffu);
      }
    }
  } else {
    buffer_.fill(Qt::white);
    headerKey_ = HeaderKey();
    headerBand_ = QImage();
  }
  cleanRight_ = size.width();  // until the table's rows are drawn
  bandIntact_ = false;
  // The cells' texts go straight into the buffer's pixels where that gives
  // what the painter would draw (checked once per font): it is most of
  // the work of a screen.  Taken before the painter starts, which does not
  // move the pixels.
  const GlyphText::Target target = GlyphText::TargetOf(buffer_, view);
  const GlyphText::Target* fillTarget = target.bits ? &target : nullptr;
  const bool direct = target.bits && bodyText_.CanDrawDirect() && boldText_.CanDrawDirect();
  const GlyphText::Target* cellTarget = direct ? &target : nullptr;
  LazyPainter p(buffer_, view);
  if (!table_) {
    QPainter& painter = *p;
    painter.setFont(ProgramFont(QStringLiteral("Arial"), 13));
    painter.setPen(QColor(110, 110, 110));
    painter.drawText(view, Qt::AlignCenter,
                     QStringLiteral("Es wurde keine Tabelle ausgewählt.\n"
                                    "Schalten Sie die Tabellenansicht aus und wieder ein, um eine Tabelle zu wählen."));
    return;
  }
  const TextTable& t = *table_;
  std::vector<int> xs(widths_.size() + 1, x0);  // column edges
  for (size_t c = 0; c < widths_.size(); ++c) xs[c + 1] = xs[c] + widths_[c];

  GlyphText::Batch batch;
  int y = HeaderHeight();
  if (!reuse) {
    DrawHeader(p, batch, cellTarget, xs, view);
    if (band > 0) {
      headerBand_ = buffer_.copy(0, 0, size.width(), band);
      headerKey_ = key;
    }
  }
  const int bodyTop = y;
  // Whether the rows leave the header band as it is: only a glyph reaching
  // above its row or something the painter draws could change it.
  bool touchedAbove = false;
  const int usesBefore = p.Uses();
  GlyphText::Target bodyTarget = target;
  bodyTarget.touchedAbove = &touchedAbove;
  bodyTarget.watchAbove = band;
  if (cellTarget) cellTarget = &bodyTarget;
  const size_t first = paging_.First(), end = first + paging_.Visible();
  for (size_t i = first; i < end; ++i) {
    const TableLine& l = t.lines[i];
    const QRect row(x0, y, tableRight - x0, rowHeight_);
    if (l.kind == LineKind::Row) {
      if ((i - first) % 2 == 1) Fill(p, fillTarget, row, kStripe);
      for (size_t c = 0; c < t.columns.size() && c < widths_.size(); ++c)
        DrawCell(p, batch, bodyText_, cellTarget, QRectF(xs[c] + kPadding, y, widths_[c] - 2 * kPadding, rowHeight_),
                 AlignOf(t.columns[c].align), l.At(c));
      Flush(p, batch, bodyText_);
    } else if (l.kind == LineKind::Header) {
      Fill(p, fillTarget, row, kHeaderFill);
      for (size_t c = 0; c < t.columns.size() && c < widths_.size(); ++c)
        DrawCell(p, batch, boldText_, cellTarget, QRectF(xs[c] + kPadding, y, widths_[c] - 2 * kPadding, rowHeight_),
                 AlignOf(t.columns[c].align), l.At(c));
      Flush(p, batch, boldText_);
    } else if (l.kind != LineKind::Blank) {
      QPainter& painter = *p;
      painter.setFont(l.kind == LineKind::Text ? font_ : bold_);
      painter.setPen(l.kind == LineKind::Text ? QColor(Qt::black) : kTitle);
      painter.drawText(row.adjusted(kPadding, 0, std::max(0, view.width() - row.right()), 0),
                       Qt::AlignLeft | Qt::AlignVCenter, Q(l.At(0)));
    }
    if (t.StartsBlock(i) && i > first) HorizontalLine(p, fillTarget, x0, tableRight, y - 1, kBlockRule);
    y += rowHeight_;
    if (l.kind == LineKind::Row || l.kind == LineKind::Header)
      HorizontalLine(p, fillTarget, x0, tableRight, y - 1, kGrid);
  }
  if (t.HasHeaderRow() && y > bodyTop)
    for (int x : xs) VerticalLine(p, fillTarget, x, bodyTop, y - 1, kGrid);
  // Right of the table only text lines draw (and glyphs a few pixels past
  // their cell, at most).
  bool wide = false;
  for (size_t i = first; i < end; ++i)
    wide = wide || (t.lines[i].kind != LineKind::Row && t.lines[i].kind != LineKind::Header &&
                    t.lines[i].kind != LineKind::Blank);
  cleanRight_ = wide ? size.width() : std::max(0, tableRight + 1 + kOverhang);
  bandIntact_ = !touchedAbove && p.Uses() == usesBefore && headerKey_ == key;
}

void TablePane::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (buffer_.size() != size()) Render();
  p.drawImage(0, 0, buffer_);
}

void TablePane::resizeEvent(QResizeEvent*) {
  UpdateBars();
  Render();
}

void TablePane::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0 && paging_.ScrollLines(-3LL * notches)) vbar_->setValue(static_cast<int>(paging_.First()));
  event->accept();
}

void TablePane::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Down:
      paging_.ScrollLines(1);
      break;
    case Qt::Key_Up:
      paging_.ScrollLines(-1);
      break;
    case Qt::Key_PageDown:
      paging_.ScrollPages(1);
      break;
    case Qt::Key_PageUp:
      paging_.ScrollPages(-1);
      break;
    case Qt::Key_Home:
      paging_.ScrollTo(0);
      break;
    case Qt::Key_End:
      paging_.ScrollTo(static_cast<long long>(paging_.MaxFirst()));
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  vbar_->setValue(static_cast<int>(paging_.First()));
}

void TablePane::contextMenuEvent(QContextMenuEvent* event) {
  if (!table_) return;
  QMenu menu(this);
  QAction* print = menu.addAction(QStringLiteral("&Drucken ..."));
  QAction* csv = menu.addAction(QStringLiteral("&Exportieren (CSV) ..."));
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == print) emit printRequested();
  if (chosen == csv) emit exportRequested();
}

TablePane* AttachTablePane(QWidget* view) {
  auto* layout = new QVBoxLayout(view);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* pane = new TablePane(view);
  layout->addWidget(pane);
  pane->show();
  return pane;
}

TablePane* FindTablePane(QWidget* view) { return view ? view->findChild<TablePane*>() : nullptr; }

}  // namespace tellurio
