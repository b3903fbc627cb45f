// tellurio-demo-data DIR: writes a demo data directory for the program.

#include <cstdio>

#include "app/demo/DemoData.h"
#include "calendar/Calendar.h"
#include "platform/Clock.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: tellurio-demo-data VERZEICHNIS\n");
    return 2;
  }
  tellurio::SystemClock clock;
  tellurio::Calendar calendar(clock);
  const tellurio::Status s = tellurio::demo::WriteDemoDataDirectory(argv[1], calendar);
  if (!s.ok()) {
    std::fprintf(stderr, "Die Demodaten konnten nicht angelegt werden: %s\n", s.Describe().c_str());
    return 1;
  }
  std::printf("Demodaten in %s angelegt.\n", argv[1]);
  return 0;
}
