#include "cashdesk/vatlisting.h"

#include <algorithm>
#include <cstdio>

#include "cashdesk/cashbook.h"
#include "cashdesk/cashwindow.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "registers/partners.h"
#include "reportfiles/report.h"
#include "storage/filehelpers.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace pz::cashdesk {

using platform::cz;

namespace {

constexpr int kSirka = 132;
constexpr const char* kCastka = "########.##";

std::string pad(std::string_view s, std::size_t w) {
  std::string t(s.substr(0, std::min(s.size(), w)));
  t.resize(w, ' ');
  return t;
}

std::string cislo5(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%05d", n);
  return b;
}

bool jeZaznam(const std::vector<int>& seznam, int m) { return std::find(seznam.begin(), seznam.end(), m) != seznam.end(); }

std::vector<DodatekDph> ctiDodatky(const std::string& souborDokladu, std::size_t pocet) {
  std::string obsah;
  const int kod = platform::readWholeFile(storage::DataCesta(SouborDodatku(souborDokladu)), obsah, platform::Share::DenyNone);
  if (kod != platform::kIoOk) obsah.clear();
  const std::size_t n = std::max(pocet, obsah.size() / kVelikostDodatku);
  std::vector<DodatekDph> d;
  d.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::vector<std::uint8_t> b(kVelikostDodatku, 0);
    const std::size_t od = i * kVelikostDodatku;
    if (od + kVelikostDodatku <= obsah.size()) std::copy_n(obsah.begin() + static_cast<std::ptrdiff_t>(od), kVelikostDodatku, b.begin());
    d.emplace_back(std::move(b));
  }
  return d;
}

}  // namespace

std::vector<DodatekDph> DoplneneDodatky(const std::vector<PokladniDoklad>& doklady, const std::string& rada,
                                        const std::vector<DodatekDph>& stare, bool smazat) {
  std::vector<DodatekDph> nove;
  const std::size_t n = smazat ? doklady.size() : std::max(doklady.size(), stare.size());
  for (std::size_t k = 0; k < n; ++k) {
    DodatekDph d = !smazat && k < stare.size() ? stare[k] : DodatekDph();
    if (k < doklady.size()) {
      const PokladniDoklad& dok = doklady[k];
      const std::string den = KlicDne(dok.datumDod);
      const bool do2008 = den >= "20040501" && den <= "20081231", od2009 = den >= "20090101";
      if ((dok.druh == "P" || dok.druh == "V") && d.Prazdny() && (do2008 || od2009)) {
        const Penize P = dok.placenoKc;
        d.NastavKlic("000" + rada + cislo5(static_cast<int>(k + 1)));
        d.NastavCelkem(P);
        const std::string dic = registers::NovyDic(dok.dic);
        d.NastavDic(dic);
        d.NastavStat(dic.substr(0, std::min<std::size_t>(2, dic.size())));
        d.UvolniRadky();
        if (dok.druh == "P") {
          d.Umisti(do2008 ? "410" : "020", P, 0, "     ");
        } else {
          d.Umisti(do2008 ? "320" : "044", P, 0, "     ");
          d.Umisti(do2008 ? "220" : "003", P, 0, "     ");
        }
      }
    }
    nove.push_back(std::move(d));
  }
  return nove;
}

