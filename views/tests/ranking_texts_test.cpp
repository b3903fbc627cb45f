// The fund rankings' lines: widths added up from characters and pairs agree
// with laying out whole texts, the blanks that line the columns up are
// those found by measuring line by line, and the list of all funds keeps its
// items while its lines stay the same.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>
#include <cstring>
#include <random>

#include "app/core/CommandTable.h"
#include "app/tests/FakeShell.h"
#include "calendar/NumberText.h"
#include "platform/Codec1252.h"
#include "portfolio/Funds.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/Fonts.h"
#include "views/RankingTexts.h"

namespace tellurio::testing {
namespace {

// Texts as fund lists hold them: kerning pairs (AV, Te, Yo, We), f-ligature
// candidates, umlauts and other code page 1252 characters, digits, blanks.
const std::vector<std::string> kTexts = {"AVANTI Yield Fonds",
                                         "Tee-Welt Aktien",
                                         "Fidelity ffi Profil",
                                         "Öko-Vermögen Ärzte",
                                         "€uro Kasse (L.A.) Nr. 7",
                                         "T-Rowe Price Japan",
                                         "Wert",
                                         "V",
                                         "",
                                         "-1234,56",
                                         "0,00",
                                         "12,34%",
                                         "  Zins  ",
                                         "„Schweiz“ – Süd",
                                         "Raiffeisen-Fonds Zürich ß",
                                         "Übersee",
                                         "WAVE Total Return",
                                         "yy",
                                         "LU0123456789",
                                         "DWS Top Dividende"};

// The padding as the lists were built before: one blank after the other,
// each time measuring the whole text.
std::string PadMeasuringEachTime(std::string text, int target, const QFontMetrics& m, bool before, int limit) {
  for (int guard = 0; m.horizontalAdvance(QString::fromStdString(text)) < target - 2 && guard < limit; ++guard)
    text.insert(before ? text.begin() : text.end(), ' ');
  return text;
}

TEST(TextWidths, AddUpToTheWidthsOfWholeTextsAndFindTheSameBlanks) {
  for (const QFont& font :
       {ProgramFont(QStringLiteral("MS Sans Serif"), 12), ProgramFont(QStringLiteral("MS Sans Serif"), 11, 700),
        ProgramFont(QStringLiteral("Times New Roman"), 13)}) {
    TextWidths widths(font);
    const QFontMetrics m(font);
    for (const std::string& t : kTexts) {
      ASSERT_EQ(widths.Width(t), m.horizontalAdvance(QString::fromStdString(t))) << t;
      for (int target : {0, 10, 57, 123, 240}) {
        const int after = widths.BlanksAfterToReach(t, target, 1000);
        const int before = widths.BlanksBeforeToReach(t, target, 100);
        EXPECT_EQ(t + std::string(static_cast<size_t>(after), ' '), PadMeasuringEachTime(t, target, m, false, 1000))
            << t << " to " << target;
        EXPECT_EQ(std::string(static_cast<size_t>(before), ' ') + t, PadMeasuringEachTime(t, target, m, true, 100))
            << t << " to " << target;
      }
    }
    // The limits hold when the target cannot be reached.
    EXPECT_EQ(widths.BlanksBeforeToReach("1", 100000, 100), 100);
  }
}

// Texts taken straight from UTF-8 (ASCII and two-byte sequences) are
// measured to the same bit as through a QString, and find the same blanks
// as measuring each time; damaged UTF-8 (lone continuation bytes, overlong
// and cut sequences), three-byte sequences and NUL go the general way with
// the same result.
TEST(TextWidths, UtfEightTextsMeasureAsTheirQStrings) {
  const QFont font = ProgramFont(QStringLiteral("MS Sans Serif"), 12);
  TextWidths widths(font);
  const QFontMetrics m(font);
  std::mt19937 rng(23);
  const std::vector<std::string> pieces = {"A",
                                           "V",
                                           "T",
                                           "e",
                                           "f",
                                           "i",
                                           " ",
                                           "-",
                                           "1",
                                           ",",
                                           "%",
                                           "ä",
                                           "Ö",
                                           "ß",
                                           "é",
                                           "ÿ",
                                           "\xC3",
                                           "\x80",
                                           "\xC0\xAF",
                                           "\xC2",
                                           "€",
                                           "„",
                                           "\xF0\x9F\x98",
                                           std::string(1, '\0'),
                                           "\xFF",
                                           "\xC2\xB5",
                                           "\xC2\xA0"};
  for (int n = 0; n < 400; ++n) {
    std::string t;
    for (size_t k = rng() % 12; k > 0; --k) t += pieces[rng() % pieces.size()];
    const QString q = QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
    const qreal fast = widths.ExactWidth(std::string_view(t)), general = widths.ExactWidth(q);
    ASSERT_EQ(std::memcmp(&fast, &general, sizeof fast), 0) << n;
    // Against laying out the whole text: the characters of fund lists only.
    if (n % 8 == 0 && t.find('\0') == std::string::npos && !q.contains(QChar(0xFFFD))) {
      ASSERT_EQ(widths.Width(t), m.horizontalAdvance(q)) << n;
      const int target = 20 + static_cast<int>(rng() % 80);
      EXPECT_EQ(t + std::string(static_cast<size_t>(widths.BlanksAfterToReach(t, target, 1000)), ' '),
                PadMeasuringEachTime(t, target, m, false, 1000))
          << n;
      EXPECT_EQ(std::string(static_cast<size_t>(widths.BlanksBeforeToReach(t, target, 100)), ' ') + t,
                PadMeasuringEachTime(t, target, m, true, 100))
          << n;
    }
  }
}

TEST(RankingTexts, LineUpTheColumnsAsMeasuringEveryLineDid) {
  std::vector<RankingLine> ranking;
  for (size_t i = 0; i < kTexts.size(); ++i) {
    RankingLine r;
    r.fund = kTexts[i] + " und ein langer Name, der abgeschnitten wird";
    r.change = 100.0 - 37.5 * static_cast<double>(i);
    r.changeText = FormatNumber(r.change, 2);
    r.percentText = FormatNumber(0.7 * static_cast<double>(i) - 3, 2) + "%";
    ranking.push_back(r);
  }
  const QFont font = ProgramFont(QStringLiteral("MS Sans Serif"), 12);
  const QFontMetrics m(font);
  const std::vector<RankingText> texts = RankingTexts(ranking, TextWidths::For(font));
  ASSERT_EQ(texts.size(), ranking.size());
  // The widest cut name and the widest change set the columns.
  int nameW = 0, changeW = 0;
  for (const RankingLine& r : ranking) {
    nameW = std::max(nameW, m.horizontalAdvance(QString::fromStdString(Utf8Left(r.fund, 20))));
    changeW = std::max(changeW, m.horizontalAdvance(QString::fromStdString(r.changeText)));
  }
  for (size_t i = 0; i < ranking.size(); ++i) {
    const std::string name = Utf8Left(ranking[i].fund, 20);
    const std::string expected =
        PadMeasuringEachTime(name, nameW + m.horizontalAdvance(QStringLiteral("    ")), m, false, 1000) +
        PadMeasuringEachTime(ranking[i].changeText, changeW, m, true, 100) + "    " + ranking[i].percentText;
    EXPECT_EQ(texts[i].shown, expected);
    EXPECT_EQ(texts[i].line, name + " \t" + ranking[i].changeText + "\t" + ranking[i].percentText);
  }
}

// The list of all funds of pane 2 on a fund archive of three funds.
struct FundList : ::testing::Test {
  DocFixture f;
  AppFlags flags;
  std::unique_ptr<CChildFrame> frame;
  CTellurioView* view = nullptr;

