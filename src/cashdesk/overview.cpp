#include "cashdesk/overview.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "cashdesk/cashbook.h"
#include "cashdesk/cashwindow.h"
#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "registers/partners.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/locks.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {
namespace {

using platform::cz;

constexpr int kSirka = 132;
constexpr const char* kSoucet = "## ### ### ###.##-";

std::string cislo(const char* obrazek, int n) {
  char b[16];
  std::snprintf(b, sizeof b, obrazek, n);
  return b;
}

const char* titul(PoradiPrehledu p) {
  switch (p) {
    case PoradiPrehledu::Druh: return "    VALUTOVÁ POKLADNA DLE DRUHU DOKLADU    ";
    case PoradiPrehledu::Cislo: return "    VALUTOVÁ POKLADNA DLE ČÍSEL DOKLADŮ    ";
    case PoradiPrehledu::DatumZaplaceni: return "    VALUTOVÁ POKLADNA DLE DATA ZAPLACENÍ   ";
    case PoradiPrehledu::Castka: return "   VALUTOVÁ POKLADNA DLE ZAPLACENÉ ČÁSTKY  ";
    case PoradiPrehledu::Organizace: return "    VALUTOVÁ POKLADNA DLE  ORGANIZACÍ      ";
    case PoradiPrehledu::Adresa: return "       VALUTOVÁ POKLADNA DLE ADRES         ";
  }
  return "";
}

struct Soucty {
  int pocet = 0;
  Penize prijmy = 0, vydaje = 0;
  void pridej(const Soucty& s) {
    pocet += s.pocet;
    prijmy += s.prijmy;
    vydaje += s.vydaje;
  }
};

class Psani {
 public:
  Psani(const std::vector<std::string>& rady, const VyberPrehledu& v) : rady_(rady), v_(v) {}

  void hlavicka() {
    ++strana_;
    if (strana_ > 1) reports::PisRadek(std::string(1, reports::kFormFeed));
    const platform::Date d = platform::clock().today();
    char datum[16];
    std::snprintf(datum, sizeof datum, "%02d.%02d.%04d", d.day, d.month, d.year);
    reports::PisRadek(storage::NaSirku(storage::settings().firmName, 24) + std::string(12, ' ') + storage::NaSirku(cz(titul(v_.poradi)), 44) +
                      std::string(12, ' ') + "DATUM: " + datum + (v_.zeSeznamuRad ? "  LIST: " : " LIST: ") +
                      cislo("%3d", strana_));
    std::string vybrane = cz("Vybrané řady : ");
    for (const std::string& r : rady_) vybrane += v_.zeSeznamuRad ? r + " " : r;
    reports::PisRadek(vybrane);
    reports::PisRadek(cz("    Číslo Č.prvot.d. Par. D.dod. D.zapl Text                                               "
                         "Částka valut  Zaplac.valut    Kurs "));
    if (strana_ == 1)
      reports::PisCsv(cz("T;Čr;Č.d. ;Č.prvot.d.") + std::string(50, ' ') + ";Par.;Adresa" + std::string(24, ' ') +
                      cz(";DIČ") + std::string(13, ' ') + ";D.dod.;D.zapl;Text" + std::string(46, ' ') +
                      cz(";  Částka valut; Zaplac.valut;Kurs "));
    reports::PisRadek(std::string(kSirka, '='));
    reports::PisRadek("");
    radku_ = 5;
  }

