// The voucher print "ÚČETNÍ PŘEDPISY" of a batch of entries: the entries of the chosen vouchers
// and agenda with a total line per voucher and a grand total, or in list mode the vouchers
// alone; the report "xx22" (xx the agenda, "UC" for all of them), 112 characters wide, shown
// in the report viewer.
#pragma once

#include <string>
#include <vector>

#include "accounting/entries.h"

namespace pz::accounting {

struct ParametryTisku {
  std::string od = "000000", doCisla = "000000";  // voucher bounds; "000000" = none
  std::string agenda;                             // two characters; two blanks = every agenda
  bool seznam = false;                            // only the list of vouchers
  std::string rok, obdobi;                        // for the page header
  bool strankovat = false;                        // a new page for each voucher
  bool schvaleni = false;                         // the approval block at the end
};

// A bound as typed: upper-cased, cut to six characters and filled with "0" from the left while
// its last character is blank ("12" gives "000012", nothing gives "000000").
std::string MezUP(const std::string& odpoved);

// The lines of the report for the entries (page headers included; the first page has no form
// feed, every further one starts with it).
std::vector<std::string> RadkyPredpisu(const std::vector<tUcZapis>& zapisy, const ParametryTisku& p);

// The print from the main window's menu and the journal: the parameters asked for, the report
// written and shown. A name beginning with "=" is a work file taken as it stands.
void TiskPredpisu(const std::string& davka);

}  // namespace pz::accounting
