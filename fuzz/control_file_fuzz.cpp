// Fuzz target: the installer's control files (install.txt, uinstall.txt)
// from arbitrary bytes.
//
// Checked beyond "no crash": a control file without refused entries names
// only plain file names; lines written back read as the same lines; the
// record for the uninstaller starts with the target and ends with the link.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "installer/ControlFile.h"
#include "installer/InstallControl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tellurio;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = ControlLines(bytes);
  if (ControlLines(ControlFileBytes(lines)) != lines) std::abort();

  const InstallControl control = ReadInstallControl(lines);
  if (control.problems.empty()) {
    for (const std::string& f : control.files)
      if (!IsPlainFileName(f)) std::abort();
    for (const std::string& f : control.extras)
      if (!IsPlainFileName(f)) std::abort();
    for (const Rename& r : control.renames)
      if (!IsPlainFileName(r.from) || !IsPlainFileName(r.to)) std::abort();
  }
  std::vector<std::string> skipped;
  if (!control.extras.empty()) skipped.push_back(control.extras.front());
  const std::vector<std::string> record = UninstallLines(lines, "/opt/Tellurio", skipped, "/apps/T/t.desktop");
  if (record.empty() || record.front() != "Vorgabe=/opt/Tellurio" || record.back() != "/apps/T/t.desktop") std::abort();
  return 0;
}
