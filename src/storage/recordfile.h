// Record files: plain files of fixed-length records, no header, one file per table, shared by
// every workstation on the data root. Record n (from 1) lies at (n - 1) * size; the record count
// is the file length divided by the size, rounded down, so a partial last record is not counted.
//
//   - sharing hook      Sharing: the sharing-table calls the record files make (no-op default)
//   - RecordFile        open or create, count, read, write, append, reopen
//   - order files       path with its last character replaced by 1..4; 8-byte entries
//                       (record number, row of record k), giving up to four browse orders
//   - counter key       appends since the last sort, kept in the data root's "master.job"
//   - key searches      HledejKlic / HledejZacatek over a sorted part plus appended records
//   - change checksum   KontrolniSoucet, and the byte-for-byte comparison that the edit uses
//   - hooks             PoCteni / PredZapisem while the GDPR switch is on, KlicRadku for searches
//
// Everything runs on the user-interface thread. Failures come back as false and show the fixed
// messages ("Uz: 01 cte soubor: kursy.dta err      5"); nothing is retried.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace pz::storage {

// ---------------------------------------------------------------------------------------------
// Sharing hook

// The calls the record files make into the sharing table of the workstations. Until the locking
// layer registers itself, every lock counts as held and every file as free.
class Sharing {
 public:
  virtual ~Sharing() = default;
  // Registers `path`; `mode` 0 is a lock without a mode letter, 'W' a write lock. True when held.
  virtual bool Zamkni(const std::string& path, char mode);
  virtual void Odemkni(const std::string& path);
  // Who else holds `path`, or empty text when nobody does.
  virtual std::string IfVolny(const std::string& path);
  // After a Zamkni that answered false: true when the lock was refused (the sharing table or the
  // lock server failed, or the user gave up waiting), false when locking does not apply to the
  // file or the user chose to go on without file protection. A refused lock is never held.
  virtual bool Odmitnuto() const { return false; }
};

Sharing& sharing();
void setSharing(Sharing* s);  // nullptr restores the default

// ---------------------------------------------------------------------------------------------
// Record file

// A record size of at least this much asks OtevriSoubor for the order files as well.
inline constexpr std::int32_t kSPoradim = 10000;
inline constexpr int kPoradi = 4;  // order files per record file

// Which buffer a read filled, for the after-read hook.
enum class Buffer { Record, Compare };

class RecordFile {
 public:
  RecordFile();
  virtual ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // The browse rows of the owner that open, reopen and append keep consistent with the count.
  struct Rows {
    std::int32_t current = 0;     // current row; 0 when the file is empty
    std::int32_t top = 0;         // rows above the first visible one
    std::int32_t visible = 0;     // rows shown now
    std::int32_t maxVisible = 0;  // rows the grid can show
    bool gridVisible = false;
  };
  Rows rows;

  // --- opening -------------------------------------------------------------------------------

  // Asks the next OtevriSoubor to keep the counter key of appended records (one open only).
  void PozadujPocitadlo() { counterRequested_ = true; }
  // Asks the next OtevriSoubor to take no lock: for files of this station alone (report files
  // shown in the viewer), which other stations never see (one open only).
  void BezZamku() { withoutLock_ = true; }

  // Opens the record file, or creates it when it is missing or shorter than 2 bytes. `name`
  // goes through DataCesta unless it starts with "=" (a literal path). A size of kSPoradim or
  // more asks for the order files too; the record size is then size - kSPoradim. An existing
  // file that cannot be opened or measured is never created anew: the message "Uz: 01 otvira
  // soubor: name err      5" is shown and the result is false. An empty name opens nothing.
  bool OtevriSoubor(std::string_view name, std::int32_t size);
  void ZavriSoubor();
  // Opens the file again and recounts, so that other stations' appends (and a file replaced
  // by a sort) become visible; the order files are opened again too. When the reopen fails the
  // file stays open as it was.
  bool ObnovSoubor();

  // --- records -------------------------------------------------------------------------------

