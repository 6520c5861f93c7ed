// The browse window TfRol. Map of this file:
//   - services of other layers and small helpers
//   - Opening and closing            OtevriRol, Zavri, the settings a list remembers
//   - Layout and drawing             Sestav, Prekresli, columns, cells, pictures
//   - Rows and moves                 the current row, paging, JdiNa
//   - Keys                           the dispatch of every key to its hook
//   - Marks                          marking rows and the marks file
//   - Search                         the search line, exact and folded search
//   - Orders                         order files and their switching
//   - Windows of other layers        calculator, viewer, exports reached from a list
//   - Mouse and the code reader

#include "ui/browse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "ui/app.h"
#include "ui/dialogs.h"
#include "ui/imagesize.h"
#include "ui/picture.h"

namespace pz::ui {

using platform::cz;
using storage::PisPar;

SluzbyRolu& sluzbyRolu() {
  static SluzbyRolu s;
  return s;
}

namespace {

constexpr int kNejvicCislic = 16;
constexpr int kNejdelsiKod = 20;
constexpr int kRychleCislice = 50;  // ms: digits closer than this come from a scanning device
constexpr int kNejvetsiOdsazeni = 999;
constexpr int kKrokHledani = 1000;  // rows between two signs of progress of a search
constexpr int64_t kDlouheHledaniMs = 1000;  // a search running longer shows the flashing message
constexpr Color kBarvaNapovedy = 8388608, kPismoNapovedy = 15790320;

// Key numbers: virtual key + 1000 Ctrl + 2000 Shift + 3000 Alt.
enum : int {
  kCtrlB = kCtrlAdd + 'B', kCtrlD = kCtrlAdd + 'D', kCtrlE = kCtrlAdd + 'E', kCtrlK = kCtrlAdd + 'K',
  kCtrlY = kCtrlAdd + 'Y', kCtrlZ = kCtrlAdd + 'Z', kCtrlLeft = kCtrlAdd + kVkLeft,
  kCtrlRight = kCtrlAdd + kVkRight, kCtrlSpace = kCtrlAdd + kVkSpace, kAltSpace = kAltAdd + kVkSpace,
  kCtrlPlus = kCtrlAdd + kVkAdd, kCtrlF3 = kCtrlAdd + kVkF3, kCtrlF10 = kCtrlAdd + kVkF10,
  kCtrlF11 = kCtrlAdd + kVkF11, kCtrlF12 = kCtrlAdd + kVkF12, kShiftF4 = kShiftAdd + kVkF4,
  kShiftF10 = kShiftAdd + kVkF10, kShiftF12 = kShiftAdd + kVkF12,
};

// The search form of each byte (diacritics removed, upper-cased), taken once from the one place
// that defines it.
const std::array<char, 256>& tabulkaHledani() {
  static const std::array<char, 256> t = [] {
    std::array<char, 256> a{};
    for (int i = 0; i < 256; ++i) {
      const char c = static_cast<char>(i);
      a[static_cast<size_t>(i)] = storage::HledaciTvar(std::string_view(&c, 1))[0];
    }
    return a;
  }();
  return t;
}

// True when the table folds plain ASCII by capitals alone ('a'..'z' to 'A'..'Z', the rest
// unchanged): eight such bytes then fold at once.
bool asciiJenVelkymi() {
  static const bool ano = [] {
    const auto& t = tabulkaHledani();
    for (int c = 0; c < 0x80; ++c)
      if (t[static_cast<size_t>(c)] != static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c)) return false;
    return true;
  }();
  return ano;
}

void slozHledani(char* p, char* const konec) {
  // Through plain pointers: a store through a char reference could alias the table, so the
  // compiler would fetch the string's storage again for every byte.
  const char* t = tabulkaHledani().data();
  if (asciiJenVelkymi()) {
    constexpr std::uint64_t kHorni = 0x8080808080808080ull;
    for (; konec - p >= 8; p += 8) {
      std::uint64_t x;
      std::memcpy(&x, p, 8);
      if (x & kHorni) {
        for (int i = 0; i < 8; ++i) p[i] = t[static_cast<unsigned char>(p[i])];
        continue;
      }
      // Bytes below 0x80: + 0x1F reaches the top bit from 'a' up, + 0x05 from past 'z' up.
      const std::uint64_t mala = (x + 0x1F1F1F1F1F1F1F1Full) & ~(x + 0x0505050505050505ull) & kHorni;
      x -= mala >> 2;  // 0x20 off each small letter
      std::memcpy(p, &x, 8);
    }
  }
  for (; p != konec; ++p) *p = t[static_cast<unsigned char>(*p)];
}

void slozHledani(std::string& s) { slozHledani(s.data(), s.data() + s.size()); }

std::vector<std::string> slova(const std::string& text) {
  std::vector<std::string> w;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) w.push_back(text.substr(i, j - i));
    i = j;
  }
  return w;
}

bool jeCislice(const KeyEvent& ev, char& c) {
  if (ev.ctrl || ev.alt) return false;
  if (ev.ch >= '0' && ev.ch <= '9') {
    c = ev.ch;
    return true;
  }
  if (ev.vk >= kVk0 && ev.vk <= kVk0 + 9 && !ev.shift) {
    c = static_cast<char>('0' + ev.vk - kVk0);
    return true;
  }
  if (ev.vk >= 96 && ev.vk <= 105) {  // numeric keypad
    c = static_cast<char>('0' + ev.vk - 96);
    return true;
  }
  return false;
}

Presenter* presenter() { return Application::instance().presenter(); }

double meritko() {
  const double s = storage::settings().screenScale;
  return s > 0 ? s : 1.0;
}

int64_t cisloZCislic(const std::string& cislice) {
  int64_t b = 0;
  for (char c : cislice) b = b * 10 + (c - '0');  // at most 16 digits: no overflow
  return b;
}

}  // namespace

