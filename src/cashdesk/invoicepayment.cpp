#include "cashdesk/invoicepayment.h"

#include <cmath>
#include <cstdlib>

#include "cashdesk/intent.h"
#include "cashdesk/saving.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/money.h"
#include "storage/recordfile.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;
using invoicing::Faktura;
using invoicing::Registr;

namespace {

constexpr std::int64_t kNejvicVPoli = 99999999999999;

double cislo(Penize p) { return storage::tenThousandthsToDouble(p); }

// round4 of a × b / c, then the two decimals of an amount field.
std::optional<Penize> naPole(double a, double b, double c) {
  const storage::Money m = storage::mulDivRound4(a, b, c);
  if (!m.ok()) return std::nullopt;
  const storage::Money r = storage::round2(m.tenThousandths);
  if (!r.ok() || std::llabs(r.tenThousandths) > kNejvicVPoli) return std::nullopt;
  return r.tenThousandths;
}

std::string cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

std::string kurzText(double k) { return ui::FormatE("###.#######", k); }

// A rate to seven decimals, as its field keeps it.
double naSedmMist(double k) { return std::round(k * 1e7) / 1e7; }

std::string mena(const RadaPokladny& rada) { return storage::Orez(rada.mena); }

std::string domaciMena() {
  const std::string m = storage::Orez(storage::settings().homeCurrency);
  return m.empty() ? "CZK" : m;
}

}  // namespace

bool FakturaZaplacena(const Faktura& f, Registr r) {
  if (invoicing::Vydane(r) ? f.priznak == "Z" : f.priznak == "U") return true;
  if (invoicing::VCizeMene(r)) return f.celkemVal != 0 && std::llabs(f.zaplacenoVal) >= std::llabs(f.celkemVal);
  return f.celkemKc != 0 && std::llabs(f.zaplacenoKc) >= std::llabs(f.celkemKc);
}

std::optional<VazbaFaktury> VyplnDoklad(PokladniDoklad& d, const Faktura& f, Registr r, const std::string& kod,
                                        std::int32_t zaznam, const RadaPokladny& rada, double kurzA, double kurzB,
                                        const std::string& dnes) {
  const bool cizi = invoicing::VCizeMene(r);
  const bool vydana = invoicing::Vydane(r);
  const double m = rada.mnozstvi == 0 ? 1 : rada.mnozstvi;
  if (!(kurzA > 0) || kurzB < 0 || (cizi && f.mena != mena(rada) && !(kurzB > 0))) return std::nullopt;
  if (cizi && f.mena == "HUF" && kurzA > 1) kurzA /= 100;
  if (!cizi || f.mena == mena(rada)) kurzB = 0;
  PokladniDoklad n = d;
  if (!cizi) {
    const Penize otevreno = f.celkemKc - f.zaplacenoKc;
    const auto celkemVal = naPole(cislo(f.celkemKc), m, kurzA);
    const auto placenoVal = naPole(cislo(otevreno), m, kurzA);
    if (!celkemVal || !placenoVal) return std::nullopt;
    const auto placenoKc = naPole(cislo(*placenoVal), kurzA, m);
    if (!placenoKc) return std::nullopt;
    n.celkemVal = *celkemVal;
    n.placenoVal = *placenoVal;
    n.celkemKc = f.celkemKc;
    n.placenoKc = *placenoKc;
    n.kurz = kurzA;
  } else {
    const Penize otevreno = f.celkemVal - f.zaplacenoVal;
    const auto placenoKc = naPole(cislo(otevreno), kurzA, 1);
    if (!placenoKc) return std::nullopt;
    n.celkemKc = f.celkemKc;
    n.placenoKc = *placenoKc;
    if (kurzB == 0) {
      n.celkemVal = f.celkemVal;
      n.placenoVal = otevreno;
      n.kurz = naSedmMist(kurzA * m);
    } else {
      const auto placenoVal = naPole(cislo(*placenoKc), m, kurzB);
      const auto celkemKcA = naPole(cislo(f.celkemVal), kurzA, 1);
      const auto celkemVal = celkemKcA ? naPole(cislo(*celkemKcA), m, kurzB) : std::nullopt;
      if (!placenoVal || !celkemVal) return std::nullopt;
      n.celkemVal = *celkemVal;
      n.placenoVal = *placenoVal;
      n.kurz = kurzB;
    }
  }
  const std::string cisloF = storage::Orez(f.cislo);
  const std::string menaF = cizi ? f.mena : mena(rada);
  std::string kod4 = cut(kod, 4);
  kod4.resize(4, ' ');
  if (vydana) {
    n.cislo = cisloF;
    n.text = cizi ? cz("Platba ZF č.") + cisloF + cz(", pužitý kurz:") + kurzText(kurzA) + cz(" Kč/1 ") + menaF
                  : cz("Pl.OF č.") + cisloF + "," + kurzText(kurzA) + cz("Kč/1") + menaF;
  } else {
    n.cislo = kod4 + storage::DoplnZleva(std::to_string(zaznam), 4, '0');
    n.text = (cizi ? cz("Úhr.DZ č.") : cz("Úhr.DF č.")) + storage::Orez(kod4) + cisloF + ",VS:" + storage::Orez(f.vs) +
             "," + kurzText(kurzA) + cz("Kč/1") + menaF;
    n.ico = f.ico;
    n.finUrad = f.finUrad;
  }
  n.text = cut(n.text, 50);
  n.cisloOrg = f.cisloOrg;
  n.datumDod = f.datumDod;
  n.datumZapl = dnes;
  n.dic = f.dic;
  n.adr1 = f.adr1;
  n.adr2 = f.adr2;
  n.adr3 = f.adr3;
  n.adr4 = f.adr4;
  n.psc = f.psc;
  d = n;
  VazbaFaktury v;
  v.registr = r;
  v.kod = kod;
  v.soubor = invoicing::SouborFaktur(r, kod);
  v.souborPlateb = invoicing::SouborPlateb(r, kod);
  v.zaznam = zaznam;
  v.cisloFaktury = cisloF;
  v.kurzA = kurzA;
  v.kurzB = kurzB;
  return v;
}

