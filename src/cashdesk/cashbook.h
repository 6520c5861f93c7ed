// The cash book of one series ("PZ10"): the documents paid in a period with the running balance
// of the box, the turnover of the period and in total, and the crown sums; each document line goes
// into the spreadsheet side file too.
//
// Periods select by calendar date: a stored two-digit year is widened (below 40 is 20yy), so a
// document of 1998 lies before one of 2024 although "98" sorts after "24" as text.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cashdesk/document.h"

namespace pz::cashdesk {

class TfPZPokl;

// A DDMMYY date as YYYYMMDD with the year widened (O and l read as digits); "00000000" for a
// text that holds no date, so that it lies before every period.
std::string KlicDne(std::string_view ddmmrr);
// The same day as the number YYYYMMDD; 0 for a text that holds no date.
std::uint32_t CisloDne(std::string_view ddmmrr);
// DDMMYY as DD.MM.YYYY (year widened).
std::string DatumSestavy(std::string_view ddmmrr);

// What the cash book needs of its series.
struct RadaKnihy {
  std::string rada;        // series number
  std::string mena;        // the currency shown
  std::string domaciMena;  // the home currency name
  Penize pocStav = 0;      // opening balance in the currency
  Penize pocStavKc = 0;    // and in crowns
};
RadaKnihy RadaKnihyZeZaznamu(std::span<const std::uint8_t> rada, const std::string& menaZobrazeni,
                             const std::string& domaciMena);

enum class PoradiKnihy { DataZaplaceni = 1, CislaDokladu = 2 };

// The sums of a cash book, as its last lines show them.
struct SouctyKnihy {
  Penize stavOd = 0, stavOdKc = 0;          // the balance at From
  Penize prijmyPred = 0, vydajePred = 0;    // movements before From
  Penize prijmy = 0, vydaje = 0;            // within the period
  Penize prijmyKc = 0, vydajeKc = 0;
  Penize stavDo = 0;                         // the balance at To
  Penize posledniZustatek = 0;               // the running balance of the last line listed
  int radku = 0;                             // documents listed
};

// Writes the cash book of `doklady` for the period od..do_ (DDMMYY) into the open report.
SouctyKnihy PisKnihu(const std::vector<DokladVypisu>& doklady, const RadaKnihy& rada, std::string_view od,
                     std::string_view do_, PoradiKnihy poradi);

// The documents of a document file, each with the date repair of older data applied; false when
// the file cannot be read.
bool CtiDokladySouboru(const std::string& cesta, std::vector<PokladniDoklad>& doklady);
// The same as the reports read them: the file's bytes kept, a view of each document.
bool CtiDokladySouboru(const std::string& cesta, DokladySouboru& doklady);
// Gives `kazdy` a view of every document of the file in record order, the date repair applied,
// reading a block of documents at a time: a view lives only for its call. False when the file
// cannot be read.
bool ProjdiDokladySouboru(const std::string& cesta, const std::function<void(const DokladVypisu&)>& kazdy);

// Makes "PZ10" (under the write lock of its file) and shows it in the viewer. False when the
// report could not be written whole.
bool VytvorKnihu(const std::vector<DokladVypisu>& doklady, const RadaKnihy& rada, std::string_view od,
                 std::string_view do_, PoradiKnihy poradi);

// The dialogs of the cash book in the cash desk window, then the report.
void OpisPokladny(TfPZPokl& okno);

// The period dialog of the reports: two dates DDMMRR under the labels `popisOd` and `popisDo`,
// proposed as `od` and `do_` and returned there as the dates read; it comes back after
// "Chybně zadán parametr …" until both are dates. False when it is left with Esc.
bool ZadejObdobi(const std::string& popisOd, const std::string& popisDo, const std::string& titulek,
                 std::string& od, std::string& do_);

}  // namespace pz::cashdesk
