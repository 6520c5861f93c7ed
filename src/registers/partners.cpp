#include "registers/partners.h"

#include <array>
#include <cstdio>
#include <functional>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/process.h"
#include "platform/text.h"
#include "registers/banks.h"
#include "registers/checks.h"
#include "registers/partners_lookup.h"
#include "registers/postcodes.h"
#include "registers/states.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/probes.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/app.h"
#include "ui/dialogs.h"

namespace pz::registers {

using platform::cz;

namespace {

constexpr const char* kZamekCislovani = "ORGANIZA.CE";
constexpr const char* kNapoveda = "\\CI\\ORG";
constexpr const char* kRejstrik = "https://ares.gov.cz";
constexpr ui::Color kSvetleZluta = 14745599;  // the list sorted by a column other than the name
constexpr int kSloupecNazvu = 4;
constexpr int kSirkaPoznamek = 100;
constexpr int kPoleKoduProdeje = 20;

bool platnyKodProdeje(const std::string& kod) {
  return kod.find_first_not_of(std::string(kZnakyKoduProdeje) + " ") == std::string::npos;
}

// The personal fields: offset and width of each short string.
constexpr std::array<std::pair<std::size_t, std::size_t>, 8> kOsobni = {{{tOrganizace::kIco, 8},
                                                                         {tOrganizace::kDic, 16},
                                                                         {tOrganizace::kNazev, 30},
                                                                         {tOrganizace::kJmeno, 30},
                                                                         {tOrganizace::kUlice, 30},
                                                                         {tOrganizace::kMesto, 30},
                                                                         {tOrganizace::kKontakt, 24},
                                                                         {tOrganizace::kEmail, 40}}};

template <class Prevod>
void prevedOsobni(std::span<std::uint8_t> veta, Prevod prevod) {
  for (const auto& [offset, sirka] : kOsobni) {
    if (offset + sirka + 1 > veta.size()) continue;
    const std::size_t delka = std::min<std::size_t>(veta[offset], sirka);
    std::string text(reinterpret_cast<const char*>(veta.data() + offset + 1), delka);
    text = prevod(text, KlicOrg());
    std::copy(text.begin(), text.end(), veta.begin() + static_cast<std::ptrdiff_t>(offset + 1));
  }
}

}  // namespace

const std::string& KlicOrg() {
  // Fixed for ever: records scrambled under another key cannot be read back.
  static const std::string klic = std::string("pzpokl - osobni udaje partneru").substr(13, 17);
  return klic;
}

void ZakodujOrg(std::span<std::uint8_t> veta) { prevedOsobni(veta, reports::Zakoduj); }
void DekodujOrg(std::span<std::uint8_t> veta) { prevedOsobni(veta, reports::Dekoduj); }

std::string AdresaHledaniIco(const std::string& ico) {
  const std::string t = storage::Orez(ico);
  if (t.empty() || t.size() > 8) return {};
  for (char c : t)
    if (c < '0' || c > '9') return {};
  return std::string(kRejstrik) + "/ekonomicke-subjekty?ico=" + t;
}

std::string AdresaHledaniNazvu(const std::string& nazev) {
  const std::string utf8 = platform::cp1250ToUtf8(storage::Orez(nazev));
  if (utf8.empty()) return {};
  std::string q;
  for (unsigned char c : utf8) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      q += static_cast<char>(c);
    } else {
      char b[4];
      std::snprintf(b, sizeof b, "%%%02X", c);
      q += b;
    }
  }
  return std::string(kRejstrik) + "/ekonomicke-subjekty?obchodniJmeno=" + q;
}

std::string NovyDic(const std::string& dic) {
  std::string novy = dic;
  if (dic.size() > 4 && dic[3] == '-') {
    novy = "CZ" + dic.substr(4, 12);
  } else if (const std::size_t lomitko = dic.find('/'); lomitko != std::string::npos) {
    if (KontrolaRodnehoCisla(dic)) return dic;
    novy = "SK" + dic.substr(0, lomitko);
  } else {
    return dic;
  }
  if (novy.size() < dic.size()) novy.resize(dic.size(), ' ');
  return novy;
}

