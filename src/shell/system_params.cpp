#include "shell/system_params.h"

#include <algorithm>

#include "platform/text.h"
#include "reports/fontsizes.h"
#include "shell/settings_loader.h"
#include "storage/czech.h"
#include "storage/filehelpers.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::shell {

using namespace storage;
using platform::cz;

namespace {

constexpr const char* kUcParam = "UCPARAM.DTA";
constexpr const char* kOkna2 = "par\\okna2.par";
constexpr const char* kSysPar = "sys.par";

enum class Sklad { Job, Par, Zadny };
enum class Zarovnani { Vlevo, Vpravo };

struct PopisRadku {
  const char* popis;  // the label (row 3's is built from rows 1 and 2)
  int sirka;
  Sklad sklad;
  const char* soubor;  // parameter file of Sklad::Par; nullptr with Kontr56: the data root's
  const char* klic;
  Zarovnani zarovnani = Zarovnani::Vlevo;
};

const PopisRadku kRadky[TfParSys::kRadku] = {
    {"                         Měna ", 4, Sklad::Job, nullptr, "MENA"},
    {"Přepočítávat na měnu          ", 3, Sklad::Par, kUcParam, "MenaEU"},
    {"", 14, Sklad::Par, kUcParam, "KursEU"},
    {"         DPH základní sazba % ", 4, Sklad::Job, nullptr, "DAN2"},
    {"          DPH snížená sazba % ", 4, Sklad::Job, nullptr, "DAN1"},
    {"    DPH druhá snížená sazba % ", 4, Sklad::Job, nullptr, "DAN3"},
    {"          Délka stránky řádků ", 3, Sklad::Job, nullptr, "LIMRAD"},
    {"           Levý okraj stránky ", 3, Sklad::Job, nullptr, "TAB"},
    {"          Horní okraj stránky ", 2, Sklad::Job, nullptr, "TOPLIST"},
    {"     Výpočet DPH (nahoru nic) ", 4, Sklad::Job, nullptr, "DAN_DOLU"},
    {"                          LPT ", 1, Sklad::Job, nullptr, "LPT"},
    {" Odstránkování na konci tisku ", 1, Sklad::Job, nullptr, "F10FF"},
    {">  Úprava vel. fontu pro tisk ", 4, Sklad::Zadny, nullptr, ""},
    {"> Tiskárna pro DOSovské tisky ", 8, Sklad::Job, nullptr, "TISKARNA"},
    {"Diakritika LPT \"K\",\"L\",\" \",\"N\"", 1, Sklad::Job, nullptr, "DIAKTISK"},
    {"DPH účtovat dle údajů o firmě ", 1, Sklad::Job, nullptr, "FMA343"},
    {"Výška písmen                  ", 3, Sklad::Par, kOkna2, "Vyska pismen"},
    {"Šířka písmen                  ", 3, Sklad::Par, kOkna2, "Sirka pismen"},
    {"Tisky začínat novou stránkou  ", 1, Sklad::Job, nullptr, "NovyList"},
    {"Kontr. stř. jen u úč.tř. 5 a 6", 1, Sklad::Par, nullptr, "Kontr56"},
    {"Účetní rok pro kontrolu       ", 2, Sklad::Par, kUcParam, "UcRok", Zarovnani::Vpravo},
    {"Účetní období pro kontrolu    ", 2, Sklad::Par, kUcParam, "UcObd", Zarovnani::Vpravo},
    {"Odstranit problém tisků       ", 1, Sklad::Par, kOkna2, "CencTisk"},
    {"Vybrana tiskárna pro TAMBRU   ", 1, Sklad::Par, kSysPar, "TiskDefault"},
    {"Limit hotovosti Kč (0 = bez)  ", 10, Sklad::Par, kSysPar, "LimitHotovosti"},
};

// The order in which the rows reach their stores.
constexpr int kPoradiUkladani[] = {1, 2, 3, 6, 5, 4, 11, 7, 8, 9, 12, 10, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};

std::string souborRadku(const PopisRadku& r) { return r.soubor ? std::string(r.soubor) : DataCesta(kUcParam); }

std::string cti(const PopisRadku& r) {
  switch (r.sklad) {
    case Sklad::Job: return CtiJob(r.klic);
    case Sklad::Par: return CtiPar(souborRadku(r), r.klic);
    case Sklad::Zadny: break;
  }
  return {};
}

void pis(const PopisRadku& r, const std::string& hodnota) {
  if (r.sklad == Sklad::Job) PisJob(r.klic, hodnota);
  else if (r.sklad == Sklad::Par) PisPar(souborRadku(r), r.klic, hodnota);
}

std::string zarovnej(const std::string& text, size_t sirka, Zarovnani z) {
  if (z == Zarovnani::Vlevo) return DoplnZprava(OrezZleva(text), sirka).substr(0, sirka);
  const std::string t = DoplnZleva(OrezZprava(text), sirka);
  return t.substr(t.size() - sirka);
}

}  // namespace

TfParSys::TfParSys() : TfOkno("fParSys") {}

