#include "app/headless/HeadlessDownload.h"

#include <set>
#include <system_error>

#include "acquisition/PriceAcquisition.h"
#include "app/core/CTellurioDoc.h"
#include "platform/DirectoryLock.h"
#include "storage/FileSet.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// A message as lines: the title, then the text indented.
void Write(std::ostream& to, const std::string& title, const std::string& text) {
  to << title << ":";
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    to << (start == 0 ? " " : (line.empty() ? "" : "  ")) << line << "\n";
    start = end + 1;
  }
  to.flush();
}

// Message boxes as lines.  A question gets the answer that changes nothing:
// "Nein" (or "Abbrechen"), and says so.
class ConsolePrompter final : public Prompter {
 public:
  ConsolePrompter(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void Beep(BeepKind) override {}
  Answer Show(const Message& m) override {
    const bool failure = m.title == "Fehler";
    if (failure) ++failures_;
    Write(failure ? err_ : out_, m.title, m.text);
    switch (m.buttons) {
      case MessageButtons::Ok:
        return Answer::Ok;
      case MessageButtons::OkCancel:
        out_ << "  Ohne Bildschirm wird nicht gefragt: Antwort \"Abbrechen\".\n";
        return Answer::Cancel;
      case MessageButtons::YesNo:
      case MessageButtons::YesNoCancel:
        out_ << "  Ohne Bildschirm wird nicht gefragt: Antwort \"Nein\".\n";
        return Answer::No;
    }
    return Answer::Cancel;
  }
  int failures() const { return failures_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  int failures_ = 0;
};

// Progress lines instead of the status window.
class ConsoleStatus final : public StatusWindow {
 public:
  explicit ConsoleStatus(std::ostream& out) : out_(out) {}
  void SetSubject(const std::string& text) override { subject_ = text; }
  void SetRemaining(int) override {}
  void SetCurrent(const std::string& text) override {
    if (depotLines_)
      out_ << "Depot " << text << ":\n";
    else if (!subject_.empty())
      out_ << subject_ << ": " << text << "\n";
    out_.flush();
  }
  void ShowTextOnly() override {}
  void ShowDepotLines() override { depotLines_ = true; }
  void SetDay(const std::string& date) override {
    out_ << "  Kursdatei vom " << date << "\n";
    out_.flush();
  }

 private:
  std::ostream& out_;
  std::string subject_;
  bool depotLines_ = false;
};

class ConsoleAcquisitionDialogs final : public AcquisitionDialogs {
 public:
  explicit ConsoleAcquisitionDialogs(std::ostream& out) : out_(out) {}
  std::unique_ptr<StatusWindow> OpenStatusWindow(const std::string&) override {
    return std::make_unique<ConsoleStatus>(out_);
  }
  void RunArchiveProgress(const std::string&, int, const ArchiveWork& work) override {
    work([](int, const std::string&) {});
  }
  std::optional<ImportChoice> ChooseImportFiles(const fs::path&, ImportPanelRules&) override { return std::nullopt; }
  void ShowPortrait(const PortraitIndex&, const fs::path&) override {}

 private:
  std::ostream& out_;
};

// The shell's dialogs are never needed by the download run but for the
// conversion factor of a foreign fund currency, which only the statistics
// shown in the window use: it is not asked, and said so once per currency.
class ConsoleShellDialogs final : public ShellDialogs {
 public:
  explicit ConsoleShellDialogs(std::ostream& out) : out_(out) {}
  std::optional<std::string> ChooseDepot(const std::vector<std::string>&) override { return std::nullopt; }
  std::optional<NewDepotChoice> NewDepot(
      const std::vector<std::string>&, const std::vector<std::string>&,
      const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>&) override {
    return std::nullopt;
  }
  std::optional<std::string> AssignWebProvider(const std::vector<std::string>&) override { return std::nullopt; }
  std::optional<std::string> ChooseDepotToDelete(const std::vector<std::string>&) override { return std::nullopt; }
  std::optional<std::string> ChooseCurrency(const std::string&) override { return std::nullopt; }
  std::optional<std::string> EnterMoneyMarketRate(const std::string&) override { return std::nullopt; }
  std::optional<std::string> EnterConversionFactor(const std::string& currency,
                                                   const std::string& displayCurrency) override {
    if (asked_.insert(currency).second)
      out_ << "Hinweis: Ohne Bildschirm wird nicht nach dem Umrechnungsfaktor von " << currency << " in "
           << displayCurrency << " gefragt; die Kurse werden davon nicht berührt.\n";
    return std::nullopt;
  }

 private:
  std::ostream& out_;
  std::set<std::string> asked_;
};

}  // namespace

HeadlessArguments ParseHeadlessArguments(const std::vector<std::string>& arguments) {
  HeadlessArguments parsed;
  for (const std::string& a : arguments) {
    if (a == "--kurse-laden") parsed.download = true;
    if (a == "--hilfe" || a == "--help") parsed.help = true;
  }
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--verzeichnis") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        parsed.error = "Zu --verzeichnis fehlt das Datenverzeichnis.";
        return parsed;
      }
      parsed.directory = fs::path(arguments[++i]);
    } else if (parsed.download && a != "--kurse-laden" && a != "--hilfe" && a != "--help") {
      parsed.error = "Unbekannte Angabe \"" + a + "\".";
      return parsed;
    }
  }
  return parsed;
}

