// The chart of accounts "CI10.DTA" (TfCis10) with the account check, picker and name that every
// window taking an account number uses, and the older combined code list "CI01.DTA" (TfCi2005),
// read only, from which accounts and cost centres are loaded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "accounting/codelist.h"
#include "storage/recordfile.h"

namespace pz::accounting {

// Account record tUcet, 79 bytes: the offsets of its short strings.
namespace ucet {
inline constexpr int kVelikost = 79;
inline constexpr std::size_t kUcet = 0;         // 6: account number; six blanks: deleted
inline constexpr std::size_t kNazev = 7;        // 30: a leading blank: cannot be picked
inline constexpr std::size_t kRozvahaMD = 38;   // 3
inline constexpr std::size_t kRozvahaDal = 42;  // 3
inline constexpr std::size_t kVysl21 = 46;      // 3
inline constexpr std::size_t kVysl22 = 50;      // 3
inline constexpr std::size_t kVysl24 = 54;      // 3
inline constexpr std::size_t kVysl25 = 58;      // 3
inline constexpr std::size_t kDanVysl = 62;     // 1
inline constexpr std::size_t kVysl3 = 64;       // 3, not editable
inline constexpr std::size_t kKorekce = 68;     // 1
inline constexpr std::size_t kSaldo = 70;       // 1
inline constexpr std::size_t kDatum = 72;       // 6, YYMMDD
}  // namespace ucet

class TfCis10 : public TfCiselnik {
 public:
  TfCis10();
  ~TfCis10() override;
  // "Třiď": vysl22 copied into vysl24 for every account, after a yes/no question.
  void Trid();
  // "Opis": report "CIS10", shown in the viewer.
  void Opis();
  // "Načti ze starého číseníku": accounts appended from "CI01.DTA"; the number appended.
  int NactiZCiselniku();

 protected:
  void Deklaruj() override;
  int PoleData() const override { return 13; }
};

// The chart of accounts window of this run: the one the program created, or one made on first use.
TfCis10& Osnova();

// Set-up of the chart on first use in a run; later calls do nothing.
void NastavOsnovu();
// Binary search on the account number: the record number, or a negative number (see Hledej).
int HledejUcet(const std::string& ucet);
// The account's name, or 30 blanks when it is not in the chart.
std::string NazevUctu(const std::string& ucet);
// "000000" is no account and is accepted at once. Otherwise, while the number is not in the
// chart, the chart is shown as a chooser at the nearest account and a picked account replaces
// the number; Esc answers error (true).
bool KontrolaUctu(std::string& ucet);
// Always shows the chooser at the number; a picked account replaces it (a name beginning with a
// blank shows the chooser again); Esc keeps the number. Always false (no error).
bool VyberUctu(std::string& ucet);

// Code list record tCiselnik of "CI01.DTA", 57 bytes.
struct tCiselnik {
  std::string ts;       // 2: record type ("10" accounts, "30" centres); "." first: deleted
  std::string klic;     // 6
  std::string p;        // 1: kind / level
  std::string cv;       // 2: variant line
  std::string u[5];     // 6 each
  std::string rrmmdd;   // 6
};
inline constexpr int kVelikostCiselniku = 57;
tCiselnik RozeberCiselnik(const std::vector<std::uint8_t>& veta);
std::vector<std::uint8_t> SlozCiselnik(const tCiselnik& c);

// The old code list window " Číselník ", read only: it serves the loads.
class TfCi2005 : public ui::TfSoub {
 public:
  TfCi2005();
  ~TfCi2005() override;
  // Opens "CI01.DTA", calls `vezmi` with each record in file order when it holds more than one,
  // closes it again.
  void Projdi(const std::function<void(const tCiselnik&)>& vezmi);
};

// The old code list window of this run.
TfCi2005& StaryCiselnik();

}  // namespace pz::accounting
