#include "storage/fields.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "storage/money.h"

namespace pz::storage {
namespace {

std::uint64_t readLE(ConstBytes rec, std::size_t offset, int count) {
  std::uint64_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 8) | rec.at(offset + static_cast<std::size_t>(i));
  return v;
}

bool writeLE(Bytes rec, std::size_t offset, int count, std::uint64_t v) {
  if (!rec.fits(offset, static_cast<std::size_t>(count))) return false;
  for (int i = 0; i < count; ++i) {
    rec.data()[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v & 0xFF);
    v >>= 8;
  }
  return true;
}

constexpr std::uint64_t kFraction39 = (std::uint64_t{1} << 39) - 1;

Real48 packReal48(bool negative, int e, std::uint64_t significand) {
  Real48 out{};
  std::uint64_t raw = significand & kFraction39;
  if (negative) raw |= std::uint64_t{1} << 39;
  out[0] = static_cast<std::uint8_t>(e);
  for (std::size_t i = 1; i <= 5; ++i) {
    out[i] = static_cast<std::uint8_t>(raw & 0xFF);
    raw >>= 8;
  }
  return out;
}

// An unsigned integer of any size, little-endian 32-bit words: just enough arithmetic to divide a
// decimal by a power of two (or the reverse) exactly.
class Velke {
 public:
  explicit Velke(std::uint32_t v = 0) {
    if (v) w_.push_back(v);
  }
  void krat(std::uint32_t m) {
    std::uint64_t carry = 0;
    for (auto& x : w_) {
      const std::uint64_t t = std::uint64_t{x} * m + carry;
      x = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry) w_.push_back(static_cast<std::uint32_t>(carry));
  }
  void plus(std::uint32_t a) {
    std::uint64_t carry = a;
    for (auto& x : w_) {
      if (!carry) return;
      const std::uint64_t t = std::uint64_t{x} + carry;
      x = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry) w_.push_back(static_cast<std::uint32_t>(carry));
  }
  void posun(int bits) {  // × 2^bits
    if (w_.empty() || bits <= 0) return;
    w_.insert(w_.begin(), static_cast<std::size_t>(bits / 32), 0u);
    const int b = bits % 32;
    if (b == 0) return;
    std::uint32_t carry = 0;
    for (auto& x : w_) {
      const std::uint32_t n = (x << b) | carry;
      carry = x >> (32 - b);
      x = n;
    }
    if (carry) w_.push_back(carry);
  }
  void pulka() {  // / 2, the lowest bit dropped
    for (std::size_t i = 0; i < w_.size(); ++i) {
      const std::uint32_t vyssi = i + 1 < w_.size() ? w_[i + 1] : 0u;
      w_[i] = (w_[i] >> 1) | (vyssi << 31);
    }
    while (!w_.empty() && w_.back() == 0) w_.pop_back();
  }
  int bity() const {
    if (w_.empty()) return 0;
    return static_cast<int>(32 * (w_.size() - 1)) + std::bit_width(w_.back());
  }
  friend int porovnej(const Velke& a, const Velke& b) {
    if (a.w_.size() != b.w_.size()) return a.w_.size() < b.w_.size() ? -1 : 1;
    for (std::size_t i = a.w_.size(); i-- > 0;)
      if (a.w_[i] != b.w_[i]) return a.w_[i] < b.w_[i] ? -1 : 1;
    return 0;
  }
  void minus(const Velke& b) {  // *this >= b
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < w_.size(); ++i) {
      std::int64_t t = std::int64_t{w_[i]} - borrow - (i < b.w_.size() ? std::int64_t{b.w_[i]} : 0);
      borrow = t < 0;
      if (t < 0) t += std::int64_t{1} << 32;
      w_[i] = static_cast<std::uint32_t>(t);
    }
    while (!w_.empty() && w_.back() == 0) w_.pop_back();
  }

 private:
  std::vector<std::uint32_t> w_;
};

