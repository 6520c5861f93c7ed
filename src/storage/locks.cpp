#include "storage/locks.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "platform/clock.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/eventlog.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

// ---------------------------------------------------------------------------------------------
// The sharing table in memory

constexpr int kPokusuUvolneni = 3, kPauzaUvolneniMs = 5;
constexpr size_t kJmenaZaznamu = 100;
constexpr size_t kJmenoSirka = 24;

std::string kod5(int code) { return DoplnZleva(std::to_string(code), 5); }

void chyba(const std::string& prefix, int code) { interaction().message(prefix + kod5(code), true); }

// A message in the wait window for the moment of one interval instead of a box.
void chybaVOkne(const std::string& text) {
  interaction().waitFor(text, kCekaniZamkuMs, [] { return true; });
}

// A release of this station's entry that could not be written to its table: the entry stands
// there, and this station would meet it as somebody else's lock. Remembered for the life of the
// process and removed at the next access to that table, before any request is judged.
struct Nevydany {
  std::string tabulka;  // native path of the table
  size_t misto;         // the entry's slot, or kBezMista when the table could not even be read
  std::string polozka;  // the entry's 20 bytes (with kBezMista only name and user count)
  bool operator==(const Nevydany&) const = default;
};
constexpr size_t kBezMista = static_cast<size_t>(-1);
std::vector<Nevydany> g_nevydane;

struct Tabulka {
  std::string bajty = std::string(kVelikostSdileni, ' ');
  // The remembered releases this copy carries out, and the stamp's flag of an earlier run's
  // entries freed in it: both done once the copy is written back, by whichever write.
  std::vector<Nevydany> vydane;
  bool* uklizeno = nullptr;

  Tabulka() {
    for (size_t i = 0; i < kPolozekSdileni; ++i) uvolni(i);
  }
  size_t zacatek(size_t i) const { return i * kPolozkaSdileni; }
  std::string_view jmeno(size_t i) const { return std::string_view(bajty).substr(zacatek(i) + 1, kJmenoZamku); }
  std::string_view uzivatel(size_t i) const {
    return std::string_view(bajty).substr(zacatek(i) + 14, kUzivatelZamku);
  }
  char rezim(size_t i) const { return bajty[zacatek(i) + 19]; }
  // A free entry's name starts with a blank; zeros are what a damaged table would hold.
  bool volna(size_t i) const { return jmeno(i)[0] == ' ' || jmeno(i)[0] == '\0'; }
  bool tenSoubor(size_t i, const IdentitaZamku& id) const { return !volna(i) && jmeno(i) == id.jmeno; }
  bool vlastni(size_t i, const IdentitaZamku& id) const { return tenSoubor(i, id) && uzivatel(i) == id.uzivatel; }

  void zapis(size_t i, std::string_view j, std::string_view u, char r) {
    std::string e;
    e += static_cast<char>(kJmenoZamku);
    e += NaSirku(j, kJmenoZamku);
    e += static_cast<char>(kUzivatelZamku);
    e += NaSirku(u, kUzivatelZamku);
    e += '\1';
    e += r;
    bajty.replace(zacatek(i), kPolozkaSdileni, e);
  }
  void uvolni(size_t i) { zapis(i, "", "", ' '); }
  std::optional<size_t> prvniVolna() const {
    for (size_t i = 0; i < kPolozekSdileni; ++i)
      if (volna(i)) return i;
    return std::nullopt;
  }
};


// ---------------------------------------------------------------------------------------------
// Session stamps: the proof that a station whose entries stand in a table still runs
//
// The 20-byte entry has no room for a session, and other stations read the table as it is. So
// each station keeps, next to every table it writes, a stamp file "FOTnn.ses" (nn its user
// number) open for as long as its process runs, denying writes to everybody else; the file holds
// the process id, the machine and the start time for whoever reads it. The open itself is the
// proof of life: the operating system drops it with the process however the process ends (a
// crash, a kill, a switched-off PC whose file server drops its opens), on one machine and over a
// shared folder alike, whereas a process id alone says nothing on another machine and can be
// reused. Whoever can open a stamp exclusively knows that no process holds it: that station does
// not run, and its entries in the table are leftovers.
//
// The order makes the check sound: a station takes its stamp while it has the table open, before
// it writes its first entry, and a probe happens only while the prober has the table open. A
// probe that finds a stamp free therefore finds every entry of that station in the table written
// by an earlier run, and no new one can come while the prober holds the table.

struct Razitko {
  File soubor;             // open for the life of the process
  bool uklidit = false;    // entries of this station's earlier run are still to be freed
};
std::map<std::string, Razitko> g_razitka;  // by directory + user field; absent until tried
std::vector<std::string> g_kZapisu;        // event-log lines, written once the table is closed

