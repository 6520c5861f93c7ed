#include "storage/masterjob.h"

#include <optional>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

constexpr int kPokusu = 3;        // tries of a busy table before the write is given up
constexpr int kCekaniMs = 1000;   // between the tries, in the wait window

using Tabulka = std::string;  // always kJobVelikost bytes

struct StartovniKopie {
  std::string soubor;
  Tabulka tabulka;
};
bool g_start = false;
std::optional<StartovniKopie> g_kopie;

std::string_view orizniKlic(std::string_view klic) { return klic.substr(0, kJobSirka); }

std::string hodnotaBezMezer(std::string_view hodnota) {
  return OrezZprava(hodnota).substr(0, kJobSirka);
}

std::string zpravaChyby(int code) {
  return "Uz: " + settings().user + " Soub: Master.job err" + DoplnZleva(std::to_string(code), 6);
}

// Reads a table into `t` (zeros where the file has no bytes). A table of the earlier size is
// padded and written back as a full table when nobody else is writing it.
int ctiTabulku(const std::string& soubor, Tabulka& t) {
  t.assign(kJobVelikost, '\0');
  File f;
  int code = f.open(soubor, Access::Read, Share::DenyNone);
  if (code != kIoOk) return code;
  int64_t size = 0;
  if ((code = f.size(size)) != kIoOk) return code;
  size_t got = 0;
  code = f.readAt(0, t.data(), kJobVelikost, &got);
  if (code != kIoOk && code != kIoReadPastEnd) {
    t.assign(kJobVelikost, '\0');
    return code;
  }
  f.close();
  if (size == static_cast<int64_t>(kJobStaraVelikost)) {
    File w;
    int64_t now = 0;
    if (w.open(soubor, Access::ReadWrite, Share::DenyWrite) == kIoOk && w.size(now) == kIoOk &&
        now == static_cast<int64_t>(kJobStaraVelikost))
      w.writeAt(0, t.data(), t.size());
  }
  return kIoOk;
}

std::string hledej(const Tabulka& t, std::string_view klic) {
  for (size_t i = 0; i < kJobPolozek; ++i) {
    const size_t at = i * kJobPolozka;
    if (static_cast<unsigned char>(t[at]) == 0) continue;
    if (readShortString(t, at, kJobSirka) == klic) return OrezZprava(readShortString(t, at + 9, kJobSirka));
  }
  return {};
}

enum class Zmena { Zadna, Zmenena, Plna };

Zmena uprav(Tabulka& t, std::string_view klic, const std::string& hodnota) {
  for (size_t i = 0; i < kJobPolozek; ++i) {
    const size_t at = i * kJobPolozka;
    if (static_cast<unsigned char>(t[at]) == 0 || readShortString(t, at, kJobSirka) != klic) continue;
    if (hodnota.empty()) {
      t.replace(at, kJobPolozka, kJobPolozka, '\0');
    } else {
      (void)writeShortString(t, at + 9, kJobSirka, hodnota);
    }
    return Zmena::Zmenena;
  }
  if (hodnota.empty()) return Zmena::Zadna;
  for (size_t i = 0; i < kJobPolozek; ++i) {
    const size_t at = i * kJobPolozka;
    if (static_cast<unsigned char>(t[at]) != 0) continue;
    t.replace(at, kJobPolozka, kJobPolozka, '\0');
    (void)writeShortString(t, at, kJobSirka, klic);
    (void)writeShortString(t, at + 9, kJobSirka, hodnota);
    return Zmena::Zmenena;
  }
  return Zmena::Plna;
}

