// Picture formats: the one small language through which every number reaches a screen, a report,
// a parameter file or a log line, and the type letters that say how a form field is stored.
//
//   - pictures        FormatE / FormatR / FormatC (and the Plain variants), VejdeSe
//   - entered text    TextNaCele, TextNaReal, TextNaPenize
//   - field types     RozeberTyp, SirkaUlozeni; leaving a field (UpravPole), storing it into a
//                     record (UlozPole) and showing it from a record (ZobrazPole)
//   - dates, times    stored digit texts and their DD.MM.YY / HH:MM:SS forms
//
// A picture is made of "#" (a digit, blank when the number has none there), "@" (a digit, 0 when
// the number has none there), "." or "," (the decimal separator; digit positions after the first
// one are the decimals), "-" (the last one is the sign position) and any other character, shown as
// written (blanks serve as thousands separators: "### ### ###.##-").
//
// Rounding to the last shown digit is decimal and half away from zero: the value is taken as the
// shortest decimal of its double, so 0.125 in "##.##" is " 0.13" and 38.025 shows 38.03.
// Texts are cp1250.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/fields.h"

namespace pz::ui {

// ---------------------------------------------------------------------------------------------
// Formatting. Each returns a text as long as the picture (pictures are cut to 80 characters).
//
// FormatE, FormatR and FormatC blank a value below 0.000001 (FormatC: 0.001) unless the picture
// ends in "@", and blank the first " 0.00-" of the result (a negative value that rounds to zero).
// The Plain variants do neither. Digits that do not fit drop off the left without notice ("###"
// shows 1234 as 234); a value of 10^18 or more shows "*" in every digit position.

std::string FormatE(std::string_view picture, double value);
std::string FormatR(std::string_view picture, const storage::Real48& value);
std::string FormatC(std::string_view picture, std::int64_t tenThousandths);

// A money picture read once, for the reports that format many amounts with it: pridej appends
// exactly what FormatC gives.
class ObrazekPenez {
 public:
  explicit ObrazekPenez(std::string_view picture);
  void pridej(std::string& out, std::int64_t tenThousandths) const;

