#include "installer/Bundle.h"

#include "installer/ControlFile.h"
#include "installer/InstallControl.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// The lines of a UTF-8 text ("\n" or "\r\n" line ends), left in UTF-8.
std::vector<std::string> Utf8Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::vector<std::string> BundleControlLines(const std::vector<std::string>& files, std::uint64_t neededSpace,
                                            const std::string& licenceFile, const std::string& notesFile) {
  std::vector<std::string> lines = {"Vorgabe=", "Umbenennen=0", "Platz=" + std::to_string(neededSpace),
                                    "Anzahl=" + std::to_string(files.size())};
  lines.insert(lines.end(), files.begin(), files.end());
  lines.push_back("Zusatz=0");
  if (!licenceFile.empty()) lines.push_back("Lizenz=" + licenceFile);
  if (!notesFile.empty()) lines.push_back("Zusatztext=" + notesFile);
  return lines;
}

std::string WriteBundleControl(const fs::path& dir, const std::vector<std::string>& files,
                               const std::string& licenceText, const std::string& notesText) {
  std::uint64_t needed = 0;
  for (const std::string& f : files) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(dir / f, ec);
    if (ec) return "Die Datei " + (dir / f).string() + " fehlt im Paket.";
    needed += size;
  }
  auto writeText = [&](const char* name, const std::string& text) -> std::string {
    if (text.empty()) return {};
    const std::vector<std::string> lines = Utf8Lines(text);
    bool exact = true;
    const Status s = WriteFileAtomically(dir / name, ControlFileBytes(lines, &exact));
    if (!s.ok()) return s.Describe();
    return exact ? std::string() : std::string("Der Text für ") + name + " enthält Zeichen außerhalb von Windows-1252.";
  };
  for (const auto& [name, text] : {std::pair{kBundleLicenceFile, &licenceText}, {kBundleNotesFile, &notesText}})
    if (std::string problem = writeText(name, *text); !problem.empty()) return problem;
  const std::vector<std::string> lines = BundleControlLines(
      files, needed, licenceText.empty() ? "" : kBundleLicenceFile, notesText.empty() ? "" : kBundleNotesFile);
  const Status s = WriteFileAtomically(dir / kInstallControlFile, ControlFileBytes(lines));
  return s.ok() ? std::string() : s.Describe();
}

}  // namespace tellurio
