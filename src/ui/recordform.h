// TfSoub, the record form: the browse window of one record file with a generated edit form for
// new and existing records. Almost every window of the program is one; a register window is its
// list layout (one described value: the file, the texts, the places and the field table) and the
// few hooks it needs:
//
//   class TfKursy : public TfSoub {
//    public:
//     TfKursy() : TfSoub("fKursy") {}
//     void Otevri() {
//       OtevriSoub({.soubor = "kursy.dta", .titulek = "Kurzy", .velikost = 23,
//                   .formular = {10, 2, 60, 20}, .napovedaFormulare = " F2=zápis Esc=ven ",
//                   .titulekFormulare = " Kurzy ", .napovedaSeznamu = " F4-Nový ...",
//                   .pole = {{"Kód : ", 3, "X"}, {"Kurz: ", 14, "###.##########", 'R'},
//                            {"Datum:", 8, "d"}}});
//     }
//     void ZmenaPole(int i) override { ... set Pole(i).chyba ... }
//   };
//
// Fields lie in the record one after another in declaration order, each as wide as its type
// stores it (Part of the picture formats: a text of width w takes w + 1 bytes); a subclass whose
// record has gaps sets Pole(i).offset after declaring. Bytes of the record that no field covers,
// and hidden fields, keep what the file holds. A field table may give a field its offset instead.
//
// Map of this file:
//   - PoleSouboru      one field: label, place, type, side text, texts, state, error flag
//   - TfSoub           opening and closing, the hooks (in the order of the window's slots),
//                      the operations behind the keys, and the edit form
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/recordfile.h"
#include "ui/browse.h"
#include "ui/picture.h"

namespace pz::ui {

class TfFormular;
class TfSoub;
struct PoleVyvozu;

// Windows of higher layers that record forms open; each does nothing until the program
// registers it at start.
struct SluzbySouboru {
  // The file chooser: a file of `maska` in `slozka`; empty text when none was chosen.
  std::function<std::string(const std::string& slozka, const std::string& maska, const std::string& titulek)>
      vyberSouboru;
};
SluzbySouboru& sluzbySouboru();

// One field of the record and of the edit form.
struct PoleSouboru {
  std::string popis;       // label, at most 50 characters
  int sloupec = 0;         // label column on the form (0..255)
  int radek = 0;           // row on the form (0..255); the edit field follows the label
  std::string typText;     // picture or type letter without the storage letter, at most 30
  TypPole typ;             // how the field is stored and shown
  std::string bocniText;   // side text (at most 100), shown at bocniSloupec when that is not 0
  int bocniSloupec = 0;
  int sirka = 0;           // width: the length of the initial text
  std::size_t offset = 0;  // where the field lies in the record
  std::string text;        // current text
  std::string predchozi;   // the text of the record written last through this window
  std::string puvodni;     // the text before the current edit
  int stav = 1;            // -1 hidden, 0 read-only, 1 editable
  bool chyba = false;      // set by the subclass's checks; keeps the focus, blocks saving
};

// Where an edit form or a list stands, in character cells.
struct MistoOkna {
  int levy = 1, horni = 1, pravy = 79, dolni = 24;
};

// One row of a list layout's field table.
struct PopisPole {
  static constexpr std::size_t kZaPredchozim = static_cast<std::size_t>(-1);
  std::string popis;             // label on the form; fitted to the width it is the column title
  int sirka = 0;                 // width: the initial text is this many blanks
  std::string obrazek;           // picture or type letter ("X", "d", "###.##"); empty: fixed text
  char ulozeni = 0;              // storage letter after the picture ('R' Real48), 0 for none
  std::size_t offset = kZaPredchozim;  // where it lies; by default right after the field before
  int radek = 0;                 // row on the form; 0: the field's number
  int sloupec = 2;               // label column on the form
  std::string pocatecni;         // initial text when it is not blanks (its length is the width)
  std::string bocniText;         // side text, and its column (0: none)
  int bocniSloupec = 0;
  std::optional<std::string> titulek;  // the column's own title, when it is not the fitted label
};

// The list layout of a record form: what OtevriSoub opens and declares.
struct RozvrzeniSeznamu {
  std::string soubor;            // record file; "=" + path for a literal path
  std::string titulek;           // the list's caption
  std::int32_t velikost = 0;     // record size; + kSPoradim uses the order files
  int radek = 1;                 // the row the list starts on
  Color barvaTextuFormulare = kBlack, barvaFormulare = kBtnFace;
  MistoOkna formular{4, 2, 70, 14};
  Color barvaTextuSeznamu = kBlack, barvaSeznamu = kWhite;
  MistoOkna seznam{};
  std::string napovedaFormulare, titulekFormulare, napovedaSeznamu;  // help lines and caption
  std::vector<PopisPole> pole;
  // Columns of the list: the first `sloupce` fields (all when -1), titled by their labels; 0
  // leaves the columns to the window.
  int sloupce = -1;
};

class TfSoub : public TfRol {
 public:
  explicit TfSoub(std::string nazev = "fSoub", std::string titulek = "");
  ~TfSoub() override;

