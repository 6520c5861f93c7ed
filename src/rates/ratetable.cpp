#include "rates/ratetable.h"

#include <algorithm>
#include <optional>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/layout.h"
#include "storage/locks.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/sortfile.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::rates {

using platform::cz;

namespace {

constexpr const char* kSoubor = "kursy.dta";
constexpr int kPoleKodu = 1, kPoleData = 3, kPoleMnozstvi = 4, kPoleAnalytiky = 5;
TfKursy* g_kursy = nullptr;

std::string kod(const std::string& veta) {
  return storage::readShortString(storage::ConstBytes(std::string_view(veta)), tKurs::kKod, 3);
}
std::string datum(const std::string& veta) {
  return storage::readShortString(storage::ConstBytes(std::string_view(veta)), tKurs::kDatum, 6);
}

// An entered date as it is stored (DDMMYY), blanks for an empty entry; nullopt when it is no date.
std::optional<std::string> zadaneDatum(const std::string& text) {
  const std::string t = storage::BezMezer(text);
  if (t.empty()) return std::string(6, ' ');
  return ui::CtiDatum('d', t);
}

}  // namespace

std::string KlicData(const std::string& ddmmrr) {
  const auto den = ui::RozeberDatum('d', ddmmrr);
  if (!den) return std::string(8, ' ');
  return ui::UlozenyDatum('Q', *den);
}

TfKursy::TfKursy() : TfSoub("fKursy", cz("Kurzy")) {
  g_kursy = this;
  auto& a = PopupMenu1.items.at(0);
  a.caption = cz("Třídit kursy");
  a.visible = true;
  a.onClick = [this] { NaF10(); };
  auto& b = PopupMenu1.items.at(1);
  b.caption = cz("Oprav datum - 21 století");
  b.visible = true;
  b.onClick = [this] { OpravDatum(); };
}
TfKursy::~TfKursy() {
  if (g_kursy == this) g_kursy = nullptr;
}
TfKursy& Kursy() { return ui::PosledniOkno(g_kursy); }

bool TfKursy::NastavKursy() {
  const std::string cesta = storage::DataCesta(kSoubor);
  if (storage::VelikostSouboru(cesta) > 0)
    storage::PrevedSoubor(cesta, cesta, storage::ProgCesta("dlib\\kursyold.pol"), storage::ProgCesta("dlib\\kursy.pol"));
  const bool ok = OtevriSoub(
      {.soubor = kSoubor,
       .titulek = cz("Kurzy"),
       .velikost = tKurs::kVelikost,
       .formular = {10, 4, 50, 11},
       .napovedaFormulare = cz(" F2=zápis Esc=ven "),
       .titulekFormulare = " Kurzy ",
       .napovedaSeznamu = cz("    Enter,F4-Nový, Mezera-Oprava F8-Ruš F10-Seřaď"),
       .pole = {{.popis = cz("Kód měny : "), .sirka = 3, .obrazek = "X", .offset = tKurs::kKod},
                {.popis = "Kurz     : ", .sirka = 14, .obrazek = "###.##########", .ulozeni = 'R', .offset = tKurs::kKurz},
                {.popis = "Datum :    ", .sirka = 8, .obrazek = "d", .offset = tKurs::kDatum},
                {.popis = cz("Množství : "), .sirka = 5, .obrazek = "#####", .ulozeni = 'W', .offset = tKurs::kMnozstvi,
                 .pocatecni = "    1"},
                {.popis = "Analytika: ", .sirka = 3, .obrazek = "L", .offset = tKurs::kAnalytika, .pocatecni = "000"}},
       .sloupce = 0});
  Sloupce = {{cz("  Kód      Kurz      DD.MM.RR  Množst. Anal.  "), 46, false}};
  ZapamatujSablonu();
  return ok;
}

void TfKursy::NaplnSloupce() {
  if (Bunky.size() < 2) return;
  const auto& v = Puvodni();
  const std::string d = storage::readShortString(v, tKurs::kDatum, 6);
  Bunky[1] = "  " + storage::NaSirku(storage::readShortString(v, tKurs::kKod, 3), 3) +
             ui::FormatR(" ###.##########", storage::readReal48Bytes(v, tKurs::kKurz)) + " " +
             (storage::Orez(d).empty() ? std::string(8, ' ') : ui::ZobrazDatum('d', d)) + "   " +
             ui::FormatPlainE("#####   ", storage::readU16(v, tKurs::kMnozstvi)) +
             storage::readShortString(v, tKurs::kAnalytika, 3);
}

