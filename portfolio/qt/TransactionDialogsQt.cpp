#include "portfolio/qt/TransactionDialogsQt.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

#include "calendar/qt/DateEdit.h"
#include "calendar/qt/EntryLook.h"
#include "calendar/qt/NumericEdit.h"
#include "platform/qt/DialogButtons.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// Runs fn from the event loop after the watched widget got the focus, so
// that the date field's own check of the text it lost the focus with comes
// first.
class FocusGained : public QObject {
 public:
  FocusGained(QWidget* watched, std::function<void()> fn) : QObject(watched), fn_(std::move(fn)) {
    watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusIn)
      QMetaObject::invokeMethod(
          this, [this] { fn_(); }, Qt::QueuedConnection);
    return false;
  }

 private:
  std::function<void()> fn_;
};

// A read-only display on the light grey background, right-aligned like the
// numbers it shows; it takes no focus.
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

// An amount or share field: numeric input, right-aligned, 110 pixels.
NumericEdit* NumberField(Prompter& p, QWidget* parent, const char* name) {
  auto* e = new NumericEdit(p, parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setFixedWidth(110);
  e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return e;
}

DateEdit* DateField(Prompter& p, const Clock& clock, QWidget* parent) {
  auto* e = new DateEdit(p, clock, parent);
  e->setObjectName(QStringLiteral("date"));
  e->setFixedWidth(110);
  return e;
}

QLabel* Unit(QWidget* parent, const char* name) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setMinimumWidth(70);
  return l;
}

QComboBox* FundList(QWidget* parent, const std::vector<std::string>& funds, size_t selected) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QStringLiteral("funds"));
  for (const std::string& f : funds) c->addItem(Q(f));
  c->setMinimumWidth(320);
  if (selected < funds.size()) c->setCurrentIndex(static_cast<int>(selected));
  return c;
}

QPushButton* Button(QDialog* d, DialogButton kind, const char* name) {
  QPushButton* b = MakeDialogButton(kind, d);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

// The buttons in a row at the bottom right, in the order given.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return l;
}

// ---- Zielkauf / Zielverkauf -------------------------------------------------

class TargetDialog : public QDialog {
 public:
  TargetDialog(QWidget* parent, Prompter& p, TradeKind kind, double unitPrice, const std::string& currency)
      : QDialog(parent), unitPrice_(unitPrice) {
    const bool buy = kind == TradeKind::Buy;
    setWindowTitle(buy ? QStringLiteral("Zielkauf") : QStringLiteral("Zielverkauf"));
    setModal(true);
    auto* text = new QLabel(buy ? QStringLiteral("Geben Sie ein, wieviel Anteile Sie kaufen möchten")
                                : QStringLiteral("Geben Sie ein, wieviel Anteile Sie verkaufen möchten"),
                            this);
    shares_ = NumberField(p, this, "shares");
    amount_ = Display(this, "amount");
    amount_->setText(QString::fromLatin1(kTargetStartText));
    QLabel* unit = Unit(this, "currency");
    unit->setText(Q(currency));

    auto* grid = new QGridLayout;
    grid->addWidget(Caption(QStringLiteral("Anteile:"), this), 0, 0);
    grid->addWidget(shares_, 0, 1);
    grid->addWidget(Caption(QStringLiteral("Kaufsumme:"), this), 1, 0);
    grid->addWidget(amount_, 1, 1);
    grid->addWidget(unit, 1, 2);
    grid->setColumnStretch(3, 1);

    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    ok->setDefault(true);
    QPushButton* cancel = Button(this, DialogButton::Cancel, "cancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(shares_, &QLineEdit::textEdited, this,
            [this](const QString& t) { amount_->setText(Q(TargetAmountText(unitPrice_, S(t)))); });

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(text);
    outer->addSpacing(6);
    outer->addLayout(grid);
    outer->addSpacing(6);
    outer->addLayout(ButtonRow({ok, cancel}));
    QTimer::singleShot(0, shares_, [this] { shares_->setFocus(); });
  }

  // The amount shown, which the buy or sell dialog takes over.
  std::string Result() const { return S(amount_->text()); }

 private:
  double unitPrice_;
  NumericEdit* shares_;
  QLineEdit* amount_;
};

// ---- Fondanteile kaufen / Verkauf von Fondanteilen --------------------------

