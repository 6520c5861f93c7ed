// The invoice registers the cash desk pays from: the series lists of issued and received
// invoices (in crowns and in a foreign currency), the invoice files of each series and their
// payment files. All four registers share one invoice layout and one payment layout; the
// layouts and file names are described in docs/invoices.md.
//
// Amounts are stored as Real48 and read as decimal money in ten-thousandths (round4), so that
// totals and payments are compared as integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/fields.h"
#include "ui/recordform.h"

namespace pz::invoicing {

// The four registers.
enum class Registr { VydaneKc, VydaneVal, PrijateKc, PrijateVal };
inline bool Vydane(Registr r) { return r == Registr::VydaneKc || r == Registr::VydaneVal; }
inline bool VCizeMene(Registr r) { return r == Registr::VydaneVal || r == Registr::PrijateVal; }

// A series of a register, 48 bytes.
struct tRadaFaktur {
  static constexpr std::size_t kKod = 0;     // short string of 4: the series code
  static constexpr std::size_t kNazev = 5;   // short string of 30
  static constexpr std::size_t kPrvni = 36;  // short string of 10: the number of the first invoice (issued)
  static constexpr std::int32_t kVelikost = 48;
};

// An invoice, 300 bytes.
struct tFaktura {
  static constexpr std::size_t kCislo = 0;          // 10
  static constexpr std::size_t kVs = 11;            // 10, variable symbol
  static constexpr std::size_t kCisloOrg = 22;      // u16, partner number
  static constexpr std::size_t kDatumVyst = 24;     // 6, DDMMYY
  static constexpr std::size_t kDatumDod = 31;      // 6
  static constexpr std::size_t kDatumSplat = 38;    // 6
  static constexpr std::size_t kDatumZapl = 45;     // 6, the last payment's date
  static constexpr std::size_t kCelkemKc = 52;      // Real48, total in crowns
  static constexpr std::size_t kZaplacenoKc = 58;   // Real48, paid in crowns
  static constexpr std::size_t kMena = 64;          // 3, the invoice currency (foreign registers)
  static constexpr std::size_t kKurz = 68;          // Real48, crowns for kMnozstvi units
  static constexpr std::size_t kMnozstvi = 74;      // u16, 0 reads as 1
  static constexpr std::size_t kCelkemVal = 76;     // Real48, total in the currency
  static constexpr std::size_t kZaplacenoVal = 82;  // Real48, paid in the currency
  static constexpr std::size_t kPriznak = 88;       // 1: "Z" paid (issued), "U"/"C" (received)
  static constexpr std::size_t kCastecne = 90;      // 1: "C" partly paid (issued)
  static constexpr std::size_t kHotove = 92;        // 1: "P" paid in cash (received)
  static constexpr std::size_t kUcet = 94;          // 6, receivable or payable account
  static constexpr std::size_t kStredisko = 101;    // 5
  static constexpr std::size_t kIco = 107;          // 8
  static constexpr std::size_t kDic = 116;          // 16
  static constexpr std::size_t kAdr1 = 133;         // 30 each
  static constexpr std::size_t kAdr2 = 164;
  static constexpr std::size_t kAdr3 = 195;
  static constexpr std::size_t kAdr4 = 226;
  static constexpr std::size_t kPsc = 257;          // 5
  static constexpr std::size_t kFinUrad = 263;      // 3
  static constexpr std::size_t kText = 267;         // 30
  static constexpr std::int32_t kVelikost = 300;
};

// A payment of an invoice, 84 bytes.
struct tPlatba {
  static constexpr std::size_t kFaktura = 0;     // 10: the invoice reference
  static constexpr std::size_t kDatum = 11;      // 6
  static constexpr std::size_t kDoklad = 18;     // 12: the paying document
  static constexpr std::size_t kCastkaKc = 31;   // Real48
  static constexpr std::size_t kMenaKc = 37;     // 3, "Kč "
  static constexpr std::size_t kKurzKc = 41;     // Real48, 1
  static constexpr std::size_t kCastkaVal = 47;  // Real48, the amount converted at a rate
  static constexpr std::size_t kMena = 53;       // 3
  static constexpr std::size_t kKurz = 57;       // Real48
  static constexpr std::size_t kText = 63;       // 20
  static constexpr std::int32_t kVelikost = 84;
};

// Amounts in ten-thousandths.
using Penize = std::int64_t;

struct Faktura {
  std::string cislo, vs;
  std::uint16_t cisloOrg = 0;
  std::string datumVyst, datumDod, datumSplat, datumZapl;
  Penize celkemKc = 0, zaplacenoKc = 0;
  std::string mena;
  double kurz = 0;
  std::uint16_t mnozstvi = 1;
  Penize celkemVal = 0, zaplacenoVal = 0;
  std::string priznak, castecne, hotove;
  std::string ucet, stredisko;
  std::string ico, dic, adr1, adr2, adr3, adr4, psc, finUrad, text;
};

struct Platba {
  std::string faktura, datum, doklad;
  Penize castkaKc = 0;
  Penize castkaVal = 0;
  std::string mena;
  double kurz = 0;
  std::string text;
};

// Fields into and out of the record bytes; the bytes of the other fields stay. False when a
// value does not fit.
Faktura CtiFakturu(storage::ConstBytes v);
bool ZapisFakturu(const Faktura& f, storage::Bytes v);
Platba CtiPlatbu(storage::ConstBytes v);
std::vector<std::uint8_t> SlozPlatbu(const Platba& p);

// A series code may go into a file name: one to four of [0-9A-Z].
bool PlatnyKodRady(std::string_view kod);
// File names in the data root.
std::string SouborRad(Registr r);
std::string SouborFaktur(Registr r, std::string_view kod);
std::string SouborPlateb(Registr r, std::string_view kod);

struct RadaFaktur {
  std::string kod, nazev, prvni;
};
// The series of a register, in file order; codes that may not go into a file name are left out.
// Reading creates no file.
std::vector<RadaFaktur> RadyFaktur(Registr r);
// True when the register's series list is there (only its own window creates it).
bool RegistrZalozen(Registr r);

// The invoice at record `zaznam` of a series file (read without a lock, creating no file); none
// when the file or the record is not there.
std::optional<Faktura> NactiFakturu(const std::string& soubor, std::int32_t zaznam);
// The payments of a payment file whose reference is `odkaz` (blanks around ignored).
std::vector<Platba> PlatbyFaktury(const std::string& soubor, std::string_view odkaz);

// The series list of a register: Enter chooses (the chosen series comes back), Esc leaves; F4,
// Space and F8 keep the series.
class TfRadyFaktur : public ui::TfSoub {
 public:
  explicit TfRadyFaktur(Registr r);
  bool Otevri();
  std::optional<RadaFaktur> Vyber();
  void NaF4() override;
  void PriMazani() override;

 private:
  Registr registr_;
};

// The invoices of one series: F4 adds, Space edits, F8 deletes, Enter chooses (the record
// number comes back, 0 after Esc).
class TfFaktury : public ui::TfSoub {
 public:
  TfFaktury(Registr r, std::string kod);
  bool Otevri();
  int Vyber();
  // The list kept by hand, from the main window.
  void Spravuj();
  void NaF4() override;
  void PriMazani() override;

 private:
  Registr registr_;
  std::string kod_;
};

// The payments of one series, shown (and kept by hand).
class TfPlatby : public ui::TfSoub {
 public:
  TfPlatby(Registr r, std::string kod);
  bool Otevri();
  void Ukaz();
  void NaF4() override;

 private:
  Registr registr_;
  std::string kod_;
};

// The registers kept by hand from the main window: the register chosen, then its series, then
// the invoices of the series (F5 in the invoice list shows the payments of the series).
void SpravaFaktur();

}  // namespace pz::invoicing
