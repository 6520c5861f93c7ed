#include "accounting/journal.h"

#include <algorithm>
#include <cstdio>

#include "accounting/accounts.h"
#include "accounting/attach.h"
#include "accounting/centres.h"
#include "accounting/templates.h"
#include "accounting/voucherprint.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/filehelpers.h"
#include "storage/intentrecord.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/money.h"
#include "storage/params.h"
#include "storage/probes.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/keys.h"
#include "ui/picture.h"

namespace pz::accounting {

using platform::cz;
namespace uz = ucZapis;

namespace {

constexpr const char* kDphint = "par\\dphint.par";
constexpr const char* kObrazekCastky = "### ### ###.##-";
constexpr const char* kUPdat = "UPdat.dat";
constexpr std::size_t kPrepocet = 8;  // the first of the journal's hidden menu items

TfUc* g_denik = nullptr;
TfUp* g_predpis = nullptr;

void JesteNeni() { ui::Zprava(cz("Tato funkce v této verzi programu ještě není.")); }

std::string dnesDMR() {
  const platform::Date d = platform::clock().today();
  char t[16];
  std::snprintf(t, sizeof t, "%02d%02d%02d", d.day % 100, d.month % 100, d.year % 100);
  return t;
}

std::string dnesTecky() { return ui::ZobrazDatum('d', dnesDMR()); }

std::string dvema(int n) {
  char t[8];
  std::snprintf(t, sizeof t, "%02d", n % 100);
  return t;
}

// The template lines k (from 1) as a debit and credit pair; blank sides read as no account.
RadekPredkontace radekSablony(const std::vector<std::uint8_t>& veta, int k) {
  namespace pk = predkontace;
  const std::size_t o = pk::kRadky + static_cast<std::size_t>(k - 1) * pk::kRadek;
  return {TextVety(veta, o + pk::kUcetM, 6), TextVety(veta, o + pk::kStrM, 5), TextVety(veta, o + pk::kUcetD, 6),
          TextVety(veta, o + pk::kStrD, 5)};
}

std::string ucetNeboNic(const std::string& u) {
  const std::string t = storage::Orez(u);
  return t.empty() ? std::string(kBezUctu) : storage::DoplnZleva(t, 6, '0');
}
std::string strediskoNeboNic(const std::string& s) {
  const std::string t = storage::Orez(s);
  return t.empty() ? std::string(kBezStrediska) : storage::DoplnZleva(t, 5, '0');
}
bool maUcet(const std::string& u) { return ucetNeboNic(u) != kBezUctu; }

}  // namespace

SluzbyZapisu& sluzbyZapisu() {
  static SluzbyZapisu s;
  return s;
}

int RezimTextu() {
  const int n = ui::TextNaCele(storage::CtiPar(kDphint, "UP DoTextu"));
  return n >= 1 && n <= 4 ? n : 1;
}

void ZvolRezimTextu() {
  const char* const texty[] = {"Psát text", "Vkládat texty T1", "Vkládat názvy z Obch.partnerů",
                               "Vkládat předkontace z číselníku 11"};
  const int ted = RezimTextu();
  std::vector<std::string> polozky;
  for (int k = 1; k <= 4; ++k) polozky.push_back((k == ted ? "*" : " ") + cz(texty[k - 1]));
  const int volba = ui::Vyber(20, 8, {}, polozky, cz("Zvol způsob vstupu do textu"));
  storage::PisPar(kDphint, "UP DoTextu", std::to_string(volba >= 1 ? volba : 1));
}

std::string MaskaData(const std::string& odpoved) {
  std::string m = storage::BezMezer(odpoved).substr(0, 6);
  return std::string(6 - m.size(), '*') + m;
}

bool DatumOdpovida(const std::string& datum, const std::string& maska) {
  for (std::size_t i = 0; i < 6 && i < maska.size(); ++i)
    if (maska[i] != '*' && (i >= datum.size() || datum[i] != maska[i])) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Both windows

TfZapisy::TfZapisy(std::string nazev, bool predpis) : TfSoub(std::move(nazev), cz(" Účetní zápis ")), predpis_(predpis) {}

bool TfZapisy::Nastav(const std::string& soubor, const std::string& citac) {
  soubor_ = soubor;
  agenda_ = AgendaSouboru(soubor);
  citac_ = storage::DoplnZprava(citac, 8, '0');
  sablona_.clear();
  const std::string b30(30, ' ');
  std::vector<ui::PopisPole> pole = {
      {.popis = predpis_ ? "Agenda         " : "Agenda ", .sirka = 2, .obrazek = " ", .offset = uz::kAgenda,
       .radek = 1, .sloupec = predpis_ ? 30 : 35},
      {.popis = cz("Účetní předpis "), .sirka = 6, .obrazek = "P", .offset = uz::kCisloUP, .radek = 1},
      {.popis = cz("Řádek          "), .sirka = 2, .obrazek = "P", .offset = uz::kRadek, .radek = 2},
      {.popis = ">Text          ", .sirka = 30, .obrazek = " ", .offset = uz::kText, .radek = 3},
      {.popis = cz(">Účet Má dáti  "), .sirka = 6, .obrazek = "L", .offset = uz::kUcetMD, .radek = 4,
       .pocatecni = kBezUctu, .bocniText = b30, .bocniSloupec = 26},
      {.popis = cz(">Středisko MD  "), .sirka = 5, .obrazek = "P", .offset = uz::kStrMD, .radek = 5,
       .pocatecni = kBezStrediska, .bocniText = b30, .bocniSloupec = 26},
      {.popis = cz(">Zakázka MD    "), .sirka = 20, .obrazek = " ", .offset = uz::kZakMD, .radek = 6,
       .bocniText = b30, .bocniSloupec = 42},
      {.popis = cz(">Účet Dal      "), .sirka = 6, .obrazek = "L", .offset = uz::kUcetDal, .radek = 7,
       .pocatecni = kBezUctu, .bocniText = b30, .bocniSloupec = 26},
      {.popis = cz(">Středisko Dal "), .sirka = 5, .obrazek = "P", .offset = uz::kStrDal, .radek = 8,
       .pocatecni = kBezStrediska, .bocniText = b30, .bocniSloupec = 26},
      {.popis = cz(">Zakázka DAL   "), .sirka = 20, .obrazek = " ", .offset = uz::kZakDal, .radek = 9,
       .bocniText = b30, .bocniSloupec = 42},
      {.popis = cz(">       Částka "), .sirka = 15, .obrazek = kObrazekCastky, .ulozeni = 'C', .offset = uz::kCastka,
       .radek = 10, .bocniText = b30, .bocniSloupec = 35},
      {.popis = ">Datum         ", .sirka = 8, .obrazek = "d", .offset = uz::kDatum, .radek = 11,
       .bocniText = b30, .bocniSloupec = 35},
      {.popis = cz(">Párovací údaj "), .sirka = 10, .obrazek = "P", .offset = uz::kParUdaj, .radek = 12,
       .bocniText = b30, .bocniSloupec = 35},
  };
  const bool ok = OtevriSoub(
      {.soubor = soubor,
       .titulek = cz(" Účetní zápis "),
       .velikost = uz::kVelikost,
       .formular = {4, 3, 96, 17},
       .seznam = {1, 1, 152, 24},
       .napovedaFormulare = predpis_ ? cz(" F1=help  >Enter=číselník,Dal-MD  Esc=ven F2-Zápis")
                                     : cz(" F1=help  >Enter=číselník,Dal-MD  Esc=ven F2-Zápis "),
       .titulekFormulare = cz(" Účetní zápis "),
       .napovedaSeznamu =
           predpis_ ? cz(" Mezera=oprava  F1=help  F4=přidej  F8=zruš   Esc=ven F10=Menu (v režimu DZ - F6 na nákladovém "
                         "řádku spárování s příjemkou)    ")
                    : cz(" Mezera=Oprava  F1=Help  F4=Přidej  ^F4=Vlož před záznam  F8=Zruš  ^F8=Zruš_označené "
                         "Esc=Konec  F10=Menu "),
       .pole = std::move(pole)});
  Pole(kAgenda).stav = 0;  // the agenda comes from the file and the entries, never typed
  // A cash document save cut off in this file is undone before its entries are shown and changed
  // here (while the window has the file open no save can store into it): undone later, it would
  // cut off or overwrite what is changed here.
  if (ok && storage::VratPrerusenaUlozeniNad({Soubor().cesta()}) && Soubor().ObnovSoubor())
    PocetRadku = Soubor().pocet();
  ZapamatujSablonu();
  PriNastaveni();
  Prepocti();
  return ok;
}

std::vector<tUcZapis> TfZapisy::Zapisy() {
  std::vector<tUcZapis> z;
  const std::vector<std::uint8_t> drzeny = Veta();
  cele_ = true;
  for (int k = 1; k <= Soubor().pocet(); ++k) {
    if (Soubor().CtiVetuPrimo(k)) z.push_back(RozeberZapis(Veta()));
    else cele_ = false;
  }
  Veta() = drzeny;
  // A window whose file could not be opened again (after a rewrite, say) counts no entries at
  // all: the file itself tells how many there are.
  platform::FileInfo info;
  if (platform::fileInfo(Soubor().cesta(), info) != platform::kIoOk ||
      info.size / static_cast<std::int64_t>(uz::kVelikost) != static_cast<std::int64_t>(z.size()))
    cele_ = false;
  return z;
}

std::optional<tUcZapis> TfZapisy::Aktualni() {
  if (Radek < 1 || Radek > Soubor().pocet()) return std::nullopt;
  const std::vector<std::uint8_t> drzeny = Veta();
  std::optional<tUcZapis> z;
  if (Soubor().CtiVetuPrimo(CisloZPoradi(Radek))) z = RozeberZapis(Veta());
  Veta() = drzeny;
  return z;
}

Strany TfZapisy::Prepocti() {
  strany_ = SoucetStran(Zapisy(), true);
  bocniTexty();
  return strany_;
}

void TfZapisy::bocniTexty() {
  if (PocetPoli() < kParUdaj) return;
  Pole(kCastka).bocniText = ui::FormatC(kObrazekCastky, strany_.md) + cz(" Má dáti");
  Pole(kDatum).bocniText = ui::FormatC(kObrazekCastky, strany_.dal) + " Dal";
  Pole(kParUdaj).bocniText = ui::FormatC(kObrazekCastky, strany_.rozdil()) + cz(" Rozdíl");
  // Codes that name nothing are not looked up, so that no code list is opened for them.
  const auto nazevUctu = [](const std::string& u) {
    const std::string n = u == kBezUctu || storage::Orez(u).empty() ? std::string() : NazevUctu(u);
    return n.empty() || n[0] == ' ' ? std::string(30, ' ') : n;
  };
  const auto nazevStrediska = [](const std::string& k) {
    return storage::Orez(k).empty() ? std::string(30, ' ') : NazevStrediska(k);
  };
  const auto nazevZakazky = [](const std::string& k) {
    return storage::Orez(k).empty() ? std::string(30, ' ') : NazevZakazky(k);
  };
  Pole(kUcetMD).bocniText = nazevUctu(Text(kUcetMD));
  Pole(kUcetDal).bocniText = nazevUctu(Text(kUcetDal));
  Pole(kStrMD).bocniText = nazevStrediska(Text(kStrMD));
  Pole(kStrDal).bocniText = nazevStrediska(Text(kStrDal));
  Pole(kZakMD).bocniText = nazevZakazky(Text(kZakMD));
  Pole(kZakDal).bocniText = nazevZakazky(Text(kZakDal));
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

bool TfZapisy::Prepis(const std::vector<tUcZapis>& zapisy) {
  const std::string cesta = Soubor().cesta();
  // Entries built from a read that missed some would write the file without them.
  if (!cele_) {
    ZpravaNecele();
    return false;
  }
  if (!storage::IfVolny(cesta).empty()) {
    ui::Zprava(cz("Se souborem se pracuje"));
    return false;
  }
  const int radek = Radek;
  // The window's own open is given up for the rename, and taken again afterwards.
  Soubor().ZavriSoubor();
  const storage::Zamek z = storage::Zamkni(cesta, "W");
  bool ok = storage::MuzePokracovat(z) && PrepisDavku("=" + cesta, zapisy, z == storage::Zamek::Drzen);
  if (z == storage::Zamek::Drzen) storage::Odemkni(cesta);
  Soubor().OtevriSoubor(soubor_, uz::kVelikost);
  PocetRadku = Soubor().pocet();
  Zmeneno = Zmeneno || ok;
  Sestav();
  JdiNa(std::max(1, std::min(radek, PocetRadku)));
  return ok;
}

void TfZapisy::ZpravaNecele() {
  cele_ = true;
  ui::Zprava(cz("Zápisy souboru ") + Soubor().cesta() + cz(" nelze přečíst celé, nic nebylo změněno"));
}

void TfZapisy::PredFormularem() {
  if (storage::Orez(Text(kDatum)).empty()) Pole(kDatum).text = dnesTecky();
  bocniTexty();
}

void TfZapisy::ZmenaPole(int i) {
  ui::PoleSouboru& p = Pole(i);
  if (p.chyba) return;  // the picture refused it; the form says so
  if (i == kUcetMD || i == kUcetDal) {
    if (p.text != kBezUctu) p.chyba = KontrolaUctu(p.text);
  } else if (i == kStrMD || i == kStrDal) {
    const std::string ucet = Text(i - 1);
    if (ucet == kBezUctu) p.text = kBezStrediska;
    else p.chyba = KontrolaStrediska(p.text, ucet);
  } else if (i == kDatum && !storage::Orez(p.text).empty() && p.text.size() >= 8) {
    const auto& s = storage::settings();
    const std::string rok = storage::BezMezer(s.controlYear), obdobi = storage::BezMezer(s.controlPeriod);
    if (!rok.empty() && rok != p.text.substr(6, 2))
      ui::Zprava(cz("Neodpovídá účetní rok :") + rok + ":" + p.text.substr(6, 2) + ":");
    if (!obdobi.empty() && storage::DoplnZleva(obdobi, 2, '0') != p.text.substr(3, 2))
      ui::Zprava(cz("Neodpovídá účetní období :") + obdobi + ":" + p.text.substr(3, 2) + ":");
  }
  bocniTexty();
}

void TfZapisy::EnterPole(int i) {
  ui::PoleSouboru& p = Pole(i);
  switch (i) {
    case kText: textPodleRezimu(); break;
    case kUcetMD:
    case kUcetDal: VyberUctu(p.text); break;
    case kStrMD:
    case kStrDal:
      if (Text(i - 1) != kBezUctu) VyberStrediska(p.text);
      break;
    case kZakMD:
    case kZakDal:
      if (Text(i - 2) != kBezUctu) VyberZakazky(p.text);
      break;
    case kCastka: {
      std::int64_t r = strany_.rozdil();
      if (r < 0 && Text(kUcetDal) == kBezUctu) r = -r;
      p.text = ui::FormatC(kObrazekCastky, r);
      break;
    }
    case kParUdaj: parovani(); break;
    default: break;
  }
  bocniTexty();
}

void TfZapisy::textPodleRezimu() {
  switch (RezimTextu()) {
    case 2:
      if (sluzbyZapisu().vyberTextu) {
        const std::string t = sluzbyZapisu().vyberTextu("txt1.dta", "Text");
        if (!t.empty()) Pole(kText).text = storage::DoplnZprava(t.substr(0, 30), 30);
      }
      break;
    case 3:
      if (sluzbyZapisu().vyberPartnera) {
        const std::string t = sluzbyZapisu().vyberPartnera();
        if (!t.empty()) Pole(kText).text = storage::DoplnZprava(t.substr(0, 30), 30);
      }
      break;
    case 4: {
      TfCis11& sablony = Predkontace();
      sablony.Nastav();
      if (sablony.Vyber("") <= 0) break;
      const std::vector<std::uint8_t> veta = sablony.Veta();
      const std::string text = NazevPredkontace(veta);
      const RadekPredkontace r1 = radekSablony(veta, 1);
      Pole(kText).text = text;
      Pole(kUcetMD).text = ucetNeboNic(r1.ucetM);
      Pole(kStrMD).text = strediskoNeboNic(r1.strM);
      Pole(kUcetDal).text = ucetNeboNic(r1.ucetD);
      Pole(kStrDal).text = strediskoNeboNic(r1.strD);
      // On the first entry of a voucher the template's further lines follow it.
      sablona_.clear();
      if (predpis_ && pozice_ == 1) {
        for (int k = 2; k <= predkontace::kRadku; ++k) {
          const RadekPredkontace r = radekSablony(veta, k);
          if (!maUcet(r.ucetM) && !maUcet(r.ucetD)) continue;
          tUcZapis z;
          z.text = text;
          z.ucetMD = ucetNeboNic(r.ucetM);
          z.strMD = strediskoNeboNic(r.strM);
          z.ucetDal = ucetNeboNic(r.ucetD);
          z.strDal = strediskoNeboNic(r.strD);
          sablona_.push_back(z);
        }
      }
      break;
    }
    default: break;
  }
}

void TfZapisy::parovani() {
  const int volba =
      ui::Vyber(30, 12, {}, {cz("Do příjemek-výdejek"), cz("Do přijatých faktur")}, cz(" Párovací údaj "));
  if (volba == 1) {
    if (!platform::fileExists(storage::DataCesta("sk01h.dta")))
      ui::Zprava(cz("Příjemky a výdejky (sk01h.dta) nejsou k dispozici, párovací údaj nelze vybrat"));
    else
      JesteNeni();
  } else if (volba == 2) {
    // The received invoices of every series lie in "DFD" + series + ".DTA".
    if (platform::listDirectory(storage::DataCesta("DFD*.DTA")).empty())
      ui::Zprava(cz("Přijaté faktury nejsou k dispozici, párovací údaj nelze vybrat"));
    else
      JesteNeni();
  }
}

std::optional<tUcZapis> TfZapisy::NovyZapis() { return tUcZapis{}; }

void TfZapisy::PoUlozeni(int zaznam, const tUcZapis& z) {
  if (!predpis_ || zaznam != 1 || sablona_.empty()) return;
  // The first entry with the template's further lines: each the next line of the voucher, the
  // file cut after the last one.
  std::vector<tUcZapis> nove = {z};
  int radek = ui::TextNaCele(z.radek);
  for (tUcZapis s : sablona_) {
    s.agenda = z.agenda;
    s.cisloUP = z.cisloUP;
    s.radek = dvema(++radek);
    s.datum = z.datum;
    s.zakMD = s.zakDal = std::string(20, ' ');
    s.parUdaj = z.parUdaj;
    nove.push_back(std::move(s));
  }
  sablona_.clear();
  Prepis(nove);
}

void TfZapisy::NaF4() {
  if (!PovolenNovy) return;
  const std::optional<tUcZapis> z = NovyZapis();
  if (!z) return;
  Prepocti();
  const int pred = Soubor().pocet();
  pozice_ = pred + 1;
  sablona_.clear();
  PisZapis(Veta(), *z);
  novy_ = true;
  TfSoub::NaF4();
  if (Soubor().pocet() > pred) {
    const int zaznam = Soubor().pocet();
    if (Soubor().CtiVetuPrimo(zaznam)) PoUlozeni(zaznam, RozeberZapis(Veta()));
  }
  novy_ = false;
  pozice_ = 0;
  Prepocti();
}

void TfZapisy::Oprav() {
  if (Radek < 1 || Radek > Soubor().pocet()) return;
  Prepocti();
  pozice_ = CisloZPoradi(Radek);
  sablona_.clear();
  const bool dripe = Zmeneno;
  Zmeneno = false;
  TfSoub::Oprav();
  if (Zmeneno && Soubor().CtiVetuPrimo(pozice_)) PoUlozeni(pozice_, RozeberZapis(Veta()));
  Zmeneno = Zmeneno || dripe;
  pozice_ = 0;
  Prepocti();
}

void TfZapisy::PriMazani() {
  // An entry is deleted by its amount: entries of zero are left out when the batch is written.
  storage::writeI64(Veta(), uz::kCastka, 0);
}

// ---------------------------------------------------------------------------------------------
// The journal

TfUc::TfUc(std::string nazev) : TfZapisy(std::move(nazev), false) {
  if (!g_denik) g_denik = this;
  while (PopupMenu1.items.size() < 13)
    PopupMenu1.items.push_back({std::string(1, static_cast<char>('a' + PopupMenu1.items.size())), "", false, true, {}});
  polozka(0, "Opis", true, [this] { TiskPredpisu(soubor_); });
  polozka(1, "Setřízení zápisů", true, [this] {
    if (!storage::IfVolny(Soubor().cesta()).empty()) {
      ui::Zprava(cz("Se souborem se pracuje"));
      return;
    }
    const char* const podle[] = {"Agenda",        "Účetní předpis", "Text",       "Účet MD",
                                 "Středisko MD",  "Zakázka MD",     "Účet Dal",   "Středislo Dal",
                                 "Zakázka DAL",   "Částka",         "Datum",      "Pár.údaj"};
    std::vector<std::string> p;
    for (const char* t : podle) p.push_back(cz(t));
    const int volba = ui::Vyber(30, 5, {}, p, cz("Setřídit dle"));
    if (volba > 0) Setrid(volba);
  });
  polozka(2, "Vnucení příznaku agendy", true, [this] { VnutAgendu(); });
  polozka(3, "Nastavení způsobu vkládání textu", true, [] { ZvolRezimTextu(); });
  polozka(4, "Kontrola datumu", true, [this] { KontrolaDatumu(); });
  polozka(5, "Záměna datumu", true, [this] { ZamenaDatumu(); });
  polozka(6, "Oprava datumu - rok 2000", true, [this] { OpravaRoku2000(); });
  polozka(7, "Uprav šířky", true, [this] { UpravSirky(); });
  polozka(kPrepocet, "Přepočet na EURa", false, [this] { PrepocetNaEura(); });
  polozka(9, "Vlož záznam", false, [this] { VlozZaznam(); });
  polozka(10, "Oprava rozdílu 0.00", false, [this] { OpravaRozdilu(); });
  polozka(11, "Úprava PS ", false, [] { JesteNeni(); });
  polozka(12, "221200-221700", false, [] { JesteNeni(); });
}

TfUc::~TfUc() {
  if (g_denik == this) g_denik = nullptr;
}

void TfUc::polozka(std::size_t k, const char* text, bool povolena, std::function<void()> akce) {
  ui::MenuItem& it = PopupMenu1.items.at(k);
  it.caption = cz(text);
  it.visible = true;
  it.enabled = povolena;
  it.onClick = std::move(akce);
}

void TfUc::NaF1() { ui::Napoveda("uz\\uz", "Opravy"); }

void TfUc::NaCtrlPravy() {
  for (std::size_t k = kPrepocet + 1; k < PopupMenu1.items.size(); ++k) PopupMenu1.items[k].enabled = true;
  PopupMenu1.items[kPrepocet].enabled = !prepocteno_;  // the conversion runs once
  PopupMenu1.popup(*this, 2, std::max(1, sgRol.row));
}

std::optional<tUcZapis> TfUc::NovyZapis() {
  if (citacNaKonci_) {
    ui::Zprava(ZpravaPreteceniCitace(citac_));
    return std::nullopt;
  }
  tUcZapis z;
  z.cisloUP = citac_.substr(0, 6);
  z.radek = citac_.substr(6, 2);
  const auto a = Aktualni();
  z.agenda = a ? a->agenda : agenda_;
  z.text = std::string(30, ' ');
  z.zakMD = z.zakDal = std::string(20, ' ');
  z.parUdaj = std::string(10, ' ');
  return z;
}

void TfUc::PoUlozeni(int, const tUcZapis&) {
  if (!novy_) return;  // an edit moves no counter
  if (const auto c = DalsiZapisUP(citac_)) citac_ = *c;
  else citacNaKonci_ = true;
}

void TfUc::NaCtrlF4() {
  const int kam = Radek;
  const int pred = Soubor().pocet();
  NaF4();
  if (Soubor().pocet() <= pred || kam < 1 || kam > pred) return;
  // The new entry moves from the end to the current place; the rest move one place down.
  std::vector<tUcZapis> z = Zapisy();
  if (!ZapisyCele() || static_cast<int>(z.size()) != Soubor().pocet()) {
    ZpravaNecele();
    return;
  }
  std::rotate(z.begin() + (kam - 1), z.end() - 1, z.end());
  ui::Blik(cz("Přesouvám zápisy"));
  Prepis(z);
  ui::BlikKonec();
  JdiNa(kam);
}

void TfUc::NaAltF4() { VlozZaznam(); }

bool TfUc::VlozZaznam() {
  if (Radek < 1 || Radek > Soubor().pocet()) return false;
  const int kam = Radek;
  std::vector<tUcZapis> z = Zapisy();
  if (!ZapisyCele() || static_cast<std::size_t>(kam) > z.size()) {
    ZpravaNecele();
    return false;
  }
  const tUcZapis kopie = z[static_cast<std::size_t>(kam - 1)];
  z.insert(z.begin() + (kam - 1), kopie);
  const bool ok = Prepis(z);
  JdiNa(kam);
  return ok;
}

void TfUc::NaCtrlF8() {
  for (int k = 1; k <= Soubor().pocet(); ++k) {
    if (!Znacky.je(k) || !Soubor().CtiVetuPrimo(k)) continue;
    storage::writeI64(Veta(), uz::kCastka, 0);
    Soubor().PisVetuPrimo(k);
    Znacky.nastav(k, false);
    Zmeneno = true;
  }
  PocetOznacenych = Znacky.spocitej(Soubor().pocet());
  Prepocti();
  Prekresli();
}

bool TfUc::Setrid(int podle) {
  std::vector<tUcZapis> z = Zapisy();
  if (z.empty()) return false;
  const auto klic = [podle](const tUcZapis& e) -> std::string {
    switch (podle) {
      case 1: return e.agenda;
      case 2: return storage::DoplnZprava(e.cisloUP, 6) + storage::DoplnZprava(e.radek, 2);
      case 3: return storage::CeskyKlic(storage::DoplnZprava(e.text, 30).substr(0, 25));
      case 4: return e.ucetMD;
      case 5: return e.strMD;
      case 6: return e.zakMD;
      case 7: return e.ucetDal;
      case 8: return e.strDal;
      case 9: return e.zakDal;
      case 10: return ui::FormatPlainE("#########.##-", storage::tenThousandthsToDouble(e.castka));
      case 11: {
        // Years widened, so that a date of the 1990s sorts before one of the 2020s.
        const auto d = ui::RozeberDatum('d', e.datum);
        char t[16];
        if (!d) return "00000000";
        std::snprintf(t, sizeof t, "%04d%02d%02d", d->rok, d->mesic, d->den);
        return t;
      }
      default: return e.parUdaj;
    }
  };
  const int aktualni = Radek;
  std::vector<std::pair<std::string, int>> poradi;
  for (std::size_t k = 0; k < z.size(); ++k) {
    char pozice[8];
    std::snprintf(pozice, sizeof pozice, "%05d", static_cast<int>(k + 1) % 100000);
    poradi.emplace_back(klic(z[k]) + pozice, static_cast<int>(k));
  }
  std::stable_sort(poradi.begin(), poradi.end());
  std::vector<tUcZapis> setridene;
  int novy = 1;
  for (std::size_t k = 0; k < poradi.size(); ++k) {
    setridene.push_back(z[static_cast<std::size_t>(poradi[k].second)]);
    if (poradi[k].second + 1 == aktualni) novy = static_cast<int>(k) + 1;
  }
  const bool ok = Prepis(setridene);
  JdiNa(novy);
  return ok;
}

bool TfUc::VnutAgendu() {
  const std::string davka = storage::CtiPar(kDphint, "Agenda");
  if (!ui::Dotazy(20, 8, {}, {"Agenda", storage::DoplnZprava(davka.substr(0, 2), 2)}, cz("Zvolte agendu"))) return false;
  const auto& o = ui::vysledekDialogu().odpovedi;
  const std::string agenda = storage::VelkaPismena(storage::DoplnZprava(o.empty() ? "" : o[0], 2).substr(0, 2));
  std::vector<tUcZapis> z = Zapisy();
  bool zmena = false;
  for (auto& e : z)
    if (!ZnamaAgenda(e.agenda) && e.agenda != agenda) {
      e.agenda = agenda;
      zmena = true;
    }
  return zmena && Prepis(z);
}

void TfUc::KontrolaDatumu() {
  // Esc keeps the six blanks: a mask of six "*", which every date matches.
  const bool potvrzeno = ui::Dotazy(20, 8, {}, {"MMRR nebo RR", "      "}, cz("Zadej měsíc a rok nebo jen rok"));
  const auto& o = ui::vysledekDialogu().odpovedi;
  const std::string maska = MaskaData(potvrzeno && !o.empty() ? o[0] : "");
  const std::vector<tUcZapis> z = Zapisy();
  const bool oznacene = Znacky.spocitej(static_cast<int>(z.size())) > 0;
  if (!reports::OtevriSestavu("UcErrDat", 100)) return;
  const int delka = std::max(10, storage::settings().pageLength);
  int radku = delka, strana = 0;
  for (std::size_t k = 0; k < z.size(); ++k) {
    const int zaznam = static_cast<int>(k) + 1;
    if (oznacene) {
      if (!Znacky.je(zaznam)) continue;
      Znacky.nastav(zaznam, false);
    }
    const tUcZapis& e = z[k];
    if (DatumOdpovida(e.datum, maska)) continue;
    if (radku >= delka) {
      ++strana;
      reports::PisRadek(strana > 1 ? std::string(1, reports::kFormFeed) : std::string());
      reports::PisRadek("");
      reports::PisRadek(cz("Seznam účetních zápisů se špatným datumem ") + std::string(6, ' ') + "Datum: " + dnesTecky() +
                        " List:" + ui::FormatPlainE("###", strana));
      reports::PisRadek("");
      reports::PisRadek(cz("  poř. up     čř text                                   částka  DD.MM.RR"));
      reports::PisRadek(std::string(72, '-'));
      radku = 6;
    }
    reports::PisRadek(ui::FormatPlainE("######", zaznam) + " " + storage::DoplnZprava(e.cisloUP, 6) + " " +
                      storage::DoplnZprava(e.radek, 2) + " " + storage::DoplnZprava(e.text, 30) + " " +
                      ui::FormatC("### ### ###.##- ", e.castka) + ui::ZobrazDatum('d', e.datum));
    ++radku;
  }
  PocetOznacenych = Znacky.spocitej(static_cast<int>(z.size()));
  reports::ZavriSestavu();
  platform::FileInfo info;
  if (platform::fileInfo("UcErrDat.txt", info) == platform::kIoOk && info.size > 2) {
    ui::UkazSestavu("UcErrDat");
  }
  Prekresli();
}

std::string TfUc::zaloha() {
  const platform::Date d = platform::clock().today();
  const platform::TimeOfDay t = platform::clock().now();
  char jmeno[32];
  std::snprintf(jmeno, sizeof jmeno, "%02d%02d%02d-%02d%02d%02d", d.year % 100, d.month, d.day, t.hour, t.minute,
                t.second);
  const std::string slozka = storage::DataCesta(jmeno) + "\\";
  storage::ZalozCestu(slozka + "UC01.dta");
  if (storage::KopirujSoubor(Soubor().cesta(), slozka + "UC01.dta") != 0 ||
      !platform::fileExists(slozka + "UC01.dta")) {
    ui::Zprava(cz("Záložní kopii ") + slozka + cz("UC01.dta nelze vytvořit, nic nebylo změněno"));
    return {};
  }
  return slozka;
}

bool TfUc::ZamenaDatumu() {
  std::string stara, nova;
  for (;;) {
    if (!ui::Dotazy(20, 8, {}, {cz("Starý měsíc a rok nebo jen rok"), stara_, cz("Nový měsíc a rok nebo jen rok"), nova_},
                    cz("Zadej MMRR nebo RR")))
      return false;
    const auto& o = ui::vysledekDialogu().odpovedi;
    stara_ = o.size() > 0 ? o[0] : stara_;
    nova_ = o.size() > 1 ? o[1] : nova_;
    stara = MaskaData(stara_);
    nova = MaskaData(nova_);
    const char* otazka = nullptr;
    if (stara.starts_with("****") && !nova.starts_with("****")) otazka = "Nové období je širší než staré, opravit";
    else if (nova.starts_with("****") && !stara.starts_with("****")) otazka = "Staré období je širší než nové, opravit";
    else if (stara == "******" || nova == "******") otazka = "Staré nebo nové období není určeno, opravit";
    if (!otazka) break;
    if (!ui::Dotaz(20, 10, cz(otazka))) return false;
  }
  const std::string slozka = zaloha();
  if (slozka.empty()) return false;
  storage::PisPar(slozka + "ZMENY.par", "Puvodni", stara);
  storage::PisPar(slozka + "ZMENY.par", "Zmenena", nova);
  storage::UlozPar();
  std::vector<tUcZapis> z = Zapisy();
  const bool oznacene = Znacky.spocitej(static_cast<int>(z.size())) > 0;
  for (std::size_t k = 0; k < z.size(); ++k) {
    const int zaznam = static_cast<int>(k) + 1;
    if (oznacene) {
      if (!Znacky.je(zaznam)) continue;
      Znacky.nastav(zaznam, false);
    }
    std::string& d = z[k].datum;
    if (!DatumOdpovida(d, stara)) continue;
    d = storage::DoplnZprava(d, 6);
    for (std::size_t i = 0; i < 6; ++i)
      if (nova[i] != '*') d[i] = nova[i];
  }
  PocetOznacenych = Znacky.spocitej(static_cast<int>(z.size()));
  return Prepis(z);
}

bool TfUc::OpravaRoku2000() {
  std::vector<tUcZapis> z = Zapisy();
  for (auto& e : z) {
    if (e.datum.size() != 6) continue;
    for (std::size_t i : {0u, 4u}) {
      if (e.datum[i] == 'l') e.datum[i] = '1';
      if (e.datum[i] == 'O') e.datum[i] = '0';
    }
    if (e.datum == "000000") e.datum = "      ";
  }
  return Prepis(z);
}

bool TfUc::PrepocetNaEura() {
  const double kurz = storage::settings().conversionRate;
  if (!(kurz > 0)) {
    ui::Zprava(cz("V parametrech systému není kurz EUR, částky nelze přepočítat"));
    return false;
  }
  if (!ui::DotazVychozi(cz("Přepočítat všechny částky kurzem ") + ui::FormatPlainE("###.###", kurz) + cz(" na EUR?"), false))
    return false;
  if (zaloha().empty()) return false;
  std::vector<tUcZapis> z = Zapisy();
  for (auto& e : z) {
    const storage::Money m = storage::mulDivRound4(storage::tenThousandthsToDouble(e.castka), 1.0, kurz);
    if (!m.ok()) continue;
    const storage::Money h = storage::round2(m.tenThousandths);
    if (h.ok()) e.castka = h.tenThousandths;
  }
  const bool ok = Prepis(z);
  if (ok) {
    ui::Zprava(cz("Případný rozdíl oprav na účtu 431"));
    prepocteno_ = true;
    PopupMenu1.items[kPrepocet].enabled = false;
  }
  return ok;
}

void TfUc::UpravSirky() {
  // Without remembered widths every column takes the default width of its field.
  storage::PisPar("par\\okna2.par", PredponaKlicu() + "Gridy", "");
  Sestav();
  int sirka = 0;
  for (int w : SirkySloupcu()) sirka += w;
  geometry.w = sirka + 50;
  Sestav();
  Prekresli();
}

bool TfUc::OpravaRozdilu() {
  std::vector<tUcZapis> z = Zapisy();
  for (auto& e : z) {
    const storage::Money h = storage::round2(e.castka);
    if (h.ok()) e.castka = h.tenThousandths;
  }
  return Prepis(z);
}

// ---------------------------------------------------------------------------------------------
// The voucher window

TfUp::TfUp() : TfZapisy("fUp", true) {
  g_predpis = this;
  auto& it = PopupMenu1.items.at(0);
  it.caption = cz("Nastavení způsobu vkládání textu");
  it.visible = true;
  it.onClick = [] { ZvolRezimTextu(); };
}

TfUp::~TfUp() {
  if (g_predpis == this) g_predpis = nullptr;
}

void TfUp::NaF1() { ui::Napoveda("\\uz\\uc", agenda_ == "SA" ? cz("Účtování jen") : cz("Účtování")); }

void TfUp::PriNastaveni() {
  posledni_.reset();
  adresarObrazku_ = storage::CtiPar("ep.par", "AdrObrProUP");
  sadaObrazku_ = storage::CtiPar("ep.par", "NzObrProUP");
  Obrazky = !storage::Orez(adresarObrazku_).empty() && !storage::Orez(sadaObrazku_).empty();
  cisloObrazku_ = 0;
  MemoText.lines.clear();
  MemoText.visible = false;
  MemoText.readOnly = true;
  upravaTextu_ = false;
  // The set's text file, when there is one, stands beside the list.
  std::string text;
  if (Obrazky && platform::readWholeFile(souborTextu(), text) == platform::kIoOk) {
    std::size_t od = 0;
    while (od < text.size()) {
      std::size_t konec = text.find('\n', od);
      if (konec == std::string::npos) konec = text.size();
      std::string radek = text.substr(od, konec - od);
      if (!radek.empty() && radek.back() == '\r') radek.pop_back();
      MemoText.lines.push_back(radek);
      od = konec + 1;
    }
    MemoText.visible = true;
  }
}

std::string TfUp::SouborObrazku(int) {
  return adresarObrazku_ + sadaObrazku_ + "-" + dvema(cisloObrazku_) + ".jpg";
}

void TfUp::Sestav() {
  TfZapisy::Sestav();
  if (!MemoText.visible) return;
  // The set's text below the list's position line, unless the user placed it elsewhere.
  const int cw = std::max(1, look.cellWidth), rh = VyskaRadku() + 1;
  MemoText.geometry.w = 60 * cw;
  MemoText.geometry.h = 8 * rh;
  if (MemoText.geometry.x == 0 && MemoText.geometry.y == 0) MemoText.geometry = {2 * cw, lKolik.geometry.y + 2 * rh, 60 * cw, 8 * rh};
}

void TfUp::NaF2() {
  if (!Obrazky) return;
  ++cisloObrazku_;
  if (cisloObrazku_ > 99 || !platform::fileExists(SouborObrazku(0))) cisloObrazku_ = 0;
  Prekresli();
}

bool TfUp::onMouse(const ui::MouseEvent& ev, ui::Control* hit) {
  if (Obrazky && hit == &Image1 && ev.button == ui::MouseButton::Left && !ev.doubleClick) {
    NaF2();
    return true;
  }
  return TfZapisy::onMouse(ev, hit);
}

bool TfUp::onKey(const ui::KeyEvent& ev) {
  if (!upravaTextu_) return TfZapisy::onKey(ev);
  if ((ev.vk == ui::kVkSpace && ev.ctrl) || ev.vk == ui::kVkEscape) ulozText();
  else MemoText.key(ev);
  return true;
}

void TfUp::NaCtrlMezera() {
  if (!Obrazky) return;
  if (!platform::fileExists(souborTextu())) {
    if (const int e = platform::writeWholeFile(souborTextu(), ""); e != platform::kIoOk) {
      ui::Zprava(storage::ZpravaZapisu(souborTextu(), e));
      return;
    }
  }
  if (MemoText.lines.empty()) MemoText.lines.push_back("");
  MemoText.visible = true;
  MemoText.readOnly = false;
  MemoText.line = MemoText.col = 0;
  upravaTextu_ = true;
  Sestav();
  setFocus(&MemoText);
}

void TfUp::ulozText() {
  std::string text;
  for (const std::string& r : MemoText.lines) text += r + "\r\n";
  if (const int e = platform::writeWholeFile(souborTextu(), text); e != platform::kIoOk)
    ui::Zprava(storage::ZpravaZapisu(souborTextu(), e));
  MemoText.readOnly = true;
  upravaTextu_ = false;
  setFocus(&sgRol);
}

void TfUp::NaF6() {
  if (!platform::fileExists(storage::DataCesta("sk01h.dta")))
    ui::Zprava(cz("Příjemky a výdejky (sk01h.dta) nejsou k dispozici, párovací údaj nelze vybrat"));
  else
    JesteNeni();
}

void TfUp::PredKoncem() {
  Prepocti();
  Vysledek = Soubor().pocet() > 0 && ui::Dotaz(20, 10, cz("Zapsat do účetnictví?")) ? ui::kVkReturn : ui::kVkEscape;
}

std::optional<tUcZapis> TfUp::NovyZapis() {
  std::optional<tUcZapis> z = posledni_;
  if (!z && Soubor().pocet() > 0) {
    const std::vector<tUcZapis> v = Zapisy();
    z = v.back();
  }
  if (!z) {
    z = tUcZapis{};
    z->agenda = agenda_;
    z->cisloUP = citac_.substr(0, 6);
    z->radek = citac_.substr(6, 2);
    z->zakMD = z->zakDal = std::string(20, ' ');
  } else {
    const auto c = DalsiRadekUP(storage::DoplnZleva(z->cisloUP, 6, '0') + storage::DoplnZleva(z->radek, 2, '0'));
    if (!c) {
      ui::Zprava(ZpravaPreteceniCitace(z->cisloUP + z->radek));
      return std::nullopt;
    }
    z->cisloUP = c->substr(0, 6);
    z->radek = c->substr(6, 2);
  }
  const std::string datum = storage::CtiPar(kUPdat, "Datum");
  z->datum = storage::Orez(datum).size() == 6 ? datum : dnesDMR();
  return z;
}

void TfUp::PoUlozeni(int zaznam, const tUcZapis& z) {
  posledni_ = z;
  if (!storage::Orez(z.datum).empty()) storage::PisPar(kUPdat, "Datum", z.datum);
  TfZapisy::PoUlozeni(zaznam, z);
}

TfUc& Denik() { return ui::PosledniOkno(g_denik); }
TfUp& PredpisOkno() { return ui::PosledniOkno(g_predpis); }

// ---------------------------------------------------------------------------------------------
// The correction run and the voucher

void OpravyDavky(const std::string& davka) {
  if (!storage::CtiJob("CTENI").empty()) {
    ui::Zprava(cz("Nemáte práva na opravy dat"));
    return;
  }
  const std::string cesta = storage::DataCesta(davka);
  platform::FileInfo info;
  if (platform::fileInfo(cesta, info) != platform::kIoOk || info.size < 3) {
    ui::Zprava(cz("Dávka je prázdná -> není co opravovat"));
    return;
  }
  const storage::Zamek zamek = storage::Zamkni(cesta, "W");
  if (!storage::MuzePokracovat(zamek)) {
    ui::Zprava(cz("Dávku ") + davka + cz(" nelze zamknout pro opravy, nic nebylo změněno"));
    return;
  }
  struct Uvolni {
    storage::Zamek z;
    std::string c;
    ~Uvolni() {
      if (z == storage::Zamek::Drzen) storage::Odemkni(c);
    }
  } uvolni{zamek, cesta};
  if (!storage::VratPrerusenaUlozeniNad({cesta})) return;
  // An attach cut off by a kill is finished before the entries are read.
  if (DokonciPripojeni(cesta, zamek == storage::Zamek::Drzen) == Dokonceni::Chyba) return;

  std::vector<tUcZapis> zapisy;
  if (!CtiDavku(davka, zapisy)) return;
  std::string predchozi = "  ";
  std::string obsah;
  for (tUcZapis& z : zapisy) {
    if (z.text.size() == 28) {
      z.text += "  ";
      z.agenda = "PO";
    }
    if ((z.agenda == z.text.substr(0, 2) && z.ucetDal.starts_with("343")) || storage::Orez(z.agenda).empty() ||
        z.agenda == "DL")
      z.agenda = predchozi;
    if (z.zakMD.empty()) z.zakMD = std::string(20, ' ');
    if (z.zakDal.empty()) z.zakDal = std::string(20, ' ');
    predchozi = z.agenda;
    const auto v = SlozZapis(z);
    obsah.append(v.begin(), v.end());
  }
  if (const int e = platform::writeWholeFile("opr.wrk", obsah); e != platform::kIoOk) {
    ui::Zprava(storage::ZpravaZapisu("opr.wrk", e));
    return;
  }
  storage::PisPar(kDphint, "Agenda", davka);

  TfUc& denik = Denik();
  if (!denik.Nastav("=opr.wrk", "00000101")) {
    denik.Zavri();
    return;
  }
  denik.JdiNa(denik.Soubor().pocet());
  for (;;) {
    denik.showModal();
    const std::vector<tUcZapis> opravene = denik.Zapisy();
    const Strany s = SoucetStran(opravene, true);
    if (!denik.ZapisyCele()) {
      denik.ZpravaNecele();
      break;
    }
    if (opravene.empty() || s.rozdil() == 0) {
      std::vector<tUcZapis> nenulove;
      for (const auto& z : opravene)
        if (!z.prazdny()) nenulove.push_back(z);
      PrepisDavku(davka, nenulove, zamek == storage::Zamek::Drzen);
      break;
    }
    ui::Tabule(25, 10, cz("Rozdíl MD-DAL"), {cz("Rozdíl MD-Dal ") + ui::FormatC(kObrazekCastky, s.rozdil())});
    if (!ui::Dotaz(20, 10, cz("Nesouhlasí strany, chcete je opravit"))) break;
  }
  denik.Zavri();
  storage::DokonciUlohu();
}

std::optional<std::vector<tUcZapis>> UkazPredpis(const std::vector<tUcZapis>& zapisy, const std::string& citac,
                                                 int radek) {
  // The agenda names the work file: only letters and digits go into the name.
  std::string agenda = zapisy.empty() ? std::string() : storage::VelkaPismena(zapisy[0].agenda);
  const bool pismena = agenda.size() == 2 && std::all_of(agenda.begin(), agenda.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
  if (!pismena) agenda = "PZ";
  const std::string soubor = agenda + "UP.wrk";
  std::string obsah;
  for (const auto& z : zapisy) {
    const auto v = SlozZapis(z);
    obsah.append(v.begin(), v.end());
  }
  if (const int e = platform::writeWholeFile(soubor, obsah); e != platform::kIoOk) {
    ui::Zprava(storage::ZpravaZapisu(soubor, e));
    return std::nullopt;
  }
  TfUp& okno = PredpisOkno();
  okno.Nastav("=" + soubor, citac);
  okno.JdiNa(std::clamp(radek, 1, std::max<int>(1, static_cast<int>(zapisy.size()))));
  okno.Vysledek = ui::kVkEscape;
  okno.showModal();
  std::optional<std::vector<tUcZapis>> prijate;
  if (okno.Vysledek == ui::kVkReturn) {
    prijate = okno.Zapisy();
    // A proposal with entries left out by a read error would post a voucher that does not balance.
    if (!okno.ZapisyCele()) {
      okno.ZpravaNecele();
      prijate.reset();
    }
  }
  okno.Zavri();
  platform::removeFile(soubor);
  return prijate;
}

}  // namespace pz::accounting
