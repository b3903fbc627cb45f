#pragma once
// CTellurioView: the one view class; every pane holds one, and the view
// decides from its pane's title what it shows:
//   "Fenster1"  the price chart of the selected fund (scrolling, zoom, value
//               display), drawn through a back buffer;
//   "Fenster2"  the list of all funds by their last month's change and the
//               information panel of the selected fund;
//   "Fenster3"  a tile per fund of the depot, the depot totals, the ranking
//               of the depot's funds and the moving ticker;
//   "Fenster4"  the table view.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "portfolio/DepotState.h"
#include "views/ChartRenderer.h"
#include "views/chart/DerivedChartCommands.h"

class QFrame;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QScrollBar;

namespace tellurio {

class CTellurioDoc;
struct AppFlags;
class CChildFrame;
class TickerThread;

// What the panes ask of the program when the user acts in them.
struct ViewActions {
  // A fund was chosen (a tile pressed, a line of the fund list selected).
  std::function<void(const std::string& fund, Scope scope)> fundChosen;
  // The fund data window for the marked line of the fund list ("" when none).
  std::function<void(const std::string& line)> showFundData;
  // Double click on a line of the fund list.
  std::function<void(const std::string& line)> takeOverFund;
};

class CTellurioView : public QWidget, public chart::ChartPane {
  Q_OBJECT
 public:
  CTellurioView(CTellurioDoc& doc, AppFlags& flags, CChildFrame* frame);
  ~CTellurioView() override;

  // The actions every view uses (owned by the caller; may be null).
  static void SetActions(ViewActions* actions);

  QString Title() const;
  // The document changed: rebuild what the pane shows.
  virtual void OnUpdate();
  // Resets the chart for a new chart (chartOn) or ends the chart view.
  void ResetChart(bool chartOn) override;

  // ---- chart pane ----
  // Shows the chart of a series (texts alternating date or label and value,
  // oldest first); otherFund only for the comparison.
  void ShowChart(chart::ChartKind kind, const std::string& fund, const std::string& otherFund,
                 std::vector<std::string> series) override;
  bool ChartActive() const { return chartActive_; }
  chart::ChartKind Kind() const { return chart_.kind; }
  // The series shown, as passed to ShowChart.
  const std::vector<std::string>& Series() const { return series_; }
  // Zoom with step +1 or -1; false when the minimum was reached (the caller
  // tells the user).
  bool Zoom(int step);
  void ToggleValueDisplay();
  bool ValueDisplayActive() const { return valueDisplay_; }
  const chart::ScrollState& Scroll() const { return scroll_; }
  QScrollBar* HorizontalBar() const { return hbar_; }
  // The pane's picture, painted first if the chart was laid out anew since;
  // none (a null image) while no chart is shown.
  const QImage& BackBuffer();
  const chart::ChartLayout& Layout() const { return layout_; }
  // The value display at a point of the pane (what a mouse move does).
  void MoveMarker(const QPoint& at);
  // How often the chart has been painted into the back buffer since the
  // view was made (a choice of a fund draws it once).
  int ChartDrawCount() const { return chartDraws_; }

  // ---- panes 2 and 3 ----
  QListWidget* FundList() const { return fundList_; }
  // The fund of a line of the fund list and the line as it is printed and
  // taken over ("name \tchange\tpercent"); empty for no line.
  std::string FundListFund(int row) const;
  std::string FundListLine(int row) const;
  QListWidget* TotalsList() const { return totalsList_; }
  QListWidget* RankingList() const { return rankingList_; }
  const std::vector<QPushButton*>& Tiles() const { return tiles_; }
  // The information panel texts of pane 2 (labels and values).
  const std::array<std::string, 14>& InfoValues() const { return info_; }
  bool TickerRunning() const;
  // The latest ticker frame shown in the strip.
  const QImage& TickerFrame() const { return tickerFrame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  bool Is(const char* title) const;
  // Lays the chart out for the pane's size and scroll state; the picture
  // follows when it is needed (PaintPicture).
  void RenderChart();
  void PaintPicture();
  // Renders the chart unless the back buffer holds exactly what rendering
  // now would give.
  void RefreshChart();
  bool Windowed() const;
  void UpdateScrollBar();
  void OnScrollAction(int action);
  void DrawMarker(const QPoint& at);  // inverting: twice restores
  void LayoutControls();
  void UpdateFundList();
  void UpdateInfo();
  void UpdateDepotPane();
  void RebuildTiles();
  QRect StripRect() const;

  CTellurioDoc& doc_;
  AppFlags& flags_;
  CChildFrame* frame_;

  // chart pane
  chart::ChartInput chart_;
  std::vector<std::string> series_;
  bool chartActive_ = false;
  chart::ScrollState scroll_;
  chart::ChartLayout layout_;
  QImage buffer_;
  QScrollBar* hbar_ = nullptr;
  bool valueDisplay_ = false;
  bool markerDrawn_ = false;
  QPoint marker_;
  int chartDraws_ = 0;
  // The chart as the last RenderChart laid it out: for what size and scroll
  // state; false once anything else drew on the picture.
  bool bufferRendered_ = false;
  // The back buffer still has to be painted (at that size; the chart in the
  // rows above chartHeight_).
  bool picturePending_ = false;
  QSize pictureSize_;
  int chartHeight_ = 0;
  QSize renderedSize_;
  chart::ScrollState renderedScroll_;

  // pane 2
  QFrame* fundFrame_ = nullptr;
  QListWidget* fundList_ = nullptr;
  std::vector<RankingLine> fundListRanking_;  // what the lines of the list show
  std::vector<std::string> fundListLines_;    // the line of each row for printing and taking over
  QString fundListFont_;                      // the font they were laid out for
  std::array<std::string, 14> info_{};
  bool infoShown_ = false;

  // pane 3
  std::vector<QPushButton*> tiles_;
  std::vector<std::string> tileFunds_;
  std::vector<double> tileWeekly_;  // the newest weekly change the tiles show
  int tilesPerRow_ = 0;
  QFrame* totalsFrame_ = nullptr;
  QFrame* rankingFrame_ = nullptr;
  QListWidget* totalsList_ = nullptr;
  QListWidget* rankingList_ = nullptr;
  std::unique_ptr<TickerThread> ticker_;
  QImage tickerFrame_;
};

// The text of a fund tile: the name cut to 8 characters, or, for a name of
// 9 or more characters with a "-", the part after the first "-" cut to 8.
std::string TileText(const std::string& fund);
// The tile colour for the newest weekly change v (percent).
QColor TileColor(double v);

}  // namespace tellurio
