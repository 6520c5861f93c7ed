#include "accounting/attach.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/filehelpers.h"
#include "storage/intentrecord.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/recordfile.h"
#include "storage/roots.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::accounting {

using platform::cz;

namespace {

constexpr const char* kKPripojeni = "uc1.wrk";  // working directory: the entries to attach
constexpr const char* kZbytek = "uc2.wrk";      // working directory: the entries left in the batch

std::string cisloUP(std::string_view veta) {
  const tUcZapis z = RozeberZapis(veta.substr(0, ucZapis::kVelikost));
  return storage::DoplnZprava(z.cisloUP, 6);
}

// The ledger and the batch held for writing, ledger first; released in the reverse order.
class Zamky {
 public:
  Zamky(std::string kniha, std::string davka) : kniha_(std::move(kniha)), davka_(std::move(davka)) {}
  ~Zamky() {
    if (zd_ == storage::Zamek::Drzen) storage::Odemkni(davka_);
    if (zk_ == storage::Zamek::Drzen) storage::Odemkni(kniha_);
  }
  bool zamkni() {
    zk_ = storage::Zamkni(kniha_, "W");
    if (!storage::MuzePokracovat(zk_)) return false;
    zd_ = storage::Zamkni(davka_, "W");
    return storage::MuzePokracovat(zd_);
  }
  bool knihaZamcena() const { return zk_ == storage::Zamek::Drzen; }
  bool davkaZamcena() const { return zd_ == storage::Zamek::Drzen; }
  // Both locks still this station's (a restarted lock server may have given one away).
  bool drzi() const {
    return (!knihaZamcena() || storage::DrziZamek(kniha_)) && (!davkaZamcena() || storage::DrziZamek(davka_));
  }

