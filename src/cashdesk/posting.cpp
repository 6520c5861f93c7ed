#include "cashdesk/posting.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "accounting/accounts.h"
#include "accounting/attach.h"
#include "accounting/centres.h"
#include "accounting/journal.h"
#include "cashdesk/intent.h"
#include "cashdesk/items.h"
#include "cashdesk/records.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/company.h"
#include "reportfiles/report.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/money.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using accounting::kBezStrediska;
using accounting::kBezUctu;
using accounting::tUcZapis;
using platform::cz;

namespace {

constexpr const char* kDavka = "PZUC.dta";
constexpr int kSirkaVypisu = 131;

std::string orez(const std::string& s) { return storage::Orez(s); }

bool jenCislice(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An account as the entries keep it: six characters, "0" on the right of a shorter one.
std::string sestMist(const std::string& ucet) { return storage::DoplnZprava(orez(ucet).substr(0, 6), 6, '0'); }
std::string petMist(const std::string& str) {
  const std::string s = orez(str);
  return s.empty() ? std::string(kBezStrediska) : storage::DoplnZprava(s.substr(0, 5), 5, '0');
}

// The job order of a side: the side's cost centre for an account of class 5 or 6.
std::string zakazka(const std::string& ucet, const std::string& str) {
  const bool naklVynos = !ucet.empty() && (ucet[0] == '5' || ucet[0] == '6');
  return naklVynos ? storage::NaSirku(str, 20) : std::string(20, ' ');
}

void naMD(tUcZapis& z, const std::string& ucet, const std::string& str) {
  z.ucetMD = ucet;
  z.strMD = str;
  z.zakMD = zakazka(ucet, str);
}
void naDal(tUcZapis& z, const std::string& ucet, const std::string& str) {
  z.ucetDal = ucet;
  z.strDal = str;
  z.zakDal = zakazka(ucet, str);
}

std::int64_t naHalere(std::int64_t desetitisiciny) {
  const storage::Money m = storage::round2(desetitisiciny);
  return m.ok() ? m.tenThousandths : desetitisiciny;
}

// An item account on its side: a debit account of class 6 becomes its class-5 twin, a credit
// account of class 5 its class-6 twin.
std::string naStranuMD(std::string u) {
  if (!u.empty() && u[0] == '6') u = "5" + u.substr(1, 2) + "000";
  return u;
}
std::string naStranuDal(std::string u) {
  if (!u.empty() && u[0] == '5') u[0] = '6';
  return u;
}

}  // namespace

void PametZauctovani::Zacni(const RadaPokladny& rada) {
  auto doplnek_ = std::move(doplnek);
  *this = PametZauctovani{};
  doplnek = std::move(doplnek_);
  ucetPokladny = rada.ucet.empty() ? std::string(kBezUctu) : sestMist(rada.ucet);
}

PametZauctovani& pametZauctovani() {
  static PametZauctovani p;
  return p;
}

std::string ParovaciUdaj(const RadaPokladny& rada, const PokladniDoklad& d) {
  return storage::DoplnZleva(storage::BezMezer(rada.rada + d.ident), 10, '0').substr(0, 10);
}

std::optional<std::vector<tUcZapis>> SestavZapisy(const PokladniDoklad& d, const RadaPokladny& rada,
                                                  const PametZauctovani& pamet, const PolozkyDokladu& polozky,
                                                  const PrvniUcetSkupiny& osnova, const PlatbaDokladu* platba) {
  std::vector<tUcZapis> zapisy;
  if (d.placenoKc == 0) return zapisy;
  const bool prijem = d.druh == "P" || d.druh == "O";
  const bool faktura = d.druh == "O" || d.druh == "D";
  tUcZapis vzor;
  vzor.agenda = "PZ";
  vzor.text = d.text.substr(0, std::min<std::size_t>(d.text.size(), 30));
  vzor.datum = d.datumZapl;
  vzor.parUdaj = faktura ? ParovaciUdajPlatby(d) : ParovaciUdaj(rada, d);
  vzor.zakMD = vzor.zakDal = std::string(20, ' ');

  tUcZapis hotovost = vzor;
  const std::string strHotovosti = faktura ? pamet.strPodrozvahy : pamet.strPokladny;
  if (prijem) naMD(hotovost, pamet.ucetPokladny, strHotovosti);
  else naDal(hotovost, pamet.ucetPokladny, strHotovosti);
  hotovost.castka = naHalere(d.placenoKc);
  zapisy.push_back(hotovost);

  // The counter side, on the side opposite the cash (an entry still without its account counts
  // where it belongs, so that the rounding entry never takes its amount).
  std::int64_t protistrana = 0;
  const auto protiZapis = [&](const std::string& ucet, const std::string& str, std::int64_t castka) {
    tUcZapis z = vzor;
    if (prijem) naDal(z, naStranuDal(sestMist(ucet)), str);
    else naMD(z, naStranuMD(sestMist(ucet)), str);
    z.castka = naHalere(castka);
    protistrana += z.castka;
    zapisy.push_back(z);
  };
  const auto skupinovyUcet = [&] {
    const std::string skupina = prijem ? pamet.skupinaVynosu : pamet.skupinaNakladu;
    std::string u = osnova ? osnova(skupina) : std::string();
    const char trida = prijem ? '6' : '5';
    if (u.empty() || u[0] != trida) u = std::string(1, trida) + "00000";
    return u;
  };
  if (faktura && platba) {
    // The receivable or payable entry, then a foreign invoice's exchange difference: a gain on
    // the counter side, a loss on the side of the cash.
    const std::vector<tUcZapis> platby = ZapisyPlatby(d, *platba);
    for (std::size_t i = 0; i < platby.size(); ++i) {
      const tUcZapis& p = platby[i];
      tUcZapis z = vzor;
      if (p.maMD()) naMD(z, sestMist(p.ucetMD), petMist(p.strMD));
      if (p.maDal()) naDal(z, sestMist(p.ucetDal), petMist(p.strDal));
      z.castka = naHalere(p.castka);
      const bool protiHotovosti = i == 0 || (prijem ? p.maDal() : p.maMD());
      protistrana += protiHotovosti ? z.castka : -z.castka;
      zapisy.push_back(z);
    }
  } else if (faktura) {
    // A document no longer linked to its invoice (an edit posted again): the whole payment on
    // the receivable or payable account this window last posted, "000000" until it has one
    // (the review then asks for it), and no exchange difference.
    tUcZapis z = vzor;
    if (prijem) naDal(z, pamet.ucetPohledavek, pamet.strPohledavek);
    else naMD(z, pamet.ucetZavazku, pamet.strZavazku);
    z.castka = hotovost.castka;
    zapisy.push_back(z);
    return zapisy;
  } else if (polozky.typ == 'P') {
    // One entry per key (item group, VAT analytic, centre), in the order the keys first came.
    std::vector<std::tuple<std::string, std::string, std::int64_t>> klice;
    for (const PolozkaUctovani& p : polozky.predmety) {
      const std::string ucet = storage::DoplnZprava(orez(p.ucet).substr(0, 3), 3, '0') +
                               storage::DoplnZprava(orez(p.analytika).substr(0, 3), 3, '0');
      const std::string str = petMist(p.stredisko);
      auto it = std::find_if(klice.begin(), klice.end(),
                             [&](const auto& k) { return std::get<0>(k) == ucet && std::get<1>(k) == str; });
      if (it == klice.end()) {
        if (klice.size() == kNejvicKlicu) return std::nullopt;
        klice.emplace_back(ucet, str, 0);
        it = klice.end() - 1;
      }
      std::get<2>(*it) += p.castka;
    }
    for (const auto& [ucet, str, castka] : klice)
      if (castka != 0) protiZapis(ucet, str, castka);
  } else if (polozky.typ == 'T') {
    if (polozky.soucetT != 0) protiZapis(skupinovyUcet(), pamet.stredisko, polozky.soucetT);
  } else if (d.celkemKc != 0) {
    protiZapis(skupinovyUcet(), pamet.stredisko, d.celkemKc);
  }

  // The rounding entry takes what the crowns paid and the counter side still differ by, on the
  // credit side.
  const std::int64_t rozdil = prijem ? hotovost.castka - protistrana : protistrana - hotovost.castka;
  if (rozdil >= 100 || rozdil <= -100) {
    tUcZapis z = vzor;
    naDal(z, kUcetZaokrouhleni, kBezStrediska);
    z.castka = naHalere(rozdil);
    zapisy.push_back(z);
  }
  return zapisy;
}

std::string PozdejsiCitac(const std::string& a, const std::string& b) {
  const bool okA = a.size() == 8 && jenCislice(a), okB = b.size() == 8 && jenCislice(b);
  if (!okA) return okB ? b : std::string("00000000");
  if (!okB) return a;
  return std::max(a, b);
}

std::optional<std::string> CislujZapisy(std::vector<tUcZapis>& zapisy, const std::string& posledni) {
  std::erase_if(zapisy, [](const tUcZapis& z) { return z.prazdny(); });
  if (zapisy.size() > 99) return std::nullopt;
  const std::string c = storage::DoplnZleva(posledni, 8, '0');
  if (c.size() != 8 || !jenCislice(c)) return std::nullopt;
  long up = std::stol(c.substr(0, 6));
  int radek = std::stoi(c.substr(6, 2)) + 1;
  if (up == 0) up = 1;
  if (radek > 93 || radek + static_cast<int>(zapisy.size()) - 1 > 99) {
    ++up;
    radek = 1;
  }
  if (up > 999999) return std::nullopt;
  const std::string cisloUP = storage::DoplnZleva(std::to_string(up), 6, '0');
  for (tUcZapis& z : zapisy) {
    z.cisloUP = cisloUP;
    z.radek = storage::DoplnZleva(std::to_string(radek++), 2, '0');
  }
  if (zapisy.empty()) return c;
  // The next document goes on after the last line, or in the next UP after a line above 90.
  const int posledniRadek = radek - 1;
  if (posledniRadek > 90) {
    if (up == 999999) return std::nullopt;
    return storage::DoplnZleva(std::to_string(up + 1), 6, '0') + "00";
  }
  return cisloUP + storage::DoplnZleva(std::to_string(posledniRadek), 2, '0');
}

void ZapamatujSi(PametZauctovani& pamet, const std::vector<tUcZapis>& zapisy) {
  for (const tUcZapis& z : zapisy) {
    if (z.prazdny()) continue;
    // A two-sided entry is the off-balance one, in the currency: it says nothing about crown accounts.
    if (z.maMD() && z.maDal()) continue;
    // The rounding entry says nothing about where revenues go.
    if (z.ucetDal == kUcetZaokrouhleni || z.ucetMD == kUcetZaokrouhleni) continue;
    if (z.ucetMD.starts_with("211")) {
      pamet.ucetPokladny = z.ucetMD;
      pamet.strPokladny = z.strMD;
    } else if (z.ucetDal.starts_with("211")) {
      pamet.ucetPokladny = z.ucetDal;
      pamet.strPokladny = z.strDal;
    }
    if (z.ucetDal.starts_with("6")) {
      pamet.skupinaVynosu = z.ucetDal.substr(0, 3);
      pamet.stredisko = z.strDal;
    }
    if (z.ucetMD.starts_with("5")) {
      pamet.skupinaNakladu = z.ucetMD.substr(0, 3);
      pamet.stredisko = z.strMD;
    }
  }
}

std::vector<std::string> RadkyVypisu(const std::vector<tUcZapis>& zapisy) {
  std::vector<std::string> r;
  r.push_back(cz("účtovací předpis"));
  r.push_back(std::string(1, '\x0f'));
  r.push_back(cz("Č.u.p./cr Text                           Úč.MD  St.MD  Úč.Dal St.Dal      Částka   Datum Pár.ú.     Zak"));
  for (const tUcZapis& z : zapisy) {
    if (z.castka > -10 && z.castka < 10) continue;
    if (!z.maMD() && !z.maDal()) continue;
    const std::string job = orez(z.zakDal).empty() ? z.zakMD : z.zakDal;
    r.push_back(z.cisloUP + "/" + z.radek + " " + storage::NaSirku(z.text, 30) + " " + z.ucetMD + " " + z.strMD +
                "  " + z.ucetDal + " " + z.strDal + " " +
                ui::FormatE("#########.##-", storage::tenThousandthsToDouble(z.castka)) + " " + z.datum + " " +
                storage::NaSirku(z.parUdaj, 10) + " " + storage::OrezZprava(job));
  }
  r.push_back(std::string(1, '\x12'));
  r.push_back(std::string(75, '.'));
  return r;
}

std::vector<std::uint8_t> RadkyDeniku(const PokladniDoklad& d, const RadaPokladny& rada, const PametZauctovani& pamet,
                                      const PlatbaDokladu* platba) {
  using namespace pdZapis;
  const std::string datum = d.datumZapl.size() == 6 ? d.datumZapl.substr(4, 2) + d.datumZapl.substr(2, 2) + d.datumZapl.substr(0, 2)
                                                   : std::string();
  const std::string doklad = orez(rada.rada) + (d.ident.size() > 1 ? d.ident.substr(1, 4) : std::string());
  const bool faktura = d.druh == "O" || d.druh == "D";
  std::string text;
  if (d.druh == "D") text = orez(d.cislo) + "-" + orez(d.adr1);
  else if (d.druh == "O") text = orez(d.cislo);
  else text = d.text;
  const auto naTricet = [](const std::string& t) { return storage::OrezZprava(t.substr(0, std::min<std::size_t>(t.size(), 30))); };
  // A paying document's second line: what did not fit of the reference, then the document's own
  // text (the invoice and the rate it was paid at).
  const std::string zbytek =
      faktura ? orez((text.size() > 30 ? text.substr(30) + " " : std::string()) + orez(d.text)) : std::string();
  const std::string klic = orez(rada.ucet).substr(0, 3);
  const int cisloKlice = jenCislice(klic) ? std::stoi(klic) : 0;
  const bool prijem = d.druh == "P" || d.druh == "O";
  const auto radek = [&](const std::string& t) {
    std::vector<std::uint8_t> v(kVelikost, 0);
    (void)storage::writeShortString(v, kDatum, 6, datum);
    (void)storage::writeShortString(v, kDoklad, 7, doklad.substr(0, std::min<std::size_t>(doklad.size(), 7)));
    (void)storage::writeU16(v, kKlic, static_cast<std::uint16_t>(cisloKlice));
    (void)storage::writeShortString(v, kText, 30, t);
    (void)storage::writeU16(v, kPartner, d.cisloOrg);
    (void)storage::writeShortString(v, kStredisko, 5, petMist(pamet.stredisko));
    return v;
  };
  std::vector<std::uint8_t> v = radek(naTricet(text));
  (void)storage::writeI64(v, prijem ? kPrijem : kVydaj, naHalere(d.placenoKc));
  if (faktura) {
    std::vector<std::uint8_t> druhy = radek(naTricet(zbytek));
    (void)storage::writeI64(druhy, kRozdil, platba ? naHalere(KurzovyRozdil(d, *platba)) : 0);
    v.insert(v.end(), druhy.begin(), druhy.end());
  }
  return v;
}

namespace {

// The first account of the chart "CI10.DTA" that begins with `skupina` (the chart is kept sorted,
// but the smallest matching number is taken whatever the order).
std::string prvniUcetOsnovy(const std::string& skupina) {
  std::string obsah;
  if (platform::readWholeFile(storage::DataCesta("CI10.DTA"), obsah, platform::Share::DenyNone) != platform::kIoOk)
    return {};
  std::string nejmensi;
  for (std::size_t o = 0; o + accounting::ucet::kVelikost <= obsah.size(); o += accounting::ucet::kVelikost) {
    const std::string u = orez(storage::readShortString(
        storage::ConstBytes(std::string_view(obsah).substr(o, accounting::ucet::kVelikost)),
        accounting::ucet::kUcet, 6));
    if (u.size() == 6 && u.starts_with(skupina) && (nejmensi.empty() || u < nejmensi)) nejmensi = u;
  }
  return nejmensi;
}

// The VAT analytic of an item rate: the last three characters of the own company's tax account
// of that rate (reduced, basic, second reduced), "0" in the last place for the zero rate; "000"
// when the company pays no VAT or has no account for the rate.
std::string analytikaDph(double sazba) {
  const registers::VlastniFirma& f = registers::Firma();
  if (!f.platceDph) return "000";
  using F = registers::tFirma;
  const auto analytika = [&](std::size_t off) {
    const std::string u = orez(f.text(off, 6));
    return u.size() == 6 ? u.substr(3, 3) : std::string("000");
  };
  const auto& s = storage::settings();
  const auto rovno = [](double a, double b) { return a > b - 0.001 && a < b + 0.001; };
  if (rovno(sazba, 0)) {
    std::string a = analytika(F::kDanUcet2);
    a[2] = '0';
    return a;
  }
  if (rovno(sazba, s.vatReduced)) return analytika(F::kDanUcet1);
  if (rovno(sazba, s.vatBasic)) return analytika(F::kDanUcet2);
  if (rovno(sazba, s.vatReduced2)) return analytika(F::kDanUcet3);
  return "000";
}

std::int64_t ctyrMista(double v) {
  const storage::Money m = storage::toTenThousandths(v);
  return m.ok() ? m.tenThousandths : 0;
}

// The document's items as the station's work file holds them.
PolozkyDokladu ctiPolozky(char typ) {
  PolozkyDokladu p;
  p.typ = typ;
  if (typ != 'T' && typ != 'P') return p;
  std::string obsah;
  if (platform::readWholeFile(SouborPolozek(typ), obsah, platform::Share::DenyNone) != platform::kIoOk) return p;
  const std::size_t velikost = typ == 'T' ? tPolozkaT::kVelikost : tPolozkaP::kVelikost;
  for (std::size_t o = 0; o + velikost <= obsah.size(); o += velikost) {
    const storage::ConstBytes v(std::string_view(obsah).substr(o, velikost));
    if (typ == 'T') {
      p.soucetT += naHalere(ctyrMista(storage::readReal48(v, tPolozkaT::kCena))) +
                   naHalere(ctyrMista(storage::readReal48(v, tPolozkaT::kDph)));
    } else {
      PolozkaUctovani i;
      i.ucet = storage::readShortString(v, tPolozkaP::kUcet, 6);
      i.stredisko = storage::readShortString(v, tPolozkaP::kStredisko, 5);
      i.analytika = analytikaDph(storage::readReal48(v, tPolozkaP::kSazba));
      i.castka = naHalere(ctyrMista(storage::readReal48(v, tPolozkaP::kZaklad))) +
                 naHalere(ctyrMista(storage::readReal48(v, tPolozkaP::kDph)));
      p.predmety.push_back(i);
    }
  }
  return p;
}

std::string klicUP(const RadaPokladny& rada) { return "PZUP" + orez(rada.rada); }

// PZUP + series as 8 digits ("00000000" when unset or damaged).
std::string ulozenyCitac(const RadaPokladny& rada) {
  const std::string c = storage::DoplnZleva(orez(storage::CtiJobV(storage::DataCesta(""), klicUP(rada))), 8, '0');
  return c.size() == 8 && jenCislice(c) ? c : std::string("00000000");
}

void pripomen(const PokladniDoklad& d) {
  if (!d.Zauctovan()) storage::interaction().message(cz("Nazapomeňte tento doklad zaúčtovat !"), false);
}

// Appends a report file to an archive under the archive's write lock; a failure is said.
void doArchivu(const std::string& soubor, const std::string& archiv) {
  const storage::Zamek z = storage::Zamkni(archiv, "W");
  if (!storage::MuzePokracovat(z)) {
    storage::interaction().message(cz("Archiv ") + archiv + cz(" není volný, výpis do něj nebyl připojen"), true);
    return;
  }
  const int kod = reports::PripojSestavu(soubor, archiv);
  if (z == storage::Zamek::Drzen) storage::Odemkni(archiv);
  if (kod != 0)
    storage::interaction().message(cz("Výpis nebyl připojen do archivu ") + archiv + " (" + std::to_string(kod) + ")", true);
}

class Zauctovani final : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "zauctovani"; }
  PoradiKroku Poradi() const override { return PoradiKroku::Zauctovani; }

