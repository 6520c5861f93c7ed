#include "accounting/vatlines.h"

#include "platform/text.h"
#include "storage/fields.h"
#include "storage/roots.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::accounting {

using platform::cz;

namespace {

TfCiDPH* g_radky = nullptr;

std::vector<std::string> tabulka(std::initializer_list<const char*> radky) {
  std::vector<std::string> t;
  for (const char* r : radky) t.push_back(cz(r));
  return t;
}

// The help of every line chooser: what the mark is for.
void pomoc(int) {
  ui::Tabule(3, 7, cz(" Označení pro DPH "),
             {cz(" Označení pro DPH slouží ke správnému nasměrování výdajového dokladu do výkazu DPH."),
              cz(" Do označení se zapisuje číslo řádku pro základní sazbu z výkazu DPH ")});
}

std::string vyber(const std::vector<std::string>& radky, const char* titul, bool celyRadek) {
  const int n = ui::Vyber(30, 14, pomoc, radky, cz(titul));
  if (n < 1 || n > static_cast<int>(radky.size())) return "   ";
  const std::string& r = radky[static_cast<std::size_t>(n - 1)];
  return ui::FormatPlainE("@@@", n) + (celyRadek ? r : r.substr(0, 3));
}

}  // namespace

const std::vector<std::string>& RadkyVstup() {
  static const std::vector<std::string> t = [] {
    auto v = tabulka({"040,041 odpočet z přij. zdan. plnění od plátců",
                      "042     odpočet z dovozu zboží, kdy je správcem celní úřad",
                      "043,044 a 003,004 odpočet při pořízení zboží z EU",
                      "043,044 a 005,006 odpočet při poskytnutí sužby osobou z EU",
                      "043,044 a 007,008 odpočet při dovozu zboží",
                      "043,044 a 009     odpočet při pořízení nového dopr. prostředku od osoby neregistrované EU",
                      "043,044 a 010,011 režim přenesení daňové povinnosti §92a",
                      "043,044 a 012,013 ostatní zdanitelná plnění §108",
                      "045     korekce odpočtu daně ",
                      "046     odpočet daně celkem",
                      "047     hodnota pořízeného majetku vymezeného §4 odst.3 písm. d) a e)",
                      "999     nepatří do výkazu DPH",
                      "- DPH při krácení odpočtu : "});
    // The same lines again under a reduced deduction.
    for (std::size_t k = 0; k < 6; ++k) v.push_back(v[k]);
    return v;
  }();
  return t;
}

const std::vector<std::string>& RadkyVystup() {
  static const std::vector<std::string> t = tabulka(
      {"001,002 Uskut.zdanit.plnění tuzemsko",
       "001,002 a 051 Uskut.zdanit.plnění která nezapoč.do koeficientu s nárokem na odpočet (např.prodej IM)", "", "",
       ""});
  return t;
}

const std::vector<std::string>& RadkyNula() {
  static const std::vector<std::string> t =
      tabulka({"020 Dodání zboží do jiného členského státu",
               "021 Poskytnutí služeb s místem plnění mino tuzemsko os. reg. v jiném čl. státě",
               "022 Vývoz zboží(66)",
               "023 Dodání nového dopr.prostř. osobě nereg. v jiném čl. státě",
               "024 Vybraná plnění (110b odst.2)",
               "025 Režim přenesené daň.povinnosti-dod.zboží nebo poskyt.služeb",
               "026 Ostatní uskutečněná zd.plnění s nárokem na odpočet daně",
               "050 Plnění osvobozená od daně bez nároku na odpočet daně",
               "051 Hodnota plnění nezapočítávaných do výpočtu koeficientu",
               "B51 Plnění nezapoč.do výpočtu koeficientu bez nároku na odpočet daně",
               "999 Nepatří do hlášení DPH"});
  return t;
}

