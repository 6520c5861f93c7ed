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
TfStaty* g_staty = nullptr;
}  // namespace

TfStaty::TfStaty() : TfSoub("fStaty", cz("Seznam států")) { g_staty = this; }
TfStaty::~TfStaty() {
  if (g_staty == this) g_staty = nullptr;
}

TfStaty& SeznamStatu() { return ui::PosledniOkno(g_staty); }

bool TfStaty::NastavStaty() {
  const bool ok = OtevriSoub({.soubor = kSoubor,
                              .titulek = cz("Seznam států"),
                              .velikost = tStat::kVelikost,
                              .formular = {4, 2, 70, 14},
                              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
                              .titulekFormulare = " Staty ",
                              .napovedaSeznamu = cz(" F1-Help F4-Nová "),
                              .pole = {{cz("Označení země "), tStat::kSirkaKodu, "X"},
                                       {cz("Název země    "), tStat::kSirkaNazvu},
                                       {cz("Patří do EU   "), tStat::kSirkaEu, "X"},
                                       {cz("Nižší % daně  "), 2, "##", 'R'},
                                       {cz("Vyšší % daně  "), 2, "##", 'R'},
                                       {cz("Limit v EU    "), 16, "### ### ###.##-", 'R'},
                                       {cz("DIČ v EU      "), tStat::kSirkaDic, "X"},
                                       {"Pozn.1 ", tStat::kSirkaPozn},
                                       {"Pozn.2 ", tStat::kSirkaPozn},
                                       {"Pozn.3 ", tStat::kSirkaPozn}}});
  ZapamatujSablonu();
  return ok;
}

std::string TfStaty::VybranyNazev() {
  return storage::OrezZprava(VybranyText(tStat::kNazev, tStat::kSirkaNazvu));
}

void TfStaty::PriMazani() { SmazanaVeta(tStat::kKodZeme, tStat::kSirkaKodu, kSmazanyStat); }

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