namespace {

// The payment in the invoice currency: the document's currency amount when that is the
// invoice's, otherwise its crowns back at rate A.
Penize vMeneFaktury(const VazbaFaktury& v, const PokladniDoklad& d) {
  if (v.kurzB == 0) return d.placenoVal;
  return naPole(cislo(d.placenoKc), 1, v.kurzA).value_or(0);
}

}  // namespace

Penize ZbyvaZaplatit(const Faktura& f, const VazbaFaktury& v, const PokladniDoklad& d) {
  if (invoicing::VCizeMene(v.registr)) return std::llabs(f.celkemVal) - std::llabs(f.zaplacenoVal + vMeneFaktury(v, d));
  return std::llabs(f.celkemKc) - std::llabs(f.zaplacenoKc + d.placenoKc);
}

std::optional<ZapocteniPlatby> ZapoctiPlatbu(const Faktura& f, const VazbaFaktury& v, const PokladniDoklad& d,
                                             const RadaPokladny& rada) {
  if (storage::Orez(f.cislo) != v.cisloFaktury) return std::nullopt;
  const bool cizi = invoicing::VCizeMene(v.registr);
  const bool vydana = invoicing::Vydane(v.registr);
  ZapocteniPlatby z;
  z.faktura = f;
  Faktura& n = z.faktura;
  PlatbaDokladu& p = z.platbaDokladu;
  p.vydana = vydana;
  p.cizi = cizi;
  p.ucet = f.ucet;
  p.stredisko = f.stredisko;
  p.menaFaktury = cizi ? f.mena : mena(rada);
  p.celkemKc = f.celkemKc;
  p.celkemVal = f.celkemVal;
  p.predtimKc = f.zaplacenoKc;
  p.placenoKc = d.placenoKc;
  p.kurzFaktury = f.mnozstvi == 0 ? f.kurz : f.kurz / f.mnozstvi;
  p.kurzA = v.kurzA;
  const bool vyrovnana = ZbyvaZaplatit(f, v, d) <= 0;
  n.datumZapl = d.datumZapl;
  n.zaplacenoKc = f.zaplacenoKc + d.placenoKc;
  if (cizi) {
    p.placenoValFaktury = vMeneFaktury(v, d);
    n.zaplacenoVal = f.zaplacenoVal + p.placenoValFaktury;
  }
  p.posledni = vyrovnana || v.posledni;
  if (vydana) {
    if (p.posledni) {
      n.priznak = "Z";
      n.castecne.clear();
    } else {
      n.castecne = "C";
    }
  } else {
    n.hotove = "P";
    n.priznak = p.posledni ? "U" : "C";
  }
  z.platba.faktura = cut("  " + d.cislo, 10);
  z.platba.datum = d.datumZapl;
  z.platba.doklad = "   " + rada.rada + d.ident;
  z.platba.castkaKc = d.placenoKc;
  if (d.kurz != 0) {
    z.platba.castkaVal = d.placenoVal;
    z.platba.mena = mena(rada);
    z.platba.kurz = d.kurz;
  }
  z.platba.text = "POKL.";
  return z;
}