  // A document: its series, numbers and texts (in the order of VybraneDoklady's texts).
  template <typename Doklad>
  void doklad(const std::string& rada, const Doklad& d, const std::string_view* t) {
    static const ui::ObrazekPenez cisloOrg("@@@@"), celkem("#########.##- "), placeno("#########.##-"),
        celkemCsv("#########,##- "), placenoCsv("#########,##-");
    if (radku_ > storage::settings().pageLength - 2) hlavicka();
    std::string org;
    cisloOrg.pridej(org, std::int64_t{d.cisloOrg} * 10000);
    // Documents mostly repeat the rate of the one before: its texts are kept.
    if (kurzText_.empty() || d.kurz != kurz_) {
      kurz_ = d.kurz;
      kurzText_ = ui::FormatE("###.##########", d.kurz);
      kurzCsv_ = ui::FormatE("###,##########", d.kurz);
    }
    const std::string& kurz = kurzText_;
    const std::string_view druh = t[0], ident = t[1], cislo = t[2], datumDod = t[3], datumZapl = t[4],
                           text = t[5], adr1 = t[6], dic = t[7];
    radek_.clear();
    storage::PridejNaSirku(radek_, druh, 1).append(1, ' ');
    storage::PridejNaSirku(radek_, rada, 2);
    storage::PridejNaSirku(radek_, ident, 5).append(1, ' ');
    storage::PridejNaSirku(radek_, cislo, 10).append(1, ' ').append(org).append(1, ' ');
    storage::PridejNaSirku(radek_, datumDod, 6).append(1, ' ');
    storage::PridejNaSirku(radek_, datumZapl, 6).append(1, ' ');
    storage::PridejNaSirku(radek_, text, 50).append(1, ' ');
    celkem.pridej(radek_, d.celkemVal);
    placeno.pridej(radek_, d.placenoVal);
    reports::PisRadek(radek_.append(kurz));
    radek_.assign(40, ' ');
    storage::PridejNaSirku(radek_, adr1, 25).append(kDic).append(dic).append(3, ' ');
    reports::PisRadek(radek_);
    radek_.clear();
    radek_.append(druh).append(1, ';').append(rada).append(1, ';').append(ident).append(1, ';');
    radek_.append(cislo).append(1, ';').append(org).append(1, ';').append(adr1).append(1, ';');
    radek_.append(dic).append(1, ';').append(datumDod).append(1, ';').append(datumZapl).append(1, ';');
    radek_.append(text).append(1, ';');
    celkemCsv.pridej(radek_, d.celkemVal);
    radek_.append(1, ';');
    placenoCsv.pridej(radek_, d.placenoVal);
    radek_.append(1, ';').append(kurzCsv_);
    reports::PisCsv(radek_);
    radku_ += 2;
  }

  void soucty(const Soucty& s) {
    reports::PisRadek(cz("Počet dokladů :  ") + cislo("%5d", s.pocet) + std::string(32, ' ') +
                      cz("Kontrolní soucet :    ") + "P,O : " + ui::FormatC(kSoucet, s.prijmy) + " V,D : " +
                      ui::FormatC(kSoucet, s.vydaje));
    reports::PisRadek("");
    radku_ += 2;
  }

 private:
  const std::vector<std::string>& rady_;
  const VyberPrehledu& v_;
  int strana_ = 0;
  int radku_ = 0;
  std::string radek_;  // the line being built
  double kurz_ = 0;    // the rate whose texts follow
  std::string kurzText_, kurzCsv_;
  const std::string kDic = platform::cz("-DIČ: ");
};

bool vybran(const DokladVypisu& d, const VyberPrehledu& v, std::uint32_t od, std::uint32_t do_) {
  if (d.denZapl < od || d.denZapl > do_) return false;
  if (v.jenOznaceni && (d.cisloOrg >= v.oznaceni.size() || !v.oznaceni[d.cisloOrg])) return false;
  if (!v.prefixNazvu.empty()) {
    const std::string nazev = storage::VelkaPismena(storage::Orez(d.adr1().substr(0, v.prefixNazvu.size())));
    if (nazev != v.prefixNazvu) return false;
  }
  return v.cisloOrg < 0 || d.cisloOrg == v.cisloOrg;
}

constexpr std::size_t kSirkaSkupiny = 14;  // the leading part of the key that makes a group

}  // namespace

