// Window settings of the browse windows: the look (font, character cell, colours) resolved from
// "par\oknag.par" and "par\okna2.par", the number formats of the geometry keys, and the column
// widths key "Gridy". Every key of a window begins with its name and a blank ("fRol Left").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/cells.h"

namespace pz::ui {

inline constexpr const char* kOkna2 = "par\\okna2.par";  // each window's geometry and look
inline constexpr const char* kOknag = "par\\oknag.par";  // the standard look of all windows

// The seven look keys: character cell height and width in pixels, font name, style, size, and
// the ink and paper colours.
struct VzhledOkna {
  int vyskaZnaku = 18;
  int sirkaZnaku = 8;
  std::string pismo = "Ms Sans Serif";
  std::string styl = "Normal";  // "Bold", "Italic", "BoldItalic" or "Normal"
  int velikost = 8;             // points
  std::optional<Color> barvaPisma, barvaPapiru;  // not set: the caller's colours stay

  bool tucne() const;
  bool kurziva() const;
};

// The look of window `okno`: when "par\oknag.par" holds at least 7 bytes its keys alone decide;
// otherwise each key comes from "par\okna2.par" without a prefix, else with the window's prefix,
// else the default stays. Values that make no sense (letters, sizes out of range, negative
// colours) count as not set.
VzhledOkna VyresVzhled(const std::string& okno);
// The look of the edit forms and parameter windows: the standard look when "par\oknag.par" holds
// it, otherwise the keys with the suffix "A" ("FontNameA"), without prefix first, then with the
// window's.
VzhledOkna VzhledFormulare(const std::string& okno);

// Code entry: the letters a Czech keyboard's number row types (é + ě š č ř ž ý á í and their
// capitals) become the digits 0 to 9.
std::string CislaKodu(const std::string& text);

// Style names as the settings store them.
std::string TextStylu(bool tucne, bool kurziva);

// A whole number of a settings key; 0 when the key is missing or holds no number.
int CtiCislo(std::string_view soubor, std::string_view klic);

// Number formats of the keys.
std::string FormatGeometrie(int v);  // "@@@@" (window position and size)
std::string FormatIndexu(int v);     // "@@@@@@" (row, picture and memo positions)
std::string FormatVelikostiZnaku(int v);  // "###"
std::string FormatVelikostiPisma(int v);  // "@@@@-"
std::string FormatBarvy(Color c);         // "-@@@@@@@@@@@"

// Column widths in pixels from a "Gridy" value: one entry per whole three-digit group. A group
// that is not a number of at least 1 reads 200; a trailing partial group is ignored, so that the
// column falls back to its computed width.
std::vector<int> RozeberGridy(std::string_view hodnota);
// Whether stored widths can describe a layout someone saw: widths of two or more columns that are
// all at most `nejmensi` pixels come from a list closed before it was laid out, and read as absent.
bool GridyUveritelne(const std::vector<int>& sirky, int nejmensi);
// The "Gridy" value of the widths of columns 0 to at most 40, three digits each (1 to 999).
std::string SestavGridy(const std::vector<int>& sirky);

}  // namespace pz::ui
