// The corrections of the cash desk's batch of accounting entries "PZUC.dta" through the real
// program, from the main window's accounting menu: what the batch holds byte for byte after a
// balanced exit, after an unbalanced one answered no, and after new entries whose amounts Enter
// filled from the difference; and a posting template taken into an entry in text mode 4.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "platform/text.h"
#include "storage/intentrecord.h"
#include "support/recordbytes.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

using platform::cz;

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

std::string castka(std::int64_t v) {
  std::string b(8, '\0');
  for (int i = 0; i < 8; ++i) b[static_cast<size_t>(i)] = static_cast<char>(static_cast<std::uint64_t>(v) >> (8 * i));
  return b;
}

// An entry of 138 bytes with every text at its full width, as the journal's form stores it.
std::string zapis(const std::string& up, const std::string& radek, const std::string& text, const std::string& md,
                  const std::string& strMd, const std::string& dal, const std::string& strDal, std::int64_t v,
                  const std::string& datum = "030122", const std::string& par = "          ") {
  return kratky("PZ", 2) + kratky(up, 6) + kratky(radek, 2) + kratky(text, 30) + kratky(md, 6) + kratky(strMd, 5) +
         kratky("", 20) + kratky(dal, 6) + kratky(strDal, 5) + kratky("", 20) + castka(v) + kratky(datum, 6) +
         kratky(par, 10);
}

const std::string kE1 = zapis("010001", "01", "Prijem sluzby", "211200", "20100", "602000", "20100", 100000);
const std::string kE2 = zapis("010001", "02", "Prijem DPH", "211200", "20100", "343200", "20100", 21000);
const std::string kE3 = zapis("010002", "01", "Vydej cestovne", "512000", "20100", "211200", "20100", 50000);

// The main window's accounting menu, its first item: the journal of the batch.
const char* const kOpravy = "Tab\nEnter\nEnter\n";

class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    install(dir, {.programRoot = true});
    for (const char* f : {"CI10.DTA", "CI30.DTA", "CI11.DTA"})
      std::filesystem::copy_file(std::filesystem::path(PZ_SOURCE_DIR) / "demo/data" / f, dir / "data" / f);
  }
  TempDir dir;
};