TfRol::TfRol(std::string nazev, std::string titulek)
    : Form(std::move(nazev), std::move(titulek)),
      sgRol(add<Grid>("sgRol")),
      lhled(add<Label>("lhled")),
      eHled(add<Edit>("eHled")),
      lKolik(add<Label>("lKolik")),
      lHelp(add<Label>("lHelp")),
      ScrollBar1(add<ScrollBar>("ScrollBar1")),
      Image1(add<Image>("Image")),
      MemoText(add<Memo>("MemoText")),
      LabSrt(add<Label>("LabSrt")),
      BarSrt(add<ProgressBar>("BarSrt")),
      PopupMenu1("PopupMenu1"),
      TimerError(10, nullptr),
      TimerSerPera(100, [this] { ctecka(); }) {
  sgRol.fixedRows = 1;
  sgRol.fixedCols = 1;
  sgRol.row = 1;
  sgRol.styleCell = [this](int, int r, PaintStyle& st) {
    if (TucneZnacky && r > 0 && r < static_cast<int>(oznaceneRadky_.size()) && oznaceneRadky_[static_cast<size_t>(r)])
      st.bold = true;
  };
  lhled.text = cz("Najdi [F3]");
  eHled.enabled = false;
  eHled.editor.setMaxLength(80);
  lHelp.color = kBarvaNapovedy;
  lHelp.fontColor = kPismoNapovedy;
  lHelp.bold = true;
  Image1.visible = false;
  resizable = true;
  MemoText.visible = false;
  LabSrt.visible = false;
  BarSrt.visible = false;
  for (char c = 'a'; c <= 'k'; ++c) PopupMenu1.items.push_back({std::string(1, c), std::string(1, c), false, true, {}});
  setFocus(&sgRol);
}

TfRol::~TfRol() = default;

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TfRol::OtevriRol(int levy, int horni, int pravy, int dolni, Color barvaMrizky, Color barvaPisma,
                      const std::string& paticka, const std::string& napoveda, int radek, int pocet) {
  const std::string n = PredponaKlicu();
  if (RezervovaneRadky < 0 || RezervovaneRadky > 30) RezervovaneRadky = 0;
  PocetRadku = std::max(0, pocet);

  Znacky.vycisti();
  PocetOznacenych = 0;
  SeznamZnacek.clear();
  seznamPlnyHlasen_ = false;
  RozsahOd = RozsahDo = 0;
  if (!SouborZnacek.empty()) {
    if (!Znacky.nacti(SouborZnacek))
      storage::interaction().message(cz("Nelze přečíst soubor označených záznamů ") + SouborZnacek, true);
    PocetOznacenych = Znacky.spocitej(PocetRadku);
  }

  BarvaMrizky = UlozenaBarvaMrizky = barvaMrizky;
  BarvaPisma = UlozenaBarvaPisma = barvaPisma;
  caption = paticka;
  TextNapovedy = napoveda;
  Cislice.clear();
  CasCislice = -1;
  RezimKodu = false;
  Kod.clear();
  LevySloupec = 1;
  Odsazeni = 1;
  CisloObrazku = 1;
  if (hledani_) skonciHledani();
  zelene_ = false;

  Vzhled = VyresVzhled(name());
  if (Vzhled.barvaPapiru) BarvaMrizky = UlozenaBarvaMrizky = *Vzhled.barvaPapiru;
  if (Vzhled.barvaPisma) BarvaPisma = UlozenaBarvaPisma = *Vzhled.barvaPisma;
  if (AktivniPoradi() != 0) {
    zelene_ = true;
    BarvaMrizky = kBarvaPoradi;
  }

  // Geometry: from the character cells, unless the window's own keys hold a positive number.
  const double s = meritko();
  auto px = [s](double v) { return static_cast<int>(std::lround(v * s)); };
  const int cw = Vzhled.sirkaZnaku, ch = Vzhled.vyskaZnaku;
  Rect g{px((levy - 1) * cw), px((horni - 1) * ch), px((pravy - levy + 1) * cw), px((dolni - horni + 8) * ch)};
  auto klic = [&](const char* k, int& v) {
    const int u = CtiCislo(kOkna2, n + k);
    if (u > 0) v = u;
  };
  klic("Left", g.x);
  klic("Top", g.y);
  klic("Width", g.w);
  klic("Height", g.h);
  const Rect prac = presenter() ? presenter()->workArea() : Rect{0, 0, 1024, 768};
  // The keys hold four digits, so a size beyond 9999 pixels is no size anyone stored.
  g.w = std::clamp(g.w, 200, 9999);
  g.h = std::clamp(g.h, 180, 9999);
  g.x = std::clamp(g.x, 0, std::max(0, prac.w - 100));
  g.y = std::clamp(g.y, 0, std::max(0, prac.h - 100));
  geometry = g;

  Posun = 0;
  sgRol.row = 1;
  Viditelne = 0;
  rozlozeno_ = false;
  Sestav();

  int r = radek;
  if (ObnovitPozici) {
    const int i = CtiCislo(kOkna2, n + "Index");
    if (i >= 1 && i <= PocetRadku) r = i;
  }
  if (r < 1 || r > PocetRadku) r = PocetRadku;
  JdiNa(r, 2);

  auto poloha = [&](Control& c, const char* l, const char* t, const char* w, const char* h) {
    klic(l, c.geometry.x);
    klic(t, c.geometry.y);
    if (w) klic(w, c.geometry.w);
    if (h) klic(h, c.geometry.h);
  };
  poloha(Image1, "ImgLeft", "ImgTop", "ImgWidth", "ImgHeight");
  poloha(MemoText, "TextLeft", "TextTop", nullptr, nullptr);
}

void TfRol::onShow() {
  rozlozeno_ = true;
  if (!hledani_) setFocus(&sgRol);
  Prekresli();
}

void TfRol::onClose() { FormClose(); }

void TfRol::FormClose() {
  const std::string n = PredponaKlicu();
  PisPar(kOkna2, n + "Left", FormatGeometrie(geometry.x));
  PisPar(kOkna2, n + "Top", FormatGeometrie(geometry.y));
  PisPar(kOkna2, n + "Width", FormatGeometrie(geometry.w));
  PisPar(kOkna2, n + "Height", FormatGeometrie(geometry.h));
}

void TfRol::Zavri() {
  const std::string n = PredponaKlicu();
  if (!SouborZnacek.empty()) {
    storage::ZalozCestu(SouborZnacek);
    if (const int code = Znacky.uloz(SouborZnacek); code != 0)
      storage::interaction().message(cz("Nelze zapsat soubor označených záznamů ") + SouborZnacek + " err " +
                                         FormatPlainE("######", code),
                                     true);
  }
  Znacky.vycisti();
  PocetOznacenych = 0;
  SeznamZnacek.clear();
  PisPar(kOkna2, n + "Index", FormatIndexu(Viditelne > 0 ? Posun + sgRol.row : 0));
  // Widths of a list that was never shown are the placeholders of fields not declared yet.
  if (Sloupce.size() > 1 && rozlozeno_) PisPar(kOkna2, n + "Gridy", SestavGridy(sirkyPx_));
}

