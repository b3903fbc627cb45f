#include "portfolio/qt/FundDialogsQt.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <array>

#include "calendar/qt/NumericEdit.h"
#include "platform/qt/DialogButtons.h"
#include "portfolio/PriceEntrySession.h"
#include "views/chart/qt/ChartPainter.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// OK / Abbrechen (or other captions) in a row at the bottom right.
struct ButtonRow {
  QHBoxLayout* layout;
  QPushButton* ok;
  QPushButton* cancel;
};

ButtonRow MakeButtonRow(QDialog* d, DialogButton okKind = DialogButton::Ok,
                        DialogButton cancelKind = DialogButton::Cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  QPushButton* ok = MakeDialogButton(okKind, d);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  QPushButton* cancel = MakeDialogButton(cancelKind, d);
  cancel->setObjectName(QStringLiteral("cancel"));
  row->addWidget(ok);
  row->addWidget(cancel);
  QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
  return {row, ok, cancel};
}

// Runs fn when the watched field loses the keyboard focus.
class FocusLeave : public QObject {
 public:
  FocusLeave(QWidget* field, std::function<void()> fn) : QObject(field), fn_(std::move(fn)) {
    field->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusOut && !busy_) {
      busy_ = true;  // a message box taking the focus must not run it again
      fn_();
      busy_ = false;
    }
    return false;
  }

 private:
  std::function<void()> fn_;
  bool busy_ = false;
};

QLineEdit* DigitsEdit(QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
  return e;
}

// ---- neuen Fond in das Depot übernehmen ----------------------------------

class NewFundDialog : public QDialog {
 public:
  NewFundDialog(QWidget* parent, Prompter& p, NewFundRules& rules) : QDialog(parent), rules_(rules) {
    setWindowTitle(QStringLiteral("neuen Fond in das Depot übernehmen"));
    setModal(true);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("name"));
    wkn_ = new NumericEdit(p, this);
    wkn_->setObjectName(QStringLiteral("wkn"));
    surcharge_ = new NumericEdit(p, this);
    surcharge_->setObjectName(QStringLiteral("surcharge"));
    currency_ = new QLineEdit(this);
    currency_->setObjectName(QStringLiteral("currency"));
    name_->setMinimumWidth(260);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Bezeichnung"), name_);
    form->addRow(QStringLiteral("Wertpapierkennnummer"), wkn_);
    form->addRow(QStringLiteral("Ausgabeaufschlag in %"), surcharge_);
    form->addRow(QStringLiteral("Währung"), currency_);

    auto* box = new QGroupBox(QStringLiteral("Fonds im Depot"), this);
    auto* boxLayout = new QVBoxLayout(box);
    auto* list = new QListWidget(box);
    list->setObjectName(QStringLiteral("funds"));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    for (const FundMaster& m : rules.Funds()) list->addItem(Q(m.name));
    list->setMinimumHeight(120);
    boxLayout->addWidget(list);

    ButtonRow buttons = MakeButtonRow(this);
    connect(buttons.ok, &QPushButton::clicked, this, [this] { OnOk(); });
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addWidget(box);
    outer->addLayout(buttons.layout);

    new FocusLeave(name_, [this] { Apply(rules_.NameLeft(S(name_->text()))); });
    new FocusLeave(wkn_, [this] { Apply(rules_.WknLeft(S(wkn_->text()))); });
    QTimer::singleShot(0, name_, [this] { name_->setFocus(); });
  }

  FundEntry Entry() const { return entry_; }

 private:
  QLineEdit* Field(FundField f) {
    switch (f) {
      case FundField::Name:
        return name_;
      case FundField::Wkn:
        return wkn_;
      case FundField::Surcharge:
        return surcharge_;
      case FundField::Currency:
        return currency_;
      case FundField::None:
        break;
    }
    return nullptr;
  }
  void Apply(const FieldOutcome& o) {
    if (QLineEdit* f = Field(o.clear)) {
      f->clear();
      f->setFocus();
    }
  }
  void OnOk() {
    const FieldOutcome o = rules_.Ok({S(name_->text()), S(wkn_->text()), S(surcharge_->text()), S(currency_->text())});
    if (o.step == DialogStep::Accept) {
      entry_ = o.entry;
      accept();
    } else if (o.step == DialogStep::Cancel) {
      reject();
    } else {
      Apply(o);
    }
  }

  NewFundRules& rules_;
  QLineEdit *name_, *wkn_, *surcharge_, *currency_;
  FundEntry entry_;
};

