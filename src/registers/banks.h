// The bank codes "KodyBank.dta" shipped in the program root ("2\", 92-byte records) and the own
// bank accounts "bako.dta" in the data root (164-byte records), with the searches the partner and
// own company forms use and the conversion of own accounts from the older 89-byte layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/recordform.h"

namespace pz::registers {

struct tBanka {
  static constexpr std::int32_t kVelikost = 92;
  static constexpr std::size_t kBanka = 0, kKod = 51, kSwift = 56;
  static constexpr std::size_t kSirkaBanky = 50, kSirkaKodu = 4, kSirkaSwift = 35;
};

struct tBankovniUcet {
  static constexpr std::int32_t kVelikost = 164;
  static constexpr std::size_t kOznaceni = 0, kNazev = 2, kKonto = 23, kKod = 43, kSwift = 48, kStav = 64,
                               kMena = 70, kUcet = 74, kIban = 81, kRezerva1 = 112, kRezerva2 = 143;
};

// The older own-account layout: 89 bytes, the IBAN head's length byte at 76.
struct tStaryBankovniUcet {
  static constexpr std::int32_t kVelikost = 89;
  static constexpr std::size_t kOznaceni = 0, kNazev = 2, kKonto = 23, kKod = 43, kSwift = 48, kStav = 59,
                               kMena = 65, kUcet = 69, kIbanHlava = 76;
};

// The bank codes list: a chooser of the partner and own account forms, sorted from its menu.
class TfKodyBank : public ui::TfSoub {
 public:
  TfKodyBank();
  ~TfKodyBank() override;
  bool NastavKodyBank();
  // The list shown at record `zaznam` (the last record when below 1); the chosen record number
  // after Enter (its bytes in Veta()), 0 after Esc. The window is closed afterwards.
  int Vyber(int zaznam);
  std::vector<std::uint8_t> Vybrana;  // the record chosen by the last Vyber
  // Sorts by the Czech collation of the whole record, or by code; deleted banks are left out.
  void Setrid(bool podleKodu);
  void Opis();

  void NaF4() override;
  void PriMazani() override;
  std::string TextProHledani(int n) override;
};

// The own bank accounts: a chooser of the own company and the partners.
class TfBankKody : public ui::TfSoub {
 public:
  TfBankKody();
  ~TfBankKody() override;
  // Converts an old-layout file, declares the fields and opens "bako.dta".
  bool NastavBankovniUcty();
  // The list as a chooser from its first record; the picked record number (its bytes in Veta()),
  // 0 after Esc. The window is closed afterwards.
  int Vyber();
  std::vector<std::uint8_t> Vybrana;  // the account chosen by the last Vyber

  void NaF1() override {}
  void NaF4() override;
  void NaF8() override;
  void Oprav() override;
  void PriMazani() override;
  void ZmenaPole(int i) override;
  void EnterPole(int i) override;
  void PredFormularem() override;
  void NaplnSloupce() override;

 private:
  void ukazUcet();
  int editovany_ = 0;  // the record under edit, 0 for a new one
};

TfKodyBank& KodyBank();
TfBankKody& BankovniUcty();

// The first bank whose name begins with `nazev` (trailing blanks removed), or -1.
int HledejBankuNazev(const std::string& nazev);
// The first bank with the code, padded on the left with "0" to four characters, or -1.
int HledejBankuKod(const std::string& kod);
// The first own account with the same number, blanks removed on both sides, or -1.
int HledejKonto(const std::string& konto);

// Own account n as the forms show it beside its number: bank name and account number, or
// blanks when there is no such account.
std::string PopisKonta(int n);

// The IBAN of an older own account: the IBAN head's first four characters, the bank code, the
// prefix and the number in groups of four ("CZ65 0800 0000 1900 0012 3457").
std::string IbanZeStarehoUctu(const std::string& hlava, const std::string& konto, const std::string& kod);
// Brings an older "bako.dta" (at `cesta`) to the current layout; true when it was converted.
bool PrevedBankovniUcty(const std::string& cesta);

}  // namespace pz::registers