std::string SouborPoznamek(int cislo) {
  char b[8];
  std::snprintf(b, sizeof b, "%05d", cislo);
  return storage::DataCesta(std::string("POZNAMKY\\ORG") + b + ".txt");
}

namespace {
TfOrg* g_partneri = nullptr;
}  // namespace

TfOrg::TfOrg() : TfSoub("fOrg", cz("Obchodní partneři")) {
  g_partneri = this;
  auto polozka = [this](std::size_t k, const char* text, bool povolena, std::function<void()> akce) {
    ui::MenuItem& it = PopupMenu1.items.at(k);
    it.caption = cz(text);
    it.visible = true;
    it.enabled = povolena;
    it.onClick = std::move(akce);
  };
  polozka(0, "Používat ARRES", true, [] {
    const bool ano = ui::Dotaz(10, 10, cz("Používat ARRES [A,N]"));
    storage::PisJob("ARES", ano ? "" : "N");
    storage::settings().registerLookup = ano;
  });
  polozka(1, "Třízení - Klik na hlavičku", false,
          [this] { NaTitulek(sloupecBunky_ > 0 ? sloupecBunky_ : LevySloupec); });
  polozka(2, "Překóduj", false, [this] { Prekoduj(); });
  polozka(3, "Překóduj Dič na CZ", false, [this] { PrekodujDic(); });
  polozka(4, "Šifruj označené", false, [this] { SifrujOznacene(true); });
  polozka(5, "Dešifruj označené", false, [this] { SifrujOznacene(false); });
}
TfOrg::~TfOrg() {
  if (g_partneri == this) g_partneri = nullptr;
}

TfOrg& Partneri() { return ui::PosledniOkno(g_partneri); }

