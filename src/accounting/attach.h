// Attaching a batch of unattached entries ("PZUC.dta") to the suite's general ledger
// "uc01.dta" in the data root: the whole batch, or the vouchers the user marks in the list of the
// batch's vouchers, and then only when the marked entries balance.
//
// The ledger and the batch are held for writing (ledger first) from the moment the batch is read
// for the split until both files are replaced, so that an entry appended to the batch by another
// station meanwhile waits for the attach and is never lost. Either file is replaced in one step
// through a work file; a failure leaves both byte for byte as they were.
//
// The two replacements are tied by an intent record, so that a station killed between them never
// leaves the attached vouchers in both files: before the ledger is replaced, the record
// "PZUC.jrn" (the batch's name with ".jrn", beside it) says what the ledger was, what it becomes
// and what the batch becomes. It is first written as "PZUC.jr~", synced and renamed, so a ".jrn" is
// always whole, and it is removed once the batch is replaced. Little-endian:
//
//   "PZP1"                          magic
//   u16 length, then the name       the ledger's file name (it lies beside the batch)
//   3 × (i64 length, u64 FNV-1a)    the ledger before, the ledger after, the batch before
//   u8  'D' or 'N'                  the batch is deleted, or becomes the bytes below
//   u32 length, then the bytes      what the batch becomes
//   u64 FNV-1a of every byte before it
//
// Whoever next takes the batch for writing (an attach, the correction run, a posting,
// PridejDoDavky) first finishes a record it finds: when the ledger begins with what it became, the batch gets
// what it was to become (entries appended after the old batch kept behind it); when the ledger
// begins with what it was, the attach never happened and the batch stays. Doing it twice is the
// same as once. So after any moment of a kill the pair is the old pair or the complete new one.
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

// The intent record of the batch at the resolved path `davka`.
std::string ZaznamPripojeni(const std::string& davka);

enum class Dokonceni {
  Nic,     // no record, or one whose attach never happened: the batch is as it was
  Hotovo,  // the batch was changed to what the attach made of it
  Chyba,   // the record could not be finished (after the message); it stays for the next try
};
// Finishes an attach of the batch at the resolved path `davka` cut off by a kill, as above. The
// caller holds the batch's write lock; `zamceno` as for NahradBajty.
Dokonceni DokonciPripojeni(const std::string& davka, bool zamceno);
// The same taking the batch's write lock first, only when a record is there.
Dokonceni DokonciPripojeniPodZamkem(const std::string& davka);

}  // namespace pz::accounting