std::string cisloStanice(std::string_view uzivatel) {
  std::string n(uzivatel.substr(0, 2));
  for (char& c : n)
    if (c == ' ' || c == '\0') c = '_';
  return n;
}

std::string cestaRazitka(const std::string& adresar, std::string_view uzivatel) {
  return adresar + "FOT" + cisloStanice(uzivatel) + ".ses";
}

// Takes this station's stamp next to `tabulka` (the table, open and so held exclusively) the
// first time the station works with that table. Probes run only while their prober holds the
// table, so none can be under way now. A stamp that another live process holds (two stations
// under one user number) is left to it; this station then never frees entries of its number.
Razitko& razitko(const std::string& adresar, const File& tabulka) {
  const std::string uzivatel = UzivatelZamku();
  auto [it, nove] = g_razitka.try_emplace(tabulka.nativePath() + "|" + uzivatel);
  Razitko& r = it->second;
  if (!nove) return r;
  if (r.soubor.open(cestaRazitka(adresar, uzivatel), Access::ReadWrite, Share::DenyWrite, Create::OpenAlways) != kIoOk)
    return r;
  const Date d = clock().today();
  const TimeOfDay c = clock().now();
  char kdy[32];
  std::snprintf(kdy, sizeof kdy, "%02d.%02d.%04d %02d:%02d:%02d", d.day, d.month, d.year, c.hour, c.minute, c.second);
  const std::string text = "pid " + std::to_string(processId()) + " " + hostName() + " " + kdy + "\r\n";
  if (r.soubor.truncate(0) == kIoOk) r.soubor.writeAt(0, text.data(), text.size());
  r.uklidit = true;
  return r;
}

enum class Stanice { Bezi, Nebezi, Nevime };

// Whether the station with this user field runs, told by its stamp; `popis` gets what the stamp
// says of the station's process. A station without a stamp (an older program) may run.
Stanice stanice(const std::string& adresar, std::string_view uzivatel, std::string& popis) {
  File f;
  const int code = f.open(cestaRazitka(adresar, uzivatel), Access::Read, Share::DenyReadWrite, Create::OpenExisting);
  if (code == kIoSharingViolation) return Stanice::Bezi;
  if (code != kIoOk) return Stanice::Nevime;
  std::string text(80, '\0');
  size_t got = 0;
  f.readAt(0, text.data(), text.size(), &got);
  text.resize(got);
  const size_t konec = text.find_first_of("\r\n");
  popis = text.substr(0, konec);
  return Stanice::Nebezi;
}

std::string radekUvolneni(std::string_view uzivatel, int pocet, const std::string& popis) {
  std::string r = cz("Stanice ") + cisloStanice(uzivatel) + cz(" neběží, uvolněno zámků: ") + std::to_string(pocet);
  if (!popis.empty()) r += " (" + popis + ")";
  return r;
}

int zapisTabulku(File& f, const Tabulka& t) {
  const int code = f.writeAt(0, t.bajty.data(), t.bajty.size());
  if (code == kIoOk && t.uklizeno) *t.uklizeno = false;
  if (code == kIoOk)
    for (const Nevydany& n : t.vydane)
      if (auto it = std::find(g_nevydane.begin(), g_nevydane.end(), n); it != g_nevydane.end()) g_nevydane.erase(it);
  return code;
}

std::string nativniTabulka(const std::string& adresar) { return paths().toNative(adresar + "FOT.tab"); }

// Frees in `t` the entries whose release failed earlier, one per failure: an entry found at its
// slot as it was (a torn write may have freed it already, and a slot another station took since
// is not ours), or for a release that never read the table the first own entry of that file, as
// the release would have taken. The station may hold several read locks on a file; only these
// go. True when anything was freed.
bool vydejNevydane(const std::string& tabulka, Tabulka& t) {
  bool zmena = false;
  for (auto it = g_nevydane.begin(); it != g_nevydane.end();) {
    if (it->tabulka != tabulka) {
      ++it;
      continue;
    }
    std::optional<size_t> misto;
    if (it->misto != kBezMista) {
      if (t.bajty.compare(t.zacatek(it->misto), kPolozkaSdileni, it->polozka) == 0) misto = it->misto;
    } else {
      for (size_t i = 0; i < kPolozekSdileni && !misto; ++i)
        if (!t.volna(i) && t.bajty.compare(t.zacatek(i) + 1, kJmenoZamku, it->polozka, 1, kJmenoZamku) == 0 &&
            t.uzivatel(i) == std::string_view(it->polozka).substr(14, kUzivatelZamku))
          misto = i;
    }
    if (!misto) {
      it = g_nevydane.erase(it);  // nothing of it is left to free
      continue;
    }
    t.uvolni(*misto);
    t.vydane.push_back(*it);
    zmena = true;
    ++it;
  }
  return zmena;
}

enum class Otevreni { Ok, Blokovana, Selhala };