 private:
  std::string kniha_, davka_;
  storage::Zamek zk_ = storage::Zamek::Nedrzen, zd_ = storage::Zamek::Nedrzen;
};

void nicNepripojeno(const std::string& proc) { ui::Zprava(proc + cz(", nic nebylo připojeno")); }

std::string nazev(const std::string& cesta) {
  const auto o = cesta.find_last_of("\\/");
  return o == std::string::npos ? cesta : cesta.substr(o + 1);
}

// ---- The intent record (its layout in the header).

constexpr char kZnacka[] = "PZP1";

// A file's contents as the record knows them.
struct Otisk {
  std::int64_t delka = 0;
  std::uint64_t soucet = 0;
};
Otisk otisk(std::string_view b) { return {static_cast<std::int64_t>(b.size()), storage::Fnv1a64(b)}; }
// The bytes begin with the contents `o` stands for.
bool zacina(std::string_view b, const Otisk& o) {
  return o.delka >= 0 && b.size() >= static_cast<std::uint64_t>(o.delka) &&
         storage::Fnv1a64(b.substr(0, static_cast<std::size_t>(o.delka))) == o.soucet;
}

struct Zamer {
  std::string kniha;            // the ledger's name; it lies beside the batch
  Otisk predtim, potom, davka;  // the ledger before and after, the batch before
  bool smazat = false;          // the batch is deleted (else it becomes `nova`)
  std::string nova;
};

std::string zakoduj(const Zamer& z) {
  std::string s(kZnacka);
  storage::PridejLE<std::uint16_t>(s, static_cast<std::uint16_t>(z.kniha.size()));
  s += z.kniha;
  for (const Otisk& o : {z.predtim, z.potom, z.davka}) {
    storage::PridejLE<std::int64_t>(s, o.delka);
    storage::PridejLE<std::uint64_t>(s, o.soucet);
  }
  s.push_back(z.smazat ? 'D' : 'N');
  storage::PridejLE<std::uint32_t>(s, static_cast<std::uint32_t>(z.nova.size()));
  s += z.nova;
  storage::PridejLE<std::uint64_t>(s, storage::Fnv1a64(s));
  return s;
}

// Nothing when the bytes are not one whole record.
std::optional<Zamer> dekoduj(std::string_view b) {
  if (b.size() < 12 || b.substr(0, 4) != kZnacka) return std::nullopt;
  storage::CteniLE c{b.substr(0, b.size() - 8), 4};
  storage::CteniLE soucet{b.substr(b.size() - 8)};
  if (soucet.cislo<std::uint64_t>() != storage::Fnv1a64(c.b)) return std::nullopt;
  Zamer z;
  z.kniha = std::string(c.kus(c.cislo<std::uint16_t>()));
  for (Otisk* o : {&z.predtim, &z.potom, &z.davka}) {
    o->delka = c.cislo<std::int64_t>();
    o->soucet = c.cislo<std::uint64_t>();
  }
  const std::string_view druh = c.kus(1);
  z.smazat = druh == "D";
  z.nova = std::string(c.kus(c.cislo<std::uint32_t>()));
  if (!c.ok || c.pos != c.b.size() || (druh != "D" && druh != "N")) return std::nullopt;
  return z;
}

// Written whole beside the batch, synced, and only then in place under its name.
bool zapisZaznam(const std::string& zaznam, const Zamer& z) {
  const int e = storage::ZapisZaznamCely(zaznam, zakoduj(z));
  if (e == platform::kIoOk) return true;
  nicNepripojeno(storage::ZpravaZapisu(nazev(zaznam), e));
  return false;
}

// The ledger replaced by `nahradKnihu`, then the batch by `nahradDavku`, under the intent record
// `z`. When the batch cannot follow, the ledger goes back, so that no voucher is ever in both; a
// record that could not be settled stays for whoever takes the batch next.
void nahrad(const Zamer& z, const std::string& kniha, const std::string& davka, const std::string& hlavni,
            const Zamky& zamky, const std::function<bool()>& nahradKnihu, const std::function<bool()>& nahradDavku) {
  const std::string zaznam = ZaznamPripojeni(davka);
  if (!zapisZaznam(zaznam, z)) return;
  if (nahradKnihu()) {
    if (nahradDavku()) {
      (void)platform::removeFile(zaznam);  // one left behind finds the batch done and goes
      return;
    }
    if (NahradBajty(kniha, hlavni, zamky.knihaZamcena())) nicNepripojeno(cz("Dávku ") + davka + cz(" nelze přepsat"));
  }
  // The ledger as it was (the record then goes), or, should it hold the entries after all, the
  // batch tried once more.
  (void)DokonciPripojeni(davka, zamky.davkaZamcena());
}

// "Všechny": the batch's bytes after the ledger's, or the batch renamed to the ledger when the
// ledger holds nothing. No balance check.
void vsechny(const std::string& kniha, const std::string& davka) {
  Zamky zamky(kniha, davka);
  if (!zamky.zamkni()) {
    nicNepripojeno(cz("Účetnictví nebo dávka není volná"));
    return;
  }
  if (DokonciPripojeni(davka, zamky.davkaZamcena()) == Dokonceni::Chyba) return;
  const auto hlavni = BajtyDavky(kniha);
  if (!hlavni) return;
  const auto zapisy = BajtyDavky(davka);
  if (!zapisy) return;
  if (zapisy->empty()) return;
  if (!zamky.drzi()) {
    nicNepripojeno(cz("Účetnictví nebo dávka už není zamčena touto stanicí"));
    return;
  }
  if (hlavni->empty()) {
    // One rename moves the entries: no moment holds them twice.
    storage::NahradSoubor(davka, kniha);  // reports its own failure; the batch then stays
    return;
  }
  // The batch is deleted only once the ledger holds its entries.
  nahrad({nazev(kniha), otisk(*hlavni), otisk(*hlavni + *zapisy), otisk(*zapisy), true, {}}, kniha, davka, *hlavni, zamky,
         [&] { return NahradBajty(kniha, *hlavni + *zapisy, zamky.knihaZamcena()); },
         [&] { return storage::ZrusSoubory(davka) == 0; });
}

// "Podle výběru" once the user has marked the vouchers.
void podleVyberu(const std::string& kniha, const std::string& davka, const std::string& videna,
                 const std::vector<std::string>& oznacene) {
  Zamky zamky(kniha, davka);
  if (!zamky.zamkni()) {
    nicNepripojeno(cz("Účetnictví nebo dávka není volná"));
    return;
  }
  if (DokonciPripojeni(davka, zamky.davkaZamcena()) == Dokonceni::Chyba) return;
  // Read again under the locks. The entries the list showed must still be the batch's first ones;
  // entries appended since stay in the batch whatever their voucher number.
  const auto hlavni = BajtyDavky(kniha);
  if (!hlavni) return;
  const auto ted = BajtyDavky(davka);
  if (!ted) return;
  if (ted->size() < videna.size() || ted->compare(0, videna.size(), videna) != 0) {
    nicNepripojeno(cz("Dávka se mezitím změnila, spusťte připojení znovu"));
    return;
  }
  std::string pripojit, ponechat;
  std::vector<tUcZapis> kPripojeni;
  const std::size_t n = ucZapis::kVelikost;
  for (std::size_t o = 0; o < ted->size(); o += n) {
    const std::string_view veta = std::string_view(*ted).substr(o, n);
    bool vybrana = false;
    if (o < videna.size()) {
      const std::string c = cisloUP(veta);
      for (const auto& v : oznacene) vybrana = vybrana || v == c;
    }
    if (vybrana) {
      pripojit.append(veta);
      kPripojeni.push_back(RozeberZapis(veta));
    } else {
      ponechat.append(veta);
    }
  }
  for (const auto& [soubor, obsah] : {std::pair{kKPripojeni, &pripojit}, std::pair{kZbytek, &ponechat}}) {
    if (const int e = platform::writeWholeFile(soubor, *obsah); e != platform::kIoOk) {
      ui::Zprava(storage::ZpravaZapisu(soubor, e));
      return;
    }
  }
  const Strany s = SoucetStran(kPripojeni, false);
  if (s.rozdil() != 0) {
    ui::Zprava(cz("Připojením by byl způsoben nesoulad stran MD-DAL o ") + ui::FormatC("#########.####-", s.rozdil()) +
               cz(" korun"));
    ui::Zprava(cz("Připojení nelze provést pokud neuvedete strany do souladu"));
    ui::Zprava(cz("Tato chyba pravděpodobně vznikla přepsáním čísla ÚP při opravách"));
    return;
  }
  if (!zamky.drzi()) {
    nicNepripojeno(cz("Účetnictví nebo dávka už není zamčena touto stanicí"));
    return;
  }
  // The ledger first, then the batch.
  nahrad({nazev(kniha), otisk(*hlavni), otisk(*hlavni + pripojit), otisk(*ted), false, ponechat}, kniha, davka,
         *hlavni, zamky,
         [&] {
           if (hlavni->empty()) return storage::NahradSoubor(kKPripojeni, kniha) == 0;
           if (!NahradBajty(kniha, *hlavni + pripojit, zamky.knihaZamcena())) return false;
           platform::removeFile(kKPripojeni);
           return true;
         },
         [&] { return storage::NahradSoubor(kZbytek, davka) == 0; });
}

}  // namespace

