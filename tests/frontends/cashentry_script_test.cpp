// Entering cash documents in the cash desk window, driven by key scripts of the headless
// presenter over real series, document, partner and rate files: the amounts a cashier sees, and
// the documents and the series balance that are stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
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
#include "storage/roots.h"
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
         "Esc\nEnter\n"     // no items: on from the text
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

TEST_F(CashEntryScript, ASeriesOfZeroUnitsPutsTheRateInErrorAndStoresNothing) {
  const std::string obrazovky = hraj(4, prijem("100") + "Enter\nF2\ndump\nEnter\nEsc\nEsc\n");
  EXPECT_NE(obrazovky.find("Údaj Kurs"), std::string::npos) << obrazovky;
  EXPECT_EQ(pocetDokladu("PZ04_.dta"), 0u);
  EXPECT_EQ(stavRady(4), 0.0);
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

TEST_F(CashEntryScript, ThePaymentDateFollowsTheDeliveryDateUnlessTypedAndTakesTheRateOfItsDay) {
  std::filesystem::create_directories(dir / "TAMBRA3W");
  dir.write("TAMBRA3W/EUR.txt", kKurzyEur);
  const std::string obrazovky = hraj(3, prijem("100", "060124") + "F2\n" +  // a Saturday
                                            "F4\ntype V\nEnter\nEnter\nEnter\nEsc\ntype 050124\nEnter\n"
                                            "type 080124\nEnter\nEnter\nEsc\nEnter\ntype 10\nEnter\nF2\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ03_.dta"), 2u) << obrazovky;
  const std::string prvni = dokladZe("PZ03_.dta", 1), druhy = dokladZe("PZ03_.dta", 2);
  EXPECT_EQ(text(prvni, tPzDoklad::kDatumZapl, 6), "060124");
  EXPECT_EQ(castka(prvni, tPzDoklad::kKurz), 24.66);
  EXPECT_EQ(text(druhy, tPzDoklad::kDatumDod, 6), "050124");
  EXPECT_EQ(text(druhy, tPzDoklad::kDatumZapl, 6), "080124");
  EXPECT_EQ(castka(druhy, tPzDoklad::kKurz), 24.58);
  EXPECT_EQ(castka(druhy, tPzDoklad::kPlacenoKc), 245.8);
  EXPECT_EQ(stavRady(3), 90.0);
}