class TradeDialog : public QDialog {
 public:
  TradeDialog(QWidget* parent, Prompter& p, const Clock& clock, TradeSession& s)
      : QDialog(parent), session_(s), prompter_(p) {
    const bool buy = s.Kind() == TradeKind::Buy;
    setWindowTitle(buy ? QStringLiteral("Fondanteile kaufen") : QStringLiteral("Verkauf von Fondanteilen"));
    setModal(true);

    funds_ = FundList(this, s.Funds(), s.FundIndex());
    auto* fundBox = new QGroupBox(QStringLiteral("Fond"), this);
    auto* fundLayout = new QVBoxLayout(fundBox);
    fundLayout->addWidget(funds_);

    date_ = DateField(p, clock, this);
    price_ = Display(this, "price");
    priceCurrency_ = Unit(this, "priceCurrency");
    amount_ = NumberField(p, this, "amount");
    amountCurrency_ = Unit(this, "amountCurrency");
    old_ = Display(this, "oldHolding");
    new_ = Display(this, "newHolding");

    auto* box = new QGroupBox(buy ? QStringLiteral("Kauf") : QStringLiteral("Verkauf"), this);
    auto* grid = new QGridLayout(box);
    int row = 0;
    auto add = [&](const QString& caption, QWidget* field, QWidget* unit) {
      grid->addWidget(Caption(caption, box), row, 0);
      grid->addWidget(field, row, 1);
      if (unit) grid->addWidget(unit, row, 2);
      ++row;
    };
    add(QStringLiteral("Datum:"), date_, nullptr);
    add(QStringLiteral("Anteilspreis:"), price_, priceCurrency_);
    add(buy ? QStringLiteral("Anteile kaufen im Wert von:") : QStringLiteral("Anteile verkaufen im Wert von:"), amount_,
        amountCurrency_);
    grid->setRowMinimumHeight(row++, 6);
    add(QStringLiteral("alter Fondbestand:"), old_, nullptr);
    add(QStringLiteral("neuer Fondbestand:"), new_, nullptr);
    grid->setColumnStretch(3, 1);

    QPushButton* target = Button(this, DialogButton::Target, "target");
    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    QPushButton* cancel = Button(this, DialogButton::Cancel, "cancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(target, &QPushButton::clicked, this, [this] { OnTarget(); });
    connect(amount_, &QLineEdit::textEdited, this, [this](const QString& t) {
      session_.AmountChanged(S(t));
      Refresh();
    });
    connect(amount_, &QLineEdit::returnPressed, this, [this] { OnOk(); });
    connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) { OnSwitch(i); });
    new FocusGained(amount_, [this] { FlushDate(); });
    new FocusGained(funds_, [this] { FlushDate(); });

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(fundBox);
    outer->addWidget(box);
    outer->addSpacing(4);
    outer->addLayout(ButtonRow({target, ok, cancel}));
    ShowDate();
    Refresh();
    QTimer::singleShot(0, date_, [this] { date_->setFocus(); });
  }

 private:
  void ShowDate() { date_->setText(Q(session_.DateText())); }  // also clears "edited"

  void Refresh() {
    price_->setText(Q(session_.UnitPriceText()));
    priceCurrency_->setText(Q(session_.FundCurrency()));
    amountCurrency_->setText(Q(session_.AmountCurrency()));
    amount_->setReadOnly(!session_.AmountEnabled());
    old_->setText(Q(session_.OldHolding()));
    new_->setText(Q(session_.NewHolding()));
  }

  void Apply(const TradeOutcome& o) {
    if (o.clearAmount) amount_->setText(QString());
    if (o.focus == TradeField::Date) date_->setFocus();
    if (o.focus == TradeField::Amount) amount_->setFocus();
    if (o.step == DialogStep::Accept) accept();
    if (o.step == DialogStep::Cancel) reject();
  }

  // A date typed since the field was last set becomes the day in use once
  // it has passed the field's own check; false when it did not or has no
  // price (the message has been shown).
  bool FlushDate() {
    if (!isVisible()) return true;
    if (!date_->Settle()) return false;
    if (!date_->isModified() || date_->text().isEmpty()) return true;
    const TradeOutcome o = session_.DateTyped(S(date_->text()));
    ShowDate();
    Refresh();
    Apply(o);
    return o.focus != TradeField::Date;
  }

  void OnOk() {
    if (!FlushDate()) return;
    Apply(session_.Ok(S(amount_->text()), S(date_->text())));
    Refresh();
  }

  void OnSwitch(int index) {
    if (index < 0) return;
    FlushDate();
    const TradeOutcome o = session_.SwitchFund(static_cast<size_t>(index), S(amount_->text()));
    ShowDate();
    Refresh();
    Apply(o);
  }

  void OnTarget() {
    FlushDate();
    const std::optional<double> unit = session_.TargetUnitPrice();
    if (!unit) return;
    TargetDialog d(this, prompter_, session_.Kind(), *unit, session_.AmountCurrency());
    if (d.exec() != QDialog::Accepted) return;
    amount_->setText(Q(d.Result()));
    session_.AmountChanged(d.Result());
    Refresh();
  }

  TradeSession& session_;
  Prompter& prompter_;
  QComboBox* funds_;
  DateEdit* date_;
  QLineEdit* price_;
  QLabel* priceCurrency_;
  NumericEdit* amount_;
  QLabel* amountCurrency_;
  QLineEdit* old_;
  QLineEdit* new_;
};

