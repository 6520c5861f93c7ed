// The printed cash voucher of a saved document: the report "pz" + series + "a.txt" (a receipt or
// expenditure voucher, for a receipt with a delivery date also the tax document), shown in the
// report viewer, appended to the series' voucher archive and kept as the document's own copy in
// the series' folder of printed documents.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cashdesk/document.h"
#include "cashdesk/saving.h"

namespace pz::cashdesk {

// The voucher lines of a document (without the leading form feed line). `polozky` is the type of
// its items ('T' or 'P', read from the station's work file) or 0 when it has none; `platba` is
// what the save booked into the invoice an "O" or "D" document pays (its amount block), or null.
std::vector<std::string> RadkyDokladu(const PokladniDoklad& d, const RadaPokladny& rada, char polozky,
                                      const PlatbaDokladu* platba);

// The save step that prints the voucher once the document is stored (report, archive, the
// document's own copy) and shows it in the report viewer once the save's locks are released.
std::unique_ptr<KrokUkladani> KrokTiskuDokladu();

}  // namespace pz::cashdesk