  // Row n through the active order into the record buffer / the compare buffer. Nothing
  // happens outside 1..count.
  virtual bool CtiVetu(std::int32_t n);
  virtual bool CtiPuvodni(std::int32_t n);
  // Writes the record buffer as row n. A row that the order file maps to a record that does
  // not exist is refused with a message, never written elsewhere.
  virtual bool PisVetu(std::int32_t n);
  // Appends the record buffer at the true end of the file (another station may have appended
  // since our last count); the record count becomes that record's number. Every open order
  // file gets the entry (n, n) at its own place n, and the counter key grows by one.
  virtual bool PridejVetu();
  // Record number `record` itself, without the order mapping (same messages, same hooks).
  bool CtiVetuPrimo(std::int32_t record);
  bool PisVetuPrimo(std::int32_t record);

  // --- orders --------------------------------------------------------------------------------

  // The record shown at row n in the active order; n itself outside 1..count, in file order,
  // or past the end of the order file. CisloZPoradi2: the row of record n.
  virtual std::int32_t CisloZPoradi(std::int32_t n) const;
  virtual std::int32_t CisloZPoradi2(std::int32_t n) const;
  // Makes order i (0 = file order) active when its file has entries; false otherwise.
  bool NastavPoradi(int i);
  int poradi() const { return activeOrder_; }
  std::int32_t pocetPoradi(int i) const { return i >= 1 && i <= kPoradi ? orders_[i - 1].count : 0; }

  // --- searches ------------------------------------------------------------------------------

  // Rows 1..serazeno() are in ascending key order (byte order of the key texts), the rest were
  // appended since. The position of the key, or minus the last position examined. The answer is
  // the bisection's, but the rows are read a few blocks at a time: where the keys of the nearest
  // rows read place the key, and first where the keys earlier searches of this open file read
  // place it (those keys are only guesses; every answer comes from what this search reads).
  std::int32_t HledejKlic(std::string_view key);
  // The position of a key that starts with `text` (at most 80 characters), found by bisection
  // of the sorted part only (read as HledejKlic reads it), or minus the last midpoint.
  std::int32_t HledejZacatek(std::string_view text);

  // --- reading in blocks ---------------------------------------------------------------------

  // While one lives, the file's records and the active order's entries are read from whole
  // blocks (of `blokDat` and `blokPoradi` bytes), each block read with one call and kept until
  // it ends (at most `nejvicBloku` of each at a time, the oldest dropped first), so that a pass over many rows or the
  // probes of one key search cost a few large reads instead of one small read per record. It is
  // meant for one search pass or one lookup, which change nothing: the blocks are dropped at its
  // end (and at any write or append meanwhile), so that other stations' writes are seen again.
  // An inner one while another lives changes nothing.
  class CteniVBlocich {
   public:
    CteniVBlocich(RecordFile& f, size_t blokDat, size_t blokPoradi, size_t nejvicBloku);
    ~CteniVBlocich();
    CteniVBlocich(const CteniVBlocich&) = delete;
    CteniVBlocich& operator=(const CteniVBlocich&) = delete;

   private:
    RecordFile* f_ = nullptr;  // null for an inner one
  };
  // Reads records first..last (file order, 1-based) as one block now, when blocks are in use.
  void NactiBlok(std::int32_t first, std::int32_t last) const;
  // The bytes of row n (through the active order) as the blocks hold them, valid until the
  // next read, or nullptr when no blocks are in use or they cannot give it (the caller then
  // reads the row as usual, with its messages). No hook runs; the record counts as read.
  const std::uint8_t* VetaZBloku(std::int32_t n);

  // --- change check --------------------------------------------------------------------------

  // The sum of the record buffer's bytes (each 0..255).
  std::int32_t KontrolniSoucet() const;
  // True when the compare buffer holds exactly the bytes of the record buffer. A checksum
  // misses a change that keeps the byte sum ("12" -> "21"); an edit compares this way.
  bool ShodaSPuvodni() const { return buffer_ == compare_; }

  // --- hooks of the owner --------------------------------------------------------------------

  // While the GDPR switch is on: after each read, on the buffer that was read; before each
  // write, on the copy of the record buffer that is written (the record buffer itself stays as
  // the owner sees it).
  virtual void PoCteni(std::span<std::uint8_t> bytes, Buffer which);
  virtual void PredZapisem(std::span<std::uint8_t> bytes);
  // The key text of row n, for the key searches.
  virtual std::string KlicRadku(std::int32_t n);
  // After an append, when the grid is visible.
  virtual void PrekresliRadky();

