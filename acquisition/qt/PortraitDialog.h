#pragma once
// "Fondportrait": the funds of the portrait index in a selector and four
// tabs for the selected fund: "Stammdaten", "Strategie/Performance" (with
// the performance table), "Wertentwicklung" (the performance chart and the
// competitor chart) and "Größte Positionen im Fond".

#include <QDialog>
#include <QWidget>

#include <filesystem>

#include "acquisition/Portrait.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTreeWidget;

namespace tellurio {

// The table of the seven performance periods: a header row, the fund's row
// in blue and the comparison row in red, with grid lines.
class PerformanceTable : public QWidget {
 public:
  explicit PerformanceTable(QWidget* parent = nullptr);
  void SetBlock(const PortraitBlock& block);
  QSize sizeHint() const override { return {700, 96}; }
  QSize minimumSizeHint() const override { return {560, 84}; }
  // The texts of a cell (row 0 header, 1 fund, 2 comparison; column 0 the
  // row label), for the tests.
  QString Cell(int row, int column) const { return cells_[row][column]; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString cells_[3][8];
};

// A line chart of percentages over the monthly labels: axes, the 0 % line,
// a few value marks and one line per series.
class PortraitChart : public QWidget {
 public:
  struct Series {
    std::vector<double> values;
    QColor color;
  };
  explicit PortraitChart(QWidget* parent = nullptr);
  void SetData(std::vector<std::string> labels, std::vector<Series> series);
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  QSize sizeHint() const override { return {700, 170}; }
  QSize minimumSizeHint() const override { return {420, 130}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::vector<std::string> labels_;
  std::vector<Series> series_;
};

class PortraitDialog : public QDialog {
 public:
  PortraitDialog(QWidget* parent, PortraitIndex index, std::filesystem::path portraitFile);

  // Shows the fund at that position of the index.
  void ShowFund(int index);
  const PortraitBlock& Block() const { return block_; }

 private:
  QWidget* MasterTab();
  QWidget* StrategyTab();
  QWidget* ChartTab();
  QWidget* PositionsTab();
  void Fill();

  PortraitIndex index_;
  std::filesystem::path file_;
  PortraitBlock block_;
  QComboBox* funds_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QLabel* master_[11] = {};
  QLabel* strategy_ = nullptr;
  PerformanceTable* table_ = nullptr;
  PortraitChart* performance_ = nullptr;
  PortraitChart* competitors_ = nullptr;
  QLabel* reference_ = nullptr;
  QLabel* noChart_ = nullptr;
  QWidget* charts_ = nullptr;
  QTreeWidget* positions_ = nullptr;
};

}  // namespace tellurio