void KlicPrehledu(std::string& k, const DokladVypisu& d, std::string_view rada, PoradiPrehledu poradi) {
  switch (poradi) {
    case PoradiPrehledu::Druh:
      storage::PridejNaSirku(k, d.druh(), 1);
      storage::PridejNaSirku(k, rada, 2);
      storage::PridejNaSirku(k, d.ident(), 5);
      return;
    case PoradiPrehledu::Cislo:
      storage::PridejNaSirku(k, rada, 2);
      storage::PridejNaSirku(k, d.ident(), 5);
      return;
    case PoradiPrehledu::DatumZaplaceni: {
      char b[8];
      for (std::uint32_t den = d.denZapl, i = 8; i-- > 0; den /= 10) b[i] = static_cast<char>('0' + den % 10);
      k.append(b, sizeof b);
      return;
    }
    case PoradiPrehledu::Castka: {
      // A paid amount that shows no digit (zero) is not listed.
      static const ui::ObrazekPenez obrazek("@@@@@@@@@@@.@@-");
      const std::size_t od = k.size();
      obrazek.pridej(k, d.placenoVal);
      if (k.find_first_not_of(' ', od) == std::string::npos) k.resize(od);
      return;
    }
    case PoradiPrehledu::Organizace: {
      static const ui::ObrazekPenez obrazek("@@@@@");
      obrazek.pridej(k, std::int64_t{d.cisloOrg} * 10000);
      return;
    }
    case PoradiPrehledu::Adresa:
      storage::PridejNaSirku(k, d.adr1(), 14);
      storage::PridejNaSirku(k, rada, 2);
      storage::PridejNaSirku(k, d.ident(), 5);
      return;
  }
}

VybraneDoklady::VybraneDoklady(VyberPrehledu vyber)
    : v_(std::move(vyber)), od_(CisloDne(v_.od)), do_(CisloDne(v_.do_)) {}

VybraneDoklady::Rada& VybraneDoklady::novaRada(const std::string& cislo, std::size_t pocet) {
  Rada& r = rady_.emplace_back();
  r.cislo = cislo;
  r.polozky.reserve(pocet);
  r.doklady.reserve(pocet);
  // The most the texts of a document can take; memory not written to is never used.
  constexpr std::size_t kNejvyseTextu = tPzDoklad::kSirkaDruhu + tPzDoklad::kSirkaIdentu + tPzDoklad::kSirkaCisla +
                                        2 * tPzDoklad::kSirkaData + tPzDoklad::kSirkaTextu +
                                        tPzDoklad::kSirkaAdresy + tPzDoklad::kSirkaDic;
  r.texty.reserve(pocet * kNejvyseTextu);
  return r;
}

// Takes `d` into the last series when the choice selects it.
void VybraneDoklady::vezmi(const DokladVypisu& d) {
  if (!vybran(d, v_, od_, do_)) return;
  Rada& r = rady_.back();
  klic_.clear();
  KlicPrehledu(klic_, d, r.cislo, v_.poradi);
  if (klic_.empty()) return;
  Polozka& p = r.polozky.emplace_back();
  p.klic.fill(' ');
  std::memcpy(p.klic.data(), klic_.data(), std::min(klic_.size(), kSirkaKlice));
  p.rada = static_cast<std::uint32_t>(rady_.size() - 1);
  p.doklad = static_cast<std::uint32_t>(r.doklady.size());
  Doklad& k = r.doklady.emplace_back();
  k.texty = r.texty.size();
  k.celkemVal = d.celkemVal;
  k.placenoVal = d.placenoVal;
  k.kurz = d.kurz;
  k.cisloOrg = d.cisloOrg;
  k.znamenko = static_cast<std::int8_t>(d.Znamenko());
  const std::string_view t[kTextu] = {d.druh(), d.ident(), d.cislo(), d.datumDod(), d.datumZapl(),
                                      d.text(), d.adr1(), d.dic()};
  for (int i = 0; i < kTextu; ++i) {
    k.delky[i] = static_cast<std::uint8_t>(t[i].size());  // a field holds at most 255 characters
    r.texty.append(t[i]);
  }
}

void VybraneDoklady::Pridej(const std::string& rada, const std::vector<DokladVypisu>& doklady) {
  novaRada(rada, doklady.size());
  for (const DokladVypisu& d : doklady) vezmi(d);
}

bool VybraneDoklady::CtiRadu(const std::string& rada, const std::string& cesta) {
  const std::int64_t velikost = storage::VelikostSouboru(cesta);
  novaRada(rada, static_cast<std::size_t>(std::max<std::int64_t>(0, velikost) / tPzDoklad::kVelikost));
  if (ProjdiDokladySouboru(cesta, [this](const DokladVypisu& d) { vezmi(d); })) return true;
  rady_.pop_back();  // a file that fails part way leaves nothing of its series
  return false;
}

