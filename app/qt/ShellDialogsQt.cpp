#include "app/qt/ShellDialogsQt.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/core/ShellDialogRules.h"
#include "calendar/qt/NumericEdit.h"
#include "platform/qt/DialogButtons.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

void Fill(QListWidget* list, const std::vector<std::string>& items) {
  for (const std::string& s : items) list->addItem(Q(s));
}

// A dialog with a body and an OK / Abbrechen row; OK goes to onOk.
class ShellDialog : public QDialog {
 public:
  ShellDialog(QWidget* parent, const QString& title) : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    body_ = new QVBoxLayout;
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body_);
    const OkCancelRow row = MakeOkCancelRow(this);
    ok_ = row.ok;
    outer->addLayout(row.layout);
    connect(ok_, &QPushButton::clicked, this, [this] { OnOk(); });
  }

 protected:
  virtual void OnOk() { accept(); }
  void Step(DialogStep s) {
    if (s == DialogStep::Accept) accept();
    if (s == DialogStep::Cancel) reject();
  }
  QVBoxLayout* body_;
  QPushButton* ok_;
};

QLabel* Text(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setWordWrap(false);
  return l;
}

class DepotChoiceDialog : public ShellDialog {
 public:
  DepotChoiceDialog(QWidget* parent, Prompter& p, const std::vector<std::string>& depots)
      : ShellDialog(parent, QStringLiteral("Depotauswahl")), rules_(p) {
    body_->addWidget(
        Text(QStringLiteral("Wählen Sie ein Depot aus der Liste aus und betätigen\ndann die OK-Taste"), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("depots"));
    Fill(list_, depots);
    body_->addWidget(list_);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
      choice_ = S(item->text());
      accept();
    });
    // The list takes the keys at once: arrow keys choose, Enter confirms.
    QTimer::singleShot(0, list_, [this] { list_->setFocus(); });
    resize(360, 300);
  }
  std::string choice_;

 protected:
  void OnOk() override {
    QListWidgetItem* item = list_->currentItem();
    const std::string selected = item && item->isSelected() ? S(item->text()) : std::string();
    const DialogStep s = rules_.Ok(selected);
    if (s == DialogStep::Accept) choice_ = selected;
    Step(s);
  }

 private:
  DepotChoiceRules rules_;
  QListWidget* list_;
};

// "Fondanbieter zuordnen" and "Depot löschen": a double click copies an entry
// into the one-line display below the list.
class DoubleClickChoiceDialog : public ShellDialog {
 public:
  DoubleClickChoiceDialog(QWidget* parent, Prompter& p, ChoiceByDoubleClickRules::Kind kind,
                          const std::vector<std::string>& items)
      : ShellDialog(parent, kind == ChoiceByDoubleClickRules::Kind::WebProvider
                                ? QStringLiteral("Fondanbieter zuordnen")
                                : QStringLiteral("Depot löschen")),
        rules_(p, kind) {
    body_->addWidget(Text(
        kind == ChoiceByDoubleClickRules::Kind::WebProvider
            ? QStringLiteral("Wählen Sie den gwünschten Fondanbieter\nmit einem Doppelklick der linken Maustaste aus")
            : QStringLiteral("Wählen Sie das zu löschende Depot mit\neinem Doppelklick der linken Maustaste aus"),
        this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("entries"));
    Fill(list_, items);
    body_->addWidget(list_);
    shown_ = new QListWidget(this);
    shown_->setObjectName(QStringLiteral("choice"));
    shown_->setFixedHeight(shown_->fontMetrics().height() + 10);
    shown_->setSelectionMode(QAbstractItemView::NoSelection);
    body_->addWidget(shown_);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
      rules_.DoubleClicked(S(item->text()));
      shown_->clear();
      shown_->addItem(item->text());
    });
    resize(420, 420);
  }
  std::string Choice() const { return rules_.Choice(); }

 protected:
  void OnOk() override { Step(rules_.Ok()); }

 private:
  ChoiceByDoubleClickRules rules_;
  QListWidget* list_;
  QListWidget* shown_;
};

