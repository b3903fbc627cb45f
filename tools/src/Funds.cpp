#include "Funds.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>

#include "Walk.h"
#include "calendar/NumberText.h"

namespace demo {

namespace {

// Currency that a theme suggests; the fund takes it with some probability.
enum class Hint { None, Dollar, Franc };

struct Theme {
  const char* name;  // part of the fund name
  FundType type;
  const char* focus;  // for the asset class and the strategy text
  Hint hint;
  double sigmaYear;  // volatility per year
  int positionList;  // index into kPositionLists, -1: none
};

// Position lists: companies, bonds or properties a fund of the theme holds.
const std::vector<std::vector<const char*>> kPositionLists = {
    // 0 Germany
    {"Siemens AG", "Allianz AG", "Deutsche Telekom AG", "SAP AG", "E.ON AG", "BASF AG", "Bayer AG",
     "DaimlerChrysler AG", "Münchener Rück AG", "Deutsche Bank AG", "RWE AG", "Volkswagen AG", "Schering AG",
     "Henkel KGaA", "Lufthansa AG", "Commerzbank AG"},
    // 1 Europe
    {"Nestlé S.A.", "Novartis AG", "BP plc", "Vodafone Group plc", "Total S.A.", "Nokia Oyj", "Royal Dutch Petroleum",
     "GlaxoSmithKline plc", "Siemens AG", "Roche Holding AG", "ING Groep N.V.", "Banco Santander", "L'Oréal S.A.",
     "Unilever N.V.", "Allianz AG"},
    // 2 USA
    {"General Electric Co.", "Microsoft Corp.", "Exxon Mobil Corp.", "Pfizer Inc.", "Citigroup Inc.",
     "Wal-Mart Stores Inc.", "Intel Corp.", "Johnson und Johnson", "IBM Corp.", "Coca-Cola Co.",
     "Procter und Gamble Co.", "Cisco Systems Inc."},
    // 3 Japan and Asia
    {"Toyota Motor Corp.", "Sony Corp.", "Canon Inc.", "Samsung Electronics", "Taiwan Semiconductor",
     "HSBC Holdings plc", "Honda Motor Co.", "Nomura Holdings", "China Mobile Ltd.", "Infosys Technologies",
     "Hutchison Whampoa", "Takeda Chemical"},
    // 4 Technology and health
    {"Microsoft Corp.", "Intel Corp.", "SAP AG", "Nokia Oyj", "Cisco Systems Inc.", "Samsung Electronics", "Amgen Inc.",
     "Novartis AG", "Pfizer Inc.", "Roche Holding AG", "Qiagen N.V.", "Infineon Technologies AG", "Dell Computer Corp.",
     "Genentech Inc."},
    // 5 Bonds
    {"Bundesanleihe 2012", "Bundesobligation Serie 141", "Frankreich OAT 2011", "Italien BTP 2013", "KfW Anleihe 2010",
     "Spanien Bonos 2014", "Niederlande 2009", "Pfandbrief Eurohypo 2008", "Österreich 2012",
     "Europäische Investitionsbank 2010", "Bundesschatzanweisung 2005", "Belgien OLO 2012"},
    // 6 Properties
    {"Bürohaus Frankfurt Westend", "Einkaufszentrum Leipzig", "Geschäftshaus München Mitte",
     "Bürozentrum Hamburg City Nord", "Logistikzentrum Duisburg", "Bürohaus Paris La Défense",
     "Geschäftshaus Wien Innere Stadt", "Büropark Düsseldorf Seestern", "Hotel Berlin Mitte",
     "Bürohaus Amsterdam Zuidas"},
};

const std::vector<Theme> kThemes = {
    {"Aktien Deutschland", FundType::Equity, "deutsche Standardwerte", Hint::None, 0.22, 0},
    {"Aktien Europa", FundType::Equity, "europäische Standardwerte", Hint::None, 0.19, 1},
    {"Aktien Global", FundType::Equity, "internationale Standardwerte", Hint::None, 0.17, 1},
    {"Aktien USA", FundType::Equity, "nordamerikanische Aktien", Hint::Dollar, 0.19, 2},
    {"Aktien Japan", FundType::Equity, "japanische Aktien", Hint::None, 0.21, 3},
    {"Aktien Asien", FundType::Equity, "Aktien aus Asien ohne Japan", Hint::Dollar, 0.24, 3},
    {"Emerging Markets", FundType::Equity, "Aktien aus Schwellenländern", Hint::Dollar, 0.27, 3},
    {"Osteuropa", FundType::Equity, "Aktien aus Mittel- und Osteuropa", Hint::None, 0.28, 1},
    {"Nebenwerte Deutschland", FundType::Equity, "deutsche Nebenwerte", Hint::None, 0.23, 0},
    {"Nebenwerte Europa", FundType::Equity, "europäische Nebenwerte", Hint::None, 0.21, 1},
    {"Technologie", FundType::Equity, "Technologiewerte", Hint::None, 0.32, 4},
    {"Telekommunikation", FundType::Equity, "Telekommunikationswerte", Hint::None, 0.28, 4},
    {"Biotechnologie", FundType::Equity, "Biotechnologiewerte", Hint::Dollar, 0.30, 4},
    {"Gesundheit", FundType::Equity, "Pharma- und Gesundheitswerte", Hint::None, 0.18, 4},
    {"Finanzwerte", FundType::Equity, "Banken und Versicherungen", Hint::None, 0.22, 1},
    {"Rohstoffe", FundType::Equity, "Rohstoff- und Energiewerte", Hint::Dollar, 0.25, 2},
    {"Dividende", FundType::Equity, "dividendenstarke Aktien", Hint::None, 0.15, 1},
    {"Top 50 Europa", FundType::Equity, "die 50 größten Unternehmen Europas", Hint::None, 0.18, 1},
    {"Top 50 Welt", FundType::Equity, "die 50 größten Unternehmen der Welt", Hint::None, 0.17, 2},
    {"Euroland Aktien", FundType::Equity, "Aktien aus dem Euroraum", Hint::None, 0.20, 1},
    {"Skandinavien", FundType::Equity, "skandinavische Aktien", Hint::None, 0.23, 1},
    {"Schweiz", FundType::Equity, "Schweizer Aktien", Hint::Franc, 0.17, 1},
    {"Lateinamerika", FundType::Equity, "lateinamerikanische Aktien", Hint::Dollar, 0.30, 2},
    {"China", FundType::Equity, "chinesische Aktien", Hint::Dollar, 0.29, 3},
    {"Nachhaltigkeit", FundType::Equity, "nachhaltig wirtschaftende Unternehmen", Hint::None, 0.17, 1},
    {"Wachstum", FundType::Equity, "wachstumsstarke Unternehmen", Hint::None, 0.21, 4},
    {"Substanz", FundType::Equity, "substanzstarke Unternehmen", Hint::None, 0.16, 0},
    {"Renten Euro", FundType::Bond, "auf Euro lautende Anleihen", Hint::None, 0.04, 5},
    {"Renten Global", FundType::Bond, "internationale Anleihen", Hint::None, 0.06, 5},
    {"Renten Kurz", FundType::Bond, "kurz laufende Anleihen", Hint::None, 0.02, 5},
    {"Renten Lang", FundType::Bond, "lang laufende Anleihen", Hint::None, 0.06, 5},
    {"Unternehmensanleihen", FundType::Bond, "Unternehmensanleihen guter Bonität", Hint::None, 0.05, 5},
    {"Hochzins", FundType::Bond, "hochverzinsliche Anleihen", Hint::Dollar, 0.08, 5},
    {"Schwellenländeranleihen", FundType::Bond, "Anleihen aus Schwellenländern", Hint::Dollar, 0.10, 5},
    {"Pfandbrief", FundType::Bond, "Pfandbriefe und Kommunalobligationen", Hint::None, 0.035, 5},
    {"Dollar-Renten", FundType::Bond, "auf US-Dollar lautende Anleihen", Hint::Dollar, 0.05, 5},
    {"Franken-Renten", FundType::Bond, "auf Schweizer Franken lautende Anleihen", Hint::Franc, 0.04, 5},
    {"Wandelanleihen", FundType::Bond, "Wandel- und Optionsanleihen", Hint::None, 0.09, 5},
    {"Geldmarkt Euro", FundType::MoneyMarket, "Geldmarktpapiere in Euro", Hint::None, 0.003, -1},
    {"Geldmarkt Dollar", FundType::MoneyMarket, "Geldmarktpapiere in US-Dollar", Hint::Dollar, 0.003, -1},
    {"Liquidität", FundType::MoneyMarket, "Termingelder und Geldmarktpapiere", Hint::None, 0.003, -1},
    {"Immobilien Europa", FundType::RealEstate, "europäische Gewerbeimmobilien", Hint::None, 0.012, 6},
    {"Immobilien Deutschland", FundType::RealEstate, "deutsche Gewerbeimmobilien", Hint::None, 0.010, 6},
    {"Vermögensaufbau", FundType::Mixed, "Aktien und Anleihen, ausgewogen gemischt", Hint::None, 0.10, 1},
    {"Vermögensverwaltung Defensiv", FundType::Mixed, "überwiegend Anleihen, wenig Aktien", Hint::None, 0.06, 5},
    {"Vermögensverwaltung Dynamisch", FundType::Mixed, "überwiegend Aktien, dazu Anleihen", Hint::None, 0.14, 1},
    {"Strategie Balance", FundType::Mixed, "Aktien, Anleihen und Geldmarkt nach Marktlage", Hint::None, 0.09, 1},
    {"Zukunftsplan", FundType::Mixed, "Aktien und Anleihen für die Altersvorsorge", Hint::None, 0.11, 0},
    {"Garantie 2010", FundType::Mixed, "Anleihen mit Aktienbeimischung und Kapitalgarantie", Hint::None, 0.05, 5},
};

const char* const kFirstNames[] = {"Thomas", "Andrea", "Michael", "Sabine", "Stefan", "Claudia", "Jürgen", "Petra",
                                   "Frank",  "Monika", "Markus",  "Birgit", "Klaus",  "Susanne", "Martin", "Katrin"};
const char* const kLastNames[] = {"Weber",      "Schulz", "Becker",   "Hoffmann", "Schäfer", "Koch",
                                  "Richter",    "Klein",  "Wolf",     "Schröder", "Neumann", "Braun",
                                  "Zimmermann", "Krüger", "Hartmann", "Lange"};

struct ProviderPlan {
  const char* displayName;
  const char* key;
  const char* company;
  const char* kag;
  std::vector<const char*> prefixes;
  std::vector<const char*> suffixes;
  const char* wknPrefix;  // the WKN is this plus digits up to six characters
  int fundCount;
  bool luxembourg;  // more funds in foreign currencies
};

const std::vector<ProviderPlan> kProviderPlans = {
    {"Deka",
     "Deka",
     "DekaBank Deutsche Girozentrale",
     "Deka Investment GmbH",
     {"Deka-", "DekaLux-", "Deka "},
     {"", " CF", " TF", " I", " Plus", " Select", " Spezial"},
     "84",
     300,
     false},
    {"DWS",
     "DWS",
     "Deutsche Bank AG",
     "DWS Investment GmbH",
     {"DWS ", "DWS Fonds "},
     {"", " LC", " NC", " I", " Plus", " Select", " Invest", " Spezial"},
     "97",
     280,
     false},
    {"DWS Luxembourg",
     "DWS1",
     "Deutsche Bank AG",
     "DWS Investment S.A.",
     {"DWS Invest ", "DWS Lux "},
     {"", " LC", " FC", " USD", " Plus"},
     "DWS",
     220,
     true},
    {"Union-Investment Frankfurt",
     "union1",
     "Union Asset Management Holding AG",
     "Union-Investment Privatfonds GmbH",
     {"Uni", "Uni-"},
     {"", " A", " T", " net", " Plus", " Select", " Spezial", " Konzept"},
     "85",
     300,
     false},
    {"UNION-INVESTM. (Lux.)",
     "union",
     "Union Asset Management Holding AG",
     "Union Investment Luxembourg S.A.",
     {"UniLux ", "UniEuro "},
     {"", " A", " T", " USD", " Plus", " Select"},
     "A0",
     200,
     true},
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const char* AssetClassWord(FundType type) {
  switch (type) {
    case FundType::Equity:
      return "Aktienfonds";
    case FundType::Bond:
      return "Rentenfonds";
    case FundType::MoneyMarket:
      return "Geldmarktfonds";
    case FundType::RealEstate:
      return "Offener Immobilienfonds";
    case FundType::Mixed:
      return "Gemischter Fonds";
  }
  return "Fonds";
}

// "Aktienfonds Europa" for the theme "Aktien Europa", "Rentenfonds Global"
// for "Renten Global": the theme without the word the class already names.
std::string AssetClass(const Theme& theme) {
  std::string_view name = theme.name;
  for (std::string_view word : {"Aktien ", "Renten ", "Geldmarkt ", "Immobilien "})
    if (name.substr(0, word.size()) == word) name.remove_prefix(word.size());
  return std::string(AssetClassWord(theme.type)) + " " + std::string(name);
}

std::string StrategyText(const Theme& theme, const ProviderPlan& plan) {
  std::string text;
  switch (theme.type) {
    case FundType::Equity:
      text = std::string("Der Fonds legt vorwiegend in Aktien an; Schwerpunkt sind ") + theme.focus +
             ". Ziel ist ein langfristiger Wertzuwachs bei breiter Streuung.";
      break;
    case FundType::Bond:
      text = std::string("Der Fonds investiert in ") + theme.focus +
             ". Ziel ist ein stetiger Ertrag bei begrenzten Kursschwankungen.";
      break;
    case FundType::MoneyMarket:
      text = std::string("Der Fonds hält ") + theme.focus +
             " mit kurzer Restlaufzeit und eignet sich zum Parken von Liquidität.";
      break;
    case FundType::RealEstate:
      text = std::string("Der Fonds erwirbt und bewirtschaftet ") + theme.focus +
             " in guten Lagen; die Erträge stammen aus Mieten.";
      break;
    case FundType::Mixed:
      text = std::string("Der Fonds mischt ") + theme.focus + " und passt die Gewichtung laufend der Marktlage an.";
      break;
  }
  if (plan.luxembourg) text += " Fondsdomizil ist Luxemburg.";
  return text;
}

std::string SectorName(const Theme& theme) {
  switch (theme.type) {
    case FundType::MoneyMarket:
      return "Geldmarkt";
    case FundType::RealEstate:
      return "Immobilien";
    default:
      return theme.name;
  }
}

struct TypeModel {
  int baseLow, baseHigh;  // base price range
  double drift;           // per year
};

TypeModel ModelOf(FundType type) {
  switch (type) {
    case FundType::Equity:
      return {20, 150, 0.06};
    case FundType::Bond:
      return {30, 110, 0.04};
    case FundType::MoneyMarket:
      return {50, 110, 0.025};
    case FundType::RealEstate:
      return {40, 60, 0.045};
    case FundType::Mixed:
      return {25, 80, 0.05};
  }
  return {50, 50, 0};
}

double Surcharge(FundType type, std::uint64_t h) {
  switch (type) {
    case FundType::Equity:
      return Between(h, 0, 9) < 8 ? 5.0 : 4.0;
    case FundType::Bond:
      return Between(h, 0, 9) < 7 ? 3.0 : 2.5;
    case FundType::MoneyMarket:
      return Between(h, 0, 9) < 6 ? 0.0 : 0.5;
    case FundType::RealEstate:
      return 5.25;
    case FundType::Mixed:
      return 4.0;
  }
  return 0;
}

std::string Currency(const Theme& theme, const ProviderPlan& plan, std::uint64_t h) {
  const int roll = Between(h, 0, 99);
  if (theme.hint == Hint::Dollar && roll < (plan.luxembourg ? 80 : 45)) return "USD";
  if (theme.hint == Hint::Franc && roll < (plan.luxembourg ? 85 : 60)) return "CHF";
  if (plan.luxembourg && theme.type != FundType::RealEstate && roll >= 88) return "USD";
  return "Euro";
}

std::string Wkn(const ProviderPlan& plan, int index) {
  const std::string prefix = plan.wknPrefix;
  const int digits = 6 - static_cast<int>(prefix.size());
  int modulus = 1;
  for (int i = 0; i < digits; ++i) modulus *= 10;
  // 7919 is prime and does not divide a power of ten, so i -> (i * 7919 +
  // 1234) mod 10^k is one-to-one for i below 10^k.
  const int number = static_cast<int>((static_cast<long>(index) * 7919 + 1234) % modulus);
  std::string text = std::to_string(number);
  text.insert(0, static_cast<size_t>(digits) - std::min(text.size(), static_cast<size_t>(digits)), '0');
  return prefix + text;
}

std::vector<Position> Positions(const Theme& theme, std::uint64_t seed) {
  std::vector<Position> positions;
  if (theme.positionList < 0) return positions;
  std::vector<const char*> pool = kPositionLists[static_cast<size_t>(theme.positionList)];
  // A seeded shuffle picks the holdings; shares fall from the largest.
  for (size_t i = pool.size(); i > 1; --i) std::swap(pool[i - 1], pool[Mix(seed, 77, i) % i]);
  const int count = Between(Mix(seed, 78), 5, 8);
  double share = 4.0 + 6.0 * Uniform(Mix(seed, 79));
  for (int i = 0; i < count && i < static_cast<int>(pool.size()); ++i) {
    positions.push_back({pool[static_cast<size_t>(i)], tellurio::FormatRounded(share, 1)});
    share *= 0.75 + 0.2 * Uniform(Mix(seed, 80, static_cast<std::uint64_t>(i)));
  }
  return positions;
}

Fund MakeFund(const ProviderPlan& plan, const Theme& theme, const std::string& name, int index) {
  Fund f;
  f.name = name;
  f.wkn = Wkn(plan, index);
  f.seed = SeedOf(f.wkn);
  const std::uint64_t s = f.seed;
  f.type = theme.type;
  f.currency = Currency(theme, plan, Mix(s, 1));
  f.surchargePercent = Surcharge(theme.type, Mix(s, 2));
  // Most funds are older than the origin of the walk; about one in ten is
  // launched later and appears in the price files only from then on.
  const long early = DayNumber({1985, 1, 2}), late = DayNumber({2002, 12, 31});
  const long launchDay = Between(Mix(s, 3), 0, 9) == 0 ? DayNumber({2003, 1, 2}) + Between(Mix(s, 4), 0, 4 * 365)
                                                       : early + Between(Mix(s, 4), 0, static_cast<int>(late - early));
  f.launch = DateOfDayNumber(launchDay);
  f.assetClass = AssetClass(theme);
  f.sector = SectorName(theme);
  f.sectorSeed = SeedOf("Sektor " + f.sector);
  if (Between(Mix(s, 5), 0, 9) == 0) {
    f.management = "keine Angaben";
  } else {
    f.management = std::string(Between(Mix(s, 6), 0, 3) == 0 ? "Dr. " : "") +
                   kFirstNames[Mix(s, 7) % std::size(kFirstNames)] + " " +
                   kLastNames[Mix(s, 8) % std::size(kLastNames)];
  }
  f.strategy = StrategyText(theme, plan);
  if (Between(Mix(s, 9), 0, 9) != 0) f.positions = Positions(theme, s);
  f.volumeMillions = std::exp(std::log(5.0) + (std::log(6000.0) - std::log(5.0)) * Uniform(Mix(s, 10)));
  f.ratingStars = Between(Mix(s, 11), 0, 5);
  const TypeModel model = ModelOf(theme.type);
  f.basePrice = model.baseLow + (model.baseHigh - model.baseLow) * Uniform(Mix(s, 12));
  f.drift = model.drift + 0.02 * (Uniform(Mix(s, 13)) - 0.5);
  const double sigmaYear = theme.sigmaYear * (0.85 + 0.3 * Uniform(Mix(s, 14)));
  f.dailySigma = sigmaYear / std::sqrt(365.0);
  f.sectorSigma = theme.sigmaYear / std::sqrt(365.0);
  return f;
}

std::vector<Provider> BuildProviders() {
  std::vector<Provider> providers;
  for (const ProviderPlan& plan : kProviderPlans) {
    Provider p;
    p.displayName = plan.displayName;
    p.key = plan.key;
    p.company = plan.company;
    p.kag = plan.kag;

    // Every combination of prefix, theme and suffix is a candidate; a seeded
    // order picks fundCount of them, listed alphabetically.
    struct Candidate {
      std::uint64_t order;
      std::string name;
      size_t theme;
    };
    std::vector<Candidate> candidates;
    const std::uint64_t providerSeed = SeedOf(plan.key);
    for (size_t t = 0; t < kThemes.size(); ++t)
      for (const char* prefix : plan.prefixes)
        for (const char* suffix : plan.suffixes) {
          const std::string name = std::string(prefix) + kThemes[t].name + suffix;
          candidates.push_back({Mix(providerSeed, SeedOf(name)), name, t});
        }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.order < b.order; });
    candidates.resize(std::min(candidates.size(), static_cast<size_t>(plan.fundCount)));
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return Lower(a.name) < Lower(b.name); });
    for (size_t i = 0; i < candidates.size(); ++i)
      p.funds.push_back(MakeFund(plan, kThemes[candidates[i].theme], candidates[i].name, static_cast<int>(i)));
    providers.push_back(std::move(p));
  }
  for (Provider& p : providers)
    for (Fund& f : p.funds) f.provider = &p;
  return providers;
}