bool TfOrg::Nastav(const std::string& soubor) {
  // The first eight columns have titles of their own; the others are the labels at their widths.
  const bool ok = OtevriSoub(
      {.soubor = soubor,
       .titulek = cz("Obchodní partneři"),
       .velikost = tOrganizace::kVelikost + storage::kSPoradim,
       .formular = {2, 1, 78, 24},
       .napovedaFormulare =
           cz(" F2=Zápis Esc=Konec    ENTER_na [ IČO=Obce DIČ=Spolehlivý_plátce ADR1=Náhled_do_RES ] "),
       .titulekFormulare = cz(" Obchodní partneři "),
       .napovedaSeznamu =
           cz(" Enter=Výběr  F1=Help  Mezera=Oprava  F3=Hledej  F4=Přidej F8=Zruš  Klik_na_hlavicku=Třízení "
              "F5=kontrola PSČ a IČZUJ  F7=Poznámky"),
       .pole = {
           {.popis = cz("Číslo firmy "), .sirka = 5, .obrazek = "@@@@@", .ulozeni = 'W', .radek = 1, .pocatecni = "00000", .titulek = cz("Čís.")},
           {.popis = cz(">IČO"), .sirka = 8, .obrazek = "x", .radek = 1, .sloupec = 22, .titulek = cz("I Č O")},
           {.popis = cz(">DIČ "), .sirka = 16, .obrazek = "x", .radek = 1, .sloupec = 37, .titulek = cz("D I Č")},
           {.popis = cz(">Adr1-název "), .sirka = 30, .obrazek = "m", .radek = 2, .titulek = cz("Název firmy")},
           {.popis = cz("Adr2-jméno  "), .sirka = 30, .obrazek = "m", .radek = 3, .titulek = cz("J m é n o")},
           {.popis = cz("Adr3-ulice  "), .sirka = 30, .obrazek = "m", .radek = 4, .titulek = cz("S í d l o")},
           {.popis = cz(">Adr4-město "), .sirka = 30, .obrazek = "m", .radek = 5, .titulek = cz("M í s t o")},
           {.popis = cz(">P S Č      "), .sirka = 5, .radek = 6, .titulek = cz("PSČ")},
           {.popis = cz("> Adr5-stát "), .sirka = 30, .radek = 7},
           {.popis = cz("EAN firmy   "), .sirka = 20, .obrazek = "X", .radek = 8},
           {.popis = cz(">Název banky"), .sirka = 20, .radek = 9},
           {.popis = cz(">Kód banky  "), .sirka = 4, .obrazek = "P", .radek = 9, .sloupec = 36},
           {.popis = cz("Čís.konta   "), .sirka = 19, .obrazek = "X", .radek = 10},
           {.popis = cz("SWIFT Code  "), .sirka = 10, .obrazek = "X", .radek = 10, .sloupec = 36},
           {.popis = cz("Jméno       "), .sirka = 24, .obrazek = "m", .radek = 11},
           {.popis = cz("Telefon     "), .sirka = 24, .radek = 12},
           {.popis = cz("Fax         "), .sirka = 24, .radek = 13},
           {.popis = cz("E-Mail      "), .sirka = 40, .obrazek = "m", .radek = 14},
           {.popis = cz("Místo fakt. "), .sirka = 5, .obrazek = "#####", .ulozeni = 'W', .radek = 16},
           {.popis = cz("Kód prodeje "), .sirka = 10, .radek = 16, .sloupec = 21},
           {.popis = cz("     Ceník "), .sirka = 3, .obrazek = "Y", .radek = 16, .sloupec = 45},
           {.popis = cz("%penalizace "), .sirka = 6, .obrazek = "###.##", .ulozeni = 'R', .radek = 17},
           {.popis = cz("% slevy[-] "), .sirka = 5, .obrazek = "##.#-", .ulozeni = 'R', .radek = 17, .sloupec = 25},
           {.popis = cz("P.dnů spl. "), .sirka = 3, .obrazek = "###", .ulozeni = 'W', .radek = 17, .sloupec = 45},
           {.popis = cz(">P.č.konta  "), .sirka = 2, .obrazek = "##", .ulozeni = 'W', .radek = 18, .bocniText = std::string(40, ' '), .bocniSloupec = 20},
           {.popis = cz("č.objednávky "), .sirka = 12, .radek = 19},
           {.popis = cz("Č.fin. úřadu "), .sirka = 3, .obrazek = "X", .radek = 19, .sloupec = 30},
           {.popis = cz("Pozn.1 "), .sirka = 50, .obrazek = "X", .radek = 20},
           {.popis = cz("Pozn.2 "), .sirka = 50, .obrazek = "X", .radek = 21},
           {.popis = cz("Pozn.3 "), .sirka = 50, .obrazek = "X", .radek = 22},
       }});
  Pole(1).stav = 0;  // the number is the record's position
  ZapamatujSablonu();
  return ok;
}

void TfOrg::CtiPuvodni(int n) {
  zaznamRadku_ = CisloZPoradi(n);
  TfSoub::CtiPuvodni(n);
}

void TfOrg::NaplnSloupce() {
  TfSoub::NaplnSloupce();
  // A deleted partner (a name beginning with two blanks) shows as the default record with its
  // position as number.
  std::string nazev = storage::readShortString(Puvodni(), tOrganizace::kNazev, tOrganizace::kSirkaNazvu);
  nazev.resize(2, ' ');
  if (nazev == "  " && Bunky.size() > 1) {
    char b[8];
    std::snprintf(b, sizeof b, "%05d", zaznamRadku_);
    Bunky[1] = b;
  }
}

