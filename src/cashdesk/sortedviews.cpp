#include "cashdesk/sortedviews.h"

#include <cstdlib>
#include <utility>

#include "cashdesk/records.h"
#include "storage/fields.h"
#include "storage/sortarray.h"
#include "storage/textutil.h"
#include "ui/picture.h"

namespace pz::cashdesk {
namespace {

using D = tPzDoklad;
constexpr std::size_t kDelkaKlice = 11;  // the key before the record number of a sorted view

}  // namespace


void TridenePohledy::Postav(Pohled pohled, std::vector<std::string> klice) {
  aktivni_ = 0;
  klice_ = std::move(klice);
  storage::SetridPole(
      static_cast<int>(klice_.size()),
      [this](int a, int b) { return klice_[static_cast<std::size_t>(a - 1)] < klice_[static_cast<std::size_t>(b - 1)]; },
      [this](int a, int b) { std::swap(klice_[static_cast<std::size_t>(a - 1)], klice_[static_cast<std::size_t>(b - 1)]); });
  zaznamy_.assign(klice_.size(), 0);
  radky_.assign(klice_.size(), 0);
  for (std::size_t r = 0; r < klice_.size(); ++r) {
    const int z = klice_[r].size() > kDelkaKlice ? std::atoi(klice_[r].c_str() + kDelkaKlice) : 0;
    zaznamy_[r] = z;
    if (z >= 1 && static_cast<std::size_t>(z) <= radky_.size()) radky_[static_cast<std::size_t>(z - 1)] = static_cast<int>(r) + 1;
  }
  postaveny_ = klice_.empty() ? Zadny : pohled;
}

int TridenePohledy::PocetVPoradi(int poradi) const {
  return poradi != Zadny && poradi == postaveny_ ? static_cast<int>(klice_.size()) : 0;
}

void TridenePohledy::NastavPoradi(int poradi) {
  if (poradi == 0 || poradi == postaveny_) aktivni_ = poradi;
}

int TridenePohledy::CisloZPoradi(int n) const {
  if (aktivni_ == 0 || n < 1 || static_cast<std::size_t>(n) > zaznamy_.size()) return n;
  return zaznamy_[static_cast<std::size_t>(n - 1)];
}

int TridenePohledy::CisloZPoradi2(int n) const {
  if (aktivni_ == 0 || n < 1 || static_cast<std::size_t>(n) > radky_.size()) return n;
  const int r = radky_[static_cast<std::size_t>(n - 1)];
  return r > 0 ? r : n;
}

std::string KlicPodleCisla(std::span<const std::uint8_t> doklad, std::int32_t cislo) {
  const std::string c = storage::readShortString(doklad, D::kCislo, D::kSirkaCisla).substr(0, 10);
  return storage::NaSirku(" " + c, kDelkaKlice) + ui::FormatE("#####", cislo);
}

std::string KlicPodleCastky(std::span<const std::uint8_t> doklad, std::int32_t cislo) {
  return ui::FormatE("########.##", storage::readReal48(doklad, D::kPlacenoVal)) + ui::FormatE("#####", cislo);
}

}  // namespace pz::cashdesk