// ---- Ertragsausschüttung eingeben / jährliche Kosten des Fonds -------------

class AdjustmentDialog : public QDialog {
 public:
  AdjustmentDialog(QWidget* parent, Prompter& p, const Clock& clock, AdjustmentSession& s)
      : QDialog(parent), session_(s) {
    const bool dist = s.Kind() == AdjustmentKind::Distribution;
    setWindowTitle(dist ? QStringLiteral("Ertragsausschüttung eingeben")
                        : QStringLiteral("jährliche Kosten des Fonds"));
    setModal(true);

    funds_ = FundList(this, s.Funds(), s.FundIndex());
    date_ = DateField(p, clock, this);
    dateCurrency_ = Unit(this, "dateCurrency");
    shares_ = Display(this, "shares");
    amount_ = NumberField(p, this, "amount");
    amountCurrency_ = Unit(this, "amountCurrency");
    newShares_ = Display(this, "newShares");

    auto* box = new QGroupBox(dist ? QStringLiteral("Ertragsausschüttung") : QStringLiteral("Kosten"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(Caption(QStringLiteral("Datum:"), box), 0, 0);
    grid->addWidget(date_, 0, 1);
    grid->addWidget(dateCurrency_, 0, 2);
    grid->addWidget(Caption(QStringLiteral("vorhandene Anteile:"), box), 1, 0);
    grid->addWidget(shares_, 1, 1);
    grid->addWidget(Caption(dist ? QStringLiteral("Ausschüttung:") : QStringLiteral("Kosten:"), box), 2, 0);
    grid->addWidget(amount_, 2, 1);
    grid->addWidget(amountCurrency_, 2, 2);
    grid->addWidget(Caption(QStringLiteral("neuer Anteilsbestand:"), box), 3, 0);
    grid->addWidget(newShares_, 3, 1);
    grid->setColumnStretch(3, 1);

    QPushButton* edit = Button(this, DialogButton::Edit, "edit");
    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    QPushButton* cancel = Button(this, DialogButton::Cancel, "cancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A date left by the click is checked before the entry takes it.
    connect(ok, &QPushButton::clicked, this, [this] {
      if (SettleDateFields(*this)) Apply(session_.Ok(S(date_->text()), S(amount_->text())));
    });
    connect(edit, &QPushButton::clicked, this, [this] {
      if (SettleDateFields(*this)) Apply(session_.Edit(S(date_->text()), S(amount_->text())));
    });
    connect(date_, &QLineEdit::textEdited, this, [this] { session_.FieldEdited(); });
    connect(amount_, &QLineEdit::textEdited, this, [this](const QString& t) {
      const DialogStep step = session_.AmountChanged(S(date_->text()), S(t));
      Refresh();
      if (step == DialogStep::Cancel) reject();
    });
    connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (i >= 0) Apply(session_.SwitchFund(static_cast<size_t>(i), S(date_->text()), S(amount_->text())));
    });

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(QStringLiteral("Wählen Sie den Fond mit einem Mausclick aus"), this));
    outer->addWidget(funds_);
    outer->addSpacing(4);
    outer->addWidget(box);
    outer->addSpacing(4);
    outer->addLayout(ButtonRow({edit, ok, cancel}));
    Refresh();
    QTimer::singleShot(0, date_, [this] { date_->setFocus(); });
  }

