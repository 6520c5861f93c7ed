#include "accounting/centres.h"

#include <algorithm>
#include <cstdio>

#include "accounting/accounts.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/settings.h"
#include "ui/dialogs.h"

namespace pz::accounting {

using platform::cz;

namespace {

TfCis30* g_strediska = nullptr;
TfCis36* g_zakazky = nullptr;

void polozkaMenu(TfCiselnik& okno, std::size_t k, const std::string& text, std::function<void()> akce) {
  auto& it = okno.PopupMenu1.items.at(k);
  it.caption = text;
  it.visible = true;
  it.onClick = [&okno, akce = std::move(akce)] {
    akce();
    okno.Soubor().ObnovSoubor();
    okno.PocetRadku = okno.Soubor().pocet();
    okno.Sestav();
    okno.JdiNa(std::max(1, okno.Radek));
  };
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Cost centres

TfCis30::TfCis30() : TfCiselnik("fCis30", {"CI30.DTA", 5, stredisko::kVelikost, cz("Třídím osnovu výsledovky")}) {
  g_strediska = this;
  polozkaMenu(*this, 0, cz("Načti z číselníku"), [this] { NactiZCiselniku(); });
  polozkaMenu(*this, 1, "Opis", [this] { Opis(); });
  polozkaMenu(*this, 2, cz("Změň střediska"), [this] { ZmenStrediska(); });
}

TfCis30::~TfCis30() {
  if (g_strediska == this) g_strediska = nullptr;
}

void TfCis30::Deklaruj() {
  OtevriSoub({.soubor = "CI30.DTA",
              .titulek = "Střediska",
              .velikost = stredisko::kVelikost,
              .radek = 0,
              .barvaFormulare = ui::kWhite,
              .formular = {10, 1, 50, 14},
              .seznam = {1, 1, 110, 22},
              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
              .titulekFormulare = " CI30 ",
              .napovedaSeznamu = cz(" F1-Help  F10=Opis  F4-Nová  "),
              .pole = {{.popis = cz("Středisko   "), .sirka = 5, .obrazek = "P", .pocatecni = "00000"},
                       {cz("Název       "), 30},
                       {cz("Název 2     "), 30},
                       {"Jen nadpis  ", 1},
                       {"Typ         ", 1},
                       {cz("Účet skladu "), 6},
                       {cz("Činnost     "), 3, "Y"},
                       {"Skl.pol. od ", 6, "Y"},
                       {"Skl.pol. do ", 6, "Y"},
                       {cz("Datum změny "), 6}},
              .sloupce = 0});
  caption = cz("Střediska");
  // The second name line is shown last.
  NastavSloupcePoli({1, 2, 4, 5, 6, 7, 8, 9, 10, 3});
}

std::string KodZKlice(const std::string& klic, const std::string& uroven) {
  std::string kod = (klic + std::string(6, ' ')).substr(1, 5);
  const char u = uroven.empty() ? ' ' : uroven[0];
  const int drzet = u < '1' ? 0 : (u >= '5' ? 5 : u - '0');
  for (std::size_t k = static_cast<std::size_t>(drzet); k < 5; ++k) kod[k] = '.';
  return kod;
}

int TfCis30::NactiZCiselniku() {
  Nastav();
  TfCi2005& ciselnik = StaryCiselnik();
  int pridano = 0;
  std::string rozpracovany;
  std::vector<std::uint8_t> veta;
  auto pripoj = [&] {
    if (rozpracovany.empty()) return;
    Veta() = veta;
    if (Soubor().PridejVetu()) ++pridano;
  };
  ciselnik.Projdi([&](const tCiselnik& c) {
    if (c.ts != "30") return;
    const std::string kod = KodZKlice(c.klic, c.p);
    if (kod != rozpracovany) {
      pripoj();
      rozpracovany = kod;
      veta = SablonaVety;
    }
    const std::string spojene = c.u[0] + c.u[1] + c.u[2] + c.u[3] + c.u[4];
    PisTextVety(veta, stredisko::kJenNadpis, 1, c.cv == "00" && c.p < "5" ? "A" : " ");
    PisTextVety(veta, stredisko::kKod, 5, kod);
    if (c.cv == "00") {
      PisTextVety(veta, stredisko::kNazev, 30, spojene);
      PisTextVety(veta, stredisko::kDatum, 6, c.rrmmdd);
    } else if (c.cv == "01") {
      PisTextVety(veta, stredisko::kNazev2, 30, spojene);
      PisTextVety(veta, stredisko::kDatum, 6, c.rrmmdd);
    } else if (c.cv == "10") {
      PisTextVety(veta, stredisko::kTyp, 1, c.u[0].substr(5, 1));
      PisTextVety(veta, stredisko::kCinnost, 3, c.u[1].substr(3, 3));
      PisTextVety(veta, stredisko::kPolOd, 6, c.u[2]);
      PisTextVety(veta, stredisko::kPolDo, 6, c.u[3]);
      PisTextVety(veta, stredisko::kUcetSkladu, 6, c.u[4]);
    } else if (c.cv == "11") {
      PisTextVety(veta, stredisko::kNazev2, 30, "STR:" + c.u[0]);
    }
  });
  pripoj();
  return pridano;
}

void TfCis30::ZmenStrediska() {
  Nastav();
  if (!ui::DotazVychozi(cz("Změnit kódy všech středisek (12345 na 23451)?"), false)) return;
  for (int k = 1; k <= Soubor().pocet(); ++k) {
    if (!Soubor().CtiVetuPrimo(k)) return;
    const std::string kod = TextVety(Veta(), stredisko::kKod, 5);
    PisTextVety(Veta(), stredisko::kKod, 5, kod.substr(1, 4) + kod.substr(0, 1));
    PisTextVety(Veta(), stredisko::kDatum, 6, DnesRRMMDD());
    if (!Soubor().PisVetuPrimo(k)) return;
  }
}

void TfCis30::Opis() {
  Nastav();
  if (!reports::OtevriSestavu("CI_OPIS", 132)) return;
  const auto& nastaveni = storage::settings();
  const int naStranu = std::max(1, nastaveni.pageLength);
  std::string firma = nastaveni.firmName.substr(0, 24);
  firma.resize(24, ' ');
  const platform::Date d = platform::clock().today();
  char datum[16];
  std::snprintf(datum, sizeof datum, "%02d.%02d.%02d", d.day % 100, d.month % 100, d.year % 100);
  int strana = 0;
  const std::vector<std::uint8_t> drzena = Veta();
  for (int n = 1; n <= Soubor().pocet(); ++n) {
    if (!Soubor().CtiVetuPrimo(n)) break;
    if ((n - 1) % naStranu == 0) {
      ++strana;
      if (strana > 1 || nastaveni.newPage) reports::PisRadek(std::string(1, reports::kFormFeed));
      reports::PisRadek("");
      reports::PisRadek("");
      char list[8];
      std::snprintf(list, sizeof list, "%3d", strana % 1000);
      reports::PisRadek(firma + std::string(13, ' ') + "TYP: 30 " + std::string(33, ' ') + "L:" + list + " D:" + datum);
      reports::PisRadek("");
      reports::PisRadek(cz("Středisko Název                      Název 2                        T Účet   Čin Pol.Od Pol.Do"));
      reports::PisRadek(std::string(94, '='));
      reports::PisRadek("");
    }
    const auto& v = Veta();
    if (!reports::PisRadek(TextVety(v, stredisko::kKod, 5) + ' ' + TextVety(v, stredisko::kNazev, 30) + ' ' +
                           TextVety(v, stredisko::kNazev2, 30) + ' ' + TextVety(v, stredisko::kTyp, 1) + ' ' +
                           TextVety(v, stredisko::kUcetSkladu, 6) + ' ' + TextVety(v, stredisko::kCinnost, 3) + ' ' +
                           TextVety(v, stredisko::kPolOd, 6) + ' ' + TextVety(v, stredisko::kPolDo, 6)))
      break;
  }
  Veta() = drzena;
  if (reports::ZavriSestavu()) ui::UkazSestavu("CI_OPIS");
}

TfCis30& Strediska() { return PosledniOkno(g_strediska); }

void NastavStrediska() { Strediska().Nastav(); }

int HledejStredisko(const std::string& kod) {
  TfCis30& s = Strediska();
  s.Nastav();
  const int z = s.HledejKod(kod);
  if (z < 1) return z;
  const std::vector<std::uint8_t> drzena = s.Veta();
  const bool nadpis = s.Soubor().CtiVetuPrimo(z) && TextVety(s.Veta(), stredisko::kJenNadpis, 1) != " ";
  s.Veta() = drzena;
  return nadpis ? -z : z;
}

std::string NazevStrediska(const std::string& kod) {
  TfCis30& s = Strediska();
  s.Nastav();
  return s.TextKodu(kod, stredisko::kNazev, 30);
}

bool KontrolaStrediska(std::string& kod, const std::string& ucet) {
  const char prvni = ucet.empty() ? ' ' : ucet[0];
  if (prvni != '5' && prvni != '6' && kod == "00000") return false;
  TfCis30& s = Strediska();
  s.Nastav();
  s.Soubor().ObnovSoubor();
  while (HledejStredisko(kod) < 1) {
    if (s.Vyber(kod) < 1) return true;
    if (TextVety(s.Veta(), stredisko::kJenNadpis, 1) != " ") continue;  // a heading: the list again
    kod = TextVety(s.Veta(), stredisko::kKod, 5);
    return TextVety(s.Veta(), stredisko::kNazev, 30)[0] == ' ';
  }
  return false;
}

bool VyberStrediska(std::string& kod) {
  TfCis30& s = Strediska();
  while (s.Vyber(kod) > 0) {
    const bool nadpis = TextVety(s.Veta(), stredisko::kJenNadpis, 1) != " ";
    const bool bezNazvu = TextVety(s.Veta(), stredisko::kNazev, 30)[0] == ' ';
    if (nadpis) continue;  // a heading is never taken into the code
    kod = TextVety(s.Veta(), stredisko::kKod, 5);
    if (!bezNazvu) break;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Job orders

TfCis36::TfCis36() : TfCiselnik("fCis36", {"CI36.DTA", 20, zakazka::kVelikost, cz("Třídím zakázky")}) {
  g_zakazky = this;
  polozkaMenu(*this, 0, "Opis", [this] { Opis(); });
}

TfCis36::~TfCis36() {
  if (g_zakazky == this) g_zakazky = nullptr;
}

void TfCis36::Deklaruj() {
  OtevriSoub({.soubor = "CI36.DTA",
              .titulek = cz("Zakázky"),
              .velikost = zakazka::kVelikost,
              .radek = 0,
              .barvaFormulare = ui::kWhite,
              .formular = {5, 1, 70, 10},
              .seznam = {1, 1, 140, 22},
              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
              .titulekFormulare = " CI36 ",
              .napovedaSeznamu = cz(" F1-Help  F10=Opis  F4-Nová "),
              .pole = {{cz("Zakázka     "), 20},
                       {cz("Název 1     "), 50},
                       {cz("Název 2     "), 50},
                       {cz("Datum změny "), 6}},
              .sloupce = 0});
  NastavSloupcePoli({1, 2, 3, 4});
  // Job order codes are typed loosely: the search folds whatever the exact-search setting says.
  PresneHledani = false;
}

void TfCis36::Opis() {
  Nastav();
  if (!reports::OtevriSestavu("CI_OPIS", 100)) return;
  std::vector<reports::SloupecSestavy> sloupce;
  for (const auto& s : Sloupce) sloupce.push_back({s.titulek, s.sirka});
  reports::StrankovanaSestava sestava(cz("Činnosti (36)"), sloupce);
  for (int n = 1; n <= Soubor().pocet(); ++n)
    if (!sestava.radek(TextRadku(n).substr(0, 132))) break;
  if (reports::ZavriSestavu()) ui::UkazSestavu("CI_OPIS");
}

TfCis36& Zakazky() { return PosledniOkno(g_zakazky); }

void NastavZakazky() { Zakazky().Nastav(); }

int HledejZakazku(const std::string& kod) {
  NastavZakazky();
  return Zakazky().HledejKod(kod);
}

std::string NazevZakazky(const std::string& kod) {
  TfCis36& z = Zakazky();
  z.Nastav();
  return z.TextKodu(kod, zakazka::kNazev1, 50);
}

bool VyberZakazky(std::string& kod) {
  TfCis36& z = Zakazky();
  while (z.Vyber(kod) > 0) {
    kod = TextVety(z.Veta(), zakazka::kKod, 20);
    if (kod[0] != ' ') break;
  }
  return false;
}

}  // namespace pz::accounting
