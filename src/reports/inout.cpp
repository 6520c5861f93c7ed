#include "reports/inout.h"

#include <algorithm>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "ui/recordform.h"

namespace pz::reports {

using platform::cz;

namespace {

constexpr ui::Color kLimetka = 0x00FF00;  // the result line

bool jeOddelovac(char c) { return c == '\\' || c == '/'; }

// The order of the listing: letters compared as the file system folds them, and "\" before
// every other character, so that "\.", "\.." and the subdirectories come first.
std::string klicRazeni(const std::string& s) {
  std::string k;
  for (char c : s) k += c == '\\' ? '\x01' : platform::foldFileNameChar(c);
  return k;
}

}  // namespace

CastiCesty RozdelCestu(const std::string& cesta, const std::string& aktualni) {
  CastiCesty c;
  const bool sDiskem = cesta.size() >= 2 && cesta[1] == ':';
  if (sDiskem) c.disk = cesta.substr(0, 2);
  const size_t lom = cesta.find_last_of("\\/");
  std::string slozka;
  if (lom != std::string::npos) slozka = cesta.substr(c.disk.size(), lom + 1 - c.disk.size());
  else slozka = aktualni;
  if (slozka.empty() || !jeOddelovac(slozka.back())) slozka += '\\';
  if (slozka.size() >= 2 && slozka[1] == ':') {
    if (c.disk.empty()) c.disk = slozka.substr(0, 2);
    slozka.erase(0, c.disk.size());
  }
  c.slozka = slozka;
  c.jmeno = lom != std::string::npos ? cesta.substr(lom + 1) : cesta.substr(sDiskem ? 2 : 0);
  return c;
}

std::string NadrazenaSlozka(std::string slozka) {
  if (!slozka.empty() && jeOddelovac(slozka.back())) slozka.pop_back();
  while (!slozka.empty() && !jeOddelovac(slozka.back())) slozka.pop_back();
  return slozka.empty() ? "\\" : slozka;
}

std::vector<std::string> PolozkySlozky(const std::string& disk, const std::string& slozka, const std::string& jmeno) {
  const std::string maska = jmeno.empty() ? "*.*" : jmeno;
  std::vector<std::string> out;
  // The root of a drive has no "." and "..", so the listing can never lead above it.
  const bool koren = slozka.empty() || slozka == "\\" || slozka == "/";
  if (!koren) {
    if (platform::matchesMask(".", maska)) out.push_back("\\.");
    if (platform::matchesMask("..", maska)) out.push_back("\\..");
  }
  if (platform::directoryExists(disk + slozka)) {
    for (const platform::FileInfo& f : platform::listDirectory(disk + slozka + maska)) {
      // A native name that the program's paths cannot carry is not offered.
      if (f.name.find_first_of("\\:") != std::string::npos) continue;
      // Hidden directories show as plain names; a read-only one is still entered (on this system
      // a folder without write permission is common and must not look like a file).
      const unsigned druh = f.attrs & (platform::kAttrHidden | platform::kAttrDirectory);
      out.push_back(druh == platform::kAttrDirectory ? "\\" + f.name : f.name);
    }
  } else {
    out.clear();  // a missing directory lists nothing, not even its "." and ".."
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const std::string& a, const std::string& b) { return klicRazeni(a) < klicRazeni(b); });
  return out;
}

