#include "views/chart/qt/CompareFundDialogQt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/DialogButtons.h"

namespace tellurio::chart {

CompareFundDialogQt::CompareFundDialogQt(QWidget* parent, CompareFundRules& rules) : QDialog(parent), rules_(rules) {
  setObjectName(QStringLiteral("compareFundDialog"));
  setWindowTitle(QStringLiteral("Fond für den Vergleichschart wählen"));
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(
      new QLabel(QStringLiteral("Wählen Sie einen Fond mit einem\nDoppelklick der linken Maustaste aus"), this));
  funds_ = new QListWidget(this);
  funds_->setObjectName(QStringLiteral("funds"));
  for (const std::string& f : rules_.Funds()) funds_->addItem(QString::fromStdString(f));
  outer->addWidget(funds_);
  choice_ = new QListWidget(this);
  choice_->setObjectName(QStringLiteral("choice"));
  choice_->setFixedHeight(choice_->fontMetrics().height() + 10);
  choice_->setSelectionMode(QAbstractItemView::NoSelection);
  choice_->setFocusPolicy(Qt::NoFocus);
  outer->addWidget(choice_);
  connect(funds_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    rules_.DoubleClicked(funds_->row(item));
    choice_->clear();
    if (!rules_.Choice().empty()) choice_->addItem(QString::fromStdString(rules_.Choice()));
  });

  const OkCancelRow row = MakeOkCancelRow(this);
  outer->addLayout(row.layout);
  connect(row.ok, &QPushButton::clicked, this, [this] { OnOk(); });
  resize(380, 320);
}

void CompareFundDialogQt::OnOk() {
  switch (rules_.Ok()) {
    case DialogStep::Accept:
      accept();
      break;
    case DialogStep::Cancel:
      reject();
      break;
    case DialogStep::Stay:
      break;
  }
}

std::optional<std::string> CompareFundDialogRunner::ChooseFund(CompareFundRules& rules) {
  CompareFundDialogQt dialog(parent_, rules);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return rules.Choice();
}

}  // namespace tellurio::chart
