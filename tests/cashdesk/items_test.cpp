// The money of document items: VAT of a base, the split of a price that includes VAT, and the base
// of a subject item, all in whole haléře.
#include <gtest/gtest.h>

#include "cashdesk/items.h"
#include "storage/fields.h"
#include "platform/paths.h"
#include "support/tempdir.h"

namespace pz::cashdesk {
namespace {

constexpr std::int64_t kProcento = 10000;  // a rate of 1 % in ten-thousandths

TEST(ItemMoney, VatOfABaseRoundsItsCrownPercentHalfAwayFromZero) {
  EXPECT_EQ(DphZakladu(10000, 21 * kProcento), 2100);   // 100.00 at 21 %: 21.00
  EXPECT_EQ(DphZakladu(250, 21 * kProcento), 53);       // 52.5 crown-percent: 0.53, not 0.52
  EXPECT_EQ(DphZakladu(-250, 21 * kProcento), -53);     // a return rounds the same way
  EXPECT_EQ(DphZakladu(1, 21 * kProcento), 0);          // 0.21 crown-percent
  EXPECT_EQ(DphZakladu(2700, 21 * kProcento), 567);     // 27.00 at 21 %: 5.67
  EXPECT_EQ(DphZakladu(99999, 0), 0);
}

TEST(ItemMoney, APriceWithVatSplitsIntoBaseAndVatThatAddUpToIt) {
  EXPECT_EQ(KoeficientCenySDph(21 * kProcento), 173554);  // round4(17.35537...) / 100
  EXPECT_EQ(KoeficientCenySDph(12 * kProcento), 107143);
  const Rozpad r = RozpadCeny(12100, 21 * kProcento);
  EXPECT_EQ(r.zaklad, 10000);
  EXPECT_EQ(r.dph, 2100);
  for (std::int64_t cena = -5000; cena <= 200000; cena += 37) {
    const Rozpad p = RozpadCeny(cena, 12 * kProcento);
    ASSERT_EQ(p.zaklad + p.dph, cena);
  }
  EXPECT_EQ(RozpadCeny(12100, 0).dph, 0);
}

TEST(ItemMoney, TheBaseOfASubjectItemTakesItsMarkupOrDiscountToHalere) {
  EXPECT_EQ(ZakladPredmetu(10 * 10000, 3 * 10000, -10 * 10000), 2700);  // 10.00 × 3 − 10 %
  EXPECT_EQ(ZakladPredmetu(33300, 15000, 0), 500);                      // 3.33 × 1.5 = 4.995
  EXPECT_EQ(ZakladPredmetu(10 * 10000, 1 * 10000, 125000), 1125);       // + 12.5 %
}

// Three text items of 30 characters and a deleted (blank) one in the station's work file.
TEST(ItemMoney, TheRebuiltTextStopsAtTheWidthOfTheDocumentTextAndBlankItemsCountForNothing) {
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  platform::paths().setWorkDir(dir.str());  // an earlier test in this process may have set another
  std::string file;
  for (const char* t : {"abcdefghijklmnopqrstuvwxyz0123", "", "ABCDEFGHIJKLMNOPQRSTUVWXYZ4567", "third"}) {
    std::vector<std::uint8_t> v(tPolozkaT::kVelikost, 0);
    ASSERT_TRUE(storage::writeShortString(v, tPolozkaT::kText, 73, t));
    if (*t) {
      ASSERT_TRUE(storage::writeReal48(v, tPolozkaT::kCena, 0.1));
      ASSERT_TRUE(storage::writeReal48(v, tPolozkaT::kDph, 0.02));
    }
    file.append(v.begin(), v.end());
  }
  dir.write(SouborPolozek('T'), file);
  const SouhrnPolozek s = SectiPolozky('T', 50);
  EXPECT_EQ(s.pocet, 3);
  EXPECT_EQ(s.celkemHal, 36);  // 3 × (0.10 + 0.02), each to haléře before the sum
  EXPECT_EQ(s.text, "abcdefghijklmnopqrstuvwxyz0123,ABCDEFGHIJKLMNOPQRS");
  platform::paths().clear();
}

}  // namespace
}  // namespace pz::cashdesk
