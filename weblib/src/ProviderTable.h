#pragma once
// The table of fund providers whose daily price files the publisher's web
// server offers: pairs of display name (shown to the user, UTF-8) and server
// directory key.  Fixed at build time; never changes while the library runs.

#include <optional>
#include <span>
#include <string_view>

namespace marabu {

struct ProviderPair {
  std::string_view displayName;
  std::string_view key;
};

// All 262 pairs in table order.
std::span<const ProviderPair> ProviderTable();

// The key of the first pair whose display name equals name byte for byte
// (case-sensitive); nothing when no pair matches.
std::optional<std::string_view> ProviderKey(std::string_view name);

}  // namespace marabu
