// The standard dialogs. Map of this file:
//   - helpers: remembered positions, the dialogs' look
//   - The choice menu                Vyber
//   - The question form              Dotazy
//   - The yes/no question            Dotaz
//   - The message box
//   - The flashing message
//   - The timed wait
//   - The guide page                 help and guide texts
//   - The board                      and the entry to the report viewer

#include "ui/dialogs.h"

#include <algorithm>
#include <memory>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "ui/app.h"
#include "ui/browse.h"
#include "ui/browse_settings.h"
#include "ui/calculator.h"
#include "ui/form.h"
#include "ui/formprint.h"
#include "ui/picture.h"
#include "ui/recordform.h"
#include "ui/timer.h"

namespace pz::ui {

using platform::cz;

namespace {

constexpr size_t kMaxPolozek = 60;
constexpr size_t kSirkaZpravy = 60;

// Settings keys of a dialog begin with the first 15 characters of its title.
std::string titulKlice(const std::string& titul) { return titul.substr(0, 15); }

int ulozenaPozice(const std::string& klic) { return CtiCislo(kOkna2, klic); }
void ulozPozici(const std::string& klic, int v) { storage::PisPar(kOkna2, klic, FormatIndexu(v)); }

// The look of the dialogs: the character cell of the standard look, times the screen scale.
Look vzhledDialogu(const std::string& okno) {
  VzhledOkna v = VyresVzhled(okno);
  const double s = storage::settings().screenScale > 0 ? storage::settings().screenScale : 1.0;
  Look l;
  l.fontName = v.pismo;
  l.fontSize = v.velikost;
  l.fontBold = v.tucne();
  l.fontItalic = v.kurziva();
  l.cellWidth = std::max(1, static_cast<int>(v.sirkaZnaku * s + 0.5));
  l.cellHeight = std::max(1, static_cast<int>(v.vyskaZnaku * s + 0.5));
  return l;
}

std::string adresarNavodu() { return storage::ProgCesta("NAVODY\\"); }

int delkaNejdelsi(const std::vector<std::string>& texty, size_t od = 0, size_t krok = 1) {
  size_t n = 0;
  for (size_t i = od; i < texty.size(); i += krok) n = std::max(n, texty[i].size());
  return static_cast<int>(n);
}

// ---------------------------------------------------------------------------------------------
// The choice menu.

class TfVyber : public Form {
 public:
  TfVyber() : Form("TfVyber", ""), lbVyber(add<ListBox>("lbVyber")), bOK(add<Button>("bOK")) {
    bOK.text = "F2-OK";
    bOK.onClick = [this] { vyber(); };
    popupMenu = true;
  }

  int spust(int sloupec, int radek, const PomocDialogu& pomoc, const std::vector<std::string>& polozky,
            const std::string& titul) {
    pomoc_ = pomoc;
    titul_ = titul;
    caption = titul;
    vysledek_ = 0;
    const std::string t = titulKlice(titul);
    const std::string maska = storage::CtiPar("par\\VYBER.PAR", t);
    polozky_ = polozky;
    for (size_t i = 0; i < polozky_.size(); ++i)
      if (i < maska.size() && maska[i] == '-' && (polozky_[i].empty() || polozky_[i][0] != '-'))
        polozky_[i] = "-" + polozky_[i];
    lbVyber.items = polozky_;
    look = vzhledDialogu("fVyber");
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int n = static_cast<int>(polozky_.size());
    const int sirka = std::max({delkaNejdelsi(polozky_) + 2, static_cast<int>(titul.size()) + 4, 12});
    geometry = {std::max(0, sloupec - 1) * cw, std::max(0, radek - 1) * ch, sirka * cw, (n + 1) * ch};
    if (int x = ulozenaPozice(t + " VyberLeft"); x > 0) geometry.x = x;
    if (int y = ulozenaPozice(t + " VyberTop"); y > 0) geometry.y = y;
    lbVyber.geometry = {0, 0, sirka * cw, n * ch};
    bOK.geometry = {(sirka - 7) / 2 * cw, n * ch, 7 * cw, ch};
    int start = CtiCislo("par\\VYBER.IDX", t + " VyberIndex") - 1;
    if (start < 0 || start >= n) start = 0;
    lbVyber.itemIndex = start;
    if (!povolena(start)) posun(+1);
    lbVyber.topIndex = 0;
    setFocus(&lbVyber);
    showModal();
    ulozPozici(t + " VyberLeft", geometry.x);
    ulozPozici(t + " VyberTop", geometry.y);
    storage::PisPar(kOkna2, t + " VyberIndex", FormatPlainE("@@@@@@-", vysledek_));
    auto& v = vysledekDialogu();
    v.volba = vysledek_;
    v.kodVolby = "  ";
    if (vysledek_ > 0) {
      storage::PisPar("par\\VYBER.IDX", t + " VyberIndex", FormatPlainE("####", vysledek_));
      const std::string& text = polozky_[static_cast<size_t>(vysledek_ - 1)];
      v.kodVolby = (text + "   ").substr(1, 2);
    }
    return vysledek_;
  }

