// The intent record of a series: what one save of a cash document is about to change, with the
// bytes it changes as they are before the save, written whole beside the series' documents before
// anything is stored, so that a save cut off at any moment is undone by whoever opens the series
// next: the document, its supplement, the steps' writes and the balance are then all absent.
//
// File "PZ" + series + "_.jrn" in the data root (beside "PZ" + series + "_.dta"), little-endian:
//
//   "PZJ1"                          magic
//   u32 n                           number of entries, in the order they are stored
//   n × entry:
//     u8  kind                      'W' bytes into a file, 'S' the balance of a series
//     u16 length, then the name     'W': the data-root file name; 'S': the series number
//     i64 offset                    'W': where the write goes; 'S': 0
//     i64 length                    'W': the file's length before; 'S': 0
//     u32 count                     'W': how many bytes the write stores; 'S': 0
//     u32 length, then the bytes    'W': what those bytes were (as far as the file reached);
//                                   'S': the 6 bytes of the balance before
//   u32 FNV-1a of every byte before it
//
// It is first written as "…_.jr~", synced and renamed, so a ".jrn" is always whole, and it exists
// only while its save is being stored. Recovery: a ".jrn" whose checksum holds is undone from its
// last entry to its first (each old image written back, a file the save lengthened cut back to its
// old length; doing it twice is the same as once) and then removed; one that does not hold, and
// any ".jr~", were never acted on and are removed. Every writer of a series' documents,
// supplements or balance recovers under "STAVZ" + series before it writes, so an old image is
// never written over a later save.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cashdesk/document.h"

namespace pz::cashdesk {

class StavRady;

// The writes of one save, in the order they are to be stored.
class Zamer {
 public:
  struct Polozka {
    char druh = 'W';
    std::string jmeno;
    std::int64_t pozice = 0;
    std::vector<std::uint8_t> bajty;  // 'W': the bytes to store
    Penize stav = 0;                  // 'S': the new balance
  };

  // `bajty` at byte `pozice` of the data-root file `soubor`.
  void Zapis(std::string soubor, std::int64_t pozice, std::vector<std::uint8_t> bajty);
  // The balance of series `rada` becomes `stav`.
  void Stav(std::string rada, Penize stav);
  const std::vector<Polozka>& Polozky() const { return polozky_; }

 private:
  std::vector<Polozka> polozky_;
};

// One entry of the intent record as stored: where a write goes and what it overwrites.
struct PuvodniStav {
  char druh = 'W';
  std::string jmeno;
  std::int64_t pozice = 0;
  std::int64_t delka = 0;           // 'W': the file's length before
  std::uint32_t pocet = 0;          // 'W': bytes the write stores
  std::vector<std::uint8_t> bajty;  // 'W': the bytes it overwrites; 'S': the old balance field
};
std::string ZakodujZamer(const std::vector<PuvodniStav>& polozky);
// Nothing when the bytes are not one whole intent record.
std::optional<std::vector<PuvodniStav>> DekodujZamer(std::string_view bajty);

// The intent record file of a document file ("PZ01_.jrn" for "PZ01_.dta"), as a data-root name.
std::string SouborZameru(const std::string& souborDokladu);

// Stores what `zamer` says for the series of `souborDokladu`: the intent record first, then each
// write, then the record is removed. `stav` is the series' balance, open under its lock. When a
// write fails (or the record cannot be removed), everything is put back as it was and the answer
// is false: nothing stored changed. What cannot be put back now is put back at the next open.
bool ProvedZamer(const Zamer& zamer, const std::string& souborDokladu, StavRady& stav);

enum class Obnova { Nic, Vraceno, Zahozeno, Chyba };
// Undoes the save of an intent record left by a save that was cut off; `stav` open under the
// series' lock. Chyba when it could not be undone (the record stays for the next try).
Obnova ObnovZamer(const std::string& souborDokladu, StavRady& stav);
// The same for series `rada` (its document file `souborDokladu`, "PZ" + series + "_.dta" when
// empty), taking its balance lock only when a record is there.
Obnova ObnovRadu(const std::string& rada, const std::string& souborDokladu = "");

// Files that saves of every series write (the batch, the cash journal, the invoices) are held by a
// save only while it is stored, so a save cut off in one of them is undone only when its own series
// is opened next. Whoever writes such a file before that must have it undone first: otherwise it
// builds on bytes the undo takes back (a payment of an invoice that was never made) and the undo
// later writes the old bytes over its own (its payment lost). Called holding the write lock of
// every path in `zamcene` (data-root paths as locked): the intent records of other series than
// the one of `vlastniDoklady` that write any of them are undone under their series' lock. While a
// station holds a lock, no save elsewhere can be storing into that file, so such a record was cut
// off. False, with the user told, when one could not be undone now (its series' lock is held by
// another station, which is about to undo it); nothing may then be written.
bool VratPrerusenaUlozeni(const std::vector<std::string>& zamcene, const std::string& vlastniDoklady = "");
// Registers VratPrerusenaUlozeni as the storage layer's hook, for the writers of those files that
// live below the cash desk (the journal of the batch, its correction run, appends to it).
void RegistrujVraceniPrerusenych();

}  // namespace pz::cashdesk
