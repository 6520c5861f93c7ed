#include "shell/pokladna.h"

#include "cashdesk/cashwindow.h"
#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "platform/text.h"
#include "storage/eventlog.h"
#include "storage/fields.h"
#include "ui/keys.h"
#include "ui/picture.h"

namespace pz::shell {

using platform::cz;
using cashdesk::tPzRada;

namespace {

constexpr std::size_t kDelkaNazvuPokladny = 33;  // the log text up to and including the series code

void zapisRady(const char* zacatek, int pocet) {
  storage::Zapis(cz(zacatek) + ui::FormatE("###", pocet));
}

void zapisPokladny(const char* zacatek, const std::string& rada, int pocet) {
  storage::Zapis((cz(zacatek) + rada).substr(0, kDelkaNazvuPokladny) + " ,n=" + ui::FormatE("#####", pocet));
}

}  // namespace

std::string ZustatekRady(const std::vector<std::uint8_t>& rada) {
  return ui::FormatR("##########.##-", storage::readReal48Bytes(rada, tPzRada::kStav)) +
         storage::readShortString(rada, tPzRada::kMena, tPzRada::kSirkaMeny);
}

void PokladniSmycka::Spust() {
  while (vyberRadu()) pokladna();
}

bool PokladniSmycka::vyberRadu() {
  rady_.Otevri(cashdesk::kSouborRad);
  zapisRady("   Start - Řady valutové pokladny, n=", rady_.Soubor().pocet());
  // Closed any other way than by Enter, the list counts as left with Esc.
  rady_.KoncovaKlavesa = ui::kVkEscape;
  rady_.showModal();
  bool zvolena = false;
  if (rady_.KoncovaKlavesa == ui::kVkReturn && rady_.Radek >= 1 && rady_.Radek <= rady_.Soubor().pocet() &&
      rady_.CtiVetuPrimo(rady_.CisloZPoradi(rady_.Radek))) {
    rada_ = rady_.Veta();
    const std::string kod = storage::readShortString(rada_, tPzRada::kRada, tPzRada::kSirkaRady);
    soubor_ = cashdesk::SouborDokladu(kod);
    zustatek_ = ZustatekRady(rada_);
    zvolena = true;
  }
  rady_.Soubor().ObnovSoubor();
  const int pocet = rady_.Soubor().pocet();
  rady_.Zavri();
  zapisRady("   Konec - Řady valutové pokladny, n=", pocet);
  return zvolena;
}

void PokladniSmycka::pokladna() {
  const std::string kod = storage::readShortString(rada_, tPzRada::kRada, tPzRada::kSirkaRady);
  // A deleted series waiting for the compaction has no cash desk: back to the list.
  if (!pokladna_ || !cashdesk::ChybaCislaRady(kod).empty()) return;
  pokladna_->Otevri(soubor_, rada_, zustatek_);
  zapisPokladny("   Start - Valutová pokladna č:", kod, pokladna_->PocetDokladu());
  pokladna_->Ukaz();
  const int pocet = pokladna_->PocetDokladu();
  pokladna_->Zavri();
  zapisPokladny("   Konec - Valutová pokladna č:", kod, pocet);
}

OknoPZPokl::OknoPZPokl(cashdesk::TfPZPokl& okno, PokladniSmycka& smycka) : okno_(okno) {
  smycka.NastavPokladnu(this);
}

void OknoPZPokl::Otevri(const std::string& soubor, const std::vector<std::uint8_t>& rada, const std::string&) {
  otevreno_ = okno_.OtevriPokladnu(soubor, rada);
  // The cash desk shows the balance in its display currency: "Kč" for a series without one.
  okno_.NastavStav(okno_.TextZustatku(storage::readReal48(okno_.Rada, tPzRada::kStav)));
}

int OknoPZPokl::PocetDokladu() {
  if (!okno_.Soubor().otevren()) return 0;
  okno_.Soubor().ObnovSoubor();
  return okno_.Soubor().pocet();
}

void OknoPZPokl::Ukaz() {
  if (otevreno_) okno_.showModal();
}

void OknoPZPokl::Zavri() {
  okno_.ZavriPokladnu();
  otevreno_ = false;
}

}  // namespace pz::shell
