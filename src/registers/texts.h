// The one-line text registers ("txt1.dta", "provozy.dta", 31-byte records in the data root) that
// their openers name and title, used as choosers of ready-made texts.
#pragma once

#include <string>

#include "ui/recordform.h"

namespace pz::registers {

// One-line texts of a file named by the opener.
class TfTXT1 : public ui::TfSoub {
 public:
  TfTXT1();
  ~TfTXT1() override;
  bool NastavTexty(const std::string& soubor, const std::string& titulek);
  // NastavTexty, the list shown; the picked text (trailing blanks kept), empty after Esc.
  std::string Vyber(const std::string& soubor, const std::string& titulek);
  void Opis();

  void NaF4() override;
  void NaF10() override;
  void PriMazani() override;
  void NaplnSloupce() override;

 private:
  std::string titulek_;
};

TfTXT1& Texty();

}  // namespace pz::registers