std::string HeadlessUsage() {
  return "Aufruf: tellurio [--verzeichnis VERZEICHNIS]\n"
         "        tellurio --kurse-laden [--verzeichnis VERZEICHNIS]\n"
         "\n"
         "Ohne Angaben zeigt Tellurio sein Fenster mit dem Datenverzeichnis, in dem es gestartet wird.\n"
         "\n"
         "  --kurse-laden             lädt die fehlenden Kurse aller Fondanbieter aus dem Internet, ohne Fenster\n"
         "                            und ohne Rückfragen (Fortschritt und Ergebnis als Textzeilen;\n"
         "                            Rückgabewert 0 bei Erfolg, 1 bei einem Fehler, 2 bei falschen Angaben)\n"
         "  --verzeichnis VERZEICHNIS das Datenverzeichnis (Vorgabe: das aktuelle Verzeichnis)\n"
         "  --hilfe                   zeigt diesen Text\n";
}

int RunHeadlessDownload(const fs::path& directory, HeadlessServices services) {
  std::ostream& out = services.out;
  std::ostream& err = services.err;
  std::error_code ec;
  if (!fs::is_directory(directory, ec)) {
    err << "Fehler: Das Datenverzeichnis \"" << directory.string() << "\" gibt es nicht.\n";
    return kHeadlessFailed;
  }
  fs::current_path(directory, ec);
  if (ec) {
    err << "Fehler: In das Datenverzeichnis \"" << directory.string() << "\" kann nicht gewechselt werden ("
        << ec.message() << ").\n";
    return kHeadlessFailed;
  }
  const fs::path wd = fs::current_path(ec);
  if (ec) {
    err << "Fehler: Das Datenverzeichnis \"" << directory.string() << "\" ist nicht lesbar.\n";
    return kHeadlessFailed;
  }
  // Before anything is read or written: no other copy may work here.
  const DirectoryLock lock(wd);
  if (!lock.ok()) {
    err << "Fehler: " << lock.Message() << "\nEs wurden keine Kurse geladen.\n";
    return kHeadlessFailed;
  }

  ConsolePrompter prompter(out, err);
  ConsoleShellDialogs shell(out);
  ConsoleAcquisitionDialogs dialogs(out);
  PriceAcquisition acquisition(dialogs, services.web);
  CTellurioDoc doc(DocumentServices{prompter, services.settings, services.clock, services.web, shell, {&acquisition}});
  acquisition.SetSession(&doc);

  // What interrupted saves left behind; the files they were to replace are
  // whole.  How many there were is of no interest.
  (void)fileset::RemoveLeftoverTemporaries(wd);
  DepotState& s = doc.State();
  s.workingDirectory = wd;
  s.euroRate = kEuroRate;
  // The display currency only matters for the statistics; it is read, not
  // written (the window writes its default at its start).
  s.currency = services.settings.Read(kSettingsSection, "Waehrung", "DM");
  if (s.currency == kSettingMissing) s.currency = "DM";
  s.depotNames = doc.ListDataFiles(".dat");
  s.providerNames = doc.ListDataFiles(".pls");
  out << "Kursdownload für das Datenverzeichnis " << wd.string() << " (heute ist der " << doc.calendar().TodayText()
      << ")\n";
  if (s.providerNames.empty()) {
    err << "Fehler: Im Datenverzeichnis " << wd.string() << " gibt es keine Depots. Es wurden keine Kurse geladen.\n";
    return kHeadlessFailed;
  }
  const bool completed = acquisition.DownloadPrices();
  if (completed && prompter.failures() == 0) {
    out << "Der Kursdownload ist beendet.\n";
    return kHeadlessOk;
  }
  err << "Der Kursdownload ist mit Fehlern beendet (siehe oben).\n";
  return kHeadlessFailed;
}

}  // namespace tellurio