// num / den for a quotient below 2^bits, by shifting and subtracting; num keeps the remainder.
std::uint64_t vydel(Velke& num, const Velke& den, int bits) {
  std::uint64_t q = 0;
  Velke d = den;
  d.posun(bits - 1);
  for (int b = bits - 1; b >= 0; --b) {
    if (porovnej(num, d) >= 0) {
      num.minus(d);
      q |= std::uint64_t{1} << b;
    }
    d.pulka();
  }
  return q;
}

}  // namespace

// --- integers --------------------------------------------------------------------------------

std::uint8_t readU8(ConstBytes rec, std::size_t offset) { return rec.at(offset); }
std::int16_t readI16(ConstBytes rec, std::size_t offset) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(readLE(rec, offset, 2)));
}
std::uint16_t readU16(ConstBytes rec, std::size_t offset) {
  return static_cast<std::uint16_t>(readLE(rec, offset, 2));
}
std::int32_t readI32(ConstBytes rec, std::size_t offset) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(readLE(rec, offset, 4)));
}
std::uint32_t readU32(ConstBytes rec, std::size_t offset) {
  return static_cast<std::uint32_t>(readLE(rec, offset, 4));
}
std::int64_t readI64(ConstBytes rec, std::size_t offset) {
  return static_cast<std::int64_t>(readLE(rec, offset, 8));
}

bool writeU8(Bytes rec, std::size_t offset, std::uint8_t value) { return writeLE(rec, offset, 1, value); }
bool writeI16(Bytes rec, std::size_t offset, std::int16_t value) {
  return writeLE(rec, offset, 2, static_cast<std::uint16_t>(value));
}
bool writeU16(Bytes rec, std::size_t offset, std::uint16_t value) { return writeLE(rec, offset, 2, value); }
bool writeI32(Bytes rec, std::size_t offset, std::int32_t value) {
  return writeLE(rec, offset, 4, static_cast<std::uint32_t>(value));
}
bool writeU32(Bytes rec, std::size_t offset, std::uint32_t value) { return writeLE(rec, offset, 4, value); }
bool writeI64(Bytes rec, std::size_t offset, std::int64_t value) {
  return writeLE(rec, offset, 8, static_cast<std::uint64_t>(value));
}

// --- short string ----------------------------------------------------------------------------

std::string readShortString(ConstBytes rec, std::size_t offset, std::size_t width) {
  std::size_t len = rec.at(offset);
  if (len > width) len = width;
  // Every row of a list and every probe of a key search reads its texts here: one copy when the
  // text lies inside the record, byte by byte (zeros past the end) only when it does not.
  if (rec.fits(offset + 1, len)) return std::string(reinterpret_cast<const char*>(rec.data()) + offset + 1, len);
  std::string out(len, '\0');
  for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<char>(rec.at(offset + 1 + i));
  return out;
}

bool writeShortString(Bytes rec, std::size_t offset, std::size_t width, std::string_view text) {
  if (width > 255 || text.size() > width || !rec.fits(offset, width + 1)) return false;
  std::uint8_t* p = rec.data() + offset;
  p[0] = static_cast<std::uint8_t>(text.size());
  std::memcpy(p + 1, text.data(), text.size());
  std::memset(p + 1 + text.size(), 0, width - text.size());
  return true;
}

// --- Real48 ----------------------------------------------------------------------------------

double real48ToDouble(const Real48& b) {
  if (b[0] == 0) return 0.0;
  std::uint64_t raw = 0;
  for (int i = 5; i >= 1; --i) raw = (raw << 8) | b[static_cast<std::size_t>(i)];
  const bool negative = (raw >> 39) & 1;
  const std::uint64_t significand = (std::uint64_t{1} << 39) | (raw & kFraction39);
  // 40 significant bits and an exponent within ±128: exact in a double.
  const double v = std::ldexp(static_cast<double>(significand), int{b[0]} - 129 - 39);
  return negative ? -v : v;
}