// The read-modify-write of one key. `zapsana` receives the table as it is on disk afterwards.
// With `zmena`, the new value is computed from the stored one while the table is held.
bool zapis(const std::string& soubor, std::string_view klic, std::string_view hodnota, Tabulka& zapsana,
           const std::function<std::string(const std::string&)>* zmena = nullptr) {
  std::string h = hodnotaBezMezer(hodnota);
  File f;
  auto otevri = [&] {
    int c = f.open(soubor, Access::ReadWrite, Share::DenyWrite);
    // Only a table that does not exist is created; one that cannot be opened for another
    // reason holds settings that an empty table would destroy.
    if (c == kIoFileNotFound) c = f.open(soubor, Access::ReadWrite, Share::DenyWrite, Create::OpenAlways);
    return c;
  };
  int code = otevri();
  if (code == kIoSharingViolation) {
    int pokus = 1;
    interaction().waitFor(TextChyby(code, soubor), kCekaniMs, [&] {
      code = otevri();
      return code != kIoSharingViolation || ++pokus >= kPokusu;
    });
  }
  if (code != kIoOk) {
    interaction().message(zpravaChyby(code), true);
    return false;
  }
  Tabulka t(kJobVelikost, '\0');
  size_t got = 0;
  code = f.readAt(0, t.data(), kJobVelikost, &got);
  if (code != kIoOk && code != kIoReadPastEnd) {
    interaction().message(zpravaChyby(code), true);
    return false;
  }
  if (zmena) h = hodnotaBezMezer((*zmena)(hledej(t, klic)));
  switch (uprav(t, klic, h)) {
    case Zmena::Zadna:
      // A table created just now is given its full size, as an all-zero table.
      if (got == 0 && f.writeAt(0, t.data(), t.size()) != kIoOk) return false;
      zapsana = t;
      return true;
    case Zmena::Plna:
      interaction().message(cz("Tabulka master.job je plná"), true);
      return false;
    case Zmena::Zmenena: break;
  }
  code = f.writeAt(0, t.data(), t.size());
  if (code != kIoOk) {
    interaction().message(zpravaChyby(code), true);
    return false;
  }
  zapsana = std::move(t);
  return true;
}

}  // namespace

std::string SouborJob() {
  // -32: the station's own table exists but is busy; it is still the one to use.
  const int64_t size = VelikostSouboru("master.job");
  return size >= 2 || size == -kIoSharingViolation ? std::string("master.job") : DataCesta("master.job");
}

std::string CtiJob(std::string_view klic) {
  klic = orizniKlic(klic);
  const std::string soubor = SouborJob();
  if (g_start) {
    if (!g_kopie || g_kopie->soubor != soubor) {
      g_kopie = StartovniKopie{soubor, {}};
      ctiTabulku(soubor, g_kopie->tabulka);
    }
    return hledej(g_kopie->tabulka, klic);
  }
  Tabulka t;
  ctiTabulku(soubor, t);
  return hledej(t, klic);
}

bool PisJob(std::string_view klic, std::string_view hodnota) {
  klic = orizniKlic(klic);
  const std::string soubor = SouborJob();
  Tabulka t;
  if (!zapis(soubor, klic, hodnota, t)) return false;
  if (g_start) g_kopie = StartovniKopie{soubor, std::move(t)};
  return true;
}

std::string CtiJobV(std::string_view adresar, std::string_view klic) {
  const std::string soubor = std::string(adresar) + "master.job";
  if (VelikostSouboru(soubor) < 2) return {};
  Tabulka t;
  ctiTabulku(soubor, t);
  return hledej(t, orizniKlic(klic));
}

int CtiJobVKontrolou(std::string_view adresar, std::string_view klic, std::string& hodnota) {
  hodnota.clear();
  Tabulka t;
  const int code = ctiTabulku(std::string(adresar) + "master.job", t);
  if (code == kIoFileNotFound || code == kIoPathNotFound) return kIoOk;
  if (code != kIoOk) return code;
  hodnota = hledej(t, orizniKlic(klic));
  return kIoOk;
}

bool PisJobV(std::string_view adresar, std::string_view klic, std::string_view hodnota) {
  Tabulka t;
  return zapis(std::string(adresar) + "master.job", orizniKlic(klic), hodnota, t);
}

bool UpravJobV(std::string_view adresar, std::string_view klic,
               const std::function<std::string(const std::string&)>& zmena) {
  Tabulka t;
  return zapis(std::string(adresar) + "master.job", orizniKlic(klic), {}, t, &zmena);
}

void ZacatekStartuJob() {
  g_start = true;
  g_kopie.reset();
}

void KonecStartuJob() {
  g_start = false;
  g_kopie.reset();
}

}  // namespace pz::storage
