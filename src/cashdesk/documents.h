// The files of the cash documents of one series and the rules that hold for every document.
//
//   - the blank document      every field at its default; new documents and blanked ones start here
//   - ident and the limit     the record number in five digits, so at most 99999 documents
//   - date repair             the letters O and l of older data in the tens of the year
//   - Dodatky                 the VAT supplement file, kept in step with the document file
//   - StavRady                the balance of a series, rewritten under its lock
//   - entry files             where the accounting entries of a document are looked for
//
// Records are read and written field by field at the offsets of tPzDoklad (records.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "storage/fields.h"
#include "storage/locks.h"
#include "storage/recordfile.h"

namespace pz::cashdesk {

// A VAT supplement record: one per document, at the document's record number.
inline constexpr std::int32_t kVelikostDodatku = 512;

// The blank document: texts blank at their full width, numbers zero, the payment date `dnes`
// (DDMMYY) and the VAT line "999   ".
std::vector<std::uint8_t> PrazdnyDoklad(const platform::Date& dnes);
// A date as the documents store it: DDMMYY.
std::string DatumDokladu(const platform::Date& den);

// `ident` of record n: five digits with leading zeros ("00012").
std::string IdentDokladu(std::int32_t cislo);
// True while a file of `pocet` documents can take one more: a sixth digit would not fit `ident`.
bool LzePridatDoklad(std::int32_t pocet);
// The message shown when it cannot.
std::string ZpravaPlneRady();

// Repairs the dates of one document in place: the fifth character (the tens of the year) of the
// delivery and the payment date, the letter "O" as "0" and "l" as "1". True when a byte changed.
bool OpravDatumDokladu(std::span<std::uint8_t> doklad);

// The date repair over an open document file: one pass that reads every document and rewrites
// only those the repair changes, each read again right before it is written, so that a document
// another station saved meanwhile is repaired as saved, not reverted. `poZapisu(n)` runs after
// document n was written. `predZapisem` runs once, before the first write; false leaves every
// document as it is. Answers how many were rewritten, or -1 after a failed read or write (or a
// refused `predZapisem`).
std::int32_t OpravDataDokladu(storage::RecordFile& doklady,
                              const std::function<void(std::int32_t)>& poZapisu = nullptr,
                              const std::function<bool()>& predZapisem = nullptr);

// The bytes beyond the last whole document of a file of `delka` bytes (0 for a sound file).
std::int64_t PrebytekSouboru(std::int64_t delka);

// ---------------------------------------------------------------------------------------------
// VAT supplements

// The supplement file of a document file ("PZA01_.dta" for "PZ01_.dta"): supplement i belongs to
// document i. Whoever writes document i keeps the file in step through Pis or Srovnej.
class Dodatky {
 public:
  bool Otevri(const std::string& souborDokladu);
  void Zavri();
  bool otevren() const { return soubor_.otevren(); }
  std::int32_t pocet() const { return soubor_.pocet(); }
  const std::string& jmeno() const { return soubor_.jmeno(); }

  // Supplement i as stored, or a blank one when the file does not reach it yet.
  std::vector<std::uint8_t> Cti(std::int32_t i);
  // Writes supplement i; blank supplements are appended first up to i - 1.
  bool Pis(std::int32_t i, std::span<const std::uint8_t> dodatek);
  // Makes the file reach supplement i by appending blank ones; a stored supplement is never
  // changed.
  bool Srovnej(std::int32_t i);

 private:
  storage::RecordFile soubor_;
};

// ---------------------------------------------------------------------------------------------
// Balance of a series

// The series record of one series, found in "pz_ra.dta" under the write lock "STAVZ" + series,
// so that the balance is read and rewritten by one station at a time. The lock and the file are
// released when the object goes away.
class StavRady {
 public:
  StavRady() = default;
  ~StavRady();
  StavRady(const StavRady&) = delete;
  StavRady& operator=(const StavRady&) = delete;

  // Takes the lock and finds the series. A refused lock ends it silently (the wait window has
  // told the user); a series that is not in the file shows "Nesoulad.". False in both cases.
  bool Otevri(const std::string& rada);
  // Otevri in two parts: the lock alone (for a writer of the documents that leaves the balance
  // alone), then the series under it.
  bool Zamkni(const std::string& rada);
  bool NajdiRadu();
  bool Najdena() const { return zaznam_ > 0; }
  // The balance lock's path, and whether this object took it (not merely went on without it).
  const std::string& CestaZamku() const { return zamek_; }
  bool DrziZamek() const { return drzeno_ == storage::Zamek::Drzen; }
  double Stav() const;
  // The balance after adding `zmena` (in the currency, exact to ten-thousandths); nullopt when
  // either is beyond what the amounts hold (a damaged record).
  std::optional<double> Po(double zmena) const;
  // Writes `stav` as the balance of the series record. False when the write failed.
  bool Zapis(double stav);
  // The balance field as stored, and a write of exactly those bytes (to put a balance back).
  std::optional<storage::Real48> StavBajty() const;
  bool ZapisBajty(const storage::Real48& stav);
  // Po and Zapis together: the new balance, or nullopt when nothing was written.
  std::optional<double> Pricti(double zmena);
  void Zavri();

 private:
  storage::RecordFile rady_;
  std::string zamek_;
  std::string rada_;
  storage::Zamek drzeno_ = storage::Zamek::Nedrzen;
  std::int32_t zaznam_ = 0;
};

// The record of series `rada` in an open series file (NajdiRadu of cashdesk/series.h, which also
// finds series appended while the file could not be sorted), read into the file's record buffer.
// 0 when it is not there.
std::int32_t NajdiRaduVSouboru(storage::RecordFile& rady, const std::string& rada);

// ---------------------------------------------------------------------------------------------
// Accounting entries of a document

// The key under which the entries of document `ident` of series `rada` are filed:
// "000" + series + ident.
std::string KlicZapisu(const std::string& rada, const std::string& ident);
// The entry files searched for a document, in order: "PZUC.DTA", "UC01.DTA", then "UCALL.001"
// onwards; `obdobi` (the ledger period, UCDAT) + 1 of them, the period taken as 0 to 15.
std::vector<std::string> SouboryZapisu(int obdobi);

}  // namespace pz::cashdesk