  bool Priprav(Ukladani& u) override {
    zapisy_.clear();
    denik_ = false;
    platba_.reset();
    citac_.clear();
    const std::string ucet = orez(u.rada.ucet);
    if (ucet.empty() || ucet == kBezUctu) return false;
    if (u.doklad.placenoKc == 0) return false;
    if (u.puvodni && u.puvodni->Zauctovan() &&
        !storage::interaction().question(cz("Zaúčtovat ještě jednou ?"), false))
      return false;
    PametZauctovani& pamet = pametZauctovani();
    // The journal's lines are made in the commit, from the payment as booked there.
    if (storage::settings().cashJournal) {
      denik_ = true;
      return true;
    }
    if (!pamet.upZadano || pamet.posledni.substr(0, 6) == "000000") {
      if (!zeptejSeNaUP(u.rada, pamet)) {
        pripomen(u.doklad);
        return false;
      }
    }
    const std::optional<std::vector<tUcZapis>> navrh =
        SestavZapisy(u.doklad, u.rada, pamet, ctiPolozky(u.polozky ? u.typPolozek : 0), prvniUcetOsnovy,
                     u.platbaFaktury ? &*u.platbaFaktury : nullptr);
    if (!navrh) {
      storage::interaction().message(cz("Položky dokladu mají víc než 50 účtovacích klíčů, doklad nebyl zaúčtován"), true);
      return false;
    }
    std::vector<tUcZapis> zapisy = *navrh;
    if (pamet.doplnek)
      for (tUcZapis z : pamet.doplnek(u.doklad)) {
        if (z.agenda.empty()) z.agenda = "PZ";
        zapisy.push_back(std::move(z));
      }
    std::vector<tUcZapis> cislovane = zapisy;
    const std::optional<std::string> dalsi = CislujZapisy(cislovane, pamet.posledni);
    if (!dalsi) {
      storage::interaction().message(accounting::ZpravaPreteceniCitace(pamet.posledni), true);
      return false;
    }
    // Entries that carry nothing stay in the proposal with the next lines, so the cashier sees them.
    std::string citac = cislovane.empty() ? storage::DoplnZleva(pamet.posledni, 8, '0') : cislovane.front().cisloUP + cislovane.front().radek;
    std::vector<tUcZapis> okno;
    for (tUcZapis z : zapisy) {
      z.cisloUP = citac.substr(0, 6);
      z.radek = citac.substr(6, 2);
      okno.push_back(z);
      if (const auto c = accounting::DalsiRadekUP(citac)) citac = *c;
    }
    int radek = 1;
    for (;;) {
      std::optional<std::vector<tUcZapis>> prijate;
      storage::interaction().window("TfUp", [&] {
        prijate = accounting::UkazPredpis(okno, okno.empty() ? citac : okno.front().cisloUP + okno.front().radek, radek);
        return prijate ? 13 : 27;
      });
      if (!prijate) {
        pripomen(u.doklad);
        return false;
      }
      okno = *prijate;
      const auto opravit = kontrola(okno);
      if (!opravit) return false;  // answered No: this document is not posted
      if (*opravit == 0) break;
      radek = *opravit;  // back to the window, on the entry to correct

    }
    zapisy_ = okno;
    std::erase_if(zapisy_, [](const tUcZapis& z) { return z.prazdny(); });
    platba_ = u.platbaFaktury;
    return !zapisy_.empty();
  }

