#include "storage/filehelpers.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/probes.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

std::string kod(int code, size_t sirka) { return DoplnZleva(std::to_string(code), sirka); }

bool jeOddelovac(char c) { return c == '\\' || c == '/'; }

// The directory part of a mask, up to and including its last separator ("C:" for "C:*.txt").
std::string adresarMasky(std::string_view maska) {
  const size_t sep = maska.find_last_of("\\/");
  if (sep != std::string_view::npos) return std::string(maska.substr(0, sep + 1));
  if (maska.size() >= 2 && maska[1] == ':') return std::string(maska.substr(0, 2));
  return {};
}

std::string spoj(const std::string& adresar, std::string_view jmeno) {
  if (adresar.empty() || jeOddelovac(adresar.back())) return adresar + std::string(jmeno);
  return adresar + "\\" + std::string(jmeno);
}

// True when another open of the file denies us even a look at it: it is held elsewhere.
bool drzenJinde(std::string_view path) {
  File f;
  return f.open(path, Access::Read, Share::DenyReadWrite) == kIoSharingViolation;
}

// Writes the file's data through to the disk, so that a rename that publishes it can never leave
// a name pointing at data still in the cache when the machine stops.
void naDisk(std::string_view path) {
  File f;
  if (f.open(path, Access::Read, Share::DenyNone) == kIoOk) f.sync();
}

// Copies `src` from its start to `dst` from offset `kam`, in blocks of kBlokKopie. `zapsano`
// gets the bytes written.
int prenes(const File& src, File& dst, std::int64_t kam, std::int64_t& zapsano) {
  std::vector<char> blok(kBlokKopie);
  zapsano = 0;
  for (;;) {
    size_t got = 0;
    int code = src.readAt(zapsano, blok.data(), blok.size(), &got);
    if (code != kIoOk && code != kIoReadPastEnd) return code;
    if (got > 0) {
      const int w = dst.writeAt(kam + zapsano, blok.data(), got);
      if (w != kIoOk) return w;
      zapsano += static_cast<std::int64_t>(got);
    }
    if (code == kIoReadPastEnd || got < blok.size()) return kIoOk;
  }
}

// A whole copy of `zdroj` as a new file `cil`, synced: the first half of a replacement across
// volumes.
int kopieNaDisk(std::string_view zdroj, std::string_view cil) {
  File src;
  int code = src.open(zdroj, Access::Read, Share::DenyNone);
  if (code != kIoOk) return code;
  File dst;
  code = dst.open(cil, Access::Write, Share::DenyReadWrite, Create::CreateAlways);
  if (code != kIoOk) return code;
  std::int64_t zapsano = 0;
  code = prenes(src, dst, 0, zapsano);
  if (code == kIoOk) code = dst.sync();
  return code;
}

// Repeats a replacement that failed because the target (or the source) is held by another
// process, with the wait window between tries, up to kOpakovaniCekani tries.
int nahradSCekanim(const std::string& odkud, std::string_view cil, int code) {
  if (code != kIoSharingViolation) return code;
  const std::string text =
      cz("Soubor ") + std::string(cil) + cz(" není volný - err ") + kod(code, 4);
  int opakovani = 0;
  interaction().waitFor(text, kCekaniNahrazeniMs, [&] {
    code = renameFile(odkud, cil, true);
    return code != kIoSharingViolation || ++opakovani >= kOpakovaniCekani;
  });
  return code;
}

}  // namespace

int NahradSoubor(std::string_view zdroj, std::string_view cil) {
  if (zdroj.find('?') != std::string_view::npos) return kIoChybneJmeno;
  naDisk(zdroj);
  std::string odkud(zdroj);
  int code = renameFile(odkud, cil, true);

  // A rename cannot cross volumes (the work file in the working directory, the target on the
  // data drive). A synced copy beside the target then takes its place in one step, so the
  // target is never deleted before its successor is complete.
  std::string kopie;
  if (code != kIoOk && code != kIoSharingViolation && fileExists(zdroj)) {
    kopie = std::string(cil) + "~";
    const int k = kopieNaDisk(zdroj, kopie);
    if (k == kIoOk) {
      odkud = kopie;
      code = renameFile(odkud, cil, true);
    }
  }

  code = nahradSCekanim(odkud, cil, code);
  if (code == kIoSharingViolation && drzenJinde(cil)) {
    interaction().message(cz("Soubor ") + std::string(cil) + cz(" nelze zrušit ") + std::to_string(code), true);
  } else if (code != kIoOk) {
    interaction().message(cz("Err. ") + kod(code, 5) + cz(" při přejmenování na souboru ") + std::string(cil));
  }
  if (!kopie.empty()) {
    if (code == kIoOk) {
      removeFile(zdroj);  // the data are in place; a source that stays behind is only a work file
    } else {
      removeFile(kopie);
    }
  }
  return code;
}

