// The file sort behind order files and whole-record sorts: an external merge sort of fixed-size
// entries that begin with a key, a length byte followed by the key's characters. Keys compare byte
// by byte as unsigned characters, and a key that is the beginning of a longer one comes first;
// alphabetical columns are turned into collation keys (CeskyKlic, KlicSloupce) beforehand, so that
// this order is Czech alphabetical order.
//
//   - TridiciStroj    the engine: runs of at most 250000 entries sorted in memory, written to a
//                     work file "SORT" + four digits + ".WRK" in the working directory when there
//                     are more, then merged from it; at most 10000000 entries in all
//   - SetridSoubor    sorts "pracovni.wrk" (entries of 59 bytes for the record form) into 8-byte
//                     order entries
//   - VytvorPoradi    the record form's entry: keys of records 1..n become an order file, which
//                     is replaced only when the sort succeeded
//   - SetridVety      a record file written out whole, in key order, into a work file that the
//                     caller then puts in its place (NahradSoubor)
//
// Entries with equal keys keep their input order. Status codes: 0 sorted, 8 an entry size of 1
// byte or less (nothing done), 9 more than 10000000 entries (the rest not taken), any other value
// the I/O code that stopped the sort.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace pz::storage {

inline constexpr int kStavSetrideno = 0;
inline constexpr int kStavMalaPolozka = 8;
inline constexpr int kStavPrilisMnoho = 9;

inline constexpr std::int64_t kPametTrideni = 32000000;  // bytes of entries held in memory
inline constexpr std::int32_t kNejdelsiBeh = 250000;     // entries sorted in memory at a time
inline constexpr std::int64_t kNejvicPolozek = 10000000; // entries one sort takes

// The sort input of the record form: a key (short string of 50: length byte + 50 characters),
// then the record number twice (signed 32-bit, little-endian); the sorted output is the last 8
// bytes of each entry.
inline constexpr std::int32_t kPolozkaTrideni = 59;
inline constexpr std::int32_t kDelkaKlice = 50;
inline constexpr std::int32_t kPolozkaPoradi = 8;
inline constexpr const char* kPracovniSoubor = "pracovni.wrk";

// The limits of one sort; tests shrink them to reach the disk merge and the entry limit cheaply.
struct LimityTrideni {
  std::int64_t pamet = kPametTrideni;
  std::int32_t beh = kNejdelsiBeh;
  std::int64_t polozek = kNejvicPolozek;
};

// Called now and then while a sort runs: entries done so far of all entries. The record form
// passes one that moves the progress of its flashing message; a sort works the same without.
using PrubehTrideni = std::function<void(std::int64_t hotovo, std::int64_t celkem)>;

// What a sort did, for the caller's log and for tests.
struct InfoTrideni {
  std::int64_t polozek = 0;     // entries taken
  int behu = 0;                 // runs written to the work file (0: everything fitted in memory)
  std::string pracovniSoubor;   // the work file's name while it existed, else empty
};

class TridiciStroj {
 public:
  // `velikost` bytes an entry; entries are collected in memory and, beyond one run, in a work
  // file in `adresar` (the working directory when empty).
  explicit TridiciStroj(std::int32_t velikost, LimityTrideni limity = {}, std::string adresar = {});
  ~TridiciStroj();  // deletes the work file when it still exists
  TridiciStroj(const TridiciStroj&) = delete;
  TridiciStroj& operator=(const TridiciStroj&) = delete;

  // Tells how many entries will come, so that memory for them (at most one run) is taken at once
  // instead of growing.
  void Ocekavej(std::int64_t polozek);
  // Takes one entry (velikost bytes). False when the sort has stopped (an I/O error) or is full
  // (status 9); a full sort still sorts and hands out what it took.
  bool Pridej(const std::uint8_t* polozka);
  // Hands every entry taken to `vystup` in ascending key order, then deletes the work file. A
  // non-zero answer of `vystup` stops it and becomes the status. The final status.
  int Vydej(const std::function<int(const std::uint8_t*)>& vystup, const PrubehTrideni& prubeh = {});

