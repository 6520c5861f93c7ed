// The invoicing subjects ("predmety.dta" in the data root): what a company invoices, each with
// its number, name, nomenclature, unit, unit price, VAT rate, cost centre and revenue account.
// Document items of type "P" choose from it. The predefined item texts ("potexty.dta", a code
// and a text) are the chooser of item names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "ui/recordform.h"

namespace pz::invoicing {

// One subject, 76 bytes.
struct tPredmet {
  static constexpr std::size_t kCislo = 0;          // short string of 4
  static constexpr std::size_t kNazev = 5;          // short string of 30
  static constexpr std::size_t kNomenklatura = 36;  // short string of 9
  static constexpr std::size_t kMj = 46;            // short string of 4
  static constexpr std::size_t kCena = 51;          // Real48, crowns per unit
  static constexpr std::size_t kSazba = 57;         // Real48, VAT rate in percent
  static constexpr std::size_t kStredisko = 63;     // short string of 5
  static constexpr std::size_t kUcet = 69;          // short string of 6
  static constexpr std::int32_t kVelikost = 76;
};

// A predefined text, 36 bytes: a code (short string of 4) and a text (short string of 30).
struct tPoText {
  static constexpr std::size_t kKod = 0;
  static constexpr std::size_t kText = 5;
  static constexpr std::int32_t kVelikost = 36;
};

// What an item takes over from its subject.
struct Predmet {
  std::string cislo, nazev, nomenklatura, mj, stredisko, ucet;
  double cena = 0, sazba = 0;
};

// The subject list " Předměty fakturace ": F4 adds, Space edits, F8 deletes, Enter chooses.
class TfPredmety : public ui::TfSoub {
 public:
  TfPredmety();
  bool Otevri();
  // The list shown; the chosen subject, none after Esc.
  std::optional<Predmet> Vyber();
  void NaF4() override;
  void PriMazani() override;
};

// The subject of a number (blanks around it ignored); none when the register has no such one.
std::optional<Predmet> NajdiPredmet(const std::string& cislo);
// The subject chooser.
std::optional<Predmet> VyberPredmet();

// The predefined texts: the chosen text with its blanks trimmed, empty after Esc.
class TfPoTexty : public ui::TfSoub {
 public:
  TfPoTexty();
  std::string Vyber();
  void NaF4() override;
  void PriMazani() override;
};
std::string VyberPoText();

}  // namespace pz::invoicing
