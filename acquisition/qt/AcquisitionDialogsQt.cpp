#include "acquisition/qt/AcquisitionDialogsQt.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "acquisition/qt/PortraitDialog.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLabel* Field(const QString& name, const QString& text, QWidget* parent, bool bold = false) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

// Shows a window and waits (at most a second) until the window system has
// put it on the screen: a window manager maps a new window a little later,
// and what is painted before that is lost.  Input waits meanwhile.
void ShowOnScreen(QWidget* w) {
  w->show();
  QElapsedTimer clock;
  clock.start();
  QTimer wake;  // ends every wait below in time
  wake.start(10);
  while (!(w->windowHandle() && w->windowHandle()->isExposed()) && clock.elapsed() < 1000)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

// Paints a window that the work on the user-interface thread keeps from
// its event loop; at most every 40 ms, so that many small steps do not
// cost more in painting than in work.  Each time the window system's own
// events go through as well (the window uncovered, moved or mapped), so
// the window shows its texts at all times; input waits.
class Painter {
 public:
  void Now(QWidget* w) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    w->repaint();
    clock_.restart();
  }
  void Soon(QWidget* w) {
    if (!clock_.isValid() || clock_.elapsed() >= 40) Now(w);
  }

 private:
  QElapsedTimer clock_;
};

// ---- status window ---------------------------------------------------------------

class StatusDialog : public QDialog {
 public:
  StatusDialog(QWidget* parent, const std::string& title) : QDialog(parent) {
    setObjectName(QStringLiteral("statusWindow"));
    setWindowTitle(Q(title));
    setModal(false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 14, 18, 14);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(10);
    subjectLead = Field(QStringLiteral("subjectLead"), QStringLiteral("Die Werte der"), this);
    subject = Field(QStringLiteral("subject"), QString(), this, true);
    subjectTail = Field(QStringLiteral("subjectTail"), QStringLiteral("werden geladen"), this);
    currentLead = Field(QStringLiteral("currentLead"), QStringLiteral("Die Daten des Fonds"), this);
    current = Field(QStringLiteral("current"), QString(), this, true);
    currentTail = Field(QStringLiteral("currentTail"), QStringLiteral("werden bearbeitet"), this);
    remainingLead = Field(QStringLiteral("remainingLead"), QStringLiteral("noch"), this);
    remaining = Field(QStringLiteral("remaining"), QString(), this, true);
    remainingTail = Field(QStringLiteral("remainingTail"), QStringLiteral("Fonds müssen aktualisiert werden"), this);
    // The work keeps the layout from running while it changes the texts:
    // the fields are wide enough for them from the start.
    current->setMinimumWidth(320);
    subject->setMinimumWidth(120);
    remaining->setAlignment(Qt::AlignCenter);
    remaining->setMinimumWidth(remaining->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    QLabel* rows[3][3] = {{subjectLead, subject, subjectTail},
                          {currentLead, current, currentTail},
                          {remainingLead, remaining, remainingTail}};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) grid->addWidget(rows[r][c], r, c);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(520);
  }

  QLabel *subjectLead, *subject, *subjectTail, *currentLead, *current, *currentTail, *remainingLead, *remaining,
      *remainingTail;
  Painter painter;
};

class StatusWindowQt : public StatusWindow {
 public:
  StatusWindowQt(QWidget* parent, const std::string& title) : dialog_(new StatusDialog(parent, title)) {
    ShowOnScreen(dialog_);
    dialog_->painter.Now(dialog_);
  }
  ~StatusWindowQt() override { delete dialog_; }
  QWidget* Window() const { return dialog_; }

  void SetSubject(const std::string& text) override { Set(dialog_->subject, Q(text)); }
  void SetRemaining(int count) override { Set(dialog_->remaining, QString::number(count)); }
  void SetCurrent(const std::string& text) override { Set(dialog_->current, Q(text)); }
  void ShowTextOnly() override {
    for (QLabel* l : {dialog_->currentLead, dialog_->currentTail, dialog_->remainingLead, dialog_->remainingTail})
      l->hide();
    dialog_->remaining->hide();
    dialog_->adjustSize();
    dialog_->painter.Now(dialog_);
  }
  void ShowDepotLines() override {
    dialog_->subjectLead->hide();
    dialog_->subjectTail->hide();
    dialog_->subject->hide();
    dialog_->currentLead->setText(QStringLiteral("Die Daten des Depots"));
    dialog_->remainingTail->setText(QStringLiteral("Depots müssen aktualisiert werden"));
    dialog_->adjustSize();
    dialog_->painter.Now(dialog_);
  }
  // "Die Werte der Kursdatei vom TT.MM.JJJJ werden geladen".
  void SetDay(const std::string& date) override {
    for (QLabel* l : {dialog_->subjectLead, dialog_->subject, dialog_->subjectTail}) l->show();
    Set(dialog_->subject, Q("Kursdatei vom " + date));
  }

