#include "views/CTellurioView.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

#include "app/core/CTellurioDoc.h"
#include "app/core/CommandTable.h"
#include "calendar/NumberText.h"
#include "platform/Codec1252.h"
#include "portfolio/Funds.h"
#include "views/CChildFrame.h"
#include "views/Fonts.h"
#include "views/RankingTexts.h"
#include "views/Ticker.h"

namespace tellurio {

namespace {

ViewActions* g_actions = nullptr;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A list box without a selection of its own, in a sunken frame.
QListWidget* MakeList(QWidget* parent, QFrame*& frame, bool selectable) {
  frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Box | QFrame::Plain);
  frame->setStyleSheet(QStringLiteral("QFrame { color: #7a8796; background: #eef1f5; }"));
  auto* list = new QListWidget(frame);
  list->setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 12));
  list->setSelectionMode(selectable ? QAbstractItemView::SingleSelection : QAbstractItemView::NoSelection);
  list->setFocusPolicy(selectable ? Qt::StrongFocus : Qt::NoFocus);
  list->setStyleSheet(QStringLiteral("QListWidget { color: black; background: white; border: 1px solid #9aa5b1; }"));
  frame->show();
  list->show();
  return list;
}

// Shows `lines` in a list box.  A list that already shows exactly these
// lines is left alone: choosing a fund updates every pane, and refilling
// unchanged lists would lay them out and paint them again and move them
// back to their first line.
void ShowLines(QListWidget* list, const QStringList& lines) {
  bool same = list->count() == lines.size();
  for (int i = 0; same && i < lines.size(); ++i) same = list->item(i)->text() == lines[i];
  if (same) return;
  list->clear();
  list->addItems(lines);
}

// Places a framed list at fractions of the client area; the frame lies
// (fx, fy) of the client size outside the list.
void PlaceFramed(QFrame* frame, QListWidget* list, const QSize& client, double left, double top, double width,
                 double height, double fx, double fy) {
  const int w = client.width(), h = client.height();
  const QRect inner(static_cast<int>(left * w), static_cast<int>(top * h), static_cast<int>(width * w),
                    static_cast<int>(height * h));
  const int dx = static_cast<int>(std::ceil(fx * w)), dy = static_cast<int>(std::ceil(fy * h));
  frame->setGeometry(inner.adjusted(-dx, -dy, dx, dy));
  list->setGeometry(dx, dy, inner.width(), inner.height());
}

// A coloured tile for a fund of the depot.
class FundTile : public QPushButton {
 public:
  FundTile(const QString& text, QColor color, QWidget* parent) : QPushButton(text, parent), color_(color) {
    setFixedSize(64, 40);
    setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 11));
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r(0, 0, 63, 39);
    p.fillRect(r, isDown() ? color_.darker(115) : color_);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(96, 96, 96));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(Qt::black);
    p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter, text());
    if (hasFocus()) {
      p.setPen(QPen(Qt::black, 1, Qt::DotLine));
      p.drawRect(r.adjusted(3, 3, -4, -4));
    }
  }

 private:
  QColor color_;
};

// Gives every row of a list of one-line texts its size, so that laying the
// list out does not lay out the text of each of its thousands of rows.  The
// item delegate sizes such a row as the width of its text rounded up plus
// the style's margins, by the height of one line: the margins and the
// height come from the delegate's size of one row, and the rule is checked
// against two more rows.  When they disagree (another style) the rows keep
// the delegate's own sizes.
void SetRowSizes(QListWidget* list, const std::vector<RankingText>& texts, TextWidths& widths) {
  const int n = list->count();
  if (n == 0 || static_cast<size_t>(n) != texts.size()) return;
  auto textWidth = [&](int row) {
    std::string_view t = texts[static_cast<size_t>(row)].shown;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);  // trailing blanks take no room in the line
    return static_cast<int>(std::ceil(widths.ExactWidth(t)));
  };
  auto delegateSize = [&](int row) {
    list->item(row)->setData(Qt::SizeHintRole, QVariant());  // the delegate's own size, not one given before
    return list->sizeHintForIndex(list->model()->index(row, 0));
  };
  const QSize sample = delegateSize(0);
  const int margins = sample.width() - textWidth(0);
  for (int row : {n / 2, n - 1}) {
    const QSize s = delegateSize(row);
    if (s.height() != sample.height() || s.width() != textWidth(row) + margins) return;
  }
  for (int row = 0; row < n; ++row)
    list->item(row)->setData(Qt::SizeHintRole, QSize(textWidth(row) + margins, sample.height()));
}

