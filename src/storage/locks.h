// Advisory locks between workstations: one lock per file and station, kept either in the sharing
// table "FOT.tab" of the locked file's directory or, when the installation names one, by the lock
// server. A read lock says "this station has the file open"; a write lock says "this station
// changes it and nobody else may have it open".
//
//   - lock identity     directory + 12-character name + 4-character user field
//   - Zamkni ...        lock, unlock, "is it free of others", "make my locks one write lock"
//   - server link       LockLink, the request channel the shell registers (TfClient)
//   - JMENA.tab         the names of the user numbers
//   - ZamcenySoubor     a record file opened under a lock, read or written in sequence, logged
//   - sharing hook      the record files' Sharing hook backed by these locks
//
// Sharing table "FOT.tab": 1980 bytes, 99 entries of 20 bytes: name (length byte 12 + 12
// characters), user (length byte 4 + user number + 2 blanks), mode (length byte 1 + "R"/"W");
// a free entry is blanks. The earlier 460-byte table (23 entries) is read as far as it goes and
// written back at full size. Whoever has the table open (exclusively) is the only one reading
// and changing it; it is never held open while a window waits for the user.
//
// Waits (a blocked table, a conflicting lock, a full table, a busy server) are wait windows with
// a timer; the user can always give up, and then the lock is not held.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace pz::storage {

inline constexpr size_t kPolozekSdileni = 99;
inline constexpr size_t kPolozkaSdileni = 20;
inline constexpr size_t kVelikostSdileni = kPolozekSdileni * kPolozkaSdileni;  // 1980
inline constexpr size_t kStaraVelikostSdileni = 460;                             // 23 entries
inline constexpr size_t kJmenoZamku = 12;      // characters of the name a lock is kept under
inline constexpr size_t kUzivatelZamku = 4;    // user number + two blanks
inline constexpr size_t kNejdelsiCestaZamku = 255;
inline constexpr int kCekaniZamkuMs = 1000;    // wait window of the sharing table
// The sharing table another station has open (it holds it only while it reads and writes it) is
// tried again for this long before the wait window shows.
inline constexpr int kKratkeCekaniMs = 200;
inline constexpr int kCekaniServeruMs = 2000;  // wait window of the lock server
inline constexpr int kPosilaniServeru = 51;    // sends of one round before the wait window

// What the caller of Zamkni may do next.
enum class Zamek {
  Drzen,      // the lock is held: call Odemkni when done
  Nepotreba,  // locking does not apply to this file (switched off, working directory, bare name)
  Ignorovan,  // the sharing table stayed blocked and the user chose to ignore file protection
  Nedrzen,    // no lock: the table or the server failed, or the user gave up waiting
};
// True unless the lock was refused: the caller may go on (and holds the lock only for Drzen).
inline bool MuzePokracovat(Zamek z) { return z != Zamek::Nedrzen; }
// True when the last Zamkni of this process was refused because the lock server did not answer
// (not because another station holds the file).
bool ServerZamkuNeodpovedel();

// Locks `path` (already resolved by DataCesta): mode "W" asks for a write lock, any other mode
// (empty or "R") for a read lock. A station may hold several read locks on one file; a write
// lock conflicts with every lock on the file, this station's own included.
Zamek Zamkni(std::string_view path, std::string_view mode = "");
// Removes one lock of this station on the file (the first one found).
void Odemkni(std::string_view path);
// Empty when no other station holds a lock on the file; otherwise "mode user name" of the first
// other holder, upper-cased ("R 02 JAN NOVÁK ..."). This station's own locks never count.
std::string IfVolny(std::string_view path);
// When no other station holds the file, turns all of this station's locks on it into one write
// lock and answers true; otherwise changes nothing and answers false.
bool Premkni(std::string_view path);
// True when this station still holds a lock on the file (any mode), asked of the table or the
// server now: a lock can be lost behind the holder's back (a lock server that restarted and gave
// it to another station meanwhile). True when locking does not apply to the file.
bool DrziZamek(std::string_view path);

