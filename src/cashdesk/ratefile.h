// Rate lookup in a rate file: the daily rates of one currency that the user exports from the
// central bank's rate report as text and saves as "\TAMBRA3W\" + currency + ".txt" on the data
// drive. The cash desk only reads these files; the command that fetches the bank's rates
// (ratefetch.h) appends to them.
//
// A data line starts with a date DD.MM.YYYY (characters 1 to 10; the line's first two characters
// are a day other than 0), a separator, and the rate for the series' unit count in characters 12
// to 31 with a decimal comma or point ("02.01.2024|24,725"). Any other line is a heading and is
// skipped. Lines end with LF or CR LF and come in ascending date order, one per quoted day.
#pragma once

#include <optional>
#include <string_view>

namespace pz::cashdesk {

// The date of a data line as YYYYMMDD, or 0 when the line is not a data line: its first two
// characters must be a number other than 0 and characters 1 to 10 a date DD.MM.YYYY.
int DatumRadku(std::string_view radek);

// The rate of the payment date `datumZapl` (stored DDMMYY, two-digit year) in the text of a rate
// file, or nothing:
//   - a line of that date gives its rate;
//   - a day between two quoted days (a weekend, a holiday, a month end) takes the rate of the
//     last quote before it;
//   - a day before the first line takes that line's rate only within the first line's month;
//   - a blank or invalid date, a day after the last line, or a matching line without a readable
//     rate give nothing (the caller keeps the rate it has).
std::optional<double> KurzZTextu(std::string_view obsah, std::string_view datumZapl);

// What a lookup found: the rate as the file states it and the unit count the file's heading
// names ("Množství: 100" in the bank's export of JPY or HUF), 0 when the heading names none.
struct NalezenyKurz {
  std::optional<double> kurz;
  int mnozstvi = 0;
};
NalezenyKurz NajdiKurz(std::string_view obsah, std::string_view datumZapl);
// The same over the file at `cesta`; a missing, empty or unreadable file finds nothing.
NalezenyKurz NajdiKurzVSouboru(std::string_view cesta, std::string_view datumZapl);

// The same lookup over the rate file at `cesta` (program form). A missing, empty or unreadable
// file gives nothing.
std::optional<double> KurzZeSouboru(std::string_view cesta, std::string_view datumZapl);

}  // namespace pz::cashdesk