double NewestWeekly(const FundStatistics& s) { return s.weeklyChanges.empty() ? 0 : s.weeklyChanges.back(); }

}  // namespace

std::string TileText(const std::string& fund) {
  const size_t dash = fund.find('-');
  if (Utf8Length(fund) >= 9 && dash != std::string::npos) return Utf8Left(fund.substr(dash + 1), 8);
  return Utf8Left(fund, 8);
}

QColor TileColor(double v) {
  if (v == 0) return QColor(192, 192, 192);
  const double whole = std::trunc(v);
  if (v > 0) {
    const int t = static_cast<int>(std::min(210.0, 50 * whole));
    return QColor(210 - t, 255, 210 - t);
  }
  const int t = static_cast<int>(std::min(210.0, -50 * whole));
  return QColor(255, 210 - t, 210 - t);
}

void CTellurioView::SetActions(ViewActions* actions) { g_actions = actions; }

CTellurioView::CTellurioView(CTellurioDoc& doc, AppFlags& flags, CChildFrame* frame)
    : QWidget(frame), doc_(doc), flags_(flags), frame_(frame) {
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (Is("Fenster1")) {
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    hbar_->setObjectName(QStringLiteral("chartScroll"));
    hbar_->hide();
    connect(hbar_, &QAbstractSlider::actionTriggered, this, [this](int a) { OnScrollAction(a); });
    setMouseTracking(true);
  } else if (Is("Fenster2")) {
    fundList_ = MakeList(this, fundFrame_, true);
    fundList_->setObjectName(QStringLiteral("allFunds"));
    fundList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(fundList_, &QListWidget::itemSelectionChanged, this, [this] {
      QListWidgetItem* item = fundList_->currentItem();
      if (!item || !item->isSelected() || !g_actions || !g_actions->fundChosen) return;
      g_actions->fundChosen(FundListFund(fundList_->row(item)), Scope::AllFunds);
    });
    connect(fundList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
      if (g_actions && g_actions->takeOverFund) g_actions->takeOverFund(FundListLine(fundList_->row(item)));
    });
    connect(fundList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
      QMenu menu(this);
      QAction* data = menu.addAction(QStringLiteral("Fonddaten anzeigen ..."));
      QAction* take = menu.addAction(QStringLiteral("Fond in das Depot übernehmen"));
      QListWidgetItem* item = fundList_->currentItem();
      const std::string line = item && item->isSelected() ? FundListLine(fundList_->row(item)) : std::string();
      take->setEnabled(!line.empty());
      QAction* chosen = menu.exec(fundList_->viewport()->mapToGlobal(at));
      if (!g_actions) return;
      if (chosen == data && g_actions->showFundData) g_actions->showFundData(line);
      if (chosen == take && g_actions->takeOverFund) g_actions->takeOverFund(line);
    });
  } else if (Is("Fenster3")) {
    totalsList_ = MakeList(this, totalsFrame_, false);
    totalsList_->setObjectName(QStringLiteral("depotTotals"));
    rankingList_ = MakeList(this, rankingFrame_, false);
    rankingList_->setObjectName(QStringLiteral("depotRanking"));
  }
}

CTellurioView::~CTellurioView() {
  // The ticker stops before anything it draws for goes away.
  if (ticker_) ticker_->Stop();
}

QString CTellurioView::Title() const { return frame_ ? frame_->Title() : QString(); }

bool CTellurioView::Is(const char* title) const { return Title() == QLatin1String(title); }

bool CTellurioView::TickerRunning() const { return ticker_ && ticker_->Running(); }

void CTellurioView::OnUpdate() {
  LayoutControls();
  if (Is("Fenster1")) {
    if (!flags_.tableViewOn) RefreshChart();
  } else if (Is("Fenster2")) {
    if (!flags_.tableViewOn) {
      UpdateFundList();
      UpdateInfo();
    }
  } else if (Is("Fenster3")) {
    UpdateDepotPane();
  }
  update();
}

// ---- chart pane -----------------------------------------------------------------

void CTellurioView::ResetChart(bool chartOn) {
  if (markerDrawn_) DrawMarker(marker_);
  chart_ = chart::ChartInput{};
  series_.clear();
  chartActive_ = false;
  layout_ = chart::ChartLayout{};
  scroll_ = chart::ScrollState{};
  if (!chartOn) {
    flags_.valueDisplayEnabled = 0;
    valueDisplay_ = false;
    markerDrawn_ = false;
  }
  UpdateScrollBar();
  RenderChart();
  update();
}

