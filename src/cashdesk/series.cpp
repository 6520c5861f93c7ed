#include "cashdesk/series.h"

#include <algorithm>
#include <cstring>

#include "accounting/accounts.h"
#include "cashdesk/intent.h"
#include "cashdesk/overview.h"
#include "cashdesk/records.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/keys.h"
#include "storage/czech.h"
#include "storage/eventlog.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/layout.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/sortfile.h"
#include "ui/dialogs.h"
#include "ui/keys.h"

namespace pz::cashdesk {

using platform::cz;

namespace {

constexpr const char* kNapovedaKlaves = "\\pz\\pz_ovl";
constexpr const char* kNapovedaOkna = "\\pz\\pz";
constexpr int kPoleRady = 1, kPoleMnozstvi = 4, kPoleUctu = 6;
constexpr char kZnakZruseni = '.';
constexpr int kNejvicArchivu = 99;  // "pzNNZ.old", then "pzNNZ2.old" ... "pzNNZ99.old"
// The field descriptions of the document record before 2015 and now, below the program root.
constexpr const char* kPopisDokladu2015 = "dlib\\pz2015.pol";
constexpr const char* kPopisDokladu = "dlib\\pz.pol";

std::string kodRady(storage::ConstBytes veta) {
  return storage::readShortString(veta, tPzRada::kRada, tPzRada::kSirkaRady);
}

bool zrusena(storage::ConstBytes veta) {
  const std::string k = kodRady(veta);
  return !k.empty() && k[0] == kZnakZruseni;
}

// The work file of a rewrite of `cesta`: beside it, so that the replacement is one rename.
std::string pracovniK(const std::string& cesta) { return cesta.substr(0, cesta.size() - 1) + "$"; }

// The first name under which the documents of deleted series `rada` can be kept without
// replacing an earlier archive of a series of the same number; empty when all are taken.
std::string volnyArchiv(const std::string& rada) {
  for (int k = 1; k <= kNejvicArchivu; ++k) {
    const std::string jmeno = "pz" + rada + "Z" + (k == 1 ? std::string() : std::to_string(k)) + ".old";
    const std::string cesta = storage::DataCesta(jmeno);
    if (!platform::fileExists(cesta)) return cesta;
  }
  return {};
}

}  // namespace

std::string ZamekPridani() { return storage::CestaZamku("ZPORA4"); }

std::string ZamekStavu(const std::string& rada) { return storage::CestaZamku("STAVZ" + rada); }

int NajdiRadu(storage::RecordFile& soubor, const std::string& rada) {
  const int n = soubor.pocet();
  if (n < 1) return 0;
  const std::string hledany = storage::VelkaPismena(rada);
  const std::vector<std::uint8_t> drzena = soubor.veta();
  // The upper-cased number of record k; empty text when it cannot be read.
  auto kod = [&](int k) { return soubor.CtiVetuPrimo(k) ? storage::VelkaPismena(kodRady(soubor.veta())) : std::string(); };
  int nalezeny = 0;
  int lo = 1, hi = n;
  const std::string prvni = kod(lo), posledni = kod(hi);
  if (prvni == hledany) nalezeny = lo;
  else if (posledni == hledany) nalezeny = hi;
  else if (prvni < hledany && hledany < posledni) {
    while (hi - lo > 1) {
      const int stred = lo + (hi - lo) / 2;
      const std::string k = kod(stred);
      if (k == hledany) {
        nalezeny = stred;
        break;
      }
      if (k < hledany) lo = stred;
      else hi = stred;
    }
  }
  // Appended or deleted series stay where they were written until the file is compacted.
  for (int k = 1; k <= n && nalezeny == 0; ++k)
    if (kod(k) == hledany) nalezeny = k;
  soubor.veta() = drzena;
  return nalezeny;
}

std::string ChybaCislaRady(const std::string& rada) {
  bool chyba = !rada.empty() && rada[0] == kZnakZruseni;
  for (char c : rada)
    if (static_cast<unsigned char>(c) < 32 || std::strchr("\\/:*?\"<>|", c) != nullptr) chyba = true;
  if (!chyba) return {};
  return cz("Pokladní řada nesmí začínat tečkou ani obsahovat znaky \\ / : * ? \" < > |");
}

bool PrevedStareRady(const std::string& stary, const std::string& novy) {
  const std::string cestaStara = storage::DataCesta(stary), cestaNova = storage::DataCesta(novy);
  auto potreba = [&] {
    const std::int64_t nova = storage::VelikostSouboru(cestaNova);
    // A missing or empty new file only: a busy or unreadable one is never overwritten.
    return storage::VelikostSouboru(cestaStara) >= tPzRada::kStaraVelikost &&
           (nova == -platform::kIoFileNotFound || nova == 0);
  };
  if (!potreba()) return false;
  // Two stations starting at once convert one after the other; the second finds the work done.
  const std::string zamek = ZamekPridani();
  const storage::Zamek z = storage::Zamkni(zamek, "W");
  if (!storage::MuzePokracovat(z)) return false;
  bool hotovo = false;
  std::string stare;
  if (potreba() && platform::readWholeFile(cestaStara, stare) == platform::kIoOk) {
    const std::size_t pocet = stare.size() / tPzRada::kStaraVelikost;
    std::string nove;
    nove.reserve(pocet * tPzRada::kVelikost);
    for (std::size_t k = 0; k < pocet; ++k) {
      std::string veta(tPzRada::kVelikost, '\0');
      std::memcpy(veta.data(), stare.data() + k * tPzRada::kStaraVelikost, tPzRada::kStaraVelikost);
      // The opening balance in crowns stays 0 (six zero bytes); the note is thirty blanks.
      (void)storage::writeShortString(veta, tPzRada::kPoznamka, tPzRada::kSirkaPoznamky,
                                      std::string(tPzRada::kSirkaPoznamky, ' '));
      nove += veta;
    }
    // Written beside the new file and then put in its place: a half-written series file would
    // never be converted again.
    const std::string pracovni = pracovniK(cestaNova);
    if (platform::writeWholeFile(pracovni, nove) == platform::kIoOk && storage::NahradSoubor(pracovni, cestaNova) == 0)
      hotovo = true;
    else
      platform::removeFile(pracovni);
  }
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
  return hotovo;
}

// ---------------------------------------------------------------------------------------------
// The window

TfPZRady::TfPZRady() : TfSoub("fPZRady", cz("Seznam valutových pokladen")) {
  naPrehledy = [this] { PrehledRad(*this); };
}
TfPZRady::~TfPZRady() = default;

bool TfPZRady::Otevri(const std::string& /*soubor*/) {
  PrevedStareRady();
  pokladniKnihy_ = storage::settings().cashJournal;
  // The columns keep the width of their titles where a title is wider than its field shows.
  const std::pair<const char*, int> sloupce[] = {
      {"  PC ", 2},         {"Měna  ", 3},           {"Kurs         ", 14},  {"Množ.    ", 4},
      {"Stav konta    ", 15}, {pokladniKnihy_ ? "Klíč  " : "účet  ", 6}, {"Počáteční stav  ", 15},
      {"Poč.stav v Kč  ", 15}, {"Poznámka", 30}};
  Sloupce.clear();
  for (const auto& [titulek, sirka] : sloupce) {
    const std::string t = cz(titulek);
    Sloupce.push_back({t, std::max(sirka, static_cast<int>(t.size())), false});
  }
  const bool ok = OtevriSoub(
      {.soubor = kSouborRad,
       .titulek = cz(" Seznam valutových pokladen "),
       .velikost = tPzRada::kVelikost,
       .formular = {10, 1, 60, 12},
       .seznam = {1, 1, 79, 22},
       .napovedaFormulare = cz(" F1,Ctrl+F1=help Ctrl+F9=kalkul F12=opakuj F2=zápis Esc=ven "),
       .titulekFormulare = cz(" Pokladní řada "),
       .napovedaSeznamu = cz(" F1,Ctrl+F1,Alt+F1=help Enter=Výběr F4=přidej Mezera=oprav F8=zruš F10=menu Esc=konec"),
       .pole = {{cz("Pořad.číslo    "), 2, "P"},
                {cz("Cizí měna      "), 3, "X"},
                {"Kurs           ", 14, "###.##########", 'R'},
                {cz("Množství       "), 4, "####", 'W'},
                {"Stav konta     ", 15, "###########.##-", 'R'},
                {.popis = pokladniKnihy_ ? cz("Klíč pokladny   ") : cz("Pokladní účet  "), .sirka = 6,
                 .obrazek = pokladniKnihy_ ? "X" : "L",
                 // The chosen key's name stands beside its number.
                 .bocniText = pokladniKnihy_ ? std::string(registers::kSirkaNazvuKlice, ' ') : std::string(),
                 .bocniSloupec = pokladniKnihy_ ? 27 : 0},
                {cz("Počáteční stav "), 15, "###########.##-", 'R'},
                {cz("Poč.stav v Kč  "), 15, "###########.##-", 'R'},
                {cz("Poznámka       "), 30, "X"}},
       .sloupce = 0});
  ZapamatujSablonu();
  prevedDoklady();
  // A read-only station chooses series but changes none.
  if (!storage::CtiJob("CTENI").empty()) PovolenNovy = PovolenaOprava = PovolenoMazani = false;
  // Series added or deleted while another station held the file are still waiting.
  kZhusteni_ = potrebujeZhusteni();
  novy_ = false;
  nastavMenu();
  return ok;
}

// Document files written by a program before 2015 are brought to the current layout before any
// cash desk opens them; a file already in it, or one another station has open, is left alone.
void TfPZRady::prevedDoklady() {
  std::vector<std::string> soubory;
  for (int k = 1; k <= Soubor().pocet(); ++k)
    if (Soubor().CtiVetuPrimo(k) && ChybaCislaRady(kodRady(Veta())).empty())
      soubory.push_back(storage::DataCesta(SouborDokladu(kodRady(Veta()))));
  for (const std::string& doklady : soubory)
    if (storage::VelikostSouboru(doklady) >= 1)
      storage::PrevedSoubor(doklady, doklady, storage::ProgCesta(kPopisDokladu2015), storage::ProgCesta(kPopisDokladu));
}

bool TfPZRady::potrebujeZhusteni() {
  const std::vector<std::uint8_t> drzena = Veta();
  bool potreba = false;
  std::string predchozi;
  for (int k = 1; k <= Soubor().pocet() && !potreba; ++k) {
    if (!Soubor().CtiVetuPrimo(k)) break;
    const std::string kod = kodRady(Veta());
    potreba = zrusena(Veta()) || (k > 1 && kod < predchozi);
    predchozi = kod;
  }
  Veta() = drzena;
  return potreba;
}

bool TfPZRady::existuje(const std::string& rada) {
  // Another station may have added since the list was counted (it held "ZPORA4" meanwhile).
  Soubor().ObnovSoubor();
  const std::vector<std::uint8_t> drzena = Veta();
  bool nalezena = false;
  for (int k = 1; k <= Soubor().pocet() && !nalezena; ++k)
    nalezena = Soubor().CtiVetuPrimo(k) && storage::VelkaPismena(kodRady(Veta())) == rada;
  Veta() = drzena;
  return nalezena;
}

void TfPZRady::nastavMenu() {
  struct Polozka {
    const char* text;
    bool povolena;
    std::function<void()> akce;
  };
  const Polozka polozky[] = {
      {"Oprava záznamu  &MEZERA", false, {}},
      {"Založ &novou řadu", PovolenNovy, [this] { NaF4(); }},
      {"&Zruš řadu", PovolenoMazani, [this] { NaF8(); }},
      {"&Hledej", false, {}},
      {"&Přehledy", static_cast<bool>(naPrehledy), [this] { if (naPrehledy) naPrehledy(); }},
  };
  for (std::size_t k = 0; k < PopupMenu1.items.size(); ++k) {
    ui::MenuItem& it = PopupMenu1.items[k];
    it.visible = k < std::size(polozky);
    if (!it.visible) continue;
    it.caption = cz(polozky[k].text);
    it.enabled = polozky[k].povolena;
    it.onClick = polozky[k].akce;
  }
}

bool TfPZRady::onKey(const ui::KeyEvent& ev) {
  if (!Hleda() && ev.number() == ui::kCtrlAdd + 'P') {
    KoncovaKlavesa = ev.number();
    if (naPrehledy) naPrehledy();
    return true;
  }
  return TfSoub::onKey(ev);
}

void TfPZRady::NaF1() { ui::Napoveda(kNapovedaKlaves, cz("Funkční klávesy v rolovacím")); }
void TfPZRady::NaAltF1() { ui::Napoveda(kNapovedaOkna, cz("řady pokladny")); }

void TfPZRady::F1Pole(int i) {
  if (i != kPoleUctu) {
    ui::Napoveda(kNapovedaKlaves, cz("Funkční klávesy v aktualizačním"));
    return;
  }
  if (ui::TfFormular* f = AktivniFormular()) f->Precti();
  if (pokladniKnihy_) {
    if (const int n = registers::VyberKlic(); n > 0) {
      NastavText(kPoleUctu, ui::FormatPlainE("###", n));
      Pole(kPoleUctu).bocniText = registers::NazevKlice(n);
      if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
    }
    return;
  }
  std::string ucet = Pole(kPoleUctu).text;
  accounting::VyberUctu(ucet);
  NastavText(kPoleUctu, ucet);
  Pole(kPoleUctu).chyba = false;
}

void TfPZRady::PredFormularem() {
  if (!pokladniKnihy_) return;
  Pole(kPoleUctu).bocniText = registers::NazevKlice(registers::CisloKlice(Pole(kPoleUctu).text));
  if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
}

// ---------------------------------------------------------------------------------------------
// Field checks

// The number of a new series: upper-cased, safe as part of a file name, not yet in the file. A
// number that starts with a letter other than S is only warned about. False when the field is
// in error.
bool TfPZRady::kontrolaCisla() {
  ui::PoleSouboru& p = Pole(kPoleRady);
  p.text = storage::VelkaPismena(p.text);
  if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
  if (const std::string chyba = ChybaCislaRady(p.text); !chyba.empty()) {
    ui::Zprava(chyba);
    p.chyba = true;
    return false;
  }
  const char prvni = p.text.empty() ? ' ' : p.text[0];
  if (!(prvni >= '0' && prvni <= '9') && prvni != 'S') ui::Zprava(cz("Pokladní řada nesmí obsahovat písmeno."));
  if (existuje(p.text)) {
    ui::Zprava(cz("Tato řada již existuje."));
    p.text.clear();
    p.chyba = true;
    if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
    return false;
  }
  return true;
}

void TfPZRady::ZmenaPole(int i) {
  ui::PoleSouboru& p = Pole(i);
  if (i == kPoleRady && novy_) {
    kontrolaCisla();
  } else if (i == kPoleMnozstvi) {
    // Units count what the rate is for; the cash desk divides by them, so 0 is never stored. A
    // field left blank (which is also how 0 shows) means one unit.
    if (!p.chyba && ui::TextNaCele(p.text) == 0) p.text = "   1";
    if (ui::TfFormular* f = AktivniFormular()) f->Ukaz();
  } else if (i == kPoleUctu && !pokladniKnihy_) {
    std::string ucet = p.text;
    p.chyba = accounting::KontrolaUctu(ucet);
    if (!p.chyba) NastavText(i, ucet);
  }
}

void TfPZRady::Prijmi(int i) {
  if (ui::TfFormular* f = AktivniFormular()) f->Precti();
  // Fields the user never left are checked here: a new number must still be usable and free,
  // and units are never stored as 0.
  if (novy_) {
    ui::PoleSouboru& p = Pole(kPoleRady);
    p.text = storage::VelkaPismena(p.text);
    if (!ChybaCislaRady(p.text).empty() || existuje(p.text)) p.chyba = true;
  }
  if (!Pole(kPoleMnozstvi).chyba && ui::TextNaCele(Pole(kPoleMnozstvi).text) == 0) NastavText(kPoleMnozstvi, "   1");
  TfSoub::Prijmi(i);
}

// ---------------------------------------------------------------------------------------------
// Add, edit, delete

void TfPZRady::NaF4() {
  if (!PovolenNovy || ZakazanyNovy()) return;
  const std::string zamek = ZamekPridani();
  const storage::Zamek z = storage::Zamkni(zamek, "W");
  if (!storage::MuzePokracovat(z)) {
    ui::Zprava(cz("Řada se nepřidala, pokladní řady právě mění jiná stanice"));
    return;
  }
  const int pred = Soubor().pocet();
  Veta() = SablonaVety;
  novy_ = true;
  TfSoub::NaF4();
  novy_ = false;
  if (Soubor().pocet() > pred) kZhusteni_ = true;
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
}

void TfPZRady::Oprav() {
  if (!PovolenaOprava || Radek < 1 || Radek > PocetRadku) return;
  const std::vector<std::uint8_t> drzena = Veta();
  const std::string rada = CtiVetuPrimo(CisloZPoradi(Radek)) ? kodRady(Veta()) : std::string();
  Veta() = drzena;
  // A save of the series cut off at a station is undone first, so that the form shows the
  // balance the documents account for and its write is not undone later.
  if (!rada.empty()) (void)ObnovRadu(rada);
  const std::string zamek = ZamekStavu(rada);
  const storage::Zamek z = storage::Zamkni(zamek, "W");
  if (!storage::MuzePokracovat(z)) {
    ui::Zprava(cz("Opravy se neprovedly, řadu právě mění jiná stanice"));
    return;
  }
  // The number names the series' document file: renaming would leave its documents behind.
  Pole(kPoleRady).stav = 0;
  TfSoub::Oprav();
  if (PocetPoli() >= kPoleRady) Pole(kPoleRady).stav = 1;
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
  if (!pokladniKnihy_ && accounting::Osnova().Nastaveno()) accounting::Osnova().ZavriSeznam();
}

void TfPZRady::NaF8() {
  if (!PovolenoMazani || Radek < 1 || Radek > PocetRadku) return;
  if (!ui::Dotaz(10, 10, cz("Zrušit záznam?"))) return;
  const int zaznam = CisloZPoradi(Radek);
  if (!CtiVetuPrimo(zaznam) || zrusena(Veta())) return;
  const std::string rada = kodRady(Veta());
  const std::string doklady = storage::DataCesta(SouborDokladu(rada));
  if (storage::VelikostSouboru(doklady) >= 1) {
    // The documents are kept under an archive name; nobody may have the file open meanwhile.
    const storage::Zamek z = storage::Zamkni(doklady, "W");
    if (!storage::MuzePokracovat(z)) {
      ui::Zprava(cz("Řada se nezrušila, s jejími doklady právě pracuje jiná stanice"));
      return;
    }
    const std::string archiv = volnyArchiv(rada);
    const int chyba = archiv.empty() ? platform::kIoFileExists : platform::renameFile(doklady, archiv);
    if (z == storage::Zamek::Drzen) storage::Odemkni(doklady);
    if (chyba != platform::kIoOk) {
      ui::Zprava(storage::ZpravaSouboru(doklady, chyba));
      return;
    }
    storage::Zapis(cz("         - Zrušení řady č:") + rada);
  }
  Veta() = SablonaVety;
  Veta()[tPzRada::kRada + 1] = static_cast<std::uint8_t>(kZnakZruseni);
  PisVetuPrimo(zaznam);
  Zmeneno = true;
  kZhusteni_ = true;
  Prekresli();
}

// ---------------------------------------------------------------------------------------------
// Compaction at close

// Every series that is not deleted, sorted by number, into a work file beside the series file,
// which then takes the file's place in one step. The window's own open is closed on the way. False
// when the sort or the work file failed; the file is then as it was, as it also is when another
// station came in before the replacement.
bool TfPZRady::zhustiASetrid() {
  const std::string cesta = Soubor().cesta();
  const std::string pracovni = pracovniK(cesta);
  const int stav = storage::SetridVety(
      cesta, tPzRada::kVelikost, [](std::span<const std::uint8_t> v, std::int32_t) { return kodRady(v); }, pracovni,
      storage::kDelkaKlice, {}, [](std::span<const std::uint8_t> v) { return !zrusena(v); });
  if (stav != storage::kStavSetrideno) return false;
  // The replacement needs the file closed; a write lock keeps others out until it is done.
  Soubor().ZavriSoubor();
  bool nahrazeno = false;
  if (storage::IfVolny(cesta).empty()) {
    const storage::Zamek z = storage::Zamkni(cesta, "W");
    if (storage::MuzePokracovat(z)) nahrazeno = storage::NahradSoubor(pracovni, cesta) == 0;
    if (z == storage::Zamek::Drzen) storage::Odemkni(cesta);
  }
  if (!nahrazeno) platform::removeFile(pracovni);
  return true;
}

void TfPZRady::Zavri() {
  if (kZhusteni_ && Soubor().otevren() && storage::IfVolny(Soubor().cesta()).empty() &&
      storage::Premkni(Soubor().cesta())) {
    if (!zhustiASetrid()) ui::Zprava("Chyba pri sortu");
    kZhusteni_ = false;
  }
  TfSoub::Zavri();
}

}  // namespace pz::cashdesk
