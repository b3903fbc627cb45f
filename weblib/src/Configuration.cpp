#include "Configuration.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "storage/ListFile.h"

namespace marabu {

namespace {

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

bool ParsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  port = value;
  return true;
}

enum class Key { Publisher, IndexServer, ComparisonServer, VendorMarker, ConnectTimeout, Timeout, CaFile };

struct KeyName {
  Key key;
  const char* fileKey;
  const char* environmentName;
};

constexpr KeyName kKeys[] = {
    {Key::Publisher, "publisher", "MARABU_PUBLISHER"},
    {Key::IndexServer, "index_server", "MARABU_INDEX_SERVER"},
    {Key::ComparisonServer, "comparison_server", "MARABU_COMPARISON_SERVER"},
    {Key::VendorMarker, "vendor_marker", "MARABU_VENDOR_MARKER"},
    {Key::ConnectTimeout, "connect_timeout", "MARABU_CONNECT_TIMEOUT"},
    {Key::Timeout, "timeout", "MARABU_TIMEOUT"},
    {Key::CaFile, "ca_file", "MARABU_CA_FILE"},
};

// Applies one value; false (nothing changed) when it is not valid.
bool Apply(Key key, std::string_view value, Configuration& config) {
  switch (key) {
    case Key::Publisher:
      return ParseServerAddress(value, config.publisher);
    case Key::IndexServer:
      return ParseServerAddress(value, config.indexServer);
    case Key::ComparisonServer:
      return ParseServerAddress(value, config.comparisonServer);
    case Key::VendorMarker:
      config.vendorMarker = std::string(value);
      return true;
    case Key::ConnectTimeout:
      return ParseSeconds(value, config.connectTimeoutMs);
    case Key::Timeout:
      return ParseSeconds(value, config.totalTimeoutMs);
    case Key::CaFile: {
      // An absolute path: a relative one would depend on the directory the
      // process happens to stand in.
      const std::string path(Trimmed(value));
      if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) return false;
      config.caFile = path;
      return true;
    }
  }
  return false;
}

void NoteProblem(LoadedConfiguration& result, std::string text) {
  if (result.problem.empty()) result.problem = std::move(text);
}

// A configuration file holds a few short lines; anything much larger is no
// configuration file.
constexpr size_t kMaxConfigurationBytes = size_t(1) << 20;

void ApplyFile(const std::filesystem::path& file, LoadedConfiguration& result) {
  std::string text;
  const tellurio::Status read = tellurio::ReadFileBytes(file, text, kMaxConfigurationBytes);
  if (read.code() == tellurio::Status::Code::NotFound) return;  // a missing file is no error
  if (!read.ok()) {
    // A file that is there but cannot be read (or is a pipe, a device, far
    // too large) would silently leave the defaults in force.
    NoteProblem(result, file.string() + ": " + read.message());
    return;
  }
  ApplyConfigurationText(text, file.string(), result);
}

}  // namespace

std::string ServerAddress::Text() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string ServerAddress::UrlPrefix() const { return (https ? "https://" : "http://") + Text(); }

bool ParseServerAddress(std::string_view text, ServerAddress& out) {
  text = Trimmed(text);
  ServerAddress parsed;
  auto startsWith = [&](std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
  };
  if (startsWith("https://")) {
    parsed.https = true;
    parsed.port = 443;
    text.remove_prefix(8);
  } else if (startsWith("http://")) {
    text.remove_prefix(7);
  }
  // "https://host/" names the same server as "https://host".
  if (!text.empty() && text.back() == '/') text.remove_suffix(1);
  std::string_view host = text;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return false;
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty() && (rest.front() != ':' || !ParsePort(rest.substr(1), parsed.port))) return false;
    for (char c : host)
      if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.'))
        return false;
  } else {
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
      host = text.substr(0, colon);
      if (!ParsePort(text.substr(colon + 1), parsed.port)) return false;
    }
    for (char c : host)
      if (!IsHostCharacter(c)) return false;
  }
  if (host.empty()) return false;
  parsed.host = std::string(host);
  out = parsed;
  return true;
}

bool ParseSeconds(std::string_view text, long& milliseconds) {
  text = Trimmed(text);
  long whole = 0;
  long fraction = 0;
  long scale = 1000;
  size_t i = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    whole = whole * 10 + (text[i] - '0');
    digits = true;
    if (whole > 3600) return false;
  }
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      digits = true;
      if (scale > 1) {
        scale /= 10;
        fraction += (text[i] - '0') * scale;
      }
    }
  }
  if (!digits || i != text.size()) return false;
  const long value = whole * 1000 + fraction;
  if (value <= 0 || value > 3600 * 1000) return false;
  milliseconds = value;
  return true;
}

void ApplyConfigurationText(std::string_view text, const std::string& source, LoadedConfiguration& result) {
  size_t lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;

    const std::string where = source + ", Zeile " + std::to_string(lineNumber);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      NoteProblem(result, where + ": \"Schlüssel = Wert\" erwartet.");
      continue;
    }
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    const KeyName* known = nullptr;
    for (const KeyName& k : kKeys)
      if (key == k.fileKey) known = &k;
    if (!known) {
      NoteProblem(result, where + ": unbekannter Schlüssel \"" + std::string(key) + "\".");
      continue;
    }
    if (!Apply(known->key, value, result.values))
      NoteProblem(result, where + ": ungültiger Wert \"" + std::string(value) + "\" für " + known->fileKey + ".");
  }
}

std::filesystem::path UserConfigurationFile(const EnvironmentLookup& environment) {
  const char* xdg = environment("XDG_CONFIG_HOME");
  if (xdg && *xdg) return std::filesystem::path(xdg) / "Vaskor" / "marabu.conf";
  const char* home = environment("HOME");
  if (home && *home) return std::filesystem::path(home) / ".config" / "Vaskor" / "marabu.conf";
  return {};
}

LoadedConfiguration LoadConfiguration(const std::filesystem::path& workingDirectory,
                                      const EnvironmentLookup& environment) {
  LoadedConfiguration result;
  const std::filesystem::path user = UserConfigurationFile(environment);
  if (!user.empty()) ApplyFile(user, result);
  if (!workingDirectory.empty()) ApplyFile(workingDirectory / "marabu.conf", result);
  for (const KeyName& k : kKeys) {
    const char* value = environment(k.environmentName);
    if (!value) continue;
    if (!Apply(k.key, value, result.values))
      NoteProblem(result,
                  std::string("Umgebungsvariable ") + k.environmentName + ": ungültiger Wert \"" + value + "\".");
  }
  return result;
}

LoadedConfiguration LoadConfiguration(const std::filesystem::path& workingDirectory) {
  return LoadConfiguration(workingDirectory, [](const char* name) { return std::getenv(name); });
}

}  // namespace marabu
