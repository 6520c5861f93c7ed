// Off-balance posting of the currency itself: while the main window's switch is on, every posted
// cash document gets one more, two-sided entry in its currency amount between an off-balance cash
// account and an off-balance account of revenues, costs, customers or suppliers.
//
//   - the switch      "PZPOKL.PAR" key PODROZVAHA, read when a window opens and again at posting
//   - the register    "devu.dta": sets of synthetic off-balance accounts, window TfDEVU
//   - the accounts    a set's synthetic + characters 4-6 of the series' cash account
//   - the entry       one per document, added to the document's voucher through the posting's
//                     extension (docs/posting.md: the amount is in the currency, not in crowns)
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "accounting/entries.h"
#include "cashdesk/document.h"
#include "ui/recordform.h"

namespace pz::cashdesk {

inline constexpr const char* kParametryPokladny = "PZPOKL.PAR";
inline constexpr const char* kKlicPodrozvahy = "PODROZVAHA";  // "ANO" when on

// The switch as the main window stores it; always off in cash-journal mode, where the main window
// hides it.
bool PodrozvahaZapnuta();

// A record of "devu.dta": six synthetic accounts, each a short string of 3.
struct tDevu {
  static constexpr std::int32_t kVelikost = 24;
  static constexpr std::size_t kDodavatele = 0, kOdberatele = 4, kNaklady = 8, kTrzby = 12, kBanka = 16,
                               kPokladna = 20;
  static constexpr std::size_t kSirka = 3;
};

// The off-balance accounts of an open cash desk window, six characters each.
struct PodrozvahoveUcty {
  std::string pokladna = accounting::kBezUctu;
  std::string naklady = accounting::kBezUctu;
  std::string trzby = accounting::kBezUctu;
  std::string dodavatele = accounting::kBezUctu;
  std::string odberatele = accounting::kBezUctu;
};

// The accounts of a set: each synthetic followed by characters 4 to 6 of the series' cash account.
PodrozvahoveUcty UctySady(std::span<const std::uint8_t> veta, const std::string& ucetRady);

// The entry of a posted document: its paid currency amount (whole hundredths), with the date,
// text and document reference the document's other entries carry; cash against revenues ("P"),
// costs against cash ("V"), cash against customers ("O"), suppliers against cash ("D"). Nothing
// for another kind, for an amount of zero, and for a set that gives no account on either side
// (such an entry could never be stored, so it is not proposed either).
std::optional<accounting::tUcZapis> PodrozvahovyZapis(const PokladniDoklad& d, const RadaPokladny& rada,
                                                      const PodrozvahoveUcty& ucty);

class TfDEVU : public ui::TfSoub {
 public:
  TfDEVU();
  ~TfDEVU() override;
  // Declares the six fields and opens "devu.dta".
  bool NastavSady();
  // The register as a chooser: Enter takes the set under the cursor, Esc none (all "000000").
  // The register is closed afterwards.
  PodrozvahoveUcty Vyber(const std::string& ucetRady);

 protected:
  // Space on an empty register first writes a set of defaults as record 1, then edits it.
  bool onKey(const ui::KeyEvent& ev) override;
};

TfDEVU& SadyPodrozvahy();

// A cash desk window opens on `rada`: with the switch on, the user chooses a set, and the
// window's posting adds the off-balance entry of every document it posts while the switch stays
// on; otherwise nothing off-balance is posted from this window.
void ZvolPodrozvahu(const RadaPokladny& rada);

}  // namespace pz::cashdesk
