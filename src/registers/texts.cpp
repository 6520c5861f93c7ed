#include "registers/texts.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/fields.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"

namespace pz::registers {

using platform::cz;

namespace {

TfTXT1* g_texty = nullptr;

std::string dnes() {
  const platform::Date d = platform::clock().today();
  char t[16];
  std::snprintf(t, sizeof t, "%02d.%02d.%02d", d.day % 100, d.month % 100, d.year % 100);
  return t;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts lists

TfTXT1::TfTXT1() : TfSoub("fTXT1", cz("Seznam textů")) {
  g_texty = this;
  auto& a = PopupMenu1.items.at(0);
  a.caption = "Opis";
  a.visible = true;
  a.onClick = [this] { Opis(); };
}
TfTXT1::~TfTXT1() {
  if (g_texty == this) g_texty = nullptr;
}
TfTXT1& Texty() { return ui::PosledniOkno(g_texty); }

bool TfTXT1::NastavTexty(const std::string& soubor, const std::string& titulek) {
  titulek_ = titulek;
  const bool ok = OtevriSoub({.soubor = soubor,
                              .titulek = cz("Seznam textů"),
                              .velikost = 31,
                              .formular = {10, 4, 60, 8},
                              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
                              .titulekFormulare = " " + titulek + " ",
                              .napovedaSeznamu = cz(" F1-Help F4-Nová F10-Opis "),
                              .pole = {{.popis = titulek + " ", .sirka = 30, .obrazek = " ", .radek = 3,
                                        .bocniText = cz("Text                    Účet  "),
                                        .bocniSloupec = static_cast<int>(titulek.size()) + 3}},
                              .sloupce = 0});
  Sloupce = {{"    ", 4, false}, {TitulekSloupce(titulek + " ", 30), 30, false}};
  ZapamatujSablonu();
  return ok;
}

void TfTXT1::NaplnSloupce() {
  if (Bunky.size() < 3) return;
  Bunky[1] = ui::FormatPlainE("####", Soubor().posledni());
  Bunky[2] = ui::ZobrazPole(Pole(1).typ, 30, Puvodni(), 0);
}

std::string TfTXT1::Vyber(const std::string& soubor, const std::string& titulek) {
  NastavTexty(soubor, titulek);
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = 27;
  showModal();
  std::string text = VybranyText(0, 30);
  Zavri();
  return text;
}

void TfTXT1::NaF4() {
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfTXT1::NaF10() {
  KoncovaKlavesa = 0;  // F10 is the listing itself; the popup menu holds it too
  Opis();
}

void TfTXT1::PriMazani() { Veta() = SablonaVety; }

void TfTXT1::Opis() {
  if (!reports::OtevriSestavu("TEXTY", 132)) return;
  const int naStranu = std::max(1, storage::settings().pageLength);
  int strana = 0;
  const std::vector<std::uint8_t> drzena = Veta();
  for (int n = 1; n <= Soubor().pocet(); ++n) {
    if (!CtiVetuPrimo(n)) break;
    if ((n - 1) % naStranu == 0) {
      ++strana;
      reports::PisRadek(std::string(1, reports::kFormFeed));
      reports::PisRadek("");
      reports::PisRadek("");
      reports::PisRadek(storage::NaSirku(storage::settings().firmName, 24) + std::string(13, ' ') + titulek_ + " " + std::string(33, ' ') + "L:" +
                        ui::FormatPlainE("###", strana) + " D:" + dnes());
      reports::PisRadek("");
      reports::PisRadek(titulek_);
      reports::PisRadek(std::string(94, '='));
      reports::PisRadek("");
    }
    if (!reports::PisRadek(storage::readShortString(Veta(), 0, 30))) break;
  }
  Veta() = drzena;
  if (reports::ZavriSestavu()) ui::UkazSestavu("TEXTY");
}

}  // namespace pz::registers
