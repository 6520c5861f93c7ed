// The own company data: one record per user number, "fmw" + user + ".dta" in the data root, with
// the firm's identification, address, bank connection, tax and bank accounts. TfFMA shows it for
// confirmation each time the cash desk starts; the record is then kept in memory (Firma()) for
// the cash desk's prints, and its tax accounts decide whether the firm is a VAT payer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/fields.h"
#include "ui/recordform.h"

namespace pz::registers {

// Layout of the own company record (`tFirma`): 25 short strings, 582 bytes.
struct tFirma {
  static constexpr std::int32_t kVelikost = 582;
  static constexpr int kPoli = 25;
  // Characters of fields 1..25, in record order.
  static constexpr std::array<std::size_t, kPoli> kSirky = {8,  16, 30, 30, 30, 30, 5,  30, 20, 20, 40, 20, 19,
                                                            4,  15, 6,  6,  6,  6,  18, 18, 50, 30, 50, 50};
  static constexpr std::size_t kIco = 0, kDic = 9, kNazev = 26, kAdr2 = 57, kUlice = 88, kMesto = 119, kPsc = 150,
                               kStat = 156, kTelefon = 187, kFax = 208, kEmail = 229, kNazevBanky = 270,
                               kCisloKonta = 291, kKodBanky = 311, kSwift = 316, kDanUcet1 = 332, kDanUcet2 = 339,
                               kDanUcet3 = 346, kBankovniUcet = 353, kFakturant = 360, kZpusobUhrady = 379,
                               kRegistrace = 398, kIban = 449, kPozn1 = 480, kPozn2 = 531;
};

// The own company file of a user number: "fmw" + user + ".dta" in the data root.
std::string SouborFirmy(const std::string& uzivatel);

// A VAT payer has a tax account: the first or the second one, read as a number, is not zero. A
// shorter record counts what it holds.
bool PlatceDph(storage::ConstBytes firma);

// The own company as the cash desk took it at its start.
struct VlastniFirma {
  std::vector<std::uint8_t> veta = std::vector<std::uint8_t>(tFirma::kVelikost, 0);
  bool platceDph = false;
  // The text of the field at `offset` with `sirka` characters.
  std::string text(std::size_t offset, std::size_t sirka) const { return storage::readShortString(veta, offset, sirka); }
};
const VlastniFirma& Firma();
// Takes a record (cut or zero-filled to 582 bytes) as the own company and decides the VAT payer
// flag; the global settings' own-company flag follows it.
void NastavFirmu(storage::ConstBytes veta);

class TfFMA : public ui::TfSoub {
 public:
  TfFMA();
  ~TfFMA() override;

  // Set-up: brings the user's file to the current layout (2004 -> 2014 -> now, through the
  // descriptions of "dlib\" below the program root), declares the 25 fields and opens the file.
  bool Nastav();
  // Record 1 in the edit form; F2 stores it (as record 1 of an empty file), Esc keeps what is
  // stored. True when a record was stored.
  bool Uprav();
  // The start of the cash desk: set-up, the form, then the stored record becomes the own company
  // (Firma()) and the window is closed. False when the file could not be opened.
  bool UvodPokladny();

  // Hooks of the record form.
  void PredFormularem() override;
  void ZmenaPole(int i) override;
  void EnterPole(int i) override;
  void F1Pole(int i) override;

 private:
  void ukazNazevUctu(int i);
};

}  // namespace pz::registers
