#include "reports/fontsizes.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text.h"
#include "storage/params.h"
#include "ui/app.h"
#include "ui/controls.h"
#include "ui/keys.h"

namespace pz::reports {

using platform::cz;

namespace {

constexpr const char* kSoubory[] = {"norm.fnt", "12zn.fnt", "cond.fnt"};

std::string orez(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// A size the printer can use: a whole number from 9 to 100.
bool platnaVelikost(const std::string& text) {
  const std::string t = orez(text);
  if (t.empty() || t.size() > 3 || t.find_first_not_of("0123456789") != std::string::npos) return false;
  const int v = std::atoi(t.c_str());
  return v >= 9 && v <= 100;
}

}  // namespace

TfFontyTisky::TfFontyTisky() : Form("TfFontyTisky", cz("Nastavení velikosti fontů pro tisky")) {
  geometry = {100, 100, 46 * 8, 9 * 16};
  auto& lPocet = add<ui::Label>("lPocet");
  lPocet.text = cz("Počet znaků na řádek");
  lPocet.geometry = {8, 0, 22 * 8, 16};
  lbZnaku_ = &add<ui::ListBox>("lbZnaku");
  lbZnaku_->items = {cz(" 80 zn/řádek"), cz("100 zn/řádek"), cz("130 zn/řádek")};
  lbZnaku_->itemIndex = 0;
  lbZnaku_->geometry = {8, 16, 14 * 8, 3 * 16};
  const auto pole = [this](const char* jmeno, const char* popis, int radek, int sirka) {
    auto& l = add<ui::Label>(std::string("l") + jmeno);
    l.text = cz(popis);
    l.geometry = {8, radek * 16, 14 * 8, 16};
    auto& e = add<ui::Edit>(std::string("e") + jmeno);
    e.geometry = {16 * 8, radek * 16, sirka * 8, 16};
    return &e;
  };
  eVyska_ = pole("Vyska", "Výška fontu", 5, 4);
  eSirka_ = pole("Sirka", "Šířka fontu", 6, 4);
  eNazev_ = pole("Nazev", "Název fontu", 7, 28);
  eNazev_->editor.setMaxLength(31);
  setFocus(lbZnaku_);
}

std::string TfFontyTisky::soubor() const {
  const int i = lbZnaku_->itemIndex;
  return kSoubory[i >= 0 && i < 3 ? i : 0];
}

void TfFontyTisky::nacti() {
  eVyska_->setValue(orez(storage::CtiPar(soubor(), "Height")));
  eSirka_->setValue(orez(storage::CtiPar(soubor(), "Width")));
  eNazev_->setValue(orez(storage::CtiPar(soubor(), "FaceName")));
}

void TfFontyTisky::uloz() {
  const std::string f = soubor();
  // A size that is refused goes back to the stored one.
  if (platnaVelikost(eVyska_->value())) storage::PisPar(f, "Height", orez(eVyska_->value()));
  else eVyska_->setValue(orez(storage::CtiPar(f, "Height")));
  if (platnaVelikost(eSirka_->value())) storage::PisPar(f, "Width", orez(eSirka_->value()));
  else eSirka_->setValue(orez(storage::CtiPar(f, "Width")));
  if (!orez(eNazev_->value()).empty()) storage::PisPar(f, "FaceName", orez(eNazev_->value()));
}

void TfFontyTisky::vyberFont() {
  auto* p = ui::Application::instance().presenter();
  ui::FontChoice volba;
  volba.name = orez(eNazev_->value());
  volba.size = 10;
  if (p && p->chooseFont(volba)) eNazev_->setValue(volba.name.substr(0, 31));
  uloz();
}

bool TfFontyTisky::onKey(const ui::KeyEvent& ev) {
  if (ev.vk == ui::kVkEscape && ev.plain()) {
    uloz();
    close(0);
    return true;
  }
  if (focused() == lbZnaku_ && (ev.vk == ui::kVkUp || ev.vk == ui::kVkDown) && ev.plain()) {
    uloz();
    lbZnaku_->itemIndex = std::clamp(lbZnaku_->itemIndex + (ev.vk == ui::kVkDown ? 1 : -1), 0, 2);
    nacti();
    return true;
  }
  if (focused() == eNazev_ && ev.vk == ui::kVkReturn && ev.plain()) {
    vyberFont();
    return true;
  }
  // Leaving a field stores it.
  if ((ev.vk == ui::kVkTab || ev.vk == ui::kVkReturn || ev.vk == ui::kVkUp || ev.vk == ui::kVkDown) &&
      focused() != lbZnaku_) {
    uloz();
    if (ev.vk != ui::kVkTab) focusNext(ev.vk == ui::kVkUp);
    return ev.vk != ui::kVkTab;
  }
  return false;
}

bool TfFontyTisky::onMouse(const ui::MouseEvent& ev, ui::Control* hit) {
  if (hit == eNazev_ && ev.button == ui::MouseButton::Left) {
    setFocus(eNazev_);
    vyberFont();
    return true;
  }
  if (hit == lbZnaku_ && ev.button == ui::MouseButton::Left) {
    uloz();
    const int radek = ev.row - cellsOf(*lbZnaku_).row;
    if (radek >= 0 && radek < 3) lbZnaku_->itemIndex = radek;
    setFocus(lbZnaku_);
    nacti();
    return true;
  }
  return false;
}

void TfFontyTisky::Spust() {
  nacti();
  showModal();
  storage::UlozPar();
}

void UpravFontyTisku() {
  TfFontyTisky okno;
  okno.Spust();
}

}  // namespace pz::reports
