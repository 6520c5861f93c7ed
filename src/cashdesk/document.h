// A cash document as a value: the typed fields of one tPzDoklad record (records.h), read from and
// written to its bytes, with no screen involved. The period reports, the save service and the
// entry's calculations work on it; the window only fills it from its fields.
//
// Amounts are decimal money in ten-thousandths (storage/money.h), the rate a plain number (it has
// up to ten decimals and is never summed). Dates stay the six-character DDMMYY texts they are on
// disk. Writing back stores only the fields whose value changed, so a document read and written
// unchanged keeps its bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pz::cashdesk {

// An amount in ten-thousandths of its currency.
using Penize = std::int64_t;

struct PokladniDoklad {
  std::string druh;            // "P" receipt, "V" expenditure, "O"/"D" paid issued/received invoice
  std::string ident;           // the record number in five digits
  std::string cislo;           // the document number
  std::uint16_t cisloOrg = 0;  // partner number, 0 for none
  std::string datumDod;        // delivery date DDMMYY
  std::string datumZapl;       // payment date DDMMYY
  std::string text;
  Penize celkemVal = 0, placenoVal = 0;  // total and paid in the currency
  double kurz = 0;                       // crowns for the series' unit count
  Penize celkemKc = 0, placenoKc = 0;    // total and paid in crowns
  std::string ind;             // marks; a first character "U" means posted
  std::string dphRozl;         // VAT line code of the VAT return
  std::string ico, dic;
  std::string adr1, adr2, adr3, adr4, psc, finUrad;

  // The balance sign of the kind: +1 receipt, -1 expenditure, 0 for anything else.
  int Znamenko() const;
  bool Zauctovan() const { return !ind.empty() && ind[0] == 'U'; }
};

// The document held by a 337-byte record. Amounts are taken to ten-thousandths (round4); an
// amount that cannot be (a damaged Real48) reads as 0 and makes `ok` false.
PokladniDoklad CtiDoklad(std::span<const std::uint8_t> zaznam, bool* ok = nullptr);
// The same into `d`, which starts empty: a long list is read in place.
void CtiDoklad(std::span<const std::uint8_t> zaznam, PokladniDoklad& d, bool* ok = nullptr);
// Stores `d` into the record `zaznam` (337 bytes), field by field; bytes of unchanged fields stay.
// False when a value does not fit its field (the record is then partly written).
bool ZapisDoklad(const PokladniDoklad& d, std::span<std::uint8_t> zaznam);

// What the period reports show of one document, read where it lies: the texts are views into
// the 337-byte record (which the owner keeps and never moves), the amounts and the payment day
// decoded once. A report lists a million of these without a string per field.
struct DokladVypisu {
  const std::uint8_t* zaznam = nullptr;
  std::uint16_t cisloOrg = 0;
  std::uint32_t denZapl = 0;  // the payment day as CisloDne gives it (filled by the file's reader)
  Penize celkemVal = 0, placenoVal = 0, placenoKc = 0;
  double kurz = 0;

  std::string_view druh() const;
  std::string_view ident() const;
  std::string_view cislo() const;
  std::string_view datumDod() const;
  std::string_view datumZapl() const;
  std::string_view text() const;
  std::string_view adr1() const;
  std::string_view dic() const;
  int Znamenko() const;
};

// The documents of one document file for a report: the file's bytes, held whole, and a view of
// each whole record. Moving it keeps the views valid.
struct DokladySouboru {
  std::unique_ptr<std::string> bajty = std::make_unique<std::string>();
  std::vector<DokladVypisu> doklady;
};
// `zaznam` (337 bytes that outlive the result) as the reports see it; a damaged amount reads as 0.
DokladVypisu CtiDokladVypisu(const std::uint8_t* zaznam);

// A series as the entry needs it (tPzRada).
struct RadaPokladny {
  std::string rada;   // series number
  std::string mena;   // currency
  double kurz = 0;    // default rate; 0 means each document takes the rate of its payment date
  std::uint16_t mnozstvi = 1;
  Penize stav = 0;    // balance in the currency
  std::string ucet;   // cash account, "000000" for a box that is not posted
};
RadaPokladny CtiRadu(std::span<const std::uint8_t> zaznam);

}  // namespace pz::cashdesk
