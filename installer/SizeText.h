#pragma once
// Sizes as the installer shows them: megabytes with three decimals of
// thousands, "12,300 MByte", and "00" for a whole number, "1.234,00 MByte".

#include <cstdint>
#include <string>

namespace tellurio {

// millions = bytes / 1,000,000 (grouped by "." in threes), then "," and the
// thousands below the millions as three digits ("050"), or "00" when they
// are 0, then " MByte".
std::string SizeText(std::uint64_t bytes);

}  // namespace tellurio
