#include "storage/roots.h"

#include <optional>

#include "platform/clock.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/probes.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

struct Koren {
  const char* soubor;
  std::optional<std::string> cesta;  // set once read successfully
};

Koren g_data{"data.adr", std::nullopt};
Koren g_prog{"prog.adr", std::nullopt};

enum class Cteni { Ok, Necitelny, PrilisDlouhy };

// A directory named with either separator already ends in one: "/X/" stays as it is.
std::string doplnLomitko(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir;
}

// Reads the first line of an address file as a root directory. A missing file is the empty
// root; trailing blanks of a hand-edited file are no part of a directory name.
Cteni ctiKoren(const char* soubor, std::string& koren, int& code) {
  std::string line;
  code = CtiPrvniRadek(soubor, line);
  if (code == kIoFileNotFound || code == kIoPathNotFound) {
    koren.clear();
    code = kIoOk;
    return Cteni::Ok;
  }
  if (code != kIoOk) return Cteni::Necitelny;
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
  koren = doplnLomitko(line);
  return line.size() > kNejdelsiKoren ? Cteni::PrilisDlouhy : Cteni::Ok;
}

// The root, read on first use. An unreadable address file is not remembered: this call gets the
// empty root and the next one reads again (the start-up check has already ended such a run).
const std::string& koren(Koren& k) {
  static const std::string prazdny;
  if (!k.cesta) {
    std::string cesta;
    int code;
    if (ctiKoren(k.soubor, cesta, code) == Cteni::Necitelny) {
      if (code == kIoSharingViolation) interaction().message(TextChyby(code, k.soubor));
      return prazdny;
    }
    k.cesta = std::move(cesta);
  }
  return *k.cesta;
}

std::string_view bezLomitka(std::string_view name) {
  if (!name.empty() && name.front() == '\\') name.remove_prefix(1);
  return name;
}

bool zkontroluj(Koren& k) {
  std::string cesta;
  int code;
  Cteni c = ctiKoren(k.soubor, cesta, code);
  if (c == Cteni::Necitelny && code == kIoSharingViolation) {
    const int64_t konec = clock().monotonicMs() + 10000;
    interaction().waitFor(TextChyby(code, k.soubor), 100, [&] {
      c = ctiKoren(k.soubor, cesta, code);
      return c != Cteni::Necitelny || code != kIoSharingViolation || clock().monotonicMs() >= konec;
    });
  }
  if (c == Cteni::Necitelny) {
    interaction().message(cz("Soubor ") + k.soubor + cz(" nelze přečíst (err") + DoplnZleva(std::to_string(code), 6) +
                              cz("), program končí."),
                          true);
    return false;
  }
  if (c == Cteni::PrilisDlouhy) {
    interaction().message(cz("Adresář v souboru ") + k.soubor + cz(" je delší než ") +
                              std::to_string(kNejdelsiKoren) + cz(" znaků, program končí."),
                          true);
    return false;
  }
  k.cesta = std::move(cesta);
  return true;
}

}  // namespace

std::string DataCesta(std::string_view name) {
  name = bezLomitka(name);
  if (!name.empty() && name.front() == '=') return std::string(name.substr(1));
  if (!name.empty()) {
    std::string presmerovani = "^";
    presmerovani += name;
    std::string adresar = PrvniRadek(presmerovani);
    while (!adresar.empty() && adresar.back() == ' ') adresar.pop_back();
    if (!adresar.empty()) return doplnLomitko(adresar) + std::string(name);
  }
  return koren(g_data) + std::string(name);
}

std::string ProgCesta(std::string_view name) { return koren(g_prog) + std::string(bezLomitka(name)); }

bool NactiAdresy() { return zkontroluj(g_data) && zkontroluj(g_prog); }

void ZapomenAdresy() {
  g_data.cesta.reset();
  g_prog.cesta.reset();
}

}  // namespace pz::storage