int PisPrehled(VybraneDoklady& vybrane) {
  using Polozka = VybraneDoklady::Polozka;
  const VyberPrehledu& v = vybrane.v_;
  std::size_t pocet = 0;
  for (const VybraneDoklady::Rada& r : vybrane.rady_) pocet += r.polozky.size();
  std::vector<Polozka> poradi;
  poradi.reserve(pocet);
  for (VybraneDoklady::Rada& r : vybrane.rady_) {
    poradi.insert(poradi.end(), r.polozky.begin(), r.polozky.end());
    r.polozky = {};
  }
  if (poradi.empty()) {
    reports::PisRadek(cz("Dle zadaného výběru se nic nevybralo"));
    return 0;
  }
  std::stable_sort(poradi.begin(), poradi.end(), [](const Polozka& a, const Polozka& b) {
    return std::memcmp(a.klic.data(), b.klic.data(), VybraneDoklady::kSirkaKlice) < 0;
  });

  std::vector<std::string> cisla;
  for (const VybraneDoklady::Rada& r : vybrane.rady_) cisla.push_back(r.cislo);
  Psani psani(cisla, v);
  psani.hlavicka();
  const bool skupiny = v.poradi == PoradiPrehledu::Organizace || v.poradi == PoradiPrehledu::Adresa;
  Soucty skupina, celkem;
  const char* klic = poradi.front().klic.data();
  std::string_view t[VybraneDoklady::kTextu];
  for (const Polozka& p : poradi) {
    if (skupiny && std::memcmp(p.klic.data(), klic, kSirkaSkupiny) != 0) {
      psani.soucty(skupina);
      celkem.pridej(skupina);
      skupina = {};
      klic = p.klic.data();
    }
    const VybraneDoklady::Rada& r = vybrane.rady_[p.rada];
    const VybraneDoklady::Doklad& d = r.doklady[p.doklad];
    ++skupina.pocet;
    if (d.znamenko > 0) skupina.prijmy += d.placenoVal;
    if (d.znamenko < 0) skupina.vydaje += d.placenoVal;
    const char* text = r.texty.data() + d.texty;
    for (int i = 0; i < VybraneDoklady::kTextu; text += d.delky[i++]) t[i] = {text, d.delky[i]};
    psani.doklad(r.cislo, d, t);
  }
  psani.soucty(skupina);
  if (v.poradi != PoradiPrehledu::Castka) {
    celkem.pridej(skupina);
    reports::PisRadek(std::string(kSirka, '-'));
    psani.soucty(celkem);
  }
  return static_cast<int>(poradi.size());
}

bool VytvorPrehled(VybraneDoklady& vybrane) {
  const std::string soubor = "PZ08.TXT";
  if (!storage::MuzePokracovat(storage::Zamkni(soubor, "W"))) return false;
  bool ok = reports::OtevriSestavu("PZ08", kSirka);
  if (ok) PisPrehled(vybrane);
  ok = reports::ZavriSestavu() && ok;
  if (ok) ui::UkazSestavu("PZ08");
  storage::Odemkni(soubor);
  return ok;
}

