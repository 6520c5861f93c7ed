#include "cashdesk/offbalance.h"

#include "cashdesk/posting.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/money.h"
#include "storage/params.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/keys.h"

namespace pz::cashdesk {

using accounting::kBezUctu;
using accounting::tUcZapis;
using platform::cz;

namespace {

constexpr const char* kSoubor = "devu.dta";
TfDEVU* g_devu = nullptr;

// The job order of a side: the cost centre for an account of class 5 or 6, as on every entry.
std::string zakazka(const std::string& ucet) {
  const bool naklVynos = ucet[0] == '5' || ucet[0] == '6';
  return naklVynos ? storage::NaSirku(accounting::kBezStrediska, 20) : std::string(20, ' ');
}

}  // namespace

bool PodrozvahaZapnuta() {
  return !storage::settings().cashJournal && storage::CtiPar(kParametryPokladny, kKlicPodrozvahy) == "ANO";
}

PodrozvahoveUcty UctySady(std::span<const std::uint8_t> veta, const std::string& ucetRady) {
  const std::string analytika = storage::DoplnZprava(storage::Orez(ucetRady), 6, '0').substr(3, 3);
  const auto ucet = [&](std::size_t offset) {
    const std::string syntetika = storage::Orez(storage::readShortString(veta, offset, tDevu::kSirka));
    return storage::DoplnZprava(syntetika.substr(0, tDevu::kSirka), tDevu::kSirka, '0') + analytika;
  };
  PodrozvahoveUcty u;
  u.pokladna = ucet(tDevu::kPokladna);
  u.naklady = ucet(tDevu::kNaklady);
  u.trzby = ucet(tDevu::kTrzby);
  u.dodavatele = ucet(tDevu::kDodavatele);
  u.odberatele = ucet(tDevu::kOdberatele);
  return u;
}

std::optional<tUcZapis> PodrozvahovyZapis(const PokladniDoklad& d, const RadaPokladny& rada,
                                          const PodrozvahoveUcty& ucty) {
  std::string md, dal;
  if (d.druh == "P") md = ucty.pokladna, dal = ucty.trzby;
  else if (d.druh == "V") md = ucty.naklady, dal = ucty.pokladna;
  else if (d.druh == "O") md = ucty.pokladna, dal = ucty.odberatele;
  else if (d.druh == "D") md = ucty.dodavatele, dal = ucty.pokladna;
  else return std::nullopt;
  if (md == kBezUctu && dal == kBezUctu) return std::nullopt;
  // The currency amount goes into the crown field of the entry, in whole hundredths as every
  // amount of the batch.
  const storage::Money castka = storage::round2(d.placenoVal);
  if (!castka.ok() || castka.tenThousandths == 0) return std::nullopt;
  tUcZapis z;
  z.agenda = "PZ";
  z.text = d.text.substr(0, std::min<std::size_t>(d.text.size(), 30));
  z.datum = d.datumZapl;
  z.parUdaj = ParovaciUdaj(rada, d);
  z.ucetMD = md;
  z.zakMD = zakazka(md);
  z.ucetDal = dal;
  z.zakDal = zakazka(dal);
  z.castka = castka.tenThousandths;
  return z;
}

// ---------------------------------------------------------------------------------------------
// The register

TfDEVU::TfDEVU() : TfSoub("fDEVU", cz("Devizové účtování na podrozvahové účty")) { g_devu = this; }
TfDEVU::~TfDEVU() {
  if (g_devu == this) g_devu = nullptr;
}
TfDEVU& SadyPodrozvahy() { return ui::PosledniOkno(g_devu); }

bool TfDEVU::NastavSady() {
  const auto pole = [](const char* popis) {
    return ui::PopisPole{.popis = cz(popis), .sirka = 3, .obrazek = "L", .pocatecni = "000"};
  };
  const bool ok = OtevriSoub({.soubor = kSoubor,
                              .titulek = cz("Devizové účtování na podrozvahové účty"),
                              .velikost = tDevu::kVelikost,
                              .formular = {10, 4, 50, 13},
                              .napovedaFormulare = cz(" F2=zápis Esc=ven "),
                              .titulekFormulare = cz(" Syntetiky podrozv.deviz.účtů "),
                              .napovedaSeznamu = cz(" F4=Nový Mezera=Oprava Enter=Výběr Esc=Bez podrozvahy "),
                              .pole = {pole("Dodavatelé :   "), pole("Odběratelé :   "), pole("Náklady    :   "),
                                       pole("Tržby      :   "), pole("Banka      :   "), pole("Pokladna   :   ")}});
  ZapamatujSablonu();
  return ok;
}

PodrozvahoveUcty TfDEVU::Vyber(const std::string& ucetRady) {
  PodrozvahoveUcty ucty;
  if (!NastavSady()) {
    Zavri();
    return ucty;
  }
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = ui::kVkEscape;
  showModal();
  if (KoncovaKlavesa == ui::kVkReturn && Radek >= 1 && Radek <= Soubor().pocet() && CtiVetuPrimo(CisloZPoradi(Radek)))
    ucty = UctySady(Veta(), ucetRady);
  Zavri();
  return ucty;
}

bool TfDEVU::onKey(const ui::KeyEvent& ev) {
  if (ev.plain() && ev.vk == ui::kVkSpace && !Hleda() && PovolenaOprava) {
    Soubor().ObnovSoubor();
    if (Soubor().pocet() == 0) {
      Veta() = SablonaVety;
      if (!Soubor().PridejVetu()) return true;
      PocetRadku = Soubor().pocet();
      Sestav();
      JdiNa(1);
    }
  }
  return TfSoub::onKey(ev);
}

// ---------------------------------------------------------------------------------------------
// The choice when a cash desk window opens

void ZvolPodrozvahu(const RadaPokladny& rada) {
  PodrozvahoveUcty ucty;
  if (PodrozvahaZapnuta()) ucty = SadyPodrozvahy().Vyber(rada.ucet);
  pametZauctovani().doplnek = [ucty, rada](const PokladniDoklad& d) {
    std::vector<tUcZapis> z;
    // The switch counts as it stands when the document is posted.
    if (PodrozvahaZapnuta())
      if (auto zapis = PodrozvahovyZapis(d, rada, ucty)) z.push_back(std::move(*zapis));
    return z;
  };
}

}  // namespace pz::cashdesk
