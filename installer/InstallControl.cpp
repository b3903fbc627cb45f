#include "installer/InstallControl.h"

#include <sys/stat.h>

#include <algorithm>

#include "installer/ControlFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void CheckName(const std::string& name, std::vector<std::string>& problems) {
  if (!IsPlainFileName(name)) problems.push_back("\"" + name + "\" ist kein einfacher Dateiname");
}

std::vector<std::string> TakeList(const std::vector<std::string>& lines, const char* key,
                                  std::vector<std::string>& problems) {
  ListEntries list = ReadList(lines, key);
  if (!list.problem.empty()) problems.push_back(list.problem);
  return std::move(list.entries);
}

}  // namespace

InstallControl ReadInstallControl(std::vector<std::string> lines) {
  InstallControl c;
  c.lines = std::move(lines);
  const auto& l = c.lines;

  for (const std::string& entry : TakeList(l, "Umbenennen=", c.problems)) {
    const size_t eq = entry.find('=');
    if (eq == std::string::npos) {
      c.problems.push_back("Umbenennen: \"" + entry + "\" enthält kein \"=\"");
      continue;
    }
    Rename r{entry.substr(0, eq), entry.substr(eq + 1)};
    CheckName(r.from, c.problems);
    CheckName(r.to, c.problems);
    c.renames.push_back(std::move(r));
  }

  const std::string space = KeyValue(l, "Platz=");
  if (!space.empty()) {
    if (const auto n = ParseCount(space))
      c.neededSpace = *n;
    else
      c.problems.push_back("Platz=" + space + ": keine gültige Zahl");
  }

  c.files = TakeList(l, "Anzahl=", c.problems);
  for (const std::string& f : c.files) CheckName(f, c.problems);

  c.withExtras = KeyValue(l, "Zusatz=") == "1";
  if (c.withExtras) {
    c.registrationProgram = KeyValue(l, "Programm=");
    c.extras = TakeList(l, "Zusatzanzahl=", c.problems);
    for (const std::string& f : c.extras) CheckName(f, c.problems);
  }

  c.licenceFile = KeyValue(l, "Lizenz=");
  if (!c.licenceFile.empty()) CheckName(c.licenceFile, c.problems);
  c.notesFile = KeyValue(l, "Zusatztext=");
  if (!c.notesFile.empty()) CheckName(c.notesFile, c.problems);
  return c;
}

std::vector<std::string> UninstallLines(const std::vector<std::string>& installLines, const fs::path& target,
                                        const std::vector<std::string>& skippedExtras, const std::string& linkPath) {
  std::vector<std::string> lines = installLines;
  const std::string vorgabe = "Vorgabe=" + target.string();
  if (lines.empty())
    lines.push_back(vorgabe);
  else
    lines[0] = vorgabe;

  if (!skippedExtras.empty()) {
    const ListEntries list = ReadList(lines, "Zusatzanzahl=");
    if (list.keyLine) {
      std::vector<std::string> kept;
      std::vector<std::string> toDrop = skippedExtras;
      for (const std::string& e : list.entries) {
        auto it = std::find(toDrop.begin(), toDrop.end(), e);
        if (it != toDrop.end())
          toDrop.erase(it);
        else
          kept.push_back(e);
      }
      const auto first = lines.begin() + static_cast<std::ptrdiff_t>(*list.keyLine + 1);
      lines.erase(first, first + static_cast<std::ptrdiff_t>(list.entries.size()));
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*list.keyLine + 1), kept.begin(), kept.end());
      std::string& keyLine = lines[*list.keyLine];
      keyLine = keyLine.substr(0, keyLine.rfind('=') + 1) + std::to_string(kept.size());
      if (kept.empty()) {
        keyLine = "Zusatzanzahl=0";
        if (const auto z = FindKey(lines, "Zusatz=")) lines[*z] = "Zusatz=0";
      }
    }
  }
  lines.push_back(linkPath);
  return lines;
}

std::optional<std::string> FindProgramFile(const std::vector<std::string>& files, const fs::path& dir) {
  for (const std::string& f : files) {
    if (f == kUninstallerProgram || f == std::string(kUninstallerProgram) + ".exe") continue;
    if (EndsWith(f, ".exe")) return f;
    if (EndsWith(f, ".so") || f.find(".so.") != std::string::npos) continue;
    struct stat st {};
    if (::stat((dir / f).c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111) != 0) return f;
  }
  return std::nullopt;
}

std::string FindIconFile(const std::vector<std::string>& files) {
  for (const std::string& f : files)
    if (EndsWith(f, ".svg") || EndsWith(f, ".png") || EndsWith(f, ".xpm")) return f;
  return {};
}

std::string ProgramName(const std::string& programFile) {
  return EndsWith(programFile, ".exe") ? programFile.substr(0, programFile.size() - 4) : programFile;
}

std::string MenuTitle(const std::string& programName) {
  std::string title = programName;
  if (!title.empty() && title[0] >= 'a' && title[0] <= 'z') title[0] = static_cast<char>(title[0] - 'a' + 'A');
  return title;
}

std::filesystem::path DirectoryHoldingControlFile(const char* controlFile) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path current = fs::current_path(ec);
  if (fs::exists(current / controlFile, ec)) return current;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec).parent_path();
  if (!ec && fs::exists(self / controlFile, ec)) return self;
  return current;
}

}  // namespace tellurio
