#include "cashdesk/voucher.h"

#include <algorithm>

#include "cashdesk/items.h"
#include "cashdesk/series.h"
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
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;

namespace {

constexpr int kSirka = 131;
// The picture of the document form's rate field.
constexpr std::string_view kObrazKurzu = "###.##########-";

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

// An item amount as its field shows it: to whole haléře, in ten-thousandths.
Penize halere(std::span<const std::uint8_t> z, std::size_t o) {
  const storage::Money m = storage::toTenThousandths(storage::readReal48(z, o));
  return m.ok() ? storage::round2(m.tenThousandths).tenThousandths : 0;
}

Penize plus(Penize a, Penize b) {
  const storage::Money m = storage::add(a, b);
  return m.ok() ? m.tenThousandths : a;
}

std::string c(std::string_view obraz, Penize p) { return ui::FormatC(obraz, p); }

// The station's item work file of type `typ`, whole items only; empty when there is none.
std::vector<std::uint8_t> ctiPolozky(char typ) {
  platform::File soubor;
  platform::FileInfo info;
  if (platform::fileInfo(SouborPolozek(typ), info) != platform::kIoOk ||
      soubor.open(SouborPolozek(typ), platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk)
    return {};
  std::vector<std::uint8_t> data(static_cast<std::size_t>(info.size));
  std::size_t precteno = 0;
  if (soubor.readAt(0, data.data(), data.size(), &precteno) != platform::kIoOk) return {};
  data.resize(precteno);
  return data;
}

// Text items: each priced item, and their sum when there is more than one. The sums add the
// amounts as printed (whole haléře), so the last column is the document's crowns.
void polozkyT(std::vector<std::string>& r) {
  const std::vector<std::uint8_t> data = ctiPolozky('T');
  r.push_back(std::string(1, '\x0f'));
  r.push_back(cz("Předmět dodávky                                            Cena   %DPH        DPH             Celkem"));
  Penize cena = 0, dph = 0, celkem = 0;
  int pocet = 0;
  using T = tPolozkaT;
  for (std::size_t o = 0; o + T::kVelikost <= data.size(); o += T::kVelikost) {
    const std::span<const std::uint8_t> z(data.data() + o, T::kVelikost);
    const Penize zaklad = halere(z, T::kCena), dan = halere(z, T::kDph);
    if (zaklad == 0) continue;
    const Penize spolu = plus(zaklad, dan);
    r.push_back(cut(storage::readShortString(z, T::kText, 73), 50) + " " + c("#########.##- ", zaklad) +
                f(" ##.#", storage::readReal48(z, T::kSazba)) + c("########.##- ", dan) + c("## ### ### ###.##-", spolu));
    cena = plus(cena, zaklad);
    dph = plus(dph, dan);
    celkem = plus(celkem, spolu);
    ++pocet;
  }
  if (pocet > 1) {
    r.push_back("");
    r.push_back(cz("S O U Č E T") + " " + c("#########.##- ", cena) + "     " + c("########.##- ", dph) +
                c("## ### ### ###.##-", celkem));
  }
  r.push_back(std::string(1, '\x12'));
}

// Invoicing-subject items: each item with an amount, and their sum when there is more than one
// (base after the markup or discount, VAT and both, under their columns).
void polozkyP(std::vector<std::string>& r) {
  const std::vector<std::uint8_t> data = ctiPolozky('P');
  r.push_back(std::string(1, '\x0f'));
  const char* titul = storage::settings().vatInclusive ? "  Cena s DPH/MJ" : "Cena bez DPH/MJ";
  r.push_back(cz("Předmět dodávky              ") + titul + cz("    Množství  %př/sl Cena po slevě %DPH") +
              "         DPH     Cena s DPH");
  Penize zaklady = 0, dph = 0, celkem = 0;
  int pocet = 0;
  using P = tPolozkaP;
  constexpr std::size_t kNazev = 30;
  for (std::size_t o = 0; o + P::kVelikost <= data.size(); o += P::kVelikost) {
    const std::span<const std::uint8_t> z(data.data() + o, P::kVelikost);
    const Penize zaklad = halere(z, P::kZaklad), dan = halere(z, P::kDph);
    const Penize spolu = plus(zaklad, dan);
    if (spolu == 0) continue;
    std::string nazev = cut(storage::readShortString(z, P::kNazev, kNazev), kNazev);
    nazev.resize(kNazev, ' ');
    r.push_back(nazev + f("##########.##- ", storage::readReal48(z, P::kCenaMj)) +
                f("#######.##- ", storage::readReal48(z, P::kMnozstvi)) + f("###.#- ", storage::readReal48(z, P::kPrirazka)) +
                c("#########.##- ", zaklad) + f("##.# ", storage::readReal48(z, P::kSazba)) + c("########.##- ", dan) +
                c("##########.##-", spolu));
    zaklady = plus(zaklady, zaklad);
    dph = plus(dph, dan);
    celkem = plus(celkem, spolu);
    ++pocet;
  }
  if (pocet > 1) {
    // The label stands where the name, unit price, quantity and percentage are.
    std::string soucet = cz("S O U Č E T                    ");
    soucet.resize(kNazev + 15 + 12 + 7, ' ');
    r.push_back(soucet + c("#########.##- ", zaklady) + "     " + c("########.##- ", dph) + c("##########.##-", celkem));
  }
  r.push_back(std::string(1, '\x12'));
}

std::string domaciMena() {
  const std::string m = storage::Orez(storage::settings().homeCurrency);
  return m.empty() ? "CZK" : m;
}

// Series numbers and identifications go into file names: only what the series window lets a
// series be named, and a record number of digits.
bool bezpecneJmeno(const std::string& rada, const std::string& ident) {
  if (rada.empty() || !ChybaCislaRady(rada).empty() || ident.empty()) return false;
  return std::all_of(ident.begin(), ident.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// The document's own copy in the series' folder of printed documents, put in place whole: the
// report's bytes as they are on disk (in GDPR mode already scrambled, so never scrambled again)
// go to a work file next to the copy, which then takes the copy's place. 0 when done.
int ulozKopii(const std::string& soubor, const std::string& kopie) {
  storage::ZalozCestu(kopie);
  const std::string prace = kopie.substr(0, kopie.size() - 4) + ".$$$";
  int kod = storage::KopirujSoubor(soubor, prace);
  if (kod == 0) kod = storage::NahradSoubor(prace, kopie);
  if (kod != 0) (void)platform::removeFile(prace);
  return kod;
}

class TiskDokladu final : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "tisk dokladu"; }
  PoradiKroku Poradi() const override { return PoradiKroku::TiskDokladu; }
  bool Priprav(Ukladani& u) override {
    vytisteny_.clear();
    const std::string& druh = u.doklad.druh;
    if (druh != "P" && druh != "V" && druh != "O" && druh != "D") return false;
    if (!bezpecneJmeno(storage::Orez(u.rada.rada), storage::Orez(u.doklad.ident))) {
      storage::interaction().message(cz("Doklad nelze vytisknout, číslo řady ") + storage::Orez(u.rada.rada) +
                                         cz(" nemůže být částí jména souboru"),
                                     true);
      return false;
    }
    return true;
  }
  bool Zapis(Ukladani&, Zamer&, const StavRady&) override { return true; }
  // The voucher belongs to a stored document only: it is written after the commit, and a voucher
  // that cannot be written, archived or copied is shown and leaves the document saved.
  void PoUlozeni(const Ukladani& u) override {
    const std::string rada = storage::Orez(u.rada.rada);
    const std::string jmeno = "pz" + rada + "a";
    bool ok = reports::OtevriSestavu(jmeno, kSirka);
    if (ok) {
      ok = reports::PisRadek(std::string(1, reports::kFormFeed));
      const PlatbaDokladu* platba = u.platbaFaktury ? &*u.platbaFaktury : nullptr;
      for (const std::string& r : RadkyDokladu(u.doklad, u.rada, u.polozky ? u.typPolozek : 0, platba))
        ok = reports::PisRadek(r) && ok;
    }
    ok = reports::ZavriSestavu() && ok;
    if (!ok) return;
    vytisteny_ = jmeno;
    const std::string soubor = jmeno + ".txt";
    const std::string archiv = storage::DataCesta("pzar" + rada + "a.txt");
    const storage::Zamek z = storage::Zamkni(archiv, "W");
    if (storage::MuzePokracovat(z)) {
      const int kod = reports::PripojSestavu(soubor, archiv);
      if (z == storage::Zamek::Drzen) storage::Odemkni(archiv);
      if (kod != 0)
        storage::interaction().message(cz("Doklad nebyl připojen do archivu ") + archiv + " (" + std::to_string(kod) + ")", true);
    } else {
      storage::interaction().message(cz("Archiv ") + archiv + cz(" není volný, doklad do něj nebyl připojen"), true);
    }
    const std::string kopie = storage::DataCesta("\\doklady\\PZ" + rada + "\\" + storage::Orez(u.doklad.ident) + ".txt");
    const int kod = ulozKopii(soubor, kopie);
    if (kod != 0)
      storage::interaction().message(cz("Doklad nelze uložit do ") + kopie + " (" + std::to_string(kod) + ")", true);
  }
  // Shown once the save holds no lock: the voucher with the posting's listing after it.
  void PoUvolneni(const Ukladani&) override {
    if (vytisteny_.empty()) return;
    const std::string jmeno = std::move(vytisteny_);
    vytisteny_.clear();
    storage::interaction().window(jmeno, [&] {
      ui::UkazSestavu(jmeno);
      return 0;
    });
  }

 private:
  std::string vytisteny_;  // the voucher report this save wrote, until it is shown
};

}  // namespace

std::vector<std::string> RadkyDokladu(const PokladniDoklad& d, const RadaPokladny& rada, char polozky,
                                      const PlatbaDokladu* platba) {
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
  // The own values stand at the width of their fields, so that the partner's values line up
  // whatever the own company's texts hold.
  const auto pole = [&](std::size_t off, int i) {
    const std::size_t sirka = F::kSirky[static_cast<std::size_t>(i)];
    return storage::DoplnZprava(storage::Orez(f.text(off, sirka)), sirka, ' ');
  };
  r.push_back(strana(pole(F::kNazev, 2), storage::Orez(d.adr1)));
  r.push_back(strana(pole(F::kAdr2, 3), storage::Orez(d.adr2)));
  r.push_back(strana(pole(F::kUlice, 4), storage::Orez(d.adr3)));
  r.push_back(cut(pole(F::kPsc, 6) + " " + pole(F::kMesto, 5), 43) + " " + storage::Orez(d.psc) + " " +
              storage::Orez(d.adr4));
  r.push_back(cut(cz("IČO : ") + pole(F::kIco, 0), 43) + cz("                       IČO : ") + storage::Orez(d.ico));
  r.push_back(cut(cz("DIČ : ") + pole(F::kDic, 1), 43) + cz("               DIČ : ") + storage::Orez(d.dic));
  r.push_back(std::string(73, '-'));
  if (polozky == 'T') polozkyT(r);
  else if (polozky == 'P') polozkyP(r);
  else r.push_back("TEXT : " + storage::Orez(d.text));
  r.push_back("");
  // The rate as the form's rate field shows it.
  const std::string kurz = ui::FormatE(kObrazKurzu, d.kurz);
  if (platba) {
    for (std::string& radek : RadkyPlatbyDokladu(d, rada, *platba)) r.push_back(std::move(radek));
  } else {
    // Receipts and expenditures, and an edited "O" or "D" (whose invoice is not chosen again):
    // the series' rate and the total in the series currency.
    r.push_back(cz("Použitý kurz : ") + storage::Orez(ui::FormatE("###", rada.mnozstvi)) + " " + mena + " = " +
                storage::Orez(kurz) + " " + kc);
    r.push_back(cz("******     C e l k e m    z a    d o d á v k u : ") + castka(d.celkemVal) + " " + mena);
  }
  if (mena == "XXX") r.push_back("                                         to je : " + castka(d.celkemKc) + cz(" Kč"));
  else r.push_back("");
  // The century is the one of the days this program is used in.
  r.push_back("Dne " + datum(d.datumZapl) + " zaplaceno      : " + castka(d.placenoVal) + " " + mena);
  if (mena == "XXX") r.push_back(cz("Při kurzu ") + kurz + "t.j. : " + castka(d.placenoKc) + cz(" Kč"));
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
