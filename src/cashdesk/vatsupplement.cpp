#include "cashdesk/vatsupplement.h"

#include <algorithm>

#include "accounting/vatlines.h"
#include "cashdesk/cashbook.h"
#include "cashdesk/documents.h"
#include "cashdesk/entry.h"
#include "cashdesk/items.h"
#include "cashdesk/records.h"
#include "cashdesk/saving.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "registers/company.h"
#include "registers/states.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/money.h"
#include "storage/params.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;
using A = tDodatekDph;

namespace {

std::string doplnVpravo(std::string_view s, std::size_t w) {
  std::string t(s.substr(0, std::min(s.size(), w)));
  t.resize(w, ' ');
  return t;
}

std::size_t radekOd(int i) { return A::kRadky + A::kRadek * static_cast<std::size_t>(i - 1); }

Penize ctiCastku(const std::vector<std::uint8_t>& b, std::size_t o) {
  const storage::Money m = storage::toTenThousandths(storage::readReal48(b, o));
  return m.ok() ? m.tenThousandths : 0;
}
void pisCastku(std::vector<std::uint8_t>& b, std::size_t o, Penize c) {
  const storage::Money m = storage::round2(c);
  (void)storage::writeReal48(b, o, storage::tenThousandthsToDouble(m.ok() ? m.tenThousandths : 0));
}

// A mark read as a number; nothing for a text that is not one.
std::optional<int> cisloOznaceni(const std::string& s) {
  const std::string t = storage::Orez(s);
  if (t.empty() || t.size() > 4) return std::nullopt;
  for (char c : t)
    if (c < '0' || c > '9') return std::nullopt;
  return std::stoi(t);
}

std::string znaky(const std::string& s, std::size_t od, std::size_t do_) {  // characters od..do_, from 1
  std::string t = s.size() >= od ? s.substr(od - 1, do_ - od + 1) : std::string();
  t.resize(do_ - od + 1, ' ');
  return t;
}

double dan1() { return storage::settings().vatReduced; }
double dan2() { return storage::settings().vatBasic; }

// round4(P × coefficient) to haléře: the VAT of a price including VAT.
Penize danZCeny(Penize cena, double sazba) {
  const storage::Money m = storage::mulDivRound4(storage::tenThousandthsToDouble(cena), KoeficientDph(sazba), 1);
  const storage::Money r = storage::round2(m.ok() ? m.tenThousandths : 0);
  return r.ok() ? r.tenThousandths : 0;
}

bool zadaneDatum(const std::string& d) {
  const std::string t = storage::Orez(d);
  return !t.empty() && t != "000000";
}

}  // namespace

bool RadekDph::Volny() const { return storage::Orez(oznaceni).empty(); }

DodatekDph::DodatekDph(std::vector<std::uint8_t> bajty) : b_(std::move(bajty)) {
  b_.resize(static_cast<std::size_t>(kVelikostDodatku), 0);
}

std::string DodatekDph::Klic() const { return storage::readShortString(b_, A::kKlic, A::kSirkaKlice); }
void DodatekDph::NastavKlic(const std::string& k) { (void)storage::writeShortString(b_, A::kKlic, A::kSirkaKlice, k.substr(0, A::kSirkaKlice)); }
std::string DodatekDph::Stat() const { return storage::readShortString(b_, A::kStat, A::kSirkaStatu); }
void DodatekDph::NastavStat(const std::string& s) { (void)storage::writeShortString(b_, A::kStat, A::kSirkaStatu, doplnVpravo(s, A::kSirkaStatu)); }
Penize DodatekDph::Celkem() const { return ctiCastku(b_, A::kCelkem); }
void DodatekDph::NastavCelkem(Penize c) { pisCastku(b_, A::kCelkem, c); }
std::string DodatekDph::Dic() const { return storage::readShortString(b_, A::kDic, A::kSirkaDic); }
void DodatekDph::NastavDic(const std::string& d) { (void)storage::writeShortString(b_, A::kDic, A::kSirkaDic, doplnVpravo(d, A::kSirkaDic)); }
std::string DodatekDph::Kod() const { return storage::readShortString(b_, A::kKod, A::kSirkaKodu); }