 private:
  void Set(QLabel* label, const QString& text) {
    label->setText(text);
    dialog_->painter.Soon(dialog_);
  }
  StatusDialog* dialog_;
};

// ---- archive progress -----------------------------------------------------------

class ArchiveProgressDialog : public QDialog {
 public:
  ArchiveProgressDialog(QWidget* parent, const std::string& depot, int total, const ArchiveWork& work)
      : QDialog(parent), total_(total), work_(work) {
    setObjectName(QStringLiteral("archiveProgress"));
    setWindowTitle(QStringLiteral("Aktuallisiertes Depot: ") + Q(depot));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 14, 18, 14);
    outer->setSpacing(10);
    auto* line1 = new QHBoxLayout;
    line1->addWidget(new QLabel(QStringLiteral("Bitte warten Sie ! Zur Zeit werden die Daten des Fonds"), this));
    fund_ = Field(QStringLiteral("fund"), QString(), this, true);
    // Wide enough from the start: the work keeps the layout from running.
    fund_->setMinimumWidth(300);
    line1->addWidget(fund_, 1);
    line1->addWidget(new QLabel(QStringLiteral("bearbeitet ."), this));
    auto* line2 = new QHBoxLayout;
    line2->addWidget(new QLabel(QStringLiteral("Gesamtzahl der zu bearbeitenden Fonds:"), this));
    totalLabel_ = Field(QStringLiteral("total"), QString(), this, true);
    totalLabel_->setMinimumWidth(totalLabel_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    line2->addWidget(totalLabel_);
    line2->addStretch();
    auto* line3 = new QHBoxLayout;
    line3->addWidget(new QLabel(QStringLiteral("zur Zeit wird Fond Nr."), this));
    number_ = Field(QStringLiteral("number"), QString(), this, true);
    number_->setMinimumWidth(number_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    number_->setAlignment(Qt::AlignCenter);
    line3->addWidget(number_);
    line3->addWidget(new QLabel(QStringLiteral("bearbeitet"), this));
    line3->addStretch();
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progress"));
    bar_->setRange(0, std::max(total, 1));
    bar_->setValue(0);
    outer->addLayout(line1);
    outer->addLayout(line2);
    outer->addLayout(line3);
    outer->addWidget(bar_);
    setMinimumWidth(640);
    QTimer::singleShot(30, this, [this] { Run(); });
  }

  bool Done() const { return done_; }
  void reject() override {
    // The merge of the depot is not interrupted.
    if (done_) QDialog::reject();
  }

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (!done_) e->ignore();
  }

 private:
  void Run() {
    // The work holds the event loop: the window is on the screen first.
    if (!(windowHandle() && windowHandle()->isExposed())) ShowOnScreen(this);
    totalLabel_->setText(QString::number(total_));
    painter_.Now(this);
    work_([this](int k, const std::string& fund) {
      bar_->setValue(k);
      fund_->setText(Q(fund));
      number_->setText(QString::number(k + 1));
      painter_.Soon(this);
    });
    done_ = true;
    bar_->setValue(total_);
    accept();
  }

  int total_;
  const ArchiveWork& work_;
  QLabel *fund_, *totalLabel_, *number_;
  QProgressBar* bar_;
  Painter painter_;
  bool done_ = false;
};

// ---- import ----------------------------------------------------------------------

// The file list in German: column titles, type, size and date.
class GermanFileList : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (o == Qt::Horizontal && role == Qt::DisplayRole) {
      switch (section) {
        case 0:
          return QStringLiteral("Name");
        case 1:
          return QStringLiteral("Größe");
        case 2:
          return QStringLiteral("Typ");
        case 3:
          return QStringLiteral("Geändert am");
        default:
          break;
      }
    }
    return QIdentityProxyModel::headerData(section, o, role);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole || index.column() == 0) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QFileInfo info = files->fileInfo(source);
    switch (index.column()) {
      case 1: {
        if (info.isDir()) return QString();
        const qint64 bytes = info.size();
        if (bytes < 1024) return QStringLiteral("%1 Bytes").arg(bytes);
        return German().toString(static_cast<double>(bytes) / 1024.0, 'f', 1) + QStringLiteral(" KB");
      }
      case 2:
        if (info.isDir()) return QStringLiteral("Ordner");
        return info.suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0 ? QStringLiteral("Textdatei")
                                                                                      : QStringLiteral("Datei");
      case 3:
        return German().toString(info.lastModified(), QStringLiteral("dd.MM.yyyy HH:mm"));
      default:
        return QIdentityProxyModel::data(index, role);
    }
  }

 private:
  static QLocale German() { return QLocale(QLocale::German, QLocale::Germany); }
};