int TfKursy::Vyber() {
  NastavKursy();
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(std::max(1, PocetRadku));
  KoncovaKlavesa = 27;
  showModal();
  int vybrany = 0;
  vybrana_.clear();
  if (KoncovaKlavesa == 13 && Radek >= 1 && Radek <= PocetRadku) {
    CtiVetu(Radek);
    vybrany = Soubor().posledni();
    vybrana_ = Veta();
  }
  Zavri();
  return vybrany;
}

std::string TfKursy::VybranyKod() const {
  return vybrana_.empty() ? std::string() : storage::readShortString(vybrana_, tKurs::kKod, 3);
}
double TfKursy::VybranyKurz() const { return vybrana_.empty() ? 0.0 : storage::readReal48(vybrana_, tKurs::kKurz); }

void TfKursy::NaF1() { ui::Napoveda("DZ", "Kurs"); }

void TfKursy::NaF4() {
  Veta() = SablonaVety;
  novy_ = true;
  TfSoub::NaF4();
  novy_ = false;
}

void TfKursy::Oprav() {
  novy_ = false;
  TfSoub::Oprav();
}

void TfKursy::ZmenaPole(int i) {
  ui::PoleSouboru& p = Pole(i);
  if (i == kPoleKodu) {
    p.text = storage::VelkaPismena(p.text);
    if (novy_) {
      // A new rate takes the units and analytic code of the latest rate of its currency.
      std::string obsah;
      platform::readWholeFile(Soubor().cesta(), obsah, platform::Share::DenyNone);
      const std::string hledany = storage::NaSirku(p.text, 3);
      for (std::size_t o = obsah.size() / tKurs::kVelikost; o-- > 0;) {
        const std::string v = obsah.substr(o * tKurs::kVelikost, tKurs::kVelikost);
        if (storage::VelkaPismena(storage::NaSirku(kod(v), 3)) != hledany) continue;
        const storage::ConstBytes b{std::string_view(v)};
        NastavText(kPoleMnozstvi, ui::FormatPlainE("#####", storage::readU16(b, tKurs::kMnozstvi)));
        NastavText(kPoleAnalytiky, storage::readShortString(b, tKurs::kAnalytika, 3));
        break;
      }
    }
  } else if (i == kPoleData) {
    const auto d = zadaneDatum(p.text);
    if (!d) {
      ui::Zprava(cz("Chybné datum !"));
      p.text = std::string(8, ' ');
      p.chyba = true;
    } else {
      p.text = storage::Orez(*d).empty() ? std::string(8, ' ') : ui::ZobrazDatum('d', *d);
    }
  } else if (i == kPoleMnozstvi) {
    const int n = ui::TextNaCele(p.text);
    if (n < 1 || n > 1000) p.text = "    1";
    p.chyba = false;
  }
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

// Replaces the whole file by `obsah` through a work file beside it, while this station holds it
// for writing; the window's own open is given up meanwhile and taken again afterwards.
bool TfKursy::prepis(const std::string& obsah) {
  const std::string cesta = Soubor().cesta();
  const std::string pracovni = cesta.substr(0, cesta.size() - 1) + "$";
  bool ok = platform::writeWholeFile(pracovni, obsah) == platform::kIoOk;
  ok = ok && storage::NahradSoubor(pracovni, cesta) == 0;
  if (!ok) platform::removeFile(pracovni);
  return ok;
}

void TfKursy::NaF8() {
  if (PocetRadku < 1) return;
  const std::string cesta = Soubor().cesta();
  if (!storage::IfVolny(cesta).empty()) {
    ui::Zprava(cz("Se souborem se pracuje"));
    return;
  }
  if (!ui::Dotazy(10, 8, {},
                  {cz("Rušení intervalu kurzů - zadejte datum od "), "        ",
                   "                                       do ", "        ",
                   cz("Rušení vybrané věty - nezadávejte žádné datum"), ""},
                  cz(" Rušení  ")))
    return;
  const auto& o = ui::vysledekDialogu().odpovedi;
  SmazInterval(o.size() > 0 ? o[0] : "", o.size() > 1 ? o[1] : "");
}

bool TfKursy::SmazInterval(const std::string& od, const std::string& do_) {
  const auto dOd = zadaneDatum(od), dDo = zadaneDatum(do_);
  if (!dOd || !dDo) {
    ui::Zprava(cz("Chybné datum !"));
    return false;
  }
  const int aktualni = Radek >= 1 && Radek <= PocetRadku ? Soubor().CisloZPoradi(Radek) : 0;
  const std::string cesta = Soubor().cesta();
  Soubor().ZavriSoubor();
  const storage::Zamek zamek =
      storage::IfVolny(cesta).empty() ? storage::Zamkni(cesta, "W") : storage::Zamek::Nedrzen;
  bool ok = storage::MuzePokracovat(zamek);
  if (!ok) ui::Zprava(cz("Se souborem se pracuje"));
  std::string obsah, zbyle;
  ok = ok && platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) == platform::kIoOk;
  if (ok) {
    // Dates compare as calendar dates, so that an interval over the turn of the century holds;
    // an empty "od" lies before every date and an empty "do" before every date too.
    const std::string od8 = KlicData(*dOd), do8 = KlicData(*dDo);
    const bool jenAktualni = storage::Orez(*dOd).empty() && storage::Orez(*dDo).empty();
    const std::size_t pocet = obsah.size() / tKurs::kVelikost;
    for (std::size_t k = 0; k < pocet; ++k) {
      const std::string v = obsah.substr(k * tKurs::kVelikost, tKurs::kVelikost);
      const std::string d = KlicData(datum(v));
      const bool pryc = jenAktualni ? static_cast<int>(k) + 1 == aktualni : d >= od8 && d <= do8;
      if (!pryc) zbyle += v;
    }
    ok = prepis(zbyle);
  }
  if (zamek == storage::Zamek::Drzen) storage::Odemkni(cesta);
  // The window's own hold is taken again on every way out.
  Soubor().OtevriSoubor(kSoubor, tKurs::kVelikost);
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(std::min(std::max(1, Radek), PocetRadku));
  return ok;
}

