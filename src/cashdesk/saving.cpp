#include "cashdesk/saving.h"
#include "cashdesk/voucher.h"
#include "cashdesk/posting.h"

#include <algorithm>

#include "cashdesk/cashlimit.h"
#include "cashdesk/documents.h"
#include "cashdesk/entry.h"
#include "cashdesk/intent.h"
#include "cashdesk/items.h"
#include "cashdesk/records.h"
#include "cashdesk/vatsupplement.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/roots.h"

namespace pz::cashdesk {
namespace {

// Without items the paid crowns follow the paid currency amount once more at the final rate.
class KrokZaplacenoKc : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "placenoKc"; }
  PoradiKroku Poradi() const override { return PoradiKroku::ZaplacenoKc; }
  bool Priprav(Ukladani& u) override {
    // The crowns of an invoice payment stay those the cashier was shown (at the choice, or as
    // the form computed them from an amount typed since).
    if (u.polozky || u.faktura || u.doklad.druh == "O" || u.doklad.druh == "D") return false;
    PokladniDoklad d = u.doklad;
    if (ZaplacenoKc(d, u.rada) != ChybaVypoctu::Zadna) return false;
    u.doklad = d;
    return true;
  }
  bool Zapis(Ukladani&, Zamer&, const StavRady&) override { return true; }
};

// The law limits cash payments between two parties in a day: past the limit the cashier is warned
// and may go back to the form. The step writes nothing.
class KrokLimitHotovosti : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "limitHotovosti"; }
  PoradiKroku Poradi() const override { return PoradiKroku::LimitHotovosti; }
  bool Priprav(Ukladani& u) override {
    const std::string soubor = "PZ" + u.rada.rada + "_.dta";
    const std::string varovani = VarovaniLimitu(hotovost_, u.doklad, soubor, u.cisloZaznamu, LimitHotovosti());
    // The save about to come changes this series' documents.
    hotovost_.Zapomen(soubor);
    if (!varovani.empty() && !storage::interaction().question(varovani, false)) u.zpet = true;
    return !u.zpet;
  }
  bool Zapis(Ukladani&, Zamer&, const StavRady&) override { return true; }

 private:
  HotovostDne hotovost_;
};

// The balance of the series: the edited document's old paid amount taken back, the new one
// added, on the balance as stored under the lock (not as the window last showed it).
class KrokStav : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "stav"; }
  PoradiKroku Poradi() const override { return PoradiKroku::Stav; }
  bool Priprav(Ukladani&) override { return true; }
  bool Zapis(Ukladani& u, Zamer& zamer, const StavRady& stav) override {
    const std::optional<Penize> pohyb = PohybStavu(u.puvodni ? &*u.puvodni : nullptr, u.doklad);
    const std::optional<double> novy = pohyb ? stav.Po(storage::tenThousandthsToDouble(*pohyb)) : std::nullopt;
    if (!novy) return false;
    const storage::Money m = storage::toTenThousandths(*novy);
    if (!m.ok()) return false;
    zamer.Stav(u.rada.rada, m.tenThousandths);
    u.novyStav = m.tenThousandths;
    return true;
  }
};

// The items of a saved document are kept with the series (an edit brings them back) in the same
// commit as the document; their work files go once it is stored.
class KrokPolozky : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "polozky"; }
  PoradiKroku Poradi() const override { return PoradiKroku::Polozky; }
  bool Priprav(Ukladani&) override { return true; }
  bool Zapis(Ukladani& u, Zamer& zamer, const StavRady&) override {
    const char typ = u.polozky ? u.typPolozek : 0;
    // A document that never had items adds nothing.
    if (typ == 0 && UlozenePolozky(u.souborDokladu, u.cisloZaznamu) == 0) return true;
    const std::string jmeno = SouborUlozenychPolozek(u.souborDokladu);
    platform::FileInfo info;
    const std::int64_t konec = platform::fileInfo(storage::DataCesta(jmeno), info) == platform::kIoOk ? info.size : 0;
    zamer.Zapis(jmeno, konec, BlokPolozek(u.cisloZaznamu, typ));
    return true;
  }
  void PoUlozeni(const Ukladani& u) override {
    if (u.polozky) SmazPolozky();
  }
};

// The supplement file must reach the document: a step's supplement, or a blank one where the
// file ends before it.
bool dodatekDoZameru(const Ukladani& u, const std::string& souborDokladu, Zamer& zamer) {
  const std::string jmeno = SouborDodatku(souborDokladu);
  const std::int64_t pozice = static_cast<std::int64_t>(u.cisloZaznamu - 1) * kVelikostDodatku;
  platform::FileInfo info;
  const std::int64_t delka = platform::fileInfo(storage::DataCesta(jmeno), info) == platform::kIoOk ? info.size : 0;
  if (!u.dodatek && delka >= pozice + kVelikostDodatku) return true;
  // Written past the end, the supplements between are blank ones, never a gap.
  const std::int64_t od = std::min(pozice, delka / kVelikostDodatku * kVelikostDodatku);
  std::vector<std::uint8_t> bajty(static_cast<std::size_t>(pozice - od + kVelikostDodatku), 0);
  if (u.dodatek)
    std::copy_n(u.dodatek->begin(), std::min<std::size_t>(u.dodatek->size(), kVelikostDodatku),
                bajty.begin() + static_cast<std::ptrdiff_t>(pozice - od));
  zamer.Zapis(jmeno, od, std::move(bajty));
  return true;
}

// The name a lock is shown by: the last part of its path.
std::string jmenoZamku(const std::string& cesta) {
  const size_t lomitko = cesta.find_last_of("\\/");
  return lomitko == std::string::npos ? cesta : cesta.substr(lomitko + 1);
}

