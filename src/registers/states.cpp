#include "registers/states.h"

#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/roots.h"
#include "storage/textutil.h"

namespace pz::registers {

using platform::cz;

namespace {
constexpr const char* kSoubor = "Staty.dta";

std::string popisy(const std::string& popis, std::size_t sirka) {
  std::string t = popis.substr(0, sirka);
  t.resize(sirka, ' ');
  return t;
}
}  // namespace

namespace {
TfStaty* g_staty = nullptr;
}  // namespace

TfStaty::TfStaty() : TfSoub("fStaty", cz("Seznam států")) { g_staty = this; }
TfStaty::~TfStaty() {
  if (g_staty == this) g_staty = nullptr;
}

TfStaty& SeznamStatu() { return ui::PosledniOkno(g_staty); }

bool TfStaty::NastavStaty() {
  const std::vector<std::pair<std::string, std::size_t>> sloupce = {
      {cz("Označení země "), tStat::kSirkaKodu}, {cz("Název země    "), tStat::kSirkaNazvu},
      {cz("Patří do EU   "), tStat::kSirkaEu},   {cz("Nižší % daně  "), 2},
      {cz("Vyšší % daně  "), 2},                  {cz("Limit v EU    "), 16},
      {cz("DIČ v EU      "), tStat::kSirkaDic},   {"Pozn.1 ", tStat::kSirkaPozn},
      {"Pozn.2 ", tStat::kSirkaPozn},             {"Pozn.3 ", tStat::kSirkaPozn}};
  std::vector<std::string> titulky;
  for (const auto& [p, s] : sloupce) titulky.push_back(popisy(p, s));
  NastavSloupce(titulky);
  const bool ok = OtevriSoub(kSoubor, cz("Seznam států"), -1, 10, tStat::kVelikost, 1, ui::kBlack, ui::kBtnFace, 14,
                             70, 2, 4, ui::kBlack, ui::kWhite, 24, 79, 1, 1, cz(" F2=zápis  Esc=nic "), " Staty ",
                             cz(" F1-Help F4-Nová "));
  DeklarujPole(1, cz("Označení země "), 2, "", 1, 0, std::string(5, ' '), "X");
  DeklarujPole(2, cz("Název země    "), 2, "", 2, 0, std::string(30, ' '), " ");
  DeklarujPole(3, cz("Patří do EU   "), 2, "", 3, 0, std::string(2, ' '), "X");
  DeklarujPole(4, cz("Nižší % daně  "), 2, "", 4, 0, std::string(2, ' '), "##R");
  DeklarujPole(5, cz("Vyšší % daně  "), 2, "", 5, 0, std::string(2, ' '), "##R");
  DeklarujPole(6, cz("Limit v EU    "), 2, "", 6, 0, std::string(16, ' '), "### ### ###.##-R");
  DeklarujPole(7, cz("DIČ v EU      "), 2, "", 7, 0, std::string(20, ' '), "X");
  DeklarujPole(8, "Pozn.1 ", 2, "", 8, 0, std::string(50, ' '), " ");
  DeklarujPole(9, "Pozn.2 ", 2, "", 9, 0, std::string(50, ' '), " ");
  DeklarujPole(10, "Pozn.3 ", 2, "", 10, 0, std::string(50, ' '), " ");
  // The new-record template: the defaults the fields were declared with.
  Veta().assign(tStat::kVelikost, 0);
  TextyDoVety();
  sablona_ = Veta();
  return ok;
}

std::string TfStaty::VybranyNazev() {
  if (KoncovaKlavesa != 13 || Radek < 1 || Radek > PocetRadku) return {};
  CtiVetu(Radek);
  return storage::OrezZprava(storage::readShortString(Veta(), tStat::kNazev, tStat::kSirkaNazvu));
}

void TfStaty::PriMazani() {
  Veta() = sablona_;
  (void)storage::writeShortString(Veta(), tStat::kKodZeme, tStat::kSirkaKodu, kSmazanyStat);
}

std::string TfStaty::TextProHledani(int n) {
  // States are found by name typed without diacritics, whatever the exact-search setting.
  return storage::VelkaPismena(storage::BezDiakritiky(TextRadku(n)));
}

std::string KodStatu(const std::string& nazev) {
  const std::string nic(5, ' ');
  if (storage::Orez(nazev).empty()) return nic;
  std::string obsah;
  if (platform::readWholeFile(storage::DataCesta(kSoubor), obsah, platform::Share::DenyNone) != platform::kIoOk)
    return nic;
  const std::size_t pocet = obsah.size() / tStat::kVelikost;
  for (std::size_t i = 0; i < pocet; ++i) {
    const storage::ConstBytes veta(std::string_view(obsah).substr(i * tStat::kVelikost, tStat::kVelikost));
    const std::string kod = storage::readShortString(veta, tStat::kKodZeme, tStat::kSirkaKodu);
    if (kod.rfind(kSmazanyStat, 0) == 0) continue;
    // Trailing blanks are the padding of a fixed-width field, not part of the name.
    if (storage::OrezZprava(storage::readShortString(veta, tStat::kNazev, tStat::kSirkaNazvu)) !=
        storage::OrezZprava(nazev))
      continue;
    std::string k = kod.substr(0, 2);
    k.resize(2, ' ');
    return k + "   ";
  }
  return nic;
}

}  // namespace pz::registers
