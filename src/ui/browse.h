// TfRol, the browse window: a modal window that shows a list of fixed-width text rows in a grid,
// one row per record, and lets the user move, page, search, mark rows and leave with Enter or Esc.
// It knows nothing of records: a subclass gives the row count and the text of row n, and changes
// behaviour by overriding the hook operations below (every function key calls one).
//
// Map of this file:
//   - SluzbyRolu   windows of higher layers that every list opens (guide pages, report list,
//                  system parameters, choice menu, question form); registered at program start
//   - PoradiRadku  the other browse orders of the rows; PoradiSouboru takes them from the order
//                  files of a record file
//   - TfRol        state, opening and closing, the hooks, and the operations behind the keys
//
// Rows and record numbers count from 1. The current row is the grid row plus the top offset;
// after Esc it is -1. With an order active, row n shows record CisloZPoradi(n); marks belong to
// record numbers, so they follow a record from one order to another.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/recordfile.h"
#include "ui/browse_settings.h"
#include "ui/form.h"
#include "ui/marks.h"
#include "ui/popup.h"
#include "ui/timer.h"

namespace pz::ui {

// One question of the question form: the prompt, the picture of the answer and the answer.
struct PolozkaDotazu {
  std::string otazka;
  std::string obrazek;
  std::string hodnota;
};

// Calls from the browse window to windows of higher layers. Each does nothing (or answers
// "cancelled") until the program registers the real window at start.
struct SluzbyRolu {
  std::function<void(const std::string& predpona)> navod;  // Ctrl+F1: guide pages of the window
  std::function<void()> seznamSestav;                      // Ctrl+F2: the report list, modal
  std::function<void()> parametrySystemu;                  // look menu, item 1
  // The choice menu at a column and row: the item chosen from 1, or 0 when left with Esc.
  std::function<int(const std::string& titulek, int sloupec, int radek, const std::vector<std::string>& polozky)> vyber;
  // The question form: fills the answers; false when left with Esc.
  std::function<bool(const std::string& titulek, std::vector<PolozkaDotazu>& polozky)> dotazy;
};
SluzbyRolu& sluzbyRolu();

// The items of the look menu (F11), shared by the lists and their edit forms.
const std::vector<std::string>& PolozkyVizaze();

// The browse orders of a list besides file order. An order i (1 to 4) is a list of entries;
// entry k gives the record shown at row k and, in its second field, the row of record k.
class PoradiRadku {
 public:
  virtual ~PoradiRadku() = default;
  virtual int PocetVPoradi(int poradi) const = 0;  // entries of order 1..4; 0 when it has none
  virtual int AktivniPoradi() const = 0;           // 0 = file order
  virtual void NastavPoradi(int poradi) = 0;
  // Through the active order: the record at row n, and the row of record n. Both give n in file
  // order or when the order has no entry n.
  virtual int CisloZPoradi(int n) const = 0;
  virtual int CisloZPoradi2(int n) const = 0;
};

// The orders of a record file: its order files 1 to 4.
class PoradiSouboru : public PoradiRadku {
 public:
  explicit PoradiSouboru(storage::RecordFile& soubor) : soubor_(soubor) {}
  int PocetVPoradi(int i) const override { return soubor_.pocetPoradi(i); }
  int AktivniPoradi() const override { return soubor_.poradi(); }
  void NastavPoradi(int i) override { soubor_.NastavPoradi(i); }
  int CisloZPoradi(int n) const override { return soubor_.CisloZPoradi(n); }
  int CisloZPoradi2(int n) const override { return soubor_.CisloZPoradi2(n); }

 private:
  storage::RecordFile& soubor_;
};

// One column of the list: its title, the width of the field it shows in characters, and whether
// it shows a date or a time (one character wider by default).
struct SloupecRolu {
  std::string titulek;
  int sirka = 10;
  bool datumCas = false;
};

class TfRol : public Form {
 public:
  explicit TfRol(std::string nazev = "fRol", std::string titulek = "");
  ~TfRol() override;

  // ---- Controls, by their component names.
  Grid& sgRol;          // column 0 marks, row 0 titles
  Label& lhled;         // "Najdi [F3]"
  Edit& eHled;          // search text, enabled by F3
  Label& lKolik;        // row count / current row / marked count
  Label& lHelp;         // the help line
  ScrollBar& ScrollBar1;
  Image& Image1;        // picture of the current record (the "Panel")
  Memo& MemoText;       // free text of the current record
  Label& LabSrt;        // progress of sorting ("Panel1")
  ProgressBar& BarSrt;
  PopupMenu PopupMenu1;  // items "a" to "k", hidden until a subclass fills them
  Timer TimerError;      // 10 ms; for the record form
  Timer TimerSerPera;    // 100 ms; the code reader

