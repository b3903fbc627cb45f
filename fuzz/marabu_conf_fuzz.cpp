// Fuzz target: the configuration file marabu.conf.  Any text is applied as
// the file's content.
//
// Checked beyond "no crash": whatever the text, the configuration holds
// only values the library can use (a host of allowed characters, a port of
// 1 to 65535, time limits within an hour), the first problem names the file
// and a line, and applying the same text again changes nothing more.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Configuration.h"
#include "fuzz/FuzzCheck.h"

namespace {

void CheckServer(const marabu::ServerAddress& s) {
  Check(!s.host.empty());
  Check(s.port >= 1 && s.port <= 65535);
  for (char c : s.host)
    Check(c > ' ' && c != '/' && c != '@' && c != '?' && c != '#' && static_cast<unsigned char>(c) < 127);
  // What the program shows and requests reads back as the same address.
  marabu::ServerAddress again;
  Check(marabu::ParseServerAddress(s.Text(), again));
  Check(again.host == s.host && again.port == s.port);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  marabu::LoadedConfiguration once;
  marabu::ApplyConfigurationText(text, "marabu.conf", once);
  for (const marabu::ServerAddress* s :
       {&once.values.publisher, &once.values.indexServer, &once.values.comparisonServer})
    CheckServer(*s);
  Check(once.values.connectTimeoutMs > 0 && once.values.connectTimeoutMs <= 3600 * 1000);
  Check(once.values.totalTimeoutMs > 0 && once.values.totalTimeoutMs <= 3600 * 1000);
  if (!once.problem.empty()) Check(once.problem.rfind("marabu.conf, Zeile ", 0) == 0);

  marabu::LoadedConfiguration twice = once;
  marabu::ApplyConfigurationText(text, "marabu.conf", twice);
  Check(twice.values.publisher.Text() == once.values.publisher.Text());
  Check(twice.values.indexServer.Text() == once.values.indexServer.Text());
  Check(twice.values.comparisonServer.Text() == once.values.comparisonServer.Text());
  Check(twice.values.vendorMarker == once.values.vendorMarker);
  Check(twice.values.connectTimeoutMs == once.values.connectTimeoutMs);
  Check(twice.values.totalTimeoutMs == once.values.totalTimeoutMs);
  Check(twice.problem == once.problem);
  return 0;
}
