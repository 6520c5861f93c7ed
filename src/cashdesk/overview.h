// The overview of cash documents by partner and period ("PZ08"): the documents of one series, or
// of every series marked in the series list, paid in a period, optionally of one partner, in one
// of six orders, two lines a document, with control sums per partner group and in total.
//
// The control sums add the amounts paid of series of any currency: they are check sums, not money.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cashdesk/document.h"

namespace pz::cashdesk {

class TfPZPokl;
class TfPZRady;

// The orders of the overview, as the choice offers them.
enum class PoradiPrehledu { Druh = 1, Cislo, DatumZaplaceni, Castka, Organizace, Adresa };

struct VyberPrehledu {
  std::string od, do_;          // the period, DDMMYY
  std::string prefixNazvu;      // upper case, no trailing blanks; empty: any name
  int cisloOrg = -1;            // -1: any partner
  // Partners chosen in the partner list: only documents of a marked partner (by its number).
  bool jenOznaceni = false;
  std::vector<bool> oznaceni;
  PoradiPrehledu poradi = PoradiPrehledu::Druh;
  bool zeSeznamuRad = false;    // the header of the series list ("  LIST: ", each series listed)
};

// The documents of one series.
struct DokladyRady {
  std::string rada;
  DokladySouboru soubor;
  const std::vector<DokladVypisu>& doklady() const { return soubor.doklady; }
};

// The sort key of a document in an order, appended to `klic`; nothing is appended when the
// document is not to be listed.
void KlicPrehledu(std::string& klic, const DokladVypisu& d, std::string_view rada, PoradiPrehledu poradi);

// Writes the overview into the open report; answers the number of documents listed.
int PisPrehled(const std::vector<DokladyRady>& rady, const VyberPrehledu& vyber);

// Makes "PZ08" and shows it in the viewer. False when the report could not be written whole.
bool VytvorPrehled(const std::vector<DokladyRady>& rady, const VyberPrehledu& vyber);

// The dialogs of the overview and the report: in the cash desk over its series, in the series
// list over the marked series.
void PrehledPokladny(TfPZPokl& okno);
void PrehledRad(TfPZRady& okno);

}  // namespace pz::cashdesk
