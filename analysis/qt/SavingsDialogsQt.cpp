#include "analysis/qt/SavingsDialogsQt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "calendar/qt/DateEdit.h"
#include "calendar/qt/EntryLook.h"
#include "calendar/qt/NumericEdit.h"
#include "platform/qt/DialogButtons.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// A result display: read-only, light grey, right-aligned, no focus.
QLineEdit* Display(QWidget* parent, const char* name, int width = 110) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::NoFocus);
  e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  e->setFixedWidth(width);
  ApplyGreyBackground(e);
  return e;
}

NumericEdit* NumberField(Prompter& p, QWidget* parent, const QString& name, int width = 110) {
  auto* e = new NumericEdit(p, parent);
  e->setObjectName(name);
  e->setFixedWidth(width);
  e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return e;
}

DateEdit* DateField(Prompter& p, const Clock& clock, QWidget* parent, const QString& name, DateEntryMode mode,
                    int width = 110) {
  auto* e = new DateEdit(p, clock, parent);
  e->SetMode(mode);
  e->setObjectName(name);
  e->setFixedWidth(width);
  e->setPlaceholderText(mode == DateEntryMode::Short ? QStringLiteral("TT.MM.") : QStringLiteral("TT.MM.JJJJ"));
  return e;
}

QLabel* Label(const QString& text, QWidget* parent, const char* name = nullptr) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(QString::fromLatin1(name));
  return l;
}