// True when every lock is still held; otherwise the user is told which one is not.
bool zamkyDrzeny(const std::vector<std::string>& cesty) {
  for (const std::string& z : cesty) {
    if (storage::DrziZamek(z)) continue;
    storage::interaction().message(platform::cz("Zámek ") + jmenoZamku(z) +
                                       platform::cz(" tato stanice už nedrží, doklad nebyl uložen"),
                                   true);
    return false;
  }
  return true;
}

struct DrzeneZamky {
  std::vector<std::string> drzene;
  ~DrzeneZamky() {
    for (auto it = drzene.rbegin(); it != drzene.rend(); ++it) storage::Odemkni(*it);
  }
};

}  // namespace

SluzbaUkladani::SluzbaUkladani() {
  Registruj(KrokDodatkuDph());
  Registruj(KrokPlatbyFaktury());
  Registruj(std::make_unique<KrokZaplacenoKc>());
  Registruj(std::make_unique<KrokLimitHotovosti>());
  Registruj(std::make_unique<KrokStav>());
  Registruj(std::make_unique<KrokPolozky>());
}

SluzbaUkladani::~SluzbaUkladani() = default;

void SluzbaUkladani::Registruj(std::unique_ptr<KrokUkladani> krok) {
  const auto za = std::upper_bound(kroky_.begin(), kroky_.end(), krok->Poradi(),
                                   [](PoradiKroku p, const auto& k) { return static_cast<int>(p) < static_cast<int>(k->Poradi()); });
  kroky_.insert(za, std::move(krok));
}

std::vector<const KrokUkladani*> SluzbaUkladani::Kroky() const {
  std::vector<const KrokUkladani*> k;
  for (const auto& krok : kroky_) k.push_back(krok.get());
  return k;
}

void SluzbaUkladani::Priprav(Ukladani& u, std::vector<KrokUkladani*>& pripravene) {
  pripravene.clear();
  for (const auto& krok : kroky_) {
    if (krok->Priprav(u)) pripravene.push_back(krok.get());
    else u.preskocene.emplace_back(krok->Nazev());
    if (u.zpet) return;
  }
}

VysledekUlozeni SluzbaUkladani::Proved(Ukladani& u, const std::string& souborDokladu,
                                       const std::vector<KrokUkladani*>& pripravene) {
  using enum VysledekUlozeni;
  if (u.cisloZaznamu < 1 || u.zaznam.size() != static_cast<std::size_t>(tPzDoklad::kVelikost)) return Neulozeno;
  StavRady stav;
  if (!stav.Otevri(u.rada.rada)) return BezZamku;
  DrzeneZamky zamky;
  std::vector<std::string> sdilene;  // the files of every series the steps write
  for (const KrokUkladani* krok : pripravene)
    for (const std::string& z : krok->Zamky(u)) {
      const storage::Zamek drzen = storage::Zamkni(z, "W");
      if (!storage::MuzePokracovat(drzen)) return BezZamku;
      if (drzen == storage::Zamek::Drzen) zamky.drzene.push_back(z);
      sdilene.push_back(z);
    }
  // Nothing is written under a lock that is no longer this station's.
  std::vector<std::string> overit = u.zamkyVolajiciho;
  if (stav.DrziZamek()) overit.push_back(stav.CestaZamku());
  overit.insert(overit.end(), zamky.drzene.begin(), zamky.drzene.end());
  if (!zamkyDrzeny(overit)) return BezZamku;
  // A save of this series cut off earlier is undone before this one reads anything.
  if (ObnovZamer(souborDokladu, stav) == Obnova::Chyba) return Neulozeno;
  // And so is one of another series in the files shared with it, before the steps read them.
  if (!VratPrerusenaUlozeni(sdilene, souborDokladu)) return Neulozeno;
  if (!ZapisDoklad(u.doklad, u.zaznam)) return Neulozeno;
  u.souborDokladu = souborDokladu;
  Zamer zamer;
  zamer.Zapis(souborDokladu, static_cast<std::int64_t>(u.cisloZaznamu - 1) * tPzDoklad::kVelikost, u.zaznam);
  if (!dodatekDoZameru(u, souborDokladu, zamer)) return Neulozeno;
  for (KrokUkladani* krok : pripravene)
    if (!krok->Zapis(u, zamer, stav)) return Neulozeno;
  if (!ProvedZamer(zamer, souborDokladu, stav)) return Neulozeno;
  for (KrokUkladani* krok : pripravene) krok->PoUlozeni(u);
  return Ulozeno;
}

void SluzbaUkladani::PoUvolneni(const Ukladani& u) {
  for (const auto& krok : kroky_) krok->PoUvolneni(u);
}

VysledekUlozeni SluzbaUkladani::Uloz(Ukladani& u, const std::string& souborDokladu) {
  u.souborDokladu = souborDokladu;
  std::vector<KrokUkladani*> pripravene;
  Priprav(u, pripravene);
  if (u.zpet) return VysledekUlozeni::Zpet;
  return Proved(u, souborDokladu, pripravene);
}

SluzbaUkladani& sluzbaUkladani() {
  // The window's service prints the voucher and posts the document too: a service made apart
  // (tests of the commit) has only the steps that store.
  static SluzbaUkladani sluzba;
  static const bool tisk = (sluzba.Registruj(KrokTiskuDokladu()), sluzba.Registruj(KrokZauctovani()), true);
  (void)tisk;
  return sluzba;
}

}  // namespace pz::cashdesk