const std::vector<std::string>& RadkyEU() {
  static const std::vector<std::string> t = [] {
    auto v = tabulka({"020 Dodání zboží do jiného členského státu",
                      "001 Dodání zboží do EU neplátci DPH,tj.se základní sazbou DPH",
                      "002 Dodání zboží do EU neplátci DPH,tj.se sníženou sazbou DPH",
                      "021 Poskytnutí služeb s místem plnění mino tuzemsko os. reg. v jiném čl. státě",
                      "022 Vývoz zboží"});
    for (std::size_t k = 3; k < 11; ++k) v.push_back(RadkyNula()[k]);
    return v;
  }();
  return t;
}

std::string VyberRadekVstup(const std::string&) { return vyber(RadkyVstup(), " Označení pro výkaz DPH - EU ", true); }
std::string VyberRadekVystup(const std::string&) {
  return vyber(RadkyVystup(), " Označení pro výkaz DPH - EU (daň na výstupu pro základní a sníženou sazbu)", true);
}
std::string VyberRadekNula(const std::string&) {
  return vyber(RadkyNula(), " Označení pro výkaz DPH - EU (daň na výstupu-řádek výkazu pro sazbu 0)", false);
}
std::string VyberRadekEU(const std::string&) {
  return vyber(RadkyEU(), " Označení pro výkaz DPH - EU (daň na výstupu)", false);
}

// ---------------------------------------------------------------------------------------------
// The register of lines

TfCiDPH::TfCiDPH() : TfSoub("fCiDPH", cz("Řádky výkazu DPH")) { g_radky = this; }
TfCiDPH::~TfCiDPH() {
  if (g_radky == this) g_radky = nullptr;
}
TfCiDPH& RadkyDPH() { return ui::PosledniOkno(g_radky); }

bool TfCiDPH::NastavRadkyDPH() {
  const bool ok = OtevriSoub({.soubor = "=" + storage::ProgCesta("\\CI\\CiDPH.dta"),
                              .titulek = cz("Řádky výkazu DPH"),
                              .velikost = radekDph::kVelikost,
                              .formular = {2, 4, 80, 9},
                              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
                              .titulekFormulare = cz(" Řádky výkazu DPH "),
                              .napovedaSeznamu = cz(" F1=Help Mezera=Oprav záznam  Esc=Konec "),
                              .pole = {{cz("řádek "), 3, "P"}, {cz("stín  "), 3, " "}, {cz("název "), 73, " "}},
                              .sloupce = 0});
  Sloupce = {{"   ", 3, false}};
  for (int i = 1; i <= PocetPoli(); ++i)
    Sloupce.push_back({TitulekSloupce(Pole(i).popis, Pole(i).sirka), Pole(i).sirka, false});
  ZapamatujSablonu();
  return ok;
}

void TfCiDPH::NaplnSloupce() {
  if (Bunky.size() < 2) return;
  Bunky[1] = ui::FormatPlainE("###", Soubor().posledni());
  for (int i = 1; i <= PocetPoli() && static_cast<std::size_t>(i) + 1 < Bunky.size(); ++i)
    Bunky[static_cast<std::size_t>(i) + 1] = ui::ZobrazPole(Pole(i).typ, static_cast<std::size_t>(Pole(i).sirka), Puvodni(), Pole(i).offset);
}

std::string TfCiDPH::Vyber() {
  NastavRadkyDPH();
  PocetRadku = Soubor().pocet();
  Sestav();
  JdiNa(1);
  KoncovaKlavesa = 27;
  showModal();
  std::string radek = VybranyText(radekDph::kRadek, 3);
  Zavri();
  // A deleted line is no line of the return.
  return radek == "000" ? std::string() : radek;
}

void TfCiDPH::NaF1() { ui::Napoveda("\\pd\\pd", cz("Klíče")); }

void TfCiDPH::NaF4() {
  Veta() = SablonaVety;
  TfSoub::NaF4();
}

void TfCiDPH::PriMazani() { SmazanaVeta(radekDph::kRadek, 3, "000"); }

}  // namespace pz::accounting
