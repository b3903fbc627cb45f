#include "installer/qt/InstallerDialogsQt.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/qt/AboutBox.h"
#include "platform/qt/DialogButtons.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setMinimumWidth(110);
  b->setAutoDefault(false);
  return b;
}

QString TextOf(const std::vector<std::string>& lines) {
  QString text;
  for (const std::string& l : lines) text += Q(l) + QLatin1Char('\n');
  return text;
}

// "Lizenzbedingungen": the text read-only; with a choice or for reading only.
bool ShowText(QWidget* parent, const QString& title, const std::vector<std::string>& lines, bool choice) {
  QDialog d(parent);
  d.setObjectName(choice ? QStringLiteral("licenceDialog") : QStringLiteral("notesDialog"));
  d.setWindowTitle(title);
  auto* outer = new QVBoxLayout(&d);
  if (choice)
    outer->addWidget(new QLabel(
        QStringLiteral("Bitte lesen Sie die Lizenzbedingungen. Installiert wird nur, wenn Sie sie akzeptieren."), &d));
  auto* text = new QPlainTextEdit(&d);
  text->setObjectName(QStringLiteral("text"));
  text->setReadOnly(true);
  text->setPlainText(TextOf(lines));
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  outer->addWidget(text, 1);
  auto* row = new QHBoxLayout;
  row->addStretch();
  if (choice) {
    QPushButton* accept = Button(QStringLiteral("Akzeptieren"), "accept", &d);
    QPushButton* refuse = Button(QStringLiteral("nicht akzeptieren"), "refuse", &d);
    row->addWidget(accept);
    row->addWidget(refuse);
    QObject::connect(accept, &QPushButton::clicked, &d, &QDialog::accept);
    QObject::connect(refuse, &QPushButton::clicked, &d, &QDialog::reject);
    refuse->setFocus();
  } else {
    QPushButton* ok = MakeDialogButton(DialogButton::Ok, &d);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    row->addWidget(ok);
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
  }
  outer->addLayout(row);
  d.resize(620, 460);
  return d.exec() == QDialog::Accepted;
}

// "Installationspfade wählen".
class PathChoiceDialog final : public QDialog {
 public:
  PathChoiceDialog(QWidget* parent, PathChoice& rules) : QDialog(parent), rules_(rules) {
    setObjectName(QStringLiteral("pathChoiceDialog"));
    setWindowTitle(QStringLiteral("Installationspfade wählen"));
    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("drives"));
    for (size_t i = 0; i < rules_.DriveList().size(); ++i) drives_->addItem(Q(rules_.DriveLabel(i)));
    drives_->setCurrentIndex(rules_.CurrentDrive());
    form->addRow(QStringLiteral("Laufwerk:"), drives_);
    outer->addLayout(form);
    browsing_ = new QLabel(this);
    browsing_->setObjectName(QStringLiteral("browsing"));
    outer->addWidget(browsing_);
    directories_ = new QListWidget(this);
    directories_->setObjectName(QStringLiteral("directories"));
    outer->addWidget(directories_, 1);
    outer->addWidget(new QLabel(QStringLiteral("aktueller Installationspfad:"), this));
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("path"));
    outer->addWidget(path_);
    const OkCancelRow row = MakeOkCancelRow(this);
    QPushButton* ok = row.ok;
    outer->addLayout(row.layout);

    connect(drives_, &QComboBox::currentIndexChanged, this, [this](int index) {
      if (!rules_.ChooseDrive(index)) {
        const QSignalBlocker block(drives_);
        drives_->setCurrentIndex(rules_.CurrentDrive());
      }
      Refresh();
    });
    connect(directories_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
      rules_.OpenDirectory(item->text().toStdString());
      Refresh();
    });
    connect(path_, &QLineEdit::textEdited, this, [this](const QString& t) { rules_.EditPath(t.toStdString()); });
    connect(ok, &QPushButton::clicked, this, [this] {
      rules_.EditPath(path_->text().toStdString());
      if (rules_.Ok() == DialogStep::Accept) accept();
    });
    Refresh();
    resize(520, 460);
  }

 private:
  void Refresh() {
    browsing_->setText(QStringLiteral("Verzeichnisse in %1 (Doppelklick öffnet):").arg(Q(rules_.Browsing().string())));
    directories_->clear();
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const std::string& d : rules_.Directories()) directories_->addItem(new QListWidgetItem(folder, Q(d)));
    path_->setText(Q(rules_.PathText()));
  }

  PathChoice& rules_;
  QComboBox* drives_;
  QLabel* browsing_;
  QListWidget* directories_;
  QLineEdit* path_;
};

QLabel* Value(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(QLatin1String(name));
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

}  // namespace

bool InstallerDialogsQt::AcceptLicence(const std::vector<std::string>& lines) {
  return ShowText(parent_, QStringLiteral("Lizenzbedingungen"), lines, true);
}

void InstallerDialogsQt::ShowNotes(const std::vector<std::string>& lines) {
  ShowText(parent_, QStringLiteral("Hinweise"), lines, false);
}

bool InstallerDialogsQt::ChooseTarget(PathChoice& rules) {
  PathChoiceDialog d(parent_, rules);
  return d.exec() == QDialog::Accepted;
}

