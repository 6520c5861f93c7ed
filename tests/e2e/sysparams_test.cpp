// The system parameters window in the running program, opened from the look menu of the series
// list: what each row writes into its store, and what stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {


// The value of `key` in a station settings table (18-byte entries: key and value, each a length
// byte and 8 bytes); "<none>" when the key is not there.
std::string jobValue(const std::string& table, const std::string& key) {
  for (size_t o = 0; o + 18 <= table.size(); o += 18) {
    const size_t kl = static_cast<unsigned char>(table[o]), vl = static_cast<unsigned char>(table[o + 9]);
    if (kl > 0 && table.substr(o + 1, kl) == key) return table.substr(o + 10, vl);
  }
  return "<none>";
}

Installation station() {
  Installation i;
  i.programRoot = true;
  i.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}, {"DAN1", "12"}, {"MENA", "CZK"},
               {"LIMRAD", "60"},   {"TAB", "5"},      {"NovyList", "a"}, {"DIAKTISK", "K"}, {"FMA343", "A"}};
  return i;
}

void files(TempDir& dir) {
  std::string series(71, '\0');
  series.replace(0, 7, std::string("\x02" "01" "\x03" "EUR"));
  series[13] = 1;  // units
  dir.write("data/pz_ra.dta", series);
  dir.write("UCPARAM.DTA", "MenaEU : EUR\r\nKursEU : 25,125\r\nUcRok : 5\r\nUcObd : 12\r\n");
  dir.write("data/UCPARAM.DTA", "Kontr56 : a\r\n");
  dir.write("par/okna2.par", "Vyska pismen : 12\r\nCencTisk : a\r\n");
  dir.write("sys.par", "stredniky : Ano\r\nTiskDefault : X\r\nLimitHotovosti : 100000\r\n");
}

// The cash desk button, Esc on the own company form, then the series list's look menu, item 1.
const std::string kOpen = "Enter\nEsc\nF11\nEnter\n";
// Leaves the series list and the main window, which writes the parameter files.
const std::string kLeave = "Esc\nEsc\n";

TEST(SystemParameters, EscWritesEveryStoreAsLoadedWithItsIntendedConversions) {
  TempDir dir;
  install(dir, station());
  files(dir);
  const std::string job = dir.read("master.job");
  auto r = runPzpokl(dir, kOpen + "dump\nEsc\n" + kLeave);
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  // The window as the user sees it: the rate's label names both currencies, the hidden font rows
  // are not shown, and the footer names the keys.
  EXPECT_NE(r.out.find("=== fParSys"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Kurs EUR k CZK"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("25,125"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Výška písmen"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Odstranit problém tisků        A"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("F2=zápis parametrů"), std::string::npos) << r.out;
  // The station table keeps every byte except NovyList, whose store upper-cases it.
  const std::string po = dir.read("master.job");
  EXPECT_EQ(jobValue(po, "NovyList"), "A");
  std::string ocekavana = job;
  const size_t at = job.find(std::string("\x08NovyList", 9));
  ASSERT_NE(at, std::string::npos);
  ocekavana[at + 10] = 'A';
  EXPECT_EQ(po, ocekavana);
  EXPECT_EQ(dir.read("UCPARAM.DTA"), "MenaEU : EUR\r\nKursEU : 25,125\r\nUcRok : 5\r\nUcObd : 12\r\n");
  EXPECT_EQ(dir.read("data/UCPARAM.DTA"), "Kontr56 : A\r\n");
  // A font height below 15 becomes 15; the TAMBRA printer choice is always emptied.
  const std::string okna = dir.read("par/okna2.par");
  EXPECT_EQ(okna.substr(0, 34), "Vyska pismen :  15\r\nCencTisk : A\r\n");
  // The window's place and look are kept for its next opening.
  EXPECT_NE(okna.find("fParSys OknoWidth : "), std::string::npos) << okna;
  EXPECT_NE(okna.find("fParSys FontStyleA : Normal"), std::string::npos) << okna;
  EXPECT_EQ(dir.read("sys.par"), "stredniky : Ano\r\nLimitHotovosti : 100000\r\n");
}

TEST(SystemParameters, ChangedRowsReachTheirStoresWithTheirConversionsAndF2Accepts) {
  TempDir dir;
  install(dir, station());
  files(dir);
  // Row 1 to 3: currency, conversion currency, rate; 4 the basic VAT rate; 7 the page length;
  // 10 the VAT direction; 21 the control year; 25 the cash payment limit.
  const std::string keys = kOpen +
                           "type USD\nDown\n"            // 1
                           "Down\n"                      // 2
                           "type 24,5\nDown\n"           // 3
                           "type 15\nDown\nDown\nDown\n"  // 4, 5, 6
                           "type 0\nDown\n"              // 7
                           "Down\nDown\n"                // 8, 9
                           "type x\nDown\n"              // 10
                           "dump\n"
                           "Down\nDown\nDown\nDown\nDown\nDown\nDown\nDown\n"  // 11 to 21 (17, 18 skipped)
                           "type 26\nDown\nDown\nDown\nDown\n"  // 21..24
                           "type 0\nF2\n" +
                           kLeave;
  auto r = runPzpokl(dir, keys);
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Kurs EUR k USD"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("DOLU"), std::string::npos) << r.out;
  const std::string job = dir.read("master.job");
  EXPECT_EQ(jobValue(job, "MENA"), "USD");
  EXPECT_EQ(jobValue(job, "DAN2"), "15");
  EXPECT_EQ(jobValue(job, "DAN1"), "12");
  EXPECT_EQ(jobValue(job, "LIMRAD"), "64");
  EXPECT_EQ(jobValue(job, "DAN_DOLU"), "DOLU");
  EXPECT_EQ(jobValue(job, "TAB"), "5");
  EXPECT_EQ(jobValue(job, "DAN3"), "<none>");
  EXPECT_EQ(dir.read("UCPARAM.DTA"), "MenaEU : EUR\r\nKursEU : 24,5\r\nUcRok : 26\r\nUcObd : 12\r\n");
  EXPECT_EQ(dir.read("sys.par"), "stredniky : Ano\r\nLimitHotovosti : 0\r\n");
}

TEST(SystemParameters, PrinterTypeFromTheDefinitionFilesAndPaperColourFromAChoiceList) {
  TempDir dir;
  install(dir, station());
  files(dir);
  dir.write("prog/2/laser.dst", "definice");
  dir.write("prog/2/ibm.dst", "definice");
  const std::string keys = kOpen +
                           "F11\nEnter\nDown\nEnter\n"  // look menu: paper colour, the second colour
                           "Down\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\n"  // to 14
                           "Enter\ndump\nDown\nEnter\n"  // printer types, the second one
                           "Down\nDown\nDown\nDown\nDown\nDown\nDown\nDown\n"  // 15 to 25
                           "Enter\n" +                   // Enter on the last row accepts
                           kLeave;
  auto r = runPzpokl(dir, keys);
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Typ tiskárny"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ibm"), std::string::npos) << r.out;
  EXPECT_EQ(jobValue(dir.read("master.job"), "TISKARNA"), "laser");
  const std::string okna = dir.read("par/okna2.par");
  EXPECT_NE(okna.find("fParSys FontPaperA :  0016777215\r\n"), std::string::npos) << okna;
}

}  // namespace
}  // namespace pz::test
