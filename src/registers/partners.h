// TfOrg, the business partners "org.dta": 586-byte records numbered by their position, which
// never changes (a deleted partner is blanked in place). Personal fields are stored scrambled
// in a GDPR installation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/recordform.h"

namespace pz::registers {

// Layout of a partner record (`tOrganizace`): offsets of the fields the program itself reads.
struct tOrganizace {
  static constexpr std::int32_t kVelikost = 586;
  static constexpr std::size_t kCislo = 0, kIco = 2, kDic = 11, kNazev = 28, kJmeno = 59, kUlice = 90, kMesto = 121,
                               kPsc = 152, kStat = 158, kKontakt = 267, kEmail = 342, kFinUrad = 429, kPozn1 = 433,
                               kPozn2 = 484, kPozn3 = 535;
  static constexpr std::size_t kSirkaNazvu = 30, kSirkaPozn = 50;
};

// The most partners a 16-bit number can name.
inline constexpr int kNejvicPartneru = 65535;

// The key of the scrambled personal fields: 17 characters of a fixed text of the program.
const std::string& KlicOrg();
// Scrambles (or unscrambles) the personal fields of a partner record in place: IČO, DIČ, name,
// second line, street, town, contact person and e-mail; only the characters of each text.
void ZakodujOrg(std::span<std::uint8_t> veta);
void DekodujOrg(std::span<std::uint8_t> veta);

// The web search of the public register: the IČO only as 1-8 digits (empty otherwise), the
// name percent-encoded as UTF-8.
std::string AdresaHledaniIco(const std::string& ico);
std::string AdresaHledaniNazvu(const std::string& nazev);

// The note file of partner n: "POZNAMKY\ORG" + five digits + ".txt" in the data root.
std::string SouborPoznamek(int cislo);

// An old-style DIČ rewritten: "123-45678901" (a "-" as the fourth character) becomes "CZ" and
// the twelve characters after the "-"; a value with "/" becomes "SK" and the part before the
// "/", unless it is a valid birth number (a person's DIČ), which stays. Anything else stays.
// The result keeps the width of the text given.
std::string NovyDic(const std::string& dic);

// The characters the sales code may hold (and blanks).
inline constexpr const char* kZnakyKoduProdeje = "1234567890";

class TfOrg : public ui::TfSoub {
 public:
  TfOrg();
  ~TfOrg() override;
  // Declares the 30 fields and opens `soubor` ("org.dta").
  bool Nastav(const std::string& soubor = "org.dta");

  // Hooks of the record form.
  void CtiPuvodni(int n) override;
  void NaplnSloupce() override;
  std::string TextProHledani(int n) override;
  void TextProHledaniDo(int n, std::string& text) override;
  void NaF4() override;
  void NovaVeta() override;
  void NaF8() override;
  void NaF7() override;
  void NaCtrlPravy() override;
  void sgRolMouseDown(const ui::MouseEvent& ev) override;
  void NaF1() override;
  void F1Pole(int i) override;
  void NaTitulek(int sloupec) override;
  void ZmenaPole(int i) override;
  void EnterPole(int i) override;
  void PredFormularem() override;
  void PredZapisem(std::span<std::uint8_t> b) override;
  void PoCteni(std::span<std::uint8_t> b, storage::Buffer which) override;

  // Service items of the popup menu, shown disabled until Ctrl and the right mouse button on the
  // list. Each rewrites many partners: it asks first and works while this station alone holds
  // the file; false when the user said no or another station uses the file.
  // "Překóduj": name, address lines, state and contact person from the Kamenický code page.
  bool Prekoduj();
  // "Překóduj Dič na CZ": every DIČ through NovyDic.
  bool PrekodujDic();
  // "Šifruj označené" / "Dešifruj označené": the personal fields of the marked partners, as the
  // file holds them, scrambled or unscrambled.
  bool SifrujOznacene(bool zasifruj);

 private:
  // A new partner's IČO: identity, seat, tax office, bank account and the unreliable-payer note
  // from the public registers; what a failed lookup would have filled stays as typed.
  void DoplnZRegistru();
  // Asks `otazka` and takes the file for writing; false (with the message) otherwise.
  bool zacniPrepis(const std::string& otazka);
  // The read lock of the open window back, and the list shown anew.
  void skonciPrepis();
  int sloupecBunky_ = 0;               // the list column clicked last (0: none)
  int zaznamRadku_ = 0;                // the record whose row is being drawn
};

// The partner window of this run: the one the program created, or one made on first use.
TfOrg& Partneri();

}  // namespace pz::registers
