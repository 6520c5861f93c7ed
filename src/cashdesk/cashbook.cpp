#include "cashdesk/cashbook.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "cashdesk/cashwindow.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/fields.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {
namespace {

using platform::cz;

constexpr int kSirka = 132;
constexpr const char* kCastka = "#### ### ###.##-";
constexpr const char* kZustatek = "# ### ### ###.##-";
constexpr const char* kCsv = "##########,##-";

std::string dnes() {
  const platform::Date d = platform::clock().today();
  char b[16];
  std::snprintf(b, sizeof b, "%02d.%02d.%04d", d.day, d.month, d.year);
  return b;
}

std::string strana3(int n) {
  char b[8];
  std::snprintf(b, sizeof b, "%3d", n);
  return b;
}

// The page header; the first page also carries the balance at From and the side file's columns.
class Hlavicka {
 public:
  Hlavicka(const RadaKnihy& r, std::string_view od, std::string_view do_, const SouctyKnihy& s)
      : rada_(r), od_(od), do_(do_), s_(s) {}
  int radku = 1 << 30;  // lines on the current page; above any page length until the first header
  void pis() {
    ++strana_;
    reports::PisRadek(std::string(1, reports::kFormFeed));
    std::string firma = storage::NaSirku(storage::settings().firmName, 24);
    reports::PisRadek(storage::NaSirku(firma + std::string(87, ' ') + "Datum: ", kSirka - 10) + dnes());
    reports::PisRadek(cz("OBDOBÍ: ") + DatumSestavy(od_) + " - " + DatumSestavy(do_));
    reports::PisRadek(std::string(37, ' ') + cz("V A L U T O V Á  P O K L A D N A - ") + rada_.rada + cz(" měna : ") +
                      rada_.mena + std::string(27, ' ') + "LIST: " + strana3(strana_));
    reports::PisRadek(std::string(37, ' ') + std::string(32, '='));
    reports::PisRadek(cz(" Datum      Č.d.  Č.daň.dok. Obsah zápisu                                      Pohyb          "
                         "Zůstatek         Poh.v ") + rada_.domaciMena + "  Podpis");
    reports::PisRadek(std::string(kSirka, '-'));
    radku = 7;
    if (strana_ == 1) {
      reports::PisCsv(cz("   Datum  ; Č.d.;Č.daň.dok.;") + storage::NaSirku("Text", 50) + ";" + cz("       Příjmy ") + ";" +
                      cz("       Výdaje ") + ";" + cz("   Zůstatek "));
      reports::PisRadek(DatumSestavy(od_) + std::string(27, ' ') + ui::FormatC(kZustatek, s_.stavOd) +
                        ui::FormatC(kZustatek, s_.stavOdKc));
      reports::PisRadek(ui::FormatC(kZustatek, s_.prijmyPred) + ui::FormatC(kZustatek, s_.vydajePred) +
                        ui::FormatC(kZustatek, s_.stavOd));
      radku += 2;
    }
  }

 private:
  const RadaKnihy& rada_;
  std::string od_, do_;
  const SouctyKnihy& s_;
  int strana_ = 0;
};

}  // namespace

std::uint32_t CisloDne(std::string_view t) {
  if (t.size() < 6) return 0;
  int c[6];
  for (int i = 0; i < 6; ++i) {
    c[i] = storage::dateDigit(t[i]) - '0';
    if (c[i] < 0 || c[i] > 9) return 0;
  }
  const int rok = storage::widenYear(c[4] * 10 + c[5]);
  return static_cast<std::uint32_t>(rok * 10000 + (c[2] * 10 + c[3]) * 100 + c[0] * 10 + c[1]);
}

namespace {

// The eight digits of a day number, YYYYMMDD.
void cifryDne(std::uint32_t den, char* b) {
  for (int i = 7; i >= 0; --i, den /= 10) b[i] = static_cast<char>('0' + den % 10);
}

// A day number as DD.MM.YYYY in ten characters.
void datumSestavy(std::uint32_t den, char* b) {
  char k[8];
  cifryDne(den, k);
  const char t[10] = {k[6], k[7], '.', k[4], k[5], '.', k[0], k[1], k[2], k[3]};
  std::copy(t, t + 10, b);
}

// A text of at most five characters as a number that orders as the text does (byte order, a
// prefix first): the bytes padded with zeros, then the length.
std::uint64_t KlicIdentu(std::string_view t) {
  std::uint64_t k = 0;
  for (std::size_t i = 0; i < 5; ++i) k = k << 8 | (i < t.size() ? static_cast<std::uint8_t>(t[i]) : 0u);
  return k << 3 | std::min<std::size_t>(t.size(), 5);
}

}  // namespace