RadekDph DodatekDph::Radek(int i) const {
  const std::size_t o = radekOd(i);
  RadekDph r;
  r.oznaceni = storage::readShortString(b_, o + A::kOznaceni, 3);
  r.zaklad = ctiCastku(b_, o + A::kZaklad);
  r.dan = ctiCastku(b_, o + A::kDan);
  r.kraceni = storage::readShortString(b_, o + A::kKraceni, 5);
  return r;
}

void DodatekDph::NastavRadek(int i, const RadekDph& r) {
  const std::size_t o = radekOd(i);
  (void)storage::writeShortString(b_, o + A::kOznaceni, 3, doplnVpravo(r.oznaceni, 3));
  pisCastku(b_, o + A::kZaklad, r.zaklad);
  pisCastku(b_, o + A::kDan, r.dan);
  (void)storage::writeShortString(b_, o + A::kKraceni, 5, doplnVpravo(r.kraceni, 5));
}

void DodatekDph::UvolniRadky() {
  for (int i = 1; i <= A::kPocetRadku; ++i) UvolniRadek(i);
}

bool DodatekDph::Pridej(const std::string& oznaceni, Penize zaklad, Penize dan, const std::string& kraceni) {
  const std::string ozn = doplnVpravo(oznaceni, 3), kr = doplnVpravo(kraceni, 5);
  if (storage::Orez(ozn).empty() || ozn == "000") return true;
  for (int i = 1; i <= A::kPocetRadku; ++i) {
    RadekDph r = Radek(i);
    if (r.Volny()) {
      NastavRadek(i, {ozn, zaklad, dan, kr});
      return true;
    }
    if (doplnVpravo(r.oznaceni, 3) == ozn && doplnVpravo(r.kraceni, 5) == kr) {
      r.zaklad += zaklad;
      r.dan += dan;
      NastavRadek(i, r);
      return true;
    }
  }
  return false;
}

bool DodatekDph::Umisti(const std::string& oznaceni, Penize zaklad, Penize dan, const std::string& kraceni) {
  if (storage::Orez(oznaceni).empty()) return true;
  for (int i = 1; i <= A::kPocetRadku; ++i)
    if (Radek(i).Volny()) {
      NastavRadek(i, {doplnVpravo(oznaceni, 3), zaklad, dan, doplnVpravo(kraceni, 5)});
      return true;
    }
  return false;
}

void DodatekDph::Normalizuj() {
  std::string kod1 = storage::readShortString(b_, A::kKod1, 1);
  if (kod1.empty()) {
    kod1 = " ";
    (void)storage::writeShortString(b_, A::kKod1, 1, kod1);
  }
  if (storage::Orez(Kod()).empty() && kod1 != " ") (void)storage::writeShortString(b_, A::kKod, A::kSirkaKodu, " " + kod1);
}

Penize DanZakladu(Penize zaklad, double sazba) {
  const storage::Money m = storage::mulDivRound4(storage::tenThousandthsToDouble(zaklad), sazba, 100);
  const storage::Money r = storage::round2(m.ok() ? m.tenThousandths : 0);
  return r.ok() ? r.tenThousandths : 0;
}

bool PodlehaDodatku(const PokladniDoklad& d, const std::string& datum) {
  return (d.druh == "P" || d.druh == "V") && KlicDne(datum) >= "20040501";
}

void NastavHlavicku(DodatekDph& d, const PodkladDodatku& p, bool sDic) {
  d.NastavKlic("000" + p.rada + p.doklad.ident);
  d.NastavCelkem(p.doklad.placenoKc);
  if (!sDic) return;
  d.NastavDic(p.doklad.dic);
  if (storage::Orez(d.Stat()).empty()) d.NastavStat(p.doklad.dic.substr(0, std::min<std::size_t>(2, p.doklad.dic.size())));
}

