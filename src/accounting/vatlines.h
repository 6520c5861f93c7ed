// The lines of the VAT return: four choosers over built-in tables, used by the document entry,
// and the register "CiDPH.dta" below the program root ("CI\", 82-byte records), the chooser of
// the VAT supplement's line fields.
#pragma once

#include <string>
#include <vector>

#include "ui/recordform.h"

namespace pz::accounting {

// The built-in tables, entries as shown.
const std::vector<std::string>& RadkyVstup();    // input tax, 19 entries
const std::vector<std::string>& RadkyVystup();   // output tax at the standard and reduced rates, 5
const std::vector<std::string>& RadkyNula();     // output tax at the zero rate, 11
const std::vector<std::string>& RadkyEU();       // output tax, 13

// Each answers the chosen entry's number as "@@@" followed by the entry (the first two) or its
// first three characters (the last two); three blanks when nothing was chosen. The field text
// given is not used.
std::string VyberRadekVstup(const std::string& text = {});
std::string VyberRadekVystup(const std::string& text = {});
std::string VyberRadekNula(const std::string& text = {});
std::string VyberRadekEU(const std::string& text = {});

// VAT return line record tRadekDPH, 82 bytes.
namespace radekDph {
inline constexpr int kVelikost = 82;
inline constexpr std::size_t kRadek = 0, kStin = 4, kNazev = 8;  // 3, 3, 73
}  // namespace radekDph

class TfCiDPH : public ui::TfSoub {
 public:
  TfCiDPH();
  ~TfCiDPH() override;
  bool NastavRadkyDPH();
  // The list from its first record; the picked line's number, empty after Esc or for a deleted
  // ("000") line. The window is closed afterwards.
  std::string Vyber();

  void NaF1() override;
  void NaF4() override;
  void PriMazani() override;
  void NaplnSloupce() override;
};

TfCiDPH& RadkyDPH();

}  // namespace pz::accounting
