// The report viewer TfPozri. Map of this file:
//   - helpers: padding, full names, the line editor and the free-text box
//   - Pure pieces                    visible line, search text, sheet numbers, the dictionary
//   - The viewer                     menu, opening a report, reading and writing its lines
//   - Rewriting through the work file  inserting, deleting, sections, recoding, encryption
//   - Keys                           the viewer's hooks, printing, RegistrujProhlizec

#include "reports/viewer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/filehelpers.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "ui/app.h"
#include "ui/calculator.h"
#include "ui/dialogs.h"
#include "ui/keys.h"

namespace pz::reports {

using platform::cz;

namespace {

constexpr int kSirkaUseku = 250;    // characters of a line of a saved section
constexpr size_t kNejvicHesel = 1000;
constexpr int kRezervaDokladu = 180;  // lines that Alt+F9 may ask for beyond the current line
constexpr const char* kPracovni = "tisk.wrk";
constexpr const char* kRegistry = "REGISTRY.DTA";
constexpr const char* kOkna2 = "par\\okna2.par";
constexpr ui::Color kSvetleZluta = 0xC0FFFF;  // light yellow (BGR) while a line is edited

std::string doplnene(std::string s, size_t w) {
  s.resize(w, ' ');
  return s;
}

std::string orizni(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string vlevo(const std::string& s, size_t w) { return s.size() >= w ? s : std::string(w - s.size(), ' ') + s; }

std::string sGdpr(std::string radek) { return storage::settings().gdpr ? Zakoduj(radek, KlicSestav()) : radek; }

// The full name of a report for the caption: names without a directory lie in the working
// directory.
std::string plnaCesta(const std::string& soubor) {
  if (soubor.find_first_of("\\/:") != std::string::npos) return soubor;
  std::string d = platform::currentDirectory();
  const char oddelovac = d.find('\\') == std::string::npos && d.find('/') != std::string::npos ? '/' : '\\';
  if (!d.empty() && d.back() != '\\' && d.back() != '/') d += oddelovac;
  return d + soubor;
}

// The files themselves are compared, so that another drive letter of the same folder, ".." or a
// link cannot make a section overwrite the report it is read from.
bool tentyz(const std::string& a, const std::string& b) {
  return platform::sameFile(a, b) ||
         platform::sameFileName(platform::paths().toNative(a), platform::paths().toNative(b));
}

// The one-line editor window over a row of the list.
class TfEdituj : public ui::Form {
 public:
  TfEdituj(const std::string& text, int sloupcu) : Form("TfEdituj", ""), ed_(text), sloupcu_(std::max(1, sloupcu)) {
    radek_ = &add<ui::Label>("Radek");
    ukaz();
  }
  const EditorRadku& editor() const { return ed_; }
  int klavesa = 0;

 protected:
  bool onKey(const ui::KeyEvent& ev) override {
    if (!ed_.klavesa(ev)) {
      klavesa = ev.vk;
      close(ev.vk);
      return true;
    }
    ukaz();
    return true;
  }

 private:
  void ukaz() {
    if (ed_.kurzor() < prvni_) prvni_ = ed_.kurzor();
    if (ed_.kurzor() >= prvni_ + sloupcu_) prvni_ = ed_.kurzor() - sloupcu_ + 1;
    const std::string& t = ed_.text();
    radek_->text = doplnene(prvni_ < static_cast<int>(t.size()) ? t.substr(static_cast<size_t>(prvni_)) : "",
                            static_cast<size_t>(sloupcu_));
    radek_->geometry = {0, 0, sloupcu_ * 8 + 2, 18};
  }
  EditorRadku ed_;
  int sloupcu_;
  int prvni_ = 0;
  ui::Label* radek_ = nullptr;
};

// The free-text box of Ctrl+F7; Esc closes it.
class TfMemo : public ui::Form {
 public:
  explicit TfMemo(std::vector<std::string> radky) : Form("Memo1", "") {
    memo = &add<ui::Memo>("Memo1");
    memo->readOnly = false;
    memo->lines = std::move(radky);
    look.fontName = "Fixedsys";
    setFocus(memo);
  }
  ui::Memo* memo = nullptr;

 protected:
  bool onKey(const ui::KeyEvent& ev) override {
    if (ev.vk == ui::kVkEscape && ev.plain()) {
      close(0);
      return true;
    }
    return false;
  }
};

}  // namespace

SluzbyProhlizece& sluzbyProhlizece() {
  static SluzbyProhlizece s;
  return s;
}

// ---- Pure pieces.

std::string ViditelnyRadek(std::string radek) {
  for (char& c : radek) {
    switch (c) {
      case '\f': c = '@'; break;
      case '\x0e': c = '#'; break;
      case '\x0f': c = '~'; break;
      case '\x12': c = '^'; break;
      default: break;
    }
  }
  return radek;
}

std::string RadekProHledani(const std::string& radek) {
  return storage::VelkaPismena(storage::BezDiakritiky(radek));
}

int CisloListu(const std::vector<std::string>& ctyriRadky) {
  for (const char* vzor : {"L:", "L :", "List:", "List :"}) {
    for (const std::string& r : ctyriRadky) {
      const size_t p = r.find(vzor);
      if (p == std::string::npos) continue;
      const std::string cislo = orizni(r.substr(p + std::string(vzor).size(), 4));
      if (cislo.empty() || cislo.find_first_not_of("0123456789") != std::string::npos) return -1;
      return std::atoi(cislo.c_str());
    }
  }
  return -1;
}

std::string SouborSlovniku() {
  std::string n = orizni(storage::CtiJobV(storage::DataCesta(""), "SLOVNIK"));
  if (n.empty()) n = "1";
  return storage::DataCesta("slov" + n + ".dta");
}

std::vector<HesloSlovniku> NactiSlovnik(const std::string& cesta) {
  // Records of 108 bytes: Czech text (length byte + 50), its count (length byte + 2 digits),
  // translation (length byte + 50), its count.
  constexpr size_t kVeta = 108;
  std::vector<HesloSlovniku> slovnik;
  platform::File f;
  if (f.open(cesta, platform::Access::Read, platform::Share::DenyNone) != 0) return slovnik;
  int64_t velikost = 0;
  f.size(velikost);
  std::string v(kVeta, '\0');
  const auto text = [&v](size_t o, size_t w) {
    const size_t n = std::min<size_t>(static_cast<unsigned char>(v[o]), w);
    return v.substr(o + 1, n);
  };
  for (int64_t o = 0; o + static_cast<int64_t>(kVeta) <= velikost && slovnik.size() < kNejvicHesel;
       o += static_cast<int64_t>(kVeta)) {
    if (f.readAt(o, v.data(), kVeta) != 0) break;
    const int pocet = std::atoi(orizni(text(51, 2)).c_str());
    if (pocet <= 0) continue;
    const auto w = static_cast<size_t>(pocet);
    // The translation takes the Czech text's length, so a line keeps its width.
    slovnik.push_back({doplnene(text(0, 50), w), doplnene(text(54, 50), w)});
  }
  return slovnik;
}

void TfSlovnik::Otevri() {
  std::string n = orizni(storage::CtiJobV(storage::DataCesta(""), "SLOVNIK"));
  if (n.empty()) n = "1";
  // The list shows the texts; the record holds them with their counts between.
  OtevriSoub({.soubor = "slov" + n + ".dta",
              .titulek = cz(" Slovník "),
              .velikost = 108,
              .radek = 0,
              .barvaFormulare = ui::kWhite,
              .formular = {5, 3, 70, 8},
              .seznam = {1, 1, 110, 24},
              .napovedaFormulare = cz(" F2=zápis Esc=ven "),
              .titulekFormulare = cz(" Slovník "),
              .napovedaSeznamu = cz(" Enter,F1,F4,Mezera "),
              .pole = {{.popis = cz("Česky   "), .sirka = 50, .obrazek = "X", .offset = 0, .radek = 1,
                        .titulek = cz("     česky")},
                       {.popis = cz("Překlad "), .sirka = 50, .obrazek = "X", .offset = 54, .radek = 3,
                        .titulek = cz("překlad")},
                       {.popis = cz("znaků   "), .sirka = 2, .obrazek = "X", .offset = 51, .radek = 2},
                       {.popis = cz("znaků   "), .sirka = 2, .obrazek = "X", .offset = 105, .radek = 4}},
              .sloupce = 2});
  Pole(4).offset = 105;
}

void UpravSlovnik() {
  TfSlovnik okno;
  okno.Otevri();
  okno.showModal();
  okno.Zavri();
}

std::string PrelozRadek(std::string radek, const std::vector<HesloSlovniku>& slovnik) {
  for (const HesloSlovniku& h : slovnik) {
    if (h.cesky.empty()) continue;
    for (size_t p = radek.find(h.cesky); p != std::string::npos; p = radek.find(h.cesky, p + h.cesky.size()))
      radek.replace(p, h.cesky.size(), h.preklad);
  }
  return radek;
}

bool EditorRadku::klavesa(const ui::KeyEvent& ev) {
  const int delka = static_cast<int>(text_.size());
  const int posledni = std::max(0, delka - 1);
  const unsigned char c = static_cast<unsigned char>(ev.ch);
  if (ev.vk == ui::kVkEscape || ev.vk == ui::kVkReturn || ev.vk == ui::kVkUp || ev.vk == ui::kVkDown) return false;
  if (ev.vk == ui::kVkInsert) {
    vkladani_ = !vkladani_;
  } else if (ev.vk == ui::kVkLeft) {
    kurzor_ = std::max(0, kurzor_ - 1);
  } else if (ev.vk == ui::kVkRight) {
    kurzor_ = std::min(posledni, kurzor_ + 1);
  } else if (ev.vk == ui::kVkBack) {
    if (kurzor_ > 0) {
      --kurzor_;
      if (vkladani_) text_.erase(static_cast<size_t>(kurzor_), 1);
    }
  } else if (ev.vk == ui::kVkDelete) {
    if (vkladani_ && kurzor_ < posledni) text_.erase(static_cast<size_t>(kurzor_), 1);
  } else if (ev.vk == ui::kVkF8 && ev.plain()) {
    text_.assign(text_.size(), ' ');
  } else if (!ev.ctrl && !ev.alt && ((c >= 32 && c <= 122) || (c >= 129 && c <= 254))) {
    if (delka == 0) return true;
    if (vkladani_) text_.insert(static_cast<size_t>(kurzor_), 1, ev.ch);
    else text_[static_cast<size_t>(kurzor_)] = ev.ch;
    text_.resize(static_cast<size_t>(delka));
    kurzor_ = std::min(posledni, kurzor_ + 1);
  }
  return true;
}

// ---- The viewer.

TfPozri::TfPozri(std::string nazev) : TfSoub(std::move(nazev)) { naplnMenu(); }

void TfPozri::naplnMenu() {
  struct Polozka {
    const char* text;
    std::function<void()> akce;
  };
  const std::vector<Polozka> polozky = {
      {"Tisk", [this] { tisk(kTiskF10); }},
      {"Nastavení tiskárny", [this] { tisk(kTiskVolba); }},
      {"Parametry systému", [] { if (ui::sluzbyRolu().parametrySystemu) ui::sluzbyRolu().parametrySystemu(); }},
      {"Přidej text", [this] { NaCtrlF7(); }},
      {"§91 - zvláštní způsob výpočtu DPH", [] { ui::Zprava(cz("Chybí modul CALC")); }},
      {"Kalkulačka", [] {}},
      {"Tisk s razítkem ['F10]", [this] { tisk(kTiskRazitko); }},
      {"-", [] {}},
      {"Viditelnost středníků v tisku",
       [] { storage::PisPar("sys.par", "stredniky", storage::CtiPar("sys.par", "stredniky") == "Ano" ? "" : "Ano"); }},
      {"Zasifruj", [this] { SifrujVse(true); }},
      {"Dešifruj", [this] { SifrujVse(false); }},
      {"Překóduj do Win", [this] { Prekoduj(true); }},
      {"Překóduj do Dos", [this] { Prekoduj(false); }},
      {"Vyrob znova PP", [] {}},
      // The dictionary of the translated section (Alt+F6) has no key of its own; it is kept here.
      {"Slovník pro překlad", [] { UpravSlovnik(); }},
  };
  PopupMenu1.items.clear();
  char jmeno = 'a';
  for (const Polozka& p : polozky) {
    ui::MenuItem m{std::string(1, jmeno++), cz(p.text), true, true, p.akce};
    PopupMenu1.items.push_back(std::move(m));
  }
  PopupMenu1.items[9].enabled = PopupMenu1.items[10].enabled = false;
}

bool TfPozri::Nahraj(const std::string& soubor) { return otevri(soubor, false); }

bool TfPozri::otevri(const std::string& soubor, bool zachovatPozici) {
  const int64_t velikost = storage::VelikostSouboru(soubor);
  if (velikost < 3) return false;
  std::string zacatek(static_cast<size_t>(std::min<int64_t>(velikost, 999)), '\0');
  {
    platform::File f;
    if (f.open(soubor, platform::Access::Read, platform::Share::DenyNone) != 0) return false;
    size_t precteno = 0;
    f.readAt(0, zacatek.data(), zacatek.size(), &precteno);
    zacatek.resize(precteno);
  }
  // The two-line rule: a scrambled line may hold CR LF, the first two lines together cannot.
  sirka_ = SirkaZeZacatku(zacatek, velikost);
  cteni_.close();
  zahodBlok();
  cteni_.open(soubor, platform::Access::Read, platform::Share::DenyNone);
  const int radek = zachovatPozici ? std::max(1, Radek) : 1;
  cesta_ = soubor;
  ObnovitPozici = platform::sameFileName(soubor, "help.txt");
  const int pravy = std::clamp(sirka_ + 6, 40, 132);
  Soubor().BezZamku();  // a report is this station's own file: nobody else locks it
  // One fixed column, untitled, as wide as the report's lines.
  OtevriSoub({.soubor = "=" + soubor,
              .titulek = cz(" Soubor: ") + plnaCesta(soubor),
              .velikost = sirka_ + 2,
              .radek = radek,
              .barvaFormulare = ui::kWhite,
              .formular = {1, 1, 60, 10},
              .seznam = {1, 1, pravy, 28},
              .napovedaSeznamu = cz(" F1-Help F2-Znaky ^F2-Nová_sestava F3-Najdi F4-Najdi_list F10,F9-Tisk MEZERA-Edit "
                                    "F5-Počet_opakování ~F9-Tisk_z_velkého_archivu ^F5-Nový_list ~F5-Řádek "
                                    "^F6-Do_souboru ~F6-Překlad F7-Vlož_řádek F8-Zruš_radek ^F7-Vlož_text"),
              .pole = {{.popis = "", .sirka = sirka_, .obrazek = "X", .radek = 1, .sloupec = 0, .titulek = ""}}});
  Pole(1).stav = 0;
  Sestav();  // the column takes the width of this report's lines
  look.fontName = "Fixedsys";
  PovolenNovy = PovolenoMazani = false;
  return true;
}

void TfPozri::Ukaz(const std::string& soubor) {
  if (!Nahraj(soubor)) {
    ui::Zprava(cz("Prázdná tisková sestava"));
    return;
  }
  navrat_.clear();
  showModal();
  Zavri();
}

std::string TfPozri::CtiRadek(int n) {
  if (n < 1 || n > PocetRadku) return {};
  const size_t veta = static_cast<size_t>(sirka_) + 2;
  if (n < blokOd_ || n >= blokOd_ + blokPocet_) {
    constexpr int kRadkuBloku = 256;
    blokOd_ = n;
    blokPocet_ = 0;
    blok_.resize(veta * kRadkuBloku);
    size_t precteno = 0;
    if (!cteni_.isOpen() || cteni_.readAt(static_cast<int64_t>(n - 1) * static_cast<int64_t>(veta), blok_.data(),
                                          blok_.size(), &precteno) != 0)
      precteno = 0;
    blokPocet_ = static_cast<int>(precteno / veta);
    if (blokPocet_ == 0) {
      // No read-ahead: the record form's own read.
      if (!Soubor().CtiVetuPrimo(n)) return {};
      const auto& v = Veta();
      std::string r(v.begin(), v.begin() + std::min<std::ptrdiff_t>(sirka_, static_cast<std::ptrdiff_t>(v.size())));
      return storage::settings().gdpr ? Dekoduj(r, KlicSestav()) : r;
    }
  }
  std::string r = blok_.substr(static_cast<size_t>(n - blokOd_) * veta, static_cast<size_t>(sirka_));
  return storage::settings().gdpr ? Dekoduj(r, KlicSestav()) : r;
}

void TfPozri::Zavri() {
  cteni_.close();
  zahodBlok();
  TfSoub::Zavri();
}

void TfPozri::PisRadek(int n, const std::string& text) {
  zahodBlok();
  const std::string r = sGdpr(doplnene(text, static_cast<size_t>(sirka_))) + "\r\n";
  Veta().assign(r.begin(), r.end());
  Soubor().PisVetuPrimo(n);
}

void TfPozri::CtiPuvodni(int n) { radek_ = CtiRadek(CisloZPoradi(n)); }

void TfPozri::NaplnSloupce() {
  if (Bunky.size() > 1) Bunky[1] = ViditelnyRadek(radek_);
}

std::string TfPozri::TextProHledani(int n) { return RadekProHledani(CtiRadek(n)); }

// ---- Rewriting through the work file.

void TfPozri::prepis(const std::function<void(const std::function<void(const std::string&)>&)>& radky, bool kopii) {
  platform::File wrk;
  if (const int e = wrk.open(kPracovni, platform::Access::Write, platform::Share::DenyWrite, platform::Create::CreateAlways))
    throw std::runtime_error("Err " + std::to_string(e) + " " + kPracovni);
  std::string blok;
  radky([&](const std::string& r) {
    blok += sGdpr(doplnene(r, static_cast<size_t>(sirka_))) + "\r\n";
    if (blok.size() >= 65536) {
      if (const int e = wrk.write(blok.data(), blok.size())) throw std::runtime_error("Err " + std::to_string(e) + " " + kPracovni);
      blok.clear();
    }
  });
  if (const int e = wrk.write(blok.data(), blok.size())) throw std::runtime_error("Err " + std::to_string(e) + " " + kPracovni);
  wrk.close();
  const int radek = Radek;
  cteni_.close();
  zahodBlok();
  Soubor().ZavriSoubor();
  const int e = kopii ? storage::KopirujSoubor(kPracovni, cesta_) : storage::NahradSoubor(kPracovni, cesta_);
  if (e != 0) throw std::runtime_error("Err " + std::to_string(e) + " " + cesta_);
  if (kopii) storage::ZrusSoubory(kPracovni);
  const int posun = Posun;
  Radek = radek;
  if (!otevri(cesta_, true)) {
    Radek = 0;
    return;
  }
  // The cursor stays on its line and the lines on the screen where they were.
  Posun = std::clamp(posun, 0, std::max(0, PocetRadku - Viditelne));
  JdiNa(radek);
}

void TfPozri::VlozPrazdny(int n) {
  const int pocet = PocetRadku;
  prepis([&](const auto& pis) {
    for (int i = 1; i <= pocet; ++i) {
      if (i == n) pis("");
      pis(CtiRadek(i));
      BarSrt.max = pocet;
      BarSrt.position = i;
    }
  }, false);
}

void TfPozri::ZrusRadky(int n) {
  if (PocetRadku <= 1) return;
  if (n >= 1 && !Znacky.je(n)) Znacky.nastav(n, true);
  const int pocet = PocetRadku;
  prepis([&](const auto& pis) {
    for (int i = 1; i <= pocet; ++i)
      if (!Znacky.je(i)) pis(CtiRadek(i));
  }, false);
  Znacky.vycisti();
  PocetOznacenych = 0;
  RozsahOd = RozsahDo = 0;
}

void TfPozri::VlozText(int n, const std::vector<std::string>& radky) {
  if (radky.empty()) return;
  const int pocet = PocetRadku;
  prepis([&](const auto& pis) {
    for (int i = 1; i <= std::max(pocet, n); ++i) {
      if (i == n || (n > pocet && i == pocet + 1))
        for (const std::string& r : radky) pis(r);
      if (i <= pocet) pis(CtiRadek(i));
    }
  }, true);
}

std::vector<int> TfPozri::usek(int n) const {
  int od = n, po = PocetRadku;
  if (RozsahOd > 0 && RozsahDo >= RozsahOd) {
    od = RozsahOd;
    po = RozsahDo;
  } else if (RozsahDo > 0) {
    po = RozsahDo;
  }
  std::vector<int> r;
  for (int i = std::max(1, od); i <= std::min(po, PocetRadku); ++i) r.push_back(i);
  return r;
}

bool TfPozri::ZapisUsek(int n, const std::string& cil, bool pripojit, const std::vector<HesloSlovniku>* slovnik) {
  platform::File f;
  if (f.open(cil, platform::Access::Write, platform::Share::DenyWrite,
             pripojit ? platform::Create::OpenAlways : platform::Create::CreateAlways) != 0)
    return false;
  std::string blok;
  const std::vector<int> radky = usek(n);
  for (size_t i = 0; i < radky.size(); ++i) {
    std::string r = CtiRadek(radky[i]);
    if (slovnik) r = PrelozRadek(std::move(r), *slovnik);
    // Padded before scrambling, so the whole saved line reads back through the line access.
    blok += sGdpr(doplnene(r, kSirkaUseku)) + "\r\n";
    if (slovnik) ui::BlikPostup(static_cast<int>(radky.size()), static_cast<int>(i + 1));
  }
  return (pripojit ? f.append(blok.data(), blok.size()) : f.write(blok.data(), blok.size())) == 0;
}

bool TfPozri::Doklad(int n, int pocet) {
  if (pocet < 1 || pocet > n + kRezervaDokladu) return false;
  RadkovySoubor doklad;
  doklad.otevri("doklad.txt");
  for (int i = 0; i < pocet && n + i <= PocetRadku; ++i) doklad.pis(i + 1, CtiRadek(n + i));
  doklad.zavri();
  return true;
}

void TfPozri::ZacatekListu(int n) {
  std::string r = CtiRadek(n);
  if (r.empty()) return;
  r[0] = kFormFeed;
  PisRadek(n, r);
}

void TfPozri::Prekoduj(bool win) {
  for (int i = 1; i <= PocetRadku; ++i) {
    const std::string r = CtiRadek(i);
    PisRadek(i, win ? storage::ZKamenickeho(r) : storage::DoKamenickeho(r));
  }
}

void TfPozri::SifrujVse(bool zasifruj) {
  for (int i = 1; i <= PocetRadku; ++i) {
    if (!Soubor().CtiVetuPrimo(i)) continue;
    auto& v = Veta();
    const std::string r(v.begin(), v.begin() + sirka_);
    const std::string z = zasifruj ? Zakoduj(r, KlicSestav()) : Dekoduj(r, KlicSestav());
    std::copy(z.begin(), z.end(), v.begin());
    zahodBlok();
    Soubor().PisVetuPrimo(i);
  }
}

int TfPozri::NajdiList(int list) {
  const int n = PocetRadku;
  int r = std::clamp(Radek, 1, std::max(1, n));
  for (int k = 0; k < n; ++k, r = r % n + 1) {
    if (k % 1000 == 0) {
      // A sign of life on a long report: the counter moves and the help line blinks.
      lKolik.text = vlevo(std::to_string(n), 6) + "/" + vlevo(std::to_string(r), 6);
      if (k > 0) lHelp.visible = !lHelp.visible;
      ui::Application::instance().processPending();
    }
    const std::string prvni = CtiRadek(r);
    if (prvni.empty() || prvni[0] != kFormFeed) continue;
    std::vector<std::string> ctyri{prvni};
    for (int j = 1; j <= 3 && r + j <= n; ++j) ctyri.push_back(CtiRadek(r + j));
    if (CisloListu(ctyri) == list) return r;
  }
  return 0;
}

// ---- Keys.

bool TfPozri::onKey(const ui::KeyEvent& ev) {
  if (ev.vk == ui::kVkEscape && ev.plain() && !navrat_.empty() && !Hleda()) {
    // Back from the help text to the report it was asked from.
    const std::string navrat = std::exchange(navrat_, {});
    Radek = navratRadek_;
    otevri(navrat, true);
    Prekresli();
    return true;
  }
  return TfSoub::onKey(ev);
}

void TfPozri::NaF1() {
  const std::string help = storage::ProgCesta("2\\spool.hhh");
  if (storage::VelikostSouboru(help) < 3) return;
  if (navrat_.empty()) {
    navrat_ = cesta_;
    navratRadek_ = Radek;
  }
  Radek = 1;
  otevri(help, false);
}

void TfPozri::NaCtrlF2() {
  if (!ui::sluzbySouboru().vyberSouboru) return;
  const std::string s = ui::sluzbySouboru().vyberSouboru("", "*.txt", cz("Vyber novou sestavu"));
  if (!s.empty()) otevri(s, false);
}

void TfPozri::NaF4() {
  if (!ui::Dotazy(20, 10, {}, {"List", "    "}, "") || ui::vysledekDialogu().odpovedi.empty()) return;
  const std::string text = orizni(ui::vysledekDialogu().odpovedi[0]);
  const std::string predtim = lHelp.text;
  lHelp.text = cz("Hledám list č. ") + text;
  const int r = NajdiList(std::atoi(text.c_str()));
  lHelp.text = predtim;
  lHelp.visible = true;
  if (r > 0) JdiNa(r);
}

void TfPozri::NaF5() {
  const std::string pocet = vlevo(orizni(storage::CtiPar(kRegistry, "OpakovatTisk")), 3);
  if (ui::Dotazy(10, 10, {}, {cz("Zadejte počet opakování tisku"), pocet}, "") &&
      !ui::vysledekDialogu().odpovedi.empty())
    storage::PisPar(kRegistry, "OpakovatTisk", orizni(ui::vysledekDialogu().odpovedi[0]));
}

void TfPozri::Oprav() {
  if (Radek < 1 || Radek > PocetRadku) return;
  const int radek = Radek - Posun;  // grid row of the current line
  const int vyska = VyskaRadku();
  const int sloupec = std::max(1, look.cellWidth);
  const auto cislo = [](int v) { return vlevo(std::to_string(v), 5); };
  storage::PisPar(kOkna2, caption + " AktTop", cislo(geometry.y + (radek + 1) * vyska + 5));
  storage::PisPar(kOkna2, caption + " AktLeft", cislo(geometry.x + 2 * sloupec + 1));
  storage::PisPar(kOkna2, caption + " AktHeight", cislo(vyska + 5));
  const ui::Color barva = sgRol.color;
  sgRol.color = kSvetleZluta;
  TfEdituj ed(CtiRadek(Radek), std::max(1, (geometry.w - 4 * sloupec) / 8));
  ed.geometry = {geometry.x + 2 * sloupec + 1, geometry.y + (radek + 1) * vyska + 5,
                 std::max(8, geometry.w - 4 * sloupec), vyska + 5};
  ed.showModal();
  sgRol.color = barva;
  if (ed.klavesa == ui::kVkEscape) return;
  PisRadek(Radek, ed.editor().text());
  if (ed.klavesa == ui::kVkUp) JdiNa(Radek - 1);
  if (ed.klavesa == ui::kVkDown) JdiNa(Radek + 1);
}

void TfPozri::NaF7() {
  if (Radek >= 1) VlozPrazdny(Radek);
}

void TfPozri::NaF8() { ZrusRadky(Radek); }

void TfPozri::NaCtrlF7() {
  const platform::Date d = platform::clock().today();
  const platform::TimeOfDay t = platform::clock().now();
  char hlava[64];
  std::snprintf(hlava, sizeof hlava, "%02d.%02d.%02d %02d:%02d:%02d ", d.day, d.month, d.year % 100, t.hour, t.minute,
                t.second);
  TfMemo memo({std::string(hlava) + std::string(22, '*')});
  const int radek = std::max(0, Radek - Posun);
  memo.geometry = {geometry.x, geometry.y + (radek + 1) * VyskaRadku(), std::max(8, geometry.w - 30),
                   std::max(VyskaRadku() * 6, geometry.h / 2)};
  memo.showModal();
  const auto& r = memo.memo->lines;
  // A box emptied by the user inserts nothing.
  if (std::any_of(r.begin(), r.end(), [](const std::string& x) { return !x.empty(); })) VlozText(std::max(1, Radek), r);
}

std::string TfPozri::vyberCil(const std::string& titulek, const std::string& jmeno) {
  std::string nabidka = jmeno;
  for (;;) {
    if (!ui::sluzbySouboru().vyberSouboru) return {};
    std::string s = storage::VelkaPismena(ui::sluzbySouboru().vyberSouboru(nabidka, "*.TXT", titulek));
    if (s.empty()) return {};
    const size_t lomitko = s.find_last_of("\\/:");
    const size_t tecka = s.rfind('.');
    if (tecka != std::string::npos && (lomitko == std::string::npos || tecka > lomitko)) s.resize(tecka);
    s += ".TXT";
    nabidka = s;
    if (tentyz(s, cesta_)) {
      ui::Zprava(cz("Určete jiný soubor, nemůžu přepsat sám sebe"));
      continue;
    }
    if (storage::VelikostSouboru(s) >= 3) {
      const int v = ui::Vyber(10, 10, {}, {cz("Přepsat"), cz("Připojit"), cz("Nová volba")},
                              "Soubor " + s + cz(" již existuje"));
      if (v == 1) storage::ZrusSoubory(s);
      if (v != 1 && v != 2) continue;
    }
    return s;
  }
}

void TfPozri::NaCtrlF6() {
  std::string posledni = storage::CtiPar(kRegistry, "Vstupni soubor");
  if (posledni.empty()) posledni = storage::DataCesta("aaa");
  const std::string cil = vyberCil(cz("Urči, kam úsek zapsat (.TXT)"), posledni);
  if (cil.empty()) return;
  storage::PisPar(kRegistry, "Vstupni soubor", cil);
  ui::Blik(cz("Čekejte - pracuji "));
  ZapisUsek(Radek, cil, storage::VelikostSouboru(cil) >= 3, nullptr);
  ui::BlikKonec();
}

void TfPozri::NaAltF6() {
  const std::vector<HesloSlovniku> slovnik = NactiSlovnik(SouborSlovniku());
  const std::string cil = vyberCil(cz("Urči, kam preložený úsek zapsat (.TXT)"), "aaa");
  if (cil.empty()) return;
  ui::Blik(cz("Čekejte - překládám "));
  ZapisUsek(Radek, cil, storage::VelikostSouboru(cil) >= 3, &slovnik);
  ui::BlikKonec();
}

void TfPozri::NaAltF9() {
  if (!ui::Dotazy(10, 10, {}, {cz("Kolik řádků vytisknout"), "    1"}, "") || ui::vysledekDialogu().odpovedi.empty())
    return;
  if (Doklad(std::max(1, Radek), std::atoi(orizni(ui::vysledekDialogu().odpovedi[0]).c_str())))
    ui::Zprava(cz("Doklad je vytvořen v tiscích"));
}

void TfPozri::NaPismeno(char c) {
  if (c == 'P') ZacatekListu(Radek);
}

void TfPozri::NaCtrlMezera() {
  if (Radek < 1 || !Soubor().CtiVetuPrimo(Radek)) return;
  auto& v = Veta();
  const std::string z = Zakoduj(std::string(v.begin(), v.begin() + sirka_), KlicSestav());
  std::copy(z.begin(), z.end(), v.begin());
  zahodBlok();
  Soubor().PisVetuPrimo(Radek);
}

void TfPozri::NaAltMezera() {
  if (Radek < 1 || !Soubor().CtiVetuPrimo(Radek)) return;
  auto& v = Veta();
  const std::string z = Dekoduj(std::string(v.begin(), v.begin() + sirka_), KlicSestav());
  std::copy(z.begin(), z.end(), v.begin());
  zahodBlok();
  Soubor().PisVetuPrimo(Radek);
}

void TfPozri::sgRolMouseDown(const ui::MouseEvent& ev) {
  if (ev.button == ui::MouseButton::Right && ev.ctrl) {
    PopupMenu1.items[9].enabled = PopupMenu1.items[10].enabled = true;
    PopupMenu1.popup(*this, ev.col, ev.row);
    return;
  }
  TfSoub::sgRolMouseDown(ev);
}

void TfPozri::tisk(int druh) {
  if (sluzbyProhlizece().tisk) sluzbyProhlizece().tisk(*this, druh);
}

void TfPozri::NaF2() { tisk(kTiskF2); }
void TfPozri::NaF9() { tisk(kTiskF9); }
void TfPozri::NaF10() {
  KoncovaKlavesa = 0;  // F10 prints here; the popup menu stays on the right button
  tisk(kTiskF10);
}
void TfPozri::NaShiftF10() { tisk(kTiskRazitko); }
void TfPozri::NaAltF10() { tisk(kTiskRychly); }
void TfPozri::NaF12() { tisk(kTiskZasuvka); }
void TfPozri::NaCtrlF5() { tisk(kTiskListem); }
void TfPozri::NaAltF5() { tisk(kTiskRadkem); }
void TfPozri::NaCtrlF9() { ui::Kalkulacka(0.0); }

void RegistrujProhlizec(TfPozri& prvni, TfPozri& druhy) {
  ui::NastavProhlizecSestav([&prvni, &druhy](const std::string& soubor) {
    if (!prvni.isShowing()) prvni.Ukaz(soubor);
    else if (!druhy.isShowing()) druhy.Ukaz(soubor);
    // With both open a third report is not shown: a viewer cannot be shown twice.
  });
}

}  // namespace pz::reports
