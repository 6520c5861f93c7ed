#include "reportfiles/report.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "storage/interaction.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::reports {
namespace {

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    storage::setInteraction(&rec);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::settings() = storage::GlobalSettings{};
  }
  test::TempDir dir;
  storage::RecordingInteraction rec;
};

TEST_F(ReportTest, LinesArePaddedOrCutToTheWidthAndPagesCounted) {
  ASSERT_TRUE(OtevriSestavu("CIS10", 100));
  PisRadek(std::string(120, 'x'));
  PisRadek("kratky");
  PisRadek(std::string(1, kFormFeed));
  PisRadek("");
  ZavriSestavu();
  const std::string f = dir.read("CIS10.TXT");
  ASSERT_EQ(f.size(), 4u * 102);
  EXPECT_EQ(f.substr(0, 102), std::string(100, 'x') + "\r\n");
  EXPECT_EQ(f.substr(102, 102), "kratky" + std::string(94, ' ') + "\r\n");
  EXPECT_EQ(f.substr(204, 102), "\f" + std::string(99, ' ') + "\r\n");
  EXPECT_EQ(RadkuSestavy(), 4);
  EXPECT_EQ(StranSestavy(), 1);
}

TEST_F(ReportTest, SideFileIsKeptOnlyWithContentAndStarNamesMakeTheirDirectories) {
  ASSERT_TRUE(OtevriSestavu("PZ10", 80));
  PisRadek("radek");
  PisCsv("1;2,50");
  ZavriSestavu();
  EXPECT_EQ(dir.read("XLS/PZ10.CSV"), "1;2,50\r\n");
  ASSERT_TRUE(OtevriSestavu("Staty", 80));
  PisRadek("radek");
  ZavriSestavu();
  EXPECT_FALSE(platform::fileExists("XLS\\Staty.CSV"));  // nothing written to it: removed
  ASSERT_TRUE(OtevriSestavu("*sub\\X", 40));
  PisRadek("a");
  ZavriSestavu();
  EXPECT_EQ(dir.read("sub/X.TXT").size(), 42u);
  EXPECT_FALSE(platform::fileExists("XLS\\X.CSV"));
}

TEST_F(ReportTest, AReportWithoutLinesIsRemovedWithItsCompanion) {
  dir.write("prazdna.txz", "stare");
  ASSERT_TRUE(OtevriSestavu("prazdna", 80));
  ZavriSestavu();
  EXPECT_FALSE(platform::fileExists("prazdna.TXT"));
  EXPECT_FALSE(platform::fileExists("prazdna.txz"));
}

TEST_F(ReportTest, AReportThatCannotBeCreatedSaysSo) {
  dir.write("blok", "");  // a file where a directory should be
  EXPECT_FALSE(OtevriSestavu("*blok\\X", 80));
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0].substr(0, 3), "Err");
  EXPECT_FALSE(PisRadek("ztraceny"));  // goes nowhere, and the producer hears so
  EXPECT_FALSE(ZavriSestavu());
}

TEST(Scrambling, AnyBytesComeBackAndLinesKeepTheirLength) {
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    std::string s(static_cast<size_t>(rng() % 300), '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    const std::string z = Zakoduj(s, KlicSestav());
    ASSERT_EQ(z.size(), s.size());
    ASSERT_EQ(Dekoduj(z, KlicSestav()), s);
  }
  EXPECT_EQ(KlicSestav().size(), 17u);
  EXPECT_EQ(Zakoduj("abc", ""), "abc");
  EXPECT_NE(Zakoduj("abc", KlicSestav()), "abc");
}

TEST_F(ReportTest, LineAccessFindsTheWidthAndReadsScrambledLinesBack) {
  storage::settings().gdpr = true;
  ASSERT_TRUE(OtevriSestavu("gdpr", 30));
  PisRadek("Jan Novak, Praha");
  PisRadek("druhy");
  ZavriSestavu();
  EXPECT_EQ(dir.read("gdpr.TXT").find("Novak"), std::string::npos);  // not in plain text on disk
  RadkovySoubor r;
  ASSERT_TRUE(r.otevri("gdpr.TXT"));
  EXPECT_EQ(r.sirka(), 30);
  EXPECT_EQ(r.pocet(), 2);
  std::string line = "unchanged";
  EXPECT_FALSE(r.cti(3, line));
  EXPECT_EQ(line, "unchanged");
  ASSERT_TRUE(r.cti(1, line));
  EXPECT_EQ(line, "Jan Novak, Praha" + std::string(14, ' '));
  ASSERT_TRUE(r.pis(3, "treti"));
  EXPECT_EQ(r.pocet(), 3);
  EXPECT_FALSE(r.pis(5, "mimo"));
}