namespace {
// Appends the three notes without their blanks, as the search sees them after the columns (folded
// then with the row by SlozProHledani).
void pridejPoznamky(const std::vector<std::uint8_t>& veta, std::string& text) {
  for (std::size_t o : {tOrganizace::kPozn1, tOrganizace::kPozn2, tOrganizace::kPozn3}) {
    const std::size_t delka = o < veta.size() ? std::min<std::size_t>(veta[o], tOrganizace::kSirkaPozn) : 0;
    for (std::size_t i = 0; i < delka; ++i) {
      const char c = o + 1 + i < veta.size() ? static_cast<char>(veta[o + 1 + i]) : '\0';
      if (c != ' ') text += c;
    }
  }
}
}  // namespace

std::string TfOrg::TextProHledani(int n) {
  std::string t = TfSoub::TextProHledani(n) + " ";
  const std::size_t od = t.size();
  pridejPoznamky(Puvodni(), t);
  SlozProHledani(t, od);
  return t;
}

// The columns from the search's blocks, then the notes; a deleted partner, whose first column
// shows its position, goes the usual way.
void TfOrg::TextProHledaniDo(int n, std::string& text) {
  if (!TextPoliZBloku(n, text)) {
    TfSoub::TextProHledaniDo(n, text);
    return;
  }
  if (Puvodni().size() > tOrganizace::kNazev + 2 && Puvodni()[tOrganizace::kNazev] >= 2 &&
      !(Puvodni()[tOrganizace::kNazev + 1] == ' ' && Puvodni()[tOrganizace::kNazev + 2] == ' ')) {
    zaznamRadku_ = Soubor().posledni();  // as CtiPuvodni leaves it
    text += ' ';
    const std::size_t od = text.size();
    pridejPoznamky(Puvodni(), text);
    SlozProHledani(text, od);
    return;
  }
  TfSoub::TextProHledaniDo(n, text);
}

void TfOrg::NaF4() {
  if (!PovolenNovy || ZakazanyNovy()) return;
  // Numbering is serialised between stations: the number is the position the record gets.
  const std::string zamek = storage::CestaZamku(kZamekCislovani);
  const storage::Zamek z = storage::Zamkni(zamek, "W");
  if (!storage::MuzePokracovat(z)) return;
  Soubor().ObnovSoubor();
  if (Soubor().pocet() >= kNejvicPartneru) {
    ui::Zprava(cz("Více partnerů nelze založit"));
  } else {
    Veta() = SablonaVety;
    (void)storage::writeU16(Veta(), tOrganizace::kCislo, static_cast<std::uint16_t>(Soubor().pocet() + 1));
    TfSoub::NaF4();
  }
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
}

void TfOrg::NovaVeta() {
  // The record count as it is now, under the numbering lock.
  (void)storage::writeU16(Veta(), tOrganizace::kCislo, static_cast<std::uint16_t>(Soubor().pocet() + 1));
  TfSoub::NovaVeta();
}

void TfOrg::NaF8() {
  if (!PovolenoMazani || Radek < 1 || Radek > PocetRadku) return;
  if (!ui::Dotaz(10, 10, cz("Skutečně zrušit"))) return;
  std::vector<int> zaznamy;
  if (PocetOznacenych > 0) {
    for (int z = 1; z <= Soubor().pocet(); ++z)
      if (Znacky.je(z)) zaznamy.push_back(z);
  } else {
    zaznamy.push_back(CisloZPoradi(Radek));
  }
  // Blanked in place: the numbers of the partners after it stay.
  for (int z : zaznamy) {
    Veta() = SablonaVety;
    (void)storage::writeU16(Veta(), tOrganizace::kCislo, static_cast<std::uint16_t>(z));
    PisVetuPrimo(z);
  }
  Znacky.vycisti();
  PocetOznacenych = 0;
  SeznamZnacek.clear();
  Zmeneno = true;
  Prekresli();
}

