// Writes the demo installation's batch of unattached accounting entries "PZUC.dta": two vouchers
// of the euro cash desk on accounts and centres of the demo chart, in balance, so that the
// journal of the accounting menu shows a new user something to correct. Texts are cp1250.
//
//   pz_demodata_entries demo/data
#include <cstdio>
#include <string>
#include <vector>

#include "accounting/entries.h"
#include "platform/io.h"
#include "platform/file.h"
#include "platform/text.h"
#include "storage/textutil.h"

namespace {

using namespace pz;

accounting::tUcZapis zapis(const char* up, const char* radek, const char* text, const char* md, const char* dal,
                           std::int64_t halere, const char* datum) {
  accounting::tUcZapis z;
  z.agenda = "PZ";
  z.cisloUP = up;
  z.radek = radek;
  z.text = storage::NaSirku(platform::cz(text), 30);
  z.ucetMD = md;
  z.strMD = std::string(md) == "000000" ? "00000" : "20100";
  z.zakMD = std::string(20, ' ');
  z.ucetDal = dal;
  z.strDal = std::string(dal) == "000000" ? "00000" : "20100";
  z.zakDal = std::string(20, ' ');
  z.castka = halere * 100;
  z.datum = datum;
  z.parUdaj = std::string(10, ' ');
  return z;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pz_demodata_entries DATA\n");
    return 2;
  }
  // A receipt of 100 EUR at 24.86 for services with VAT, and an expenditure of 20 EUR for travel.
  const std::vector<accounting::tUcZapis> z = {
      zapis("010001", "01", "Příjem 100 EUR - služby", "211200", "602000", 205454, "030122"),
      zapis("010001", "02", "Příjem 100 EUR - DPH", "211200", "343200", 43146, "030122"),
      zapis("010002", "01", "Výdej 20 EUR - cestovné", "512000", "211200", 49720, "030122"),
  };
  std::string obsah;
  for (const auto& e : z) {
    const auto v = accounting::SlozZapis(e);
    obsah.append(v.begin(), v.end());
  }
  const std::string cesta = std::string(argv[1]) + "/PZUC.dta";
  if (platform::writeWholeFile(cesta, obsah) != platform::kIoOk) {
    std::fprintf(stderr, "cannot write %s\n", cesta.c_str());
    return 1;
  }
  return 0;
}
