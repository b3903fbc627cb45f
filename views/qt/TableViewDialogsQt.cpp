#include "views/qt/TableViewDialogsQt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "calendar/qt/DateEdit.h"
#include "platform/qt/DialogButtons.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A modal dialog with a body and the OK / Abbrechen row.
class FrameDialog : public QDialog {
 public:
  FrameDialog(QWidget* parent, const QString& title) : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    body_ = new QVBoxLayout;
    body_->setSpacing(8);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body_);
    const OkCancelRow row = MakeOkCancelRow(this);
    ok_ = row.ok;
    outer->addSpacing(6);
    outer->addLayout(row.layout);
  }
  QVBoxLayout* body_;
  QPushButton* ok_;
};

QRadioButton* Radio(const QString& text, const char* name, QWidget* parent) {
  auto* r = new QRadioButton(text, parent);
  r->setObjectName(QString::fromLatin1(name));
  return r;
}

QCheckBox* Check(const QString& text, const char* name, QWidget* parent) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(QString::fromLatin1(name));
  return c;
}

// "Auswahl der Tabellenansicht".
class TableSelectionDialog : public FrameDialog {
 public:
  TableSelectionDialog(QWidget* parent, TableSelectionRules& rules)
      : FrameDialog(parent, QStringLiteral("Auswahl der Tabellenansicht")), rules_(rules) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(6);
    grid->addWidget(
        new QLabel(QStringLiteral("Wollen Sie die Fonds Ihrer Depots oder alle verfügbaren Fonds darstellen?"), this),
        0, 0, 1, 2);
    allFunds_ = Radio(QStringLiteral("Alle Fonds"), "allFunds", this);
    depotFunds_ = Radio(QStringLiteral("nur die Fonds der Depots"), "depotFunds", this);
    auto* scope = new QButtonGroup(this);
    scope->addButton(allFunds_);
    scope->addButton(depotFunds_);
    auto* scopeRow = new QHBoxLayout;
    scopeRow->addWidget(allFunds_);
    scopeRow->addWidget(depotFunds_);
    scopeRow->addStretch();
    grid->addLayout(scopeRow, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Sollen die Depots seperat dargestellt werden?"), this), 2, 0);
    separate_ = Check(QStringLiteral("ja"), "separateDepots", this);
    grid->addWidget(separate_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sollen die Fonds nach Fondgesellschaften geordnet werden?"), this), 3,
                    0);
    byCompany_ = Check(QStringLiteral("ja"), "byCompany", this);
    grid->addWidget(byCompany_, 3, 1);
    body_->addLayout(grid);

    body_->addWidget(
        new QLabel(QStringLiteral("Markieren Sie die Depots, die Sie von der Anzeige ausschließen wollen"), this));
    depots_ = new QListWidget(this);
    depots_->setObjectName(QStringLiteral("depots"));
    depots_->setSelectionMode(QAbstractItemView::MultiSelection);
    depots_->setMinimumHeight(90);
    body_->addWidget(depots_);

    auto* sortBox = new QGroupBox(QStringLiteral("Geben Sie die Sortierkriterien an"), this);
    auto* sortLayout = new QVBoxLayout(sortBox);
    sorts_[1] = Radio(QStringLiteral("Größter Gewinn bei geringsten Risiko"), "sortGainLowRisk", sortBox);
    sorts_[2] = Radio(QStringLiteral("Größter Gewinn bei größtem Risiko"), "sortGainHighRisk", sortBox);
    sorts_[3] = Radio(QStringLiteral("Rendite unabhängig vom Risiko"), "sortReturn", sortBox);
    sorts_[0] = Radio(QStringLiteral("alphabetisch"), "sortAlphabetical", sortBox);
    auto* sortGroup = new QButtonGroup(this);
    for (int k : {1, 2, 3, 0}) {
      sortGroup->addButton(sorts_[k]);
      sortLayout->addWidget(sorts_[k]);
    }
    body_->addWidget(sortBox);

    connect(allFunds_, &QRadioButton::clicked, this, [this] {
      rules_.ChooseAllFunds();
      Show();
    });
    connect(depotFunds_, &QRadioButton::clicked, this, [this] {
      rules_.ChooseDepotFunds();
      Show();
    });
    connect(separate_, &QCheckBox::clicked, this, [this](bool on) {
      rules_.SetSeparateDepots(on);
      Show();
    });
    connect(byCompany_, &QCheckBox::clicked, this, [this](bool on) {
      rules_.SetByCompany(on);
      Show();
    });
    for (int k = 0; k < 4; ++k)
      connect(sorts_[k], &QRadioButton::clicked, this, [this, k] {
        rules_.ChooseSort(static_cast<SortKind>(k));
        Show();
      });
    connect(ok_, &QPushButton::clicked, this, [this] {
      std::vector<std::string> marked;
      for (QListWidgetItem* item : depots_->selectedItems()) marked.push_back(item->text().toStdString());
      result_ = rules_.Ok(marked);
      accept();
    });
    Show();
  }

