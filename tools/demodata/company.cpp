// Writes the demo installation's own company record for user 01, "fmw01.dta", into the directory
// given as the only argument (demo/data): a made-up firm that pays VAT, its tax accounts and bank
// account taken from the demo chart of accounts (343200 DPH na výstupu, 221100 Běžný účet CZK).
// Every text is stored at its full width, as the record form stores it. Texts are cp1250.
//
//   pz_demodata_company demo/data
#include <cstdio>
#include <string>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/company.h"
#include "storage/fields.h"

namespace {

using pz::platform::cz;
using pz::registers::tFirma;

struct Pole {
  int cislo;  // field number, from 1
  const char* text;
};

const Pole kFirma[] = {
    {1, "12345679"},
    {2, "CZ12345679"},
    {3, "Ukázková valutová s.r.o."},
    {4, "Směnárna Náměstí"},
    {5, "Náměstí Míru 1"},
    {6, "Praha 2"},
    {7, "12000"},
    {8, "Česká republika"},
    {9, "+420 200 000 000"},
    {11, "pokladna@example.cz"},
    {12, "Ukázková banka"},
    {13, "1234567805"},
    {14, "0800"},
    {16, "343200"},
    {17, "343200"},
    {18, "343200"},
    {19, "221100"},
    {20, "Jana Ukázková"},
    {21, "hotově"},
    {22, "Ukázkový zápis v obchodním rejstříku, oddíl C"},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pz_demodata_company DIRECTORY\n");
    return 2;
  }
  std::string veta(tFirma::kVelikost, '\0');
  std::size_t offset = 0;
  for (int i = 1; i <= tFirma::kPoli; ++i) {
    const std::size_t sirka = tFirma::kSirky[static_cast<std::size_t>(i - 1)];
    std::string text;
    for (const Pole& p : kFirma)
      if (p.cislo == i) text = cz(p.text);
    // Account fields hold "000000" when empty, as the form stores them.
    if (text.empty() && i >= 16 && i <= 19) text = "000000";
    text.resize(sirka, ' ');
    if (!pz::storage::writeShortString(veta, offset, sirka, text)) {
      std::fprintf(stderr, "field %d does not fit\n", i);
      return 1;
    }
    offset += sirka + 1;
  }
  const std::string cesta = std::string(argv[1]) + "/fmw01.dta";
  if (pz::platform::writeWholeFile(cesta, veta) != pz::platform::kIoOk) {
    std::fprintf(stderr, "cannot write %s\n", cesta.c_str());
    return 1;
  }
  return 0;
}
