#include "cashdesk/voucher.h"

#include <cmath>
#include <cstdio>

#include "cashdesk/items.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "storage/fields.h"

#include "platform/text.h"
#include "registers/company.h"
#include "reportfiles/report.h"
#include "storage/filehelpers.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;

namespace {

constexpr int kSirka = 131;

std::string cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

// The own part of a party line, then the partner's value.
std::string strana(const std::string& vlastni, const std::string& partner) {
  return cut("      " + cut(vlastni, 36), 43) + "       " + partner;
}

std::string castka(Penize p) {
  return storage::Orez(ui::FormatE("### ### ### ###.##-", storage::tenThousandthsToDouble(p)));
}

std::string datum(const std::string& ddmmyy) {
  const std::string t = storage::Orez(ddmmyy);
  if (t.size() != 6) return t;
  return t.substr(0, 2) + "." + t.substr(2, 2) + ".20" + t.substr(4, 2);
}

std::string f(std::string_view obraz, double v) { return ui::FormatE(obraz, v); }

// The lines of text items from the station's item work file: each priced item, and the sum of
// them when there is more than one.
void polozkyT(std::vector<std::string>& r) {
  platform::File soubor;
  platform::FileInfo info;
  if (platform::fileInfo(SouborPolozek('T'), info) != platform::kIoOk ||
      soubor.open(SouborPolozek('T'), platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk)
    return;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(info.size));
  std::size_t precteno = 0;
  if (soubor.readAt(0, data.data(), data.size(), &precteno) != platform::kIoOk) return;
  r.push_back(std::string(1, '\x0f'));
  r.push_back(cz("Předmět dodávky                                            Cena   %DPH        DPH             Celkem"));
  double cena = 0, dph = 0;
  int pocet = 0;
  using T = tPolozkaT;
  for (std::size_t o = 0; o + T::kVelikost <= precteno; o += T::kVelikost) {
    const std::span<const std::uint8_t> z(data.data() + o, T::kVelikost);
    const double c = storage::readReal48(z, T::kCena), d = storage::readReal48(z, T::kDph);
    if (std::abs(c) < 0.01) continue;
    r.push_back(cut(storage::readShortString(z, T::kText, 73), 50) + " " + f("#########.##- ", c) + f(" ##.#", storage::readReal48(z, T::kSazba)) +
                f("########.##- ", d) + f("## ### ### ###.##-", c + d));
    cena += c;
    dph += d;
    ++pocet;
  }
  if (pocet > 1) {
    r.push_back("");
    r.push_back(cz("S O U Č E T") + " " + f("#########.##- ", cena) + "     " + f("########.##- ", dph) +
                f("## ### ### ###.##-", cena + dph));
  }
  r.push_back(std::string(1, '\x12'));
}

std::string domaciMena() {
  const std::string m = storage::Orez(storage::settings().homeCurrency);
  return m.empty() ? "CZK" : m;
}

class TiskDokladu final : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "tisk dokladu"; }
  PoradiKroku Poradi() const override { return PoradiKroku::TiskDokladu; }
  bool Priprav(Ukladani& u) override { return u.doklad.druh == "P" || u.doklad.druh == "V"; }
  bool Zapis(Ukladani&, Zamer&, const StavRady&) override { return true; }
  // The voucher belongs to a stored document only: it is written after the commit, and a voucher
  // that cannot be written, archived or copied is shown and leaves the document saved.
  void PoUlozeni(const Ukladani& u) override {
    const std::string rada = storage::Orez(u.rada.rada);
    const std::string jmeno = "pz" + rada + "a";
    bool ok = reports::OtevriSestavu(jmeno, kSirka);
    if (ok) {
      ok = reports::PisRadek(std::string(1, reports::kFormFeed));
      for (const std::string& r : RadkyDokladu(u.doklad, u.rada, u.polozky)) ok = reports::PisRadek(r) && ok;
    }
    ok = reports::ZavriSestavu() && ok;
    if (!ok) return;
    const std::string soubor = jmeno + ".txt";
    const std::string archiv = storage::DataCesta("pzar" + rada + "a.txt");
    const storage::Zamek z = storage::Zamkni(archiv, "W");
    if (storage::MuzePokracovat(z)) {
      const int kod = reports::PripojSestavu(soubor, archiv);
      if (z == storage::Zamek::Drzen) storage::Odemkni(archiv);
      if (kod != 0)
        storage::interaction().message(cz("Doklad nebyl připojen do archivu ") + archiv + " (" + std::to_string(kod) + ")", true);
    }
    const std::string kopie = storage::DataCesta("\\doklady\\PZ" + rada + "\\" + storage::Orez(u.doklad.ident) + ".txt");
    const int kod = storage::KopirujSoubor(soubor, kopie);
    if (kod != 0)
      storage::interaction().message(cz("Doklad nelze uložit do ") + kopie + " (" + std::to_string(kod) + ")", true);
  }
};

}  // namespace

