// Saving: the checks that can refuse (a field in error, another station changed the edited
// document) run first; then the form's texts become a document and the save service stores it
// (saving.h). While the form is still open the service asks its questions and stores the
// document, its supplement and the balance all together; a save that could not be stored keeps
// the form open with what was entered.
#include "cashdesk/cashentry.h"

#include <algorithm>

#include "cashdesk/cashwindow.h"
#include "cashdesk/entry.h"
#include "cashdesk/intent.h"
#include "cashdesk/items.h"
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
// New document and edit

ZadaniDokladu::ZadaniDokladu(TfPZPokl& okno) : okno_(okno) {}

ZadaniDokladu::~ZadaniDokladu() = default;

void ZadaniDokladu::NovaRada() {
  konecStavu();
  mena_ = storage::readShortString(okno_.Rada, tPzRada::kMena, tPzRada::kSirkaMeny);
  partner_ = 0;
  typVstupu_.clear();
}

void ZadaniDokladu::Novy() {
  TfPZPokl& o = okno_;
  if (!o.PovolenNovy || o.ZakazanyNovy() || !o.Soubor().otevren() || !o.LzeZalozitDoklad()) return;
  const std::string zamek = storage::CestaZamku("PZ" + o.CisloRady);
  const storage::Zamek z = storage::Zamkni(zamek, "W");
  if (!storage::MuzePokracovat(z)) {
    ui::Zprava(storage::ServerZamkuNeodpovedel()
                   ? cz("Nový doklad nelze založit, server zámků neodpovídá")
                   : cz("Nový doklad nelze založit, řadu ") + o.CisloRady + cz(" právě používá jiná stanice"));
    return;
  }
  // A save of this series that was cut off is finished before the next document is numbered.
  (void)ObnovRadu(o.CisloRady, o.Soubor().jmeno());
  o.Soubor().ObnovSoubor();
  // Under the lock the count is final: nobody else numbers a document of this series now.
  if (o.LzeZalozitDoklad()) {
    o.ObnovStav();
    o.TitulekFormulare = cz("Pokladní doklad  z řady ") + o.CisloRady;
    o.Veta() = o.Prazdny;
    const std::int32_t zaznam = o.Soubor().pocet() + 1;
    novyZaznam_ = zaznam;
    (void)storage::writeShortString(o.Veta(), D::kIdent, D::kSirkaIdentu, IdentDokladu(zaznam));
    (void)storage::writeReal48(o.Veta(), D::kKurz, o.KurzRady());
    mena_ = storage::readShortString(o.Rada, tPzRada::kMena, tPzRada::kSirkaMeny);
    partner_ = 0;
    zacniPolozky();
    o.Pole(kPoleOrg).bocniText.clear();
    novy_ = true;
    // The save writes only while this station still holds the lock it numbered the document under.
    if (z == storage::Zamek::Drzen) zamekDokladu_ = zamek;
    o.Pole(kPoleIdent).stav = 0;  // the record number: never typed
    o.TextyZVety();
    for (int i = 1; i <= o.PocetPoli(); ++i) o.Pole(i).puvodni = o.Pole(i).text;
    // The form closes accepted only once the service has stored the document.
    if (o.Formular()) {
      for (int i = 1; i <= o.PocetPoli(); ++i) o.Pole(i).predchozi = o.Pole(i).puvodni = o.Pole(i).text;
      o.Zmeneno = true;
    }
    konec();
    o.JdiNa(o.PocetRadku, 2);
  }
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
  poUvolneni();
}