// ---------------------------------------------------------------------------------------------
// Layout and drawing

int TfRol::sirkaVychozi(const SloupecRolu& s) const {
  const std::string pismo = storage::VelkaPismena(Vzhled.pismo);
  const int znak = (pismo == "COURIER" || pismo == "FIXEDSYS") ? 8 + 1 : Vzhled.sirkaZnaku;
  const int znaky = std::max(0, s.sirka) + 1 + (s.datumCas ? 1 : 0);
  return std::max(1, static_cast<int>(std::lround(znaky * znak * meritko())));
}

void TfRol::Sestav() {
  const double s = meritko();
  vyskaRadku_ = std::max(1, static_cast<int>(std::lround(Vzhled.vyskaZnaku * s)));
  look.cellHeight = vyskaRadku_ + 1;  // a grid row and its line
  look.cellWidth = std::max(1, static_cast<int>(std::lround(Vzhled.sirkaZnaku * s)));
  look.fontName = Vzhled.pismo;
  look.fontSize = Vzhled.velikost;
  look.fontBold = Vzhled.tucne();
  look.fontItalic = Vzhled.kurziva();

  MaxViditelne = std::max(1, geometry.h / (vyskaRadku_ + 1) - RezervovaneRadky - 7);
  Viditelne = std::min(MaxViditelne, PocetRadku);

  std::vector<int> gridy = RozeberGridy(storage::CtiPar(kOkna2, PredponaKlicu() + "Gridy"));
  if (!GridyUveritelne(gridy, 2 * look.cellWidth)) gridy.clear();
  const size_t nc = std::max<size_t>(1, Sloupce.size());
  sirkyPx_.assign(nc + 1, 10);
  if (!gridy.empty()) sirkyPx_[0] = gridy[0];
  for (size_t c = 1; c <= nc; ++c) {
    if (c < gridy.size()) sirkyPx_[c] = gridy[c];
    else if (c <= Sloupce.size()) sirkyPx_[c] = sirkaVychozi(Sloupce[c - 1]);
    else sirkyPx_[c] = std::max(1, geometry.w - sirkyPx_[0] - 20);  // one column without a declaration
  }
  Posun = std::clamp(Posun, 0, std::max(0, PocetRadku - Viditelne));
  sgRol.row = std::clamp(sgRol.row, 1, std::max(1, Viditelne));
  umistiOvladace();
}

void TfRol::umistiOvladace() {
  const int rh = vyskaRadku_ + 1;
  const int cw = std::max(1, look.cellWidth);
  int sirka = 0;
  for (int w : sirkyPx_) sirka += w;
  if (sirkyPx_.size() > 3) sirka = geometry.w - 20;  // more than two columns: the window's width
  sgRol.geometry = {0, 0, std::max(cw, std::min(sirka, geometry.w - cw)), rh * (Viditelne + 1 + 2)};
  const int dole = sgRol.geometry.h;
  // "Najdi [F3]", the search field and the position label share the line below the grid; a
  // narrow window puts the position label on the line after it.
  const int kolik = 32 * cw;
  const bool vedle = geometry.w >= 12 * cw + 20 * cw + kolik;
  lhled.geometry = {0, dole, 11 * cw, rh};
  eHled.geometry = {12 * cw, dole, vedle ? geometry.w - 13 * cw - kolik : std::max(cw, geometry.w - 12 * cw), rh};
  lKolik.geometry = {vedle ? geometry.w - kolik : 0, vedle ? dole : dole + rh, kolik, rh};
  lHelp.geometry = {0, std::max(dole + 2 * rh, geometry.h - 2 * rh), geometry.w, rh};
  ScrollBar1.geometry = {sgRol.geometry.w, rh, cw, rh * std::max(1, Viditelne)};
}

std::string TfRol::TextRadku(int n) {
  // NaplnSloupce fills them; cleared, not made anew, since a search comes here for every row.
  Bunky.resize(std::max<size_t>(1, Sloupce.size()) + 1);
  for (auto& b : Bunky) b.clear();
  CtiPuvodni(n);
  NaplnSloupce();
  size_t delka = Bunky.size();
  for (size_t c = 1; c < Bunky.size(); ++c) delka += Bunky[c].size();
  std::string t;
  t.reserve(delka);
  for (size_t c = 1; c < Bunky.size(); ++c) {
    if (c > 1) t += ' ';
    t += Bunky[c];
  }
  return t;
}

void TfRol::Prekresli() {
  const size_t nc = std::max<size_t>(1, Sloupce.size());
  if (sirkyPx_.size() != nc + 1) Sestav();
  umistiOvladace();
  sgRol.color = BarvaMrizky;
  sgRol.fontColor = BarvaPisma;
  sgRol.setSize(static_cast<int>(nc) + 1, Viditelne + 1);
  const int cw = std::max(1, look.cellWidth);
  for (size_t c = 0; c <= nc; ++c)
    sgRol.colWidths[c] = std::max(1, static_cast<int>(std::lround(static_cast<double>(sirkyPx_[c]) / cw)));
  sgRol.leftCol = LevySloupec;
  sgRol.cell(0, 0).clear();
  for (size_t c = 1; c <= nc; ++c) sgRol.cell(static_cast<int>(c), 0) = c <= Sloupce.size() ? Sloupce[c - 1].titulek : "";

  auto posunuty = [this](const std::string& t) {
    if (!PosunuteKresleni) return t;
    const size_t od = static_cast<size_t>(Odsazeni - 1);
    return od < t.size() ? t.substr(od) : std::string();
  };
  oznaceneRadky_.assign(static_cast<size_t>(Viditelne) + 1, false);
  for (int p = 1; p <= Viditelne; ++p) {
    const int n = Posun + p;
    auto& radek = sgRol.rows[static_cast<size_t>(p)];
    if (n > PocetRadku) {
      for (auto& c : radek) c.clear();
      continue;
    }
    Bunky.assign(nc + 1, std::string());
    std::string text = TextRadku(n);
    const bool oznacen = Znacky.je(CisloZPoradi(n));
    oznaceneRadky_[static_cast<size_t>(p)] = oznacen;
    radek[0] = oznacen ? "\x11" : " ";
    if (nc == 1) {
      if (storage::settings().semicolons) std::replace(text.begin(), text.end(), ';', ' ');
      radek[1] = posunuty(text);
    } else {
      for (size_t c = 1; c <= nc; ++c) radek[c] = posunuty(Bunky[c]);
    }
  }
  const size_t od = static_cast<size_t>(Odsazeni - 1);
  std::string napoveda = TextNapovedy;
  // Alt+F4 often closes the window before the list sees it: the fourth order has a second key
  // (Ctrl+Shift+F4 arrives with the same key number).
  if (poradi_ && poradi_->PocetVPoradi(4) > 0) napoveda += cz(" Alt+F4,Ctrl+Shift+F4=4.třídění");
  lHelp.text = od < napoveda.size() ? napoveda.substr(od, 250) : std::string();
  prepocitejRadek();
  lKolik.text = TextPozice();
  ScrollBar1.max = std::max(1, PocetRadku);
  ScrollBar1.position = std::max(0, Radek);
  PoPrekresleni();
  if (Obrazky) ukazObrazek();
  PoPohybu();
}

