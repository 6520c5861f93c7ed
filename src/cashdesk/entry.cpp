#include "cashdesk/entry.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "cashdesk/ratefile.h"
#include "cashdesk/records.h"
#include "storage/money.h"
#include "storage/textutil.h"
#include "ui/picture.h"

namespace pz::cashdesk {
namespace {

// The largest magnitude "##########.##-" shows, in ten-thousandths.
constexpr std::int64_t kNejvicVPoli = 99999999999999;  // 9 999 999 999.99 + 0.0099

Castka DoPole(storage::Money m) {
  if (m.status == storage::MoneyStatus::DivisionByZero) return {0, ChybaVypoctu::NulovyKurz};
  if (!m.ok()) return {0, ChybaVypoctu::Preteceni};
  const storage::Money zobrazeno = storage::round2(m.tenThousandths);
  if (!zobrazeno.ok() || zobrazeno.tenThousandths > kNejvicVPoli || zobrazeno.tenThousandths < -kNejvicVPoli)
    return {0, ChybaVypoctu::Preteceni};
  return {storage::tenThousandthsToDouble(zobrazeno.tenThousandths), ChybaVypoctu::Zadna};
}

// round4 of a × b / c, then the two decimals of the amount field, in ten-thousandths.
ChybaVypoctu VPoli(storage::Money m, Penize& vysledek) {
  if (m.status == storage::MoneyStatus::DivisionByZero) return ChybaVypoctu::NulovyKurz;
  if (!m.ok()) return ChybaVypoctu::Preteceni;
  const storage::Money zobrazeno = storage::round2(m.tenThousandths);
  if (!zobrazeno.ok() || zobrazeno.tenThousandths > kNejvicVPoli || zobrazeno.tenThousandths < -kNejvicVPoli)
    return ChybaVypoctu::Preteceni;
  vysledek = zobrazeno.tenThousandths;
  return ChybaVypoctu::Zadna;
}

double Cislo(Penize p) { return storage::tenThousandthsToDouble(p); }

ChybaVypoctu Prepocet(const RadaPokladny& rada, double kurz, bool naKoruny, std::initializer_list<std::pair<Penize, Penize*>> castky) {
  if (rada.mnozstvi == 0) return ChybaVypoctu::NuloveMnozstvi;
  if (!naKoruny && kurz == 0) return ChybaVypoctu::NulovyKurz;
  std::vector<Penize> vysledky;
  for (const auto& [z, _] : castky) {
    Penize v = 0;
    const storage::Money m = naKoruny ? storage::mulDivRound4(Cislo(z), kurz, rada.mnozstvi)
                                      : storage::mulDivRound4(Cislo(z), rada.mnozstvi, kurz);
    if (const ChybaVypoctu c = VPoli(m, v); c != ChybaVypoctu::Zadna) return c;
    vysledky.push_back(v);
  }
  std::size_t i = 0;
  for (const auto& [_, cil] : castky) *cil = vysledky[i++];
  return ChybaVypoctu::Zadna;
}

}  // namespace

ChybaVypoctu KorunyDokladu(PokladniDoklad& d, const RadaPokladny& rada) {
  return Prepocet(rada, d.kurz, true, {{d.celkemVal, &d.celkemKc}, {d.placenoVal, &d.placenoKc}});
}

ChybaVypoctu ValutyDokladu(PokladniDoklad& d, const RadaPokladny& rada) {
  return Prepocet(rada, d.kurz, false, {{d.celkemKc, &d.celkemVal}, {d.placenoKc, &d.placenoVal}});
}

ChybaVypoctu ZaplacenoKc(PokladniDoklad& d, const RadaPokladny& rada) {
  return Prepocet(rada, d.kurz, true, {{d.placenoVal, &d.placenoKc}});
}

std::optional<double> KurzDne(const PokladniDoklad& d, std::string_view souborKurzu) {
  if (souborKurzu.empty()) return std::nullopt;
  return KurzZeSouboru(souborKurzu, d.datumZapl);
}

std::optional<Penize> PohybStavu(const PokladniDoklad* puvodni, const PokladniDoklad& novy) {
  storage::Money pohyb = storage::add(0, novy.Znamenko() * novy.placenoVal);
  if (puvodni && pohyb.ok()) pohyb = storage::add(pohyb.tenThousandths, -puvodni->Znamenko() * puvodni->placenoVal);
  if (!pohyb.ok()) return std::nullopt;
  return pohyb.tenThousandths;
}

Castka NaKoruny(double valuty, double kurz, double mnozstvi) {
  if (mnozstvi == 0) return {0, ChybaVypoctu::NuloveMnozstvi};
  return DoPole(storage::mulDivRound4(valuty, kurz, mnozstvi));
}

Castka NaValuty(double koruny, double kurz, double mnozstvi) {
  if (mnozstvi == 0) return {0, ChybaVypoctu::NuloveMnozstvi};
  if (kurz == 0) return {0, ChybaVypoctu::NulovyKurz};
  return DoPole(storage::mulDivRound4(koruny, mnozstvi, kurz));
}

bool PripustnyDruh(std::string_view druh) {
  return druh.size() == 1 && ZnamenkoDruhu(druh[0]) != 0;
}

std::string CisloDokladu(std::string_view druh, std::string_view cislo, std::string_view rada,
                         std::string_view ident) {
  if (druh == "P" && storage::Orez(cislo).empty()) return "PZ" + std::string(rada) + std::string(ident);
  return std::string(cislo);
}

double KoeficientDph(double sazba) {
  if (sazba <= -100) return 0;
  // Through the picture, as the coefficient is shown: four decimals, half away from zero.
  return ui::TextNaReal(ui::FormatE("####.####", sazba / (sazba + 100)));
}

}  // namespace pz::cashdesk
