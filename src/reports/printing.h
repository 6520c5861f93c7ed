// Printing of reports, in four ways that understand the same control characters, margins and
// copies: through the system printer with the three font files (norm, 12zn, cond), as characters
// to a printer port with the printer's own sequences, as a file dropped into the spool folder for
// an outside print program, and as a page image with a stamp and a signature.
//
// Control characters in report lines: 12 at the start of a line starts a page (the top margin
// follows), 14 switches to 100 characters a line, 15 to 130, 18 back to 80; 7 opens the cash
// drawer and 16 cuts the paper (character mode only).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/print.h"
#include "storage/czech.h"

namespace pz::reports {

class TfPozri;

// What one print needs of the settings.
struct NastaveniTisku {
  int hustota = 1;    // 1 = 80, 2 = 100, 3 = 130 characters a line
  int opakovat = 0;   // extra copies of every page
  int tab = 0;        // left margin in characters
  int toplist = 0;    // top margin in lines
  char diakritika = ' ';  // "K" Kamenický, "L" code page 852, "N" none
  bool stredniky = false; // semicolons print as blanks
  bool ffNaKonci = false; // a form feed after a character-mode print
  std::string zasuvka = "\x07";  // the bytes that open the cash drawer
  std::string rezacka;           // the bytes that cut the paper (none when empty)
};
// From REGISTRY.DTA, the station's master.job, sys.par, "suple.txt" and "smik.txt".
NastaveniTisku NactiNastaveniTisku();

// The sequences of a printer definition file ".dst": lines "INIT", "NORM", "ELIT", "COND" with
// the bytes from column 6 as decimal numbers (separated by blanks, commas or "#"), "$" hex
// numbers, characters in double quotes and comments in braces. A number above 255 or a malformed
// token is skipped. Text of fewer than 3 bytes gives the defaults.
struct DefiniceTiskarny {
  std::string init;
  std::string norm = "\x12";
  std::string elit = "\x1b" "M";
  std::string cond = "\x0f";
};
DefiniceTiskarny CtiDefiniciTiskarny(std::string_view text);

// A report line ready for a printer: trailing blanks removed, diacritics as the setting says
// (character mode: Kamenický, 852 or none; the system printer: removed only for "N"), ";" as a
// blank when asked for.
std::string PripravRadek(std::string radek, bool znakovy, const NastaveniTisku& n);

// The bytes that character mode sends to the port for these (prepared) lines, INIT first.
std::string ZnakovyTisk(const std::vector<std::string>& radky, const NastaveniTisku& n, const DefiniceTiskarny& d);

// The three fonts of the system printer, in 1/300 inch, from "norm.fnt", "12zn.fnt" and
// "cond.fnt" of the working directory (copied from "\2\" below the program root when "norm.fnt"
// is smaller than 200 bytes); a height or width that is 0 or no number takes the value of the
// "\2\" file, then a built-in one.
struct FontyTisku {
  platform::LogicalFont norm, elit, cond;
};
FontyTisku NactiFonty();

// Prints prepared lines on a canvas; false when the document could not be printed.
bool TiskNaPlatno(platform::PrintCanvas& platno, const std::vector<std::string>& radky, const NastaveniTisku& n,
                  const FontyTisku& fonty);

// Composes the pages of the stamp print (Georgia labels, "podpis.bmp" below the line that holds
// the stamp mark) and prints each page as a document of its own.
bool TiskSRazitkem(platform::PrintService& sluzba, const std::vector<std::string>& radky, int hustota,
                   const std::string& podpis);

// The fast print: the lines, in the Kamenický code page, into the spool file "c:\printer\print"
// + the next number + ".txt". A spool file of that number that the outside program has not taken
// yet is never touched ("Predešlý tisk není hotový"); the file appears under its name only when
// it is complete. The number moves on only after a successful write.
enum class VysledekSpoolu { Hotovo, Obsazeno, Chyba };
VysledekSpoolu RychlyTisk(const std::vector<std::string>& radky, std::string* soubor = nullptr);

// Registers the viewer's print keys.
void RegistrujTisk();

}  // namespace pz::reports