  std::vector<std::string> Zamky(const Ukladani&) const override {
    return {storage::DataCesta(denik_ ? kPokladniDenik : kDavka)};
  }

  bool Zapis(Ukladani& u, Zamer& zamer, const StavRady&) override {
    if (denik_) {
      platform::FileInfo info;
      const std::int64_t delka =
          platform::fileInfo(storage::DataCesta(kPokladniDenik), info) == platform::kIoOk ? info.size : 0;
      // A journal that is no whole number of lines is never appended to.
      if (delka % pdZapis::kVelikost != 0) {
        storage::interaction().message(cz("Soubor ") + kPokladniDenik + cz(" je poškozený, doklad nebyl uložen"), true);
        return false;
      }
      zamer.Zapis(kPokladniDenik, delka,
                  RadkyDeniku(u.doklad, u.rada, pametZauctovani(), u.platbaFaktury ? &*u.platbaFaktury : nullptr));
      return oznac(u, zamer);
    }
    // The payment as booked under the invoice's lock must still give the entries the cashier
    // accepted: another station's payment of the same invoice meanwhile can change them (the
    // rest of an invoice in crowns, or the payment that settles it).
    if (platba_ && u.platbaFaktury &&
        ZapisyPlatby(u.doklad, *platba_) != ZapisyPlatby(u.doklad, *u.platbaFaktury)) {
      storage::interaction().message(cz("Fakturu mezitím platila jiná stanice, zaúčtování platby už neplatí: doklad "
                                        "nebyl uložen, uložte ho znovu"),
                                     true);
      return false;
    }
    // An attach of the batch cut off by a kill is finished before anything is appended to it.
    if (accounting::DokonciPripojeni(storage::DataCesta(kDavka), false) == accounting::Dokonceni::Chyba) return false;
    const std::optional<std::string> obsah = accounting::BajtyDavky(storage::DataCesta(kDavka));
    if (!obsah) return false;
    // Numbered from what is stored now: another station may have moved the counter on since
    // this one's proposal.
    std::vector<tUcZapis> zapisy = zapisy_;
    const std::string od = PozdejsiCitac(ulozenyCitac(u.rada), pametZauctovani().posledni);
    const std::optional<std::string> dalsi = CislujZapisy(zapisy, od);
    if (!dalsi) {
      storage::interaction().message(accounting::ZpravaPreteceniCitace(od), true);
      return false;
    }
    // The counter moves on before anything is stored: a save that fails after it leaves unused
    // numbers, never numbers used twice.
    const std::string novy = *dalsi;
    if (!storage::UpravJobV(storage::DataCesta(""), klicUP(u.rada),
                            [&](const std::string& stary) {
                              return PozdejsiCitac(storage::DoplnZleva(orez(stary), 8, '0'), novy);
                            }))
      return false;
    std::vector<std::uint8_t> bajty;
    for (const tUcZapis& z : zapisy) {
      const auto v = accounting::SlozZapis(z);
      bajty.insert(bajty.end(), v.begin(), v.end());
    }
    zamer.Zapis(kDavka, static_cast<std::int64_t>(obsah->size()), std::move(bajty));
    zapisy_ = zapisy;
    citac_ = novy;
    return oznac(u, zamer);
  }