int ZrusSoubory(std::string_view maska) {
  const std::string adresar = adresarMasky(maska);
  int vysledek = kIoOk;
  for (const FileInfo& f : listDirectory(maska)) {
    if (f.isDirectory() || f.name.empty() || f.name[0] == '.') continue;
    const std::string cesta = spoj(adresar, f.name);
    int code = removeFile(cesta);
    if (code == kIoOk || code == kIoFileNotFound) continue;
    int opakovani = 0;
    interaction().waitFor(
        cz("Soubor ") + cesta + cz(" není volný při errasse - err ") + kod(code, 4), kCekaniZruseniMs, [&] {
          code = removeFile(cesta);
          return code == kIoOk || code == kIoFileNotFound || ++opakovani >= kOpakovaniCekani;
        });
    if (code == kIoOk || code == kIoFileNotFound) continue;
    // A file that cannot go (read-only medium, no right to the directory) must not keep the
    // program waiting: say which one stayed and go on with the others.
    interaction().message(cz("Soubor ") + cesta + cz(" nelze zrušit ") + std::to_string(code), true);
    vysledek = code;
  }
  return vysledek;
}

int KopirujSoubor(std::string_view zdroj, std::string_view cil) {
  FileInfo info;
  if (fileInfo(zdroj, info) != kIoOk || info.isDirectory()) return kIoOk;
  File src;
  int code = src.open(zdroj, Access::Read, Share::DenyNone);
  if (code != kIoOk) return code;

  File dst;
  if (fileExists(cil)) {
    code = dst.open(cil, Access::ReadWrite, Share::DenyNone, Create::OpenExisting);
  } else {
    code = dst.open(cil, Access::ReadWrite, Share::DenyNone, Create::CreateAlways);
    if (code == kIoPathNotFound) {
      ZalozCestu(cil);
      code = dst.open(cil, Access::ReadWrite, Share::DenyNone, Create::CreateAlways);
    }
  }
  if (code != kIoOk) return code;

  std::int64_t zapsano = 0;
  code = prenes(src, dst, 0, zapsano);
  if (code != kIoOk) return code;
  code = dst.truncate(zapsano);  // a longer old target keeps nothing of its own tail
  if (code != kIoOk) return code;
  dst.close();
  src.close();
  return setFileTime(cil, info.modified);
}

int PripojSoubor(std::string_view zdroj, std::string_view cil) {
  FileInfo info;
  if (fileInfo(zdroj, info) != kIoOk || info.isDirectory() || info.size <= 0) return kIoOk;
  int code = kIoOk;
  {
    File src;
    code = src.open(zdroj, Access::Read, Share::DenyNone);
    File dst;
    if (code == kIoOk) {
      FileInfo ci;
      const bool naKonec = fileInfo(cil, ci) == kIoOk && ci.size > 0;
      code = dst.open(cil, Access::ReadWrite, Share::DenyNone,
                      naKonec ? Create::OpenExisting : Create::CreateAlways);
    }
    if (code == kIoOk) {
      // The end is measured and written under the append mark, so that a station appending to
      // the same file meanwhile lands after these bytes, not inside them.
      code = dst.lockAppend();
      if (code == kIoOk) {
        std::int64_t konec = 0;
        code = dst.size(konec);
        std::int64_t zapsano = 0;
        if (code == kIoOk) code = prenes(src, dst, konec, zapsano);
        dst.unlockAppend();
      }
    }
  }
  const int a = setFileAttributes(zdroj, 0);
  return code != kIoOk ? code : a;
}

// ---------------------------------------------------------------------------------------------
// Lists

std::uint32_t BalenyCas(const DateTime& kdy) {
  const std::uint32_t rok = static_cast<std::uint32_t>(std::clamp(kdy.year, 1980, 2107) - 1980);
  const std::uint32_t datum = (rok << 9) | (static_cast<std::uint32_t>(kdy.month) << 5) |
                              static_cast<std::uint32_t>(kdy.day);
  const std::uint32_t cas = (static_cast<std::uint32_t>(kdy.hour) << 11) |
                            (static_cast<std::uint32_t>(kdy.minute) << 5) |
                            static_cast<std::uint32_t>(kdy.second / 2);
  return (datum << 16) | cas;
}