std::vector<std::string> RadkyDokladu(const PokladniDoklad& d, const RadaPokladny& rada, bool polozky) {
  std::vector<std::string> r;
  const std::string cislo = storage::Orez(rada.rada) + storage::Orez(d.ident);
  const bool vydaj = d.druh == "V" || d.druh == "D";
  const std::string mena = storage::Orez(rada.mena);
  const std::string kc = domaciMena();
  if (vydaj) r.push_back(cz(" ***  POKLADNÍ DOKLAD - VÝDAJOVÝ  ***                   Číslo : ") + cislo);
  else if (d.druh == "P" && polozky)
    r.push_back(cz(" ***  PRODEJ ZA HOTOVÉ  ***               ") + "            " + cz("Číslo : ") + cislo);
  else r.push_back(cz(" ***  POKLADNÍ DOKLAD - PŘÍJMOVÝ  ***     ") + "            " + cz("Číslo : ") + cislo);
  const std::string dod = storage::Orez(d.datumDod);
  if (d.druh == "P" && !dod.empty() && dod != "000000")
    r.push_back(std::string(40, ' ') + cz("Daňový doklad číslo : ") + storage::Orez(d.cislo));
  r.push_back(std::string(73, '-'));
  r.push_back(vydaj ? cz("ODBĚRATEL :                          DODAVATEL : ")
                    : cz("DODAVATEL :                          ODBĚRATEL : "));
  using F = registers::tFirma;
  const registers::VlastniFirma& f = registers::Firma();
  const auto pole = [&](std::size_t off, int i) { return storage::Orez(f.text(off, F::kSirky[static_cast<std::size_t>(i)])); };
  r.push_back(strana(pole(F::kNazev, 2), storage::Orez(d.adr1)));
  r.push_back(strana(pole(F::kAdr2, 3), storage::Orez(d.adr2)));
  r.push_back(strana(pole(F::kUlice, 4), storage::Orez(d.adr3)));
  r.push_back(cut(pole(F::kPsc, 6) + " " + pole(F::kMesto, 5), 43) + " " + storage::Orez(d.psc) + " " +
              storage::Orez(d.adr4));
  r.push_back(cut(cz("IČO : ") + pole(F::kIco, 0), 43) + cz("                       IČO : ") + storage::Orez(d.ico));
  r.push_back(cut(cz("DIČ : ") + pole(F::kDic, 1), 43) + cz("               DIČ : ") + storage::Orez(d.dic));
  r.push_back(std::string(73, '-'));
  if (!polozky) r.push_back("TEXT : " + storage::Orez(d.text));
  else polozkyT(r);
  r.push_back("");
  char kurz[32];
  std::snprintf(kurz, sizeof kurz, "%.4f", d.kurz);
  r.push_back(cz("Použitý kurz : ") + std::to_string(rada.mnozstvi) + " " + mena + " = " + kurz + " " + kc);
  r.push_back(cz("******     C e l k e m    z a    d o d á v k u : ") + castka(d.celkemVal) + " " + mena);
  if (mena == "XXX") r.push_back("                                         to je : " + castka(d.celkemKc) + cz(" Kč"));
  else r.push_back("");
  r.push_back("Dne " + datum(d.datumZapl) + " zaplaceno      : " + castka(d.placenoVal) + " " + mena);
  if (mena == "XXX") r.push_back(cz("Při kurzu ") + kurz + " t.j. : " + castka(d.placenoKc) + cz(" Kč"));
  r.push_back("                          =======================");
  r.push_back("");
  r.push_back(vydaj ? cz("Přijal :                            Vydal : ") : cz("                                    Razítko a podpis :"));
  r.push_back("");
  r.push_back("");
  r.push_back(std::string(73, '='));
  return r;
}

std::unique_ptr<KrokUkladani> KrokTiskuDokladu() { return std::make_unique<TiskDokladu>(); }

}  // namespace pz::cashdesk
