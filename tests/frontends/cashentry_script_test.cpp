// Entering cash documents in the cash desk window, driven by key scripts of the headless
// presenter over real series, document, partner and rate files: the amounts a cashier sees, and
// the documents and the series balance that are stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "cashdesk/cashwindow.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "registers/partners.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/paths.h"
#include "storage/textutil.h"
#include "support/tempdir.h"

namespace pz {
namespace {

using cashdesk::tPzDoklad;
using cashdesk::tPzRada;
using platform::cz;
using registers::tOrganizace;

const platform::Date kDnes{2026, 12, 9};

std::string rada(const std::string& cislo, const std::string& mena, double kurz, int mnozstvi, double stav) {
  std::string v(tPzRada::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, cislo));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, mena));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kKurz, kurz));
  EXPECT_TRUE(storage::writeU16(v, tPzRada::kMnozstvi, static_cast<std::uint16_t>(mnozstvi)));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, stav));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kUcet, 6, "000000"));
  return v;
}

std::string doklad(int n, const std::string& druh, double placeno, int partner = 0, const std::string& nazev = "") {
  const auto p = cashdesk::PrazdnyDoklad(kDnes);
  std::string v(p.begin(), p.end());
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kDruh, 1, druh));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kIdent, 5, cashdesk::IdentDokladu(n)));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kCislo, 60, storage::DoplnZprava("D" + std::to_string(n), 60)));
  EXPECT_TRUE(storage::writeU16(v, tPzDoklad::kCisloOrg, static_cast<std::uint16_t>(partner)));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kDatumZapl, 6, "051226"));
  for (std::size_t o : {tPzDoklad::kCelkemVal, tPzDoklad::kPlacenoVal}) EXPECT_TRUE(storage::writeReal48(v, o, placeno));
  EXPECT_TRUE(storage::writeReal48(v, tPzDoklad::kKurz, 25.125));
  for (std::size_t o : {tPzDoklad::kCelkemKc, tPzDoklad::kPlacenoKc})
    EXPECT_TRUE(storage::writeReal48(v, o, placeno * 25.125));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kAdr1, 30, storage::DoplnZprava(nazev, 30)));
  return v;
}

std::string partner(int cislo, const std::string& nazev, const std::string& mesto) {
  std::string v(tOrganizace::kVelikost, '\0');
  EXPECT_TRUE(storage::writeU16(v, tOrganizace::kCislo, static_cast<std::uint16_t>(cislo)));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kIco, 8, std::to_string(27000000 + cislo)));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kNazev, 30, nazev));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kMesto, 30, mesto));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kFinUrad, 3, "451"));
  return v;
}

// The keys of a new receipt of `castka` from the kind to the amount, without a partner (Esc in
// the partner list that a blank partner number opens), with the delivery date `dodani`; the form
// then stands in the paid amount.
std::string prijem(const std::string& castka, const std::string& dodani = "") {
  return "F4\n"
         "type P\nEnter\n"  // kind; the ident is the record number and is skipped
         "Enter\n"          // number left blank
         "Enter\nEsc\n" +   // no partner
         (dodani.empty() ? std::string("Enter\n") : "type " + dodani + "\nEnter\n") +
         "Enter\n"          // payment date as proposed
         "Enter\n"          // text
         "type " + castka + "\nEnter\n";
}

class CashEntryScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    dir.write("pz_ra.dta", rada("01", "EUR", 25.125, 1, 1000) + rada("02", "JPY", 15.5, 100, 0) +
                               rada("03", "EUR", 0, 1, 0) + rada("04", "EUR", 25, 0, 0) + rada("05", "XXX", 1, 1, 0));
    dir.write("org.dta", partner(1, "Alfa", "Praha") + partner(2, "Beta", "Brno"));
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  // Runs the cash desk of the `poradi`-th series of pz_ra.dta under the script.
  std::string hraj(int poradi, const std::string& skript) {
    return hrajRadu(dir.read("pz_ra.dta").substr(static_cast<std::size_t>((poradi - 1) * tPzRada::kVelikost),
                                                 tPzRada::kVelikost),
                    skript);
  }
  // The same for a series record `r` given whole.
  std::string hrajRadu(const std::string& r, const std::string& skript) {
    dir.write("skript.txt", skript);
    std::ostringstream out, err;
    const int rc = headless::runHeadless(
        (dir / "skript.txt").string(), kDnes,
        [&] {
          okno.OtevriPokladnu(cashdesk::SouborDokladu(r.substr(1, 2)),
                              std::span(reinterpret_cast<const std::uint8_t*>(r.data()), r.size()));
          okno.showModal();
          okno.ZavriPokladnu();
          return 0;
        },
        out, err);
    EXPECT_EQ(rc, 0) << err.str() << out.str();
    return out.str();
  }
  std::string dokladZe(const std::string& soubor, int n) const {
    return dir.read(soubor).substr(static_cast<std::size_t>((n - 1) * tPzDoklad::kVelikost), tPzDoklad::kVelikost);
  }
  std::size_t pocetDokladu(const std::string& soubor) const {
    return std::filesystem::exists(dir / soubor) ? dir.read(soubor).size() / tPzDoklad::kVelikost : 0;
  }
  double stavRady(int poradi) const {
    return storage::readReal48(dir.read("pz_ra.dta").substr(static_cast<std::size_t>((poradi - 1) * tPzRada::kVelikost)),
                               tPzRada::kStav);
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  cashdesk::TfPZPokl okno;
};

