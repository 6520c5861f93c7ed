// TfPZRady, the list of cash desk series " Seznam valutových pokladen " over "pz_ra.dta": one
// record per cash box in one currency (layout tPzRada in cashdesk/records.h). The program start
// shows it in a loop and opens the cash desk of the series chosen with Enter.
//
//   - file names and locks  the series file, its predecessor "zporady.dta", the lock tokens
//   - NajdiRadu             the record of a series number, for the cash desk's balance rewrite
//   - TfPZRady              opening (with the one-time conversion of the old file), the field
//                           checks, add / edit / delete under their locks, and the compaction of
//                           deleted records at close
//
// Locks between stations: adding takes "ZPORA4", editing a series and the cash desk's rewrite of
// its balance take "STAVZ" + series number, both write locks on names in the data root; the
// document file of a deleted series is renamed only under its own write lock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/recordfile.h"
#include "ui/recordform.h"

namespace pz::cashdesk {

inline constexpr const char* kSouborRad = "pz_ra.dta";
inline constexpr const char* kStarySouborRad = "zporady.dta";

// The lock under which a new series is added: "ZPORA4" in the data root.
std::string ZamekPridani();
// The lock that serialises the edit of series `rada` and the rewrite of its balance:
// "STAVZ" + series number in the data root.
std::string ZamekStavu(const std::string& rada);

// The record number of series `rada` in the open series file, or a number below 1 when there
// is none. The file is kept sorted by series number, so the search bisects; series appended or
// deleted while another station held the file stay out of order until a later compaction, so a
// miss of the bisection is confirmed by reading every record. Texts compare upper-cased; the
// file's record buffer is left as it was.
int NajdiRadu(storage::RecordFile& soubor, const std::string& rada);

// Why a series number cannot be used, or empty text when it can. The number becomes part of a
// file name ("PZ" + number + "_.dta") and a leading "." marks a deleted series.
std::string ChybaCislaRady(const std::string& rada);

// Converts the 34-byte records of the older series file into a new series file when the older
// one has records and the new one is missing or empty: same fields, opening balance in crowns
// zero, a blank note. True when it converted. Names go through DataCesta.
bool PrevedStareRady(const std::string& stary = kStarySouborRad, const std::string& novy = kSouborRad);

class TfPZRady : public ui::TfSoub {
 public:
  TfPZRady();
  ~TfPZRady() override;

  // Sets the form up on "pz_ra.dta", whatever name is passed (the callers name it anyway):
  // the older series file converted first when there is one, the document files of the series
  // brought to the current record layout, a read-only station (station setting CTENI) kept from
  // changing anything.
  bool Otevri(const std::string& soubor = kSouborRad);
  // Compacts and sorts the file when it holds deleted or unsorted series (added or deleted
  // through this window, or left so by an earlier close that found the file held) and no other
  // station holds it, then closes the form. "Chyba pri sortu" when the sort failed.
  void Zavri() override;

  // The overviews of the series (popup item "Přehledy", Ctrl+P); the item is disabled until set.
  std::function<void()> naPrehledy;

  // Hooks of the record form.
  void NaF4() override;
  void Oprav() override;
  void NaF8() override;
  void NaF1() override;
  void NaAltF1() override;
  void F1Pole(int i) override;
  void ZmenaPole(int i) override;
  void PredFormularem() override;
  void Prijmi(int i) override;

 protected:
  bool onKey(const ui::KeyEvent& ev) override;

 private:
  void nastavMenu();
  bool kontrolaCisla();
  bool existuje(const std::string& rada);
  bool potrebujeZhusteni();
  void prevedDoklady();
  bool zhustiASetrid();

  bool novy_ = false;                  // the edit form holds a new series
  bool kZhusteni_ = false;             // deleted or unsorted series wait for the close
  bool pokladniKnihy_ = false;         // cash-journal mode: field 6 is a cash-book key
};

}  // namespace pz::cashdesk