void TfOrg::NaF7() {
  if (Radek < 1 || Radek > PocetRadku) return;
  const int cislo = CisloZPoradi(Radek);
  const std::string cesta = SouborPoznamek(cislo);
  if (storage::VelikostSouboru(cesta) < 1) {
    CtiVetuPrimo(cislo);
    char b[8];
    std::snprintf(b, sizeof b, "%5d", cislo);
    const std::string radky[] = {
        std::string(b) + " " + storage::readShortString(Veta(), tOrganizace::kNazev, tOrganizace::kSirkaNazvu),
        "**********************************", ""};
    std::string obsah;
    for (std::string r : radky) {
      r.resize(kSirkaPoznamek, ' ');
      if (storage::settings().gdpr) r = reports::Zakoduj(r, reports::KlicSestav());
      obsah += r + "\r\n";
    }
    storage::ZalozCestu(cesta);
    if (platform::writeWholeFile(cesta, obsah) != platform::kIoOk) {
      ui::Zprava(cz("Soubor ") + cesta + cz(" nelze zapsat"));
      return;
    }
  }
  // The viewer takes a report's name without its ".txt".
  ui::UkazSestavu(cesta.substr(0, cesta.size() - 4));
}

void TfOrg::NaCtrlPravy() {
  for (std::size_t k = 1; k <= 5; ++k) PopupMenu1.items.at(k).enabled = true;
  PopupMenu1.popup(*this, 2, std::max(1, sgRol.row));
}

void TfOrg::sgRolMouseDown(const ui::MouseEvent& ev) {
  const int sloupec = sgRol.columnAt(ev.col, cellsOf(sgRol));
  if (sloupec >= 1) sloupecBunky_ = sloupec;
  TfSoub::sgRolMouseDown(ev);
}

bool TfOrg::zacniPrepis(const std::string& otazka) {
  if (!Soubor().otevren() || !ui::DotazVychozi(otazka, false)) return false;
  const std::string cesta = Soubor().cesta();
  if (!storage::IfVolny(cesta).empty() || !storage::Premkni(cesta)) {
    ui::Zprava(cz("Se souborem se pracuje"));
    return false;
  }
  Soubor().ObnovSoubor();
  return true;
}

void TfOrg::skonciPrepis() {
  const std::string cesta = Soubor().cesta();
  storage::Odemkni(cesta);
  storage::sharing().Zamkni(cesta, 0);
  Zmeneno = true;
  Soubor().ObnovSoubor();
  PocetRadku = Soubor().pocet();
  Prekresli();
}

bool TfOrg::Prekoduj() {
  if (!zacniPrepis(cz("Překódovat názvy, adresy a kontakty všech partnerů z kódu Kamenických?"))) return false;
  static constexpr std::pair<std::size_t, std::size_t> kPole[] = {{tOrganizace::kNazev, 30}, {tOrganizace::kJmeno, 30},
                                                                  {tOrganizace::kUlice, 30}, {tOrganizace::kMesto, 30},
                                                                  {tOrganizace::kStat, 30},  {tOrganizace::kKontakt, 24}};
  for (int z = 1; z <= Soubor().pocet(); ++z) {
    if (!CtiVetuPrimo(z)) break;
    for (const auto& [offset, sirka] : kPole)
      (void)storage::writeShortString(Veta(), offset, sirka,
                                      storage::ZKamenickeho(storage::readShortString(Veta(), offset, sirka)));
    if (!PisVetuPrimo(z)) break;
  }
  skonciPrepis();
  return true;
}

bool TfOrg::PrekodujDic() {
  if (!zacniPrepis(cz("Přepsat DIČ starého tvaru na CZ a SK u všech partnerů?"))) return false;
  for (int z = 1; z <= Soubor().pocet(); ++z) {
    if (!CtiVetuPrimo(z)) break;
    const std::string dic = storage::readShortString(Veta(), tOrganizace::kDic, 16);
    const std::string novy = NovyDic(dic);
    if (novy == dic) continue;
    (void)storage::writeShortString(Veta(), tOrganizace::kDic, 16, novy);
    if (!PisVetuPrimo(z)) break;
  }
  skonciPrepis();
  return true;
}

