#include "ui/marks.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/file.h"
#include "platform/io.h"

namespace pz::ui {

bool ZnackyRolu::nastav(int zaznam, bool oznacen) {
  if (!vRozsahu(zaznam)) return false;
  uint8_t& b = bity_[static_cast<size_t>(zaznam) >> 3];
  const auto bit = static_cast<uint8_t>(1u << (zaznam & 7));
  b = static_cast<uint8_t>(oznacen ? (b | bit) : (b & ~bit));
  return true;
}

void ZnackyRolu::vycisti() { std::fill(bity_.begin(), bity_.end(), uint8_t{0}); }

int ZnackyRolu::spocitej(int pocet) const {
  const int last = std::min(pocet, kNejvyssiZaznam);
  if (last < 1) return 0;
  // Whole bytes first, then the bits of the last partial byte. Bit 0 of byte 0 (record 0) is
  // never set: nastav refuses it and nacti clears it.
  int n = 0;
  const size_t full = static_cast<size_t>(last + 1) / 8;
  for (size_t i = 0; i < full; ++i) n += std::popcount(bity_[i]);
  for (int r = static_cast<int>(full * 8); r <= last; ++r) n += je(r);
  return n;
}

bool ZnackyRolu::nacti(std::string_view soubor) {
  vycisti();
  std::string obsah;
  const int code = platform::readWholeFile(soubor, obsah, platform::Share::DenyNone);
  if (code == platform::kIoFileNotFound || code == platform::kIoPathNotFound) return true;
  if (code != platform::kIoOk) return false;
  if (obsah.size() < 3) return true;
  std::memcpy(bity_.data(), obsah.data(), std::min(obsah.size(), kBajtu));
  bity_[0] &= static_cast<uint8_t>(~1u);  // record 0 does not exist
  return true;
}

int ZnackyRolu::uloz(std::string_view soubor) const {
  const size_t n = bity_[kBajtu - 1] ? kBajtu : kBajtuSouboru;
  return platform::writeWholeFile(soubor, std::string_view(reinterpret_cast<const char*>(bity_.data()), n));
}

}  // namespace pz::ui
