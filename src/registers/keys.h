// The 255 cash-book keys "klicew.dta" of the cash journal (31-byte records; a key's number is
// its record position), created from the older "klice.dta" and "kl.dta" when missing.
#pragma once

#include <cstdint>
#include <string>

#include "ui/recordform.h"

namespace pz::registers {

struct tKlic {
  static constexpr std::int32_t kVelikost = 31;
  static constexpr std::size_t kNazev = 0, kKam = 28, kPrijato = 29, kVydano = 30;
};
inline constexpr int kPocetKlicu = 255;
inline constexpr std::size_t kSirkaNazvuKlice = 27;

class TfKl : public ui::TfSoub {
 public:
  TfKl();
  ~TfKl() override;
  // Creates "klicew.dta" when needed, declares the fields and opens it.
  bool NastavKlice();
  // The list as a chooser from key 1: the picked key's number, 0 after Esc; closed afterwards.
  int Vyber();
  // Moves the current key to number `nove` and redirects the keys that pointed at it. Refused
  // (false, with a message) for a number in use; the same number changes nothing.
  bool Precisluj(int nove);
  void Opis();

  void NaF1() override;
  void F1Pole(int i) override;
  void NaF4() override;
  void ZmenaPole(int i) override;
  void NaplnSloupce() override;
};

TfKl& Klice();

// The key number of a field text when it is 1 to 255, else 0.
int CisloKlice(const std::string& text);
// The name of key n, or 27 blanks outside 1..255 or when the file has no such key.
std::string NazevKlice(int n);
// The keys list as a chooser; the picked key's number or 0.
int VyberKlic();
// Makes "klicew.dta" when it is missing or shorter than 2 bytes; true when it exists afterwards.
bool ZalozKlice();

}  // namespace pz::registers
