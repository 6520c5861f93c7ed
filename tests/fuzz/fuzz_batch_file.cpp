// Batch and ledger entry files are shared between stations and programs of the suite: any
// content must read as entries (or be refused as a whole), and a batch read must be written back
// and read again as the same number of entries with the same sums.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "accounting/entries.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::put("davka.dav", data, size);
  std::vector<pz::accounting::tUcZapis> zapisy;
  if (!pz::accounting::CtiDavku("=davka.dav", zapisy)) return 0;
  const auto strany = pz::accounting::SoucetStran(zapisy, true);
  if (!pz::accounting::PrepisDavku("=kopie.dav", zapisy, false)) return 0;
  std::vector<pz::accounting::tUcZapis> znovu;
  if (!pz::accounting::CtiDavku("=kopie.dav", znovu) || znovu.size() != zapisy.size()) __builtin_trap();
  const auto znovuStrany = pz::accounting::SoucetStran(znovu, true);
  if (znovuStrany.md != strany.md || znovuStrany.dal != strany.dal) __builtin_trap();
  (void)strany.rozdil();
  return 0;
}