  ListBox& lbVyber;
  Button& bOK;

 protected:
  bool onKey(const KeyEvent& ev) override {
    switch (ev.number()) {
      case kVkDown: posun(+1); return true;
      case kVkUp: posun(-1); return true;
      case kVkReturn:
      case kVkF2: vyber(); return true;
      case kVkEscape: vysledek_ = 0; close(); return true;
      case kVkF1: if (pomoc_) pomoc_(lbVyber.itemIndex + 1); return true;
      case kVkF1 + kCtrlAdd: Navod(adresarNavodu(), titul_ + aktualni()); return true;
      case kVkF9: Kalkulacka(0); return true;
      case kVkF10: TiskniOkno(*this); return true;
      default: return ev.vk == kVkTab;  // the menu has no other place for the focus
    }
  }
  bool onMouse(const MouseEvent& ev, Control* hit) override {
    if (ev.button == MouseButton::Right && ev.ctrl) {
      zakazane();
      return true;
    }
    if (hit == &lbVyber && ev.doubleClick) {
      lbVyber.mouse(ev, cellsOf(lbVyber));
      vyber();
      return true;
    }
    if (hit == &lbVyber && ev.button == MouseButton::Left) {
      lbVyber.mouse(ev, cellsOf(lbVyber));
      return true;
    }
    return false;
  }

 private:
  bool povolena(int i) const {
    return i >= 0 && i < static_cast<int>(polozky_.size()) && (polozky_[static_cast<size_t>(i)].empty() ||
                                                                  polozky_[static_cast<size_t>(i)][0] != '-');
  }
  std::string aktualni() const {
    const int i = lbVyber.itemIndex;
    return i >= 0 && i < static_cast<int>(polozky_.size()) ? polozky_[static_cast<size_t>(i)] : std::string();
  }
  // Moves to the next enabled item in the direction, wrapping; stays when none is enabled.
  void posun(int smer) {
    const int n = static_cast<int>(polozky_.size());
    for (int k = 1; k <= n; ++k) {
      const int i = ((lbVyber.itemIndex + smer * k) % n + n) % n;
      if (povolena(i)) {
        lbVyber.itemIndex = i;
        return;
      }
    }
  }
  void vyber() {
    if (!povolena(lbVyber.itemIndex)) return;
    vysledek_ = lbVyber.itemIndex + 1;
    close(vysledek_);
  }
  void zakazane();

  std::vector<std::string> polozky_;
  std::string titul_;
  PomocDialogu pomoc_;
  int vysledek_ = 0;
};

// The list of forbidden items: Space or Insert marks an item, Enter stores the marks as the
// menu's mask.
class TfVolby : public Form {
 public:
  TfVolby() : Form("TfVolby", cz("Označ zakázané klapky")), lbVolby(add<ListBox>("lbVolby")) {}
  bool spust(std::vector<std::string>& oznaceno, const std::vector<std::string>& polozky, const std::string& t,
             const Look& l) {
    look = l;
    polozky_ = polozky;
    oznaceno_ = oznaceno;
    obnov();
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int sirka = std::max(delkaNejdelsi(polozky) + 4, 26);
    geometry = {80, 60, sirka * cw, static_cast<int>(polozky.size()) * ch};
    if (int x = ulozenaPozice(t + " VolbyLeft"); x > 0) geometry.x = x;
    if (int y = ulozenaPozice(t + " VolbyTop"); y > 0) geometry.y = y;
    lbVolby.geometry = {0, 0, sirka * cw, geometry.h};
    lbVolby.itemIndex = 0;
    setFocus(&lbVolby);
    const bool ok = showModal() == 1;
    ulozPozici(t + " VolbyLeft", geometry.x);
    ulozPozici(t + " VolbyTop", geometry.y);
    if (ok) oznaceno = oznaceno_;
    return ok;
  }
  ListBox& lbVolby;

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.plain() && (ev.vk == kVkSpace || ev.vk == kVkInsert)) {
      auto& z = oznaceno_[static_cast<size_t>(std::max(0, lbVolby.itemIndex))];
      z = z == "*" ? "" : "*";
      obnov();
      return true;
    }
    if (ev.plain() && ev.vk == kVkReturn) return close(1), true;
    if (ev.plain() && ev.vk == kVkEscape) return close(0), true;
    return false;
  }

