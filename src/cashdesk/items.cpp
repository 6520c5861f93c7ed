#include "cashdesk/items.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "invoicing/subjects.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/company.h"
#include "storage/fields.h"
#include "storage/money.h"
#include "storage/recordfile.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"
#include "ui/recordform.h"

namespace pz::cashdesk {

using platform::cz;

namespace {

__extension__ typedef __int128 i128;

// n / d to the nearest whole number, halves away from zero; d > 0.
std::int64_t podil(i128 n, i128 d) {
  const i128 q = (n < 0 ? -n : n) * 2 + d;
  const i128 r = q / (2 * d);
  return static_cast<std::int64_t>(n < 0 ? -r : r);
}

// A value as the field text shows it, in ten-thousandths (the text is what the user sees).
std::int64_t ctyrMista(const std::string& text) { return ui::TextNaPenize(text); }
std::int64_t ctyrMista(double hodnota) {
  const storage::Money m = storage::toTenThousandths(hodnota);
  return m.ok() ? m.tenThousandths : 0;
}
std::int64_t naHalere(std::int64_t ctyri) { return podil(ctyri, 100); }
double zHaleru(std::int64_t hal) { return storage::tenThousandthsToDouble(hal * 100); }

// The three system rates in ten-thousandths: reduced, basic, second reduced.
std::int64_t dan1() { return ctyrMista(storage::settings().vatReduced); }
std::int64_t dan2() { return ctyrMista(storage::settings().vatBasic); }
std::int64_t dan3() { return ctyrMista(storage::settings().vatReduced2); }
bool systemovaSazba(std::int64_t s) { return s == 0 || s == dan1() || s == dan2() || s == dan3(); }

// The item's VAT from its price at its rate: prices include VAT with DAN_DOLU.
Rozpad dphPolozky(std::int64_t castkaHal, std::int64_t sazba4) {
  if (storage::settings().vatInclusive) return RozpadCeny(castkaHal, sazba4);
  return {castkaHal, DphZakladu(castkaHal, sazba4)};
}

std::string celkemText(std::int64_t hal) { return ui::FormatE("### ### ###.##-", zHaleru(hal)); }

// The window both item types share: the work file as a list, F4 adds, Space edits, F8 deletes
// (a deleted item is blank and counts for nothing), Enter uses the items, Esc does not.
class TfVstup : public ui::TfSoub {
 public:
  TfVstup(char typ, std::string druh)
      : TfSoub(typ == 'T' ? "TfVstupT" : "TfVstupP", typ == 'T' ? cz(" Vstup typu T ") : cz(" Vstup typu P ")),
        typ_(typ), druh_(std::move(druh)) {}

  bool Spust() {
    if (!Otevri()) return false;
    EnterOpravuje = false;
    pripravSablonu();
    ukazCelkem();
    PocetRadku = Soubor().pocet();
    Sestav();
    JdiNa(1);
    KoncovaKlavesa = ui::kVkEscape;
    showModal();
    const bool pouzit = KoncovaKlavesa == ui::kVkReturn;
    Zavri();
    return pouzit;
  }

  void NaF4() override {
    Veta() = SablonaVety;
    novy_ = true;
    TfSoub::NaF4();
    novy_ = false;
    ukazCelkem();
  }
  void Oprav() override {
    TfSoub::Oprav();
    ukazCelkem();
  }
  void NaF8() override {
    TfSoub::NaF8();
    ukazCelkem();
  }
  void PriMazani() override { Veta() = SablonaVety; }