  // --- state ---------------------------------------------------------------------------------

  bool otevren() const { return file_.isOpen(); }
  std::int32_t pocet() const { return count_; }
  std::int32_t serazeno() const { return sorted_; }
  std::int32_t velikost() const { return size_; }
  const std::string& jmeno() const { return name_; }
  const std::string& cesta() const { return path_; }
  const std::string& klicPocitadla() const { return counterKey_; }
  std::int32_t pocitadlo() const { return counter_; }
  std::int32_t posledni() const { return lastRecord_; }  // physical record last read or written

  std::vector<std::uint8_t>& veta() { return buffer_; }
  const std::vector<std::uint8_t>& veta() const { return buffer_; }
  std::vector<std::uint8_t>& puvodni() { return compare_; }
  const std::vector<std::uint8_t>& puvodni() const { return compare_; }

  // The path of order file i for a record file path.
  static std::string CestaPoradi(std::string_view path, int i);

 private:
  struct Order {
    platform::File file;
    std::int32_t count = 0;
  };

  int otevriData(platform::File& f, bool& created);
  void otevriPoradi();
  void zavriPoradi();
  void prectiPocitadlo();
  void nastavPocet(std::int64_t bytes);
  void upravRadky();
  bool cti(std::int32_t record, std::vector<std::uint8_t>& into, Buffer which);
  bool pis(std::int32_t record);
  // Row n mapped through the active order, or 0 when the order file names a record that does
  // not exist.
  std::int32_t mapuj(std::int32_t n, int field) const;
  void pridejDoPoradi(std::int32_t record);

  struct Bloky;
  // Bytes of record `index` (from 0) of `f` through the blocks `b`, or nullptr when they cannot
  // give it (then the caller reads as without blocks, with its messages).
  static const std::uint8_t* zBloku(Bloky& b, const platform::File& f, std::int64_t index, std::int64_t total);
  void zahodBloky() const;
  // A row read by a key search and its key.
  struct Znamy {
    std::int32_t n = 0;
    std::string k;
  };
  std::int32_t bisekce(std::int32_t lo, std::int32_t hi, Znamy& dolni, Znamy& horni, std::string_view t, size_t delka,
                       std::int32_t& last);
  bool zNapovedy(std::string_view t, size_t delka, Znamy& d, Znamy& h);
  void zapamatuj(Znamy z);
  std::string klicDo(std::int32_t n, size_t delka);
  std::int32_t klicuNaBlok() const;

  platform::File file_;
  mutable std::unique_ptr<Bloky> blokyDat_, blokyPoradi_;
  std::array<Order, kPoradi> orders_;
  bool withOrders_ = false;
  int activeOrder_ = 0;
  std::string name_, path_;
  std::int32_t size_ = 0;
  std::int32_t count_ = 0;
  std::int32_t sorted_ = 0;
  bool counterRequested_ = false;
  bool withoutLock_ = false;
  std::string counterKey_;
  std::int32_t counter_ = 0;
  std::int32_t lastRecord_ = 0;
  bool registered_ = false;
  std::vector<std::uint8_t> buffer_, compare_;
  // Keys earlier key searches read, in row order, with the sorted count they were read at: they
  // only say where to read first, never an answer, so that other stations' writes are seen.
  std::vector<Znamy> napoveda_;
  std::int32_t napovedaSerazeno_ = -1;
};

// ---------------------------------------------------------------------------------------------
// Messages (cp1250). Each piece is appended to the text so far and the result cut to the next
// limit, as the fixed messages of the storage layer are built; the code is right-aligned in six.

std::string ZpravaOtevreni(std::string_view name, int code);  // "Uz: 01 otvira soubor: ..."
std::string ZpravaCteni(std::string_view name, int code);     // "Uz: 01 cte soubor: ..."
std::string ZpravaZapisu(std::string_view name, int code);    // "Uz: 01 pise soubor: ..."
std::string ZpravaSouboru(std::string_view path, int code);   // "Uz: 01 Soub: ..."

}  // namespace pz::storage
