// Record layout conversion: brings a record file written by an earlier program version to the
// current record layout. Record files carry no version mark, so two field description files
// (".pol", below the program root in "dlib\") say where every field lies in the old and in the
// new layout; the file is recognised as old by its size and by the length bytes of its first
// text fields, and every record is rewritten field by field, fields matched by name.
//
//   - description file  one field per line: name ": " type letter [width ";"] "label" "picture"
//                       (only lines with ":" describe fields); read into a toPol
//   - layout test       JeStaryTvar: is a file of this size (and this test record) old?
//   - conversion        PrazdnaVeta, Sparuj, PrevedVetu: one record at a time
//   - PrevedSoubor      the whole file, under a write lock, through a work file beside the
//                       target and an atomic replacement
//
// Dates in conversions follow the description files: a text of kind "D" is DDMMYY, "d" YYMMDD,
// "Q" DDMMYYYY and "q" YYYYMMDD. A two-digit year is widened with the program's rule (below 40
// is 20yy, otherwise 19yy), so an old 95 becomes 1995; a blank or "000000" date stays blank.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/fields.h"

namespace pz::storage {

inline constexpr std::size_t kNejvicPolozekPopisu = 264;  // fields of one description
inline constexpr std::size_t kDelkaJmenaPolozky = 50;
inline constexpr std::size_t kDelkaObrazkuPolozky = 30;

// One field of a description.
struct tPolozka {
  std::string jmeno;    // upper-cased, without blanks
  std::string obrazek;  // the picture, at most 30 characters
  char typ = 'S';       // 'B', 'W', 'I' (also for "L"), 'R', 'D', 'C' or 'S' (text)
  char druh = ' ';      // text kind: the first character of the picture (blank when none)
  std::size_t offset = 0;
  std::size_t delka = 0;   // characters of a text, bytes of a number
  std::size_t sirka = 0;   // bytes in the record
  int stara = 0;           // new layout: the number (from 1) of the old field of the same name
};

// A description read into memory.
struct toPol {
  std::vector<tPolozka> polozky;
  std::size_t velikost = 0;  // record size: the offset after the last field
  int prvniText = 0;         // numbers (from 1) of the first two text fields; 0 when none
  int druhyText = 0;
};

// Reads a description. A line with a type letter outside the table, a text field without its
// width and ";", more than kNejvicPolozekPopisu fields or no field at all make the whole description
// unusable: nullopt, and `chyba` (when given) says which line and why.
std::optional<toPol> CtiPopis(std::string_view text, std::string* chyba = nullptr);

// The record of the new layout that every converted record starts from: numbers zero, account
// and numeric-code texts "0" characters, every other text blanks, each at its full width.
std::vector<std::uint8_t> PrazdnaVeta(const toPol& popis);

// Gives every new field the number of the old field of the same name (the last one when several
// share it), names compared upper-cased and without blanks.
void Sparuj(toPol& novy, const toPol& stary);

// Fills the matched fields of `nova` (which holds the blank record) from the old record. Pairs of
// types or text kinds that have no conversion leave the new field as it was.
void PrevedVetu(const toPol& stary, const toPol& novy, ConstBytes stara, Bytes nova);

// Is a file of `velikost` bytes in the old layout? `zkusebni` is its second record (its first
// when it holds only one old record). Never true when both layouts have the same size.
bool JeStaryTvar(const toPol& stary, const toPol& novy, std::int64_t velikost, ConstBytes zkusebni);

// Converts the data file into the target (empty: the data file itself) when it is still in the
// old layout. The three paths are in program form (DataCesta / ProgCesta). Call it before the
// window opens the file: the conversion takes the file's write lock and gives it up again, and
// it does nothing (with a message) while another station holds the file. True only when the
// records were converted and the converted file took the target's place; a failure at any point
// leaves the target as it was.
bool PrevedSoubor(const std::string& data, const std::string& cil, const std::string& staryPopis,
                  const std::string& novyPopis);

}  // namespace pz::storage