std::string ParovaciUdajPlatby(const PokladniDoklad& d) {
  return storage::DoplnZleva(cut(storage::BezMezer(d.cislo), 10), 10, '0');
}

namespace {

// The crowns the invoice is settled by: the payment valued at the invoice's own rate (foreign
// invoice), the rest of the invoice (the last payment of one in crowns), never more than an
// issued invoice in crowns; otherwise the crowns paid.
Penize oceneni(const PokladniDoklad& d, const PlatbaDokladu& p) {
  if (p.cizi) return naPole(cislo(p.placenoValFaktury), p.kurzFaktury, 1).value_or(d.placenoKc);
  Penize castka = d.placenoKc;
  if (p.posledni) castka = p.celkemKc - p.predtimKc;
  if (p.vydana && p.celkemKc > 0 && castka > p.celkemKc) castka = p.celkemKc;
  return castka;
}

}  // namespace

Penize KurzovyRozdil(const PokladniDoklad& d, const PlatbaDokladu& p) {
  if (!p.cizi) return 0;
  // A gain: the invoice settled by more crowns than it was valued at (received) or by fewer
  // (paid).
  const Penize castka = oceneni(d, p);
  return p.vydana ? d.placenoKc - castka : castka - d.placenoKc;
}

std::vector<accounting::tUcZapis> ZapisyPlatby(const PokladniDoklad& d, const PlatbaDokladu& p) {
  std::vector<accounting::tUcZapis> z;
  accounting::tUcZapis vzor;
  vzor.text = cut(storage::Orez(d.text), 30);
  vzor.datum = d.datumZapl;
  vzor.parUdaj = ParovaciUdajPlatby(d);
  accounting::tUcZapis hlavni = vzor;
  hlavni.castka = oceneni(d, p);
  if (p.vydana) {
    hlavni.ucetDal = p.ucet;
    hlavni.strDal = p.stredisko;
  } else {
    hlavni.ucetMD = p.ucet;
    hlavni.strMD = p.stredisko;
  }
  z.push_back(hlavni);
  if (const Penize zisk = KurzovyRozdil(d, p); zisk != 0) {
    accounting::tUcZapis rozdil = vzor;
    rozdil.castka = std::llabs(zisk);
    if (zisk > 0) rozdil.ucetDal = "663000";
    else rozdil.ucetMD = "563000";
    z.push_back(rozdil);
  }
  return z;
}

std::vector<std::string> RadkyPlatbyDokladu(const PokladniDoklad& d, const RadaPokladny& rada, const PlatbaDokladu& p) {
  std::vector<std::string> r;
  const std::string kc = domaciMena();
  if (p.kurzA != 0) r.push_back(std::string(39, ' ') + kurzText(p.kurzA) + kc + "/1" + p.menaFaktury);
  else r.push_back("");
  const auto castka = [](Penize x) { return storage::Orez(ui::FormatE("### ### ### ###.##-", cislo(x))); };
  const std::string celkem = cz("******     C e l k e m    z a    d o d á v k u : ");
  if (p.cizi) r.push_back(celkem + castka(p.celkemVal) + " " + p.menaFaktury);
  else r.push_back(celkem + castka(d.celkemKc) + " " + kc);
  (void)rada;
  return r;
}

// ---------------------------------------------------------------------------------------------
// The choice in the entry form