// Opens directory + "FOT.tab" exclusively and reads it; a missing table is created with 99 free
// entries. A missing directory and other failures are shown here; a table another station holds
// is left to the caller's wait.
Otevreni otevriTabulku(const std::string& adresar, File& f, Tabulka& t, const std::string& prefixVytvoreni,
                       const std::string& prefixCteni) {
  const std::string cesta = adresar + "FOT.tab";
  int code = f.open(cesta, Access::ReadWrite, Share::DenyReadWrite, Create::OpenAlways);
  if (code == kIoSharingViolation) return Otevreni::Blokovana;
  if (code == kIoPathNotFound) {
    interaction().message(cz("ERR 3 - neexistuje složka ") + adresar, true);
    return Otevreni::Selhala;
  }
  if (code != kIoOk) {
    chyba(prefixVytvoreni, code);
    return Otevreni::Selhala;
  }
  Razitko& mojeRazitko = razitko(adresar, f);
  int64_t size = 0;
  f.size(size);
  t = Tabulka{};
  if (size == 0) {
    code = f.writeAt(0, t.bajty.data(), t.bajty.size());
    if (code != kIoOk) {
      f.close();
      chyba(prefixVytvoreni, code);
      return Otevreni::Selhala;
    }
    mojeRazitko.uklidit = false;  // a new table holds nothing of an earlier run
    return Otevreni::Ok;
  }
  // A shorter table (the earlier 23 entries) is read as far as it goes; the rest stays free.
  const size_t n = static_cast<size_t>(std::min<int64_t>(size, kVelikostSdileni));
  std::string buf(n, ' ');
  size_t got = 0;
  code = f.readAt(0, buf.data(), n, &got);
  if (code != kIoOk && code != kIoReadPastEnd) {
    f.close();
    chyba(prefixCteni, code);
    return Otevreni::Selhala;
  }
  const size_t cele = got / kPolozkaSdileni * kPolozkaSdileni;  // a partial entry stays free
  t.bajty.replace(0, cele, buf, 0, cele);
  // This station's own dead entries go before anything is judged; a write that fails here is
  // carried by the caller's next write of this copy, or tried again at the next access.
  if (vydejNevydane(f.nativePath(), t)) zapisTabulku(f, t);
  if (mojeRazitko.uklidit) {
    // This station just started here: entries under its number are its earlier run's.
    const std::string uzivatel = UzivatelZamku();
    int pocet = 0;
    for (size_t i = 0; i < kPolozekSdileni; ++i)
      if (!t.volna(i) && t.uzivatel(i) == uzivatel) {
        t.uvolni(i);
        ++pocet;
      }
    // When this write fails, the caller's write of the same copy carries the freeing: a flag
    // left standing after it would free the lock that write took, at the next access.
    t.uklizeno = &mojeRazitko.uklidit;
    if (pocet == 0 || zapisTabulku(f, t) == kIoOk) {
      mojeRazitko.uklidit = false;
      if (pocet > 0)
        g_kZapisu.push_back(cz("Stanice ") + cisloStanice(uzivatel) + cz(" znovu spuštěna, uvolněno zámků: ") +
                            std::to_string(pocet));
    }
  }
  return Otevreni::Ok;
}

// Frees every entry of each other station that holds an entry `blokuje` picks and whose stamp
// shows it no longer runs, writing the table at once; one event-log line per station freed.
// True when anything was freed.
bool uvolniMrtve(const std::string& adresar, File& f, Tabulka& t, const std::function<bool(size_t)>& blokuje) {
  const std::string moje = cisloStanice(UzivatelZamku());
  std::vector<std::string> zkouseni;
  bool uvolneno = false;
  std::vector<std::string> radky;
  for (size_t i = 0; i < kPolozekSdileni; ++i) {
    if (t.volna(i) || !blokuje(i)) continue;
    const std::string u(t.uzivatel(i));
    if (cisloStanice(u) == moje || std::find(zkouseni.begin(), zkouseni.end(), u) != zkouseni.end()) continue;
    zkouseni.push_back(u);
    std::string popis;
    if (stanice(adresar, u, popis) != Stanice::Nebezi) continue;
    int pocet = 0;
    for (size_t j = 0; j < kPolozekSdileni; ++j)
      if (!t.volna(j) && t.uzivatel(j) == u) {
        t.uvolni(j);
        ++pocet;
      }
    radky.push_back(radekUvolneni(u, pocet, popis));
    uvolneno = true;
  }
  if (!uvolneno) return false;
  if (zapisTabulku(f, t) != kIoOk) return false;  // the next write of the table carries it
  g_kZapisu.insert(g_kZapisu.end(), radky.begin(), radky.end());
  return true;
}

void zapisUvolneni() {
  std::vector<std::string> radky;
  radky.swap(g_kZapisu);
  for (const auto& r : radky) Zapis(r);
}


