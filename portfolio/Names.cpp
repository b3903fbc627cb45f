#include "portfolio/Names.h"

#include "platform/Codec1252.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace {

std::string Label(NameKind kind) { return kind == NameKind::Depot ? "Depotname" : "Name des Fondanbieters"; }

}  // namespace

std::optional<std::string> RefuseName(const std::string& name, NameKind kind) {
  const std::string what = Label(kind);
  if (name.find_first_not_of(' ') == std::string::npos)
    return "Der " + what + " darf nicht leer sein oder nur aus Leerzeichen bestehen.";
  for (unsigned char c : name) {
    if (c < 32 || c == 127) return "Der " + what + " darf keine Steuerzeichen enthalten.";
  }
  // A name that went through a lossy conversion (a byte that was no UTF-8
  // shown as U+FFFD) would name files other than the ones it came from.
  if (!IsValidUtf8(name) || name.find("\xEF\xBF\xBD") != std::string::npos)
    return "Der " + what + " enthält Zeichen, die nicht gelesen werden konnten.";
  if (name.find('/') != std::string::npos)
    return "Der " + what + " darf keinen Schrägstrich \"/\" enthalten, weil er als Dateiname benutzt wird.";
  if (name == "." || name == "..") return "Die Namen \".\" und \"..\" sind als " + what + " nicht erlaubt.";
  if (name[0] == '%' || name[0] == '(')
    return "Der " + what +
           " darf nicht mit \"%\" oder \"(\" beginnen, weil die Datendateien einen solchen Namen nicht speichern "
           "können.";
  if (kind == NameKind::Depot && name.rfind("n_", 0) == 0)
    return "Ein Depotname darf nicht mit \"n_\" beginnen, weil so die Dateien der Fondarchive heißen.";
  if (name.size() > 200) return "Der " + what + " ist zu lang.";
  return std::nullopt;
}

std::optional<std::string> RefuseListLine(const std::string& name, NameKind kind, const std::string& firstLine,
                                          bool isFirstLine) {
  if (RoundTrips(name, ListKeyOf(isFirstLine ? name : firstLine), isFirstLine)) return std::nullopt;
  return "Der " + Label(kind) + " \"" + name +
         "\" enthält Zeichen, die in den Datendateien nicht gespeichert werden können\n"
         "(zum Beispiel große Umlaute oder Akzente an dieser Stelle). Bitte wählen Sie einen anderen Namen.";
}

}  // namespace tellurio