std::string TfRol::TextPozice() const {
  return FormatE("#######", PocetRadku) + "/" + FormatE("#######", Radek) + cz("  Vybráno:") +
         FormatE("######", PocetOznacenych);
}

void TfRol::prepocitejRadek() {
  if (Viditelne <= 0) {
    sgRol.row = 1;
    Radek = 0;
    return;
  }
  sgRol.row = std::clamp(sgRol.row, 1, Viditelne);
  Radek = Posun + sgRol.row;
}

void TfRol::PouzijVzhled() {
  Vzhled = VyresVzhled(name());
  Color& papir = zelene_ ? UlozenaBarvaMrizky : BarvaMrizky;
  if (Vzhled.barvaPapiru) papir = *Vzhled.barvaPapiru;
  if (Vzhled.barvaPisma) BarvaPisma = *Vzhled.barvaPisma;
  Sestav();
  JdiNa(Radek, 0);
  Prekresli();
}

std::string TfRol::KlicObrazku(int n) { return FormatPlainE("@@@@@@", n); }

std::string TfRol::SouborObrazku(int n) {
  return storage::DataCesta(KlicObrazku(n)) + "-" + FormatPlainE("@@", CisloObrazku) + ".jpg";
}

void TfRol::ukazObrazek() {
  Image1.visible = Radek > 0;
  Image1.picturePath = Radek > 0 ? SouborObrazku(Radek) : std::string();
}

// ---------------------------------------------------------------------------------------------
// Rows and moves

int TfRol::CisloZPoradi(int n) {
  if (!poradi_ || n < 1 || n > PocetRadku) return n;
  const int r = poradi_->CisloZPoradi(n);
  // An order file that names no record of the list (stale or damaged) leaves the row as it is.
  return r >= 1 && r <= PocetRadku ? r : n;
}

void TfRol::JdiNa(int n, int rezim) {
  if (PocetRadku <= 0) {
    Posun = 0;
    Viditelne = 0;
    prepocitejRadek();
    return;
  }
  if (Viditelne <= 0) Viditelne = std::min(MaxViditelne, PocetRadku);
  n = std::clamp(n, 1, PocetRadku);
  if (n <= Posun || n > Posun + Viditelne) {
    if (rezim == 2) Posun = std::max(0, n - Viditelne);
    else Posun = std::max(0, std::min(n - 1, PocetRadku - Viditelne));
  }
  sgRol.row = n - Posun;
  Radek = n;
}

void TfRol::dolu() {
  if (Viditelne <= 0) return;
  if (sgRol.row >= Viditelne) {
    if (Posun + Viditelne < PocetRadku) ++Posun;
  } else {
    ++sgRol.row;
  }
}

// ---------------------------------------------------------------------------------------------
// Keys

bool TfRol::onKey(const KeyEvent& ev) {
  if (prace_) {
    // A long search is running: Esc stops it, other keys wait for its end.
    if (ev.plain() && ev.vk == kVkEscape) preruseno_ = true;
    return true;
  }
  if (hledani_) return klavesaHledani(ev);
  return klavesaMrizky(ev);
}

