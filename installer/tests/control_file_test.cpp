// Control files and size texts: how lines, keys and lists are read, what is
// refused, the uinstall.txt the installer derives, and the size texts.

#include <gtest/gtest.h>

#include "installer/Bundle.h"
#include "installer/ControlFile.h"
#include "installer/InstallControl.h"
#include "installer/SizeText.h"

namespace tellurio {
namespace {

using Lines = std::vector<std::string>;

TEST(ControlLines, SplitsAtCrLfLoneCrOrLfAndDecodesCodePage1252) {
  // "f\xfcr" is "für" in code page 1252.
  EXPECT_EQ(ControlLines("Lizenz=a.txt\r\nf\xfcr\r\n\r\nlast"), (Lines{"Lizenz=a.txt", "für", "", "last"}));
  EXPECT_EQ(ControlLines("a\nb\rc\r\n"), (Lines{"a", "b", "c"}));
  EXPECT_TRUE(ControlLines("").empty());
}

TEST(ControlLines, WrittenWithCrLfInCodePage1252AndFlaggedWhenNotRepresentable) {
  bool exact = false;
  EXPECT_EQ(ControlFileBytes({"Vorgabe=/home/jürgen", ""}, &exact), "Vorgabe=/home/j\xfcrgen\r\n\r\n");
  EXPECT_TRUE(exact);
  ControlFileBytes({"Vorgabe=/home/Łukasz"}, &exact);
  EXPECT_FALSE(exact);
}

TEST(ControlKeys, FirstLineHoldingTheKeyAnywhereAndTextAfterItsLastEquals) {
  const Lines lines = {"Zusatzanzahl=2", "xPlatz=a=5", "Platz=7", "Zusatz=1"};
  EXPECT_EQ(KeyValue(lines, "Platz="), "5");
  // "Zusatzanzahl=" does not hold "Zusatz=": the fourth line is the key's.
  EXPECT_EQ(KeyValue(lines, "Zusatz="), "1");
  EXPECT_EQ(KeyValue(lines, "Lizenz="), "");
  EXPECT_EQ(FindKey(lines, "Lizenz="), std::nullopt);
}

TEST(ControlKeys, CountsAndPlainNames) {
  EXPECT_EQ(ParseCount("18446744073709551615"), UINT64_MAX);
  for (const char* bad : {"", "-1", " 3", "3 ", "1e3", "18446744073709551616", "0x10"})
    EXPECT_EQ(ParseCount(bad), std::nullopt) << bad;
  EXPECT_TRUE(IsPlainFileName("libmarabu.so"));
  EXPECT_TRUE(IsPlainFileName("..hidden"));
  for (const char* bad : {"", ".", "..", "../x", "a/b", "/etc/passwd"}) EXPECT_FALSE(IsPlainFileName(bad)) << bad;
}

TEST(ControlLists, CountedEntriesFollowTheKeyAndShortOrBadCountsAreNamed) {
  const Lines lines = {"Anzahl=2", "a", "b", "c"};
  EXPECT_EQ(ReadList(lines, "Anzahl=").entries, (Lines{"a", "b"}));
  const ListEntries shortList = ReadList({"Anzahl=3", "a"}, "Anzahl=");
  EXPECT_EQ(shortList.entries, Lines{"a"});
  EXPECT_EQ(shortList.problem, "Anzahl=3: es folgen nur 1 Zeilen");
  EXPECT_EQ(ReadList({"Anzahl=zwei", "a"}, "Anzahl=").problem, "Anzahl=zwei: keine gültige Anzahl");
  EXPECT_TRUE(ReadList({"Anzahl=", "a"}, "Anzahl=").entries.empty());
}

TEST(InstallControl, ReadsEveryKeyAndExtrasOnlyWhenEnabled) {
  const InstallControl c = ReadInstallControl({"Vorgabe=", "Umbenennen=1", "alt.bin=neu.bin", "Platz=12300000",
                                               "Anzahl=2", "tellurio", "uninstaller", "Zusatz=1", "Programm=reg",
                                               "Zusatzanzahl=1", "x.ocx", "Lizenz=L.txt", "Zusatztext=H.txt"});
  EXPECT_TRUE(c.problems.empty());
  ASSERT_EQ(c.renames.size(), 1u);
  EXPECT_EQ(c.renames[0].from, "alt.bin");
  EXPECT_EQ(c.renames[0].to, "neu.bin");
  EXPECT_EQ(c.neededSpace, 12300000u);
  EXPECT_EQ(c.files, (Lines{"tellurio", "uninstaller"}));
  EXPECT_TRUE(c.withExtras);
  EXPECT_EQ(c.registrationProgram, "reg");
  EXPECT_EQ(c.extras, Lines{"x.ocx"});
  EXPECT_EQ(c.licenceFile, "L.txt");
  EXPECT_EQ(c.notesFile, "H.txt");

  const InstallControl off = ReadInstallControl({"Zusatz=0", "Programm=reg", "Zusatzanzahl=1", "../x.dll"});
  EXPECT_FALSE(off.withExtras);
  EXPECT_TRUE(off.extras.empty());
  EXPECT_TRUE(off.problems.empty()) << "a switched-off list is not looked at";
}

TEST(InstallControl, NamesThatLeaveTheDirectoryAreRefusedAndNamed) {
  const InstallControl c = ReadInstallControl({"Vorgabe=", "Umbenennen=1", "a=../b", "Platz=viel", "Anzahl=3",
                                               "tellurio", "/etc/passwd", "lib/x.so", "Lizenz=../../L"});
  EXPECT_EQ(c.problems,
            (Lines{"\"../b\" ist kein einfacher Dateiname", "Platz=viel: keine gültige Zahl",
                   "\"/etc/passwd\" ist kein einfacher Dateiname", "\"lib/x.so\" ist kein einfacher Dateiname",
                   "\"../../L\" ist kein einfacher Dateiname"}));
}

TEST(UninstallLines, FirstLineBecomesTheTargetSkippedExtrasLeaveAndTheLinkComesLast) {
  const Lines install = {"Vorgabe=C:\\alt", "Zusatz=1", "Zusatzanzahl=3", "a.dll", "b.ocx", "c.dll", "Lizenz="};
  EXPECT_EQ(UninstallLines(install, "/opt/Tellurio", {"a.dll"}, "/apps/Tellurio/tellurio.desktop"),
            (Lines{"Vorgabe=/opt/Tellurio", "Zusatz=1", "Zusatzanzahl=2", "b.ocx", "c.dll",
                   "Lizenz=", "/apps/Tellurio/tellurio.desktop"}));
  EXPECT_EQ(UninstallLines(install, "/t", {"a.dll", "b.ocx", "c.dll"}, ""),
            (Lines{"Vorgabe=/t", "Zusatz=0", "Zusatzanzahl=0", "Lizenz=", ""}));
  EXPECT_EQ(UninstallLines({}, "/t", {}, "/l.desktop"), (Lines{"Vorgabe=/t", "/l.desktop"}));
}

TEST(BundleControl, ListsTheFilesWithTheirSpaceAndTheTextFiles) {
  EXPECT_EQ(BundleControlLines({"tellurio", "uninstaller"}, 4711, "Lizenz.txt", ""),
            (Lines{"Vorgabe=", "Umbenennen=0", "Platz=4711", "Anzahl=2", "tellurio", "uninstaller", "Zusatz=0",
                   "Lizenz=Lizenz.txt"}));
}

TEST(SizeText, MillionsCommaAndThreeDigitsOfThousands) {
  EXPECT_EQ(SizeText(12300000), "12,300 MByte");
  EXPECT_EQ(SizeText(1234000000), "1.234,00 MByte");
  // Twelve million fifty thousand: not twelve and a half.
  EXPECT_EQ(SizeText(12050000), "12,050 MByte");
  EXPECT_EQ(SizeText(12005999), "12,005 MByte");
  EXPECT_EQ(SizeText(999), "0,00 MByte");
  EXPECT_EQ(SizeText(999999), "0,999 MByte");
  // 2 TB: two million megabytes, grouped in threes.
  EXPECT_EQ(SizeText(2000000000000), "2.000.000,00 MByte");
  EXPECT_EQ(SizeText(UINT64_MAX), "18.446.744.073.709,551 MByte");
}

}  // namespace
}  // namespace tellurio
