// The demo data directory must be one the program starts on at once: the
// depot choice, then the depot with its provider and web provider.

#include <gtest/gtest.h>

#include "app/demo/DemoData.h"
#include "app/tests/FakeShell.h"

namespace tellurio::testing {
namespace {

TEST(DemoData, TheProgramStartsOnItWithoutFirstUseMessages) {
  DocFixture f;
  ASSERT_TRUE(demo::WriteDemoDataDirectory(f.wd(), 2003, "Maerz").ok());
  // Writing it twice changes nothing (run-demo.sh only writes it when missing,
  // but a half-written directory must not gain duplicates).
  ASSERT_TRUE(demo::WriteDemoDataDirectory(f.wd(), 2003, "Maerz").ok());
  EXPECT_EQ(f.List("Deka Bank.pls"), (std::vector<std::string>{"Altersvorsorge", "Sparplan Kinder"}));
  EXPECT_EQ(f.List("anb.dbk"), (std::vector<std::string>{"Deka Bank", "Deka", "DWS Fonds", "DWS"}));

  f.dialogs.depotChoices = {std::string("Weltweit")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  EXPECT_TRUE(f.prompter.Messages().empty());
  EXPECT_EQ(f.dialogs.lastDepotList, (std::vector<std::string>{"Altersvorsorge", "Sparplan Kinder", "Weltweit"}));
  const DepotState& s = f.doc.State();
  EXPECT_EQ(s.currentDepot, "Weltweit");
  EXPECT_EQ(s.currentProvider, "DWS Fonds");
  EXPECT_EQ(s.webProvider, "DWS");
  EXPECT_TRUE(std::filesystem::is_directory(f.dir / "Fondpreise" / "Deka Bank" / "2003" / "Maerz"));
}

}  // namespace
}  // namespace tellurio::testing
