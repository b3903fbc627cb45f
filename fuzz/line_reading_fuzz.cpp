// Fuzz target: reading lines.  Any bytes are split into lines as every file
// of the program is (SplitLines), decoded as a list file by the line-by-line
// form and by the vectorised one the record store uses, and cut into texts
// whose list-file round trip RoundTrips predicts.
//
// Checked beyond "no crash":
// - the lines hold no line feed, and joined with "\n" give the bytes back
//   (apart from the one CR before each LF, and the last line break);
// - both list-file decoders give the same lines, the vectorised one at
//   every vector width;
// - every text RoundTrips accepts is read back unchanged after writing a
//   list with it, and every one it refuses is not (the name checks of the
//   program rest on this).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "platform/Codec1252.h"
#include "storage/CTextFile.h"
#include "storage/ListFile.h"
#include "storage/detail/LineTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::vector<std::string> lines = tellurio::SplitLines(bytes);
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    Check(lines[i].find('\n') == std::string::npos);
    if (i > 0) joined += '\n';
    joined += lines[i];
  }
  std::string expected;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    expected += bytes[i];
  }
  if (!expected.empty() && expected.back() == '\n') expected.pop_back();
  Check(joined == expected);

  // The line-by-line form: the lines split as above, each decoded on its
  // own, as UTF-8.
  std::vector<std::string> decoded = lines;
  tellurio::DecodeLines(decoded);
  for (std::string& l : decoded) l = tellurio::Utf8FromCp1252(l);
  // The record store's decoder at every vector width the processor has
  // (plain, SSE2, AVX2, AVX-512): each gives the lines of the line-by-line
  // form.
  for (int width = 3; width >= 0; --width) {
    tellurio::detail::LineTable::LimitVectorWidth(width);
    const tellurio::detail::LineTable table = tellurio::detail::LineTable::Decode(bytes);
    Check(table.size() == decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) Check(table.line(i) == decoded[i]);
  }
  tellurio::detail::LineTable::LimitVectorWidth(3);

  // The lines as texts (UTF-8, as the program holds them): a list with the
  // first of them first, and every other one after it.
  if (lines.empty()) return 0;
  std::vector<std::string> texts;
  for (const std::string& l : lines) texts.push_back(tellurio::Utf8FromCp1252(l));
  if (!tellurio::IsStorableFirstString(texts[0])) {
    std::string out;
    Check(!tellurio::EncodeListBytes(texts, texts.size(), out));
    return 0;
  }
  std::string encoded;
  Check(tellurio::EncodeListBytes(texts, texts.size(), encoded));
  const std::vector<std::string> back = tellurio::DecodeListBytes(encoded);
  Check(back.size() == texts.size());
  const unsigned char key = tellurio::ListKeyOf(texts[0]);
  for (size_t i = 0; i < texts.size(); ++i) Check(tellurio::RoundTrips(texts[i], key, i == 0) == (back[i] == texts[i]));
  return 0;
}