void ShowInstallerAbout(QWidget* parent) {
  ShowAboutBox(parent, QStringLiteral("Info über Installer"), QStringLiteral(":/installer/app.svg"),
               QStringLiteral("<b>Installer</b> Version 1.0<br><br>"
                              "Installationsprogramm für Tellurio<br><br>"
                              "Copyright © 2026 Vaskor"));
}

InstallerDialog::InstallerDialog(InstallerServices services, InstallerDialogs& dialogs, QWidget* parent)
    : QDialog(parent), installer_(services, *this, dialogs) {
  setObjectName(QStringLiteral("installerDialog"));
  setWindowTitle(QStringLiteral("Installationsprogramm"));
  setWindowIcon(QIcon(QStringLiteral(":/installer/app.svg")));
  auto* outer = new QVBoxLayout(this);

  auto* head = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/installer/app.svg")).pixmap(48, 48));
  head->addWidget(icon, 0, Qt::AlignTop);
  auto* intro = new QLabel(QStringLiteral("<b>Tellurio installieren</b><br>"
                                          "Das Programm wird aus dem Quellpfad in den Zielpfad kopiert."),
                           this);
  head->addWidget(intro, 1);
  outer->addLayout(head);

  auto* grid = new QGridLayout;
  source_ = Value("source", this);
  target_ = Value("target", this);
  free_ = Value("free", this);
  needed_ = Value("needed", this);
  change_ = Button(QStringLiteral("Ändern..."), "change", this);
  grid->addWidget(new QLabel(QStringLiteral("Quellpfad:"), this), 0, 0);
  grid->addWidget(source_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Zielpfad:"), this), 1, 0);
  grid->addWidget(target_, 1, 1);
  grid->addWidget(change_, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Freier Plattenplatz:"), this), 2, 0);
  grid->addWidget(free_, 2, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("benötigte Plattenkapazität:"), this), 3, 0);
  grid->addWidget(needed_, 3, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  outer->addLayout(grid);

  status_ = Value("status", this);
  QFont bold = status_->font();
  bold.setBold(true);
  status_->setFont(bold);
  outer->addWidget(status_);
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  outer->addWidget(line);

  auto* progress = new QGridLayout;
  action_ = Value("action", this);
  progress->addWidget(new QLabel(QStringLiteral("Aktion:"), this), 0, 0);
  progress->addWidget(action_, 0, 1);
  file_ = new QProgressBar(this);
  file_->setObjectName(QStringLiteral("fileProgress"));
  total_ = new QProgressBar(this);
  total_->setObjectName(QStringLiteral("totalProgress"));
  progress->addWidget(new QLabel(QStringLiteral("Datei"), this), 1, 0);
  progress->addWidget(file_, 1, 1);
  progress->addWidget(new QLabel(QStringLiteral("Gesamt"), this), 2, 0);
  progress->addWidget(total_, 2, 1);
  progress->setColumnStretch(1, 1);
  outer->addLayout(progress);

  auto* row = new QHBoxLayout;
  QPushButton* about = Button(QStringLiteral("über..."), "about", this);
  row->addWidget(about);
  row->addStretch();
  start_ = Button(QStringLiteral("Start"), "start", this);
  start_->setDefault(true);
  cancel_ = Button(QStringLiteral("Abbrechen"), "cancel", this);
  row->addWidget(start_);
  row->addWidget(cancel_);
  outer->addLayout(row);

  connect(change_, &QPushButton::clicked, this, [this] { installer_.ChangeTarget(); });
  connect(start_, &QPushButton::clicked, this, [this] { StartClicked(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(about, &QPushButton::clicked, this, [this] { ShowInstallerAbout(this); });
  setMinimumWidth(600);
}

InstallerDialog::~InstallerDialog() = default;

void InstallerDialog::StartClicked() {
  for (QPushButton* b : {start_, cancel_, change_}) b->setEnabled(false);
  const DialogStep step = installer_.Start();
  for (QPushButton* b : {start_, cancel_, change_}) b->setEnabled(true);
  if (step == DialogStep::Accept) accept();
  if (step == DialogStep::Cancel) reject();
}

void InstallerDialog::Paint() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void InstallerDialog::ShowSource(const std::string& text) { source_->setText(Q(text)); }
void InstallerDialog::ShowTarget(const std::string& text) { target_->setText(Q(text)); }
void InstallerDialog::ShowFreeSpace(const std::string& text) { free_->setText(Q(text)); }
void InstallerDialog::ShowNeededSpace(const std::string& text) { needed_->setText(Q(text)); }
void InstallerDialog::ShowStatus(const std::string& text) { status_->setText(Q(text)); }

void InstallerDialog::ShowAction(const std::string& text) {
  action_->setText(Q(text));
  Paint();
}

void InstallerDialog::SetFileProgress(int value, int maximum) {
  file_->setRange(0, maximum);
  file_->setValue(value);
  Paint();
}

void InstallerDialog::SetTotalProgress(int value, int maximum) {
  total_->setRange(0, maximum);
  total_->setValue(value);
  Paint();
}

}  // namespace tellurio
