// Document items: a receipt or an expenditure broken down into text items (type "T", each a text,
// a price, a VAT rate, its VAT and a VAT mark) or invoicing-subject items (type "P", a subject
// with unit price, quantity, markup or discount, base and VAT). Items are kept in a work file of
// the station (its working directory) while the document is entered; their sums become the
// document's crown amounts and the file is deleted once the document is saved.
//
// Money: amounts are read from their field texts as exact decimals and computed in integers;
// every base and VAT is taken to whole haléře before anything is summed, so what is stored is
// what the fields show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pz::cashdesk {

// A text item, 113 bytes ("pzvt.wrk").
struct tPolozkaT {
  static constexpr std::size_t kText = 0;      // short string of 73
  static constexpr std::size_t kCena = 74;     // Real48, the base
  static constexpr std::size_t kSazba = 80;    // Real48, VAT rate in percent
  static constexpr std::size_t kDph = 86;      // Real48
  static constexpr std::size_t kOznaceni = 92;  // short string of 8, the VAT mark
  static constexpr std::size_t kVyfakturovano = 101;
  static constexpr std::size_t kRezerva = 107;
  static constexpr std::int32_t kVelikost = 113;
};

// An invoicing-subject item, 123 bytes ("pzvp.wrk").
struct tPolozkaP {
  static constexpr std::size_t kCislo = 0;       // short string of 4
  static constexpr std::size_t kCenaMj = 5;      // Real48
  static constexpr std::size_t kPrirazka = 11;   // Real48, markup (+) or discount (−) in percent
  static constexpr std::size_t kMnozstvi = 17;   // Real48, quantity supplied
  static constexpr std::size_t kZaklad = 23;     // Real48
  static constexpr std::size_t kSazba = 29;      // Real48
  static constexpr std::size_t kDph = 35;        // Real48
  static constexpr std::size_t kNazev = 41;      // short string of 30
  static constexpr std::size_t kNomenklatura = 72;  // short string of 9
  static constexpr std::size_t kMj = 82;         // short string of 4
  static constexpr std::size_t kStredisko = 87;  // short string of 5
  static constexpr std::size_t kUcet = 93;       // short string of 6
  static constexpr std::size_t kObjednano = 100;  // Real48, quantity ordered
  static constexpr std::size_t kVyfakturovano = 106;
  static constexpr std::size_t kRozliseni = 112;  // short string of 1
  static constexpr std::size_t kOznaceni = 114;   // short string of 8
  static constexpr std::int32_t kVelikost = 123;
};

// The work files of this station.
const char* SouborPolozek(char typ);  // 'T' or 'P'
void SmazPolozky();

// VAT in haléře of a base in haléře at a rate in ten-thousandths of a percent: the product
// rate × base to a whole number (ties away from zero), then hundredths of a crown.
std::int64_t DphZakladu(std::int64_t zakladHal, std::int64_t sazba4);
// The VAT part of a price that includes VAT: round4(r / (r + 100) × 100) / 100, in millionths
// (173554 for 21 %).
std::int64_t KoeficientCenySDph(std::int64_t sazba4);
struct Rozpad {
  std::int64_t zaklad = 0, dph = 0;  // haléře; zaklad + dph is the price
};
Rozpad RozpadCeny(std::int64_t cenaHal, std::int64_t sazba4);
// Base in haléře of unit price × quantity with the markup (all three in ten-thousandths).
std::int64_t ZakladPredmetu(std::int64_t cenaMj4, std::int64_t mnozstvi4, std::int64_t prirazka4);

// The VAT mark proposed for a new item of a receipt ("P") or an expenditure ("V"); empty when
// none is proposed. `predmet` is an invoicing-subject item (the reduced rates count alike).
std::string NavrhOznaceni(const std::string& druh, std::int64_t sazba4, bool nulovaDph, bool predmet);

// The items of the work file: the total of price + VAT in haléře and the document text rebuilt
// from the item texts (each trimmed and followed by ","), cut to `sirkaTextu`.
struct SouhrnPolozek {
  int pocet = 0;  // items that are not blank
  std::int64_t celkemHal = 0;
  std::string text;
};
SouhrnPolozek SectiPolozky(char typ, std::size_t sirkaTextu);

// The items of saved documents, so that an edit brings them back: per series the file of the
// document file with ".pol" for ".dta" (PZ01_.pol), in the data root, a sequence of blocks
//
//   u32 record number (little-endian), u8 item type ('T', 'P', or 0: the document has none now),
//   u8 0, u16 item count, 8 bytes 0, then count items of the type's size (113 or 123 bytes)
//
// appended by every save of a document that has items or had them; the last block of a record
// holds its items.
std::string SouborUlozenychPolozek(const std::string& souborDokladu);
// The block the save of record `zaznam` appends: the work file of type `typ` (0: none).
std::vector<std::uint8_t> BlokPolozek(std::int32_t zaznam, char typ);
// The item type of the last block of record `zaznam`, 0 when it has none; `polozky` gets the items.
char UlozenePolozky(const std::string& souborDokladu, std::int32_t zaznam, std::vector<std::uint8_t>* polozky = nullptr);
// Fills the work file from the stored items of record `zaznam`; answers their type (0: none).
char ObnovPolozky(const std::string& souborDokladu, std::int32_t zaznam);

// The items window of type 'T' or 'P' for a document of `druh` on the work file; true when it was
// left with Enter (the items are to be used).
bool ZadejPolozky(char typ, const std::string& druh);

}  // namespace pz::cashdesk
