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

// The voucher lines of a document of kind P or V (without the leading form feed line). `polozky`
// marks a receipt sold by items.
std::vector<std::string> RadkyDokladu(const PokladniDoklad& d, const RadaPokladny& rada, bool polozky);

// The save step that prints the voucher once the document is stored.
std::unique_ptr<KrokUkladani> KrokTiskuDokladu();

}  // namespace pz::cashdesk
