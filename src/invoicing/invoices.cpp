#include "invoicing/invoices.h"

#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/money.h"
#include "storage/recordfile.h"
#include "storage/roots.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/keys.h"

namespace pz::invoicing {

using platform::cz;

namespace {

using F = tFaktura;
using P = tPlatba;

std::string text(storage::ConstBytes v, std::size_t off, std::size_t sirka) { return storage::readShortString(v, off, sirka); }

// A stored amount as ten-thousandths; a damaged Real48 reads as 0.
Penize castka(storage::ConstBytes v, std::size_t off) {
  const storage::Money m = storage::toTenThousandths(storage::readReal48(v, off));
  return m.ok() ? m.tenThousandths : 0;
}

bool pisCastku(storage::Bytes v, std::size_t off, Penize p) {
  return storage::writeReal48(v, off, storage::tenThousandthsToDouble(p));
}

const char* predpona(Registr r) {
  switch (r) {
    case Registr::VydaneKc: return "OF";
    case Registr::VydaneVal: return "ZF";
    case Registr::PrijateKc: return "DF";
    case Registr::PrijateVal: return "DZ";
  }
  return "OF";
}

std::string nazevRegistru(Registr r) {
  switch (r) {
    case Registr::VydaneKc: return cz("Vydané faktury v Kč");
    case Registr::VydaneVal: return cz("Vydané faktury ve valutách");
    case Registr::PrijateKc: return cz("Přijaté faktury v Kč");
    case Registr::PrijateVal: return cz("Přijaté faktury ve valutách");
  }
  return {};
}

}  // namespace

Faktura CtiFakturu(storage::ConstBytes v) {
  Faktura f;
  f.cislo = text(v, F::kCislo, 10);
  f.vs = text(v, F::kVs, 10);
  f.cisloOrg = storage::readU16(v, F::kCisloOrg);
  f.datumVyst = text(v, F::kDatumVyst, 6);
  f.datumDod = text(v, F::kDatumDod, 6);
  f.datumSplat = text(v, F::kDatumSplat, 6);
  f.datumZapl = text(v, F::kDatumZapl, 6);
  f.celkemKc = castka(v, F::kCelkemKc);
  f.zaplacenoKc = castka(v, F::kZaplacenoKc);
  f.mena = storage::Orez(text(v, F::kMena, 3));
  f.kurz = storage::readReal48(v, F::kKurz);
  f.mnozstvi = storage::readU16(v, F::kMnozstvi);
  if (f.mnozstvi == 0) f.mnozstvi = 1;
  f.celkemVal = castka(v, F::kCelkemVal);
  f.zaplacenoVal = castka(v, F::kZaplacenoVal);
  f.priznak = storage::Orez(text(v, F::kPriznak, 1));
  f.castecne = storage::Orez(text(v, F::kCastecne, 1));
  f.hotove = storage::Orez(text(v, F::kHotove, 1));
  f.ucet = text(v, F::kUcet, 6);
  f.stredisko = text(v, F::kStredisko, 5);
  f.ico = text(v, F::kIco, 8);
  f.dic = text(v, F::kDic, 16);
  f.adr1 = text(v, F::kAdr1, 30);
  f.adr2 = text(v, F::kAdr2, 30);
  f.adr3 = text(v, F::kAdr3, 30);
  f.adr4 = text(v, F::kAdr4, 30);
  f.psc = text(v, F::kPsc, 5);
  f.finUrad = text(v, F::kFinUrad, 3);
  f.text = text(v, F::kText, 30);
  return f;
}

bool ZapisFakturu(const Faktura& f, storage::Bytes v) {
  const Faktura byla = CtiFakturu(v);
  bool ok = true;
  const auto t = [&](const std::string& nova, const std::string& stara, std::size_t off, std::size_t sirka) {
    if (nova != stara) ok = storage::writeShortString(v, off, sirka, nova) && ok;
  };
  const auto c = [&](Penize nova, Penize stara, std::size_t off) {
    if (nova != stara) ok = pisCastku(v, off, nova) && ok;
  };
  t(f.cislo, byla.cislo, F::kCislo, 10);
  t(f.vs, byla.vs, F::kVs, 10);
  if (f.cisloOrg != byla.cisloOrg) ok = storage::writeU16(v, F::kCisloOrg, f.cisloOrg) && ok;
  t(f.datumVyst, byla.datumVyst, F::kDatumVyst, 6);
  t(f.datumDod, byla.datumDod, F::kDatumDod, 6);
  t(f.datumSplat, byla.datumSplat, F::kDatumSplat, 6);
  t(f.datumZapl, byla.datumZapl, F::kDatumZapl, 6);
  c(f.celkemKc, byla.celkemKc, F::kCelkemKc);
  c(f.zaplacenoKc, byla.zaplacenoKc, F::kZaplacenoKc);
  t(f.mena, byla.mena, F::kMena, 3);
  if (f.kurz != byla.kurz) ok = storage::writeReal48(v, F::kKurz, f.kurz) && ok;
  c(f.celkemVal, byla.celkemVal, F::kCelkemVal);
  c(f.zaplacenoVal, byla.zaplacenoVal, F::kZaplacenoVal);
  t(f.priznak, byla.priznak, F::kPriznak, 1);
  t(f.castecne, byla.castecne, F::kCastecne, 1);
  t(f.hotove, byla.hotove, F::kHotove, 1);
  t(f.ucet, byla.ucet, F::kUcet, 6);
  t(f.stredisko, byla.stredisko, F::kStredisko, 5);
  t(f.text, byla.text, F::kText, 30);
  return ok;
}

Platba CtiPlatbu(storage::ConstBytes v) {
  Platba p;
  p.faktura = text(v, P::kFaktura, 10);
  p.datum = text(v, P::kDatum, 6);
  p.doklad = text(v, P::kDoklad, 12);
  p.castkaKc = castka(v, P::kCastkaKc);
  p.castkaVal = castka(v, P::kCastkaVal);
  p.mena = text(v, P::kMena, 3);
  p.kurz = storage::readReal48(v, P::kKurz);
  p.text = text(v, P::kText, 20);
  return p;
}

std::vector<std::uint8_t> SlozPlatbu(const Platba& p) {
  std::vector<std::uint8_t> v(P::kVelikost, 0);
  const auto cut = [](std::string s, std::size_t n) {
    if (s.size() > n) s.resize(n);
    return s;
  };
  (void)storage::writeShortString(v, P::kFaktura, 10, cut(p.faktura, 10));
  (void)storage::writeShortString(v, P::kDatum, 6, cut(p.datum, 6));
  (void)storage::writeShortString(v, P::kDoklad, 12, cut(p.doklad, 12));
  (void)pisCastku(v, P::kCastkaKc, p.castkaKc);
  (void)storage::writeShortString(v, P::kMenaKc, 3, cz("Kč "));
  (void)storage::writeReal48(v, P::kKurzKc, 1);
  if (p.kurz != 0) {
    (void)pisCastku(v, P::kCastkaVal, p.castkaVal);
    (void)storage::writeShortString(v, P::kMena, 3, cut(p.mena, 3));
    (void)storage::writeReal48(v, P::kKurz, p.kurz);
  }
  (void)storage::writeShortString(v, P::kText, 20, cut(p.text, 20));
  return v;
}

bool PlatnyKodRady(std::string_view kod) {
  if (kod.empty() || kod.size() > 4) return false;
  for (const char c : kod)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

std::string SouborRad(Registr r) { return std::string("RADY") + predpona(r) + ".dta"; }

std::string SouborFaktur(Registr r, std::string_view kod) {
  const bool prijate = !Vydane(r);
  return predpona(r) + std::string(prijate ? "D" : "") + std::string(kod) + ".dta";
}

std::string SouborPlateb(Registr r, std::string_view kod) {
  std::string p = predpona(r);
  if (Vydane(r)) p[1] = static_cast<char>(p[1] - 'A' + 'a');  // "OfU", "ZfU"
  return p + "U" + std::string(kod) + ".dta";
}

namespace {

// A record file opened to be read only exists already: opening one that does not would create it.
bool existuje(const std::string& soubor) {
  platform::FileInfo info;
  return platform::fileInfo(storage::DataCesta(soubor), info) == platform::kIoOk;
}

}  // namespace

bool RegistrZalozen(Registr r) { return existuje(SouborRad(r)); }

std::vector<RadaFaktur> RadyFaktur(Registr r) {
  std::vector<RadaFaktur> rady;
  storage::RecordFile f;
  f.BezZamku();
  if (!existuje(SouborRad(r)) || !f.OtevriSoubor(SouborRad(r), tRadaFaktur::kVelikost)) return rady;
  for (int n = 1; n <= f.pocet(); ++n) {
    if (!f.CtiVetuPrimo(n)) break;
    RadaFaktur rada{storage::Orez(text(f.veta(), tRadaFaktur::kKod, 4)), text(f.veta(), tRadaFaktur::kNazev, 30),
                    storage::Orez(text(f.veta(), tRadaFaktur::kPrvni, 10))};
    if (PlatnyKodRady(rada.kod)) rady.push_back(std::move(rada));
  }
  f.ZavriSoubor();
  return rady;
}

std::optional<Faktura> NactiFakturu(const std::string& soubor, std::int32_t zaznam) {
  storage::RecordFile f;
  f.BezZamku();
  if (zaznam < 1 || !existuje(soubor) || !f.OtevriSoubor(soubor, F::kVelikost)) return std::nullopt;
  std::optional<Faktura> faktura;
  if (zaznam <= f.pocet() && f.CtiVetuPrimo(zaznam)) faktura = CtiFakturu(f.veta());
  f.ZavriSoubor();
  return faktura;
}

std::vector<Platba> PlatbyFaktury(const std::string& soubor, std::string_view odkaz) {
  std::vector<Platba> platby;
  storage::RecordFile f;
  f.BezZamku();
  if (!existuje(soubor) || !f.OtevriSoubor(soubor, P::kVelikost)) return platby;
  const std::string hledany = storage::Orez(odkaz);
  for (int n = 1; n <= f.pocet(); ++n) {
    if (!f.CtiVetuPrimo(n)) break;
    Platba p = CtiPlatbu(f.veta());
    if (storage::Orez(p.faktura) == hledany) platby.push_back(std::move(p));
  }
  f.ZavriSoubor();
  return platby;
}

// ---------------------------------------------------------------------------------------------
// Windows

TfRadyFaktur::TfRadyFaktur(Registr r) : TfSoub("fRadyFaktur", nazevRegistru(r)), registr_(r) {}

bool TfRadyFaktur::Otevri() {
  using R = tRadaFaktur;
  const bool ok = OtevriSoub(
      {.soubor = SouborRad(registr_),
       .titulek = cz(" Řady - ") + nazevRegistru(registr_) + " ",
       .velikost = R::kVelikost,
       .formular = {10, 5, 60, 8},
       .napovedaFormulare = cz(" F2=zápis na disk  Esc=ven "),
       .titulekFormulare = cz(" Řada faktur "),
       .napovedaSeznamu = cz(" F4=přidej  Mezera=oprav  F8=zruš  Enter=vyber  Esc=konec "),
       .pole = {{.popis = cz("Řada "), .sirka = 4, .obrazek = "X", .offset = R::kKod},
                {.popis = cz("Název "), .sirka = 30, .obrazek = "X", .offset = R::kNazev},
                {.popis = cz("První číslo "), .sirka = 10, .obrazek = "X", .offset = R::kPrvni}}});
  EnterOpravuje = false;
  ZapamatujSablonu();
  return ok;
}

std::optional<RadaFaktur> TfRadyFaktur::Vyber() {
  if (!Otevri()) return std::nullopt;
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = ui::kVkEscape;
  showModal();
  std::optional<RadaFaktur> r;
  if (KoncovaKlavesa == ui::kVkReturn && Radek >= 1 && Radek <= Soubor().pocet()) {
    CtiVetu(Radek);
    RadaFaktur rada{storage::Orez(text(Veta(), tRadaFaktur::kKod, 4)), text(Veta(), tRadaFaktur::kNazev, 30),
                    storage::Orez(text(Veta(), tRadaFaktur::kPrvni, 10))};
    if (PlatnyKodRady(rada.kod)) r = std::move(rada);
    else ui::Zprava(cz("Kód řady smí mít jen číslice a velká písmena (nejvýše 4)"));
  }
  Zavri();
  return r;
}

void TfRadyFaktur::NaF4() {
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfRadyFaktur::PriMazani() { Veta() = SablonaVety; }

TfFaktury::TfFaktury(Registr r, std::string kod) : TfSoub("fFaktury", nazevRegistru(r)), registr_(r), kod_(std::move(kod)) {}

bool TfFaktury::Otevri() {
  const bool val = VCizeMene(registr_);
  std::vector<ui::PopisPole> pole = {
      {.popis = cz("Číslo "), .sirka = 10, .obrazek = "X", .offset = F::kCislo},
      {.popis = cz("Org. "), .sirka = 5, .obrazek = "#####", .ulozeni = 'W', .offset = F::kCisloOrg},
      {.popis = cz("Dat.vyst. "), .sirka = 8, .obrazek = "d", .offset = F::kDatumVyst},
      {.popis = cz("Dat.dod. "), .sirka = 8, .obrazek = "d", .offset = F::kDatumDod},
      {.popis = cz("Celkem Kč "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = F::kCelkemKc},
      {.popis = cz("Zapl. Kč "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = F::kZaplacenoKc},
  };
  if (val) {
    pole.push_back({.popis = cz("Měna "), .sirka = 3, .obrazek = "X", .offset = F::kMena});
    pole.push_back({.popis = cz("Kurz "), .sirka = 11, .obrazek = "###.#######", .ulozeni = 'R', .offset = F::kKurz});
    pole.push_back({.popis = cz("Množství "), .sirka = 5, .obrazek = "#####", .ulozeni = 'W', .offset = F::kMnozstvi});
    pole.push_back({.popis = cz("Celkem val. "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = F::kCelkemVal});
    pole.push_back({.popis = cz("Zapl. val. "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = F::kZaplacenoVal});
  }
  const std::vector<ui::PopisPole> dalsi = {
      {.popis = cz("Zaplaceno "), .sirka = 1, .obrazek = "X", .offset = F::kPriznak},
      {.popis = cz("Částečně "), .sirka = 1, .obrazek = "X", .offset = F::kCastecne},
      {.popis = cz("Var.symbol "), .sirka = 10, .obrazek = "X", .offset = F::kVs},
      {.popis = cz("Dat.splat. "), .sirka = 8, .obrazek = "d", .offset = F::kDatumSplat},
      {.popis = cz("Dat.zapl. "), .sirka = 8, .obrazek = "d", .offset = F::kDatumZapl},
      {.popis = cz("Účet "), .sirka = 6, .obrazek = "X", .offset = F::kUcet},
      {.popis = cz("Středisko "), .sirka = 5, .obrazek = "X", .offset = F::kStredisko},
      {.popis = cz("IČO "), .sirka = 8, .obrazek = "X", .offset = F::kIco},
      {.popis = cz("DIČ "), .sirka = 16, .obrazek = "X", .offset = F::kDic},
      {.popis = cz("Název "), .sirka = 30, .obrazek = "X", .offset = F::kAdr1},
      {.popis = cz("Jméno "), .sirka = 30, .obrazek = "X", .offset = F::kAdr2},
      {.popis = cz("Ulice "), .sirka = 30, .obrazek = "X", .offset = F::kAdr3},
      {.popis = cz("Město "), .sirka = 30, .obrazek = "X", .offset = F::kAdr4},
      {.popis = cz("PSČ "), .sirka = 5, .obrazek = "X", .offset = F::kPsc},
      {.popis = cz("Fin.úřad "), .sirka = 3, .obrazek = "X", .offset = F::kFinUrad},
      {.popis = cz("Text "), .sirka = 30, .obrazek = "X", .offset = F::kText},
  };
  pole.insert(pole.end(), dalsi.begin(), dalsi.end());
  const bool ok = OtevriSoub({.soubor = SouborFaktur(registr_, kod_),
                              .titulek = " " + nazevRegistru(registr_) + cz(", řada ") + kod_ + " ",
                              .velikost = F::kVelikost,
                              .formular = {2, 1, 76, 24},
                              .napovedaFormulare = cz(" F2=zápis na disk  Esc=ven "),
                              .titulekFormulare = cz(" Faktura "),
                              .napovedaSeznamu = cz(" F4=přidej  Mezera=oprav  F8=zruš  Enter=vyber  Esc=konec "),
                              .pole = std::move(pole),
                              .sloupce = val ? 10 : 6});
  EnterOpravuje = false;
  ZapamatujSablonu();
  return ok;
}

int TfFaktury::Vyber() {
  if (!Otevri()) return 0;
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = ui::kVkEscape;
  showModal();
  int zaznam = 0;
  if (KoncovaKlavesa == ui::kVkReturn && Radek >= 1 && Radek <= Soubor().pocet()) zaznam = Radek;
  Zavri();
  return zaznam;
}

void TfFaktury::Spravuj() {
  if (!Otevri()) return;
  EnterOpravuje = true;
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  showModal();
  Zavri();
}

void TfFaktury::NaF4() {
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfFaktury::PriMazani() { Veta() = SablonaVety; }

TfPlatby::TfPlatby(Registr r, std::string kod) : TfSoub("fPlatby", cz("Platby faktur")), registr_(r), kod_(std::move(kod)) {}

bool TfPlatby::Otevri() {
  const bool ok = OtevriSoub(
      {.soubor = SouborPlateb(registr_, kod_),
       .titulek = cz(" Platby faktur, řada ") + kod_ + " ",
       .velikost = P::kVelikost,
       .formular = {6, 4, 68, 12},
       .napovedaFormulare = cz(" F2=zápis na disk  Esc=ven "),
       .titulekFormulare = cz(" Platba "),
       .napovedaSeznamu = cz(" Esc=konec "),
       .pole = {{.popis = cz("Faktura "), .sirka = 10, .obrazek = "X", .offset = P::kFaktura},
                {.popis = cz("Datum "), .sirka = 8, .obrazek = "d", .offset = P::kDatum},
                {.popis = cz("Doklad "), .sirka = 12, .obrazek = "X", .offset = P::kDoklad},
                {.popis = cz("Částka Kč "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = P::kCastkaKc},
                {.popis = cz("Částka val. "), .sirka = 14, .obrazek = "##########.##-", .ulozeni = 'R', .offset = P::kCastkaVal},
                {.popis = cz("Měna "), .sirka = 3, .obrazek = "X", .offset = P::kMena},
                {.popis = cz("Kurz "), .sirka = 11, .obrazek = "###.#######", .ulozeni = 'R', .offset = P::kKurz},
                {.popis = cz("Text "), .sirka = 20, .obrazek = "X", .offset = P::kText}}});
  EnterOpravuje = false;
  ZapamatujSablonu();
  return ok;
}

void TfPlatby::Ukaz() {
  if (!Otevri()) return;
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(PocetRadku > 0 ? PocetRadku : 1);
  showModal();
  Zavri();
}

// Payments come from the cash desk and the invoicing module, never typed here.
void TfPlatby::NaF4() {}

void SpravaFaktur() {
  for (;;) {
    const int volba = ui::Vyber(25, 8, nullptr,
                                {cz(" Vydané faktury v Kč "), cz(" Vydané faktury ve valutách "),
                                 cz(" Přijaté faktury v Kč "), cz(" Přijaté faktury ve valutách ")},
                                cz(" Faktury "));
    if (volba < 1 || volba > 4) return;
    const Registr r = static_cast<Registr>(volba - 1);
    TfRadyFaktur rady(r);
    const std::optional<RadaFaktur> rada = rady.Vyber();
    if (!rada) continue;
    TfFaktury faktury(r, rada->kod);
    faktury.Spravuj();
  }
}

}  // namespace pz::invoicing
