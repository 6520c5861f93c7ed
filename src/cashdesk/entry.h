// The computations of entering a cash document, apart from the screen: crown amounts from the
// currency amounts and back, the change of the series balance when a document is saved, the
// number of a receipt left blank, the VAT coefficients of the cash desk.
//
// Amounts are decimal (storage/money.h): each result is round4 of the exact value (ties to even)
// and then the two decimals that its amount field "##########.##-R" shows and stores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cashdesk/document.h"

namespace pz::cashdesk {

// Why an amount could not be computed; the field that caused it goes into error.
enum class ChybaVypoctu {
  Zadna,
  NulovyKurz,      // crowns to currency at a rate of 0
  NuloveMnozstvi,  // a series with a unit count of 0
  Preteceni,       // the result does not fit its field (ten digits before the point)
};

struct Castka {
  double hodnota = 0;
  ChybaVypoctu chyba = ChybaVypoctu::Zadna;
  bool ok() const { return chyba == ChybaVypoctu::Zadna; }
};

// Crowns of a currency amount: `valuty` × `kurz` / `mnozstvi` (the rate is for `mnozstvi` units
// of the currency: 1000 JPY at 15.5 per 100 are 155.00).
Castka NaKoruny(double valuty, double kurz, double mnozstvi);
// The currency amount of crowns, when the crowns come from the document's items:
// `koruny` / `kurz` × `mnozstvi`.
Castka NaValuty(double koruny, double kurz, double mnozstvi);

// The kinds a document can have: "P", "V", "O", "D".
bool PripustnyDruh(std::string_view druh);

// The document number as stored: a receipt "P" whose number is blank gets "PZ" + series + ident
// ("PZ0100012"); any other number stays as entered.
std::string CisloDokladu(std::string_view druh, std::string_view cislo, std::string_view rada,
                         std::string_view ident);

// The same calculations on a document of a series. Each sets the amounts it computes only when
// all of them could be computed, and answers why not otherwise.
//
// Without items: celkemKc and placenoKc from the currency amounts at the document's rate.
ChybaVypoctu KorunyDokladu(PokladniDoklad& d, const RadaPokladny& rada);
// With items (the crowns come from them): celkemVal and placenoVal from the crowns.
ChybaVypoctu ValutyDokladu(PokladniDoklad& d, const RadaPokladny& rada);
// The paid crowns once more, as saving recomputes them for a document without items.
ChybaVypoctu ZaplacenoKc(PokladniDoklad& d, const RadaPokladny& rada);
// The rate of the document's payment date in the rate file `souborKurzu`; nothing when the file
// has none for that day (the document keeps its rate).
std::optional<double> KurzDne(const PokladniDoklad& d, std::string_view souborKurzu);
// How saving `novy` moves the series balance, in ten-thousandths of the currency: `puvodni` is
// the document as stored before an edit, nullptr for a new document.
std::optional<Penize> PohybStavu(const PokladniDoklad* puvodni, const PokladniDoklad& novy);

// The part of a price including VAT at `sazba` percent that is the VAT: r / (r + 100) with four
// decimals (21 % gives 0.1736).
double KoeficientDph(double sazba);

}  // namespace pz::cashdesk
