#pragma once
// The Qt dialogs of the fund commands: "neuen Fond in das Depot übernehmen",
// "Fond aus dem Depot löschen", "Fonddaten editieren", the fund data window
// "Fonddaten" with its price chart, and "Werteeingabe".

#include <QWidget>

#include "platform/Prompter.h"
#include "portfolio/FundDialogs.h"

namespace tellurio {

class FundDialogsQt : public FundDialogs {
 public:
  FundDialogsQt(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<FundEntry> NewFund(NewFundRules& rules) override;
  std::optional<std::string> ChooseFundToDelete(const std::vector<std::string>& funds, DeleteFundRules& rules) override;
  std::optional<std::pair<size_t, FundEntry>> EditFund(EditFundRules& rules) override;
  bool ShowFundData(const FundDataView& data) override;
  void EnterPrices(PriceEntrySession& session) override;

 private:
  Prompter& prompter_;
  QWidget* parent_;
};

// The price chart of the fund data window (white area, two axes, the price
// line); exposed for the window and its tests.
class FundPriceChart : public QWidget {
 public:
  explicit FundPriceChart(std::vector<std::string> priceRows, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {290, 125}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<std::string> rows_;
};

}  // namespace tellurio