  // ---- Browse state.
  int PocetRadku = 0;
  int Radek = 0;         // current row; -1 after Esc
  int Posun = 0;         // top offset: rows scrolled above the first grid row
  int Viditelne = 0;     // grid rows in use (at most PocetRadku)
  int MaxViditelne = 1;  // grid rows the window height gives
  int RezervovaneRadky = 0;  // lines a subclass keeps below the grid (0 to 30)
  std::vector<SloupecRolu> Sloupce;
  // Text of each column (from 1) of the row being drawn or searched; TextRadku sizes it to the
  // columns before NaplnSloupce fills it.
  std::vector<std::string> Bunky;
  int LevySloupec = 1;   // first scrolling grid column
  int Odsazeni = 1;      // character offset of the shifted drawing and the help line, 1..999
  std::string TextNapovedy;  // the help line
  int KoncovaKlavesa = 0;    // the last key with its modifiers: 13 Enter, 27 Esc

  ZnackyRolu Znacky;
  int PocetOznacenych = 0;
  int RozsahOd = 0, RozsahDo = 0;  // rows of the range marked with Ctrl+Y / Ctrl+K
  std::string SouborZnacek;        // marks file named before opening; empty: none
  bool DrzetSeznamZnacek = false;  // keep SeznamZnacek, the record numbers in marking order
  std::vector<int> SeznamZnacek;
  static constexpr size_t kNejvicVSeznamu = 1000;

  std::string Cislice;       // digits typed in the grid (at most 16)
  int64_t CasCislice = -1;   // clock time of the last one, ms
  int PosunCisel = 0;        // a typed number above it is taken less it
  bool RezimKodu = false;    // code entry: digits go to Kod
  std::string Kod;           // at most 20 characters

  bool EnterOpravuje = false;     // Enter edits (Oprav) instead of choosing
  bool HledatJenDoKonce = false;  // the search does not wrap to row 1
  bool PresneHledani = false;     // the search compares without folding
  bool PosunuteKresleni = false;  // cells drawn from the character offset
  bool TucneZnacky = false;       // marked rows drawn bold
  bool Obrazky = false;           // pictures of the current row shown
  bool ObnovitPozici = false;     // opening goes to the row stored under "Index"
  int CisloObrazku = 1;           // which picture of a record is shown

  Color BarvaMrizky = kWhite, BarvaPisma = kBlack;
  Color UlozenaBarvaMrizky = kWhite, UlozenaBarvaPisma = kBlack;
  static constexpr Color kBarvaPoradi = 14745568;  // light green: an order is active
  static constexpr Color kBarvaHledani = kYellow;

  VzhledOkna Vzhled;  // the resolved look

  // The orders of the rows; none until the owner (the record form) gives its record file.
  void NastavZdrojPoradi(PoradiRadku* p) { poradi_ = p; }
  PoradiRadku* ZdrojPoradi() const { return poradi_; }
  int AktivniPoradi() const { return poradi_ ? poradi_->AktivniPoradi() : 0; }

  // ---- Opening and closing.
  // Columns and rows in character cells; the colours of the grid; the footer becomes the
  // window's caption, the help text its help line; the initial current row and the row count.
  void OtevriRol(int levy, int horni, int pravy, int dolni, Color barvaMrizky, Color barvaPisma,
                 const std::string& paticka, const std::string& napoveda, int radek, int pocet);
  std::string PredponaKlicu() const { return name() + " "; }

  // ---- Hooks (empty unless said otherwise), in the order of the window's slots.
  virtual void sgRolMouseDown(const MouseEvent& ev);
  virtual void FormClose();   // writes the geometry keys
  virtual void Zavri();       // the owner ends its use: marks file, Index, Gridy
  virtual void PredKoncem() {}
  virtual std::string TextRadku(int n);  // CtiPuvodni, NaplnSloupce, the columns joined
  virtual void Prekresli();
  virtual void PoPrekresleni() {}
  virtual void PoPohybu() {}
  virtual std::string KlicObrazku(int n);
  virtual std::string SouborObrazku(int n);
  virtual void KodZadan() {}
  virtual int CisloZPoradi(int n);
  virtual void Sestav();
  virtual void Hledej();
  virtual std::string TextProHledani(int n);
  // Row n's search text for a pass over the rows, into `text`, whose storage serves row after
  // row: what TextProHledani(n) answers, which the default asks. A list whose search text comes
  // from its record alone may build it from the record's bytes without a string per row.
  virtual void TextProHledaniDo(int n, std::string& text) { text = TextProHledani(n); }
  virtual int NajdiText(const std::string& text);
  // Around each pass of a search over the rows (and again when it wraps to row 1): a record
  // form reads its file in large blocks meanwhile.
  virtual void ZacatekHledani() {}
  virtual void KonecHledani() {}
  virtual void CtiVetu(int) {}
  virtual void CtiPuvodni(int) {}
  virtual void PisVetu(int) {}
  virtual void NaplnSloupce() {}
  virtual void NaDelete() {}
  virtual void Oprav() {}
  virtual void NaCtrlMezera() {}
  virtual void NaAltMezera() {}
  virtual void NaF1() {}
  virtual void NaF2() {}
  virtual void NaF3();
  virtual void NaF4() {}
  virtual void NaF5() {}
  virtual void NaF6() {}
  virtual void NaF7() {}
  virtual void NaF8() {}
  virtual void NaF9() {}
  virtual void NaF10() {}
  virtual void NaF11();
  virtual void NaF12() {}
  virtual void NaAltF1();
  virtual void NaAltF2();
  virtual void NaAltF3();
  virtual void NaAltF4();
  virtual void NaAltF5() {}
  virtual void NaAltF6() {}
  virtual void NaAltF7() {}
  virtual void NaAltF8() {}
  virtual void NaAltF9() {}
  virtual void NaAltF10();
  virtual void NaAltF11() {}
  virtual void NaAltF12() {}
  virtual void NaCtrlF1();
  virtual void NaCtrlF2();
  virtual void NaCtrlF3() {}
  virtual void NaCtrlF4() {}
  virtual void NaCtrlF5() {}
  virtual void NaCtrlF6() {}
  virtual void NaCtrlF7() {}
  virtual void NaCtrlF8() {}
  virtual void NaCtrlF9() {}
  virtual void NaShiftF4() {}
  virtual void NaShiftF10() {}
  virtual void NaShiftF12() {}
  virtual void NaCtrlF12() {}
  virtual void NaPlus() {}
  virtual void NaMinus() {}
  virtual void NaHvezdicka() {}
  virtual void NaCtrlE() {}
  virtual void NaCtrlD() {}
  virtual void NaKodCteckou(const std::string&) {}
  virtual void NaPismeno(char) {}
  virtual void NaCtrlPravy() {}
  virtual void NaTitulek(int) {}
  virtual void NaObrazekDvakrat() {}
  virtual void PoOznaceni() {}

