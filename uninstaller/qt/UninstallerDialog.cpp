#include "uninstaller/qt/UninstallerDialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
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

void Fill(QListWidget* list, const std::vector<std::string>& names) {
  list->clear();
  for (const std::string& n : names) list->addItem(Q(n));
}

void RemoveLine(QListWidget* list, const std::string& name) {
  const auto found = list->findItems(Q(name), Qt::MatchExactly);
  if (!found.isEmpty()) delete found.first();
}

void Paint() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

void ShowUninstallerAbout(QWidget* parent) {
  ShowAboutBox(parent, QStringLiteral("Info über uninstaller"), QStringLiteral(":/uninstaller/app.svg"),
               QStringLiteral("<b>uninstaller</b> version 1.0<br><br>"
                              "Entfernt Tellurio wieder vom Rechner<br><br>"
                              "Copyright © 2026 Vaskor"));
}

UninstallerDialog::UninstallerDialog(UninstallerServices services, QWidget* parent)
    : QDialog(parent), uninstaller_(services, *this) {
  setObjectName(QStringLiteral("uninstallerDialog"));
  setWindowTitle(QStringLiteral("uninstaller"));
  setWindowIcon(QIcon(QStringLiteral(":/uninstaller/app.svg")));
  auto* outer = new QVBoxLayout(this);
  auto* lists = new QGridLayout;
  files_ = new QListWidget(this);
  files_->setObjectName(QStringLiteral("files"));
  systemFiles_ = new QListWidget(this);
  systemFiles_->setObjectName(QStringLiteral("systemFiles"));
  lists->addWidget(new QLabel(QStringLiteral("zu löschende Dateien"), this), 0, 0);
  lists->addWidget(new QLabel(QStringLiteral("aus der Registry zu löschende Elemente"), this), 0, 1);
  lists->addWidget(files_, 1, 0);
  lists->addWidget(systemFiles_, 1, 1);
  outer->addLayout(lists, 1);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progress"));
  outer->addWidget(progress_);
  auto* actionRow = new QHBoxLayout;
  actionRow->addWidget(new QLabel(QStringLiteral("Aktion:"), this));
  action_ = new QLabel(this);
  action_->setObjectName(QStringLiteral("action"));
  actionRow->addWidget(action_, 1);
  outer->addLayout(actionRow);

  auto* row = new QHBoxLayout;
  QPushButton* about = Button(QStringLiteral("über..."), "about", this);
  row->addWidget(about);
  row->addStretch();
  QPushButton* run = Button(QStringLiteral("Deinstallieren"), "uninstall", this);
  QPushButton* cancel = Button(QStringLiteral("Abbrechen"), "cancel", this);
  cancel->setDefault(true);
  row->addWidget(run);
  row->addWidget(cancel);
  outer->addLayout(row);

  connect(run, &QPushButton::clicked, this, [this, run, cancel] {
    run->setEnabled(false);
    cancel->setEnabled(false);
    uninstaller_.Uninstall();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(about, &QPushButton::clicked, this, [this] { ShowUninstallerAbout(this); });
  resize(620, 420);
}

void UninstallerDialog::ShowFiles(const std::vector<std::string>& names) { Fill(files_, names); }
void UninstallerDialog::ShowSystemFiles(const std::vector<std::string>& names) { Fill(systemFiles_, names); }
void UninstallerDialog::FileRemoved(const std::string& name) { RemoveLine(files_, name); }
void UninstallerDialog::SystemFileRemoved(const std::string& name) { RemoveLine(systemFiles_, name); }

void UninstallerDialog::ShowAction(const std::string& text) {
  action_->setText(Q(text));
  Paint();
}

void UninstallerDialog::SetProgress(int value, int maximum) {
  progress_->setRange(0, maximum);
  progress_->setValue(value);
  Paint();
}

}  // namespace tellurio
