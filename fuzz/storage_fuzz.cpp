// Fuzz target: list-file decoding and opening a record store from arbitrary
// data and index bytes.  The input is split at its first 0x00 byte into the
// data file and the index file.
//
// Checked beyond "no crash, no out-of-bounds read": the opened store is
// consistent (one key per record, whole rows only), and what it writes reads
// back with the same records and rows.  (The values themselves need not come
// back byte for byte: the format cannot hold every text.)

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace {

tellurio::RecordStore& Store(int layout) {
  static tellurio::RecordStore stores[2];
  static bool created = false;
  if (!created) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tellurio-fuzz";
    std::filesystem::create_directories(dir);
    if (!stores[0].Create(dir / "depot", 6, {4, 2, 4, 4, 2, 2}).ok() ||
        !stores[1].Create(dir / "n_depot", 2, {4, 2}).ok())
      std::abort();
    created = true;
  }
  return stores[layout];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const size_t cut = in.find('\0');
  const std::string_view dataBytes = in.substr(0, cut);
  const std::string_view indexBytes = cut == std::string_view::npos ? std::string_view() : in.substr(cut + 1);

  (void)tellurio::DecodeListBytes(in);

  for (int layout = 0; layout < 2; ++layout) {
    tellurio::RecordStore& s = Store(layout);
    s.Load(dataBytes, indexBytes);
    const int n = s.RecordCount();
    Check(static_cast<int>(s.Keys().size()) == (n == 0 ? 1 : n));
    std::vector<size_t> sizes;
    for (int r = 0; r < n; ++r) {
      Check(s.Values(0, r).size() == static_cast<size_t>(s.RowWidth(0)));
      for (int t = 0; t < s.SectionCount(); ++t) sizes.push_back(s.Values(t, r).size());
      for (int t = 1; t < s.SectionCount(); ++t) Check(s.Values(t, r).size() % static_cast<size_t>(s.RowWidth(t)) == 0);
      std::string key;
      std::vector<std::string> rows;
      s.ReadRows(key, 1, -1, s.RecordLine(1, s.Keys()[r]), rows);
    }
    const std::string once = s.DataFileBytes();
    std::string keys;
    tellurio::EncodeListBytes(s.Keys(), s.Keys().size(), keys);
    s.Load(once, keys);
    Check(s.RecordCount() == n);
    size_t i = 0;
    for (int r = 0; r < n; ++r)
      for (int t = 0; t < s.SectionCount(); ++t) Check(s.Values(t, r).size() == sizes[i++]);
  }
  return 0;
}
