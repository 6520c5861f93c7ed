#include "registers/company.h"

#include "accounting/accounts.h"
#include "platform/text.h"
#include "registers/banks.h"
#include "registers/checks.h"
#include "registers/keys.h"
#include "registers/texts.h"
#include "storage/layout.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::registers {

using platform::cz;

namespace {

constexpr int kPoleNazevBanky = 12, kPoleKonto = 13, kPrvniUcet = 16, kBankovniUcet = 19, kPoleMeny = 24;
constexpr int kSloupecMeny = 40;    // the currency beside the bank name
constexpr int kSloupecNazvu = 26;   // account names beside the tax and bank accounts
constexpr std::size_t kSirkaNazvu = 30;

// The layout steps of the file, oldest first.
constexpr const char* kPopisy[] = {"dlib\\fma2004.pol", "dlib\\fma2014.pol", "dlib\\fma.pol"};

bool jeUcet(int i) { return i >= kPrvniUcet && i <= kBankovniUcet; }

VlastniFirma& firma() {
  static VlastniFirma f;
  return f;
}

// F1 topics by field number; an empty topic opens the text at its start.
std::string temaNapovedy(int i, bool fj) {
  static const char* const temata[] = {
      "IČO", "Daňové ident. číslo", "Adresa 1", "Adresa 2", "Adresa 3", "Adresa 4", "PSČ", "Telefon", "Fax",
      "E-mail", "Název peněžního ústavu", "Bankovní konto", "Kód banky", "Specifický symbol"};
  if (i >= 1 && i <= 14) return cz(temata[i - 1]);
  if (jeUcet(i)) {
    static const char* const ucty[] = {"Daňový účet zákl", "Daňový účet šníž", "Daňový účet druhá sníž",
                                       "Bankovní účet"};
    // The help text of the cash journal names its topics so, spelling included.
    static const char* const klice[] = {"Daňový klíč zákl", "Daňovč klíč sníž", "Daňovč klíč druhá sníž",
                                        "Bankovní klíč"};
    return cz((fj ? klice : ucty)[i - kPrvniUcet]);
  }
  if (i == 20) return cz("Fakturant");
  if (i == 21) return cz("Způsob úhrady");
  return {};
}

}  // namespace

std::string SouborFirmy(const std::string& uzivatel) { return storage::DataCesta("fmw" + uzivatel + ".dta"); }

bool PlatceDph(storage::ConstBytes veta) {
  for (std::size_t offset : {tFirma::kDanUcet1, tFirma::kDanUcet2}) {
    if (offset >= veta.size()) continue;
    if (ui::TextNaCele(storage::readShortString(veta, offset, 6)) != 0) return true;
  }
  return false;
}

const VlastniFirma& Firma() { return firma(); }

void NastavFirmu(storage::ConstBytes veta) {
  VlastniFirma& f = firma();
  f.veta.assign(tFirma::kVelikost, 0);
  for (std::size_t i = 0; i < f.veta.size() && i < veta.size(); ++i) f.veta[i] = veta.at(i);
  f.platceDph = PlatceDph(f.veta);
  storage::settings().ownCompanyAccounts = f.platceDph;
}

TfFMA::TfFMA() : TfSoub("fFMA", cz(" Údaje o vlastní firmě ")) {}
TfFMA::~TfFMA() = default;

bool TfFMA::Nastav() {
  const std::string uzivatel = storage::settings().user;
  const std::string cesta = SouborFirmy(uzivatel);
  if (storage::VelikostSouboru(cesta) >= 2) {
    for (std::size_t k = 0; k + 1 < std::size(kPopisy); ++k)
      storage::PrevedSoubor(cesta, cesta, storage::ProgCesta(kPopisy[k]), storage::ProgCesta(kPopisy[k + 1]));
  }

  const auto& s = storage::settings();
  const bool fj = s.cashJournal;
  const std::string ucet = fj ? cz(">Daň. klíč ") : cz(">Daň. účet ");
  const std::string popisy[tFirma::kPoli] = {
      cz(" I Č O  firmy  "), cz(" D I Č         "), cz(" Adr1 - název  "), cz(">Adr2 - jméno  "),
      cz(" Adr3 - ulice  "), cz(" Adr4 - město  "), cz(" P S Č         "), cz(" Adr5 - stát   "),
      cz(" Telefon       "), cz(" F a x         "), cz(" E-mail        "), cz(">Název banky   "),
      cz(" Číslo konta   "), cz(" Kód banky     "), cz(" SWIFT kód     "), ucet + s.vatBasicText + "  ",
      ucet + s.vatReducedText + "  ", ucet + s.vatReduced2Text + "  ",
      fj ? cz(">Bankovní klíč ") : cz(">Bankovní účet "), cz(" Fakturant     "), cz(">Zp.úhrady fak."),
      cz(" Registrace    "), cz(" IBAN          "), cz(" Pozn.1        "), cz(" Pozn.2        ")};
  ui::RozvrzeniSeznamu r{.soubor = "fmw" + uzivatel + ".dta",
                         .titulek = cz(" Údaje o vlastní firmě "),
                         .velikost = tFirma::kVelikost,
                         .formular = {2, 1, 78, 28},
                         .napovedaFormulare = cz(" F2=zápis na disk  >Enter  ESC=ven "),
                         .titulekFormulare = cz(" Údaje o vlastní firmě "),
                         .napovedaSeznamu = cz(" Enter=Výběr  Mezera=Oprava "),
                         .sloupce = 0};
  for (int i = 1; i <= tFirma::kPoli; ++i) {
    ui::PopisPole p{.popis = popisy[i - 1], .sirka = static_cast<int>(tFirma::kSirky[static_cast<std::size_t>(i - 1)]),
                    .obrazek = "X"};
    if (i == 14) p.obrazek = "P";
    if (jeUcet(i)) p.obrazek = fj ? " " : "L";
    if (i == kPoleNazevBanky) {
      p.bocniText = "CZK";
      p.bocniSloupec = kSloupecMeny;
    } else if (jeUcet(i)) {
      p.bocniText = std::string(fj ? kSirkaNazvuKlice : kSirkaNazvu, ' ');
      p.bocniSloupec = kSloupecNazvu;
    }
    r.pole.push_back(std::move(p));
  }
  const bool ok = OtevriSoub(r);
  // Taken from the own bank account chosen at the bank name; not typed.
  Pole(kPoleMeny).stav = 0;
  ZapamatujSablonu();
  return ok;
}

