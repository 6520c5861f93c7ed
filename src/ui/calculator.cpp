#include "ui/calculator.h"

#include <algorithm>
#include <cmath>

#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/params.h"
#include "ui/browse_settings.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::ui {

using platform::cz;

namespace {

constexpr const char* kObrazStartu = "############.##-";
constexpr const char* kObrazKroku = "### ### ###.##-";
constexpr double kNejvetsiVysledekSetin = 99999999999;  // 999 999 999.99 in hundredths

// The text right-aligned in 15 characters: trailing blanks removed, the last 15 kept.
std::string vpravo15(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (s.size() > 15) s = s.substr(s.size() - 15);
  return std::string(15 - s.size(), ' ') + s;
}

std::string bezMezer(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}

}  // namespace

VysledekKalkulacky& vysledekKalkulacky() {
  static VysledekKalkulacky v;
  return v;
}

TfKalk::TfKalk()
    : Form("TfKalk", cz("Kalkulačka")),
      Label2(add<Label>("Label2")),
      EdtVy(add<Edit>("EdtVy")),
      Label1(add<Label>("Label1")),
      EdtOp(add<Edit>("EdtOp")),
      Button1(add<Button>("Button1")),
      Button2(add<Button>("Button2")),
      Memo1(add<Memo>("Memo1")) {
  const int cw = look.cellWidth, ch = look.cellHeight;
  geometry = {300, 150, 30 * cw, 16 * ch};
  Label2.text = cz("Výsledek");
  Label2.geometry = {cw, 0, 9 * cw, ch};
  EdtVy.geometry = {11 * cw, 0, 18 * cw, ch};
  EdtVy.readOnly = true;
  EdtVy.color = kWhite;
  Label1.text = "Operand";
  Label1.geometry = {cw, ch, 9 * cw, ch};
  EdtOp.geometry = {11 * cw, ch, 18 * cw, ch};
  EdtOp.color = kWhite;
  EdtOp.editor.setMaxLength(20);
  Button1.text = "F2-OK";
  Button1.geometry = {cw, 2 * ch + ch / 2, 12 * cw, ch};
  Button1.onClick = [this] {
    vysledekKalkulacky().potvrzeno = true;
    vysledekKalkulacky().text = bezMezer(EdtVy.value());
  };
  Button2.text = "C-nuluj";
  Button2.geometry = {16 * cw, 2 * ch + ch / 2, 12 * cw, ch};
  Button2.onClick = [this] { vynuluj(false); };
  Memo1.geometry = {cw, 4 * ch, 28 * cw, 11 * ch};
  Memo1.color = kWhite;
}

double TfKalk::spust(double hodnota) {
  auto& v = vysledekKalkulacky();
  v = {};
  novyOperand_ = true;
  EdtOp.setValue("");
  Memo1.lines.clear();
  Memo1.topLine = 0;
  EdtVy.setValue(FormatE(kObrazStartu, hodnota));
  const std::string c = caption;
  if (int x = CtiCislo(kOkna2, c + " KalkLeft"); x > 0) geometry.x = x;
  if (int y = CtiCislo(kOkna2, c + " KalkTop"); y > 0) geometry.y = y;
  setFocus(&EdtOp);
  showModal();
  storage::PisPar(kOkna2, c + " KalkLeft", FormatPlainE("@@@@@@", geometry.x));
  storage::PisPar(kOkna2, c + " KalkTop", FormatPlainE("@@@@@@", geometry.y));
  return v.potvrzeno ? TextNaReal(v.text) : 0;
}

void TfKalk::vynuluj(bool paska) {
  EdtVy.setValue("");
  EdtOp.setValue("");
  novyOperand_ = true;
  if (paska) Memo1.lines.clear();
}

void TfKalk::potvrd() {
  vysledekKalkulacky().potvrzeno = true;
  vysledekKalkulacky().text = bezMezer(EdtVy.value());
  close(1);
}

void TfKalk::krok(char op) {
  if (Memo1.lines.empty()) Memo1.lines.push_back(vpravo15(EdtVy.value()) + " =");
  Memo1.lines.push_back(vpravo15(EdtOp.value()) + " " + op);
  const double a = TextNaReal(EdtVy.value());
  const double b = TextNaReal(EdtOp.value());
  double r = a;
  switch (op) {
    case '+': r = a + b; break;
    case '-': r = a - b; break;
    case '*': r = a * b; break;
    case '/':
      if (b == 0) Zprava(cz("Dělení nulou"));
      else r = a / b;
      break;
  }
  // The result field holds nine digits before the point: a larger result is refused, never cut.
  if (!(std::fabs(std::round(r * 100)) <= kNejvetsiVysledekSetin)) {
    Zprava(cz("Přetečení"));
    r = a;
  }
  EdtVy.setValue(FormatE(kObrazKroku, r));
  Memo1.lines.push_back(vpravo15(EdtVy.value()) + " =");
  Memo1.topLine = std::max(0, static_cast<int>(Memo1.lines.size()) - 11);
  novyOperand_ = true;
  setFocus(&EdtOp);
}

void TfKalk::tiskni() {
  if (Memo1.lines.empty()) return;
  if (!reports::OtevriSestavu("Paragon", 20)) return;
  for (const auto& l : Memo1.lines)
    if (!reports::PisRadek(l)) break;
  if (reports::ZavriSestavu()) UkazSestavu("Paragon");
}

bool TfKalk::onKey(const KeyEvent& ev) {
  switch (ev.number()) {
    case kVkF1: Napoveda("2\\kalk", ""); return true;
    case kVkEscape: close(0); return true;
    case kVkF2:
    case kVkReturn: potvrd(); return true;
    case kVkF10: tiskni(); return true;
    default: break;
  }
  if (ev.ctrl || ev.alt) return false;
  const char c = ev.ch;
  if (c == '+' || c == '-' || c == '*' || c == '/') {
    krok(c);
    return true;
  }
  if (c == 'C' || c == 'c') {
    vynuluj(true);
    return true;
  }
  if (c == 'p') {
    Napoveda("2\\kalk", "");
    return true;
  }
  if (c >= '0' && c <= '9') {
    if (novyOperand_) EdtOp.setValue("");
    novyOperand_ = false;
    if (focused() != &EdtOp) setFocus(&EdtOp);
    return false;  // the digit goes into the field
  }
  if (focused() == &Memo1) setFocus(&EdtOp);  // the tape passes the focus on
  return false;
}

bool TfKalk::onMouse(const MouseEvent&, Control* hit) {
  if (hit == &Memo1) {
    setFocus(&EdtOp);
    return true;
  }
  return false;
}

TfKalk& kalkulacka() {
  static TfKalk k;
  return k;
}

double Kalkulacka(double hodnota) { return kalkulacka().spust(hodnota); }

}  // namespace pz::ui
