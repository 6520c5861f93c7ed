// The registers' answers come from the network: any bytes must read without a crash, and what is
// read fits the partner's fields without being cut.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registers/partners_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte chooses the register: even the subjects' JSON, odd the VAT register's XML.
  if (size < 1) return 0;
  const std::string_view odpoved(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    const auto a = pz::registers::CtiOdpovedAres(odpoved, "45274649");
    if (a.udaje && a.udaje->ico != "45274649") std::abort();
    if (!a.udaje && a.chyba.empty()) std::abort();
  } else {
    const auto d = pz::registers::CtiOdpovedDph(odpoved, "45274649");
    if (d.udaje && (d.udaje->status.empty() || d.udaje->ucet.size() > 19 ||
                    !(d.udaje->kodBanky.empty() || d.udaje->kodBanky.size() == 4)))
      std::abort();
    if (!d.udaje && d.chyba.empty()) std::abort();
  }
  return 0;
}
