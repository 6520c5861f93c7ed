// The document file of a series and its companions: the blank document, the limit of numbers,
// the repair of old dates, the VAT supplements kept in step, the series balance rewritten under
// its lock, where entries and rate files are looked for, and the window's form over the layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cashdesk/cashwindow.h"
#include "cashdesk/document.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz::cashdesk {
namespace {

using platform::cz;
using D = tPzDoklad;

class DocumentFiles : public ::testing::Test {
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
  static std::string rada(const std::string& cislo, double stav) {
    std::string v(tPzRada::kVelikost, '\0');
    EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, cislo));
    EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, "EUR"));
    EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, stav));
    EXPECT_TRUE(storage::writeShortString(v, tPzRada::kPoznamka, 30, "pokladna " + cislo));
    return v;
  }
  double stavRady(int n) const {
    return storage::readReal48(dir.read("pz_ra.dta").substr(static_cast<size_t>((n - 1) * tPzRada::kVelikost)),
                               tPzRada::kStav);
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST(BlankDocument, HoldsTodayAsPaymentDateTheVatLineOutsideTheReturnAndBlankTexts) {
  const auto v = PrazdnyDoklad({2026, 3, 7});
  ASSERT_EQ(v.size(), static_cast<size_t>(D::kVelikost));
  EXPECT_EQ(storage::readShortString(v, D::kDatumZapl, 6), "070326");
  EXPECT_EQ(storage::readShortString(v, D::kDatumDod, 6), "      ");
  EXPECT_EQ(storage::readShortString(v, D::kDphRozl, 6), "999   ");
  EXPECT_EQ(storage::readShortString(v, D::kCislo, 60), std::string(60, ' '));
  EXPECT_EQ(storage::readShortString(v, D::kFinUrad, 3), "   ");
  EXPECT_EQ(storage::readU16(v, D::kCisloOrg), 0);
  EXPECT_EQ(storage::readReal48(v, D::kPlacenoVal), 0.0);
}

TEST(DocumentNumbers, IdentIsTheRecordNumberInFiveDigitsAndStopsAt99999) {
  EXPECT_EQ(IdentDokladu(12), "00012");
  EXPECT_EQ(IdentDokladu(99999), "99999");
  EXPECT_TRUE(LzePridatDoklad(99998));
  EXPECT_FALSE(LzePridatDoklad(99999));
  EXPECT_EQ(KlicZapisu("01", IdentDokladu(12)), "0000100012");
}

TEST(DateRepair, OnlyTheTensOfTheYearOfBothDatesAndOnlyTheLettersOAndL) {
  auto v = PrazdnyDoklad({2026, 1, 1});
  ASSERT_TRUE(storage::writeShortString(v, D::kDatumDod, 6, "0101l5"));
  ASSERT_TRUE(storage::writeShortString(v, D::kDatumZapl, 6, "O1O1O5"));
  EXPECT_TRUE(OpravDatumDokladu(v));
  EXPECT_EQ(storage::readShortString(v, D::kDatumDod, 6), "010115");
  EXPECT_EQ(storage::readShortString(v, D::kDatumZapl, 6), "O1O105");  // other letters stay
  EXPECT_FALSE(OpravDatumDokladu(v));  // nothing left to repair

  ASSERT_TRUE(storage::writeShortString(v, D::kDatumZapl, 4, "01Ol"));  // too short to hold a year
  EXPECT_FALSE(OpravDatumDokladu(v));
}

TEST_F(DocumentFiles, DateRepairRewritesOnlyTheDocumentsItChanges) {
  auto dobry = PrazdnyDoklad({2026, 1, 1});
  auto stary = dobry;
  ASSERT_TRUE(storage::writeShortString(stary, D::kDatumZapl, 6, "0101O5"));
  std::string obsah;
  for (const auto* v : {&dobry, &stary, &dobry, &stary}) obsah.append(v->begin(), v->end());
  dir.write("PZ01_.dta", obsah);
  storage::RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("PZ01_.dta", D::kVelikost));
  std::vector<std::int32_t> zapsane;
  EXPECT_EQ(OpravDataDokladu(f, [&](std::int32_t n) { zapsane.push_back(n); }), 2);
  EXPECT_EQ(zapsane, (std::vector<std::int32_t>{2, 4}));
  EXPECT_EQ(OpravDataDokladu(f), 0);  // a second opening finds nothing
  f.ZavriSoubor();
  const std::string po = dir.read("PZ01_.dta");
  EXPECT_EQ(po.substr(0, D::kVelikost), obsah.substr(0, D::kVelikost));
  EXPECT_EQ(storage::readShortString(po.substr(D::kVelikost), D::kDatumZapl, 6), "010105");
}