 private:
  void Refresh() {
    const QString currency = Q(session_.Currency());
    dateCurrency_->setText(currency);
    amountCurrency_->setText(session_.Kind() == AdjustmentKind::Distribution ? currency + QStringLiteral("/Anteil")
                                                                             : currency);
    shares_->setText(Q(session_.Shares()));
    newShares_->setText(Q(session_.NewShares()));
  }

  void Apply(const EntryOutcome& o) {
    if (o.clearFields) {
      // setText, unlike clear(), also resets the "edited" state: the date
      // field emptied here must not ask about a missing date when it is left.
      date_->setText(QString());
      amount_->setText(QString());
      date_->setFocus();
    }
    Refresh();
    if (o.step == DialogStep::Accept) accept();
    if (o.step == DialogStep::Cancel) reject();
  }

  AdjustmentSession& session_;
  QComboBox* funds_;
  DateEdit* date_;
  QLabel* dateCurrency_;
  QLineEdit* shares_;
  NumericEdit* amount_;
  QLabel* amountCurrency_;
  QLineEdit* newShares_;
};

// ---- Anfangsbestände eingeben ---------------------------------------------------

class OpeningDialog : public QDialog {
 public:
  OpeningDialog(QWidget* parent, Prompter& p, const Clock& clock, OpeningSession& s) : QDialog(parent), session_(s) {
    setWindowTitle(QStringLiteral("Anfangsbestände eingeben"));
    setModal(true);
    funds_ = FundList(this, s.Funds(), s.FundIndex());
    date_ = DateField(p, clock, this);
    shares_ = NumberField(p, this, "shares");
    capital_ = NumberField(p, this, "capital");
    currency_ = new QLineEdit(this);
    currency_->setObjectName(QStringLiteral("currency"));
    currency_->setFixedWidth(110);

    auto* box = new QGroupBox(QStringLiteral("Anfangsbestand"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(Caption(QStringLiteral("Datum:"), box), 0, 0);
    grid->addWidget(date_, 0, 1);
    grid->addWidget(Caption(QStringLiteral("vorhandene Anteile:"), box), 1, 0);
    grid->addWidget(shares_, 1, 1);
    grid->addWidget(Caption(QStringLiteral("investiertes Kapital:"), box), 2, 0);
    grid->addWidget(capital_, 2, 1);
    grid->addWidget(Caption(QStringLiteral("Währung:"), box), 3, 0);
    grid->addWidget(currency_, 3, 1);
    grid->setColumnStretch(2, 1);

    QPushButton* edit = Button(this, DialogButton::Edit, "edit");
    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    QPushButton* cancel = Button(this, DialogButton::Cancel, "cancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A date left by the click is checked before the entry takes it.
    connect(ok, &QPushButton::clicked, this, [this] {
      if (SettleDateFields(*this)) Apply(session_.Ok(Typed()));
    });
    connect(edit, &QPushButton::clicked, this, [this] {
      if (SettleDateFields(*this)) Apply(session_.Edit(Typed()));
    });
    for (QLineEdit* e : {static_cast<QLineEdit*>(date_), static_cast<QLineEdit*>(shares_),
                         static_cast<QLineEdit*>(capital_), currency_})
      connect(e, &QLineEdit::textEdited, this, [this] { session_.FieldEdited(); });
    connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (i >= 0) Apply(session_.SwitchFund(static_cast<size_t>(i), Typed()));
    });

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(QStringLiteral("Wählen Sie den Fond mit einem Mausclick aus"), this));
    outer->addWidget(funds_);
    outer->addSpacing(4);
    outer->addWidget(box);
    outer->addSpacing(4);
    outer->addLayout(ButtonRow({edit, ok, cancel}));
    QTimer::singleShot(0, date_, [this] { date_->setFocus(); });
  }

 private:
  OpeningEntry Typed() const {
    return OpeningEntry{"", S(date_->text()), S(shares_->text()), S(capital_->text()), S(currency_->text())};
  }

  void Apply(const EntryOutcome& o) {
    if (o.clearFields) {
      for (QLineEdit* e : {static_cast<QLineEdit*>(date_), static_cast<QLineEdit*>(shares_),
                           static_cast<QLineEdit*>(capital_), currency_})
        e->setText(QString());  // not clear(): see AdjustmentDialog::Apply
      date_->setFocus();
    }
    if (o.step == DialogStep::Accept) accept();
    if (o.step == DialogStep::Cancel) reject();
  }

