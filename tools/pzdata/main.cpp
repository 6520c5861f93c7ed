// pzdata: converts public reference lists (UTF-8, ";"-separated, one header line) into the
// program's record files, so that a newer list is converted the same way.
//   pzdata psc      psc.csv      PSC.dta    psc;obec;posta;okres, ordered by folded town+district
//   pzdata staty    states.csv   Staty.dta  kod;nazev;eu ("A" for an EU member)
//   pzdata partneri partners.csv org.dta    ico;dic;nazev;ulice;mesto;psc;stat;banka;kod;konto
//   pzdata banky    banks.csv    KodyBank.dta  kod;nazev;swift, in the list's order
// Texts become cp1250 and are cut to their fields' widths.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/banks.h"
#include "registers/partners.h"
#include "registers/postcodes.h"
#include "registers/states.h"
#include "storage/fields.h"
#include "storage/textutil.h"

namespace {

using namespace pz;

std::vector<std::vector<std::string>> ctiCsv(const std::string& cesta) {
  std::string obsah;
  std::vector<std::vector<std::string>> radky;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return radky;
  std::istringstream in(obsah);
  std::string radek;
  bool hlavicka = true;
  while (std::getline(in, radek)) {
    if (!radek.empty() && radek.back() == '\r') radek.pop_back();
    if (hlavicka) {
      hlavicka = false;
      continue;
    }
    if (radek.empty()) continue;
    std::vector<std::string> pole;
    std::stringstream ss(radek);
    std::string p;
    while (std::getline(ss, p, ';')) pole.push_back(platform::utf8ToCp1250(p));
    if (!radek.empty() && radek.back() == ';') pole.emplace_back();
    radky.push_back(pole);
  }
  return radky;
}

std::string pole(const std::vector<std::string>& r, std::size_t i) { return i < r.size() ? r[i] : std::string(); }

void text(std::string& veta, std::size_t offset, std::size_t sirka, const std::string& t) {
  (void)storage::writeShortString(veta, offset, sirka, t.substr(0, sirka));
}

bool zapis(const std::string& cesta, const std::string& obsah) {
  return platform::writeWholeFile(cesta, obsah) == platform::kIoOk;
}

std::string psc(const std::vector<std::vector<std::string>>& radky) {
  using registers::tPsc;
  std::vector<std::pair<std::string, std::string>> vety;
  for (const auto& r : radky) {
    std::string v(tPsc::kVelikost, '\0');
    text(v, tPsc::kPsc, tPsc::kSirkaPsc, pole(r, 0));
    text(v, tPsc::kObec, tPsc::kSirkaTextu, pole(r, 1));
    text(v, tPsc::kPosta, tPsc::kSirkaTextu, pole(r, 2));
    text(v, tPsc::kOkres, tPsc::kSirkaTextu, pole(r, 3));
    // The searches bisect on the folded town and district as the record holds them.
    const std::string obec = storage::readShortString(v, tPsc::kObec, tPsc::kSirkaTextu);
    const std::string okres = storage::readShortString(v, tPsc::kOkres, tPsc::kSirkaTextu);
    vety.emplace_back(registers::SlozPsc(obec + okres), v);
  }
  std::stable_sort(vety.begin(), vety.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string obsah;
  for (const auto& [k, v] : vety) obsah += v;
  return obsah;
}

std::string staty(const std::vector<std::vector<std::string>>& radky) {
  using registers::tStat;
  std::string obsah;
  for (const auto& r : radky) {
    std::string v(tStat::kVelikost, '\0');
    text(v, tStat::kKodZeme, tStat::kSirkaKodu, pole(r, 0));
    text(v, tStat::kNazev, tStat::kSirkaNazvu, pole(r, 1));
    text(v, tStat::kEu, tStat::kSirkaEu, pole(r, 2));
    // Field defaults of the blanks the form would store.
    text(v, tStat::kDicEU, tStat::kSirkaDic, "");
    obsah += v;
  }
  return obsah;
}

std::string partneri(const std::vector<std::vector<std::string>>& radky) {
  using registers::tOrganizace;
  std::string obsah;
  int cislo = 0;
  for (const auto& r : radky) {
    std::string v(tOrganizace::kVelikost, '\0');
    (void)storage::writeU16(v, tOrganizace::kCislo, static_cast<std::uint16_t>(++cislo));
    text(v, tOrganizace::kIco, 8, pole(r, 0));
    text(v, tOrganizace::kDic, 16, pole(r, 1));
    text(v, tOrganizace::kNazev, 30, pole(r, 2));
    text(v, tOrganizace::kUlice, 30, pole(r, 3));
    text(v, tOrganizace::kMesto, 30, pole(r, 4));
    text(v, tOrganizace::kPsc, 5, pole(r, 5));
    text(v, tOrganizace::kStat, 30, pole(r, 6));
    text(v, 210, 20, pole(r, 7));  // bank name
    text(v, 231, 4, pole(r, 8));   // bank code
    text(v, 236, 19, pole(r, 9));  // account
    obsah += v;
  }
  return obsah;
}

std::string banky(const std::vector<std::vector<std::string>>& radky) {
  using registers::tBanka;
  std::string obsah;
  for (const auto& r : radky) {
    std::string v(tBanka::kVelikost, '\0');
    text(v, tBanka::kBanka, tBanka::kSirkaBanky, storage::NaSirku(pole(r, 1), tBanka::kSirkaBanky));
    text(v, tBanka::kKod, tBanka::kSirkaKodu, storage::NaSirku(pole(r, 0), tBanka::kSirkaKodu));
    text(v, tBanka::kSwift, tBanka::kSirkaSwift, storage::NaSirku(pole(r, 2), tBanka::kSirkaSwift));
    obsah += v;
  }
  return obsah;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: pzdata psc|staty|partneri|banky INPUT.csv OUTPUT.dta\n";
    return 2;
  }
  const std::string druh = argv[1];
  const auto radky = ctiCsv(argv[2]);
  std::string obsah;
  if (druh == "psc") obsah = psc(radky);
  else if (druh == "staty") obsah = staty(radky);
  else if (druh == "partneri") obsah = partneri(radky);
  else if (druh == "banky") obsah = banky(radky);
  else {
    std::cerr << "pzdata: unknown list " << druh << "\n";
    return 2;
  }
  if (radky.empty() || !zapis(argv[3], obsah)) {
    std::cerr << "pzdata: nothing converted from " << argv[2] << "\n";
    return 1;
  }
  std::cout << radky.size() << " records written to " << argv[3] << "\n";
  return 0;
}
