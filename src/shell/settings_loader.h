// The start-up initialisation: reads the station's and the installation's settings from the
// station settings tables, the parameter files and the own-company file into the process-wide
// global settings (storage/settings.h), converted to the forms the rest of the system uses.
#pragma once

#include <string>

namespace pz::shell {

// Runs once at start, before any window exists. Without a station table of at least 2 bytes in
// the working directory nothing is read and every setting keeps its initial value. A setting
// that cannot be read keeps its default; nothing is reported. `screenDpi` is the screen's
// horizontal resolution (the scale factor is 1.25 at exactly 120). False, after the message
// "Soubor master.job nelze přečíst (err     5), program končí.", when the station table exists but
// cannot be read: the start must stop rather than run without a user number.
bool NactiNastaveni(int screenDpi);

// The VAT rate texts ("##") and the 12-decimal coefficients r / (r + 100) from the three rates
// of the global settings, as the start computes them; whoever changes a rate calls it.
void OdvodSazbyDph();
// The cash payment limit from the text of "sys.par" LimitHotovosti: 270 000 when empty, never
// below 0.
double LimitHotovostiZTextu(const std::string& text);

}  // namespace pz::shell
