#include "cashdesk/cashlimit.h"

#include <algorithm>
#include <cstring>

#include "cashdesk/records.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/money.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;
using D = tPzDoklad;

namespace {

constexpr std::int32_t kBlok = 2048;  // documents read at once while a picture is taken

// Seconds of the local calendar, so that times of change compare as numbers.
std::int64_t sekundy(const platform::Date& d, int hodina, int minuta, int sekunda) {
  return ((platform::dayNumber(d) * 24 + hodina) * 60 + minuta) * 60 + sekunda;
}

std::int64_t sekundy(const platform::DateTime& t) {
  return sekundy({t.year, t.month, t.day}, t.hour, t.minute, t.second);
}

std::int64_t ted() {
  const platform::TimeOfDay t = platform::clock().now();
  return sekundy(platform::clock().today(), t.hour, t.minute, t.second);
}

// The six characters of a DDMMYY date as a short string holds them, blanks for a shorter text.
void datum6(std::string_view text, char* cil) {
  std::memset(cil, ' ', 6);
  std::memcpy(cil, text.data(), std::min<std::size_t>(text.size(), 6));
}

std::string penizeText(Penize p) {
  return storage::Orez(ui::FormatE("### ### ### ###.##", storage::tenThousandthsToDouble(p)));
}

}  // namespace

bool HotovostDne::obnov(const std::string& jmeno, Obraz& obraz) {
  const std::string cesta = storage::DataCesta(jmeno);
  platform::FileInfo info;
  if (platform::fileInfo(cesta, info) != platform::kIoOk) return false;
  const std::int64_t zmena = sekundy(info.modified);
  if (obraz.jisty && obraz.velikost == info.size && obraz.zmena == zmena) return true;
  platform::File f;
  if (f.open(cesta, platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk) return false;
  obraz.platby.clear();
  std::vector<std::uint8_t> blok(static_cast<std::size_t>(kBlok) * D::kVelikost);
  const std::int32_t pocet = static_cast<std::int32_t>(info.size / D::kVelikost);
  for (std::int32_t od = 0; od < pocet; od += kBlok) {
    const std::int32_t kolik = std::min(kBlok, pocet - od);
    std::size_t precteno = 0;
    if (f.readAt(static_cast<std::int64_t>(od) * D::kVelikost, blok.data(), static_cast<std::size_t>(kolik) * D::kVelikost,
                 &precteno) != platform::kIoOk)
      return false;
    for (std::int32_t j = 0; static_cast<std::size_t>(j + 1) * D::kVelikost <= precteno; ++j) {
      const std::span<const std::uint8_t> z(blok.data() + static_cast<std::size_t>(j) * D::kVelikost, D::kVelikost);
      const std::uint16_t partner = storage::readU16(z, D::kCisloOrg);
      const int smer = z[D::kDruh] == 1 ? ZnamenkoDruhu(static_cast<char>(z[D::kDruh + 1])) : 0;
      if (partner == 0 || smer == 0) continue;
      Platba p{od + j + 1, partner, static_cast<std::int8_t>(smer), {}, {}};
      datum6(storage::readShortString(z, D::kDatumZapl, 6), p.datum);
      std::copy_n(z.begin() + D::kPlacenoKc, 6, p.kc);
      obraz.platby.push_back(p);
    }
  }
  obraz.velikost = info.size;
  obraz.zmena = zmena;
  // Changed in this very second (or stamped ahead of this clock): a later write may keep the time.
  obraz.jisty = zmena < ted();
  return true;
}

std::optional<Penize> HotovostDne::Soucet(int smer, std::uint16_t partner, const std::string& datum,
                                          const std::string& souborVynechany, std::int32_t vynechany) {
  char den[6];
  datum6(datum, den);
  const std::string vynechat = storage::VelkaPismena(souborVynechany);
  Penize soucet = 0;
  for (const platform::FileInfo& i : platform::listDirectory(storage::DataCesta("PZ??_.dta"))) {
    if (i.isDirectory()) continue;
    const std::string jmeno = storage::VelkaPismena(i.name);
    Obraz& obraz = obrazy_[jmeno];
    if (!obnov(i.name, obraz)) {
      obrazy_.erase(jmeno);
      return std::nullopt;
    }
    for (const Platba& p : obraz.platby) {
      if (p.partner != partner || p.smer != smer || std::memcmp(p.datum, den, 6) != 0) continue;
      if (jmeno == vynechat && p.zaznam == vynechany) continue;
      storage::Real48 bajty;
      std::copy_n(p.kc, 6, bajty.begin());
      const std::optional<std::int64_t> kc = storage::real48ToTenThousandths(bajty);
      const storage::Money s = kc ? storage::add(soucet, *kc) : storage::Money{0, storage::MoneyStatus::Overflow};
      if (!s.ok()) return std::nullopt;
      soucet = s.tenThousandths;
    }
  }
  return soucet;
}

void HotovostDne::Zapomen(const std::string& soubor) {
  const auto it = obrazy_.find(storage::VelkaPismena(soubor));
  if (it != obrazy_.end()) it->second.jisty = false;
}

Penize LimitHotovosti() {
  const storage::Money m = storage::toTenThousandths(storage::settings().cashPaymentLimit);
  return m.ok() && m.tenThousandths > 0 ? m.tenThousandths : 0;
}

std::string VarovaniLimitu(HotovostDne& hotovost, const PokladniDoklad& d, const std::string& soubor,
                           std::int32_t zaznam, Penize limit) {
  const int smer = d.Znamenko();
  const std::string datum = storage::Orez(d.datumZapl);
  if (limit <= 0 || d.cisloOrg == 0 || smer == 0 || datum.empty() || datum == "000000") return {};
  const std::optional<Penize> jine = hotovost.Soucet(smer, d.cisloOrg, d.datumZapl, soubor, zaznam);
  const storage::Money celkem = jine ? storage::add(*jine, d.placenoKc) : storage::Money{};
  const std::string kdo = storage::DoplnZleva(std::to_string(d.cisloOrg), 5, '0');
  const std::string kdy = datum.size() == 6 ? datum.substr(0, 2) + "." + datum.substr(2, 2) + "." + datum.substr(4, 2) : datum;
  const std::string platby = smer > 0 ? cz("Hotovostní příjmy od partnera ") : cz("Hotovostní výdaje partnerovi ");
  if (!jine || !celkem.ok())
    return platby + kdo + cz(" dne ") + kdy + cz(" nelze sečíst (doklady nelze přečíst). Uložit doklad přesto?");
  if (celkem.tenThousandths <= limit) return {};
  return platby + kdo + cz(" dne ") + kdy + cz(" by tímto dokladem dosáhly ") + penizeText(celkem.tenThousandths) +
         cz(" Kč, zákonný limit je ") + penizeText(limit) + cz(" Kč. Uložit doklad přesto?");
}

}  // namespace pz::cashdesk