 private:
  void obnov() {
    lbVolby.items.clear();
    for (size_t i = 0; i < polozky_.size(); ++i) lbVolby.items.push_back((oznaceno_[i] == "*" ? "* " : "  ") + polozky_[i]);
  }
  std::vector<std::string> polozky_, oznaceno_;
};

TfVolby& tfVolby() {
  static TfVolby f;
  return f;
}

void TfVyber::zakazane() {
  std::vector<std::string> cista, znacky;
  for (const auto& p : polozky_) {
    const bool zakazana = !p.empty() && p[0] == '-';
    cista.push_back(zakazana ? p.substr(1) : p);
    znacky.push_back(zakazana ? "*" : "");
  }
  const std::string t = titulKlice(titul_);
  if (!tfVolby().spust(znacky, cista, t, look)) return;
  std::string maska(40, ' ');
  for (size_t i = 0; i < znacky.size() && i < maska.size(); ++i)
    if (znacky[i] == "*") maska[i] = '-';
  storage::PisPar("par\\VYBER.PAR", t, maska);
  for (size_t i = 0; i < polozky_.size(); ++i) polozky_[i] = (i < znacky.size() && znacky[i] == "*" ? "-" : "") + cista[i];
  lbVyber.items = polozky_;
  if (!povolena(lbVyber.itemIndex)) posun(+1);
}