bool TfRol::klavesaMrizky(const KeyEvent& ev) {
  KoncovaKlavesa = ev.number();
  const int k = KoncovaKlavesa;
  const int nc = static_cast<int>(std::max<size_t>(1, Sloupce.size()));
  char c = 0;
  switch (k) {
    case kVkDown: dolu(); break;
    case kVkUp:
      if (Viditelne < MaxViditelne && Viditelne < PocetRadku && sgRol.row <= 1) ++Viditelne;
      else if (Posun > 0 && sgRol.row <= 1) --Posun;
      else if (sgRol.row > 1) --sgRol.row;
      break;
    case kVkNext:
    case kVkPrior:
      Viditelne = std::min(MaxViditelne, PocetRadku);
      if (k == kVkNext) Posun = std::max(0, std::min(Posun + Viditelne, PocetRadku - Viditelne));
      else Posun = std::max(0, Posun - Viditelne);
      break;
    case kVkHome:
      Posun = 0;
      sgRol.row = 1;
      break;
    case kVkEnd:
      Posun = std::max(0, PocetRadku - Viditelne);
      sgRol.row = std::max(1, Viditelne);
      break;
    case kVkLeft:
      LevySloupec = std::max(1, LevySloupec - 1);
      Odsazeni = std::max(1, Odsazeni - 1);
      break;
    case kVkRight:
      LevySloupec = std::min(std::max(1, nc), LevySloupec + 1);
      Odsazeni = std::min(kNejvetsiOdsazeni, Odsazeni + 1);
      break;
    case kCtrlLeft: Odsazeni = std::max(1, Odsazeni - 20); break;
    case kCtrlRight:
      if (Odsazeni <= kNejvetsiOdsazeni - 20) Odsazeni += 20;
      break;
    case kVkReturn: enter(); return true;
    case kVkEscape: esc(); return true;
    case kVkSpace:
      if (Radek > 0) Oprav();
      break;
    case kCtrlB:
    case kVkCapital:
      RezimKodu = true;
      Kod.clear();
      return true;
    case kVkInsert: Oznac(); break;
    case kCtrlY:
    case kCtrlZ:
    case kCtrlF10:
    case kCtrlF11:
      RozsahOd = Radek;
      OznacRozsah();
      break;
    case kCtrlK:
    case kCtrlPlus:
      RozsahDo = Radek;
      OznacRozsah();
      break;
    case kVkF1: NaF1(); break;
    case kVkF2: NaF2(); break;
    case kVkF3: NaF3(); break;
    case kVkF4: NaF4(); break;
    case kVkF5: NaF5(); break;
    case kVkF6: NaF6(); break;
    case kVkF7: NaF7(); break;
    case kVkF8: NaF8(); break;
    case kVkF9: NaF9(); break;
    case kVkF10:
      NaF10();
      if (KoncovaKlavesa == kVkF10 && !closeRequested()) PopupMenu1.popup(*this, 2, std::max(1, sgRol.row));
      break;
    case kVkF11: NaF11(); break;
    case kVkF12: NaF12(); break;
    case kAltAdd + kVkF1: NaAltF1(); break;
    case kAltAdd + kVkF2: NaAltF2(); break;
    case kAltAdd + kVkF3: NaAltF3(); break;
    case kAltAdd + kVkF4: NaAltF4(); break;
    case kAltAdd + kVkF5: NaAltF5(); break;
    case kAltAdd + kVkF6: NaAltF6(); break;
    case kAltAdd + kVkF7: NaAltF7(); break;
    case kAltAdd + kVkF8: NaAltF8(); break;
    case kAltAdd + kVkF9: NaAltF9(); break;
    case kAltAdd + kVkF10: NaAltF10(); break;
    case kAltAdd + kVkF11: NaAltF11(); break;
    case kAltAdd + kVkF12: NaAltF12(); break;
    case kCtrlAdd + kVkF1: NaCtrlF1(); break;
    case kCtrlAdd + kVkF2: NaCtrlF2(); break;
    case kCtrlF3: NaCtrlF3(); break;
    case kCtrlAdd + kVkF4: NaCtrlF4(); break;
    case kCtrlAdd + kVkF5: NaCtrlF5(); break;
    case kCtrlAdd + kVkF6: NaCtrlF6(); break;
    case kCtrlAdd + kVkF7: NaCtrlF7(); break;
    case kCtrlAdd + kVkF8: NaCtrlF8(); break;
    case kCtrlAdd + kVkF9: NaCtrlF9(); break;
    case kShiftF4: NaShiftF4(); break;
    case kShiftF10: NaShiftF10(); break;
    case kShiftF12: NaShiftF12(); break;
    case kCtrlF12: NaCtrlF12(); break;
    case kVkAdd: NaPlus(); break;
    case kVkSubtract: NaMinus(); break;
    case kVkMultiply: NaHvezdicka(); break;
    case kCtrlE: NaCtrlE(); break;
    case kCtrlD: NaCtrlD(); break;
    case kVkDelete: NaDelete(); break;
    case kCtrlSpace: NaCtrlMezera(); break;
    case kAltSpace: NaAltMezera(); break;
    default:
      if (jeCislice(ev, c)) {
        if (RezimKodu) {
          if (static_cast<int>(Kod.size()) < kNejdelsiKod) Kod += c;
          return true;
        }
        cislice(c);
      } else if (ev.vk >= kVkA && ev.vk <= kVkA + 25 && !ev.ctrl && !ev.alt) {
        NaPismeno(static_cast<char>('A' + (ev.vk - kVkA)));
      }
      break;
  }
  if (closeRequested() || hledani_) return true;
  Prekresli();
  return true;
}

void TfRol::cislice(char c) {
  if (static_cast<int>(Cislice.size()) < kNejvicCislic) Cislice += c;
  const int64_t ted = platform::clock().monotonicMs();
  const bool pomalu = CasCislice < 0 || ted - CasCislice > kRychleCislice;
  CasCislice = ted;
  if (!pomalu) return;  // a scanning device: the digits only collect
  int64_t b = cisloZCislic(Cislice);
  if (b > PosunCisel) b -= PosunCisel;
  if (b >= 1 && b <= PocetRadku) JdiNa(static_cast<int>(b), 0);
}

void TfRol::enter() {
  if (RezimKodu || Cislice.size() >= 6) {
    if (Kod.empty()) Kod = Cislice;  // in code entry the digits went to Kod already
    RezimKodu = false;
    Cislice.clear();
    KodZadan();
    // The code is handed over once; the next scan must not find this one still held.
    Kod.clear();
    if (!closeRequested()) Prekresli();
    return;
  }
  if (PocetRadku <= 0) return;
  Cislice.clear();
  if (AktivniPoradi() != 0) {
    // Callers always receive a record number: the order is left at the chosen record.
    const int zaznam = CisloZPoradi(Radek);
    poradi_->NastavPoradi(0);
    if (zelene_) {
      BarvaMrizky = UlozenaBarvaMrizky;
      BarvaPisma = UlozenaBarvaPisma;
      zelene_ = false;
    }
    JdiNa(zaznam, 0);
  }
  Radek = std::min(Radek, PocetRadku);
  if (!EnterOpravuje) {
    KoncovaKlavesa = kVkReturn;
    PredKoncem();
    close(kVkReturn);
    return;
  }
  if (Radek > 0) Oprav();
  if (!closeRequested()) Prekresli();
}

void TfRol::esc() {
  Radek = -1;
  PredKoncem();
  close(kVkEscape);
}

// ---------------------------------------------------------------------------------------------
// Marks

void TfRol::prepniZnacku(int radek) {
  const int zaznam = CisloZPoradi(radek);
  if (!ZnackyRolu::vRozsahu(zaznam)) {
    beepPriZnaceni_ = true;  // beyond the marks: refused, nothing written
    return;
  }
  const bool zapnout = !Znacky.je(zaznam);
  Znacky.nastav(zaznam, zapnout);
  PocetOznacenych += zapnout ? 1 : -1;
  if (!DrzetSeznamZnacek) return;
  if (zapnout) {
    if (SeznamZnacek.size() < kNejvicVSeznamu) {
      SeznamZnacek.push_back(zaznam);
    } else {
      SeznamZnacek.back() = zaznam;
      if (!seznamPlnyHlasen_) {
        seznamPlnyHlasen_ = true;
        storage::interaction().message(
            cz("Seznam označených záznamů pojme jen 1000 čísel; další označení nahrazují poslední z nich."));
      }
    }
  } else {
    SeznamZnacek.erase(std::remove(SeznamZnacek.begin(), SeznamZnacek.end(), zaznam), SeznamZnacek.end());
  }
}

