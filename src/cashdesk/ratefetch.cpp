#include "cashdesk/ratefetch.h"

#include <cstdio>

#include "cashdesk/cashwindow.h"
#include "cashdesk/ratefile.h"
#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/textutil.h"

namespace pz::cashdesk {

using platform::cz;
using platform::Date;

namespace {

constexpr const char* kCestaVyvozu = "/cs/financni-trhy/devizovy-trh/kurzy-devizoveho-trhu/kurzy-devizoveho-trhu/vybrane.txt";
constexpr int kLimitCurlS = 60;             // curl's own limit for one download
constexpr int kLimitProcesuMs = 75 * 1000;  // the process runner's, a little longer
// The heading of the export as the bank writes it, in UTF-8.
constexpr std::string_view kMena = "M\xC4\x9Bna: ";
constexpr std::string_view kMnozstvi = "|Mno\xC5\xBEstv\xC3\xAD: ";
constexpr std::string_view kDatumKurz = "Datum|Kurz";

std::string TextData(Date d) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d.%02d.%04d", d.day, d.month, d.year);
  return b;
}
int Cislo(Date d) { return d.year * 10000 + d.month * 100 + d.day; }
Date ZCisla(int n) { return {n / 10000, n / 100 % 100, n % 100}; }

std::vector<std::string_view> Radky(std::string_view text) {
  std::vector<std::string_view> r;
  while (!text.empty()) {
    const std::size_t konec = text.find('\n');
    std::string_view radek = text.substr(0, konec);
    text.remove_prefix(konec == std::string_view::npos ? text.size() : konec + 1);
    if (radek.ends_with('\r')) radek.remove_suffix(1);
    r.push_back(radek);
  }
  return r;
}

// The line end a text uses: that of its first line, LF when it has none.
std::string_view KonecRadku(std::string_view text) {
  const std::size_t i = text.find('\n');
  return i != std::string_view::npos && i > 0 && text[i - 1] == '\r' ? "\r\n" : "\n";
}

int PosledniDatum(std::string_view soubor) {
  int posledni = 0;
  for (std::string_view r : Radky(soubor))
    if (const int d = DatumRadku(r); d != 0) posledni = d;
  return posledni;
}

// A rate as the bank writes it: digits with at most one decimal comma, above zero.
bool KurzBanky(std::string_view t) {
  bool cislice = false, carka = false, nenulovy = false;
  for (char c : t) {
    if (c >= '0' && c <= '9') {
      cislice = true;
      nenulovy = nenulovy || c != '0';
    } else if (c == ',' && !carka && cislice) {
      carka = true;
    } else {
      return false;
    }
  }
  return cislice && nenulovy && !t.ends_with(',');
}

std::string Duvod(std::string_view mena, std::string_view utf8) { return cz(utf8) + std::string(mena); }

}  // namespace

std::string ServerBanky() {
  std::string server = storage::Orez(storage::CtiPar("PZPOKL.PAR", "WebCNB"));
  if (server.empty()) server = "https://www.cnb.cz";
  while (!server.empty() && server.back() == '/') server.pop_back();
  return server;
}

std::string AdresaVyvozu(const std::string& server, const std::string& mena, Date od, Date do_) {
  return server + kCestaVyvozu + "?od=" + TextData(od) + "&do=" + TextData(do_) + "&mena=" + mena + "&format=txt";
}

Date OdKdyStahnout(std::string_view soubor, Date dnes) {
  const int posledni = PosledniDatum(soubor);
  if (posledni == 0) return {dnes.year - 1, 1, 1};
  return platform::fromDayNumber(platform::dayNumber(ZCisla(posledni)) + 1);
}