TfVyber& tfVyber() {
  static TfVyber f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The question form.

class TfDotazy : public Form {
 public:
  TfDotazy() : Form("TfDotazy", "") {}

  bool spust(int sloupec, int radek, const PomocDialogu& pomoc, const std::vector<std::string>& polozky,
             const std::string& titul) {
    pomoc_ = pomoc;
    titul_ = titul;
    caption = titul;
    look = vzhledDialogu("fDotazy");
    potvrzeno_ = false;
    radky_.clear();
    const size_t n = polozky.size() / 2;
    // The labels and fields of the previous call go; the form keeps only this call's lines.
    odeber();
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int popisy = delkaNejdelsi(polozky, 0, 2);
    const int pole = std::clamp(delkaNejdelsi(polozky, 1, 2) + 2, 20, 60);
    for (size_t i = 0; i < n; ++i) {
      auto& l = add<Label>("Label" + std::to_string(i + 1));
      l.text = polozky[2 * i];
      l.geometry = {cw, static_cast<int>(i) * ch, popisy * cw, ch};
      auto& e = add<Edit>("Edit" + std::to_string(i + 1));
      e.geometry = {(popisy + 2) * cw, static_cast<int>(i) * ch, pole * cw, ch};
      e.color = kWhite;
      e.fontColor = kBlack;
      e.editor.setMaxLength(255);
      e.setValue(polozky[2 * i + 1]);
      e.enabled = l.text.empty() || l.text[0] != '-';
      radky_.push_back({&l, &e});
    }
    geometry = {std::max(0, sloupec - 1) * cw, std::max(0, radek - 1) * ch,
                std::max(popisy + pole + 3, static_cast<int>(titul.size()) + 4) * cw, static_cast<int>(std::max<size_t>(n, 1)) * ch};
    const std::string t = titulKlice(titul);
    if (int x = ulozenaPozice(t + " DotazyLeft"); x > 0) geometry.x = x;
    if (int y = ulozenaPozice(t + " DotazyTop"); y > 0) geometry.y = y;
    setFocus(nullptr);
    for (auto& r : radky_)
      if (r.pole->enabled) {
        setFocus(r.pole);
        break;
      }
    vybrano_ = true;
    showModal();
    auto& v = vysledekDialogu();
    v.odpovedi.clear();
    for (auto& r : radky_) v.odpovedi.push_back(r.pole->value());
    v.potvrzeno = potvrzeno_;
    ulozPozici(t + " DotazyLeft", geometry.x);
    ulozPozici(t + " DotazyTop", geometry.y);
    return potvrzeno_;
  }

 protected:
  bool onKey(const KeyEvent& ev) override {
    switch (ev.number()) {
      case kVkDown: posun(+1); return true;
      case kVkUp: posun(-1); return true;
      case kVkF2:
      case kVkF4:
      case kVkReturn: potvrzeno_ = true; close(1); return true;
      case kVkEscape: close(0); return true;
      case kVkF1: if (pomoc_) pomoc_(radek() + 1); return true;
      case kVkF1 + kCtrlAdd: {
        const int r = radek();
        Navod(adresarNavodu(), titul_ + (r >= 0 ? radky_[static_cast<size_t>(r)].popis->text : std::string()));
        return true;
      }
      case kVkF9: {
        const int r = radek();
        vybrano_ = false;
        if (r < 0) return true;
        Edit& e = *radky_[static_cast<size_t>(r)].pole;
        const double v = Kalkulacka(TextNaReal(e.value()));
        if (vysledekKalkulacky().potvrzeno) {
          std::string s = FormatPlainE("#################.##-", v);
          s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
          e.setValue(s);
        }
        return true;
      }
      case kVkF10: {
        // A file name for the line, chosen in the file chooser; blanks cannot be part of it.
        const int r = radek();
        vybrano_ = false;
        if (r < 0 || !sluzbySouboru().vyberSouboru) return true;
        Edit& e = *radky_[static_cast<size_t>(r)].pole;
        std::string nabidka = e.value();
        nabidka.erase(std::remove(nabidka.begin(), nabidka.end(), ' '), nabidka.end());
        std::string s = sluzbySouboru().vyberSouboru(nabidka, "*.*", cz("Urči soubor"));
        s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
        if (!s.empty()) e.setValue(s);
        return true;
      }
      default: vyberPrepis(ev); return false;
    }
  }

 private:
  struct Radek {
    Label* popis;
    Edit* pole;
  };
  // A line entered holds its offered value selected, as a field of a form does: the first
  // character typed replaces it (a rate typed over the offered one is that rate, not the two run
  // together), Backspace or Delete clears it, any other key keeps it and ends the selection.
  void vyberPrepis(const KeyEvent& ev) {
    if (!vybrano_) return;
    vybrano_ = false;
    if (const int r = radek(); r >= 0) radky_[static_cast<size_t>(r)].pole->ZrusVybrany(ev);
  }
  int radek() const {
    for (size_t i = 0; i < radky_.size(); ++i)
      if (radky_[i].pole == focused()) return static_cast<int>(i);
    return -1;
  }
  void posun(int smer) {
    const int n = static_cast<int>(radky_.size());
    const int od = std::max(0, radek());
    for (int k = 1; k <= n; ++k) {
      const int i = ((od + smer * k) % n + n) % n;
      if (radky_[static_cast<size_t>(i)].pole->enabled) {
        setFocus(radky_[static_cast<size_t>(i)].pole);
        vybrano_ = true;
        return;
      }
    }
  }
  void odeber();

  std::vector<Radek> radky_;
  std::string titul_;
  PomocDialogu pomoc_;
  bool potvrzeno_ = false;
  bool vybrano_ = false;
};

TfDotazy& tfDotazy() {
  static TfDotazy f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The yes/no question.

constexpr Color kBarvaDotazu = 13158655;

class TfDotaz : public Form {
 public:
  TfDotaz() : Form("TfDotaz", ""), bAno(add<Button>("bAno")), bNe(add<Button>("bNe")) {
    bAno.text = "Ano";
    bNe.text = "Ne";
    bAno.onClick = [this] { odpovez(true); };
    bNe.onClick = [this] { odpovez(false); };
    color = kBarvaDotazu;
  }

  bool spust(int sloupec, int radek, const std::string& otazka, bool naAno, bool pamatovat) {
    caption = otazka;
    look = vzhledDialogu("fDotaz");
    const double s = storage::settings().screenScale > 0 ? storage::settings().screenScale : 1.0;
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int zakladni = std::max(static_cast<int>(otazka.size() + 6) * VyresVzhled("fDotaz").sirkaZnaku, 188);
    int sirka = static_cast<int>(zakladni * s);
    sirka = (sirka + cw - 1) / cw * cw;
    geometry = {200, 200, sirka, 5 * ch};
    if (sloupec > 0) geometry.x = sloupec * cw;
    if (radek > 0) geometry.y = radek * (ch + 4);
    const std::string t = titulKlice(otazka);
    if (pamatovat) {
      if (int x = ulozenaPozice(t + " DotazLeft"); x > 0) geometry.x = x;
      if (int y = ulozenaPozice(t + " DotazTop"); y > 0) geometry.y = y;
    }
    if (Presenter* p = Application::instance().presenter()) {
      const Rect w = p->workArea();
      geometry.x = std::clamp(geometry.x, w.x, std::max(w.x, w.x + w.w - 100 - geometry.w));
      geometry.y = std::clamp(geometry.y, w.y, std::max(w.y, w.y + w.h - 100 - geometry.h));
    }
    const int stred = sirka / cw / 2;
    bAno.geometry = {(stred - 8) * cw, 2 * ch, 7 * cw, ch};
    bNe.geometry = {(stred + 1) * cw, 2 * ch, 7 * cw, ch};
    if (pamatovat) naAno = storage::CtiPar("par\\dotaz.par", t + " ANO") == "A";
    setFocus(naAno ? &bAno : &bNe);
    ano_ = false;
    otazka_ = otazka;
    showModal();
    if (pamatovat) {
      ulozPozici(t + " DotazLeft", geometry.x);
      ulozPozici(t + " DotazTop", geometry.y);
      storage::PisPar("par\\dotaz.par", t + " ANO", ano_ ? "A" : "");
    }
    vysledekDialogu().ano = ano_;
    return ano_;
  }

  Button& bAno;
  Button& bNe;

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.number() == kVkF1 + kCtrlAdd) {
      Navod(adresarNavodu(), otazka_);
      return true;
    }
    if (ev.ctrl || ev.alt) return false;
    if (ev.ch == 'A' || ev.ch == 'a') return odpovez(true), true;
    if (ev.ch == 'N' || ev.ch == 'n' || ev.vk == kVkEscape) return odpovez(false), true;
    if (ev.vk == kVkLeft || ev.vk == kVkRight || ev.vk == kVkTab) {
      setFocus(focused() == &bAno ? &bNe : &bAno);
      return true;
    }
    return false;
  }

 private:
  void odpovez(bool ano) {
    ano_ = ano;
    close(ano ? 1 : 0);
  }
  bool ano_ = false;
  std::string otazka_;
};

