#include "accounting/attach.h"

#include <cstdio>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/filehelpers.h"
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

// "Všechny": the batch's bytes after the ledger's, or the batch renamed to the ledger when the
// ledger holds nothing. No balance check.
void vsechny(const std::string& kniha, const std::string& davka) {
  Zamky zamky(kniha, davka);
  if (!zamky.zamkni()) {
    nicNepripojeno(cz("Účetnictví nebo dávka není volná"));
    return;
  }
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
    storage::NahradSoubor(davka, kniha);  // reports its own failure; the batch then stays
    return;
  }
  // The batch is deleted only once the ledger holds its entries.
  if (!NahradBajty(kniha, *hlavni + *zapisy, zamky.knihaZamcena())) return;
  storage::ZrusSoubory(davka);
}

// "Podle výběru" once the user has marked the vouchers.
void podleVyberu(const std::string& kniha, const std::string& davka, const std::string& videna,
                 const std::vector<std::string>& oznacene) {
  Zamky zamky(kniha, davka);
  if (!zamky.zamkni()) {
    nicNepripojeno(cz("Účetnictví nebo dávka není volná"));
    return;
  }
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
  // The ledger first, then the batch; when the batch cannot be replaced the ledger goes back, so
  // that no voucher is ever in both.
  if (hlavni->empty()) {
    if (storage::NahradSoubor(kKPripojeni, kniha) != 0) return;
  } else {
    if (!NahradBajty(kniha, *hlavni + pripojit, zamky.knihaZamcena())) return;
    platform::removeFile(kKPripojeni);
  }
  if (storage::NahradSoubor(kZbytek, davka) != 0) {
    if (NahradBajty(kniha, *hlavni, zamky.knihaZamcena()))
      nicNepripojeno(cz("Dávku ") + davka + cz(" nelze přepsat"));
  }
}

}  // namespace

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