// Writes the table back and closes it before any message, so that no station waits on a table
// held open behind a message box.
void zapisAZavri(File& f, const Tabulka& t, const char* prefix) {
  const int code = zapisTabulku(f, t);
  f.close();
  if (code != kIoOk) chyba(prefix, code);
}

const std::string& textBlokovane() {
  static const std::string t = cz("Je blokován přístup k tabulce sdílení souborů, čekám na uvolnění");
  return t;
}

// Tries `pokus` again every few milliseconds for kKratkeCekaniMs of real time: true as soon as it
// succeeds. Two stations meet at the sharing table in the same instant now and then, and the
// table is held only while one reads and writes it; that is no reason for a wait window.
bool zkousejChvili(const std::function<bool()>& pokus) {
  constexpr int kKrok = 5;
  for (int cekano = 0; cekano < kKratkeCekaniMs; cekano += kKrok) {
    platform::sleepMs(kKrok);
    if (pokus()) return true;
  }
  return false;
}

// Opens the table, waiting in the wait window while another station holds it. False when the
// table failed or the user gave up; `ignorovano` tells the latter apart when the user chose to
// ignore file protection.
bool otevriSCekanim(const std::string& adresar, File& f, Tabulka& t, const std::string& prefixVytvoreni,
                    const std::string& prefixCteni, bool* ignorovano = nullptr) {
  Otevreni o = otevriTabulku(adresar, f, t, prefixVytvoreni, prefixCteni);
  if (o == Otevreni::Blokovana) zkousejChvili([&] {
      o = otevriTabulku(adresar, f, t, prefixVytvoreni, prefixCteni);
      return o != Otevreni::Blokovana;
    });
  if (o == Otevreni::Blokovana) {
    interaction().ignoreProtection = false;
    const bool ok = interaction().waitFor(textBlokovane(), kCekaniZamkuMs, [&] {
      o = otevriTabulku(adresar, f, t, prefixVytvoreni, prefixCteni);
      return o != Otevreni::Blokovana;
    });
    if (!ok && ignorovano) *ignorovano = interaction().ignoreProtection;
    interaction().ignoreProtection = false;
    if (!ok) return false;
  }
  return o == Otevreni::Ok;
}

// ---------------------------------------------------------------------------------------------
// Zamkni on the sharing table: one pass of the request, and the waits around it

struct Pokus {
  enum Druh { Drzen, Nedrzen, Blokovana, Konflikt, Plna, Vlastni } druh = Nedrzen;
  std::string text;  // the wait window's text, or the first of the two own-lock messages
  char rezimDrzitele = ' ';
};

std::string popisDrzitele(std::string_view jmeno, char rezim, std::string_view uzivatel) {
  return std::string(jmeno) + " " + rezim + cz(" užívá ") + std::string(uzivatel) + " " + JmenoUzivatele(uzivatel);
}

Pokus pokusZamkni(const IdentitaZamku& id, bool zapis) {
  File f;
  Tabulka t;
  switch (otevriTabulku(id.adresar, f, t, "err cti v zamkni FOT ", "err cti v zamkni FOT ")) {
    case Otevreni::Blokovana: return {Pokus::Blokovana, textBlokovane()};
    case Otevreni::Selhala: return {Pokus::Nedrzen, {}};
    case Otevreni::Ok: break;
  }
  // A read lock conflicts with a write lock of anybody; a write lock with every lock.
  uvolniMrtve(id.adresar, f, t, [&](size_t i) { return t.tenSoubor(i, id) && (zapis || t.rezim(i) == 'W'); });
  for (size_t i = 0; i < kPolozekSdileni; ++i) {
    if (!t.tenSoubor(i, id) || (!zapis && t.rezim(i) != 'W')) continue;
    f.close();
    const std::string drzitel(t.uzivatel(i));
    if (drzitel != id.uzivatel) return {Pokus::Konflikt, cz("Soubor ") + popisDrzitele(id.jmeno, t.rezim(i), drzitel)};
    return {Pokus::Vlastni,
            cz("Přístup k souboru ") + id.jmeno + " " + t.rezim(i) + "\r" + cz(" je blokován ") + drzitel + " " +
                JmenoUzivatele(drzitel),
            t.rezim(i)};
  }
  auto volna = t.prvniVolna();
  if (!volna && uvolniMrtve(id.adresar, f, t, [](size_t) { return true; })) volna = t.prvniVolna();
  if (!volna) return {Pokus::Plna, cz("Tabulka sdílení souborů je plná, čekám na uvolnění")};
  t.zapis(*volna, id.jmeno, id.uzivatel, zapis ? 'W' : 'R');
  const int code = zapisTabulku(f, t);
  f.close();
  if (code != kIoOk) {
    // The entry may be half written: the lock is not held, and the caller must not go on as if.
    if (zapis)
      chybaVOkne(std::string("chyba ") + kod5(code));
    else
      chyba("err pis(1) FOT ", code);
    return {Pokus::Nedrzen, {}};
  }
  return {Pokus::Drzen, {}};
}