TEST(Width, FirstTwoLinesDecideAndAOneLineReportKeepsItsWidth) {
  EXPECT_EQ(SirkaZeZacatku("abc\r\nabc\r\nx", 11), 3);
  EXPECT_EQ(SirkaZeZacatku("abc\r\nabcd\r\n", 11), 491);
  EXPECT_EQ(SirkaZeZacatku("jen jeden radek\r\n", 17), 15);
  EXPECT_EQ(SirkaZeZacatku("bez konce", 9), 491);
}

TEST_F(ReportTest, AOneLineReportIsReadNotEmptied) {
  ASSERT_TRUE(OtevriSestavu("doklad", 20));
  PisRadek("jediny radek");
  ZavriSestavu();
  RadkovySoubor r;
  ASSERT_TRUE(r.otevri("doklad.TXT"));
  EXPECT_EQ(r.pocet(), 1);
  r.zavri();
  EXPECT_EQ(dir.read("doklad.TXT").size(), 22u);
}

}  // namespace
}  // namespace pz::reports

namespace pz::reports {
namespace {

TEST_F(ReportTest, RegisterListsStartEveryPageWithTheirHeader) {
  platform::VirtualClock clock({2026, 12, 9}, {8, 0, 0, 0});
  platform::setClock(&clock);
  storage::settings().pageLength = 9;  // two body lines a page after the seven header lines
  storage::settings().firmName = "Firma s.r.o.";
  ASSERT_TRUE(OtevriSestavu("Staty", 100));
  StrankovanaSestava s("Seznam statu", {{"Kod", 3}, {"Nazev", 10}});
  for (int i = 1; i <= 5; ++i) s.radek("radek " + std::to_string(i));
  ZavriSestavu();
  platform::setClock(nullptr);
  RadkovySoubor r;
  ASSERT_TRUE(r.otevri("Staty.TXT"));
  std::vector<std::string> lines;
  for (int64_t n = 1; n <= r.pocet(); ++n) {
    std::string l;
    r.cti(n, l);
    l.erase(l.find_last_not_of(' ') + 1);
    lines.push_back(l);
  }
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0], "");  // no form feed before the first page
  EXPECT_EQ(lines[2], "Firma s.r.o." + std::string(25, ' ') + "Seznam statu          List:  1 Datum: 09.12.26");
  EXPECT_EQ(lines[4], "Kod Nazev");
  EXPECT_EQ(lines[5], std::string(15, '='));
  EXPECT_EQ(lines[7], "radek 1");
  EXPECT_EQ(lines[9], "radek 3");  // a line counter of 7 plus two lines fills the page...
  EXPECT_EQ(lines[10], "\f");      // ...so the next line starts page 2 with a form feed
  EXPECT_EQ(s.strana(), 2);
  EXPECT_EQ(StranSestavy(), 1);
}

}  // namespace
}  // namespace pz::reports

namespace pz::reports {
namespace {

void napis(const std::string& jmeno, int sirka, std::initializer_list<std::string> radky) {
  ASSERT_TRUE(OtevriSestavu("*" + jmeno, sirka));
  for (const auto& r : radky) PisRadek(r);
  ZavriSestavu();
}

std::vector<std::string> radky(const std::string& soubor, int* sirka = nullptr) {
  RadkovySoubor r;
  r.otevri(soubor);
  if (sirka) *sirka = r.sirka();
  std::vector<std::string> out;
  std::string l;
  for (int64_t n = 1; n <= r.pocet(); ++n)
    if (r.cti(n, l)) out.push_back(l);
  return out;
}

TEST_F(ReportTest, AppendingAWiderReportWidensTheTargetFirst) {
  for (bool gdpr : {false, true}) {
    storage::settings().gdpr = gdpr;
    napis("uzka", 80, {"prvni", "druhy"});
    napis("siroka", 132, {std::string(132, 'w')});
    ASSERT_EQ(PripojSestavu("siroka.TXT", "uzka.TXT"), 0);
    int sirka = 0;
    auto r = radky("uzka.TXT", &sirka);
    EXPECT_EQ(sirka, 132);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], "prvni" + std::string(127, ' '));
    EXPECT_EQ(r[2], std::string(132, 'w'));
    EXPECT_FALSE(platform::fileExists("xxx.txt"));
  }
}

