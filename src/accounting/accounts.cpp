#include "accounting/accounts.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "ui/dialogs.h"

namespace pz::accounting {

using platform::cz;

namespace {

TfCis10* g_osnova = nullptr;
TfCi2005* g_ciselnik = nullptr;

// Every popup item runs on the list and shows it anew afterwards.
void polozkaMenu(ui::TfSoub& okno, std::size_t k, const std::string& text, std::function<void()> akce) {
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

TfCis10::TfCis10()
    : TfCiselnik("fCis10", {"CI10.DTA", 6, ucet::kVelikost, cz("Třídím seznam účtů")}) {
  g_osnova = this;
  polozkaMenu(*this, 0, cz("Třiď"), [this] { Trid(); });
  polozkaMenu(*this, 1, "Opis", [this] { Opis(); });
  polozkaMenu(*this, 2, cz("Načti ze starého číseníku"), [this] { NactiZCiselniku(); });
}

TfCis10::~TfCis10() {
  if (g_osnova == this) g_osnova = nullptr;
}

void TfCis10::Deklaruj() {
  OtevriSoub({.soubor = "CI10.DTA",
              .titulek = cz("Účtová osnova"),
              .velikost = ucet::kVelikost,
              .radek = 0,
              .barvaFormulare = ui::kWhite,
              .formular = {10, 1, 50, 16},
              .seznam = {1, 1, 80, 22},
              .napovedaFormulare = cz(" F2=zápis Esc=nic "),
              .titulekFormulare = " CI10 ",
              .napovedaSeznamu = cz(" F1-Help F10=Opis F4-Nová "),
              .pole = {{.popis = cz("Účet        "), .sirka = 6, .obrazek = "L", .pocatecni = "000000"},
                       {cz("Název       "), 30},
                       {"Rozvaha MD  ", 3, "Y"},
                       {"Rozvaha Dal ", 3, "Y"},
                       {cz("21Výsl      "), 3, "Y"},
                       {cz("22Výsl      "), 3, "Y"},
                       {cz("24Výsl      "), 3, "Y"},
                       {cz("25Výsl      "), 3, "Y"},
                       {cz("DaňVýsl     "), 1, "X"},
                       {"", 3, "Y"},
                       {"Korekce     ", 1, "X"},
                       {"Saldo       ", 1, "X"},
                       {cz("Datum změny "), 6}},
              .sloupce = 0});
  Pole(10).stav = 0;
  NastavSloupcePoli({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
}

void TfCis10::Trid() {
  Nastav();
  if (!ui::DotazVychozi(cz("Přepsat 24Výsl hodnotami 22Výsl u všech účtů?"), false)) return;
  for (int k = 1; k <= Soubor().pocet(); ++k) {
    if (!Soubor().CtiVetuPrimo(k)) return;
    PisTextVety(Veta(), ucet::kVysl24, 3, TextVety(Veta(), ucet::kVysl22, 3));
    if (!Soubor().PisVetuPrimo(k)) return;
  }
}

void TfCis10::Opis() {
  Nastav();
  if (!reports::OtevriSestavu("CIS10", 132)) return;
  std::vector<reports::SloupecSestavy> sloupce;
  for (const auto& s : Sloupce) sloupce.push_back({s.titulek, s.sirka});
  reports::StrankovanaSestava sestava(cz("Účetová osnova (10)"), sloupce);
  for (int n = 1; n <= Soubor().pocet(); ++n)
    if (!sestava.radek(TextRadku(n).substr(0, 132))) break;
  if (reports::ZavriSestavu()) ui::UkazSestavu("CIS10");
}

int TfCis10::NactiZCiselniku() {
  Nastav();
  TfCi2005& ciselnik = StaryCiselnik();
  int pridano = 0;
  std::string rozpracovany;  // the account being assembled
  std::vector<std::uint8_t> veta;
  auto pripoj = [&] {
    if (rozpracovany.empty()) return;
    Veta() = veta;
    if (Soubor().PridejVetu()) ++pridano;
  };
  ciselnik.Projdi([&](const tCiselnik& c) {
    if (c.ts != "10" || c.p != "6") return;
    const std::string cislo = c.klic.substr(0, 6);
    if (cislo != rozpracovany) {
      pripoj();
      rozpracovany = cislo;
      veta = SablonaVety;
      PisTextVety(veta, ucet::kUcet, 6, cislo);
    }
    if (c.cv == "00") {
      PisTextVety(veta, ucet::kNazev, 30, c.u[0] + c.u[1] + c.u[2] + c.u[3] + c.u[4]);
      PisTextVety(veta, ucet::kDatum, 6, c.rrmmdd);
    } else if (c.cv == "10") {
      PisTextVety(veta, ucet::kRozvahaMD, 3, c.u[0].substr(3, 3));
      PisTextVety(veta, ucet::kRozvahaDal, 3, c.u[0].substr(0, 3));
      PisTextVety(veta, ucet::kVysl21, 3, c.u[1].substr(3, 3));
      PisTextVety(veta, ucet::kVysl22, 3, c.u[1].substr(0, 3));
      PisTextVety(veta, ucet::kDanVysl, 1, c.u[2].substr(0, 1));
      PisTextVety(veta, ucet::kVysl3, 3, c.u[2].substr(3, 3));
      PisTextVety(veta, ucet::kKorekce, 1, c.u[3].substr(5, 1));
      PisTextVety(veta, ucet::kSaldo, 1, c.u[4].substr(5, 1));
    } else if (c.cv == "11") {
      PisTextVety(veta, ucet::kVysl24, 3, c.u[1].substr(3, 3));
      PisTextVety(veta, ucet::kVysl25, 3, c.u[1].substr(0, 3));
    }
  });
  pripoj();
  return pridano;
}

TfCis10& Osnova() { return PosledniOkno(g_osnova); }

void NastavOsnovu() { Osnova().Nastav(); }

int HledejUcet(const std::string& cislo) {
  NastavOsnovu();
  return Osnova().HledejKod(cislo);
}

std::string NazevUctu(const std::string& cislo) {
  TfCis10& o = Osnova();
  o.Nastav();
  return o.TextKodu(cislo, ucet::kNazev, 30);
}

bool KontrolaUctu(std::string& cislo) {
  if (cislo == "000000") return false;
  TfCis10& o = Osnova();
  o.Nastav();
  o.Soubor().ObnovSoubor();
  while (o.HledejKod(cislo) < 1) {
    if (o.Vyber(cislo) < 1) return true;
    cislo = TextVety(o.Veta(), ucet::kUcet, 6);
  }
  return false;
}

bool VyberUctu(std::string& cislo) {
  TfCis10& o = Osnova();
  while (o.Vyber(cislo) > 0) {
    cislo = TextVety(o.Veta(), ucet::kUcet, 6);
    if (TextVety(o.Veta(), ucet::kNazev, 30)[0] != ' ') break;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// The old code list

tCiselnik RozeberCiselnik(const std::vector<std::uint8_t>& v) {
  tCiselnik c;
  c.ts = TextVety(v, 0, 2);
  c.klic = TextVety(v, 3, 6);
  c.p = TextVety(v, 10, 1);
  c.cv = TextVety(v, 12, 2);
  for (std::size_t k = 0; k < 5; ++k) c.u[k] = TextVety(v, 15 + 7 * k, 6);
  c.rrmmdd = TextVety(v, 50, 6);
  return c;
}

std::vector<std::uint8_t> SlozCiselnik(const tCiselnik& c) {
  std::vector<std::uint8_t> v(kVelikostCiselniku, 0);
  PisTextVety(v, 0, 2, c.ts);
  PisTextVety(v, 3, 6, c.klic);
  PisTextVety(v, 10, 1, c.p);
  PisTextVety(v, 12, 2, c.cv);
  for (std::size_t k = 0; k < 5; ++k) PisTextVety(v, 15 + 7 * k, 6, c.u[k]);
  PisTextVety(v, 50, 6, c.rrmmdd);
  return v;
}

TfCi2005::TfCi2005() : TfSoub("fCi2005") { g_ciselnik = this; }

TfCi2005::~TfCi2005() {
  if (g_ciselnik == this) g_ciselnik = nullptr;
}

TfCi2005& StaryCiselnik() { return PosledniOkno(g_ciselnik); }

void TfCi2005::Projdi(const std::function<void(const tCiselnik&)>& vezmi) {
  // A missing code list is not created by looking into it.
  if (storage::VelikostSouboru(storage::DataCesta("CI01.DTA")) < 2 * kVelikostCiselniku) return;
  OtevriSoub({.soubor = "CI01.DTA",
              .titulek = cz(" Číselník "),
              .velikost = kVelikostCiselniku,
              .radek = 0,
              .barvaFormulare = ui::kWhite,
              .formular = {10, 1, 60, 12},
              .seznam = {1, 1, 80, 22},
              .napovedaFormulare = cz(" F2=zápis Esc=nic "),
              .titulekFormulare = cz(" Číselník "),
              .pole = {{"TS", 2},
                       {cz("Klíč"), 6},
                       {"P", 1},
                       {cz("ČV"), 2},
                       {"U1", 6},
                       {"U2", 6},
                       {"U3", 6},
                       {"U4", 6},
                       {"U5", 6},
                       {"RRMMDD", 6}}});
  PovolenNovy = PovolenaOprava = PovolenoMazani = false;
  for (int n = 1; n <= Soubor().pocet(); ++n) {
    if (!Soubor().CtiVetuPrimo(n)) break;
    vezmi(RozeberCiselnik(Veta()));
  }
  TfSoub::Zavri();
}

}  // namespace pz::accounting
