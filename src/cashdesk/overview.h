// The overview of cash documents by partner and period ("PZ08"): the documents of one series, or
// of every series marked in the series list, paid in a period, optionally of one partner, in one
// of six orders, two lines a document, with control sums per partner group and in total.
//
// The control sums add the amounts paid of series of any currency: they are check sums, not money.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

// The sort key of a document in an order, appended to `klic`; nothing is appended when the
// document is not to be listed.
void KlicPrehledu(std::string& klic, const DokladVypisu& d, std::string_view rada, PoradiPrehledu poradi);

// The documents an overview lists, chosen while each series is read and kept as the few fields
// their lines show, so that no document file has to stay in memory.
class VybraneDoklady {
 public:
  explicit VybraneDoklady(VyberPrehledu vyber);
  // The chosen documents of one series; the series is named in the report's header.
  void Pridej(const std::string& rada, const std::vector<DokladVypisu>& doklady);
  // The same, read from the series' document file; false, and nothing of the series taken, when
  // the file cannot be read.
  bool CtiRadu(const std::string& rada, const std::string& cesta);

 private:
  friend int PisPrehled(VybraneDoklady& vybrane);
  static constexpr std::size_t kSirkaKlice = 24;  // keys are compared at this width, blank-padded
  // A chosen document: its numbers, and its texts one after another in its series' texty.
  enum Text { kDruh, kIdent, kCislo, kDatumDod, kDatumZapl, kText, kAdr1, kDic, kTextu };
  struct Doklad {
    std::size_t texty;
    Penize celkemVal, placenoVal;
    double kurz;
    std::uint16_t cisloOrg;
    std::int8_t znamenko;
    std::array<std::uint8_t, kTextu> delky;
  };
  // The sort key of a chosen document: the sort moves only these.
  struct Polozka {
    std::array<char, kSirkaKlice> klic;
    std::uint32_t rada, doklad;
  };
  // The chosen documents of a series, each with its key.
  struct Rada {
    std::string cislo;
    std::vector<Polozka> polozky;
    std::vector<Doklad> doklady;
    std::string texty;
  };
  // A new series with room for `pocet` documents, so that its arrays are never copied.
  Rada& novaRada(const std::string& cislo, std::size_t pocet);
  void vezmi(const DokladVypisu& d);

  VyberPrehledu v_;
  std::uint32_t od_ = 0, do_ = 0;  // the period as day numbers
  std::vector<Rada> rady_;
  std::string klic_;  // the key being built
};

// Writes the overview into the open report, using up the keys of the chosen documents; answers
// the number of documents listed.
int PisPrehled(VybraneDoklady& vybrane);

// Makes "PZ08" and shows it in the viewer. False when the report could not be written whole.
bool VytvorPrehled(VybraneDoklady& vybrane);

// The dialogs of the overview and the report: in the cash desk over its series, in the series
// list over the marked series.
void PrehledPokladny(TfPZPokl& okno);
void PrehledRad(TfPZRady& okno);

}  // namespace pz::cashdesk
