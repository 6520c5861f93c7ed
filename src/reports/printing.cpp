#include "reports/printing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "reports/viewer.h"
#include "storage/filehelpers.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "ui/dialogs.h"
#include "ui/imagesize.h"

namespace pz::reports {

using platform::cz;

namespace {

constexpr char kFF = '\f';
constexpr char kElit = '\x0e', kCond = '\x0f', kNorm = '\x12', kZasuvka = '\x07', kRezacka = '\x10';
constexpr const char* kRegistry = "REGISTRY.DTA";
constexpr const char* kZnacka = "..... razítko .....";
constexpr int kStitkuNaStranu = 70;

int cislo(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return 0;
  return std::atoi(s.c_str() + a);
}

std::optional<int> kladneCislo(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return std::nullopt;
  const size_t b = s.find_last_not_of(' ');
  const std::string t = s.substr(a, b - a + 1);
  if (t.size() > 6 || t.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const int v = std::atoi(t.c_str());
  if (v <= 0) return std::nullopt;
  return v;
}

std::string obsah(const std::string& soubor) {
  std::string s;
  if (platform::readWholeFile(soubor, s, platform::Share::DenyNone) != platform::kIoOk) return {};
  return s;
}

std::string pravyOrez(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// One line to print; `zlom` when a copy of a page starts without a form feed of its own, so that
// the printer must start the page first.
struct Vystup {
  std::string text;
  bool zlom = false;
};

// The lines with every page repeated: a page ends before a line that starts with a form feed.
std::vector<Vystup> sKopiemi(const std::vector<std::string>& radky, int opakovat) {
  std::vector<Vystup> v;
  const auto strana = [&](size_t od, size_t po) {
    for (int k = 0; k <= std::max(0, opakovat); ++k) {
      const bool sFF = !radky[od].empty() && radky[od][0] == kFF;
      for (size_t i = od; i < po; ++i) v.push_back({radky[i], k > 0 && i == od && !sFF});
    }
  };
  size_t od = 0;
  for (size_t i = 1; i <= radky.size(); ++i)
    if (i == radky.size() || (!radky[i].empty() && radky[i][0] == kFF)) {
      if (od < i) strana(od, i);
      od = i;
    }
  return v;
}

void chybaIO(int kod) { ui::Zprava("I/O error " + std::to_string(kod)); }

}  // namespace

NastaveniTisku NactiNastaveniTisku() {
  NastaveniTisku n;
  n.hustota = cislo(storage::CtiPar(kRegistry, "Hustota"));
  if (n.hustota < 1 || n.hustota > 3) n.hustota = 1;
  n.opakovat = std::max(0, cislo(storage::CtiPar(kRegistry, "OpakovatTisk")));
  n.tab = std::max(0, cislo(storage::CtiJob("TAB")));
  n.toplist = std::max(0, cislo(storage::CtiJob("TOPLIST")));
  const std::string d = storage::CtiJob("DIAKTISK");
  n.diakritika = d.empty() ? ' ' : storage::VelkePismeno(d[0]);
  n.ffNaKonci = !storage::CtiJob("F10FF").empty();
  n.stredniky = storage::CtiPar("sys.par", "stredniky") == "Ano";
  if (std::string s = obsah("suple.txt"); !s.empty()) n.zasuvka = s;
  n.rezacka = obsah("smik.txt");
  return n;
}

DefiniceTiskarny CtiDefiniciTiskarny(std::string_view text) {
  DefiniceTiskarny d;
  if (text.size() < 3) return d;
  size_t zacatek = 0;
  while (zacatek < text.size()) {
    size_t konec = text.find('\n', zacatek);
    if (konec == std::string_view::npos) konec = text.size();
    std::string_view radek = text.substr(zacatek, konec - zacatek);
    zacatek = konec + 1;
    if (!radek.empty() && radek.back() == '\r') radek.remove_suffix(1);
    if (radek.size() < 4) continue;
    std::string klic(radek.substr(0, 4));
    for (char& c : klic) c = storage::VelkePismeno(c);
    std::string* cil = klic == "INIT" ? &d.init : klic == "NORM" ? &d.norm : klic == "ELIT" ? &d.elit
                     : klic == "COND" ? &d.cond : nullptr;
    if (!cil) continue;
    std::string bajty;
    const std::string_view s = radek.size() > 5 ? radek.substr(5) : std::string_view{};
    for (size_t i = 0; i < s.size();) {
      const char c = s[i];
      if (c == ' ' || c == ',' || c == '#' || c == '\t') {
        ++i;
      } else if (c == '{') {
        const size_t z = s.find('}', i);
        i = z == std::string_view::npos ? s.size() : z + 1;
      } else if (c == '"') {
        const size_t z = s.find('"', i + 1);
        if (z == std::string_view::npos) break;
        bajty += s.substr(i + 1, z - i - 1);
        i = z + 1;
      } else {
        // A number, "$" hexadecimal; anything up to the next separator that is not one is skipped.
        size_t j = i;
        while (j < s.size() && std::string_view(" ,#\t{\"").find(s[j]) == std::string_view::npos) ++j;
        std::string_view t = s.substr(i, j - i);
        i = j;
        const bool hex = t.front() == '$';
        if (hex) t.remove_prefix(1);
        if (t.empty() || t.size() > 8) continue;
        char* kde = nullptr;
        const std::string tt(t);
        const long v = std::strtol(tt.c_str(), &kde, hex ? 16 : 10);
        if (*kde != '\0' || v < 0 || v > 255) continue;
        bajty += static_cast<char>(v);
      }
    }
    *cil = bajty;
  }
  return d;
}

std::string PripravRadek(std::string radek, bool znakovy, const NastaveniTisku& n) {
  radek = pravyOrez(std::move(radek));
  if (znakovy) {
    radek = storage::DoDosKodu(radek, n.diakritika == 'K'   ? storage::DosKod::Kamenicky
                                      : n.diakritika == 'L' ? storage::DosKod::Latin2
                                                            : storage::DosKod::Ascii);
  } else if (n.diakritika == 'N') {
    radek = storage::BezDiakritiky(radek);
  }
  if (n.stredniky) std::replace(radek.begin(), radek.end(), ';', ' ');
  return radek;
}

std::string ZnakovyTisk(const std::vector<std::string>& radky, const NastaveniTisku& n, const DefiniceTiskarny& d) {
  std::string out = d.init;
  int hustota = n.hustota;
  out += hustota == 2 ? d.elit : hustota == 3 ? d.cond : d.norm;
  const auto konce = [&](int pocet) {
    for (int i = 0; i < pocet; ++i) out += "\r\n";
  };
  // The margin narrows with the wider density and widens with the condensed one, so that it
  // keeps its width on paper.
  const auto okraj = [&] {
    const int w = hustota == 2 ? n.tab / 2 : hustota == 3 ? n.tab * 2 : n.tab;
    return std::string(static_cast<size_t>(w), ' ');
  };
  konce(n.toplist);
  for (const Vystup& v : sKopiemi(radky, n.opakovat)) {
    if (v.zlom) {
      out += kFF;
      konce(n.toplist);
    }
    const std::string& r = v.text;
    const bool list = !r.empty() && r[0] == kFF;
    std::string cekajici;
    bool okrajPoslan = false;
    if (list) out += kFF;
    for (size_t i = list ? 1 : 0; i < r.size(); ++i) {
      const char c = r[i];
      if (c == kZasuvka) {
        cekajici += n.zasuvka;
      } else if (c == kRezacka) {
        cekajici += n.rezacka;
      } else if (c == kElit || c == kCond || c == kNorm) {
        if (!okrajPoslan) out += okraj();
        okrajPoslan = true;
        out += cekajici;
        cekajici.clear();
        hustota = c == kElit ? 2 : c == kCond ? 3 : 1;
        out += hustota == 2 ? d.elit : hustota == 3 ? d.cond : d.norm;
      } else {
        cekajici += c;
      }
    }
    cekajici = pravyOrez(std::move(cekajici));
    if (!okrajPoslan && !cekajici.empty()) out += okraj();
    out += cekajici + "\r\n";
    if (list) konce(n.toplist);
  }
  if (n.ffNaKonci) out += kFF;
  return out;
}

// ---- Fonts.

namespace {

platform::LogicalFont ctiFont(const std::string& soubor, const platform::LogicalFont& zaloha) {
  platform::LogicalFont f;
  const auto pole = [&](const char* klic) { return storage::CtiPar(soubor, klic); };
  const auto vel = [&](const char* klic, int zalozni) { return kladneCislo(pole(klic)).value_or(zalozni); };
  f.height = vel("Height", zaloha.height);
  f.width = vel("Width", zaloha.width);
  f.escapement = cislo(pole("Escapement"));
  f.orientation = cislo(pole("Orientation"));
  f.weight = pole("Weight").empty() ? zaloha.weight : cislo(pole("Weight"));
  f.italic = cislo(pole("Italic")) != 0;
  f.underline = cislo(pole("Underline")) != 0;
  f.strikeOut = cislo(pole("StrikeOut")) != 0;
  f.charset = cislo(pole("Charset"));
  f.outPrecision = cislo(pole("OutPrecision"));
  f.clipPrecision = cislo(pole("ClipPrecision"));
  f.quality = cislo(pole("Quality"));
  f.pitchAndFamily = cislo(pole("PitchAndFamily"));
  f.faceName = pole("FaceName");
  while (!f.faceName.empty() && f.faceName.back() == ' ') f.faceName.pop_back();
  if (f.faceName.size() > 31) f.faceName.resize(31);
  if (f.faceName.empty()) f.faceName = zaloha.faceName;
  return f;
}

platform::LogicalFont vestaveny(int height, int width) {
  platform::LogicalFont f;
  f.height = height;
  f.width = width;
  f.faceName = "Courier New";
  return f;
}

platform::LogicalFont naZarizeni(platform::LogicalFont f, const platform::PrintCanvas& p) {
  f.height = static_cast<int>(std::lround(f.height * p.dpiY() / 300.0));
  f.width = static_cast<int>(std::lround(f.width * p.dpiX() / 300.0));
  return f;
}

int roztec(const platform::LogicalFont& f) { return f.width > 0 ? f.width : std::max(1, f.height * 3 / 5); }

}  // namespace

FontyTisku NactiFonty() {
  static const char* jmena[] = {"norm.fnt", "12zn.fnt", "cond.fnt"};
  // Short font files are taken over from the program root, unless "norm.fnt" already holds a
  // usable height: a file saved by the font window is short too, and must not be overwritten.
  if (storage::VelikostSouboru("norm.fnt") < 200 && !kladneCislo(storage::CtiPar("norm.fnt", "Height")))
    for (const char* j : jmena) {
      const std::string zdroj = storage::ProgCesta(std::string("2\\") + j);
      if (storage::VelikostSouboru(zdroj) > 0) storage::KopirujSoubor(zdroj, j);
    }
  // Widths of 80, 100 and 130 characters on the printable width of a page (about 8 inches).
  const platform::LogicalFont vest[] = {vestaveny(50, 30), vestaveny(40, 24), vestaveny(31, 18)};
  platform::LogicalFont f[3];
  for (int i = 0; i < 3; ++i) {
    const platform::LogicalFont vychozi = ctiFont(storage::ProgCesta(std::string("2\\") + jmena[i]), vest[i]);
    f[i] = ctiFont(jmena[i], vychozi);
  }
  return {f[0], f[1], f[2]};
}

bool TiskNaPlatno(platform::PrintCanvas& p, const std::vector<std::string>& radky, const NastaveniTisku& n,
                  const FontyTisku& fonty) {
  if (radky.empty()) return true;
  if (p.begin(cz("Tisková sestava")) != platform::kIoOk) return false;
  const platform::LogicalFont norm = naZarizeni(fonty.norm, p), elit = naZarizeni(fonty.elit, p),
                              cond = naZarizeni(fonty.cond, p);
  const platform::LogicalFont* font = n.hustota == 2 ? &elit : n.hustota == 3 ? &cond : &norm;
  const platform::LogicalFont* nastaven = nullptr;
  const auto nastav = [&](const platform::LogicalFont* f) {
    if (nastaven != f) p.setFont(*f);
    nastaven = f;
  };
  nastav(font);
  int y = 0;
  bool prazdna = true;  // nothing printed on this page yet: a page break does not eject it blank
  const auto okraj = [&] { y += n.toplist * font->height; };
  const auto strana = [&] {
    if (!prazdna) p.newPage();
    prazdna = true;
    y = 0;
    okraj();
  };
  okraj();
  for (const Vystup& v : sKopiemi(radky, n.opakovat)) {
    std::string r = v.text;
    const bool list = !r.empty() && r[0] == kFF;
    if (v.zlom || list) strana();
    if (list) r.erase(0, 1);
    if (y + font->height > p.pageHeight() && y > 0) strana();
    // The margin is blanks of the "norm" font; the line keeps the font it had.
    int x = n.tab * roztec(norm);
    int vyska = font->height;
    std::string kus;
    const auto vypis = [&] {
      if (kus.empty()) return;
      nastav(font);
      const std::string t = pravyOrez(kus);
      if (!t.empty()) {
        p.text(x, y, t);
        prazdna = false;
      }
      x += static_cast<int>(kus.size()) * roztec(*font);
      kus.clear();
    };
    for (char c : r) {
      if (c == kElit || c == kCond || c == kNorm) {
        vypis();
        font = c == kElit ? &elit : c == kCond ? &cond : &norm;
        nastav(font);
        vyska = std::max(vyska, font->height);
      } else if (c != kZasuvka && c != kRezacka && c != kFF) {
        kus += c;
      }
    }
    vypis();
    y += vyska;
  }
  return p.end() == platform::kIoOk;
}

// ---- The stamp print.

bool TiskSRazitkem(platform::PrintService& sluzba, const std::vector<std::string>& radky, int hustota,
                   const std::string& podpis) {
  struct Stitek {
    std::string text;
    int top = 0, velikost = 10;
  };
  struct Obrazek {
    int left = 0, top = 0, sirka = 0, vyska = 0;
  };
  const std::string znacka = cz(kZnacka);
  std::optional<ui::RozmerObrazku> rozmer;
  if (storage::VelikostSouboru(podpis) >= 3) rozmer = ui::ZjistiRozmer(obsah(podpis));
  bool stlaceny = hustota == 3;
  std::vector<Stitek> stitky;
  std::vector<Obrazek> obrazky;
  int top = 0;
  bool ok = true;
  const auto vytiskni = [&] {
    if (stitky.empty() && obrazky.empty()) return;
    auto p = sluzba.canvas("");
    if (!p || p->begin(cz("Tisk s razítkem")) != platform::kIoOk) {
      ok = false;
    } else {
      // One pixel of the page form is a hundredth of an inch; everything is shifted by one dot.
      const double h = std::max(72, p->dpiX()) / 100.0, v = std::max(72, p->dpiY()) / 100.0;
      const auto X = [&](int px) { return static_cast<int>(std::lround(px * h)) + 1; };
      const auto Y = [&](int px) { return static_cast<int>(std::lround(px * v)) + 1; };
      platform::LogicalFont f;
      f.faceName = "Courier";
      f.weight = 700;
      f.height = static_cast<int>(std::lround(10 * std::max(72, p->dpiY()) / 72.0));
      p->setFont(f);
      int velikost = 0;
      for (const Stitek& s : stitky) {
        if (s.velikost != velikost) {
          platform::LogicalFont g;
          g.faceName = "Georgia";
          g.height = static_cast<int>(std::lround(s.velikost * std::max(72, p->dpiY()) / 72.0));
          p->setFont(g);
          velikost = s.velikost;
        }
        if (!s.text.empty()) p->text(X(20), Y(s.top), s.text);
      }
      for (const Obrazek& o : obrazky) p->image(X(o.left), Y(o.top), X(o.left + o.sirka), Y(o.top + o.vyska), podpis);
      ok = p->end() == platform::kIoOk && ok;
    }
    stitky.clear();
    obrazky.clear();
    top = 0;
  };
  for (const std::string& radek : radky) {
    std::string r = radek;
    if (!r.empty() && r[0] == kFF) {
      vytiskni();
      r.erase(0, 1);
    }
    if (stitky.size() >= kStitkuNaStranu) vytiskni();
    if (!r.empty() && r[0] == kCond) {
      stlaceny = true;
      r.erase(0, 1);
    } else if (!r.empty() && r[0] == kNorm) {
      stlaceny = false;
      r.erase(0, 1);
    }
    const int rozestup = stlaceny ? 9 : 12;
    if (const size_t z = r.find(znacka); z != std::string::npos && rozmer) {
      obrazky.push_back({8 * static_cast<int>(z), top + rozestup, rozmer->sirka, rozmer->vyska});
      r.resize(z);
    }
    stitky.push_back({pravyOrez(r), top, stlaceny ? 7 : 10});
    top += rozestup;
  }
  vytiskni();
  return ok;
}

// ---- The fast print.

VysledekSpoolu RychlyTisk(const std::vector<std::string>& radky, std::string* soubor) {
  const int cisloSpoolu = (std::clamp(cislo(storage::CtiJob("SPEEDPRN")), 0, 999) + 1) % 1000;
  char tri[8];  // three digits; room for what the compiler cannot rule out
  std::snprintf(tri, sizeof tri, "%03d", cisloSpoolu);
  const std::string cil = std::string("c:\\printer\\print") + tri + ".txt";
  const std::string docasny = std::string("c:\\printer\\print") + tri + ".$$$";
  if (soubor) *soubor = cil;
  // The outside program has not taken the previous spool file of this number yet.
  if (platform::fileExists(cil)) return VysledekSpoolu::Obsazeno;
  std::string data;
  for (const std::string& r : radky) data += storage::DoDosKodu(r, storage::DosKod::Kamenicky) + "\r\n";
  if (platform::writeWholeFile(docasny, data) != platform::kIoOk) {
    platform::removeFile(docasny);
    return VysledekSpoolu::Chyba;
  }
  // Without replacing: a spool file that appeared meanwhile stays as it is.
  if (const int e = platform::renameFile(docasny, cil, false); e != platform::kIoOk) {
    platform::removeFile(docasny);
    return e == platform::kIoAccessDenied ? VysledekSpoolu::Obsazeno : VysledekSpoolu::Chyba;
  }
  storage::PisJob("SPEEDPRN", tri);
  return VysledekSpoolu::Hotovo;
}

// ---- The viewer's keys.

namespace {

// Lines to print: the marked rows from line 1 when there are any, else from the current line.
std::vector<int> radkyProhlizece(TfPozri& v) {
  std::vector<int> r;
  if (v.PocetOznacenych > 0) {
    for (int i = 1; i <= v.Radku(); ++i)
      if (v.Znacky.je(i)) r.push_back(i);
  } else {
    for (int i = std::max(1, v.Radek); i <= v.Radku(); ++i) r.push_back(i);
  }
  return r;
}

// The marked block for the fast print, or from the current line to the end.
std::vector<int> blokProhlizece(TfPozri& v) {
  int od = std::max(1, v.Radek), po = v.Radku();
  if (v.RozsahOd > 0 && v.RozsahDo >= v.RozsahOd) {
    od = v.RozsahOd;
    po = v.RozsahDo;
  } else if (v.RozsahDo > 0) {
    po = v.RozsahDo;
  }
  std::vector<int> r;
  for (int i = std::max(1, od); i <= std::min(po, v.Radku()); ++i) r.push_back(i);
  return r;
}

std::vector<std::string> pripravene(TfPozri& v, const std::vector<int>& cisla, bool znakovy, const NastaveniTisku& n) {
  std::vector<std::string> r;
  r.reserve(cisla.size());
  for (int i : cisla) r.push_back(PripravRadek(v.CtiRadek(i), znakovy, n));
  return r;
}

std::string portTiskarny() {
  const int lpt = cislo(storage::CtiJob("LPT"));
  return "LPT" + std::to_string(lpt <= 0 ? 1 : lpt);
}

bool naPort(const std::string& port, const std::string& bajty) {
  platform::File f;
  int e = platform::openPort(port, f);
  if (e == platform::kIoOk) e = f.append(bajty.data(), bajty.size());
  if (e != platform::kIoOk) {
    chybaIO(e);
    return false;
  }
  return true;
}

void tiskSystemem(TfPozri& v) {
  const NastaveniTisku n = NactiNastaveniTisku();
  const std::vector<std::string> radky = pripravene(v, radkyProhlizece(v), false, n);
  if (radky.empty()) return;
  ui::Blik(cz("Probíhá tisk"));
  const std::string tiskarna = storage::CtiPar("sys.par", "TiskDefault");
  auto p = platform::printService().canvas(tiskarna);
  const bool ok = p && TiskNaPlatno(*p, radky, n, NactiFonty());
  ui::BlikKonec();
  if (!ok) chybaIO(platform::kIoWriteFailed);
}

void tiskZnakovy(TfPozri& v) {
  const NastaveniTisku n = NactiNastaveniTisku();
  const std::vector<std::string> radky = pripravene(v, radkyProhlizece(v), true, n);
  const std::string dst = storage::ProgCesta("2\\" + storage::CtiJob("TISKARNA") + ".dst");
  const DefiniceTiskarny d = CtiDefiniciTiskarny(storage::CtiJob("TISKARNA").empty() ? "" : obsah(dst));
  naPort(portTiskarny(), ZnakovyTisk(radky, n, d));
  v.Znacky.vycisti();
  v.PocetOznacenych = 0;
  v.Prekresli();
}

void rychlyTisk(TfPozri& v) {
  std::vector<std::string> radky;
  for (int i : blokProhlizece(v)) radky.push_back(v.CtiRadek(i));
  ui::Blik(cz("Probíhá tisk"));
  std::string soubor;
  const VysledekSpoolu r = RychlyTisk(radky, &soubor);
  ui::BlikKonec();
  if (r == VysledekSpoolu::Obsazeno) ui::Zprava(cz("Predešlý tisk není hotový"));
  else if (r == VysledekSpoolu::Chyba) chybaIO(platform::kIoWriteFailed);
}

void tiskSRazitkem(TfPozri& v) {
  const NastaveniTisku n = NactiNastaveniTisku();
  const std::vector<std::string> radky = pripravene(v, radkyProhlizece(v), false, n);
  if (radky.empty()) return;
  if (!TiskSRazitkem(platform::printService(), radky, n.hustota, "podpis.bmp")) chybaIO(platform::kIoWriteFailed);
}

void hustota() {
  const int volba = ui::Vyber(40, 10, {}, {"80" + std::string(13, ' '), "100", "130"}, cz("Počet znaků na řádku"));
  char t[8];
  std::snprintf(t, sizeof t, "%2d", volba >= 1 && volba <= 3 ? volba : 1);
  storage::PisPar(kRegistry, "Hustota", t);
}

void volbaTiskarny() {
  std::string jmeno = storage::CtiPar("sys.par", "TiskDefault");
  auto& sluzba = platform::printService();
  if (!sluzba.choosePrinter(jmeno)) {
    // Without the system's dialog: the list of printers.
    const std::vector<std::string> seznam = sluzba.printers();
    if (seznam.empty()) return;
    const int v = ui::Vyber(30, 8, {}, seznam, cz("Nastavení tiskárny"));
    if (v < 1) return;
    jmeno = seznam[static_cast<size_t>(v - 1)];
  }
  storage::PisPar("sys.par", "TiskDefault", jmeno);
}

void zasuvka() {
  const int port = cislo(storage::CtiJob("OB_PORT"));
  if (port < 1 || port > 4) return;
  naPort("LPT" + std::to_string(port), NactiNastaveniTisku().zasuvka);
}

}  // namespace

void RegistrujTisk() {
  sluzbyProhlizece().tisk = [](TfPozri& v, int druh) {
    switch (druh) {
      case kTiskF10: tiskSystemem(v); break;
      case kTiskF9: tiskZnakovy(v); break;
      case kTiskRychly: rychlyTisk(v); break;
      case kTiskRazitko: tiskSRazitkem(v); break;
      case kTiskF2: hustota(); break;
      case kTiskVolba: volbaTiskarny(); break;
      case kTiskListem: naPort(portTiskarny(), "\f"); break;
      case kTiskRadkem: naPort(portTiskarny(), "\r\n"); break;
      case kTiskZasuvka: zasuvka(); break;
      default: break;
    }
  };
}

}  // namespace pz::reports
