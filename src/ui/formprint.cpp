#include "ui/formprint.h"

#include <cmath>

#include "platform/io.h"
#include "platform/print.h"
#include "platform/text.h"
#include "storage/params.h"
#include "ui/cells.h"

namespace pz::ui {

bool TiskniOkno(const Form& okno) {
  auto p = platform::printService().canvas(storage::CtiPar("sys.par", "TiskDefault"));
  if (!p || p->begin(okno.caption) != platform::kIoOk) return false;
  // 10 point characters, six tenths of their height wide.
  platform::LogicalFont f;
  f.faceName = "Courier New";
  f.height = static_cast<int>(std::lround(p->dpiY() * 10 / 72.0));
  f.width = static_cast<int>(std::lround(p->dpiX() * 10 / 72.0 * 0.6));
  p->setFont(f);
  const CellGrid g = render(okno);
  for (int r = 0; r < g.rows(); ++r) {
    std::string radek = platform::utf8ToCp1250(g.rowText(r));
    radek.erase(radek.find_last_not_of(' ') + 1);
    if (!radek.empty()) p->text(0, r * f.height, radek);
  }
  return p->end() == platform::kIoOk;
}

}  // namespace pz::ui
