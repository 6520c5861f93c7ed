#include "storage/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "storage/fields.h"

namespace pz::storage {
namespace {

std::int64_t crowns(double currency, double rate, double units) {
  const Money m = mulDivRound4(currency, rate, units);
  EXPECT_TRUE(m.ok());
  return m.tenThousandths;
}

TEST(Money, CurrencyTimesRateRoundsOnTheDecimalNotOnTheDouble) {
  // Each of these is an exact half cent; a binary product lands just below it and would show
  // one cent less.
  struct Case {
    double currency, rate, units;
    std::int64_t round4, shown;
  } cases[] = {
      {1.50, 25.35, 1, 380250, 380300},    // 38.025 → 38.03
      {0.36, 25.125, 1, 90450, 90500},     // 9.045 → 9.05
      {7, 24.635, 1, 1724450, 1724500},    // 172.445 → 172.45
      {2.5, 25.01, 1, 625250, 625300},     // 62.525 → 62.53
      {-1.50, 25.35, 1, -380250, -380300}, // half away from zero on the negative side too
      {100, 7.123, 100, 71230, 71200},     // rate per 100 units
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.currency);
    const std::int64_t r4 = crowns(c.currency, c.rate, c.units);
    EXPECT_EQ(r4, c.round4);
    EXPECT_EQ(round2(r4).tenThousandths, c.shown);
  }
  // The same amounts read back from their Real48 fields.
  std::string rec(12, '\0');
  ASSERT_TRUE(writeReal48(rec, 0, 1.50));
  ASSERT_TRUE(writeReal48(rec, 6, 25.35));
  EXPECT_EQ(round2(crowns(readReal48(rec, 0), readReal48(rec, 6), 1)).tenThousandths, 380300);
}

TEST(Money, Round4IsExactWithTiesToEven) {
  EXPECT_EQ(toTenThousandths(0.57).tenThousandths, 5700);
  EXPECT_EQ(toTenThousandths(1.005).tenThousandths, 10050);
  EXPECT_EQ(toTenThousandths(0.00005).tenThousandths, 0);
  EXPECT_EQ(toTenThousandths(0.00015).tenThousandths, 2);
  EXPECT_EQ(toTenThousandths(-0.00015).tenThousandths, -2);
  EXPECT_EQ(toTenThousandths(0.000151).tenThousandths, 2);
  // Crowns back to currency: 1000 CZK at 25.35 is 39.44773175… EUR.
  EXPECT_EQ(crowns(1000, 1, 25.35), 394477);
  EXPECT_EQ(crowns(1e-30, 1e-30, 1e30), 0);
}

TEST(Money, RoundingToFewerPlacesIsHalfAwayFromZero) {
  EXPECT_EQ(roundTo(380250, 2).tenThousandths, 380300);
  EXPECT_EQ(roundTo(380249, 2).tenThousandths, 380200);
  EXPECT_EQ(roundTo(-380250, 2).tenThousandths, -380300);
  EXPECT_EQ(roundTo(15000, 0).tenThousandths, 20000);
  EXPECT_EQ(roundTo(12345, 4).tenThousandths, 12345);
  EXPECT_EQ(roundTo(INT64_MAX, 2).tenThousandths, INT64_MAX - 7);
  EXPECT_EQ(roundTo(INT64_MAX, 0).status, MoneyStatus::Overflow);
}

TEST(Money, SumsAreExact) {
  const std::vector<double> tenths(10, 0.1);
  EXPECT_EQ(sum(tenths).tenThousandths, 10000);
  const std::vector<double> mixed{0.1, 0.2, -0.3, 38.03, 0.57};
  EXPECT_EQ(sum(mixed).tenThousandths, 386000);
  EXPECT_EQ(add(INT64_MAX, 1).status, MoneyStatus::Overflow);
  EXPECT_EQ(tenThousandthsToDouble(386000), 38.6);
  EXPECT_EQ(tenThousandthsToDouble(-5700), -0.57);
}

TEST(Money, FailuresAreReported) {
  EXPECT_EQ(mulDivRound4(1, 25.35, 0).status, MoneyStatus::DivisionByZero);
  EXPECT_EQ(mulDivRound4(NAN, 1, 1).status, MoneyStatus::NotFinite);
  EXPECT_EQ(mulDivRound4(1e15, 1e10, 1).status, MoneyStatus::Overflow);
  EXPECT_EQ(toTenThousandths(1e300).status, MoneyStatus::Overflow);
  EXPECT_EQ(toTenThousandths(922337203685477.0).tenThousandths, 9223372036854770000);
  EXPECT_EQ(toTenThousandths(-922337203685477.5).tenThousandths, -9223372036854775000);
  EXPECT_EQ(toTenThousandths(922337203685478.0).status, MoneyStatus::Overflow);
}

TEST(Decimal, ShortestDecimalAndFixedText) {
  EXPECT_EQ(decimalOf(0.1 + 0.2)->digits, "30000000000000004");
  EXPECT_EQ(fixedText(*decimalOf(0.125), 2), "0.13");
  EXPECT_EQ(fixedText(*decimalOf(2.675), 2), "2.68");  // the binary double is 2.67499…
  EXPECT_EQ(fixedText(*decimalOf(9.995), 2), "10.00");
  EXPECT_EQ(fixedText(*decimalOf(-0.004), 2), "-0.00");
  EXPECT_EQ(fixedText(*decimalOf(1234567.891), 2), "1234567.89");
  EXPECT_EQ(fixedText(*decimalOf(1e21), 0), "1000000000000000000000");
  EXPECT_EQ(fixedText(*decimalOf(0.5), 0), "1");
  EXPECT_EQ(fixedText(decimalOfScaled(5700, 4), 3), "0.570");
  EXPECT_EQ(fixedText(parseDecimal("12.3.4"), 2), "12.30");
  EXPECT_EQ(fixedText(parseDecimal("007.50", true), 1), "-7.5");
  EXPECT_EQ(integerDigits(*decimalOf(0.5)), 0);
  EXPECT_EQ(integerDigits(*decimalOf(1234.5)), 4);
  EXPECT_EQ(toDouble(parseDecimal("25.35")), 25.35);
  EXPECT_EQ(toScaled(parseDecimal("0.57"), 4), 5700);
  EXPECT_EQ(toScaled(parseDecimal("0.00001"), 4), std::nullopt);
  EXPECT_EQ(toScaled(parseDecimal("99999999999999999999"), 0), std::nullopt);
  EXPECT_EQ(decimalOf(INFINITY), std::nullopt);
}

}  // namespace
}  // namespace pz::storage
