// Writes the demo installation's smaller registers, so that a new user meets them filled:
//   into DATA (demo/data): the own bank account "bako.dta" of the demo firm, the rates of the
//   demo's currencies "kursy.dta" (the Czech National Bank's rates of 03.01.2022 and 30.05.2025),
//   a few posting templates "CI11.DTA" on accounts of the demo chart, and the texts lists
//   "txt1.dta" and "provozy.dta";
//   into PROG (demo/prog): the VAT return lines "CI\CiDPH.dta".
// Every text is stored at its full width, as the record forms store it. Texts are cp1250.
//
//   pz_demodata_registers demo/data demo/prog
#include <cstdio>
#include <string>
#include <vector>

#include "accounting/templates.h"
#include "accounting/vatlines.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "rates/ratetable.h"
#include "registers/banks.h"
#include "storage/fields.h"
#include "storage/textutil.h"

namespace {

using namespace pz;
using platform::cz;

void text(std::string& v, std::size_t offset, std::size_t sirka, const char* t) {
  (void)storage::writeShortString(v, offset, sirka, storage::NaSirku(cz(t), sirka));
}

bool zapis(const std::string& cesta, const std::string& obsah) {
  if (platform::writeWholeFile(cesta, obsah) == platform::kIoOk) return true;
  std::fprintf(stderr, "cannot write %s\n", cesta.c_str());
  return false;
}

std::string bako() {
  using U = registers::tBankovniUcet;
  std::string v(U::kVelikost, '\0');
  text(v, U::kOznaceni, 1, "A");
  text(v, U::kNazev, 20, "Ukázková banka");
  text(v, U::kKonto, 19, "1234567805");
  text(v, U::kKod, 4, "0800");
  text(v, U::kSwift, 15, "GIBACZPX");
  (void)storage::writeReal48(v, U::kStav, 0);
  text(v, U::kMena, 3, "CZK");
  text(v, U::kUcet, 6, "221100");
  text(v, U::kIban, 30, "CZ71 0800 0000 0012 3456 7805");
  text(v, U::kRezerva1, 30, "");
  text(v, U::kRezerva2, 20, "");
  return v;
}

std::string kursy() {
  using K = rates::tKurs;
  struct Kurz {
    const char* kod;
    double kurz;
    const char* datum;  // DDMMYY
    int mnozstvi;
    const char* analytika;
  };
  const Kurz kurzy[] = {{"EUR", 24.82, "030122", 1, "200"},
                        {"JPY", 19.12, "030122", 100, "400"},
                        {"EUR", 24.93, "300525", 1, "200"},
                        {"JPY", 15.305, "300525", 100, "400"}};
  std::string obsah;
  for (const Kurz& k : kurzy) {
    std::string v(K::kVelikost, '\0');
    text(v, K::kKod, 3, k.kod);
    (void)storage::writeReal48(v, K::kKurz, k.kurz);
    text(v, K::kDatum, 6, k.datum);
    (void)storage::writeU16(v, K::kMnozstvi, static_cast<std::uint16_t>(k.mnozstvi));
    text(v, K::kAnalytika, 3, k.analytika);
    obsah += v;
  }
  return obsah;
}

std::string predkontace() {
  namespace pk = accounting::predkontace;
  struct Sablona {
    const char* cislo;
    const char* nazev;
    std::vector<std::vector<const char*>> radky;  // debit account, centre, credit account, centre
  };
  const Sablona sablony[] = {
      {"001", "Převod z banky do pokladny EUR", {{"211200", "20100", "261000", "20100"}, {"261000", "20100", "221200", "20100"}}},
      {"002", "Kurzová ztráta pokladny", {{"563000", "20100", "211200", "20100"}}},
      {"003", "Kurzový zisk pokladny", {{"211200", "20100", "663000", "20100"}}},
      {"010", "Tržba směnárny", {{"211100", "20100", "602000", "20100"}, {"211100", "20100", "343200", "20100"}}},
  };
  std::string obsah;
  for (const Sablona& s : sablony) {
    std::string v(pk::kVelikost, '\0');
    text(v, pk::kCislo, 3, s.cislo);
    text(v, pk::kNazev, 30, s.nazev);
    for (std::size_t k = 0; k < pk::kRadku; ++k) {
      const std::size_t o = pk::kRadky + k * pk::kRadek;
      const auto r = k < s.radky.size() ? s.radky[k] : std::vector<const char*>{"", "", "", ""};
      text(v, o + pk::kUcetM, 6, r[0]);
      text(v, o + pk::kStrM, 5, r[1]);
      text(v, o + pk::kUcetD, 6, r[2]);
      text(v, o + pk::kStrD, 5, r[3]);
    }
    text(v, pk::kDatum, 6, "251201");
    obsah += v;
  }
  return obsah;
}

std::string texty(std::initializer_list<const char*> radky) {
  std::string obsah;
  for (const char* r : radky) {
    std::string v(31, '\0');
    text(v, 0, 30, r);
    obsah += v;
  }
  return obsah;
}

std::string radkyDph() {
  namespace r = accounting::radekDph;
  struct Radek {
    const char* radek;
    const char* stin;
    const char* nazev;
  };
  const Radek radky[] = {{"001", "002", "Dodání zboží nebo poskytnutí služby s místem plnění v tuzemsku"},
                         {"020", "   ", "Dodání zboží do jiného členského státu"},
                         {"040", "041", "Odpočet z přijatých zdanitelných plnění od plátců"},
                         {"999", "   ", "Nepatří do výkazu DPH"}};
  std::string obsah;
  for (const Radek& d : radky) {
    std::string v(r::kVelikost, '\0');
    text(v, r::kRadek, 3, d.radek);
    text(v, r::kStin, 3, d.stin);
    text(v, r::kNazev, 73, d.nazev);
    obsah += v;
  }
  return obsah;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pz_demodata_registers DATA PROG\n");
    return 2;
  }
  const std::string data = argv[1], prog = argv[2];
  const bool ok = zapis(data + "/bako.dta", bako()) && zapis(data + "/kursy.dta", kursy()) &&
                  zapis(data + "/CI11.DTA", predkontace()) &&
                  zapis(data + "/txt1.dta", texty({"Výběr hotovosti z banky", "Odvod hotovosti do banky", "Nákup valut",
                                                   "Prodej valut"})) &&
                  zapis(data + "/provozy.dta", texty({"Směnárna Náměstí", "Směnárna Nádraží"})) &&
                  zapis(prog + "/CI/CiDPH.dta", radkyDph());
  return ok ? 0 : 1;
}
