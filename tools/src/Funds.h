#pragma once
// The demo fund universe: a few fund providers of the provider table, each
// with a few hundred generated funds, and their prices on any day.  Texts
// are UTF-8; the documents convert them to code page 1252.

#include <cstdint>
#include <string>
#include <vector>

#include "Dates.h"

namespace demo {

enum class FundType { Equity, Bond, MoneyMarket, RealEstate, Mixed };

struct Position {
  std::string name;
  std::string share;  // percent of the fund, "8,1"
};

struct Provider;

struct Fund {
  const Provider* provider = nullptr;
  std::string name;
  std::string wkn;  // 6 characters, unique among all demo funds
  FundType type = FundType::Equity;
  std::string currency;  // as in price files: "Euro", "USD" or "CHF"
  double surchargePercent = 0;
  Date launch;             // no prices before this day
  std::string assetClass;  // "Aktienfonds Europa"
  std::string sector;      // comparison group, "Aktien Europa"
  std::string management;  // a name or "keine Angaben"
  std::string strategy;
  std::vector<Position> positions;  // empty: none published
  double volumeMillions = 0;
  int ratingStars = 0;  // 0: no rating
  // Price model: base price near 01.01.2003, yearly drift, daily volatility.
  double basePrice = 0;
  double drift = 0;
  double dailySigma = 0;
  double sectorSigma = 0;        // daily volatility of the comparison group
  std::uint64_t seed = 0;        // of the fund's own part of its walk
  std::uint64_t sectorSeed = 0;  // of the comparison group's walk
};

struct Provider {
  std::string displayName;  // as in the provider table
  std::string key;          // server directory key of the provider table
  std::string company;      // "Gesellschaft" of the portrait
  std::string kag;          // "KAG" of the portrait
  std::vector<Fund> funds;  // in the order of the price file
};

// The demo providers with their funds; built once, never changed.
const std::vector<Provider>& DemoProviders();

// The provider with that server directory key (exact), or nullptr.
const Provider* FindProviderByKey(const std::string& key);

// The fund with that WKN (exact), or nullptr.
const Fund* FindFundByWkn(const std::string& wkn);

// Redemption price in the fund currency on a day, rounded to cents (at
// least 0,01).  Defined for every day; the price files use it on price days
// from the launch on.
double Price(const Fund& fund, Date date);

// The comparison group's index (100 near 01.01.2003) on a day.
double SectorIndex(const Fund& fund, Date date);

// The values of the six peer funds of the fund's comparison group (index
// form, like SectorIndex), for the best and worst of the group.
double PeerIndex(const Fund& fund, int peer, Date date);
inline constexpr int kPeerCount = 6;

// The DAX on a day, rounded to cents.
double Dax(Date date);

// "1,0500": issue price divided by redemption price, 4 decimals.
std::string SurchargeFactorText(const Fund& fund);

}  // namespace demo