TfDotaz& tfDotaz() {
  static TfDotaz f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The message box.

class TfZprava : public Form {
 public:
  TfZprava() : Form("TfZprava", cz("Upozornění")), mText(add<Memo>("mText")), bOK(add<Button>("bOK")) {
    bOK.text = "OK";
    bOK.isDefault = true;
    bOK.onClick = [this] { close(1); };
  }
  void spust(const std::string& text) {
    look = vzhledDialogu("fZprava");
    mText.lines = ZalomText(text, kSirkaZpravy);
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int sirka = std::max(delkaNejdelsi(mText.lines), 20);
    const int radky = static_cast<int>(mText.lines.size());
    geometry = {160, 120, (sirka + 4) * cw, (radky + 3) * ch};
    if (Presenter* p = Application::instance().presenter()) {
      const Rect w = p->workArea();
      geometry.x = w.x + std::max(0, (w.w - geometry.w) / 2);
      geometry.y = w.y + std::max(0, (w.h - geometry.h) / 3);
    }
    mText.geometry = {2 * cw, ch / 2, sirka * cw, radky * ch};
    bOK.geometry = {((sirka + 4) / 2 - 3) * cw, (radky + 1) * ch + ch / 2, 6 * cw, ch};
    setFocus(&bOK);
    showModal();
  }
  Memo& mText;
  Button& bOK;

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.plain() && (ev.vk == kVkEscape || ev.vk == kVkReturn || ev.vk == kVkSpace)) {
      close(1);
      return true;
    }
    return ev.vk == kVkTab;
  }
};