std::string KlicDne(std::string_view t) {
  std::string k(8, '0');
  cifryDne(CisloDne(t), k.data());
  return k;
}

std::string DatumSestavy(std::string_view t) {
  char b[10];
  datumSestavy(CisloDne(t), b);
  return std::string(b, sizeof b);
}

RadaKnihy RadaKnihyZeZaznamu(std::span<const std::uint8_t> z, const std::string& menaZobrazeni,
                             const std::string& domaciMena) {
  RadaKnihy r;
  r.rada = storage::readShortString(z, tPzRada::kRada, tPzRada::kSirkaRady);
  r.mena = menaZobrazeni;
  r.domaciMena = domaciMena;
  const auto m = storage::toTenThousandths(storage::readReal48(z, tPzRada::kPocStav));
  const auto k = storage::toTenThousandths(storage::readReal48(z, tPzRada::kPocStavKc));
  r.pocStav = m.ok() ? m.tenThousandths : 0;
  r.pocStavKc = k.ok() ? k.tenThousandths : 0;
  return r;
}

SouctyKnihy PisKnihu(const std::vector<DokladVypisu>& doklady, const RadaKnihy& rada, std::string_view od,
                     std::string_view do_, PoradiKnihy poradi) {
  const std::uint32_t denOd = CisloDne(od), denDo = CisloDne(do_);
  // Documents paid after To take no part; the rest in the chosen order.
  // The sort reads its keys from this array, not from the documents scattered over the file.
  struct Polozka {
    std::uint32_t den;
    std::uint64_t ident;  // KlicIdentu
    std::size_t doklad;
  };
  std::vector<Polozka> poradiDokladu;
  poradiDokladu.reserve(doklady.size());
  for (std::size_t i = 0; i < doklady.size(); ++i)
    if (doklady[i].denZapl <= denDo) poradiDokladu.push_back({doklady[i].denZapl, KlicIdentu(doklady[i].ident()), i});
  if (poradi == PoradiKnihy::DataZaplaceni)
    std::stable_sort(poradiDokladu.begin(), poradiDokladu.end(), [](const Polozka& a, const Polozka& b) {
      return a.den != b.den ? a.den < b.den : a.ident < b.ident;
    });
  else
    std::stable_sort(poradiDokladu.begin(), poradiDokladu.end(),
                     [](const Polozka& a, const Polozka& b) { return a.ident < b.ident; });
  std::vector<std::size_t> vybrane;
  vybrane.reserve(poradiDokladu.size());
  for (const Polozka& p : poradiDokladu) vybrane.push_back(p.doklad);
  poradiDokladu = {};

  SouctyKnihy s;
  s.stavOd = rada.pocStav;
  s.stavOdKc = rada.pocStavKc;
  // The balance at From needs every document before it, whatever the order.
  for (std::size_t i : vybrane) {
    const DokladVypisu& d = doklady[i];
    if (d.denZapl >= denOd) continue;
    const int z = d.Znamenko();
    if (z > 0) {
      s.stavOd += d.placenoVal;
      s.prijmyPred += d.placenoVal;
      s.stavOdKc += d.placenoKc;
    } else if (z < 0) {
      s.stavOd -= d.placenoVal;
      s.vydajePred += d.placenoVal;
      s.stavOdKc -= d.placenoKc;
    }
  }

  Hlavicka hlavicka(rada, od, do_, s);
  const int delkaStrany = storage::settings().pageLength;
  Penize zustatek = s.stavOd;
  std::string radek;
  radek.reserve(2 * kSirka);
  const ui::ObrazekPenez castka(kCastka), zustatekObr(kZustatek), csv(kCsv);
  for (std::size_t i : vybrane) {
    const DokladVypisu& d = doklady[i];
    if (d.denZapl < denOd) continue;
    const int z = d.Znamenko();
    Penize pohyb = 0;
    if (z > 0) {
      s.prijmy += d.placenoVal;
      s.prijmyKc += d.placenoKc;
      pohyb = d.placenoVal;
    } else if (z < 0) {
      s.vydaje += d.placenoVal;
      s.vydajeKc += d.placenoKc;
      pohyb = -d.placenoVal;
    }
    zustatek += pohyb;
    if (hlavicka.radku >= delkaStrany) hlavicka.pis();
    const Penize kc = z < 0 ? -d.placenoKc : d.placenoKc;
    char datum[10];
    datumSestavy(d.denZapl, datum);
    radek.assign(1, ' ');
    radek.append(datum, sizeof datum).append(1, ' ');
    storage::PridejNaSirku(radek, d.ident(), 5).append(1, ' ');
    storage::PridejNaSirku(radek, d.cislo(), 10).append(1, ' ');
    storage::PridejNaSirku(radek, d.text(), 38).append(1, ' ');
    castka.pridej(radek, pohyb);
    zustatekObr.pridej(radek, zustatek);
    zustatekObr.pridej(radek, kc);
    reports::PisRadek(radek);
    ++hlavicka.radku;
    radek.assign(datum, sizeof datum);
    radek.append(1, ';').append(d.ident()).append(1, ';').append(d.cislo()).append(1, ';');
    storage::PridejNaSirku(radek, d.text(), 50).append(1, ';');
    csv.pridej(radek, z > 0 ? d.placenoVal : 0);
    radek.append(1, ';');
    csv.pridej(radek, z < 0 ? d.placenoVal : 0);
    radek.append(1, ';');
    csv.pridej(radek, zustatek);
    reports::PisCsv(radek);
    ++s.radku;
  }
  s.posledniZustatek = zustatek;
  s.stavDo = s.stavOd + s.prijmy - s.vydaje;

  if (hlavicka.radku + 8 > delkaStrany) hlavicka.pis();
  const std::string obdobi = cz(" S O U Č T Y   O B R A T Ů   Z A   V Y B R A N É   O B D O B Í     ");
  const std::string celkem = cz(" S O U Č T Y   O B R A T Ů   C E L K E M                           ");
  reports::PisRadek(std::string(kSirka, '-'));
  reports::PisRadek(obdobi + ui::FormatC("### ### ### ###.##-", s.prijmy));
  reports::PisRadek(obdobi + " " + ui::FormatC("## ### ### ###.##-", -s.vydaje) + ui::FormatC(kZustatek, s.stavDo));
  reports::PisRadek(celkem + ui::FormatC("### ### ### ###.##-", s.prijmyPred + s.prijmy));
  reports::PisRadek(celkem + " " + ui::FormatC("## ### ### ###.##-", -(s.vydajePred + s.vydaje)) +
                    ui::FormatC(kZustatek, s.stavDo));
  const std::string kc = cz("SOUČTY  OBRATŮ  ZA  VYBRANÉ  OBDOBÍ  V  ") + rada.domaciMena + std::string(58, ' ');
  reports::PisRadek(kc + ui::FormatC("## ### ### ###.##-", s.prijmyKc));
  reports::PisRadek(kc + ui::FormatC("## ### ### ###.##-", -s.vydajeKc));
  return s;
}