TfInOut::TfInOut()
    : Form("fInOut", cz("Vstup - Výstup")),
      lSlozka(add<ui::Label>("Label1")),
      ePath(add<ui::Edit>("ePath")),
      lDisk(add<ui::Label>("Label2")),
      ComboBox1(add<ui::Edit>("ComboBox1")),
      lSoub(add<ui::Label>("Label3")),
      eSoub(add<ui::Edit>("eSoub")),
      lMaska(add<ui::Label>("Label4")),
      ListBox1(add<ui::ListBox>("ListBox1")),
      Button1(add<ui::Button>("Button1")),
      lVysledek(add<ui::Label>("Label6")),
      Label5(add<ui::Label>("Label5")) {
  geometry = {200, 150, 369, 353};
  lSlozka.text = cz("Složka");
  lSlozka.geometry = {8, 20, 48, 16};
  ePath.geometry = {64, 20, 192, 16};
  lDisk.text = "Disk";
  lDisk.geometry = {264, 20, 32, 16};
  ComboBox1.geometry = {304, 20, 48, 16};
  lSoub.text = cz("Název soubor");
  lSoub.geometry = {8, 48, 96, 16};
  eSoub.geometry = {112, 48, 144, 16};
  lMaska.text = "*.*";
  lMaska.geometry = {264, 48, 32, 16};
  ListBox1.geometry = {16, 80, 240, 192};
  ListBox1.color = ui::kWhite;
  Button1.text = "OK";
  Button1.geometry = {272, 240, 64, 32};
  lVysledek.text = "Soubor";
  lVysledek.bold = true;
  lVysledek.geometry = {16, 288, 56, 16};
  Label5.bold = true;
  Label5.color = kLimetka;
  Label5.geometry = {72, 288, 296, 16};
  for (ui::Edit* e : {&ePath, &ComboBox1, &eSoub}) {
    e->color = ui::kWhite;
    e->editor.setMaxLength(255);
  }
  ePath.tabOrder = 1;
  ComboBox1.tabOrder = 2;
  eSoub.tabOrder = 3;
  ListBox1.tabOrder = 4;
  Button1.tabOrder = 5;
  eSoub.onChange = [this] { Label5.text = ComboBox1.value() + ePath.value() + eSoub.value(); };
  Button1.onClick = [this] { potvrd(); };
}

void TfInOut::UrciSoubor(const std::string& titulek, const std::string& pocatecni) {
  caption = titulek;
  prijato_ = false;
  vysledek_.clear();
  stav_ = RozdelCestu(pocatecni, platform::currentDirectory());
  Disky.clear();
  for (char p : platform::paths().driveLetters()) Disky.push_back(std::string(1, p) + ":");
  ListBox1.itemIndex = -1;
  ListBox1.topIndex = 0;
  obnov();
  setFocus(&eSoub);
}

std::string TfInOut::Vyber(const std::string& titulek, const std::string& pocatecni) {
  UrciSoubor(titulek, pocatecni);
  showModal();
  return prijato_ ? vysledek_ : std::string();
}

void TfInOut::obnov() {
  eSoub.setValue(stav_.jmeno);
  ePath.setValue(stav_.slozka);
  ComboBox1.setValue(stav_.disk);
  Label5.text = stav_.disk + stav_.slozka + stav_.jmeno;
  vysledek_ = Label5.text;
  ListBox1.items = PolozkySlozky(stav_.disk, stav_.slozka, stav_.jmeno);
  ListBox1.itemIndex = -1;
  ListBox1.topIndex = 0;
}

void TfInOut::vyber() {
  if (ListBox1.itemIndex >= 0 && ListBox1.itemIndex < static_cast<int>(ListBox1.items.size()))
    eSoub.setValue(ListBox1.items[static_cast<size_t>(ListBox1.itemIndex)]);
  const std::string t = eSoub.value();
  if (t == "\\.") {
    stav_.slozka = "\\";
  } else if (t == "\\..") {
    stav_.slozka = NadrazenaSlozka(stav_.slozka);
  } else if (!t.empty() && t[0] == '\\') {
    stav_.slozka += t.substr(1) + "\\";
  } else {
    stav_.jmeno = t;
    Label5.text = stav_.disk + stav_.slozka + stav_.jmeno;
    vysledek_ = Label5.text;
    return;
  }
  obnov();
}

