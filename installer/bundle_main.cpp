// tellurio-bundle DIR LICENCE NOTES FILE...: writes the control files of a
// release bundle into DIR, which holds the FILEs (the files the installer
// copies, in this order); LICENCE and NOTES are UTF-8 text files.

#include <cstdio>
#include <string>
#include <vector>

#include "installer/Bundle.h"
#include "storage/ListFile.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "Aufruf: %s VERZEICHNIS LIZENZ HINWEISE DATEI...\n", argv[0]);
    return 2;
  }
  std::string licence, notes;
  for (const auto& [path, text] : {std::pair{argv[2], &licence}, {argv[3], &notes}}) {
    if (const tellurio::Status s = tellurio::ReadFileBytes(path, *text); !s.ok()) {
      std::fprintf(stderr, "%s\n", s.Describe().c_str());
      return 1;
    }
  }
  const std::vector<std::string> files(argv + 4, argv + argc);
  const std::string problem = tellurio::WriteBundleControl(argv[1], files, licence, notes);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  return 0;
}