  // A month of prices from 01.10.2003 on, then a month at `november`.
  static std::vector<std::string> Prices(double october, double november) {
    std::vector<std::string> rows;
    for (int d = 1; d <= 20; ++d)
      rows.insert(rows.end(), {Calendar::FormatDate(MakePackedDate(2003, 10, d)), FormatNumber(october, 2)});
    for (int d = 1; d <= 20; ++d)
      rows.insert(rows.end(), {Calendar::FormatDate(MakePackedDate(2003, 11, d)), FormatNumber(november, 2)});
    return rows;
  }
  void SetUp() override {
    DepotState& s = f.doc.State();
    s.workingDirectory = f.wd();
    s.currentDepot = "Depot";
    s.currency = "Euro";
    f.doc.OpenDepotStores("Depot");
    const char* names[] = {"Anker Renten", "Boreas Aktien", "Cirrus Welt"};
    for (int i = 0; i < 3; ++i) {
      s.auxiliaryStore.AddRecord({names[i], std::to_string(200000 + i), "1,0000", "Euro"});
      s.auxiliaryStore.ReplaceRows(section::kPrices, Prices(10, 10 + i));
    }
    ASSERT_TRUE(s.auxiliaryStore.Save().ok());
    for (const char* name : {"Depot Eins", "Depot Zwei"}) {
      s.depotStore.AddRecord({name, "30000" + std::string(name).substr(6, 1), "1,0000", "Euro"});
      s.depotStore.ReplaceRows(section::kPrices, Prices(20, 21));
    }
    ASSERT_TRUE(s.depotStore.Save().ok());
    f.doc.RecomputeStatistics(Scope::DepotFunds);
    f.doc.RecomputeStatistics(Scope::AllFunds);
    frame = std::make_unique<CChildFrame>(QStringLiteral("Fenster2"), nullptr);
    view = new CTellurioView(f.doc, flags, frame.get());
    frame->SetView(view);
    frame->resize(400, 600);
    frame->show();
    view->OnUpdate();
  }
  QString Fund(int row) const { return QString::fromStdString(view->FundListFund(row)); }
};

TEST_F(FundList, KeepsItsItemsAndFollowsTheSelectionAndTheFigures) {
  QListWidget* list = view->FundList();
  ASSERT_EQ(list->count(), 3);
  // Largest change of the last month first: Cirrus (+2), Boreas (+1), Anker (0).
  EXPECT_EQ(Fund(0), QStringLiteral("Cirrus Welt"));
  EXPECT_EQ(Fund(2), QStringLiteral("Anker Renten"));
  QListWidgetItem* first = list->item(0);
  const QString firstText = first->text();

  f.doc.SelectFund("Boreas Aktien");
  view->OnUpdate();
  EXPECT_EQ(list->item(0), first) << "nothing changed: the same items";
  EXPECT_EQ(list->selectedItems(), QList<QListWidgetItem*>{list->item(1)});
  EXPECT_EQ(list->currentItem(), list->item(1));
  f.doc.SelectFund("");
  view->OnUpdate();
  EXPECT_TRUE(list->selectedItems().isEmpty());

  // Anker's November rises to 13,50: it leads with +3,50, the others follow.
  DepotState& s = f.doc.State();
  ASSERT_EQ(s.auxiliaryStore.Select("Anker Renten"), 1);
  s.auxiliaryStore.ReplaceRows(section::kPrices, Prices(10, 13.5));
  f.doc.RecomputeStatistics(Scope::AllFunds);
  view->OnUpdate();
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0), first) << "the lines change, the items stay";
  EXPECT_EQ(Fund(0), QStringLiteral("Anker Renten"));
  EXPECT_NE(first->text(), firstText);
  EXPECT_EQ(view->FundListLine(0).rfind("Anker Renten \t3,50\t35,00%", 0), 0u) << view->FundListLine(0);
  EXPECT_EQ(Fund(1), QStringLiteral("Cirrus Welt"));
}