  int stav() const { return stav_; }
  std::int32_t velikost() const { return velikost_; }
  std::int32_t kapacitaBehu() const { return kapacita_; }
  const InfoTrideni& info() const { return info_; }

 private:
  struct Polozka;  // the first key bytes + position in the run, for the in-memory sort
  void seradBeh();
  int zapisBeh();
  int zalozPracovni();
  int vydejZPameti(const std::function<int(const std::uint8_t*)>& vystup, const PrubehTrideni& prubeh);
  int vydejSlitim(const std::function<int(const std::uint8_t*)>& vystup, const PrubehTrideni& prubeh);
  void zrusPracovni();

  std::int32_t velikost_;
  LimityTrideni limity_;
  std::string adresar_;
  std::int32_t kapacita_ = 0;
  int stav_ = kStavSetrideno;
  std::vector<std::uint8_t> buffer_;      // the current run's entries
  std::vector<Polozka> poradi_;           // the run's order
  std::int32_t vBehu_ = 0;
  std::vector<std::int64_t> delkyBehu_;   // entries of each run on disk
  platform::File pracovni_;
  std::string jmenoPracovniho_;
  InfoTrideni info_;
};

// Sorts the entries of `soubor` (entries of `velikost` bytes; a partial last entry is ignored)
// and rewrites it with the last 8 bytes of each entry in key order. The file is rewritten only
// when the sort got as far as its output; after status 8 or an I/O error it is as it was.
int SetridSoubor(std::string_view soubor, std::int32_t velikost, const PrubehTrideni& prubeh = {},
                 const LimityTrideni& limity = {}, InfoTrideni* info = nullptr);
// The same on "pracovni.wrk" of the working directory.
int SetridSoubor(std::int32_t velikost);

// The key of record `cislo` (already a collation key or a widened date with the record number at
// its end, as KlicSloupce gives it); longer keys are cut to kDelkaKlice characters.
using KlicVety = std::function<std::string(std::int32_t cislo)>;

// Writes "pracovni.wrk" with the keys of records 1..pocet, sorts it, and makes it the order file
// `cestaPoradi`: entry k names the record at row k and, in its second field, the row at which
// record k stands. The order file is replaced only after a sort with status 0; otherwise the
// message says why, "pracovni.wrk" is deleted and the old order file stays as it was. The caller
// closes its own open of the order file first (a file held open cannot be replaced). 0, or the
// status or I/O code that stopped it.
int VytvorPoradi(std::string_view cestaPoradi, std::int32_t pocet, const KlicVety& klic,
                 const PrubehTrideni& prubeh = {});

// The key of a whole record; longer keys are cut to the key width of the sort.
using KlicZaznamu = std::function<std::string(std::span<const std::uint8_t> veta, std::int32_t cislo)>;
// Whether a record goes into the sorted file (a compaction leaves deleted records out).
using PonechVetu = std::function<bool(std::span<const std::uint8_t> veta)>;

// Reads the records of `zdroj` (`velikostVety` bytes each) and writes them whole into `cil`
// (created anew) in ascending order of their keys; records with equal keys keep their order.
// Bytes of a partial last record follow unchanged, so nothing of the file is lost. The caller
// holds the file to itself (Premkni) and then replaces it by `cil` (NahradSoubor; a work file in
// the same directory keeps that one step). On any status but 0, `cil` is deleted and the record
// file is untouched. 0, 9 over 10000000 records, or the I/O code. With `ponech`, only the records
// it keeps are written (the partial tail is then dropped too).
int SetridVety(std::string_view zdroj, std::int32_t velikostVety, const KlicZaznamu& klic,
               std::string_view cil, std::int32_t delkaKlice = kDelkaKlice, const PrubehTrideni& prubeh = {},
               const PonechVetu& ponech = {});

}  // namespace pz::storage
