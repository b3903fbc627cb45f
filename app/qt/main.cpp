// Tellurio: starts in its working directory (the process current
// directory, or the one given with --verzeichnis), takes the lock of that
// directory, runs the start of the depot session and shows the main window.
// With --kurse-laden it runs the download without a window and without a
// display instead (app/headless).

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QIcon>

#include <sys/statvfs.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>

#include "acquisition/PriceAcquisition.h"
#include "acquisition/qt/AcquisitionDialogsQt.h"
#include "app/core/CTellurioDoc.h"
#include "app/core/DocumentBackup.h"
#include "app/headless/HeadlessDownload.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ProgramWindow.h"
#include "app/qt/ShellDialogsQt.h"
#include "backup/BackupCommands.h"
#include "backup/qt/BackupDialogsQt.h"
#include "calendar/Calendar.h"
#include "marabu/MarabuLibrary.h"
#include "platform/Clock.h"
#include "platform/DirectoryLock.h"
#include "platform/Drives.h"
#include "platform/HugePages.h"
#include "platform/qt/QtPrompter.h"
#include "platform/qt/QtSettings.h"
#include "platform/qt/Translations.h"

namespace {

// TELLURIO_TODAY=TT.MM.JJJJ fixes "today", for demonstrations and tests.
std::unique_ptr<tellurio::Clock> MakeClock() {
  if (const char* t = std::getenv("TELLURIO_TODAY")) {
    const tellurio::PackedDate d = tellurio::Calendar::ParseDate(t);
    if (tellurio::PackedYear(d) > 1900)
      return std::make_unique<tellurio::FixedClock>(
          tellurio::CivilDate{tellurio::PackedYear(d), tellurio::PackedMonth(d), tellurio::PackedDay(d)});
  }
  return std::make_unique<tellurio::SystemClock>();
}

// TELLURIO_DRIVES=dir1:dir2:... offers these directories as the drives of
// the backup dialogs instead of the mounted file systems, each as a
// removable medium (read-only when its file system is mounted so), for
// demonstrations and manual tests on a machine without a spare drive.
class DirectoryDrives final : public tellurio::Drives {
 public:
  explicit DirectoryDrives(const std::string& list) {
    std::stringstream in(list);
    for (std::string dir; std::getline(in, dir, ':');)
      if (!dir.empty()) dirs_.push_back(dir);
  }
  // Asked afresh each time, as the mount table is: a drive remounted
  // read-only since the last dialog shows so.
  std::vector<tellurio::Drive> List() const override {
    std::vector<tellurio::Drive> drives;
    for (const std::string& dir : dirs_) {
      struct statvfs st {};
      const bool readOnly = ::statvfs(dir.c_str(), &st) == 0 && (st.f_flag & ST_RDONLY) != 0;
      drives.push_back(tellurio::Drive{dir, tellurio::DriveType::Removable, readOnly});
    }
    return drives;
  }
  std::optional<std::uint64_t> FreeSpace(const std::filesystem::path& dir) const override {
    return system_.FreeSpace(dir);
  }

 private:
  std::vector<std::string> dirs_;
  tellurio::SystemDrives system_;
};

std::unique_ptr<tellurio::Drives> MakeDrives() {
  if (const char* dirs = std::getenv("TELLURIO_DRIVES")) return std::make_unique<DirectoryDrives>(dirs);
  return std::make_unique<tellurio::SystemDrives>();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tellurio;
  // Before anything else: this may start the program once more.
  UseHugePagesForMalloc(argv);
  const HeadlessArguments arguments = ParseHeadlessArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (arguments.help) {
    std::fputs(HeadlessUsage().c_str(), stdout);
    return 0;
  }
  if (!arguments.error.empty()) {
    std::fprintf(stderr, "%s\n\n%s", arguments.error.c_str(), HeadlessUsage().c_str());
    return kHeadlessUsage;
  }
  if (arguments.download) {
    // No display: a core application is enough for the settings.
    QCoreApplication core(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vaskor"));
    QCoreApplication::setApplicationName(QStringLiteral("Tellurio"));
    std::unique_ptr<Clock> clock = MakeClock();
    QtSettings settings;
    marabu::MarabuLibrary web;
    std::error_code ec;
    const std::filesystem::path dir = arguments.directory ? *arguments.directory : std::filesystem::current_path(ec);
    return RunHeadlessDownload(dir, HeadlessServices{*clock, settings, web, std::cout, std::cerr});
  }
  if (arguments.directory) {
    std::error_code ec;
    std::filesystem::current_path(*arguments.directory, ec);
    if (ec) {
      std::fprintf(stderr, "Das Datenverzeichnis \"%s\" gibt es nicht oder es ist nicht zugänglich.\n",
                   arguments.directory->c_str());
      return 1;
    }
  }

  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vaskor"));
  QApplication::setApplicationName(QStringLiteral("Tellurio"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  // Without the translation files Qt's own texts stay English; the program
  // works all the same (scripts/install-deps.sh installs them).
  const std::unique_ptr<QTranslator> qtGerman = tellurio::InstallGermanQtTranslation();

  const std::filesystem::path workingDirectory = std::filesystem::current_path();
  QtPrompter prompter;
  // One program per data directory, taken before anything is read or
  // written; held until the program ends.
  const DirectoryLock lock(workingDirectory);
  if (!lock.ok()) {
    prompter.Show(Message{"Hinweis", lock.Message(), MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return 1;
  }
  std::unique_ptr<Clock> clock = MakeClock();
  QtSettings settings;
  marabu::MarabuLibrary web;
  ShellDialogsQt dialogs(prompter, nullptr);
  // Price acquisition is the document's hooks for the portrait refresh, the
  // fund archive reconciliation and the portrait index at start.
  AcquisitionDialogsQt acquisitionDialogs(nullptr);
  PriceAcquisition acquisition(acquisitionDialogs, web);
  CTellurioDoc doc(DocumentServices{prompter, settings, *clock, web, dialogs, {&acquisition}});
  acquisition.SetSession(&doc);
  // Backup and restore; the restore is also what the first start offers.
  std::unique_ptr<Drives> drives = MakeDrives();
  backup::PosixFileLayer backupFiles;
  backup::BackupDialogsQt backupDialogs(prompter, nullptr);
  backup::BackupCommands backupCommands(backupDialogs, prompter, *drives, backupFiles);
  DocumentBackup documentBackup(doc, backupCommands);
  doc.SetRestoreOffer(&documentBackup);
  if (doc.StartUp(workingDirectory) == CTellurioDoc::StartResult::Exit) return 0;

  // Made after the document and so destroyed before it: the panes (and the
  // ticker thread of the depot pane) use the document until they are gone.
  ProgramWindow window(doc, acquisition, prompter, &documentBackup);
  CMainFrame& frame = window.frame();
  prompter.SetParent(&frame);
  dialogs.SetParent(&frame);
  acquisitionDialogs.SetParent(&frame);
  backupDialogs.SetParent(&frame);
  frame.show();
  return QApplication::exec();
}