  std::optional<TableSelection> result_;

 private:
  void Show() {
    const TableSelectionState& s = rules_.State();
    allFunds_->setChecked(s.allFunds);
    depotFunds_->setChecked(!s.allFunds);
    separate_->setChecked(s.separateDepots);
    separate_->setEnabled(s.separateEnabled);
    byCompany_->setChecked(s.byCompany);
    byCompany_->setEnabled(s.byCompanyEnabled);
    QStringList names;
    for (const std::string& d : s.depotList) names << Q(d);
    QStringList shown;
    for (int i = 0; i < depots_->count(); ++i) shown << depots_->item(i)->text();
    if (shown != names) {
      depots_->clear();
      depots_->addItems(names);
    }
    depots_->setEnabled(s.depotListEnabled);
    sorts_[static_cast<int>(s.sort)]->setChecked(true);
    sorts_[3]->setEnabled(s.returnSortEnabled);
  }

  TableSelectionRules& rules_;
  QRadioButton* allFunds_;
  QRadioButton* depotFunds_;
  QCheckBox* separate_;
  QCheckBox* byCompany_;
  QListWidget* depots_;
  QRadioButton* sorts_[4];
};

// "Druckausgabe".
class PrintChoiceDialog : public FrameDialog {
 public:
  PrintChoiceDialog(QWidget* parent, PrintChoiceRules& rules, Prompter& prompter, const Clock& clock)
      : FrameDialog(parent, QStringLiteral("Druckausgabe")), rules_(rules) {
    auto* groups = new QHBoxLayout;
    auto* graphics = new QGroupBox(QStringLiteral("Grafikausgaben"), this);
    auto* gl = new QVBoxLayout(graphics);
    longTerm_ = Check(QStringLiteral("Langfristchart"), "longTermChart", graphics);
    yearly_ = Check(QStringLiteral("Jahreschart"), "yearlyChart", graphics);
    monthly_ = Check(QStringLiteral("Monatschart"), "monthlyChart", graphics);
    for (QCheckBox* c : {longTerm_, yearly_, monthly_}) gl->addWidget(c);
    auto* texts = new QGroupBox(QStringLiteral("Textausgaben"), this);
    auto* tl = new QVBoxLayout(texts);
    transactions_ = Check(QStringLiteral("Umsätze"), "transactions", texts);
    fundData_ = Check(QStringLiteral("Fonddaten"), "fundData", texts);
    prices_ = Check(QStringLiteral("Kurse"), "prices", texts);
    for (QCheckBox* c : {transactions_, fundData_, prices_}) tl->addWidget(c);
    groups->addWidget(graphics);
    groups->addWidget(texts);
    body_->addLayout(groups);
    auto* selected = new QGroupBox(QStringLiteral("Selektierte Grafikausgabe"), this);
    auto* sl = new QHBoxLayout(selected);
    period_ = Check(QStringLiteral("Tageschart vom"), "period", selected);
    start_ = new DateEdit(prompter, clock, selected);
    start_->setObjectName(QStringLiteral("start"));
    end_ = new DateEdit(prompter, clock, selected);
    end_->setObjectName(QStringLiteral("end"));
    sl->addWidget(period_);
    sl->addWidget(start_);
    sl->addWidget(new QLabel(QStringLiteral("bis zum"), selected));
    sl->addWidget(end_);
    body_->addWidget(selected);
    connect(ok_, &QPushButton::clicked, this, [this] { OnOk(); });
  }

