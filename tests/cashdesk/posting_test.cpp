// The entries a saved cash document is posted as, built without any screen: the cash and counter
// sides, the rounding entry that balances them, the numbering inside one voucher number and the
// memory the next document starts from.
#include <gtest/gtest.h>

#include "cashdesk/posting.h"
#include "storage/fields.h"

namespace pz::cashdesk {
namespace {

using accounting::tUcZapis;

PokladniDoklad doklad(const std::string& druh, Penize celkemKc, Penize placenoKc) {
  PokladniDoklad d;
  d.druh = druh;
  d.ident = "00012";
  d.datumZapl = "091226";
  d.text = "Prodej valut turistovi z Rakouska a Nemecka";
  d.celkemKc = celkemKc;
  d.placenoKc = placenoKc;
  return d;
}

RadaPokladny rada() {
  RadaPokladny r;
  r.rada = "01";
  r.mena = "EUR";
  r.ucet = "211001";
  return r;
}

std::string osnova(const std::string& skupina) {
  for (const char* u : {"211001", "518300", "602100", "604000"})
    if (std::string(u).starts_with(skupina)) return u;
  return {};
}

TEST(Posting, AReceiptWithoutItemsGivesTheCashAndTheRevenueEntryWithDateAndReference) {
  PametZauctovani p;
  p.Zacni(rada());
  const auto z = SestavZapisy(doklad("P", 25000000, 25000000), rada(), p, {}, osnova);
  ASSERT_TRUE(z);
  ASSERT_EQ(z->size(), 2u);
  const tUcZapis& cash = (*z)[0];
  const tUcZapis& rev = (*z)[1];
  EXPECT_EQ(cash.ucetMD, "211001");
  EXPECT_EQ(cash.ucetDal, "000000");
  EXPECT_EQ(rev.ucetMD, "000000");
  EXPECT_EQ(rev.ucetDal, "602100");  // the first chart account of group "6"
  EXPECT_EQ(rev.zakDal, "00000" + std::string(15, ' '));
  for (const tUcZapis& e : *z) {
    EXPECT_EQ(e.castka, 25000000);
    EXPECT_EQ(e.datum, "091226");
    EXPECT_EQ(e.parUdaj, "0000100012");
    EXPECT_EQ(e.text, "Prodej valut turistovi z Rakou");
    EXPECT_EQ(e.agenda, "PZ");
  }
  // No chart account of the group: the revenue account of the class.
  PametZauctovani jina = p;
  jina.skupinaVynosu = "66";
  EXPECT_EQ((*SestavZapisy(doklad("P", 10000, 10000), rada(), jina, {}, osnova))[1].ucetDal, "600000");
  // Paid 0 Kč: nothing at all.
  EXPECT_TRUE(SestavZapisy(doklad("P", 25000000, 0), rada(), p, {}, osnova)->empty());
}

TEST(Posting, TheRoundingEntryTakesTheSignThatBalancesEitherKind) {
  PametZauctovani p;
  p.Zacni(rada());
  for (const char* druh : {"V", "P"}) {
    const auto z = SestavZapisy(doklad(druh, 25000000, 24999900), rada(), p, {}, osnova);
    ASSERT_TRUE(z);
    ASSERT_EQ(z->size(), 3u) << druh;
    EXPECT_EQ((*z)[2].ucetDal, "648000");
    EXPECT_EQ((*z)[2].ucetMD, "000000");
    EXPECT_EQ((*z)[2].castka, std::string(druh) == "V" ? 100 : -100) << druh;
    EXPECT_EQ(accounting::SoucetStran(*z, false).rozdil(), 0) << druh;
  }
  // Paid what it costs: no rounding entry.
  EXPECT_EQ(SestavZapisy(doklad("V", 25000000, 25000000), rada(), p, {}, osnova)->size(), 2u);
}

TEST(Posting, ItemsArePostedPerKeyOnTheirSideAndTheMemoryFollowsWhatTheCashierChose) {
  PametZauctovani p;
  p.Zacni(rada());
  PolozkyDokladu pol;
  pol.typ = 'P';
  pol.predmety = {{"604", "021", "20100", 1210000}, {"6049", "021", "20100", 605000}, {"518", "000", "", 100000}};
  // An expenditure: items on the debit side, class 6 turned into its class-5 twin.
  auto z = SestavZapisy(doklad("V", 1915000, 1915000), rada(), p, pol, osnova);
  ASSERT_TRUE(z);
  ASSERT_EQ(z->size(), 3u);
  EXPECT_EQ((*z)[1].ucetMD, "504000");
  EXPECT_EQ((*z)[1].castka, 1815000);
  EXPECT_EQ((*z)[1].strMD, "20100");
  EXPECT_EQ((*z)[2].ucetMD, "518000");
  EXPECT_EQ(accounting::SoucetStran(*z, false).rozdil(), 0);
  // More than 50 keys are refused.
  for (int i = 0; i < 51; ++i) pol.predmety.push_back({"6" + std::to_string(10 + i), "000", "", 100});
  EXPECT_FALSE(SestavZapisy(doklad("P", 10000, 10000), rada(), p, pol, osnova));

  // The revenue account changed to group 604 in the window: the next receipt proposes it.
  std::vector<tUcZapis> prijate = *SestavZapisy(doklad("P", 25000000, 24999900), rada(), p, {}, osnova);
  prijate[1].ucetDal = "604000";
  prijate[1].strDal = "20100";
  ZapamatujSi(p, prijate);
  EXPECT_EQ(p.skupinaVynosu, "604");
  const auto dalsi = SestavZapisy(doklad("P", 10000, 10000), rada(), p, {}, osnova);
  EXPECT_EQ((*dalsi)[1].ucetDal, "604000");
  EXPECT_EQ((*dalsi)[1].strDal, "20100");
}

TEST(Posting, ADocumentNeverSpansTwoVoucherNumbers) {
  std::vector<tUcZapis> z(3);
  for (auto& e : z) {
    e.ucetMD = "211001";
    e.castka = 10000;
  }
  z.insert(z.begin() + 1, tUcZapis{});  // carries nothing: dropped
  auto c = CislujZapisy(z, "00012305");
  ASSERT_EQ(z.size(), 3u);
  EXPECT_EQ(c, "00012308");
  EXPECT_EQ(z[0].cisloUP + z[0].radek, "00012306");
  EXPECT_EQ(z[2].cisloUP + z[2].radek, "00012308");
  // Past line 93 the next UP starts; entries that would pass 99 start it too.
  EXPECT_EQ(CislujZapisy(z, "00012393"), "00012403");
  EXPECT_EQ(z[0].cisloUP + z[0].radek, "00012401");
  EXPECT_EQ(CislujZapisy(z, "00012389"), "00012400");  // lines 90 to 92
  std::vector<tUcZapis> many(10, z[0]);
  EXPECT_EQ(CislujZapisy(many, "00012391"), "00012410");
  EXPECT_EQ(many.front().cisloUP + many.front().radek, "00012401");
  EXPECT_EQ(many.back().cisloUP + many.back().radek, "00012410");
  EXPECT_FALSE(CislujZapisy(many, "99999995"));
  EXPECT_EQ(PozdejsiCitac("00012305", "00012310"), "00012310");
  EXPECT_EQ(PozdejsiCitac("x", "00012310"), "00012310");
}

// In cash-journal mode a paying document is two lines: the expenditure with the reference, then
// what did not fit of it with the document's text and the exchange difference, no amount.
TEST(Posting, AJournalLineOfAnInvoicePaymentGoesOnWithTheRestOfItsTextAndTheExchangeDifference) {
  constexpr Penize K = 10000;
  PokladniDoklad d = doklad("D", 25000 * K, 24500 * K);
  d.cislo = "B   0007";
  d.adr1 = "Beta Trading Company s.r.o.";
  d.text = "Uhr.DZ c.BFA-7,VS:77, 24.5000000Kc/1EUR";
  d.cisloOrg = 12;
  PlatbaDokladu p;
  p.cizi = true;
  p.ucet = "321000";
  p.placenoValFaktury = 1000 * K;
  p.kurzFaktury = 25;
  p.placenoKc = d.placenoKc;
  PametZauctovani pamet;
  pamet.Zacni(rada());
  const std::vector<std::uint8_t> v = RadkyDeniku(d, rada(), pamet, &p);
  ASSERT_EQ(v.size(), 2u * pdZapis::kVelikost);
  const storage::ConstBytes prvni(std::span<const std::uint8_t>(v.data(), pdZapis::kVelikost));
  const storage::ConstBytes druhy(std::span<const std::uint8_t>(v.data() + pdZapis::kVelikost, pdZapis::kVelikost));
  EXPECT_EQ(storage::readShortString(prvni, pdZapis::kText, 30), "B   0007-Beta Trading Company");
  EXPECT_EQ(storage::readI64(prvni, pdZapis::kVydaj), 24500 * K);
  EXPECT_EQ(storage::readI64(prvni, pdZapis::kRozdil), 0);
  EXPECT_EQ(storage::readShortString(druhy, pdZapis::kText, 30), "s.r.o. Uhr.DZ c.BFA-7,VS:77, 2");
  EXPECT_EQ(storage::readShortString(druhy, pdZapis::kDoklad, 7), storage::readShortString(prvni, pdZapis::kDoklad, 7));
  EXPECT_EQ(storage::readI64(druhy, pdZapis::kVydaj) + storage::readI64(druhy, pdZapis::kPrijem), 0);
  // The payable valued at the invoice's 25.00 is 500.00 Kč more than the 24.50 paid: a gain.
  EXPECT_EQ(storage::readI64(druhy, pdZapis::kRozdil), 500 * K);
  EXPECT_EQ(storage::readU16(druhy, pdZapis::kPartner), 12);
  // A receipt stays one line.
  EXPECT_EQ(RadkyDeniku(doklad("P", 100 * K, 100 * K), rada(), pamet).size(), std::size_t{pdZapis::kVelikost});
}

}  // namespace
}  // namespace pz::cashdesk
