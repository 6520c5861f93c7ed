// Documents that pay invoices: the document filled from an invoice at the cashier's rates, the
// entries and voucher lines of the payment, and the payment booked into the invoice files when
// the document is saved, by one station after another.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cashdesk/documents.h"
#include "cashdesk/invoicepayment.h"
#include "cashdesk/records.h"
#include "cashdesk/saving.h"
#include "invoicing/invoices.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz::cashdesk {
namespace {

using invoicing::Faktura;
using invoicing::Registr;
using platform::cz;
constexpr Penize K = 10000;  // one crown or unit in ten-thousandths

RadaPokladny rada(const std::string& mena, double kurz, std::uint16_t mnozstvi) {
  RadaPokladny r;
  r.rada = "01";
  r.mena = mena;
  r.kurz = kurz;
  r.mnozstvi = mnozstvi;
  return r;
}

Faktura korunova(Penize celkem, Penize zaplaceno) {
  Faktura f;
  f.cislo = "20260001";
  f.vs = "777";
  f.cisloOrg = 12;
  f.datumDod = "011226";
  f.celkemKc = celkem;
  f.zaplacenoKc = zaplaceno;
  f.ucet = "311000";
  f.stredisko = "00100";
  f.adr1 = "Alfa s.r.o.";
  return f;
}

Faktura cizi(const std::string& mena, Penize val, double kurz, std::uint16_t mnozstvi) {
  Faktura f = korunova(0, 0);
  f.mena = mena;
  f.kurz = kurz;
  f.mnozstvi = mnozstvi;
  f.celkemVal = val;
  f.celkemKc = static_cast<Penize>(val / K * kurz / mnozstvi * K);
  f.ucet = "321000";
  return f;
}

struct Strany {
  Penize md = 0, dal = 0;
};
// The payment's entries with the cash entry the posting adds: the cash account takes the crowns
// paid, debit for a receipt, credit for an expenditure.
Strany soucty(const PokladniDoklad& d, const std::vector<accounting::tUcZapis>& z) {
  Strany s;
  (d.druh == "O" ? s.md : s.dal) += d.placenoKc;
  for (const auto& e : z) {
    if (e.maMD()) s.md += e.castka;
    if (e.maDal()) s.dal += e.castka;
  }
  return s;
}

TEST(InvoicePayment, TheDocumentEntriesAndVoucherOfEachKindOfInvoice) {
  // An issued invoice in crowns of 25 000.00 with 5 000.00 paid, at 25 CZK/EUR.
  {
    PokladniDoklad d;
    d.druh = "O";
    const Faktura f = korunova(25000 * K, 5000 * K);
    const auto v = VyplnDoklad(d, f, Registr::VydaneKc, "A1", 1, rada("EUR", 25, 1), 25, 0, "091226");
    ASSERT_TRUE(v);
    EXPECT_EQ(d.celkemVal, 1000 * K);
    EXPECT_EQ(d.placenoVal, 800 * K);
    EXPECT_EQ(d.placenoKc, 20000 * K);
    EXPECT_EQ(d.cislo, "20260001");
    EXPECT_EQ(d.text, cz("Pl.OF č.20260001, 25.0000000Kč/1EUR"));
    EXPECT_EQ(d.adr1, "Alfa s.r.o.");
    // Paid in part (400 EUR of the 800): the receivable is credited what was paid.
    d.placenoVal = 400 * K;
    d.placenoKc = 10000 * K;
    const auto z = ZapoctiPlatbu(f, *v, d, rada("EUR", 25, 1));
    ASSERT_TRUE(z);
    EXPECT_EQ(z->faktura.castecne, "C");
    EXPECT_EQ(z->faktura.priznak, "");
    EXPECT_EQ(z->faktura.zaplacenoKc, 15000 * K);
    const auto e = ZapisyPlatby(d, z->platbaDokladu);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].ucetDal, "311000");
    EXPECT_EQ(e[0].strDal, "00100");
    EXPECT_EQ(e[0].ucetMD, "000000");
    EXPECT_EQ(e[0].castka, 10000 * K);
    EXPECT_EQ(e[0].parUdaj, "0020260001");
    const Strany s = soucty(d, e);
    EXPECT_EQ(s.md, s.dal);
    EXPECT_EQ(RadkyPlatbyDokladu(d, rada("EUR", 25, 1), z->platbaDokladu),
              (std::vector<std::string>{std::string(39, ' ') + " 25.0000000CZK/1EUR",
                                        cz("******     C e l k e m    z a    d o d á v k u : 25 000.00 CZK")}));
  }
  // A received invoice of 1 000.00 EUR booked at 25.00, paid from the EUR desk at 24.50: the
  // payable goes out at 25 000.00, the 500.00 saved is a gain, and nothing is left to round.
  {
    PokladniDoklad d;
    d.druh = "D";
    const Faktura f = cizi("EUR", 1000 * K, 25, 1);
    const auto v = VyplnDoklad(d, f, Registr::PrijateVal, "B", 7, rada("EUR", 24, 1), 24.5, 0, "091226");
    ASSERT_TRUE(v);
    EXPECT_EQ(d.cislo, "B   0007");
    EXPECT_EQ(d.placenoVal, 1000 * K);
    EXPECT_EQ(d.placenoKc, 24500 * K);
    EXPECT_EQ(d.kurz, 24.5);
    const auto z = ZapoctiPlatbu(f, *v, d, rada("EUR", 24, 1));
    ASSERT_TRUE(z);
    EXPECT_EQ(z->faktura.priznak, "U");
    EXPECT_EQ(z->faktura.hotove, "P");
    EXPECT_EQ(z->faktura.zaplacenoVal, 1000 * K);
    const auto e = ZapisyPlatby(d, z->platbaDokladu);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].ucetMD, "321000");
    EXPECT_EQ(e[0].castka, 25000 * K);
    EXPECT_EQ(e[1].ucetDal, "663000");
    EXPECT_EQ(e[1].castka, 500 * K);
    EXPECT_EQ(e[0].parUdaj, "00000B0007");
    const Strany s = soucty(d, e);
    EXPECT_EQ(s.md, s.dal);
    // The same invoice received at 26.10: a loss of 1 100.00 on 563000.
    PokladniDoklad d2;
    d2.druh = "D";
    const auto v2 = VyplnDoklad(d2, f, Registr::PrijateVal, "B", 7, rada("EUR", 24, 1), 26.1, 0, "091226");
    const auto z2 = ZapoctiPlatbu(f, *v2, d2, rada("EUR", 24, 1));
    const auto e2 = ZapisyPlatby(d2, z2->platbaDokladu);
    ASSERT_EQ(e2.size(), 2u);
    EXPECT_EQ(e2[1].ucetMD, "563000");
    EXPECT_EQ(e2[1].castka, 1100 * K);
    const Strany s2 = soucty(d2, e2);
    EXPECT_EQ(s2.md, s2.dal);
  }
  // A HUF invoice whose rate is typed per 100 units: 7.5 is 0.075 a forint; on a desk counting
  // per 100 HUF the document keeps 7.5 for its 100 units, so its own arithmetic agrees.
  {
    PokladniDoklad d;
    d.druh = "O";
    const Faktura f = cizi("HUF", 100000 * K, 7.5, 100);
    const auto v = VyplnDoklad(d, f, Registr::VydaneVal, "H", 1, rada("HUF", 7.4, 100), 7.5, 0, "091226");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->kurzA, 0.075);
    EXPECT_EQ(d.placenoKc, 7500 * K);
    EXPECT_EQ(d.placenoVal, 100000 * K);
    EXPECT_EQ(d.kurz, 7.5);
    EXPECT_EQ(d.text, cz("Platba ZF č.20260001, pužitý kurz:  0.0750000 Kč/1"));
  }
  // A USD invoice paid from a EUR desk at A 22.00 and B 25.30: the crowns stay 22 000.00 (the
  // currency amount back at B would make them 22 000.12).
  {
    PokladniDoklad d;
    d.druh = "D";
    const Faktura f = cizi("USD", 1000 * K, 21, 1);
    const auto v = VyplnDoklad(d, f, Registr::PrijateVal, "U", 2, rada("EUR", 25, 1), 22, 25.3, "091226");
    ASSERT_TRUE(v);
    EXPECT_EQ(d.placenoKc, 22000 * K);
    EXPECT_EQ(d.placenoVal, 86957 * 100);  // 869.57 EUR
    EXPECT_EQ(d.kurz, 25.3);
    const auto z = ZapoctiPlatbu(f, *v, d, rada("EUR", 25, 1));
    EXPECT_EQ(z->faktura.zaplacenoVal, 1000 * K);
    const Strany s = soucty(d, ZapisyPlatby(d, z->platbaDokladu));
    EXPECT_EQ(s.md, s.dal);
  }
  // A rate that is not above zero fills nothing.
  PokladniDoklad d;
  d.druh = "O";
  EXPECT_FALSE(VyplnDoklad(d, korunova(100 * K, 0), Registr::VydaneKc, "A1", 1, rada("EUR", 25, 1), -25, 0, "091226"));
  EXPECT_FALSE(VyplnDoklad(d, korunova(100 * K, 0), Registr::VydaneKc, "A1", 1, rada("EUR", 25, 1), 0, 0, "091226"));
  EXPECT_EQ(d.placenoKc, 0);
}