std::string ZaznamPripojeni(const std::string& davka) {
  const auto tecka = davka.find_last_of('.');
  const auto oddelovac = davka.find_last_of("\\/");
  const bool pripona = tecka != std::string::npos && (oddelovac == std::string::npos || tecka > oddelovac);
  return (pripona ? davka.substr(0, tecka) : davka) + ".jrn";
}

Dokonceni DokonciPripojeni(const std::string& davka, bool zamceno) {
  const std::string zaznam = ZaznamPripojeni(davka);
  if (platform::fileExists(storage::DocasnyZaznam(zaznam))) (void)platform::removeFile(storage::DocasnyZaznam(zaznam));  // never acted on
  if (!platform::fileExists(zaznam)) return Dokonceni::Nic;
  std::string obsah;
  if (const int e = platform::readWholeFile(zaznam, obsah, platform::Share::DenyNone); e != platform::kIoOk) {
    ui::Zprava(storage::ZpravaCteni(nazev(zaznam), e));
    return Dokonceni::Chyba;
  }
  Dokonceni vysledek = Dokonceni::Nic;
  // A record that is not whole was never acted on: it was written whole before the ledger moved.
  if (const auto z = dekoduj(obsah)) {
    // Beside the batch: each station may reach the data root by a path of its own.
    const auto kniha = BajtyDavky(davka.substr(0, davka.size() - nazev(davka).size()) + z->kniha);
    if (!kniha) return Dokonceni::Chyba;
    if (zacina(*kniha, z->potom)) {
      // The ledger holds the entries: the batch gives them up, unless it already has.
      const auto ted = BajtyDavky(davka);
      if (!ted) return Dokonceni::Chyba;
      if (zacina(*ted, z->davka)) {
        const std::string nova = z->nova + ted->substr(static_cast<std::size_t>(z->davka.delka));
        const bool ok = z->smazat && nova.empty() ? storage::ZrusSoubory(davka) == 0 : NahradBajty(davka, nova, zamceno);
        if (!ok) return Dokonceni::Chyba;
        vysledek = Dokonceni::Hotovo;
      }
    } else if (!zacina(*kniha, z->predtim)) {
      // Rewritten by another program meanwhile: whether it took the entries cannot be told, so
      // the batch keeps them and the user is told.
      ui::Zprava(cz("Přerušené připojení dávky ") + nazev(davka) + cz(" nelze dokončit, účetnictví ") + nazev(z->kniha) +
                 cz(" se mezitím změnilo: dávka zůstala, jak byla, zkontrolujte, zda její zápisy už nejsou v účetnictví"));
    }
  }
  (void)platform::removeFile(zaznam);
  return vysledek;
}