namespace {

// A rate dialog, repeated until the rate is above 0; nullopt after Esc.
std::optional<double> kurzDialog(const std::string& titul, const std::string& radek, double predvolba) {
  for (;;) {
    if (!ui::Dotazy(30, 15, nullptr, {radek, kurzText(predvolba)}, titul) || ui::vysledekDialogu().odpovedi.empty())
      return std::nullopt;
    const double k = ui::TextNaReal(ui::vysledekDialogu().odpovedi[0]);
    if (k > 0) return k;
    if (k < 0) ui::Zprava(cz("Kurz musí být kladný"));
  }
}

void ukazPlatby(Registr r, const std::string& kod) {
  invoicing::TfPlatby platby(r, kod);
  platby.Ukaz();
}

}  // namespace

std::optional<VazbaFaktury> VyberFakturu(const std::string& druh, PokladniDoklad& d, const RadaPokladny& rada) {
  const bool vydane = druh == "O";
  const Registr val = vydane ? Registr::VydaneVal : Registr::PrijateVal;
  const Registr kc = vydane ? Registr::VydaneKc : Registr::PrijateKc;
  const std::string domaci = domaciMena();
  const std::string menaRady = mena(rada);
  for (;;) {
    // The foreign series first, then those in crowns. A register that was never set up is not
    // shown (its list would create it).
    Registr r = val;
    std::optional<invoicing::RadaFaktur> rada1;
    if (vydane ? invoicing::RegistrZalozen(val) : !invoicing::RadyFaktur(val).empty())
      rada1 = invoicing::TfRadyFaktur(val).Vyber();
    if (!rada1) {
      r = kc;
      if (!invoicing::RegistrZalozen(kc)) {
        ui::Zprava(cz("Řady faktur nejsou založeny (Účetnictví - Faktury vydané a přijaté)"));
        return std::nullopt;
      }
      rada1 = invoicing::TfRadyFaktur(kc).Vyber();
      if (!rada1) return std::nullopt;
    }
    invoicing::TfFaktury faktury(r, rada1->kod);
    const int zaznam = faktury.Vyber();
    if (zaznam < 1) continue;
    const std::optional<Faktura> f = invoicing::NactiFakturu(invoicing::SouborFaktur(r, rada1->kod), zaznam);
    if (!f) continue;
    if (FakturaZaplacena(*f, r)) {
      const bool podleCastky = vydane ? f->priznak != "Z" : f->priznak != "U";
      if (podleCastky) {
        ui::Zprava(vydane ? cz("Vybraná faktura již byla zaplacena následovně : ")
                          : cz("Vybraná faktura již byla zaplacena dne ") + storage::Orez(f->datumZapl));
        ukazPlatby(r, rada1->kod);
      } else {
        ui::Zprava(vydane ? cz("Vybraná faktura má již příznak zaplacení.")
                          : cz("Vybraná faktura má již identifikaci, že byla uhrazena."));
      }
      continue;
    }
    const bool cizi = invoicing::VCizeMene(r);
    const double kurzFaktury = f->mnozstvi == 0 ? f->kurz : f->kurz / f->mnozstvi;
    std::optional<double> a, b;
    if (vydane) {
      if (!cizi) a = kurzDialog(cz(" Pklatbu propčítat kurzem vzhledem k ") + domaci, cz(" Kurz ") + menaRady, rada.kurz);
      else a = kurzDialog(cz(" Platbu propočítat kurzem "), cz("            Kurz ") + f->mena, kurzFaktury);
      if (a && cizi && f->mena != menaRady)
        b = kurzDialog(cz(" Platbu propočítat kurzem vzhledem k ") + domaci, cz("           Kurz ") + menaRady, rada.kurz);
    } else {
      const std::string titul = cz(" Úhradu propčítat kurzem vzhledem k ") + domaci;
      if (cizi) a = kurzDialog(titul, cz("                         Kurz ") + f->mena, kurzFaktury);
      else a = kurzDialog(titul, cz("                       Kurz ") + menaRady, rada.kurz);
      if (a && cizi && f->mena != menaRady) b = kurzDialog(titul, cz("                     Kurz ") + menaRady, rada.kurz);
    }
    if (!a || (cizi && f->mena != menaRady && !b)) continue;
    const std::string dnes = d.datumZapl;
    std::optional<VazbaFaktury> v = VyplnDoklad(d, *f, r, rada1->kod, zaznam, rada, *a, b.value_or(0), dnes);
    if (!v) {
      ui::Zprava(cz("Částka platby se nevejde do dokladu"));
      continue;
    }
    return v;
  }
}