bool CtiDokladySouboru(const std::string& cesta, std::vector<PokladniDoklad>& doklady) {
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return false;
  const std::size_t n = obsah.size() / tPzDoklad::kVelikost;
  doklady.clear();
  doklady.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    const std::span<std::uint8_t> z(reinterpret_cast<std::uint8_t*>(obsah.data()) + k * tPzDoklad::kVelikost,
                                    tPzDoklad::kVelikost);
    OpravDatumDokladu(z);
    CtiDoklad(z, doklady.emplace_back());
  }
  return true;
}

bool CtiDokladySouboru(const std::string& cesta, DokladySouboru& doklady) {
  std::string& obsah = *doklady.bajty;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return false;
  const std::size_t n = obsah.size() / tPzDoklad::kVelikost;
  doklady.doklady.clear();
  doklady.doklady.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    std::uint8_t* z = reinterpret_cast<std::uint8_t*>(obsah.data()) + k * tPzDoklad::kVelikost;
    OpravDatumDokladu(std::span<std::uint8_t>(z, tPzDoklad::kVelikost));
    DokladVypisu& d = doklady.doklady.emplace_back(CtiDokladVypisu(z));
    d.denZapl = CisloDne(d.datumZapl());
  }
  return true;
}

bool ProjdiDokladySouboru(const std::string& cesta, const std::function<void(const DokladVypisu&)>& kazdy) {
  constexpr std::size_t kBlok = 1024;  // documents a read: the block stays in the cache
  constexpr std::size_t kVelikost = tPzDoklad::kVelikost;
  platform::File f;
  std::int64_t velikost = 0;
  if (f.open(cesta, platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk ||
      f.size(velikost) != platform::kIoOk)
    return false;
  std::vector<std::uint8_t> blok(kBlok * kVelikost);
  // As a whole read would: the documents the file holds when it is opened, a partial last one left out.
  const std::int64_t konec = velikost / static_cast<std::int64_t>(kVelikost) * static_cast<std::int64_t>(kVelikost);
  for (std::int64_t od = 0; od < konec;) {
    const std::size_t chci = static_cast<std::size_t>(std::min<std::int64_t>(konec - od, std::int64_t{kBlok * kVelikost}));
    std::size_t precteno = 0;
    const int kod = f.readAt(od, blok.data(), chci, &precteno);
    if (kod != platform::kIoOk && kod != platform::kIoReadPastEnd) return false;
    for (std::size_t k = 0; k + kVelikost <= precteno; k += kVelikost) {
      OpravDatumDokladu(std::span<std::uint8_t>(blok.data() + k, kVelikost));
      DokladVypisu d = CtiDokladVypisu(blok.data() + k);
      d.denZapl = CisloDne(d.datumZapl());
      kazdy(d);
    }
    if (precteno < chci) break;  // the file shrank meanwhile: read as it is
    od += static_cast<std::int64_t>(chci);
  }
  return true;
}

bool VytvorKnihu(const std::vector<DokladVypisu>& doklady, const RadaKnihy& rada, std::string_view od,
                 std::string_view do_, PoradiKnihy poradi) {
  const std::string soubor = "PZ10.TXT";
  // The report and its side file are one pair: no other station writes them meanwhile.
  if (!storage::MuzePokracovat(storage::Zamkni(soubor, "W"))) return false;
  bool ok = reports::OtevriSestavu("PZ10", kSirka);
  if (ok) PisKnihu(doklady, rada, od, do_, poradi);
  ok = reports::ZavriSestavu() && ok;
  if (ok) ui::UkazSestavu("PZ10");
  storage::Odemkni(soubor);
  return ok;
}

bool ZadejObdobi(const std::string& popisOd, const std::string& popisDo, const std::string& titulek,
                 std::string& od, std::string& do_) {
  for (;;) {
    if (!ui::Dotazy(10, 10, {}, {popisOd, storage::NaSirku(od, 6), popisDo, storage::NaSirku(do_, 6)}, titulek)) return false;
    const auto& o = ui::vysledekDialogu().odpovedi;
    od = o.size() > 0 ? o[0] : "";
    do_ = o.size() > 1 ? o[1] : "";
    const auto dOd = ui::CtiDatum('d', storage::BezMezer(od));
    const auto dDo = ui::CtiDatum('d', storage::BezMezer(do_));
    if (!dOd || storage::Orez(*dOd).empty()) {
      ui::Zprava(cz("Chybně zadán parametr \"Od data\""));
    } else if (!dDo || storage::Orez(*dDo).empty()) {
      ui::Zprava(cz("Chybně zadán parametr \"Do data\""));
    } else {
      od = *dOd;
      do_ = *dDo;
      return true;
    }
  }
}

void OpisPokladny(TfPZPokl& okno) {
  DokladySouboru soubor;
  if (!CtiDokladySouboru(okno.Soubor().cesta(), soubor)) {
    ui::Zprava(cz("Soubor ") + okno.Soubor().jmeno() + cz(" nelze přečíst"));
    return;
  }
  const std::vector<DokladVypisu>& doklady = soubor.doklady;
  std::string od = doklady.empty() ? std::string(6, ' ') : std::string(doklady.front().datumZapl());
  std::string do_ = doklady.empty() ? std::string(6, ' ') : std::string(doklady.back().datumZapl());
  if (!ZadejObdobi(cz("Od data (DDMMRR): "), cz("Do data (DDMMRR): "), cz(" Období "), od, do_)) return;
  const int volba = ui::Vyber(20, 10, {}, {cz(" Data zaplacení "), cz(" Čísel poklad.dokladů ")},
                              cz(" Doklady seřadit podle  "));
  if (volba < 1) return;
  VytvorKnihu(doklady, RadaKnihyZeZaznamu(okno.Rada, okno.MenaZobrazeni, storage::settings().homeCurrency), od,
              do_, volba == 1 ? PoradiKnihy::DataZaplaceni : PoradiKnihy::CislaDokladu);
}

}  // namespace pz::cashdesk
