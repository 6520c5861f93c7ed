// Record fields at byte offsets. Every record layout is read and written through these helpers,
// field by field, so that the bytes on disk never depend on how the compiler lays out a struct.
//
//   - byte views       ConstBytes / Bytes over a std::string, a byte vector, array or span
//   - integers         little-endian 8, 16, 32 and 64 bits
//   - short string     a length byte, then exactly `width` cp1250 bytes
//   - Real48           the 6-byte floating point of amounts and rates
//   - double, extended IEEE 8-byte double and the 10-byte x87 extended format
//   - date digits      widening of two-digit years, the letters O and l of older data
//
// Readers are forgiving: bytes beyond the end of the buffer read as zero, so a short or damaged
// record gives empty texts and zero numbers. Writers refuse, write nothing and return false when
// the field does not lie inside the buffer or the value does not fit the field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pz::storage {

struct Decimal;  // storage/money.h

// ---------------------------------------------------------------------------------------------
// Byte views

class ConstBytes {
 public:
  ConstBytes(const std::string& s) : data_(reinterpret_cast<const std::uint8_t*>(s.data())), size_(s.size()) {}
  ConstBytes(std::string_view s) : data_(reinterpret_cast<const std::uint8_t*>(s.data())), size_(s.size()) {}
  ConstBytes(std::span<const std::uint8_t> s) : data_(s.data()), size_(s.size()) {}
  ConstBytes(const std::vector<std::uint8_t>& v) : data_(v.data()), size_(v.size()) {}
  template <std::size_t N>
  ConstBytes(const std::array<std::uint8_t, N>& a) : data_(a.data()), size_(N) {}