TEST_F(Journal, F8AndABalancedExitDropTheEntryWhileAnUnbalancedExitAnsweredNoKeepsTheBatch) {
  dir.write("data/PZUC.dta", kE1 + kE2 + kE3);
  // The list starts at the last entry; F8 on the one above it, then Esc: still in balance.
  auto r = runPzpokl(dir, std::string(kOpravy) + "Up\nF8\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), kE1 + kE3);

  // A one-sided debit of 500.00 leaves the batch out of balance: the difference is shown, and
  // the answer no leaves the batch byte for byte as it was.
  r = runPzpokl(dir, std::string(kOpravy) +
                         "F4\nDown\nDown\ntype Vklad\nDown\ntype 211200\nDown\nDown\nDown\nDown\nDown\nDown\n"
                         "type 500\nF2\nEsc\ndump\nEsc\ndump\nN\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("=== TfTabule \"Rozdíl MD-DAL\" ===\n Rozdíl MD-Dal         500.00"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Nesouhlasí strany, chcete je opravit"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), kE1 + kE3);
}

TEST_F(Journal, EnterInTheAmountGivesTheDifferenceAndANegativeAmountIsStoredAsSuch) {
  dir.write("data/PZUC.dta", kE1);
  // A one-sided credit of 500.00; then Enter in the amount of a new debit-only entry gives the
  // difference's absolute value (that entry is left with Esc), and of a credit entry the
  // difference itself, -500.00, which balances the batch.
  const std::string zacatek = "F4\nDown\nDown\ntype ";
  auto r = runPzpokl(dir, std::string(kOpravy) + zacatek + "Trzba\nDown\nDown\nDown\nDown\ntype 602000\nDown\nDown\nDown\n" +
                              "type 500\nF2\n" + zacatek + "Pokladna\nDown\ntype 211200\nDown\nDown\nDown\nDown\nDown\nDown\n" +
                              "Enter\nUp\ndump\nEsc\n" + zacatek + "Oprava\nDown\nDown\nDown\nDown\ntype 343200\nDown\nDown\nDown\n" +
                              "Enter\nUp\ndump\nF2\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find(">       Částka         500.00 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(">       Částka         500.00-"), std::string::npos) << r.out;
  const std::string davka = dir.read("data/PZUC.dta");
  ASSERT_EQ(davka.size(), 3u * 138) << r.out;
  EXPECT_EQ(davka.substr(0, 138), kE1);
  EXPECT_EQ(davka.substr(138, 138), zapis("000001", "01", "Trzba", "000000", "00000", "602000", "00000", 5000000,
                                          "091226", "0000000000"));
  EXPECT_EQ(davka.substr(276, 138), zapis("000001", "02", "Oprava", "000000", "00000", "343200", "00000", -5000000,
                                          "091226", "0000000000"));
  // Two's complement, little-endian: -5000000 is FFFFFFFFFFB3B4C0.
  EXPECT_EQ(davka.substr(276 + 112, 8), std::string("\xC0\xB4\xB3\xFF\xFF\xFF\xFF\xFF", 8));
}

TEST_F(Journal, InTextMode4ATemplateGivesTheTextAndTheAccountsOfItsFirstLine) {
  dir.write("data/PZUC.dta", kE1);
  // F10, "Nastavení způsobu vkládání textu", mode 4; F4, Enter in the text, the first template.
  auto r = runPzpokl(dir, std::string(kOpravy) +
                              "F10\nDown\nDown\nDown\nEnter\nDown\nDown\nDown\nEnter\n"
                              "F4\nDown\nDown\nEnter\nEnter\ndump\nF2\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find(">Text          Převod z banky do pokladny EUR\n"
                       "  >Účet Má dáti  211200   Pokladna EUR\n"
                       "  >Středisko MD  20100    Směnárna Praha\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(">Účet Dal      261000   Peníze na cestě"), std::string::npos) << r.out;
  EXPECT_NE(dir.read("par/dphint.par").find("UP DoTextu : 4"), std::string::npos);
  // An entry without an amount carries nothing and is not written back.
  EXPECT_EQ(dir.read("data/PZUC.dta"), kE1);
}

TEST_F(Journal, TheWorkCopyMendsAgendaMarksAndAnEmptyBatchOrAReadOnlyStationIsRefused) {
  // A blank agenda and "DL" take the agenda of the entry before; a text of exactly 28 characters
  // (cut by an older posting) is widened and marked "PO".
  std::string prazdna = kE2, dl = kE3, kratky28 = kE2;
  prazdna.replace(0, 3, std::string("\x02  ", 3));
  dl.replace(0, 3, "\x02" "DL");
  kratky28[13] = 28;
  dir.write("data/PZUC.dta", kE1 + prazdna + dl + kratky28);
  auto r = runPzpokl(dir, std::string(kOpravy) + "Esc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  std::string cekana28 = kE2;
  cekana28.replace(0, 3, "\x02" "PO");
  EXPECT_EQ(dir.read("data/PZUC.dta"), kE1 + kE2 + kE3 + cekana28);

  dir.write("data/PZUC.dta", "");
  r = runPzpokl(dir, std::string(kOpravy) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Dávka je prázdná -> není co opravovat"), std::string::npos) << r.out;

  TempDir cteni;
  install(cteni, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}, {"CTENI", "A"}}});
  cteni.write("data/PZUC.dta", kE1);
  r = runPzpokl(cteni, std::string(kOpravy) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Nemáte práva na opravy dat"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("=== fUc"), std::string::npos) << r.out;
}

// A save of series 01 cut off after it appended an entry to the batch leaves its intent record;
// the journal window opened before series 01 is has that save undone first, so the entry the save
// never finished is not shown, and no later undo cuts off what is changed here.
TEST_F(Journal, OpeningTheBatchUndoesACashDocumentSaveCutOffInItFirst) {
  std::string rada(71, '\0');
  rada.replace(0, 3, shortString("01", 2));
  rada.replace(3, 4, shortString("EUR", 3));
  rada.replace(7, 6, real48(25));
  rada[13] = 1;
  rada.replace(15, 6, real48(100));
  dir.write("data/pz_ra.dta", rada);
  dir.write("data/PZUC.dta", kE1 + kE3);
  // "PZJ1", one entry: 138 bytes written at 138 into PZUC.dta, then 138 bytes long; nothing
  // overwritten. Closed by the FNV-1a of all before it.
  std::string zamer = "PZJ1";
  storage::PridejLE<std::uint32_t>(zamer, 1);
  zamer += 'W';
  storage::PridejLE<std::uint16_t>(zamer, 8);
  zamer += "PZUC.dta";
  storage::PridejLE<std::int64_t>(zamer, 138);
  storage::PridejLE<std::int64_t>(zamer, 138);
  storage::PridejLE<std::uint32_t>(zamer, 138);
  storage::PridejLE<std::uint32_t>(zamer, 0);
  storage::PridejLE<std::uint32_t>(zamer, storage::Fnv1a32(zamer));
  dir.write("data/PZ01_.jrn", zamer);

  const auto r = runPzpokl(dir, std::string(kOpravy) + "dump\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), kE1);
  EXPECT_FALSE(std::filesystem::exists(dir / "data/PZ01_.jrn"));
  EXPECT_EQ(r.out.find("Vydej cestovne"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace pz::test