// ---- Fond aus dem Depot löschen -------------------------------------------

class DeleteFundDialog : public QDialog {
 public:
  DeleteFundDialog(QWidget* parent, const std::vector<std::string>& funds, DeleteFundRules& rules)
      : QDialog(parent), rules_(rules) {
    setWindowTitle(QStringLiteral("Fond aus dem Depot löschen"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(QStringLiteral("Wählen Sie den Fond, den Sie löschen wollen, mit einem\n"
                                               "Doppelklick aus und betätigen dann die OK-Taste"),
                                this));
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("funds"));
    for (const std::string& f : funds) list->addItem(Q(f));
    list->setMinimumSize(300, 160);
    outer->addWidget(list);
    auto* chosen = new QLineEdit(this);
    chosen->setObjectName(QStringLiteral("chosen"));
    chosen->setReadOnly(true);
    outer->addWidget(chosen);
    connect(list, &QListWidget::itemDoubleClicked, this, [this, chosen](QListWidgetItem* item) {
      rules_.DoubleClicked(S(item->text()));
      chosen->setText(item->text());
    });
    ButtonRow buttons = MakeButtonRow(this);
    connect(buttons.ok, &QPushButton::clicked, this, [this] {
      const DialogStep s = rules_.Ok();
      if (s == DialogStep::Accept) accept();
      if (s == DialogStep::Cancel) reject();
    });
    outer->addLayout(buttons.layout);
  }

 private:
  DeleteFundRules& rules_;
};

// ---- Fonddaten editieren ------------------------------------------------------

class EditFundDialog : public QDialog {
 public:
  EditFundDialog(QWidget* parent, Prompter& p, EditFundRules& rules) : QDialog(parent), rules_(rules) {
    setWindowTitle(QStringLiteral("Fonddaten editieren"));
    setModal(true);
    funds_ = new QComboBox(this);
    funds_->setObjectName(QStringLiteral("funds"));
    for (const FundMaster& m : rules.Funds()) funds_->addItem(Q(m.name));
    funds_->setMinimumWidth(280);
    wkn_ = DigitsEdit(this);
    wkn_->setObjectName(QStringLiteral("wkn"));
    currency_ = new QLineEdit(this);
    currency_->setObjectName(QStringLiteral("currency"));
    surcharge_ = new NumericEdit(p, this);
    surcharge_->setObjectName(QStringLiteral("surcharge"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fond"), funds_);
    form->addRow(QStringLiteral("Wertpapierkennummer"), wkn_);
    form->addRow(QStringLiteral("Fondwährung"), currency_);
    form->addRow(QStringLiteral("Ausgabeaufschlag in %"), surcharge_);
    ButtonRow buttons = MakeButtonRow(this);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons.layout);
    connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) { Show(i); });
    connect(buttons.ok, &QPushButton::clicked, this, [this] { OnOk(); });
    Show(0);
  }

  std::pair<size_t, FundEntry> Result() const { return result_; }

 private:
  void Show(int i) {
    if (i < 0) return;
    const FundEntry e = rules_.Shown(static_cast<size_t>(i));
    wkn_->setText(Q(e.wkn));
    currency_->setText(Q(e.currency));
    surcharge_->setText(Q(e.surchargePercent));
  }
  void OnOk() {
    const size_t i = static_cast<size_t>(std::max(0, funds_->currentIndex()));
    const FieldOutcome o = rules_.Ok(i, {"", S(wkn_->text()), S(surcharge_->text()), S(currency_->text())});
    if (o.step == DialogStep::Accept) {
      result_ = {i, o.entry};
      accept();
    } else if (o.step == DialogStep::Cancel) {
      reject();
    } else if (o.clear == FundField::Wkn) {
      wkn_->clear();
      wkn_->setFocus();
    }
  }

  EditFundRules& rules_;
  QComboBox* funds_;
  QLineEdit *wkn_, *currency_, *surcharge_;
  std::pair<size_t, FundEntry> result_;
};

// ---- Fonddaten --------------------------------------------------------------