// The path under which a resource that is no file is locked ("PZ01", "STAVZ01", "ZPORA4",
// "ORGANIZA.CE"): in the data root, so that every station locks the same name.
std::string CestaZamku(std::string_view token);

// The parts of a lock request for `path`, or nullopt when locking does not apply to it.
struct IdentitaZamku {
  std::string adresar;  // upper-cased, up to and including the last separator
  std::string jmeno;    // 12 characters, blank-padded
  std::string uzivatel; // 4 characters: this station's user number and two blanks
};
std::optional<IdentitaZamku> IdentitaZamkuPro(std::string_view path);
// This station's user field.
std::string UzivatelZamku();

// ---------------------------------------------------------------------------------------------
// Lock server link

// One request-and-reply exchange with the lock server; the text sent is
// prikaz + "<" + adresar + ">" + jmeno + "#" + rezim + "$" + uzivatel. Nullopt when the link
// failed or no reply came in time (the link has then shown "Err " + code).
class LockLink {
 public:
  virtual ~LockLink() = default;
  virtual std::optional<std::string> vymena(const std::string& prikaz, const std::string& adresar,
                                            const std::string& jmeno, const std::string& rezim,
                                            const std::string& uzivatel) = 0;
  // True when the link knows the lock of `uzivatel` on adresar + jmeno as held now. A link that
  // keeps no record of its locks answers true.
  virtual bool drzi(const std::string& /*adresar*/, const std::string& /*jmeno*/, const std::string& /*uzivatel*/) {
    return true;
  }
};
// The registered link; nullptr while none is registered.
LockLink* lockLink();
void setLockLink(LockLink* link);

// ---------------------------------------------------------------------------------------------
// User names

// Record n of "JMENA.tab" (program root, 100 records of a length byte + 24 characters) for the
// user field starting with the number n: always 24 characters. A missing table is created with
// 100 blank names; any failure gives 24 blanks.
std::string JmenoUzivatele(std::string_view uzivatel);

// ---------------------------------------------------------------------------------------------
// Locked sequential file

// Opens a data file under a lock (read lock for mode "I", write lock otherwise), reads or writes
// it record by record and logs the open and the close in the event log.
//   "I" input: the file must exist or is created; reading from record 1
//   "A" append: writing after the last record ("O" when the file had to be created)
//   "O" output: the file is created anew
//   other letters: read and write from record 1
class ZamcenySoubor {
 public:
  ZamcenySoubor() = default;
  ~ZamcenySoubor();
  ZamcenySoubor(const ZamcenySoubor&) = delete;
  ZamcenySoubor& operator=(const ZamcenySoubor&) = delete;

  // False when the lock was refused or the file could not be opened ("Chyba  32 při otevírání
  // ..."); then no lock is left behind.
  bool Otevri(std::string_view name, char mode, std::int32_t recordSize);
  bool Cti(std::string& record);          // the current record; false at a failed read
  bool Pis(std::string_view record);      // writes the current record (cut or zero-padded)
  bool Konec() const { return pocet_ < aktualni_; }
  void Zavri();

  bool otevren() const { return file_.isOpen(); }
  std::int32_t pocet() const { return pocet_; }
  std::int32_t aktualni() const { return aktualni_; }
  const std::string& cesta() const { return cesta_; }

 private:
  platform::File file_;
  char mode_ = 0;
  std::string cesta_;
  std::string jmeno_;
  std::int32_t velikost_ = 0;
  std::int32_t aktualni_ = 1;
  std::int32_t pocet_ = 0;
  Zamek zamek_ = Zamek::Nedrzen;
};

// ---------------------------------------------------------------------------------------------
// Record files' sharing hook

// Registers these locks as the record files' Sharing hook (nullptr-safe to call more than once);
// ZrusSdileniZamku restores the default.
void RegistrujSdileniZamku();
void ZrusSdileniZamku();

}  // namespace pz::storage
