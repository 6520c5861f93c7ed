// The list of states "Staty.dta" in the data root (232-byte records) and the lookup of a state's
// code by its name that the cash desk uses for a partner's state.
#pragma once

#include <cstdint>
#include <string>

#include "ui/recordform.h"

namespace pz::registers {

// Layout of a state record: short strings and Real48 values at these offsets.
struct tStat {
  static constexpr std::int32_t kVelikost = 232;
  static constexpr std::size_t kKodZeme = 0, kNazev = 6, kEu = 37, kDphNizsi = 40, kDphVyssi = 46,
                               kLimitEU = 52, kDicEU = 58, kPozn1 = 79, kPozn2 = 130, kPozn3 = 181;
  static constexpr std::size_t kSirkaKodu = 5, kSirkaNazvu = 30, kSirkaEu = 2, kSirkaDic = 20, kSirkaPozn = 50;
};

// A deleted state's code.
inline constexpr const char* kSmazanyStat = "....";

class TfStaty : public ui::TfSoub {
 public:
  TfStaty();
  ~TfStaty() override;
  // Declares the fields and opens "Staty.dta"; every opener calls it before showing the list.
  bool NastavStaty();
  // After Enter in the list: the chosen state's name (trailing blanks removed), empty otherwise.
  std::string VybranyNazev();

  void PriMazani() override;
  std::string TextProHledani(int n) override;
};

// The states window of this run: the one the program created, or one made on first use.
TfStaty& SeznamStatu();

// The code of the state named exactly `nazev` (trailing blanks aside) (the first such record in file order): its code's
// first two characters and three blanks; five blanks for an unknown or blank name. Deleted
// records are skipped, so a blank state never gets the deleted record's "..".
std::string KodStatu(const std::string& nazev);

}  // namespace pz::registers