  void PoUlozeni(const Ukladani& u) override {
    if (denik_) return;
    PametZauctovani& pamet = pametZauctovani();
    ZapamatujSi(pamet, zapisy_);
    if (const auto& p = u.platbaFaktury) {
      (p->vydana ? pamet.ucetPohledavek : pamet.ucetZavazku) = p->ucet.empty() ? std::string(kBezUctu) : sestMist(p->ucet);
      (p->vydana ? pamet.strPohledavek : pamet.strZavazku) = petMist(p->stredisko);
    }
    pamet.posledni = citac_;
    pamet.upZadano = true;
    const std::string rada = orez(u.rada.rada);
    bool ok = reports::OtevriSestavu("pzkont", kSirkaVypisu);
    if (ok)
      for (const std::string& r : RadkyVypisu(zapisy_)) ok = reports::PisRadek(r) && ok;
    ok = reports::ZavriSestavu() && ok;
    if (!ok) return;
    // The listing follows the voucher, in the voucher's file and in the series' archive of
    // vouchers with their listings.
    const std::string doklad = "pz" + rada + "a.txt";
    // Every kind of document has its voucher printed at this save to follow.
    const bool maDoklad = !u.doklad.druh.empty();
    const storage::Zamek z = maDoklad ? storage::Zamkni("pzkont.txt", "W") : storage::Zamek::Nedrzen;
    if (maDoklad && storage::MuzePokracovat(z)) {
      const int kod = reports::PripojSestavu("pzkont.txt", doklad);
      if (z == storage::Zamek::Drzen) storage::Odemkni("pzkont.txt");
      if (kod != 0)
        storage::interaction().message(cz("Výpis nebyl připojen k dokladu ") + doklad + " (" + std::to_string(kod) + ")", true);
    }
    if (maDoklad) doArchivu(doklad, storage::DataCesta("pzar" + rada + "K.txt"));
    doArchivu("pzkont.txt", storage::DataCesta("pzkontar.txt"));
  }

