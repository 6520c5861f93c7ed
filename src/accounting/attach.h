// Attaching a batch of unattached entries ("PZUC.dta") to the suite's general ledger
// "uc01.dta" in the data root: the whole batch, or the vouchers the user marks in the list of the
// batch's vouchers, and then only when the marked entries balance.
//
// The ledger and the batch are held for writing (ledger first) from the moment the batch is read
// for the split until both files are replaced, so that an entry appended to the batch by another
// station meanwhile waits for the attach and is never lost. Either file is replaced in one step
// through a work file; a failure leaves both byte for byte as they were.
#pragma once

#include <string>
#include <vector>

#include "accounting/entries.h"
#include "ui/browse.h"

namespace pz::accounting {

inline constexpr const char* kHlavniKniha = "uc01.dta";

// One row of the voucher list: a run of consecutive entries with the same voucher number.
struct RadekSeznamuUp {
  std::string cisloUP;  // 6 characters
  int pocet = 0;        // entries of the run
};
std::vector<RadekSeznamuUp> SeznamUp(const std::vector<tUcZapis>& zapisy);

// The voucher list "Seznam UP z " + the batch's agenda, read-only; Insert marks a row.
class TfSeznamUp : public ui::TfRol {
 public:
  TfSeznamUp();
  // Shows the rows modally; the voucher numbers of the marked rows when the user leaves it.
  std::vector<std::string> Vyber(const std::vector<RadekSeznamuUp>& radky, const std::string& agenda);

  void CtiPuvodni(int n) override { aktualni_ = n; }
  void NaplnSloupce() override;

 private:
  std::vector<RadekSeznamuUp> radky_;
  int aktualni_ = 0;
};

// The attach from the main window's accounting menu, target always the ledger "uc01.dta".
void PripojDavku(const std::string& davka);

}  // namespace pz::accounting