// The tiles of the depot's funds stay while the funds and their newest
// weekly changes stay, and follow a change of them.
TEST_F(FundList, DepotTilesAreMadeAgainOnlyWhenTheyChange) {
  auto depotFrame = std::make_unique<CChildFrame>(QStringLiteral("Fenster3"), nullptr);
  auto* depot = new CTellurioView(f.doc, flags, depotFrame.get());
  depotFrame->SetView(depot);
  depotFrame->resize(800, 300);
  depotFrame->show();
  depot->OnUpdate();
  ASSERT_EQ(depot->Tiles().size(), 2u);
  depot->Tiles()[0]->setProperty("seen", true);  // a new tile would not have it
  f.doc.SelectFund("Depot Zwei");
  depot->OnUpdate();
  EXPECT_TRUE(depot->Tiles()[0]->property("seen").toBool()) << "choosing a fund changes no tile";
  // Depot Eins gets Friday 21.11.2003 at 23,10: its last week (Saturday
  // 15.11. to Friday 21.11.) averages (6 x 21 + 23,10) / 7 = 21,30, the week
  // before 21: a rise of 1,4285... %, cut to 1,42.
  DepotState& s = f.doc.State();
  ASSERT_EQ(s.depotStore.Select("Depot Eins"), 1);
  std::vector<std::string> rows = Prices(20, 21);
  rows.insert(rows.end(), {"21.11.2003", "23,10"});
  s.depotStore.ReplaceRows(section::kPrices, rows);
  f.doc.RecomputeStatistics(Scope::DepotFunds);
  depot->OnUpdate();
  ASSERT_EQ(depot->Tiles().size(), 2u);
  EXPECT_FALSE(depot->Tiles()[0]->property("seen").toBool());
  EXPECT_EQ(depot->Tiles()[0]->toolTip(), QStringLiteral("Depot Eins 1,42%"));
  EXPECT_EQ(depot->Tiles()[1]->toolTip(), QStringLiteral("Depot Zwei 0,00%"));
}

}  // namespace
}  // namespace tellurio::testing
