#include "storage/params.h"

#include <utility>
#include <vector>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "storage/czech.h"
#include "storage/probes.h"

namespace pz::storage {

using namespace platform;

namespace {

struct Klic {
  std::string klic;   // as first stored
  std::string velky;  // upper-cased: what lookups compare
  std::string hodnota;
};

struct Soubor {
  std::string jmeno;  // as first passed: a new file gets this spelling
  std::string velke;  // upper-cased name: the identity in the cache
  bool zmenen = false;
  // False when the file exists but could not be read: the entry then holds only the keys stored
  // since, and writing it first merges them into the file as it is on disk.
  bool nacten = true;
  std::vector<Klic> klice;
};

std::vector<Soubor> g_cache;
std::vector<std::pair<std::string, std::function<void()>>> g_otevrena;

void nastav(std::vector<Klic>& klice, std::string_view klic, std::string_view hodnota) {
  std::string velky = VelkaPismena(klic);
  for (auto& k : klice)
    if (k.velky == velky) {
      k.hodnota = hodnota;
      return;
    }
  Klic novy{std::string(klic), std::move(velky), std::string(hodnota)};
  if (klice.size() >= kNejvicKlicu)
    klice.back() = std::move(novy);
  else
    klice.push_back(std::move(novy));
}

void rozeber(std::string_view vstup, std::vector<Klic>& klice) {
  // An editor's end-of-file mark (Ctrl+Z) ends nothing: the keys after a stray one are kept, and
  // the mark itself is no part of any key or value.
  std::string bezZnacek(vstup);
  std::erase(bezZnacek, '\x1A');
  std::string_view text = bezZnacek;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    // "KEY : value": the character in front of the colon and the one after it are the
    // separator's blanks.
    std::string_view klic = line.substr(0, colon == 0 ? 0 : colon - 1);
    std::string_view hodnota = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string_view();
    hodnota = hodnota.substr(0, kNejdelsiHodnota);
    Klic k{std::string(klic), VelkaPismena(klic), std::string(hodnota)};
    if (klice.size() >= kNejvicKlicu)
      klice.back() = std::move(k);
    else
      klice.push_back(std::move(k));
  }
}

// Reads the file into `klice`; false when it exists but cannot be read.
bool nacti(const std::string& jmeno, std::vector<Klic>& klice) {
  klice.clear();
  std::string text;
  int code = readWholeFile(jmeno, text, Share::DenyNone);
  if (code == kIoFileNotFound || code == kIoPathNotFound) return true;
  if (code != kIoOk) return false;
  rozeber(text, klice);
  return true;
}

int zapisNovy(const std::string& cesta, const std::string& text) {
  File f;
  int code = f.open(cesta, Access::Write, Share::DenyReadWrite, Create::CreateAlways);
  if (code == kIoOk) code = f.writeAt(0, text.data(), text.size());
  if (code == kIoOk) code = f.sync();
  return code;
}

// Writes the entry's file through a side file that then replaces it; false when it could not.
bool zapis(Soubor& s) {
  if (!s.nacten) {
    std::vector<Klic> naDisku;
    if (!nacti(s.jmeno, naDisku)) return false;
    for (const auto& k : s.klice) nastav(naDisku, k.klic, k.hodnota);
    s.klice = std::move(naDisku);
    s.nacten = true;
  }
  std::string text;
  for (const auto& k : s.klice)
    if (!k.hodnota.empty()) text += k.klic + " : " + k.hodnota + "\r\n";
  const std::string docasny = s.jmeno + ".tmp";
  int code = zapisNovy(docasny, text);
  if (code == kIoPathNotFound) {
    // One attempt at making the directory; a path that cannot be made leaves the file unwritable.
    ZalozCestu(s.jmeno);
    code = zapisNovy(docasny, text);
  }
  if (code == kIoOk) code = renameFile(docasny, s.jmeno, true);
  if (code != kIoOk) {
    removeFile(docasny);
    return false;
  }
  s.zmenen = false;
  return true;
}

Soubor novy(std::string_view jmeno, std::string velke) {
  Soubor s;
  s.jmeno = std::string(jmeno);
  s.velke = std::move(velke);
  s.nacten = nacti(s.jmeno, s.klice);
  return s;
}

// The cached entry of a file, loading it when needed. When the cache is full and cannot be
// emptied (a file that cannot be written), the file is served from `mimo`, outside the cache.
Soubor& najdi(std::string_view jmeno, Soubor& mimo, bool& vCache) {
  std::string velke = VelkaPismena(jmeno);
  vCache = true;
  for (auto& s : g_cache)
    if (s.velke == velke) return s;
  if (g_cache.size() >= kNejvicSouboru) UlozPar();
  if (g_cache.size() >= kNejvicSouboru) {
    vCache = false;
    mimo = novy(jmeno, std::move(velke));
    return mimo;
  }
  g_cache.push_back(novy(jmeno, std::move(velke)));
  return g_cache.back();
}

}  // namespace

std::string CtiPar(std::string_view soubor, std::string_view klic) {
  Soubor mimo;
  bool vCache;
  Soubor& s = najdi(soubor, mimo, vCache);
  std::string velky = VelkaPismena(klic);
  for (const auto& k : s.klice)
    if (k.velky == velky) return k.hodnota;
  return {};
}

bool PisPar(std::string_view soubor, std::string_view klic, std::string_view hodnota) {
  if (klic.empty() || klic.find_first_of(":\r\n") != std::string_view::npos) return false;
  std::string h(hodnota);
  for (char& c : h)
    if (c == '\r' || c == '\n') c = ' ';
  Soubor mimo;
  bool vCache;
  Soubor& s = najdi(soubor, mimo, vCache);
  nastav(s.klice, klic, h);
  s.zmenen = true;
  if (!vCache) return zapis(s);  // no room to keep it: written at once
  return true;
}

bool SmazParametry(std::string_view soubor) {
  const std::string velke = VelkaPismena(soubor);
  std::erase_if(g_cache, [&](const Soubor& s) { return s.velke == velke; });
  const int code = removeFile(soubor);
  return code == kIoOk || code == kIoFileNotFound || code == kIoPathNotFound;
}

bool UlozPar() {
  // Every file that can be written is written; the ones that cannot stay cached with their
  // changes, so that nothing is lost and the next call tries again.
  std::vector<Soubor> zbyle;
  for (auto& s : g_cache)
    if (s.zmenen && !zapis(s)) zbyle.push_back(std::move(s));
  const bool vse = zbyle.empty();
  g_cache = std::move(zbyle);
  return vse;
}

void NechanoOtevrene(const std::string& okno, std::function<void()> zavri) {
  for (auto& [jmeno, f] : g_otevrena)
    if (jmeno == okno) {
      f = std::move(zavri);
      return;
    }
  g_otevrena.emplace_back(okno, std::move(zavri));
}

void ZapomenOtevrenaOkna() { g_otevrena.clear(); }

bool DokonciUlohu() {
  auto okna = std::move(g_otevrena);
  g_otevrena.clear();
  for (auto& [jmeno, zavri] : okna)
    if (zavri) zavri();
  return UlozPar();
}

std::vector<std::string> NeulozeneParametry() {
  std::vector<std::string> jmena;
  for (const auto& s : g_cache)
    if (s.zmenen) jmena.push_back(s.jmeno);
  return jmena;
}

size_t PocetSouboruParametru() { return g_cache.size(); }

void ZahodParametry() { g_cache.clear(); }

}  // namespace pz::storage
