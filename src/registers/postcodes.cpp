#include "registers/postcodes.h"

#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/roots.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"

namespace pz::registers {

using platform::cz;

std::string SlozPsc(const std::string& text) {
  return storage::BezMezer(storage::VelkaPismena(storage::BezDiakritiky(text)));
}

namespace {

bool smazany(const ZaznamPsc& z) { return z.psc == kSmazanePsc; }

}  // namespace

std::vector<ZaznamPsc> NactiPsc(const std::string& cesta) {
  std::vector<ZaznamPsc> v;
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return v;
  const std::size_t pocet = obsah.size() / tPsc::kVelikost;
  v.reserve(pocet);
  for (std::size_t i = 0; i < pocet; ++i) {
    const storage::ConstBytes r(std::string_view(obsah).substr(i * tPsc::kVelikost, tPsc::kVelikost));
    v.push_back({storage::readShortString(r, tPsc::kPsc, tPsc::kSirkaPsc),
                 storage::readShortString(r, tPsc::kObec, tPsc::kSirkaTextu),
                 storage::readShortString(r, tPsc::kPosta, tPsc::kSirkaTextu),
                 storage::readShortString(r, tPsc::kOkres, tPsc::kSirkaTextu)});
  }
  return v;
}

int NajdiPsc(const std::vector<ZaznamPsc>& zaznamy, const std::string& t, const std::string& d, bool podlePosty) {
  const std::string tb = storage::BezMezer(t), db = storage::BezMezer(d);
  if (tb.empty() && db.empty()) return 0;
  const std::string hledany = SlozPsc(t + d);
  auto jmeno = [&](const ZaznamPsc& z) -> const std::string& { return podlePosty ? z.posta : z.obec; };
  // The file is ordered by folded town and district: first a binary search for the whole key.
  auto klic = [&](const ZaznamPsc& z) { return SlozPsc(db.empty() ? jmeno(z) : jmeno(z) + z.okres); };
  std::size_t lo = 0, hi = zaznamy.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const std::string k = klic(zaznamy[mid]);
    if (k == hledany) {
      if (!smazany(zaznamy[mid])) return static_cast<int>(mid) + 1;
      break;
    }
    if (k < hledany) lo = mid + 1;
    else hi = mid;
  }
  // Then every record in file order: the town (or the post office, whole) and the district
  // beginning with what was entered.
  for (std::size_t i = 0; i < zaznamy.size(); ++i) {
    const ZaznamPsc& z = zaznamy[i];
    if (smazany(z)) continue;
    const std::string okres = storage::BezMezer(z.okres).substr(0, db.size());
    std::string nazev = storage::BezMezer(jmeno(z));
    if (!podlePosty && tb.size() < nazev.size()) nazev = nazev.substr(0, tb.size());
    else if (!podlePosty) nazev = jmeno(z);
    if (SlozPsc(nazev + okres) == hledany) return static_cast<int>(i) + 1;
  }
  return 0;
}

namespace {
TfPsc* g_psc = nullptr;
}  // namespace

TfPsc::TfPsc()
    : TfSoub("fPsc", cz("PSČ - obec-pošta-okres")),
      bObec(add<ui::Button>("bObec")),
      bPosta(add<ui::Button>("bPosta")) {
  bObec.text = cz("Ctrl+F3 = Hledej PSČ (podle-obec,okres)");
  bPosta.text = cz("Alt+F3 = Hledej PSČ (podle-pošta,okres)");
  bObec.onClick = [this] { dotaz(false); };
  bPosta.onClick = [this] { dotaz(true); };
  g_psc = this;
}

TfPsc::~TfPsc() {
  if (g_psc == this) g_psc = nullptr;
}

TfPsc& SeznamPsc() { return ui::PosledniOkno(g_psc); }

