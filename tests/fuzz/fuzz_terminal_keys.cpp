// Whatever a terminal sends, in whatever pieces, decodes without a crash and without losing the
// decoder's footing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frontends/tty/keydecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::tty::KeyDecoder d;
  std::string_view all(reinterpret_cast<const char*>(data), size);
  // The first byte chooses how the input is split into reads.
  const size_t piece = size ? (data[0] % 7) + 1 : 1;
  for (size_t i = 1; i < all.size(); i += piece) d.feed(all.substr(i, piece));
  d.timeout();
  (void)d.take();
  return d.pending() ? 1 : 0;
}
