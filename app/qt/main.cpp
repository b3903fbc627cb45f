// Tellurio: starts in its working directory (the process current
// directory), runs the start of the depot session and shows the main window.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "acquisition/PriceAcquisition.h"
#include "acquisition/dialogs/AcquisitionDialogsQt.h"
#include "app/core/CTellurioDoc.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ProgramWindow.h"
#include "app/qt/dialogs/ShellDialogsQt.h"
#include "calendar/Calendar.h"
#include "marabu/MarabuLibrary.h"
#include "platform/Clock.h"
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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vaskor"));
  QApplication::setApplicationName(QStringLiteral("Tellurio"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  // Without the translation files Qt's own texts stay English; the program
  // works all the same (scripts/install-deps.sh installs them).
  const std::unique_ptr<QTranslator> qtGerman = tellurio::InstallGermanQtTranslation();

  using namespace tellurio;
  const std::filesystem::path workingDirectory = std::filesystem::current_path();
  std::unique_ptr<Clock> clock = MakeClock();
  QtPrompter prompter;
  QtSettings settings;
  marabu::MarabuLibrary web;
  ShellDialogsQt dialogs(prompter, nullptr);
  // Price acquisition is the document's hooks for the portrait refresh, the
  // fund archive reconciliation and the portrait index at start.
  AcquisitionDialogsQt acquisitionDialogs(nullptr);
  PriceAcquisition acquisition(acquisitionDialogs);
  CTellurioDoc doc(DocumentServices{prompter, settings, *clock, web, dialogs, acquisition});
  acquisition.SetDocument(&doc);
  if (doc.StartUp(workingDirectory) == CTellurioDoc::StartResult::Exit) return 0;

  // Made after the document and so destroyed before it: the panes (and the
  // ticker thread of the depot pane) use the document until they are gone.
  ProgramWindow window(doc, acquisition, prompter);
  CMainFrame& frame = window.frame();
  prompter.SetParent(&frame);
  dialogs.SetParent(&frame);
  acquisitionDialogs.SetParent(&frame);
  frame.show();
  return QApplication::exec();
}
