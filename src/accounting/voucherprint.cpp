#include "accounting/voucherprint.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::accounting {

using platform::cz;
using storage::DoplnZleva;
using storage::DoplnZprava;

namespace {

constexpr int kSirka = 112;
constexpr const char* kCastka = "## ### ### ###.##-";       // 18 characters
constexpr const char* kCastkaRadku = "### ### ###.##-";     // 15, in the detail lines
constexpr const char* kCastkaCelkem = "#### ### ###.##-";   // 16, in the grand total
constexpr const char* kBezOmezeni = "000000";

// Leading zeros shown as blanks ("000000" is all blanks).
std::string bezNul(const std::string& text, std::size_t sirka) {
  std::string t = DoplnZprava(text, sirka).substr(0, sirka);
  for (char& c : t) {
    if (c != '0') break;
    c = ' ';
  }
  return t;
}

std::string dnes() {
  const platform::Date d = platform::clock().today();
  char t[16];
  std::snprintf(t, sizeof t, "%02d.%02d.%02d", d.day % 100, d.month % 100, d.year % 100);
  return t;
}

struct Soucty {
  std::int64_t md = 0, dal = 0, celkem = 0;
  void pridej(const tUcZapis& z) {
    if (z.maMD()) md += z.castka;
    if (z.maDal()) dal += z.castka;
    celkem += z.castka;
  }
};

class Sestava {
 public:
  Sestava(const ParametryTisku& p, bool vyber) : p_(p), vyber_(vyber) {
    delka_ = std::max(10, storage::settings().pageLength);
  }

  void radek(const std::string& text) {
    if (radku_ >= delka_ || strana_ == 0) hlavicka();
    radky.push_back(text);
    ++radku_;
  }
  void novaStrana() { radku_ = delka_; }

  std::vector<std::string> radky;

 private:
  void hlavicka() {
    ++strana_;
    radky.push_back(strana_ > 1 ? std::string(1, reports::kFormFeed) : std::string());
    radky.push_back("");
    const char* znacka = p_.seznam ? "    [SEZNAM]     " : vyber_ ? "    [VÝBĚR]      " : "                 ";
    char cislo[8];
    std::snprintf(cislo, sizeof cislo, "%4d", strana_);
    radky.push_back(DoplnZprava(storage::settings().firmName, 24).substr(0, 24) + std::string(5, ' ') +
                    cz("ÚČETNÍ PŘEDPISY   ") + cz(znacka) + std::string(6, ' ') + cz("OBDOBÍ: ") + p_.obdobi + "/" +
                    p_.rok + "  DATUM: " + dnes() + "  List:" + cislo);
    radky.push_back("");
    radky.push_back(p_.seznam ? cz("ČÍS.ÚP ČŘ  PŘ AG")
                              : cz("ČÍS.ÚP ČŘ TEXT                             UČ-MD  ST-MD    UČ-DAL ST-DA           "
                                   "ČÁSTKA   DATUM  PÁR. ÚDAJ AG"));
    radky.push_back(std::string(110, '='));
    radku_ = 6;
    if (vyber_) {
      radky.push_back(cz("VÝBĚR:  OD ČÍS. ÚP: ") + (p_.od == kBezOmezeni ? cz("OD ZAČÁTKU") : p_.od) +
                      cz("      DO ČÍS. ÚP: ") + (p_.doCisla == kBezOmezeni ? cz("DO KONCE") : p_.doCisla) +
                      "      AGENDA: " + (storage::Orez(p_.agenda).empty() ? cz("VŠECHNO") : p_.agenda));
      ++radku_;
    }
  }

  const ParametryTisku& p_;
  bool vyber_;
  int delka_ = 64, strana_ = 0, radku_ = 0;
};

std::string soucetPredpisu(const std::string& up, int pocet, const std::string& agenda, const Soucty& s, bool seznam) {
  char t[8];
  std::snprintf(t, sizeof t, "%2d", pocet % 100);
  const std::string zacatek = seznam ? bezNul(up, 6) + " " + t + "    " + DoplnZprava(agenda, 2) : std::string(16, ' ');
  return zacatek + cz("  MÁ DÁTI:") + ui::FormatC(kCastka, s.md) + " DAL:" + ui::FormatC(kCastka, s.dal) +
         " CELK.:" + ui::FormatC(kCastka, s.celkem);
}

}  // namespace

std::string MezUP(const std::string& odpoved) {
  std::string m = DoplnZprava(storage::VelkaPismena(odpoved), 6).substr(0, 6);
  while (!m.empty() && m.back() == ' ') m = "0" + m.substr(0, 5);
  return m;
}

