#include "cashdesk/cashwindow.h"

#include <algorithm>
#include <cstdlib>

#include "cashdesk/cashbook.h"
#include "cashdesk/entry.h"
#include "cashdesk/intent.h"
#include "cashdesk/offbalance.h"
#include "cashdesk/overview.h"
#include "cashdesk/posting.h"
#include "cashdesk/vatlisting.h"
#include "cashdesk/records.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/file.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/sortarray.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;
using D = tPzDoklad;

namespace {

constexpr ui::Color kSvetleZluta = 0xA0FFFF;  // the list in file order (red 255, green 255, blue 160)
constexpr ui::Color kCervena = 0x0000FF;
constexpr const char* kObrazekStavu = "### ### ###.##-";
constexpr const char* kNapoveda = "\\pz\\pz";
constexpr const char* kNapovedaKlaves = "\\pz\\pz_ovl";
constexpr const char* kPraceZapisu = "PZVS.wrk";

// Field i of the document shows in the list's column c: the list leaves out the posting mark,
// the VAT line and the tax office, shows the partner's name in place of the partner's number, and
// puts the partner block after the crown amounts.
constexpr int kPoleSloupcu[] = {1, 2, 3, 17, 5, 6, 7, 8, 9, 10, 11, 12, 15, 16, 17, 18, 19, 20, 21};
constexpr int kPoleCislaOrg = 4;

std::string mezery(std::size_t n) { return std::string(n, ' '); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Rate file

std::string CestaKurzu(const std::string& datovyKoren, const std::string& mena) {
  const std::string m = storage::Orez(mena);
  if (m.empty()) return {};
  if (m != cz("Kč")) {
    for (char c : m)
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return {};
  }
  const std::string disk = datovyKoren.size() >= 2 && datovyKoren[1] == ':' ? datovyKoren.substr(0, 2) : "";
  return disk + "\\TAMBRA3W\\" + m + ".txt";
}

// ---------------------------------------------------------------------------------------------
// The window

TfPZPokl::TfPZPokl()
    : TfSoub("fPZPokl", cz("Valutová pokladna")),
      lStavText(add<ui::Label>("lStavText")),
      lStav(add<ui::Label>("lStav")),
      lRada(add<ui::Label>("lRada")) {
  lStavText.text = cz("Stav v pokladně: ");
  for (ui::Label* l : {&lStavText, &lStav}) {
    l->fontColor = kCervena;
    l->bold = true;
  }
  lRada.text = cz(" č.:");
  nastavMenu();
}

TfPZPokl::~TfPZPokl() = default;

bool TfPZPokl::OtevriPokladnu(const std::string& souborDokladu, std::span<const std::uint8_t> rada) {
  Rada.assign(rada.begin(), rada.end());
  Rada.resize(static_cast<std::size_t>(tPzRada::kVelikost), 0);
  CisloRady = storage::readShortString(Rada, tPzRada::kRada, tPzRada::kSirkaRady);
  const std::string mena = storage::readShortString(Rada, tPzRada::kMena, tPzRada::kSirkaMeny);
  MenaZobrazeni = mena == "XXX" ? cz("Kč") : mena;
  zadani_.NovaRada();
  pametZauctovani().Zacni(CtiRadu(Rada));
  ZvolPodrozvahu(CtiRadu(Rada));
  poskozeno_ = 0;

  // A save of this series cut off at another station (or this one) is finished first; the
  // balance it stored replaces the one the series list read.
  if (ObnovRadu(CisloRady, souborDokladu) == Obnova::Vraceno) {
    StavRady stav;
    if (stav.Otevri(CisloRady)) (void)storage::writeReal48(Rada, tPzRada::kStav, stav.Stav());
  }
  dodatky_.Otevri(souborDokladu);
  lRada.text = cz("číslo : ") + CisloRady + cz(" - měna : ") + MenaZobrazeni;
  nastavKurzy();
  const auto& s = storage::settings();
  KoefDan1 = KoeficientDph(s.vatReduced);
  KoefDan2 = KoeficientDph(s.vatBasic);
  KoefDan3 = KoeficientDph(s.vatReduced2);

  const bool ok = nastavFormular(souborDokladu);
  if (!storage::CtiJob("CTENI").empty()) PovolenNovy = PovolenaOprava = PovolenoMazani = false;
  if (!ok) {
    ZavriPokladnu();
    return false;
  }

  poskozeno_ = PrebytekSouboru(storage::VelikostSouboru(Soubor().cesta()));
  if (poskozeno_ > 0) ui::Zprava(zpravaPoskozeni());
  if (Soubor().pocet() > 0) {
    // The balance lock is taken only when a document needs the repair, as for any other write.
    StavRady stav;
    const auto zamkni = [this, &stav] { return zamkniStav(stav); };
    const std::int32_t opraveno =
        OpravDataDokladu(Soubor(), [this](std::int32_t n) { dodatky_.Srovnej(n); }, zamkni);
    if (opraveno > 0) Zmeneno = true;
  }
  return true;
}

double TfPZPokl::KurzRady() const { return storage::readReal48(Rada, tPzRada::kKurz); }
double TfPZPokl::MnozstviRady() const { return storage::readU16(Rada, tPzRada::kMnozstvi); }

void TfPZPokl::ObnovStav() {
  StavRady stav;
  if (stav.Otevri(CisloRady)) NastavStav(TextZustatku(stav.Stav()));
}

// The document entry keeps its own state; the window hands it its keys and field hooks.
void TfPZPokl::NaF4() { zadani_.Novy(); }
void TfPZPokl::Oprav() { zadani_.Oprav(); }
void TfPZPokl::ZmenaPole(int i) { zadani_.ZmenaPole(i); }
void TfPZPokl::F1Pole(int i) { zadani_.F1Pole(i); }
void TfPZPokl::Prijmi(int i) { zadani_.Prijmi(i); }

bool TfPZPokl::nastavFormular(const std::string& souborDokladu) {
  RezervovaneRadky = 2;  // the balance line under the search line
  const platform::Date dnes = platform::clock().today();
  struct P {
    const char* popis;
    int sloupec, radek;
    std::string pocatecni;
    const char* typ;
    bool bocni;
  };
  const std::string castka = mezery(14), kurz = mezery(15);
  const P pole[] = {
      {"IDV    P,V,O,D   ", 2, 1, mezery(1), "X", false},
      {"Identif.číslo    ", 2, 2, mezery(5), "X", false},
      {"Číslo dokladu    ", 2, 3, mezery(60), "X", false},
      {"Číslo organizace ", 2, 4, mezery(5), "@@@@@W", true},
      {"Datum dodávky    ", 2, 5, mezery(6), "X", false},
      {"Datum zaplacení  ", 2, 6, DatumDokladu(dnes), "X", false},
      {"Text             ", 2, 7, mezery(50), "X", false},
      {"Celkem valut     ", 2, 8, castka, "##########.##-R", true},
      {"Placeno valut    ", 2, 9, castka, "##########.##-R", true},
      {"Kurs             ", 2, 10, kurz, "###.##########-R", true},
      {"Celkem v Kč      ", 2, 11, castka, "##########.##-R", false},
      {"Placeno Kč       ", 2, 12, castka, "##########.##-R", false},
      {"IND - zaúčtování ", 2, 13, mezery(3), "X", false},
      {"DPH-rozl.obch.př.", 2, 14, "999   ", "X ", false},
      {"I Č O       ", 50, 8, mezery(8), "X", false},
      {"D I Č       ", 50, 9, mezery(16), "X", false},
      {"Adr1-název  ", 50, 10, mezery(30), "", false},
      {"Adr2-jméno  ", 50, 11, mezery(30), "", false},
      {"Adr3-ulice  ", 50, 12, mezery(30), "", false},
      {"Adr4-město  ", 50, 13, mezery(30), "", false},
      {"P S Č       ", 50, 14, mezery(5), "", false},
      {"Č.fin. úřadu ", 50, 15, mezery(3), "X", false},
  };
  // The columns are the window's own (pripravSloupce), made once the fields are declared.
  ui::RozvrzeniSeznamu r{
      .soubor = souborDokladu,
      .titulek = cz(" Přehled pokladních dokladů z řady ") + CisloRady,
      .velikost = D::kVelikost,
      .radek = 0,
      .barvaTextuFormulare = ui::kBlack,
      .barvaFormulare = ui::kBtnFace,
      .formular = {2, 1, 95, 17},
      .barvaTextuSeznamu = ui::kBlack,
      .barvaSeznamu = kSvetleZluta,
      .seznam = {1, 1, 110, 26},
      .napovedaFormulare = cz(" F1,Ctrl+F1,Alt+F1=help Ctrl+F9=kalk F2=zápis F5=spec.funkce F12=Opakuj Esc=ven "),
      .titulekFormulare = cz(" Pokladní doklad "),
      .napovedaSeznamu = cz(" F1,Ctrl+F1,Alt+F1=help Enter=Výběr F3=Hledej F6,F7=třízení-č.dokl.,-částky  "
                            "Alt+F6-jak bylo účtováno  F=naber obr.dokl. Del=zruš obr.dokl. ^Mezera=sviť pokl.bl. "
                            "F10=menu "),
      .sloupce = 0};
  int i = 0;
  for (const P& p : pole) {
    ++i;
    const std::string bocni = p.bocni && i != kPoleCislaOrg ? MenaZobrazeni : std::string();
    r.pole.push_back({.popis = cz(p.popis),
                      .sirka = static_cast<int>(p.pocatecni.size()),
                      .obrazek = p.typ,
                      .radek = p.radek,
                      .sloupec = p.sloupec,
                      .pocatecni = p.pocatecni,
                      .bocniText = bocni,
                      .bocniSloupec = p.bocni ? 40 : 0});
  }
  const bool ok = OtevriSoub(r);
  Prazdny = PrazdnyDoklad(dnes);
  pripravSloupce();
  pohledy_ = TridenePohledy{};
  NastavZdrojPoradi(&pohledy_);
  BarvaMrizky = UlozenaBarvaMrizky = kSvetleZluta;
  return ok;
}

// Column headings: the label of the field cut to what the column shows, and a blank.
void TfPZPokl::pripravSloupce() {
  Sloupce.clear();
  for (std::size_t c = 0; c < std::size(kPoleSloupcu); ++c) {
    const ui::PoleSouboru& p = Pole(kPoleSloupcu[c]);
    const int sirka = p.typ.ciselny() ? static_cast<int>(p.typ.obrazek.size()) : p.sirka;
    const std::string& popis = Pole(c == 3 ? kPoleCislaOrg : kPoleSloupcu[c]).popis;
    Sloupce.push_back({popis.substr(0, static_cast<std::size_t>(sirka)) + " ", sirka, false});
  }
}

void TfPZPokl::nastavKurzy() {
  SouborKurzu.clear();
  const std::string cesta = CestaKurzu(storage::DataCesta(""), MenaZobrazeni);
  if (cesta.empty()) return;
  const std::string adresar = cesta.substr(0, cesta.rfind('\\'));
  if (!platform::directoryExists(adresar)) {
    platform::makeDirectory(adresar);
    if (!platform::directoryExists(adresar)) {
      ui::Zprava(cz("Adresář ") + adresar + cz(" nelze založit, kurzy měny se nebudou číst"));
      return;
    }
  }
  // Created only when missing: a file that is there but busy or unreadable is never emptied.
  if (storage::VelikostSouboru(cesta) == -platform::kIoFileNotFound &&
      platform::writeWholeFile(cesta, "") != platform::kIoOk) {
    ui::Zprava(cz("Soubor kurzů ") + cesta + cz(" nelze založit"));
    return;
  }
  SouborKurzu = cesta;
}

void TfPZPokl::nastavMenu() {
  struct Polozka {
    const char* text;
    bool povolena;
    void (TfPZPokl::*akce)();
  };
  const Polozka polozky[] = {{"Oprava záznamu  &MEZERA", false, nullptr},
                             {"&Nový záznam", true, &TfPZPokl::NaF4},
                             {"&Hledej záznam", true, &TfPZPokl::NaF3},
                             {" ", true, nullptr},
                             {"&Přehledy", true, &TfPZPokl::Prehledy},
                             {"&Opis", true, &TfPZPokl::Opis},
                             {"Opis včetně dodatku &DPH", true, &TfPZPokl::OpisDph}};
  std::size_t k = 0;
  for (const Polozka& p : polozky) {
    ui::MenuItem& it = PopupMenu1.items.at(k++);
    it.caption = cz(p.text);
    it.visible = true;
    it.enabled = p.povolena;
    auto akce = p.akce;
    if (akce) it.onClick = [this, akce] { (this->*akce)(); if (!closeRequested()) Prekresli(); };
  }
}

void TfPZPokl::Opis() { OpisPokladny(*this); }
void TfPZPokl::Prehledy() { PrehledPokladny(*this); }
void TfPZPokl::OpisDph() { OpisDphPokladny(*this); }
void TfPZPokl::DoplnDodatky() { DoplnDodatkyPokladny(*this); }

bool TfPZPokl::ZamkniRadu(std::string& zamek, storage::Zamek& z, StavRady& stav) {
  if (!zamkniDoklady(zamek, z)) return false;
  if (zamkniStav(stav)) return true;
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
  z = storage::Zamek::Nedrzen;
  return false;
}

bool TfPZPokl::onKey(const ui::KeyEvent& ev) {
  const int k = ev.number();
  void (TfPZPokl::*akce)() = nullptr;
  if (k == ui::kCtrlAdd + 'O') akce = &TfPZPokl::Opis;
  else if (k == ui::kCtrlAdd + 'P') akce = &TfPZPokl::Prehledy;
  else if (k == ui::kCtrlAdd + 'A') akce = &TfPZPokl::OpisDph;
  else if (k == ui::kCtrlAdd + ui::kVkF6) akce = &TfPZPokl::DoplnDodatky;
  if (!Hleda() && akce) {
    (this->*akce)();
    if (!closeRequested()) Prekresli();
    return true;
  }
  return TfSoub::onKey(ev);
}

void TfPZPokl::NastavStav(const std::string& text) { lStav.text = text; }

std::string TfPZPokl::TextZustatku(double stav) const {
  // A balance of more digits than the label's picture widens it, so that it is shown whole.
  std::string obrazek = kObrazekStavu;
  while (!ui::VejdeSe(obrazek, stav) && obrazek.size() < 40) obrazek.insert(0, "### ");
  return ui::FormatE(obrazek, stav) + MenaZobrazeni;
}

void TfPZPokl::ZavriPokladnu() {
  SouborKurzu.clear();
  dodatky_.Zavri();
  pohledy_ = TridenePohledy{};
  Zavri();
}

int TfPZPokl::AktualniDoklad() { return Radek >= 1 && Radek <= PocetRadku ? CisloZPoradi(Radek) : 0; }

std::string TfPZPokl::zpravaPoskozeni() {
  return cz("Soubor ") + Soubor().jmeno() + cz(" je poškozen: za posledním celým dokladem je ") +
         std::to_string(poskozeno_) + cz(" bajtů navíc. Nové doklady do něj nelze zakládat.");
}

bool TfPZPokl::LzeZalozitDoklad() {
  if (!PovolenNovy) return false;
  Soubor().ObnovSoubor();
  poskozeno_ = PrebytekSouboru(storage::VelikostSouboru(Soubor().cesta()));
  if (poskozeno_ > 0) {
    ui::Zprava(zpravaPoskozeni());
    return false;
  }
  if (!LzePridatDoklad(Soubor().pocet())) {
    ui::Zprava(ZpravaPlneRady());
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Rows: through the sorted view when one is shown.

void TfPZPokl::CtiVetu(int n) { TfSoub::CtiVetu(CisloZPoradi(n)); }

void TfPZPokl::CtiPuvodni(int n) { TfSoub::CtiPuvodni(CisloZPoradi(n)); }

void TfPZPokl::PisVetu(int n) {
  const int zaznam = CisloZPoradi(n);
  TfSoub::PisVetu(zaznam);
  dodatky_.Srovnej(zaznam);
}

void TfPZPokl::NaplnSloupce() {
  for (std::size_t c = 0; c < std::size(kPoleSloupcu) && c + 1 < Bunky.size(); ++c) {
    const ui::PoleSouboru& p = Pole(kPoleSloupcu[c]);
    Bunky[c + 1] = ui::ZobrazPole(p.typ, static_cast<std::size_t>(p.sirka), Puvodni(), p.offset);
  }
}

void TfPZPokl::PoPrekresleni() {
  const int rh = VyskaRadku() + 1;
  const int cw = std::max(1, look.cellWidth);
  const int y = std::max(lKolik.geometry.y, eHled.geometry.y) + rh;
  lStavText.geometry = {0, y, 17 * cw, rh};
  lStav.geometry = {17 * cw, y, 22 * cw, rh};
  lRada.geometry = {40 * cw, y, 40 * cw, rh};
}

// ---------------------------------------------------------------------------------------------
// Keys

void TfPZPokl::NaF1() { ui::Napoveda(kNapoveda, cz("Valutová pokladna")); }
void TfPZPokl::NaAltF1() { ui::Napoveda(kNapovedaKlaves, cz("Funkční klávesy v rolovacím")); }
void TfPZPokl::AltF1Pole(int) { ui::Napoveda(kNapovedaKlaves, cz("Funkční klávesy v aktualizačním")); }

void TfPZPokl::NaTitulek(int) {
  // The cash desk sorts by its own views (F6, F7); a column's order file would replace them.
}

void TfPZPokl::NaF6() { PrepniPohled(TridenePohledy::PodleCisla); }
void TfPZPokl::NaF7() { PrepniPohled(TridenePohledy::PodleCastky); }

void TfPZPokl::PrepniPohled(TridenePohledy::Pohled pohled) {
  if (!Soubor().otevren()) return;
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  if (PocetRadku > TridenePohledy::kNejvic) {
    ui::Zprava(cz("Neumím setřídit více než 10000 dokladů"));
    return;
  }
  const bool zobrazen = pohledy_.AktivniPoradi() == pohled;
  // Back in file order at the document that was current.
  ZpetNaSoubor();
  if (zobrazen) return;
  const std::vector<std::uint8_t> buffer = Veta();
  std::vector<std::string> klice;
  klice.reserve(static_cast<std::size_t>(PocetRadku));
  for (int i = 1; i <= PocetRadku; ++i) {
    if (!Soubor().CtiVetuPrimo(i)) break;
    klice.push_back(pohled == TridenePohledy::PodleCisla ? KlicPodleCisla(Veta(), i) : KlicPodleCastky(Veta(), i));
  }
  Veta() = buffer;
  if (static_cast<int>(klice.size()) != PocetRadku) return;
  pohledy_.Postav(pohled, std::move(klice));
  Poradi(pohled);
}

bool TfPZPokl::zamkniDoklady(std::string& zamek, storage::Zamek& z) {
  zamek = storage::CestaZamku("PZ" + CisloRady);
  z = storage::Zamkni(zamek, "W");
  return storage::MuzePokracovat(z);
}

bool TfPZPokl::zamkniStav(StavRady& stav) {
  if (!stav.Zamkni(CisloRady)) return false;
  // A save of the series cut off earlier is undone before anything here is written: undone later,
  // it would put back the bytes this write replaces. Only the undo needs the series record.
  if (!platform::fileExists(storage::DataCesta(SouborZameru(Soubor().jmeno())))) return true;
  if (!stav.NajdiRadu()) return false;
  const Obnova obnova = ObnovZamer(Soubor().jmeno(), stav);
  if (obnova == Obnova::Chyba) return false;
  if (obnova == Obnova::Vraceno) {
    (void)storage::writeReal48(Rada, tPzRada::kStav, stav.Stav());
    Soubor().ObnovSoubor();
    NastavStav(TextZustatku(stav.Stav()));
    Zmeneno = true;
  }
  return true;
}

void TfPZPokl::NaF8() { ZrusDoklad(); }

void TfPZPokl::ZrusDoklad() {
  const int zaznam = AktualniDoklad();
  if (!PovolenoMazani || zaznam < 1) return;
  if (!ui::Dotaz(10, 10, cz("Zrušit doklad?"))) return;
  std::string zamek;
  storage::Zamek z;
  if (!zamkniDoklady(zamek, z)) return;
  const std::vector<std::uint8_t> buffer = Veta();
  // The balance lock comes first: a document is never blanked while its amount stays counted.
  StavRady stav;
  // The document as it is now, not as the list last read it.
  if (zamkniStav(stav) && Soubor().CtiVetuPrimo(zaznam)) {
    const std::string druh = storage::readShortString(Veta(), D::kDruh, D::kSirkaDruhu);
    const double placeno = storage::readReal48(Veta(), D::kPlacenoVal);
    const int znamenko = druh.empty() ? 0 : ZnamenkoDruhu(druh[0]);
    const bool vraceni = znamenko != 0 && placeno != 0;
    std::optional<double> novy;
    if (vraceni && stav.NajdiRadu()) {
      novy = stav.Po(-znamenko * placeno);
      if (!novy) ui::Zprava(cz("Částka dokladu ") + IdentDokladu(zaznam) + cz(" je poškozená, doklad nelze zrušit"));
    }
    if (!vraceni || novy) {
      std::vector<std::uint8_t> prazdny = Prazdny;
      // Kind and ident stay byte for byte: the entries of the document are filed under its ident.
      std::copy_n(Veta().begin() + D::kDruh, D::kCislo - D::kDruh, prazdny.begin() + D::kDruh);
      Veta() = std::move(prazdny);
      if (Soubor().PisVetuPrimo(zaznam)) {
        dodatky_.Srovnej(zaznam);
        Zmeneno = true;
        if (novy) {
          if (stav.Zapis(*novy)) NastavStav(TextZustatku(*novy));
          else ui::Zprava(cz("Stav pokladny se nepodařilo opravit o zrušený doklad ") + IdentDokladu(zaznam));
        }
      }
    }
  }
  Veta() = buffer;
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
}

void TfPZPokl::NaAltF2() { PrekodujTexty(); }

void TfPZPokl::PrekodujTexty() {
  if (!PovolenaOprava || !Soubor().otevren()) return;
  if (!ui::Dotaz(10, 10, cz("Překódovat texty všech dokladů z DOS (Kamenických) do Windows?"))) return;
  std::string zamek;
  storage::Zamek z;
  if (!zamkniDoklady(zamek, z)) return;
  StavRady stav;
  if (!zamkniStav(stav)) {
    if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
    return;
  }
  const std::vector<std::uint8_t> buffer = Veta();
  Soubor().ObnovSoubor();
  for (int i = 1; i <= Soubor().pocet(); ++i) {
    if (!Soubor().CtiVetuPrimo(i)) break;
    const std::string text = storage::readShortString(Veta(), D::kText, D::kSirkaTextu);
    const std::string novy = storage::ZKamenickeho(text);
    if (novy == text) continue;
    if (!storage::writeShortString(Veta(), D::kText, D::kSirkaTextu, novy) || !Soubor().PisVetuPrimo(i)) break;
    dodatky_.Srovnej(i);
    Zmeneno = true;
  }
  Veta() = buffer;
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
}

void TfPZPokl::NaAltF6() {
  // A fresh work file for the entries of the current document; the entries are looked for under
  // KlicZapisu in SouboryZapisu once the accounting entry record exists, so nothing is shown yet.
  if (platform::fileExists(kPraceZapisu)) platform::removeFile(kPraceZapisu);
}

void TfPZPokl::NaCtrlMezera() {
  const int zaznam = AktualniDoklad();
  if (zaznam < 1) return;
  ui::UkazSestavu(storage::DataCesta("doklady\\PZ" + CisloRady + "\\" + IdentDokladu(zaznam)));
}

}  // namespace pz::cashdesk
