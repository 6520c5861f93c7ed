// Attaching the cash desk's batch "PZUC.dta" to the general ledger "uc01.dta" through the real
// program, from the main window's accounting menu: by the vouchers marked in the list, the whole
// batch, the refusals that leave both files byte for byte, and a second process appending to the
// batch while the attach runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "platform/text.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

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

std::string zapis(const std::string& up, const std::string& radek, const std::string& md, const std::string& dal,
                  std::int64_t v, const std::string& agenda = "PZ") {
  return kratky(agenda, 2) + kratky(up, 6) + kratky(radek, 2) + kratky("Doklad " + up, 30) + kratky(md, 6) +
         kratky("20100", 5) + kratky("", 20) + kratky(dal, 6) + kratky("20100", 5) + kratky("", 20) + castka(v) +
         kratky("091226", 6) + kratky("", 10);
}

// Three balanced vouchers; the second is split into two one-sided lines.
const std::string kA = zapis("010001", "01", "211200", "602000", 1000000);
const std::string kB1 = zapis("010002", "01", "512000", "000000", 500000);
const std::string kB2 = zapis("010002", "02", "000000", "211200", 500000);
const std::string kC = zapis("010003", "01", "211200", "311000", 250000);
const std::string kLedger = zapis("009999", "01", "221000", "211200", 70000, "BA");

// The main window's accounting menu, its third item; then the way of attaching.
const char* const kPripojovani = "Tab\nEnter\nDown\nDown\nEnter\n";
const char* const kPodleVyberu = "Tab\nEnter\nDown\nDown\nEnter\nDown\nEnter\n";
const char* const kVsechny = "Tab\nEnter\nDown\nDown\nEnter\nDown\nDown\nEnter\n";

// Every run starts its menus at their first item: the last choice a menu remembers goes.
RunResult spust(const TempDir& d, const std::string& skript) {
  std::filesystem::remove(d / "par/VYBER.IDX");
  return runPzpokl(d, skript);
}

class Attach : public ::testing::Test {
 protected:
  void SetUp() override { install(dir, {.programRoot = true}); }
  TempDir dir;
};

TEST_F(Attach, MarkedVouchersMoveToTheLedgerAndTheRestStaysInTheBatch) {
  dir.write("data/PZUC.dta", kA + kB1 + kB2 + kC + kA);
  dir.write("data/uc01.dta", kLedger);
  // The list has four rows (010001 appears in two runs); marking the first two rows attaches
  // every entry of 010001 and 010002, wherever they stand.
  auto r = spust(dir, std::string(kPodleVyberu) + "dump\nInsert\nInsert\ndump\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Seznam UP z PZ"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Insert-označte pro připojení"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("010002      2              2"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + kA + kB1 + kB2 + kA);
  EXPECT_EQ(dir.read("data/PZUC.dta"), kC);
  EXPECT_FALSE(std::filesystem::exists(dir / "uc1.wrk"));

  // The last voucher into an empty ledger: the ledger is made of it, the batch is left empty.
  dir.write("data/uc01.dta", "");
  r = spust(dir, std::string(kPodleVyberu) + "Insert\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/uc01.dta"), kC);
  EXPECT_EQ(dir.read("data/PZUC.dta"), "");
  r = spust(dir, std::string(kPripojovani) + "dump\nEnter\nEsc\n");
  EXPECT_NE(r.out.find("Soubor účetnictví z PZ je prázdný, není co připojovat"), std::string::npos) << r.out;
}

TEST_F(Attach, AnUnbalancedSelectionIsRefusedAndBothFilesStayAsTheyWere) {
  // One side of voucher 010002 differs by 0.01 Kč.
  const std::string kB2spatne = zapis("010002", "02", "000000", "211200", 499900);
  const std::string davka = kA + kB1 + kB2spatne + kC;
  dir.write("data/PZUC.dta", davka);
  dir.write("data/uc01.dta", kLedger);
  auto r = spust(dir, std::string(kPodleVyberu) + "Down\nInsert\nEsc\ndump\nEnter\ndump\nEnter\ndump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Připojením by byl způsoben nesoulad stran MD-DAL o\n  0.0100  korun"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Připojení nelze provést pokud neuvedete strany do souladu"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Tato chyba pravděpodobně vznikla přepsáním čísla ÚP při\n  opravách"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), davka);
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger);
  // The work files stay for a look at what would have been attached.
  EXPECT_EQ(dir.read("uc1.wrk"), kB1 + kB2spatne);
  EXPECT_EQ(dir.read("uc2.wrk"), kA + kC);

  // "Všechny" attaches the same batch without a question; the batch is gone afterwards.
  r = spust(dir, std::string(kVsechny) + "Esc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + davka);
  EXPECT_FALSE(std::filesystem::exists(dir / "data/PZUC.dta"));
}

TEST_F(Attach, TheBusyFlagAReadOnlyStationAndABrokenLedgerChangeNothing) {
  const std::string davka = kA + kB1 + kB2;
  dir.write("data/PZUC.dta", davka);
  dir.write("data/uc01.dta", kLedger + "xyz");
  // A ledger of no whole number of entries is never appended to.
  auto r = spust(dir, std::string(kVsechny) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("nemá délku celých účetních zápisů"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), davka);
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + "xyz");

  struct Priznak {
    const char* hodnota;
    const char* zprava;
    const char* klavesy;  // one Enter per message
  };
  for (const auto& [hodnota, zprava, klavesy] :
       {Priznak{"PRENOS", "Potvrďte přenos a teprve pak spusťte tuto akci", "dump\nEnter\ndump\nEnter\nEsc\n"},
        Priznak{"N.OBDOBI", "Nedokončeno nastavení nového období", "dump\nEnter\nEnter\nEsc\n"},
        Priznak{"DF", "Připojení ÚP z agendy DF nedokončeno", "dump\nEnter\nEsc\n"}}) {
    TempDir d;
    install(d, {.dataRoot = {{"UC01", hodnota}}, .programRoot = true});
    d.write("data/PZUC.dta", davka);
    r = spust(d, std::string(kPripojovani) + klavesy);
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_NE(r.out.find(zprava), std::string::npos) << hodnota << r.out;
    EXPECT_EQ(r.out.find("Připojit ÚP z PZ"), std::string::npos) << r.out;
    EXPECT_EQ(d.read("data/PZUC.dta"), davka);
    EXPECT_FALSE(std::filesystem::exists(d / "data/uc01.dta"));
  }

  TempDir cteni;
  install(cteni, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}, {"CTENI", "A"}},
                  .programRoot = true});
  cteni.write("data/PZUC.dta", davka);
  r = spust(cteni, std::string(kPripojovani) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Nemáte práva na připojování účetních zápisů"), std::string::npos) << r.out;
  EXPECT_EQ(cteni.read("data/PZUC.dta"), davka);
}

}  // namespace
}  // namespace pz::test