bool TfFMA::Uprav() {
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  if (Soubor().pocet() < 1) {
    // A new installation: the form starts from blanks and F2 makes them record 1.
    Veta() = SablonaVety;
    TfSoub::NaF4();
    return Soubor().pocet() >= 1;
  }
  JdiNa(1);
  Zmeneno = false;
  Oprav();
  return Zmeneno;
}

bool TfFMA::UvodPokladny() {
  const bool ok = Nastav();
  if (ok) {
    Uprav();
    Soubor().ObnovSoubor();
    if (Soubor().pocet() >= 1 && CtiVetuPrimo(1)) NastavFirmu(Veta());
    else NastavFirmu(SablonaVety);
  }
  Zavri();
  return ok;
}

void TfFMA::PredFormularem() {
  for (int i = kPrvniUcet; i <= kBankovniUcet; ++i) ukazNazevUctu(i);
  // The currency of the own bank account, as it was taken with the account's data.
  const std::string mena = storage::Orez(Pole(kPoleMeny).text);
  Pole(kPoleNazevBanky).bocniText = mena.empty() ? "CZK" : mena.substr(0, 3);
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

void TfFMA::ukazNazevUctu(int i) {
  if (storage::settings().cashJournal) {
    Pole(i).bocniText = NazevKlice(CisloKlice(Pole(i).text));
    return;
  }
  std::string nazev = accounting::NazevUctu(Pole(i).text);
  if (nazev.empty() || nazev[0] == ' ') nazev = std::string(kSirkaNazvu, ' ');
  Pole(i).bocniText = nazev;
}

void TfFMA::ZmenaPole(int i) {
  if (i == kPoleKonto && !storage::Orez(Pole(i).text).empty()) {
    std::string konto = Pole(i).text;
    if (KontrolaKonta(konto)) Pole(i).text = konto;
    else ui::Zprava(cz("Chybný účet"));  // the number is kept as typed
  } else if (jeUcet(i) && !storage::settings().cashJournal) {
    std::string ucet = Pole(i).text;
    if (ucet != "000000") {
      Pole(i).chyba = accounting::KontrolaUctu(ucet);
      Pole(i).text = ucet;
    }
    ukazNazevUctu(i);
  } else if (jeUcet(i)) {
    // A cash-book key 1 to 255 is shown as its number with its name; anything else stays as typed.
    if (const int n = CisloKlice(Pole(i).text); n > 0) Pole(i).text = ui::FormatPlainE("###", n);
    ukazNazevUctu(i);
  }
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

void TfFMA::EnterPole(int i) {
  ui::TfFormular* f = AktivniFormular();
  if (f) f->Precti();
  if (jeUcet(i) && !storage::settings().cashJournal) {
    std::string ucet = Pole(i).text;
    accounting::VyberUctu(ucet);
    Pole(i).text = ucet;
    ukazNazevUctu(i);
  } else if (jeUcet(i)) {
    if (const int n = VyberKlic(); n > 0) Pole(i).text = ui::FormatPlainE("###", n);
    ukazNazevUctu(i);
  } else if (i == 4) {
    const std::string text = Texty().Vyber("provozy.dta", "Provoz");
    if (!text.empty()) Pole(4).text = text;
  } else if (i == kPoleNazevBanky) {
    TfBankKody& ucty = BankovniUcty();
    if (ucty.Vyber() > 0) {
      // The chosen account fills the bank connection at once.
      const auto& v = ucty.Vybrana;
      const auto t = [&v](std::size_t offset, std::size_t sirka) { return storage::readShortString(v, offset, sirka); };
      using U = tBankovniUcet;
      NastavText(kPoleNazevBanky, t(U::kNazev, 20));
      NastavText(kPoleKonto, t(U::kKonto, 19));
      NastavText(14, t(U::kKod, 4));
      NastavText(15, t(U::kSwift, 15));
      NastavText(kBankovniUcet, t(U::kUcet, 6));
      NastavText(23, t(U::kIban, 30));
      const std::string mena = t(U::kMena, 3);
      NastavText(kPoleMeny, storage::NaSirku(mena, 50));
      Pole(kPoleNazevBanky).bocniText = mena;
      ukazNazevUctu(kBankovniUcet);
      if (f) {
        f->Ukaz();
        f->setFocus(f->PolePro(kPrvniUcet));
      }
      return;
    }
  }
  // Still typed: field 21, the payment methods list, comes with invoicing.
  if (f) f->Ukaz();
}

void TfFMA::F1Pole(int i) {
  const bool fj = storage::settings().cashJournal;
  ui::Napoveda(fj ? "\\fj\\fma" : "fma", temaNapovedy(i, fj));
}

}  // namespace pz::registers
