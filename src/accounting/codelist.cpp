#include "accounting/codelist.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/filehelpers.h"
#include "storage/locks.h"
#include "storage/params.h"
#include "storage/sortfile.h"
#include "ui/dialogs.h"
#include "ui/keys.h"

namespace pz::accounting {

using platform::cz;

std::string TextVety(const std::vector<std::uint8_t>& veta, std::size_t offset, int sirka) {
  std::string t(static_cast<std::size_t>(sirka), ' ');
  if (offset + static_cast<std::size_t>(sirka) + 1 > veta.size()) return t;
  const int delka = std::min<int>(veta[offset], sirka);
  for (int k = 0; k < delka; ++k) t[static_cast<std::size_t>(k)] = static_cast<char>(veta[offset + 1 + static_cast<std::size_t>(k)]);
  return t;
}

void PisTextVety(std::vector<std::uint8_t>& veta, std::size_t offset, int sirka, std::string_view text) {
  if (offset + static_cast<std::size_t>(sirka) + 1 > veta.size()) return;
  veta[offset] = static_cast<std::uint8_t>(sirka);
  for (int k = 0; k < sirka; ++k) {
    const auto i = static_cast<std::size_t>(k);
    veta[offset + 1 + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
  }
}

std::string DnesRRMMDD() {
  const platform::Date d = platform::clock().today();
  char t[16];
  std::snprintf(t, sizeof t, "%02d%02d%02d", d.year % 100, d.month % 100, d.day % 100);
  return t;
}

TfCiselnik::TfCiselnik(std::string nazev, PopisCiselniku popis)
    : TfSoub(std::move(nazev)), popis_(std::move(popis)) {}

void TfCiselnik::Nastav() {
  if (nastaveno_) return;
  Deklaruj();
  nastaveno_ = true;
  // The template: every field's default, today as the change date.
  Veta().assign(static_cast<std::size_t>(popis_.velikost), 0);
  for (int i = 1; i <= PocetPoli(); ++i) {
    ui::PoleSouboru& p = Pole(i);
    ui::UlozPole(p.typ, static_cast<std::size_t>(p.sirka), p.text, Veta(), p.offset);
  }
  const ui::PoleSouboru& d = Pole(PoleData());
  PisTextVety(Veta(), d.offset, d.sirka, DnesRRMMDD());
  SablonaVety = Veta();
  // Open from now on: the end of the task closes it.
  registrujZavreni();
}

std::string TfCiselnik::TextKodu(std::string_view kod, std::size_t offset, int sirka) {
  const int z = HledejKod(kod);
  if (z < 1) return std::string(static_cast<std::size_t>(sirka), ' ');
  const std::vector<std::uint8_t> drzena = Veta();
  std::string text = Soubor().CtiVetuPrimo(z) ? TextVety(Veta(), offset, sirka) : std::string(static_cast<std::size_t>(sirka), ' ');
  Veta() = drzena;
  return text;
}

std::string TfCiselnik::KodVety(const std::vector<std::uint8_t>& veta) const {
  return TextVety(veta, 0, popis_.sirkaKodu);
}

int TfCiselnik::HledejKod(std::string_view kod) {
  std::string hledany(kod.substr(0, static_cast<std::size_t>(popis_.sirkaKodu)));
  hledany.resize(static_cast<std::size_t>(popis_.sirkaKodu), ' ');
  const int n = Soubor().pocet();
  if (n < 1 || hledany == std::string(hledany.size(), ' ')) return -1;
  const std::vector<std::uint8_t> drzena = Veta();
  int lo = 1, hi = n, kde = 1, vysledek = 0;
  bool zaKoncem = false;
  while (lo <= hi) {
    kde = (lo + hi) / 2;
    if (!Soubor().CtiVetuPrimo(kde)) break;
    const std::string k = KodVety(Veta());
    if (k == hledany) {
      vysledek = kde;
      break;
    }
    if (k < hledany) lo = kde + 1;
    else hi = kde - 1;
    zaKoncem = lo > n;
  }
  Veta() = drzena;
  if (vysledek > 0) return vysledek;
  if (hi < 1 || zaKoncem) return -1;
  return -kde;
}

void TfCiselnik::registrujZavreni() {
  storage::NechanoOtevrene(name(), [this] { ZavriSeznam(); });
}

int TfCiselnik::Vyber(std::string_view kod) {
  Nastav();
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  const int h = HledejKod(kod);
  int pozice = std::abs(h);
  // Before the first code the list starts at the top; after the last it ends at the bottom.
  if (h == -1 && PocetRadku > 0) {
    std::string hledany(kod.substr(0, static_cast<std::size_t>(popis_.sirkaKodu)));
    hledany.resize(static_cast<std::size_t>(popis_.sirkaKodu), ' ');
    Soubor().CtiVetuPrimo(PocetRadku);
    pozice = KodVety(Veta()) < hledany ? PocetRadku : 1;
  }
  Sestav();
  JdiNa(pozice);
  showModal();
  int vybrany = 0;
  if (KoncovaKlavesa == ui::kVkReturn && Radek >= 1 && Radek <= Soubor().pocet()) {
    CtiVetu(Radek);
    vybrany = Soubor().posledni();
  }
  Zavri();
  return vybrany;
}

void TfCiselnik::Ukaz() {
  Nastav();
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(std::max(1, Radek));
  showModal();
  Zavri();
}

void TfCiselnik::Zavri() {
  // Marks, position and column widths as every list keeps them; the file stays open.
  TfRol::Zavri();
  if (nastaveno_) registrujZavreni();
}

bool TfCiselnik::PotrebujeTrideni() {
  const int n = Soubor().pocet();
  if (n < 1) return false;
  const std::vector<std::uint8_t> drzena = Veta();
  std::string predchozi;
  bool potreba = false;
  for (int k = 1; k <= n && !potreba; ++k) {
    if (!Soubor().CtiVetuPrimo(k)) break;
    const std::string kod = KodVety(Veta());
    potreba = kod == std::string(kod.size(), ' ') || (k > 1 && kod < predchozi);
    predchozi = kod;
  }
  Veta() = drzena;
  return potreba;
}

bool TfCiselnik::setrid() {
  const std::string cesta = Soubor().cesta();
  // The work file lies beside the record file, so that the replacement is one rename.
  const std::string pracovni = cesta.substr(0, cesta.size() - 1) + "$";
  const auto kod = [this](std::span<const std::uint8_t> v) { return KodVety(std::vector<std::uint8_t>(v.begin(), v.end())); };
  const int stav = storage::SetridVety(
      cesta, popis_.velikost, [&](std::span<const std::uint8_t> v, std::int32_t) { return kod(v); }, pracovni,
      storage::kDelkaKlice, {}, [&](std::span<const std::uint8_t> v) {
        const std::string k = kod(v);
        return k != std::string(k.size(), ' ');
      });
  if (stav != storage::kStavSetrideno) return false;
  // The window's own open goes; the replacement happens while nobody else has come in.
  Soubor().ZavriSoubor();
  if (!storage::IfVolny(cesta).empty() || storage::NahradSoubor(pracovni, cesta) != 0) {
    platform::removeFile(pracovni);
    return false;
  }
  zrusPoradi();
  return true;
}

void TfCiselnik::ZavriSeznam() {
  if (!nastaveno_) return;
  if (Soubor().otevren() && PotrebujeTrideni() && storage::IfVolny(Soubor().cesta()).empty() &&
      storage::Premkni(Soubor().cesta())) {
    ui::Blik(popis_.zpravaTrideni);
    setrid();
    ui::BlikKonec();
  }
  TfSoub::Zavri();
  nastaveno_ = false;
}

int TfCiselnik::Zatrid(int zaznam) {
  const int n = Soubor().pocet();
  if (zaznam < 1 || zaznam > n || !Soubor().CtiVetuPrimo(zaznam)) return zaznam;
  const std::vector<std::uint8_t> veta = Veta();
  const std::string kod = KodVety(veta);
  bool blik = false;
  auto posun = [&](int z, int na) {
    if (!blik) ui::Blik(cz("Zatřizuji větu"));
    blik = true;
    Soubor().PisVetuPrimo(na);
    (void)z;
  };
  int kde = zaznam;
  // Up while the record before sorts after it (a new record lands after equal codes)...
  while (kde > 1 && Soubor().CtiVetuPrimo(kde - 1) && KodVety(Veta()) > kod) {
    posun(kde - 1, kde);
    --kde;
  }
  // ...otherwise down past every following record that sorts before it.
  if (kde == zaznam)
    while (kde < n && Soubor().CtiVetuPrimo(kde + 1) && KodVety(Veta()) < kod) {
      posun(kde + 1, kde);
      ++kde;
    }
  Veta() = veta;
  if (kde != zaznam) Soubor().PisVetuPrimo(kde);
  if (blik) ui::BlikKonec();
  return kde;
}

bool TfCiselnik::Volno(const char* zprava) {
  if (!storage::IfVolny(Soubor().cesta()).empty()) {
    ui::Zprava(cz(zprava));
    return false;
  }
  // Records move by their place in the file: a sorted view (a click on a column title) would no
  // longer match them, so the list goes back to file order, on the same record, and the order
  // files go.
  ZpetNaSoubor();
  zrusPoradi();
  return true;
}

void TfCiselnik::zrusPoradi() {
  const std::string cesta = Soubor().cesta();
  bool jsou = false;
  for (int i = 1; i <= storage::kPoradi; ++i)
    jsou = jsou || platform::fileExists(storage::RecordFile::CestaPoradi(cesta, i));
  if (!jsou) return;
  // Open order files cannot be removed: the file is opened again without them.
  const bool otevren = Soubor().otevren();
  const std::string jmeno = Soubor().jmeno();
  const std::vector<std::uint8_t> drzena = Veta();
  if (otevren) Soubor().ZavriSoubor();
  for (int i = 1; i <= storage::kPoradi; ++i) platform::removeFile(storage::RecordFile::CestaPoradi(cesta, i));
  if (otevren) Soubor().OtevriSoubor(jmeno, popis_.velikost);
  Veta() = drzena;
}

void TfCiselnik::NaF4() {
  if (!Volno("Pozor, záznam se nepřidal, někdo právě pracuje s číselníkem")) return;
  const int pred = Soubor().pocet();
  Veta() = SablonaVety;
  TfSoub::NaF4();
  if (Soubor().pocet() <= pred) return;
  const int kde = Zatrid(Soubor().pocet());
  PocetRadku = Soubor().pocet();
  JdiNa(kde);
}

void TfCiselnik::Oprav() {
  if (Radek < 1 || Radek > PocetRadku) return;
  if (!Volno("Pozor, opravy se neprovedly, někdo právě pracuje s číselníkem")) return;
  const bool bylo = Zmeneno;
  Zmeneno = false;
  TfSoub::Oprav();
  if (Zmeneno) JdiNa(Zatrid(Radek));
  Zmeneno = Zmeneno || bylo;
}

void TfCiselnik::NaF8() {
  if (Radek < 1 || Radek > PocetRadku) return;
  if (!Volno("Pozor, záznam se nezrušil, někdo právě pracuje s číselníkem")) return;
  TfSoub::NaF8();
  JdiNa(Zatrid(Radek));
}

void TfCiselnik::PriMazani() {
  // The deleted record is the template with a blank code and today's date.
  Veta() = SablonaVety;
  PisTextVety(Veta(), 0, popis_.sirkaKodu, "");
  const ui::PoleSouboru& d = Pole(PoleData());
  PisTextVety(Veta(), d.offset, d.sirka, DnesRRMMDD());
}

void TfCiselnik::Prijmi(int i) {
  NastavText(PoleData(), DnesRRMMDD());
  TfSoub::Prijmi(i);
}

void TfCiselnik::NastavSloupcePoli(const std::vector<int>& pole) {
  sloupcePoli_ = pole;
  Sloupce.clear();
  for (int i : pole) {
    const ui::PoleSouboru& p = Pole(i);
    std::string t = p.popis.substr(0, static_cast<std::size_t>(p.sirka));
    t.resize(static_cast<std::size_t>(p.sirka), ' ');
    Sloupce.push_back({t, p.sirka, false});
  }
}

void TfCiselnik::NaplnSloupce() {
  for (std::size_t c = 0; c < sloupcePoli_.size() && c + 1 < Bunky.size(); ++c) {
    const ui::PoleSouboru& p = Pole(sloupcePoli_[c]);
    Bunky[c + 1] = ui::ZobrazPole(p.typ, static_cast<std::size_t>(p.sirka), Puvodni(), p.offset);
  }
}

}  // namespace pz::accounting
