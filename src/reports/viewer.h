// TfPozri, the report viewer: a record form whose record file is the report itself (records of
// the line width + 2 bytes, the line and its CR LF), so scrolling, marking, the text search and
// Esc work on reports as on any list. It adds the page search, line editing, inserting and
// deleting lines, saving a marked part (plain or translated through the dictionary), copying
// lines to "doklad.txt", and the print keys, which call the printing hooks below.
//
// The program keeps two viewers: one for reports shown from anywhere, one for a report shown
// from inside the first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "ui/recordform.h"

namespace pz::reports {

class TfPozri;

// Printing, a later part of the program, which the viewer's print keys call; nothing happens until
// the program registers it. Files are chosen through ui::sluzbySouboru().vyberSouboru (the
// proposed name or folder, the mask, the title).
struct SluzbyProhlizece {
  // Printing: `druh` is the key that asked for it (F9 character mode, F10 through the system,
  // Shift+F10 with stamp, F2 density, Ctrl+F5 form feed, Alt+F5 line feed, F12 drawer,
  // 0 printer choice).
  std::function<void(TfPozri& prohlizec, int druh)> tisk;
};
SluzbyProhlizece& sluzbyProhlizece();

// The key codes of SluzbyProhlizece::tisk.
enum DruhTisku { kTiskVolba = 0, kTiskF2 = 2, kTiskF9 = 9, kTiskF10 = 10, kTiskRazitko = 110,
                 kTiskListem = 1105, kTiskRadkem = 3105, kTiskZasuvka = 12 };
// Alt+F10: the fast print into the spool folder.
inline constexpr int kTiskRychly = 3110;

// The record form of the dictionary: Czech text and translation in the list, their counts on the
// form.
class TfSlovnik : public ui::TfSoub {
 public:
  TfSlovnik() : TfSoub("fSlovnik") {}
  void Otevri();
};
// Shows the dictionary's record form modally.
void UpravSlovnik();

// One dictionary entry: the Czech text and its translation, both as long as the Czech count.
struct HesloSlovniku {
  std::string cesky;
  std::string preklad;
};
// The dictionary "slov" + N + ".dta" of the data root (N from master.job key SLOVNIK, "1" when
// empty); at most 1000 entries.
std::string SouborSlovniku();
std::vector<HesloSlovniku> NactiSlovnik(const std::string& cesta);
// Every entry in order replaces each occurrence of its Czech text in one left-to-right pass; a
// translation takes the length of its Czech text, so the line keeps its width.
std::string PrelozRadek(std::string radek, const std::vector<HesloSlovniku>& slovnik);

// The line as the list shows it: form feed "@", shift-out "#", shift-in "~", code 18 "^".
std::string ViditelnyRadek(std::string radek);
// The line as the text search compares it: without diacritics, upper case.
std::string RadekProHledani(const std::string& radek);
// The page number that a page header's four lines carry after "L:", "L :", "List:" or "List :"
// (the first of them found), or -1.
int CisloListu(const std::vector<std::string>& ctyriRadky);

// The one-line editor over a row: overwrite first, Insert toggles; the text never grows.
class EditorRadku {
 public:
  explicit EditorRadku(std::string text) : text_(std::move(text)) {}
  // Answers false for the keys that close the editor (Esc, Enter, Up, Down).
  bool klavesa(const ui::KeyEvent& ev);
  const std::string& text() const { return text_; }
  int kurzor() const { return kurzor_; }
  bool vkladani() const { return vkladani_; }

 private:
  std::string text_;
  int kurzor_ = 0;
  bool vkladani_ = false;
};

class TfPozri : public ui::TfSoub {
 public:
  explicit TfPozri(std::string nazev = "fPozri");

  // Loads a report; false (and the current report stays) when it has fewer than 3 bytes.
  bool Nahraj(const std::string& soubor);
  // Loads and shows the report modally until Esc or Enter; the file is closed afterwards.
  void Ukaz(const std::string& soubor);

  const std::string& Cesta() const { return cesta_; }
  int Sirka() const { return sirka_; }
  int Radku() const { return PocetRadku; }

  // Line n (from 1), unscrambled in GDPR mode; empty outside the report.
  std::string CtiRadek(int n);
  // Writes line n, padded or cut to the width, scrambled in GDPR mode.
  void PisRadek(int n, const std::string& text);

  // ---- Operations behind the keys.
  // The line of the page header of page `list`, from the current line on and wrapping; 0 when
  // none.
  int NajdiList(int list);
  // A blank line before line n.
  void VlozPrazdny(int n);
  // Removes line n and every marked line (nothing when the report has at most one line).
  void ZrusRadky(int n);
  // The lines before line n, each padded or cut to the width.
  void VlozText(int n, const std::vector<std::string>& radky);
  // The section of the marks (or from line n to the end) padded to 250 characters into `cil`,
  // appended or overwriting, translated when a dictionary is given.
  bool ZapisUsek(int n, const std::string& cil, bool pripojit, const std::vector<HesloSlovniku>* slovnik);
  // Lines n.. (count of them) as lines 1.. of "doklad.txt"; false when the count is refused.
  bool Doklad(int n, int pocet);
  // The first character of line n becomes a form feed.
  void ZacatekListu(int n);
  // Every line converted from Kamenický to cp1250 or back.
  void Prekoduj(bool doWin);
  // Every line scrambled or unscrambled.
  void SifrujVse(bool zasifruj);

  // ---- Hooks.
  void Zavri() override;
  void CtiPuvodni(int n) override;
  void NaplnSloupce() override;
  std::string TextProHledani(int n) override;
  void Oprav() override;
  void NaF1() override;
  void NaF2() override;
  void NaCtrlF2() override;
  void NaF4() override;
  void NaF5() override;
  void NaF6() override { Oprav(); }
  void NaF7() override;
  void NaF8() override;
  void NaF9() override;
  void NaF10() override;
  void NaShiftF10() override;
  void NaAltF10() override;
  void NaF12() override;
  void NaCtrlF5() override;
  void NaAltF5() override;
  void NaCtrlF6() override;
  void NaAltF6() override;
  void NaCtrlF7() override;
  void NaCtrlF9() override;
  void NaAltF9() override;
  void NaPismeno(char c) override;
  void NaCtrlMezera() override;
  void NaAltMezera() override;
  void sgRolMouseDown(const ui::MouseEvent& ev) override;

 protected:
  bool onKey(const ui::KeyEvent& ev) override;

 private:
  bool otevri(const std::string& soubor, bool zachovatPozici);
  void prepis(const std::function<void(const std::function<void(const std::string&)>&)>& radky, bool kopii);
  std::string vyberCil(const std::string& titulek, const std::string& jmeno);
  std::vector<int> usek(int n) const;
  void tisk(int druh);
  void naplnMenu();

  std::string cesta_;       // the report shown
  std::string navrat_;      // the report to return to after the help text
  int navratRadek_ = 0;
  int sirka_ = 0;
  std::string radek_;       // the line read last
  void zahodBlok() { blokPocet_ = 0; }
  // Lines read ahead in one read, so that searches through the whole report do not pay a read
  // per line; dropped at every write.
  platform::File cteni_;
  std::string blok_;
  int blokOd_ = 0, blokPocet_ = 0;
};

// The two viewers of the program, made at start; UkazSestavu shows reports in the first, or in
// the second while the first is open.
void RegistrujProhlizec(TfPozri& prvni, TfPozri& druhy);

}  // namespace pz::reports
