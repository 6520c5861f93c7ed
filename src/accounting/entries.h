// Accounting entries tUcZapis: the 138-byte record every posting ends in, the voucher counters,
// the batch files of unattached entries ("PZUC.dta") and the ledger ("uc01.dta"), and the
// balance sums. A batch is a plain sequence of entries with no header.
//
//   - record        tUcZapis, its offsets, reading and writing it byte for byte
//   - agenda marks  the 17 marks the suite knows; the agenda of a batch from its file name
//   - counters      DalsiRadekUP / DalsiZapisUP: voucher number and line as one 8-digit text
//   - batch files   whole-batch read (refusing a size that is no whole number of entries),
//                   the atomic rewrite, PridejDoDavky
//   - sums          debit and credit sums in ten-thousandths
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/fields.h"

namespace pz::accounting {

// Offsets of the entry record's fields; every text is a short string of the given width.
namespace ucZapis {
inline constexpr int kVelikost = 138;
inline constexpr std::size_t kAgenda = 0;     // 2
inline constexpr std::size_t kCisloUP = 3;    // 6
inline constexpr std::size_t kRadek = 10;     // 2
inline constexpr std::size_t kText = 13;      // 30
inline constexpr std::size_t kUcetMD = 44;    // 6
inline constexpr std::size_t kStrMD = 51;     // 5
inline constexpr std::size_t kZakMD = 57;     // 20
inline constexpr std::size_t kUcetDal = 78;   // 6
inline constexpr std::size_t kStrDal = 85;    // 5
inline constexpr std::size_t kZakDal = 91;    // 20
inline constexpr std::size_t kCastka = 112;   // int64 little-endian, ten-thousandths
inline constexpr std::size_t kDatum = 120;    // 6, DDMMYY
inline constexpr std::size_t kParUdaj = 127;  // 10
}  // namespace ucZapis

inline constexpr const char* kBezUctu = "000000";
inline constexpr const char* kBezStrediska = "00000";

struct tUcZapis {
  std::string agenda, cisloUP, radek, text;
  std::string ucetMD = kBezUctu, strMD = kBezStrediska, zakMD;
  std::string ucetDal = kBezUctu, strDal = kBezStrediska, zakDal;
  std::int64_t castka = 0;  // ten-thousandths of a crown
  std::string datum, parUdaj;

  bool maMD() const { return ucetMD != kBezUctu; }
  bool maDal() const { return ucetDal != kBezUctu; }
  // Carries nothing: a zero amount or no account on either side. Dropped when a batch is written.
  bool prazdny() const { return castka == 0 || (!maMD() && !maDal()); }
  friend bool operator==(const tUcZapis&, const tUcZapis&) = default;
};

// The fields as stored; a damaged length byte reads as the field's width.
tUcZapis RozeberZapis(storage::ConstBytes veta);
// The 138 bytes; texts longer than their field are cut, the rest of a field is zeros.
std::vector<std::uint8_t> SlozZapis(const tUcZapis& z);
void PisZapis(storage::Bytes veta, const tUcZapis& z);

// ---- Agenda marks.
const std::vector<std::string>& ZnamyAgendy();
bool ZnamaAgenda(std::string_view agenda);
// The agenda of an entry file: the first two characters of the name, or the second and third
// when it begins with "=", upper-cased; the directory part of a literal path is left out.
std::string AgendaSouboru(std::string_view jmeno);

// ---- Voucher counters: characters 1-6 the voucher number, 7-8 the line.
// Lines of one voucher: characters 1-4 kept, 5-6 and 7-8 read as a and b, written back as
// a·100 + b + 1 in four digits, or a·100 + 101 when b + 1 passes 99. Nullopt when the result
// would not fit (99 and 99): the counter is never made longer than eight characters.
std::optional<std::string> DalsiRadekUP(std::string_view citac);
// The journal's counter: characters 1-2 kept, 3-6 read as a, written in six digits.
std::optional<std::string> DalsiZapisUP(std::string_view citac);
// The message shown when a counter has reached its end.
std::string ZpravaPreteceniCitace(std::string_view citac);

// ---- Sums.
struct Strany {
  std::int64_t md = 0, dal = 0;
  std::int64_t rozdil() const {  // stops at the end of the range, as the sums do
    std::int64_t r;
    if (__builtin_sub_overflow(md, dal, &r)) return md > 0 ? INT64_MAX : INT64_MIN;
    return r;
  }
};
// Debit and credit sums of the entries with a non-zero amount, "SA" entries left out. The
// journal's check (bez701000) also leaves out each side booked on account 701000.
Strany SoucetStran(const std::vector<tUcZapis>& zapisy, bool bez701000);

// ---- Batch files. Names go through DataCesta ("=" + path for a literal path).
// Every entry of the file; a missing file is an empty batch. False with a message when the file
// cannot be read or its size is not a whole number of entries (it is then never appended to).
bool CtiDavku(std::string_view jmeno, std::vector<tUcZapis>& zapisy);
// Rewrites the entry file with exactly these entries: a work file beside it, which then replaces
// it in one step. The caller holds the file's write lock; when `zamceno`, a lock lost meanwhile
// (a restarted lock server) refuses the replacement. False (with the message) when any step
// failed; the file is then byte for byte as it was.
bool PrepisDavku(std::string_view jmeno, const std::vector<tUcZapis>& zapisy, bool zamceno);

// The same on a resolved path, as raw bytes: the file as it is (empty when missing), or nullopt
// after the message when it cannot be read or is no whole number of entries.
std::optional<std::string> BajtyDavky(const std::string& cesta);
// Makes `obsah` the file at the resolved path through a work file beside it and one replacement,
// as PrepisDavku does; false (after the message) with the file as it was.
bool NahradBajty(const std::string& cesta, const std::string& obsah, bool zamceno);

// Appends the entries of one voucher to the batch, under the batch's write lock: entries that
// carry nothing are skipped; when `pripona` is given the text becomes its first 28 characters
// followed by the suffix; the first copied entry keeps its voucher and line, each further one
// gets DalsiRadekUP of the one before. The counter after the last copied entry comes back (a
// line above 90 counts as 99, so it points to line 01 of the next voucher), or empty text when
// nothing was copied. Nullopt when the lock, the batch's size, a counter or a write failed: the
// batch is then as it was.
std::optional<std::string> PridejDoDavky(const std::vector<tUcZapis>& zapisy, std::string_view davka,
                                         std::string_view pripona = {});

}  // namespace pz::accounting
