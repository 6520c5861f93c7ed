// Decimal money. Amounts and rates live in records as binary floating point, but every amount is
// computed on the decimal the value stands for: the shortest decimal text that reads back as the
// same double. 1.50 × 25.35 is then exactly 38.025 and shows 38.03; on raw doubles it would be
// 38.0249999… and show 38.02.
//
//   - Decimal       an exact decimal number (sign, digits, power of ten): conversions, rounding
//                   at a number of decimals, fixed text; the picture formatting builds on it
//   - Money         64-bit ten-thousandths with a status: round4, currency × rate / units,
//                   rounding to hundredths, sums
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pz::storage {

// ---------------------------------------------------------------------------------------------
// Decimal

struct Decimal {
  bool negative = false;
  std::string digits;  // significant digits without leading or trailing zeros; empty for zero
  int exponent = 0;    // value = digits × 10^exponent

  bool isZero() const { return digits.empty(); }
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

// The shortest decimal that reads back as the same double; nullopt for an infinity or NaN.
std::optional<Decimal> decimalOf(double value);
// units / 10^scale exactly: (5700, 4) is 0.57.
Decimal decimalOfScaled(std::int64_t units, int scale);
// Reads digits with at most one ".", up to the first character that does not continue the number
// (a second "." or anything else). No digits read as zero.
Decimal parseDecimal(std::string_view text, bool negative = false);

// Rounded at `decimals` places (may be negative), a 5 or more in the next digit rounding away from
// zero.
Decimal roundHalfAway(const Decimal& value, int decimals);
// Cut at `decimals` places toward zero.
Decimal truncateDecimals(const Decimal& value, int decimals);
// Rounded half away at `decimals` (0 or more) and written as "-1234.50", "0.13", "7"; a leading
// "-" only when the value is negative (even when it rounds to zero), the integer part at least "0".
std::string fixedText(const Decimal& value, int decimals);
// Digits before the decimal point, leading zeros not counted: 0 for 0.5, 4 for 1234.5.
int integerDigits(const Decimal& value);
// The nearest double; ±infinity beyond its range.
double toDouble(const Decimal& value);
// value × 10^scale when that is a whole number within 64 bits, else nullopt.
std::optional<std::int64_t> toScaled(const Decimal& value, int scale);

// ---------------------------------------------------------------------------------------------
// Money in ten-thousandths (the unit of accounting entry amounts and of "C" fields)

constexpr std::int64_t kMoneyScale = 10000;

enum class MoneyStatus { Ok, Overflow, DivisionByZero, NotFinite };

struct Money {
  std::int64_t tenThousandths = 0;
  MoneyStatus status = MoneyStatus::Ok;
  bool ok() const { return status == MoneyStatus::Ok; }
};

// round4: the value to four decimals, ties to the even neighbour. 0.57 is 5700.
Money toTenThousandths(double value);
// round4(a × b / c), computed exactly on the three decimals: currency × rate / units, and its
// inverse crowns × units / rate. A zero c gives DivisionByZero.
Money mulDivRound4(double a, double b, double c);
// Ten-thousandths rounded to `decimals` places (0 to 4), half away from zero: 380250 to two
// places is 380300 (38.025 → 38.03).
Money roundTo(std::int64_t tenThousandths, int decimals);
inline Money round2(std::int64_t tenThousandths) { return roundTo(tenThousandths, 2); }
Money add(std::int64_t a, std::int64_t b);
// The sum of the values, each taken to ten-thousandths first.
Money sum(std::span<const double> values);
// The double nearest to tenThousandths / 10000.
double tenThousandthsToDouble(std::int64_t tenThousandths);

}  // namespace pz::storage