 private:
  // The document is marked posted in the same commit as the entries.
  static bool oznac(Ukladani& u, Zamer& zamer) {
    u.doklad.ind = "U" + (u.doklad.ind.size() > 1 ? u.doklad.ind.substr(1) : std::string());
    if (!ZapisDoklad(u.doklad, u.zaznam)) return false;
    zamer.Zapis(u.souborDokladu, static_cast<std::int64_t>(u.cisloZaznamu - 1) * tPzDoklad::kVelikost, u.zaznam);
    return true;
  }

  static bool zeptejSeNaUP(const RadaPokladny& rada, PametZauctovani& pamet) {
    const std::string c = ulozenyCitac(rada);
    const std::string radek = ui::FormatE("@@", std::stoi(c.substr(6, 2)) + 1);
    for (;;) {
      if (!ui::Dotazy(20, 10, nullptr, {cz("číslo UP   : "), c.substr(0, 6), cz("číslo řádku : "), radek},
                      cz(" ČÍSLO ÚČETNÍHO PŘEDPISU ")))
        return false;
      const auto& o = ui::vysledekDialogu().odpovedi;
      const std::string up = storage::DoplnZleva(orez(o.size() > 0 ? o[0] : ""), 6, '0');
      const std::string r = orez(o.size() > 1 ? o[1] : "");
      const int n = jenCislice(r) && r.size() <= 2 ? std::stoi(r) : -1;
      if (up.size() == 6 && jenCislice(up) && n >= 1 && n <= 99) {
        pamet.posledni = up + ui::FormatE("@@", n - 1);
        pamet.upZadano = true;
        return true;
      }
      storage::interaction().message(cz("Číslo UP má 6 číslic a řádek 1 až 99"), true);
    }
  }

