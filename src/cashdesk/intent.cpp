#include "cashdesk/intent.h"

#include <cstring>

#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/intentrecord.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/roots.h"

namespace pz::cashdesk {
namespace {

constexpr char kZnacka[] = "PZJ1";

int otevri(platform::File& f, const std::string& jmeno) {
  return f.open(storage::DataCesta(jmeno), platform::Access::ReadWrite, platform::Share::DenyNone,
                platform::Create::OpenAlways);
}

// What entry `p` is about to overwrite.
bool zjisti(const Zamer::Polozka& p, const StavRady& stav, PuvodniStav& o) {
  o.druh = p.druh;
  o.jmeno = p.jmeno;
  if (p.druh == 'S') {
    const auto b = stav.StavBajty();
    if (!b) return false;
    o.bajty.assign(b->begin(), b->end());
    return true;
  }
  o.pozice = p.pozice;
  o.pocet = static_cast<std::uint32_t>(p.bajty.size());
  platform::File f;
  if (otevri(f, p.jmeno) != platform::kIoOk || f.size(o.delka) != platform::kIoOk) return false;
  const std::int64_t dosah = std::min<std::int64_t>(o.delka - p.pozice, o.pocet);
  if (dosah > 0) {
    o.bajty.resize(static_cast<std::size_t>(dosah));
    if (f.readAt(p.pozice, o.bajty.data(), o.bajty.size()) != platform::kIoOk) return false;
  }
  return true;
}

bool zapis(const Zamer::Polozka& p, StavRady& stav) {
  if (p.druh == 'S') return stav.Zapis(storage::tenThousandthsToDouble(p.stav));
  platform::File f;
  return otevri(f, p.jmeno) == platform::kIoOk && f.writeAt(p.pozice, p.bajty.data(), p.bajty.size()) == platform::kIoOk &&
         f.sync() == platform::kIoOk;
}

// Files of the cash desk that saves of other series write too (the batch, the cash journal, the
// invoices' payments): their lock keeps them only while a save is stored, so after a save that was
// cut off another series may have appended behind it before this series is opened again.
// `ponechano` names such a file whose appended part had to stay (see vrat).
bool vrat(const PuvodniStav& o, StavRady& stav, std::string* ponechano = nullptr) {
  if (o.druh == 'S') {
    storage::Real48 b{};
    if (o.bajty.size() != b.size()) return false;
    std::copy(o.bajty.begin(), o.bajty.end(), b.begin());
    return stav.ZapisBajty(b);
  }
  platform::File f;
  if (otevri(f, o.jmeno) != platform::kIoOk) return false;
  if (!o.bajty.empty() && f.writeAt(o.pozice, o.bajty.data(), o.bajty.size()) != platform::kIoOk) return false;
  std::int64_t ted = 0;
  if (f.size(ted) != platform::kIoOk) return false;
  const std::int64_t konec = o.pozice + static_cast<std::int64_t>(o.pocet);
  // Written behind this save's own bytes since: cutting the file back to its old length would
  // drop what other stations stored there. The appended bytes stay, and the caller says so.
  if (ted > konec && o.pozice >= o.delka) {
    if (ponechano) *ponechano = o.jmeno;
    return f.sync() == platform::kIoOk;
  }
  if (ted > o.delka && konec > o.delka && f.truncate(o.delka) != platform::kIoOk) return false;
  return f.sync() == platform::kIoOk;
}

bool vratVse(const std::vector<PuvodniStav>& puvodni, std::size_t pocet, StavRady& stav) {
  bool ok = true;
  for (std::size_t j = pocet; j-- > 0;) ok = vrat(puvodni[j], stav) && ok;
  return ok;
}

}  // namespace

void Zamer::Zapis(std::string soubor, std::int64_t pozice, std::vector<std::uint8_t> bajty) {
  polozky_.push_back({'W', std::move(soubor), pozice, std::move(bajty), 0});
}

void Zamer::Stav(std::string rada, Penize stav) { polozky_.push_back({'S', std::move(rada), 0, {}, stav}); }

std::string ZakodujZamer(const std::vector<PuvodniStav>& polozky) {
  std::string s(kZnacka);
  storage::PridejLE<std::uint32_t>(s, static_cast<std::uint32_t>(polozky.size()));
  for (const PuvodniStav& p : polozky) {
    s.push_back(p.druh);
    storage::PridejLE<std::uint16_t>(s, static_cast<std::uint16_t>(p.jmeno.size()));
    s += p.jmeno;
    storage::PridejLE<std::int64_t>(s, p.pozice);
    storage::PridejLE<std::int64_t>(s, p.delka);
    storage::PridejLE<std::uint32_t>(s, p.pocet);
    storage::PridejLE<std::uint32_t>(s, static_cast<std::uint32_t>(p.bajty.size()));
    s.append(p.bajty.begin(), p.bajty.end());
  }
  storage::PridejLE<std::uint32_t>(s, storage::Fnv1a32(s));
  return s;
}

std::optional<std::vector<PuvodniStav>> DekodujZamer(std::string_view bajty) {
  if (bajty.size() < 12 || bajty.substr(0, 4) != kZnacka) return std::nullopt;
  storage::CteniLE c{bajty.substr(0, bajty.size() - 4), 4};
  storage::CteniLE soucet{bajty.substr(bajty.size() - 4)};
  if (soucet.cislo<std::uint32_t>() != storage::Fnv1a32(c.b)) return std::nullopt;
  std::vector<PuvodniStav> z;
  const std::uint32_t n = c.cislo<std::uint32_t>();
  for (std::uint32_t i = 0; i < n && c.ok; ++i) {
    PuvodniStav p;
    const std::string_view druh = c.kus(1);
    p.druh = druh.empty() ? '\0' : druh[0];
    p.jmeno = std::string(c.kus(c.cislo<std::uint16_t>()));
    p.pozice = c.cislo<std::int64_t>();
    p.delka = c.cislo<std::int64_t>();
    p.pocet = c.cislo<std::uint32_t>();
    const std::string_view b = c.kus(c.cislo<std::uint32_t>());
    p.bajty.assign(b.begin(), b.end());
    if (p.druh != 'W' && p.druh != 'S') return std::nullopt;
    z.push_back(std::move(p));
  }
  if (!c.ok || c.pos != c.b.size()) return std::nullopt;
  return z;
}

std::string SouborZameru(const std::string& souborDokladu) {
  const std::size_t tecka = souborDokladu.rfind('.');
  return (tecka == std::string::npos ? souborDokladu : souborDokladu.substr(0, tecka)) + ".jrn";
}

bool ProvedZamer(const Zamer& zamer, const std::string& souborDokladu, StavRady& stav) {
  const std::string cesta = storage::DataCesta(SouborZameru(souborDokladu));
  std::vector<PuvodniStav> puvodni(zamer.Polozky().size());
  for (std::size_t i = 0; i < puvodni.size(); ++i)
    if (!zjisti(zamer.Polozky()[i], stav, puvodni[i])) return false;
  if (storage::ZapisZaznamCely(cesta, ZakodujZamer(puvodni)) != platform::kIoOk) return false;
  std::size_t i = 0;
  while (i < puvodni.size() && zapis(zamer.Polozky()[i], stav)) ++i;
  if (i == puvodni.size() && platform::removeFile(cesta) == platform::kIoOk) return true;
  // Put back, the failed write included (it may have stored part of its bytes). A record that
  // cannot be put back now stays, and the next open puts it back.
  if (vratVse(puvodni, std::min(i + 1, puvodni.size()), stav)) (void)platform::removeFile(cesta);
  return false;
}

Obnova ObnovZamer(const std::string& souborDokladu, StavRady& stav) {
  const std::string cesta = storage::DataCesta(SouborZameru(souborDokladu));
  if (platform::fileExists(storage::DocasnyZaznam(cesta))) (void)platform::removeFile(storage::DocasnyZaznam(cesta));
  if (!platform::fileExists(cesta)) return Obnova::Nic;
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return Obnova::Chyba;
  const auto puvodni = DekodujZamer(obsah);
  if (!puvodni) return platform::removeFile(cesta) == platform::kIoOk ? Obnova::Zahozeno : Obnova::Chyba;
  bool ok = true;
  std::string ponechano;
  for (std::size_t j = puvodni->size(); j-- > 0;) ok = vrat((*puvodni)[j], stav, &ponechano) && ok;
  if (!ok) return Obnova::Chyba;
  if (!ponechano.empty())
    storage::interaction().message(platform::cz("Přerušené uložení dokladu bylo vráceno, jeho zápisy v ") + ponechano +
                                       platform::cz(" ale zůstaly: za nimi už jsou zápisy jiných stanic. Opravte je."),
                                   true);
  return platform::removeFile(cesta) == platform::kIoOk ? Obnova::Vraceno : Obnova::Chyba;
}

Obnova ObnovRadu(const std::string& rada, const std::string& souborDokladu) {
  const std::string soubor = souborDokladu.empty() ? SouborDokladu(rada) : souborDokladu;
  const std::string cesta = storage::DataCesta(SouborZameru(soubor));
  if (!platform::fileExists(cesta) && !platform::fileExists(storage::DocasnyZaznam(cesta))) return Obnova::Nic;
  StavRady stav;
  if (!stav.Otevri(rada)) return Obnova::Chyba;
  return ObnovZamer(soubor, stav);
}

bool VratPrerusenaUlozeni(const std::vector<std::string>& zamcene, const std::string& vlastniDoklady) {
  if (zamcene.empty()) return true;
  std::vector<std::string> cesty;
  for (const std::string& z : zamcene) cesty.push_back(storage::VelkaPismena(z));
  const std::string vlastni = vlastniDoklady.empty() ? std::string() : storage::VelkaPismena(SouborZameru(vlastniDoklady));
  const auto zamcena = [&](const PuvodniStav& p) {
    return p.druh == 'W' &&
           std::find(cesty.begin(), cesty.end(), storage::VelkaPismena(storage::DataCesta(p.jmeno))) != cesty.end();
  };
  for (const platform::FileInfo& f : platform::listDirectory(storage::DataCesta("PZ*_.jrn"))) {
    // "PZ" + series + "_.jrn"
    if (f.isDirectory() || f.name.size() < 8 || storage::VelkaPismena(f.name) == vlastni) continue;
    const std::string cesta = storage::DataCesta(f.name);
    std::string obsah;
    if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) {
      if (!platform::fileExists(cesta)) continue;  // its series was opened meanwhile
      storage::interaction().message(platform::cz("Záznam přerušeného uložení ") + f.name + platform::cz(" nelze přečíst, nic nebylo uloženo"),
                                     true);
      return false;
    }
    // A record that is not whole was never acted on: its series' next open removes it.
    const auto puvodni = DekodujZamer(obsah);
    if (!puvodni || std::none_of(puvodni->begin(), puvodni->end(), zamcena)) continue;
    const std::string rada = f.name.substr(2, f.name.size() - 7);
    // Its series' lock held elsewhere: that station is undoing it now, or a save of that series
    // waits there for a file this one holds. Waiting here could wait for ever.
    if (!storage::IfVolny(ZamekStavu(rada)).empty()) {
      storage::interaction().message(platform::cz("Přerušené uložení dokladu řady ") + rada +
                                         platform::cz(" teď vrací jiná stanice, nic nebylo uloženo: zkuste to znovu"),
                                     true);
      return false;
    }
    StavRady stav;
    if (!stav.Otevri(rada)) return false;
    if (ObnovZamer(f.name.substr(0, f.name.size() - 4) + ".dta", stav) == Obnova::Chyba) {
      storage::interaction().message(platform::cz("Přerušené uložení dokladu řady ") + rada +
                                         platform::cz(" nelze vrátit, nic nebylo uloženo"),
                                     true);
      return false;
    }
  }
  return true;
}

void RegistrujVraceniPrerusenych() {
  storage::NastavVraceniPrerusenych([](const std::vector<std::string>& zamcene) { return VratPrerusenaUlozeni(zamcene); });
}

}  // namespace pz::cashdesk
