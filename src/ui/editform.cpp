// The generated edit form of the record form: its look and place, its controls, and the keys in
// its fields.
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/text.h"
#include "storage/params.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "ui/app.h"
#include "ui/browse_settings.h"
#include "ui/calculator.h"
#include "ui/formprint.h"
#include "ui/dialogs.h"
#include "ui/recordform.h"

namespace pz::ui {

using platform::cz;

namespace {

constexpr Color kBarvaNapovedy = 8388608, kPismoNapovedy = 15790320;
constexpr std::size_t kNejdelsiKod = 20;

double meritko() {
  const double s = storage::settings().screenScale;
  return s > 0 ? s : 1.0;
}

// The look of the edit forms: "par\oknag.par" when it holds the standard look, otherwise the
// keys with suffix "A" of "par\okna2.par", without prefix first, then with the window's.
VzhledOkna vzhledFormulare(const std::string& okno) {
  if (storage::VelikostSouboru(kOknag) >= 7) return VyresVzhled(okno);
  VzhledOkna v;
  auto klic = [&](const char* k) {
    const std::string a = std::string(k) + "A";
    std::string h = storage::CtiPar(kOkna2, a);
    if (h.empty()) h = storage::CtiPar(kOkna2, okno + " " + a);
    return h;
  };
  auto cislo = [](const std::string& h, int od, int po, int& cil) {
    const int n = TextNaCele(h);
    if (n >= od && n <= po) cil = n;
  };
  cislo(klic("VyskaFontu"), 5, 60, v.vyskaZnaku);
  cislo(klic("SirkaFontu"), 3, 40, v.sirkaZnaku);
  cislo(klic("FontSize"), 4, 72, v.velikost);
  if (const std::string h = klic("FontName"); !h.empty()) v.pismo = h;
  if (const std::string h = klic("FontStyle"); !h.empty()) v.styl = h;
  auto barva = [](const std::string& h, std::optional<Color>& cil) {
    if (h.empty()) return;
    const double n = TextNaReal(h);
    if (n >= 0 && n <= 0xFFFFFF && h.find('-') == std::string::npos) cil = static_cast<Color>(n);
  };
  barva(klic("FontColor"), v.barvaPisma);
  barva(klic("FontPaper"), v.barvaPapiru);
  return v;
}

// A Czech keyboard's number row gives these letters without Shift: é + ě š č ř ž ý á í are the
// digits 0 to 9 (and the capitals likewise), which a code reader set to another layout types.
char cisliceKodu(char c) {
  static const std::string male = cz("é+ěščřžýáí");
  static const std::string velke = cz("É+ĚŠČŘŽÝÁÍ");
  for (const std::string* t : {&male, &velke})
    if (const std::size_t i = t->find(c); i != std::string::npos) return static_cast<char>('0' + i);
  return c;
}

std::string prevedKod(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = cisliceKodu(c);
  return r;
}

}  // namespace

VzhledOkna VzhledFormulare(const std::string& okno) { return vzhledFormulare(okno); }
std::string CislaKodu(const std::string& text) { return prevedKod(text); }

// ---------------------------------------------------------------------------------------------
// The form

void TfSoub::F10Pole(int) {
  if (formular_) TiskniOkno(*formular_);
}

TfFormular::TfFormular(TfSoub& vlastnik)
    : Form(vlastnik.name() + "Akt", vlastnik.TitulekFormulare),
      bOK(add<Button>("bOK")),
      lHelp(add<Label>("lHelp")),
      s_(vlastnik) {
  bOK.text = "OK-F2";
  lHelp.color = kBarvaNapovedy;
  lHelp.fontColor = kPismoNapovedy;
}

Edit* TfFormular::PolePro(int i) const {
  return i >= 1 && i <= static_cast<int>(pole_.size()) ? pole_[static_cast<std::size_t>(i - 1)] : nullptr;
}
Label* TfFormular::PopisPro(int i) const {
  return i >= 1 && i <= static_cast<int>(popisy_.size()) ? popisy_[static_cast<std::size_t>(i - 1)] : nullptr;
}
Label* TfFormular::BocniPro(int i) const {
  return i >= 1 && i <= static_cast<int>(bocni_.size()) ? bocni_[static_cast<std::size_t>(i - 1)] : nullptr;
}

int TfFormular::AktualniPole() const {
  for (std::size_t k = 0; k < pole_.size(); ++k)
    if (pole_[k] == focused()) return static_cast<int>(k) + 1;
  return 0;
}

void TfFormular::Postav() {
  for (int i = 1; i <= s_.PocetPoli(); ++i) {
    const std::string id = std::to_string(i);
    auto& l = add<Label>("Label" + id);
    l.text = s_.Pole(i).popis;
    auto& e = add<Edit>("Edit" + id);
    e.color = kWhite;
    e.fontColor = kBlack;
    e.editor.setMaxLength(std::max(1, s_.Pole(i).sirka));
    e.setValue(s_.Pole(i).text);
    popisy_.push_back(&l);
    pole_.push_back(&e);
    bocni_.push_back(s_.Pole(i).bocniSloupec != 0 ? &add<Label>("Bocni" + id) : nullptr);
  }
  Rozmisti();
  // After all fields exist: the side labels and the states from the descriptors.
  Ukaz();
  setFocus(nullptr);
  for (int i = 1; i <= s_.PocetPoli(); ++i)
    if (s_.Pole(i).stav == 1) {
      prejdi(i);
      break;
    }
}

void TfFormular::Rozmisti() {
  const std::string n = s_.PredponaKlicu();
  const VzhledOkna v = vzhledFormulare(s_.name());
  const double s = meritko();
  const int cw = v.sirkaZnaku, ch = v.vyskaZnaku;
  const int sloupec = std::max(1, static_cast<int>(std::lround(cw * s)));
  const int radek = std::max(1, static_cast<int>(std::lround((ch + 4) * s)));
  look.fontName = v.pismo;
  look.fontSize = v.velikost;
  look.fontBold = v.tucne();
  look.fontItalic = v.kurziva();
  look.cellWidth = sloupec;
  look.cellHeight = radek;
  caption = s_.TitulekFormulare;
  color = v.barvaPapiru.value_or(s_.BarvaFormulare);
  fontColor = v.barvaPisma.value_or(s_.BarvaTextuFormulare);

  Rect g{(s_.FormLevy - 1) * cw, (s_.FormHorni - 1) * ch,
         (s_.FormPravy - s_.FormLevy + 2) * (cw + 1),
         static_cast<int>(std::lround((s_.FormDolni - s_.FormHorni + 1) * (ch + 4) * s))};
  auto klic = [&](const char* k, int& cil) {
    const int u = CtiCislo(kOkna2, n + k);
    if (u > 0) cil = u;
  };
  klic("AktLeft", g.x);
  klic("AktTop", g.y);
  klic("AktWidth", g.w);
  klic("AktHeight", g.h);
  if (const int papir = CtiCislo(kOkna2, n + "AktPapir"); papir > 0) color = static_cast<Color>(papir);
  if (const int barva = CtiCislo(kOkna2, n + "AktColor"); barva > 0) fontColor = static_cast<Color>(barva);
  Presenter* p = Application::instance().presenter();
  const Rect prac = p ? p->workArea() : Rect{0, 0, 1024, 768};
  g.w = std::clamp(g.w, 10 * sloupec, std::max(10 * sloupec, prac.w - 100));
  g.h = std::clamp(g.h, 3 * radek, std::max(3 * radek, prac.h - 100));
  g.x = std::clamp(g.x, 0, std::max(0, prac.w - 100 - g.w));
  g.y = std::clamp(g.y, 0, std::max(0, prac.h - 100 - g.h));
  geometry = g;

  for (int i = 1; i <= static_cast<int>(pole_.size()) && i <= s_.PocetPoli(); ++i) {
    const PoleSouboru& f = s_.Pole(i);
    Label& l = *PopisPro(i);
    const int y = std::max(0, static_cast<int>(std::lround((f.radek - 1) * (ch + 4) * s)) + 6);
    l.geometry = {static_cast<int>(std::lround(f.sloupec * cw * s)), y,
                  static_cast<int>(f.popis.size()) * sloupec, ch};
    const int navic = f.typ.datum() || f.typ.druh == DruhPole::Cas ? 2 : 0;
    PolePro(i)->geometry = {l.geometry.x + l.geometry.w, std::max(0, y - 2), (f.sirka + 2 + navic) * sloupec, ch + 2};
    if (Label* b = BocniPro(i))
      b->geometry = {static_cast<int>(std::lround(f.bocniSloupec * cw * s)), y,
                     std::max<int>(2, static_cast<int>(f.bocniText.size())) * sloupec, ch};
  }
  bOK.geometry = {std::max(0, g.w - 8 * sloupec), 0, 7 * sloupec, radek};
  lHelp.geometry = {0, std::max(0, g.h - radek), g.w, radek};
  lHelp.text = s_.NapovedaFormulare.substr(0, static_cast<std::size_t>(g.w / 6 + 1));
}

// F11: the look menu of the list, applied to the edit forms: colours and fonts go to this
// window's "Akt" and "A" keys; the items shared with the lists work as there.
void TfFormular::Vizaz() {
  const auto& sl = sluzbyRolu();
  if (!sl.vyber) return;
  const int polozka = sl.vyber(cz("Úprava vizáže"), 10, 10, PolozkyVizaze());
  const std::string n = s_.PredponaKlicu();
  Presenter* p = Application::instance().presenter();
  switch (polozka) {
    case 2: {
      Color c = color;
      if (p && p->chooseColor(c)) {
        storage::PisPar(kOkna2, n + "AktPapir", FormatBarvy(c));
        storage::SmazParametry(kOknag);
      }
      break;
    }
    case 3: {
      FontChoice f{look.fontName, look.fontSize, look.fontBold, look.fontItalic, fontColor};
      if (!p || !p->chooseFont(f)) break;
      storage::PisPar(kOkna2, n + "FontNameA", f.name);
      storage::PisPar(kOkna2, n + "FontSizeA", FormatVelikostiPisma(f.size));
      storage::PisPar(kOkna2, n + "FontStyleA", TextStylu(f.bold, f.italic));
      storage::PisPar(kOkna2, n + "AktColor", FormatBarvy(f.color));
      storage::SmazParametry(kOknag);
      if (!sl.dotazy) break;
      const VzhledOkna v = vzhledFormulare(s_.name());
      std::vector<PolozkaDotazu> d = {{cz("Výška písmen"), "####", FormatE("####", v.vyskaZnaku)},
                                      {cz("Šířka písmen"), "####", FormatE("####", v.sirkaZnaku)}};
      if (!sl.dotazy(cz("Úprava vizáže"), d)) break;
      storage::PisPar(kOkna2, n + "VyskaFontuA", FormatVelikostiZnaku(std::clamp(TextNaCele(d[0].hodnota), 10, 30)));
      storage::PisPar(kOkna2, n + "SirkaFontuA", FormatVelikostiZnaku(std::clamp(TextNaCele(d[1].hodnota), 5, 20)));
      break;
    }
    case 6:
      if (p) {
        const Rect w = p->workArea();
        for (const char* k : {"AktLeft", "AktTop"}) storage::PisPar(kOkna2, n + k, FormatGeometrie(0));
        storage::PisPar(kOkna2, n + "AktWidth", FormatGeometrie(w.w));
        storage::PisPar(kOkna2, n + "AktHeight", FormatGeometrie(w.h));
      }
      break;
    default: s_.ProvedVizaz(polozka); break;
  }
  Rozmisti();
}

void TfFormular::Precti() {
  for (int i = 1; i <= static_cast<int>(pole_.size()) && i <= s_.PocetPoli(); ++i) s_.Pole(i).text = PolePro(i)->value();
}

void TfFormular::Ukaz() {
  for (int i = 1; i <= static_cast<int>(pole_.size()) && i <= s_.PocetPoli(); ++i) {
    const PoleSouboru& f = s_.Pole(i);
    Edit& e = *PolePro(i);
    if (e.value() != f.text) e.setValue(f.text);
    e.visible = PopisPro(i)->visible = f.stav >= 0;
    e.readOnly = f.stav == 0;
    if (Label* b = BocniPro(i)) {
      b->text = f.bocniText;
      b->visible = f.stav >= 0;
      b->geometry.w = std::max<int>(2, static_cast<int>(f.bocniText.size())) * look.cellWidth;
    }
  }
  if (focused() && !focused()->focusable()) setFocus(nullptr);
}

void TfFormular::drzFokus(int i) {
  setFocus(PolePro(i));
  vybrano_ = true;
  chybnePole_ = i;
  s_.TimerError.setEnabled(true);
}

bool TfFormular::zkontroluj(int i) {
  if (i < 1) return true;
  s_.KontrolaPole(i);
  if (closeRequested()) return true;
  Ukaz();
  if (s_.Pole(i).chyba) {
    // A text its picture cannot hold (too many digits, a letter in a number) got no word from
    // the field's own check: say which field holds the focus.
    const PoleSouboru& p = s_.Pole(i);
    if (UpravPole(p.typ, static_cast<std::size_t>(p.sirka), p.text).chyba != ChybaPole::Zadna) Zprava(s_.ZpravaChyby(i));
    drzFokus(i);
    return false;
  }
  return true;
}

void TfFormular::prejdi(int i) {
  if (Edit* e = PolePro(i)) {
    setFocus(e);
    vybrano_ = true;
  }
}

void TfFormular::dalsi(int i, bool dolu) {
  const int n = s_.PocetPoli();
  if (n == 0) return;
  auto editovatelne = [&](int j) { return s_.Pole(j).stav == 1; };
  if (const int j = std::exchange(s_.DalsiPole, 0); dolu && j >= 1 && j <= n && editovatelne(j)) return prejdi(j);
  if (dolu) {
    for (int j = i + 1; j <= n; ++j)
      if (editovatelne(j)) return prejdi(j);
    if (!s_.Dokola) return s_.Prijmi(i);
    for (int j = 1; j <= i; ++j)
      if (editovatelne(j)) return prejdi(j);
    return;
  }
  for (int k = 1; k <= n; ++k) {
    const int j = ((i - 1 - k) % n + n) % n + 1;
    if (editovatelne(j)) return prejdi(j);
  }
}

void TfFormular::KodCteckou(const std::string& kod) {
  const int i = AktualniPole();
  if (i < 1) return;
  s_.Pole(i).text = kod.substr(0, kNejdelsiKod);
  Ukaz();
  onKey(KeyEvent{kVkReturn});
}

bool TfFormular::onKey(const KeyEvent& ev) {
  const int i = AktualniPole();
  Precti();
  const int k = ev.number();
  s_.KlavesaFormulare(i, k);
  if (closeRequested()) return true;
  const bool kodovePole = i >= 1 && s_.Pole(i).typ.druh == DruhPole::TextKod;
  bool pouzito = true;
  switch (k) {
    case kVkDown:
    case kVkTab:
      if (zkontroluj(i)) dalsi(i, true);
      break;
    case kVkUp:
    case kShiftAdd + kVkTab:
      if (zkontroluj(i)) dalsi(i, false);
      break;
    case kVkF2:
      if (zkontroluj(i)) s_.F2Pole(i);
      break;
    case kVkReturn:
      if (i >= 1) {
        if (kod_) {
          s_.Pole(i).text = prevedKod(s_.Pole(i).text).substr(0, kNejdelsiKod);
          kod_ = false;
        }
        const UpravenyText u = UpravPole(s_.Pole(i).typ, static_cast<std::size_t>(s_.Pole(i).sirka), s_.Pole(i).text);
        if (u.chyba == ChybaPole::Zadna) s_.Pole(i).text = u.text;
        Ukaz();
        s_.EnterPole(i);
        if (closeRequested()) return true;
        if (zkontroluj(i)) dalsi(i, true);
      }
      break;
    case kVkEscape:
      s_.Zruseno = true;
      s_.PriZruseni(i);
      close(kVkEscape);
      return true;
    case kVkF12:
      if (i >= 1) {
        s_.Pole(i).text = s_.Pole(i).predchozi;
        Ukaz();
        if (zkontroluj(i)) dalsi(i, true);
      }
      break;
    case kCtrlAdd + kVkF9:
      if (i >= 1) {
        Kalkulacka(TextNaReal(s_.Pole(i).text));
        if (vysledekKalkulacky().potvrzeno) s_.Pole(i).text = vysledekKalkulacky().text;
      }
      break;
    case kCtrlAdd + 'B': kod_ = true; break;
    case kShiftAdd + 'B':
    case kShiftAdd + kVkCapital:
    case kShiftAdd + kVkEnd:
    case kVkCapital:
      if (kodovePole) kod_ = true;
      else pouzito = false;
      if (!pouzito) vyberPrepis(ev);
      break;
    case kVkF1: s_.F1Pole(i); break;
    case kVkF3: s_.F3Pole(i); break;
    case kVkF4: s_.F4Pole(i); break;
    case kVkF5: s_.F5Pole(i); break;
    case kVkF6: s_.F6Pole(i); break;
    case kVkF7: s_.F7Pole(i); break;
    case kVkF8: s_.F8Pole(i); break;
    case kVkF9: s_.F9Pole(i); break;
    case kVkF10: s_.F10Pole(i); break;
    case kVkF11: s_.F11Pole(i); break;
    case kCtrlAdd + kVkF12: s_.UlozSablonu(i); break;
    case kShiftAdd + kVkF12: s_.NactiSablonu(i); break;
    default:
      if (k >= kCtrlAdd + kVkF1 && k <= kCtrlAdd + kVkF8) {
        void (TfSoub::*h[])(int) = {&TfSoub::CtrlF1Pole, &TfSoub::CtrlF2Pole, &TfSoub::CtrlF3Pole, &TfSoub::CtrlF4Pole,
                                    &TfSoub::CtrlF5Pole, &TfSoub::CtrlF6Pole, &TfSoub::CtrlF7Pole, &TfSoub::CtrlF8Pole};
        (s_.*h[k - kCtrlAdd - kVkF1])(i);
      } else if (k >= kAltAdd + kVkF1 && k <= kAltAdd + kVkF10) {
        void (TfSoub::*h[])(int) = {&TfSoub::AltF1Pole, &TfSoub::AltF2Pole, &TfSoub::AltF3Pole, &TfSoub::AltF4Pole,
                                    &TfSoub::AltF5Pole, &TfSoub::AltF6Pole, &TfSoub::AltF7Pole, &TfSoub::AltF8Pole,
                                    &TfSoub::AltF9Pole, &TfSoub::AltF10Pole};
        (s_.*h[k - kAltAdd - kVkF1])(i);
      } else {
        pouzito = false;
        vyberPrepis(ev);
      }
      break;
  }
  if (!closeRequested()) Ukaz();
  return pouzito;
}

// A field entered from another one has its whole text selected: the first character typed
// replaces it, Backspace or Delete clears it, a cursor key keeps it and ends the selection.
void TfFormular::vyberPrepis(const KeyEvent& ev) {
  if (!vybrano_) return;
  const int i = AktualniPole();
  Edit* e = PolePro(i);
  if (!e || e->readOnly) return;
  vybrano_ = false;
  if (e->ZrusVybrany(ev)) s_.Pole(i).text.clear();
}

bool TfFormular::onMouse(const MouseEvent& ev, Control* hit) {
  if (ev.button != MouseButton::Left) return true;
  const int i = AktualniPole();
  if (hit == &bOK) {
    Precti();
    if (zkontroluj(i)) s_.Prijmi(i);
    return true;
  }
  for (int j = 1; j <= static_cast<int>(pole_.size()); ++j) {
    if (hit != PolePro(j)) continue;
    if (j == i) {
      vybrano_ = false;
      return false;  // the field places its cursor
    }
    if (s_.Pole(j).stav != 1) return true;
    // Leaving a field checks it; a field in error keeps the focus.
    Precti();
    if (zkontroluj(i)) prejdi(j);
    return true;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// The record form's side

void TfSoub::F11Pole(int) {
  if (formular_) formular_->Vizaz();
}

void TfSoub::KontrolaPole(int i) {
  if (i < 1 || i > PocetPoli()) return;
  if (formular_) {
    formular_->Precti();
    if (formular_->KodovyRezim()) Pole(i).text = prevedKod(Pole(i).text);
    formular_->Ukaz();
  }
  normalizuj(i);
  ZmenaPole(i);
}

bool TfSoub::PolePrijata() {
  if (formular_) formular_->Precti();
  // A text that cannot be stored is an error as well, whether the subclass saw it or not.
  for (int j = 1; j <= PocetPoli(); ++j) {
    PoleSouboru& p = Pole(j);
    if (p.stav == 1 && !p.chyba &&
        UpravPole(p.typ, static_cast<std::size_t>(p.sirka), p.text).chyba != ChybaPole::Zadna)
      p.chyba = true;
  }
  for (int j = 1; j <= PocetPoli(); ++j)
    if (Pole(j).stav == 1 && Pole(j).chyba) {
      Zprava(ZpravaChyby(j));
      if (formular_) formular_->drzFokus(j);
      return false;
    }
  return true;
}

void TfSoub::Prijmi(int) {
  if (!PolePrijata()) return;
  Zruseno = false;
  if (formular_) formular_->close(kVkF2);
}

bool TfSoub::Formular() {
  formular_ = std::make_unique<TfFormular>(*this);
  TimerError.onTimer = [this] {
    TimerError.setEnabled(false);
    if (formular_ && formular_->chybnePole_ > 0) formular_->setFocus(formular_->PolePro(formular_->chybnePole_));
  };
  for (auto& p : pole_) p.chyba = false;
  DalsiPole = 0;
  formular_->Postav();
  // Closed any way but by acceptance, the edit counts as cancelled.
  Zruseno = true;
  PredFormularem();
  formular_->showModal();
  formular_->Precti();
  const std::string n = PredponaKlicu();
  storage::PisPar(kOkna2, n + "AktLeft", FormatGeometrie(formular_->geometry.x));
  storage::PisPar(kOkna2, n + "AktTop", FormatGeometrie(formular_->geometry.y));
  storage::PisPar(kOkna2, n + "AktWidth", FormatGeometrie(formular_->geometry.w));
  storage::PisPar(kOkna2, n + "AktHeight", FormatGeometrie(formular_->geometry.h));
  storage::PisPar(kOkna2, n + "AktPapir", FormatBarvy(formular_->color));
  storage::PisPar(kOkna2, n + "AktColor", FormatBarvy(formular_->fontColor));
  TimerError.setEnabled(false);
  formular_.reset();
  return !Zruseno;
}

}  // namespace pz::ui
