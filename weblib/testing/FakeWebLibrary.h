#pragma once
// A scripted stand-in for the web library in the program's tests: no network
// and no shared library, only what the test puts in.
//
// - priceFiles[webProvider] is what FileAusInternetLaden returns (an unknown
//   provider gives no lines); it writes no file.
// - FileVomTagAusInternetLaden returns datedPriceFiles[webProvider + "|" +
//   date], or for `today` priceFiles[webProvider]; any other day is the
//   publisher's 404 (NotFound).  It writes no file either.
// - portraitFile, when set, is written byte for byte to
//   workingDirectory/portrait.txt by FondportraitHolen.
// - daxValue, when set, makes DAXLaden append `today` and the value.
// - failure, when set, is returned by every download, which then changes
//   nothing (FileAusInternetLaden leaves out empty).
// - providers is what BankenHolen returns; internalFailure, when set, is its
//   failure instead.
// - HtmlToText (clears its output) and KonkurrenzHolen (leaves it as it is)
//   answer as for an empty page; the program does not call them.
// - calls records every call as "<export> <argument>|<argument>...".

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "marabu/MarabuClient.h"

namespace marabu::testing {

class FakeWebLibrary final : public WebLibrary {
 public:
  std::map<std::string, std::vector<std::string>> priceFiles;
  std::map<std::string, std::vector<std::string>> datedPriceFiles;
  std::optional<std::string> portraitFile;
  std::optional<std::string> daxValue;
  std::string today = "05.03.2001";
  std::optional<DownloadResult> failure;
  std::vector<std::string> providers;
  // When set, BankenHolen fails with it (an internal error of the library).
  std::optional<DownloadResult> internalFailure;
  std::vector<std::string> calls;

  // A failure as the real library reports an unreachable server.
  static DownloadResult ConnectFailure(const std::string& server) {
    DownloadResult r;
    r.kind = ErrorKind::Connect;
    r.server = server;
    r.message = "Die Kursdatei konnte nicht vom Server " + server +
                " geladen werden: Es konnte keine Verbindung aufgebaut werden (Server nicht "
                "erreichbar oder Verbindung abgelehnt).";
    return r;
  }

  // The publisher has no file for that day, as the real library reports it.
  static DownloadResult NotFound(const std::string& server, const std::string& date) {
    DownloadResult r;
    r.kind = ErrorKind::HttpStatus;
    r.httpStatus = 404;
    r.server = server;
    r.message = "Die Kursdatei vom " + date + " konnte nicht vom Server " + server +
                " geladen werden: Der Server antwortete mit dem Status 404 (nicht gefunden).";
    return r;
  }

  void ArbeitsverzeichnisEinstellen(const std::string& path) override {
    calls.push_back("ArbeitsverzeichnisEinstellen " + path);
  }

  DownloadResult FileAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                      const std::string& priceDirectory, const std::string& workingDirectory) override {
    calls.push_back("FileAusInternetLaden " + webProvider + "|" + priceDirectory + "|" + workingDirectory);
    out.clear();
    if (failure) return *failure;
    if (auto it = priceFiles.find(webProvider); it != priceFiles.end()) out = it->second;
    return {};
  }

  DownloadResult FileVomTagAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                            const std::string& priceDirectory, const std::string& workingDirectory,
                                            const std::string& date) override {
    calls.push_back("FileVomTagAusInternetLaden " + webProvider + "|" + priceDirectory + "|" + workingDirectory + "|" +
                    date);
    out.clear();
    if (failure) return *failure;
    if (auto it = datedPriceFiles.find(webProvider + "|" + date); it != datedPriceFiles.end()) {
      out = it->second;
      return {};
    }
    if (date == today) {
      if (auto it = priceFiles.find(webProvider); it != priceFiles.end()) out = it->second;
      return {};
    }
    return NotFound("kurse.example:80", date);
  }

  DownloadResult FondportraitHolen(const std::string& wkn, std::vector<std::string>&,
                                   const std::string& workingDirectory) override {
    calls.push_back("FondportraitHolen " + wkn + "|" + workingDirectory);
    if (failure) return *failure;
    if (portraitFile) {
      std::ofstream file(std::filesystem::path(workingDirectory) / "portrait.txt", std::ios::binary | std::ios::trunc);
      file << *portraitFile;
      if (!file) {
        DownloadResult r;
        r.kind = ErrorKind::File;
        r.message = "portrait.txt konnte nicht geschrieben werden.";
        return r;
      }
    }
    return {};
  }

  DownloadResult DAXLaden(std::vector<std::string>& out, const std::string& workingDirectory) override {
    calls.push_back("DAXLaden " + workingDirectory);
    if (failure) return *failure;
    if (daxValue) {
      out.push_back(today);
      out.push_back(*daxValue);
    }
    return {};
  }

  DownloadResult BankenHolen(std::vector<std::string>& out) override {
    calls.push_back("BankenHolen");
    if (internalFailure) return *internalFailure;
    out = providers;
    return {};
  }

  DownloadResult LeerzeichenLoeschen(const std::string& text, std::string& out) override {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
      out = text;
      return {};
    }
    const size_t last = text.find_last_not_of(' ');
    out = text.substr(first, last - first + 1);
    return {};
  }

  DownloadResult HtmlToText(const std::vector<std::string>&, std::vector<std::string>& out,
                            std::string& result) override {
    calls.push_back("HtmlToText");
    out.clear();
    result.clear();
    return {};
  }

  DownloadResult KonkurrenzHolen(const std::string& wkn, std::vector<std::string>&, const std::string& workingDirectory,
                                 std::int32_t mode) override {
    calls.push_back("KonkurrenzHolen " + wkn + "|" + workingDirectory + "|" + std::to_string(mode));
    if (failure) return *failure;
    return {};
  }
};

}  // namespace marabu::testing