 protected:
  virtual bool Otevri() = 0;
  virtual void pripravSablonu() { ZapamatujSablonu(); }
  void ukazCelkem() {
    caption = (typ_ == 'T' ? cz(" Vstup typu T ") : cz(" Vstup typu P ")) + cz(" Celkem ") +
              celkemText(SectiPolozky(typ_, 50).celkemHal) + " ";
  }
  std::int64_t pole4(int i) const { return ctyrMista(Text(i)); }
  void nastav(int i, std::int64_t hal) { NastavText(i, ui::FormatE(Pole(i).typ.obrazek, zHaleru(hal))); }
  // A rate that is not a system rate: computed only when the cashier says so.
  bool sazbaPrijata(int poleSazby, int poleDph) {
    if (systemovaSazba(pole4(poleSazby))) return true;
    if (ui::Dotaz(20, 10, cz("Neexistující sazba DPH v tuzemsku. Spočítat DPH ?"))) return true;
    NastavText(poleSazby, ui::FormatE(Pole(poleSazby).typ.obrazek, 0));
    nastav(poleDph, 0);
    return false;
  }
  void navrhniOznaceni(int pole, std::int64_t sazba4, bool nulovaDph) {
    if (!novy_) return;
    const std::string navrh = NavrhOznaceni(druh_, sazba4, nulovaDph, typ_ == 'P');
    if (!navrh.empty()) NastavText(pole, navrh);
  }

  char typ_;
  std::string druh_;
  bool novy_ = false;
};

class TfVstupT : public TfVstup {
 public:
  explicit TfVstupT(std::string druh) : TfVstup('T', std::move(druh)) {}
  enum : int { kText = 1, kCena, kSazba, kDph, kOznaceni };

