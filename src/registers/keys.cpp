#include "registers/keys.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"

namespace pz::registers {

using platform::cz;

namespace {

constexpr const char* kKlicew = "klicew.dta";
constexpr const char* kNapoveda = "\\pd\\pd";
TfKl* g_klice = nullptr;

std::string dnes() {
  const platform::Date d = platform::clock().today();
  char t[16];
  std::snprintf(t, sizeof t, "%02d.%02d.%02d", d.day % 100, d.month % 100, d.year % 100);
  return t;
}

std::string firma() { return storage::NaSirku(storage::settings().firmName, 24); }

// The old DOS key names: the Kamenický letters, and box drawing turned into plain strokes.
std::string zKamenickeho(std::string t) {
  for (char& c : t) {
    switch (static_cast<unsigned char>(c)) {
      case 0xB3: case 0xB6: case 0xB9: case 0xBA: case 0xC3: case 0xC5: case 0xC7: case 0xCE: c = '|'; break;
      case 0xBB: case 0xBC: case 0xC0: case 0xC1: case 0xC2: case 0xC4: case 0xC8: case 0xC9: case 0xCA:
      case 0xCD: case 0xCF: case 0xD1: case 0xD8: c = '-'; break;
      case 0xBF: case 0xDA: c = ' '; break;
      default: break;
    }
  }
  return storage::ZKamenickeho(t);
}

int cislo(std::string_view t) {
  const std::string s = storage::Orez(t);
  if (s.empty() || s.size() > 3 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  return std::stoi(s);
}

std::string klic(const std::string& nazev, int kam, int prijato, int vydano) {
  std::string v(tKlic::kVelikost, '\0');
  storage::Bytes b(v);
  (void)storage::writeShortString(b, tKlic::kNazev, kSirkaNazvuKlice, storage::NaSirku(nazev, kSirkaNazvuKlice));
  v[tKlic::kKam] = static_cast<char>(kam);
  v[tKlic::kPrijato] = static_cast<char>(prijato);
  v[tKlic::kVydano] = static_cast<char>(vydano);
  return v;
}

}  // namespace

bool ZalozKlice() {
  const std::string cesta = storage::DataCesta(kKlicew);
  if (storage::VelikostSouboru(cesta) >= 2) return true;
  std::string stare, kl, obsah;
  platform::readWholeFile(storage::DataCesta("klice.dta"), stare, platform::Share::DenyNone);
  if (stare.size() <= 1) {
    for (int k = 0; k < kPocetKlicu; ++k) obsah += klic("", 0, 0, 0);
  } else {
    int prijato[kPocetKlicu + 1] = {}, vydano[kPocetKlicu + 1] = {};
    if (platform::readWholeFile(storage::DataCesta("kl.dta"), kl, platform::Share::DenyNone) == platform::kIoOk &&
        kl.size() > 2)
      for (std::size_t o = 0; o + 10 <= kl.size(); o += 10) {
        const storage::ConstBytes v(std::string_view(kl).substr(o, 10));
        const int n = cislo(storage::readShortString(v, 0, 3));
        if (n < 1 || n > kPocetKlicu) continue;
        prijato[n] = cislo(storage::readShortString(v, 4, 2));
        vydano[n] = cislo(storage::readShortString(v, 7, 2));
      }
    std::size_t od = 0;
    // One key per line; a longer file than the 255 keys stops there.
    for (int k = 1; k <= kPocetKlicu && od < stare.size(); ++k) {
      std::size_t konec = stare.find('\n', od);
      if (konec == std::string::npos) konec = stare.size();
      std::string radek = stare.substr(od, konec - od);
      od = konec + 1;
      if (!radek.empty() && radek.back() == '\r') radek.pop_back();
      const std::string nazev = zKamenickeho(storage::NaSirku(radek.substr(0, std::min<std::size_t>(27, radek.size())), 27));
      obsah += klic(nazev, radek.size() > 27 ? cislo(radek.substr(27, 3)) : 0, prijato[k], vydano[k]);
    }
  }
  return platform::writeWholeFile(cesta, obsah) == platform::kIoOk;
}

TfKl::TfKl() : TfSoub("fKl", cz("Klíče")) {
  g_klice = this;
  auto& a = PopupMenu1.items.at(0);
  a.caption = cz("Opis klíčů");
  a.visible = true;
  a.onClick = [this] { Opis(); };
  auto& b = PopupMenu1.items.at(1);
  b.caption = cz("Udelej z něj");
  b.visible = true;
  b.onClick = [this] {
    if (!ui::Dotazy(20, 10, {}, {cz("Nové číslo"), "   "}, "")) return;
    const auto& o = ui::vysledekDialogu();
    if (!o.odpovedi.empty()) Precisluj(cislo(o.odpovedi[0]));
  };
}
TfKl::~TfKl() {
  if (g_klice == this) g_klice = nullptr;
}
TfKl& Klice() { return ui::PosledniOkno(g_klice); }

bool TfKl::NastavKlice() {
  ZalozKlice();
  const bool ok = OtevriSoub({.soubor = kKlicew,
                              .titulek = cz("Klíče"),
                              .velikost = tKlic::kVelikost,
                              .formular = {10, 4, 60, 10},
                              .napovedaSeznamu = cz(" F1=Help Mezera=Oprava Enter=Výběr F10=Menu Esc=Konec "),
                              .pole = {{"Text    ", static_cast<int>(kSirkaNazvuKlice), "X"},
                                       {"Kam     ", 3, "###", 'B'},
                                       {cz("Přijato "), 3, "###", 'B'},
                                       {cz("Vydáno  "), 3, "###", 'B'}},
                              .sloupce = 0});
  Sloupce.assign(1, {" KL", 4, false});
  for (int i = 1; i <= PocetPoli(); ++i)
    Sloupce.push_back({TitulekSloupce(Pole(i).popis, Pole(i).sirka), Pole(i).sirka, false});
  ZapamatujSablonu();
  return ok;
}

void TfKl::NaplnSloupce() {
  if (Bunky.size() < 2) return;
  Bunky[1] = " " + ui::FormatPlainE("###", Soubor().posledni());
  for (int i = 1; i <= PocetPoli() && static_cast<std::size_t>(i) + 1 < Bunky.size(); ++i)
    Bunky[static_cast<std::size_t>(i) + 1] = ui::ZobrazPole(Pole(i).typ, static_cast<std::size_t>(Pole(i).sirka), Puvodni(), Pole(i).offset);
}

int TfKl::Vyber() {
  NastavKlice();
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = 27;
  showModal();
  const int vybrany = KoncovaKlavesa == 13 && Radek >= 1 && Radek <= PocetRadku ? Radek : 0;
  Zavri();
  return vybrany;
}

void TfKl::NaF1() { ui::Napoveda(kNapoveda, cz("Klíče")); }
void TfKl::F1Pole(int i) { ui::Napoveda(kNapoveda, i == 1 ? cz("Klíče peněžního deníku") : cz("Směřování klíčů")); }

void TfKl::NaF4() {
  if (Soubor().pocet() >= kPocetKlicu) return;  // a key is its position: there are 255 of them
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfKl::ZmenaPole(int i) {
  if (i != 2) return;
  // A direction is a key number; anything that does not read as one is no direction.
  ui::PoleSouboru& p = Pole(2);
  const std::string t = storage::ZarovnejVpravo(storage::BezMezer(p.text.substr(0, 3)), 3);
  const int n = cislo(t);
  p.text = (n > 0 || t == "  0") && ui::FormatPlainE("###", n) == t ? t : "   ";
  p.chyba = false;
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

bool TfKl::Precisluj(int nove) {
  const int stare = Radek;
  const int n = Soubor().pocet();
  if (nove < 1 || nove > kPocetKlicu || stare < 1 || stare > n || nove == stare) return false;
  std::vector<std::uint8_t> cil;
  if (nove <= n && CtiVetuPrimo(nove)) {
    cil = Veta();
    const std::string nazev = storage::readShortString(cil, tKlic::kNazev, kSirkaNazvuKlice);
    // A used key at the target would be overwritten without a trace.
    if (nazev.compare(0, 3, "   ") != 0) {
      ui::Zprava(cz("Klíč s tímto číslem je už použit"));
      return false;
    }
  }
  if (!CtiVetuPrimo(stare)) return false;
  const std::vector<std::uint8_t> presouvany = Veta();
  // A target past the end: the file grows with unused keys up to it.
  for (int k = n + 1; k < nove; ++k) {
    Veta() = SablonaVety;
    if (!PisVetuPrimo(k)) return false;
  }
  Veta() = presouvany;
  if (!PisVetuPrimo(nove)) return false;
  Veta() = SablonaVety;
  if (!PisVetuPrimo(stare)) return false;
  Soubor().ObnovSoubor();
  for (int k = 1; k <= Soubor().pocet(); ++k) {
    if (!CtiVetuPrimo(k)) break;
    if (Veta()[tKlic::kKam] != stare) continue;
    Veta()[tKlic::kKam] = static_cast<std::uint8_t>(nove);
    PisVetuPrimo(k);
  }
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(nove);
  ui::ZpravaTicha(cz("Řady pokladen, vlastní firma a bankovní konta mají dál staré číslo klíče"));
  return true;
}

void TfKl::Opis() {
  if (!reports::OtevriSestavu("klice", 80)) return;
  const auto& s = storage::settings();
  const int naStranu = std::max(1, s.pageLength - 5);
  int radku = naStranu, strana = 0;
  const std::vector<std::uint8_t> drzena = Veta();
  for (int k = 1; k <= std::min(Soubor().pocet(), kPocetKlicu); ++k) {
    if (!CtiVetuPrimo(k)) break;
    const auto& v = Veta();
    const std::string nazev = storage::readShortString(v, tKlic::kNazev, kSirkaNazvuKlice);
    if (nazev.compare(0, 3, "   ") == 0) continue;
    if (radku >= naStranu) {
      radku = 0;
      ++strana;
      reports::PisRadek(std::string(1, reports::kFormFeed));
      reports::PisRadek("");
      reports::PisRadek(firma() + std::string(11, ' ') + cz("Opis klíčů") + std::string(11, ' ') + "D:" + dnes() +
                        " List:" + ui::FormatPlainE("###", strana));
      reports::PisRadek("");
      reports::PisRadek(" KL Text                       kam prij vyd");
      reports::PisRadek(std::string(80, '='));
    }
    ++radku;
    if (!reports::PisRadek(ui::FormatPlainE("###", k) + " " + storage::NaSirku(nazev, 27) +
                           ui::FormatPlainE("###", v[tKlic::kKam]) + "  " + ui::FormatPlainE("###", v[tKlic::kPrijato]) +
                           " " + ui::FormatPlainE("###", v[tKlic::kVydano]) + " "))
      break;
  }
  Veta() = drzena;
  if (reports::ZavriSestavu()) ui::UkazSestavu("klice");
}

int CisloKlice(const std::string& text) {
  const int n = cislo(text);
  return n >= 1 && n <= kPocetKlicu ? n : 0;
}

std::string NazevKlice(int n) {
  const std::string nic(kSirkaNazvuKlice, ' ');
  if (n < 1 || n > kPocetKlicu) return nic;
  std::string obsah;
  if (platform::readWholeFile(storage::DataCesta(kKlicew), obsah, platform::Share::DenyNone) != platform::kIoOk)
    return nic;
  const std::size_t o = static_cast<std::size_t>(n - 1) * tKlic::kVelikost;
  if (o + tKlic::kVelikost > obsah.size()) return nic;
  return storage::NaSirku(
      storage::readShortString(storage::ConstBytes(std::string_view(obsah).substr(o, tKlic::kVelikost)), 0, kSirkaNazvuKlice),
      kSirkaNazvuKlice);
}

int VyberKlic() { return Klice().Vyber(); }

}  // namespace pz::registers