Slouceni SlucVyvoz(std::string_view soubor, std::string_view vyvoz, std::string_view mena, Date od, Date dnes) {
  Slouceni s;
  if (vyvoz.starts_with("\xEF\xBB\xBF")) vyvoz.remove_prefix(3);
  const auto radky = Radky(vyvoz);
  // "Měna: EUR|Množství: 1", then "Datum|Kurz".
  const std::string zacatek = std::string(kMena) + std::string(mena) + std::string(kMnozstvi);
  if (radky.size() < 2 || !radky[0].starts_with(zacatek) || radky[1] != kDatumKurz) {
    s.chyba = Duvod(mena, "odpověď banky není výpis kurzů měny ");
    return s;
  }
  const std::string_view mnozstviText = radky[0].substr(zacatek.size());
  int mnozstvi = 0;
  for (char c : mnozstviText) {
    if (c < '0' || c > '9' || mnozstvi > 100000) {
      mnozstvi = 0;
      break;
    }
    mnozstvi = mnozstvi * 10 + (c - '0');
  }
  if (mnozstvi == 0) {
    s.chyba = Duvod(mena, "odpověď banky neuvádí množství měny ");
    return s;
  }
  const int mnozstviSouboru = NajdiKurz(soubor, "").mnozstvi;
  if (mnozstviSouboru != 0 && mnozstviSouboru != mnozstvi) {
    s.chyba = cz("banka uvádí kurz za ") + std::to_string(mnozstvi) + cz(" jednotek, soubor kurzů za ") +
              std::to_string(mnozstviSouboru);
    return s;
  }

  // The data lines: each a date in the period asked, after the one before it, and a rate.
  const int posledni = PosledniDatum(soubor);
  int predchozi = Cislo(od) - 1;
  std::vector<std::string_view> nove;
  for (std::size_t i = 2; i < radky.size(); ++i) {
    const std::string_view r = radky[i];
    if (r.empty()) continue;
    const int datum = r.size() > 11 && r[10] == '|' && platform::validDate(ZCisla(DatumRadku(r))) ? DatumRadku(r) : 0;
    if (datum == 0 || !KurzBanky(r.substr(11))) {
      s.chyba = cz("chybný řádek v odpovědi banky: ") + platform::utf8ToCp1250(r.substr(0, 40));
      return s;
    }
    if (datum <= predchozi || datum <= posledni || datum > Cislo(dnes)) {
      s.chyba = cz("data v odpovědi banky nejdou po sobě v žádaném období: ") + std::string(r.substr(0, 10));
      return s;
    }
    predchozi = datum;
    nove.push_back(r);
  }

  // New days go after the lines there are, in the file's line ends; a new file starts with the
  // export's heading in the export's line ends.
  s.obsah.assign(soubor);
  const bool novy = soubor.empty();
  const std::string_view konec = KonecRadku(novy ? vyvoz : soubor);
  if (novy) {
    s.obsah.append(radky[0]).append(konec).append(radky[1]).append(konec);
  } else if (!nove.empty() && s.obsah.back() != '\n') {
    s.obsah.append(konec);
  }
  for (std::string_view r : nove) s.obsah.append(r).append(konec);
  s.pridano = static_cast<int>(nove.size());
  const int konecne = nove.empty() ? posledni : predchozi;
  if (konecne != 0) s.posledni = TextData(ZCisla(konecne));
  s.ok = true;
  return s;
}

Stazeni Stahni(const std::string& adresa) {
  Stazeni s;
  const std::string url = storage::Orez(adresa);
  const bool bezpecna = url.starts_with("https://");
  const std::string_view mistni = "http://127.0.0.1";
  const bool lokalni = url.starts_with(mistni) &&
                       (url.size() == mistni.size() || url[mistni.size()] == ':' || url[mistni.size()] == '/');
  if (!bezpecna && !lokalni) {
    s.chyba = cz("adresa banky musí začínat https://");
    return s;
  }
  // No shell: the address is one argument. Redirects may only lead to https.
  std::vector<std::string> argv = {"curl",      "--silent",    "--fail",    "--location",
                                   "--max-redirs", "5",        "--proto",   lokalni ? "=http" : "=https",
                                   "--proto-redir", "=https",  "--max-time", std::to_string(kLimitCurlS)};
  if (lokalni) argv.insert(argv.end(), {"--noproxy", "127.0.0.1"});
  argv.push_back(url);
  const platform::ProcessResult r = platform::runProcess(argv, kLimitProcesuMs);
  if (!r.started) {
    s.chyba = cz("program curl nelze spustit");
  } else if (r.timedOut || r.exitCode == 28) {
    s.chyba = cz("banka neodpověděla včas");
  } else if (r.exitCode == 6) {
    s.chyba = cz("adresu banky nelze najít");
  } else if (r.exitCode == 7) {
    s.chyba = cz("k bance se nelze připojit");
  } else if (r.exitCode == 22) {
    s.chyba = cz("banka odpověděla chybou");
  } else if (r.exitCode == 35 || r.exitCode == 51 || r.exitCode == 58 || r.exitCode == 60) {
    s.chyba = cz("zabezpečené spojení s bankou selhalo");
  } else if (r.exitCode != 0) {
    s.chyba = cz("stažení se nezdařilo (curl ") + std::to_string(r.exitCode) + ")";
  } else {
    s.ok = true;
    s.telo = r.output;
  }
  return s;
}

