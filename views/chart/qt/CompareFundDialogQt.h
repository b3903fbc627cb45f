#pragma once
// Dialog "Fond für den Vergleichschart wählen" with Qt: the depot's funds
// in a list, the chosen fund in a one-line list below it, OK and Abbrechen.
// The rules (chart::CompareFundRules) decide what a double click and OK do.

#include <QDialog>
#include <QPointer>

#include "views/chart/DerivedChartCommands.h"

class QListWidget;

namespace tellurio::chart {

class CompareFundDialogQt : public QDialog {
 public:
  CompareFundDialogQt(QWidget* parent, CompareFundRules& rules);

  QListWidget* FundList() const { return funds_; }
  QListWidget* ChoiceLine() const { return choice_; }

 private:
  void OnOk();

  CompareFundRules& rules_;
  QListWidget* funds_;
  QListWidget* choice_;
};

// The dialog as the chart commands run it (modal, over the parent).
class CompareFundDialogRunner : public CompareFundDialog {
 public:
  explicit CompareFundDialogRunner(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> ChooseFund(CompareFundRules& rules) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tellurio::chart