double castka(const std::string& d, std::size_t offset) { return storage::readReal48(d, offset); }
std::string text(const std::string& d, std::size_t offset, std::size_t sirka) {
  return storage::OrezZprava(storage::readShortString(d, offset, sirka));
}

TEST_F(CashEntryScript, ReceiptsOfASeriesWithAFixedRateAndTheirNumbersAndBalance) {
  std::string doklady;
  for (int n = 1; n <= 11; ++n) doklady += doklad(n, "P", 0);
  dir.write("PZ01_.dta", doklady);
  const std::string obrazovky = hraj(1, prijem("100") + "dump\nF2\n" +
                                            prijem("100") + "Enter\ntype 24.3333\nEnter\nF2\ndump\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ01_.dta"), 13u) << obrazovky;
  const std::string d12 = dokladZe("PZ01_.dta", 12);
  EXPECT_EQ(text(d12, tPzDoklad::kIdent, 5), "00012");
  EXPECT_EQ(text(d12, tPzDoklad::kCislo, 60), "PZ0100012");
  EXPECT_EQ(castka(d12, tPzDoklad::kPlacenoVal), 100.0);
  EXPECT_EQ(castka(d12, tPzDoklad::kKurz), 25.125);
  EXPECT_EQ(castka(d12, tPzDoklad::kCelkemKc), 2512.5);
  EXPECT_EQ(castka(d12, tPzDoklad::kPlacenoKc), 2512.5);
  EXPECT_NE(obrazovky.find("2512.50"), std::string::npos) << obrazovky;
  const std::string d13 = dokladZe("PZ01_.dta", 13);
  EXPECT_EQ(text(d13, tPzDoklad::kCislo, 60), "PZ0100013");
  EXPECT_EQ(castka(d13, tPzDoklad::kKurz), 24.3333);
  EXPECT_EQ(castka(d13, tPzDoklad::kCelkemKc), 2433.33);
  EXPECT_EQ(castka(d13, tPzDoklad::kPlacenoKc), 2433.33);
  EXPECT_EQ(stavRady(1), 1200.0);
  EXPECT_NE(obrazovky.find("1 200.00 EUR"), std::string::npos) << obrazovky;
  // A series whose account is "000000" is not posted.
  EXPECT_FALSE(std::filesystem::exists(dir / "pzuc.dta"));
}

TEST_F(CashEntryScript, YenQuotedPerHundred) {
  const std::string obrazovky = hraj(2, prijem("1000") + "F2\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ02_.dta"), 1u) << obrazovky;
  EXPECT_EQ(castka(dokladZe("PZ02_.dta", 1), tPzDoklad::kPlacenoKc), 155.0);
  EXPECT_EQ(stavRady(2), 1000.0);
}

TEST_F(CashEntryScript, ASeriesOfZeroUnitsPutsTheRateInErrorAndStoresNothing) {
  const std::string obrazovky = hraj(4, prijem("100") + "Enter\nF2\ndump\nEnter\nEsc\nEsc\n");
  EXPECT_NE(obrazovky.find("Údaj Kurs"), std::string::npos) << obrazovky;
  EXPECT_EQ(pocetDokladu("PZ04_.dta"), 0u);
  EXPECT_EQ(stavRady(4), 0.0);
}

