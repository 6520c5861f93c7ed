// The smaller registers driven by key scripts of the headless presenter over real record files:
// the rate table, the posting templates, the VAT return lines and their choosers, the cash-book
// keys, the bank codes and the own bank accounts.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "accounting/templates.h"
#include "accounting/vatlines.h"
#include "platform/paths.h"
#include "platform/syscalls.h"
#include "platform/text.h"
#include "rates/ratetable.h"
#include "registers/banks.h"
#include "registers/keys.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/textutil.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faultsweep.h"
#include "support/script.h"
#include "support/sharingtable.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using platform::cz;
namespace fs = std::filesystem;

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

std::string real48(double x) {
  std::string b(6, '\0');
  (void)storage::writeReal48(b, 0, x);
  return b;
}

std::string u16(int n) { return std::string{static_cast<char>(n & 0xFF), static_cast<char>(n >> 8)}; }

// A rate record now (23 bytes) and in the older layout (18 bytes: units as one byte, no analytics).
std::string kurs(const std::string& kod, double kurz, const std::string& datum, int mnozstvi, const std::string& an) {
  return kratky(kod, 3) + real48(kurz) + kratky(datum, 6) + u16(mnozstvi) + kratky(an, 3);
}
std::string staryKurs(const std::string& kod, double kurz, const std::string& datum, int mnozstvi) {
  return kratky(kod, 3) + real48(kurz) + kratky(datum, 6) + std::string(1, static_cast<char>(mnozstvi));
}

class RegisterScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/.keep", "");
    fs::create_directories(dir / "PROG/CI");
    fs::create_directories(dir / "PROG/2");
    fs::copy(fs::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "PROG/dlib");
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(&zpravy);
    storage::settings().user = "01";
  }
  void TearDown() override {
    platform::sys() = platform::realSysCalls();
    storage::ZapomenOtevrenaOkna();
    storage::settings() = storage::GlobalSettings{};
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  std::string hraj(const std::string& skript, const std::function<void()>& program) {
    const test::ScriptRun r = test::runScript(dir, skript, program);
    EXPECT_EQ(r.rc, 0) << r.err;
    return r.out;
  }
  std::string data(const std::string& jmeno) const { return dir.read("DATA/" + jmeno); }

  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

// ---------------------------------------------------------------------------------------------
// Rate table

// The table shown from its first rate until the script closes it.
void otevri(rates::TfKursy& okno) {
  okno.NastavKursy();
  okno.PocetRadku = okno.Soubor().pocet();
  okno.Sestav();
  okno.JdiNa(1);
  okno.showModal();
  okno.Zavri();
}

class RateTable : public RegisterScript {
 protected:
  std::string ukaz(const std::string& skript) {
    return hraj(skript, [this] { otevri(okno); });
  }

  rates::TfKursy okno;
};

TEST_F(RateTable, AnOlderFileIsConvertedOnOpeningAndASecondOpeningChangesNothing) {
  dir.write("DATA/kursy.dta", staryKurs("EUR", 24.82, "030122", 1) + staryKurs("JPY", 19.12, "030122", 100));
  ukaz("Esc\n");
  const std::string nove = kurs("EUR", 24.82, "030122", 1, "000") + kurs("JPY", 19.12, "030122", 100, "000");
  EXPECT_EQ(data("kursy.dta"), nove);
  ukaz("Esc\n");
  EXPECT_EQ(data("kursy.dta"), nove);
  EXPECT_TRUE(zpravy.messages.empty()) << zpravy.messages.front();
}

TEST_F(RateTable, ANewRateInheritsUnitsAndAnalyticsAndItsFieldsAreChecked) {
  dir.write("DATA/kursy.dta", kurs("EUR", 24.5, "020124", 1, "001") + kurs("EUR", 24.6, "030124", 100, "021") +
                                  kurs("USD", 22.1, "030124", 1, "030"));
  const std::string obrazovky = ukaz(
      "F4\ntype eur\nEnter\ndump\n"           // the latest EUR: 100 units, analytics 021
      "type 25,125\nEnter\n"
      "type 31.02.24\nEnter\ndump\n"          // refused; the message is answered
      "Enter\n"
      "type 29.02.24\nEnter\n"
      "type 1001\nEnter\ndump\n"
      "F2\nEsc\n");
  EXPECT_NE(obrazovky.find("Kód měny : EUR"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Množství :   100"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Analytika: 021"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Chybné datum !"), std::string::npos) << obrazovky;
  const std::string f = data("kursy.dta");
  ASSERT_EQ(f.size(), 4u * 23);
  EXPECT_EQ(f.substr(69), kurs("EUR", 25.125, "290224", 1, "021"));
}


TEST_F(RateTable, AnIntervalDeleteCompactsTheFileAndTheSortsDropBlankCodes) {
  const std::string stary = kurs("EUR", 30.1, "010199", 1, "000"), loni = kurs("EUR", 25.2, "151223", 1, "000"),
                    bez = kurs("USD", 22.0, "", 1, "000"), letos = kurs("EUR", 25.3, "020124", 1, "000"),
                    usd = kurs("USD", 23.0, "020124", 1, "000"), prazdny = kurs("", 0, "020124", 1, "000");
  dir.write("DATA/kursy.dta", stary + loni + bez + letos + usd + prazdny);
  // "od" given with "do" empty deletes nothing; "od" empty up to 31.12.23 takes every earlier
  // date, the 1990s included, and the rate without a date.
  ukaz("F8\ntype 01.01.20\nF2\nF8\nDown\ntype 31.12.23\nF2\nEsc\n");
  EXPECT_EQ(data("kursy.dta"), letos + usd + prazdny);
  // By date, then code: the blank code goes, equal dates follow their codes.
  dir.write("DATA/kursy.dta", usd + prazdny + letos + loni);
  ukaz("F10\nDown\nEnter\nEsc\n");
  EXPECT_EQ(data("kursy.dta"), loni + letos + usd);
  // Both dates empty: the current record only; then the last one, which leaves an empty file.
  const std::string obrazovky = ukaz("F8\nF2\nF8\nF2\nF8\nF2\ndump\nEsc\n");
  EXPECT_EQ(data("kursy.dta"), "");
  EXPECT_EQ(obrazovky.find("EUR  25"), std::string::npos) << obrazovky;
}

TEST_F(RateTable, WhileAnotherStationUsesTheTableF8SaysSoAndNothingIsLost) {
  const std::string f = kurs("EUR", 24.0, "010124", 1, "000") + kurs("USD", 22.0, "010124", 1, "000");
  dir.write("DATA/kursy.dta", f);
  dir.write("DATA/FOT.tab", test::sharingTable("KURSY.DTA"));
  const std::string obrazovky = ukaz("F8\ndump\nEnter\nEsc\n");
  EXPECT_NE(obrazovky.find("Se souborem se pracuje"), std::string::npos) << obrazovky;
  EXPECT_EQ(obrazovky.find("Rušení intervalu"), std::string::npos) << obrazovky;
  EXPECT_EQ(data("kursy.dta"), f);
}

TEST_F(RateTable, TheDateRepairSetsLettersAndZeroDatesRight) {
  dir.write("DATA/kursy.dta", kurs("EUR", 24.0, "0101O5", 1, "000") + kurs("EUR", 24.0, "l20105", 1, "000") +
                                  kurs("EUR", 24.0, "000000", 1, "000"));
  okno.NastavKursy();
  okno.OpravDatum();
  okno.Zavri();
  EXPECT_EQ(data("kursy.dta"), kurs("EUR", 24.0, "010105", 1, "000") + kurs("EUR", 24.0, "120105", 1, "000") +
                                   kurs("EUR", 24.0, "      ", 1, "000"));
}

// ---------------------------------------------------------------------------------------------
// Posting templates

// A template with its first line; the other nine lines blank.
std::string predkontace(const std::string& cislo, const std::string& nazev, const std::string& datum = "250101") {
  std::string v = kratky(cislo, 3) + kratky(nazev, 30) + kratky("211200", 6) + kratky("20100", 5) + kratky("221200", 6) +
                  kratky("", 5);
  for (int k = 2; k <= 10; ++k) v += kratky("", 6) + kratky("", 5) + kratky("", 6) + kratky("", 5);
  return v + kratky(datum, 6);
}

class PostingTemplates : public RegisterScript {
 protected:
  std::string ukaz(const std::string& skript) {
    return hraj(skript, [this] { okno.UkazSeznam(); });
  }
  std::string cisla() const {
    std::string c;
    const std::string f = data("CI11.DTA");
    for (std::size_t o = 0; o + 302 <= f.size(); o += 302) c += f.substr(o + 1, 3) + ",";
    return c;
  }
  accounting::TfCis11 okno;
};

TEST_F(PostingTemplates, TheFileStaysInOrderOfNumberAndDeletedTemplatesGoOnClosing) {
  dir.write("DATA/CI11.DTA", predkontace("001", "Prvni") + predkontace("003", "Treti") + predkontace("007", "Sedma"));
  // A new 005 lands between 003 and 007, with today as its change date.
  ukaz("F4\ntype 005\nEnter\ntype Pata\nF2\nEsc\n");
  EXPECT_EQ(cisla(), "001,003,005,007,");
  const std::string f = data("CI11.DTA");
  EXPECT_EQ(f.substr(2 * 302, 35), kratky("005", 3) + kratky("Pata", 30));
  EXPECT_EQ(f.substr(2 * 302 + 295, 7), kratky("261209", 6));
  // The first renumbered to 009 moves behind 007.
  ukaz("Up\nUp\nUp\nSpace\ntype 009\nF2\nEsc\n");
  EXPECT_EQ(cisla(), "003,005,007,009,");
  // A deleted template is the first row, blank-numbered, until the list is closed.
  std::string behem;
  hraj("Up\nUp\nF8\nEsc\n", [&] {
    okno.Ukaz();
    behem = cisla();
    okno.ZavriSeznam();
  });
  EXPECT_EQ(behem, "   ,003,007,009,");
  EXPECT_EQ(cisla(), "003,007,009,");
  // A template with one line gives one entry line: debit and credit with their centres.
  const std::string prvni = data("CI11.DTA").substr(0, 302);
  const auto radky = accounting::RadkyPredkontace(std::vector<std::uint8_t>(prvni.begin(), prvni.end()));
  ASSERT_EQ(radky.size(), 1u);
  EXPECT_EQ(radky[0].ucetM + radky[0].strM + radky[0].ucetD + radky[0].strD, "21120020100221200     ");
}


// ---------------------------------------------------------------------------------------------
// VAT return lines

TEST_F(RegisterScript, TheLineChoosersAnswerTheEntryNumberAndItsLine) {
  std::string nula, vstup, vystup, eu, nic;
  const std::string obrazovky = hraj("Down\nDown\nEnter\nHome\nEnter\nDown\nDown\nEnter\nF1\ndump\nEsc\nEsc\nEnd\nEnter\n",
                                     [&] {
                                       nula = accounting::VyberRadekNula();
                                       vstup = accounting::VyberRadekVstup();
                                       vystup = accounting::VyberRadekVystup();
                                       nic = accounting::VyberRadekEU();
                                       eu = accounting::VyberRadekEU();
                                     });
  EXPECT_EQ(nula, "003022");
  EXPECT_EQ(vstup.substr(0, 6), "001040");
  EXPECT_EQ(vstup, "001" + cz("040,041 odpočet z přij. zdan. plnění od plátců"));
  EXPECT_EQ(vystup, "003");  // an empty entry: the number alone
  EXPECT_EQ(nic, "   ");
  EXPECT_EQ(eu, "013999");
  EXPECT_NE(obrazovky.find("Označení pro DPH slouží ke správnému nasměrování výdajového dokladu do výkazu DPH."),
            std::string::npos)
      << obrazovky;
  EXPECT_EQ(accounting::RadkyVstup().size(), 19u);
  EXPECT_EQ(accounting::RadkyVstup()[18], accounting::RadkyVstup()[5]);
  EXPECT_EQ(accounting::RadkyEU()[5], accounting::RadkyNula()[3]);
  EXPECT_EQ(accounting::RadkyEU()[12], cz("999 Nepatří do hlášení DPH"));
}

TEST_F(RegisterScript, ADeletedVatLineIsWrittenInPlaceAndPickingItIsNoChoice) {
  dir.write("PROG/CI/CiDPH.dta", kratky("001", 3) + kratky("", 3) + kratky("Tuzemsko", 73) + kratky("020", 3) +
                                     kratky("", 3) + kratky("EU", 73));
  accounting::TfCiDPH okno;
  std::string prvni = "?", druhy = "?";
  hraj("F8\nEnter\nDown\nEnter\n", [&] {
    prvni = okno.Vyber();
    druhy = okno.Vyber();
  });
  EXPECT_EQ(dir.read("PROG/CI/CiDPH.dta"), kratky("000", 3) + kratky("", 3) + kratky("", 73) + kratky("020", 3) +
                                               kratky("", 3) + kratky("EU", 73));
  EXPECT_EQ(prvni, "");
  EXPECT_EQ(druhy, "020");
}

// Opens for writing fail on the VAT lines, as on a program root that may only be read.
int jenCteniRadkuDph(const char* path, int flags, mode_t mode) {
  if (std::strstr(path, "CiDPH") && (flags & O_ACCMODE) != O_RDONLY) {
    errno = EROFS;
    return -1;
  }
  return platform::realSysCalls().open(path, flags, mode);
}

TEST_F(RegisterScript, AReadOnlyProgramRootListsTheVatLinesAndRefusesNewAndDeleteWithTheWriteMessage) {
  const std::string radky = kratky("001", 3) + kratky("002", 3) + kratky(cz("Tuzemsko"), 73) + kratky("020", 3) +
                            kratky("", 3) + kratky(cz("Dodání do EU"), 73);
  dir.write("PROG/CI/CiDPH.dta", radky);
  accounting::TfCiDPH okno;
  std::string vybrany;
  platform::sys().open = jenCteniRadkuDph;
  const std::string obrazovky = hraj("dump\nF4\ntype 050\nF2\nDown\nF8\nEnter\n", [&] { vybrany = okno.Vyber(); });
  platform::sys() = platform::realSysCalls();
  EXPECT_NE(obrazovky.find("   2 020     Dodání do EU"), std::string::npos) << obrazovky;
  ASSERT_EQ(zpravy.messages.size(), 2u);
  for (const std::string& m : zpravy.messages) {
    EXPECT_NE(m.find(" pise soubor: "), std::string::npos) << m;
    EXPECT_NE(m.find("err      5"), std::string::npos) << m;
  }
  EXPECT_EQ(dir.read("PROG/CI/CiDPH.dta"), radky);
  EXPECT_EQ(vybrany, "020");
}


// ---------------------------------------------------------------------------------------------
// Cash-book keys

std::string klic(const std::string& nazev, int kam, int prijato = 0, int vydano = 0) {
  return kratky(nazev, 27) + std::string{static_cast<char>(kam), static_cast<char>(prijato), static_cast<char>(vydano)};
}

class CashBookKeys : public RegisterScript {
 protected:
  std::string ukaz(const std::string& skript) {
    return hraj(skript, [this] { vybrany = okno.Vyber(); });
  }
  registers::TfKl okno;
  int vybrany = -1;
};

TEST_F(CashBookKeys, WithoutAnyFileThe255KeysAreCreatedUnusedAndNoFurtherKeyCanBeAdded) {
  const std::string obrazovky = ukaz("F4\ndump\nEsc\n");
  const std::string f = data("klicew.dta");
  ASSERT_EQ(f.size(), 255u * 31);
  EXPECT_EQ(f.substr(254 * 31), klic("", 0));
  EXPECT_NE(obrazovky.find("255/"), std::string::npos) << obrazovky;
  EXPECT_EQ(obrazovky.find("fKlAkt"), std::string::npos) << obrazovky;  // F4 shows no form
  EXPECT_EQ(vybrany, 0);
}

TEST_F(CashBookKeys, OlderFilesGiveNamesFromKamenickyDirectionsAndColumns) {
  // Line 1: "Á" and "ř" in the Kamenický code page, box drawing, direction 3; line 2: direction 0.
  dir.write("DATA/klice.dta", "Pokladna \x8F \xC4\xC4 \xA9\xB3" + std::string(11, ' ') + "  3\r\nBanka\r\n");
  dir.write("DATA/kl.dta", kratky("2", 3) + kratky("5", 2) + kratky("6", 2) + kratky("300", 3) + kratky("1", 2) +
                               kratky("1", 2));
  const std::string obrazovky = ukaz("Down\nEnter\n");
  EXPECT_EQ(data("klicew.dta"), klic(cz("Pokladna Á -- ř|"), 3) + klic("Banka", 0, 5, 6));
  EXPECT_EQ(vybrany, 2);
  EXPECT_EQ(registers::NazevKlice(2), "Banka" + std::string(22, ' '));
  EXPECT_EQ(registers::NazevKlice(256), std::string(27, ' '));
}

TEST_F(CashBookKeys, RenumberingMovesTheKeyAndItsDirectionsButNeverOverAUsedKey) {
  std::string f;
  for (int k = 1; k <= 255; ++k) f += k == 12 ? klic("Dvanact", 0, 4, 5) : k == 3 || k == 20 ? klic("Smer", 12) :
                                      k == 40 || k == 41 ? klic("", 0) : klic("Klic", 0);
  dir.write("DATA/klicew.dta", f);
  std::string skript;
  for (int k = 1; k < 12; ++k) skript += "Down\n";
  // First onto key 13, which is used: refused; then onto the unused 40.
  skript += "F10\nDown\nEnter\ntype 13\nF2\nEnter\nF10\nDown\nEnter\ntype 40\nF2\nEnter\nEsc\n";
  ukaz(skript);
  std::string cekano = f;
  cekano.replace(11 * 31, 31, klic("", 0));
  cekano.replace(39 * 31, 31, klic("Dvanact", 0, 4, 5));
  cekano.replace(2 * 31, 31, klic("Smer", 40));
  cekano.replace(19 * 31, 31, klic("Smer", 40));
  EXPECT_EQ(data("klicew.dta"), cekano);
}

TEST_F(CashBookKeys, ADirectionIsStoredAsItsNumberAndTextThatIsNoNumberBecomesBlank) {
  dir.write("DATA/klicew.dta", klic("Prvni", 0) + klic("Druhy", 0));
  ukaz("Down\nSpace\nEnter\ntype 7\nEnter\nF2\nEsc\n");
  EXPECT_EQ(data("klicew.dta"), klic("Prvni", 0) + klic("Druhy", 7));
  // The keyboard takes only digits there; a text from elsewhere is checked the same way.
  okno.NastavKlice();
  okno.NastavText(2, "7x ");
  okno.ZmenaPole(2);
  EXPECT_EQ(okno.Text(2), "   ");
  okno.NastavText(2, " 7 ");
  okno.ZmenaPole(2);
  EXPECT_EQ(okno.Text(2), "  7");
  okno.Zavri();
}


// ---------------------------------------------------------------------------------------------
// Bank codes and own bank accounts

std::string banka(const std::string& nazev, const std::string& kod) {
  return kratky(nazev, 50) + kratky(kod, 4) + kratky("", 35);
}

TEST_F(RegisterScript, BankCodesSortByCodeOrCzechNameWithoutDeletedBanksAndAreFoundByAShortCode) {
  const std::string cnb = banka(cz("Česká národní banka"), "0710"), cs = banka(cz("Česká spořitelna"), "0800"),
                    kb = banka("Komercni banka", "0100"), ch = banka("Chytra banka", "2010"), zrusena = banka("", "    ");
  dir.write("PROG/2/KodyBank.dta", cs + zrusena + kb + cnb + ch);
  EXPECT_EQ(registers::HledejBankuKod("800 "), 1);
  EXPECT_EQ(registers::HledejBankuKod("100"), 3);
  EXPECT_EQ(registers::HledejBankuKod("9999"), -1);
  EXPECT_EQ(registers::HledejBankuNazev(cz("Česká ")), 1);
  EXPECT_EQ(registers::HledejBankuNazev("Komer"), 3);
  EXPECT_EQ(registers::HledejBankuNazev("   "), -1);
  registers::TfKodyBank okno;
  const auto setrid = [&](const std::string& skript) {
    hraj(skript, [&] {
      okno.NastavKodyBank();
      okno.PocetRadku = okno.Soubor().pocet();
      okno.Sestav();
      okno.showModal();
      okno.Zavri();
    });
  };
  setrid("F10\nDown\nDown\nEnter\nEsc\n");  // "Setřiď dle kódů"
  EXPECT_EQ(dir.read("PROG/2/KodyBank.dta"), kb + cnb + cs + ch);
  // By name: "Ch" is a letter of its own after "H", so "Chytra" follows "Komercni".
  setrid("F10\nDown\nEnter\nEsc\n");
  EXPECT_EQ(dir.read("PROG/2/KodyBank.dta"), cnb + cs + ch + kb);
}

TEST_F(RegisterScript, EditingAnOwnAccountWithoutChangingItsMarkIsNoDuplicate) {
  const std::string a = kratky("A", 1) + kratky("Banka A", 20) + kratky("19-123457", 19) + kratky("0800", 4) +
                        kratky("", 15) + std::string(6, '\0') + kratky("CZK", 3) + kratky("000000", 6) +
                        kratky("", 30) + kratky("", 30) + kratky("", 20);
  dir.write("DATA/bako.dta", a);
  registers::TfBankKody okno;
  std::string obrazovky = hraj("Space\nDown\ntype Druha\nF2\nEsc\n", [&] { okno.Vyber(); });
  EXPECT_EQ(obrazovky.find("Pozor, stejné označení"), std::string::npos) << obrazovky;
  EXPECT_EQ(data("bako.dta").substr(0, 23), kratky("A", 1) + kratky("Druha", 20));
}


TEST_F(CashBookKeys, TheListingShowsTheUsedKeysUnderItsPageHeader) {
  std::string f;
  for (int k = 1; k <= 255; ++k) f += k == 1 ? klic("Pokladna", 0, 1, 2) : k == 200 ? klic("Banka", 1, 10, 11) : klic("", 0);
  dir.write("DATA/klicew.dta", f);
  storage::settings().firmName = "Ukazka s.r.o.           ";
  hraj("", [this] {
    okno.NastavKlice();
    okno.Opis();
    okno.Zavri();
  });
  std::string sestava;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (storage::VelkaPismena(e.path().filename().string()) == "KLICE.TXT") sestava = dir.read(e.path().filename().string());
  const auto radek = [](const std::string& t) { return storage::NaSirku(t, 80) + "\r\n"; };
  EXPECT_EQ(sestava, radek("\f") + radek("") +
                         radek("Ukazka s.r.o.           " + std::string(11, ' ') + cz("Opis klíčů") + std::string(11, ' ') +
                               "D:09.12.26 List:  1") +
                         radek("") + radek(" KL Text                       kam prij vyd") + radek(std::string(80, '=')) +
                         radek("  1 Pokladna                     0    1   2 ") +
                         radek("200 Banka                        1   10  11 "));
}

// The compaction of the rate table and the sort of the bank codes (the registers' sorts all go
// through the same file sort) under every fault of the set at every call they make: each file is
// byte for byte the old one or the new one.
TEST_F(RegisterScript, CompactionsAndSortsOfTheRegistersAreWholeOrNothingUnderEveryFault) {
  const auto sweep = [&](const std::string& soubor, const std::string& obsah, const std::string& skript,
                         const std::function<void()>& okno, const char* nazev) {
    // A lock whose release failed stays in the sharing table (as a station's that stopped does):
    // each run starts from a table without it.
    const auto priprav = [&] {
      storage::ZapomenOtevrenaOkna();
      for (const char* tabulka : {"DATA/FOT.tab", "PROG/2/FOT.tab", "FOT.tab"}) fs::remove(dir / tabulka);
      dir.write(soubor, obsah);
    };
    std::string potvrzeni;
    for (int i = 0; i < 6; ++i) potvrzeni += "Enter\nEsc\n";
    priprav();
    hraj(skript + potvrzeni, okno);
    const std::string novy = dir.read(soubor);
    ASSERT_NE(novy, obsah) << nazev;
    int stare = 0, nove = 0;
    const int vypadky = test::sweepFaults(
        priprav, [&](const test::UnderFaults& poruchy) { test::runScript(dir, skript + potvrzeni, [&] { poruchy(okno); }); },
        [&](const test::FaultCase&, const std::string& porucha, bool) {
          const std::string po = dir.read(soubor);
          if (po == novy) {
            ++nove;
            return;
          }
          EXPECT_EQ(po, obsah) << nazev << ", " << porucha << ": neither the old file nor the new one";
          ++stare;
        });
    std::cout << nazev << ": " << vypadky << " faults fired, " << stare << " kept the old file, " << nove
              << " gave the new one\n";
  };
  const auto kursy = [] {
    rates::TfKursy okno;
    otevri(okno);
  };
  const std::string loni = kurs("EUR", 25.2, "151223", 1, "000"), letos = kurs("EUR", 25.3, "020124", 1, "000"),
                    usd = kurs("USD", 23.0, "020124", 1, "000");
  sweep("DATA/kursy.dta", loni + letos + usd, "F8\nDown\ntype 31.12.23\nF2\nEsc\n", kursy, "rate table compaction");
  sweep("PROG/2/KodyBank.dta", banka("Komercni banka", "0800") + banka("", "    ") + banka("Chytra banka", "0100"),
        "F10\nDown\nDown\nEnter\nEsc\n",
        [] {
          registers::TfKodyBank okno;
          okno.NastavKodyBank();
          okno.PocetRadku = okno.Soubor().pocet();
          okno.Sestav();
          okno.showModal();
          okno.Zavri();
        },
        "bank codes sort");
}

}  // namespace
}  // namespace pz
