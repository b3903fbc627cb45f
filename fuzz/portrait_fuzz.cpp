// Fuzz target: the portrait file.  The input is the file's bytes; after a
// 0x00 byte follow the WKNs to look for, one per line.  The file is written
// to a temporary file and searched in small blocks, so that texts are split
// by block ends.
//
// Checked beyond "no crash":
// - FirstLinesContaining finds for every text the first line that holds it,
//   exactly as a plain search over the lines does;
// - the index points at the block start before the WKN line of each fund;
// - a block read from any line has chart series of one length.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/Portrait.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Codec1252.h"
#include "storage/CTextFile.h"

namespace {

// The temporary portrait file of this process, removed at its end.
struct TemporaryFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("tellurio-fuzz-portrait-" + std::to_string(::getpid()) + ".txt");
  ~TemporaryFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const size_t cut = in.find('\0');
  const std::string_view bytes = in.substr(0, cut);
  std::vector<std::string> texts;
  if (cut != std::string_view::npos)
    for (const std::string& t : tellurio::SplitLines(in.substr(cut + 1))) texts.push_back(tellurio::Utf8FromCp1252(t));
  if (texts.size() > 16) texts.resize(16);

  static const TemporaryFile temporary;
  const std::filesystem::path& file = temporary.path;
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  // The plain search: lines split at LF (a CR stays part of its line).
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t nl = bytes.find('\n', start);
    lines.emplace_back(bytes.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  tellurio::Status status;
  long counted = 0;
  const std::vector<long> found = tellurio::FirstLinesContaining(file, texts, &status, 7, &counted);
  Check(status.ok());
  Check(counted == static_cast<long>(lines.size()));
  Check(found.size() == texts.size());
  for (size_t t = 0; t < texts.size(); ++t) {
    const std::string needle = tellurio::Cp1252FromUtf8(texts[t]);
    long expected = -1;
    if (!needle.empty() && needle.find_first_of("\r\n") == std::string::npos)
      for (size_t l = 0; l < lines.size() && expected < 0; ++l)
        if (lines[l].find(needle) != std::string::npos) expected = static_cast<long>(l);
    Check(found[t] == expected);
  }

  std::vector<tellurio::PortraitFund> funds;
  for (size_t t = 0; t < texts.size(); ++t) funds.push_back({"Fonds " + std::to_string(t), texts[t]});
  const tellurio::PortraitIndex index = tellurio::IndexPortraits(funds, file, nullptr, 5);
  for (const tellurio::PortraitEntry& e : index) {
    Check(e.line >= 0 && e.line < static_cast<long>(lines.size()));
    const tellurio::PortraitBlock block =
        tellurio::ParsePortraitBlock(tellurio::ReadLinesFrom(file, e.line, tellurio::kPortraitBlockLines));
    const tellurio::PortraitCharts& c = block.charts;
    Check(c.fund.size() == c.labels.size() && c.reference.size() == c.labels.size());
    Check(c.best.size() == c.worst.size() && (c.best.empty() || c.best.size() == c.labels.size()));
  }
  const tellurio::PortraitBlock whole = tellurio::ParsePortraitBlock(tellurio::ReadLinesFrom(file, 0, 4096));
  Check(whole.charts.fund.size() == whole.charts.labels.size());
  return 0;
}