  // ---- Buttons below the grid, hidden until a subclass shows them (the list then keeps two
  // lines for them).
  Button& KlF4;     // "Nový", as F4
  Button& KlMez;    // "Oprav", as Space
  Button& KlF8;     // "Zruš", as F8
  Button& KlNajdi;  // "Hledej", the search field on and off
  void UkazTlacitka(bool ano);

  // ---- Permissions and flags.
  bool PovolenNovy = true;
  bool PovolenaOprava = true;
  bool PovolenoMazani = true;
  bool Zmeneno = false;  // a record was written through this window since it was opened
  bool Zruseno = false;  // the last edit form was left with Esc
  bool Dokola = false;   // moving past the last field wraps to the first instead of accepting
  // Set by a field check: the edit form goes on at this field instead of the next one (once).
  int DalsiPole = 0;

  // ---- The record file.
  storage::RecordFile& Soubor() { return *soubor_; }
  std::vector<std::uint8_t>& Veta() { return soubor_->veta(); }         // the record buffer
  std::vector<std::uint8_t>& Puvodni() { return soubor_->puvodni(); }   // the compare buffer

  // ---- Fields, numbered from 1.
  int PocetPoli() const { return static_cast<int>(pole_.size()); }
  PoleSouboru& Pole(int i) { return pole_.at(static_cast<std::size_t>(i - 1)); }
  const PoleSouboru& Pole(int i) const { return pole_.at(static_cast<std::size_t>(i - 1)); }
  // The current text of field i (empty for a field that does not exist).
  std::string Text(int i) const;
  void NastavText(int i, const std::string& text);

  // The list columns by title; column i shows field i, as wide as the field shows.
  void NastavSloupce(const std::vector<std::string>& titulky);

  // Opens the layout's file (a read lock is registered with it) and list, declares its fields
  // and titles the columns from them.
  bool OtevriSoub(const RozvrzeniSeznamu& r);
  // A label fitted to width w, as a column title shows it.
  static std::string TitulekSloupce(const std::string& popis, int sirka);

  // ---- The shape the code lists share.
  // The new-record template: the defaults the fields were declared with (ZapamatujSablonu
  // makes it from them, after OtevriSoub).
  std::vector<std::uint8_t> SablonaVety;
  void ZapamatujSablonu();
  // A deleted record: the template with `znacka` as the short string at `offset`.
  void SmazanaVeta(std::size_t offset, std::size_t sirka, const char* znacka);
  // After Enter in the list: the short string at `offset` of the chosen record, empty otherwise.
  std::string VybranyText(std::size_t offset, std::size_t sirka);

  // ---- Operations behind the keys.
  // Runs the edit form on the field texts; true unless it was left with Esc.
  bool Formular();
  // Field texts from the record buffer / into it. TextyDoVety stores every field that is not
  // hidden; it answers the number of the first field that cannot be stored (its error flag is
  // set and the buffer holds the fields stored before it), or 0.
  void TextyZVety();
  int TextyDoVety();
  // "Údaj " + label + " je chybný", cut as the message box takes it.
  std::string ZpravaChyby(int i) const;
  // During an edit: true when the record in the file is no longer byte for byte what the edit
  // started from (another station wrote it). Hooks that do more than write the record (posting,
  // printing) ask this before they begin. The record buffer is left as it was.
  bool ZmenilJiny();
  // The path of picture `cislo` of row n: "doklady" + the picture name + "-NN.jpg" in the data
  // root.
  std::string CestaObrazku(int n, int cislo);
  // Name of the template file of this window.
  std::string SouborSablony() const;
  // Exports of the marked records (or all): "XLS\NAME.CSV" and "\TAMBRA3W\NAME.DBF".
  void VyvozCsv();
  void VyvozDbf();
  // A click on a column title: the records in the order of the field whose label is the
  // column's title, as order file 1, which the list then shows. Refused with "Se souborem se
  // pracuje" while another station has the file open.
  void SetridPodleSloupce(int sloupec);
  // True when "par\zakakt.par" forbids new records in the file.
  bool ZakazanyNovy() const;

