// The off-balance entry of a posted document, built without any screen: the accounts of a set
// with the series' analytic, the sides by kind, the currency amount in whole hundredths.
#include <gtest/gtest.h>

#include <map>

#include "cashdesk/offbalance.h"
#include "cashdesk/posting.h"
#include "storage/fields.h"

namespace pz::cashdesk {
namespace {

std::vector<std::uint8_t> sada(const std::vector<std::string>& syntetiky) {
  std::vector<std::uint8_t> v(tDevu::kVelikost, 0);
  for (std::size_t i = 0; i < syntetiky.size(); ++i) (void)storage::writeShortString(v, i * 4, 3, syntetiky[i]);
  return v;
}

TEST(OffBalance, EachKindPostsItsCurrencyAmountBetweenTheAccountsOfTheChosenSet) {
  RadaPokladny r;
  r.rada = "01";
  r.ucet = "211005";
  // Suppliers, customers, costs, revenues, bank, cash; a synthetic shorter than 3 is "0"-padded.
  const PodrozvahoveUcty u = UctySady(sada({"751", "752", "753", "701", "755", "32"}), r.ucet);
  EXPECT_EQ(u.pokladna, "320005");
  PokladniDoklad d;
  d.ident = "00012";
  d.datumZapl = "091226";
  d.text = "Prodej valut";
  d.placenoVal = 1234567;  // 123.4567 EUR: the entry holds whole hundredths
  d.placenoKc = 30864200;
  const std::map<std::string, std::pair<std::string, std::string>> strany = {
      {"P", {"320005", "701005"}}, {"V", {"753005", "320005"}}, {"O", {"320005", "752005"}}, {"D", {"751005", "320005"}}};
  for (const auto& [druh, md_dal] : strany) {
    d.druh = druh;
    const auto z = PodrozvahovyZapis(d, r, u);
    ASSERT_TRUE(z) << druh;
    EXPECT_EQ(z->ucetMD + "/" + z->ucetDal, md_dal.first + "/" + md_dal.second) << druh;
    EXPECT_EQ(z->castka, 1234600);
    EXPECT_EQ(z->datum + z->parUdaj + z->text, "0912260000100012Prodej valut");
  }
  // No set chosen: the entry would carry nothing, so none is proposed.
  d.druh = "P";
  EXPECT_FALSE(PodrozvahovyZapis(d, r, PodrozvahoveUcty{}));

  // The entry in currency never becomes the remembered crown cash account.
  PametZauctovani p;
  p.Zacni(r);
  const PodrozvahoveUcty pokladna211 = UctySady(sada({"000", "000", "000", "701", "000", "211"}), "211009");
  ZapamatujSi(p, {*PodrozvahovyZapis(d, r, pokladna211)});
  EXPECT_EQ(p.ucetPokladny, "211005");
}

}  // namespace
}  // namespace pz::cashdesk