TEST_F(CashEntryScript, EditingAReceiptOf100IntoAnExpenditureOf40MovesTheBalanceBy140) {
  dir.write("PZ01_.dta", doklad(1, "P", 100));
  const std::string obrazovky = hraj(1,
                                     "Space\n"
                                     "type V\nEnter\nEnter\n"
                                     "Enter\nEsc\n"  // no partner
                                     "Enter\nEnter\nEnter\n"
                                     "type 40\nEnter\n"
                                     "F2\ndump\nEsc\n");
  const std::string d = dokladZe("PZ01_.dta", 1);
  EXPECT_EQ(text(d, tPzDoklad::kDruh, 1), "V");
  EXPECT_EQ(castka(d, tPzDoklad::kPlacenoVal), 40.0);
  EXPECT_EQ(castka(d, tPzDoklad::kPlacenoKc), 1005.0);
  EXPECT_EQ(stavRady(1), 860.0);
  EXPECT_NE(obrazovky.find("860.00 EUR"), std::string::npos) << obrazovky;
}

TEST_F(CashEntryScript, AnEditAnotherStationChangedIsRefusedBeforeTheBalanceMoves) {
  dir.write("PZ01_.dta", doklad(1, "P", 100));
  // The other station rewrites the text of the document while this one edits it.
  const std::string obrazovky = hraj(1,
                                     "Space\n"
                                     "type V\nEnter\n"
                                     "run printf 'Jiny' | dd of=PZ01_.dta bs=1 seek=86 conv=notrunc 2>/dev/null\n"
                                     "F2\ndump\nEnter\nEsc\n");
  EXPECT_NE(obrazovky.find("Vaše opravy neplatí"), std::string::npos) << obrazovky;
  const std::string d = dokladZe("PZ01_.dta", 1);
  EXPECT_EQ(text(d, tPzDoklad::kDruh, 1), "P");
  EXPECT_EQ(storage::readShortString(d, tPzDoklad::kText, 50).substr(0, 4), "Jiny");
  EXPECT_EQ(stavRady(1), 1000.0);
}

TEST_F(CashEntryScript, NoToTheQuestionKeepsThePartnerAndYesTakesTheNewOne) {
  dir.write("PZ01_.dta", doklad(1, "P", 100, 1, "Alfa"));
  const std::string edit = "Space\nEnter\nEnter\ntype 2\nEnter\n";
  std::string obrazovky = hraj(1, edit + "dump\ntype N\nF2\nEsc\n");
  EXPECT_NE(obrazovky.find("Vyměnit údaje o organizaci ?"), std::string::npos) << obrazovky;
  std::string d = dokladZe("PZ01_.dta", 1);
  EXPECT_EQ(storage::readU16(d, tPzDoklad::kCisloOrg), 1);
  EXPECT_EQ(text(d, tPzDoklad::kAdr1, 30), "Alfa");

  hraj(1, edit + "type A\nF2\nEsc\n");
  d = dokladZe("PZ01_.dta", 1);
  EXPECT_EQ(storage::readU16(d, tPzDoklad::kCisloOrg), 2);
  EXPECT_EQ(text(d, tPzDoklad::kAdr1, 30), "Beta");
  EXPECT_EQ(text(d, tPzDoklad::kAdr4, 30), "Brno");
  EXPECT_EQ(text(d, tPzDoklad::kIco, 8), "27000002");
  EXPECT_EQ(text(d, tPzDoklad::kFinUrad, 3), "451");
  EXPECT_EQ(stavRady(1), 1000.0);  // same kind and amount: the balance stays
}

TEST_F(CashEntryScript, ANewDocumentTakesItsPartnerFromTheNumberTyped) {
  const std::string obrazovky = hraj(1,
                                     "F4\ntype P\nEnter\nEnter\n"
                                     "type 2\nEnter\n"
                                     "F2\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ01_.dta"), 1u) << obrazovky;
  const std::string d = dokladZe("PZ01_.dta", 1);
  EXPECT_EQ(storage::readU16(d, tPzDoklad::kCisloOrg), 2);
  EXPECT_EQ(text(d, tPzDoklad::kAdr1, 30), "Beta");
}

