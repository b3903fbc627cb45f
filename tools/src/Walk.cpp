#include "Walk.h"

#include <cmath>
#include <numbers>

namespace demo {

namespace {

constexpr long kSpan = 1L << 16;  // days covered by the walk, from 01.01.1970

// W over [0, kSpan] with W(0) = 0 and steps of variance 1 per day.
double RawWalk(std::uint64_t seed, long t) {
  if (t <= 0) return 0;
  if (t > kSpan) t = kSpan;
  long low = 0, high = kSpan;
  double wLow = 0;
  // The end point's hash uses (kSpan, 0), which no interval (low < high) uses.
  double wHigh = std::sqrt(static_cast<double>(kSpan)) * Normal(Mix(seed, kSpan, 0));
  while (high - low > 1) {
    const long mid = low + (high - low) / 2;
    // The bridge between two known points: their mean plus a normal
    // deviation with a quarter of the interval's variance.
    const double wMid =
        0.5 * (wLow + wHigh) + std::sqrt(static_cast<double>(high - low) / 4.0) *
                                   Normal(Mix(seed, static_cast<std::uint64_t>(low), static_cast<std::uint64_t>(high)));
    if (t < mid) {
      high = mid;
      wHigh = wMid;
    } else {
      low = mid;
      wLow = wMid;
    }
  }
  return t == low ? wLow : wHigh;
}

}  // namespace

std::uint64_t Mix(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
  std::uint64_t z = a * 0x9E3779B97F4A7C15ULL ^ (b + 0x632BE59BD9B4E019ULL) * 0xBF58476D1CE4E5B9ULL ^
                    (c + 0x85EBCA77C2B2AE63ULL) * 0x94D049BB133111EBULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t SeedOf(std::string_view text) {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (unsigned char c : text) {
    h ^= c;
    h *= 0x100000001B3ULL;
  }
  return Mix(h);
}

double Uniform(std::uint64_t h) { return static_cast<double>(h >> 11) * 0x1.0p-53; }

double Normal(std::uint64_t h) {
  // Box-Muller with two uniforms taken from one hash and its successor.
  const double u1 = 1.0 - Uniform(h);  // (0, 1]
  const double u2 = Uniform(Mix(h, 1));
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

int Between(std::uint64_t h, int low, int high) {
  return low + static_cast<int>(h % static_cast<std::uint64_t>(high - low + 1));
}

double Walk(std::uint64_t seed, long dayNumber) { return RawWalk(seed, dayNumber) - RawWalk(seed, kWalkOrigin); }

}  // namespace demo