  // The checks after the window: nullopt when the cashier gave up (nothing is posted), the entry
  // (from 1) to go back to in the window, 0 when all is right.
  static std::optional<int> kontrola(const std::vector<tUcZapis>& zapisy) {
    auto& dotaz = storage::interaction();
    const accounting::Strany s = accounting::SoucetStran(zapisy, false);
    if (s.rozdil() != 0) {
      const std::string otazka = cz("Rozdíl MD-DAL = ") +
                                 ui::FormatE("########.##-", storage::tenThousandthsToDouble(s.rozdil())) +
                                 cz("!  OPRAVIT ?");
      if (dotaz.question(otazka, true)) return 1;
      return std::nullopt;
    }
    int n = 0;
    for (const tUcZapis& z : zapisy) {
      ++n;
      if (z.prazdny()) continue;
      for (const auto& [ucet, str] : {std::pair{z.ucetMD, z.strMD}, std::pair{z.ucetDal, z.strDal}}) {
        if (ucet == kBezUctu) continue;
        if (accounting::HledejUcet(ucet) < 1) {
          if (dotaz.question(ucet + cz(" není v účetní osnově!   OPRAVIT ?"), true)) return n;
          return std::nullopt;
        }
        if (str != kBezStrediska && accounting::HledejStredisko(str) < 1) {
          if (dotaz.question(str + cz(" není v číselníku 30!   OPRAVIT ?"), true)) return n;
          return std::nullopt;
        }
      }
    }
    return 0;
  }

  std::vector<tUcZapis> zapisy_;      // the entries the cashier confirmed
  bool denik_ = false;                // cash-journal mode: journal lines instead of entries
  std::optional<PlatbaDokladu> platba_;  // the invoice payment the accepted entries were made from
  std::string citac_;                 // the counter stored by the commit
};

}  // namespace

std::unique_ptr<KrokUkladani> KrokZauctovani() { return std::make_unique<Zauctovani>(); }

}  // namespace pz::cashdesk