  OpeningSession& session_;
  QComboBox* funds_;
  DateEdit* date_;
  NumericEdit* shares_;
  NumericEdit* capital_;
  QLineEdit* currency_;
};

// ---- Umsatzanzeige ------------------------------------------------------------------

class TransactionListDialog : public QDialog {
 public:
  TransactionListDialog(QWidget* parent, const TransactionListing& listing) : QDialog(parent), listing_(listing) {
    setWindowTitle(QStringLiteral("Umsatzanzeige"));
    setModal(true);
    funds_ = FundList(this, listing.Funds(), 0);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("list"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAlternatingRowColors(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setColumnCount(5);
    // The column widths are those of the program's small list font; in the
    // desktop's larger default font the titles would not fit them.
    ApplyEntryFont(list_);
    const QStringList titles = {QStringLiteral("Datum"), QStringLiteral("Verkaufspreis"), QStringLiteral("Kaufpreis"),
                                QStringLiteral("Anteile"), QStringLiteral("Gesamtbestand")};
    list_->setHeaderLabels(titles);
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    int total = 0;
    for (int c = 0; c < 5; ++c) {
      const int width = c == 4 ? 90 : 80;
      list_->setColumnWidth(c, width);
      list_->headerItem()->setTextAlignment(c, Alignment(c));
      total += width;
    }
    list_->setMinimumSize(total + 4 + list_->verticalScrollBar()->sizeHint().width(), 220);

    distributions_ = Display(this, "distributions");
    holding_ = Display(this, "holding");
    auto* grid = new QGridLayout;
    grid->addWidget(Caption(QStringLiteral("Erträge bisher gesamt"), this), 0, 0);
    grid->addWidget(distributions_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Anteile"), this), 0, 2);
    grid->addWidget(Caption(QStringLiteral("Anteilsbestand gesamt"), this), 1, 0);
    grid->addWidget(holding_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Anteile"), this), 1, 2);
    grid->setColumnStretch(3, 1);

    QPushButton* ok = Button(this, DialogButton::Ok, "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) { Build(i); });

    auto* text =
        new QLabel(QStringLiteral("Wählen Sie den Fond, dessen Umsätze Sie ansehen wollen, aus der Liste aus"), this);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(text);
    outer->addWidget(funds_);
    outer->addWidget(list_, 1);
    outer->addLayout(grid);
    outer->addLayout(ButtonRow({ok}));
    if (!listing.Funds().empty()) Build(0);
  }

 private:
  static Qt::Alignment Alignment(int column) {
    return (column == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter;
  }

  void Build(int index) {
    list_->clear();
    if (index < 0) return;
    const TransactionListView v = listing_.Build(static_cast<size_t>(index));
    setWindowTitle(Q(v.title));
    for (const TransactionLine& l : v.lines) {
      auto* item = new QTreeWidgetItem(
          list_, QStringList{Q(l.date), Q(l.salePrice), Q(l.purchasePrice), Q(l.shares), Q(l.total)});
      for (int c = 0; c < 5; ++c) item->setTextAlignment(c, Alignment(c));
    }
    distributions_->setText(Q(v.distributions));
    holding_->setText(Q(v.holding));
  }

  const TransactionListing& listing_;
  QComboBox* funds_;
  QTreeWidget* list_;
  QLineEdit* distributions_;
  QLineEdit* holding_;
};

}  // namespace

void TransactionDialogsQt::Trade(TradeSession& session) {
  TradeDialog d(parent_, prompter_, clock_, session);
  d.exec();
}

bool TransactionDialogsQt::EnterAdjustments(AdjustmentSession& session) {
  AdjustmentDialog d(parent_, prompter_, clock_, session);
  return d.exec() == QDialog::Accepted;
}

bool TransactionDialogsQt::EnterOpeningHoldings(OpeningSession& session) {
  OpeningDialog d(parent_, prompter_, clock_, session);
  return d.exec() == QDialog::Accepted;
}

void TransactionDialogsQt::ShowTransactions(const TransactionListing& listing) {
  TransactionListDialog d(parent_, listing);
  d.exec();
}

}  // namespace tellurio