void DoplnDodatkyPokladny(TfPZPokl& okno) {
  if (!okno.PovolenaOprava || !okno.Soubor().otevren()) return;
  // Both questions before anything changes: the stored supplements are never left deleted.
  const bool smazat = okno.DodatkyDph().pocet() > 0 && ui::Dotaz(5, 15, cz("Chcete smazat původní soubor dodatků DPH ?"));
  if (!ui::Dotaz(10, 10, cz("Provést doplnění dodatků pro DPH ?"))) return;
  std::string zamek;
  storage::Zamek z = storage::Zamek::Nedrzen;
  StavRady stav;
  if (!okno.ZamkniRadu(zamek, z, stav)) return;
  okno.Soubor().ObnovSoubor();
  std::vector<PokladniDoklad> doklady;
  bool ok = CtiDokladySouboru(okno.Soubor().cesta(), doklady);
  const std::string jmeno = SouborDodatku(okno.Soubor().jmeno());
  if (ok) {
    const std::vector<DodatekDph> nove = DoplneneDodatky(doklady, okno.CisloRady, ctiDodatky(okno.Soubor().jmeno(), doklady.size()), smazat);
    std::string obsah;
    obsah.reserve(nove.size() * kVelikostDodatku);
    for (const DodatekDph& d : nove) obsah.append(d.Bajty().begin(), d.Bajty().end());
    // Written whole beside the old file, which it then replaces in one step.
    const std::string cesta = storage::DataCesta(jmeno), docasny = storage::DataCesta(jmeno + "~");
    okno.DodatkyDph().Zavri();
    ok = platform::writeWholeFile(docasny, obsah) == platform::kIoOk && storage::NahradSoubor(docasny, cesta) == 0;
    if (!ok && platform::fileExists(docasny)) (void)platform::removeFile(docasny);
    okno.DodatkyDph().Otevri(okno.Soubor().jmeno());
  }
  if (z == storage::Zamek::Drzen) storage::Odemkni(zamek);
  if (ok) ui::Zprava(cz("Doplnění provedeno.Proveďte si optickou kontrolu"));
  else ui::Zprava(cz("Dodatky k DPH nebyly doplněny, soubor ") + jmeno + cz(" zůstal beze změny"));
}

// ---------------------------------------------------------------------------------------------
// The VAT listing

namespace {

class HlavickaDph {
 public:
  HlavickaDph(std::string rada, std::string_view od, std::string_view do_) : rada_(std::move(rada)), od_(od), do_(do_) {}
  int radku = 100;
  void pis() {
    ++strana_;
    const platform::Date d = platform::clock().today();
    char dnes[16], list[8];
    std::snprintf(dnes, sizeof dnes, "%02d.%02d.%04d", d.day, d.month, d.year);
    std::snprintf(list, sizeof list, "%3d", strana_);
    const std::string mena = storage::settings().homeCurrency;
    reports::PisRadek(std::string(1, reports::kFormFeed));
    reports::PisRadek((storage::settings().firmName + std::string(86, ' ') + "Datum: ").substr(0, kSirka) + dnes);
    reports::PisRadek(cz("OBDOBÍ: ") + DatumSestavy(od_) + " - " + DatumSestavy(do_) + cz("  ( Vyjádřeno v ") + mena + " )");
    reports::PisRadek((std::string(42, ' ') + cz("V A L U T O V Á   P O K L A D N A - ") + rada_ + std::string(30, ' ') +
                       "LIST: " + list).substr(0, kSirka));
    reports::PisRadek(std::string(42, ' ') + std::string(38, '='));
    reports::PisRadek(cz("Kod Datum      Č.d. Č.daň.dok. Firma                           Základ 0%  Základ SS     "
                         "Daň SS     Základ ZS     Daň ZS   Celkem"));
    reports::PisRadek(std::string(kSirka, '='));
    radku = 7;
  }

 private:
  std::string rada_, od_, do_;
  int strana_ = 0;
};

}  // namespace

