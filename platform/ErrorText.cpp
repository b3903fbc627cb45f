#include "platform/ErrorText.h"

#include <cerrno>
#include <cstring>

namespace tellurio {

std::string GermanErrorText(int e) {
  switch (e) {
    case 0:
      return "kein Fehler";
    case ENOENT:
      return "Datei oder Verzeichnis nicht gefunden";
    case EACCES:
    case EPERM:
      return "Zugriff verweigert";
    case ENOSPC:
      return "Der Datenträger ist voll";
    case EDQUOT:
      return "Das Speicherkontingent ist erschöpft";
    case EROFS:
      return "Der Datenträger ist schreibgeschützt";
    case EEXIST:
      return "Die Datei existiert bereits";
    case ENOTDIR:
      return "Ein Teil des Pfades ist kein Verzeichnis";
    case EISDIR:
      return "Der Pfad ist ein Verzeichnis";
    case ENOTEMPTY:
      return "Das Verzeichnis ist nicht leer";
    case EMFILE:
    case ENFILE:
      return "Zu viele geöffnete Dateien";
    case EIO:
      return "Ein-/Ausgabefehler des Datenträgers";
    case ENAMETOOLONG:
      return "Der Dateiname ist zu lang";
    case EXDEV:
      return "Verschieben zwischen Laufwerken ist nicht möglich";
    case EBUSY:
      return "Die Datei wird gerade benutzt";
    case ENOMEM:
      return "Nicht genügend Arbeitsspeicher";
    case EFBIG:
      return "Die Datei ist zu groß";
    default:
      break;
  }
  return std::string("Systemfehler ") + std::to_string(e) + " (" + std::strerror(e) + ")";
}

}  // namespace tellurio