TEST_F(CashEntryScript, AWrongKindOrDateIsEmptiedWithItsMessageAndNothingIsStoredOnEsc) {
  const std::string obrazovky = hraj(1,
                                     "F4\ntype X\nEnter\ndump\nEnter\n"
                                     "type P\nEnter\nEnter\nEnter\nEsc\n"
                                     "type 320124\nEnter\ndump\nEnter\n"
                                     "dump\nEsc\nEsc\n");
  EXPECT_NE(obrazovky.find("Nepřípustný kód"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Chybné datum"), std::string::npos) << obrazovky;
  EXPECT_EQ(pocetDokladu("PZ01_.dta"), 0u);
  EXPECT_EQ(stavRady(1), 1000.0);
}

TEST_F(CashEntryScript, ASeriesGoneFromTheSeriesFileShowsNesouladAndStoresNoDocument) {
  // Another station deleted series 09 while this one has its cash desk open.
  hrajRadu(rada("09", "EUR", 25, 1, 0), prijem("100") + "F2\nEsc\nEsc\n");
  // At F4 and at F2; the form stays open until Esc.
  EXPECT_EQ(std::count(zpravy.messages.begin(), zpravy.messages.end(), cz("Nesoulad.")), 2);
  EXPECT_EQ(pocetDokladu("PZ09_.dta"), 0u);
}

// The rate file of the series without a fixed rate, in the bank's export layout.
const char* kKurzyEur =
    "M\xC4\x9Bna: EUR|Mno\xC5\xBEstv\xC3\xAD: 1\n"
    "Datum|Kurz\n"
    "02.01.2024|24,725\n"
    "05.01.2024|24,660\n"
    "08.01.2024|24,580\n"
    "29.02.2024|25,305\n"
    "04.03.2024|25,270\n"
    "09.12.2026|24,300\n";

TEST_F(CashEntryScript, WithoutAFixedRateEachDocumentTakesTheRateOfItsPaymentDate) {
  std::filesystem::create_directories(dir / "TAMBRA3W");
  dir.write("TAMBRA3W/EUR.txt", kKurzyEur);
  const std::string obrazovky = hraj(3, prijem("100", "010124") + "F2\n" +  // before the first line
                                            prijem("100", "060124") + "F2\n" +  // Saturday
                                            prijem("100", "010324") + "F2\n" +  // after 29 February
                                            prijem("100", "050324") + "F2\n" +  // after the last quote of March
                                            // A payment date typed over the proposed one stays.
                                            "F4\ntype V\nEnter\nEnter\nEnter\nEsc\nEnter\n"
                                            "type 080124\nEnter\nEnter\ntype 10\nEnter\nF2\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ03_.dta"), 5u) << obrazovky;
  const double kurzy[] = {24.725, 24.66, 25.305, 25.27, 24.58};
  const double koruny[] = {2472.5, 2466.0, 2530.5, 2527.0, 245.8};
  for (int n = 1; n <= 5; ++n) {
    SCOPED_TRACE(n);
    const std::string d = dokladZe("PZ03_.dta", n);
    EXPECT_EQ(castka(d, tPzDoklad::kKurz), kurzy[n - 1]);
    EXPECT_EQ(castka(d, tPzDoklad::kPlacenoKc), koruny[n - 1]);
  }
  EXPECT_EQ(text(dokladZe("PZ03_.dta", 2), tPzDoklad::kDatumZapl, 6), "060124");
  EXPECT_EQ(stavRady(3), 390.0);
}

TEST_F(CashEntryScript, AFixedRateSeriesReadsTheRateFileOnlyOnTheFieldHelpOfTheRate) {
  std::filesystem::create_directories(dir / "TAMBRA3W");
  dir.write("TAMBRA3W/EUR.txt", kKurzyEur);
  const std::string obrazovky = hraj(1, prijem("100") + "F2\n" +
                                            prijem("100") + "Enter\nF1\ndump\nF2\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ01_.dta"), 2u) << obrazovky;
  EXPECT_EQ(castka(dokladZe("PZ01_.dta", 1), tPzDoklad::kKurz), 25.125);
  const std::string d = dokladZe("PZ01_.dta", 2);
  EXPECT_EQ(castka(d, tPzDoklad::kKurz), 24.3);
  EXPECT_EQ(castka(d, tPzDoklad::kCelkemKc), 2430.0);
  EXPECT_EQ(castka(d, tPzDoklad::kPlacenoKc), 2430.0);
}

TEST_F(CashEntryScript, ASeriesWithoutACurrencyAsksForTheCurrencyOfEachDocument) {
  const std::string obrazovky = hraj(5, "F4\ntype P\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\nEnter\n"
                                        "type 250\nEnter\ndump\nBackspace Backspace Backspace\ntype USD\nEnter\nF2\nEsc\n");
  EXPECT_NE(obrazovky.find("Označení měny"), std::string::npos) << obrazovky;
  EXPECT_EQ(okno.MenaDokladu, "USD");
  ASSERT_EQ(pocetDokladu("PZ05_.dta"), 1u) << obrazovky;
  EXPECT_EQ(castka(dokladZe("PZ05_.dta", 1), tPzDoklad::kPlacenoKc), 250.0);
}

}  // namespace
}  // namespace pz