void TfRol::Oznac() {
  if (PocetRadku <= 0 || Radek < 1) return;
  beepPriZnaceni_ = false;
  if (RozsahOd >= 1 && RozsahOd <= RozsahDo && Radek >= RozsahOd && Radek <= RozsahDo) {
    for (int r = RozsahOd; r <= std::min(RozsahDo, PocetRadku); ++r) prepniZnacku(r);
  } else {
    prepniZnacku(Radek);
  }
  if (beepPriZnaceni_) Application::instance().beep();
  PoOznaceni();
  dolu();
  prepocitejRadek();
}

void TfRol::OznacRozsah() {
  if (RozsahOd < 1 || RozsahOd > RozsahDo) return;
  beepPriZnaceni_ = false;
  for (int r = RozsahOd; r <= std::min(RozsahDo, PocetRadku); ++r)
    if (!Znacky.je(CisloZPoradi(r))) prepniZnacku(r);
  if (beepPriZnaceni_) Application::instance().beep();
}

// ---------------------------------------------------------------------------------------------
// Search

void TfRol::NaF3() { zacniHledani(); }

void TfRol::zacniHledani() {
  hledani_ = true;
  eHled.enabled = true;
  eHled.color = kBarvaHledani;
  setFocus(&eHled);
}

void TfRol::skonciHledani() {
  hledani_ = false;
  eHled.color = kInherit;
  eHled.enabled = false;
  setFocus(&sgRol);
}

bool TfRol::klavesaHledani(const KeyEvent& ev) {
  const int k = ev.number();
  if (k != kVkEscape && k != kVkF3 && k != kCtrlF3 && k != kVkReturn) return false;  // the field's
  KoncovaKlavesa = k;
  skonciHledani();
  if (k != kVkEscape && !eHled.value().empty()) {
    VolnePorovnani = k == kCtrlF3;
    Hledej();
    VolnePorovnani = false;
  }
  Prekresli();
  return true;
}

void TfRol::Hledej() {
  const std::string text = eHled.value();
  const bool volne = VolnePorovnani;
  int r;
  if (volne) {
    r = NajdiText(storage::HledaciTvar(text));
  } else {
    // The exact comparison and, when it finds nothing, the loose one: both in one pass over the
    // rows, each row's text built once, the first loose match kept for the case that no row
    // matches exactly.
    r = prohledej(PresneHledani ? text : storage::HledaciTvar(text), storage::HledaciTvar(text));
  }
  if (r > 0) JdiNa(r, 0);
}

std::string TfRol::TextProHledani(int n) {
  std::string t = TextRadku(n);
  SlozProHledani(t);
  return t;
}

void TfRol::SlozProHledani(std::string& t, std::size_t od) const {
  if (!PresneHledani && od < t.size()) slozHledani(t.data() + od, t.data() + t.size());
}

int TfRol::NajdiText(const std::string& text) {
  if (text.empty()) return -1;
  return VolnePorovnani ? prohledej({}, text) : prohledej(text, {});
}

int TfRol::prohledej(const std::string& presne, const std::string& volne) {
  const bool sPresnym = !presne.empty(), sVolnym = !volne.empty();
  if (!sPresnym && !sVolnym) return -1;
  const std::string napoveda = lHelp.text;
  lHelp.text = cz("Hledám: ") + (sPresnym ? presne : volne);
  const std::vector<std::string> hledana = sVolnym ? slova(volne) : std::vector<std::string>{};
  auto volnaShoda = [&](const std::string& radek) {
    // The loose comparison always folds.
    std::string slozeny;
    const std::string* s = &radek;
    if (PresneHledani) {
      slozeny = radek;
      slozHledani(slozeny);
      s = &slozeny;
    }
    return std::all_of(hledana.begin(), hledana.end(), [&](const std::string& w) { return s->find(w) != std::string::npos; });
  };

  // From the row after the current one to the end, then from row 1 back to the current row.
  // At most every row once: with no current row (0, -1) the wrap would never meet it.
  const int n = PocetRadku;
  int r = std::max(1, Radek + 1);
  int nalezen = -1, prvniVolny = -1;
  prace_ = true;
  preruseno_ = false;
  const int64_t zacatek = platform::clock().monotonicMs();
  bool blik = false;
  ZacatekHledani();
  // The blocks never outlive the pass, however it ends: later reads must see the file as it is.
  struct Konec {
    TfRol& w;
    ~Konec() { w.KonecHledani(); }
  } konec{*this};
  std::string s;  // the row's text, its storage kept from row to row
  for (int prohledano = 0; prohledano < n; ++r) {
    if (r > n) {
      if (HledatJenDoKonce) break;
      r = 1;
      ZacatekHledani();  // the rows from the top are read in blocks again
    }
    if (r == Radek) break;
    ++prohledano;
    TextProHledaniDo(r, s);
    if (sPresnym ? s.find(presne) != std::string::npos : volnaShoda(s)) {
      nalezen = r;
      break;
    }
    if (sPresnym && sVolnym && prvniVolny < 0 && volnaShoda(s)) prvniVolny = r;
    if (prohledano % kKrokHledani == 0) {
      lHelp.visible = !lHelp.visible;
      lKolik.text = FormatE("#######", n) + "/" + FormatE("#######", r) + cz("  Vybráno:") + FormatE("######", PocetOznacenych);
      if (!blik && platform::clock().monotonicMs() - zacatek > kDlouheHledaniMs) {
        Blik(lHelp.text);
        blik = true;
      }
      if (blik)
        BlikPostup(n, prohledano);
      else
        Application::instance().processPending();
      if (preruseno_) break;  // Esc
    }
  }
  if (blik) BlikKonec();
  prace_ = false;
  lHelp.visible = true;
  lHelp.text = napoveda;
  if (preruseno_) return -1;
  return nalezen > 0 ? nalezen : prvniVolny;
}

