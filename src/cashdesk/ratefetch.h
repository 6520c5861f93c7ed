// Brings the rate files of the series' currencies up to date from the central bank's public text
// export of one currency over a period:
//
//   Měna: EUR|Množství: 1
//   Datum|Kurz
//   02.01.2024|24,725
//
// For each currency of the series list the export from the day after the file's last data line
// to today is fetched with curl and merged into the rate file: the lines already there are kept
// byte for byte, the new days are appended in the file's own line ends, and the file is replaced
// in one atomic step. An answer that is not such an export (another heading, another currency
// or quantity than the file states, a bad line, dates not increasing or not in the period asked)
// or a download that fails leaves the file as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace pz::cashdesk {

// The bank's server: "PZPOKL.PAR" key "WebCNB", by default https://www.cnb.cz.
std::string ServerBanky();
// The address of the export of `mena` from `od` to `do_` on `server`.
std::string AdresaVyvozu(const std::string& server, const std::string& mena, platform::Date od, platform::Date do_);

// The first day to fetch for a rate file's text: the day after its last data line, or 1 January
// of the year before `dnes` when it has none.
platform::Date OdKdyStahnout(std::string_view soubor, platform::Date dnes);

// The merge of one answer of the bank into the text of a rate file (empty: no file yet).
struct Slouceni {
  bool ok = false;
  std::string obsah;      // the file's new text (when ok)
  int pridano = 0;        // days appended
  std::string posledni;   // the file's last quoted day DD.MM.YYYY afterwards, empty when none
  std::string chyba;      // why the answer was refused (cp1250), when not ok
};
Slouceni SlucVyvoz(std::string_view soubor, std::string_view vyvoz, std::string_view mena, platform::Date od,
                   platform::Date dnes);

// One download through curl: the body, or a reason in Czech (cp1250). Only https addresses are
// fetched, and plain http to 127.0.0.1.
struct Stazeni {
  bool ok = false;
  std::string telo;
  std::string chyba;
};
Stazeni Stahni(const std::string& adresa);

// Fetches and merges every currency of the series list "pz_ra.dta" in the data root. One line
// per currency (cp1250) says what happened; `chybne` repeats those of the currencies whose file
// stayed as it was for a failure, and a series list that could not be read.
struct VysledekStazeni {
  std::vector<std::string> radky;
  std::vector<std::string> chybne;
};
VysledekStazeni StahniKurzy(platform::Date dnes);

}  // namespace pz::cashdesk