std::vector<std::string> RadkyZPolozek(DodatekDph& d, const PodkladDodatku& p) {
  std::vector<std::string> ztracene;
  const char typ = p.typPolozek;
  const std::int32_t velikost = typ == 'T' ? tPolozkaT::kVelikost : tPolozkaP::kVelikost;
  storage::RecordFile f;
  f.BezZamku();
  if (!platform::fileExists(SouborPolozek(typ)) || !f.OtevriSoubor(std::string("=") + SouborPolozek(typ), velikost))
    return ztracene;
  const std::size_t oZaklad = typ == 'T' ? tPolozkaT::kCena : tPolozkaP::kZaklad;
  const std::size_t oSazba = typ == 'T' ? tPolozkaT::kSazba : tPolozkaP::kSazba;
  const std::size_t oDph = typ == 'T' ? tPolozkaT::kDph : tPolozkaP::kDph;
  const std::size_t oOzn = typ == 'T' ? tPolozkaT::kOznaceni : tPolozkaP::kOznaceni;
  for (int n = 1; n <= f.pocet(); ++n) {
    if (!f.CtiVetuPrimo(n)) break;
    const auto& v = f.veta();
    const std::string ozn = doplnVpravo(storage::readShortString(v, oOzn, 8), 8);
    const std::string ozn1 = ozn.substr(0, 3), kraceni = doplnVpravo(ozn.substr(3, 1), 5), ozn2 = ozn.substr(4, 3);
    Penize zaklad = ctiCastku(v, oZaklad), dan = ctiCastku(v, oDph);
    const double sazba = storage::readReal48(v, oSazba);
    const storage::Money z2 = storage::round2(zaklad), d2 = storage::round2(dan);
    zaklad = z2.ok() ? z2.tenThousandths : 0;
    dan = d2.ok() ? d2.tenThousandths : 0;
    if (storage::Orez(ozn1).empty()) continue;
    if (p.doklad.druh == "V" && sazba != 0 && dan == 0) dan = DanZakladu(zaklad, sazba);
    if (!d.Pridej(ozn1, zaklad, dan, kraceni)) ztracene.push_back(ozn1);
    if (!storage::Orez(ozn2).empty() && !d.Pridej(ozn2, zaklad, dan, kraceni)) ztracene.push_back(ozn2);
  }
  f.ZavriSoubor();
  return ztracene;
}

void RadkyPodlePravidel(DodatekDph& d, const PodkladDodatku& p, bool od2009) {
  const Penize P = p.doklad.placenoKc;
  const bool vydaj = p.doklad.druh == "V";
  if (od2009) {
    // The VAT line choosers share their first fifteen characters: their remembered item is set
    // to the usual line of the kind.
    storage::PisPar("par\\VYBER.IDX", cz(" Označení pro v") + " VyberIndex", vydaj ? "   3" : "   1");
  }
  if (vydaj) {
    const std::string a = accounting::VyberRadekVstup();
    if (storage::Orez(a).empty()) return;
    const int n = cisloOznaceni(znaky(a, 1, 3)).value_or(0);
    std::string m1 = znaky(a, 4, 6), m2 = znaky(a, 8, 10);
    const std::string m3 = znaky(a, 14, 16), m4 = znaky(a, 18, 20);
    const auto plati = [](const std::string& m) { return cisloOznaceni(m).value_or(0) != 0; };
    if (od2009) {
      if (n >= 9 && n <= 11) m2 = m1;
      const std::string k = n < 14 ? "     " : "K    ";
      const std::optional<int> c1 = cisloOznaceni(m1);
      d.Umisti(m1, P, c1 && *c1 != 0 && *c1 != 999 ? DanZakladu(P, dan2()) : 0, k);
      d.Umisti(m2, 0, 0, k);
      if (plati(m3)) {
        d.Umisti(m3, P, DanZakladu(P, dan2()), k);
        if (plati(m4)) d.Umisti(m4, 0, 0, k);
      }
    } else if (n >= 1 && n <= 16) {
      if (n > 10) m2 = m1;
      const std::string k = n % 2 == 1 ? "     " : "K    ";
      d.Umisti(m1, P, 0, k);
      d.Umisti(m2, 0, 0, k);
    } else if (n == 17 && (P >= 1 || P <= -1)) {
      d.Umisti(m1, P, 0, "     ");
    }
    return;
  }
  if (od2009) {
    const std::string a = accounting::VyberRadekEU();
    if (storage::Orez(a).empty()) return;
    const std::string m = znaky(a, 4, 6);
    if (m == "002" || m == "001") {
      const Penize dan = danZCeny(P, m == "002" ? dan1() : dan2());
      d.Umisti(m, P - dan, dan, "     ");
    } else {
      d.Umisti(m, P, 0, "     ");
    }
    return;
  }
  const std::string nula = accounting::VyberRadekNula();
  if (!storage::Orez(nula).empty()) {
    d.Umisti(znaky(nula, 4, 6), P, 0, "     ");
    return;
  }
  const std::string a = accounting::VyberRadekVystup();
  if (storage::Orez(a).empty()) return;
  d.Umisti(znaky(a, 4, 6), P, 0, "     ");
  d.Umisti(znaky(a, 8, 10), 0, 0, "     ");
}

