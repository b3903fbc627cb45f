// tellurio-demo-publisher: a local stand-in for the publisher's web server,
// the index page server and the comparison page server, all on one port.
// Runs until SIGINT or SIGTERM; exit status 0 then, 1 when the address
// cannot be bound, 2 for invalid arguments.

#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Funds.h"
#include "Publisher.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const demo::ParsedArguments parsed = demo::ParseArguments(arguments);
  if (parsed.help) {
    std::fputs(demo::UsageText().c_str(), stdout);
    return 0;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "%s\n\n%s", parsed.error.c_str(), demo::UsageText().c_str());
    return 2;
  }

  // The signals are taken by sigwait below, on this thread; every thread the
  // server starts inherits the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  demo::PublisherServer server(parsed.options);
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("Demo-Kursserver läuft auf %s://%s:%d/\n", parsed.options.certFile.empty() ? "http" : "https",
              parsed.options.bind.c_str(), server.port());
  for (const demo::Provider& p : demo::DemoProviders())
    std::printf("  %-28s /Daten/%s/TTMMJJJJ.txt  (%zu Fonds)\n", p.displayName.c_str(), p.key.c_str(), p.funds.size());
  std::fflush(stdout);

  int signalNumber = 0;
  sigwait(&stopSignals, &signalNumber);
  server.Stop();
  return 0;
}