// Frees this station's own entry that blocks its request (a leftover of an earlier run, or a
// lock this station forgot to release), after the user agreed.
void uvolniVlastni(const IdentitaZamku& id, char rezim) {
  File f;
  Tabulka t;
  if (!otevriSCekanim(id.adresar, f, t, "err cti FOT ", "err cti FOT ")) return;
  for (size_t i = 0; i < kPolozekSdileni; ++i) {
    if (!t.vlastni(i, id) || t.rezim(i) != rezim) continue;
    t.uvolni(i);
    zapisAZavri(f, t, "chyba ");
    break;
  }
}

Zamek zamkniTabulku(const IdentitaZamku& id, bool zapis) {
  Pokus p = pokusZamkni(id, zapis);
  for (;;) {
    switch (p.druh) {
      case Pokus::Drzen: return Zamek::Drzen;
      case Pokus::Nedrzen: return Zamek::Nedrzen;
      case Pokus::Vlastni: {
        // Retrying alone would show these messages for ever: the table keeps the entry until
        // somebody frees it, so the user is asked whether it may go.
        interaction().message(p.text, true);
        interaction().message(cz("Dejte \"Ctrl Alt Del\", ukončete TAMBRU a znovu ji nastartujte"), true);
        const std::string otazka = cz("Zámek souboru ") + id.jmeno + " " + p.rezimDrzitele + cz(" drží tato stanice (") +
                                   Orez(id.uzivatel) + cz("). Uvolnit ho ?");
        if (!interaction().question(otazka, false)) return Zamek::Nedrzen;
        uvolniVlastni(id, p.rezimDrzitele);
        p = pokusZamkni(id, zapis);
        break;
      }
      case Pokus::Blokovana:
      case Pokus::Konflikt:
      case Pokus::Plna: {
        const auto druh = p.druh;
        if (druh == Pokus::Blokovana && zkousejChvili([&] {
              p = pokusZamkni(id, zapis);
              return p.druh != druh;
            }))
          break;
        interaction().ignoreProtection = false;
        const bool ok = interaction().waitFor(p.text, kCekaniZamkuMs, [&] {
          if (p.druh != druh) return true;  // already got: a second try would meet our own entry
          p = pokusZamkni(id, zapis);
          return p.druh != druh;
        });
        const bool ignorovat = interaction().ignoreProtection;
        interaction().ignoreProtection = false;
        if (!ok) return druh == Pokus::Blokovana && ignorovat ? Zamek::Ignorovan : Zamek::Nedrzen;
        break;
      }
    }
  }
}

void odemkniTabulku(const IdentitaZamku& id) {
  File f;
  Tabulka t;
  if (!otevriSCekanim(id.adresar, f, t, "err cti FOT ", "err cti FOT ")) {
    // The entry stands; without it being remembered this station would block itself on it.
    Tabulka jen;
    jen.zapis(0, id.jmeno, id.uzivatel, ' ');
    g_nevydane.push_back({nativniTabulka(id.adresar), kBezMista, jen.bajty.substr(0, kPolozkaSdileni)});
    return;
  }
  for (size_t i = 0; i < kPolozekSdileni; ++i) {
    if (!t.vlastni(i, id)) continue;
    const std::string polozka = t.bajty.substr(t.zacatek(i), kPolozkaSdileni);
    t.uvolni(i);
    // A failing write is tried again at once: a release that does not get through leaves an
    // entry that only this process knows to be dead.
    int code = kIoOk;
    for (int pokus = 0; pokus < kPokusuUvolneni; ++pokus) {
      if (pokus > 0) sleepMs(kPauzaUvolneniMs);
      if ((code = zapisTabulku(f, t)) == kIoOk) break;
    }
    const std::string tabulka = f.nativePath();
    f.close();
    if (code != kIoOk) {
      g_nevydane.push_back({tabulka, i, polozka});
      chyba("chyba ", code);
    }
    break;
  }
}

std::string ifVolnyTabulka(const IdentitaZamku& id) {
  File f;
  Tabulka t;
  // When the table cannot be read nobody can say the file is free.
  if (!otevriSCekanim(id.adresar, f, t, "err cti FOT 5 ", "err cti FOT 5 ")) return textBlokovane();
  uvolniMrtve(id.adresar, f, t, [&](size_t i) { return t.tenSoubor(i, id); });
  f.close();
  for (size_t i = 0; i < kPolozekSdileni; ++i) {
    if (!t.tenSoubor(i, id) || t.uzivatel(i).substr(0, 2) == id.uzivatel.substr(0, 2)) continue;
    const std::string u(t.uzivatel(i));
    return VelkaPismena(std::string(1, t.rezim(i)) + " " + u.substr(0, 2) + " " + JmenoUzivatele(u));
  }
  return {};
}

