#include "ui/paramwindow.h"

#include <algorithm>
#include <cmath>

#include "platform/text.h"
#include "storage/params.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/app.h"
#include "ui/browse.h"
#include "ui/calculator.h"
#include "ui/dialogs.h"

namespace pz::ui {

using platform::cz;

namespace {

constexpr Color kPismoPaty = 15790320, kBarvaPaty = 8388608;
constexpr std::size_t kNejdelsiHodnota = 73;
constexpr std::size_t kNejdelsiKod = 20;

double meritko() {
  const double s = storage::settings().screenScale;
  return s > 0 ? s : 1.0;
}

int px(double v) { return static_cast<int>(std::lround(v)); }

// The colours a choice list offers where the presenter has no colour dialog.
struct PojmenovanaBarva {
  const char* nazev;
  Color barva;
};
constexpr PojmenovanaBarva kBarvy[] = {
    {"Černá", 0},           {"Bílá", 16777215},      {"Světle šedá", 15790320}, {"Stříbrná", 12632256},
    {"Šedá", 8421504},      {"Tmavě modrá", 8388608}, {"Modrá", 16711680},       {"Azurová", 16776960},
    {"Modrozelená", 8421376}, {"Zelená", 32768},      {"Světle zelená", 65280},  {"Olivová", 32896},
    {"Žlutá", 65535},       {"Hnědá", 128},          {"Červená", 255},          {"Fialová", 8388736},
    {"Purpurová", 16711935},
};

}  // namespace

bool VyberBarvu(Color& barva) {
  Presenter* p = Application::instance().presenter();
  if (p && p->hasSystemDialogs()) return p->chooseColor(barva);
  std::vector<std::string> polozky;
  for (const auto& b : kBarvy) polozky.push_back(cz(b.nazev));
  const int volba = Vyber(10, 10, nullptr, polozky, cz("Barva"));
  if (volba < 1 || volba > static_cast<int>(std::size(kBarvy))) return false;
  barva = kBarvy[volba - 1].barva;
  return true;
}

bool VyberPismo(FontChoice& pismo) {
  Presenter* p = Application::instance().presenter();
  if (p && p->hasSystemDialogs()) return p->chooseFont(pismo);
  const auto& sl = sluzbyRolu();
  if (!sl.dotazy) return false;
  std::vector<PolozkaDotazu> d = {{cz("Písmo"), "X", pismo.name},
                                  {cz("Velikost"), "####", FormatE("####", pismo.size)},
                                  {cz("Styl (Normal, Bold, Italic, BoldItalic)"), "X", TextStylu(pismo.bold, pismo.italic)}};
  if (!sl.dotazy(cz("Písmo"), d)) return false;
  if (const std::string n = storage::Orez(d[0].hodnota); !n.empty()) pismo.name = n;
  if (const int v = TextNaCele(d[1].hodnota); v >= 4 && v <= 72) pismo.size = v;
  const std::string styl = storage::BezMezer(d[2].hodnota);
  if (styl == "Bold" || styl == "Italic" || styl == "BoldItalic" || styl == "Normal") {
    pismo.bold = styl == "Bold" || styl == "BoldItalic";
    pismo.italic = styl == "Italic" || styl == "BoldItalic";
  }
  VyberBarvu(pismo.color);  // the ink; leaving the list keeps the old one
  return true;
}

TfOkno::TfOkno(std::string jmeno) : Form(std::move(jmeno), "") {}

void TfOkno::NastavPocetRadku(int n) { radky_.assign(static_cast<size_t>(std::max(0, n)), RadekOkna{}); }

void TfOkno::DeklarujParametr(int i, const std::string& popis, int sloupecPopisu, const std::string& bocniText,
                              int bocniRadek, int bocniSloupec, const std::string& hodnota, const std::string& obrazek,
                              int radek) {
  RadekOkna& r = Radek(i);
  r.popis = popis.substr(0, 30);
  r.sloupecPopisu = sloupecPopisu;
  r.bocniText = bocniText.substr(0, 30);
  r.bocniRadek = bocniRadek;
  r.bocniSloupec = bocniSloupec;
  r.hodnota = hodnota.substr(0, kNejdelsiHodnota);
  r.puvodni = r.hodnota;
  r.sirka = static_cast<int>(r.hodnota.size());
  r.typText = obrazek.substr(0, 30);
  r.typ = RozeberTyp(r.typText).value_or(TypPole{});
  r.radek = radek;
}

void TfOkno::ZapisZaznam() {
  mista_.clear();
  std::size_t velikost = 0;
  for (const auto& r : radky_) {
    mista_.push_back(velikost);
    velikost += SirkaUlozeni(r.typ, static_cast<std::size_t>(r.sirka));
  }
  zaznam_.assign(velikost, 0);
  for (size_t k = 0; k < radky_.size(); ++k) {
    const RadekOkna& r = radky_[k];
    UlozPole(r.typ, static_cast<std::size_t>(r.sirka), r.hodnota, storage::Bytes(zaznam_), mista_[k]);
  }
}

std::string TfOkno::ZeZaznamu(int i) const {
  const size_t k = static_cast<size_t>(i - 1);
  if (k >= mista_.size()) return {};
  const RadekOkna& r = radky_[k];
  return ZobrazPole(r.typ, static_cast<std::size_t>(r.sirka), storage::ConstBytes(zaznam_), mista_[k]);
}

Edit* TfOkno::PolePro(int i) const { return dynamic_cast<Edit*>(find("E" + std::to_string(i))); }
Label* TfOkno::PopisPro(int i) const { return dynamic_cast<Label*>(find("L" + std::to_string(i))); }

std::string TfOkno::TextPole(int i) const {
  const Edit* e = PolePro(i);
  return e ? e->value() : Radek(i).hodnota;
}

void TfOkno::OtevriOkno(const std::string& titul, const std::string& pata, Color inkoust, Color papir, int dolniRadek,
                        int pravySloupec, int horniRadek, int levySloupec) {
  removeAllControls();
  caption = titul;
  vzhled_ = VzhledFormulare(name());
  const int h = vzhled_.vyskaZnaku, w = vzhled_.sirkaZnaku;
  const double s = meritko();
  inkoust_ = vzhled_.barvaPisma.value_or(inkoust);
  papir_ = vzhled_.barvaPapiru.value_or(papir);
  color = papir_;
  fontColor = inkoust_;
  look.fontName = vzhled_.pismo;
  look.fontSize = vzhled_.velikost;
  look.fontBold = vzhled_.tucne();
  look.fontItalic = vzhled_.kurziva();
  look.cellWidth = std::max(1, px(w * s));
  look.cellHeight = std::max(1, px((h + 4) * s));

  geometry.y = h * (horniRadek - 1);
  geometry.x = (levySloupec - 1) * w;
  geometry.h = (dolniRadek - horniRadek + 1) * (h + 4) + 4;
  geometry.w = (pravySloupec - levySloupec + 2) * w;
  const std::string n = name();
  auto misto = [&](const char* klic, int& cil) {
    if (const int v = CtiCislo(kOkna2, n + klic); v > 0) cil = v;
  };
  // A window too low for its last shown row and the footer grows to hold them, so that no row
  // is out of sight.
  int dole = 0;
  for (const auto& r : radky_)
    if (r.stav != -1) dole = std::max(dole, px(((r.radek - 1) * (h + 4) + 4) * s) + px(h * s));
  geometry.h = std::max(geometry.h, dole + 3 * h + 10);
  misto(" OknoLeft", geometry.x);
  misto(" OknoTop", geometry.y);
  misto(" OknoWidth", geometry.w);
  misto(" OknoHeight", geometry.h);

  for (int i = 1; i <= PocetRadku(); ++i) {
    RadekOkna& r = Radek(i);
    Label& l = add<Label>("L" + std::to_string(i));
    l.text = r.popis;
    l.geometry.y = px(((r.radek - 1) * (h + 4) + 4) * s);
    l.geometry.x = px(r.sloupecPopisu * w * s);
    l.geometry.h = px(h * s);
    l.geometry.w = px(static_cast<double>(r.popis.size()) * w * s);
    if (l.geometry.w == w) l.geometry.w *= 2;
    l.visible = r.stav != -1;
    Edit& e = add<Edit>("E" + std::to_string(i));
    e.setValue(r.hodnota);
    e.editor.setMaxLength(r.sirka);
    e.geometry.y = l.geometry.y - 2;
    e.geometry.x = l.geometry.x + l.geometry.w + 10;
    e.geometry.w = px((r.sirka + 2 + (r.typ.datum() ? 2 : 0)) * w * s);
    e.geometry.h = px(h * s);
    e.tabOrder = i - 1;
    e.visible = r.stav != -1;
    e.readOnly = r.stav < 1;
    if (r.bocniSloupec > 0 && r.stav != -1) {
      Label& b = add<Label>("S" + std::to_string(i));
      b.text = r.bocniText;
      b.geometry.y = px(((r.bocniRadek - 1) * (h + 4) + 4) * s);
      b.geometry.x = px(r.bocniSloupec * w * s);
      b.geometry.w = px(static_cast<double>(r.bocniText.size()) * w * s);
      if (b.geometry.w == w) b.geometry.w *= 2;
      b.geometry.h = px(h * s);
    }
  }
  for (int i = 1; i <= PocetRadku(); ++i) {
    if (Radek(i).bocniSloupec <= 0) continue;
    std::string t = Radek(i).hodnota;
    ZobrazParametr(i, t);
    PolePro(i)->setValue(t);
  }
  Button& ok = add<Button>("OK");
  ok.text = "OK-F2";
  ok.geometry = {geometry.w - 62, 4, 50, h};
  ok.tabOrder = PocetRadku();
  ok.onClick = [this] { PrijmiParametry(); };
  Label& p = add<Label>("Pata");
  const int vyskaPaty = h;
  p.geometry = {0, geometry.h - 2 * vyskaPaty - 10, geometry.w - w, vyskaPaty};
  p.text = pata.substr(0, static_cast<size_t>(std::max(0, pravySloupec - levySloupec + 1)));
  p.bold = true;
  p.fontColor = kPismoPaty;
  p.color = kBarvaPaty;

  for (int i = 1; i <= PocetRadku(); ++i) Radek(i).hodnota = TextPole(i);
  aktualni = 1;
  zruseno = true;
  kodovani = false;
  otevreno_ = true;
}

void TfOkno::onShow() {
  for (int i = 1; i <= PocetRadku(); ++i)
    if (Radek(i).stav == 1) return PrejdiNa(i);
}

std::string TfOkno::Kontrola(int i, const std::string& text) const {
  const RadekOkna& r = Radek(i);
  std::string t = text;
  if (kodovani) t = CislaKodu(t).substr(0, kNejdelsiKod);
  const UpravenyText u = UpravPole(r.typ, static_cast<std::size_t>(r.sirka), t);
  if (u.chyba == ChybaPole::Zadna) t = u.text;
  return storage::DoplnZprava(t, static_cast<size_t>(r.sirka)).substr(0, static_cast<size_t>(r.sirka));
}

void TfOkno::ZmenaParametru(int i, std::string& text) {
  for (int k = 1; k <= PocetRadku(); ++k) {
    const int stav = Radek(k).stav;
    if (Label* l = PopisPro(k)) l->visible = stav != -1;
    if (Edit* e = PolePro(k)) {
      e->visible = stav != -1;
      e->readOnly = stav < 1;
    }
  }
  text = Kontrola(i, text);
  ZobrazParametr(i, text);
}

void TfOkno::PrijmiParametry() {
  zruseno = false;
  close(kVkF2);
}

void TfOkno::NapovedaParametru(int i) { Zprava("Help SOUB" + FormatE("####", i)); }

void TfOkno::PrejdiNa(int i) {
  aktualni = i;
  Edit* e = PolePro(i);
  if (!e) return;
  std::string t = Kontrola(i, e->value());
  ZobrazParametr(i, t);
  e->setValue(storage::OrezZprava(t));
  setFocus(e);
  vybrano_ = true;
}

void TfOkno::Dalsi(int i) {
  for (int k = i + 1; k <= PocetRadku(); ++k)
    if (Radek(k).stav == 1) return PrejdiNa(k);
  if (!dokola) return PrijmiParametry();
  for (int k = 1; k <= i; ++k)
    if (Radek(k).stav == 1) return PrejdiNa(k);
}

void TfOkno::Predchozi(int i) {
  const int n = PocetRadku();
  for (int k = 1; k <= n; ++k) {
    const int j = ((i - 1 - k) % n + n) % n + 1;
    if (Radek(j).stav == 1) return PrejdiNa(j);
  }
}

void TfOkno::NabidkaVizaze() {
  const int volba = Vyber(10, 10, nullptr, {cz("Změna barvy pozadí"), cz("Změna písma a jeho barvy")}, cz("Úprava vizáže"));
  if (volba == 1) {
    Color c = papir_;
    if (VyberBarvu(c)) color = papir_ = c;
  } else if (volba == 2) {
    FontChoice f{vzhled_.pismo, vzhled_.velikost, vzhled_.tucne(), vzhled_.kurziva(), inkoust_};
    if (!VyberPismo(f)) return;
    vzhled_.pismo = f.name;
    vzhled_.velikost = f.size;
    vzhled_.styl = TextStylu(f.bold, f.italic);
    fontColor = inkoust_ = f.color;
    const auto& sl = sluzbyRolu();
    if (!sl.dotazy) return;
    std::vector<PolozkaDotazu> d = {{cz("Výška písmen"), "####", FormatE("####", vzhled_.vyskaZnaku)},
                                    {cz("Šířka písmen"), "####", FormatE("####", vzhled_.sirkaZnaku)}};
    if (!sl.dotazy(cz("Úprava vizáže"), d)) return;
    // The cell sizes take effect at the next opening, through the keys written at closing.
    vzhled_.vyskaZnaku = std::clamp(TextNaCele(d[0].hodnota), 10, 30);
    vzhled_.sirkaZnaku = std::clamp(TextNaCele(d[1].hodnota), 5, 30);
  }
}

bool TfOkno::onMouse(const MouseEvent& ev, Control* hit) {
  if (ev.button != MouseButton::Left || !hit) return false;
  if (hit->kind() != ControlKind::Edit || hit == PolePro(aktualni)) return false;
  for (int i = 1; i <= PocetRadku(); ++i) {
    if (PolePro(i) != hit || Radek(i).stav != 1) continue;
    // The row left by the click is checked as a key would have left it.
    if (Edit* e = PolePro(aktualni)) {
      std::string t = Kontrola(aktualni, e->value());
      ZobrazParametr(aktualni, t);
      e->setValue(t);
    }
    PrejdiNa(i);
    return true;
  }
  return false;
}

bool TfOkno::onKey(const KeyEvent& ev) {
  const int k = ev.number();
  if (focused() && focused() == find("OK") && k != kVkTab && k != kShiftAdd + kVkTab) {
    PrijmiParametry();
    return true;
  }
  const int i = aktualni;
  Edit* e = PolePro(i);
  if (!e) return false;
  posledniKlavesa = k;
  auto zmena = [&] {
    std::string t = e->value();
    ZmenaParametru(i, t);
    e->setValue(t);
  };
  switch (k) {
    case kVkEscape:
      zruseno = true;
      close(kVkEscape);
      return true;
    case kVkDown:
    case kVkTab:
      zmena();
      Dalsi(i);
      return true;
    case kVkF2:
      zmena();
      PrijmiParametry();
      return true;
    case kVkUp:
    case kShiftAdd + kVkTab:  // the toolkit's move back, kept on the rows
      zmena();
      Predchozi(i);
      return true;
    case kVkReturn: {
      std::string t = Kontrola(i, e->value());
      kodovani = false;
      EnterParametru(i, t);
      e->setValue(t);
      if (closeRequested()) return true;
      zmena();
      Dalsi(i);
      return true;
    }
    case kVkF12:
      e->setValue(Radek(i).puvodni);
      zmena();
      Dalsi(i);
      return true;
    case kCtrlAdd + kVkF9:
      Kalkulacka(TextNaReal(e->value()));
      if (vysledekKalkulacky().potvrzeno)
        e->setValue(storage::BezMezer(FormatE("##################.##", TextNaReal(vysledekKalkulacky().text))));
      return true;
    case kCtrlAdd + 'B': kodovani = true; return true;
    case kVkF1: NapovedaParametru(i); return true;
    case kVkF11: NabidkaVizaze(); return true;
    case kCtrlAdd + kVkF1:
      if (sluzbyRolu().navod) sluzbyRolu().navod(name());
      return true;
    case kCtrlAdd + kVkF2:
      if (sluzbyRolu().seznamSestav) sluzbyRolu().seznamSestav();
      else Zprava(cz("Seznam tiskových sestav v této verzi programu ještě není."));
      return true;
    case kCtrlAdd + kVkF12:
    case kShiftAdd + kVkF12: KlavesaParametru(k, i); return true;
    default: break;
  }
  if ((k >= kVkF3 && k <= kVkF10) || (k >= kAltAdd + kVkF1 && k <= kAltAdd + kVkF10) ||
      (k >= kCtrlAdd + kVkF3 && k <= kCtrlAdd + kVkF8)) {
    KlavesaParametru(k, i);
    return true;
  }
  // A character typed or Backspace/Delete into a freshly entered row replaces its whole text.
  if (vybrano_) {
    vybrano_ = false;
    const bool znak = ev.ch != 0 && static_cast<unsigned char>(ev.ch) >= 32 && !ev.ctrl && !ev.alt;
    if (!e->readOnly && (znak || (ev.plain() && (ev.vk == kVkBack || ev.vk == kVkDelete)))) {
      e->setValue("");
      if (!znak) return true;
    }
  }
  return false;
}

void TfOkno::ulozVzhled() {
  using storage::PisPar;
  const std::string n = name();
  PisPar(kOkna2, n + " OknoLeft", FormatGeometrie(geometry.x));
  PisPar(kOkna2, n + " OknoTop", FormatGeometrie(geometry.y));
  PisPar(kOkna2, n + " OknoWidth", FormatGeometrie(geometry.w));
  PisPar(kOkna2, n + " OknoHeight", FormatGeometrie(geometry.h));
  PisPar(kOkna2, n + " FontPaperA", FormatE("-@@@@@@@@@@", papir_));
  PisPar(kOkna2, n + " FontColorA", FormatE("-@@@@@@@@@@", inkoust_));
  PisPar(kOkna2, n + " FontNameA", vzhled_.pismo);
  PisPar(kOkna2, n + " VyskaFontuA", FormatVelikostiZnaku(vzhled_.vyskaZnaku));
  PisPar(kOkna2, n + " SirkaFontuA", FormatVelikostiZnaku(vzhled_.sirkaZnaku));
  PisPar(kOkna2, n + " FontSizeA", FormatVelikostiPisma(vzhled_.velikost));
  PisPar(kOkna2, n + " FontStyleA", vzhled_.styl);
}

void TfOkno::UlozParametry() {
  if (!otevreno_) return;
  if (!zruseno) {
    for (int i = 1; i <= PocetRadku(); ++i) Radek(i).hodnota = Kontrola(i, TextPole(i));
    ZapisZaznam();
  }
  ulozVzhled();
  removeAllControls();
  otevreno_ = false;
}

}  // namespace pz::ui
