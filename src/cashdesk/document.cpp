#include "cashdesk/document.h"

#include <algorithm>

#include "cashdesk/records.h"
#include "storage/fields.h"
#include "storage/money.h"

namespace pz::cashdesk {
namespace {

using D = tPzDoklad;

struct Ctenar {
  std::span<const std::uint8_t> z;
  bool ok = true;
  std::string text(std::size_t o, std::size_t w) const { return storage::readShortString(z, o, w); }
  Penize penize(std::size_t o) {
    const std::optional<std::int64_t> m = storage::real48ToTenThousandths(storage::readReal48Bytes(z, o));
    if (!m) ok = false;
    return m.value_or(0);
  }
};

struct Pisar {
  std::span<std::uint8_t> z;
  std::span<const std::uint8_t> c() const { return z; }
  bool ok = true;
  void text(std::size_t o, std::size_t w, const std::string& t) {
    if (storage::readShortString(c(), o, w) != t && !storage::writeShortString(z, o, w, t)) ok = false;
  }
  void penize(std::size_t o, Penize p) {
    if (storage::real48ToTenThousandths(storage::readReal48Bytes(c(), o)) == p) return;
    if (!storage::writeReal48(z, o, storage::tenThousandthsToDouble(p))) ok = false;
  }
};

}  // namespace

int PokladniDoklad::Znamenko() const { return druh.size() == 1 ? ZnamenkoDruhu(druh[0]) : 0; }

PokladniDoklad CtiDoklad(std::span<const std::uint8_t> zaznam, bool* ok) {
  PokladniDoklad d;
  CtiDoklad(zaznam, d, ok);
  return d;
}

void CtiDoklad(std::span<const std::uint8_t> zaznam, PokladniDoklad& d, bool* ok) {
  if (zaznam.size() < static_cast<std::size_t>(D::kVelikost)) {
    if (ok) *ok = false;
    return;
  }
  Ctenar c{zaznam};
  d.druh = c.text(D::kDruh, D::kSirkaDruhu);
  d.ident = c.text(D::kIdent, D::kSirkaIdentu);
  d.cislo = c.text(D::kCislo, D::kSirkaCisla);
  d.cisloOrg = storage::readU16(zaznam, D::kCisloOrg);
  d.datumZapl = c.text(D::kDatumZapl, D::kSirkaData);
  d.text = c.text(D::kText, D::kSirkaTextu);
  d.placenoVal = c.penize(D::kPlacenoVal);
  d.placenoKc = c.penize(D::kPlacenoKc);
  d.datumDod = c.text(D::kDatumDod, D::kSirkaData);
  d.celkemVal = c.penize(D::kCelkemVal);
  d.kurz = storage::readReal48(zaznam, D::kKurz);
  d.celkemKc = c.penize(D::kCelkemKc);
  d.ind = c.text(D::kInd, D::kSirkaInd);
  d.dphRozl = c.text(D::kDphRozl, D::kSirkaDphRozl);
  d.ico = c.text(D::kIco, D::kSirkaIco);
  d.dic = c.text(D::kDic, D::kSirkaDic);
  d.adr1 = c.text(D::kAdr1, D::kSirkaAdresy);
  d.adr2 = c.text(D::kAdr2, D::kSirkaAdresy);
  d.adr3 = c.text(D::kAdr3, D::kSirkaAdresy);
  d.adr4 = c.text(D::kAdr4, D::kSirkaAdresy);
  d.psc = c.text(D::kPsc, D::kSirkaPsc);
  d.finUrad = c.text(D::kFinUrad, D::kSirkaFinUradu);
  if (ok) *ok = c.ok;
}

namespace {
std::string_view pole(const std::uint8_t* z, std::size_t o, std::size_t w) {
  // Every text field lies inside the record: its length byte, then at most `w` characters.
  return {reinterpret_cast<const char*>(z) + o + 1, std::min<std::size_t>(z[o], w)};
}
}  // namespace

std::string_view DokladVypisu::druh() const { return pole(zaznam, D::kDruh, D::kSirkaDruhu); }
std::string_view DokladVypisu::ident() const { return pole(zaznam, D::kIdent, D::kSirkaIdentu); }
std::string_view DokladVypisu::cislo() const { return pole(zaznam, D::kCislo, D::kSirkaCisla); }
std::string_view DokladVypisu::datumDod() const { return pole(zaznam, D::kDatumDod, D::kSirkaData); }
std::string_view DokladVypisu::datumZapl() const { return pole(zaznam, D::kDatumZapl, D::kSirkaData); }
std::string_view DokladVypisu::text() const { return pole(zaznam, D::kText, D::kSirkaTextu); }
std::string_view DokladVypisu::adr1() const { return pole(zaznam, D::kAdr1, D::kSirkaAdresy); }
std::string_view DokladVypisu::dic() const { return pole(zaznam, D::kDic, D::kSirkaDic); }

int DokladVypisu::Znamenko() const {
  const std::string_view d = druh();
  return d.size() == 1 ? ZnamenkoDruhu(d[0]) : 0;
}

DokladVypisu CtiDokladVypisu(const std::uint8_t* zaznam) {
  const std::span<const std::uint8_t> z(zaznam, static_cast<std::size_t>(D::kVelikost));
  Ctenar c{z};
  DokladVypisu d;
  d.zaznam = zaznam;
  d.cisloOrg = storage::readU16(z, D::kCisloOrg);
  d.celkemVal = c.penize(D::kCelkemVal);
  d.placenoVal = c.penize(D::kPlacenoVal);
  d.placenoKc = c.penize(D::kPlacenoKc);
  d.kurz = storage::readReal48(z, D::kKurz);
  return d;
}

bool ZapisDoklad(const PokladniDoklad& d, std::span<std::uint8_t> zaznam) {
  const std::span<const std::uint8_t> stare = zaznam;
  if (zaznam.size() < static_cast<std::size_t>(D::kVelikost)) return false;
  Pisar p{zaznam};
  p.text(D::kDruh, D::kSirkaDruhu, d.druh);
  p.text(D::kIdent, D::kSirkaIdentu, d.ident);
  p.text(D::kCislo, D::kSirkaCisla, d.cislo);
  if (storage::readU16(stare, D::kCisloOrg) != d.cisloOrg && !storage::writeU16(zaznam, D::kCisloOrg, d.cisloOrg))
    p.ok = false;
  p.text(D::kDatumDod, D::kSirkaData, d.datumDod);
  p.text(D::kDatumZapl, D::kSirkaData, d.datumZapl);
  p.text(D::kText, D::kSirkaTextu, d.text);
  p.penize(D::kCelkemVal, d.celkemVal);
  p.penize(D::kPlacenoVal, d.placenoVal);
  if (storage::readReal48(stare, D::kKurz) != d.kurz && !storage::writeReal48(zaznam, D::kKurz, d.kurz))
    p.ok = false;
  p.penize(D::kCelkemKc, d.celkemKc);
  p.penize(D::kPlacenoKc, d.placenoKc);
  p.text(D::kInd, D::kSirkaInd, d.ind);
  p.text(D::kDphRozl, D::kSirkaDphRozl, d.dphRozl);
  p.text(D::kIco, D::kSirkaIco, d.ico);
  p.text(D::kDic, D::kSirkaDic, d.dic);
  p.text(D::kAdr1, D::kSirkaAdresy, d.adr1);
  p.text(D::kAdr2, D::kSirkaAdresy, d.adr2);
  p.text(D::kAdr3, D::kSirkaAdresy, d.adr3);
  p.text(D::kAdr4, D::kSirkaAdresy, d.adr4);
  p.text(D::kPsc, D::kSirkaPsc, d.psc);
  p.text(D::kFinUrad, D::kSirkaFinUradu, d.finUrad);
  return p.ok;
}

RadaPokladny CtiRadu(std::span<const std::uint8_t> zaznam) {
  RadaPokladny r;
  if (zaznam.size() < static_cast<std::size_t>(tPzRada::kVelikost)) return r;
  r.rada = storage::readShortString(zaznam, tPzRada::kRada, tPzRada::kSirkaRady);
  r.mena = storage::readShortString(zaznam, tPzRada::kMena, tPzRada::kSirkaMeny);
  r.kurz = storage::readReal48(zaznam, tPzRada::kKurz);
  r.mnozstvi = storage::readU16(zaznam, tPzRada::kMnozstvi);
  const storage::Money stav = storage::toTenThousandths(storage::readReal48(zaznam, tPzRada::kStav));
  r.stav = stav.ok() ? stav.tenThousandths : 0;
  r.ucet = storage::readShortString(zaznam, tPzRada::kUcet, tPzRada::kSirkaUctu);
  return r;
}

}  // namespace pz::cashdesk
