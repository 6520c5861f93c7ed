// A printer definition ".dst" below the program root is text written by hand for each printer:
// any content gives the four sequences, none longer than the text it came from, and a character
// print sends INIT and the starting density first and the report's text after them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/printing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const pz::reports::DefiniceTiskarny d = pz::reports::CtiDefiniciTiskarny(text);
  if (size >= 3)
    for (const std::string* s : {&d.init, &d.norm, &d.elit, &d.cond})
      if (s->size() > size) __builtin_trap();

  // Density switches inside lines and at their ends, a page break and the drawer.
  static const std::vector<std::string> radky = {"POKLADNI KNIHA   EUR", "\x0f" "Kurz 24,820 \x0e" "Celkem 1 000,00",
                                                 "\f" "Strana 2\x12", "\x07"};
  pz::reports::NastaveniTisku n;
  for (int hustota : {1, 2, 3}) {
    n.hustota = hustota;
    n.tab = 4;
    n.toplist = 2;
    const std::string out = pz::reports::ZnakovyTisk(radky, n, d);
    const std::string& prvni = hustota == 2 ? d.elit : hustota == 3 ? d.cond : d.norm;
    if (out.compare(0, d.init.size(), d.init) != 0 || out.compare(d.init.size(), prvni.size(), prvni) != 0)
      __builtin_trap();
    if (out.find("POKLADNI KNIHA   EUR") == std::string::npos || out.find("Strana 2") == std::string::npos)
      __builtin_trap();
  }
  return 0;
}