// A payment day the rate file has no rate for (before the first line, in another month): the
// cashier is told, F2 is refused until a rate is typed, and a zero is kept only when confirmed.
TEST_F(CashEntryScript, APaymentDayWithoutARateIsSaidAndAZeroRateIsKeptOnlyWhenConfirmed) {
  std::filesystem::create_directories(dir / "TAMBRA3W");
  dir.write("TAMBRA3W/EUR.txt", kKurzyEur);
  const std::string doPlatby = "F4\ntype P\nEnter\nEnter\nEnter\nEsc\ntype 151223\nEnter\nEnter\n";
  // F2 holds the rate; Enter on it asks, N keeps the form, a typed rate is taken.
  const std::string obrazovky = hraj(3, doPlatby + "dump\nEnter\nEnter\nEsc\nEnter\ntype 100\nEnter\nF2\ndump\nEnter\nEnter\n"
                                                   "dump\ntype N\nF2\nEnter\ntype 25\nEnter\nF2\nEsc\n");
  const std::string zprava = "Pro den 15.12.2023 není v souboru";
  EXPECT_NE(obrazovky.find(zprava), std::string::npos) << obrazovky;
  EXPECT_EQ(obrazovky.find(zprava), obrazovky.rfind(zprava)) << "said once for the day: " << obrazovky;
  EXPECT_NE(obrazovky.find("Údaj Kurs              je chybný"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Kurz nebyl nalezen. Ponechat kurz 0 ?"), std::string::npos) << obrazovky;
  ASSERT_EQ(pocetDokladu("PZ03_.dta"), 1u) << obrazovky;
  EXPECT_EQ(castka(dokladZe("PZ03_.dta", 1), tPzDoklad::kKurz), 25.0);
  EXPECT_EQ(castka(dokladZe("PZ03_.dta", 1), tPzDoklad::kPlacenoKc), 2500.0);

  // A damaged line gives no rate either; A keeps the zero and the document is saved.
  dir.write("TAMBRA3W/EUR.txt", "Datum|Kurz\n15.12.2023|-5\n");
  hraj(3, doPlatby + "Enter\nEnter\nEsc\nEnter\ntype 100\nEnter\nF2\nEnter\nEnter\ntype A\nF2\nEsc\n");
  ASSERT_EQ(pocetDokladu("PZ03_.dta"), 2u);
  EXPECT_EQ(castka(dokladZe("PZ03_.dta", 2), tPzDoklad::kKurz), 0.0);
  EXPECT_EQ(castka(dokladZe("PZ03_.dta", 2), tPzDoklad::kPlacenoVal), 100.0);
}

// A rate of more digits than its picture holds: Down and F2 say which field is wrong.
TEST_F(CashEntryScript, ARateThatDoesNotFitItsFieldIsNamedWhenLeavingOrSaving) {
  const std::string obrazovky = hraj(1, prijem("100") + "Enter\ntype 1234.5\nDown\ndump\nEnter\nF2\ndump\nEnter\nEsc\nEsc\n");
  const std::string zprava = "Údaj Kurs              je chybný";
  ASSERT_NE(obrazovky.find(zprava), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find(zprava, obrazovky.find(zprava) + 1), std::string::npos) << obrazovky;
  EXPECT_EQ(pocetDokladu("PZ01_.dta"), 0u);
}

// A balance of ten digits before the point is shown whole under the list; a document amount that
// does not fit its field shows as stars, never as its last digits.
TEST_F(CashEntryScript, AmountsTooLongForTheirPictureAreNeverShownCut) {
  dir.write("pz_ra.dta", dir.read("pz_ra.dta") + rada("07", "EUR", 25, 1, 1500000000));
  dir.write("PZ07_.dta", doklad(1, "P", 1.0e13));
  const std::string obrazovky = hraj(6, prijem("100") + "F2\ndump\nUp\nSpace\ndump\nF2\ndump\nEnter\nEsc\nEsc\n");
  EXPECT_NE(obrazovky.find("1 500 000 100.00 EUR"), std::string::npos) << obrazovky;
  const std::string formular = obrazovky.substr(obrazovky.rfind("  Celkem valut     "), 60);
  EXPECT_NE(formular.find("****"), std::string::npos) << formular;
  EXPECT_EQ(formular.find("000000.00"), std::string::npos) << formular;
  // Saving the stars back would store a zero: the form names the field instead.
  EXPECT_NE(obrazovky.find("je chybný"), std::string::npos) << obrazovky;
  EXPECT_EQ(castka(dokladZe("PZ07_.dta", 1), tPzDoklad::kPlacenoVal), 1.0e13);
}

// The bank quotes JPY per 100 yen; a series that counts single yen gets the rate of one yen.
TEST_F(CashEntryScript, ARateFileQuotedPer100IsConvertedToTheUnitsOfTheSeries) {
  std::filesystem::create_directories(dir / "TAMBRA3W");
  dir.write("TAMBRA3W/JPY.txt", "M\xC4\x9Bna: JPY|Mno\xC5\xBEstv\xC3\xAD: 100\nDatum|Kurz\n03.01.2022|19,016\n");
  dir.write("pz_ra.dta", dir.read("pz_ra.dta") + rada("06", "JPY", 0, 1, 0));
  const std::string obrazovky = hraj(6, "F4\ntype P\nEnter\nEnter\nEnter\nEsc\ntype 030122\nEnter\nEnter\n"
                                        "dump\nEnter\nEnter\nEsc\nEnter\ntype 1000\nEnter\nF2\nEsc\n");
  EXPECT_NE(obrazovky.find("Kurz v souboru je za 100 JPY, přepočten na 1 JPY"), std::string::npos) << obrazovky;
  ASSERT_EQ(pocetDokladu("PZ06_.dta"), 1u) << obrazovky;
  EXPECT_NEAR(castka(dokladZe("PZ06_.dta", 1), tPzDoklad::kKurz), 0.19016, 1e-9);
  EXPECT_EQ(castka(dokladZe("PZ06_.dta", 1), tPzDoklad::kPlacenoKc), 190.16);
}

TEST_F(CashEntryScript, ASeriesWithoutACurrencyAsksForTheCurrencyOfEachDocument) {
  const std::string obrazovky = hraj(5, "F4\ntype P\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\nEnter\nEsc\nEnter\n"
                                        "type 250\nEnter\ndump\nBackspace Backspace Backspace\ntype USD\nEnter\nF2\nEsc\n");
  EXPECT_NE(obrazovky.find("Označení měny"), std::string::npos) << obrazovky;
  EXPECT_EQ(okno.Zadani().MenaDokladu(), "USD");
  ASSERT_EQ(pocetDokladu("PZ05_.dta"), 1u) << obrazovky;
  EXPECT_EQ(castka(dokladZe("PZ05_.dta", 1), tPzDoklad::kPlacenoKc), 250.0);
}

}  // namespace
}  // namespace pz