TEST_F(ReportTest, AppendingANarrowerReportPadsItsLinesAndAnEmptyTargetBecomesACopy) {
  napis("siroka", 132, {"a"});
  napis("uzka", 80, {"b", "c"});
  ASSERT_EQ(PripojSestavu("uzka.TXT", "siroka.TXT"), 0);
  auto r = radky("siroka.TXT");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[2], "c" + std::string(131, ' '));
  ASSERT_EQ(PripojSestavu("uzka.TXT", "nova.TXT"), 0);
  EXPECT_EQ(dir.read("nova.TXT"), dir.read("uzka.TXT"));
  EXPECT_EQ(PripojSestavu("neni.TXT", "nova.TXT"), 0);  // nothing to append: nothing changes
  EXPECT_EQ(dir.read("nova.TXT"), dir.read("uzka.TXT"));
}

}  // namespace
}  // namespace pz::reports

namespace pz::reports {
namespace {

TEST_F(ReportTest, UnevenFilesAreReadWithoutReadingPastTheirEnd) {
  dir.write("nerovna.txt", "abcd\r\nefgh\r\nij\r\n");  // the last line is shorter than the others
  RadkovySoubor r;
  ASSERT_TRUE(r.otevri("nerovna.txt"));
  ASSERT_EQ(r.sirka(), 4);
  ASSERT_EQ(r.pocet(), 2);  // 16 bytes hold two whole lines of 4
  std::string l;
  ASSERT_TRUE(r.cti(2, l));
  EXPECT_EQ(l, "efgh");
  dir.write("kusy.txt", "abcd\r\nefgh\r\nijklmn");
  RadkovySoubor k;
  ASSERT_TRUE(k.otevri("kusy.txt"));
  ASSERT_EQ(k.pocet(), 3);
  ASSERT_TRUE(k.cti(3, l));
  EXPECT_EQ(l, "ijkl");
  EXPECT_TRUE(rec.messages.empty());
}

// A disk that fills while a report is written: the failure is shown once, the producer is told
// to stop, and no report cut somewhere in a line is left to be shown as finished. A write that
// stores half its bytes first, one that stores none, and one that fails only at the close.
TEST_F(ReportTest, AFullDiskStopsTheProducerAndLeavesNoCutReport) {
  struct Case {
    const char* name;
    int lines;  // 2000 lines of 134 bytes fill the write buffer several times
    bool torn;
  };
  for (const Case c : {Case{"torn", 2000, true}, Case{"none", 2000, false}, Case{"at close", 3, false}}) {
    SCOPED_TRACE(c.name);
    rec.messages.clear();
    ASSERT_TRUE(OtevriSestavu("plna", 132));
    PisCsv("1;2");
    int written = 0;
    bool whole;
    {
      test::FaultInjector inject;
      if (c.torn)
        inject.tearNthWrite(1, ENOSPC);
      else
        inject.failNth(test::FaultOp::Write, 1, ENOSPC, true);
      while (written < c.lines && PisRadek("radek " + std::to_string(written))) ++written;
      whole = ZavriSestavu();
    }
    EXPECT_FALSE(whole);
    EXPECT_LT(written, 2000) << "the producer was not told to stop";
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Err101 plna.TXT");
    EXPECT_FALSE(platform::fileExists("plna.TXT"));
    EXPECT_FALSE(platform::fileExists("XLS\\plna.CSV"));
  }
  // The next report on a disk with room again is whole.
  ASSERT_TRUE(OtevriSestavu("plna", 10));
  EXPECT_TRUE(PisRadek("a"));
  EXPECT_TRUE(ZavriSestavu());
  EXPECT_EQ(dir.read("plna.TXT"), "a         \r\n");
}

}  // namespace
}  // namespace pz::reports