  std::optional<PrintChoice> result_;

 private:
  void OnOk() {
    // A date left by the click on OK is checked before it is used.
    if (!SettleDateFields(*this)) return;
    PrintChoice c;
    c.longTermChart = longTerm_->isChecked();
    c.yearlyChart = yearly_->isChecked();
    c.monthlyChart = monthly_->isChecked();
    c.transactions = transactions_->isChecked();
    c.fundData = fundData_->isChecked();
    c.prices = prices_->isChecked();
    c.period = period_->isChecked();
    c.start = start_->text().trimmed().toStdString();
    c.end = end_->text().trimmed().toStdString();
    const DialogStep step = rules_.Ok(c);
    period_->setChecked(c.period);
    if (step == DialogStep::Accept) {
      result_ = c;
      accept();
    }
  }

  PrintChoiceRules& rules_;
  QCheckBox *longTerm_, *yearly_, *monthly_, *transactions_, *fundData_, *prices_, *period_;
  DateEdit *start_, *end_;
};

// "Exportieren (CSV)": which list of the fund.
class ExportChoiceDialog : public FrameDialog {
 public:
  ExportChoiceDialog(QWidget* parent, const std::string& fund)
      : FrameDialog(parent, QStringLiteral("Exportieren (CSV)")) {
    body_->addWidget(
        new QLabel(QStringLiteral("Welche Daten des Fonds %1 wollen Sie exportieren?").arg(Q(fund)), this));
    auto* box = new QGroupBox(QStringLiteral("Daten für die Tabellenkalkulation"), this);
    auto* l = new QVBoxLayout(box);
    items_[0] = Radio(QStringLiteral("Umsätze"), "exportTransactions", box);
    items_[1] = Radio(QStringLiteral("Kurse"), "exportPrices", box);
    items_[2] = Radio(QStringLiteral("Fonddaten"), "exportFundData", box);
    for (QRadioButton* r : items_) l->addWidget(r);
    items_[1]->setChecked(true);
    body_->addWidget(box);
    connect(ok_, &QPushButton::clicked, this, [this] {
      for (int i = 0; i < 3; ++i)
        if (items_[i]->isChecked()) result_ = static_cast<ExportItem>(i);
      accept();
    });
  }
  std::optional<ExportItem> result_;

 private:
  QRadioButton* items_[3];
};

}  // namespace

TableViewDialogsQt::TableViewDialogsQt(Prompter& prompter, const Clock& clock, QWidget* parent)
    : prompter_(prompter), clock_(clock), parent_(parent) {}

std::optional<TableSelection> TableViewDialogsQt::ChooseTable(TableSelectionRules& rules) {
  TableSelectionDialog d(parent_, rules);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.result_;
}

std::optional<PrintChoice> TableViewDialogsQt::ChoosePrintItems(PrintChoiceRules& rules) {
  PrintChoiceDialog d(parent_, rules, prompter_, clock_);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.result_;
}

std::optional<ExportItem> TableViewDialogsQt::ChooseExportItem(const std::string& fund) {
  ExportChoiceDialog d(parent_, fund);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.result_;
}

std::optional<std::filesystem::path> TableViewDialogsQt::AskCsvPath(const std::filesystem::path& dir,
                                                                    const std::string& suggestedName) {
  QFileDialog d(parent_, QStringLiteral("Exportieren (CSV)"));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  d.setDefaultSuffix(QStringLiteral("csv"));
  d.setNameFilters({QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("Alle Dateien (*)")});
  d.setDirectory(QString::fromStdString(dir.string()));
  d.selectFile(Q(suggestedName));
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(d.selectedFiles().front().toStdString());
}

}  // namespace tellurio