  // ---- Hooks, in the order of the window's slots (those of TfRol keep their place). In the
  // edit form each receives the number of the current field.
  void Zavri() override;
  void Sestav() override;
  void Prekresli() override;
  std::string SouborObrazku(int n) override;
  void CtiVetu(int n) override;
  void CtiPuvodni(int n) override;
  void ZacatekHledani() override;
  void KonecHledani() override;
  void TextProHledaniDo(int n, std::string& text) override;
  // True when a row's search text is its fields as the columns show them, joined by blanks and
  // folded as every list folds: no override of CtiPuvodni, NaplnSloupce, TextRadku or
  // TextProHledani changes it. A search then builds it from the file's bytes as it reads them,
  // without the column cells. A list says so by answering true; by default it is asked row by
  // row through TextProHledani.
  virtual bool HledaniZPoli() const { return false; }
  // Row n's fields as the columns show them, joined and folded, built from the bytes of the
  // search's blocks (the compare buffer gets the row as CtiPuvodni leaves it): false when no
  // search is reading in blocks, the blocks cannot give the row, or the after-read hook must
  // see it first. For a list whose search text is that and something more.
  bool TextPoliZBloku(int n, std::string& text);
  void PisVetu(int n) override;
  void NaplnSloupce() override;
  void Oprav() override;
  void NaF4() override;
  void NaF8() override;
  void NaShiftF4() override;
  void NaShiftF12() override;
  void NaCtrlF12() override;
  void NaCtrlE() override;
  void NaCtrlD() override;
  void NaKodCteckou(const std::string& kod) override;
  void NaPismeno(char c) override;
  void NaTitulek(int sloupec) override;
  void NaObrazekDvakrat() override;
  virtual void KontrolaPole(int i);
  virtual void EnterPole(int) {}
  virtual void ZmenaPole(int) {}
  virtual void PriZruseni(int) {}
  virtual void PredFormularem() {}
  virtual void Prijmi(int i);
  // The check of every field that Prijmi runs before it accepts: false after the message about
  // the first field in error, with the cursor put there.
  bool PolePrijata();
  virtual void PriMazani() {}
  virtual std::string KlicRadku(int) { return {}; }
  bool PisVetuPrimo(int zaznam) { return soubor_->PisVetuPrimo(zaznam); }
  bool CtiVetuPrimo(int zaznam) { return soubor_->CtiVetuPrimo(zaznam); }
  virtual void NovaVeta();
  virtual int CisloZPoradi2(int n) { return soubor_->CisloZPoradi2(n); }
  virtual void KlavesaFormulare(int, int) {}
  virtual void F1Pole(int) { NaF1(); }
  virtual void F2Pole(int i) { Prijmi(i); }
  virtual void F3Pole(int) {}
  virtual void F4Pole(int) {}
  virtual void F5Pole(int) {}
  virtual void F6Pole(int) {}
  virtual void F7Pole(int) {}
  virtual void F8Pole(int) {}
  virtual void F9Pole(int) {}
  virtual void F10Pole(int);  // prints the edit form
  virtual void F11Pole(int);  // the look menu of the edit form
  virtual void CtrlF1Pole(int i);
  virtual void CtrlF2Pole(int) { NaCtrlF2(); }
  virtual void CtrlF3Pole(int) {}
  virtual void CtrlF4Pole(int) {}
  virtual void CtrlF5Pole(int) {}
  virtual void CtrlF6Pole(int) {}
  virtual void CtrlF7Pole(int) {}
  virtual void CtrlF8Pole(int) {}
  virtual void AltF1Pole(int) {}
  virtual void AltF2Pole(int) {}
  virtual void AltF3Pole(int) {}
  virtual void AltF4Pole(int) {}
  virtual void AltF5Pole(int) {}
  virtual void AltF6Pole(int) {}
  virtual void AltF7Pole(int) {}
  virtual void AltF8Pole(int) {}
  virtual void AltF9Pole(int) {}
  virtual void AltF10Pole(int) {}
  virtual void UlozSablonu(int i);
  virtual void NactiSablonu(int i);
  // While the GDPR switch is on: after a read (on the buffer read) and before a write (on the
  // copy written).
  virtual void PredZapisem(std::span<std::uint8_t>) {}
  virtual void PoCteni(std::span<std::uint8_t>, storage::Buffer) {}

  // The edit form while it is shown (nullptr otherwise), for hooks that touch its controls.
  TfFormular* AktivniFormular() const { return formular_.get(); }
  // Texts of the edit form: caption, help line, colours and place in character cells.
  std::string TitulekFormulare, NapovedaFormulare;
  Color BarvaFormulare = kBtnFace, BarvaTextuFormulare = kBlack;
  int FormLevy = 1, FormHorni = 1, FormPravy = 60, FormDolni = 20;

