// Report files: plain text files of lines of one fixed width W, each followed by CR LF, a form
// feed at the start of the line that begins a page. Fixed lines let the viewer reach any line
// with one seek. One report is written at a time for the whole program.
//
// In GDPR mode every line is stored scrambled with a fixed key; the scrambled line keeps the
// length W, so the line structure stays, and the reading side unscrambles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace pz::reports {

inline constexpr char kFormFeed = '\f';

// Opens a new report "name.TXT" of `width` characters a line (1..255), replacing one of the same
// name. Without a leading "*" a spreadsheet side file "XLS\" + base name + ".CSV" is written too;
// with it, the directories along the name are created first. False when the report file cannot
// be created (the message "Err" + code + name was shown; lines written then are lost).
bool OtevriSestavu(std::string_view name, int width);
// Writes one line, padded or cut to the width; a text starting with a form feed starts a page.
// Lines are written in blocks: false once a write of the report failed (the message "Err101
// name.TXT" was shown once) or when it could not be created, so that the producer can stop.
bool PisRadek(std::string_view text);
// Writes one line of the side file when it is in use; a failed write is shown once.
void PisCsv(std::string_view text);
// Closes both files; an empty report (and its ".txz") and an empty side file are removed. False
// when the report is not whole: it could not be created, or a write failed and the report (with
// its side file) was removed, so that no report cut somewhere in a line is shown as finished.
bool ZavriSestavu();

// Appends the lines of the report file `zdroj` to the end of `cil`: a missing or empty target
// becomes a copy of the source; a narrower target is first widened (through the work file
// "xxx.txt", which then replaces it); each appended line is padded or cut to the target's width.
// Returns the I/O code of opening the target (0 when all went well).
int PripojSestavu(std::string_view zdroj, std::string_view cil);

// Counts of the report written last; they stay readable after it is closed.
int RadkuSestavy();
int StranSestavy();
int SirkaSestavy();
const std::string& JmenoSestavy();

// The page pattern of the register lists: before a body line, when the page is full, the page
// header is written (a form feed from the second page on, or on the first too when every print
// starts on a new page; two blank lines; the firm, the title, "List:" with the page number and
// the date; a blank line; the column captions; a line of "="; a blank line).
struct SloupecSestavy {
  std::string titulek;
  int sirka;
};

class StrankovanaSestava {
 public:
  StrankovanaSestava(std::string titul, std::vector<SloupecSestavy> sloupce);
  // Writes a body line, after the page header when the page is full; false as PisRadek.
  bool radek(std::string_view text);
  int strana() const { return strana_; }
  // The column captions, each padded or cut to its width and followed by a blank.
  std::string hlavickaSloupcu() const;

 private:
  void hlavicka();
  std::string titul_;
  std::vector<SloupecSestavy> sloupce_;
  int radku_ = 130;  // above any page length, so that the first line starts a page
  int strana_ = 0;
};

// The scrambling of report lines: position p (from 1) takes key character ((p-1) mod L) + 1 and
// a right rotation of ((p-1) mod 7) + 1 bits after the XOR. An empty key or line stays as it is.
std::string Zakoduj(std::string_view text, std::string_view key);
std::string Dekoduj(std::string_view text, std::string_view key);
// The installation's key: 17 characters, the same for writing and reading.
const std::string& KlicSestav();

// A report file seen as records of W + 2 bytes (the line and CR LF).
class RadkovySoubor {
 public:
  // Finds the width from the first two lines and counts the lines. A file that cannot be opened
  // has no lines and is used with width 132; a missing one is created.
  bool otevri(std::string_view path);
  void zavri() { file_.close(); }
  int sirka() const { return width_; }
  int64_t pocet() const { return lines_; }
  // Line n (from 1), unscrambled in GDPR mode; false outside 1..pocet().
  bool cti(int64_t n, std::string& text);
  // Writes line n (1..pocet()+1, the last case appends), padded or cut to the width.
  bool pis(int64_t n, std::string_view text);

 private:
  platform::File file_;
  std::string path_;
  int width_ = 0;
  int64_t lines_ = 0;
};

// The width of a report from its first bytes (at most 999) and its size: the smallest w from 1 to
// 490 with CR LF after the first and the second line of w characters each; a file of one line
// ending in CR LF has that line's width; 491 when there is none.
int SirkaZeZacatku(std::string_view head, int64_t fileSize);

}  // namespace pz::reports