void CTellurioView::ShowChart(chart::ChartKind kind, const std::string& fund, const std::string& otherFund,
                              std::vector<std::string> series) {
  if (markerDrawn_) DrawMarker(marker_);
  markerDrawn_ = false;
  chart_.kind = kind;
  chart_.fund = fund;
  chart_.otherFund = otherFund;
  series_ = std::move(series);
  chartActive_ = true;
  flags_.valueDisplayEnabled = 1;
  RenderChart();
  UpdateScrollBar();
  update();
}

bool CTellurioView::Windowed() const {
  return chartActive_ && chart::IsWindowed(chart_.kind, static_cast<int>(series_.size() / 2), width());
}

void CTellurioView::RenderChart() {
  if (!Is("Fenster1")) return;
  const QSize size(std::max(1, width()), std::max(1, height()));
  // The chart is laid out now (its layout and the scroll state are what the
  // scroll bar, the value display and the callers read at once) and painted
  // into the back buffer when the picture is next needed: the sizes a pane
  // passes through while the window is made and maximised cost a layout
  // each, and only the last one is painted.
  markerDrawn_ = false;
  bufferRendered_ = false;
  picturePending_ = true;
  pictureSize_ = size;
  update();
  if (!chartActive_) return;
  // A windowed chart leaves room for its scroll bar at the bottom.
  const int barH = hbar_ && Windowed() ? hbar_->sizeHint().height() : 0;
  chartHeight_ = std::clamp(size.height() - barH, 0, size.height());
  layout_ = LayoutScreenChart(QRect(0, 0, size.width(), chartHeight_), chart_, series_, scroll_);
  bufferRendered_ = true;
  renderedSize_ = size;
  renderedScroll_ = scroll_;
}

void CTellurioView::PaintPicture() {
  if (!picturePending_) return;
  picturePending_ = false;
  if (!chartActive_ || !bufferRendered_) {
    // Without a chart the pane is painted white directly: no picture of the
    // pane's size is kept for it.
    buffer_ = QImage();
    return;
  }
  if (buffer_.size() != pictureSize_) buffer_ = QImage(pictureSize_, QImage::Format_RGB32);
  // The chart fills its own area with white; only the rows below it are
  // filled here (the whole picture is written once).
  QPainter p(&buffer_);
  if (chartHeight_ < pictureSize_.height())
    p.fillRect(QRect(0, chartHeight_, pictureSize_.width(), pictureSize_.height() - chartHeight_), Qt::white);
  PaintScreenChart(p, layout_);
  ++chartDraws_;
}

const QImage& CTellurioView::BackBuffer() {
  PaintPicture();
  return buffer_;
}

void CTellurioView::RefreshChart() {
  if (!Is("Fenster1")) return;
  const QSize size(std::max(1, width()), std::max(1, height()));
  const chart::ScrollState &s = scroll_, &r = renderedScroll_;
  const bool sameScroll = s.range == r.range && s.position == r.position && s.zoom == r.zoom &&
                          s.minimumRange == r.minimumRange && s.initialised == r.initialised;
  // A window of fewer than three points is widened by every layout until it
  // has three; such a chart is laid out again as before.
  const int n = static_cast<int>(series_.size() / 2);
  const bool settled = !(Windowed() && s.range > 0 && n - s.range < 3 && s.zoom == 1);
  if (chartActive_ && bufferRendered_ && !markerDrawn_ && renderedSize_ == size && sameScroll && settled) return;
  RenderChart();
}

void CTellurioView::UpdateScrollBar() {
  if (!hbar_) return;
  // Only a windowed chart (more points than fit the pane) scrolls.
  const bool show = Windowed() && scroll_.range > 0;
  const QSignalBlocker block(hbar_);
  hbar_->setRange(0, scroll_.range);
  hbar_->setPageStep(5);
  hbar_->setValue(scroll_.position);
  hbar_->setVisible(show);
  LayoutControls();
}

void CTellurioView::OnScrollAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      chart::ScrollLine(scroll_, 1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      chart::ScrollLine(scroll_, -1);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      chart::ScrollPage(scroll_, 1);
      break;
    case QAbstractSlider::SliderPageStepSub:
      chart::ScrollPage(scroll_, -1);
      break;
    case QAbstractSlider::SliderMove:
      chart::ScrollTo(scroll_, hbar_->sliderPosition());
      break;
    case QAbstractSlider::SliderToMinimum:
      chart::ScrollTo(scroll_, 0);
      break;
    case QAbstractSlider::SliderToMaximum:
      chart::ScrollTo(scroll_, scroll_.range);
      break;
    default:
      return;
  }
  hbar_->setSliderPosition(scroll_.position);
  RenderChart();
  update();
}

