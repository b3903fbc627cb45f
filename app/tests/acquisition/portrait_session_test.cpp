// The portrait passes of the session: the monthly refresh at start, the
// index over every depot, the command.

#include <gtest/gtest.h>

#include "acquisition/Portrait.h"
#include "app/tests/acquisition/AcquisitionFixture.h"
#include "storage/FileSet.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

std::string Join(const Rows& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

// A portrait block of `extra` filler lines after the WKN line.
Rows Block(const std::string& name, const std::string& wkn, int extra) {
  Rows b = {name, "Gesellschaft", wkn};
  for (int i = 0; i < extra; ++i) b.push_back("Zeile " + std::to_string(i % 7) + " ohne Kennnummer");
  return b;
}

// ---- the document's portrait passes -------------------------------------------

struct Portraits : AcquisitionFixture {
  Portraits() {
    AddProvider("Bank", "Deka", {"Alpha", "Beta"});
    AddFund("Alpha", {"Deka-Fonds", "847451", "1,0500", "Euro"}, {"03.03.2003", "40,00"});
    AddFund("Alpha", {"Archiviert", "847460", "1,0300", "Euro"}, {}, true);
    AddFund("Beta", {"Deka-Fonds", "847451", "1,0500", "Euro"}, {"03.03.2003", "40,00"});
    Rows file = Block("Deka-Fonds", "847451", 5);
    const Rows b = Block("Archiviert", "847460", 5);
    file.insert(file.end(), b.begin(), b.end());
    web.portraitFile = Join(file);
  }
  // The start of the program with one depot to choose.
  void Start(CivilDate today) {
    clock.Set(today);
    shell.depotChoices = {std::string("Alpha")};
    ASSERT_EQ(doc.StartUp(wd()), CTellurioDoc::StartResult::Ready);
  }
};

TEST(PortraitPasses, TheFileIsFetchedOnceAMonthAndIndexedAtEveryStart) {
  Portraits f;
  f.Start({2003, 3, 5});
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 1);
  EXPECT_EQ(f.WebCallsOf("FondportraitHolen").front(), "972830|" + f.wd().string());
  EXPECT_EQ(f.settings.Read("Fonds", "Portrait", "Fehler"), "03");
  // A fund held in two depots is listed twice.
  EXPECT_EQ(f.acquisition.portraitIndex(), (PortraitIndex{{"Deka-Fonds", 0}, {"Archiviert", 8}, {"Deka-Fonds", 0}}));

  f.Start({2003, 3, 28});
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 1);
  EXPECT_EQ(f.acquisition.portraitIndex().size(), 3u);
  f.Start({2003, 4, 1});
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 2);
  EXPECT_EQ(f.settings.Read("Fonds", "Portrait", "Fehler"), "04");
}

TEST(PortraitPasses, AFailedFetchAtStartIsReportedOnceAndTriedAgainNextStart) {
  Portraits f;
  f.web.failure = marabu::testing::FakeWebLibrary::ConnectFailure("127.0.0.1:9");
  f.Start({2003, 3, 5});
  // Month changed and no file: two reasons, one attempt, one message (and
  // the DAX download's own message).
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 1);
  int portraitMessages = 0;
  for (const Message& m : f.prompter.Messages())
    portraitMessages += m.text.find("Die Fondportraits konnten nicht geladen werden.") == 0;
  EXPECT_EQ(portraitMessages, 1);
  EXPECT_EQ(f.settings.Read("Fonds", "Portrait", "Fehler"), "Fehler");
  EXPECT_TRUE(f.acquisition.portraitIndex().empty());

  // The next start in the same month tries again.
  f.web.failure.reset();
  f.Start({2003, 3, 6});
  EXPECT_GE(f.WebCalls("FondportraitHolen"), 1);
}

TEST(PortraitPasses, ThePortraitCommand) {
  Portraits f;
  f.Open("Alpha");
  f.acquisition.ShowPortrait();
  EXPECT_EQ(f.prompter.Last(), (Message{"Hinweis", "Sie haben noch keine Fonds zur Verfügung!", MessageButtons::Ok,
                                        MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_TRUE(f.dialogs.portraitsShown.empty());
  ASSERT_TRUE(f.acquisition.FetchPortraits());
  f.acquisition.BuildPortraitIndex();
  f.acquisition.ShowPortrait();
  ASSERT_EQ(f.dialogs.portraitsShown.size(), 1u);
  EXPECT_EQ(f.dialogs.portraitsShown[0].size(), 3u);
  EXPECT_EQ(f.dialogs.Count("status Portraitdaten aktualisieren"), 2);
}

}  // namespace
}  // namespace tellurio::testing