  // ---- Operations behind the keys, for subclasses and owners.
  // Puts the cursor on row n (clamped to the rows). A row already in view only moves the
  // cursor; otherwise mode 0 scrolls it to the top of the grid, mode 2 to the bottom.
  void JdiNa(int n, int rezim = 0);
  // Insert: toggles the current row, or every row of the range when the cursor lies in it.
  void Oznac();
  // Marks every unmarked row of the range RozsahOd..RozsahDo when it is valid.
  void OznacRozsah();
  void Poradi(int i);   // Alt+F1..F4
  void ZpetNaSoubor();  // Alt+F10
  // Runs item 1 to 7 of the look menu.
  void ProvedVizaz(int polozka);
  // Applies the look and runs Sestav again (after a change of the look or of the size).
  void PouzijVzhled();
  // The position label, as Prekresli sets it.
  std::string TextPozice() const;
  // True while the search field has the keys (from F3 until Esc, F3, Ctrl+F3 or Enter there).
  bool Hleda() const { return hledani_; }
  // The code reader: a subclass starts it; each tick reads the device once. `CilovePole` set
  // sends a received code to NaKodCteckou instead of KodZadan.
  bool CilovePole = false;
  virtual std::string CtiCtecku() { return {}; }  // no device on this platform yet
  // Column widths in pixels (column 0 is the mark column) as Sestav computed them.
  const std::vector<int>& SirkySloupcu() const { return sirkyPx_; }
  int VyskaRadku() const { return vyskaRadku_; }

 protected:
  void onShow() override;
  bool onKey(const KeyEvent& ev) override;
  bool onMouse(const MouseEvent& ev, Control* hit) override;
  void onResize() override;
  void onClose() override;

  // Compares loosely while a search runs with Ctrl+F3 or retries: every blank-separated word of
  // the text occurs somewhere in the row, in any order, both folded. Hledej and NajdiText read it.
  bool VolnePorovnani = false;
  // Folds `t` from `od` on to the search form as TextProHledani does (nothing while
  // PresneHledani is set).
  void SlozProHledani(std::string& t, std::size_t od = 0) const;

 private:
  bool klavesaMrizky(const KeyEvent& ev);
  bool klavesaHledani(const KeyEvent& ev);
  void zacniHledani();
  void skonciHledani();
  void cislice(char c);
  void enter();
  void esc();
  void prepniZnacku(int radek);
  void dolu();
  void prepocitejRadek();
  void obnovPozici();
  void ukazObrazek();
  void umistiOvladace();
  void precti(int n, std::string& text);
  void ctecka();
  void tazeni(const MouseEvent& ev, Control& c);
  void prizpusobObrazek();
  int sirkaVychozi(const SloupecRolu& s) const;

  PoradiRadku* poradi_ = nullptr;
  bool hledani_ = false;
  // One pass from the row after the current one: the first row containing `presne` (when not
  // empty), else the first row matching the loose comparison with `volne` (when not empty).
  int prohledej(const std::string& presne, const std::string& volne);
  bool prace_ = false;           // a search is running; input waits
  bool preruseno_ = false;       // Esc during a long search
  bool beepPriZnaceni_ = false;  // a record beyond the marks was refused
  bool zelene_ = false;  // an order is active and the grid is green
  bool seznamPlnyHlasen_ = false;
  std::vector<int> sirkyPx_;
  bool rozlozeno_ = false;  // shown since it was opened: its column widths are worth keeping
  std::vector<bool> oznaceneRadky_;  // per grid row, for the bold drawing
  int vyskaRadku_ = 18;
};

}  // namespace pz::ui