bool CTellurioView::Zoom(int step) {
  const bool ok = chart::ApplyZoom(scroll_, step, static_cast<int>(series_.size() / 2));
  UpdateScrollBar();
  if (ok) {
    RenderChart();
    update();
  }
  return ok;
}

void CTellurioView::ToggleValueDisplay() {
  if (!valueDisplay_) {
    valueDisplay_ = true;
    markerDrawn_ = false;
    return;
  }
  if (markerDrawn_) DrawMarker(marker_);
  markerDrawn_ = false;
  valueDisplay_ = false;
  update();
}

void CTellurioView::DrawMarker(const QPoint& at) {
  PaintPicture();
  if (buffer_.isNull() || !layout_.valid) return;
  QPainter p(&buffer_);
  DrawValueMarker(p, layout_, series_, at);
}

void CTellurioView::MoveMarker(const QPoint& at) {
  if (!valueDisplay_ || !chartActive_ || !chart::InPlot(layout_, chart::Point{at.x(), at.y()})) return;
  if (markerDrawn_) DrawMarker(marker_);
  DrawMarker(at);
  marker_ = at;
  markerDrawn_ = true;
  update();
}

void CTellurioView::mouseMoveEvent(QMouseEvent* event) {
  if (Is("Fenster1")) MoveMarker(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

// ---- layout ---------------------------------------------------------------------

void CTellurioView::resizeEvent(QResizeEvent*) {
  LayoutControls();
  if (Is("Fenster1")) {
    // A chart may start or stop needing its window at the new width.
    RenderChart();
    UpdateScrollBar();
  }
  if (Is("Fenster3")) RebuildTiles();
}

void CTellurioView::LayoutControls() {
  const QSize c = size();
  if (hbar_) {
    const int h = hbar_->sizeHint().height();
    hbar_->setGeometry(0, c.height() - h, c.width(), h);
  }
  if (fundList_) PlaceFramed(fundFrame_, fundList_, c, 0.0459, 0.5522, 0.9083, 0.3838, 5.0 / 299, 10.0 / 515);
  if (totalsList_) {
    PlaceFramed(totalsFrame_, totalsList_, c, 0.8030, 0.2479, 0.1791, 0.3306, 5.0 / 1005, 10.0 / 121);
    PlaceFramed(rankingFrame_, rankingList_, c, 0.5134, 0.2479, 0.2597, 0.6, 5.0 / 1005, 10.0 / 121);
  }
  if (ticker_) ticker_->SetStripSize(StripRect().width() - 8, 30);
}

QRect CTellurioView::StripRect() const { return QRect(QPoint(5, height() - 49), QPoint(width() / 2, height() - 5)); }

// ---- pane 2 ----------------------------------------------------------------------

void CTellurioView::UpdateFundList() {
  // The lines are built again only when the ranking (the funds, their order
  // or their figures) or the list's font changed since the last update.
  const std::vector<RankingLine>& ranking = doc_.statistics().FundRanking(Scope::AllFunds);
  const QString fontKey = fundList_->font().key();
  auto sameLine = [](const RankingLine& a, const RankingLine& b) {
    return a.fund == b.fund && a.changeText == b.changeText && a.percentText == b.percentText;
  };
  const bool same =
      fontKey == fundListFont_ && fundList_->count() == static_cast<int>(ranking.size()) &&
      std::equal(ranking.begin(), ranking.end(), fundListRanking_.begin(), fundListRanking_.end(), sameLine);
  const QSignalBlocker block(fundList_);
  if (!same) {
    // Lines that did not change stay the same items: a double click whose
    // first click selected a fund (and so updated the panes) must find the
    // line it began on, or it is lost.
    TextWidths& widths = TextWidths::For(fundList_->font());
    std::vector<RankingText> texts = RankingTexts(ranking, widths);
    // What a line stands for (its fund, its line for printing and taking
    // over) is kept here by row, not in the items: thousands of item values
    // would cost more than the lines themselves.
    fundListLines_.clear();
    fundListLines_.reserve(texts.size());
    for (RankingText& t : texts) fundListLines_.push_back(std::move(t.line));
    if (fundList_->count() != static_cast<int>(ranking.size())) {
      fundList_->clear();
      QStringList lines;
      lines.reserve(static_cast<qsizetype>(texts.size()));
      for (const RankingText& t : texts) lines.push_back(Q(t.shown));
      fundList_->addItems(lines);
      // The new lines' sizes reach the view as one change of all lines, not
      // as thousands of changes of one value each: the lines were just added
      // and are laid out and painted after this anyway.
      QAbstractItemModel* model = fundList_->model();
      {
        const QSignalBlocker quiet(model);
        SetRowSizes(fundList_, texts, widths);
      }
      if (model->rowCount() > 0) emit model->dataChanged(model->index(0, 0), model->index(model->rowCount() - 1, 0));
    } else {
      for (size_t i = 0; i < ranking.size(); ++i) {
        QListWidgetItem* item = fundList_->item(static_cast<int>(i));
        const QString text = Q(texts[i].shown);
        if (item->text() != text) item->setText(text);
      }
      SetRowSizes(fundList_, texts, widths);
    }
    fundListRanking_ = ranking;
    fundListFont_ = fontKey;
  }
  // The selected fund's lines are selected, all others not.
  const std::string& selected = doc_.State().selectedFund;
  QListWidgetItem* current = nullptr;
  std::vector<QListWidgetItem*> chosen;
  for (size_t i = 0; i < fundListRanking_.size() && !selected.empty(); ++i)
    if (fundListRanking_[i].fund == selected) chosen.push_back(fundList_->item(static_cast<int>(i)));
  const QList<QListWidgetItem*> before = fundList_->selectedItems();
  for (QListWidgetItem* item : before)
    if (std::find(chosen.begin(), chosen.end(), item) == chosen.end()) item->setSelected(false);
  for (QListWidgetItem* item : chosen) {
    item->setSelected(true);
    current = item;
  }
  if (current) fundList_->setCurrentItem(current);
}

std::string CTellurioView::FundListFund(int row) const {
  return row >= 0 && static_cast<size_t>(row) < fundListRanking_.size()
             ? fundListRanking_[static_cast<size_t>(row)].fund
             : std::string();
}

std::string CTellurioView::FundListLine(int row) const {
  return row >= 0 && static_cast<size_t>(row) < fundListLines_.size() ? fundListLines_[static_cast<size_t>(row)]
                                                                      : std::string();
}

void CTellurioView::UpdateInfo() {
  const DepotState& s = doc_.State();
  infoShown_ = false;
  info_ = {};
  if (!s.fundSelected || s.selectedFund.empty()) return;
  const int inDepot = s.depotStore.FindKey(s.selectedFund);
  const int inArchive = s.auxiliaryStore.FindKey(s.selectedFund);
  if (inDepot >= 0 && inDepot < s.depotStore.RecordCount()) {
    info_ = doc_.statistics().FundInfoLines(inDepot, Scope::DepotFunds);
  } else if (inArchive >= 0 && inArchive < s.auxiliaryStore.RecordCount()) {
    info_ = doc_.statistics().FundInfoLines(inArchive, Scope::AllFunds);
  } else {
    return;
  }
  infoShown_ = true;
}

// ---- pane 3 ----------------------------------------------------------------------

void CTellurioView::RebuildTiles() {
  const DepotState& s = doc_.State();
  const std::vector<std::string> funds = FundNames(s.depotStore);
  const std::vector<FundStatistics>& table = doc_.statistics().Table(Scope::DepotFunds);
  const int perRow = std::max(1, (width() / 2) / 64);
  std::vector<double> weekly(funds.size());
  for (size_t i = 0; i < funds.size(); ++i) weekly[i] = i < table.size() ? NewestWeekly(table[i]) : 0;
  // Tiles that would come out the same (funds, their newest weekly change
  // and the tiles per row) stay: choosing a fund changes none of them.
  if (funds == tileFunds_ && weekly == tileWeekly_ && perRow == tilesPerRow_ && tiles_.size() == funds.size()) return;
  tileWeekly_ = weekly;
  tilesPerRow_ = perRow;
  // The old tiles go at once: a deferred deletion would leave them on the
  // pane, under the new ones, for as long as the event loop level they were
  // made at is not left (at start-up: for good).  No tile is deleted from
  // inside its own signal: presses reach the actions through a queued call.
  for (QPushButton* t : tiles_) delete t;
  tiles_.clear();
  tileFunds_ = funds;
  for (size_t i = 0; i < funds.size(); ++i) {
    const double v = weekly[i];
    auto* tile = new FundTile(Q(TileText(funds[i])), TileColor(v), this);
    tile->setObjectName(QStringLiteral("tile%1").arg(300 + static_cast<int>(i)));
    tile->setToolTip(Q(funds[i] + " " + FormatNumber(v, 2) + "%"));
    tile->move(static_cast<int>(i % static_cast<size_t>(perRow)) * 64,
               static_cast<int>(i / static_cast<size_t>(perRow)) * 40);
    const std::string fund = funds[i];
    connect(
        tile, &QPushButton::clicked, this,
        [fund] {
          if (g_actions && g_actions->fundChosen) g_actions->fundChosen(fund, Scope::DepotFunds);
        },
        Qt::QueuedConnection);
    tile->show();
    tiles_.push_back(tile);
  }
}

void CTellurioView::UpdateDepotPane() {
  RebuildTiles();
  const QFontMetrics m(totalsList_->font());
  const auto lines =
      doc_.statistics().DepotTotalLines([&m](const std::string& t) { return m.horizontalAdvance(Q(t)); });
  QStringList totals;
  if (!doc_.State().currentDepot.empty()) totals = {Q(lines[0]), Q(lines[1])};
  ShowLines(totalsList_, totals);
  QStringList ranking;
  for (const RankingText& t :
       RankingTexts(doc_.statistics().FundRanking(Scope::DepotFunds), TextWidths::For(rankingList_->font())))
    ranking.push_back(Q(t.shown));
  ShowLines(rankingList_, ranking);
  if (!ticker_) {
    ticker_ = std::make_unique<TickerThread>([this] { return doc_.TickerText(); }, this,
                                             [this](const QImage& frame) {
                                               tickerFrame_ = frame;
                                               update(StripRect());
                                             });
    ticker_->SetStripSize(StripRect().width() - 8, 30);
    ticker_->Start();
  }
}

// ---- painting ---------------------------------------------------------------------

void CTellurioView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (Is("Fenster1")) {
    PaintPicture();
    if (buffer_.isNull())
      p.fillRect(rect(), Qt::white);
    else
      p.drawImage(0, 0, buffer_);
    return;
  }
  p.fillRect(rect(), Qt::white);
  if (Is("Fenster2")) {
    if (!infoShown_) return;
    const int w = width();
    const int bottom = fundFrame_ ? fundFrame_->geometry().top() - 6 : height() / 2;
    const QFont caption = ProgramFont(QStringLiteral("MS Sans Serif"), 13, 700);
    const QFont text = ProgramFont(QStringLiteral("MS Sans Serif"), 12);
    const QFontMetrics cm(caption), tm(text);
    const int rowH = std::max(tm.height(), std::min(22, (bottom - 2 * cm.height() - 16) / 14));
    int y = 8;
    const int left = static_cast<int>(0.0459 * w);
    const int valueRight = left + static_cast<int>(0.9083 * w);
    auto captionAt = [&](const QString& t) {
      p.setFont(caption);
      p.setPen(QColor(31, 78, 140));
      p.drawText(QRect(left, y, valueRight - left, cm.height()), Qt::AlignLeft | Qt::AlignVCenter, t);
      y += cm.height() + 2;
      p.setPen(QColor(31, 78, 140, 90));
      p.drawLine(left, y, valueRight, y);
      y += 3;
    };
    captionAt(QStringLiteral("Wertentwicklung"));
    p.setFont(text);
    for (int i = 0; i < 14; ++i) {
      if (i == 9) {
        y += 4;
        captionAt(QStringLiteral("Kennzahlen"));
        p.setFont(text);
      }
      p.setPen(Qt::black);
      p.drawText(QRect(left, y, valueRight - left, rowH), Qt::AlignLeft | Qt::AlignVCenter,
                 QString::fromUtf8(Statistics::kFundInfoLabels[i]));
      p.drawText(QRect(left, y, valueRight - left, rowH), Qt::AlignRight | Qt::AlignVCenter,
                 Q(info_[static_cast<size_t>(i)]));
      y += rowH;
    }
    return;
  }
  if (Is("Fenster3")) {
    const QRect strip = StripRect();
    p.fillRect(strip, QColor(192, 192, 192));
    // The ticker's band of 30 pixels, centred in the grey strip.
    if (!tickerFrame_.isNull())
      p.drawImage(strip.topLeft() + QPoint(4, (strip.height() - tickerFrame_.height()) / 2), tickerFrame_);
  }
}

}  // namespace tellurio