void TfKursy::NaF10() {
  KoncovaKlavesa = 0;  // the sort is this window's F10, not the popup menu
  const int volba = ui::Vyber(20, 8, {}, {cz("Dle kódů"), "Dle data"}, cz("Jak seřadit"));
  if (volba > 0) Setrid(volba == 2);
}

bool TfKursy::Setrid(bool podleData) {
  if (Soubor().pocet() < 2) return false;
  const std::string cesta = Soubor().cesta();
  if (!storage::IfVolny(cesta).empty()) {
    ui::Zprava(cz("Se souborem se pracuje"));
    return false;
  }
  const std::string pracovni = cesta.substr(0, cesta.size() - 1) + "$";
  // The key: folded code and the date widened to four-digit years, or the other way round.
  const auto klic = [podleData](std::span<const std::uint8_t> v, std::int32_t) {
    const std::string k = storage::VelkaPismena(storage::BezDiakritiky(storage::readShortString(v, tKurs::kKod, 3)));
    const std::string d = KlicData(storage::readShortString(v, tKurs::kDatum, 6));
    return podleData ? d + storage::NaSirku(k, 3) : storage::NaSirku(k, 3) + d;
  };
  const int stav = storage::SetridVety(cesta, tKurs::kVelikost, klic, pracovni, 15, {}, [](std::span<const std::uint8_t> v) {
    return storage::readShortString(v, tKurs::kKod, 3) != "   ";
  });
  if (stav != storage::kStavSetrideno) {
    ui::Zprava(cz("Třízení skončilo chybou ") + ui::FormatPlainE("###", stav));
    return false;
  }
  Soubor().ZavriSoubor();
  const bool ok = storage::NahradSoubor(pracovni, cesta) == 0;
  if (!ok) platform::removeFile(pracovni);
  Soubor().OtevriSoubor(kSoubor, tKurs::kVelikost);
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  return ok;
}

void TfKursy::OpravDatum() {
  for (int k = 1; k <= Soubor().pocet(); ++k) {
    if (!CtiVetuPrimo(k)) break;
    std::string d = storage::readShortString(Veta(), tKurs::kDatum, 6);
    if (d.size() != 6) continue;
    for (std::size_t i : {0u, 4u}) {
      if (d[i] == 'l') d[i] = '1';
      if (d[i] == 'O') d[i] = '0';
    }
    if (d == "000000") d = "      ";
    (void)storage::writeShortString(Veta(), tKurs::kDatum, 6, d);
    PisVetuPrimo(k);
  }
}

}  // namespace pz::rates