// Puts a dialog that is about to open beside a window that stays open (the
// status window) instead of over its texts: below it, or above it when
// there is no room below, centred on it and kept on its screen.
void PlaceBeside(QWidget* dialog, const QWidget* other) {
  dialog->adjustSize();
  const QRect o = other->frameGeometry();
  const int frameW = o.width() - other->width(), frameH = o.height() - other->height();
  const QSize size(dialog->width() + frameW, dialog->height() + frameH);
  const QRect screen = other->screen() ? other->screen()->availableGeometry() : QRect(o.topLeft(), size);
  constexpr int kGap = 12;
  int y = o.bottom() + 1 + kGap;
  if (y + size.height() > screen.bottom() + 1) y = o.top() - kGap - size.height();
  int x = o.center().x() - size.width() / 2;
  x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
  y = std::max(y, screen.top());
  dialog->move(x, y);
}

void Apply(const ImportPanelView& v, QCheckBox* box, QLabel* label, QComboBox* combo) {
  const QSignalBlocker block(box);
  box->setChecked(v.checked);
  label->setVisible(v.selectorVisible);
  combo->setVisible(v.selectorVisible);
  label->setEnabled(v.selectorEnabled);
  combo->setEnabled(v.selectorEnabled);
  if (v.selected >= 0 && v.selected < combo->count()) {
    const QSignalBlocker blockCombo(combo);
    combo->setCurrentIndex(v.selected);
  }
}

}  // namespace

std::unique_ptr<StatusWindow> AcquisitionDialogsQt::OpenStatusWindow(const std::string& title) {
  auto window = std::make_unique<StatusWindowQt>(parent_, title);
  status_ = window->Window();
  return window;
}

void AcquisitionDialogsQt::RunArchiveProgress(const std::string& depot, int total, const ArchiveWork& work) {
  ArchiveProgressDialog dialog(parent_, depot, total, work);
  if (status_ && status_->isVisible()) PlaceBeside(&dialog, status_);
  dialog.exec();
}

std::optional<ImportChoice> AcquisitionDialogsQt::ChooseImportFiles(const std::filesystem::path& initialDirectory,
                                                                    ImportPanelRules& rules) {
  QFileDialog dialog(parent_, QStringLiteral("Kursdaten importieren"), Q(initialDirectory.string()),
                     QStringLiteral("Text-Dateien (*.txt)"));
  dialog.setObjectName(QStringLiteral("importDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Importieren"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
  dialog.setProxyModel(new GermanFileList(&dialog));
  dialog.setSidebarUrls({QUrl::fromLocalFile(Q(initialDirectory.parent_path().string())),
                         QUrl::fromLocalFile(Q(initialDirectory.string()))});
  const std::pair<const char*, const char*> tips[] = {{"backButton", "Zurück"},
                                                      {"forwardButton", "Vor"},
                                                      {"toParentButton", "Übergeordnetes Verzeichnis"},
                                                      {"newFolderButton", "Neuen Ordner erstellen"},
                                                      {"listModeButton", "Liste"},
                                                      {"detailModeButton", "Details"}};
  for (const auto& [name, tip] : tips)
    if (auto* b = dialog.findChild<QToolButton*>(QString::fromLatin1(name))) b->setToolTip(QString::fromUtf8(tip));

  // The fund panel below the file list.
  auto* panel = new QWidget(&dialog);
  panel->setObjectName(QStringLiteral("fundPanel"));
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 6, 0, 0);
  auto* box = new QCheckBox(QStringLiteral("Alle Fonds importieren"), panel);
  box->setObjectName(QStringLiteral("allFunds"));
  auto* label = new QLabel(QStringLiteral("Fond:"), panel);
  label->setObjectName(QStringLiteral("fundLabel"));
  auto* combo = new QComboBox(panel);
  combo->setObjectName(QStringLiteral("fund"));
  combo->setMinimumWidth(260);
  for (const std::string& f : rules.Funds()) combo->addItem(Q(f));
  row->addWidget(box);
  row->addSpacing(24);
  row->addWidget(label);
  row->addWidget(combo, 1);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
    grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());
  else if (dialog.layout())
    dialog.layout()->addWidget(panel);

  Apply(rules.Opened(), box, label, combo);
  QObject::connect(box, &QCheckBox::clicked, &dialog,
                   [&](bool checked) { Apply(rules.BoxClicked(checked), box, label, combo); });
  QObject::connect(combo, &QComboBox::currentIndexChanged, &dialog, [&](int i) { rules.FundChosen(i); });

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  rules.Ok(box->isChecked());
  ImportChoice choice;
  for (const QString& f : dialog.selectedFiles()) choice.files.emplace_back(f.toStdString());
  choice.allFunds = rules.AllFunds();
  choice.fund = rules.ChosenFund();
  return choice;
}

void AcquisitionDialogsQt::ShowPortrait(const PortraitIndex& index, const std::filesystem::path& portraitFile) {
  PortraitDialog dialog(parent_, index, portraitFile);
  dialog.exec();
}

}  // namespace tellurio