void TfInOut::zvolDisk(const std::string& text) {
  std::string d = storage::VelkaPismena(text);
  if (d.size() == 1 && d[0] >= 'A' && d[0] <= 'Z') d += ':';
  if (!d.empty() && (d.size() != 2 || d[1] != ':' || d[0] < 'A' || d[0] > 'Z')) {
    ComboBox1.setValue(stav_.disk);  // not a drive: the box shows the drive in use again
    return;
  }
  stav_.disk = d;
  stav_.slozka = "\\";
  obnov();
  setFocus(&ListBox1);
}

// What leaving a line does: the typed text becomes the state and the listing follows it.
void TfInOut::opust(ui::Control* c) {
  if (c == &eSoub) {
    stav_.jmeno = eSoub.value();
    obnov();
  } else if (c == &ePath) {
    std::string s = ePath.value();
    // Joined straight to the name, a directory without its closing "\" would name another file.
    if (s.empty() || !jeOddelovac(s.back())) s += '\\';
    stav_.slozka = s;
    obnov();
  } else if (c == &ComboBox1) {
    // Passing through the drive box with Tab keeps the directory; only another drive resets it.
    if (storage::VelkaPismena(ComboBox1.value()) != storage::VelkaPismena(stav_.disk)) zvolDisk(ComboBox1.value());
  }
}

void TfInOut::potvrd() {
  if (!stav_.jmeno.empty() || !eSoub.value().empty()) {
    stav_.jmeno = eSoub.value();
    obnov();
    prijato_ = !stav_.jmeno.empty();
  }
  close(1);
}

bool TfInOut::onKey(const ui::KeyEvent& ev) {
  if (ev.vk == ui::kVkEscape && ev.plain()) {
    prijato_ = false;
    close(0);
    return true;
  }
  ui::Control* f = focused();
  if (ev.vk == ui::kVkTab && !ev.ctrl && !ev.alt) {
    focusNext(ev.shift);
    opust(f);
    return true;
  }
  if (ev.vk == ui::kVkReturn && ev.plain()) {
    if (f == &eSoub) {
      stav_.jmeno = eSoub.value();
      vysledek_ = Label5.text;
      prijato_ = !stav_.jmeno.empty();
      close(1);
      return true;
    }
    if (f == &ListBox1) {
      if (ListBox1.itemIndex > 0) vyber();
      return true;
    }
    if (f == &ePath || f == &ComboBox1) {
      opust(f);
      return true;
    }
    return false;
  }
  if (f == &ComboBox1 && ev.plain() && (ev.vk == ui::kVkUp || ev.vk == ui::kVkDown) && !Disky.empty()) {
    auto it = std::find(Disky.begin(), Disky.end(), storage::VelkaPismena(ComboBox1.value()));
    int i = it == Disky.end() ? -1 : static_cast<int>(it - Disky.begin());
    const int n = static_cast<int>(Disky.size());
    i = ev.vk == ui::kVkDown ? std::min(n - 1, i + 1) : std::max(0, i - 1);
    zvolDisk(Disky[static_cast<size_t>(i)]);
    return true;
  }
  return false;
}

bool TfInOut::onMouse(const ui::MouseEvent& ev, ui::Control* hit) {
  ui::Control* f = focused();
  if (hit && hit != f && hit->focusable() && f) opust(f);
  if (hit == &ListBox1 && ev.doubleClick) {
    setFocus(&ListBox1);
    ListBox1.mouse(ev, cellsOf(ListBox1));
    vyber();
    return true;
  }
  if (hit == &ComboBox1 && ev.doubleClick) {
    zvolDisk(ComboBox1.value());
    return true;
  }
  return false;
}

void RegistrujVolbuSouboru(TfInOut& okno) {
  ui::sluzbySouboru().vyberSouboru = [&okno](const std::string& slozka, const std::string& maska,
                                             const std::string& titulek) {
    std::string pocatecni = slozka;
    if (slozka.empty()) pocatecni = maska;
    else if (jeOddelovac(slozka.back())) pocatecni = slozka + maska;
    else if (platform::directoryExists(slozka)) pocatecni = slozka + "\\" + maska;
    return okno.Vyber(titulek, pocatecni);
  };
}

}  // namespace pz::reports