namespace {

// The digits of `cislo` put into the "#" positions of `obraz` from the right, every other
// character shown as written, unused digit positions blank.
std::string podleObrazu(std::int64_t cislo, std::string_view obraz) {
  std::string out(obraz);
  std::string cislice = std::to_string(cislo);
  for (size_t i = out.size(); i-- > 0;) {
    if (out[i] != '#') continue;
    if (cislice.empty()) {
      out[i] = ' ';
    } else {
      out[i] = cislice.back();
      cislice.pop_back();
    }
  }
  return out;
}

// The size column of mode 9: bytes up to 999 999, then thousands, then millions, so that no
// digit is ever cut off.
std::string velikostTextem(std::int64_t bajty) {
  if (bajty <= 999999) return podleObrazu(bajty, "### ###   ");
  const std::int64_t kb = (bajty + 500) / 1000;
  if (kb <= 999999) return podleObrazu(kb, "### ### KB");
  return podleObrazu((bajty + 500000) / 1000000, "### ### MB");
}

std::string datumTextem(const DateTime& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day % 100, d.month % 100, d.year % 10000);
  return buf;
}

// The search mask with each "#" of its name part turned into "?", and the positions in the
// name where a digit must stand.
struct MaskaCislic {
  std::string hledani;
  std::vector<size_t> pozice;
};

MaskaCislic rozeberMasku(std::string_view maska) {
  MaskaCislic m{std::string(maska), {}};
  const size_t sep = maska.find_last_of("\\/:");
  const size_t zacatek = sep == std::string_view::npos ? 0 : sep + 1;
  for (size_t i = zacatek; i < m.hledani.size(); ++i) {
    if (m.hledani[i] != '#') continue;
    m.hledani[i] = '?';
    m.pozice.push_back(i - zacatek);
  }
  return m;
}

bool cisliceSedi(const MaskaCislic& m, std::string_view jmeno) {
  for (size_t p : m.pozice)
    if (p >= jmeno.size() || jmeno[p] < '0' || jmeno[p] > '9') return false;
  return true;
}

// Sorted by the bytes of the entries (cp1250 codes); entries that compare equal keep the order in
// which the directory listing gave them, which is name order.
int serad(std::vector<std::string>& polozky, std::vector<std::string>& tabulka, int maximum) {
  std::stable_sort(polozky.begin(), polozky.end());
  if (maximum < 0) maximum = 0;
  if (polozky.size() > static_cast<size_t>(maximum)) polozky.resize(static_cast<size_t>(maximum));
  tabulka = std::move(polozky);
  return static_cast<int>(tabulka.size());
}

}  // namespace

int SeznamSouboru(std::string_view maska, std::vector<std::string>& tabulka, int velikostPolozky,
                  int rezimAMaximum) {
  int rezim = 9;
  int maximum = 0;
  if (rezimAMaximum < 0) {
    maximum = static_cast<int>((-static_cast<std::int64_t>(rezimAMaximum)) % 10000);
  } else {
    rezim = (rezimAMaximum / 10000) % 10;
    maximum = rezimAMaximum % 10000;
  }
  const size_t sirka = velikostPolozky > 1 ? static_cast<size_t>(velikostPolozky - 1) : 0;
  const MaskaCislic m = rozeberMasku(maska);

  std::vector<std::string> polozky;
  for (const FileInfo& f : listDirectory(m.hledani)) {
    if (f.isDirectory() || f.size == 0 || !cisliceSedi(m, f.name)) continue;
    std::string polozka = f.name;
    if (rezim == static_cast<int>(RezimSeznamu::Casy)) {
      polozka += '|';
      polozka += DoplnZleva(std::to_string(BalenyCas(f.modified)), 12, '0');
    } else if (rezim == static_cast<int>(RezimSeznamu::Velikosti)) {
      polozka += '|';
      polozka += velikostTextem(f.size);
      polozka += ';';
      polozka += datumTextem(f.modified);
    }
    if (polozka.size() > sirka) polozka.resize(sirka);
    polozky.push_back(std::move(polozka));
  }
  return serad(polozky, tabulka, maximum);
}

int SeznamSlozek(std::string_view maska, std::vector<std::string>& tabulka, int velikostPolozky,
                 int maximum) {
  const size_t sirka = velikostPolozky > 1 ? static_cast<size_t>(velikostPolozky - 1) : 0;
  const MaskaCislic m = rozeberMasku(maska);
  std::vector<std::string> polozky;
  for (const FileInfo& f : listDirectory(m.hledani)) {
    if (!f.isDirectory() || f.name == "." || f.name == ".." || !cisliceSedi(m, f.name)) continue;
    polozky.push_back(f.name.size() > sirka ? f.name.substr(0, sirka) : f.name);
  }
  return serad(polozky, tabulka, maximum);
}

}  // namespace pz::storage
