#include "storage/fields.h"
#include "storage/money.h"

#include <gtest/gtest.h>

#include <charconv>

#include <cmath>
#include <random>

namespace pz::storage {
namespace {

Real48 r48(std::initializer_list<int> b) {
  Real48 out{};
  std::size_t i = 0;
  for (int v : b) out[i++] = static_cast<std::uint8_t>(v);
  return out;
}

TEST(Real48, KnownEncodingsAreByteExact) {
  struct Case {
    double value;
    Real48 bytes;
  } cases[] = {
      {0.0, r48({0, 0, 0, 0, 0, 0})},
      {1.0, r48({0x81, 0, 0, 0, 0, 0})},
      {1.25, r48({0x81, 0, 0, 0, 0, 0x20})},
      {-1.0, r48({0x81, 0, 0, 0, 0, 0x80})},
      {0.5, r48({0x80, 0, 0, 0, 0, 0})},
      {100.0, r48({0x87, 0, 0, 0, 0, 0x48})},
      {0.1, r48({0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C})},  // fraction rounded up in its last bit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    ASSERT_EQ(doubleToReal48(c.value), c.bytes);
    EXPECT_EQ(real48ToDecimal(c.bytes), c.value);
  }
  EXPECT_EQ(real48ToDouble(r48({0x81, 0, 0, 0, 0, 0x20})), 1.25);
  EXPECT_EQ(doubleToReal48(-0.0), r48({0, 0, 0, 0, 0, 0}));
  // Exponent 0 is zero whatever the other bytes hold.
  EXPECT_EQ(real48ToDouble(r48({0, 0xFF, 0x12, 0, 0, 0x80})), 0.0);
}

TEST(Real48, EncodingRoundsToNearestEven) {
  const double ulp = std::ldexp(1.0, -39);  // one unit of the fraction at 1.0
  EXPECT_EQ(real48ToDouble(*doubleToReal48(1.0 + ulp / 2)), 1.0);             // tie, even stays
  EXPECT_EQ(real48ToDouble(*doubleToReal48(1.0 + 3 * ulp / 2)), 1.0 + 2 * ulp);  // tie, odd goes up
  EXPECT_EQ(real48ToDouble(*doubleToReal48(1.0 + ulp * 0.75)), 1.0 + ulp);
  // A carry out of the fraction moves the exponent.
  EXPECT_EQ(doubleToReal48(2.0 - ulp / 4), r48({0x82, 0, 0, 0, 0, 0}));
}

TEST(Real48, LargestAndSmallestValues) {
  const Real48 largest = r48({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
  const double max = real48ToDouble(largest);
  EXPECT_EQ(max, std::ldexp(2.0 - std::ldexp(1.0, -39), 126));
  EXPECT_EQ(doubleToReal48(max), largest);
  EXPECT_EQ(doubleToReal48(-max), r48({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(doubleToReal48(real48ToDecimal(largest)), largest);
  // Too large is refused, never wrapped.
  EXPECT_EQ(doubleToReal48(std::ldexp(1.0, 127)), std::nullopt);
  EXPECT_EQ(doubleToReal48(-1e39), std::nullopt);
  EXPECT_EQ(doubleToReal48(INFINITY), std::nullopt);
  EXPECT_EQ(doubleToReal48(NAN), std::nullopt);

  const Real48 smallest = r48({0x01, 0, 0, 0, 0, 0});
  EXPECT_EQ(real48ToDouble(smallest), std::ldexp(1.0, -128));
  EXPECT_EQ(doubleToReal48(std::ldexp(1.0, -128)), smallest);
  EXPECT_EQ(doubleToReal48(std::ldexp(0.75, -128)), smallest);  // nearer the smallest than 0
  EXPECT_EQ(doubleToReal48(std::ldexp(1.0, -130)), r48({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(doubleToReal48(real48ToDecimal(smallest)), smallest);
}

TEST(Real48, TypedAmountsAndRatesComeBackAsTyped) {
  std::mt19937_64 rng(48);
  std::uniform_int_distribution<std::int64_t> cents(-400'000'000'000, 400'000'000'000);  // ±4e9 crowns
  std::uniform_int_distribution<std::int64_t> rate(1, 639'999'999'999);                  // < 64, 10 decimals
  for (int i = 0; i < 20000; ++i) {
    const double amount = static_cast<double>(cents(rng)) / 100;
    const double r = static_cast<double>(rate(rng)) / 1e10;
    for (double v : {amount, r, -r}) {
      const auto bytes = decimalToReal48(*decimalOf(v));
      ASSERT_TRUE(bytes);
      ASSERT_EQ(real48ToDecimal(*bytes), v) << v;
      // The exact value differs from the typed one by less than half a unit of the fraction.
      ASSERT_LE(std::fabs(real48ToDouble(*bytes) - v), std::fabs(v) * std::ldexp(1.0, -40));
    }
  }
  for (double v : {0.01, 0.57, 38.03, 25.35, 25.125, 999999999.99, -1234.56, 0.0412345678})
    EXPECT_EQ(real48ToDecimal(*decimalToReal48(*decimalOf(v))), v);
}

// The exact decimal expansion of a double, as "-123.456..." with `places` digits after the point.
std::string exactText(double v, int places) {
  char buf[512];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, places);
  return std::string(buf, r.ptr);
}

// a < b for non-negative fixed texts with the same number of places.
int compareFixed(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

TEST(Real48, ATypedDecimalIsRoundedOnceToTheNearestReal48) {
  // The double nearest to 0.4287554 lies just past the midpoint that the decimal itself is short of.
  EXPECT_EQ(decimalToReal48(parseDecimal("0.4287554")), r48({0x7F, 0xF7, 0xE9, 0xD3, 0x85, 0x5B}));
  std::string rec(6, '\0');
  ASSERT_TRUE(writeReal48(rec, 0, 0.4287554));
  EXPECT_EQ(rec, std::string("\x7F\xF7\xE9\xD3\x85\x5B", 6));

  // Reference: the bytes are right when the decimal lies between the midpoints to the two
  // neighbouring Real48 values (each midpoint has 41 significant bits: an exact double, whose
  // exact decimal expansion to_chars writes).
  std::mt19937_64 rng(4287554);
  constexpr int kPlaces = 80;
  for (int i = 0; i < 200000; ++i) {
    const int places = 2 + static_cast<int>(rng() % 9);
    std::string text = std::to_string(rng() % 1000000) + ".";
    for (int k = 0; k < places; ++k) text += static_cast<char>('0' + rng() % 10);
    const auto bytes = decimalToReal48(parseDecimal(text));
    ASSERT_TRUE(bytes) << text;
    const double x = real48ToDouble(*bytes);
    if (x == 0) continue;
    int e = 0;
    std::frexp(x, &e);
    const double ulp = std::ldexp(1.0, e - 40);
    // Below a power of two the lower neighbour is half an ulp closer.
    const double below = std::frexp(x, &e) == 0.5 ? ulp / 2 : ulp;
    const std::string lo = exactText(x - below / 2, kPlaces), hi = exactText(x + ulp / 2, kPlaces);
    std::string d = text + std::string(kPlaces - places, '0');
    const std::uint64_t fraction = (std::uint64_t{(*bytes)[1]} | std::uint64_t{(*bytes)[2]} << 8);
    const bool even = (fraction & 1) == 0;
    const int cLo = compareFixed(d, lo), cHi = compareFixed(d, hi);
    ASSERT_TRUE(cLo > 0 || (cLo == 0 && even)) << text;
    ASSERT_TRUE(cHi < 0 || (cHi == 0 && even)) << text;
  }
}

TEST(Real48, AnyBitPatternDecodesToAFiniteNumberAndBackToItself) {
  std::mt19937_64 rng(6);
  for (int i = 0; i < 100000; ++i) {
    Real48 b{};
    const std::uint64_t bits = rng();
    for (std::size_t k = 0; k < 6; ++k) b[k] = static_cast<std::uint8_t>(bits >> (8 * k));
    const double exact = real48ToDouble(b);
    const double shown = real48ToDecimal(b);
    ASSERT_TRUE(std::isfinite(exact));
    ASSERT_TRUE(std::isfinite(shown));
    if (b[0] != 0) {
      ASSERT_EQ(doubleToReal48(exact), b);
      ASSERT_EQ(decimalToReal48(*decimalOf(shown)), b);
    }
  }
}

// Money read from a field is round4 of the decimal the field shows, however it is computed: on
// amounts typed with up to five decimals (the fifth puts values on the rounding midpoints), on
// their neighbours one bit away, and on any bit pattern.
TEST(Real48, MoneyReadFromAFieldIsRound4OfTheDecimalItShows) {
  std::mt19937_64 rng(10000);
  const auto srovnej = [](const Real48& b) {
    const Money pomalu = toTenThousandths(real48ToDecimal(b));
    const std::optional<std::int64_t> rychle = real48ToTenThousandths(b);
    ASSERT_EQ(rychle.has_value(), pomalu.ok());
    if (rychle) {
      ASSERT_EQ(*rychle, pomalu.tenThousandths) << real48ToDecimal(b);
    }
  };
  for (int i = 0; i < 100000; ++i) {
    const double typed = static_cast<double>(static_cast<std::int64_t>(rng() % 20000000000) - 10000000000) / 100000;
    auto b = decimalToReal48(parseDecimal(std::to_string(typed)));
    ASSERT_TRUE(b);
    srovnej(*b);
    (*b)[1] ^= 1;  // the neighbour in the last bit
    srovnej(*b);
    Real48 nahodne{};
    const std::uint64_t bity = rng();
    for (std::size_t k = 0; k < 6; ++k) nahodne[k] = static_cast<std::uint8_t>(bity >> (8 * k));
    srovnej(nahodne);
  }
}

TEST(Fields, IntegersAreLittleEndianAtTheirOffset) {
  std::string rec(24, '\0');
  writeU8(rec, 0, 0xAB);
  writeI16(rec, 1, -2);
  writeU16(rec, 3, 65535);
  writeI32(rec, 5, 0x12345678);
  writeU32(rec, 9, 0xFFFFFFFEu);
  writeI64(rec, 13, -1234567890123456789LL);
  EXPECT_EQ(rec.substr(0, 13), std::string("\xAB\xFE\xFF\xFF\xFF\x78\x56\x34\x12\xFE\xFF\xFF\xFF", 13));
  EXPECT_EQ(readU8(rec, 0), 0xAB);
  EXPECT_EQ(readI16(rec, 1), -2);
  EXPECT_EQ(readU16(rec, 3), 65535);
  EXPECT_EQ(readI32(rec, 5), 0x12345678);
  EXPECT_EQ(readU32(rec, 9), 0xFFFFFFFEu);
  EXPECT_EQ(readI64(rec, 13), -1234567890123456789LL);
  // A field reaching past the buffer is not written; bytes past the end read as zero.
  EXPECT_FALSE(writeI32(rec, 22, 1));
  EXPECT_EQ(rec[22], '\0');
  EXPECT_EQ(readI32(rec, 22), 0);
}

TEST(Fields, ShortStringKeepsItsWidth) {
  std::string rec(12, 'z');
  ASSERT_TRUE(writeShortString(rec, 1, 8, "abc"));
  EXPECT_EQ(rec, std::string("z\x03" "abc\0\0\0\0\0" "zz", 12));
  EXPECT_EQ(readShortString(rec, 1, 8), "abc");
  EXPECT_FALSE(writeShortString(rec, 1, 8, "123456789"));  // never stored cut
  EXPECT_FALSE(writeShortString(rec, 4, 8, "a"));          // field beyond the buffer
  EXPECT_EQ(readShortString(rec, 1, 8), "abc");
  rec[1] = '\xC8';  // damaged length byte: read as the width
  EXPECT_EQ(readShortString(rec, 1, 8), std::string("abc\0\0\0\0\0", 8));
  const std::string cz = "\xC8\xE1slav";  // cp1250 bytes pass unchanged
  ASSERT_TRUE(writeShortString(rec, 1, 8, cz));
  EXPECT_EQ(readShortString(rec, 1, 8), cz);
}

TEST(Fields, Real48AndDoubleFieldsInARecord) {
  std::vector<std::uint8_t> rec(20, 0);
  ASSERT_TRUE(writeReal48(rec, 2, 1.25));
  EXPECT_EQ(readReal48Bytes(rec, 2), r48({0x81, 0, 0, 0, 0, 0x20}));
  ASSERT_TRUE(writeReal48(rec, 2, 25.35));
  EXPECT_EQ(readReal48(rec, 2), 25.35);
  EXPECT_FALSE(writeReal48(rec, 2, 1e40));
  EXPECT_EQ(readReal48(rec, 2), 25.35);  // the refused value left the field alone
  EXPECT_FALSE(writeReal48(rec, 16, 1.0));

  ASSERT_TRUE(writeDouble(rec, 8, 1.0));
  EXPECT_EQ(std::vector<std::uint8_t>(rec.begin() + 8, rec.begin() + 16),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(readDouble(rec, 8), 1.0);
}

TEST(Fields, ExtendedReadsAndWritesPortably) {
  std::array<std::uint8_t, 12> rec{};
  ASSERT_TRUE(writeExtended(rec, 1, 1.0));
  EXPECT_EQ(rec, (std::array<std::uint8_t, 12>{0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F, 0}));
  ASSERT_TRUE(writeExtended(rec, 1, -2.5));
  EXPECT_EQ(rec[10], 0xC0);
  EXPECT_EQ(readExtended(rec, 1), -2.5);
  EXPECT_FALSE(writeExtended(rec, 1, NAN));
  EXPECT_FALSE(writeExtended(rec, 3, 1.0));

  for (double v : {0.1, 38.025, -1e300, 5e-324, 123456789.123})
    EXPECT_EQ(extendedToDouble(*doubleToExtended(v)), v);

  // 64 significant bits round to the nearest double, ties to even.
  auto withSignificand = [](std::uint64_t s) {
    Extended e{};
    for (std::size_t i = 0; i < 8; ++i) e[i] = static_cast<std::uint8_t>(s >> (8 * i));
    e[8] = 0xFF;
    e[9] = 0x3F;
    return e;
  };
  EXPECT_EQ(extendedToDouble(withSignificand(0x8000000000000400ULL)), 1.0);
  EXPECT_EQ(extendedToDouble(withSignificand(0x8000000000000401ULL)), 1.0 + std::ldexp(1.0, -52));
  // Infinity, NaN and values beyond double have no double.
  Extended inf = withSignificand(0x8000000000000000ULL);
  inf[8] = 0xFF;
  inf[9] = 0x7F;
  EXPECT_EQ(extendedToDouble(inf), std::nullopt);
  Extended huge = withSignificand(0x8000000000000000ULL);
  huge[9] = 0x5F;
  EXPECT_EQ(extendedToDouble(huge), std::nullopt);
}

TEST(Fields, DateDigitsOfOlderData) {
  EXPECT_EQ(widenYear(0), 2000);
  EXPECT_EQ(widenYear(39), 2039);
  EXPECT_EQ(widenYear(40), 1940);
  EXPECT_EQ(widenYear(99), 1999);
  EXPECT_EQ(dateDigit('O'), '0');
  EXPECT_EQ(dateDigit('l'), '1');
  EXPECT_EQ(dateDigit('7'), '7');
  EXPECT_EQ(dateDigit('o'), 'o');
}

}  // namespace
}  // namespace pz::storage