// A fund moves mostly with its comparison group: its walk is the group's
// walk and its own one, weighted so that the daily steps keep variance 1
// (correlation kGroupWeight with the group).
constexpr double kGroupWeight = 0.85;

double GroupedWalk(std::uint64_t sectorSeed, std::uint64_t ownSeed, long t) {
  return kGroupWeight * Walk(sectorSeed, t) + std::sqrt(1.0 - kGroupWeight * kGroupWeight) * Walk(ownSeed, t);
}

double ModelValue(double base, double drift, double dailySigma, double walk, Date date) {
  const long t = DayNumber(date);
  return base * std::exp(drift * static_cast<double>(t - kWalkOrigin) / 365.0 + dailySigma * walk);
}

double Cents(double value) { return std::max(0.01, std::round(value * 100.0) / 100.0); }

}  // namespace

const std::vector<Provider>& DemoProviders() {
  // Built on first use; the fund pointers to their provider stay valid since
  // the vector is never changed afterwards.
  static const std::vector<Provider> providers = BuildProviders();
  return providers;
}

const Provider* FindProviderByKey(const std::string& key) {
  for (const Provider& p : DemoProviders())
    if (p.key == key) return &p;
  return nullptr;
}

const Fund* FindFundByWkn(const std::string& wkn) {
  static const std::map<std::string, const Fund*> byWkn = [] {
    std::map<std::string, const Fund*> m;
    for (const Provider& p : DemoProviders())
      for (const Fund& f : p.funds) m.emplace(f.wkn, &f);
    return m;
  }();
  const auto it = byWkn.find(wkn);
  return it == byWkn.end() ? nullptr : it->second;
}

