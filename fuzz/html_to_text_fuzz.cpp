// libFuzzer target for the page parsers: any bytes, cut into lines as the
// library reads a downloaded file, go through the page recognition, every
// page kind's extraction and the DAX value search.  The first byte chooses
// the vendor marker (that of the sample pages, the default one, none, or "<",
// which makes nearly every page a vendor page), so that the vendor price
// table is reached as well.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PageParsers.h"
#include "platform/Codec1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  marabu::ParseContext context;
  context.today = "05.03.2003";
  context.year = 2003;
  if (!bytes.empty()) {
    static constexpr const char* kMarkers[] = {"kurse.vendor-test.", "kursdaten.", "", "<"};
    context.vendorMarker = kMarkers[static_cast<unsigned char>(bytes.front()) % 4];
    bytes.remove_prefix(1);
  }

  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    size_t cut = end;
    if (cut > start && bytes[cut - 1] == '\r') --cut;
    lines.push_back(tellurio::Utf8FromCp1252(bytes.substr(start, cut - start)));
    start = end + 1;
  }

  std::vector<std::string> out = {"vorher"};
  const std::string result = marabu::HtmlToText(lines, out, context);
  // Price tables give whole six-entry records only.
  const marabu::PageKind kind = marabu::RecognisePage(lines, context.vendorMarker).kind;
  if ((kind == marabu::PageKind::VendorPriceTable || kind == marabu::PageKind::ProviderPriceTableA ||
       kind == marabu::PageKind::ProviderPriceTableB) &&
      out.size() % 6 != 0)
    __builtin_trap();
  (void)marabu::DaxValue(lines);
  return 0;
}