void PisOpisDph(const std::vector<PokladniDoklad>& doklady, const std::vector<DodatekDph>& dodatky,
                const std::string& rada, std::string_view od, std::string_view do_, VyberOpisu vyber) {
  static const std::vector<int> ss = {215, 225, 235, 245, 255, 265, 275, 315, 325, 335, 345, 355, 365};
  static const std::vector<int> zs = {210, 220, 230, 240, 250, 260, 270, 310, 320, 330, 340, 350, 360};
  const std::string klicOd = KlicDne(od), klicDo = KlicDne(do_);
  HlavickaDph hlavicka(rada, od, do_);
  const int mez = storage::settings().pageLength - 3;
  const auto radek = [&](const std::string& text) {
    if (hlavicka.radku > mez) hlavicka.pis();
    reports::PisRadek(text);
    ++hlavicka.radku;
  };
  const std::string nula = ui::FormatC(kCastka, 0);
  for (std::size_t k = 0; k < doklady.size(); ++k) {
    const PokladniDoklad& d = doklady[k];
    const std::string den = KlicDne(d.datumDod);
    if (den < klicOd || den > klicDo) continue;
    const DodatekDph dodatek = k < dodatky.size() ? dodatky[k] : DodatekDph();
    const bool rozdil = dodatek.Celkem() != d.celkemKc;
    if (vyber != VyberOpisu::JenRadkyRozdilu && (vyber == VyberOpisu::Vse || rozdil)) {
      radek(pad(dodatek.Kod(), 2) + "   " + pad(d.datumDod, 6) + " " + rada + cislo5(static_cast<int>(k + 1)) + " " +
            pad(d.cislo, 10) + " " + pad(d.adr1, 30) + " " + nula + nula + nula + nula + nula +
            ui::FormatC("#########.##", d.celkemKc));
      for (int i = 1; i <= tDodatekDph::kPocetRadku; ++i) {
        const RadekDph r = dodatek.Radek(i);
        if (r.zaklad + r.dan == 0) continue;
        const int m = std::atoi(storage::Orez(r.oznaceni).c_str());
        Penize sloupce[5] = {0, 0, 0, 0, 0};
        if (jeZaznam(ss, m)) {
          sloupce[1] = r.zaklad;
          sloupce[2] = r.dan;
        } else if (jeZaznam(zs, m)) {
          sloupce[3] = r.zaklad;
          sloupce[4] = r.dan;
        } else {
          sloupce[0] = r.zaklad;
        }
        std::string t = std::string(56, ' ') + pad(r.oznaceni, 3) + ": ";
        for (Penize c : sloupce) t += ui::FormatC(kCastka, c);
        radek(t);
      }
    }
    if (!rozdil) continue;
    if (d.druh == "O") radek(std::string(46, ' ') + cz("Platba faktury"));
    else if (d.druh == "D") radek(std::string(46, ' ') + cz("Úhrada faktury"));
    else if (d.druh == "P" || d.druh == "V")
      radek(std::string(46, ' ') + cz("POZOR ROZDÍL CELKEM: ") + ui::FormatC("########.##-", d.celkemKc - dodatek.Celkem()) +
            storage::settings().homeCurrency);
  }
}

void OpisDphPokladny(TfPZPokl& okno) {
  std::vector<PokladniDoklad> doklady;
  if (!CtiDokladySouboru(okno.Soubor().cesta(), doklady)) {
    ui::Zprava(cz("Soubor ") + okno.Soubor().jmeno() + cz(" nelze přečíst"));
    return;
  }
  std::string od = doklady.empty() ? std::string(6, ' ') : doklady.front().datumZapl;
  std::string do_ = doklady.empty() ? std::string(6, ' ') : doklady.back().datumZapl;
  if (KlicDne(od) < "20040501") od = "010504";
  if (!ZadejObdobi(cz(" Od data (DDMMRR) "), cz(" Do data (DDMMRR) "), cz(" Výběr za období "), od, do_)) return;
  const int volba = ui::Vyber(10, 10, {}, {cz("Všechno"), cz("Jen rozdíly")}, cz(" Co tisknout ?"));
  const VyberOpisu vyber = volba == 1 ? VyberOpisu::Vse : volba == 2 ? VyberOpisu::JenRozdily : VyberOpisu::JenRadkyRozdilu;
  const std::vector<DodatekDph> dodatky = ctiDodatky(okno.Soubor().jmeno(), doklady.size());
  const std::string soubor = "PZ_DPH.TXT";
  if (!storage::MuzePokracovat(storage::Zamkni(soubor, "W"))) return;
  bool ok = reports::OtevriSestavu("PZ_DPH", kSirka);
  if (ok) PisOpisDph(doklady, dodatky, okno.CisloRady, od, do_, vyber);
  ok = reports::ZavriSestavu() && ok;
  if (ok) ui::UkazSestavu("PZ_DPH");
  storage::Odemkni(soubor);
}

}  // namespace pz::cashdesk
