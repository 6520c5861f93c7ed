// Cost centres "CI30.DTA" (TfCis30) and job orders "CI36.DTA" (TfCis36): the lists the
// accounting entries take their centres and job orders from, with their checks, pickers and names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "accounting/codelist.h"

namespace pz::accounting {

// Cost centre record tStredisko, 104 bytes: the offsets of its short strings.
namespace stredisko {
inline constexpr int kVelikost = 104;
inline constexpr std::size_t kKod = 0;         // 5; five blanks: deleted
inline constexpr std::size_t kNazev = 6;       // 30; a leading blank: cannot be picked
inline constexpr std::size_t kNazev2 = 37;     // 30
inline constexpr std::size_t kJenNadpis = 68;  // 1; not blank: a heading entries cannot use
inline constexpr std::size_t kTyp = 70;        // 1
inline constexpr std::size_t kUcetSkladu = 72; // 6
inline constexpr std::size_t kCinnost = 79;    // 3
inline constexpr std::size_t kPolOd = 83;      // 6
inline constexpr std::size_t kPolDo = 90;      // 6
inline constexpr std::size_t kDatum = 97;      // 6, YYMMDD
}  // namespace stredisko

// Job order record tZakazka, 130 bytes.
namespace zakazka {
inline constexpr int kVelikost = 130;
inline constexpr std::size_t kKod = 0;      // 20; a leading blank cannot be picked, all blank: deleted
inline constexpr std::size_t kNazev1 = 21;  // 50
inline constexpr std::size_t kNazev2 = 72;  // 50
inline constexpr std::size_t kDatum = 123;  // 6, YYMMDD
}  // namespace zakazka

class TfCis30 : public TfCiselnik {
 public:
  TfCis30();
  ~TfCis30() override;
  // "Načti z číselníku": centres appended from "CI01.DTA"; the number appended.
  int NactiZCiselniku();
  // "Změň střediska": every code rotated one place left (12345 becomes 23451), after a question.
  void ZmenStrediska();
  // "Opis": report "CI_OPIS", shown in the viewer.
  void Opis();

 protected:
  void Deklaruj() override;
  int PoleData() const override { return 10; }
};

class TfCis36 : public TfCiselnik {
 public:
  TfCis36();
  ~TfCis36() override;
  void Opis();

 protected:
  void Deklaruj() override;
  int PoleData() const override { return 4; }
};

// The windows of this run: the ones the program created, or ones made on first use.
TfCis30& Strediska();
TfCis36& Zakazky();

void NastavStrediska();
void NastavZakazky();
// Binary search on the code; a heading found is answered like a missing centre (minus its record).
int HledejStredisko(const std::string& kod);
int HledejZakazku(const std::string& kod);
// The name, or 30 (50) blanks when the code is not in the list.
std::string NazevStrediska(const std::string& kod);
std::string NazevZakazky(const std::string& kod);
// Centre "00000" with an account not beginning with 5 or 6 needs no centre. Otherwise, while the
// centre is not found, the list is shown at the nearest centre: Esc answers error (true); a
// heading is refused and the list comes back; a picked centre replaces the code, and one whose
// name begins with a blank answers error.
bool KontrolaStrediska(std::string& kod, const std::string& ucet);
// Always shows the list; a picked centre replaces the code (a heading or a name beginning with a
// blank shows the list again); Esc keeps the code. Always false.
bool VyberStrediska(std::string& kod);
// The same for job orders; a code beginning with a blank shows the list again.
bool VyberZakazky(std::string& kod);

// The centre code of a code-list key: characters 2-6, the trailing ones replaced by "." by the
// level ("5" keeps all five, "1" only the first, below "1" none).
std::string KodZKlice(const std::string& klic, const std::string& uroven);

}  // namespace pz::accounting
