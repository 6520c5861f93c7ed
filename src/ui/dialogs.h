// The standard dialogs that serve every part of the program: the choice menu, the question form,
// the yes/no question, the flashing message, the message box, the timed wait, the help and guide
// pages, the board, and the entry to the report viewer. Each window is created once and reused.
// Texts are cp1250. Positions are remembered per title (the first 15 characters of the caption)
// in "par\okna2.par".
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pz::ui {

// What the dialogs hand back, for callers that read it after the call.
struct VysledekDialogu {
  int volba = 0;                       // chosen menu item from 1; 0 when nothing was chosen
  std::string kodVolby = "  ";         // second and third characters of the chosen item
  std::vector<std::string> odpovedi;   // the question form's lines
  bool potvrzeno = false;              // the question form ended with F2, F4 or Enter
  bool ano = false;                    // the yes/no answer
  bool preruseno = false;              // the timed wait was left with Esc
};
VysledekDialogu& vysledekDialogu();

using PomocDialogu = std::function<void(int polozka)>;  // F1: the caller's help for an item

// Choice menu of at most 60 items; returns the chosen item (from 1) or 0.
int Vyber(int sloupec, int radek, const PomocDialogu& pomoc, const std::vector<std::string>& polozky,
          const std::string& titul);
// Question form: `polozky` holds label and initial value in turn. True when confirmed; the
// answers are in vysledekDialogu().odpovedi.
bool Dotazy(int sloupec, int radek, const PomocDialogu& pomoc, const std::vector<std::string>& polozky,
            const std::string& titul);
// Yes/no question; remembers the last answer per question.
bool Dotaz(int sloupec, int radek, const std::string& otazka);
// A yes/no question whose focus starts on "Ano" or "Ne" as the caller says; nothing is remembered.
bool DotazVychozi(const std::string& otazka, bool naAno);
// Flashing message shown while work goes on; BlikPostup shows progress, BlikKonec ends it.
void Blik(const std::string& text);
void BlikPostup(int maximum, int pozice);
void BlikKonec();
// A beep and a message box.
void Zprava(const std::string& text);
// A message box without the beep.
void ZpravaTicha(const std::string& text);
// A small window that closes itself after `ms`, or at once on Esc; true when Esc ended it.
bool Cekej(int ms, const std::string& text);
// The help page of `tema` in the help file `soubor` (".hlp" below the program root).
void Napoveda(const std::string& soubor, const std::string& tema);
// The guide page `jmeno` in `adresar`; F2 makes it editable, and an edited page is saved.
void Navod(const std::string& adresar, const std::string& jmeno);
// Shows the report `jmeno` + ".txt" in the report viewer; "Prázdná tisková sestava" when empty.
void UkazSestavu(const std::string& jmeno);
// The board: a read-only window of up to 20 lines of text.
void Tabule(int sloupec, int radek, const std::string& titul, const std::vector<std::string>& radky);

// The report viewer registers itself here (it lives above the screen framework). It gets the
// report's path and shows it modally.
void NastavProhlizecSestav(std::function<void(const std::string& soubor)> prohlizec);

// Creates the dialog windows now, in their order, so that they exist from program start.
void VytvorDialogy();

// Breaks a text at blanks and line ends into lines of at most `sirka` characters (a longer word
// is split).
std::vector<std::string> ZalomText(const std::string& text, size_t sirka);

// The guide page's cleaned name: blanks and diacritics removed, characters that cannot stand
// in a file name replaced by "_".
std::string CisteJmenoNavodu(const std::string& jmeno);

}  // namespace pz::ui
