#include "installer/SizeText.h"

namespace tellurio {

std::string SizeText(std::uint64_t bytes) {
  const std::uint64_t millions = bytes / 1000000;
  const std::uint64_t thousands = bytes / 1000 - millions * 1000;
  const std::string digits = std::to_string(millions);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '.';
    grouped += digits[i];
  }
  std::string rest = "00";
  if (thousands != 0) {
    rest = std::to_string(thousands);
    rest.insert(0, 3 - rest.size(), '0');
  }
  return grouped + "," + rest + " MByte";
}

}  // namespace tellurio
