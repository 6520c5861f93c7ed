// The postal code list "PSC.dta" shipped in the program root's "2" folder (159-byte records,
// ordered by town and district folded), with its searches by town and by post office.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/recordform.h"

namespace pz::registers {

struct tPsc {
  static constexpr std::int32_t kVelikost = 159;
  static constexpr std::size_t kPsc = 0, kObec = 6, kPosta = 57, kOkres = 108;
  static constexpr std::size_t kSirkaPsc = 5, kSirkaTextu = 50;
};

inline constexpr const char* kSmazanePsc = ".....";
inline constexpr const char* kNenalezenePsc = "00000";

// The search form of a text: without diacritics, upper-cased, without blanks.
std::string SlozPsc(const std::string& text);

// One postal code record, as the searches see it.
struct ZaznamPsc {
  std::string psc, obec, posta, okres;
};

// Every record of a postal code file (the path as DataCesta gives it), in file order.
std::vector<ZaznamPsc> NactiPsc(const std::string& cesta);

// The searches over records in file order: the record number (from 1) of the first match, or 0.
// `podlePosty` searches by post office instead of town. Nothing entered finds nothing; deleted
// records are never found.
int NajdiPsc(const std::vector<ZaznamPsc>& zaznamy, const std::string& hledany, const std::string& okres,
             bool podlePosty);

class TfPsc : public ui::TfSoub {
 public:
  TfPsc();
  ~TfPsc() override;
  ui::Button& bObec;   // "Ctrl+F3 = Hledej PSČ (podle-obec,okres)"
  ui::Button& bPosta;  // "Alt+F3 = Hledej PSČ (podle-pošta,okres)"

  // Declares the fields and opens the file (the literal path in the program root).
  bool NastavPsc();
  // The town the questions start from (the partner's town).
  std::string ObecPartnera;

  // The postal code found ("00000" when none); the found record becomes the current row.
  std::string HledejPscObce(const std::string& obec, const std::string& okres);
  std::string HledejPscPosty(const std::string& posta, const std::string& okres);
  // After Enter in the list: the chosen code; empty otherwise.
  std::string VybranePsc();

  void NaCtrlF3() override;
  void NaAltF3() override;
  void PriMazani() override;
  void Sestav() override;
  void Prekresli() override;
  bool HledaniZPoli() const override { return true; }  // its rows are its fields

 protected:
  bool onMouse(const ui::MouseEvent& ev, ui::Control* hit) override;

 private:
  std::string hledej(const std::string& t, const std::string& d, bool podlePosty);
  void dotaz(bool podlePosty);
  void umistiTlacitka();
};

// The postal code window of this run: the one the program created, or one made on first use.
TfPsc& SeznamPsc();

}  // namespace pz::registers
