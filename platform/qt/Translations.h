#pragma once
// Qt's own texts in German: the names of shortcut keys ("Strg+N") and the
// standard dialogs (file, print), from the translations Debian installs with
// qt6-translations-l10n.

#include <QTranslator>
#include <memory>

namespace tellurio {

// Makes German (Germany) the default locale and installs Qt's German
// translation in the running application.  The translator stays installed
// as long as the returned object lives.  Null when the translation files
// are missing; Qt's texts are English then and the program runs on.
std::unique_ptr<QTranslator> InstallGermanQtTranslation();

}  // namespace tellurio
