// What a cashier sees in the amount fields of a document and in the balance of the box.
#include "cashdesk/entry.h"

#include <gtest/gtest.h>

#include <limits>

namespace pz::cashdesk {
namespace {

double Kc(double valuty, double kurz, double mnozstvi) {
  const Castka c = NaKoruny(valuty, kurz, mnozstvi);
  EXPECT_TRUE(c.ok()) << valuty << " x " << kurz << " / " << mnozstvi;
  return c.hodnota;
}

TEST(DocumentAmounts, CrownsFromTheCurrencyAmountAsTheFieldShowsThem) {
  EXPECT_EQ(Kc(100, 25.125, 1), 2512.5);
  EXPECT_EQ(Kc(100, 24.3333, 1), 2433.33);
  EXPECT_EQ(Kc(1000, 15.5, 100), 155.0);  // JPY quoted per 100
  EXPECT_EQ(Kc(1.5, 25.35, 1), 38.03);    // 38.025 exactly, not 38.0249… of binary doubles
  EXPECT_EQ(Kc(0.36, 25.125, 1), 9.05);
  // round4 first, then the two decimals of the field: 12.34495 is 12.3450 and shows 12.35.
  EXPECT_EQ(Kc(12.34495, 1, 1), 12.35);
  EXPECT_EQ(Kc(-40, 24.82, 1), -992.8);
  EXPECT_EQ(Kc(100, 0, 1), 0.0);  // no rate yet: nothing is divided by it
}

TEST(DocumentAmounts, CurrencyFromCrownsWhenItemsGiveTheCrowns) {
  EXPECT_EQ(NaValuty(2512.5, 25.125, 1).hodnota, 100.0);
  EXPECT_EQ(NaValuty(155, 15.5, 100).hodnota, 1000.0);
  EXPECT_EQ(NaValuty(1000, 24.82, 1).hodnota, 40.29);  // 40.2900…
}

TEST(DocumentAmounts, ARateOrUnitCountOfZeroOrAnAmountTooLargeIsAnErrorNotAStoredValue) {
  EXPECT_EQ(NaValuty(1000, 0, 1).chyba, ChybaVypoctu::NulovyKurz);
  EXPECT_EQ(NaKoruny(100, 25, 0).chyba, ChybaVypoctu::NuloveMnozstvi);
  EXPECT_EQ(NaValuty(100, 25, 0).chyba, ChybaVypoctu::NuloveMnozstvi);
  EXPECT_EQ(NaKoruny(1e9, 25, 1).chyba, ChybaVypoctu::Preteceni);  // 25 000 000 000 Kč
  EXPECT_EQ(Kc(9999999999.99, 1, 1), 9999999999.99);
  EXPECT_EQ(NaKoruny(9999999999.995, 1, 1).chyba, ChybaVypoctu::Preteceni);
}

PokladniDoklad doklad(const char* druh, Penize placeno) {
  PokladniDoklad d;
  d.druh = druh;
  d.placenoVal = placeno;
  return d;
}

TEST(SeriesBalance, ADocumentMovesTheBalanceByItsPaidAmountAndAnEditTakesBackTheOldOne) {
  EXPECT_EQ(PohybStavu(nullptr, doklad("P", 1'005'000)), 1'005'000);
  EXPECT_EQ(PohybStavu(nullptr, doklad("O", 1'000'000)), 1'000'000);
  EXPECT_EQ(PohybStavu(nullptr, doklad("V", 1'000'000)), -1'000'000);
  EXPECT_EQ(PohybStavu(nullptr, doklad("D", 10'000'100)), -10'000'100);
  const PokladniDoklad vydaj = doklad("V", 400'000);
  EXPECT_EQ(PohybStavu(&vydaj, vydaj), 0);
  const PokladniDoklad faktura = doklad("D", 2'500'000);
  EXPECT_EQ(PohybStavu(&faktura, doklad("O", 2'500'000)), 5'000'000);
  // Beyond 64-bit ten-thousandths the save is refused, never wrapped.
  const PokladniDoklad maly = doklad("V", 1);
  EXPECT_EQ(PohybStavu(&maly, doklad("P", std::numeric_limits<Penize>::max())), std::nullopt);
}

TEST(NewDocument, TheNumberOfAReceiptLeftBlankAndTheKinds) {
  EXPECT_EQ(CisloDokladu("P", "   ", "01", "00012"), "PZ0100012");
  EXPECT_EQ(CisloDokladu("P", "F2024/7", "01", "00012"), "F2024/7");
  EXPECT_EQ(CisloDokladu("V", "", "01", "00012"), "");
  EXPECT_TRUE(PripustnyDruh("P") && PripustnyDruh("V") && PripustnyDruh("O") && PripustnyDruh("D"));
  EXPECT_FALSE(PripustnyDruh("X") || PripustnyDruh("p") || PripustnyDruh("") || PripustnyDruh("PV"));
}

TEST(VatCoefficients, FourDecimalsOfTheRateOverRatePlusHundred) {
  EXPECT_EQ(KoeficientDph(21), 0.1736);
  EXPECT_EQ(KoeficientDph(12), 0.1071);
  EXPECT_EQ(KoeficientDph(15), 0.1304);
  EXPECT_EQ(KoeficientDph(10), 0.0909);
  EXPECT_EQ(KoeficientDph(0), 0.0);
}

}  // namespace
}  // namespace pz::cashdesk
