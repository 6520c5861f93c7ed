// A small register window built on the record form, driven by key scripts of the headless
// presenter over a real record file; a second workstation is played by commands between keys.
// What is checked is what a user sees on the screens and what the file holds afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/script.h"
#include "support/tempdir.h"
#include "ui/picture.h"
#include "ui/recordform.h"

namespace pz {
namespace {

using platform::cz;

// Partners: company number "P" 8, name "X" 20, town "X" 15, turnover Real48, date "d", and a
// note the form never shows; 70 bytes.
constexpr int kVelikost = 70;

std::string partner(const std::string& ico, const std::string& nazev, const std::string& mesto, const std::string& obrat,
                    const std::string& datum, const std::string& pozn) {
  std::string v(kVelikost, '\0');
  ui::UlozPole(*ui::RozeberTyp("P"), 8, ico, v, 0);
  ui::UlozPole(*ui::RozeberTyp("X"), 20, nazev, v, 9);
  ui::UlozPole(*ui::RozeberTyp("X"), 15, mesto, v, 30);
  ui::UlozPole(*ui::RozeberTyp("##########.##-R"), 14, obrat, v, 46);
  ui::UlozPole(*ui::RozeberTyp("d"), 8, datum, v, 52);
  ui::UlozPole(*ui::RozeberTyp("X"), 10, pozn, v, 59);
  return v;
}

class TfPartneri : public ui::TfSoub {
 public:
  TfPartneri() : TfSoub("fPartneri") {}
  void Otevri() {
    OtevriSoub({.soubor = "partneri.dta",
                .titulek = cz(" Partneři "),
                .velikost = kVelikost,
                .radek = 0,
                .barvaFormulare = ui::kWhite,
                .formular = {5, 3, 60, 10},
                .seznam = {1, 1, 78, 14},
                .napovedaFormulare = cz(" F2=zápis Esc=ven "),
                .titulekFormulare = cz(" Partner "),
                .napovedaSeznamu = cz(" F4-Nový Mezera-Oprava F8-Ruš"),
                .pole = {{.popis = cz("IČO    "), .sirka = 8, .obrazek = "P", .titulek = cz("IČO")},
                         {.popis = cz("Název  "), .sirka = 20, .obrazek = "X", .titulek = cz("Název")},
                         {.popis = cz("Město  "), .sirka = 15, .obrazek = "X", .titulek = cz("Město")},
                         {.popis = "Obrat  ", .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R',
                          .bocniText = cz("Kč"), .bocniSloupec = 30, .titulek = "Obrat"},
                         {.popis = "Datum  ", .sirka = 8, .obrazek = "d", .titulek = "Datum"},
                         {.popis = cz("Pozn.  "), .sirka = 10, .obrazek = "X"}},
                .sloupce = 5});
    Pole(6).stav = -1;
  }
};

class RecordFormScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  // Runs the script over the register window; the screens it dumped come back.
  std::string hraj(const std::string& skript) {
    const test::ScriptRun r = test::runScript(dir, skript, [this] {
      okno.Otevri();
      okno.showModal();
      okno.Zavri();
    });
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return r.out;
  }
  std::string zaznam(int n) const {
    return dir.read("partneri.dta").substr(static_cast<size_t>((n - 1) * kVelikost), kVelikost);
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  TfPartneri okno;
};

TEST_F(RecordFormScript, ANewPartnerIsAppendedAndASecondProcessCountsIt) {
  dir.write("partneri.dta", partner("1", "Alfa 12", "Praha", "100", "010124", "tajne"));
  const std::string obrazovky = hraj(
      "F4\n"
      "type 12345678\nEnter\n"
      "type Novák & syn \"Brno\"\nEnter\n"
      "type Čáslav\nEnter\n"
      "type 1500,5\nEnter\n"
      "type 1.2.24\n"
      "dump\n"
      "F2\n"
      "run stat -c %s partneri.dta > velikost.txt\n"
      "dump\n"
      "Esc\n");
  EXPECT_EQ(dir.read("velikost.txt"), "140\n");
  // The note is not on the form: it keeps what the record buffer held (nothing).
  std::string nova = partner("12345678", cz("Novák & syn \"Brno\""), cz("Čáslav"), "1500.5", "010224", "");
  std::fill(nova.begin() + 59, nova.end(), '\0');
  EXPECT_EQ(zaznam(2), nova);
  // The form with its side text, then the list with the new row last.
  EXPECT_NE(obrazovky.find("=== fPartneriAkt \" Partner \" ==="), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Obrat        1500.50        Kč"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("12345678 Novák & syn \"Brno\"   Čáslav                1500.50  01.02.24"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("2/      2"), std::string::npos) << obrazovky;
}

TEST_F(RecordFormScript, AnEditIsRefusedWhenAnotherProcessRewroteTheRecord) {
  dir.write("partneri.dta", partner("1", "Alfa 12", "Praha", "100", "010124", "tajne"));
  const std::string obrazovky = hraj(
      "Space\n"
      "Tab\ntype Beta\n"
      // The other station swaps two digits: the byte sum stays, the record does not.
      "run printf 21 | dd of=partneri.dta bs=1 seek=15 conv=notrunc status=none\n"
      "F2\n"
      "dump\n"
      "Enter\nEsc\n");
  EXPECT_NE(obrazovky.find("Vaše opravy neplatí, větu změnil jiný uživatel"), std::string::npos) << obrazovky;
  EXPECT_EQ(zaznam(1), partner("1", "Alfa 21", "Praha", "100", "010124", "tajne"));
}

TEST_F(RecordFormScript, AnEditIsStoredWhenAnotherProcessWroteTheSameBytesAndTheHiddenNoteStays) {
  dir.write("partneri.dta", partner("1", "Alfa 12", "Praha", "100", "010124", "tajne"));
  hraj(
      "Space\n"
      "Tab\ntype Beta\n"
      "run cp partneri.dta kopie.dta && cp kopie.dta partneri.dta\n"
      "F2\nEsc\n");
  EXPECT_EQ(zaznam(1), partner("00000001", "Beta", "Praha", "100", "010124", "tajne"));
}

TEST_F(RecordFormScript, F8WithTheDefaultHookRewritesTheRowUnchangedAndEscTouchesNothing) {
  const std::string puvodni = partner("1", "Alfa", "Praha", "100", "010124", "a") +
                              partner("2", "Beta", "Brno", "200", "020224", "b");
  dir.write("partneri.dta", puvodni);
  hraj(
      "Home\nSpace\nF2\n"  // the buffer now holds record 1
      "Down\nF8\n"
      "Space\ntype Gama\nEsc\n"
      "Esc\n");
  EXPECT_EQ(dir.read("partneri.dta"), puvodni);
}

TEST_F(RecordFormScript, ZakaktForbidsNewPartners) {
  dir.write("partneri.dta", partner("1", "Alfa", "Praha", "100", "010124", "a"));
  dir.write("par/zakakt.par", "partneri.dta : zakazano\r\n");
  const std::string obrazovky = hraj("F4\ndump\nEsc\n");
  EXPECT_EQ(obrazovky.find("fPartneriAkt"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("partneri.dta").size(), static_cast<size_t>(kVelikost));
}

TEST_F(RecordFormScript, MarkedPartnersExportedForSpreadsheetsAndDbaseAreReadBackByOtherPrograms) {
  dir.write("partneri.dta", partner("1", "Alfa \"A\"", "Praha", "100", "150324", "a") +
                                partner("2", "Beta", "Brno", "200", "020224", "b") +
                                partner("3", cz("Gama; Říčany"), cz("Říčany"), "-3,5", "310199", "c"));
  hraj(
      "Home\nInsert\nDown\nInsert\n"  // rows 1 and 3
      "Ctrl+E\nEnter\n"
      "Insert\nCtrl+D\nEnter\n"  // the marks went with the first export: row 3 alone now
      "Esc\n");
  ASSERT_EQ(std::system("/usr/bin/python3 --version > /dev/null 2>&1"), 0) << "python3 is needed";
  ASSERT_EQ(std::system("/usr/bin/python3 -c \"import csv; r = list(csv.reader(open('XLS/PARTNERI.CSV', "
                        "encoding='cp1250'), delimiter=';')); [print('|'.join(x)) for x in r]\" > csv.txt"),
            0);
  EXPECT_EQ(dir.read("csv.txt"),
            "IČO     |Název               |Město          |Obrat         |Datum   |\n"
            "12|08|08|05|14|\n"
            "00000001|Alfa \"A\"            |Praha          |       100,00 |150324|\n"
            "00000003|Gama; Říčany        |Říčany         |         3,50-|310199|\n");
  if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0) GTEST_SKIP() << "no dbfread";
  ASSERT_EQ(std::system("/usr/bin/python3 -c \"import dbfread; "
                        "[print(r['ICO'], r['NAZEV'], r['MESTO'], r['OBRAT'], r['DATUM']) "
                        "for r in dbfread.DBF('TAMBRA3W/PARTNERI.DBF')]\" > dbf.txt"),
            0);
  EXPECT_EQ(dir.read("dbf.txt"), "00000003 Gama; Říčany Říčany -3.5 1999-01-31\n");
}

TEST_F(RecordFormScript, AClickOnAColumnTitleSortsTheListInCzechOrder) {
  const char* mesta[] = {"Ivančice", "Chrudim", "Děčín", "Hradec", "Čáslav", "Cvikov"};
  std::string data;
  for (int i = 0; i < 6; ++i) data += partner(std::to_string(i + 1), "P", cz(mesta[i]), "1", "010124", "");
  dir.write("partneri.dta", data);
  const std::string obrazovky = hraj(
      "Home\nDown\n"  // Chrudim, record 2
      "click 33 1\n"
      "dump\n"
      "Enter\n");
  // The order goes to order file 1: entry k is (record at row k, row of record k).
  const std::string poradi = dir.read("partneri.dt1");
  ASSERT_EQ(poradi.size(), 48u);
  std::string radky;
  for (size_t k = 0; k < 6; ++k) radky += std::to_string(static_cast<unsigned char>(poradi[8 * k]));
  EXPECT_EQ(radky, "653421");
  const size_t od = obrazovky.find("Cvikov");
  ASSERT_NE(od, std::string::npos) << obrazovky;
  EXPECT_LT(obrazovky.find("Cvikov"), obrazovky.find("Čáslav"));
  EXPECT_LT(obrazovky.find("Čáslav"), obrazovky.find("Děčín"));
  EXPECT_LT(obrazovky.find("Děčín"), obrazovky.find("Hradec"));
  EXPECT_LT(obrazovky.find("Hradec"), obrazovky.find("Chrudim"));
  EXPECT_LT(obrazovky.find("Chrudim"), obrazovky.find("Ivančice"));
  // The cursor stayed on Chrudim, now row 5; Enter hands back its record number.
  EXPECT_NE(obrazovky.find("6/      5"), std::string::npos) << obrazovky;
  EXPECT_EQ(okno.Radek, 2);
}

}  // namespace
}  // namespace pz
