// Writes the demo installation's cash desk series "pz_ra.dta" into the directory given as the
// only argument (demo/data): series 01 in euros, whose rate comes from the rate file of the day,
// and series 02 in Japanese yen quoted per 100 units at the Czech National Bank's rate of
// 30.05.2025, each posted to its cash account of the demo chart of accounts; and beside them the
// register of off-balance account sets "devu.dta" with one set (suppliers 751, customers 752,
// costs 753, revenues 754, bank 755, cash 756), offered when a cash desk opens while the main
// window's "Podrozvahové zúčtování" is on.
//
//   pz_demodata_series demo/data
#include <cstdio>
#include <string>
#include <vector>

#include "cashdesk/offbalance.h"
#include "cashdesk/records.h"
#include "platform/file.h"
#include "platform/io.h"
#include "storage/fields.h"

namespace {

using pz::cashdesk::tPzRada;

struct Rada {
  const char* cislo;
  const char* mena;
  double kurz;  // 0: the rate of the payment date from the currency's rate file
  int mnozstvi;
  const char* ucet;
  const char* poznamka;
};

const Rada kRady[] = {
    {"01", "EUR", 0, 1, "211200", "Pokladna EUR"},
    {"02", "JPY", 15.305, 100, "211400", "Pokladna JPY"},
};

bool sestav(const Rada& r, std::string& veta) {
  veta.assign(tPzRada::kVelikost, '\0');
  return pz::storage::writeShortString(veta, tPzRada::kRada, tPzRada::kSirkaRady, r.cislo) &&
         pz::storage::writeShortString(veta, tPzRada::kMena, tPzRada::kSirkaMeny, r.mena) &&
         pz::storage::writeReal48(veta, tPzRada::kKurz, r.kurz) &&
         pz::storage::writeU16(veta, tPzRada::kMnozstvi, static_cast<std::uint16_t>(r.mnozstvi)) &&
         pz::storage::writeReal48(veta, tPzRada::kStav, 0) &&
         pz::storage::writeShortString(veta, tPzRada::kUcet, tPzRada::kSirkaUctu, r.ucet) &&
         pz::storage::writeReal48(veta, tPzRada::kPocStav, 0) && pz::storage::writeReal48(veta, tPzRada::kPocStavKc, 0) &&
         pz::storage::writeShortString(veta, tPzRada::kPoznamka, tPzRada::kSirkaPoznamky,
                                       std::string(r.poznamka) +
                                           std::string(tPzRada::kSirkaPoznamky - std::string(r.poznamka).size(), ' '));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA-DIRECTORY\n", argv[0]);
    return 2;
  }
  std::string obsah;
  for (const Rada& r : kRady) {
    std::string veta;
    if (!sestav(r, veta)) {
      std::fprintf(stderr, "series %s does not fit its record\n", r.cislo);
      return 1;
    }
    obsah += veta;
  }
  using pz::cashdesk::tDevu;
  std::string sada(tDevu::kVelikost, '\0');
  bool ok = true;
  for (const auto& [pole, ucet] : {std::pair{tDevu::kDodavatele, "751"}, {tDevu::kOdberatele, "752"},
                                   {tDevu::kNaklady, "753"}, {tDevu::kTrzby, "754"}, {tDevu::kBanka, "755"},
                                   {tDevu::kPokladna, "756"}})
    ok = pz::storage::writeShortString(sada, pole, tDevu::kSirka, ucet) && ok;
  for (const auto& [jmeno, data] : {std::pair{"/pz_ra.dta", &obsah}, {"/devu.dta", &sada}}) {
    const std::string cesta = std::string(argv[1]) + jmeno;
    if (!ok || pz::platform::writeWholeFile(cesta, *data) != pz::platform::kIoOk) {
      std::fprintf(stderr, "cannot write %s\n", cesta.c_str());
      return 1;
    }
  }
  return 0;
}
