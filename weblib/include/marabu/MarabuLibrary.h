#pragma once
// The real library behind marabu::WebLibrary: every method calls its export.
// Only code that really links libmarabu includes this header (the program,
// the library's own tests); everything else sees the interface of
// MarabuClient.h, so that no object file of it refers to the exports.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "marabu/MarabuClient.h"

namespace marabu {

// The real library: every method calls its export.
class MarabuLibrary final : public WebLibrary {
 public:
  void ArbeitsverzeichnisEinstellen(const std::string& path) override {
    ::ArbeitsverzeichnisEinstellen(path.data(), path.size());
  }

  DownloadResult FileAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                      const std::string& priceDirectory, const std::string& workingDirectory) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status =
        ::FileAusInternetLaden(list.table(), webProvider.data(), webProvider.size(), priceDirectory.data(),
                               priceDirectory.size(), workingDirectory.data(), workingDirectory.size(), &error);
    return detail::ResultOf(status, error, list.Failed());
  }

  DownloadResult FileVomTagAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                            const std::string& priceDirectory, const std::string& workingDirectory,
                                            const std::string& date) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::FileVomTagAusInternetLaden(
        list.table(), webProvider.data(), webProvider.size(), priceDirectory.data(), priceDirectory.size(),
        workingDirectory.data(), workingDirectory.size(), date.data(), date.size(), &error);
    return detail::ResultOf(status, error, list.Failed());
  }

  DownloadResult FondportraitHolen(const std::string& wkn, std::vector<std::string>& out,
                                   const std::string& workingDirectory) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::FondportraitHolen(wkn.data(), wkn.size(), list.table(), workingDirectory.data(),
                                           workingDirectory.size(), &error);
    return detail::ResultOf(status, error, list.Failed());
  }

  DownloadResult DAXLaden(std::vector<std::string>& out, const std::string& workingDirectory) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::DAXLaden(list.table(), workingDirectory.data(), workingDirectory.size(), &error);
    return detail::ResultOf(status, error, list.Failed());
  }

  DownloadResult BankenHolen(std::vector<std::string>& out) override {
    detail::ListBridge list(out);
    const int status = ::BankenHolen(list.table());
    return detail::PlainResultOf(status, list.Failed());
  }

  DownloadResult LeerzeichenLoeschen(const std::string& text, std::string& out) override {
    detail::TextBridge result;
    const int status = ::LeerzeichenLoeschen(text.data(), text.size(), result.table());
    const DownloadResult r = detail::PlainResultOf(status, result.Failed());
    if (r.ok()) out = std::move(result.text());
    return r;
  }

  DownloadResult HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out,
                            std::string& resultText) override {
    detail::ListBridge input(in);
    detail::ListBridge output(out);
    detail::TextBridge result;
    const int status = ::HtmlToText(input.table(), output.table(), result.table());
    const DownloadResult r = detail::PlainResultOf(status, output.Failed() || result.Failed());
    if (r.ok()) resultText = std::move(result.text());
    return r;
  }

  DownloadResult KonkurrenzHolen(const std::string& wkn, std::vector<std::string>& out,
                                 const std::string& workingDirectory, std::int32_t mode) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::KonkurrenzHolen(wkn.data(), wkn.size(), list.table(), workingDirectory.data(),
                                         workingDirectory.size(), mode, &error);
    return detail::ResultOf(status, error, list.Failed());
  }
};

}  // namespace marabu
