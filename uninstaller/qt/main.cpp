// uninstaller: removes the program installed in its current directory, or,
// when that holds no uinstall.txt, in the directory of the uninstaller
// itself.

#include <QApplication>
#include <QIcon>

#include <filesystem>

#include "installer/InstallControl.h"
#include "platform/Process.h"
#include "platform/qt/QtPrompter.h"
#include "uninstaller/qt/UninstallerDialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vaskor"));
  QApplication::setApplicationName(QStringLiteral("uninstaller"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/uninstaller/app.svg")));

  using namespace tellurio;
  const std::filesystem::path start = DirectoryHoldingControlFile(kUninstallControlFile);

  QtPrompter prompter;
  SpawnedProcess process;
  UninstallerDialog dialog(UninstallerServices{prompter, process, CurrentSystemPaths()});
  prompter.SetParent(&dialog);
  if (!dialog.Open(start)) return 1;
  dialog.exec();
  return 0;
}
