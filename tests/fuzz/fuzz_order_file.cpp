// Order files of any content beside a record file: every row maps to a record that exists, and
// no write goes astray.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support.h"
#include "storage/recordfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string records(10 * 8, 'r');
  pz::fuzz::put("data.dta", reinterpret_cast<const uint8_t*>(records.data()), records.size());
  pz::fuzz::put("data.dt1", data, size);
  pz::storage::RecordFile f;
  if (!f.OtevriSoubor("=data.dta", 8 + pz::storage::kSPoradim)) return 0;
  f.NastavPoradi(1);
  for (int32_t row = -1; row <= f.pocet() + 1; ++row) {
    const int32_t rec = f.CisloZPoradi(row);
    if (row >= 1 && row <= f.pocet() && (rec < 1 || rec > f.pocet())) std::abort();
    f.CtiVetu(row);
  }
  f.PisVetu(3);
  return 0;
}