bool TfOrg::SifrujOznacene(bool zasifruj) {
  if (PocetOznacenych < 1) return false;
  if (!zacniPrepis(zasifruj ? cz("Zašifrovat osobní údaje označených partnerů?")
                            : cz("Dešifrovat osobní údaje označených partnerů?")))
    return false;
  // The records as stored: the scrambling hooks of a GDPR installation stay out of it.
  platform::File soubor;
  if (soubor.open(Soubor().cesta(), platform::Access::ReadWrite, platform::Share::DenyNone) != platform::kIoOk) {
    skonciPrepis();
    return false;
  }
  std::vector<std::uint8_t> veta(tOrganizace::kVelikost);
  for (int z = 1; z <= Soubor().pocet(); ++z) {
    if (!Znacky.je(z)) continue;
    const std::int64_t kde = static_cast<std::int64_t>(z - 1) * tOrganizace::kVelikost;
    if (soubor.readAt(kde, veta.data(), veta.size()) != platform::kIoOk) break;
    if (zasifruj) ZakodujOrg(veta);
    else DekodujOrg(veta);
    if (soubor.writeAt(kde, veta.data(), veta.size()) != platform::kIoOk) break;
  }
  soubor.close();
  skonciPrepis();
  return true;
}

void TfOrg::NaF1() { ui::Napoveda(kNapoveda, "Seznam"); }
void TfOrg::F1Pole(int) { ui::Napoveda(kNapoveda, "ICO"); }

void TfOrg::NaTitulek(int sloupec) {
  if (sloupec < 1 || sloupec > PocetPoli() || sloupec > static_cast<int>(Sloupce.size())) return;
  if (sloupec == 1) {
    const int zaznam = Radek >= 1 ? CisloZPoradi(Radek) : 0;
    ZpetNaSoubor();
    if (zaznam >= 1) JdiNa(zaznam, 0);
    BarvaMrizky = UlozenaBarvaMrizky;
    Prekresli();
    return;
  }
  // The list's titles are not the labels: the sort looks the field up by the label.
  const std::string titulek = Sloupce[static_cast<std::size_t>(sloupec - 1)].titulek;
  Sloupce[static_cast<std::size_t>(sloupec - 1)].titulek = Pole(sloupec).popis;
  SetridPodleSloupce(sloupec);
  Sloupce[static_cast<std::size_t>(sloupec - 1)].titulek = titulek;
  if (AktivniPoradi() == 1) {
    BarvaMrizky = sloupec == kSloupecNazvu ? kBarvaPoradi : kSvetleZluta;
    Prekresli();
  }
}

void TfOrg::ZmenaPole(int i) {
  if (i == 2) {
    if (storage::settings().registerLookup && storage::Orez(Pole(4).text).empty() &&
        !storage::Orez(Pole(2).text).empty())
      DoplnZRegistru();
  } else if (i == 3) {
    Pole(3).text = storage::VelkaPismena(Pole(3).text);
    if (AktivniFormular()) AktivniFormular()->Ukaz();
    if (Pole(3).text.find('/') != std::string::npos && !KontrolaRodnehoCisla(Pole(3).text))
      ui::Zprava(cz("Chybné rodné číslo"));
  } else if (i == kPoleKoduProdeje) {
    if (!platnyKodProdeje(Pole(i).text)) {
      Pole(i).chyba = true;
      ui::Zprava(cz("Kód prodeje smí obsahovat jen znaky ") + kZnakyKoduProdeje);
    }
  } else if (i == 13 && !storage::Orez(Pole(13).text).empty()) {
    std::string ucet = Pole(13).text;
    if (KontrolaKonta(ucet)) {
      Pole(13).text = ucet;
      if (AktivniFormular()) AktivniFormular()->Ukaz();
    } else {
      ui::Zprava(cz("Chybné číslo konta"));
    }
  }
}

