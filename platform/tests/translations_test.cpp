// Qt's own texts speak German once the translation is installed.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeySequence>
#include <QLocale>

#include "platform/qt/Translations.h"

namespace tellurio {
namespace {

TEST(Translations, ShortcutsAndStandardDialogsAreGerman) {
  const QLocale before;
  {
    const std::unique_ptr<QTranslator> german = InstallGermanQtTranslation();
    ASSERT_NE(german, nullptr) << "qt6-translations-l10n is not installed";
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_N).toString(QKeySequence::NativeText), QStringLiteral("Strg+N"));
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_F6).toString(QKeySequence::NativeText), QStringLiteral("Umschalt+F6"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
  }
  // Gone with its object: later tests see Qt's own texts again.
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_N).toString(QKeySequence::NativeText), QStringLiteral("Ctrl+N"));
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace tellurio