TfZprava& tfZprava() {
  static TfZprava f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The flashing message.

class TfBlik : public Form {
 public:
  TfBlik()
      : Form("TfBlik", ""), lText(add<Label>("lText")), pbPostup(add<ProgressBar>("pbPostup")),
        casovac_(300, [this] { tik(); }) {}
  void ukaz(const std::string& text) {
    look = vzhledDialogu("fBlik");
    caption = "";
    lText.text = text;
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int sirka = static_cast<int>(text.size()) + 5;
    geometry = {std::max(0, 400 - sirka * cw / 2), 240, sirka * cw, 3 * ch};
    const std::string t = titulKlice(text);
    if (int x = ulozenaPozice(t + " BlikLeft"); x > 0) geometry.x = x;
    if (int y = ulozenaPozice(t + " BlikTop"); y > 0) geometry.y = y;
    lText.geometry = {2 * cw, ch / 2, (sirka - 4) * cw, ch};
    lText.align = Align::Center;
    pbPostup.geometry = {2 * cw, 2 * ch - ch / 4, (sirka - 4) * cw, ch / 2 + 1};
    pbPostup.min = 0;
    pbPostup.max = 10;
    pbPostup.position = 1;
    pbPostup.visible = true;
    casovac_.setEnabled(true);
    Application::instance().showModeless(*this);
  }
  void postup(int maximum, int pozice) {
    if (!isShowing()) return;
    casovac_.setEnabled(false);
    pbPostup.max = std::max(1, maximum);
    pbPostup.position = std::clamp(pozice, 0, pbPostup.max);
    Application::instance().processPending();
  }
  void konec() {
    casovac_.setEnabled(false);
    pbPostup.visible = false;
    Application::instance().hideModeless(*this);
  }
  Label& lText;
  ProgressBar& pbPostup;

 private:
  void tik() { pbPostup.position = pbPostup.position % 10 + 1; }
  Timer casovac_;
};

TfBlik& tfBlik() {
  static TfBlik f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The timed wait.

class TfCekej : public Form {
 public:
  TfCekej() : Form("TfCekej", ""), lText(add<Label>("lText")), casovac_(1000, [this] { close(0); }) {}
  bool spust(int ms, const std::string& text) {
    look = vzhledDialogu("fCekej");
    lText.text = text;
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int sirka = std::max(static_cast<int>(text.size()) + 4, 16);
    geometry = {240, 200, sirka * cw, 2 * ch};
    lText.geometry = {2 * cw, ch / 2, (sirka - 4) * cw, ch};
    preruseno_ = false;
    casovac_.setInterval(std::max(1, ms));
    casovac_.setEnabled(true);
    showModal();
    casovac_.setEnabled(false);
    vysledekDialogu().preruseno = preruseno_;
    return preruseno_;
  }
  Label& lText;

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.plain() && ev.vk == kVkEscape) {
      preruseno_ = true;
      close(0);
    }
    return true;
  }

 private:
  Timer casovac_;
  bool preruseno_ = false;
};

TfCekej& tfCekej() {
  static TfCekej f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The guide page.

class TfHint : public Form {
 public:
  TfHint() : Form("TfHint", ""), MemoNavod(add<Memo>("MemoNavod")) {}
  void spust(const std::string& adresar, const std::string& jmeno) {
    look = vzhledDialogu("fHint");
    const std::string ciste = CisteJmenoNavodu(jmeno);
    caption = adresar + " : " + ciste;
    const std::string soubor = adresar + ciste + ".nav";
    MemoNavod.lines.clear();
    MemoNavod.readOnly = true;
    MemoNavod.modified = false;
    MemoNavod.line = MemoNavod.col = MemoNavod.topLine = 0;
    if (storage::VelikostSouboru(soubor) >= 3) {
      std::string obsah;
      platform::readWholeFile(soubor, obsah, platform::Share::DenyNone);
      for (const auto& r : ZalomText(obsah, 100000))
        if (r.empty() || r[0] != '&') MemoNavod.lines.push_back(r);
    } else {
      storage::ZalozCestu(adresar);
    }
    const int cw = look.cellWidth, ch = look.cellHeight;
    geometry = {100, 80, 80 * cw, 20 * ch};
    if (int v = CtiCislo(kOkna2, " HintLeft"); v > 0) geometry.x = v;
    if (int v = CtiCislo(kOkna2, " HintTop"); v > 0) geometry.y = v;
    if (int v = CtiCislo(kOkna2, " HintWidth"); v > 0) geometry.w = v;
    if (int v = CtiCislo(kOkna2, " HintHeight"); v > 0) geometry.h = v;
    MemoNavod.geometry = {0, 0, geometry.w, geometry.h};
    setFocus(nullptr);
    showModal();
    if (!MemoNavod.readOnly && MemoNavod.modified) {
      std::string text;
      for (const auto& r : MemoNavod.lines) text += r + "\r\n";
      text += "&" + soubor + "\r\n";
      platform::writeWholeFile(soubor, text);
    }
    storage::PisPar(kOkna2, " HintLeft", FormatGeometrie(geometry.x));
    storage::PisPar(kOkna2, " HintTop", FormatGeometrie(geometry.y));
    storage::PisPar(kOkna2, " HintWidth", FormatGeometrie(geometry.w));
    storage::PisPar(kOkna2, " HintHeight", FormatGeometrie(geometry.h));
  }
  Memo& MemoNavod;

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.plain() && ev.vk == kVkEscape) return close(0), true;
    if (ev.plain() && ev.vk == kVkF2 && MemoNavod.readOnly) {
      MemoNavod.readOnly = false;
      if (MemoNavod.lines.empty()) MemoNavod.lines.emplace_back();
      setFocus(&MemoNavod);
      return true;
    }
    if (MemoNavod.readOnly && ev.plain()) {  // reading: the keys scroll the page
      const int n = static_cast<int>(MemoNavod.lines.size());
      if (ev.vk == kVkDown) MemoNavod.topLine = std::min(std::max(0, n - 1), MemoNavod.topLine + 1);
      else if (ev.vk == kVkUp) MemoNavod.topLine = std::max(0, MemoNavod.topLine - 1);
      else if (ev.vk == kVkNext) MemoNavod.topLine = std::min(std::max(0, n - 1), MemoNavod.topLine + rows());
      else if (ev.vk == kVkPrior) MemoNavod.topLine = std::max(0, MemoNavod.topLine - rows());
      return true;
    }
    return false;
  }
};

