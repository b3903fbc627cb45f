#include "app/tests/acquisition/AcquisitionFixture.h"

#include <gtest/gtest.h>

#include "calendar/NumberText.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio::testing {

namespace fs = std::filesystem;

namespace {

class LoggingStatusWindow : public StatusWindow {
 public:
  explicit LoggingStatusWindow(std::vector<std::string>& log) : log_(log) {}
  ~LoggingStatusWindow() override { log_.push_back("status closed"); }
  void SetSubject(const std::string& t) override { log_.push_back("subject " + t); }
  void SetRemaining(int n) override { log_.push_back("remaining " + std::to_string(n)); }
  void SetCurrent(const std::string& t) override { log_.push_back("current " + t); }
  void ShowTextOnly() override { log_.push_back("text only"); }
  void ShowDepotLines() override { log_.push_back("depot lines"); }
  void SetDay(const std::string& date) override { log_.push_back("day " + date); }

 private:
  std::vector<std::string>& log_;
};

RecordStore OpenStore(const fs::path& wd, const std::string& depot, bool archive) {
  RecordStore s;
  if (archive)
    EXPECT_TRUE(s.Create(fileset::ArchiveBase(wd, depot), 2, fileset::kArchiveRowWidths).ok());
  else
    EXPECT_TRUE(s.Create(fileset::DepotBase(wd, depot), 6, fileset::kDepotRowWidths).ok());
  EXPECT_TRUE(s.Open().ok());
  return s;
}

}  // namespace

std::unique_ptr<StatusWindow> ScriptedAcquisitionDialogs::OpenStatusWindow(const std::string& title) {
  log.push_back("status " + title);
  return std::make_unique<LoggingStatusWindow>(log);
}

void ScriptedAcquisitionDialogs::RunArchiveProgress(const std::string& depot, int total, const ArchiveWork& work) {
  log.push_back("archive " + depot + " " + std::to_string(total));
  if (beforeArchiveWork) beforeArchiveWork(depot);
  if (runArchiveWork) work([this](int k, const std::string& fund) { archiveSteps.emplace_back(k, fund); });
}

std::optional<ImportChoice> ScriptedAcquisitionDialogs::ChooseImportFiles(const fs::path& initialDirectory,
                                                                          ImportPanelRules& rules) {
  log.push_back("import " + initialDirectory.string());
  if (imports.empty()) return std::nullopt;
  auto next = std::move(imports.front());
  imports.pop_front();
  return next(rules);
}

void ScriptedAcquisitionDialogs::ShowPortrait(const PortraitIndex& index, const fs::path&) {
  portraitsShown.push_back(index);
}

int ScriptedAcquisitionDialogs::Count(const std::string& prefix) const {
  int n = 0;
  for (const std::string& l : log) n += l.rfind(prefix, 0) == 0;
  return n;
}

marabu::DownloadResult FailingWeb::FileAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                                        const std::string& priceDirectory,
                                                        const std::string& workingDirectory) {
  auto it = failFor.find(webProvider);
  if (it == failFor.end()) return fake.FileAusInternetLaden(out, webProvider, priceDirectory, workingDirectory);
  fake.calls.push_back("FileAusInternetLaden " + webProvider + "|" + priceDirectory + "|" + workingDirectory);
  out.clear();
  return it->second;
}

marabu::DownloadResult FailingWeb::FileVomTagAusInternetLaden(std::vector<std::string>& out,
                                                              const std::string& webProvider,
                                                              const std::string& priceDirectory,
                                                              const std::string& workingDirectory,
                                                              const std::string& date) {
  if (beforeFetch) beforeFetch(webProvider, date);
  auto it = failFor.find(webProvider);
  if (it == failFor.end())
    return fake.FileVomTagAusInternetLaden(out, webProvider, priceDirectory, workingDirectory, date);
  fake.calls.push_back("FileVomTagAusInternetLaden " + webProvider + "|" + priceDirectory + "|" + workingDirectory +
                       "|" + date);
  out.clear();
  return it->second;
}

std::vector<std::string> AcquisitionFixture::WebCallsOf(const std::string& exportName) const {
  std::vector<std::string> out;
  for (const std::string& c : web.calls)
    if (c.rfind(exportName + " ", 0) == 0)
      out.push_back(c.substr(exportName.size() + 1));
    else if (c == exportName)
      out.emplace_back();
  return out;
}

std::vector<std::string> PriceLines(const std::vector<Group>& groups) {
  std::vector<std::string> lines;
  for (const Group& g : groups) lines.insert(lines.end(), {g.name, g.wkn, g.factor, g.currency, g.date, g.price});
  return lines;
}

std::vector<std::string> DailyRows(int n, int firstDay) {
  std::vector<std::string> rows;
  long long d = DaysFromCivil({2001, 1, 1}) + firstDay;
  for (int i = 0; i < n; ++i, ++d) {
    const CivilDate c = CivilFromDays(d);
    char date[16];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", c.day, c.month, c.year);
    rows.push_back(date);
    rows.push_back(FormatNumber(10 + i % 97, 2));
  }
  return rows;
}

AcquisitionFixture::AcquisitionFixture() {
  web.today = "05.03.2003";
  acquisition.SetSession(&doc);
  doc.SetViewHost(&views);
  DepotState& s = doc.State();
  s.workingDirectory = dir.path();
  s.currency = "Euro";
}

void AcquisitionFixture::AddProvider(const std::string& provider, const std::string& webProvider,
                                     const std::vector<std::string>& depots) {
  EXPECT_TRUE(WriteListFile(fileset::ProviderList(wd(), provider), depots).ok());
  if (!webProvider.empty()) {
    std::vector<std::string> pairs;
    EXPECT_TRUE(ReadListFile(wd() / fileset::kProviderAssignments, pairs).ok());
    pairs.push_back(provider);
    pairs.push_back(webProvider);
    EXPECT_TRUE(WriteListFile(wd() / fileset::kProviderAssignments, pairs).ok());
  }
  for (const std::string& d : depots) {
    OpenStore(wd(), d, false);
    OpenStore(wd(), d, true);
  }
}

void AcquisitionFixture::AddFund(const std::string& depot, const FundMaster& m, const std::vector<std::string>& prices,
                                 bool archive) {
  RecordStore s = OpenStore(wd(), depot, archive);
  s.AddRecord(m.Row());
  if (!prices.empty()) s.ReplaceRows(section::kPrices, prices);
  EXPECT_TRUE(s.Save().ok());
}

void AcquisitionFixture::Open(const std::string& depot) {
  DepotState& s = doc.State();
  s.depotNames = doc.ListDataFiles(".dat");
  s.providerNames = doc.ListDataFiles(".pls");
  s.currentDepot = depot;
  doc.LoadDepot();
}

std::vector<std::string> AcquisitionFixture::Prices(const std::string& depot, const std::string& fund,
                                                    bool archive) const {
  return PriceRows(OpenStore(wd(), depot, archive), fund);
}

std::vector<std::string> AcquisitionFixture::Funds(const std::string& depot, bool archive) const {
  return FundNames(OpenStore(wd(), depot, archive));
}

std::optional<FundMaster> AcquisitionFixture::Master(const std::string& depot, const std::string& fund,
                                                     bool archive) const {
  return ReadMaster(OpenStore(wd(), depot, archive), fund);
}

}  // namespace tellurio::testing