bool premkniTabulku(const IdentitaZamku& id) {
  File f;
  Tabulka t;
  if (!otevriSCekanim(id.adresar, f, t, "err cti FOT 6 ", "err cti FOT 7 ")) return false;
  uvolniMrtve(id.adresar, f, t, [&](size_t i) { return t.tenSoubor(i, id); });
  for (size_t i = 0; i < kPolozekSdileni; ++i)
    if (t.vlastni(i, id)) t.uvolni(i);
  for (size_t i = 0; i < kPolozekSdileni; ++i)
    if (t.tenSoubor(i, id)) return false;
  const auto volna = t.prvniVolna();
  if (!volna) return false;
  t.zapis(*volna, id.jmeno, id.uzivatel, 'W');
  if (const int code = zapisTabulku(f, t); code != kIoOk) {
    f.close();
    chybaVOkne("chyba 9 " + kod5(code));
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// The same requests through the lock server

LockLink* g_link = nullptr;
bool g_serverNeodpovedel = false;

bool zacinaOK(const std::string& s) { return s.compare(0, 2, "OK") == 0; }

// The server splits a request at "<", ">", "#" and "$": a name holding one of them could lock or
// unlock another file.
bool lzePoslat(const IdentitaZamku& id, std::string_view path) {
  if ((id.adresar + id.jmeno).find_first_of("<>#$") == std::string::npos) return true;
  interaction().message(cz("Soubor ") + std::string(path) + cz(" nelze zamknout na serveru zámků: cesta obsahuje znak < > # nebo $"),
                        true);
  return false;
}

LockLink* link() {
  if (!g_link) interaction().message(cz("Server TAMBRA není spuštěn, obraťte se na správce sítě."));
  return g_link;
}

// One round of at most 51 sends: 1 when the server agreed, 0 when it refused every time,
// -1 when the link failed.
int kolo(LockLink& l, const char* prikaz, const IdentitaZamku& id, const std::string& rezim, std::string& posledni) {
  for (int i = 0; i < kPosilaniServeru; ++i) {
    auto r = l.vymena(prikaz, id.adresar, id.jmeno, rezim, id.uzivatel);
    if (!r) return -1;
    posledni = *r;
    if (zacinaOK(posledni)) return 1;
  }
  return 0;
}

Zamek zamkniServer(const IdentitaZamku& id, std::string_view path, const std::string& rezim) {
  if (!lzePoslat(id, path)) return Zamek::Nedrzen;
  LockLink* l = link();
  if (!l) return Zamek::Nedrzen;
  std::string posledni;
  int k = kolo(*l, "Zamkni", id, rezim, posledni);
  while (k == 0) {
    const bool ok = interaction().waitFor(cz("Soubor je stále obsazený ") + posledni, kCekaniServeruMs, [&] {
      if (k != 0) return true;
      k = kolo(*l, "Zamkni", id, rezim, posledni);
      return k != 0;
    });
    if (!ok) return Zamek::Nedrzen;
  }
  g_serverNeodpovedel = k == -1;
  return k == 1 ? Zamek::Drzen : Zamek::Nedrzen;
}

void odemkniServer(const IdentitaZamku& id, std::string_view path) {
  if (!lzePoslat(id, path)) return;
  LockLink* l = link();
  if (!l) return;
  std::string posledni;
  // A release that fails here is not remembered as one of the table is: a link that fails drops
  // its connection, and the server frees every lock of a dropped connection, while the link does
  // not take this one again when it connects anew. Sending the release again later would free
  // another read lock of this station on the file instead.
  // One round only: a server that forgot the lock (a restart) must not keep the station here.
  if (kolo(*l, "Odemkni", id, "p", posledni) == 0)
    interaction().message(cz("Soubor je stále obsazený ") + posledni, true);
}

bool pouzitServer() { return !settings().lockServer.empty(); }

bool prilisDlouha(std::string_view path) {
  if (path.size() <= kNejdelsiCestaZamku) return false;
  interaction().message(cz("Cesta k souboru je delší než ") + std::to_string(kNejdelsiCestaZamku) +
                            cz(" znaků, soubor nelze zamknout: ") + std::string(path.substr(0, 80)) + "...",
                        true);
  return true;
}

std::string jakoAdresar(std::string s) {
  std::replace(s.begin(), s.end(), '/', '\\');
  if (s.empty() || s.back() != '\\') s += '\\';
  return VelkaPismena(s);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public operations

std::string UzivatelZamku() { return NaSirku(settings().user, kUzivatelZamku); }

std::optional<IdentitaZamku> IdentitaZamkuPro(std::string_view path) {
  if (settings().lockingOff) return std::nullopt;
  const std::string velka = VelkaPismena(path);
  const size_t konec = velka.find_last_of("\\/");
  if (konec == std::string::npos) return std::nullopt;  // a bare name lives in the working directory
  IdentitaZamku id;
  id.adresar = velka.substr(0, konec + 1);
  if (jakoAdresar(id.adresar) == jakoAdresar(currentDirectory())) return std::nullopt;
  id.jmeno = NaSirku(velka.substr(konec + 1), kJmenoZamku);
  id.uzivatel = UzivatelZamku();
  return id;
}

std::string CestaZamku(std::string_view token) { return DataCesta(token); }

bool ServerZamkuNeodpovedel() { return g_serverNeodpovedel; }

Zamek Zamkni(std::string_view path, std::string_view mode) {
  g_serverNeodpovedel = false;
  const auto id = IdentitaZamkuPro(path);
  if (!id) return Zamek::Nepotreba;
  if (prilisDlouha(path)) return Zamek::Nedrzen;
  const bool zapis = mode == "W";
  if (pouzitServer()) return zamkniServer(*id, path, zapis ? "W" : mode.empty() ? "" : "R");
  const Zamek z = zamkniTabulku(*id, zapis);
  zapisUvolneni();
  return z;
}

void Odemkni(std::string_view path) {
  const auto id = IdentitaZamkuPro(path);
  if (!id || path.size() > kNejdelsiCestaZamku) return;
  if (pouzitServer())
    odemkniServer(*id, path);
  else
    odemkniTabulku(*id);
  zapisUvolneni();
}

std::string IfVolny(std::string_view path) {
  const auto id = IdentitaZamkuPro(path);
  if (!id) return {};
  if (prilisDlouha(path)) return cz("Cesta je příliš dlouhá");
  if (!pouzitServer()) {
    std::string odpoved = ifVolnyTabulka(*id);
    zapisUvolneni();
    return odpoved;
  }
  if (!lzePoslat(*id, path)) return cz("Chybný název souboru");
  LockLink* l = link();
  if (!l) return cz("Server TAMBRA není spuštěn");
  auto r = l->vymena("IfVolny", id->adresar, id->jmeno, "p", id->uzivatel);
  // Without an answer nobody can say the file is free.
  if (!r) return cz("Server zámků neodpovídá");
  return zacinaOK(*r) ? std::string() : *r;
}

bool Premkni(std::string_view path) {
  const auto id = IdentitaZamkuPro(path);
  if (!id) return true;
  if (prilisDlouha(path)) return false;
  if (!pouzitServer()) {
    const bool ok = premkniTabulku(*id);
    zapisUvolneni();
    return ok;
  }
  if (!lzePoslat(*id, path)) return false;
  LockLink* l = link();
  if (!l) return false;
  auto r = l->vymena("Premkni", id->adresar, id->jmeno, "p", id->uzivatel);
  return r && *r == "OK";
}

bool DrziZamek(std::string_view path) {
  const auto id = IdentitaZamkuPro(path);
  if (!id) return true;
  if (path.size() > kNejdelsiCestaZamku) return false;
  if (pouzitServer()) {
    if (!lzePoslat(*id, path)) return false;
    LockLink* l = link();
    return l && l->drzi(id->adresar, id->jmeno, id->uzivatel);
  }
  File f;
  Tabulka t;
  if (!otevriSCekanim(id->adresar, f, t, "err cti FOT ", "err cti FOT ")) return false;
  f.close();
  zapisUvolneni();
  for (size_t i = 0; i < kPolozekSdileni; ++i)
    if (t.vlastni(i, *id)) return true;
  return false;
}

LockLink* lockLink() { return g_link; }
void setLockLink(LockLink* link) { g_link = link; }

// ---------------------------------------------------------------------------------------------
// JMENA.tab

std::string JmenoUzivatele(std::string_view uzivatel) {
  const std::string prazdne(kJmenoSirka, ' ');
  const std::string cislo(uzivatel.substr(0, 2));
  size_t n = 0;
  bool cislice = false;
  for (char c : cislo) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return prazdne;
    n = n * 10 + static_cast<size_t>(c - '0');
    cislice = true;
  }
  if (!cislice || n >= kJmenaZaznamu) return prazdne;
  const std::string cesta = ProgCesta("JMENA.tab");
  File f;
  int code = f.open(cesta, Access::Read, Share::DenyNone, Create::OpenExisting);
  if (code == kIoFileNotFound) {
    File nova;
    if (nova.open(cesta, Access::ReadWrite, Share::DenyWrite, Create::OpenAlways) == kIoOk) {
      int64_t size = 0;
      nova.size(size);
      if (size == 0) {
        std::string zaznam(1, static_cast<char>(kJmenoSirka));
        zaznam += prazdne;
        std::string vse;
        for (size_t i = 0; i < kJmenaZaznamu; ++i) vse += zaznam;
        nova.writeAt(0, vse.data(), vse.size());
      }
    }
    return prazdne;
  }
  if (code != kIoOk) return prazdne;
  std::string zaznam(kJmenoSirka + 1, '\0');
  if (f.readAt(static_cast<int64_t>(n * (kJmenoSirka + 1)), zaznam.data(), zaznam.size()) != kIoOk) return prazdne;
  return NaSirku(readShortString(zaznam, 0, kJmenoSirka), kJmenoSirka);
}

// ---------------------------------------------------------------------------------------------
// ZamcenySoubor

ZamcenySoubor::~ZamcenySoubor() { Zavri(); }

bool ZamcenySoubor::Otevri(std::string_view name, char mode, std::int32_t recordSize) {
  Zavri();
  mode_ = VelkePismeno(mode);
  jmeno_ = std::string(name.substr(0, 30));
  cesta_ = DataCesta(name);
  velikost_ = recordSize;
  aktualni_ = 1;
  pocet_ = 0;
  zamek_ = Zamkni(cesta_, mode_ == 'I' ? "R" : "W");
  if (!MuzePokracovat(zamek_)) return false;
  int code = kIoAccessDenied;
  if (velikost_ > 0) {
    if (mode_ != 'O') {
      code = file_.open(cesta_, Access::ReadWrite, Share::DenyNone, Create::OpenExisting);
      if (code == kIoFileNotFound) {
        code = file_.open(cesta_, Access::ReadWrite, Share::DenyNone, Create::CreateAlways);
        if (mode_ == 'A') mode_ = 'O';
      }
    } else {
      code = file_.open(cesta_, Access::ReadWrite, Share::DenyNone, Create::CreateAlways);
    }
  }
  if (code != kIoOk) {
    interaction().message(cz("Chyba ") + DoplnZleva(std::to_string(code), 3) + cz(" při otevírání ") + cesta_, true);
    // The lock goes with the failed open, or it would block every later open of the file.
    if (zamek_ == Zamek::Drzen) Odemkni(cesta_);
    zamek_ = Zamek::Nedrzen;
    return false;
  }
  int64_t bytes = 0;
  file_.size(bytes);
  pocet_ = static_cast<std::int32_t>(bytes / velikost_);
  if (mode_ == 'A') aktualni_ = pocet_ + 1;
  Zapis(std::string("Open") + mode_ + " " + DoplnZprava(jmeno_, 25) + DoplnZleva(std::to_string(pocet_), 6));
  return true;
}

bool ZamcenySoubor::Cti(std::string& record) {
  if (!file_.isOpen()) return false;
  record.assign(static_cast<size_t>(velikost_), '\0');
  if (file_.readAt(static_cast<int64_t>(aktualni_ - 1) * velikost_, record.data(), record.size()) != kIoOk)
    return false;
  ++aktualni_;
  return true;
}

bool ZamcenySoubor::Pis(std::string_view record) {
  if (!file_.isOpen()) return false;
  std::string r(record.substr(0, static_cast<size_t>(velikost_)));
  r.resize(static_cast<size_t>(velikost_), '\0');
  if (file_.writeAt(static_cast<int64_t>(aktualni_ - 1) * velikost_, r.data(), r.size()) != kIoOk) return false;
  ++aktualni_;
  return true;
}

void ZamcenySoubor::Zavri() {
  if (!file_.isOpen()) return;
  if (mode_ == 'I') {
    int64_t bytes = 0;
    file_.size(bytes);
    pocet_ = static_cast<std::int32_t>(bytes / velikost_);
  } else {
    pocet_ = aktualni_ - 1;
  }
  file_.close();
  if (zamek_ == Zamek::Drzen) Odemkni(cesta_);
  zamek_ = Zamek::Nedrzen;
  Zapis("Close " + DoplnZprava(jmeno_, 25) + DoplnZleva(std::to_string(pocet_), 6));
}

// ---------------------------------------------------------------------------------------------
// Sharing hook

namespace {

class SdileniZamku : public Sharing {
 public:
  bool Zamkni(const std::string& path, char mode) override {
    posledni_ = storage::Zamkni(path, mode == 'W' ? "W" : "");
    return posledni_ == Zamek::Drzen;
  }
  bool Odmitnuto() const override { return posledni_ == Zamek::Nedrzen; }
  void Odemkni(const std::string& path) override { storage::Odemkni(path); }
  std::string IfVolny(const std::string& path) override { return storage::IfVolny(path); }

 private:
  Zamek posledni_ = Zamek::Nepotreba;
};

SdileniZamku g_sdileni;

}  // namespace

void RegistrujSdileniZamku() { setSharing(&g_sdileni); }
void ZrusSdileniZamku() { setSharing(nullptr); }

}  // namespace pz::storage