class NewDepotDialog : public ShellDialog {
 public:
  NewDepotDialog(QWidget* parent, Prompter& p, const std::vector<std::string>& depots,
                 const std::vector<std::string>& providers,
                 std::function<std::optional<NameRefusal>(const NewDepotChoice&)> check)
      : ShellDialog(parent, QStringLiteral("neues Depot anlegen")), rules_(p, providers, std::move(check)) {
    auto* name = new QGroupBox(QStringLiteral("Geben Sie den Namen des neuen Depots ein"), this);
    auto* nameLayout = new QVBoxLayout(name);
    depot_ = new QLineEdit(name);
    depot_->setObjectName(QStringLiteral("depotName"));
    nameLayout->addWidget(depot_);
    body_->addWidget(name);

    auto* prov = new QGroupBox(QStringLiteral("Fondanbieter"), this);
    auto* provLayout = new QVBoxLayout(prov);
    useExisting_ = new QCheckBox(QStringLiteral("vorhandenen Anbieters benutzen"), prov);
    useExisting_->setObjectName(QStringLiteral("useExisting"));
    provLayout->addWidget(useExisting_);
    providerLabel_ = new QLabel(QStringLiteral("Name des neuen Anbieters"), prov);
    provLayout->addWidget(providerLabel_);
    provider_ = new QLineEdit(prov);
    provider_->setObjectName(QStringLiteral("providerName"));
    provLayout->addWidget(provider_);
    providers_ = new QListWidget(prov);
    providers_->setObjectName(QStringLiteral("providers"));
    Fill(providers_, providers);
    provLayout->addWidget(providers_);
    body_->addWidget(prov);

    auto* existing = new QGroupBox(QStringLiteral("vorhandene Depots"), this);
    auto* existingLayout = new QVBoxLayout(existing);
    auto* depotList = new QListWidget(existing);
    depotList->setObjectName(QStringLiteral("existingDepots"));
    depotList->setSelectionMode(QAbstractItemView::NoSelection);
    depotList->setFocusPolicy(Qt::NoFocus);
    Fill(depotList, depots);
    depotList->setMaximumHeight(90);
    existingLayout->addWidget(depotList);
    body_->addWidget(existing);

    Apply(rules_.Opening());
    connect(useExisting_, &QCheckBox::clicked, this, [this](bool checked) { Apply(rules_.CheckBoxChanged(checked)); });
    QTimer::singleShot(0, depot_, [this] { depot_->setFocus(); });
    resize(420, 480);
  }
  NewDepotChoice choice_;

 protected:
  void OnOk() override {
    QListWidgetItem* item = providers_->currentItem();
    const std::string selected = item && item->isSelected() ? S(item->text()) : std::string();
    NewDepotRules::Outcome o = rules_.Ok(S(depot_->text()), S(provider_->text()), selected);
    if (o.focus == NewDepotRules::Focus::DepotName) depot_->setFocus();
    if (o.focus == NewDepotRules::Focus::ProviderName) provider_->setFocus();
    if (o.step == DialogStep::Accept) choice_ = o.choice;
    Step(o.step);
  }

 private:
  void Apply(const NewDepotRules::Layout& l) {
    useExisting_->setChecked(l.useExisting);
    provider_->setVisible(l.showProviderEdit);
    providerLabel_->setVisible(l.showProviderEdit);
    providers_->setVisible(l.showProviderList);
  }
  NewDepotRules rules_;
  QLineEdit* depot_;
  QCheckBox* useExisting_;
  QLabel* providerLabel_;
  QLineEdit* provider_;
  QListWidget* providers_;
};

class CurrencyDialog : public ShellDialog {
 public:
  CurrencyDialog(QWidget* parent, const std::string& current)
      : ShellDialog(parent, QStringLiteral("Währung festlegen")) {
    auto* box = new QGroupBox(QStringLiteral("Währung"), this);
    auto* l = new QVBoxLayout(box);
    dm_ = new QRadioButton(QStringLiteral("DM"), box);
    dm_->setObjectName(QStringLiteral("dm"));
    euro_ = new QRadioButton(QStringLiteral("Euro"), box);
    euro_->setObjectName(QStringLiteral("euro"));
    l->addWidget(dm_);
    l->addWidget(euro_);
    (current == "DM" ? dm_ : euro_)->setChecked(true);
    body_->addWidget(box);
    resize(260, 160);
  }
  std::string Choice() const { return dm_->isChecked() ? "DM" : "Euro"; }