 protected:
  void onShow() override;
  bool onMouse(const MouseEvent& ev, Control* hit) override;

 private:
  friend class TfFormular;
  class SouborOkna;
  // Declares field i: label, label column, side text, the row of the field (its side text
  // stands on the same row) and the side text's column, the initial text (its length is the
  // width) and the type letter or field picture. A type text that says nothing (empty) is a
  // fixed text, as " " is. Once per field, in field order.
  void DeklarujPole(int i, const std::string& popis, int sloupec, const std::string& bocniText, int radek,
                    int bocniSloupec, const std::string& pocatecni, const std::string& typ);
  void pripravSloupce();
  void umistiTlacitka();
  void opravAktualni();
  void prepniHledani();
  void poSouboru(int radek);
  void obnov();
  void normalizuj(int i);
  void predchoziZeSoucasnych();
  bool zeSablony();
  std::vector<PoleVyvozu> poleVyvozu() const;
  template <class Vyvoz>
  bool vyvezVety(Vyvoz& vyvoz);

  std::unique_ptr<storage::RecordFile> soubor_;  // a SouborOkna: its hooks are the window's
  std::unique_ptr<storage::RecordFile::CteniVBlocich> hledaniVBlocich_;  // during a search pass
  std::string bunkaHledani_;  // one field's text while a search builds a row from the bytes
  // The columns of the rows one search builds from the bytes, laid out at its first row. A
  // number's, date's or time's text is kept with the stored bytes it was made from: a register's
  // numbers repeat from row to row (zeros, a few rates), and formatting them anew was most of a
  // row's cost.
  struct SloupecHledani {
    std::size_t offset = 0, sirka = 0, ulozeni = 0;
    bool pole = false;   // the column shows a field (columns past the fields stay empty)
    bool cislo = false;  // shown through ZobrazPole, not as the stored characters
    std::string bajty, text;
  };
  std::vector<SloupecHledani> sloupceHledani_;
  std::size_t mistoHledani_ = 0;  // room for the longest row those columns can give
  void rozvrhniHledani();
  std::unique_ptr<PoradiSouboru> poradiSouboru_;
  std::vector<PoleSouboru> pole_;
  std::unique_ptr<TfFormular> formular_;
  std::string jmenoSouboru_;
  bool tlacitka_ = false;
  std::vector<bool> sloupcePoli_;    // columns whose width comes from their field
  bool rozvrzeni_ = false;           // fields or columns changed since the grid was laid out
  int editovany_ = 0;                // record number of the edit under way
  std::vector<std::uint8_t> kopie_;  // that record as the edit found it
};

// The generated edit form of a record form: one label and edit field per field, a side label
// where the field has a side text, the "OK-F2" button and the help line.
class TfFormular : public Form {
 public:
  explicit TfFormular(TfSoub& vlastnik);

  // The field that has the focus (from 1), 0 when none has.
  int AktualniPole() const;
  Edit* PolePro(int i) const;
  Label* PopisPro(int i) const;
  Label* BocniPro(int i) const;
  Button& bOK;
  Label& lHelp;
  bool KodovyRezim() const { return kod_; }
  // A code from the reader: into the current field, then on as with Enter.
  void KodCteckou(const std::string& kod);

  // Field texts from the edit fields into the descriptors, and back.
  void Precti();
  void Ukaz();
  // Creates the controls of the fields, then Rozmisti.
  void Postav();
  // The look, place and size from the settings, and every control at its place.
  void Rozmisti();
  // The look menu (F11).
  void Vizaz();

 protected:
  bool onKey(const KeyEvent& ev) override;
  bool onMouse(const MouseEvent& ev, Control* hit) override;

 private:
  bool zkontroluj(int i);  // KontrolaPole; false while the field is in error
  void dalsi(int i, bool dolu);
  void prejdi(int i);
  void drzFokus(int i);
  TfSoub& s_;
  std::vector<Label*> popisy_, bocni_;
  std::vector<Edit*> pole_;
  friend class TfSoub;
  void vyberPrepis(const KeyEvent& ev);
  bool kod_ = false;
  bool vybrano_ = false;  // the current field's text is selected as a whole
  int chybnePole_ = 0;  // the field the error timer puts the focus back on
};

// The window of a kind that the rest of the program uses: the one created last (each such window
// registers itself in `posledni` and leaves it when destroyed; the program creates them all at
// start), or one made on first use where no program runs, as in a tool or a test.
template <class T>
T& PosledniOkno(T*& posledni) {
  if (!posledni) {
    static T* vlastni = new T;  // lives to the end of the run, as every window does
    posledni = vlastni;
  }
  return *posledni;
}

}  // namespace pz::ui