Dokonceni DokonciPripojeniPodZamkem(const std::string& davka) {
  const std::string zaznam = ZaznamPripojeni(davka);
  if (!platform::fileExists(zaznam) && !platform::fileExists(storage::DocasnyZaznam(zaznam))) return Dokonceni::Nic;
  const storage::Zamek z = storage::Zamkni(davka, "W");
  if (!storage::MuzePokracovat(z)) {
    ui::Zprava(cz("Dávka ") + nazev(davka) + cz(" není volná, přerušené připojení nebylo dokončeno"));
    return Dokonceni::Chyba;
  }
  const Dokonceni d = DokonciPripojeni(davka, z == storage::Zamek::Drzen);
  if (z == storage::Zamek::Drzen) storage::Odemkni(davka);
  return d;
}

std::vector<RadekSeznamuUp> SeznamUp(const std::vector<tUcZapis>& zapisy) {
  std::vector<RadekSeznamuUp> radky;
  for (const auto& z : zapisy) {
    const std::string c = storage::DoplnZprava(z.cisloUP, 6);
    if (radky.empty() || radky.back().cisloUP != c || radky.back().pocet == 0xFFFF) radky.push_back({c, 0});
    ++radky.back().pocet;
  }
  return radky;
}

TfSeznamUp::TfSeznamUp() : TfRol("fSeznamUp", cz("Seznam UP")) {
  Sloupce = {{cz("Číslo ÚP"), 8}, {cz("Počet řádků"), 11}, {cz("Pořadí"), 7}};
}

std::vector<std::string> TfSeznamUp::Vyber(const std::vector<RadekSeznamuUp>& radky, const std::string& agenda) {
  radky_ = radky;
  Znacky.vycisti();
  const int pocet = static_cast<int>(radky_.size());
  OtevriRol(10, 3, 60, 22, ui::kWhite, ui::kBlack, cz("Seznam UP z ") + agenda, cz(" Insert-označte pro připojení"), 1,
            pocet);
  showModal();
  std::vector<std::string> oznacene;
  for (int r = 1; r <= pocet; ++r)
    if (Znacky.je(r)) oznacene.push_back(radky_[static_cast<std::size_t>(r - 1)].cisloUP);
  Znacky.vycisti();
  Zavri();
  return oznacene;
}

