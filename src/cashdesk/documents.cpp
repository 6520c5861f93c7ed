#include "cashdesk/documents.h"

#include <algorithm>
#include <cstdio>

#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/money.h"

namespace pz::cashdesk {

using platform::cz;
using D = tPzDoklad;

namespace {

constexpr std::size_t kPataZnakData = 5;  // the tens of the year in DDMMYY
constexpr std::int32_t kBlokOpravy = 256;  // documents read at once by the date repair

void prazdnyText(std::vector<std::uint8_t>& v, std::size_t offset, std::size_t sirka) {
  (void)storage::writeShortString(v, offset, sirka, std::string(sirka, ' '));
}

bool opravZnak(std::span<std::uint8_t> doklad, std::size_t offsetData) {
  // A date shorter than five characters has no tens of the year to repair.
  if (offsetData + kPataZnakData >= doklad.size() || doklad[offsetData] < kPataZnakData) return false;
  std::uint8_t& c = doklad[offsetData + kPataZnakData];
  if (c == 'O') c = '0';
  else if (c == 'l') c = '1';
  else return false;
  return true;
}

}  // namespace

std::string DatumDokladu(const platform::Date& den) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d%02d%02d", den.day % 100, den.month % 100, den.year % 100);
  return b;
}

std::vector<std::uint8_t> PrazdnyDoklad(const platform::Date& dnes) {
  std::vector<std::uint8_t> v(static_cast<std::size_t>(D::kVelikost), 0);
  prazdnyText(v, D::kDruh, D::kSirkaDruhu);
  prazdnyText(v, D::kIdent, D::kSirkaIdentu);
  prazdnyText(v, D::kCislo, D::kSirkaCisla);
  prazdnyText(v, D::kDatumDod, D::kSirkaData);
  (void)storage::writeShortString(v, D::kDatumZapl, D::kSirkaData, DatumDokladu(dnes));
  prazdnyText(v, D::kText, D::kSirkaTextu);
  prazdnyText(v, D::kInd, D::kSirkaInd);
  (void)storage::writeShortString(v, D::kDphRozl, D::kSirkaDphRozl, "999   ");
  prazdnyText(v, D::kIco, D::kSirkaIco);
  prazdnyText(v, D::kDic, D::kSirkaDic);
  for (std::size_t a : {D::kAdr1, D::kAdr2, D::kAdr3, D::kAdr4}) prazdnyText(v, a, D::kSirkaAdresy);
  prazdnyText(v, D::kPsc, D::kSirkaPsc);
  prazdnyText(v, D::kFinUrad, D::kSirkaFinUradu);
  return v;
}

std::string IdentDokladu(std::int32_t cislo) {
  char b[16];
  std::snprintf(b, sizeof b, "%05d", std::clamp<std::int32_t>(cislo, 0, D::kNejvic));
  return b;
}

bool LzePridatDoklad(std::int32_t pocet) { return pocet < D::kNejvic; }

std::string ZpravaPlneRady() { return cz("Řada má 99999 dokladů, další doklad do ní nelze založit"); }

bool OpravDatumDokladu(std::span<std::uint8_t> doklad) {
  const bool dodani = opravZnak(doklad, D::kDatumDod);
  const bool zaplaceni = opravZnak(doklad, D::kDatumZapl);
  return dodani || zaplaceni;
}

std::int32_t OpravDataDokladu(storage::RecordFile& doklady, const std::function<void(std::int32_t)>& poZapisu,
                              const std::function<bool()>& predZapisem) {
  const std::int32_t pocet = doklady.pocet();
  const std::size_t velikost = static_cast<std::size_t>(doklady.velikost());
  if (pocet < 1 || velikost < 1) return 0;
  // The scan reads blocks of documents beside the window's own open file: one read per block
  // instead of one per document.
  platform::File cteni;
  if (cteni.open(doklady.cesta(), platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk) return -1;
  std::vector<std::uint8_t> blok(kBlokOpravy * velikost), doklad(velikost);
  std::int32_t prepsano = 0;
  bool pripraveno = false;
  for (std::int32_t od = 1; od <= pocet; od += kBlokOpravy) {
    const std::int32_t kolik = std::min(kBlokOpravy, pocet - od + 1);
    std::size_t precteno = 0;
    if (cteni.readAt(static_cast<std::int64_t>(od - 1) * static_cast<std::int64_t>(velikost), blok.data(),
                     static_cast<std::size_t>(kolik) * velikost, &precteno) != platform::kIoOk)
      return -1;
    for (std::int32_t j = 0; j < kolik && static_cast<std::size_t>(j + 1) * velikost <= precteno; ++j) {
      std::copy_n(blok.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(j) * velikost), velikost,
                  doklad.begin());
      if (!OpravDatumDokladu(doklad)) continue;
      // Read again at the last moment: only the letters change, whatever the document holds now.
      const std::int32_t n = od + j;
      if (!pripraveno) {
        if (predZapisem && !predZapisem()) return -1;
        pripraveno = true;
      }
      if (!doklady.CtiVetuPrimo(n)) return -1;
      if (!OpravDatumDokladu(doklady.veta())) continue;
      if (!doklady.PisVetuPrimo(n)) return -1;
      ++prepsano;
      if (poZapisu) poZapisu(n);
    }
  }
  return prepsano;
}

std::int64_t PrebytekSouboru(std::int64_t delka) { return delka > 0 ? delka % D::kVelikost : 0; }

// ---------------------------------------------------------------------------------------------
// VAT supplements