  std::size_t size() const { return size_; }
  // The byte at i, or 0 past the end.
  std::uint8_t at(std::size_t i) const { return i < size_ ? data_[i] : 0; }
  const std::uint8_t* data() const { return data_; }
  bool fits(std::size_t offset, std::size_t n) const { return offset <= size_ && n <= size_ - offset; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

class Bytes {
 public:
  Bytes(std::string& s) : data_(reinterpret_cast<std::uint8_t*>(s.data())), size_(s.size()) {}
  Bytes(std::span<std::uint8_t> s) : data_(s.data()), size_(s.size()) {}
  Bytes(std::vector<std::uint8_t>& v) : data_(v.data()), size_(v.size()) {}
  template <std::size_t N>
  Bytes(std::array<std::uint8_t, N>& a) : data_(a.data()), size_(N) {}

  operator ConstBytes() const { return std::span<const std::uint8_t>(data_, size_); }
  std::size_t size() const { return size_; }
  // True when the `count` bytes from `offset` lie inside the buffer.
  bool fits(std::size_t offset, std::size_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  std::uint8_t* data() const { return data_; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

// ---------------------------------------------------------------------------------------------
// Little-endian integers

std::uint8_t readU8(ConstBytes rec, std::size_t offset);
std::int16_t readI16(ConstBytes rec, std::size_t offset);
std::uint16_t readU16(ConstBytes rec, std::size_t offset);
std::int32_t readI32(ConstBytes rec, std::size_t offset);
std::uint32_t readU32(ConstBytes rec, std::size_t offset);
std::int64_t readI64(ConstBytes rec, std::size_t offset);

bool writeU8(Bytes rec, std::size_t offset, std::uint8_t value);
bool writeI16(Bytes rec, std::size_t offset, std::int16_t value);
bool writeU16(Bytes rec, std::size_t offset, std::uint16_t value);
bool writeI32(Bytes rec, std::size_t offset, std::int32_t value);
bool writeU32(Bytes rec, std::size_t offset, std::uint32_t value);
bool writeI64(Bytes rec, std::size_t offset, std::int64_t value);

// ---------------------------------------------------------------------------------------------
// Short string: one length byte (0..width) followed by exactly `width` bytes. The field takes
// width + 1 bytes of the record.

// The stored text; a length byte above `width` (damaged data) is read as `width`.
std::string readShortString(ConstBytes rec, std::size_t offset, std::size_t width);
// Writes the text and zero-fills the rest of the field. A text longer than `width` (or a width
// above 255) is refused: a text is never stored cut.
[[nodiscard]] bool writeShortString(Bytes rec, std::size_t offset, std::size_t width,
                                    std::string_view text);

// ---------------------------------------------------------------------------------------------
// Real48: byte 0 the exponent with bias 129 (0 means the value 0), bytes 1..5 a 39-bit fraction,
// little-endian, the sign in the top bit of byte 5. Value = ±(1 + f / 2^39) × 2^(e − 129).
// Its 40-bit significand holds about 12 decimal digits; every Real48 is exactly a double.

using Real48 = std::array<std::uint8_t, 6>;

// The exact value of the six bytes. Every bit pattern gives a finite number.
double real48ToDouble(const Real48& bytes);
// The nearest Real48 (ties to even). Values below the smallest Real48 round to 0 or to it;
// a value beyond the largest Real48 (about 1.7e38), an infinity or NaN gives nullopt.
std::optional<Real48> doubleToReal48(double value);
// The Real48 nearest to the exact decimal (ties to even), rounded once: 0.4287554 is
// 7F F7 E9 D3 85 5B, where the double nearest to it would round to 7F F8 E9 D3 85 5B. Nullopt
// beyond the largest Real48.
std::optional<Real48> decimalToReal48(const Decimal& value);
// The double nearest to the shortest decimal that still encodes to these six bytes (by
// decimalToReal48, as writeReal48 does): the 25.35 a
// user typed comes back as 25.35, not as 25.350000000000364. This is the value amounts are shown
// and computed from; writeReal48 of it gives the same bytes again.
double real48ToDecimal(const Real48& bytes);

// round4 of the value a field read gives (real48ToDecimal, ties to even), in ten-thousandths, as
// money is held; nothing when it does not fit 64 bits. The same result as rounding
// real48ToDecimal, computed on the binary value directly wherever that cannot differ.
std::optional<std::int64_t> real48ToTenThousandths(const Real48& bytes);
Real48 readReal48Bytes(ConstBytes rec, std::size_t offset);
// The field as real48ToDecimal sees it.
double readReal48(ConstBytes rec, std::size_t offset);
// Writes the shortest decimal of `value` rounded once to Real48. False (nothing written) when the
// value does not fit Real48 or the field the buffer.
[[nodiscard]] bool writeReal48(Bytes rec, std::size_t offset, double value);
bool writeReal48Bytes(Bytes rec, std::size_t offset, const Real48& bytes);

// ---------------------------------------------------------------------------------------------
// IEEE double, 8 bytes little-endian.

double readDouble(ConstBytes rec, std::size_t offset);
bool writeDouble(Bytes rec, std::size_t offset, double value);

// ---------------------------------------------------------------------------------------------
// x87 extended, 10 bytes: a 64-bit significand with an explicit integer bit (bytes 0..7), then
// 15 exponent bits with bias 16383 and the sign in the top bit (bytes 8..9).

using Extended = std::array<std::uint8_t, 10>;

// The nearest double; nullopt for an infinity, a NaN or a value beyond the range of double.
std::optional<double> extendedToDouble(const Extended& bytes);
// Exact (every double is an extended); nullopt for an infinity or NaN.
std::optional<Extended> doubleToExtended(double value);

std::optional<double> readExtended(ConstBytes rec, std::size_t offset);
[[nodiscard]] bool writeExtended(Bytes rec, std::size_t offset, double value);

// ---------------------------------------------------------------------------------------------
// Dates are stored as digit texts (DDMMYY, YYMMDD, DDMMYYYY, YYYYMMDD).

// A two-digit year below 40 is 20yy, any other 19yy.
int widenYear(int twoDigitYear);
// Older data carries the letter O or l in place of the digit 0 or 1; this reads them as digits
// and leaves every other character alone.
char dateDigit(char c);

}  // namespace pz::storage