 protected:
  bool Otevri() override {
    using T = tPolozkaT;
    const bool ok = OtevriSoub(
        {.soubor = std::string("=") + SouborPolozek('T'),
         .titulek = cz(" Vstup typu T "),
         .velikost = T::kVelikost,
         .formular = {4, 4, 76, 12},
         .napovedaFormulare = cz(" F1=help Ctrl+F9=kalkulačka  F12=opakuj  F2=zápis na disk  Esc=ven "),
         .titulekFormulare = cz(" Vstup typu T "),
         .napovedaSeznamu = cz(" F1=help F4=přidej  Mezera=oprav  F8=zruš  Enter=použít v dokladu  Esc=konec bez použití v dokl."),
         .pole = {{.popis = cz(" Text    "), .sirka = 73, .obrazek = "X", .offset = T::kText},
                  {.popis = cz(" Základ  "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = T::kCena},
                  {.popis = cz(" % DPH   "), .sirka = 4, .obrazek = "##.#", .ulozeni = 'R', .offset = T::kSazba},
                  {.popis = cz(" Daň     "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = T::kDph},
                  {.popis = cz(">Ozn.DPH "), .sirka = 8, .obrazek = "X", .offset = T::kOznaceni}},
         .sloupce = 0});
    // The list heading the cash desk sets: the text, then price, rate and VAT.
    Sloupce = {{"T E X T", 40, false}, {"C E N A", 14, false}, {"%DPH", 4, false}, {"D P H", 14, false}};
    return ok;
  }
  void NaplnSloupce() override {
    if (Bunky.size() < 5) return;
    Bunky[1] = storage::readShortString(Puvodni(), tPolozkaT::kText, 73).substr(0, 40);
    for (int i : {kCena, kSazba, kDph})
      Bunky[static_cast<std::size_t>(i)] = ui::ZobrazPole(Pole(i).typ, static_cast<std::size_t>(Pole(i).sirka), Puvodni(), Pole(i).offset);
  }
  void F1Pole(int i) override {
    if (i != kText) return TfVstup::F1Pole(i);
    if (ui::TfFormular* f = AktivniFormular()) f->Precti();
    const std::string t = invoicing::VyberPoText();
    if (!t.empty()) NastavText(kText, t);
  }
  void ZmenaPole(int i) override {
    if (i == kCena) {
      // The price as typed: with DAN_DOLU the field later shows the base taken out of it.
      if (Text(kCena) != ukazanyZaklad_) cena_ = naHalere(pole4(kCena));
    } else if (i == kSazba) {
      if (Text(kCena) != ukazanyZaklad_) cena_ = naHalere(pole4(kCena));
      if (sazbaPrijata(kSazba, kDph)) {
        const Rozpad r = dphPolozky(cena_, pole4(kSazba));
        nastav(kCena, r.zaklad);
        ukazanyZaklad_ = Text(kCena);
        nastav(kDph, r.dph);
      }
      navrhniOznaceni(kOznaceni, pole4(kSazba), false);
      kontrolaDph();
    } else if (i == kDph) {
      kontrolaDph();
    }
    if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
  }
  void PredFormularem() override {
    cena_ = naHalere(pole4(kCena));
    ukazanyZaklad_.clear();
  }

 private:
  void kontrolaDph() {
    if (pole4(kDph) != 0) return;
    const std::int64_t s = pole4(kSazba);
    if (s != 0 && s == dan2()) NastavText(kOznaceni, "044 003 ");
    else if (s != 0 && s == dan1()) NastavText(kOznaceni, "045 004 ");
  }
  std::int64_t cena_ = 0;
  std::string ukazanyZaklad_;
};

class TfVstupP : public TfVstup {
 public:
  explicit TfVstupP(std::string druh) : TfVstup('P', std::move(druh)) {}
  enum : int {
    kCislo = 1, kCenaMj, kPrirazka, kMnozstvi, kZaklad, kSazba, kDph, kNazev, kNomenklatura, kMj, kStredisko, kUcet,
    kObjednano, kRozliseni, kOznaceni, kKlic
  };

  // F9: one markup or discount for every item of the document.
  void NaF9() override {
    if (!ui::Dotazy(20, 10, nullptr, {cz("% přirážky/slevy "), "  0.0"}, cz("Přirážka nebo sleva pro celý doklad")) ||
        ui::vysledekDialogu().odpovedi.empty())
      return;
    const double procento = ui::TextNaReal(ui::vysledekDialogu().odpovedi[0]);
    using P = tPolozkaP;
    for (int n = 1; n <= Soubor().pocet(); ++n) {
      if (!CtiVetuPrimo(n)) break;
      auto& v = Veta();
      if (storage::Orez(storage::readShortString(v, P::kCislo, 4)).empty() && storage::readReal48(v, P::kCenaMj) == 0)
        continue;
      const std::int64_t prir = ctyrMista(ui::TextNaReal(ui::FormatE("##.#-", procento)));
      const Rozpad r = vypocet(ctyrMista(storage::readReal48(v, P::kCenaMj)), prir,
                               ctyrMista(storage::readReal48(v, P::kMnozstvi)), ctyrMista(storage::readReal48(v, P::kSazba)));
      (void)storage::writeReal48(v, P::kPrirazka, storage::tenThousandthsToDouble(prir));
      (void)storage::writeReal48(v, P::kZaklad, zHaleru(r.zaklad));
      (void)storage::writeReal48(v, P::kDph, zHaleru(r.dph));
      PisVetuPrimo(n);
    }
    Zmeneno = true;
    ukazCelkem();
    Sestav();
  }

 protected:
  bool Otevri() override {
    using P = tPolozkaP;
    return OtevriSoub(
        {.soubor = std::string("=") + SouborPolozek('P'),
         .titulek = cz(" Vstup typu P "),
         .velikost = P::kVelikost,
         .formular = {4, 2, 76, 22},
         .napovedaFormulare = cz(" F2=zápis na disk  Esc=ven "),
         .titulekFormulare = cz(" Vstup typu P "),
         .napovedaSeznamu = cz(" F4=přidej  Mezera=oprav  F8=zruš  F9=%př/sl pro celý dokl.  Enter=použít v dokladu  Esc=konec bez p"),
         .pole = {{.popis = cz(">Číslo položky "), .sirka = 4, .obrazek = "X", .offset = P::kCislo},
                  {.popis = cz("       Cena MJ "), .sirka = 13, .obrazek = "#########.##-", .ulozeni = 'R', .offset = P::kCenaMj},
                  {.popis = cz(" % přir./slevy "), .sirka = 5, .obrazek = "##.#-", .ulozeni = 'R', .offset = P::kPrirazka},
                  {.popis = cz("Dodávané množ. "), .sirka = 13, .obrazek = "#########.##-", .ulozeni = 'R', .offset = P::kMnozstvi},
                  {.popis = cz(" Daňový základ "), .sirka = 13, .obrazek = "#########.##-", .ulozeni = 'R', .offset = P::kZaklad},
                  {.popis = cz("         % DPH "), .sirka = 4, .obrazek = "##.#", .ulozeni = 'R', .offset = P::kSazba},
                  {.popis = cz("           DPH "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = P::kDph},
                  {.popis = cz("Název "), .sirka = 30, .obrazek = "X", .offset = P::kNazev},
                  {.popis = cz("  Nomenklatura "), .sirka = 9, .obrazek = "X", .offset = P::kNomenklatura},
                  {.popis = cz("            MJ "), .sirka = 4, .obrazek = "X", .offset = P::kMj},
                  {.popis = cz("   Zúčt.střed. "), .sirka = 5, .obrazek = "X", .offset = P::kStredisko},
                  {.popis = cz("  Tržbový účet "), .sirka = 6, .obrazek = "X", .offset = P::kUcet},
                  {.popis = cz(" Objednané mn. "), .sirka = 13, .obrazek = "########.###-", .ulozeni = 'R', .offset = P::kObjednano},
                  {.popis = cz(" Rozlišení DPH "), .sirka = 1, .obrazek = "X", .offset = P::kRozliseni},
                  {.popis = cz(" >Označení DPH "), .sirka = 8, .obrazek = "X", .offset = P::kOznaceni},
                  // The revenue key of the cash journal: on the form only, past the record.
                  {.popis = cz("  Tržbový klíč "), .sirka = 6, .obrazek = "X", .offset = P::kVelikost}},
         .sloupce = 8});
  }
  // The revenue key is never stored: hidden whenever the record is filled from the form.
  void pripravSablonu() override {
    Pole(kKlic).stav = -1;
    ZapamatujSablonu();
    Pole(kKlic).stav = 1;
  }
  void NaF4() override {
    Pole(kKlic).stav = 1;
    TfVstup::NaF4();
    Pole(kKlic).stav = 1;
  }
  void Oprav() override {
    Pole(kKlic).stav = 1;
    TfVstup::Oprav();
    Pole(kKlic).stav = 1;
  }
  void Prijmi(int i) override {
    TfVstup::Prijmi(i);
    if (!Zruseno) Pole(kKlic).stav = -1;
  }
  void F1Pole(int i) override {
    if (i != kCislo && i != kNazev) return TfVstup::F1Pole(i);
    if (ui::TfFormular* f = AktivniFormular()) f->Precti();
    if (i == kNazev) {
      const std::string t = invoicing::VyberPoText();
      if (!t.empty()) NastavText(kNazev, t);
    } else if (const auto p = invoicing::VyberPredmet()) {
      NastavText(kCislo, p->cislo);
      prevezmi(*p);
    }
    if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
  }
  void ZmenaPole(int i) override {
    if (i == kCislo) {
      if (const auto p = invoicing::NajdiPredmet(Text(kCislo))) prevezmi(*p);
    } else if (i == kSazba && !sazbaPrijata(kSazba, kDph)) {
      spocti(false);
    } else if (i == kCenaMj || i == kPrirazka || i == kMnozstvi || i == kSazba) {
      spocti(true);
    }
    if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
  }

 private:
  // Base and VAT of a subject item: the base before VAT to whole haléře; with DAN_DOLU it is the
  // price with VAT and is split; a company that is not a VAT payer keeps the VAT in the base.
  static Rozpad vypocet(std::int64_t cena4, std::int64_t prir4, std::int64_t mnoz4, std::int64_t sazba4) {
    Rozpad r = dphPolozky(ZakladPredmetu(cena4, mnoz4, prir4), sazba4);
    if (!registers::Firma().platceDph) r = {r.zaklad + r.dph, 0};
    return r;
  }
  void spocti(bool sDph) {
    const Rozpad r = vypocet(pole4(kCenaMj), pole4(kPrirazka), pole4(kMnozstvi), sDph ? pole4(kSazba) : 0);
    nastav(kZaklad, r.zaklad);
    nastav(kDph, r.dph);
    navrhniOznaceni(kOznaceni, pole4(kSazba), r.dph == 0);
  }
  void prevezmi(const invoicing::Predmet& p) {
    NastavText(kNazev, p.nazev);
    NastavText(kNomenklatura, p.nomenklatura);
    NastavText(kMj, p.mj);
    NastavText(kCenaMj, ui::FormatE(Pole(kCenaMj).typ.obrazek, p.cena));
    NastavText(kSazba, ui::FormatE(Pole(kSazba).typ.obrazek, p.sazba));
    NastavText(kStredisko, p.stredisko);
    NastavText(kUcet, p.ucet);
    spocti(true);
  }
};

}  // namespace

const char* SouborPolozek(char typ) { return typ == 'T' ? "pzvt.wrk" : "pzvp.wrk"; }

void SmazPolozky() {
  for (char t : {'T', 'P'})
    if (platform::fileExists(SouborPolozek(t))) (void)platform::removeFile(SouborPolozek(t));
}

std::int64_t DphZakladu(std::int64_t zakladHal, std::int64_t sazba4) {
  // rate × base in crown-percent is zakladHal × sazba4 / 10^6; its whole number is the VAT in haléře.
  return podil(static_cast<i128>(zakladHal) * sazba4, 1000000);
}

std::int64_t KoeficientCenySDph(std::int64_t sazba4) {
  if (sazba4 <= 0) return 0;
  // round4(r / (r + 100) × 100) in ten-thousandths, ties to even as round4 has them.
  const i128 n = static_cast<i128>(sazba4) * 100 * 10000, d = sazba4 + 100LL * 10000;
  i128 q = n / d;
  const i128 zbytek = (n % d) * 2;
  if (zbytek > d || (zbytek == d && (q & 1))) ++q;
  return static_cast<std::int64_t>(q);  // ten-thousandths of a percent are millionths of one
}

Rozpad RozpadCeny(std::int64_t cenaHal, std::int64_t sazba4) {
  const std::int64_t dph = podil(static_cast<i128>(cenaHal) * KoeficientCenySDph(sazba4), 1000000);
  return {cenaHal - dph, dph};
}

std::int64_t ZakladPredmetu(std::int64_t cenaMj4, std::int64_t mnozstvi4, std::int64_t prirazka4) {
  // price × quantity × (1 + markup / 100): 10^-4 × 10^-4 × 10^-6 scale, down to haléře.
  return podil(static_cast<i128>(cenaMj4) * mnozstvi4 * (1000000 + prirazka4), static_cast<i128>(1000000) * 1000000);
}

std::string NavrhOznaceni(const std::string& druh, std::int64_t s, bool nulovaDph, bool predmet) {
  const bool snizena = s != 0 && (s == dan1() || (predmet && s == dan3()));
  const bool zakladni = s != 0 && s == dan2();
  if (druh == "V") {
    if (zakladni) return predmet && nulovaDph ? "044 003 " : "040     ";
    if (snizena) return predmet && nulovaDph ? "045 004 " : "041     ";
    return {};
  }
  if (druh == "P") {
    if (zakladni) return "001     ";
    if (snizena) return "002     ";
    if (s == 0) return "025     ";
  }
  return {};
}

SouhrnPolozek SectiPolozky(char typ, std::size_t sirkaTextu) {
  SouhrnPolozek s;
  storage::RecordFile f;
  f.BezZamku();
  const std::int32_t velikost = typ == 'T' ? tPolozkaT::kVelikost : tPolozkaP::kVelikost;
  if (!platform::fileExists(SouborPolozek(typ)) || !f.OtevriSoubor(std::string("=") + SouborPolozek(typ), velikost))
    return s;
  for (int n = 1; n <= f.pocet(); ++n) {
    if (!f.CtiVetuPrimo(n)) break;
    const auto& v = f.veta();
    std::string text;
    std::int64_t castka = 0;
    // Each amount as its field shows it, to haléře, before it is summed.
    if (typ == 'T') {
      text = storage::Orez(storage::readShortString(v, tPolozkaT::kText, 73));
      castka = naHalere(ctyrMista(storage::readReal48(v, tPolozkaT::kCena))) +
               naHalere(ctyrMista(storage::readReal48(v, tPolozkaT::kDph)));
    } else {
      text = storage::Orez(storage::readShortString(v, tPolozkaP::kNazev, 30));
      castka = naHalere(ctyrMista(storage::readReal48(v, tPolozkaP::kZaklad))) +
               naHalere(ctyrMista(storage::readReal48(v, tPolozkaP::kDph)));
      if (text.empty()) text = storage::Orez(storage::readShortString(v, tPolozkaP::kCislo, 4));
    }
    if (text.empty() && castka == 0) continue;  // a deleted item
    ++s.pocet;
    s.celkemHal += castka;
    if (!text.empty() && s.text.size() < 50) s.text += text + ",";
  }
  f.ZavriSoubor();
  if (s.text.size() > sirkaTextu) s.text.resize(sirkaTextu);
  return s;
}

namespace {
constexpr std::size_t kHlavickaBloku = 16;
std::int32_t velikostPolozky(char typ) { return typ == 'T' ? tPolozkaT::kVelikost : typ == 'P' ? tPolozkaP::kVelikost : 0; }
}  // namespace

std::string SouborUlozenychPolozek(const std::string& souborDokladu) {
  const std::size_t tecka = souborDokladu.rfind('.');
  return (tecka == std::string::npos ? souborDokladu : souborDokladu.substr(0, tecka)) + ".pol";
}

std::vector<std::uint8_t> BlokPolozek(std::int32_t zaznam, char typ) {
  std::string polozky;
  const std::int32_t velikost = velikostPolozky(typ);
  if (velikost > 0 && platform::readWholeFile(SouborPolozek(typ), polozky) != platform::kIoOk) polozky.clear();
  if (velikost > 0) polozky.resize(polozky.size() / static_cast<std::size_t>(velikost) * static_cast<std::size_t>(velikost));
  const std::size_t pocet = velikost > 0 ? polozky.size() / static_cast<std::size_t>(velikost) : 0;
  const std::size_t n = std::min<std::size_t>(pocet, 0xffff);
  std::vector<std::uint8_t> b(kHlavickaBloku + n * static_cast<std::size_t>(velikost), 0);
  for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(zaznam) >> (8 * i));
  b[4] = n > 0 ? static_cast<std::uint8_t>(typ) : 0;
  b[6] = static_cast<std::uint8_t>(n & 0xff);
  b[7] = static_cast<std::uint8_t>((n >> 8) & 0xff);
  for (std::size_t i = kHlavickaBloku; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(polozky[i - kHlavickaBloku]);
  return b;
}

char UlozenePolozky(const std::string& souborDokladu, std::int32_t zaznam, std::vector<std::uint8_t>* polozky) {
  std::string s;
  if (platform::readWholeFile(storage::DataCesta(SouborUlozenychPolozek(souborDokladu)), s) != platform::kIoOk) return 0;
  char typ = 0;
  std::size_t od = 0, delka = 0;
  const auto bajt = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])); };
  for (std::size_t p = 0; p + kHlavickaBloku <= s.size();) {
    const std::uint32_t cislo = bajt(p) | bajt(p + 1) << 8 | bajt(p + 2) << 16 | bajt(p + 3) << 24;
    const char t = static_cast<char>(s[p + 4]);
    const std::size_t pocet = bajt(p + 6) | bajt(p + 7) << 8;
    const std::size_t n = pocet * static_cast<std::size_t>(velikostPolozky(t));
    if ((t != 0 && velikostPolozky(t) == 0) || p + kHlavickaBloku + n > s.size()) break;  // a damaged tail
    if (cislo == static_cast<std::uint32_t>(zaznam)) {
      typ = pocet > 0 ? t : 0;
      od = p + kHlavickaBloku;
      delka = n;
    }
    p += kHlavickaBloku + n;
  }
  if (polozky) polozky->assign(s.begin() + static_cast<std::ptrdiff_t>(od), s.begin() + static_cast<std::ptrdiff_t>(od + delka));
  return typ;
}

char ObnovPolozky(const std::string& souborDokladu, std::int32_t zaznam) {
  std::vector<std::uint8_t> polozky;
  const char typ = UlozenePolozky(souborDokladu, zaznam, &polozky);
  if (typ == 0) return 0;
  const std::string bajty(polozky.begin(), polozky.end());
  return platform::writeWholeFile(SouborPolozek(typ), bajty) == platform::kIoOk ? typ : 0;
}

bool ZadejPolozky(char typ, const std::string& druh) {
  std::unique_ptr<TfVstup> okno;
  if (typ == 'T') okno = std::make_unique<TfVstupT>(druh);
  else okno = std::make_unique<TfVstupP>(druh);
  return okno->Spust();
}

}  // namespace pz::cashdesk