double Price(const Fund& fund, Date date) {
  return Cents(ModelValue(fund.basePrice, fund.drift, fund.dailySigma,
                          GroupedWalk(fund.sectorSeed, fund.seed, DayNumber(date)), date));
}

double SectorIndex(const Fund& fund, Date date) {
  // The group moves like a typical fund of its kind.
  const TypeModel model = ModelOf(fund.type);
  return ModelValue(100.0, model.drift, fund.sectorSigma, Walk(fund.sectorSeed, DayNumber(date)), date);
}

double PeerIndex(const Fund& fund, int peer, Date date) {
  const TypeModel model = ModelOf(fund.type);
  const std::uint64_t seed = Mix(fund.sectorSeed, 1000 + static_cast<std::uint64_t>(peer));
  const double drift = model.drift + 0.04 * (Uniform(Mix(seed, 1)) - 0.5);
  const double sigma = fund.sectorSigma * (0.8 + 0.4 * Uniform(Mix(seed, 2)));
  return ModelValue(100.0, drift, sigma, GroupedWalk(fund.sectorSeed, seed, DayNumber(date)), date);
}

double Dax(Date date) {
  return Cents(ModelValue(2900.0, 0.07, 0.22 / std::sqrt(365.0), Walk(SeedOf("DAX"), DayNumber(date)), date));
}

std::string SurchargeFactorText(const Fund& fund) {
  return tellurio::FormatRounded(1.0 + fund.surchargePercent / 100.0, 4);
}

}  // namespace demo