class FundDataWindow : public QDialog {
 public:
  FundDataWindow(QWidget* parent, Prompter& p, const FundDataView& d) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Fonddaten"));
    setModal(true);
    auto* form = new QFormLayout;
    auto field = [this, form](const QString& label, const std::string& value, const char* name) {
      auto* e = new QLineEdit(Q(value), this);
      e->setReadOnly(true);
      e->setObjectName(QString::fromLatin1(name));
      e->setMinimumWidth(240);
      form->addRow(label, e);
    };
    field(QStringLiteral("Name"), d.name, "name");
    field(QStringLiteral("Wertpapierkennummer"), d.wkn, "wkn");
    field(QStringLiteral("Ausgabeaufschlag in %"), d.surchargePercent, "surcharge");
    field(QStringLiteral("Währung"), d.currency, "currency");
    field(QStringLiteral("Kaufpreis"), d.purchasePrice, "purchasePrice");
    field(QStringLiteral("am"), d.priceDate, "priceDate");
    auto* chart = new FundPriceChart(d.priceRows, this);
    chart->setObjectName(QStringLiteral("chart"));
    ButtonRow buttons = MakeButtonRow(this, DialogButton::Ok, DialogButton::Delete);
    buttons.cancel->setObjectName(QStringLiteral("delete"));
    buttons.cancel->setText(QStringLiteral("LOESCHEN"));
    disconnect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, [this, &p] {
      deleted_ =
          p.AskYesNo("Hinweis", "Wollen Sie den Fond wirklich Löschen?", MessageIcon::Question, BeepKind::Question);
      accept();
    });
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addWidget(chart);
    outer->addLayout(buttons.layout);
  }
  bool Deleted() const { return deleted_; }

 private:
  bool deleted_ = false;
};

// ---- Werteeingabe -------------------------------------------------------------

class PriceEntryDialog : public QDialog {
 public:
  PriceEntryDialog(QWidget* parent, Prompter& p, PriceEntrySession& s) : QDialog(parent), session_(s), prompter_(p) {
    setWindowTitle(QStringLiteral("Werteeingabe"));
    setModal(true);
    funds_ = new QComboBox(this);
    funds_->setObjectName(QStringLiteral("funds"));
    for (const std::string& f : s.Funds()) funds_->addItem(Q(f));
    funds_->setMinimumWidth(260);
    currency_ = new QLabel(this);
    currency_->setObjectName(QStringLiteral("currency"));

    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("Tellurio"), funds_);
    top->addRow(QStringLiteral("Fondwährung:"), currency_);

    auto* grid = new QGridLayout;
    auto* dateHead = new QLabel(QStringLiteral("Datum"), this);
    auto* priceHead = new QLabel(QStringLiteral("Kurs"), this);
    QFont bold = dateHead->font();
    bold.setBold(true);
    dateHead->setFont(bold);
    priceHead->setFont(bold);
    grid->addWidget(dateHead, 0, 0);
    grid->addWidget(priceHead, 0, 1);
    for (int k = 0; k < PriceEntrySession::kRows; ++k) {
      dates_[k] = new QLabel(this);
      dates_[k]->setObjectName(QStringLiteral("date%1").arg(k));
      dates_[k]->setFrameShape(QFrame::StyledPanel);
      dates_[k]->setMinimumWidth(100);
      prices_[k] = new NumericEdit(p, this);
      prices_[k]->setObjectName(QStringLiteral("price%1").arg(k));
      connect(prices_[k], &QLineEdit::editingFinished, this, [this, k] { Flush(k); });
      // Enter takes a price and goes on to the next row instead of closing.
      connect(prices_[k], &QLineEdit::returnPressed, this,
              [this, k] { prices_[(k + 1) % PriceEntrySession::kRows]->setFocus(); });
      grid->addWidget(dates_[k], k + 1, 0);
      grid->addWidget(prices_[k], k + 1, 1);
    }
    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setObjectName(QStringLiteral("scroll"));
    bar_->setSingleStep(1);
    bar_->setPageStep(PriceEntrySession::kPage);
    grid->addWidget(bar_, 1, 2, PriceEntrySession::kRows, 1);
    connect(bar_, &QAbstractSlider::actionTriggered, this, [this](int a) { OnScroll(a); });