bool TfPsc::NastavPsc() {
  const bool ok = OtevriSoub({.soubor = "=" + storage::ProgCesta("2\\PSC.dta"),
                              .titulek = cz("PSČ - obec-pošta-okres"),
                              .velikost = tPsc::kVelikost,
                              .formular = {4, 2, 70, 8},
                              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
                              .titulekFormulare = cz(" PSČ - obec-pošta-okres "),
                              .napovedaSeznamu = cz(" F1-Help F4-Nová "),
                              .pole = {{.popis = cz("PSČ   "), .sirka = tPsc::kSirkaPsc, .obrazek = "P", .pocatecni = kNenalezenePsc},
                                       {"Obec  ", tPsc::kSirkaTextu, "X"},
                                       {cz("Pošta "), tPsc::kSirkaTextu, "X"},
                                       {"Okres ", tPsc::kSirkaTextu, "X"}}});
  ZapamatujSablonu();
  RezervovaneRadky = 2;
  return ok;
}

void TfPsc::Sestav() {
  TfSoub::Sestav();
  umistiTlacitka();
}

void TfPsc::Prekresli() {
  TfSoub::Prekresli();
  umistiTlacitka();
}

// Both buttons on the line kept below the grid, under the search line and position label.
void TfPsc::umistiTlacitka() {
  const int cw = std::max(1, look.cellWidth);
  const int rh = std::max(1, lKolik.geometry.h);
  const int y = std::max(lKolik.geometry.y, eHled.geometry.y) + rh;
  int x = cw;
  for (ui::Button* b : {&bObec, &bPosta}) {
    const int w = (static_cast<int>(b->text.size()) + 2) * cw;
    b->geometry = {x, y, w, rh};
    b->visible = true;
    x += w + cw;
  }
}

std::string TfPsc::hledej(const std::string& t, const std::string& d, bool podlePosty) {
  const int n = NajdiPsc(NactiPsc(Soubor().cesta()), t, d, podlePosty);
  if (n < 1) return kNenalezenePsc;
  JdiNa(CisloZPoradi2(n), 2);
  CtiVetuPrimo(n);
  return storage::readShortString(Veta(), tPsc::kPsc, tPsc::kSirkaPsc);
}

std::string TfPsc::HledejPscObce(const std::string& obec, const std::string& okres) { return hledej(obec, okres, false); }
std::string TfPsc::HledejPscPosty(const std::string& posta, const std::string& okres) { return hledej(posta, okres, true); }

void TfPsc::dotaz(bool podlePosty) {
  std::string obec = ObecPartnera;
  obec.resize(std::max<std::size_t>(obec.size(), 50), ' ');
  const bool potvrzeno = ui::Dotazy(10, 5, nullptr,
                                    {podlePosty ? cz("Pošta") : std::string("Obec"), obec, "Okres", std::string(50, ' ')},
                                    podlePosty ? cz("Hledaná pošta") : cz("Hledaná obec"));
  // Esc finds nothing, so the partner's code stays as it was.
  if (!potvrzeno) return;
  const auto& o = ui::vysledekDialogu().odpovedi;
  hledej(o.size() > 0 ? o[0] : "", o.size() > 1 ? o[1] : "", podlePosty);
  setFocus(&sgRol);
}

bool TfPsc::onMouse(const ui::MouseEvent& ev, ui::Control* hit) {
  for (ui::Button* b : {&bObec, &bPosta})
    if (hit == b) {
      if (ev.button == ui::MouseButton::Left && b->onClick) b->onClick();
      return true;
    }
  return TfSoub::onMouse(ev, hit);
}

void TfPsc::NaCtrlF3() { dotaz(false); }
void TfPsc::NaAltF3() { dotaz(true); }

std::string TfPsc::VybranePsc() {
  const std::string psc = VybranyText(tPsc::kPsc, tPsc::kSirkaPsc);
  return psc == kSmazanePsc ? std::string() : psc;
}

void TfPsc::PriMazani() { SmazanaVeta(tPsc::kPsc, tPsc::kSirkaPsc, kSmazanePsc); }

}  // namespace pz::registers
