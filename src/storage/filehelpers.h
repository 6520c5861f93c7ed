// Whole-file operations shared by the storage layer and the reports: replacing a file by a freshly
// written work file, deleting by a mask, copying and appending, and sorted lists of the files or
// subdirectories of a directory. A file that another workstation holds for a moment is waited for
// in the wait window and tried again a bounded number of times; a failure is reported in a message
// that names the file. Names are in program form; results are I/O codes (0 = done).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace pz::storage {

// The runtime's code for a file name that cannot be used (a name with "?").
inline constexpr int kIoChybneJmeno = 123;

inline constexpr size_t kBlokKopie = 10000;      // bytes moved per read and write of a copy
inline constexpr int kCekaniNahrazeniMs = 1000;  // one wait for a held target of NahradSoubor
inline constexpr int kCekaniZruseniMs = 100;     // one wait for a held file of ZrusSoubory
inline constexpr int kOpakovaniCekani = 10;      // waits before a held file counts as lost

// Makes `zdroj` become `cil`. The replacement is one atomic step: after a crash there is either
// the old target or the new one, never neither. When the source lies on another volume it is first
// copied next to the target and that copy takes the target's place. While another process holds
// the target the wait window shows "Soubor <cil> není volný - err   32" and the replacement is
// tried again, up to ten times; then "Soubor <cil> nelze zrušit 32" and the source stays as it was.
// A source name with "?" is refused (kIoChybneJmeno), nothing done. 0 when the target was replaced.
int NahradSoubor(std::string_view zdroj, std::string_view cil);

// Deletes every file (not a directory, not a name that starts with ".") that the mask matches,
// from the mask's directory. A file held by another process is waited for ("... není volný při
// errasse - err   32", 100 ms) and tried again up to ten times, then left with the message
// "Soubor <path> nelze zrušit <code>". 0 when every file went, else the code of the last one kept.
int ZrusSoubory(std::string_view maska);

// Copies the source over the target (creating it, and the directories on its path when they are
// missing), cuts the target at the end of the copied data and gives it the source's date and time.
// 0 without doing anything when the source does not exist; otherwise the first failure.
int KopirujSoubor(std::string_view zdroj, std::string_view cil);

// Appends the bytes of the source at the true end of the target (created when missing or empty)
// and then makes the source a normal file (writable). 0 without doing anything when the source is
// missing or empty; otherwise the first failure.
int PripojSoubor(std::string_view zdroj, std::string_view cil);

// Which entry SeznamSouboru writes for a file.
enum class RezimSeznamu {
  Jmena = 0,     // the name
  Casy = 1,      // name + "|" + the packed date and time as 12 digits
  Velikosti = 9, // name + "|" + the size ("### ###   ", or "### ### KB" in thousands) + ";" + date
};

// Fills `tabulka` with one entry per file of size above 0 that the mask matches, each at most
// velikostPolozky - 1 characters, sorted by the bytes of the entries, and returns their count.
// `rezimAMaximum` is five decimal digits: the first the mode (0, 1 or 9), the other four the most
// entries kept; a negative number means mode 9. The first entries in sorted order are kept, so
// the list never depends on the order in which the directory gives its files.
// Each "#" in the name part of the mask stands for one digit: "d####.txt" lists d0012.txt, not
// dab12.txt.
int SeznamSouboru(std::string_view maska, std::vector<std::string>& tabulka, int velikostPolozky,
                  int rezimAMaximum);

// The same for the subdirectories (names only, without "." and ".."), at most `maximum`.
int SeznamSlozek(std::string_view maska, std::vector<std::string>& tabulka, int velikostPolozky,
                 int maximum);

// A date and time packed as the file systems of the suite's programs store it: bits 25-31 the year
// from 1980, 21-24 the month, 16-20 the day, 11-15 the hour, 5-10 the minute, 0-4 the second / 2.
std::uint32_t BalenyCas(const platform::DateTime& kdy);

}  // namespace pz::storage
