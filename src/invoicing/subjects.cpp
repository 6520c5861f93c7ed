#include "invoicing/subjects.h"

#include "platform/text.h"
#include "storage/fields.h"
#include "storage/recordfile.h"
#include "storage/textutil.h"

namespace pz::invoicing {

using platform::cz;

namespace {

Predmet zVety(storage::ConstBytes v) {
  using P = tPredmet;
  Predmet p;
  p.cislo = storage::Orez(storage::readShortString(v, P::kCislo, 4));
  p.nazev = storage::readShortString(v, P::kNazev, 30);
  p.nomenklatura = storage::readShortString(v, P::kNomenklatura, 9);
  p.mj = storage::readShortString(v, P::kMj, 4);
  p.cena = storage::readReal48(v, P::kCena);
  p.sazba = storage::readReal48(v, P::kSazba);
  p.stredisko = storage::readShortString(v, P::kStredisko, 5);
  p.ucet = storage::readShortString(v, P::kUcet, 6);
  return p;
}

}  // namespace

TfPredmety::TfPredmety() : TfSoub("fPredmety", cz("Předměty fakturace")) {}

bool TfPredmety::Otevri() {
  using P = tPredmet;
  const bool ok = OtevriSoub(
      {.soubor = "predmety.dta",
       .titulek = cz("Předměty fakturace"),
       .velikost = P::kVelikost,
       .formular = {8, 4, 64, 14},
       .napovedaFormulare = cz(" F2=zápis na disk  Esc=ven "),
       .titulekFormulare = cz(" Předmět fakturace "),
       .napovedaSeznamu = cz(" F4=přidej  Mezera=oprav  F8=zruš  Enter=vyber  Esc=konec "),
       .pole = {{.popis = cz("Číslo "), .sirka = 4, .obrazek = "X", .offset = P::kCislo},
                {.popis = cz("Název "), .sirka = 30, .obrazek = "X", .offset = P::kNazev},
                {.popis = cz("MJ "), .sirka = 4, .obrazek = "X", .offset = P::kMj},
                {.popis = cz("Cena MJ "), .sirka = 13, .obrazek = "#########.##-", .ulozeni = 'R', .offset = P::kCena},
                {.popis = cz("% DPH "), .sirka = 4, .obrazek = "##.#", .ulozeni = 'R', .offset = P::kSazba},
                {.popis = cz("Zúčt.střed. "), .sirka = 5, .obrazek = "X", .offset = P::kStredisko},
                {.popis = cz("Tržbový účet "), .sirka = 6, .obrazek = "X", .offset = P::kUcet},
                {.popis = cz("Nomenklatura "), .sirka = 9, .obrazek = "X", .offset = P::kNomenklatura}}});
  EnterOpravuje = false;
  ZapamatujSablonu();
  return ok;
}

std::optional<Predmet> TfPredmety::Vyber() {
  if (!Otevri()) return std::nullopt;
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = ui::kVkEscape;
  showModal();
  std::optional<Predmet> p;
  if (KoncovaKlavesa == ui::kVkReturn && Radek >= 1 && Radek <= Soubor().pocet()) {
    CtiVetu(Radek);
    p = zVety(Veta());
    if (p->cislo.empty()) p.reset();  // a deleted subject
  }
  Zavri();
  return p;
}

void TfPredmety::NaF4() {
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfPredmety::PriMazani() { Veta() = SablonaVety; }

std::optional<Predmet> NajdiPredmet(const std::string& cislo) {
  const std::string hledane = storage::Orez(cislo);
  if (hledane.empty()) return std::nullopt;
  storage::RecordFile f;
  f.BezZamku();
  if (!f.OtevriSoubor("predmety.dta", tPredmet::kVelikost)) return std::nullopt;
  std::optional<Predmet> nalez;
  for (int n = 1; n <= f.pocet() && !nalez; ++n) {
    if (!f.CtiVetuPrimo(n)) break;
    Predmet p = zVety(f.veta());
    if (p.cislo == hledane) nalez = std::move(p);
  }
  f.ZavriSoubor();
  return nalez;
}

std::optional<Predmet> VyberPredmet() {
  TfPredmety okno;
  return okno.Vyber();
}

TfPoTexty::TfPoTexty() : TfSoub("fPoTexty", cz("Předdefinované texty")) {}

std::string TfPoTexty::Vyber() {
  using T = tPoText;
  if (!OtevriSoub({.soubor = "potexty.dta",
                   .titulek = cz("Předdefinované texty"),
                   .velikost = T::kVelikost,
                   .formular = {10, 4, 60, 8},
                   .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
                   .titulekFormulare = cz(" Text "),
                   .napovedaSeznamu = cz(" F4=přidej  Mezera=oprav  F8=zruš  Enter=vyber  Esc=konec "),
                   .pole = {{.popis = cz("Kód "), .sirka = 4, .obrazek = "X", .offset = T::kKod},
                            {.popis = cz("Text "), .sirka = 30, .obrazek = "X", .offset = T::kText}}}))
    return {};
  EnterOpravuje = false;
  ZapamatujSablonu();
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = ui::kVkEscape;
  showModal();
  std::string text;
  if (KoncovaKlavesa == ui::kVkReturn && Radek >= 1 && Radek <= Soubor().pocet()) {
    CtiVetu(Radek);
    text = storage::Orez(storage::readShortString(Veta(), T::kText, 30));
  }
  Zavri();
  return text;
}

void TfPoTexty::NaF4() {
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfPoTexty::PriMazani() { Veta() = SablonaVety; }

std::string VyberPoText() {
  TfPoTexty okno;
  return okno.Vyber();
}

}  // namespace pz::invoicing
