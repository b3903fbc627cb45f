#include "Downloads.h"

#include <unistd.h>

#include "Configuration.h"
#include "PageParsers.h"
#include "ProviderTable.h"
#include "Today.h"
#include "calendar/Calendar.h"
#include "marabu/Marabu.h"
#include "platform/Codec1252.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace marabu {

namespace fs = std::filesystem;

namespace {

FetchError ConfigurationFailure(const LoadedConfiguration& config, const ServerAddress& server,
                                const std::string& subject) {
  FetchError e;
  e.kind = MARABU_ERROR_CONFIGURATION;
  e.server = server.Text();
  e.message = subject +
              " konnte nicht geladen werden: Die Einstellungen der Web-Bibliothek "
              "sind fehlerhaft (" +
              config.problem + ")";
  return e;
}

FetchError ArgumentFailure(const std::string& subject, const std::string& reason) {
  FetchError e;
  e.kind = MARABU_ERROR_ARGUMENT;
  e.message = subject + " konnte nicht geladen werden: " + reason;
  return e;
}

FetchError ReadFailure(const FetchRequest& request, const tellurio::Status& status) {
  FetchError e;
  e.kind = MARABU_ERROR_FILE;
  e.server = request.server.Text();
  e.message = request.subject + " vom Server " + e.server + " wurde gespeichert, die Datei \"" +
              request.target.string() + "\" ist aber nicht lesbar (" + status.message() + ").";
  return e;
}

FetchRequest MakeRequest(const Configuration& config, const ServerAddress& server, std::string path, fs::path target,
                         std::string subject) {
  FetchRequest r;
  r.server = server;
  r.path = std::move(path);
  r.target = std::move(target);
  r.connectTimeoutMs = config.connectTimeoutMs;
  r.totalTimeoutMs = config.totalTimeoutMs;
  r.caFile = config.caFile;
  r.subject = std::move(subject);
  return r;
}

// A name that becomes one directory level below "Fondpreise".
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

ParseContext ContextWith(std::string vendorMarker) {
  ParseContext context;
  context.vendorMarker = std::move(vendorMarker);
  const tellurio::PackedDate today = tellurio::Calendar(LibraryClock()).Today();
  context.today = tellurio::Calendar::FormatDate(today);
  context.year = tellurio::PackedYear(today);
  return context;
}

}  // namespace

namespace {

// The price file of one day (see DownloadPriceFile and DownloadPriceFileOf).
FetchError DownloadPriceFileOfDay(const std::string& webProvider, const std::string& priceDirectory, const fs::path& wd,
                                  tellurio::PackedDate day, const std::string& kSubject,
                                  std::vector<std::string>& lines) {
  const LoadedConfiguration config = LoadConfiguration(wd);
  if (!config.problem.empty()) return ConfigurationFailure(config, config.values.publisher, kSubject);
  if (!IsPlainName(priceDirectory))
    return ArgumentFailure(kSubject, "Der Anbietername \"" + priceDirectory + "\" taugt nicht als Verzeichnisname.");

  const std::string dayText = tellurio::Calendar::FormatDate(day);  // TT.MM.JJJJ
  const std::string fileName = dayText.substr(0, 2) + dayText.substr(3, 2) + dayText.substr(6, 4) + ".txt";
  std::string path;
  if (const std::optional<std::string_view> key = ProviderKey(webProvider))
    path = "/Daten/" + std::string(*key) + "/" + fileName;

  const fs::path directory = tellurio::fileset::PriceMonthDir(wd, priceDirectory, tellurio::PackedYear(day),
                                                              tellurio::kMonthNames[tellurio::PackedMonth(day)]);
  const FetchRequest request =
      MakeRequest(config.values, config.values.publisher, path, directory / fileName, kSubject);
  const FetchOutcome outcome = FetchToFile(request);
  if (!outcome.error.ok()) return outcome.error;

  const tellurio::Status read = tellurio::ReadTextLines(request.target, lines);
  if (!read.ok()) {
    lines.clear();
    return ReadFailure(request, read);
  }
  return {};
}

}  // namespace

FetchError DownloadPriceFile(const std::string& webProvider, const std::string& priceDirectory, const fs::path& wd,
                             std::vector<std::string>& lines) {
  lines.clear();
  // The clock is read once: file name, year and month directory must belong
  // to the same day even when the call runs across midnight.
  const tellurio::PackedDate today = tellurio::Calendar(LibraryClock()).Today();
  return DownloadPriceFileOfDay(webProvider, priceDirectory, wd, today, "Die Kursdatei", lines);
}