std::optional<Real48> doubleToReal48(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  Real48 out{};
  if (value == 0.0) return out;
  const bool negative = std::signbit(value);
  int exp2 = 0;
  const double m = std::frexp(std::fabs(value), &exp2);  // |value| = m × 2^exp2, m in [0.5, 1)
  int e = exp2 + 128;
  std::uint64_t significand = 0;  // 1.f scaled by 2^39
  if (e < 1) {
    // Below 2^-128 lie only 0 and the smallest Real48 (2^-128): take the nearer, 0 on a tie.
    if (std::fabs(value) <= std::ldexp(1.0, -129)) return out;
    e = 1;
    significand = std::uint64_t{1} << 39;
  } else {
    // m × 2^40 holds at most 53 significant bits, so nearbyint rounds it exactly (ties to even).
    significand = static_cast<std::uint64_t>(std::nearbyint(std::ldexp(m, 40)));
    if (significand == (std::uint64_t{1} << 40)) {
      significand >>= 1;
      ++e;
    }
    if (e > 255) return std::nullopt;
  }
  return packReal48(negative, e, significand);
}

// The same rounding in 128-bit integers for decimals of at most 19 digits between about 1e-37 and
// 1e46 (every amount and rate): no allocation, the path nearly every value takes. Nothing when
// the value is outside that reach.
static std::optional<Real48> decimalToReal48Rychle(const Decimal& value) {
  __extension__ typedef unsigned __int128 U128;
  if (value.digits.size() > 19) return std::nullopt;
  std::uint64_t n = 0;
  for (char c : value.digits) n = n * 10 + static_cast<std::uint64_t>(c - '0');
  if (n == 0) return std::nullopt;
  const auto bity = [](U128 x) {
    const auto hi = static_cast<std::uint64_t>(x >> 64);
    return hi ? 64 + std::bit_width(hi) : std::bit_width(static_cast<std::uint64_t>(x));
  };
  // 10^E = 5^E × 2^E: the power of two goes into the exponent, the power of five into num or den.
  U128 num = n, den = 1;
  if (value.exponent >= 0) {
    if (value.exponent > 27) return std::nullopt;
    for (int i = 0; i < value.exponent; ++i) num *= 5;
  } else {
    if (value.exponent < -37) return std::nullopt;
    for (int i = 0; i < -value.exponent; ++i) den *= 5;
  }
  // value = num / den × 2^E; the significand q = round(num × 2^s / den) with 2^39 <= q < 2^40.
  int s = bity(den) - bity(num) + 39;
  for (int pokus = 0; pokus < 3; ++pokus) {
    U128 a = num, b = den;
    if (s >= 0) {
      if (bity(a) + s > 127) return std::nullopt;
      a <<= s;
    } else {
      if (bity(b) - s > 127) return std::nullopt;
      b <<= -s;
    }
    std::uint64_t q = static_cast<std::uint64_t>(a / b);
    const U128 r = a % b;
    if (q >= (std::uint64_t{1} << 40)) {
      --s;
      continue;
    }
    if (q < (std::uint64_t{1} << 39)) {
      ++s;
      continue;
    }
    // Round half to even: the remainder against the rest of the divisor.
    const U128 zbytek = b - r;
    if (r > zbytek || (r == zbytek && (q & 1))) ++q;
    int e = 168 + value.exponent - s;  // q × 2^(E − s) = (q / 2^39) × 2^(e − 129)
    if (q == (std::uint64_t{1} << 40)) {
      q >>= 1;
      ++e;
    }
    if (e < 1 || e > 255) return std::nullopt;
    return packReal48(value.negative, e, q);
  }
  return std::nullopt;
}

