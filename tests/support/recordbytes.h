// The bytes of stored records as the tests read and write them, apart from the program's own
// field helpers: Real48 amounts, short strings and the n-th record of a file.
#pragma once

#include <cmath>
#include <cstddef>
#include <string>

namespace pz::test {

inline std::string real48(double v) {
  std::string b(6, '\0');
  if (v == 0) return b;
  int e = 0;
  const double m = std::frexp(std::fabs(v), &e);  // |v| = m × 2^e, m in [0.5, 1)
  auto f = static_cast<unsigned long long>(std::llround((m * 2 - 1) * 549755813888.0));  // 2^39
  if (f >> 39) { f = 0; ++e; }
  b[0] = static_cast<char>(e - 1 + 129);
  for (int i = 1; i <= 5; ++i) b[static_cast<size_t>(i)] = static_cast<char>((f >> (8 * (i - 1))) & 0xff);
  if (v < 0) b[5] = static_cast<char>(static_cast<unsigned char>(b[5]) | 0x80);
  return b;
}
inline double real48At(const std::string& rec, size_t o) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(rec[o + i]); };
  if (byte(0) == 0) return 0;
  unsigned long long f = 0;
  for (int i = 5; i >= 1; --i) f = (f << 8) | byte(static_cast<size_t>(i));
  const bool neg = (f >> 39) & 1;
  f &= (1ULL << 39) - 1;
  const double v = std::ldexp(1 + static_cast<double>(f) / 549755813888.0, byte(0) - 129);
  return neg ? -v : v;
}
inline std::string shortString(const std::string& text, size_t width) {
  std::string s(width + 1, '\0');
  s[0] = static_cast<char>(text.size());
  s.replace(1, text.size(), text);
  return s;
}
inline std::string record(const std::string& file, int n, size_t size) {
  return file.substr(static_cast<size_t>(n - 1) * size, size);
}

}  // namespace pz::test