std::optional<tellurio::PackedDate> ParseDayText(const std::string& text) {
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
  for (size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u})
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  const tellurio::PackedDate d = tellurio::Calendar::ParseDate(text);
  const int year = tellurio::PackedYear(d), month = tellurio::PackedMonth(d), day = tellurio::PackedDay(d);
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > tellurio::Calendar::DaysInMonth(year, month))
    return std::nullopt;
  return d;
}

FetchError DownloadPriceFileOf(const std::string& webProvider, const std::string& priceDirectory, const fs::path& wd,
                               const std::string& date, std::vector<std::string>& lines) {
  lines.clear();
  const std::optional<tellurio::PackedDate> day = ParseDayText(date);
  if (!day) return ArgumentFailure("Die Kursdatei", "\"" + date + "\" ist kein gültiges Datum (TT.MM.JJJJ).");
  return DownloadPriceFileOfDay(webProvider, priceDirectory, wd, *day, "Die Kursdatei vom " + date, lines);
}

FetchError DownloadPortraits(const fs::path& wd) {
  static const std::string kSubject = "Die Portraitdatei";
  const LoadedConfiguration config = LoadConfiguration(wd);
  if (!config.problem.empty()) return ConfigurationFailure(config, config.values.publisher, kSubject);
  const FetchRequest request = MakeRequest(config.values, config.values.publisher, "/Daten/portrait.txt",
                                           wd / tellurio::fileset::kPortraitFile, kSubject);
  return FetchToFile(request).error;
}

FetchError DownloadDax(const fs::path& wd, std::vector<std::string>& appended) {
  appended.clear();
  static const std::string kSubject = "Die Indexseite mit dem DAX-Stand";
  // The date of the value is the day the page was asked for.
  const std::string today = tellurio::Calendar(LibraryClock()).TodayText();
  const LoadedConfiguration config = LoadConfiguration(wd);
  if (!config.problem.empty()) return ConfigurationFailure(config, config.values.indexServer, kSubject);
  const FetchRequest request = MakeRequest(config.values, config.values.indexServer, "/home/index.html",
                                           wd / tellurio::fileset::kIndexPage, kSubject);
  const FetchOutcome outcome = FetchToFile(request);
  if (!outcome.error.ok()) return outcome.error;
  if (outcome.bytes == 0) return {};

  std::vector<std::string> lines;
  const tellurio::Status read = tellurio::ReadTextLines(request.target, lines);
  if (!read.ok()) return ReadFailure(request, read);
  const std::optional<std::string> value = DaxValue(lines);
  if (value && !value->empty()) appended = {today, *value};
  return {};
}

FetchError DownloadComparison(const std::string& wkn, int mode, const fs::path& wd, std::vector<std::string>& converted,
                              bool& received) {
  received = false;
  converted.clear();
  static const std::string kSubject = "Die Vergleichsseite";
  const LoadedConfiguration config = LoadConfiguration(wd);
  if (!config.problem.empty()) return ConfigurationFailure(config, config.values.comparisonServer, kSubject);
  const std::string path = std::string("/fondsportrait/popchart/") +
                           (mode == 0 ? "wertentwicklung.hbs?wkn=" : "konkurenz.hbs?wkn=") +
                           PercentEncode(tellurio::Cp1252FromUtf8(wkn));
  const FetchRequest request =
      MakeRequest(config.values, config.values.comparisonServer, path, wd / "testi.txt", kSubject);
  const FetchOutcome outcome = FetchToFile(request);
  if (!outcome.error.ok()) return outcome.error;
  if (outcome.bytes == 0) return {};

  std::vector<std::string> lines;
  const tellurio::Status read = tellurio::ReadTextLines(request.target, lines);
  if (!read.ok()) return ReadFailure(request, read);
  lines.insert(lines.begin(), mode == 0 ? "Wertentwicklung" : "Konkurenz");
  HtmlToText(lines, converted, ContextWith(config.values.vendorMarker));
  // The conversion is done; a file that cannot be deleted only stays behind.
  ::unlink(request.target.c_str());
  received = true;
  return {};
}

ParseContext MakeParseContext(const fs::path& wd) { return ContextWith(LoadConfiguration(wd).values.vendorMarker); }

}  // namespace marabu
