// The marks of a browse window: one bit per record number, for record numbers 1 to 400000, and
// the marks file that keeps them between uses of a window.
//
// Bit layout (memory and file alike): record r is bit (r mod 8) of byte (r div 8), so the marks
// of records 1 to 400000 take 50001 bytes. The file holds the first 50000 of them; it grows to
// 50001 bytes only while record 400000 itself is marked, so that its mark is not lost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pz::ui {

class ZnackyRolu {
 public:
  static constexpr int kNejvyssiZaznam = 400000;
  static constexpr size_t kBajtu = kNejvyssiZaznam / 8 + 1;  // 50001
  static constexpr size_t kBajtuSouboru = 50000;

  ZnackyRolu() : bity_(kBajtu, 0) {}

  static bool vRozsahu(int zaznam) { return zaznam >= 1 && zaznam <= kNejvyssiZaznam; }
  bool je(int zaznam) const {
    return vRozsahu(zaznam) && (bity_[static_cast<size_t>(zaznam) >> 3] >> (zaznam & 7) & 1);
  }
  // Sets or clears the bit; false (and nothing changes) for a record number outside the range.
  bool nastav(int zaznam, bool oznacen);
  void vycisti();
  // Marked records among 1 to `pocet`.
  int spocitej(int pocet) const;

  // Loads a marks file; a file of fewer than 3 bytes (or a missing one) leaves every mark clear,
  // and a file of another size gives what it holds up to 50001 bytes. False when the file exists
  // but cannot be read.
  bool nacti(std::string_view soubor);
  // Writes the marks file; returns the I/O code.
  int uloz(std::string_view soubor) const;

 private:
  std::vector<uint8_t> bity_;
};

}  // namespace pz::ui
