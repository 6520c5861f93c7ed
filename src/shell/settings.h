// The start-up initialisation: reads the station's and the installation's settings from the
// station settings tables, the parameter files and the own-company file into the process-wide
// global settings (storage/settings.h), converted to the forms the rest of the system uses.
#pragma once

#include <string>

#include "storage/fields.h"

namespace pz::shell {

// Runs once at start, before any window exists. Without a station table of at least 2 bytes in
// the working directory nothing is read and every setting keeps its initial value. A setting
// that cannot be read keeps its default; nothing is reported. `screenDpi` is the screen's
// horizontal resolution (the scale factor is 1.25 at exactly 120).
void NactiNastaveni(int screenDpi);

// True when one of the own company's two tax accounts (short strings of 6 at offsets 332 and
// 339 of its record) reads as a number that is not zero. A shorter record counts what it holds.
bool VlastniFirmaMaUcty(storage::ConstBytes firma);

// The own-company file of a user: "fmw" + user number + ".dta" in the data root.
std::string SouborFirmy(const std::string& uzivatel);

}  // namespace pz::shell
