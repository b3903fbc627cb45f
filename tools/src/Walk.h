#pragma once
// Deterministic random numbers for the demo data: every value is a pure
// function of a seed, so the publisher gives the same file for the same
// request however often, in whatever order and on whichever thread it is
// asked.

#include <cstdint>
#include <string_view>

namespace demo {

// A well-mixed 64-bit hash of the inputs (SplitMix64 finaliser).
std::uint64_t Mix(std::uint64_t a, std::uint64_t b = 0, std::uint64_t c = 0);

// Seed of a text (FNV-1a), to derive seeds from WKNs and names.
std::uint64_t SeedOf(std::string_view text);

// Uniform in [0, 1) and standard normal, from a hash value.
double Uniform(std::uint64_t h);
double Normal(std::uint64_t h);

// A whole number in [low, high] (inclusive).
int Between(std::uint64_t h, int low, int high);

// A random walk (discrete Brownian motion) over calendar days: W(0) = 0 at
// the day of kWalkOrigin, daily steps with standard deviation 1.  W(t) is
// built by midpoint displacement over 2^16 days (1970..2149), so one value
// costs 16 hash steps and any two days are consistent with each other.
// Days outside the range take the value of the nearest end.
double Walk(std::uint64_t seed, long dayNumber);

// Day number (days since 01.01.1970) of the walk's origin, 01.01.2003: the
// demo prices are near their base prices around that day.
inline constexpr long kWalkOrigin = 12053;

}  // namespace demo
