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
    list.Check();
    return detail::ResultOf(status, error);
  }

  DownloadResult FondportraitHolen(const std::string& wkn, std::vector<std::string>& out,
                                   const std::string& workingDirectory) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::FondportraitHolen(wkn.data(), wkn.size(), list.table(), workingDirectory.data(),
                                           workingDirectory.size(), &error);
    list.Check();
    return detail::ResultOf(status, error);
  }

  DownloadResult DAXLaden(std::vector<std::string>& out, const std::string& workingDirectory) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::DAXLaden(list.table(), workingDirectory.data(), workingDirectory.size(), &error);
    list.Check();
    return detail::ResultOf(status, error);
  }

  void BankenHolen(std::vector<std::string>& out) override {
    detail::ListBridge list(out);
    detail::CheckPlain(::BankenHolen(list.table()));
    list.Check();
  }

  std::string LeerzeichenLoeschen(const std::string& text) override {
    detail::TextBridge result;
    detail::CheckPlain(::LeerzeichenLoeschen(text.data(), text.size(), result.table()));
    result.Check();
    return std::move(result.text());
  }

  std::string HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out) override {
    detail::ListBridge input(in);
    detail::ListBridge output(out);
    detail::TextBridge result;
    detail::CheckPlain(::HtmlToText(input.table(), output.table(), result.table()));
    output.Check();
    result.Check();
    return std::move(result.text());
  }

  DownloadResult KonkurrenzHolen(const std::string& wkn, std::vector<std::string>& out,
                                 const std::string& workingDirectory, std::int32_t mode) override {
    detail::ListBridge list(out);
    MarabuError error{};
    const int status = ::KonkurrenzHolen(wkn.data(), wkn.size(), list.table(), workingDirectory.data(),
                                         workingDirectory.size(), mode, &error);
    list.Check();
    return detail::ResultOf(status, error);
  }
};

}  // namespace marabu