TEST(ReportView, ShowsTheFieldsOfTheRecordAsTheFullReadDoes) {
  PokladniDoklad d;
  d.druh = "V";
  d.ident = "00042";
  d.cislo = "D-42";
  d.cisloOrg = 17;
  d.datumDod = "300698";
  d.datumZapl = "010798";
  d.text = cz("Nákup valut");
  d.celkemVal = 1234567;
  d.placenoVal = 1200000;
  d.kurz = 26.125;
  d.placenoKc = 31350000;
  d.adr1 = cz("Šťastný a syn");
  d.dic = "CZ12345678";
  std::vector<std::uint8_t> z(D::kVelikost, 0);
  ASSERT_TRUE(ZapisDoklad(d, z));
  const PokladniDoklad plny = CtiDoklad(z);
  const DokladVypisu v = CtiDokladVypisu(z.data());
  EXPECT_EQ(v.druh(), plny.druh);
  EXPECT_EQ(v.ident(), plny.ident);
  EXPECT_EQ(v.cislo(), plny.cislo);
  EXPECT_EQ(v.datumDod(), plny.datumDod);
  EXPECT_EQ(v.datumZapl(), plny.datumZapl);
  EXPECT_EQ(v.text(), plny.text);
  EXPECT_EQ(v.adr1(), plny.adr1);
  EXPECT_EQ(v.dic(), plny.dic);
  EXPECT_EQ(v.cisloOrg, 17);
  EXPECT_EQ(v.celkemVal, plny.celkemVal);
  EXPECT_EQ(v.placenoVal, 1200000);
  EXPECT_EQ(v.placenoKc, plny.placenoKc);
  EXPECT_EQ(v.kurz, plny.kurz);
  EXPECT_EQ(v.Znamenko(), -1);
  // A length byte beyond its field shows no more than the field holds, as the full read does.
  z[D::kText] = 200;
  EXPECT_EQ(CtiDokladVypisu(z.data()).text(), CtiDoklad(z).text);
  EXPECT_EQ(CtiDokladVypisu(z.data()).text().size(), D::kSirkaTextu);
}

TEST(DamagedFile, TheBytesAfterTheLastWholeDocument) {
  EXPECT_EQ(PrebytekSouboru(0), 0);
  EXPECT_EQ(PrebytekSouboru(-2), 0);  // missing
  EXPECT_EQ(PrebytekSouboru(3 * D::kVelikost), 0);
  EXPECT_EQ(PrebytekSouboru(3 * D::kVelikost + 100), 100);
}

TEST_F(DocumentFiles, WritingSupplementSevenOfFourAppendsBlankFiveAndSix) {
  std::string ctyri;
  for (int i = 1; i <= 4; ++i) ctyri += std::string(kVelikostDodatku, static_cast<char>('0' + i));
  dir.write("PZA01_.dta", ctyri);
  Dodatky d;
  ASSERT_TRUE(d.Otevri("PZ01_.dta"));
  const std::vector<std::uint8_t> sedm(kVelikostDodatku, '7');
  ASSERT_TRUE(d.Pis(7, sedm));
  EXPECT_EQ(d.Cti(7), sedm);
  EXPECT_EQ(d.Cti(9), std::vector<std::uint8_t>(kVelikostDodatku, 0));  // beyond the file: blank
  // Keeping in step never changes a stored supplement.
  ASSERT_TRUE(d.Srovnej(3));
  ASSERT_TRUE(d.Srovnej(8));
  d.Zavri();
  const std::string po = dir.read("PZA01_.dta");
  ASSERT_EQ(po.size(), 8u * kVelikostDodatku);
  EXPECT_EQ(po.substr(0, 4u * kVelikostDodatku), ctyri);
  EXPECT_EQ(po.substr(4u * kVelikostDodatku, 2u * kVelikostDodatku), std::string(2u * kVelikostDodatku, '\0'));
  EXPECT_EQ(po.substr(6u * kVelikostDodatku, kVelikostDodatku), std::string(kVelikostDodatku, '7'));
  EXPECT_EQ(po.substr(7u * kVelikostDodatku), std::string(kVelikostDodatku, '\0'));
}