void ZadaniDokladu::Oprav() {
  TfPZPokl& o = okno_;
  if (!o.PovolenaOprava || !o.Soubor().otevren()) return;
  o.Soubor().ObnovSoubor();
  o.PocetRadku = o.Soubor().pocet();
  const int zaznam = o.AktualniDoklad();
  if (zaznam < 1 || !o.Soubor().CtiVetuPrimo(zaznam)) return;
  opravovany_ = zaznam;
  kopie_ = o.Veta();
  o.TitulekFormulare = cz("Pokladní doklad - oprava dokladu   z řady ") + o.CisloRady;
  partner_ = storage::readU16(o.Veta(), D::kCisloOrg);
  o.Pole(kPoleOrg).bocniText = storage::readShortString(o.Veta(), D::kAdr1, D::kSirkaAdresy);
  mena_ = storage::readShortString(o.Rada, tPzRada::kMena, tPzRada::kSirkaMeny);
  zacniPolozky();
  // The items the document was saved with come back into the work file.
  if (const char typ = ObnovPolozky(o.Soubor().jmeno(), zaznam)) typVstupu_ = std::string(1, typ);
  novy_ = false;
  o.Pole(kPoleIdent).stav = 0;
  o.TextyZVety();
  for (int i = 1; i <= o.PocetPoli(); ++i) o.Pole(i).puvodni = o.Pole(i).text;
  if (o.Formular()) {
    for (int i = 1; i <= o.PocetPoli(); ++i) o.Pole(i).predchozi = o.Pole(i).text;
    o.Zmeneno = true;
  }
  konec();
  o.JdiNa(o.Radek, 2);
  poUvolneni();
}

bool ZadaniDokladu::zmenilJiny() {
  if (opravovany_ < 1) return false;
  const std::vector<std::uint8_t> buffer = okno_.Veta();
  const bool jiny = !okno_.Soubor().CtiVetuPrimo(opravovany_) || okno_.Veta() != kopie_;
  okno_.Veta() = buffer;
  return jiny;
}

bool ZadaniDokladu::ulozDoklad() {
  TfPZPokl& o = okno_;
  Ukladani u;
  // The record the form started from, with the form's texts stored into it.
  const std::vector<std::uint8_t> buffer = o.Veta();
  if (opravovany_ > 0) o.Veta() = kopie_;
  const int chybne = o.TextyDoVety();
  u.zaznam = o.Veta();
  o.Veta() = buffer;
  if (chybne > 0) {
    ui::Zprava(o.ZpravaChyby(chybne));
    return false;
  }
  u.doklad = CtiDoklad(u.zaznam);
  if (opravovany_ > 0) u.puvodni = CtiDoklad(kopie_);
  u.cisloZaznamu = opravovany_ > 0 ? opravovany_ : novyZaznam_;
  u.rada = CtiRadu(o.Rada);
  u.polozky = !typVstupu_.empty();
  u.typPolozek = u.polozky ? typVstupu_[0] : 0;
  u.statPartnera = statPartnera_;
  if (!zamekDokladu_.empty()) u.zamkyVolajiciho.push_back(zamekDokladu_);
  if (novy_ && vazba_ && (u.doklad.druh == "O" || u.doklad.druh == "D")) u.faktura = vazba_;
  const VysledekUlozeni v = sluzbaUkladani().Uloz(u, o.Soubor().jmeno());
  if (v == VysledekUlozeni::Neulozeno) ui::Zprava(cz("Doklad nebyl uložen, uložená data zůstala beze změny"));
  if (v != VysledekUlozeni::Ulozeno) return false;
  typVstupu_.clear();  // the save deleted the item work files
  ulozeny_ = u;
  o.Veta() = u.zaznam;
  o.TextyZVety();
  if (u.novyStav) o.NastavStav(o.TextZustatku(storage::tenThousandthsToDouble(*u.novyStav)));
  return true;
}

void ZadaniDokladu::poUvolneni() {
  if (!ulozeny_) return;
  const Ukladani u = std::move(*ulozeny_);
  ulozeny_.reset();
  sluzbaUkladani().PoUvolneni(u);
}

void ZadaniDokladu::konecStavu() {
  novy_ = false;
  statPartnera_.clear();
  opravovany_ = 0;
  novyZaznam_ = 0;
  zamekDokladu_.clear();
  kopie_.clear();
  denBezKurzu_.clear();
  nulaPotvrzena_.clear();
  hlasenyPrepocet_.clear();
  vazba_.reset();
}

