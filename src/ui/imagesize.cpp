#include "ui/imagesize.h"

#include <cstdint>

namespace pz::ui {
namespace {

std::uint32_t be(std::string_view b, std::size_t i, int n) {
  std::uint32_t v = 0;
  for (int k = 0; k < n; ++k) v = v << 8 | static_cast<std::uint8_t>(b[i + static_cast<std::size_t>(k)]);
  return v;
}

std::uint32_t le(std::string_view b, std::size_t i, int n) {
  std::uint32_t v = 0;
  for (int k = n - 1; k >= 0; --k) v = v << 8 | static_cast<std::uint8_t>(b[i + static_cast<std::size_t>(k)]);
  return v;
}

std::optional<RozmerObrazku> rozmer(std::int64_t w, std::int64_t h) {
  if (w < 1 || h < 1 || w > 1000000 || h > 1000000) return std::nullopt;
  return RozmerObrazku{static_cast<int>(w), static_cast<int>(h)};
}

// JPEG: the first start-of-frame segment (SOF0..SOF15 except DHT, JPG and DAC) holds the size.
std::optional<RozmerObrazku> jpeg(std::string_view b) {
  std::size_t i = 2;
  while (i + 4 <= b.size()) {
    if (static_cast<std::uint8_t>(b[i]) != 0xFF) return std::nullopt;
    const std::uint8_t m = static_cast<std::uint8_t>(b[i + 1]);
    if (m == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {  // segments without a length
      i += 2;
      continue;
    }
    const std::uint32_t delka = be(b, i + 2, 2);
    if (delka < 2) return std::nullopt;
    if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
      if (i + 9 > b.size()) return std::nullopt;
      return rozmer(be(b, i + 7, 2), be(b, i + 5, 2));
    }
    if (m == 0xD9 || m == 0xDA) return std::nullopt;  // end of image or scan data before a frame
    i += 2 + delka;
  }
  return std::nullopt;
}

}  // namespace

std::optional<RozmerObrazku> ZjistiRozmer(std::string_view b) {
  if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8) && b.substr(12, 4) == "IHDR")
    return rozmer(be(b, 16, 4), be(b, 20, 4));
  if (b.size() >= 10 && (b.substr(0, 6) == "GIF87a" || b.substr(0, 6) == "GIF89a"))
    return rozmer(le(b, 6, 2), le(b, 8, 2));
  if (b.size() >= 26 && b.substr(0, 2) == "BM") {
    const std::uint32_t hlavicka = le(b, 14, 4);
    if (hlavicka == 12) return rozmer(le(b, 18, 2), le(b, 20, 2));  // the old OS/2 header
    // Height is negative for a picture stored top down.
    const std::int32_t h = static_cast<std::int32_t>(le(b, 22, 4));
    return rozmer(static_cast<std::int32_t>(le(b, 18, 4)), h < 0 ? -static_cast<std::int64_t>(h) : h);
  }
  if (b.size() >= 4 && static_cast<std::uint8_t>(b[0]) == 0xFF && static_cast<std::uint8_t>(b[1]) == 0xD8) return jpeg(b);
  return std::nullopt;
}

}  // namespace pz::ui
