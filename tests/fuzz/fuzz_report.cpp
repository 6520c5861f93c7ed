// Report files found in the working directory: width detection and line access on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support.h"
#include "reportfiles/report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)pz::reports::SirkaZeZacatku(bytes.substr(0, 999), static_cast<int64_t>(size));
  pz::fuzz::put("r.txt", data, size);
  pz::reports::RadkovySoubor f;
  if (f.otevri("r.txt")) {
    std::string line;
    for (int64_t n : {int64_t{0}, int64_t{1}, f.pocet() / 2, f.pocet(), f.pocet() + 1}) f.cti(n, line);
    f.pis(f.pocet() + 1, "novy radek");
    f.zavri();
  }
  return 0;
}