void ZadaniDokladu::konec() {
  konecStavu();
  okno_.Soubor().ObnovSoubor();
  okno_.PocetRadku = okno_.Soubor().pocet();
  okno_.Sestav();
}

// ---------------------------------------------------------------------------------------------
// Saving

void ZadaniDokladu::Prijmi(int i) {
  if (ui::TfFormular* f = okno_.AktivniFormular()) f->Precti();
  const std::string druh = storage::Orez(okno_.Text(kPoleDruh));
  bool chyba = false;
  if (!PripustnyDruh(druh)) chyba = okno_.Pole(kPoleDruh).chyba = true;
  okno_.Pole(kPoleCislo).text = CisloDokladu(druh, okno_.Text(kPoleCislo), okno_.CisloRady, okno_.Text(kPoleIdent));
  // The crowns of an invoice payment are those computed at the choice.
  if (typVstupu_.empty() && druh != "O" && druh != "D") {
    const Castka kc = NaKoruny(cislo(kPolePlacenoVal), cislo(kPoleKurz), okno_.MnozstviRady());
    if (kc.ok()) nastavCislo(kPolePlacenoKc, kc.hodnota);
    else chyba = okno_.Pole(kc.chyba == ChybaVypoctu::Preteceni ? kPolePlacenoVal : kPoleKurz).chyba = true;
  }
  // The form's own check names the first field in error and keeps the form open.
  if (chyba) return okno_.ui::TfSoub::Prijmi(i);
  if (opravovany_ > 0 && zmenilJiny()) {
    // Refused before anything is written: the edit started from a document that is gone.
    ui::Zprava(cz("Vaše opravy neplatí, větu změnil jiný uživatel"));
    if (ui::TfFormular* f = okno_.AktivniFormular()) f->close(ui::kVkEscape);
    return;
  }
  // "Nesoulad.", a balance lock not had or a failed write keep the form open.
  if (!okno_.PolePrijata() || !ulozDoklad()) return;
  okno_.ui::TfSoub::Prijmi(i);
}

// ---------------------------------------------------------------------------------------------
// Field checks

double ZadaniDokladu::cislo(int i) const { return ui::TextNaReal(okno_.Text(i)); }

void ZadaniDokladu::nastavCislo(int i, double hodnota) { okno_.NastavText(i, ui::FormatE(okno_.Pole(i).typ.obrazek, hodnota)); }

// Once per field: an amount that follows from a field already in error does not repeat it.
void ZadaniDokladu::chybaVypoctu(int i) {
  if (okno_.Pole(i).chyba) return;
  okno_.Pole(i).chyba = true;
  ui::Zprava(okno_.ZpravaChyby(i));
}

bool ZadaniDokladu::prepocti(int i, double castka, double kurz, int cil, bool naKoruny) {
  const Castka c = naKoruny ? NaKoruny(castka, kurz, okno_.MnozstviRady()) : NaValuty(castka, kurz, okno_.MnozstviRady());
  if (!c.ok()) {
    chybaVypoctu(c.chyba == ChybaVypoctu::Preteceni ? i : kPoleKurz);
    return false;
  }
  nastavCislo(cil, c.hodnota);
  return true;
}

void ZadaniDokladu::prepoctiKurz() {
  const double kurz = cislo(kPoleKurz);
  if (typVstupu_.empty()) {
    if (prepocti(kPoleCelkemVal, cislo(kPoleCelkemVal), kurz, kPoleCelkemKc, true))
      prepocti(kPolePlacenoVal, cislo(kPolePlacenoVal), kurz, kPolePlacenoKc, true);
  } else if (prepocti(kPoleCelkemKc, cislo(kPoleCelkemKc), kurz, kPoleCelkemVal, false)) {
    prepocti(kPolePlacenoKc, cislo(kPolePlacenoKc), kurz, kPolePlacenoVal, false);
  }
}