namespace {

// The partner filter, the period and the order; false when the user left a dialog with Esc.
bool dialogy(VyberPrehledu& v, std::string od, std::string do_) {
  const int firmy = ui::Vyber(20, 10, {},
                              {cz(" podle názvu "), cz(" podle čísla firmy "), cz(" volbou v seznamu "), cz(" všechny firmy ")},
                              cz(" Vybírat firmy "));
  if (firmy == 1) {
    if (ui::Dotazy(20, 10, {}, {cz(" Název firmy "), std::string(30, ' ')}, cz(" Zadejte "))) {
      const auto& o = ui::vysledekDialogu().odpovedi;
      const std::string t = storage::VelkaPismena(storage::Orez(o.empty() ? "" : o[0]));
      v.prefixNazvu = storage::OrezZprava(t.substr(0, 20));
    }
  } else if (firmy == 2) {
    if (ui::Dotazy(20, 10, {}, {cz(" Číslo firmy "), std::string(5, ' ')}, cz(" Zadejte "))) {
      const auto& o = ui::vysledekDialogu().odpovedi;
      // An answer that is no number reads as 0: the documents without a partner.
      v.cisloOrg = std::max(0, ui::TextNaCele(o.empty() ? "" : o[0]));
    }
  } else if (firmy == 3) {
    // The partner list until Enter or Esc; the partner number is the record number.
    registers::TfOrg org;
    if (org.Nastav()) {
      org.Sestav();
      org.JdiNa(1);
      org.showModal();
      const int pocet = org.Soubor().pocet();
      v.jenOznaceni = true;
      v.oznaceni.assign(static_cast<std::size_t>(pocet) + 1, false);
      for (int k = 1; k <= pocet; ++k) v.oznaceni[static_cast<std::size_t>(k)] = org.Znacky.je(k);
      if (org.KoncovaKlavesa == ui::kVkReturn && org.Radek >= 1 && org.Radek <= pocet) {
        org.CtiVetu(org.Radek);
        v.cisloOrg = org.Soubor().posledni();
      }
      org.Zavri();
    }
  }
  if (!ZadejObdobi(cz(" Od data (DDMMRR) "), cz(" Do data (DDMMRR) "), cz(" Výběr za období "), od, do_)) return false;
  v.od = od;
  v.do_ = do_;
  const int poradi = ui::Vyber(10, 10, {},
                               {cz("Druhu dokladu "), cz("Čísla dokladu"), cz("Data zaplacení"), cz("Placené částky"),
                                cz("Organizací"), cz("Adres")},
                               cz(" Třídit dle  "));
  if (poradi < 1) return false;
  v.poradi = static_cast<PoradiPrehledu>(poradi);
  if (v.poradi == PoradiPrehledu::Organizace)
    ui::Zprava(cz("Pracujete-li se satelitní řadou, pak tato volba není vhodná."));
  return true;
}

}  // namespace

void PrehledPokladny(TfPZPokl& okno) {
  DokladySouboru soubor;
  if (!CtiDokladySouboru(okno.Soubor().cesta(), soubor)) {
    ui::Zprava(cz("Soubor ") + okno.Soubor().jmeno() + cz(" nelze přečíst"));
    return;
  }
  const auto& d = soubor.doklady;
  VyberPrehledu v;
  if (!dialogy(v, d.empty() ? "" : std::string(d.front().datumZapl()), d.empty() ? "" : std::string(d.back().datumZapl())))
    return;
  VybraneDoklady vybrane(std::move(v));
  vybrane.Pridej(okno.CisloRady, d);
  soubor = {};
  VytvorPrehled(vybrane);
}

void PrehledRad(TfPZRady& okno) {
  std::vector<std::string> oznacene;
  for (int k = 1; k <= okno.Soubor().pocet(); ++k) {
    if (!okno.Znacky.je(k) || !okno.Soubor().CtiVetuPrimo(k)) continue;
    const std::string rada =
        storage::OrezZprava(storage::readShortString(okno.Veta(), tPzRada::kRada, tPzRada::kSirkaRady));
    // Only a well-formed series number goes into a file name.
    if (ChybaCislaRady(rada).empty()) oznacene.push_back(rada);
  }
  if (oznacene.empty()) {
    ui::Zprava(cz("V seznamu řad jste neoznačili pomocí klávesy Insert ani jednu řadu."));
    return;
  }
  const platform::Date dnes = platform::clock().today();
  char od[8], do_[8];
  std::snprintf(od, sizeof od, "0101%02d", dnes.year % 100);
  std::snprintf(do_, sizeof do_, "%02d%02d%02d", dnes.day, dnes.month, dnes.year % 100);
  VyberPrehledu v;
  v.zeSeznamuRad = true;
  if (!dialogy(v, od, do_)) return;
  VybraneDoklady vybrane(std::move(v));
  for (const std::string& r : oznacene) {
    // A marked series without a document file is left out.
    const std::string cesta = storage::DataCesta(SouborDokladu(r));
    if (storage::VelikostSouboru(cesta) >= 0) vybrane.CtiRadu(r, cesta);
  }
  VytvorPrehled(vybrane);
}

}  // namespace pz::cashdesk
