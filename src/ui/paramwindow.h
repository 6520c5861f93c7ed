// TfOkno, the parameter window: a small form of labelled one-line rows that edits an in-memory
// record instead of a file. A descendant declares its rows (DeklarujParametr), gives their
// states, writes their values into the record (ZapisZaznam) and builds the window (OtevriOkno);
// the caller shows it modally and then calls UlozParametry. The window's place and look are kept
// under its name in "par\okna2.par" ("fParSys OknoLeft", "fParSys FontNameA", ...).
//
// Rows count from 1. A row's state: -1 hidden and skipped, 0 shown but not editable, 1 editable.
// Texts are cp1250.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/app.h"
#include "ui/browse_settings.h"
#include "ui/form.h"
#include "ui/picture.h"

namespace pz::ui {

struct RadekOkna {
  std::string popis;        // label, at most 30 characters
  int sloupecPopisu = 0;    // label column in character cells
  int radek = 0;            // screen row of the label and field
  std::string typText;      // type letter or picture with its storage letter
  TypPole typ;
  std::string hodnota;      // the row's text, at most 73 characters
  std::string puvodni;      // the text at declaration (F12 puts it back)
  int sirka = 0;            // characters the field takes: the length of the declared value
  std::string bocniText;    // side text; none when its column is 0
  int bocniSloupec = 0, bocniRadek = 0;
  int stav = 1;
};

class TfOkno : public Form {
 public:
  explicit TfOkno(std::string jmeno);

  // ---- Set up by the descendant before OtevriOkno.
  void NastavPocetRadku(int n);
  int PocetRadku() const { return static_cast<int>(radky_.size()); }
  RadekOkna& Radek(int i) { return radky_.at(static_cast<size_t>(i - 1)); }
  const RadekOkna& Radek(int i) const { return radky_.at(static_cast<size_t>(i - 1)); }
  void DeklarujParametr(int i, const std::string& popis, int sloupecPopisu, const std::string& bocniText,
                        int bocniRadek, int bocniSloupec, const std::string& hodnota, const std::string& obrazek,
                        int radek);
  // Writes every row's value into the record by its type (the record gets the size the rows need).
  void ZapisZaznam();
  // A row's value as the record holds it.
  std::string ZeZaznamu(int i) const;
  const std::vector<std::uint8_t>& Zaznam() const { return zaznam_; }

  void OtevriOkno(const std::string& titul, const std::string& pata, Color inkoust, Color papir, int dolniRadek,
                  int pravySloupec, int horniRadek, int levySloupec);

  // ---- After the modal show.
  // Unless cancelled, the fields' texts become the rows' values and reach the record; the window's
  // place and look are written; the row controls go away.
  virtual void UlozParametry();

  bool zruseno = true;     // cancelled: set at open and by Esc, cleared only by PrijmiParametry
  bool dokola = false;     // moving down past the last row goes on at row 1 instead of accepting
  int aktualni = 1;        // current row
  int posledniKlavesa = 0; // last key with its modifier code
  bool kodovani = false;   // code entry (Ctrl+B): number-row letters become digits

  // The field texts as shown now (tests and descendants).
  std::string TextPole(int i) const;
  Edit* PolePro(int i) const;
  Label* PopisPro(int i) const;
  const VzhledOkna& vzhled() const { return vzhled_; }

 protected:
  virtual void EnterParametru(int, std::string&) {}
  virtual void ZmenaParametru(int i, std::string& text);
  virtual void ZobrazParametr(int, std::string&) {}
  virtual void PrijmiParametry();
  virtual void NapovedaParametru(int i);
  // F3 to F10, Alt+F1 to Alt+F10, Ctrl+F3 to Ctrl+F8, Ctrl+F12, Shift+F12: key number and row.
  virtual void KlavesaParametru(int, int) {}

  bool onKey(const KeyEvent& ev) override;
  bool onMouse(const MouseEvent& ev, Control* hit) override;
  void onShow() override;

  // The field check: type normalisation, code-entry digits, blank padding to the width.
  std::string Kontrola(int i, const std::string& text) const;
  void PrejdiNa(int i);
  void Dalsi(int i);       // Down/Tab from row i
  void Predchozi(int i);   // Up from row i
  void NabidkaVizaze();    // F11

 private:
  void ulozVzhled();
  std::vector<RadekOkna> radky_;
  std::vector<std::uint8_t> zaznam_;
  std::vector<std::size_t> mista_;  // offset of each row in the record
  VzhledOkna vzhled_;
  Color inkoust_ = kBlack, papir_ = 15790320;
  bool otevreno_ = false;
  bool vybrano_ = false;  // the field's whole text is selected: the first character replaces it
};

// The colour and font questions of the look menu: the presenter's own dialogs where it has
// them, otherwise a choice list of colours and a question form for the font.
bool VyberBarvu(Color& barva);
bool VyberPismo(FontChoice& pismo);

}  // namespace pz::ui
