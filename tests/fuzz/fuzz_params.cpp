// Parameter files are edited by hand and copied between stations: any content must read, take a
// new value and be written back without a crash.
#include <cstddef>
#include <cstdint>

#include "support.h"
#include "storage/params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::put("par/f.par", data, size);
  pz::storage::ZahodParametry();
  (void)pz::storage::CtiPar("par\\f.par", "Pozadi2");
  (void)pz::storage::CtiPar("par\\f.par", "fRol Gridy");
  pz::storage::PisPar("par\\f.par", "Novy", "hodnota");
  pz::storage::UlozPar();
  return 0;
}