TfHint& tfHint() {
  static TfHint f;
  return f;
}

// ---------------------------------------------------------------------------------------------
// The board.

class TfTabule : public Form {
 public:
  TfTabule() : Form("TfTabule", "") {}
  void spust(int sloupec, int radek, const std::string& titul, const std::vector<std::string>& radky) {
    caption = titul;
    odeber();
    // Fixedsys lines 17 pixels apart, 9 pixels a character.
    look = Look{"Fixedsys", 9, false, false, 9, 17};
    const Look zaklad = vzhledDialogu("fTabule");
    int nejdelsi = 0, pocet = 0;
    for (size_t i = 0; i < radky.size() && i < 20; ++i) {
      if (radky[i].empty()) continue;
      auto& l = add<Label>("Label" + std::to_string(i + 1));
      l.text = radky[i];
      l.geometry = {10, static_cast<int>(i + 1) * 17 - 12, static_cast<int>(radky[i].size()) * 9, 15};
      nejdelsi = std::max(nejdelsi, static_cast<int>(radky[i].size()));
      pocet = std::max(pocet, static_cast<int>(i) + 1);
    }
    geometry = {sloupec * zaklad.cellWidth, radek * zaklad.cellHeight, nejdelsi * 9 + 20, 5 + pocet * 20};
    showModal();
    odeber();
  }

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.plain() && ev.vk == kVkEscape) close(0);
    return true;
  }

 private:
  void odeber();
};

TfTabule& tfTabule() {
  static TfTabule f;
  return f;
}

std::function<void(const std::string&)>& prohlizec() {
  static std::function<void(const std::string&)> p;
  return p;
}

}  // namespace

// The lines of the question form and the board are made for each call and freed after it.
void TfDotazy::odeber() {
  radky_.clear();
  removeAllControls();
}

void TfTabule::odeber() { removeAllControls(); }

VysledekDialogu& vysledekDialogu() {
  static VysledekDialogu v;
  return v;
}

int Vyber(int sloupec, int radek, const PomocDialogu& pomoc, const std::vector<std::string>& polozky,
          const std::string& titul) {
  if (polozky.size() > kMaxPolozek) {
    Zprava(titul + cz(" - příliš mnoho parametrů"));
    vysledekDialogu().volba = 0;
    return 0;
  }
  if (polozky.empty()) return 0;
  return tfVyber().spust(sloupec, radek, pomoc, polozky, titul);
}

bool Dotazy(int sloupec, int radek, const PomocDialogu& pomoc, const std::vector<std::string>& polozky,
            const std::string& titul) {
  return tfDotazy().spust(sloupec, radek, pomoc, polozky, titul);
}

bool Dotaz(int sloupec, int radek, const std::string& otazka) { return tfDotaz().spust(sloupec, radek, otazka, false, true); }

bool DotazVychozi(const std::string& otazka, bool naAno) { return tfDotaz().spust(0, 0, otazka, naAno, false); }

void Blik(const std::string& text) {
  tfBlik().konec();
  tfBlik().ukaz(text);
}

void BlikPostup(int maximum, int pozice) { tfBlik().postup(maximum, pozice); }

void BlikKonec() { tfBlik().konec(); }

void Zprava(const std::string& text) {
  Application::instance().beep();
  tfZprava().spust(text);
}

void ZpravaTicha(const std::string& text) { tfZprava().spust(text); }

bool Cekej(int ms, const std::string& text) { return tfCekej().spust(ms, text); }