// ---------------------------------------------------------------------------------------------
// The form

namespace {
enum : int { kPoleKlic = 1, kPoleStat, kPoleCelkem, kPrvniRadek, kPoleKod1 = 44, kPoleDic, kPoleKod };
int radekPole(int i) { return i >= kPrvniRadek && i < kPoleKod1 ? (i - kPrvniRadek) / 4 + 1 : 0; }
bool jeOznaceni(int i) { return radekPole(i) > 0 && (i - kPrvniRadek) % 4 == 0; }
int poleOznaceni(int radek) { return kPrvniRadek + 4 * (radek - 1); }
constexpr const char* kObrazek = "### ### ###.##-";
}  // namespace

TfAPZ::TfAPZ() : TfSoub("TfAPZ", cz("Dodatek faktury")) {}

bool TfAPZ::otevri(const std::string& souborDokladu) {
  std::vector<ui::PopisPole> pole = {
      {.popis = cz("Doklad "), .sirka = 10, .obrazek = "P", .offset = A::kKlic, .radek = 1, .sloupec = 2},
      {.popis = cz(">Stát "), .sirka = 5, .obrazek = "X", .offset = A::kStat, .radek = 1, .sloupec = 40},
      {.popis = cz("Celkem "), .sirka = 15, .obrazek = kObrazek, .ulozeni = 'R', .offset = A::kCelkem, .radek = 2, .sloupec = 2}};
  for (int r = 1; r <= A::kPocetRadku; ++r) {
    const std::size_t o = radekOd(r);
    std::string popis = std::to_string(r) + ". ";
    if (r < 10) popis = " " + popis;
    pole.push_back({.popis = popis, .sirka = 3, .obrazek = "Y", .offset = o + A::kOznaceni, .radek = 3 + r, .sloupec = 2});
    pole.push_back({.popis = "", .sirka = 15, .obrazek = kObrazek, .ulozeni = 'R', .offset = o + A::kZaklad, .radek = 3 + r, .sloupec = 12});
    pole.push_back({.popis = "", .sirka = 15, .obrazek = kObrazek, .ulozeni = 'R', .offset = o + A::kDan, .radek = 3 + r, .sloupec = 30});
    pole.push_back({.popis = "", .sirka = 5, .obrazek = " ", .offset = o + A::kKraceni, .radek = 3 + r, .sloupec = 48});
  }
  pole.push_back({.popis = cz(">Kód plnění "), .sirka = 1, .obrazek = " ", .offset = A::kKod1, .radek = 1, .sloupec = 22});
  pole.push_back({.popis = cz("DIČ "), .sirka = 16, .obrazek = "X", .offset = A::kDic, .radek = 14, .sloupec = 2});
  pole.push_back({.popis = cz(">Kód plnění "), .sirka = 2, .obrazek = "Y", .offset = A::kKod, .radek = 1, .sloupec = 22});
  const bool ok = OtevriSoub({.soubor = SouborDodatku(souborDokladu),
                              .titulek = cz(" Seznam dodatků "),
                              .velikost = kVelikostDodatku,
                              .formular = {5, 3, 72, 19},
                              .napovedaFormulare = cz(" F2=zápis F6=Přepsat_dodatek_k_DPH F8=Zruš_jeden_řádek "
                                                      "F8^=Zruš_všechny_řádky F5=[999]->[003,043]"),
                              .titulekFormulare = cz(" Dodatek k DPH "),
                              .napovedaSeznamu = cz(" F1-Help F4-Nová "),
                              .pole = std::move(pole),
                              .sloupce = 3});
  if (ok) Pole(kPoleKod1).stav = -1;
  return ok;
}

DodatekDph TfAPZ::zForm() {
  if (ui::TfFormular* f = AktivniFormular()) f->Precti();
  (void)TextyDoVety();
  return DodatekDph(Veta());
}