 private:
  QRadioButton* dm_;
  QRadioButton* euro_;
};

class MoneyMarketDialog : public ShellDialog {
 public:
  MoneyMarketDialog(QWidget* parent, Prompter& p, const std::string& current)
      : ShellDialog(parent, QStringLiteral("Eingabe des Geldmarkzinses")) {
    body_->addWidget(Text(QStringLiteral("Geben Sie in dieses Eingabefeld den aktuellen Geldmarktzins ein"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Zins"), this));
    rate_ = new NumericEdit(p, this);
    rate_->setObjectName(QStringLiteral("rate"));
    rate_->setText(Q(current));
    row->addWidget(rate_);
    row->addWidget(new QLabel(QStringLiteral("%"), this));
    row->addStretch();
    body_->addLayout(row);
    QTimer::singleShot(0, rate_, [this] {
      rate_->setFocus();
      rate_->selectAll();
    });
  }
  std::string Rate() const { return S(rate_->text()); }

 private:
  NumericEdit* rate_;
};

class ConversionFactorDialog : public ShellDialog {
 public:
  ConversionFactorDialog(QWidget* parent, Prompter& p, const std::string& currency, const std::string& display)
      : ShellDialog(parent, QStringLiteral("Währungsumrechnung")), rules_(p) {
    body_->addWidget(
        Text(QStringLiteral("Geben Sie den Umrechnungsfaktor der Fondwährung\nin die aktuelle Währung ein"), this));
    auto* which = Text(Q(currency + " in " + display), this);
    which->setObjectName(QStringLiteral("currencies"));
    QFont f = which->font();
    f.setBold(true);
    which->setFont(f);
    body_->addWidget(which);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Umrechnungsfaktor"), this));
    factor_ = new NumericEdit(p, this);
    factor_->setObjectName(QStringLiteral("factor"));
    row->addWidget(factor_);
    row->addStretch();
    body_->addLayout(row);
    QTimer::singleShot(0, factor_, [this] { factor_->setFocus(); });
  }
  std::string Factor() const { return S(factor_->text()); }

 protected:
  void OnOk() override {
    const DialogStep s = rules_.Ok(Factor());
    if (s == DialogStep::Stay) factor_->setFocus();
    Step(s);
  }

 private:
  ConversionFactorRules rules_;
  NumericEdit* factor_;
};

}  // namespace

std::optional<std::string> ShellDialogsQt::ChooseDepot(const std::vector<std::string>& depots) {
  DepotChoiceDialog d(parent_, prompter_, depots);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.choice_;
}

std::optional<NewDepotChoice> ShellDialogsQt::NewDepot(
    const std::vector<std::string>& depots, const std::vector<std::string>& providers,
    const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>& check) {
  NewDepotDialog d(parent_, prompter_, depots, providers, check);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.choice_;
}

std::optional<std::string> ShellDialogsQt::AssignWebProvider(const std::vector<std::string>& webProviders) {
  DoubleClickChoiceDialog d(parent_, prompter_, ChoiceByDoubleClickRules::Kind::WebProvider, webProviders);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Choice();
}

std::optional<std::string> ShellDialogsQt::ChooseDepotToDelete(const std::vector<std::string>& depots) {
  DoubleClickChoiceDialog d(parent_, prompter_, ChoiceByDoubleClickRules::Kind::DeleteDepot, depots);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Choice();
}

std::optional<std::string> ShellDialogsQt::ChooseCurrency(const std::string& current) {
  CurrencyDialog d(parent_, current);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Choice();
}

std::optional<std::string> ShellDialogsQt::EnterMoneyMarketRate(const std::string& current) {
  MoneyMarketDialog d(parent_, prompter_, current);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Rate();
}

std::optional<std::string> ShellDialogsQt::EnterConversionFactor(const std::string& currency,
                                                                 const std::string& display) {
  ConversionFactorDialog d(parent_, prompter_, currency, display);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Factor();
}

}  // namespace tellurio
