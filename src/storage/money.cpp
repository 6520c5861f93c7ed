#include "storage/money.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pz::storage {
namespace {

__extension__ typedef unsigned __int128 u128;

// Drops leading and trailing zeros (moving the exponent); a zero is never negative.
void normalize(Decimal& d) {
  std::size_t lead = d.digits.find_first_not_of('0');
  if (lead == std::string::npos) {
    d = Decimal{};
    return;
  }
  d.digits.erase(0, lead);
  const std::size_t last = d.digits.find_last_not_of('0');
  d.exponent += static_cast<int>(d.digits.size() - 1 - last);
  d.digits.erase(last + 1);
}

// Adds one unit in the last place of a digit string, growing it on a carry out of the top.
void incrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

Decimal cutAt(const Decimal& v, int decimals, bool roundAway) {
  if (v.isZero() || v.exponent >= -decimals) return v;
  const long long drop = static_cast<long long>(-decimals) - v.exponent;  // digits to remove, > 0
  const auto len = static_cast<long long>(v.digits.size());
  Decimal r;
  r.negative = v.negative;
  r.exponent = -decimals;
  if (drop > len) return Decimal{};  // the value is below a tenth of the last kept place
  r.digits = v.digits.substr(0, static_cast<std::size_t>(len - drop));
  if (roundAway && v.digits[static_cast<std::size_t>(len - drop)] >= '5') incrementDigits(r.digits);
  normalize(r);
  return r;
}

// The decimal of a finite double as a 128-bit significand and a power of ten (at most 17 digits).
struct Scaled {
  u128 mantissa = 0;
  int exponent = 0;
  bool negative = false;
};

Scaled scaledOf(const Decimal& d) {
  Scaled s;
  s.negative = d.negative;
  s.exponent = d.exponent;
  for (char c : d.digits) s.mantissa = s.mantissa * 10 + static_cast<unsigned>(c - '0');
  return s;
}

constexpr u128 kU128Max = ~u128{0};

}  // namespace

// --- Decimal ---------------------------------------------------------------------------------

std::optional<Decimal> decimalOf(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0.0) return Decimal{};
  char buf[64];
  // Shortest round-trip form, always as d.ddde±x.
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
  Decimal d;
  std::size_t i = 0;
  if (text[i] == '-') {
    d.negative = true;
    ++i;
  }
  int fractionDigits = 0;
  bool afterPoint = false;
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] == '.') {
      afterPoint = true;
      continue;
    }
    d.digits += text[i];
    if (afterPoint) ++fractionDigits;
  }
  int exp10 = 0;
  if (i < text.size()) {
    ++i;  // 'e'
    if (text[i] == '+') ++i;
    std::from_chars(text.data() + i, text.data() + text.size(), exp10);
  }
  d.exponent = exp10 - fractionDigits;
  normalize(d);
  return d;
}

Decimal decimalOfScaled(std::int64_t units, int scale) {
  Decimal d;
  d.negative = units < 0;
  const std::uint64_t magnitude =
      d.negative ? std::uint64_t{0} - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
  d.digits = std::to_string(magnitude);
  d.exponent = -scale;
  normalize(d);
  return d;
}

Decimal parseDecimal(std::string_view text, bool negative) {
  Decimal d;
  d.negative = negative;
  bool afterPoint = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      d.digits += c;
      if (afterPoint) --d.exponent;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else {
      break;
    }
  }
  normalize(d);
  return d;
}

Decimal roundHalfAway(const Decimal& value, int decimals) { return cutAt(value, decimals, true); }

Decimal truncateDecimals(const Decimal& value, int decimals) { return cutAt(value, decimals, false); }

std::string fixedText(const Decimal& value, int decimals) {
  if (decimals < 0) decimals = 0;
  const Decimal r = roundHalfAway(value, decimals);
  std::string integer;
  std::string fraction;
  if (r.isZero()) {
    integer = "0";
  } else if (r.exponent >= 0) {
    integer = r.digits + std::string(static_cast<std::size_t>(r.exponent), '0');
  } else {
    const auto places = static_cast<std::size_t>(-r.exponent);
    if (r.digits.size() > places) {
      integer = r.digits.substr(0, r.digits.size() - places);
      fraction = r.digits.substr(r.digits.size() - places);
    } else {
      integer = "0";
      fraction = std::string(places - r.digits.size(), '0') + r.digits;
    }
  }
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  std::string out = value.negative ? "-" : "";
  out += integer;
  if (decimals > 0) out += "." + fraction;
  return out;
}

int integerDigits(const Decimal& value) {
  if (value.isZero()) return 0;
  const long long n = static_cast<long long>(value.digits.size()) + value.exponent;
  return n > 0 ? static_cast<int>(n) : 0;
}