// ---------------------------------------------------------------------------------------------
// The save step

namespace {

bool plati(const Ukladani& u) { return u.faktura && !u.puvodni; }

class KrokPlatby : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "platbaFaktury"; }
  PoradiKroku Poradi() const override { return PoradiKroku::PlatbaFaktury; }

  bool Priprav(Ukladani& u) override {
    // Nothing to book (an edited document is never linked again) is no step declined.
    if (!plati(u)) return true;
    const std::optional<Faktura> f = invoicing::NactiFakturu(u.faktura->soubor, u.faktura->zaznam);
    if (!f || storage::Orez(f->cislo) != u.faktura->cisloFaktury) {
      storage::interaction().message(cz("Placená faktura už v souboru ") + u.faktura->soubor + cz(" není"), true);
      u.zpet = true;
      return false;
    }
    const Penize zbyva = ZbyvaZaplatit(*f, *u.faktura, u.doklad);
    u.faktura->posledni = false;
    if (zbyva > 0) {
      const bool cizi = invoicing::VCizeMene(u.faktura->registr);
      const std::string mena = cizi ? f->mena : domaciMena();
      storage::interaction().message(cz("Rozdíl mezi vyfakturovanou částkou a součtem plateb je ") +
                                         storage::Orez(ui::FormatE("#########.##", cislo(zbyva))) + " " + mena,
                                     false);
      u.faktura->posledni = storage::interaction().question(cz("Je to už poslední platba?"), false);
    }
    // The payment as it would be booked now, for the posting's proposal; the commit books it on
    // the invoice as stored then.
    if (const auto z = ZapoctiPlatbu(*f, *u.faktura, u.doklad, u.rada)) u.platbaFaktury = z->platbaDokladu;
    return true;
  }

  std::vector<std::string> Zamky(const Ukladani& u) const override {
    if (!plati(u)) return {};
    return {storage::DataCesta(u.faktura->soubor)};
  }

  // Under the invoice file's write lock: the invoice as stored now, so that a payment another
  // station booked meanwhile stays.
  bool Zapis(Ukladani& u, Zamer& zamer, const StavRady&) override {
    if (!plati(u)) return true;
    const VazbaFaktury& v = *u.faktura;
    storage::RecordFile soubor;
    soubor.BezZamku();
    if (!soubor.OtevriSoubor(v.soubor, invoicing::tFaktura::kVelikost)) return false;
    const bool precteno = v.zaznam <= soubor.pocet() && soubor.CtiVetuPrimo(v.zaznam);
    std::vector<std::uint8_t> bajty = soubor.veta();
    soubor.ZavriSoubor();
    if (!precteno) return false;
    const std::optional<ZapocteniPlatby> z = ZapoctiPlatbu(invoicing::CtiFakturu(bajty), v, u.doklad, u.rada);
    if (!z) {
      storage::interaction().message(cz("Faktura ") + v.cisloFaktury + cz(" se mezitím změnila, doklad nebyl uložen"), true);
      return false;
    }
    if (!invoicing::ZapisFakturu(z->faktura, bajty)) return false;
    zamer.Zapis(v.soubor, static_cast<std::int64_t>(v.zaznam - 1) * invoicing::tFaktura::kVelikost, bajty);
    platform::FileInfo info;
    const std::int64_t delka =
        platform::fileInfo(storage::DataCesta(v.souborPlateb), info) == platform::kIoOk ? info.size : 0;
    const std::int64_t konec = delka / invoicing::tPlatba::kVelikost * invoicing::tPlatba::kVelikost;
    zamer.Zapis(v.souborPlateb, konec, invoicing::SlozPlatbu(z->platba));
    u.platbaFaktury = z->platbaDokladu;
    return true;
  }
};

}  // namespace

std::unique_ptr<KrokUkladani> KrokPlatbyFaktury() { return std::make_unique<KrokPlatby>(); }

}  // namespace pz::cashdesk