void TfSeznamUp::NaplnSloupce() {
  if (aktualni_ < 1 || aktualni_ > static_cast<int>(radky_.size())) return;
  const RadekSeznamuUp& r = radky_[static_cast<std::size_t>(aktualni_ - 1)];
  char t[16];
  Bunky[1] = r.cisloUP;
  std::snprintf(t, sizeof t, "%4d", r.pocet);
  Bunky[2] = t;
  std::snprintf(t, sizeof t, "   %4d", aktualni_);
  Bunky[3] = t;
}

void PripojDavku(const std::string& davka) {
  if (!storage::CtiJob("CTENI").empty()) {
    ui::Zprava(cz("Nemáte práva na připojování účetních zápisů"));
    return;
  }
  const std::string koren = storage::DataCesta("");
  if (!storage::CtiJobV(koren, "UCALLPOC").empty()) storage::PisJobV(koren, "UCALLPOC", "");
  platform::removeFile("UCALLP.wrk");
  const std::string probiha = storage::CtiJobV(koren, "UC01");
  if (probiha == "PRENOS") {
    ui::Zprava(cz("Nedokončen přenos účetnictví na hlavní počítač"));
    ui::Zprava(cz("Potvrďte přenos a teprve pak spusťte tuto akci"));
    return;
  }
  if (probiha == "N.OBDOBI") {
    ui::Zprava(cz("Nedokončeno nastavení nového období"));
    ui::Zprava(cz("Dokončete nastavení nového období a teprve pak spusťte tuto akci"));
    return;
  }
  if (!probiha.empty()) {
    ui::Zprava(cz("Připojení ÚP z agendy ") + probiha + cz(" nedokončeno"));
    return;
  }
  const std::string agenda = davka.substr(0, 2);
  const std::string cesta = storage::DataCesta(davka);
  const std::string kniha = storage::DataCesta(kHlavniKniha);
  // An attach cut off by a kill is finished first: the batch may owe the ledger its entries.
  if (DokonciPripojeniPodZamkem(cesta) == Dokonceni::Chyba) return;
  // A cash document save cut off and not yet undone (its record is undone when its series is
  // opened next) may have left entries in the batch that its undo takes back: they must not go
  // into the ledger first.
  const std::vector<platform::FileInfo> zamery = platform::listDirectory(storage::DataCesta("PZ*_.jrn"));
  if (!zamery.empty()) {
    nicNepripojeno(cz("V pokladně zůstalo nedokončené uložení dokladu (") + zamery.front().name +
                   cz("), otevřete nejdřív jeho pokladní řadu"));
    return;
  }
  platform::FileInfo info;
  if (platform::fileInfo(cesta, info) != platform::kIoOk || info.size == 0) {
    ui::Zprava(cz("Soubor účetnictví z ") + agenda + cz(" je prázdný, není co připojovat"));
    return;
  }
  const int volba = ui::Vyber(30, 10, nullptr, {cz("Nepřipojovat"), cz("Podle výběru"), cz("Všechny")},
                              cz("Připojit ÚP z ") + agenda);
  if (volba == 3) {
    vsechny(kniha, cesta);
  } else if (volba == 2) {
    // The list is built from the batch as it is now; the split reads it again under the locks.
    const auto videna = BajtyDavky(cesta);
    if (!videna) return;
    std::vector<tUcZapis> zapisy;
    for (std::size_t o = 0; o < videna->size(); o += ucZapis::kVelikost)
      zapisy.push_back(RozeberZapis(std::string_view(*videna).substr(o, ucZapis::kVelikost)));
    TfSeznamUp seznam;
    const std::vector<std::string> oznacene = seznam.Vyber(SeznamUp(zapisy), agenda);
    if (!oznacene.empty()) podleVyberu(kniha, cesta, *videna, oznacene);
  }
}

}  // namespace pz::accounting