std::optional<Real48> decimalToReal48(const Decimal& value) {
  if (value.isZero()) return Real48{};
  if (const auto rychle = decimalToReal48Rychle(value)) return rychle;
  // Far outside the range of amounts and rates the double is as good as exact.
  const int velikost = value.exponent + static_cast<int>(value.digits.size());
  if (value.digits.size() > 40 || velikost > 39 || velikost < -36) return doubleToReal48(toDouble(value));
  // value = num / den; the significand is round(num / (den × 2^k)) with 2^39 <= it < 2^40.
  Velke num, den(1);
  for (char c : value.digits) {
    num.krat(10);
    num.plus(static_cast<std::uint32_t>(c - '0'));
  }
  for (int i = 0; i < value.exponent; ++i) num.krat(10);
  for (int i = 0; i < -value.exponent; ++i) den.krat(10);
  int k = num.bity() - den.bity() - 40;
  std::uint64_t q = 0;
  for (;;) {
    Velke n = num, d = den;
    if (k < 0) n.posun(-k);
    else d.posun(k);
    q = vydel(n, d, 42);
    if (q >= (std::uint64_t{1} << 40)) {
      ++k;
      continue;
    }
    if (q < (std::uint64_t{1} << 39)) {
      --k;
      continue;
    }
    // Round half to even on the remainder: 2 × remainder against the divisor.
    n.posun(1);
    const int c = porovnej(n, d);
    if (c > 0 || (c == 0 && (q & 1))) ++q;
    break;
  }
  if (q == (std::uint64_t{1} << 40)) {
    q >>= 1;
    ++k;
  }
  const int e = k + 168;  // q × 2^k = (q / 2^39) × 2^(e − 129)
  if (e > 255) return std::nullopt;
  if (e < 1) return doubleToReal48(toDouble(value));
  return packReal48(value.negative, e, q);
}

namespace {

// The shortest decimal that is written back as these bytes.
double real48ToDecimalSearched(const Real48& bytes) {
  const double exact = real48ToDouble(bytes);
  // Try 1, 2, … significant digits; 17 digits reproduce the double itself, so the loop ends.
  char buf[64];
  for (int precision = 0; precision <= 16; ++precision) {
    const auto res = std::to_chars(buf, buf + sizeof buf, exact, std::chars_format::scientific, precision);
    double candidate = 0.0;
    std::from_chars(buf, res.ptr, candidate, std::chars_format::scientific);
    // The candidate must come back as these bytes by the way every value is written.
    const auto decimal = decimalOf(candidate);
    const auto again = decimal ? decimalToReal48(*decimal) : std::nullopt;
    if (again && *again == bytes) return candidate;
  }
  return exact;
}

}  // namespace

double real48ToDecimal(const Real48& bytes) {
  if (bytes[0] == 0) return 0.0;
  // A list of records mostly repeats the value of the one before (a day's rate): the last answer
  // is kept.
  thread_local Real48 posledni{};
  thread_local double posledniHodnota = 0.0;
  if (bytes == posledni) return posledniHodnota;
  posledniHodnota = real48ToDecimalSearched(bytes);
  posledni = bytes;
  return posledniHodnota;
}

std::optional<std::int64_t> real48ToTenThousandths(const Real48& b) {
  if (b[0] == 0) return 0;
  std::uint64_t raw = 0;
  for (int i = 5; i >= 1; --i) raw = (raw << 8) | b[static_cast<std::size_t>(i)];
  const bool negative = (raw >> 39) & 1;
  const std::uint64_t significand = (std::uint64_t{1} << 39) | (raw & kFraction39);
  // value × 10^4 = significand × 10^4 × 2^k; significand × 10^4 is below 2^54.
  const int k = int{b[0]} - 129 - 39;
  const std::uint64_t v = significand * 10000;
  if (k < 0 && k > -60) {
    const std::uint64_t polovina = std::uint64_t{1} << (-k - 1);
    const std::uint64_t q = v >> -k;
    const std::uint64_t zbytek = v & ((polovina << 1) - 1);
    // The decimal a read gives lies within half a unit of the last place of the value, which is
    // 5000 units of v: away from the midpoint by more than that, both round alike.
    const std::uint64_t od = zbytek > polovina ? zbytek - polovina : polovina - zbytek;
    if (od > 10000) {
      const std::int64_t n = static_cast<std::int64_t>(q + (zbytek > polovina ? 1 : 0));
      return negative ? -n : n;
    }
  } else if (k <= -60) {
    return 0;  // below 2^-20: far under a ten-thousandth
  }
  const Money m = toTenThousandths(real48ToDecimal(b));
  if (!m.ok()) return std::nullopt;
  return m.tenThousandths;
}