std::vector<std::string> RadkyPredpisu(const std::vector<tUcZapis>& zapisy, const ParametryTisku& p) {
  const bool vsechnyAgendy = storage::Orez(p.agenda).empty();
  const bool vyber = p.od != kBezOmezeni || p.doCisla != kBezOmezeni || !vsechnyAgendy;
  Sestava s(p, vyber);
  Soucty predpis, celkem;
  std::string up, agenda;
  int radkuPredpisu = 0, vytisteno = 0;
  for (const tUcZapis& z : zapisy) {
    const std::string c = DoplnZprava(z.cisloUP, 6);
    const std::string a = DoplnZprava(z.agenda, 2);
    if (!vsechnyAgendy && a != p.agenda) continue;
    if (p.od != kBezOmezeni && c < p.od) continue;
    if (p.doCisla != kBezOmezeni && c > p.doCisla) continue;
    if (vytisteno > 0 && (c != up || a != agenda)) {
      s.radek(soucetPredpisu(up, radkuPredpisu, agenda, predpis, p.seznam));
      if (p.strankovat) s.novaStrana();
      predpis = {};
      radkuPredpisu = 0;
    }
    up = c;
    agenda = a;
    if (!p.seznam) {
      s.radek(bezNul(c, 6) + " " + bezNul(z.radek, 2) + " " + DoplnZprava(z.text, 30) + "   " + bezNul(z.ucetMD, 6) +
              " " + bezNul(z.strMD, 5) + "    " + bezNul(z.ucetDal, 6) + " " + bezNul(z.strDal, 5) + "  " +
              ui::FormatC(kCastkaRadku, z.castka) + "  " + DoplnZprava(z.datum, 6) + " " + DoplnZprava(z.parUdaj, 10) +
              " " + a);
    }
    predpis.pridej(z);
    celkem.pridej(z);
    ++radkuPredpisu;
    ++vytisteno;
  }
  if (vytisteno == 0) {
    s.radek("*********** PRO ZADANÝ VÝBĚR NENALEZENY ZÁZNAMY ***************");
    s.radky.back() = cz(s.radky.back());
  } else {
    s.radek(soucetPredpisu(up, radkuPredpisu, agenda, predpis, p.seznam));
    s.radek(cz("CELKEM VÝBĚR:  MÁ DATI:") + ui::FormatC(kCastkaCelkem, celkem.md) + " DAL:" +
            ui::FormatC(kCastkaCelkem, celkem.dal) + " CELK.:" + ui::FormatC(kCastkaCelkem, celkem.celkem) +
            cz("   Celk. počet řádků: ") + std::to_string(vytisteno));
  }
  if (p.schvaleni) {
    const std::string dne = "Dne:                                          Podpis: ";
    for (const char* r :
         {"U finanční operace proběhla finanční kontrola ve smyslu Zákona č. 320/2001 Sb. ve znění pozdějších",
          "předpisů a nebyly shledány důvody pro její pozastavení. (správce rozpočtu)", "", "", "", "=dne", "",
          "Vykazované dodávky - práce a služby byly řdně provedeny nebo převzaty. Věcná správnost",
          "účetního dokladu přezkoumána a uznána. (příkazce operace)", "S provedením úhrady souhlasí: ", "", "=dne", "",
          "", "", "Formální a účetní správnost dokladu je v souladu se Zákonem č. 563/191 Sb. v platném znění.",
          "Doklad byl řádně přezkoušen. (hlavní účetní)", "", "=dne", "", ""})
      s.radek(std::string(r) == "=dne" ? dne : cz(r));
  }
  return std::move(s.radky);
}

void TiskPredpisu(const std::string& davka) {
  const std::string znacka = AgendaSouboru(davka);
  std::vector<tUcZapis> zapisy;
  if (!CtiDavku(davka, zapisy)) return;
  if (zapisy.empty()) {
    ui::Zprava(cz("Zásobník účetních předpisů agendy ") + znacka + cz(" je prázdný -> není co tisknout"));
    return;
  }
  std::string agenda = znacka;
  if (agenda == "UP") agenda = "UC";
  const bool cislo = !agenda.empty() && agenda.find_first_not_of("0123456789") == std::string::npos;
  if (agenda == "XX" || agenda == "OP" || cislo) agenda = "  ";
  const std::string koren = storage::DataCesta("");
  std::string rok = storage::CtiJobV(koren, "UCROK");
  if (rok.empty()) rok = "??";
  const std::string obdobi = storage::CtiJobV(koren, "UCDAT");
  if (!ui::Dotazy(10, 5, {},
                  {cz("          Od čísla účetního předpisu"), kBezOmezeni, cz("          Do čísla účetního předpisu"),
                   kBezOmezeni, cz("          Agenda nebo mezera=všechno"), DoplnZprava(agenda, 2),
                   cz("Tisk pouze seznamu účetních předpisů"), "N", cz("            Rok pro hlavičku sestavy"), rok,
                   cz("         Období pro hlavičku sestavy"), obdobi, cz("       Stránkovat při změně čísla ÚP"), "N"},
                  cz(" Zadejte parametry pro tisk")))
    return;
  const auto& o = ui::vysledekDialogu().odpovedi;
  auto odpoved = [&](std::size_t i) { return i < o.size() ? o[i] : std::string(); };
  ParametryTisku p;
  p.od = MezUP(odpoved(0));
  p.doCisla = MezUP(odpoved(1));
  p.agenda = DoplnZprava(storage::VelkaPismena(odpoved(2)), 2).substr(0, 2);
  p.seznam = storage::VelkaPismena(storage::Orez(odpoved(3))) != "N";
  p.rok = storage::Orez(odpoved(4));
  p.obdobi = storage::Orez(odpoved(5));
  p.strankovat = storage::VelkaPismena(storage::Orez(odpoved(6))) != "N";
  p.schvaleni = storage::Orez(storage::CtiPar("DF.par", "PREDKONTACEprisp")) == "Ano";

  // The agenda names the report file: only letters and digits go into the name.
  const bool pismena = p.agenda.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string::npos;
  const std::string jmeno = (pismena ? p.agenda : std::string("UC")) + "22";
  if (!reports::OtevriSestavu(jmeno, kSirka)) return;
  for (const std::string& r : RadkyPredpisu(zapisy, p))
    if (!reports::PisRadek(r)) break;
  if (reports::ZavriSestavu()) ui::UkazSestavu(jmeno);
}

}  // namespace pz::accounting