std::vector<std::string> ZalomText(const std::string& text, size_t sirka) {
  std::vector<std::string> radky;
  std::string radek;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n' || text[i] == '\r') {
      radky.push_back(radek);
      radek.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++i;
      continue;
    }
    size_t konec = text.find_first_of(" \r\n", i);
    if (konec == std::string::npos) konec = text.size();
    std::string slovo = text.substr(i, konec - i);
    while (slovo.size() > sirka) {
      if (!radek.empty()) radky.push_back(radek), radek.clear();
      radky.push_back(slovo.substr(0, sirka));
      slovo.erase(0, sirka);
    }
    if (!radek.empty() && radek.size() + 1 + slovo.size() > sirka) radky.push_back(radek), radek.clear();
    if (!radek.empty()) radek += ' ';
    radek += slovo;
    i = konec;
    if (i < text.size() && text[i] == ' ') ++i;
  }
  if (!radek.empty() || radky.empty()) radky.push_back(radek);
  return radky;
}

std::string CisteJmenoNavodu(const std::string& jmeno) {
  std::string out;
  for (char c : storage::BezDiakritiky(jmeno)) {
    if (c == ' ') continue;
    out += std::string_view("\".:\\/?*").find(c) != std::string_view::npos ? '_' : c;
  }
  return out;
}

void Napoveda(const std::string& soubor, const std::string& tema) {
  const std::string cesta = storage::ProgCesta(soubor + ".hlp");
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return;
  const std::string hledane = storage::VelkaPismena(storage::BezDiakritiky(tema));
  if (!reports::OtevriSestavu("help", 80)) return;
  int zacatek = 0, cislo = 0;
  for (std::string radek : ZalomText(obsah, 100000)) {
    ++cislo;
    if (!radek.empty() && radek[0] == '@') {
      radek.clear();
    } else if (!radek.empty() && radek[0] == '$') {
      radek.erase(0, 1);
      if (zacatek == 0 && !hledane.empty() &&
          storage::VelkaPismena(storage::BezDiakritiky(radek)).rfind(hledane, 0) == 0)
        zacatek = cislo - 1;
    }
    // "[text]" marks a word to stand out: the brackets go, the word is written in capitals.
    for (size_t a; (a = radek.find('[')) != std::string::npos;) {
      const size_t b = radek.find(']', a);
      if (b == std::string::npos) break;
      radek = radek.substr(0, a) + storage::VelkaPismena(radek.substr(a + 1, b - a - 1)) + radek.substr(b + 1);
    }
    if (!reports::PisRadek(radek)) break;
  }
  if (!reports::ZavriSestavu()) return;
  storage::PisPar(kOkna2, "fPozri Index", FormatPlainE("######", zacatek + 1));
  UkazSestavu("help");
}

void Navod(const std::string& adresar, const std::string& jmeno) { tfHint().spust(adresar, jmeno); }

void UkazSestavu(const std::string& jmeno) {
  const std::string soubor = jmeno + ".txt";
  if (storage::VelikostSouboru(soubor) < 3) {
    Zprava(cz("Prázdná tisková sestava"));
    return;
  }
  if (prohlizec()) prohlizec()(soubor);
}

void Tabule(int sloupec, int radek, const std::string& titul, const std::vector<std::string>& radky) {
  tfTabule().spust(sloupec, radek, titul, radky);
}

void NastavProhlizecSestav(std::function<void(const std::string&)> p) { prohlizec() = std::move(p); }

void VytvorDialogy() {
  // The lists reach the dialogs through their service hooks.
  auto& sl = sluzbyRolu();
  sl.vyber = [](const std::string& titulek, int sloupec, int radek, const std::vector<std::string>& polozky) {
    return Vyber(sloupec, radek, nullptr, polozky, titulek);
  };
  sl.dotazy = [](const std::string& titulek, std::vector<PolozkaDotazu>& polozky) {
    std::vector<std::string> dvojice;
    for (const auto& p : polozky) dvojice.insert(dvojice.end(), {p.otazka, p.hodnota});
    if (!Dotazy(1, 1, nullptr, dvojice, titulek)) return false;
    const auto& odpovedi = vysledekDialogu().odpovedi;
    for (size_t i = 0; i < polozky.size() && i < odpovedi.size(); ++i) polozky[i].hodnota = odpovedi[i];
    return true;
  };
  sl.navod = [](const std::string& predpona) { Navod(adresarNavodu(), predpona); };

  tfDotaz();
  tfBlik();
  tfDotazy();
  tfTabule();
  tfVyber();
  tfCekej();
  tfHint();
  tfZprava();
  tfVolby();
  kalkulacka();
}

}  // namespace pz::ui