void TfParSys::Otevri() {
  NastavPocetRadku(kRadku);
  ulozene_.assign(kRadku + 1, std::string());
  std::vector<std::string> hodnoty(kRadku + 1);
  for (int i = 1; i <= kRadku; ++i) {
    const PopisRadku& r = kRadky[i - 1];
    ulozene_[static_cast<size_t>(i)] = cti(r);
    hodnoty[static_cast<size_t>(i)] = zarovnej(ulozene_[static_cast<size_t>(i)], static_cast<size_t>(r.sirka), r.zarovnani);
  }
  if (hodnoty[17] == "   ") hodnoty[17] = " 15";
  if (hodnoty[18] == "   ") hodnoty[18] = "  8";
  hodnoty[23] = VelkaPismena(hodnoty[23]);
  hodnoty[13] = "    ";
  hodnoty[24] = " ";
  for (int i = 1; i <= kRadku; ++i) {
    std::string popis = cz(kRadky[i - 1].popis);
    if (i == 3) popis = ("Kurs " + hodnoty[2] + " k " + hodnoty[1] + std::string(15, ' ')).substr(0, 30);
    DeklarujParametr(i, popis, 2, "", 0, 0, hodnoty[static_cast<size_t>(i)], i == 13 ? " " : "X", i);
    Radek(i).stav = (i == 17 || i == 18) ? -1 : 1;
  }
  ZapisZaznam();
  OtevriOkno(cz(" Parametry systému "), cz(" F2=zápis parametrů  >Enter-Výběr varianty  ESC=ven "), 0, 15790320, 22,
             100, 2, 50);
  dokola = false;
}

void TfParSys::Spust() {
  if (isShowing()) return;
  Otevri();
  showModal();
  UlozParametry();
}

void TfParSys::popisKurzu() {
  if (ui::Label* l = PopisPro(2)) l->text = cz("Přepočítávat na měnu");
  if (ui::Label* l = PopisPro(3)) l->text = "Kurs " + TextPole(2) + " k " + TextPole(1);
}

void TfParSys::ZmenaParametru(int i, std::string& text) {
  TfOkno::ZmenaParametru(i, text);
  if (i == 1 || i == 2) {
    if (ui::Edit* e = PolePro(i)) e->setValue(text);
    popisKurzu();
  }
  if (i == 10 && !OrezZprava(text).empty()) text = "DOLU";
}

void TfParSys::EnterParametru(int i, std::string& text) {
  if (i == 13) {
    reports::UpravFontyTisku();
  } else if (i == 14) {
    std::vector<std::string> soubory;
    const int n = SeznamSouboru(ProgCesta("\\2\\*.dst"), soubory, 13, 20);
    if (n > 0) {
      std::vector<std::string> polozky(20);
      for (int k = 0; k < n && k < 20; ++k) polozky[static_cast<size_t>(k)] = soubory[static_cast<size_t>(k)].substr(0, soubory[static_cast<size_t>(k)].find('.'));
      const int volba = ui::Vyber(10, 10, nullptr, polozky, cz("Typ tiskárny"));
      // An empty item names no printer: the row keeps its text.
      if (volba >= 1 && volba <= n) text = polozky[static_cast<size_t>(volba - 1)];
    }
  }
  ZmenaParametru(i, text);
}

void TfParSys::NapovedaParametru(int) { ui::Napoveda("\\2\\serv", "Parametry"); }

void TfParSys::UlozParametry() {
  TfOkno::UlozParametry();
  if (ulozene_.size() != static_cast<size_t>(kRadku + 1)) return;
  GlobalSettings& s = settings();
  for (const int i : kPoradiUkladani) {
    const PopisRadku& r = kRadky[i - 1];
    std::string v = ZeZaznamu(i);
    // A row whose text differs from what was read only by the blanks of its field width is
    // written as it was read, so that a value nobody touched keeps its stored form.
    const std::string& puvodni = ulozene_[static_cast<size_t>(i)];
    // A changed value loses the blanks that only fill its field.
    v = Orez(v) == Orez(puvodni) ? puvodni : OrezZprava(v);
    switch (i) {
      case 7: if (ui::TextNaCele(v) <= 0) v = "64 "; break;
      case 16: v = OrezZleva(v).substr(0, 1); if (v.empty()) v = " "; break;
      case 17: if (ui::TextNaCele(v) < 15) v = " 15"; break;
      case 18: if (ui::TextNaCele(v) < 6) v = "  6"; break;
      case 19:
      case 20: v = VelkaPismena(v); break;
      case 24: v.clear(); break;
      default: break;
    }
    pis(r, v);
    switch (i) {
      case 1: {
        const std::string m = v.substr(0, 3);
        s.homeCurrency = DoplnZprava(OrezZprava(m).empty() ? "CZK" : m, 3);
        break;
      }
      case 2: s.conversionCurrency = v.substr(0, 3); break;
      case 3: s.conversionRate = ui::TextNaReal(v); break;
      case 4: s.vatBasic = ui::TextNaCele(v); break;
      case 5: s.vatReduced = ui::TextNaCele(v); break;
      case 6: s.vatReduced2 = ui::TextNaCele(v); break;
      case 7: s.pageLength = ui::TextNaCele(v); break;
      case 8: s.leftMargin = ui::TextNaCele(v); break;
      case 19: s.newPage = v == "A"; break;
      case 21: s.controlYear = BezMezer(v).substr(0, 2); break;
      case 22: s.controlPeriod = BezMezer(v).substr(0, 2); break;
      case 23: s.printerToggle = v == "A"; break;
      case 25: s.cashPaymentLimit = LimitHotovostiZTextu(v); break;
      default: break;
    }
  }
  // The texts and coefficients follow the rates at once, so that VAT computed from either agrees.
  OdvodSazbyDph();
  ulozene_.clear();
}

}  // namespace pz::shell