bool ZadaniDokladu::nactiKurz() {
  if (okno_.SouborKurzu.empty()) return false;
  const std::string den = okno_.Text(kPoleDatumZapl);
  const NalezenyKurz nalez = NajdiKurzVSouboru(okno_.SouborKurzu, den);
  std::optional<double> kurz = nalez.kurz;
  const int jednotky = static_cast<int>(okno_.MnozstviRady());
  // The bank quotes some currencies per 100 units; the series may count in other units.
  if (kurz && nalez.mnozstvi > 0 && jednotky > 0 && nalez.mnozstvi != jednotky) {
    kurz = *kurz * jednotky / nalez.mnozstvi;
    if (hlasenyPrepocet_ != den) {
      hlasenyPrepocet_ = den;
      ui::Zprava(cz("Kurz v souboru je za ") + std::to_string(nalez.mnozstvi) + " " + okno_.MenaZobrazeni +
                 cz(", přepočten na ") + std::to_string(jednotky) + " " + okno_.MenaZobrazeni);
    }
  }
  if (kurz && ui::VejdeSe(okno_.Pole(kPoleKurz).typ.obrazek, *kurz)) {
    nastavCislo(kPoleKurz, *kurz);
    denBezKurzu_.clear();
    return true;
  }
  // Nothing usable: the rate keeps its value, but a zero is never taken without a word.
  if (cislo(kPoleKurz) != 0 || nulaPotvrzena_ == den) return false;
  okno_.Pole(kPoleKurz).chyba = true;
  if (denBezKurzu_ == den) return false;
  denBezKurzu_ = den;
  const auto d = ui::RozeberDatum('d', den);
  const std::string kdy = d ? storage::DoplnZleva(std::to_string(d->den), 2, '0') + "." +
                                  storage::DoplnZleva(std::to_string(d->mesic), 2, '0') + "." + std::to_string(d->rok)
                            : storage::Orez(den);
  ui::Zprava(cz("Pro den ") + kdy + cz(" není v souboru ") + okno_.SouborKurzu + cz(" kurz, zadejte kurz"));
  return false;
}