// ---------------------------------------------------------------------------------------------
// Orders

void TfRol::Poradi(int i) {
  if (!poradi_ || poradi_->PocetVPoradi(i) <= 0 || poradi_->AktivniPoradi() == i) return;
  const int zaznam = poradi_->AktivniPoradi() != 0 ? CisloZPoradi(Radek) : Radek;
  poradi_->NastavPoradi(i);
  if (zaznam >= 1 && zaznam <= poradi_->PocetVPoradi(i)) {
    const int radek = poradi_->CisloZPoradi2(zaznam);
    if (radek >= 1 && radek <= PocetRadku) JdiNa(radek, 0);
  }
  if (!zelene_) {
    UlozenaBarvaMrizky = BarvaMrizky;
    UlozenaBarvaPisma = BarvaPisma;
    zelene_ = true;
  }
  BarvaMrizky = kBarvaPoradi;
}

void TfRol::ZpetNaSoubor() {
  if (!poradi_ || poradi_->AktivniPoradi() == 0) return;
  const int i = poradi_->AktivniPoradi();
  const bool maZaznam = Radek >= 1 && Radek <= poradi_->PocetVPoradi(i);
  const int zaznam = maZaznam ? CisloZPoradi(Radek) : 0;
  poradi_->NastavPoradi(0);
  if (maZaznam) JdiNa(zaznam, 0);
  if (zelene_) {
    BarvaMrizky = UlozenaBarvaMrizky;
    BarvaPisma = UlozenaBarvaPisma;
    zelene_ = false;
  }
}

void TfRol::NaAltF1() { Poradi(1); }
void TfRol::NaAltF2() { Poradi(2); }
void TfRol::NaAltF3() { Poradi(3); }
void TfRol::NaAltF4() { Poradi(4); }
void TfRol::NaAltF10() { ZpetNaSoubor(); }

// ---------------------------------------------------------------------------------------------
// Windows of other layers

void TfRol::NaCtrlF1() {
  if (sluzbyRolu().navod) sluzbyRolu().navod(name());
}

void TfRol::NaCtrlF2() {
  if (sluzbyRolu().seznamSestav) sluzbyRolu().seznamSestav();
}

const std::vector<std::string>& PolozkyVizaze() {
  static const std::vector<std::string> polozky = {
      cz("Parametry systému"),
      cz("Změna barvy pozadí"),
      cz("Změna písma a jeho barvy"),
      cz("Změna písma pro všechna okna (barvy zůstávají)"),
      cz("Návrat k režimu pro každé okno samostatně"),
      cz("Zmenšení-zvětšení okna na velikost plochy"),
      cz("Nastavení standardu TAMBRA"),
  };
  return polozky;
}

void TfRol::NaF11() {
  const auto& s = sluzbyRolu();
  if (!s.vyber) return;
  ProvedVizaz(s.vyber(cz("Úprava vizáže"), 10, 10, PolozkyVizaze()));
}

void TfRol::ProvedVizaz(int polozka) {
  if (polozka < 1 || polozka > 7) return;
  const std::string n = PredponaKlicu();
  const auto& s = sluzbyRolu();
  Presenter* p = presenter();
  // The character sizes through the question form, limited as each item says.
  auto velikosti = [&](int sirkaDo, const std::string& predpona, bool takA) {
    if (!s.dotazy) return;
    std::vector<PolozkaDotazu> d = {{cz("Výška písmen"), "####", FormatE("####", Vzhled.vyskaZnaku)},
                                    {cz("Šířka písmen"), "####", FormatE("####", Vzhled.sirkaZnaku)}};
    if (!s.dotazy(cz("Úprava vizáže"), d)) return;
    const std::string v = FormatVelikostiZnaku(std::clamp(TextNaCele(d[0].hodnota), 10, 30));
    const std::string w = FormatVelikostiZnaku(std::clamp(TextNaCele(d[1].hodnota), 5, sirkaDo));
    PisPar(kOkna2, predpona + "VyskaFontu", v);
    PisPar(kOkna2, predpona + "SirkaFontu", w);
    if (takA) {
      PisPar(kOkna2, predpona + "VyskaFontuA", v);
      PisPar(kOkna2, predpona + "SirkaFontuA", w);
    }
  };
  FontChoice f{Vzhled.pismo, Vzhled.velikost, Vzhled.tucne(), Vzhled.kurziva(), BarvaPisma};
  switch (polozka) {
    case 1:
      if (s.parametrySystemu) s.parametrySystemu();
      break;
    case 2: {
      Color c = zelene_ ? UlozenaBarvaMrizky : BarvaMrizky;
      if (p && p->chooseColor(c)) {
        PisPar(kOkna2, n + "FontPaper", FormatBarvy(c));
        storage::SmazParametry(kOknag);
      }
      break;
    }
    case 3:
      if (p && p->chooseFont(f)) {
        PisPar(kOkna2, n + "FontName", f.name);
        PisPar(kOkna2, n + "VyskaFontu", FormatVelikostiZnaku(Vzhled.vyskaZnaku));
        PisPar(kOkna2, n + "FontSize", FormatVelikostiPisma(f.size));
        PisPar(kOkna2, n + "FontStyle", TextStylu(f.bold, f.italic));
        PisPar(kOkna2, n + "FontColor", FormatBarvy(f.color));
        PisPar(kOkna2, n + "FontPaper", FormatBarvy(zelene_ ? UlozenaBarvaMrizky : BarvaMrizky));
        storage::SmazParametry(kOknag);
        velikosti(20, n, false);
      }
      break;
    case 4:
      if (p && p->chooseFont(f)) {
        for (const char* a : {"", "A"}) {
          PisPar(kOkna2, std::string("FontName") + a, f.name);
          PisPar(kOkna2, std::string("FontSize") + a, FormatVelikostiPisma(f.size));
          PisPar(kOkna2, std::string("FontStyle") + a, TextStylu(f.bold, f.italic));
        }
        velikosti(30, "", true);
        storage::SmazParametry(kOknag);
      }
      break;
    case 5:
      storage::SmazParametry(kOkna2);
      storage::SmazParametry(kOknag);
      break;
    case 6:
      geometry = p ? p->workArea() : Rect{0, 0, 1024, 768};
      break;
    case 7: {
      storage::SmazParametry(kOkna2);
      std::string standard;
      if (platform::readWholeFile(storage::ProgCesta("2\\Oknag.par"), standard) == 0) {
        storage::SmazParametry(kOknag);
        storage::ZalozCestu(kOknag);
        platform::writeWholeFile("par\\Oknag.par", standard);
      }
      break;
    }
    default: break;
  }
  PouzijVzhled();
}