std::vector<std::uint8_t> zaznamRady() {
  std::vector<std::uint8_t> v(tPzRada::kVelikost, 0);
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, "01"));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, "EUR"));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kKurz, 25));
  EXPECT_TRUE(storage::writeU16(v, tPzRada::kMnozstvi, 1));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, 5000));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kUcet, 6, "000000"));
  return v;
}

class InvoiceBooking : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    const std::vector<std::uint8_t> r = zaznamRady();
    dir.write("pz_ra.dta", std::string(r.begin(), r.end()));
    std::vector<std::uint8_t> f(invoicing::tFaktura::kVelikost, 0);
    Faktura faktura = korunova(30000 * K, 0);
    faktura.cislo = "FP-88";
    ASSERT_TRUE(invoicing::ZapisFakturu(faktura, f));
    // The invoice is the second record of the series file.
    dir.write("DFDS1.dta", std::string(invoicing::tFaktura::kVelikost, '\0') + std::string(f.begin(), f.end()));
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  // A new "D" document of record `n` filled from the invoice as the choice found it, paying
  // `eur` at 25.
  Ukladani novy(int n, int eur) {
    Ukladani u;
    u.zaznam = PrazdnyDoklad(platform::Date{2026, 12, 9});
    u.doklad = CtiDoklad(u.zaznam);
    u.doklad.druh = "D";
    u.doklad.ident = IdentDokladu(n);
    u.rada = CtiRadu(zaznamRady());
    const auto f = invoicing::NactiFakturu("DFDS1.dta", 2);
    EXPECT_TRUE(f);
    u.faktura = VyplnDoklad(u.doklad, *f, Registr::PrijateKc, "S1", 2, u.rada, 25, 0, "091226");
    u.doklad.placenoVal = eur * K;
    u.doklad.placenoKc = eur * 25 * K;
    u.cisloZaznamu = n;
    return u;
  }
  Faktura faktura() const {
    const std::string b = dir.read("DFDS1.dta");
    return invoicing::CtiFakturu(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(b.data()) + invoicing::tFaktura::kVelikost,
                                      invoicing::tFaktura::kVelikost));
  }
  std::vector<invoicing::Platba> platby() const { return invoicing::PlatbyFaktury("DFUS1.dta", "S1  0002"); }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST_F(InvoiceBooking, TwoStationsPayingOneInvoiceBothBookAndAnEditPaysNothing) {
  SluzbaUkladani sluzba;  // the steps that store (no voucher print)
  // Both stations chose the open invoice before either saved.
  Ukladani prvni = novy(1, 400);
  Ukladani druhy = novy(2, 800);
  zpravy.answer = [](const std::string&) { return false; };
  ASSERT_EQ(sluzba.Uloz(prvni, "PZ01_.dta"), VysledekUlozeni::Ulozeno);
  EXPECT_EQ(zpravy.questions, std::vector<std::string>{cz("Je to už poslední platba?")});
  EXPECT_EQ(faktura().zaplacenoKc, 10000 * K);
  EXPECT_EQ(faktura().priznak, "C");
  EXPECT_EQ(faktura().hotove, "P");
  // The second books on the invoice as stored now, not as it chose it: 10 000 + 20 000 settle it.
  ASSERT_EQ(sluzba.Uloz(druhy, "PZ01_.dta"), VysledekUlozeni::Ulozeno);
  EXPECT_EQ(faktura().zaplacenoKc, 30000 * K);
  EXPECT_EQ(faktura().priznak, "U");
  ASSERT_TRUE(druhy.platbaFaktury);
  EXPECT_TRUE(druhy.platbaFaktury->posledni);
  EXPECT_EQ(druhy.platbaFaktury->predtimKc, 10000 * K);
  const auto p = platby();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].faktura, "  S1  0002");
  EXPECT_EQ(p[0].doklad, "   0100001");
  EXPECT_EQ(p[0].castkaKc, 10000 * K);
  EXPECT_EQ(p[0].castkaVal, 400 * K);
  EXPECT_EQ(p[0].kurz, 25);
  EXPECT_EQ(p[0].text, "POKL.");
  EXPECT_EQ(p[1].castkaKc, 20000 * K);
  EXPECT_EQ(dir.read("DFUS1.dta").substr(37, 4), "\x03" + cz("Kč "));
  // The first document edited later: the invoice and its payments stay as they are.
  const std::string fakturyPred = dir.read("DFDS1.dta"), platbyPred = dir.read("DFUS1.dta");
  Ukladani oprava = novy(1, 500);
  oprava.puvodni = prvni.doklad;
  ASSERT_EQ(sluzba.Uloz(oprava, "PZ01_.dta"), VysledekUlozeni::Ulozeno);
  EXPECT_EQ(dir.read("DFDS1.dta"), fakturyPred);
  EXPECT_EQ(dir.read("DFUS1.dta"), platbyPred);
  // The crowns of an invoice payment are not recomputed by the save.
  Ukladani treti = novy(3, 1);
  treti.doklad.placenoKc = 24 * K;
  ASSERT_EQ(sluzba.Uloz(treti, "PZ01_.dta"), VysledekUlozeni::Ulozeno);
  EXPECT_EQ(treti.doklad.placenoKc, 24 * K);
}

}  // namespace
}  // namespace pz::cashdesk
