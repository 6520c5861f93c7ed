#include "storage/fields.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

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
  std::uint64_t raw = significand & kFraction39;
  if (negative) raw |= std::uint64_t{1} << 39;
  out[0] = static_cast<std::uint8_t>(e);
  for (std::size_t i = 1; i <= 5; ++i) {
    out[i] = static_cast<std::uint8_t>(raw & 0xFF);
    raw >>= 8;
  }
  return out;
}

double real48ToDecimal(const Real48& bytes) {
  if (bytes[0] == 0) return 0.0;
  const double exact = real48ToDouble(bytes);
  // Try 1, 2, … significant digits; 17 digits reproduce the double itself, so the loop ends.
  char buf[64];
  for (int precision = 0; precision <= 16; ++precision) {
    const auto res = std::to_chars(buf, buf + sizeof buf, exact, std::chars_format::scientific, precision);
    double candidate = 0.0;
    std::from_chars(buf, res.ptr, candidate, std::chars_format::scientific);
    const auto again = doubleToReal48(candidate);
    if (again && *again == bytes) return candidate;
  }
  return exact;
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
  const auto bytes = doubleToReal48(value);
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