bool Dodatky::Otevri(const std::string& souborDokladu) {
  return soubor_.OtevriSoubor(SouborDodatku(souborDokladu), kVelikostDodatku);
}

void Dodatky::Zavri() { soubor_.ZavriSoubor(); }

std::vector<std::uint8_t> Dodatky::Cti(std::int32_t i) {
  if (otevren() && i > soubor_.pocet()) soubor_.ObnovSoubor();
  if (!otevren() || i < 1 || i > soubor_.pocet() || !soubor_.CtiVetuPrimo(i))
    return std::vector<std::uint8_t>(static_cast<std::size_t>(kVelikostDodatku), 0);
  return soubor_.veta();
}

bool Dodatky::Srovnej(std::int32_t i) {
  if (!otevren()) return false;
  // Another station may have appended since the file was counted.
  if (i > soubor_.pocet()) soubor_.ObnovSoubor();
  while (soubor_.pocet() < i) {
    std::fill(soubor_.veta().begin(), soubor_.veta().end(), std::uint8_t{0});
    if (!soubor_.PridejVetu()) return false;
  }
  return true;
}

bool Dodatky::Pis(std::int32_t i, std::span<const std::uint8_t> dodatek) {
  if (i < 1 || !Srovnej(i)) return false;
  auto& v = soubor_.veta();
  std::fill(v.begin(), v.end(), std::uint8_t{0});
  std::copy_n(dodatek.begin(), std::min(dodatek.size(), v.size()), v.begin());
  return soubor_.PisVetuPrimo(i);
}

// ---------------------------------------------------------------------------------------------
// Balance of a series

std::int32_t NajdiRaduVSouboru(storage::RecordFile& rady, const std::string& rada) {
  const std::int32_t n = std::max(0, NajdiRadu(rady, rada));
  if (n > 0 && !rady.CtiVetuPrimo(n)) return 0;
  return n;
}

StavRady::~StavRady() { Zavri(); }

bool StavRady::Otevri(const std::string& rada) { return Zamkni(rada) && NajdiRadu(); }

bool StavRady::Zamkni(const std::string& rada) {
  Zavri();
  rada_ = rada;
  zamek_ = ZamekStavu(rada);
  drzeno_ = storage::Zamkni(zamek_, "W");
  if (!storage::MuzePokracovat(drzeno_)) {
    Zavri();
    return false;
  }
  return true;
}

bool StavRady::NajdiRadu() {
  if (zamek_.empty()) return false;
  if (zaznam_ > 0) return true;
  if (rady_.OtevriSoubor(kSouborRad, tPzRada::kVelikost)) zaznam_ = NajdiRaduVSouboru(rady_, rada_);
  if (zaznam_ < 1) {
    if (rady_.otevren()) storage::interaction().message(cz("Nesoulad."), true);
    Zavri();
    return false;
  }
  return true;
}

double StavRady::Stav() const { return storage::readReal48(rady_.veta(), tPzRada::kStav); }

std::optional<double> StavRady::Po(double zmena) const {
  if (zaznam_ < 1) return std::nullopt;
  const storage::Money stav = storage::toTenThousandths(Stav());
  const storage::Money o = storage::toTenThousandths(zmena);
  if (!stav.ok() || !o.ok()) return std::nullopt;
  const storage::Money novy = storage::add(stav.tenThousandths, o.tenThousandths);
  if (!novy.ok()) return std::nullopt;
  return storage::tenThousandthsToDouble(novy.tenThousandths);
}

bool StavRady::Zapis(double stav) {
  if (zaznam_ < 1) return false;
  // The record as it is now: the note may have been edited meanwhile (under this same lock the
  // balance itself cannot change).
  if (!rady_.CtiVetuPrimo(zaznam_)) return false;
  return storage::writeReal48(rady_.veta(), tPzRada::kStav, stav) && rady_.PisVetuPrimo(zaznam_);
}

std::optional<storage::Real48> StavRady::StavBajty() const {
  if (zaznam_ < 1) return std::nullopt;
  return storage::readReal48Bytes(rady_.veta(), tPzRada::kStav);
}

bool StavRady::ZapisBajty(const storage::Real48& stav) {
  if (zaznam_ < 1 || !rady_.CtiVetuPrimo(zaznam_)) return false;
  return storage::writeReal48Bytes(rady_.veta(), tPzRada::kStav, stav) && rady_.PisVetuPrimo(zaznam_);
}

std::optional<double> StavRady::Pricti(double zmena) {
  const std::optional<double> novy = Po(zmena);
  if (!novy || !Zapis(*novy)) return std::nullopt;
  return novy;
}

void StavRady::Zavri() {
  rady_.ZavriSoubor();
  if (drzeno_ == storage::Zamek::Drzen) storage::Odemkni(zamek_);
  drzeno_ = storage::Zamek::Nedrzen;
  zamek_.clear();
  zaznam_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Accounting entries of a document

std::string KlicZapisu(const std::string& rada, const std::string& ident) { return "000" + rada + ident; }

std::vector<std::string> SouboryZapisu(int obdobi) {
  std::vector<std::string> s = {"PZUC.DTA", "UC01.DTA"};
  for (int i = 1; i <= 14; ++i) {
    char b[16];
    std::snprintf(b, sizeof b, "UCALL.%03d", i);
    s.push_back(b);
  }
  s.resize(static_cast<std::size_t>(std::clamp(obdobi, 0, 15)) + 1);
  return s;
}

}  // namespace pz::cashdesk