TEST_F(DocumentFiles, TheBalanceOfASeriesChangesExactlyAndOnlyItsOwn) {
  dir.write("pz_ra.dta", rada("01", 0.1) + rada("02", 100) + rada("S1", 5));
  {
    StavRady s;
    ASSERT_TRUE(s.Otevri("02"));
    EXPECT_EQ(s.Stav(), 100.0);
    EXPECT_EQ(s.Pricti(-30.25), 69.75);
  }
  {
    StavRady s;
    ASSERT_TRUE(s.Otevri("01"));
    EXPECT_EQ(s.Pricti(0.2), 0.3);  // decimal, not 0.30000000000000004
  }
  {
    StavRady s;
    ASSERT_TRUE(s.Otevri("s1"));  // series numbers compare upper-cased
  }
  EXPECT_EQ(stavRady(2), 69.75);
  EXPECT_EQ(stavRady(1), 0.3);
  EXPECT_EQ(stavRady(3), 5.0);
  // Nothing but the balance changed.
  EXPECT_EQ(dir.read("pz_ra.dta"), rada("01", 0.3) + rada("02", 69.75) + rada("S1", 5));
  EXPECT_TRUE(zpravy.messages.empty());

  StavRady chybi;
  EXPECT_FALSE(chybi.Otevri("07"));
  ASSERT_EQ(zpravy.messages.size(), 1u);
  EXPECT_EQ(zpravy.messages[0], "Nesoulad.");
}

TEST(EntryFiles, ThePeriodCountsFilesBeyondTheFirstAndStaysInsideTheList) {
  EXPECT_EQ(SouboryZapisu(0), (std::vector<std::string>{"PZUC.DTA"}));
  EXPECT_EQ(SouboryZapisu(2), (std::vector<std::string>{"PZUC.DTA", "UC01.DTA", "UCALL.001"}));
  const auto vse = SouboryZapisu(20);
  ASSERT_EQ(vse.size(), 16u);
  EXPECT_EQ(vse.back(), "UCALL.014");
  EXPECT_EQ(SouboryZapisu(-3).size(), 1u);
}

TEST(RateFile, OnTheDataDriveForACurrencyOfLettersAndDigitsOnly) {
  EXPECT_EQ(CestaKurzu("F:\\DATA\\", "EUR"), "F:\\TAMBRA3W\\EUR.txt");
  EXPECT_EQ(CestaKurzu("/srv/data/", "usd"), "\\TAMBRA3W\\usd.txt");
  EXPECT_EQ(CestaKurzu("F:\\DATA\\", cz("Kč")), cz("F:\\TAMBRA3W\\Kč.txt"));
  EXPECT_EQ(CestaKurzu("F:\\DATA\\", "EU "), "F:\\TAMBRA3W\\EU.txt");
  for (const char* spatna : {"..\\", "\\x", "E/R", "   ", "", "A:B", "*"}) EXPECT_EQ(CestaKurzu("F:\\", spatna), "") << spatna;
  EXPECT_EQ(CestaKurzu("F:\\", cz("Kčs")), "");
}