void TfAPZ::doFormu(const DodatekDph& d) {
  Veta() = d.Bajty();
  TextyZVety();
  if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
}

DodatekDph TfAPZ::Uprav(const std::string& souborDokladu, const DodatekDph& d, const PodkladDodatku& p) {
  if (!otevri(souborDokladu)) return d;
  podklad_ = p;
  Veta() = d.Bajty();
  TextyZVety();
  for (int i = 1; i <= PocetPoli(); ++i) Pole(i).puvodni = Pole(i).text;
  (void)Formular();
  // Whatever the form shows is the supplement, Esc included.
  DodatekDph vysledek = d;
  const std::vector<std::uint8_t> puvodni = Veta();
  if (TextyDoVety() == 0) vysledek = DodatekDph(Veta());
  else vysledek = DodatekDph(puvodni);
  Zavri();
  return vysledek;
}

void TfAPZ::PredFormularem() {
  ui::TfFormular* f = AktivniFormular();
  if (!f) return;
  ui::Label& h = f->add<ui::Label>("lHlavicka");
  h.text = cz("Č.ř.DPH           Základ               Daň    K(krátit)");
  const int cw = std::max(1, f->look.cellWidth), rh = std::max(1, f->look.cellHeight);
  h.geometry = {2 * cw, 2 * rh + 6, static_cast<int>(h.text.size()) * cw, rh - 4};
}

void TfAPZ::ZmenaPole(int i) {
  const int r = radekPole(i);
  if (r > 0 && (i - kPrvniRadek) % 4 == 1) {
    // A base whose tax is 0 gets the tax of its line's rate.
    const int poleDane = i + 1;
    if (ui::TextNaPenize(Text(poleDane)) == 0) {
      const std::optional<int> c = cisloOznaceni(Text(poleOznaceni(r)));
      double sazba = 0;
      if (c) {
        const int m = *c;
        if (m == 1 || m == 3 || m == 5 || m == 7 || m == 10 || m == 12 || m == 40 || m == 43) sazba = dan2();
        if (m == 2 || m == 4 || m == 6 || m == 8 || m == 11 || m == 13 || m == 41 || m == 44) sazba = dan1();
      }
      if (sazba != 0)
        NastavText(poleDane, ui::FormatC(Pole(poleDane).typ.obrazek, DanZakladu(ui::TextNaPenize(Text(i)), sazba)));
    }
  } else if (r > 0 && (i - kPrvniRadek) % 4 == 3) {
    NastavText(i, storage::VelkaPismena(Text(i)));
  }
  if (i == kPoleKlic) DalsiPole = kPoleKod;
  else if (i == kPoleKod) DalsiPole = kPoleStat;
  else if (i == kPoleKod1 - 1) DalsiPole = kPoleDic;
  if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
}

void TfAPZ::F1Pole(int i) {
  if (ui::TfFormular* f = AktivniFormular()) f->Precti();
  if (i == kPoleStat) {
    registers::TfStaty& s = registers::SeznamStatu();
    if (s.NastavStaty()) {
      s.Sestav();
      s.JdiNa(1);
      s.showModal();
      const std::string nazev = s.VybranyNazev();
      s.Zavri();
      if (!nazev.empty()) NastavText(i, registers::KodStatu(nazev));
    }
  } else if (jeOznaceni(i)) {
    accounting::TfCiDPH& c = accounting::RadkyDPH();
    if (c.NastavRadkyDPH()) {
      const std::string radek = c.Vyber();
      if (!radek.empty()) NastavText(i, radek);
    }
  } else if (i == kPoleKod) {
    static const char* const kody[] = {
        " nic - nepatří do souhrného hlášení",
        "  0 - je dodání zboží do jiného členského státu",
        "  1 - je přemístění obchodního majetku plátcem do jiného členského státu",
        "  2 - dodání zboží uvnitř EU, vyplňuje pouze prostřední osoba v rámci třístranného obchodu",
        "  3 - poskytnutí služby v jiném státě",
        "  4 - stavební práce",
        "  5 - odpady",
        " 11 - emisní povolenky",
        " 12 - obilniny a techn. plodiny",
        " 13 - kovy",
        " 14 - mobilni telefony",
        " 15 - integrované obvody",
        " 16 - přenosná datová zařízení",
        " 17 - videokonzoly"};
    std::vector<std::string> polozky;
    for (const char* k : kody) polozky.push_back(cz(k));
    const int v = ui::Vyber(30, 14, {}, polozky, cz(" Kódy plnění "));
    std::string kod = "  ";
    if (v >= 2 && v <= 7) kod = " " + std::to_string(v - 2);
    else if (v >= 8 && v <= 14) kod = std::to_string(v + 3);
    NastavText(i, kod);
  } else {
    return TfSoub::F1Pole(i);
  }
  if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
  KontrolaPole(i);
}