double toDouble(const Decimal& value) {
  if (value.isZero()) return 0.0;
  const std::string text = value.digits + "e" + std::to_string(value.exponent);
  double out = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), out);
  if (res.ec == std::errc::result_out_of_range) {
    const long long magnitude = static_cast<long long>(value.digits.size()) + value.exponent;
    out = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value.negative ? -out : out;
}

std::optional<std::int64_t> toScaled(const Decimal& value, int scale) {
  if (value.isZero()) return 0;
  const long long exponent = static_cast<long long>(value.exponent) + scale;
  if (exponent < 0) return std::nullopt;  // not a whole number of units
  if (static_cast<long long>(value.digits.size()) + exponent > 19) return std::nullopt;
  u128 m = 0;
  for (char c : value.digits) m = m * 10 + static_cast<unsigned>(c - '0');
  for (long long i = 0; i < exponent; ++i) m *= 10;
  const u128 limit = value.negative ? u128{1} << 63 : (u128{1} << 63) - 1;
  if (m > limit) return std::nullopt;
  const auto magnitude = static_cast<std::uint64_t>(m);
  return value.negative ? static_cast<std::int64_t>(std::uint64_t{0} - magnitude)
                        : static_cast<std::int64_t>(magnitude);
}

// --- Money -----------------------------------------------------------------------------------

Money toTenThousandths(double value) { return mulDivRound4(value, 1.0, 1.0); }

Money mulDivRound4(double a, double b, double c) {
  const auto da = decimalOf(a);
  const auto db = decimalOf(b);
  const auto dc = decimalOf(c);
  if (!da || !db || !dc) return {0, MoneyStatus::NotFinite};
  if (dc->isZero()) return {0, MoneyStatus::DivisionByZero};
  if (da->isZero() || db->isZero()) return {};
  const Scaled sa = scaledOf(*da);
  const Scaled sb = scaledOf(*db);
  const Scaled sc = scaledOf(*dc);

  // a × b / c × 10^4 = (ma × mb × 10^k) / mc with k = ea + eb − ec + 4. The significands have at
  // most 17 digits, so ma × mb fits in 128 bits.
  u128 numerator = sa.mantissa * sb.mantissa;
  u128 denominator = sc.mantissa;
  const int k = sa.exponent + sb.exponent - sc.exponent + 4;
  for (int i = 0; i < k; ++i) {
    if (numerator > kU128Max / 10) return {0, MoneyStatus::Overflow};
    numerator *= 10;
  }
  for (int i = 0; i < -k; ++i) {
    // A denominator this large exceeds the numerator (below 10^34) many thousand times over:
    // the quotient rounds to zero.
    if (denominator > kU128Max / 10) return {};
    denominator *= 10;
  }
  u128 quotient = numerator / denominator;
  const u128 remainder = numerator % denominator;
  if (remainder * 2 > denominator || (remainder * 2 == denominator && (quotient & 1) != 0)) ++quotient;

  const bool negative = (sa.negative != sb.negative) != sc.negative;
  const u128 limit = negative ? u128{1} << 63 : (u128{1} << 63) - 1;
  if (quotient > limit) return {0, MoneyStatus::Overflow};
  const auto magnitude = static_cast<std::uint64_t>(quotient);
  return {negative ? static_cast<std::int64_t>(std::uint64_t{0} - magnitude) : static_cast<std::int64_t>(magnitude),
          MoneyStatus::Ok};
}

Money roundTo(std::int64_t tenThousandths, int decimals) {
  if (decimals >= 4) return {tenThousandths, MoneyStatus::Ok};
  if (decimals < 0) decimals = 0;
  std::int64_t unit = 1;
  for (int i = decimals; i < 4; ++i) unit *= 10;
  std::int64_t q = tenThousandths / unit;
  const std::int64_t r = tenThousandths % unit;
  if (2 * (r < 0 ? -r : r) >= unit) q += tenThousandths < 0 ? -1 : 1;
  std::int64_t out = 0;
  if (__builtin_mul_overflow(q, unit, &out)) return {0, MoneyStatus::Overflow};
  return {out, MoneyStatus::Ok};
}

Money add(std::int64_t a, std::int64_t b) {
  std::int64_t out = 0;
  if (__builtin_add_overflow(a, b, &out)) return {0, MoneyStatus::Overflow};
  return {out, MoneyStatus::Ok};
}

Money sum(std::span<const double> values) {
  Money total;
  for (double v : values) {
    const Money m = toTenThousandths(v);
    if (!m.ok()) return {0, m.status};
    total = add(total.tenThousandths, m.tenThousandths);
    if (!total.ok()) return total;
  }
  return total;
}

double tenThousandthsToDouble(std::int64_t tenThousandths) {
  return toDouble(decimalOfScaled(tenThousandths, 4));
}

}  // namespace pz::storage
