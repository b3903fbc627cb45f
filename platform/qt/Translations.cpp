#include "platform/qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace tellurio {

std::unique_ptr<QTranslator> InstallGermanQtTranslation() {
  const QLocale german(QLocale::German, QLocale::Germany);
  QLocale::setDefault(german);
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return nullptr;
  if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

}  // namespace tellurio