VysledekStazeni StahniKurzy(Date dnes) {
  VysledekStazeni v;
  const auto selhani = [&v](std::string radek) {
    v.radky.push_back(radek);
    v.chybne.push_back(std::move(radek));
  };
  std::string rady;
  if (const int e = platform::readWholeFile(storage::DataCesta(kSouborRad), rady, platform::Share::DenyNone); e != 0) {
    selhani(cz("Seznam pokladních řad nelze přečíst (err ") + std::to_string(e) + ")");
    return v;
  }
  std::vector<std::string> meny;
  const std::size_t n = tPzRada::kVelikost;
  for (std::size_t at = 0; at + n <= rady.size(); at += n) {
    const std::string zaznam = rady.substr(at, n);
    if (storage::readShortString(zaznam, tPzRada::kRada, tPzRada::kSirkaRady).starts_with('.')) continue;
    const std::string mena =
        storage::VelkaPismena(storage::Orez(storage::readShortString(zaznam, tPzRada::kMena, tPzRada::kSirkaMeny)));
    // A series in crowns has no rates to fetch.
    if (mena.empty() || mena == "XXX" || mena == "CZK" || mena == cz("KČ")) continue;
    bool uz = false;
    for (const auto& m : meny) uz = uz || m == mena;
    if (!uz) meny.push_back(mena);
  }

  const std::string server = ServerBanky();
  const std::string nezmenen = cz(", soubor kurzů nezměněn");
  for (const std::string& mena : meny) {
    const std::string cesta = CestaKurzu(storage::DataCesta(""), mena);
    if (cesta.empty()) continue;
    const std::string hlava = mena + ": ";
    std::string obsah;
    if (platform::fileExists(cesta)) {
      if (const int e = platform::readWholeFile(cesta, obsah, platform::Share::DenyNone); e != 0) {
        selhani(hlava + cz("soubor kurzů nelze přečíst (err ") + std::to_string(e) + ")");
        continue;
      }
    }
    const Date od = OdKdyStahnout(obsah, dnes);
    if (Cislo(od) > Cislo(dnes)) {
      v.radky.push_back(hlava + cz("kurzy jsou aktuální, poslední ze dne ") + TextData(ZCisla(PosledniDatum(obsah))));
      continue;
    }
    const Stazeni st = Stahni(AdresaVyvozu(server, mena, od, dnes));
    if (!st.ok) {
      selhani(hlava + st.chyba + nezmenen);
      continue;
    }
    const Slouceni sl = SlucVyvoz(obsah, st.telo, mena, od, dnes);
    if (!sl.ok) {
      selhani(hlava + sl.chyba + nezmenen);
      continue;
    }
    if (sl.obsah == obsah) {
      v.radky.push_back(hlava + cz("banka nemá nové kurzy") +
                        (sl.posledni.empty() ? "" : cz(", poslední ze dne ") + sl.posledni));
      continue;
    }
    // The new text in a work file beside the rate file, which then takes the rate file's place.
    const std::string adresar = cesta.substr(0, cesta.rfind('\\'));
    if (!adresar.empty() && !platform::directoryExists(adresar)) platform::makeDirectory(adresar);
    const std::string pracovni = adresar + "\\" + mena + ".wrk";
    int e = platform::writeWholeFile(pracovni, sl.obsah);
    e = e == 0 ? storage::NahradSoubor(pracovni, cesta) : e;
    if (e != 0) {
      platform::removeFile(pracovni);
      selhani(hlava + cz("soubor kurzů nelze zapsat (err ") + std::to_string(e) + ")" + nezmenen);
      continue;
    }
    v.radky.push_back(hlava + cz("doplněno kurzů: ") + std::to_string(sl.pridano) + cz(", poslední ze dne ") +
                      sl.posledni);
  }
  if (meny.empty()) v.radky.push_back(cz("Žádná pokladní řada není v cizí měně."));
  return v;
}

}  // namespace pz::cashdesk