    ButtonRow buttons = MakeButtonRow(this, DialogButton::Ok, DialogButton::Cancel);
    buttons.ok->setDefault(false);
    connect(buttons.ok, &QPushButton::clicked, this, [this] {
      FlushAll();
      Report(session_.Commit());
      accept();
    });
    connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (i < 0 || static_cast<size_t>(i) == session_.FundIndex()) return;
      FlushAll();
      Report(session_.SwitchFund(static_cast<size_t>(i)));
      ShowRows();
      prices_[0]->setFocus();
    });

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addSpacing(6);
    outer->addLayout(grid);
    outer->addLayout(buttons.layout);
    ShowRows();
    QTimer::singleShot(0, prices_[0], [this] { prices_[0]->setFocus(); });
  }

 protected:
  void wheelEvent(QWheelEvent* e) override {
    FlushAll();
    if (e->angleDelta().y() > 0)
      session_.LineUp();
    else if (e->angleDelta().y() < 0)
      session_.LineDown();
    ShowRows();
  }

 private:
  void Report(const Status& s) {
    if (!s.ok()) prompter_.Show(Message{"Fehler", s.Describe(), MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  }
  void Flush(int k) {
    if (!prices_[k]->isModified()) return;
    prices_[k]->setModified(false);
    session_.PriceLeft(k, S(prices_[k]->text()));
  }
  // A typed price that has not been left yet still counts before the rows move.
  void FlushAll() {
    for (int k = 0; k < PriceEntrySession::kRows; ++k) Flush(k);
  }
  void OnScroll(int action) {
    FlushAll();
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
        session_.LineDown();
        break;
      case QAbstractSlider::SliderSingleStepSub:
        session_.LineUp();
        break;
      case QAbstractSlider::SliderPageStepAdd:
        session_.PageDown();
        break;
      case QAbstractSlider::SliderPageStepSub:
        session_.PageUp();
        break;
      case QAbstractSlider::SliderMove:
        session_.ScrollTo(bar_->sliderPosition());
        break;
      case QAbstractSlider::SliderToMinimum:
        session_.ScrollTo(0);
        break;
      case QAbstractSlider::SliderToMaximum:
        session_.ScrollTo(session_.MaxPosition());
        break;
      default:
        break;
    }
    ShowRows();
  }
  void ShowRows() {
    currency_->setText(Q(session_.Currency()));
    const auto rows = session_.Visible();
    for (int k = 0; k < PriceEntrySession::kRows; ++k) {
      if (!rows[k].present) continue;  // rows beyond the end stay as they were
      dates_[k]->setText(Q(rows[k].date));
      prices_[k]->setText(Q(rows[k].price));
    }
    const QSignalBlocker block(bar_);
    bar_->setRange(0, session_.MaxPosition());
    bar_->setValue(session_.Position());
    bar_->setSliderPosition(session_.Position());
  }

  PriceEntrySession& session_;
  Prompter& prompter_;
  QComboBox* funds_;
  QLabel* currency_;
  std::array<QLabel*, PriceEntrySession::kRows> dates_{};
  std::array<NumericEdit*, PriceEntrySession::kRows> prices_{};
  QScrollBar* bar_;
};

}  // namespace

FundPriceChart::FundPriceChart(std::vector<std::string> priceRows, QWidget* parent)
    : QWidget(parent), rows_(std::move(priceRows)) {
  setMinimumSize(290, 125);
}

void FundPriceChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  chart::PaintFundDataChart(painter, rect(), chart::LayoutFundDataChart(rows_, chart::FromQRect(rect())),
                            QColor(0x1f, 0x4e, 0x8c));
}

std::optional<FundEntry> FundDialogsQt::NewFund(NewFundRules& rules) {
  NewFundDialog d(parent_, prompter_, rules);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Entry();
}

std::optional<std::string> FundDialogsQt::ChooseFundToDelete(const std::vector<std::string>& funds,
                                                             DeleteFundRules& rules) {
  DeleteFundDialog d(parent_, funds, rules);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return rules.Choice();
}

std::optional<std::pair<size_t, FundEntry>> FundDialogsQt::EditFund(EditFundRules& rules) {
  EditFundDialog d(parent_, prompter_, rules);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Result();
}

bool FundDialogsQt::ShowFundData(const FundDataView& data) {
  FundDataWindow d(parent_, prompter_, data);
  d.exec();
  return d.Deleted();
}

void FundDialogsQt::EnterPrices(PriceEntrySession& session) {
  PriceEntryDialog d(parent_, prompter_, session);
  d.exec();
}

}  // namespace tellurio
