// The bank's answer comes from the network: whatever the rate file and the answer hold, the merge
// must not crash, and a merge it accepts keeps every byte the file had in front of what it adds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cashdesk/ratefetch.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The rate file's text, a NUL byte, then the bank's answer.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t nul = bytes.find('\0');
  if (nul == std::string_view::npos) return 0;
  const std::string_view soubor = bytes.substr(0, nul), vyvoz = bytes.substr(nul + 1);
  const pz::platform::Date dnes{2025, 6, 2};
  const pz::platform::Date od = pz::cashdesk::OdKdyStahnout(soubor, dnes);
  const auto s = pz::cashdesk::SlucVyvoz(soubor, vyvoz, "JPY", od, dnes);
  if (s.ok && !s.obsah.starts_with(soubor)) std::abort();
  if (s.ok && s.pridano > 0 && pz::platform::dayNumber(pz::cashdesk::OdKdyStahnout(s.obsah, dnes)) <= pz::platform::dayNumber(od))
    std::abort();
  if (!s.ok && s.chyba.empty()) std::abort();
  return 0;
}