 private:
  std::string obrazek_;             // the picture, cut
  std::string prazdny_;             // the picture with every digit position blank ("@" as "0")
  std::vector<std::uint8_t> cifry_;  // the digit positions, from the right
  int desetinna_ = 0;               // digit positions after the decimal separator
  std::size_t znamenko_;            // the last "-", or npos
  bool jinaPomlcka_ = false;        // a "-" before it: " 0.00-" may stand even for a positive value
};
std::string FormatPlainE(std::string_view picture, double value);
std::string FormatPlainR(std::string_view picture, const storage::Real48& value);

// True when FormatE shows the value in full: no digit dropped and, for a value that does not
// round to zero, the minus sign shown.
bool VejdeSe(std::string_view picture, double value);

// ---------------------------------------------------------------------------------------------
// Entered text to number.

// "-" and "+" set the sign (the last one wins), "," counts as "."; blanks, "." and digits are
// kept, any other character gives 0. The integer is read after leading blanks up to the first
// non-digit: "12.50" is 12, "1 234" is 1, "5-" is −5. A value outside 32 bits gives 0.
std::int32_t TextNaCele(std::string_view text);
// "-" makes the value negative, "," counts as "."; only digits and "." are kept, so blanks and
// letters are ignored: "1 234,5" is 1234.5. Reading stops at a second ".".
double TextNaReal(std::string_view text);
// Ten-thousandths: "-" makes the value negative, the first "." or "," starts the decimals, a fifth
// decimal of 5 or more adds one unit, every other character is ignored: "1 234,56-" is
// −12345600. A value outside 64 bits gives 0.
std::int64_t TextNaPenize(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Field types. A type text is either one letter (texts, dates, times) or a picture followed by a
// storage letter ("#########.##-R").

enum class DruhPole {
  Bajt,        // picture + "B": unsigned 8-bit
  Slovo,       // picture + "W": unsigned 16-bit
  Cele,        // picture + "I": signed 32-bit
  DlouheCele,  // picture + "L": signed 32-bit
  Real,        // picture + "R": Real48
  Dvojite,     // picture + "D": 8-byte double
  Penize,      // picture + "C": 64-bit ten-thousandths
  Text,        // "X", "x": trimmed on leaving, blank-padded on the right when stored
  TextKod,     // "K": as "X"; the form also accepts code entry
  TextVpravo,  // "Y", "y": right-aligned, blank-padded on the left
  Ucet,        // "L", "l": account number, left-aligned, "0"-padded, blanks become "0"
  Kod,         // "P", "p": numeric code, right-aligned, "0"-padded, blanks become "0"
  DatumRMD,    // "D": stored YYMMDD, shown DD.MM.YY
  DatumDMR,    // "d": stored DDMMYY, shown DD.MM.YY
  DatumRRMD,   // "Q": stored YYYYMMDD, shown DD.MM.YYYY
  DatumDMRR,   // "q": stored DDMMYYYY, shown DD.MM.YYYY
  Cas,         // "T", "t": stored HHMMSS, shown HH:MM:SS
  TextPevny,   // " ", "m": blank-padded to the width, never trimmed
};

struct TypPole {
  DruhPole druh = DruhPole::Text;
  char pismeno = 'X';   // the type letter (for a picture its last character)
  std::string obrazek;  // numeric types: the picture without its letter

  bool ciselny() const { return druh <= DruhPole::Penize; }
  bool datum() const { return druh >= DruhPole::DatumRMD && druh <= DruhPole::DatumDMRR; }
};

// nullopt for an empty type text, one longer than 30 characters, a picture without a storage
// letter or without a digit position.
std::optional<TypPole> RozeberTyp(std::string_view typ);
// Bytes the field takes in its record; `sirka` is the width of a text field (the length of its
// initial text).
std::size_t SirkaUlozeni(const TypPole& typ, std::size_t sirka);

enum class ChybaPole {
  Zadna,
  NevejdeSe,    // the number does not fit its picture (a digit or the sign would be lost)
  MimoRozsah,   // the number does not fit its storage (70000 in "W", cents beyond Real48)
  ChybneDatum,  // not a calendar date
  ChybnyCas,    // not a time of day
  DlouhyText,   // longer than the field
  MimoVetu,     // the field lies beyond the record buffer
};

struct UpravenyText {
  std::string text;
  ChybaPole chyba = ChybaPole::Zadna;
};

// Leaving a form field: the text as the field shows it from then on. Texts are trimmed and padded
// by type; a number is read and shown again with its picture; a date or time in its display form.
// On an error the entered text comes back unchanged with the reason, so that the form can name
// the field and the check can see what the user typed. `rokDnes` is the year a date entry without
// a year gets (0: the year of the program's clock).
UpravenyText UpravPole(const TypPole& typ, std::size_t sirka, std::string_view text, int rokDnes = 0);

// Stores a field text into the record at `offset`. A number is read from the text, rounded to its
// picture's decimals and stored as that value; a value that does not fit the picture or the
// storage type, an invalid date or a too long text is refused and nothing is written.
ChybaPole UlozPole(const TypPole& typ, std::size_t sirka, std::string_view text, storage::Bytes veta,
                   std::size_t offset, int rokDnes = 0);

// The text a record field shows: numbers by FormatE with the picture, texts as stored, dates and
// times in their display forms.
std::string ZobrazPole(const TypPole& typ, std::size_t sirka, storage::ConstBytes veta, std::size_t offset);
// The same into `out`, whose storage a text field reuses: a list shows and searches every row's
// fields this way without a new string per field.
void ZobrazPole(std::string& out, const TypPole& typ, std::size_t sirka, storage::ConstBytes veta, std::size_t offset);

// ---------------------------------------------------------------------------------------------
// Dates and times. `typ` is the date letter "D", "d", "Q" or "q".

struct Den {
  int rok = 0;
  int mesic = 0;
  int den = 0;
};

bool PlatnyDen(const Den& den);
int DnesniRok();  // the year of the program's clock

// The display form of a stored date: DD.MM.YY (DD.MM.YYYY for "Q", "q"); blanks when the stored
// digits are blank or all zero. A letter l or O as the first digit of the day or the year reads
// as 1 or 0.
std::string ZobrazDatum(char typ, std::string_view ulozene);
// An entered date in the stored digit order of the type. "O", "o" count as 0 and "l" as 1; "," "-"
// "." "/" separate day, month and year. Accepted: ddmmyy, ddmmyyyy, ddmm, d.m, d.m.yy, d.m.yyyy
// (a missing year is `rokDnes`, 0: the year of the program's clock). An empty entry gives blanks;
// a text that is not a calendar date, or a year a two-digit type cannot hold (outside 1940–2039),
// gives nullopt.
std::optional<std::string> CtiDatum(char typ, std::string_view zadani, int rokDnes = 0);
// A stored date as a calendar date (two-digit years widened, O and l read as digits); nullopt for
// blanks, zeros or anything that is not a date.
std::optional<Den> RozeberDatum(char typ, std::string_view ulozene);
// The stored digits of a calendar date.
std::string UlozenyDatum(char typ, const Den& den);

// HHMMSS as HH:MM:SS; blanks for a blank time.
std::string ZobrazCas(std::string_view ulozeny);
// An entered time (hhmmss, hhmm, h:mm, h:mm:ss; ":" "." "," "-" "/" separate) as HHMMSS; an
// empty entry gives six blanks, anything that is not a time of day nullopt.
std::optional<std::string> CtiCas(std::string_view zadani);

}  // namespace pz::ui
