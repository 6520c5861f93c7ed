#include "registers/banks.h"

#include <algorithm>

#include "accounting/accounts.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/checks.h"
#include "registers/keys.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/locks.h"
#include "storage/params.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/sortfile.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::registers {

using platform::cz;

namespace {

constexpr const char* kKodyBank = "\\2\\KodyBank.dta";
constexpr const char* kBako = "bako.dta";
constexpr int kPoleKodu = 4, kPoleUctu = 8, kSloupecNazvu = 25;
TfKodyBank* g_kody = nullptr;
TfBankKody* g_ucty = nullptr;

std::string cestaKodu() { return storage::ProgCesta(kKodyBank); }

// Every record of a file read at once (the lists are short); empty when it cannot be read.
std::vector<std::string> vety(const std::string& cesta, std::size_t velikost) {
  std::string obsah;
  std::vector<std::string> v;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return v;
  for (std::size_t i = 0; i + velikost <= obsah.size(); i += velikost) v.push_back(obsah.substr(i, velikost));
  return v;
}

std::string text(const std::string& veta, std::size_t offset, std::size_t sirka) {
  return storage::readShortString(storage::ConstBytes(std::string_view(veta)), offset, sirka);
}

bool zrusenaBanka(std::span<const std::uint8_t> v) {
  const std::string n = storage::readShortString(v, tBanka::kBanka, tBanka::kSirkaBanky);
  return n.size() >= 3 && n.compare(0, 3, "   ") == 0;
}

void polozka(ui::TfSoub& okno, std::size_t k, const std::string& titulek, std::function<void()> akce) {
  auto& it = okno.PopupMenu1.items.at(k);
  it.caption = titulek;
  it.visible = true;
  it.onClick = std::move(akce);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Bank codes

TfKodyBank::TfKodyBank() : TfSoub("fKodyBank", cz("Kódy bank")) {
  g_kody = this;
  polozka(*this, 0, "Opis", [this] { Opis(); });
  polozka(*this, 1, cz("Setřiď dle bank"), [this] { Setrid(false); });
  polozka(*this, 2, cz("Setřiď dle kódů"), [this] { Setrid(true); });
}
TfKodyBank::~TfKodyBank() {
  if (g_kody == this) g_kody = nullptr;
}
TfKodyBank& KodyBank() { return ui::PosledniOkno(g_kody); }

bool TfKodyBank::NastavKodyBank() {
  const bool ok = OtevriSoub({.soubor = "=" + cestaKodu(),
                              .titulek = cz("Kódy bank"),
                              .velikost = tBanka::kVelikost,
                              .formular = {4, 2, 70, 8},
                              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
                              .titulekFormulare = " Kody bank ",
                              .napovedaSeznamu = cz(" F1-Help  F10=Opis  F4-Nová "),
                              .pole = {{"Banka  ", static_cast<int>(tBanka::kSirkaBanky)},
                                       {cz("Kód    "), static_cast<int>(tBanka::kSirkaKodu), "L"},
                                       {"Swift ", static_cast<int>(tBanka::kSirkaSwift)}}});
  ZapamatujSablonu();
  return ok;
}

namespace {

// The list shown from row `radek` (the last row when there is no such row) until Enter or Esc:
// the record number chosen with Enter, 0 otherwise; `vybrana` gets the chosen record.
int vyberZeSeznamu(ui::TfSoub& s, int radek, std::vector<std::uint8_t>& vybrana) {
  s.PocetRadku = s.Soubor().pocet();
  s.Sestav();
  s.JdiNa(radek >= 1 && radek <= s.PocetRadku ? radek : s.PocetRadku);
  s.KoncovaKlavesa = 27;
  s.showModal();
  int vybrany = 0;
  if (s.KoncovaKlavesa == 13 && s.Radek >= 1 && s.Radek <= s.PocetRadku && s.CtiVetuPrimo(s.Radek)) vybrany = s.Radek;
  const std::vector<std::uint8_t> veta = s.Veta();
  s.Zavri();
  vybrana = vybrany ? veta : std::vector<std::uint8_t>();
  return vybrany;
}

}  // namespace

int TfKodyBank::Vyber(int zaznam) {
  NastavKodyBank();
  return vyberZeSeznamu(*this, zaznam, Vybrana);
}

void TfKodyBank::NaF4() {
  // A new bank goes to the end; the list stays on the row it was on.
  const int byl = Radek;
  Veta() = SablonaVety;
  TfSoub::NaF4();
  if (byl >= 1) JdiNa(byl);
}

void TfKodyBank::PriMazani() { Veta() = SablonaVety; }

std::string TfKodyBank::TextProHledani(int n) { return storage::HledaciTvar(TextRadku(n)); }

void TfKodyBank::Setrid(bool podleKodu) {
  const std::string cesta = Soubor().cesta();
  if (!storage::IfVolny(cesta).empty()) {
    ui::Zprava(cz("Se souborem se pracuje"));
    return;
  }
  ui::Blik(cz("Třídím kódy"));
  const std::string pracovni = cesta.substr(0, cesta.size() - 1) + "$";
  const int stav = storage::SetridVety(
      cesta, tBanka::kVelikost,
      [podleKodu](std::span<const std::uint8_t> v, std::int32_t) {
        if (podleKodu) return storage::readShortString(v, tBanka::kKod, tBanka::kSirkaKodu);
        return storage::CeskyKlic(std::string(v.begin(), v.end()).substr(1));
      },
      pracovni, storage::kDelkaKlice, {}, [](std::span<const std::uint8_t> v) { return !zrusenaBanka(v); });
  ui::BlikKonec();
  if (stav != storage::kStavSetrideno) {
    ui::Zprava(cz("Třízení skončilo chybou ") + ui::FormatPlainE("###", stav));
    return;
  }
  // The replacement needs the file closed; it is opened again on the sorted records.
  Soubor().ZavriSoubor();
  if (storage::NahradSoubor(pracovni, cesta) != 0) platform::removeFile(pracovni);
  Soubor().OtevriSoubor("=" + cesta, tBanka::kVelikost);
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(std::min(std::max(1, Radek), PocetRadku));
}

void TfKodyBank::Opis() {
  if (!reports::OtevriSestavu("KodyBank", 100)) return;
  std::vector<reports::SloupecSestavy> sloupce;
  for (const auto& s : Sloupce) sloupce.push_back({s.titulek, s.sirka});
  reports::StrankovanaSestava sestava(cz("Kódy bank"), sloupce);
  for (int n = 1; n <= Soubor().pocet(); ++n)
    if (!sestava.radek(TextRadku(n).substr(0, 132))) break;
  if (reports::ZavriSestavu()) ui::UkazSestavu("KodyBank");
}

int HledejBankuNazev(const std::string& nazev) {
  const std::string hledany = storage::OrezZprava(nazev);
  if (hledany.empty()) return -1;
  const auto v = vety(cestaKodu(), tBanka::kVelikost);
  for (std::size_t i = 0; i < v.size(); ++i)
    if (text(v[i], tBanka::kBanka, tBanka::kSirkaBanky).rfind(hledany, 0) == 0) return static_cast<int>(i) + 1;
  return -1;
}

int HledejBankuKod(const std::string& kod) {
  std::string k = storage::DoplnZleva(storage::OrezZprava(kod), 4, '0');
  k = k.substr(k.size() - 4);
  const auto v = vety(cestaKodu(), tBanka::kVelikost);
  for (std::size_t i = 0; i < v.size(); ++i)
    if (text(v[i], tBanka::kKod, tBanka::kSirkaKodu) == k) return static_cast<int>(i) + 1;
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Own bank accounts

TfBankKody::TfBankKody() : TfSoub("fBankKody", cz("Bankovní konta")) { g_ucty = this; }
TfBankKody::~TfBankKody() {
  if (g_ucty == this) g_ucty = nullptr;
}
TfBankKody& BankovniUcty() { return ui::PosledniOkno(g_ucty); }

bool TfBankKody::NastavBankovniUcty() {
  PrevedBankovniUcty(storage::DataCesta(kBako));
  const bool fj = storage::settings().cashJournal;
  const bool ok = OtevriSoub(
      {.soubor = kBako,
       .titulek = cz("Bankovní konta"),
       .velikost = tBankovniUcet::kVelikost,
       .formular = {4, 2, 76, 14},
       .napovedaFormulare = cz("Esc = ven    F2 = zápis na disk "),
       .titulekFormulare = cz(" Bankovní konto "),
       .napovedaSeznamu = cz(" Bankovní konta :   F4=přidej   F8=zruš   MEZERA=oprava   ENTER=volba "),
       .pole = {{.popis = cz("Označení banky "), .sirka = 1, .obrazek = "X", .titulek = "Ozn"},
                {.popis = cz("Název banky    "), .sirka = 20, .obrazek = "X", .titulek = cz("Název banky")},
                {.popis = cz("Číslo konta    "), .sirka = 19, .obrazek = "X", .titulek = cz("Číslo konta")},
                {.popis = cz("Kód banky      "), .sirka = 4, .obrazek = "P", .titulek = cz("Kód")},
                {.popis = cz("SWIFT kód      "), .sirka = 15, .obrazek = "X", .titulek = cz("SWIFT kód")},
                {.popis = cz("Stav konta     "), .sirka = 16, .obrazek = "###########.##-", .ulozeni = 'R',
                 .titulek = cz("Stav konta")},
                {.popis = cz("Kód měny       "), .sirka = 3, .obrazek = "X", .titulek = cz("Měna")},
                {.popis = fj ? cz("Bankovní klíč  ") : cz("Bankovní účet  "), .sirka = 6, .obrazek = fj ? "X" : "L",
                 .bocniText = std::string(30, ' '), .bocniSloupec = kSloupecNazvu,
                 .titulek = fj ? cz("Klíč") : cz("Účet")},
                {.popis = "IBAN           ", .sirka = 30, .obrazek = "X", .titulek = "IBAN"},
                {.popis = "", .sirka = 30, .obrazek = "X"},
                {.popis = "", .sirka = 20, .obrazek = "X"}},
       .sloupce = 0});
  Pole(10).stav = -1;
  Pole(11).stav = -1;
  // One column under the list's own header; the row lines up under its titles.
  Sloupce = {{fj ? cz(" Ozn Název banky          Číslo konta            Stav konta  Měna  Klíč SWIFT kód       IBAN")
                 : cz(" Ozn Název banky          Číslo konta            Stav konta  Měna  Účet SWIFT kód       IBAN"),
              118, false}};
  ZapamatujSablonu();
  return ok;
}

void TfBankKody::NaplnSloupce() {
  if (Bunky.size() < 2) return;
  const auto& v = Puvodni();
  const auto t = [&v](std::size_t offset, std::size_t sirka) {
    return storage::NaSirku(storage::readShortString(v, offset, sirka), sirka);
  };
  using U = tBankovniUcet;
  Bunky[1] = "  " + t(U::kOznaceni, 1) + "  " + t(U::kNazev, 20) + " " + t(U::kKonto, 19) + " " +
             ui::FormatR("#########.##-", storage::readReal48Bytes(v, U::kStav)) + "  " + t(U::kMena, 3) + "   " +
             t(U::kUcet, 6) + " " + t(U::kSwift, 15) + " " + t(U::kIban, 30);
}

int TfBankKody::Vyber() {
  NastavBankovniUcty();
  return vyberZeSeznamu(*this, 1, Vybrana);
}

void TfBankKody::NaF4() {
  editovany_ = 0;
  Veta() = SablonaVety;
  TfSoub::NaF4();
  storage::DokonciUlohu();
}

void TfBankKody::Oprav() {
  editovany_ = Radek;
  TfSoub::Oprav();
  editovany_ = 0;
  storage::DokonciUlohu();
}

void TfBankKody::NaF8() {
  if (Radek < 1 || Radek > PocetRadku) return;
  if (!ui::Dotaz(20, 10, cz("Zrušit záznam ?"))) return;
  TfSoub::NaF8();
}

void TfBankKody::PriMazani() { Veta() = SablonaVety; }

void TfBankKody::PredFormularem() { ukazUcet(); }

void TfBankKody::ukazUcet() {
  ui::PoleSouboru& p = Pole(kPoleUctu);
  if (storage::settings().cashJournal) {
    const int n = CisloKlice(p.text);
    p.bocniText = n > 0 ? NazevKlice(n) : std::string(kSirkaNazvuKlice, ' ');
    if (n > 0) p.text = ui::FormatPlainE("###", n);
  } else {
    std::string nazev = accounting::NazevUctu(p.text);
    if (nazev.empty() || nazev[0] == ' ') nazev = std::string(30, ' ');
    p.bocniText = nazev;
  }
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

void TfBankKody::ZmenaPole(int i) {
  ui::PoleSouboru& p = Pole(i);
  if (i == 1) {
    // The mark picks the account in other forms: no two accounts may share it.
    const auto v = vety(Soubor().cesta(), tBankovniUcet::kVelikost);
    for (std::size_t k = 0; k < v.size(); ++k) {
      if (static_cast<int>(k) + 1 == editovany_) continue;
      if (text(v[k], tBankovniUcet::kOznaceni, 1) == p.text.substr(0, 1) && !storage::Orez(p.text).empty()) {
        ui::Zprava(cz("Pozor, stejné označení bankovního účtu"));
        p.chyba = true;
        break;
      }
    }
  } else if (i == 3 && !storage::Orez(p.text).empty()) {
    std::string konto = p.text;
    if (KontrolaKonta(konto)) p.text = konto;
    else ui::Zprava(cz("Chybné číslo konta"));  // only a warning: the number is kept
  } else if (i == 7) {
    p.text = storage::VelkaPismena(p.text);
  } else if (i == kPoleUctu) {
    if (!storage::settings().cashJournal && p.text != "000000" && !storage::Orez(p.text).empty()) {
      std::string ucet = p.text;
      p.chyba = accounting::KontrolaUctu(ucet);
      p.text = ucet;
    }
    ukazUcet();
  }
  storage::DokonciUlohu();
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

void TfBankKody::EnterPole(int i) {
  ui::TfFormular* f = AktivniFormular();
  if (f) f->Precti();
  if (i == kPoleKodu) {
    TfKodyBank& kody = KodyBank();
    if (kody.Vyber(HledejBankuKod(Pole(i).text)) > 0) {
      const auto& v = kody.Vybrana;
      NastavText(kPoleKodu, storage::readShortString(v, tBanka::kKod, tBanka::kSirkaKodu));
      if (storage::Orez(Pole(2).text).empty())
        NastavText(2, storage::readShortString(v, tBanka::kBanka, tBanka::kSirkaBanky).substr(0, 20));
    }
  } else if (i == kPoleUctu) {
    if (storage::settings().cashJournal) {
      const int n = VyberKlic();
      if (n > 0) Pole(i).text = ui::FormatPlainE("###", n);
    } else {
      std::string ucet = Pole(i).text;
      accounting::VyberUctu(ucet);
      Pole(i).text = ucet;
    }
    ukazUcet();
  }
  if (f) f->Ukaz();
}

int HledejKonto(const std::string& konto) {
  const std::string hledane = storage::BezMezer(konto);
  const auto v = vety(storage::DataCesta(kBako), tBankovniUcet::kVelikost);
  for (std::size_t i = 0; i < v.size(); ++i)
    if (storage::BezMezer(text(v[i], tBankovniUcet::kKonto, 19)) == hledane) return static_cast<int>(i) + 1;
  return -1;
}

std::string PopisKonta(int n) {
  const auto v = vety(storage::DataCesta(kBako), tBankovniUcet::kVelikost);
  if (n < 1 || static_cast<std::size_t>(n) > v.size()) return std::string(40, ' ');
  const std::string& u = v[static_cast<std::size_t>(n) - 1];
  return text(u, tBankovniUcet::kNazev, 20) + " " + text(u, tBankovniUcet::kKonto, 19);
}

// ---------------------------------------------------------------------------------------------
// The older layout

std::string IbanZeStarehoUctu(const std::string& hlava, const std::string& konto, const std::string& kod) {
  // Account and code joined as number "/" code; a "-" three characters from the end is a
  // separator inside the number, not the prefix's.
  std::string cislo = storage::BezMezer(konto);
  if (const auto m = cislo.find('-'); m != std::string::npos && cislo.size() - m - 1 == 3) cislo.erase(m, 1);
  std::string predcisli;
  if (const auto m = cislo.find('-'); m != std::string::npos) {
    predcisli = cislo.substr(0, m);
    cislo = cislo.substr(m + 1);
  }
  const auto nuly = [](std::string t, std::size_t n) {
    t = storage::DoplnZleva(t, n, '0');
    return t.substr(t.size() - n);
  };
  const std::string k = nuly(storage::BezMezer(kod), 4), p = nuly(predcisli, 6), c = nuly(cislo, 10);
  return storage::DoplnZprava(hlava.substr(0, 4), 4) + " " + k + " " + p.substr(0, 4) + " " + p.substr(4, 2) +
         c.substr(0, 2) + " " + c.substr(2, 4) + " " + c.substr(6, 4);
}

bool PrevedBankovniUcty(const std::string& cesta) {
  const std::int64_t velikost = storage::VelikostSouboru(cesta);
  if (velikost <= 0) return false;
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return false;
  // Decided by size: the IBAN head's length byte alone would leave an old file whose first
  // account has no IBAN unconverted, and then read as 164-byte records.
  const bool stary = velikost % tStaryBankovniUcet::kVelikost == 0;
  const bool novy = velikost % tBankovniUcet::kVelikost == 0;
  if (!stary || (novy && static_cast<std::uint8_t>(obsah[tStaryBankovniUcet::kIbanHlava]) != 12)) return false;
  if (storage::Zamkni(cesta, "W") == storage::Zamek::Nedrzen) return false;
  using S = tStaryBankovniUcet;
  using N = tBankovniUcet;
  std::string vysledek;
  for (std::size_t o = 0; o + S::kVelikost <= obsah.size(); o += S::kVelikost) {
    const std::string s = obsah.substr(o, S::kVelikost);
    const std::string nazev = text(s, S::kNazev, 20);
    if (storage::Orez(nazev).empty()) continue;
    std::string v(N::kVelikost, '\0');
    storage::Bytes b(v);
    const auto pis = [&](std::size_t offset, std::size_t sirka, const std::string& t) {
      (void)storage::writeShortString(b, offset, sirka, storage::DoplnZprava(t, sirka).substr(0, sirka));
    };
    pis(N::kOznaceni, 1, text(s, S::kOznaceni, 1));
    pis(N::kNazev, 20, nazev);
    pis(N::kKonto, 19, text(s, S::kKonto, 19));
    pis(N::kKod, 4, text(s, S::kKod, 4));
    pis(N::kSwift, 15, text(s, S::kSwift, 10));
    std::copy_n(s.begin() + S::kStav, 6, v.begin() + N::kStav);
    pis(N::kMena, 3, text(s, S::kMena, 3));
    pis(N::kUcet, 6, text(s, S::kUcet, 6));
    const std::string hlava = text(s, S::kIbanHlava, 12);
    pis(N::kIban, 30,
        storage::Orez(hlava).empty() ? "" : IbanZeStarehoUctu(hlava, text(s, S::kKonto, 19), text(s, S::kKod, 4)));
    pis(N::kRezerva1, 30, "");
    pis(N::kRezerva2, 20, "");
    vysledek += v;
  }
  const std::string pracovni = cesta.substr(0, cesta.rfind('.')) + ".WRK";
  bool ok = platform::writeWholeFile(pracovni, vysledek) == platform::kIoOk;
  ok = ok && storage::NahradSoubor(pracovni, cesta) == 0;
  if (!ok) platform::removeFile(pracovni);
  storage::Odemkni(cesta);
  return ok;
}

}  // namespace pz::registers
