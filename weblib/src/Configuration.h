#pragma once
// Where the library finds its servers, how long it waits, and the vendor
// marker of the vendor price table.
//
// Sources, each overriding the one before, key by key:
//   1. the built-in defaults below;
//   2. the user's file $XDG_CONFIG_HOME/Vaskor/marabu.conf
//      (without XDG_CONFIG_HOME: $HOME/.config/Vaskor/marabu.conf);
//   3. the file marabu.conf in the working directory;
//   4. the environment variables MARABU_PUBLISHER, MARABU_INDEX_SERVER,
//      MARABU_COMPARISON_SERVER, MARABU_VENDOR_MARKER,
//      MARABU_CONNECT_TIMEOUT, MARABU_TIMEOUT, MARABU_CA_FILE.
// Files hold "key = value" lines (keys publisher, index_server,
// comparison_server, vendor_marker, connect_timeout, timeout, ca_file);
// blank lines and lines starting with "#" or ";" are ignored.  Servers are
// "host" or "host:port" ("[v6 address]:port" for IPv6), plain HTTP, or the
// same after "http://" or "https://" (HTTPS, port 443 unless given); time
// limits are seconds, with a decimal point or comma; ca_file is the absolute
// path of a file of certificate authorities (PEM) that HTTPS servers are
// verified against instead of the system's store.  A missing file is no
// error.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace marabu {

struct ServerAddress {
  std::string host;
  int port = 80;
  bool https = false;
  // "host:port", as shown to the user.
  std::string Text() const;
  // "http://host:port" or "https://host:port" (brackets around an IPv6
  // address).
  std::string UrlPrefix() const;
};

struct Configuration {
  ServerAddress publisher{"kurse.tellurio.de", 80};
  ServerAddress indexServer{"boerse.tellurio.de", 80};
  ServerAddress comparisonServer{"fonds.tellurio.de", 80};
  std::string vendorMarker = "kursdaten.";
  long connectTimeoutMs = 5000;
  long totalTimeoutMs = 30000;
  // Certificate authorities for HTTPS; empty: the system's store.
  std::string caFile;
};

struct LoadedConfiguration {
  Configuration values;
  // German description of the first invalid entry ("" when all are valid);
  // the invalid entry itself is not applied.
  std::string problem;
};

// Reads a variable of the environment; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// Defaults, user file, the working directory's file and the environment.
LoadedConfiguration LoadConfiguration(const std::filesystem::path& workingDirectory,
                                      const EnvironmentLookup& environment);

// The same with the process environment.
LoadedConfiguration LoadConfiguration(const std::filesystem::path& workingDirectory);

// Applies the "key = value" lines of a configuration text; source names the
// file in messages.  Records the first problem in result.problem.
void ApplyConfigurationText(std::string_view text, const std::string& source, LoadedConfiguration& result);

// Parsers of single values; false when the text is not valid.
bool ParseServerAddress(std::string_view text, ServerAddress& out);
bool ParseSeconds(std::string_view text, long& milliseconds);

// The user's configuration file (see above); empty when neither
// XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path UserConfigurationFile(const EnvironmentLookup& environment);

}  // namespace marabu
