// The station settings table of any size and content.
#include <cstddef>
#include <cstdint>

#include "support.h"
#include "storage/masterjob.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::put("master.job", data, size);
  (void)pz::storage::CtiJob("UZIVATEL");
  (void)pz::storage::CtiJob("DAN2");
  pz::storage::PisJob("POCITAC", "7");
  (void)pz::storage::CtiJobV("", "FJ");
  return 0;
}
