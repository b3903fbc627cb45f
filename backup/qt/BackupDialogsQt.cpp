#include "backup/qt/BackupDialogsQt.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "backup/DriveRules.h"
#include "platform/qt/DialogButtons.h"

namespace tellurio::backup {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A sunken one-line display, as the dialogs show the drive type and the
// chosen drive.
QLabel* Display(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  l->setMinimumWidth(200);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

// The dialogs' common frame: a drive icon beside the instruction, a body,
// and the OK / Abbrechen row.
class DriveDialog : public QDialog {
 public:
  DriveDialog(QWidget* parent, const QString& title, const QString& instruction) : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(32, 32));
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(instruction, this);
    head->addWidget(text, 1);
    outer->addLayout(head);
    outer->addSpacing(4);
    body_ = new QVBoxLayout;
    body_->setSpacing(10);
    outer->addLayout(body_);
    outer->addStretch();
    const OkCancelRow row = MakeOkCancelRow(this);
    ok_ = row.ok;
    outer->addLayout(row.layout);
    connect(ok_, &QPushButton::clicked, this, [this] { OnOk(); });
    setMinimumWidth(480);
  }

 protected:
  virtual void OnOk() = 0;
  void Step(DialogStep s) {
    if (s == DialogStep::Accept) accept();
    if (s == DialogStep::Cancel) reject();
  }
  QComboBox* DriveCombo(const std::vector<DriveEntry>& drives) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("drives"));
    combo->setMinimumWidth(260);
    for (const DriveEntry& d : drives) combo->addItem(Q(d.root.string()));
    return combo;
  }
  // Sets the combo box without telling the rules about it.
  static void Select(QComboBox* combo, int index) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index);
  }
  QVBoxLayout* body_;
  QPushButton* ok_;
};

class BackupDriveDialog final : public DriveDialog {
 public:
  BackupDriveDialog(QWidget* parent, Prompter& prompter, const std::vector<DriveEntry>& drives)
      : DriveDialog(parent, QStringLiteral("Datensicherung"),
                    QStringLiteral("Wählen Sie das Sicherungslaufwerk\nmit einem Doppelclick aus")),
        rules_(prompter, drives) {
    auto* box = new QGroupBox(QStringLiteral("Laufwerk"), this);
    auto* grid = new QGridLayout(box);
    combo_ = DriveCombo(drives);
    grid->addWidget(combo_, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Laufwerkstyp"), box), 1, 0);
    type_ = Display("driveType", box);
    grid->addWidget(type_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("ausgewähltes Laufwerk"), box), 2, 0);
    chosen_ = Display("chosenDrive", box);
    grid->addWidget(chosen_, 2, 1);
    grid->setColumnStretch(1, 1);
    body_->addWidget(box);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    body_->addWidget(status_);
    Show(rules_.view());
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int i) { Show(rules_.SelectionChanged(i)); });
    QTimer::singleShot(0, combo_, [this] { combo_->setFocus(); });
  }
  std::filesystem::path Chosen() const { return rules_.Chosen(); }

 protected:
  void OnOk() override {
    const DialogStep s = rules_.Ok();
    if (s == DialogStep::Stay) Show(rules_.view());  // back at the opening state
    Step(s);
  }

 private:
  void Show(const BackupDriveRules::View& v) {
    Select(combo_, v.selected);
    type_->setText(Q(v.typeText));
    chosen_->setText(Q(v.chosenDrive));
    status_->setText(Q(v.status));
    // Green when the drive can take the backup, dark red when not.
    status_->setStyleSheet(rules_.Possible() ? QStringLiteral("color: #1b6e20;") : QStringLiteral("color: #a01010;"));
  }
  BackupDriveRules rules_;
  QComboBox* combo_;
  QLabel* type_;
  QLabel* chosen_;
  QLabel* status_;
};

class RestoreDriveDialog final : public DriveDialog {
 public:
  RestoreDriveDialog(QWidget* parent, Prompter& prompter, const std::vector<DriveEntry>& drives,
                     const GenerationProbe& probe)
      : DriveDialog(parent, QStringLiteral("Datenrücksicherung"),
                    QStringLiteral("Wählen Sie das Laufwerk aus, auf dem sich die \ngesicherten Daten befinden, mit "
                                   "einem Doppelclick aus")),
        rules_(prompter, drives, probe) {
    auto* box = new QGroupBox(QStringLiteral("Laufwerk"), this);
    auto* row = new QHBoxLayout(box);
    combo_ = DriveCombo(drives);
    row->addWidget(combo_, 1);
    type_ = Display("driveType", box);
    type_->setMinimumWidth(170);
    row->addWidget(type_);
    body_->addWidget(box);
    auto* found = new QGroupBox(QStringLiteral("Sicherungsverzeichnisse"), this);
    auto* foundLayout = new QVBoxLayout(found);
    found_ = new QLabel(found);
    found_->setObjectName(QStringLiteral("found"));
    // Room for two lines, so that the dialog keeps its size.
    found_->setMinimumHeight(2 * found_->fontMetrics().lineSpacing() + 4);
    found_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    foundLayout->addWidget(found_);
    body_->addWidget(found);
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("result"));
    body_->addWidget(result_);
    Show(rules_.view());
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int i) { Show(rules_.SelectionChanged(i)); });
    QTimer::singleShot(0, combo_, [this] { combo_->setFocus(); });
  }
  std::filesystem::path Chosen() const { return rules_.Chosen(); }

 protected:
  void OnOk() override { Step(rules_.Ok()); }

 private:
  void Show(const RestoreDriveRules::View& v) {
    Select(combo_, v.selected);
    type_->setText(Q(v.typeText));
    found_->setText(Q(v.found));
    result_->setText(Q(v.result));
  }
  RestoreDriveRules rules_;
  QComboBox* combo_;
  QLabel* type_;
  QLabel* found_;
  QLabel* result_;
};

}  // namespace

std::optional<std::filesystem::path> BackupDialogsQt::ChooseBackupDrive(const std::vector<DriveEntry>& drives) {
  BackupDriveDialog d(parent_, prompter_, drives);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Chosen();
}

std::optional<std::filesystem::path> BackupDialogsQt::ChooseRestoreDrive(const std::vector<DriveEntry>& drives,
                                                                         const GenerationProbe& probe) {
  RestoreDriveDialog d(parent_, prompter_, drives, probe);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Chosen();
}

}  // namespace tellurio::backup
