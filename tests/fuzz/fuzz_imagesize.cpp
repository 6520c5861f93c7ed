// Any file chosen as a document picture: its header gives a size or nothing, never a read past it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/imagesize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto r = pz::ui::ZjistiRozmer(std::string_view(reinterpret_cast<const char*>(data), size));
  if (r && (r->sirka < 1 || r->vyska < 1)) __builtin_trap();
  return 0;
}
