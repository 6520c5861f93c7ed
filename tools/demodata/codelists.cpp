// Writes the demo installation's chart of accounts "CI10.DTA", cost centres "CI30.DTA" and job
// orders "CI36.DTA" into the directory given as the only argument (demo/data), each in order of
// its code as the lists keep them. Texts are cp1250.
//
//   pz_demodata_codelists demo/data
#include <cstdio>
#include <string>
#include <vector>

#include "accounting/accounts.h"
#include "accounting/centres.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"

namespace {

using pz::platform::cz;
namespace a = pz::accounting;

struct Ucet {
  const char* cislo;
  const char* nazev;
  const char* md;
  const char* dal;
  const char* saldo;
};

// Cash desks 211/261, banks 221, receivables and payables, VAT, costs and revenues, the
// exchange-rate loss 563 and gain 663, and the off-balance accounts of the currency (751 to 756,
// with the analytics of the two cash desks).
const Ucet kUcty[] = {
    {"211000", " Pokladna", "", "", ""},
    {"211100", "Pokladna CZK", "071", "", ""},
    {"211200", "Pokladna EUR", "071", "", ""},
    {"211300", "Pokladna USD", "071", "", ""},
    {"211400", "Pokladna JPY", "071", "", ""},
    {"221000", " Bankovní účty", "", "", ""},
    {"221100", "Běžný účet CZK", "072", "", ""},
    {"221200", "Devizový účet EUR", "072", "", ""},
    {"261000", "Peníze na cestě", "073", "118", ""},
    {"311000", "Odběratelé", "047", "", "S"},
    {"321000", "Dodavatelé", "", "108", "S"},
    {"343100", "DPH na vstupu", "056", "121", ""},
    {"343200", "DPH na výstupu", "056", "121", ""},
    {"501000", "Spotřeba materiálu", "", "", ""},
    {"512000", "Cestovné", "", "", ""},
    {"518000", "Ostatní služby", "", "", ""},
    {"563000", "Kurzové ztráty", "", "", ""},
    {"602000", "Tržby z prodeje služeb", "", "", ""},
    {"604000", "Tržby za zboží", "", "", ""},
    {"663000", "Kurzové zisky", "", "", ""},
    {"751200", "Podrozvaha - dodavatelé EUR", "", "", ""},
    {"751400", "Podrozvaha - dodavatelé JPY", "", "", ""},
    {"752200", "Podrozvaha - odběratelé EUR", "", "", ""},
    {"752400", "Podrozvaha - odběratelé JPY", "", "", ""},
    {"753200", "Podrozvaha - náklady EUR", "", "", ""},
    {"753400", "Podrozvaha - náklady JPY", "", "", ""},
    {"754200", "Podrozvaha - tržby EUR", "", "", ""},
    {"754400", "Podrozvaha - tržby JPY", "", "", ""},
    {"756200", "Podrozvaha - pokladna EUR", "", "", ""},
    {"756400", "Podrozvaha - pokladna JPY", "", "", ""},
};

struct Stredisko {
  const char* kod;
  const char* nazev;
  const char* nadpis;
};
const Stredisko kStrediska[] = {
    {"00000", "Bez střediska", " "},
    {"10000", "Správa", "A"},
    {"10100", "Vedení", " "},
    {"10200", "Účtárna", " "},
    {"20000", "Provoz", "A"},
    {"20100", "Směnárna Praha", " "},
    {"20200", "Směnárna Brno", " "},
};

struct Zakazka {
  const char* kod;
  const char* nazev;
};
const Zakazka kZakazky[] = {
    {"2026-001", "Veletrh Vídeň"},
    {"2026-002", "Služební cesta Drážďany"},
    {"2026-003", "Rekonstrukce pokladny"},
};

bool zapis(const std::string& cesta, const std::vector<std::vector<std::uint8_t>>& vety) {
  std::string obsah;
  for (const auto& v : vety) obsah.append(v.begin(), v.end());
  return pz::platform::writeWholeFile(cesta, obsah) == pz::platform::kIoOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA-DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string adresar = std::string(argv[1]) + "/";
  const std::string datum = "260101";

  std::vector<std::vector<std::uint8_t>> ucty;
  for (const Ucet& u : kUcty) {
    std::vector<std::uint8_t> v(a::ucet::kVelikost, 0);
    a::PisTextVety(v, a::ucet::kUcet, 6, u.cislo);
    a::PisTextVety(v, a::ucet::kNazev, 30, cz(u.nazev));
    a::PisTextVety(v, a::ucet::kRozvahaMD, 3, u.md);
    a::PisTextVety(v, a::ucet::kRozvahaDal, 3, u.dal);
    for (std::size_t o : {a::ucet::kVysl21, a::ucet::kVysl22, a::ucet::kVysl24, a::ucet::kVysl25, a::ucet::kVysl3})
      a::PisTextVety(v, o, 3, "");
    a::PisTextVety(v, a::ucet::kDanVysl, 1, "");
    a::PisTextVety(v, a::ucet::kKorekce, 1, "");
    a::PisTextVety(v, a::ucet::kSaldo, 1, u.saldo);
    a::PisTextVety(v, a::ucet::kDatum, 6, datum);
    ucty.push_back(v);
  }

  std::vector<std::vector<std::uint8_t>> strediska;
  for (const Stredisko& s : kStrediska) {
    std::vector<std::uint8_t> v(a::stredisko::kVelikost, 0);
    a::PisTextVety(v, a::stredisko::kKod, 5, s.kod);
    a::PisTextVety(v, a::stredisko::kNazev, 30, cz(s.nazev));
    a::PisTextVety(v, a::stredisko::kNazev2, 30, "");
    a::PisTextVety(v, a::stredisko::kJenNadpis, 1, s.nadpis);
    a::PisTextVety(v, a::stredisko::kTyp, 1, "");
    a::PisTextVety(v, a::stredisko::kUcetSkladu, 6, "");
    a::PisTextVety(v, a::stredisko::kCinnost, 3, "");
    a::PisTextVety(v, a::stredisko::kPolOd, 6, "");
    a::PisTextVety(v, a::stredisko::kPolDo, 6, "");
    a::PisTextVety(v, a::stredisko::kDatum, 6, datum);
    strediska.push_back(v);
  }

  std::vector<std::vector<std::uint8_t>> zakazky;
  for (const Zakazka& z : kZakazky) {
    std::vector<std::uint8_t> v(a::zakazka::kVelikost, 0);
    a::PisTextVety(v, a::zakazka::kKod, 20, z.kod);
    a::PisTextVety(v, a::zakazka::kNazev1, 50, cz(z.nazev));
    a::PisTextVety(v, a::zakazka::kNazev2, 50, "");
    a::PisTextVety(v, a::zakazka::kDatum, 6, datum);
    zakazky.push_back(v);
  }

  if (!zapis(adresar + "CI10.DTA", ucty) || !zapis(adresar + "CI30.DTA", strediska) ||
      !zapis(adresar + "CI36.DTA", zakazky)) {
    std::fprintf(stderr, "cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