QPushButton* Button(QDialog* d, DialogButton kind, const char* name) {
  QPushButton* b = MakeDialogButton(kind, d);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

// ---- Renditeberechnung -------------------------------------------------------

class ReturnCalculationDialog : public QDialog {
 public:
  // The result code of a dialog closed by DRUCKEN.
  static constexpr int kPrinted = 2;

  ReturnCalculationDialog(QWidget* parent, Prompter& p, const Clock& clock, ReturnCalculationRules& rules)
      : QDialog(parent), rules_(rules) {
    setWindowTitle(QStringLiteral("Renditeberechnung"));
    setModal(true);
    const QString currency = Q(rules.Currency());

    // Left: the depot and its funds.
    depots_ = new QComboBox(this);
    depots_->setObjectName(QStringLiteral("depots"));
    for (const std::string& d : rules.Depots()) {
      depots_->addItem(Q(d));
      depots_->setItemData(depots_->count() - 1, Q(d), Qt::ToolTipRole);
    }
    depots_->setCurrentIndex(static_cast<int>(rules.DepotIndex()));
    // A depot name may be 200 characters long: the box keeps a usual width
    // (the open list and the tooltip show the whole name) so that the
    // dialog stays on the screen.
    depots_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    depots_->setMinimumContentsLength(24);
    funds_ = new QListWidget(this);
    funds_->setObjectName(QStringLiteral("funds"));
    funds_->setSelectionMode(QAbstractItemView::SingleSelection);
    funds_->setMinimumWidth(260);
    auto* fundBox = new QGroupBox(QStringLiteral("im Depot vorhandene Fonds"), this);
    auto* fundLayout = new QVBoxLayout(fundBox);
    fundLayout->addWidget(funds_);
    auto* left = new QVBoxLayout;
    auto* depotRow = new QHBoxLayout;
    depotRow->addWidget(Label(QStringLiteral("Depot:"), this));
    depotRow->addWidget(depots_, 1);
    left->addLayout(depotRow);
    left->addWidget(fundBox, 1);

    // Right: payment and scope, the inputs.
    oneOff_ = new QRadioButton(QStringLiteral("einmalig"), this);
    oneOff_->setObjectName(QStringLiteral("oneOff"));
    monthly_ = new QRadioButton(QStringLiteral("monatlich"), this);
    monthly_->setObjectName(QStringLiteral("monthly"));
    auto* modeBox = new QGroupBox(QStringLiteral("Einzahlung"), this);
    auto* modeLayout = new QHBoxLayout(modeBox);
    modeLayout->addWidget(oneOff_);
    modeLayout->addWidget(monthly_);
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(oneOff_);
    modeGroup->addButton(monthly_);
    fundScope_ = new QRadioButton(QStringLiteral("Fond"), this);
    fundScope_->setObjectName(QStringLiteral("fundScope"));
    depotScope_ = new QRadioButton(QStringLiteral("Depot"), this);
    depotScope_->setObjectName(QStringLiteral("depotScope"));
    auto* scopeBox = new QGroupBox(QStringLiteral("Berechnung für"), this);
    auto* scopeLayout = new QHBoxLayout(scopeBox);
    scopeLayout->addWidget(fundScope_);
    scopeLayout->addWidget(depotScope_);
    auto* scopeGroup = new QButtonGroup(this);
    scopeGroup->addButton(fundScope_);
    scopeGroup->addButton(depotScope_);
    oneOff_->setChecked(rules.Mode() == SavingsMode::OneOff);
    monthly_->setChecked(rules.Mode() == SavingsMode::Monthly);
    fundScope_->setChecked(rules.Scope() == SavingsScope::Fund);
    depotScope_->setChecked(rules.Scope() == SavingsScope::Depot);
    auto* choices = new QHBoxLayout;
    choices->addWidget(modeBox);
    choices->addWidget(scopeBox);

    purchase_ = DateField(p, clock, this, QStringLiteral("purchaseDate"), DateEntryMode::Full);
    rate_ = NumberField(p, this, QStringLiteral("monthlyRate"));
    debitDay_ = new QComboBox(this);
    debitDay_->setObjectName(QStringLiteral("debitDay"));
    for (const std::string& d : ReturnCalculationRules::DebitDayTexts()) debitDay_->addItem(Q(d));
    debitDay_->setCurrentIndex(0);
    increaseOn_ = new QCheckBox(QStringLiteral("Dynamisierung"), this);
    increaseOn_->setObjectName(QStringLiteral("increaseOn"));
    increase_ = NumberField(p, this, QStringLiteral("increase"), 60);
    start_ = DateField(p, clock, this, QStringLiteral("start"), DateEntryMode::Full);
    end_ = DateField(p, clock, this, QStringLiteral("end"), DateEntryMode::Full);
    distribution_ = DateField(p, clock, this, QStringLiteral("distributionDay"), DateEntryMode::Short, 70);
    amount_ = NumberField(p, this, QStringLiteral("initialAmount"));

    auto* inputBox = new QGroupBox(QStringLiteral("Eingaben"), this);
    auto* grid = new QGridLayout(inputBox);
    int row = 0;
    grid->addWidget(Label(QStringLiteral("Kauf am:"), inputBox), row, 0);
    grid->addWidget(purchase_, row++, 1);
    grid->addWidget(Label(QStringLiteral("monatliche Rate:"), inputBox), row, 0);
    grid->addWidget(rate_, row, 1);
    grid->addWidget(Label(currency, inputBox, "rateCurrency"), row, 2);
    auto* debitRow = new QHBoxLayout;
    debitRow->addWidget(Label(QStringLiteral("am"), inputBox));
    debitRow->addWidget(debitDay_);
    debitRow->addWidget(Label(QStringLiteral("jeden Monats"), inputBox));
    debitRow->addStretch();
    grid->addLayout(debitRow, row++, 3);
    grid->addWidget(increaseOn_, row, 0);
    auto* increaseRow = new QHBoxLayout;
    increaseRow->addWidget(increase_);
    increaseRow->addWidget(Label(QStringLiteral("% pro Jahr"), inputBox));
    increaseRow->addStretch();
    grid->addLayout(increaseRow, row++, 1, 1, 2);
    grid->addWidget(Label(QStringLiteral("vom:"), inputBox), row, 0);
    grid->addWidget(start_, row, 1);
    auto* endRow = new QHBoxLayout;
    endRow->addWidget(Label(QStringLiteral("bis:"), inputBox));
    endRow->addWidget(end_);
    endRow->addStretch();
    grid->addLayout(endRow, row++, 2, 1, 2);
    grid->addWidget(Label(QStringLiteral("Ausschüttung am:"), inputBox), row, 0);
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(distribution_);
    dayRow->addWidget(Label(QStringLiteral("jeden Jahres"), inputBox));
    dayRow->addStretch();
    grid->addLayout(dayRow, row++, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("eingesetzter Betrag:"), inputBox), row, 0);
    grid->addWidget(amount_, row, 1);
    grid->addWidget(Label(currency, inputBox, "amountCurrency"), row++, 2);
    grid->setColumnStretch(3, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(choices);
    right->addWidget(inputBox);

    // Below: the results.
    paidIn_ = Display(this, "paidIn");
    finalValue_ = Display(this, "finalValue");
    profit_ = Display(this, "profit");
    return_ = Display(this, "returnPercent");
    period_ = Display(this, "period", 200);
    period_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* resultBox = new QGroupBox(QStringLiteral("Ergebnis"), this);
    auto* results = new QGridLayout(resultBox);
    auto result = [&](int r, int c, const QString& caption, QLineEdit* field, const QString& unit) {
      results->addWidget(Label(caption, resultBox), r, c);
      auto* line = new QHBoxLayout;
      line->addWidget(field);
      if (!unit.isEmpty()) line->addWidget(Label(unit, resultBox));
      line->addStretch();
      results->addLayout(line, r, c + 1);
    };
    result(0, 0, QStringLiteral("eingezahlter Betrag:"), paidIn_, currency);
    result(1, 0, QStringLiteral("Endbetrag:"), finalValue_, currency);
    result(2, 0, QStringLiteral("Gewinn:"), profit_, currency);
    result(0, 2, QStringLiteral("Rendite:"), return_, QStringLiteral("%"));
    result(1, 2, QStringLiteral("Zeitraum:"), period_, QString());
    results->setColumnMinimumWidth(1, 190);
    results->setColumnStretch(3, 1);

    QPushButton* calculate = Button(this, DialogButton::Calculate, "calculate");
    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    QPushButton* cancel = Button(this, DialogButton::Cancel, "cancel");
    QPushButton* print = Button(this, DialogButton::Print, "print");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {calculate, ok, cancel, print}) buttons->addWidget(b);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(resultBox);
    outer->addSpacing(4);
    outer->addLayout(buttons);

    connect(depots_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (i < 0 || static_cast<size_t>(i) == rules_.DepotIndex()) return;
      rules_.SelectDepot(static_cast<size_t>(i));
      FillFunds();
    });
    connect(funds_, &QListWidget::currentRowChanged, this, [this](int r) {
      rules_.SelectFund(r >= 0 ? std::optional<size_t>(static_cast<size_t>(r)) : std::nullopt);
    });
    connect(oneOff_, &QRadioButton::toggled, this, [this](bool on) {
      if (!on) return;
      rules_.SetMode(SavingsMode::OneOff);
      ApplyEnabled();
    });
    connect(monthly_, &QRadioButton::toggled, this, [this](bool on) {
      if (!on) return;
      rules_.SetMode(SavingsMode::Monthly);
      ApplyEnabled();
    });
    connect(fundScope_, &QRadioButton::clicked, this, [this] { SetScope(SavingsScope::Fund); });
    connect(depotScope_, &QRadioButton::clicked, this, [this] { SetScope(SavingsScope::Depot); });
    connect(calculate, &QPushButton::clicked, this, [this] { OnCalculate(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(print, &QPushButton::clicked, this, [this] {
      if (rules_.Print() == DialogStep::Accept) done(kPrinted);
    });

    FillFunds();
    ApplyEnabled();
    ShowResults();
    QTimer::singleShot(0, purchase_, [this] { purchase_->setFocus(); });
  }

 private:
  void FillFunds() {
    const QSignalBlocker block(funds_);
    funds_->clear();
    for (const std::string& f : rules_.Funds()) funds_->addItem(Q(f));
    ShowFundChoice();
  }

  void ShowFundChoice() {
    const QSignalBlocker block(funds_);
    funds_->clearSelection();
    funds_->setCurrentRow(rules_.FundIndex() ? static_cast<int>(*rules_.FundIndex()) : -1);
    if (!rules_.FundIndex()) funds_->clearSelection();
  }

  void SetScope(SavingsScope scope) {
    rules_.SetScope(scope);
    ShowFundChoice();
    ApplyEnabled();
  }

  void ApplyEnabled() {
    funds_->setEnabled(rules_.Enabled(ReturnField::Funds));
    amount_->setEnabled(rules_.Enabled(ReturnField::InitialAmount));
    rate_->setEnabled(rules_.Enabled(ReturnField::MonthlyRate));
    debitDay_->setEnabled(rules_.Enabled(ReturnField::DebitDay));
    increaseOn_->setEnabled(rules_.Enabled(ReturnField::IncreaseBox));
    increase_->setEnabled(rules_.Enabled(ReturnField::Increase));
  }

  void ShowResults() {
    const std::optional<SavingsCalculation>& c = rules_.Calculation();
    ShowResult(paidIn_, c ? Q(c->totals.paidIn) : QString());
    ShowResult(finalValue_, c ? Q(c->totals.finalValue) : QString());
    ShowResult(profit_, c ? Q(c->totals.profit) : QString());
    ShowResult(return_, c ? Q(c->totals.returnPercent) : QString());
    ShowResult(period_, c ? Q(c->totals.period) : QString());
  }

  // A right-aligned field shows the end of a text too long for it, which
  // would read as a smaller amount ("…4567,00" of "1234567,00").  Such a
  // text is shown from its first digit, cut at the right edge, and whole in
  // the tooltip.
  static void ShowResult(QLineEdit* field, const QString& text) {
    field->setText(text);
    field->setToolTip(text);
    const int room = field->contentsRect().width() - 8;  // less the padding inside the frame
    if (field->fontMetrics().horizontalAdvance(text) > room) field->setCursorPosition(0);
  }

  QWidget* FieldWidget(ReturnField f) {
    switch (f) {
      case ReturnField::Funds:
        return funds_;
      case ReturnField::PurchaseDate:
        return purchase_;
      case ReturnField::MonthlyRate:
        return rate_;
      case ReturnField::DebitDay:
        return debitDay_;
      case ReturnField::IncreaseBox:
        return increaseOn_;
      case ReturnField::Increase:
        return increase_;
      case ReturnField::Start:
        return start_;
      case ReturnField::End:
        return end_;
      case ReturnField::DistributionDay:
        return distribution_;
      case ReturnField::InitialAmount:
        return amount_;
      case ReturnField::None:
        break;
    }
    return nullptr;
  }

  void OnCalculate() {
    // A date left by the click on BERR is checked before it is used.
    if (!SettleDateFields(*this)) return;
    ReturnInputs in;
    in.purchaseDate = S(purchase_->text());
    in.monthlyRate = S(rate_->text());
    in.debitDay = debitDay_->currentIndex() + 1;
    in.increaseOn = increaseOn_->isChecked();
    in.increase = S(increase_->text());
    in.start = S(start_->text());
    in.end = S(end_->text());
    in.distributionDay = S(distribution_->text());
    in.initialAmount = S(amount_->text());
    const ReturnField focus = rules_.Calculate(in);
    ShowResults();
    if (QWidget* w = FieldWidget(focus)) w->setFocus();
  }

  ReturnCalculationRules& rules_;
  QComboBox* depots_;
  QListWidget* funds_;
  QRadioButton* oneOff_;
  QRadioButton* monthly_;
  QRadioButton* fundScope_;
  QRadioButton* depotScope_;
  DateEdit* purchase_;
  NumericEdit* rate_;
  QComboBox* debitDay_;
  QCheckBox* increaseOn_;
  NumericEdit* increase_;
  DateEdit* start_;
  DateEdit* end_;
  DateEdit* distribution_;
  NumericEdit* amount_;
  QLineEdit* paidIn_;
  QLineEdit* finalValue_;
  QLineEdit* profit_;
  QLineEdit* return_;
  QLineEdit* period_;
};

// ---- Werteeingabe für die Fonds ---------------------------------------------

class FundAmountsDialog : public QDialog {
 public:
  FundAmountsDialog(QWidget* parent, Prompter& p, const Clock& clock, FundAmountsRules& rules)
      : QDialog(parent), rules_(rules) {
    setWindowTitle(QStringLiteral("Werteeingabe für die Fonds"));
    setModal(true);
    const bool monthly = rules.ShowsMonthlyRate();
    auto* text = new QLabel(QString::fromUtf8(kFundAmountsText), this);

    // The columns are at least as wide as the program always made them, and
    // as wide as their headings; the names as wide as the longest one.
    const QFontMetrics fm(font());
    auto columnWidth = [&](const QString& heading, int least) {
      return std::max(least, fm.horizontalAdvance(heading) + 12);
    };
    const QString rateHeading = QStringLiteral("Monatliche Rate");
    const QString amountHeading = QStringLiteral("Einmalbetrag");
    const QString dayHeading = QStringLiteral("Ausschüttungsdatum");
    int nameWidth = 0;
    for (const std::string& f : rules.Funds()) nameWidth = std::max(nameWidth, fm.horizontalAdvance(Q(f)));

    auto* rows = new QWidget;
    auto* grid = new QGridLayout(rows);
    grid->setHorizontalSpacing(8);
    int column = 1;
    auto heading = [&](const QString& caption, const char* name) {
      QLabel* l = Label(caption, rows, name);
      QFont bold = l->font();
      bold.setBold(true);
      l->setFont(bold);
      grid->addWidget(l, 0, column++);
    };
    if (monthly) heading(rateHeading, "rateHeading");
    heading(amountHeading, "amountHeading");
    heading(dayHeading, "dayHeading");
    const std::vector<FundAmounts>& prefill = rules.Prefill();
    for (size_t i = 0; i < rules.Funds().size(); ++i) {
      const int r = static_cast<int>(i) + 1;
      QLabel* name = Label(Q(rules.Funds()[i]), rows);
      name->setObjectName(QStringLiteral("name%1").arg(i));
      name->setFixedWidth(nameWidth + 4);
      grid->addWidget(name, r, 0);
      Row row;
      int c = 1;
      if (monthly) {
        row.rate = NumberField(p, rows, QStringLiteral("rate%1").arg(i), columnWidth(rateHeading, 55));
        row.rate->setText(Q(prefill[i].monthlyRate));
        grid->addWidget(row.rate, r, c++);
      }
      row.amount = NumberField(p, rows, QStringLiteral("amount%1").arg(i), columnWidth(amountHeading, 70));
      row.amount->setText(Q(prefill[i].initialAmount));
      grid->addWidget(row.amount, r, c++);
      row.day =
          DateField(p, clock, rows, QStringLiteral("day%1").arg(i), DateEntryMode::Short, columnWidth(dayHeading, 48));
      row.day->setText(Q(prefill[i].distributionDay));
      grid->addWidget(row.day, r, c++);
      rows_.push_back(row);
    }
    grid->setRowStretch(static_cast<int>(rules.Funds().size()) + 1, 1);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("rows"));
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QSize wanted = rows->sizeHint();
    scroll->setMinimumWidth(wanted.width() + 24);
    scroll->setMinimumHeight(std::min(wanted.height(), 420));

    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    QPushButton* cancel = Button(this, DialogButton::Cancel, "cancel");
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(text);
    outer->addSpacing(6);
    outer->addWidget(scroll, 1);
    outer->addLayout(buttons);
    if (!rows_.empty()) {
      QWidget* first = rows_[0].rate ? static_cast<QWidget*>(rows_[0].rate) : rows_[0].amount;
      QTimer::singleShot(0, first, [first] { first->setFocus(); });
    }
  }

 private:
  struct Row {
    NumericEdit* rate = nullptr;
    NumericEdit* amount = nullptr;
    DateEdit* day = nullptr;
  };

  void OnOk() {
    if (!SettleDateFields(*this)) return;
    std::vector<FundAmounts> fields;
    for (const Row& r : rows_)
      fields.push_back(FundAmounts{r.rate ? S(r.rate->text()) : std::string(), S(r.amount->text()), S(r.day->text())});
    const FundAmountsRules::Outcome o = rules_.Ok(fields);
    if (o.step == DialogStep::Accept) {
      accept();
      return;
    }
    if (o.row >= rows_.size()) return;
    const Row& r = rows_[o.row];
    QLineEdit* field = o.column == FundAmountsRules::Column::DistributionDay         ? static_cast<QLineEdit*>(r.day)
                       : o.column == FundAmountsRules::Column::MonthlyRate && r.rate ? r.rate
                                                                                     : r.amount;
    if (o.clear) field->clear();
    field->setFocus();
  }

  FundAmountsRules& rules_;
  std::vector<Row> rows_;
};

// ---- Report window -----------------------------------------------------------

class SavingsReportWindow : public QDialog {
 public:
  SavingsReportWindow(QWidget* parent, const SavingsReport& report) : QDialog(parent) {
    setWindowTitle(Q(report.title));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("report"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QStringList lines;
    for (const ReportLine& l : report.lines) {
      // A blank line before each heading.
      if (l.kind == ReportLineKind::Heading && !lines.isEmpty()) lines << QString();
      lines << Q(l.text);
    }
    text->setPlainText(lines.join(QLatin1Char('\n')));
    const QFontMetrics fm(text->font());
    int widest = 0;
    for (const QString& l : lines) widest = std::max(widest, fm.horizontalAdvance(l));
    text->setMinimumSize(std::min(widest + 40, 1300), fm.lineSpacing() * (static_cast<int>(lines.size()) + 3));

    QPushButton* close = MakeDialogButton(DialogButton::Ok, this);
    close->setObjectName(QStringLiteral("ok"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(text, 1);
    outer->addLayout(buttons);
  }
};

}  // namespace

bool SavingsDialogsQt::ReturnCalculation(ReturnCalculationRules& rules) {
  ReturnCalculationDialog dialog(parent_, prompter_, clock_, rules);
  // "Werteeingabe für die Fonds" opens over this dialog while it runs.
  QWidget* const outer = parent_;
  parent_ = &dialog;
  const int result = dialog.exec();
  parent_ = outer;
  return result == ReturnCalculationDialog::kPrinted;
}

bool SavingsDialogsQt::FundAmounts(FundAmountsRules& rules) {
  FundAmountsDialog dialog(parent_, prompter_, clock_, rules);
  return dialog.exec() == QDialog::Accepted;
}

QWidget* ShowSavingsReport(const SavingsReport& report, QWidget* parent) {
  auto* window = new SavingsReportWindow(parent, report);
  window->show();
  return window;
}

}  // namespace tellurio
