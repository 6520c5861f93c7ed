// The three print fonts "norm.fnt", "12zn.fnt" and "cond.fnt" of the working directory, and the
// installation's "norm.fnt" below the program root that a short one is taken over from, are
// parameter files kept by hand: any content gives three fonts of a positive size and a face of at
// most 31 characters, and a report printed with them puts every line on the page.
// Input: norm.fnt, a NUL, 12zn.fnt, a NUL, cond.fnt, a NUL, the program root's norm.fnt (a
// missing part gives a missing file).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/print.h"
#include "reports/printing.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support.h"

namespace {

// A printer at 600 dots an inch that checks where the lines go.
class Platno : public pz::platform::PrintCanvas {
 public:
  int begin(const std::string&) override { return 0; }
  void newPage() override {}
  void setFont(const pz::platform::LogicalFont& f) override {
    if (f.height <= 0 || f.faceName.empty() || f.faceName.size() > 31) __builtin_trap();
  }
  void text(int x, int y, std::string_view t) override {
    if (x < 0 || y < 0 || t.empty()) __builtin_trap();
  }
  void image(int, int, int, int, const std::string&) override {}
  int end() override { return 0; }
  int dpiX() const override { return 600; }
  int dpiY() const override { return 600; }
  int pageHeight() const override { return 6600; }
};

void zkontroluj(const pz::platform::LogicalFont& f) {
  if (f.height <= 0 || f.width <= 0 || f.faceName.empty() || f.faceName.size() > 31) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Without "prog.adr" the program root is the working directory.
  pz::fuzz::putParts({reinterpret_cast<const char*>(data), size}, {"norm.fnt", "12zn.fnt", "cond.fnt", "2/norm.fnt"});
  pz::storage::ZapomenAdresy();
  pz::storage::ZahodParametry();
  const pz::reports::FontyTisku fonty = pz::reports::NactiFonty();
  zkontroluj(fonty.norm);
  zkontroluj(fonty.elit);
  zkontroluj(fonty.cond);

  static const std::vector<std::string> radky = {"POKLADNI KNIHA", "\x0e" "Kurz 24,820  \x0f" "Celkem 1 000,00",
                                                 "", "\f" "Strana 2", "\x12" "Podpis:"};
  Platno platno;
  pz::reports::NastaveniTisku n;
  n.tab = 5;
  n.toplist = 3;
  n.opakovat = 1;
  for (int hustota : {1, 3}) {
    n.hustota = hustota;
    if (!pz::reports::TiskNaPlatno(platno, radky, n, fonty)) __builtin_trap();
  }
  return 0;
}