// ---------------------------------------------------------------------------------------------
// Mouse and the code reader

void TfRol::sgRolMouseDown(const MouseEvent& ev) {
  const CellRect a = cellsOf(sgRol);
  if (ev.button == MouseButton::Right && ev.ctrl) {
    NaCtrlPravy();
    return;
  }
  if (ev.button == MouseButton::Left && sgRol.rowAt(ev.row, a) == 0) {
    NaTitulek(std::max(0, sgRol.columnAt(ev.col, a)));
  }
}

void TfRol::onResize() {
  const int r = Viditelne > 0 ? Posun + sgRol.row : 0;  // the row stays current whatever fits now
  Sestav();
  if (r > 0) JdiNa(r, 2);
  Prekresli();
}

// The picture panel and the memo move with the left button; the panel grabbed at its lower right
// cell changes its size instead. Their places are remembered for the next opening.
void TfRol::tazeni(const MouseEvent& ev, Control& c) {
  const CellRect a = cellsOf(c);
  const int dx = ev.x - ev.fromX, dy = ev.y - ev.fromY;
  const std::string n = PredponaKlicu();
  const auto pis = [&](const char* klic, int v) { PisPar(kOkna2, n + klic, FormatPlainE("@@@@@@", std::max(0, v))); };
  if (&c == &Image1 && ev.fromCol == a.col + a.cols - 1 && ev.fromRow == a.row + a.rows - 1) {
    const int cw = std::max(1, look.cellWidth), ch = std::max(1, look.cellHeight);
    c.geometry.w = std::max(cw, c.geometry.w + dx);
    c.geometry.h = std::max(ch, c.geometry.h + dy);
    pis("ImgWidth", c.geometry.w);
    pis("ImgHeight", c.geometry.h);
    return;
  }
  c.geometry.x = std::clamp(c.geometry.x + dx, 0, std::max(0, geometry.w - c.geometry.w));
  c.geometry.y = std::clamp(c.geometry.y + dy, 0, std::max(0, geometry.h - c.geometry.h));
  pis(&c == &Image1 ? "ImgLeft" : "TextLeft", c.geometry.x);
  pis(&c == &Image1 ? "ImgTop" : "TextTop", c.geometry.y);
}

// The right button gives the panel the proportions of its picture: the picture's own size on
// this screen, made smaller (never larger) to fit the window from where the panel stands.
void TfRol::prizpusobObrazek() {
  std::string bajty;
  if (Image1.picturePath.empty() ||
      platform::readWholeFile(Image1.picturePath, bajty, platform::Share::DenyNone) != platform::kIoOk)
    return;
  const auto r = ZjistiRozmer(bajty);
  if (!r) return;
  double w = r->sirka * meritko(), h = r->vyska * meritko();
  const double volno_w = std::max(1, geometry.w - Image1.geometry.x), volno_h = std::max(1, geometry.h - Image1.geometry.y);
  const double k = std::min({1.0, volno_w / w, volno_h / h});
  Image1.geometry.w = std::max(1, static_cast<int>(std::lround(w * k)));
  Image1.geometry.h = std::max(1, static_cast<int>(std::lround(h * k)));
  const std::string n = PredponaKlicu();
  PisPar(kOkna2, n + "ImgWidth", FormatPlainE("@@@@@@", Image1.geometry.w));
  PisPar(kOkna2, n + "ImgHeight", FormatPlainE("@@@@@@", Image1.geometry.h));
}

bool TfRol::onMouse(const MouseEvent& ev, Control* hit) {
  if (prace_) return true;
  if (ev.drag) {
    if (ev.button == MouseButton::Left && (hit == &Image1 || hit == &MemoText)) tazeni(ev, *hit);
    return true;
  }
  if (hit == &Image1 && ev.button == MouseButton::Right && !ev.ctrl && !ev.shift && !ev.alt) {
    prizpusobObrazek();
    return true;
  }
  if (hit == &sgRol) {
    if (hledani_) skonciHledani();  // a click in the list takes the keys back from the search field
    sgRolMouseDown(ev);
    if (closeRequested()) return true;
    const CellRect a = cellsOf(sgRol);
    const int p = sgRol.rowAt(ev.row, a);
    if (ev.button == MouseButton::Right && !ev.ctrl && !ev.shift && !ev.alt) {
      PopupMenu1.popup(*this, ev.col, ev.row);
    } else if (ev.button == MouseButton::Left && p >= 1 && p <= Viditelne && Posun + p <= PocetRadku) {
      sgRol.row = p;
      prepocitejRadek();
      if (ev.doubleClick) {
        KoncovaKlavesa = kVkReturn;
        if (EnterOpravuje) {
          Oprav();
        } else {
          PredKoncem();
          close(kVkReturn);
          return true;
        }
      }
    }
    if (!closeRequested()) Prekresli();
    return true;
  }
  if (hit == &ScrollBar1 && PocetRadku > 0) {
    const CellRect a = cellsOf(ScrollBar1);
    const int od = std::clamp(ev.row - a.row, 0, std::max(0, a.rows - 1));
    const int radek = a.rows > 1 ? 1 + static_cast<int>(static_cast<int64_t>(od) * (PocetRadku - 1) / (a.rows - 1)) : 1;
    JdiNa(radek, 0);
    Prekresli();
    return true;
  }
  if (hit == &Image1 && ev.doubleClick) {
    ++CisloObrazku;
    ukazObrazek();
    NaObrazekDvakrat();
    return true;
  }
  return false;
}

void TfRol::ctecka() {
  TimerSerPera.setEnabled(false);
  std::string t = CtiCtecku();
  if (t.size() >= 2) t.resize(t.size() - 2);  // the line end of the device
  if (t.size() > static_cast<size_t>(kNejdelsiKod)) t.resize(kNejdelsiKod);
  if (t.empty()) return;
  Kod = t;
  if (CilovePole) NaKodCteckou(t);
  else KodZadan();
}

}  // namespace pz::ui