void TfAPZ::F5Pole(int i) {
  if (!jeOznaceni(i) || storage::Orez(Text(i)) != "999") return;
  const int r = radekPole(i);
  DodatekDph d = zForm();
  RadekDph radek = d.Radek(r);
  if (radek.dan == 0) radek.dan = DanZakladu(radek.zaklad, dan2());
  d.Umisti("007", radek.zaklad, radek.dan, radek.kraceni);
  d.Umisti("043", radek.zaklad, radek.dan, radek.kraceni);
  d.UvolniRadek(r);
  doFormu(d);
}

void TfAPZ::F6Pole(int) {
  const PokladniDoklad& dok = podklad_.doklad;
  if (!PodlehaDodatku(dok, dok.datumDod)) return;
  DodatekDph d = zForm();
  NastavHlavicku(d, podklad_, false);
  d.UvolniRadky();
  if (podklad_.typPolozek != 0) {
    const std::vector<std::string> ztracene = RadkyZPolozek(d, podklad_);
    if (!ztracene.empty()) ui::Zprava(cz("Dodatek k DPH nemá volný řádek, částky řádků ") + ztracene.front() + cz(" se nevešly"));
  } else {
    RadkyPodlePravidel(d, podklad_, true);
  }
  doFormu(d);
}

void TfAPZ::F8Pole(int i) {
  const int r = radekPole(i);
  if (r < 1) return;
  DodatekDph d = zForm();
  d.UvolniRadek(r);
  doFormu(d);
}

void TfAPZ::CtrlF8Pole(int) {
  DodatekDph d = zForm();
  d.UvolniRadky();
  doFormu(d);
}

// ---------------------------------------------------------------------------------------------
// The save step

namespace {

class KrokDodatek : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "dodatekDph"; }
  PoradiKroku Poradi() const override { return PoradiKroku::DodatekDph; }
  bool Priprav(Ukladani& u) override {
    // Nothing to fill: the supplement stays as stored (a blank one for a new document).
    if (!PodlehaDodatku(u.doklad, u.doklad.datumZapl) || !registers::Firma().platceDph) return true;
    Dodatky soubor;
    DodatekDph d;
    if (soubor.Otevri(u.souborDokladu)) d = DodatekDph(soubor.Cti(u.cisloZaznamu));
    soubor.Zavri();
    d.Normalizuj();
    if (!storage::Orez(u.statPartnera).empty()) d.NastavStat(u.statPartnera);
    const PodkladDodatku p{u.doklad, u.rada.rada, u.polozky ? u.typPolozek : '\0'};
    NastavHlavicku(d, p, true);
    d.UvolniRadky();
    if (p.typPolozek != 0) {
      const std::vector<std::string> ztracene = RadkyZPolozek(d, p);
      if (!ztracene.empty()) {
        std::string seznam;
        for (const std::string& z : ztracene) seznam += (seznam.empty() ? "" : ",") + z;
        ui::Zprava(cz("Dodatek k DPH nemá volný řádek, částky řádků ") + seznam + cz(" se nevešly"));
      }
    } else if (zadaneDatum(u.doklad.datumDod)) {
      RadkyPodlePravidel(d, p, KlicDne(u.doklad.datumDod) >= "20090101");
    }
    if (!okno_) okno_ = std::make_unique<TfAPZ>();
    u.dodatek = okno_->Uprav(u.souborDokladu, d, p).Bajty();
    return true;
  }
  bool Zapis(Ukladani&, Zamer&, const StavRady&) override { return true; }

 private:
  std::unique_ptr<TfAPZ> okno_;  // made on the first supplement shown
};

}  // namespace

std::unique_ptr<KrokUkladani> KrokDodatkuDph() { return std::make_unique<KrokDodatek>(); }

}  // namespace pz::cashdesk
