// installer: installs the program from its source directory, the directory
// it is started in, or, when that holds no install.txt, the directory of the
// installer itself (a bundle started from a file manager).

#include <QApplication>
#include <QIcon>

#include <filesystem>

#include "installer/InstallControl.h"
#include "installer/qt/InstallerDialogsQt.h"
#include "platform/Drives.h"
#include "platform/qt/QtPrompter.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vaskor"));
  QApplication::setApplicationName(QStringLiteral("Installer"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/installer/app.svg")));

  using namespace tellurio;
  const std::filesystem::path source = DirectoryHoldingControlFile(kInstallControlFile);

  QtPrompter prompter;
  SystemDrives drives;
  DesktopEntryFiles links;
  SpawnedProcess process;
  InstallerDialogsQt dialogs(nullptr);
  InstallerDialog dialog(InstallerServices{prompter, drives, links, process, CurrentSystemPaths()}, dialogs);
  prompter.SetParent(&dialog);
  dialogs.SetParent(&dialog);
  if (!dialog.Open(source)) return 1;
  dialog.exec();
  return 0;
}
