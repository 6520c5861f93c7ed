// The entry of one cash document in the cash desk window: a new document (F4) under the series'
// document lock, the edit of a stored one (Space), the field checks with their calculations and
// the rate lookup, the field help of the partner and the rate, and the saving order.
//
// Saving: the checks that can refuse (a field in error, another station changed the edited
// document) run first; then the form's texts become a document and the save service stores it
// (saving.h). While the form is still open the service asks its questions and stores the
// document, its supplement and the balance all together; a save that could not be stored keeps
// the form open with what was entered.
#include <algorithm>

#include "cashdesk/cashwindow.h"
#include "cashdesk/entry.h"
#include "cashdesk/intent.h"
#include "cashdesk/ratefile.h"
#include "cashdesk/records.h"
#include "cashdesk/saving.h"
#include "platform/text.h"
#include "registers/partners.h"
#include "registers/states.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;
using D = tPzDoklad;

namespace {

// Fields of the document form, in form order.
enum : int {
  kPoleDruh = 1, kPoleIdent, kPoleCislo, kPoleOrg, kPoleDatumDod, kPoleDatumZapl, kPoleText, kPoleCelkemVal,
  kPolePlacenoVal, kPoleKurz, kPoleCelkemKc, kPolePlacenoKc, kPoleInd, kPoleDph, kPoleIco, kPoleDic, kPoleAdr1,
  kPoleAdr2, kPoleAdr3, kPoleAdr4, kPolePsc, kPoleFinUrad
};

bool prazdneDatum(const std::string& text) {
  const std::string t = storage::Orez(text);
  return t.empty() || t == "000000";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Series values

double TfPZPokl::KurzRady() const { return storage::readReal48(Rada, tPzRada::kKurz); }
double TfPZPokl::MnozstviRady() const { return storage::readU16(Rada, tPzRada::kMnozstvi); }

void TfPZPokl::ObnovStav() {
  StavRady stav;
  if (stav.Otevri(CisloRady)) NastavStav(TextZustatku(stav.Stav()));
}

// ---------------------------------------------------------------------------------------------
// New document and edit

void TfPZPokl::NaF4() {
  if (!PovolenNovy || ZakazanyNovy() || !Soubor().otevren() || !LzeZalozitDoklad()) return;
  const std::string zamek = storage::CestaZamku("PZ" + CisloRady);
  const storage::Zamek z = storage::Zamkni(zamek, "W");
  if (!storage::MuzePokracovat(z)) {
    ui::Zprava(storage::ServerZamkuNeodpovedel()
                   ? cz("Nový doklad nelze založit, server zámků neodpovídá")
                   : cz("Nový doklad nelze založit, řadu ") + CisloRady + cz(" právě používá jiná stanice"));
    return;
  }
  // A save of this series that was cut off is finished before the next document is numbered.
  (void)ObnovRadu(CisloRady, Soubor().jmeno());
  Soubor().ObnovSoubor();
  // Under the lock the count is final: nobody else numbers a document of this series now.
  if (LzeZalozitDoklad()) {
    ObnovStav();
    TitulekFormulare = cz("Pokladní doklad  z řady ") + CisloRady;
    Veta() = Prazdny;
    const std::int32_t zaznam = Soubor().pocet() + 1;
    novyZaznam_ = zaznam;
    (void)storage::writeShortString(Veta(), D::kIdent, D::kSirkaIdentu, IdentDokladu(zaznam));
    (void)storage::writeReal48(Veta(), D::kKurz, KurzRady());
    MenaDokladu = storage::readShortString(Rada, tPzRada::kMena, tPzRada::kSirkaMeny);
    PredchoziDruh.clear();
    PredchoziPlaceno = 0;
    ZapamatovanyPartner = 0;
    Pole(kPoleOrg).bocniText.clear();
    novy_ = true;
    Pole(kPoleIdent).stav = 0;  // the record number: never typed
    TextyZVety();
    for (int i = 1; i <= PocetPoli(); ++i) Pole(i).puvodni = Pole(i).text;
    // The form closes accepted only once the service has stored the document.
    if (Formular()) {
      for (int i = 1; i <= PocetPoli(); ++i) Pole(i).predchozi = Pole(i).puvodni = Pole(i).text;
      Zmeneno = true;
    }
    konecZadani();
    JdiNa(PocetRadku, 2);
  }
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
}

void TfPZPokl::Oprav() {
  if (!PovolenaOprava || !Soubor().otevren()) return;
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  const int zaznam = AktualniDoklad();
  if (zaznam < 1 || !Soubor().CtiVetuPrimo(zaznam)) return;
  opravovany_ = zaznam;
  kopie_ = Veta();
  TitulekFormulare = cz("Pokladní doklad - oprava dokladu   z řady ") + CisloRady;
  PredchoziDruh = storage::readShortString(Veta(), D::kDruh, D::kSirkaDruhu);
  PredchoziPlaceno = storage::readReal48(Veta(), D::kPlacenoVal);
  ZapamatovanyPartner = storage::readU16(Veta(), D::kCisloOrg);
  Pole(kPoleOrg).bocniText = storage::readShortString(Veta(), D::kAdr1, D::kSirkaAdresy);
  MenaDokladu = storage::readShortString(Rada, tPzRada::kMena, tPzRada::kSirkaMeny);
  novy_ = false;
  Pole(kPoleIdent).stav = 0;
  TextyZVety();
  for (int i = 1; i <= PocetPoli(); ++i) Pole(i).puvodni = Pole(i).text;
  if (Formular()) {
    for (int i = 1; i <= PocetPoli(); ++i) Pole(i).predchozi = Pole(i).text;
    Zmeneno = true;
  }
  konecZadani();
  JdiNa(Radek, 2);
}

bool TfPZPokl::zmenilJiny() {
  if (opravovany_ < 1) return false;
  const std::vector<std::uint8_t> buffer = Veta();
  const bool jiny = !Soubor().CtiVetuPrimo(opravovany_) || Veta() != kopie_;
  Veta() = buffer;
  return jiny;
}

bool TfPZPokl::ulozDoklad() {
  Ukladani u;
  // The record the form started from, with the form's texts stored into it.
  const std::vector<std::uint8_t> buffer = Veta();
  if (opravovany_ > 0) Veta() = kopie_;
  const int chybne = TextyDoVety();
  u.zaznam = Veta();
  Veta() = buffer;
  if (chybne > 0) {
    ui::Zprava(ZpravaChyby(chybne));
    return false;
  }
  u.doklad = CtiDoklad(u.zaznam);
  if (opravovany_ > 0) u.puvodni = CtiDoklad(kopie_);
  u.cisloZaznamu = opravovany_ > 0 ? opravovany_ : novyZaznam_;
  u.rada = CtiRadu(Rada);
  u.polozky = !TypVstupu.empty();
  const VysledekUlozeni v = sluzbaUkladani().Uloz(u, Soubor().jmeno());
  if (v == VysledekUlozeni::Neulozeno) ui::Zprava(cz("Doklad nebyl uložen, uložená data zůstala beze změny"));
  if (v != VysledekUlozeni::Ulozeno) return false;
  Veta() = u.zaznam;
  TextyZVety();
  if (u.novyStav) NastavStav(TextZustatku(storage::tenThousandthsToDouble(*u.novyStav)));
  return true;
}

void TfPZPokl::konecZadani() {  PredchoziDruh.clear();
  PredchoziPlaceno = 0;
  novy_ = false;
  opravovany_ = 0;
  novyZaznam_ = 0;
  kopie_.clear();
  denBezKurzu_.clear();
  nulaPotvrzena_.clear();
  hlasenyPrepocet_.clear();
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  Sestav();
}

// ---------------------------------------------------------------------------------------------
// Saving

void TfPZPokl::Prijmi(int i) {
  if (ui::TfFormular* f = AktivniFormular()) f->Precti();
  const std::string druh = storage::Orez(Text(kPoleDruh));
  bool chyba = false;
  if (!PripustnyDruh(druh)) chyba = Pole(kPoleDruh).chyba = true;
  Pole(kPoleCislo).text = CisloDokladu(druh, Text(kPoleCislo), CisloRady, Text(kPoleIdent));
  if (TypVstupu.empty()) {
    const Castka kc = NaKoruny(cislo(kPolePlacenoVal), cislo(kPoleKurz), MnozstviRady());
    if (kc.ok()) nastavCislo(kPolePlacenoKc, kc.hodnota);
    else chyba = Pole(kc.chyba == ChybaVypoctu::Preteceni ? kPolePlacenoVal : kPoleKurz).chyba = true;
  }
  // The form's own check names the first field in error and keeps the form open.
  if (chyba) return TfSoub::Prijmi(i);
  if (opravovany_ > 0 && zmenilJiny()) {
    // Refused before anything is written: the edit started from a document that is gone.
    ui::Zprava(cz("Vaše opravy neplatí, větu změnil jiný uživatel"));
    if (ui::TfFormular* f = AktivniFormular()) f->close(ui::kVkEscape);
    return;
  }
  // "Nesoulad.", a balance lock not had or a failed write keep the form open.
  if (!PolePrijata() || !ulozDoklad()) return;
  TfSoub::Prijmi(i);
}

// ---------------------------------------------------------------------------------------------
// Field checks

double TfPZPokl::cislo(int i) const { return ui::TextNaReal(Text(i)); }

void TfPZPokl::nastavCislo(int i, double hodnota) { NastavText(i, ui::FormatE(Pole(i).typ.obrazek, hodnota)); }

// Once per field: an amount that follows from a field already in error does not repeat it.
void TfPZPokl::chybaVypoctu(int i) {
  if (Pole(i).chyba) return;
  Pole(i).chyba = true;
  ui::Zprava(ZpravaChyby(i));
}

bool TfPZPokl::prepocti(int i, double castka, double kurz, int cil, bool naKoruny) {
  const Castka c = naKoruny ? NaKoruny(castka, kurz, MnozstviRady()) : NaValuty(castka, kurz, MnozstviRady());
  if (!c.ok()) {
    chybaVypoctu(c.chyba == ChybaVypoctu::Preteceni ? i : kPoleKurz);
    return false;
  }
  nastavCislo(cil, c.hodnota);
  return true;
}

void TfPZPokl::prepoctiKurz() {
  const double kurz = cislo(kPoleKurz);
  if (TypVstupu.empty()) {
    if (prepocti(kPoleCelkemVal, cislo(kPoleCelkemVal), kurz, kPoleCelkemKc, true))
      prepocti(kPolePlacenoVal, cislo(kPolePlacenoVal), kurz, kPolePlacenoKc, true);
  } else if (prepocti(kPoleCelkemKc, cislo(kPoleCelkemKc), kurz, kPoleCelkemVal, false)) {
    prepocti(kPolePlacenoKc, cislo(kPolePlacenoKc), kurz, kPolePlacenoVal, false);
  }
}

bool TfPZPokl::nactiKurz() {
  if (SouborKurzu.empty()) return false;
  const std::string den = Text(kPoleDatumZapl);
  const NalezenyKurz nalez = NajdiKurzVSouboru(SouborKurzu, den);
  std::optional<double> kurz = nalez.kurz;
  const int jednotky = static_cast<int>(MnozstviRady());
  // The bank quotes some currencies per 100 units; the series may count in other units.
  if (kurz && nalez.mnozstvi > 0 && jednotky > 0 && nalez.mnozstvi != jednotky) {
    kurz = *kurz * jednotky / nalez.mnozstvi;
    if (hlasenyPrepocet_ != den) {
      hlasenyPrepocet_ = den;
      ui::Zprava(cz("Kurz v souboru je za ") + std::to_string(nalez.mnozstvi) + " " + MenaZobrazeni +
                 cz(", přepočten na ") + std::to_string(jednotky) + " " + MenaZobrazeni);
    }
  }
  if (kurz && ui::VejdeSe(Pole(kPoleKurz).typ.obrazek, *kurz)) {
    nastavCislo(kPoleKurz, *kurz);
    denBezKurzu_.clear();
    return true;
  }
  // Nothing usable: the rate keeps its value, but a zero is never taken without a word.
  if (cislo(kPoleKurz) != 0 || nulaPotvrzena_ == den) return false;
  Pole(kPoleKurz).chyba = true;
  if (denBezKurzu_ == den) return false;
  denBezKurzu_ = den;
  const auto d = ui::RozeberDatum('d', den);
  const std::string kdy = d ? storage::DoplnZleva(std::to_string(d->den), 2, '0') + "." +
                                  storage::DoplnZleva(std::to_string(d->mesic), 2, '0') + "." + std::to_string(d->rok)
                            : storage::Orez(den);
  ui::Zprava(cz("Pro den ") + kdy + cz(" není v souboru ") + SouborKurzu + cz(" kurz, zadejte kurz"));
  return false;
}

void TfPZPokl::ZmenaPole(int i) {
  ui::PoleSouboru& p = Pole(i);
  const std::string druh = storage::Orez(Text(kPoleDruh));
  const bool bezRady = KurzRady() == 0;
  switch (i) {
    case kPoleDruh:
      p.text = storage::VelkaPismena(storage::Orez(p.text));
      if (!PripustnyDruh(p.text)) {
        ui::Zprava(cz("Nepřípustný kód"));
        p.text.clear();
        p.chyba = true;
      }
      // For a new document "O" and "D" choose the paid invoice here, once invoice payments exist.
      break;
    case kPoleCislo:
      p.text = CisloDokladu(druh, p.text, CisloRady, Text(kPoleIdent));
      break;
    case kPoleOrg:
      kontrolaPartnera();
      break;
    case kPoleDatumDod:
    case kPoleDatumZapl: {
      // A payment date left as the form proposed it follows the delivery date of a new receipt or
      // expenditure; a date the user typed stays.
      if (i == kPoleDatumZapl && novy_ && (druh == "P" || druh == "V") && (p.text == p.puvodni || prazdneDatum(p.text))) {
        const std::string dodani = Text(kPoleDatumDod);
        p.text = prazdneDatum(dodani) ? DatumDokladu(platform::clock().today()) : dodani;
      }
      if (!prazdneDatum(p.text)) {
        const auto datum = ui::CtiDatum('d', storage::Orez(p.text));
        if (!datum) {
          ui::Zprava(cz("Chybné datum"));
          p.text.clear();
          p.chyba = true;
          break;
        }
        p.text = *datum;
      }
      // For "D" and "O" the form goes on at the paid amount once invoice payments exist.
      if (i == kPoleDatumZapl && bezRady && druh != "D" && druh != "O" && nactiKurz()) prepoctiKurz();
      break;
    }
    case kPoleText:
      if (bezRady && nactiKurz()) prepoctiKurz();
      // The choice of items (" Typ vstupu ") for "P" and "V" comes here once document items exist.
      break;
    case kPoleCelkemVal:
      if (MenaDokladu == "XXX" && (druh == "P" || druh == "V")) {
        if (ui::Dotazy(20, 10, nullptr, {cz("Měna "), MenaDokladu}, cz("Označení měny")) &&
            !ui::vysledekDialogu().odpovedi.empty())
          MenaDokladu = storage::Orez(ui::vysledekDialogu().odpovedi[0]);
      }
      NastavText(kPolePlacenoVal, p.text);
      if (TypVstupu.empty() && prepocti(i, cislo(i), cislo(kPoleKurz), kPoleCelkemKc, true))
        prepocti(kPolePlacenoVal, cislo(kPolePlacenoVal), cislo(kPoleKurz), kPolePlacenoKc, true);
      break;
    case kPolePlacenoVal:
      if (TypVstupu.empty()) prepocti(i, cislo(i), cislo(kPoleKurz), kPolePlacenoKc, true);
      break;
    case kPoleKurz:
      if (cislo(i) != 0) denBezKurzu_.clear();
      if (!denBezKurzu_.empty() && MnozstviRady() != 0 && TypVstupu.empty()) {
        if (!ui::Dotaz(20, 10, cz("Kurz nebyl nalezen. Ponechat kurz 0 ?"))) {
          p.chyba = true;
          break;
        }
        nulaPotvrzena_ = denBezKurzu_;
        denBezKurzu_.clear();
      }
      if (MnozstviRady() == 0 || (!TypVstupu.empty() && cislo(i) == 0)) chybaVypoctu(i);
      else prepoctiKurz();
      break;
    case kPoleCelkemKc:
      if (!TypVstupu.empty()) prepocti(i, cislo(i), cislo(kPoleKurz), kPoleCelkemVal, false);
      break;
    case kPolePlacenoKc:
      if (!TypVstupu.empty()) prepocti(i, cislo(i), cislo(kPoleKurz), kPolePlacenoVal, false);
      break;
    case kPoleDph:
      // The VAT line choosers of the VAT return come here; until then the code stays as entered.
      break;
    default:
      break;
  }
  if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
}

void TfPZPokl::F1Pole(int i) {
  if (i != kPoleOrg && i != kPoleKurz) return TfSoub::F1Pole(i);
  if (ui::TfFormular* f = AktivniFormular()) f->Precti();
  if (i == kPoleOrg) {
    const int vybrany = vyberPartnera();
    if (vybrany > 0) NastavText(kPoleOrg, storage::DoplnZleva(std::to_string(vybrany), 5, '0'));
  } else {
    nactiKurz();
  }
  KontrolaPole(i);
}

// ---------------------------------------------------------------------------------------------
// Partner

int TfPZPokl::vyberPartnera() {
  registers::TfOrg& org = partneri();
  if (!org.Nastav()) return 0;
  org.Sestav();
  org.JdiNa(1);
  org.showModal();
  int vybrany = 0;
  if (org.KoncovaKlavesa == ui::kVkReturn && org.Radek >= 1 && org.Radek <= org.Soubor().pocet()) {
    org.CtiVetu(org.Radek);
    vybrany = org.Soubor().posledni();
  }
  org.Zavri();
  return vybrany;
}

registers::TfOrg& TfPZPokl::partneri() {
  if (!partneri_) partneri_ = std::make_unique<registers::TfOrg>();
  return *partneri_;
}

void TfPZPokl::kontrolaPartnera() {
  ui::PoleSouboru& p = Pole(kPoleOrg);
  int cislo = ui::TextNaCele(p.text);
  bool vymenit = false;
  if (ZapamatovanyPartner != 0 && cislo != ZapamatovanyPartner) {
    if (ui::Dotaz(20, 10, cz("Vyměnit údaje o organizaci ?"))) {
      vymenit = true;
    } else {
      cislo = ZapamatovanyPartner;
    }
  }
  registers::TfOrg& org = partneri();
  if (!org.Nastav()) return;
  const int pocet = org.Soubor().pocet();
  org.Zavri();
  // The list is shown once: Esc leaves no partner.
  if (cislo <= 0 || cislo > pocet) cislo = vyberPartnera();
  p.text = storage::DoplnZleva(std::to_string(std::max(cislo, 0)), 5, '0');
  if (cislo <= 0) return;
  const bool prazdnyNazev = storage::Orez(Text(kPoleAdr1)).empty();
  if (!vymenit && !(novy_ && prazdnyNazev)) return;
  if (!org.Nastav()) return;
  if (org.Soubor().CtiVetuPrimo(cislo)) {
    const auto& v = org.Veta();
    using O = registers::tOrganizace;
    const auto text = [&](std::size_t offset, std::size_t sirka) { return storage::readShortString(v, offset, sirka); };
    Pole(kPoleIco).text = text(O::kIco, 8);
    Pole(kPoleDic).text = text(O::kDic, 16);
    Pole(kPoleAdr1).text = text(O::kNazev, 30);
    Pole(kPoleAdr2).text = text(O::kJmeno, 30);
    Pole(kPoleAdr3).text = text(O::kUlice, 30);
    Pole(kPoleAdr4).text = text(O::kMesto, 30);
    Pole(kPolePsc).text = text(O::kPsc, 5);
    Pole(kPoleFinUrad).text = text(O::kFinUrad, 3);
    p.bocniText = Pole(kPoleAdr1).text;
    const std::string stat = storage::Orez(text(O::kStat, 30));
    // The EU code of the partner's state, for the VAT supplement of the document.
    StatPartneraEU = stat.empty() ? std::string() : registers::KodStatu(stat);
    ZapamatovanyPartner = cislo;
  }
  org.Zavri();
}

}  // namespace pz::cashdesk
