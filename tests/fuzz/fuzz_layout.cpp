// Field descriptions are text files anybody can edit, and the data file may be of any layout:
// any pair of descriptions and any data file must be read, recognised and converted (or left
// alone) without a crash, and a converted file must have whole records of the new size.
//
// Input: two bytes the length of the old description, two bytes that of the new one, the two
// descriptions, and the rest is the data file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fs.h"
#include "storage/layout.h"
#include "support.h"

namespace {

size_t delka(const uint8_t*& data, size_t& size) {
  if (size < 2) return 0;
  const size_t n = data[0] | (static_cast<size_t>(data[1]) << 8);
  data += 2;
  size -= 2;
  return n < size ? n : size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::silence();
  const size_t a = delka(data, size);
  const size_t b = delka(data, size);
  if (a + b > size) return 0;
  const std::string stary(reinterpret_cast<const char*>(data), a);
  const std::string novy(reinterpret_cast<const char*>(data + a), b);
  pz::fuzz::put("stary.pol", data, a);
  pz::fuzz::put("novy.pol", data + a, b);
  pz::fuzz::put("data.dta", data + a + b, size - a - b);

  const auto s = pz::storage::CtiPopis(stary);
  const auto n = pz::storage::CtiPopis(novy);
  // Tiny old records and huge new ones would only measure the disk.
  if (s && n && (size - a - b) / s->velikost * n->velikost > (1u << 22)) return 0;
  if (pz::storage::PrevedSoubor("data.dta", "", "stary.pol", "novy.pol")) {
    pz::platform::FileInfo info;
    // A conversion needs both descriptions and leaves whole records of the new layout.
    if (!s || !n || pz::platform::fileInfo("data.dta", info) != 0 || info.size % static_cast<int64_t>(n->velikost) != 0)
      std::abort();
  }
  return 0;
}
