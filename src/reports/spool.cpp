#include "reports/spool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/filehelpers.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/sortarray.h"
#include "ui/dialogs.h"

namespace pz::reports {

using platform::cz;

namespace {

constexpr size_t kSirkaJmena = 30, kSirkaNazvu = 45, kNejdelsiNazev = 50, kSirkaOpravy = 140;
constexpr const char* kZrusena = "########";
// The data root's record that the document folders are stored scrambled, so that neither
// direction runs twice.
constexpr const char* kZnackaDokladu = "GDPRDOKL", *kZnackaOrg = "GDPRORG";

std::string doplnene(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

std::string bezMezer(const std::string& s) {
  const size_t z = s.find_first_not_of(' '), k = s.find_last_not_of(' ');
  return z == std::string::npos ? std::string() : s.substr(z, k - z + 1);
}

std::string sLomitkem(std::string s) {
  if (!s.empty() && s.back() != '\\' && s.back() != '/') s += '\\';
  return s;
}

// The lines of a text file without their line ends (CR LF or LF).
std::vector<std::string> radky(const std::string& obsah) {
  std::vector<std::string> out;
  size_t od = 0;
  while (od < obsah.size()) {
    size_t k = obsah.find('\n', od);
    if (k == std::string::npos) k = obsah.size();
    std::string r = obsah.substr(od, k - od);
    if (!r.empty() && r.back() == '\r') r.pop_back();
    out.push_back(std::move(r));
    od = k + 1;
  }
  return out;
}

// The lines of a report: records of the width its first lines give when the whole file is made
// of them (a scrambled line may hold any byte, CR and LF too), else the text up to each CR LF.
std::vector<std::string> radkySestavy(const std::string& obsah) {
  const int64_t velikost = static_cast<int64_t>(obsah.size());
  const int w = SirkaZeZacatku(std::string_view(obsah).substr(0, 999), velikost);
  if (w >= 1 && w <= 490 && velikost % (w + 2) == 0) {
    std::vector<std::string> out;
    bool cele = true;
    for (size_t od = 0; od < obsah.size(); od += static_cast<size_t>(w) + 2) {
      if (obsah.compare(od + static_cast<size_t>(w), 2, "\r\n") != 0) {
        cele = false;
        break;
      }
      out.push_back(obsah.substr(od, static_cast<size_t>(w)));
    }
    if (cele) return out;
  }
  std::vector<std::string> out;
  size_t od = 0;
  while (od < obsah.size()) {
    size_t k = obsah.find("\r\n", od);
    if (k == std::string::npos) k = obsah.size();
    out.push_back(obsah.substr(od, k - od));
    od = k + 2;
  }
  return out;
}

// Writes the bytes to a work file beside the target, which then takes the target's place in one
// step: a failure leaves the target as it was.
int zapisPresPracovni(const std::string& cil, const std::string& obsah) {
  const size_t lom = cil.find_last_of("\\/");
  const std::string pracovni = (lom == std::string::npos ? std::string() : cil.substr(0, lom + 1)) + "xxx.txt";
  if (platform::sameFileName(pracovni, cil)) return platform::kIoAccessDenied;
  if (const int e = platform::writeWholeFile(pracovni, obsah)) {
    platform::removeFile(pracovni);
    return e;
  }
  return storage::NahradSoubor(pracovni, cil);
}

std::string zobrazeneJmeno(const std::string& soubor) {
  std::string j = soubor.size() >= 4 ? soubor.substr(0, soubor.size() - 4) : soubor;
  j = storage::VelkaPismena(j);
  if (const size_t p = j.find("ARL"); p != std::string::npos) j[p + 2] = 'l';
  return doplnene(j, kSirkaJmena);
}

void pridejSlozku(std::vector<SestavaSeznamu>& out, const std::string& slozka) {
  for (const platform::FileInfo& f : platform::listDirectory(slozka + "*.txt")) {
    if (f.isDirectory() || f.size <= 0) continue;
    // The drive table of the working directory is no report, and deleting it would cut the
    // station off its drives.
    if (platform::sameFileName(f.name, "drives.txt") && platform::sameFile(slozka + f.name, "drives.txt")) continue;
    if (out.size() >= kNejvicSestav) return;
    SestavaSeznamu s;
    s.soubor = f.name;
    s.slozka = slozka;
    s.jmeno = zobrazeneJmeno(f.name);
    s.velikost = static_cast<int32_t>(std::min<int64_t>(f.size / 1000 + 1, INT32_MAX));
    char d[16];
    std::snprintf(d, sizeof d, "%02d%02d%02d", f.modified.day % 100, f.modified.month % 100, f.modified.year % 100);
    s.datum = d;
    out.push_back(std::move(s));
  }
}

bool maskaSedi(const std::string& maska, const std::string& jmeno) {
  const std::string m = doplnene(storage::VelkaPismena(maska.substr(0, 8)), 8);
  const std::string j = doplnene(storage::VelkaPismena(jmeno.substr(0, 8)), 8);
  for (size_t i = 0; i < 8; ++i)
    if (m[i] != '*' && j[i] != '*' && m[i] != j[i]) return false;
  return true;
}

std::string klic(const SestavaSeznamu& s, int druh, int poradi) {
  using storage::DruhSloupce;
  switch (druh) {
    case 2: {
      char b[32];
      std::snprintf(b, sizeof b, "%10d%5d", s.velikost, poradi);
      return b;
    }
    case 3: {
      const std::string d = s.datum.size() >= 6 ? s.datum.substr(0, 2) + "." + s.datum.substr(2, 2) + "." + s.datum.substr(4, 2)
                                                : std::string();
      return storage::KlicSloupce(d, DruhSloupce::DatumDdMmRr, poradi);
    }
    case 4: return storage::KlicSloupce(s.nazev, DruhSloupce::Text, poradi);
    case 5: return storage::KlicSloupce(s.slozka, DruhSloupce::Text, poradi);
    default: return storage::KlicSloupce(s.jmeno, DruhSloupce::Text, poradi);
  }
}

}  // namespace

std::vector<SestavaSeznamu> NactiSeznamSestav() {
  std::vector<SestavaSeznamu> out;
  std::string kde;
  if (platform::readWholeFile("_sestavy.kde", kde, platform::Share::DenyNone) != platform::kIoOk) kde.clear();
  if (kde.size() >= 3) {
    for (const std::string& r : radky(kde)) {
      const std::string s = bezMezer(r);
      if (!s.empty()) pridejSlozku(out, sLomitkem(s));
    }
  } else {
    pridejSlozku(out, sLomitkem(platform::currentDirectory()));
  }
  return out;
}

void PridejNazvy(std::vector<SestavaSeznamu>& seznam, const std::string& listw) {
  std::string obsah;
  if (platform::readWholeFile(listw, obsah, platform::Share::DenyNone) != platform::kIoOk) return;
  for (const std::string& r : radky(obsah)) {
    if (r.size() < 10) continue;
    const std::string maska = r.substr(0, 8);
    std::string nazev = r.size() >= 18 && r[17] == '|' ? (r.size() > 18 ? r.substr(18) : std::string()) : r.substr(9);
    nazev = nazev.substr(0, kNejdelsiNazev).substr(0, kSirkaNazvu);
    for (SestavaSeznamu& s : seznam)
      if (!s.zrusena() && maskaSedi(maska, s.jmeno)) s.nazev = nazev;
  }
}

void SetridSeznam(std::vector<SestavaSeznamu>& seznam, int druh, bool sestupne) {
  std::vector<std::string> klice;
  for (size_t i = 0; i < seznam.size(); ++i) klice.push_back(klic(seznam[i], druh, static_cast<int>(i + 1)));
  storage::SetridPole(
      static_cast<int>(seznam.size()),
      [&](int a, int b) {
        const auto& x = klice[static_cast<size_t>(a - 1)];
        const auto& y = klice[static_cast<size_t>(b - 1)];
        return sestupne ? y < x : x < y;
      },
      [&](int a, int b) {
        std::swap(klice[static_cast<size_t>(a - 1)], klice[static_cast<size_t>(b - 1)]);
        std::swap(seznam[static_cast<size_t>(a - 1)], seznam[static_cast<size_t>(b - 1)]);
      });
}

bool ZrusSestavu(SestavaSeznamu& s) {
  if (s.zrusena()) return false;
  const std::string cesta = s.cesta();
  const std::string zaklad = cesta.size() >= 4 ? cesta.substr(0, cesta.size() - 4) : cesta;
  const storage::Zamek z = storage::Zamkni(cesta, "W");
  if (!storage::MuzePokracovat(z)) return false;
  // A real name can hold "*" or "?", which a mask would spread to other files.
  const auto zrus = [](const std::string& p) {
    if (p.find_first_of("*?") != std::string::npos) return platform::removeFile(p);
    return storage::ZrusSoubory(p);
  };
  zrus(cesta);
  if (platform::fileExists(zaklad + ".txz")) zrus(zaklad + ".txz");
  if (z == storage::Zamek::Drzen) storage::Odemkni(cesta);
  // A report that another program still holds stays listed as it is, so F8 can try again.
  if (platform::fileExists(cesta)) return false;
  s.jmeno = doplnene(kZrusena, kSirkaJmena);
  return true;
}

int SpravDelkuVet(const std::string& cesta) {
  std::string obsah;
  if (const int e = platform::readWholeFile(cesta, obsah)) return e;
  const bool gdpr = storage::settings().gdpr;
  std::string nove;
  for (const std::string& r : radkySestavy(obsah)) {
    // A scrambled line is cleared first, so that the blanks added read back as blanks.
    std::string t = doplnene(gdpr ? Dekoduj(r, KlicSestav()) : r, kSirkaOpravy);
    nove += (gdpr ? Zakoduj(t, KlicSestav()) : t) + "\r\n";
  }
  return zapisPresPracovni(cesta, nove);
}

int RozdelArchiv(const std::string& cesta, int n) {
  if (n < 1) return 0;
  const size_t lom = cesta.find_last_of("\\/");
  const size_t jmeno = lom == std::string::npos ? 0 : lom + 1;
  size_t tecka = cesta.find('.', jmeno);
  if (tecka == std::string::npos) tecka = cesta.size();
  const std::string zaklad = cesta.substr(0, tecka > jmeno ? tecka - 1 : jmeno);
  std::string obsah;
  if (const int e = platform::readWholeFile(cesta, obsah)) return e;
  std::string a, b;
  int i = 0;
  for (const std::string& r : radkySestavy(obsah)) (++i <= n ? a : b) += r + "\r\n";
  // The halves go together: when the second cannot be written, the first is put back as it was.
  const std::string cestaA = zaklad + "_A.txt";
  std::string stareA;
  const bool byloA = platform::fileExists(cestaA);
  if (byloA)
    if (const int e = platform::readWholeFile(cestaA, stareA)) return e;
  if (const int e = zapisPresPracovni(cestaA, a)) return e;
  const int e = zapisPresPracovni(zaklad + "_B.txt", b);
  if (e != 0) {
    if (byloA)
      zapisPresPracovni(cestaA, stareA);
    else
      platform::removeFile(cestaA);
  }
  return e;
}

int SpojArchivy(const std::vector<SestavaSeznamu>& seznam, bool jednickaPrvni, const std::string& listw) {
  int chyba = 0;
  for (const SestavaSeznamu& s : seznam) {
    if (s.zrusena() || s.jmeno.size() < 5 || s.jmeno.compare(2, 3, "AR1") != 0 || s.soubor.size() < 5) continue;
    std::string partner = s.soubor;
    partner[4] = 'l';
    const std::string jednicka = storage::DataCesta(s.soubor), elko = storage::DataCesta(partner);
    std::string a, b;
    if (const int e = platform::readWholeFile(jednicka, a)) {
      chyba = e;
      continue;
    }
    // Only a missing "l" archive counts as empty: one that cannot be read would be lost.
    const bool byloElko = platform::fileExists(elko);
    if (byloElko)
      if (const int e = platform::readWholeFile(elko, b)) {
        chyba = e;
        continue;
      }
    if (const int e = zapisPresPracovni(elko, jednickaPrvni ? a + b : b + a)) {
      chyba = e;
      continue;
    }
    // A "1" archive that stays would be joined a second time: the "l" archive goes back.
    if (const int e = platform::removeFile(jednicka)) {
      chyba = e;
      if (byloElko)
        zapisPresPracovni(elko, b);
      else
        platform::removeFile(elko);
    }
  }
  // The titles follow the archives only when every join was made: a title renamed for a "1"
  // archive that stayed would name a file that does not exist.
  if (chyba != 0 || !platform::fileExists(listw)) return chyba;
  std::string tab;
  if (const int e = platform::readWholeFile(listw, tab)) return e;
  std::string nove;
  bool zmena = false;
  for (std::string r : radky(tab)) {
    if (r.size() >= 5 && storage::VelkaPismena(r.substr(2, 3)) == "AR1") {
      r[4] = 'l';
      zmena = true;
    }
    nove += r + "\r\n";
  }
  if (zmena)
    if (const int e = zapisPresPracovni(listw, nove)) chyba = e;
  return chyba;
}

namespace {

using PraceSestav = std::vector<std::pair<std::string, std::string>>;  // work file, report

// Nothing tells a scrambled report from a plain one but the installation's switch, so the
// reports change all together or not at all: every converted report is first written beside
// its own ("name.$gd"); a failure leaves none of these work files.
int napisPrevedene(const std::vector<SestavaSeznamu>& seznam, bool zasifruj,
                   const std::function<void(const std::string&)>& postup, PraceSestav& hotove) {
  const auto zahod = [&] {
    for (const auto& [pracovni, cil] : hotove) platform::removeFile(pracovni);
    hotove.clear();
  };
  for (const SestavaSeznamu& s : seznam) {
    if (s.zrusena()) continue;
    if (postup) postup(bezMezer(s.jmeno));
    std::string obsah;
    if (const int e = platform::readWholeFile(s.cesta(), obsah)) {
      zahod();
      return e;
    }
    std::string nove;
    for (const std::string& r : radkySestavy(obsah)) nove += (zasifruj ? Zakoduj(r, KlicSestav()) : Dekoduj(r, KlicSestav())) + "\r\n";
    const std::string pracovni = s.cesta() + ".$gd";
    hotove.emplace_back(pracovni, s.cesta());
    if (const int e = platform::writeWholeFile(pracovni, nove)) {
      zahod();
      return e;
    }
  }
  return 0;
}

// The written work files take the reports' places; `nahrazeno` counts those that did.
int nahradPrevedene(const PraceSestav& hotove, int& nahrazeno) {
  int chyba = 0;
  nahrazeno = 0;
  for (const auto& [pracovni, cil] : hotove)
    if (const int e = storage::NahradSoubor(pracovni, cil)) {
      platform::removeFile(pracovni);
      chyba = e;
    } else {
      ++nahrazeno;
    }
  return chyba;
}

bool ulozGdpr(bool zapnuto) { return storage::PisJobV(storage::DataCesta(""), "GDPR", zapnuto ? "ANO" : ""); }

}  // namespace

int PrevedSestavy(const std::vector<SestavaSeznamu>& seznam, bool zasifruj,
                  const std::function<void(const std::string&)>& postup) {
  PraceSestav hotove;
  if (const int e = napisPrevedene(seznam, zasifruj, postup, hotove)) return e;
  int nahrazeno = 0;
  return nahradPrevedene(hotove, nahrazeno);
}

int PrepniSestavy(const std::vector<SestavaSeznamu>& seznam, bool zasifruj,
                  const std::function<void(const std::string&)>& postup) {
  PraceSestav hotove;
  if (const int e = napisPrevedene(seznam, zasifruj, postup, hotove)) return e;
  // The switch is stored while the reports are still as they were: when it cannot be (a busy
  // or failing "master.job", which says so itself), nothing has changed. A write that failed
  // may still have stored it (a write torn after its entry), so what the table holds decides.
  std::string ulozeny;
  if (!ulozGdpr(zasifruj) && (storage::CtiJobVKontrolou(storage::DataCesta(""), "GDPR", ulozeny) != 0 ||
                              ulozeny.empty() == zasifruj)) {
    for (const auto& [pracovni, cil] : hotove) platform::removeFile(pracovni);
    return platform::kIoWriteFailed;
  }
  storage::settings().gdpr = zasifruj;
  int nahrazeno = 0;
  const int e = nahradPrevedene(hotove, nahrazeno);
  // No report changed: the switch goes back with them.
  if (e != 0 && nahrazeno == 0 && ulozGdpr(!zasifruj)) storage::settings().gdpr = !zasifruj;
  return e;
}

namespace {

// The record of a conversion of the document folders under way, in "doklady\": the direction on
// its first line, then one line for each document converted (its folder + "\" + name), written
// and synced before the converted copy ("name.$gd", beside the document and synced too) takes the
// document's place. A document whose line is there is in the new form, or its copy still waits
// beside it to be put in place; any other document is in the old form. So a run cut off or
// failed is finished by the next one, and no document is converted twice.
constexpr const char* kZaznamDokladu = "gdprdokl.jrn";
constexpr const char* kZasifrovat = "ZASIFROVAT", *kDesifrovat = "DESIFROVAT";

struct ZaznamDokladu {
  bool platny = false;           // a whole first line stands
  bool zasifruj = false;
  std::set<std::string> hotove;
  int64_t delka = 0;             // up to the end of the last whole line
  bool poskozeny = false;        // a first line that names no direction
};

ZaznamDokladu rozeberZaznam(const std::string& obsah) {
  ZaznamDokladu z;
  size_t od = 0;
  for (size_t k; (k = obsah.find("\r\n", od)) != std::string::npos; od = k + 2) {
    const std::string radek = obsah.substr(od, k - od);
    if (!z.platny) {
      if (radek != kZasifrovat && radek != kDesifrovat) {
        z.poskozeny = true;
        return z;
      }
      z.platny = true;
      z.zasifruj = radek == kZasifrovat;
    } else {
      z.hotove.insert(radek);
    }
    z.delka = static_cast<int64_t>(k + 2);
  }
  return z;
}

// The bytes in a new file beside the document, synced, so that a line of the record never
// speaks for a copy still in the cache.
int zapisNaDisk(const std::string& cesta, const std::string& obsah) {
  platform::File f;
  int e = f.open(cesta, platform::Access::Write, platform::Share::DenyReadWrite, platform::Create::CreateAlways);
  if (e == 0) e = f.writeAt(0, obsah.data(), obsah.size());
  if (e == 0) e = f.sync();
  return e;
}

}  // namespace

int PrevedDoklady(bool zasifruj, const std::function<void(const std::string&)>& postup) {
  static const char* const kDruhy[] = {"OF", "ZF", "PO", "PZ", "DF", "DZ"};
  const std::string koren = storage::DataCesta(""), doklady = storage::DataCesta("doklady\\");
  const auto nelze = [&](int e) {
    storage::interaction().message(
        cz(zasifruj ? "Šifrování" : "Dešifrování") + cz(" dokladů se nedokončilo (chyba ") + std::to_string(e) +
            cz("). Spusťte ho znovu, naváže tam, kde skončilo."),
        true);
    return e;
  };
  std::string znacka;
  if (const int e = storage::CtiJobVKontrolou(koren, kZnackaDokladu, znacka)) return nelze(e);
  const bool zasifrovane = !znacka.empty();
  const auto hotovo = [&]() -> int {
    if (zasifrovane != zasifruj && !storage::PisJobV(koren, kZnackaDokladu, zasifruj ? "ANO" : ""))
      return nelze(platform::kIoWriteFailed);
    return 0;
  };
  if (!platform::directoryExists(doklady)) return hotovo();

  // Held for the whole run, so that two stations never convert the folders at once.
  const std::string cestaZaznamu = doklady + kZaznamDokladu;
  platform::File zaznam;
  if (const int e = zaznam.open(cestaZaznamu, platform::Access::ReadWrite, platform::Share::DenyReadWrite,
                                platform::Create::OpenAlways))
    return nelze(e);
  int64_t velikost = 0;
  if (const int e = zaznam.size(velikost)) return nelze(e);
  std::string obsah(static_cast<size_t>(velikost), '\0');
  if (velikost > 0)
    if (const int e = zaznam.readAt(0, obsah.data(), obsah.size())) return nelze(e);
  ZaznamDokladu z = rozeberZaznam(obsah);
  if (z.poskozeny) {
    storage::interaction().message(cz("Záznam převodu dokladů ") + cestaZaznamu +
                                       cz(" je poškozený, nevím, které doklady jsou převedené. Nic nebylo změněno."),
                                   true);
    return platform::kIoReadFault;
  }
  // A record of the other direction stays after a whole run whose record could not be deleted
  // (the mark already tells that run's result); of a run cut off it asks to be finished first.
  if (z.platny && z.zasifruj != zasifruj) {
    if (zasifrovane != z.zasifruj) {
      storage::interaction().message(
          cz(z.zasifruj ? "Šifrování" : "Dešifrování") +
              cz(" dokladů nebylo dokončeno, spusťte ho nejdřív znovu. Nic nebylo změněno."),
          true);
      return platform::kIoAccessDenied;
    }
    z = ZaznamDokladu{};
  }
  if (!z.platny) {
    if (zasifrovane == zasifruj) {
      zaznam.close();
      platform::removeFile(cestaZaznamu);
      return 0;  // the documents are in that form already
    }
    z.platny = true;
    z.zasifruj = zasifruj;
    const std::string hlavicka = std::string(zasifruj ? kZasifrovat : kDesifrovat) + "\r\n";
    int e = zaznam.truncate(0);
    if (e == 0) e = zaznam.writeAt(0, hlavicka.data(), hlavicka.size());
    if (e == 0) e = zaznam.sync();
    if (e != 0) return nelze(e);
    z.delka = static_cast<int64_t>(hlavicka.size());
  } else if (z.delka < velikost) {
    // The cut-off end of a line that was being written: the next line goes in its place.
    if (const int e = zaznam.truncate(z.delka)) return nelze(e);
  }

  for (const platform::FileInfo& d : platform::listDirectory(doklady + "*")) {
    if (!d.isDirectory()) continue;
    const std::string zacatek = storage::VelkaPismena(d.name.substr(0, 2));
    if (std::none_of(std::begin(kDruhy), std::end(kDruhy), [&](const char* k) { return zacatek == k; })) continue;
    if (postup) postup(d.name);
    const std::string slozka = doklady + d.name + "\\";
    for (const char* maska : {"*.txt", "*.jpg"}) {
      int pocet = 0;
      for (const platform::FileInfo& f : platform::listDirectory(slozka + maska)) {
        if (f.isDirectory() || ++pocet > 10000) continue;
        const std::string jmeno = d.name + "\\" + f.name, cesta = slozka + f.name, pracovni = cesta + ".$gd";
        if (z.hotove.count(jmeno)) {
          // Converted: only a copy that did not get into place yet is left to do.
          if (platform::fileExists(pracovni))
            if (const int e = storage::NahradSoubor(pracovni, cesta)) return nelze(e);
          continue;
        }
        // A copy without its line was never vouched for: it may be cut.
        if (platform::fileExists(pracovni)) platform::removeFile(pracovni);
        std::string data;
        if (const int e = platform::readWholeFile(cesta, data)) return nelze(e);
        // Whole files, as the record forms read the pictures back.
        data = zasifruj ? Zakoduj(data, KlicSestav()) : Dekoduj(data, KlicSestav());
        if (const int e = zapisNaDisk(pracovni, data)) {
          platform::removeFile(pracovni);
          return nelze(e);
        }
        // When the line cannot be written whole the copy stays: the next run tells from the
        // record whether it counts.
        const std::string radek = jmeno + "\r\n";
        int e = zaznam.writeAt(z.delka, radek.data(), radek.size());
        if (e == 0) e = zaznam.sync();
        if (e != 0) return nelze(e);
        z.delka += static_cast<int64_t>(radek.size());
        z.hotove.insert(jmeno);
        if (const int n = storage::NahradSoubor(pracovni, cesta)) return nelze(n);
      }
    }
  }
  // The mark follows only a whole run; the record goes after it, so that a stop between the two
  // leaves a record that the mark shows finished.
  if (const int e = hotovo()) return e;
  zaznam.close();
  platform::removeFile(cestaZaznamu);
  return 0;
}

SluzbySeznamu& sluzbySeznamu() {
  static SluzbySeznamu s;
  return s;
}

// ---------------------------------------------------------------------------------------------
// The window

TfSpool::TfSpool() : TfRol("fSpool", cz("Seznam tiskových sestav")) {
  Sloupce = {{" ### ", 5}, {"Soubor", 30}, {" Velikost ", 10}, {"DD.MM.RR  ", 8, true}, {cz("Název sestavy"), 45},
             {cz("Kde leží"), 50}};
  EnterOpravuje = true;  // Enter shows the report and the list stays
}

void TfSpool::nacti() {
  seznam_ = NactiSeznamSestav();
  PridejNazvy(seznam_, storage::ProgCesta("listw.tab"));
  SetridSeznam(seznam_, 1);
}

void TfSpool::Ukaz() {
  nacti();
  sestupneDatum_ = true;
  nabidka(false);
  OtevriRol(2, 2, 150, 26, ui::kWhite, ui::kBlack, cz("Seznam tiskových sestav"), cz(" Enter,Mezera-Rožni  F8-Zruš "),
            static_cast<int>(seznam_.size()), static_cast<int>(seznam_.size()));
  JdiNa(static_cast<int>(seznam_.size()), 2);
  showModal();
}

void TfSpool::NaplnSloupce() {
  if (aktualni_ < 1 || aktualni_ > static_cast<int>(seznam_.size())) return;
  const SestavaSeznamu& s = seznam_[static_cast<size_t>(aktualni_ - 1)];
  char c[32];
  std::snprintf(c, sizeof c, " %3d ", aktualni_);
  Bunky[1] = c;
  Bunky[2] = s.jmeno;
  std::snprintf(c, sizeof c, "%10d", s.velikost);
  Bunky[3] = c;
  Bunky[4] = s.datum.size() >= 6 ? s.datum.substr(0, 2) + "." + s.datum.substr(2, 2) + "." + s.datum.substr(4, 2) : s.datum;
  Bunky[5] = s.nazev;
  Bunky[6] = s.slozka.substr(0, 50);
}

void TfSpool::Oprav() {
  if (Radek < 1 || Radek > static_cast<int>(seznam_.size())) return;
  const SestavaSeznamu& s = seznam_[static_cast<size_t>(Radek - 1)];
  if (s.zrusena()) return;
  const std::string c = s.cesta();
  // The viewer adds ".txt" again; the rest of the path is the file's own spelling.
  ui::UkazSestavu(c.size() >= 4 ? c.substr(0, c.size() - 4) : c);
}

void TfSpool::NaF1() { ui::Napoveda("\\2\\spool", "Seznam"); }

void TfSpool::NaF8() {
  if (Radek >= 1 && Radek <= static_cast<int>(seznam_.size())) ZrusSestavu(seznam_[static_cast<size_t>(Radek - 1)]);
}

void TfSpool::trid(int druh) {
  const int r = Radek;
  const std::string drive = r >= 1 && r <= static_cast<int>(seznam_.size()) ? seznam_[static_cast<size_t>(r - 1)].cesta() : "";
  bool sestupne = false;
  if (druh == 3) sestupne = sestupneDatum_ = !sestupneDatum_;
  SetridSeznam(seznam_, druh, sestupne);
  for (size_t i = 0; i < seznam_.size(); ++i)
    if (seznam_[i].cesta() == drive) JdiNa(static_cast<int>(i + 1));
  Prekresli();
}

void TfSpool::NaCtrlPravy() {
  nabidka(true);
  PopupMenu1.popup(*this, 2, std::max(1, sgRol.row));
  nabidka(false);
}

void TfSpool::nabidka(bool udrzba) {
  const auto hotovo = [](int e) { ui::Zprava(e == 0 ? std::string("OK") : "Err " + std::to_string(e)); };
  const auto sestava = [this]() -> const SestavaSeznamu* {
    if (Radek < 1 || Radek > static_cast<int>(seznam_.size()) || seznam_[static_cast<size_t>(Radek - 1)].zrusena()) return nullptr;
    return &seznam_[static_cast<size_t>(Radek - 1)];
  };
  const auto prebuduj = [this] {
    nacti();
    PocetRadku = static_cast<int>(seznam_.size());
    Sestav();
    JdiNa(std::min(std::max(1, Radek), PocetRadku));
  };
  const auto postup = [](const std::string& jmeno) { ui::Blik(cz("Převádím ") + jmeno); };
  const auto neni = [] { ui::Zprava(cz("Tato funkce v této verzi programu ještě není.")); };
  struct Polozka {
    const char* text;
    bool udrzbova;
    std::function<void()> akce;
  };
  const std::vector<Polozka> polozky = {
      {"Dle souboru", false, nullptr},
      {"Dle velikosti", false, [this] { trid(2); }},
      {"Dle data", false, [this] { trid(3); }},
      {"Dle názvu", false, [this] { trid(4); }},
      {"Dle umístění", false, [this] { trid(5); }},
      {"Sprav délku vět", true, [=] {
         if (const SestavaSeznamu* s = sestava()) hotovo(SpravDelkuVet(s->cesta()));
       }},
      {"Přenes názvy archívů OF ", true, neni},
      {" Přenes názvy archívů ZF ", true, neni},
      {"Spoj archiv 1+ l -> l", true, [=, this] {
         hotovo(SpojArchivy(seznam_, true, storage::ProgCesta("listw.tab")));
         prebuduj();
       }},
      {"Spoj archiv l + 1 -> l", true, [=, this] {
         hotovo(SpojArchivy(seznam_, false, storage::ProgCesta("listw.tab")));
         prebuduj();
       }},
      {"Rozděl archiv", true, [=] {
         const SestavaSeznamu* s = sestava();
         if (!s || !ui::Dotazy(10, 10, {}, {cz("Zadejte hranici pro střih (číslo řádku)"), std::string(9, ' ')}, "") ||
             ui::vysledekDialogu().odpovedi.empty())
           return;
         const int n = std::atoi(bezMezer(ui::vysledekDialogu().odpovedi[0]).c_str());
         if (n < 1) return;
         if (const int e = RozdelArchiv(s->cesta(), n)) hotovo(e);
         prebuduj();
       }},
      // Nothing marks a scrambled file, so the installation's GDPR switch says which way the
      // reports are: scrambling runs only while it is off, unscrambling only while it is on.
      {"Zašifruj sestavy (lok. nebo glob).", true, [=, this] {
         if (storage::settings().gdpr) {
           ui::Zprava(cz("Sestavy už jsou zašifrované (GDPR=ANO)"));
           return;
         }
         if (!ui::DotazVychozi(cz("Zašifrovat všechny sestavy v seznamu?"), false)) return;
         const int e = PrepniSestavy(seznam_, true, postup);
         ui::BlikKonec();
         hotovo(e);
       }},
      {"Zašifruj  ORG a DOKLADY (.txt a .jpg)", true, [=] {
         const std::string koren = storage::DataCesta("");
         const bool org = storage::CtiJobV(koren, kZnackaOrg).empty(), doklady = storage::CtiJobV(koren, kZnackaDokladu).empty();
         if (!org && !doklady) {
           ui::Zprava(cz("ORG a doklady už jsou zašifrované"));
           return;
         }
         if (!ui::DotazVychozi(cz("Zašifrovat ORG a DOKLADY?"), false)) return;
         int e = 0, d = 0;
         if (org && sluzbySeznamu().prevedOrg) {
           ui::Blik(cz("Převádím ORG"));
           e = sluzbySeznamu().prevedOrg(true);
           if (e == 0) storage::PisJobV(koren, kZnackaOrg, "ANO");
         }
         if (doklady) {
           ui::Blik(cz("Převádím archivy"));
           d = PrevedDoklady(true, postup);  // a failure has said so itself
         }
         ui::BlikKonec();
         if (e != 0)
           ui::Zprava("Err " + std::to_string(e));
         else if (d == 0)
           ui::Zprava("Hotovo");
       }},
      {"Dešifruj sestavy", true, [=, this] {
         if (!storage::settings().gdpr) {
           ui::Zprava(cz("Sestavy nejsou zašifrované (GDPR není zapnuto)"));
           return;
         }
         if (!ui::DotazVychozi(cz("Dešifrovat všechny sestavy v seznamu?"), false)) return;
         const int e = PrepniSestavy(seznam_, false, postup);
         ui::BlikKonec();
         hotovo(e);
       }},
      {"Dešifruj jen Doklady (.txt a .jpg)", true, [=] {
         if (storage::CtiJobV(storage::DataCesta(""), kZnackaDokladu).empty()) {
           ui::Zprava(cz("Doklady nejsou zašifrované"));
           return;
         }
         if (!ui::DotazVychozi(cz("Dešifrovat DOKLADY?"), false)) return;
         ui::Blik(cz("Převádím archivy"));
         const int e = PrevedDoklady(false, postup);  // a failure has said so itself
         ui::BlikKonec();
         if (e == 0) ui::Zprava("Hotovo");
       }},
  };
  PopupMenu1.items.clear();
  char jmeno = 'a';
  for (const Polozka& p : polozky) {
    ui::MenuItem m{std::string(1, jmeno++), cz(p.text), true, p.akce && (!p.udrzbova || udrzba), p.akce};
    PopupMenu1.items.push_back(std::move(m));
  }
}

}  // namespace pz::reports