TEST(SortedViews, RowsShowTheRecordsInKeyOrderAndFindTheirRowsBack) {
  auto doklad = [](const std::string& cislo, double placeno) {
    auto v = PrazdnyDoklad({2026, 1, 1});
    EXPECT_TRUE(storage::writeShortString(v, D::kCislo, 60, cislo));
    EXPECT_TRUE(storage::writeReal48(v, D::kPlacenoVal, placeno));
    return v;
  };
  const auto a = doklad("ZZ-1234567890123", 5), b = doklad("AA", 1250.5), c = doklad("MM", 30);
  EXPECT_EQ(KlicPodleCisla(a, 1), " ZZ-1234567    1");
  EXPECT_EQ(KlicPodleCastky(b, 2), "    1250.50    2");

  TridenePohledy p;
  p.Postav(TridenePohledy::PodleCastky, {KlicPodleCastky(a, 1), KlicPodleCastky(b, 2), KlicPodleCastky(c, 3)});
  EXPECT_EQ(p.PocetVPoradi(TridenePohledy::PodleCastky), 3);
  EXPECT_EQ(p.PocetVPoradi(TridenePohledy::PodleCisla), 0);
  EXPECT_EQ(p.CisloZPoradi(1), 1);  // not shown yet: file order
  p.NastavPoradi(TridenePohledy::PodleCisla);  // not built: refused
  EXPECT_EQ(p.AktivniPoradi(), 0);
  p.NastavPoradi(TridenePohledy::PodleCastky);
  EXPECT_EQ(p.CisloZPoradi(1), 1);
  EXPECT_EQ(p.CisloZPoradi(2), 3);
  EXPECT_EQ(p.CisloZPoradi(3), 2);
  EXPECT_EQ(p.CisloZPoradi2(2), 3);
  EXPECT_EQ(p.CisloZPoradi(4), 4);  // a document appended since: in its own place
}

TEST_F(DocumentFiles, TheFormOfTheCashDeskLaysTheFieldsAtTheDocumentsOffsets) {
  dir.write("PZ01_.dta", "");
  TfPZPokl okno;
  const std::string r = rada("01", 0);
  ASSERT_TRUE(okno.OtevriPokladnu("PZ01_.dta", std::span(reinterpret_cast<const std::uint8_t*>(r.data()), r.size())));
  const std::size_t offsety[] = {D::kDruh,     D::kIdent,      D::kCislo,  D::kCisloOrg, D::kDatumDod, D::kDatumZapl,
                                 D::kText,     D::kCelkemVal,  D::kPlacenoVal, D::kKurz, D::kCelkemKc,  D::kPlacenoKc,
                                 D::kInd,      D::kDphRozl,    D::kIco,    D::kDic,      D::kAdr1,     D::kAdr2,
                                 D::kAdr3,     D::kAdr4,       D::kPsc,    D::kFinUrad};
  ASSERT_EQ(okno.PocetPoli(), 22);
  for (int i = 1; i <= 22; ++i) EXPECT_EQ(okno.Pole(i).offset, offsety[i - 1]) << "field " << i;
  // The blank document reads back as the form's default texts.
  okno.Veta() = okno.Prazdny;
  okno.TextyZVety();
  EXPECT_EQ(okno.Text(14), "999   ");
  EXPECT_EQ(okno.Text(6), storage::readShortString(okno.Prazdny, D::kDatumZapl, 6));
  EXPECT_EQ(okno.MenaZobrazeni, "EUR");
  okno.ZavriPokladnu();
}

TEST_F(DocumentFiles, ADocumentFileThatCannotBeOpenedLeavesTheDeskClosed) {
  std::filesystem::create_directory(dir / "PZ01_.dta");
  TfPZPokl okno;
  const std::string r = rada("01", 0);
  EXPECT_FALSE(okno.OtevriPokladnu("PZ01_.dta", std::span(reinterpret_cast<const std::uint8_t*>(r.data()), r.size())));
  ASSERT_FALSE(zpravy.messages.empty());
  EXPECT_NE(zpravy.messages[0].find("otvira soubor: PZ01_.dta"), std::string::npos) << zpravy.messages[0];
  EXPECT_FALSE(okno.DodatkyDph().otevren());
  EXPECT_FALSE(okno.Soubor().otevren());
}

}  // namespace
}  // namespace pz::cashdesk