void TfOrg::DoplnZRegistru() {
  const auto ico = PlatneIco(Pole(2).text);
  if (ico && !KontrolniCisliceIco(*ico)) ui::Zprava(cz("IČO nemá správnou kontrolní číslici"));
  AresUdaje a;
  if (!HledejAres(Pole(2).text, a)) return;
  const auto pole = [this](int i, const std::string& text) {
    std::string t = text.substr(0, static_cast<std::size_t>(Pole(i).sirka));
    t.resize(static_cast<std::size_t>(Pole(i).sirka), ' ');
    Pole(i).text = t;
  };
  pole(2, a.ico);
  pole(3, a.dic);
  pole(4, a.nazev);
  pole(6, a.ulice);
  pole(7, a.mesto);
  pole(8, a.psc);
  pole(9, a.stat);
  pole(27, a.financniUrad);
  // A person's VAT number is the birth number, not the IČO: the register is asked for the DIČ.
  const auto dic = CisliceDic(a.dic);
  DphUdaje d;
  if (HledejSpolehlivost(dic ? *dic : *ico, d)) {
    if (!d.ucet.empty()) {
      pole(13, d.ucet);
      if (!d.kodBanky.empty()) pole(12, d.kodBanky);
    }
    pole(30, d.status.find("NE") != std::string::npos ? std::string() : cz("NESPOLEHLIVÝ PLÁTCE DPH"));
  }
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

void TfOrg::EnterPole(int i) {
  ui::TfFormular* f = AktivniFormular();
  if (f) f->Precti();
  auto* presenter = ui::Application::instance().presenter();
  if (i == 2 || i == 4) {
    const std::string text = storage::Orez(Pole(i).text);
    if (presenter) presenter->setClipboardText(text);
    const std::string adresa = i == 2 ? AdresaHledaniIco(text) : AdresaHledaniNazvu(text);
    if (!adresa.empty()) platform::openUrl(adresa);
  } else if (i == 8) {
    TfPsc& seznam = SeznamPsc();
    seznam.ObecPartnera = Pole(7).text;
    seznam.NastavPsc();
    seznam.showModal();
    const std::string psc = seznam.VybranePsc();
    seznam.Zavri();
    if (!psc.empty()) Pole(8).text = psc;
  } else if (i == 9) {
    TfStaty& seznam = SeznamStatu();
    seznam.NastavStaty();
    seznam.showModal();
    const std::string stat = seznam.VybranyNazev();
    seznam.Zavri();
    if (!stat.empty()) Pole(9).text = stat;
  } else if (i == 11 || i == 12) {
    // The bank codes list at the typed name or code; the chosen bank gives both.
    TfKodyBank& kody = KodyBank();
    const int z = i == 11 ? HledejBankuNazev(Pole(11).text) : HledejBankuKod(Pole(12).text);
    if (kody.Vyber(z) > 0) {
      const auto& v = kody.Vybrana;
      NastavText(11, storage::readShortString(v, tBanka::kBanka, tBanka::kSirkaBanky).substr(0, 20));
      NastavText(12, storage::readShortString(v, tBanka::kKod, tBanka::kSirkaKodu));
    }
  } else if (i == 25) {
    TfBankKody& ucty = BankovniUcty();
    const int z = ucty.Vyber();
    if (z > 0) {
      NastavText(25, ui::FormatPlainE("##", z));
      Pole(25).bocniText = PopisKonta(z);
    }
  }
  if (f) f->Ukaz();
}

void TfOrg::PredFormularem() {
  Pole(25).bocniText = PopisKonta(ui::TextNaCele(Pole(25).text));
  if (AktivniFormular()) AktivniFormular()->Ukaz();
}

void TfOrg::PredZapisem(std::span<std::uint8_t> b) { ZakodujOrg(b); }
void TfOrg::PoCteni(std::span<std::uint8_t> b, storage::Buffer) { DekodujOrg(b); }

}  // namespace pz::registers
