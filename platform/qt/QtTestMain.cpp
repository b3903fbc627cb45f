// main() for widget tests: a QApplication on the offscreen platform, and any
// Qt warning turns into a test failure (a dialog that logs a warning has a
// wiring fault even when its assertions pass).

#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

#include <cstdlib>
#include <string>

namespace {
void FailOnWarning(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  const std::string text = msg.toStdString();
  // The offscreen platform cannot resolve font families the tests do not rely on.
  if (text.find("QFont::") != std::string::npos || text.find("propagateSizeHints") != std::string::npos) return;
  ADD_FAILURE() << "Qt message: " << text;
}
}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("TELLURIO_SOUND", "off", 0);
  QApplication app(argc, argv);
  qInstallMessageHandler(FailOnWarning);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
