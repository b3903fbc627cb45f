#include "portfolio/DepotStores.h"

#include <sys/stat.h>

#include "portfolio/Names.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// What a message calls the store: "des Depots X" or "des Fondarchivs des Depots X".
std::string OfStore(StoreKind kind, const std::string& depot) {
  return kind == StoreKind::Depot ? "des Depots " + Displayable(depot)
                                  : "des Fondarchivs des Depots " + Displayable(depot);
}

std::string Records(int n) { return n == 1 ? "1 Datensatz (Fonds)" : std::to_string(n) + " Datensätze (Fonds)"; }

// Identifies the state of a file, so that a file that changed is reported
// again.
std::string FileState(const fs::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return p.string() + "|-";
  return p.string() + "|" + std::to_string(st.st_ino) + "|" + std::to_string(st.st_size) + "|" +
         std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

}  // namespace

std::string Displayable(const std::string& name) {
  std::string out;
  size_t characters = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if ((c & 0xC0) != 0x80 && ++characters > 80) {
      out += "…";
      break;
    }
    out += c < 32 || c == 127 ? '?' : static_cast<char>(c);
  }
  return out;
}

DepotStores::DepotStores(Prompter& prompter, const Calendar& calendar) : prompter_(prompter), calendar_(calendar) {}

void DepotStores::ReportOnce(const std::string& key, const Message& m) {
  if (!reported_.insert(key).second) return;
  prompter_.Show(m);
}

StoreOpened DepotStores::Open(const fs::path& wd, const std::string& depot, StoreKind kind, RecordStore& store,
                              bool createMissing) {
  if (std::optional<std::string> why = RefuseName(depot, NameKind::Depot)) {
    store.MarkUnreadable(Status::Error(Status::Code::Refused, depot, *why));
    ReportOnce("name|" + depot,
               Message{"Fehler", "Das Depot \"" + Displayable(depot) + "\" kann nicht geöffnet werden:\n" + *why,
                       MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return StoreOpened::Unreadable;
  }
  const bool depotKind = kind == StoreKind::Depot;
  const fs::path base = depotKind ? fileset::DepotBase(wd, depot) : fileset::ArchiveBase(wd, depot);
  const std::vector<int>& widths = depotKind ? fileset::kDepotRowWidths : fileset::kArchiveRowWidths;
  const fs::path data = fs::path(base).concat(".dat");
  std::error_code ec;
  const bool exists = fs::exists(fs::symlink_status(data, ec));
  if (!exists && !createMissing) {
    // Binds without writing: Create writes only when the data file is missing.
    store.MarkUnreadable(Status::Error(Status::Code::NotFound, data.string(), "Die Datei existiert nicht."));
    return StoreOpened::Missing;
  }
  store.SetCopyDate(calendar_.TodayText());
  const Status created = store.Create(base, static_cast<int>(widths.size()), widths);
  if (!created.ok())
    ReportOnce("create|" + FileState(data) + "|" + created.message(),
               Message{"Fehler",
                       "Die Dateien " + OfStore(kind, depot) + " konnten nicht angelegt werden:\n" + created.Describe(),
                       MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  const Status opened = store.Open();
  if (!opened.ok()) {
    ReportOnce(
        "read|" + FileState(data) + "|" + opened.message(),
        Message{"Fehler",
                "Die Datei\n\n" + data.string() + "\n\n" + OfStore(kind, depot) +
                    " konnte nicht gelesen werden: " + opened.message() + ".\n\nEs konnten 0 Datensätze (Fonds) " +
                    "gelesen werden. Damit ihr Inhalt nicht verloren geht, ist " +
                    (depotKind ? "das Depot" : "das Fondarchiv") +
                    " schreibgeschützt geöffnet: Änderungen daran werden abgelehnt, bis die Datei wieder "
                    "gelesen werden kann.",
                MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return StoreOpened::Unreadable;
  }
  if (!store.Repaired()) return StoreOpened::Read;
  std::string kept;
  for (const fs::path& copy : store.DamagedCopies()) kept += "\n" + copy.filename().string();
  ReportOnce("repaired|" + FileState(data),
             Message{"Hinweis",
                     "Die Datei\n\n" + data.string() + "\n\n" + OfStore(kind, depot) +
                         " war beschädigt und wurde beim Öffnen ausgebessert. " + store.DamageDescription() +
                         "\n\nGelesen wurden " + Records(store.RecordCount()) +
                         ".\n\nBevor etwas darüber gespeichert wird, wird die beschädigte Fassung neben ihr "
                         "aufbewahrt unter:\n" +
                         kept,
                     MessageButtons::Ok, MessageIcon::Exclamation, BeepKind::Exclamation});
  return StoreOpened::Repaired;
}

bool DepotStores::OpenBoth(const fs::path& wd, const std::string& depot, RecordStore& depotStore,
                           RecordStore& archive) {
  const StoreOpened d = Open(wd, depot, StoreKind::Depot, depotStore);
  const StoreOpened a = Open(wd, depot, StoreKind::Archive, archive);
  return d != StoreOpened::Unreadable && a != StoreOpened::Unreadable;
}

bool DepotStores::ReadList(const fs::path& file, std::vector<std::string>& out) {
  const Status read = ReadListFile(file, out);
  if (read.ok()) return true;
  ReportOnce("list|" + FileState(file) + "|" + read.message(),
             Message{"Fehler",
                     "Die Datei\n\n" + file.string() + "\n\nkonnte nicht gelesen werden: " + read.message() +
                         ".\n\nSie wird nicht überschrieben, bis sie wieder gelesen werden kann.",
                     MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  return false;
}

std::vector<std::string> DepotStores::DepotsOfProvider(const fs::path& wd, const std::string& provider,
                                                       bool* readable) {
  const fs::path file = fileset::ProviderList(wd, provider);
  std::vector<std::string> lines;
  const Status read = ReadListFile(file, lines);
  if (readable) *readable = read.ok();
  if (!read.ok()) {
    ReportOnce("list|" + FileState(file) + "|" + read.message(),
               Message{"Fehler",
                       "Die Liste der Depots des Fondanbieters " + Displayable(provider) + "\n\n" + file.string() +
                           "\n\nkonnte nicht gelesen werden: " + read.message() +
                           ".\n\nDie Depots dieses Anbieters werden übergangen, bis die Datei wieder gelesen werden "
                           "kann.",
                       MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return {};
  }
  std::vector<std::string> depots;
  std::string refused;
  for (std::string& name : lines) {
    if (std::optional<std::string> why = RefuseName(name, NameKind::Depot)) {
      refused += "\n\"" + Displayable(name) + "\": " + *why;
      continue;
    }
    depots.push_back(std::move(name));
  }
  if (!refused.empty())
    ReportOnce("names|" + FileState(file),
               Message{"Hinweis",
                       "In der Liste der Depots des Fondanbieters " + Displayable(provider) + "\n\n" + file.string() +
                           "\n\nstehen Namen, die kein Depotname sein können. Sie werden übergangen:\n" + refused,
                       MessageButtons::Ok, MessageIcon::Exclamation, BeepKind::Exclamation});
  return depots;
}

}  // namespace tellurio
