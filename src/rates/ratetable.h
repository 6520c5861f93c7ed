// The rate table "kursy.dta" in the data root: one 23-byte record per currency and date, kept by
// hand and used as a chooser of currency and rate. An older 18-byte layout is brought forward
// on opening; records can be deleted by date interval, sorted by code or date, and dates with
// letters for digits repaired.
#pragma once

#include <cstdint>
#include <string>

#include "ui/recordform.h"

namespace pz::rates {

struct tKurs {
  static constexpr std::int32_t kVelikost = 23;
  static constexpr std::size_t kKod = 0, kKurz = 4, kDatum = 10, kMnozstvi = 17, kAnalytika = 19;
};

class TfKursy : public ui::TfSoub {
 public:
  TfKursy();
  ~TfKursy() override;
  // Converts an older file, declares the fields and opens "kursy.dta".
  bool NastavKursy();
  // The list as a chooser; the picked record number (its bytes in Veta()), 0 after Esc. The
  // window is closed afterwards.
  int Vyber();
  // After Vyber: the chosen code and rate.
  std::string VybranyKod() const;
  double VybranyKurz() const;

  // Deletes the records dated from `od` to `do_` (entered dates, either may be empty; both
  // empty: the current record) and compacts the file. False when nothing was done.
  bool SmazInterval(const std::string& od, const std::string& do_);
  // Sorts by code then date, or by date then code; records with a blank code go.
  bool Setrid(bool podleData);
  // Dates with "l" or "O" for a digit at the day or year, and "000000", set right.
  void OpravDatum();

  void NaF1() override;
  void NaF4() override;
  void NaF8() override;
  void NaF10() override;
  void Oprav() override;
  void ZmenaPole(int i) override;
  void NaplnSloupce() override;

 private:
  bool prepis(const std::string& obsah);
  bool novy_ = false;
  std::vector<std::uint8_t> vybrana_;
};

TfKursy& Kursy();

// A rate record's date as a text that sorts by calendar date: YYYYMMDD with the two-digit year
// widened, blanks for a blank or unreadable date.
std::string KlicData(const std::string& ddmmrr);

}  // namespace pz::rates
