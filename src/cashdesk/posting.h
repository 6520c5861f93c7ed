// The posting of a saved cash document: its accounting entries (the cash side, the counter side
// and a rounding entry that balances them), checked by the cashier in the voucher window and
// appended to the cash desk's batch "PZUC.dta" under one voucher (UP) number; in cash-journal mode
// lines of the cash journal instead (README, "The cash journal").
//
// The entries are built by a pure function (SestavZapisy) from the document, the window's posting
// memory and the chart of accounts. The save step asks for the UP number once per opening of the
// cash desk window, shows the proposal, and in the commit, under the batch's write lock, numbers
// the entries from the counter stored in the data root ("PZUP" + series) or from the window's own,
// whichever is further on, so that two stations never share a (UP, line) pair. The entries, the
// posting mark "U" and the document go into one intent record; the stored counter is moved on
// before it (a save that then fails leaves a gap in the numbers, never a number used twice).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accounting/entries.h"
#include "cashdesk/document.h"
#include "cashdesk/saving.h"

namespace pz::cashdesk {

// What the posting remembers while a cash desk window is open.
struct PametZauctovani {
  std::string ucetPokladny = accounting::kBezUctu;  // cash account and its cost centre
  std::string strPokladny = accounting::kBezStrediska;
  std::string skupinaVynosu = "6";    // revenue accounts: the first chart account beginning so
  std::string skupinaNakladu = "518";  // expense accounts
  std::string stredisko = accounting::kBezStrediska;  // cost centre of revenues and expenses
  // The receivable and payable accounts of the invoice last paid: a paying document posted again
  // after an edit (no longer linked to its invoice) proposes them.
  std::string ucetPohledavek = accounting::kBezUctu, strPohledavek = accounting::kBezStrediska;
  std::string ucetZavazku = accounting::kBezUctu, strZavazku = accounting::kBezStrediska;
  std::string strPodrozvahy = accounting::kBezStrediska;  // cash side of invoice payments
  // The last voucher number and line used, 8 digits; asked once per opening.
  bool upZadano = false;
  std::string posledni = "00000000";
  // Entries a further posting adds to a document's proposal (they stay in its voucher).
  std::function<std::vector<accounting::tUcZapis>(const PokladniDoklad&)> doplnek;

  // A window opens on series `rada`: everything starts again (the extension stays).
  void Zacni(const RadaPokladny& rada);
};
PametZauctovani& pametZauctovani();

// The parts of a document's items the counter side is made of.
struct PolozkaUctovani {
  std::string ucet;        // the item's account (its first three characters are its group)
  std::string analytika;   // three characters: the VAT analytic of the item's rate
  std::string stredisko;   // five characters
  std::int64_t castka = 0;  // price with VAT, ten-thousandths
};
struct PolozkyDokladu {
  char typ = 0;  // 0 none, 'T' text items, 'P' invoicing subjects
  std::int64_t soucetT = 0;  // 'T': the sum of prices with VAT, ten-thousandths
  std::vector<PolozkaUctovani> predmety;  // 'P'
};

// The first account of the chart that begins with a group, empty text when none does.
using PrvniUcetSkupiny = std::function<std::string(const std::string& skupina)>;

inline constexpr std::size_t kNejvicKlicu = 50;
inline constexpr const char* kUcetZaokrouhleni = "648000";

// The entries of a document, in order: cash, counter entries, a rounding entry on 648000 when the
// paid crowns and the counter entries differ by a haléř or more (on the credit side, with the sign
// that balances). Voucher numbers and lines are left empty. Nullopt when the items have more than
// kNejvicKlicu keys. Nothing for a document paid 0 Kč.
// A paying document ("O", "D") takes its counter entries from the payment `platba` booked at
// its save (ZapisyPlatby: the receivable or payable entry and the exchange difference, which
// leaves nothing to round for a foreign invoice); without one (an edited document, no longer
// linked) a single counter entry of the crowns paid on the remembered receivable or payable
// account, and no rounding entry. Its entries reference the document number (ParovaciUdajPlatby).
std::optional<std::vector<accounting::tUcZapis>> SestavZapisy(const PokladniDoklad& d, const RadaPokladny& rada,
                                                              const PametZauctovani& pamet,
                                                              const PolozkyDokladu& polozky,
                                                              const PrvniUcetSkupiny& osnova,
                                                              const PlatbaDokladu* platba = nullptr);

// The document reference of an entry: series + ident, blanks removed, "0" on the left to 10.
std::string ParovaciUdaj(const RadaPokladny& rada, const PokladniDoklad& d);

// Numbers one document's entries after the counter `posledni` (UP + the last line used): the
// next line, or line 01 of the next UP when that line is above 93 or the entries would pass 99.
// Entries that carry nothing are dropped. Gives the counter to store afterwards (the UP and last
// line of the block, or line 00 of the next UP after a line above 90); nullopt when the UP cannot
// grow or one document has more than 99 entries.
std::optional<std::string> CislujZapisy(std::vector<accounting::tUcZapis>& zapisy, const std::string& posledni);

// The later of two counters of 8 digits (a counter that is not 8 digits counts as none).
std::string PozdejsiCitac(const std::string& a, const std::string& b);

// The memory after a posting: accounts and centres of the entries as the cashier left them.
void ZapamatujSi(PametZauctovani& pamet, const std::vector<accounting::tUcZapis>& zapisy);

// The listing lines of a voucher's entries (report "pzkont", width 131).
std::vector<std::string> RadkyVypisu(const std::vector<accounting::tUcZapis>& zapisy);

// ---- Cash journal (cash-journal mode): file "PZPD.dta" in the data root, lines of 96 bytes. A
// document is one line; a paying document ("O", "D") two: the second carries the rest of the
// text and the exchange difference, its amount columns 0 (README, "The cash journal").
namespace pdZapis {
inline constexpr int kVelikost = 96;
inline constexpr std::size_t kDatum = 0;     // short string of 6, YYMMDD
inline constexpr std::size_t kDoklad = 7;    // short string of 7: series + ident characters 2-5
inline constexpr std::size_t kKlic = 15;     // u16: the cash-journal key
inline constexpr std::size_t kText = 17;     // short string of 30
inline constexpr std::size_t kPrijem = 48;   // int64, ten-thousandths of a crown
inline constexpr std::size_t kVydaj = 56;    // int64
inline constexpr std::size_t kPartner = 64;  // u16
inline constexpr std::size_t kStredisko = 66;  // short string of 5
inline constexpr std::size_t kRozdil = 72;   // int64: exchange difference of an invoice payment (a gain above 0)
inline constexpr std::size_t kRezerva = 80;  // 16 bytes of zeros
}  // namespace pdZapis
inline constexpr const char* kPokladniDenik = "PZPD.dta";

// The journal lines of a document, one after the other; `platba` is the payment a paying
// document booked at this save (none: no exchange difference).
std::vector<std::uint8_t> RadkyDeniku(const PokladniDoklad& d, const RadaPokladny& rada, const PametZauctovani& pamet,
                                      const PlatbaDokladu* platba = nullptr);

// The save step (after the balance).
std::unique_ptr<KrokUkladani> KrokZauctovani();

}  // namespace pz::cashdesk