void ZadaniDokladu::ZmenaPole(int i) {
  ui::PoleSouboru& p = okno_.Pole(i);
  const std::string druh = storage::Orez(okno_.Text(kPoleDruh));
  const bool bezRady = okno_.KurzRady() == 0;
  switch (i) {
    case kPoleDruh:
      p.text = storage::VelkaPismena(storage::Orez(p.text));
      if (!PripustnyDruh(p.text)) {
        ui::Zprava(cz("Nepřípustný kód"));
        p.text.clear();
        p.chyba = true;
      }
      if (!p.chyba) vyberFaktury(p.text);
      break;
    case kPoleCislo:
      p.text = CisloDokladu(druh, p.text, okno_.CisloRady, okno_.Text(kPoleIdent));
      break;
    case kPoleOrg:
      kontrolaPartnera();
      break;
    case kPoleDatumDod:
    case kPoleDatumZapl: {
      // A payment date left as the form proposed it follows the delivery date of a new receipt or
      // expenditure; a date the user typed stays.
      if (i == kPoleDatumZapl && novy_ && (druh == "P" || druh == "V") && (p.text == p.puvodni || prazdneDatum(p.text))) {
        const std::string dodani = okno_.Text(kPoleDatumDod);
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
      if (druh == "P" || druh == "V") vstupPolozek(druh);
      break;
    case kPoleCelkemVal:
      if (mena_ == "XXX" && (druh == "P" || druh == "V")) {
        if (ui::Dotazy(20, 10, nullptr, {cz("Měna "), mena_}, cz("Označení měny")) &&
            !ui::vysledekDialogu().odpovedi.empty())
          mena_ = storage::Orez(ui::vysledekDialogu().odpovedi[0]);
      }
      okno_.NastavText(kPolePlacenoVal, p.text);
      if (typVstupu_.empty() && prepocti(i, cislo(i), cislo(kPoleKurz), kPoleCelkemKc, true))
        prepocti(kPolePlacenoVal, cislo(kPolePlacenoVal), cislo(kPoleKurz), kPolePlacenoKc, true);
      break;
    case kPolePlacenoVal:
      if (typVstupu_.empty()) prepocti(i, cislo(i), cislo(kPoleKurz), kPolePlacenoKc, true);
      break;
    case kPoleKurz:
      if (cislo(i) != 0) denBezKurzu_.clear();
      if (!denBezKurzu_.empty() && okno_.MnozstviRady() != 0 && typVstupu_.empty()) {
        if (!ui::Dotaz(20, 10, cz("Kurz nebyl nalezen. Ponechat kurz 0 ?"))) {
          p.chyba = true;
          break;
        }
        nulaPotvrzena_ = denBezKurzu_;
        denBezKurzu_.clear();
      }
      if (okno_.MnozstviRady() == 0 || (!typVstupu_.empty() && cislo(i) == 0)) chybaVypoctu(i);
      else prepoctiKurz();
      break;
    case kPoleCelkemKc:
      if (!typVstupu_.empty()) prepocti(i, cislo(i), cislo(kPoleKurz), kPoleCelkemVal, false);
      break;
    case kPolePlacenoKc:
      if (!typVstupu_.empty()) prepocti(i, cislo(i), cislo(kPoleKurz), kPolePlacenoVal, false);
      break;
    case kPoleDph:
      // The VAT line choosers of the VAT return come here; until then the code stays as entered.
      break;
    default:
      break;
  }
  if (ui::TfFormular* f = okno_.AktivniFormular()) f->Ukaz();
}

void ZadaniDokladu::F1Pole(int i) {
  if (i != kPoleOrg && i != kPoleKurz) return okno_.ui::TfSoub::F1Pole(i);
  if (ui::TfFormular* f = okno_.AktivniFormular()) f->Precti();
  if (i == kPoleOrg) {
    const int vybrany = vyberPartnera();
    if (vybrany > 0) okno_.NastavText(kPoleOrg, storage::DoplnZleva(std::to_string(vybrany), 5, '0'));
  } else {
    nactiKurz();
  }
  okno_.KontrolaPole(i);
}

// ---------------------------------------------------------------------------------------------
// Invoice payments

void ZadaniDokladu::vyberFaktury(const std::string& druh) {
  if (!novy_) return;
  const bool platba = druh == "O" || druh == "D";
  if (!platba) {
    vazba_.reset();
    return;
  }
  // The same kind keeps the invoice already chosen.
  if (vazba_ && invoicing::Vydane(vazba_->registr) == (druh == "O")) return;
  vazba_.reset();
  TfPZPokl& o = okno_;
  const std::vector<std::uint8_t> buffer = o.Veta();
  (void)o.TextyDoVety();
  std::vector<std::uint8_t> zaznam = o.Veta();
  PokladniDoklad d = CtiDoklad(zaznam);
  d.druh = druh;
  d.datumZapl = DatumDokladu(platform::clock().today());
  const RadaPokladny rada = CtiRadu(o.Rada);
  std::optional<VazbaFaktury> v = VyberFakturu(druh, d, rada);
  if (v && ZapisDoklad(d, zaznam)) {
    vazba_ = std::move(v);
    o.Veta() = zaznam;
    o.TextyZVety();
    o.Veta() = buffer;
    partner_ = d.cisloOrg;
    o.Pole(kPoleOrg).bocniText = d.adr1;
    o.DalsiPole = kPoleDatumZapl;
    return;
  }
  o.Veta() = buffer;
  o.DalsiPole = kPoleDruh;
}

// ---------------------------------------------------------------------------------------------
// Items

void ZadaniDokladu::zacniPolozky() {
  typVstupu_.clear();
  textBezPolozek_.reset();
  SmazPolozky();
}

void ZadaniDokladu::vstupPolozek(const std::string& druh) {
  // Left without items, the text is passed on Enter without asking again until it changes.
  if (textBezPolozek_ && *textBezPolozek_ == okno_.Text(kPoleText)) return;
  const auto bezPolozek = [this] {
    typVstupu_.clear();
    textBezPolozek_ = okno_.Text(kPoleText);
    okno_.DalsiPole = kPoleText;
  };
  const int volba = ui::Vyber(20, 10, nullptr, {cz("T - různé texty"), cz("P - předměty fakturace")}, cz(" Typ vstupu "));
  if (volba != 1 && volba != 2) return bezPolozek();
  const char typ = volba == 1 ? 'T' : 'P';
  if (!ZadejPolozky(typ, druh)) return bezPolozek();
  const SouhrnPolozek s = SectiPolozky(typ, D::kSirkaTextu);
  if (s.pocet == 0) return bezPolozek();
  typVstupu_ = std::string(1, typ);
  textBezPolozek_.reset();
  okno_.DalsiPole = okno_.PocetPoli();
  okno_.NastavText(kPoleText, s.text);
  nastavCislo(kPoleCelkemKc, storage::tenThousandthsToDouble(s.celkemHal * 100));
  nastavCislo(kPolePlacenoKc, storage::tenThousandthsToDouble(s.celkemHal * 100));
  // The currency amounts follow from the crowns; at a rate of 0 they stay 0 until a rate is given.
  if (cislo(kPoleKurz) == 0) {
    nastavCislo(kPoleCelkemVal, 0);
    nastavCislo(kPolePlacenoVal, 0);
    ui::Zprava(cz("Kurz je 0, částky v měně zůstávají 0, zadejte kurz"));
    return;
  }
  prepoctiKurz();
}

// ---------------------------------------------------------------------------------------------
// Partner

int ZadaniDokladu::vyberPartnera() {
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

registers::TfOrg& ZadaniDokladu::partneri() {
  if (!partneri_) partneri_ = std::make_unique<registers::TfOrg>();
  return *partneri_;
}

void ZadaniDokladu::kontrolaPartnera() {
  ui::PoleSouboru& p = okno_.Pole(kPoleOrg);
  int cislo = ui::TextNaCele(p.text);
  bool vymenit = false;
  if (partner_ != 0 && cislo != partner_) {
    if (ui::Dotaz(20, 10, cz("Vyměnit údaje o organizaci ?"))) {
      vymenit = true;
    } else {
      cislo = partner_;
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
  const bool prazdnyNazev = storage::Orez(okno_.Text(kPoleAdr1)).empty();
  if (!vymenit && !(novy_ && prazdnyNazev)) return;
  if (!org.Nastav()) return;
  if (org.Soubor().CtiVetuPrimo(cislo)) {
    const auto& v = org.Veta();
    using O = registers::tOrganizace;
    const auto text = [&](std::size_t offset, std::size_t sirka) { return storage::readShortString(v, offset, sirka); };
    okno_.Pole(kPoleIco).text = text(O::kIco, 8);
    okno_.Pole(kPoleDic).text = text(O::kDic, 16);
    okno_.Pole(kPoleAdr1).text = text(O::kNazev, 30);
    okno_.Pole(kPoleAdr2).text = text(O::kJmeno, 30);
    okno_.Pole(kPoleAdr3).text = text(O::kUlice, 30);
    okno_.Pole(kPoleAdr4).text = text(O::kMesto, 30);
    okno_.Pole(kPolePsc).text = text(O::kPsc, 5);
    okno_.Pole(kPoleFinUrad).text = text(O::kFinUrad, 3);
    p.bocniText = okno_.Pole(kPoleAdr1).text;
    partner_ = cislo;
    // The partner's state goes into the VAT supplement as its code.
    const std::string stat = storage::Orez(text(O::kStat, 30));
    statPartnera_ = stat.empty() ? std::string() : registers::KodStatu(stat);
  }
  org.Zavri();
}

}  // namespace pz::cashdesk
