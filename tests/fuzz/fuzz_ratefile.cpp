// Rate files are text the user exports from the central bank and saves by hand: any content and
// any payment date must look up without a crash, and a rate found is a positive number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cashdesk/ratefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first six bytes are the payment date (DDMMYY), the rest the file's text.
  if (size < 6) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto kurz = pz::cashdesk::KurzZTextu(bytes.substr(6), bytes.substr(0, 6));
  if (kurz && !(std::isfinite(*kurz) && *kurz > 0)) std::abort();
  return 0;
}