Real48 readReal48Bytes(ConstBytes rec, std::size_t offset) {
  Real48 b{};
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = rec.at(offset + i);
  return b;
}

double readReal48(ConstBytes rec, std::size_t offset) { return real48ToDecimal(readReal48Bytes(rec, offset)); }

bool writeReal48Bytes(Bytes rec, std::size_t offset, const Real48& bytes) {
  if (!rec.fits(offset, bytes.size())) return false;
  std::memcpy(rec.data() + offset, bytes.data(), bytes.size());
  return true;
}

bool writeReal48(Bytes rec, std::size_t offset, double value) {
  // The value stands for its shortest decimal (0.4287554, not the double nearest to it): that
  // decimal is rounded to Real48 once.
  const auto decimal = decimalOf(value);
  const auto bytes = decimal ? decimalToReal48(*decimal) : std::nullopt;
  return bytes && writeReal48Bytes(rec, offset, *bytes);
}

// --- double ----------------------------------------------------------------------------------

double readDouble(ConstBytes rec, std::size_t offset) {
  return std::bit_cast<double>(readLE(rec, offset, 8));
}

bool writeDouble(Bytes rec, std::size_t offset, double value) {
  return writeLE(rec, offset, 8, std::bit_cast<std::uint64_t>(value));
}

// --- extended --------------------------------------------------------------------------------

std::optional<double> extendedToDouble(const Extended& b) {
  std::uint64_t significand = 0;
  for (int i = 7; i >= 0; --i) significand = (significand << 8) | b[static_cast<std::size_t>(i)];
  const unsigned top = unsigned{b[8]} | (unsigned{b[9]} << 8);
  const bool negative = (top & 0x8000) != 0;
  const int exponent = static_cast<int>(top & 0x7FFF);
  if (exponent == 0x7FFF) return std::nullopt;  // infinity or NaN
  // Denormals (exponent 0) use the exponent of 1; unnormals are read by their value.
  const int scale = (exponent == 0 ? 1 : exponent) - 16383 - 63;
  // The conversion rounds the 64-bit significand to 53 bits (to nearest); ldexp is then exact
  // within the normal range of double.
  const double v = std::ldexp(static_cast<double>(significand), scale);
  if (!std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

std::optional<Extended> doubleToExtended(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  Extended out{};
  unsigned top = std::signbit(value) ? 0x8000u : 0u;
  if (value != 0.0) {
    int exp2 = 0;
    const double m = std::frexp(std::fabs(value), &exp2);  // m in [0.5, 1)
    // m × 2^64 is an integer with the top bit set: the explicit integer bit.
    const auto significand = static_cast<std::uint64_t>(std::ldexp(m, 64));
    for (std::size_t i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(significand >> (8 * i));
    top |= static_cast<unsigned>(exp2 - 1 + 16383);
  }
  out[8] = static_cast<std::uint8_t>(top & 0xFF);
  out[9] = static_cast<std::uint8_t>(top >> 8);
  return out;
}

std::optional<double> readExtended(ConstBytes rec, std::size_t offset) {
  Extended b{};
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = rec.at(offset + i);
  return extendedToDouble(b);
}

bool writeExtended(Bytes rec, std::size_t offset, double value) {
  const auto bytes = doubleToExtended(value);
  if (!bytes || !rec.fits(offset, bytes->size())) return false;
  std::memcpy(rec.data() + offset, bytes->data(), bytes->size());
  return true;
}

// --- dates -----------------------------------------------------------------------------------

int widenYear(int twoDigitYear) { return twoDigitYear < 40 ? 2000 + twoDigitYear : 1900 + twoDigitYear; }

char dateDigit(char c) {
  if (c == 'O') return '0';
  if (c == 'l') return '1';
  return c;
}

}  // namespace pz::storage
