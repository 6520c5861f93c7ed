// Posting templates "CI11.DTA" (TfCis11): up to ten debit and credit sides under a three-digit
// number and a text, kept in order of number, that the accounting entries take their text and
// accounts from.
#pragma once

#include <string>

#include "accounting/codelist.h"

namespace pz::accounting {

// Template record tPredkontace, 302 bytes.
namespace predkontace {
inline constexpr int kVelikost = 302;
inline constexpr std::size_t kCislo = 0;       // 3; three blanks: deleted
inline constexpr std::size_t kNazev = 4;       // 30
inline constexpr std::size_t kRadky = 35;      // 10 lines of 26 bytes
inline constexpr std::size_t kRadek = 26;
inline constexpr std::size_t kUcetM = 0, kStrM = 7, kUcetD = 13, kStrD = 20;  // within a line: 6, 5, 6, 5
inline constexpr std::size_t kDatum = 295;     // 6, YYMMDD
inline constexpr int kRadku = 10;
}  // namespace predkontace

class TfCis11 : public TfCiselnik {
 public:
  TfCis11();
  ~TfCis11() override;
  // "Opis": report "CI_OPIS", shown in the viewer.
  void Opis();
  // The register itself: the list, then the closing sort when the file is free.
  void UkazSeznam();
  std::string TextProHledani(int n) override;

 protected:
  void Deklaruj() override;
  int PoleData() const override { return 43; }
};

TfCis11& Predkontace();

// One side pair of a template line: debit account and centre, credit account and centre.
struct RadekPredkontace {
  std::string ucetM, strM, ucetD, strD;
  bool prazdny() const;
};
// The text and the used lines of a template held in a record buffer (blank lines left out).
std::string NazevPredkontace(const std::vector<std::uint8_t>& veta);
std::vector<RadekPredkontace> RadkyPredkontace(const std::vector<std::uint8_t>& veta);

}  // namespace pz::accounting
