// The rate table "kursy.dta" may still be in its older 18-byte layout, from an earlier version or
// copied from another installation, and its records are typed by hand: any file is brought
// forward with its records' count kept (or left as it is), and the date repair and both sorts
// work on it without a crash, never making the file longer.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/fs.h"
#include "rates/ratetable.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support.h"

namespace {

int64_t velikost() {
  pz::platform::FileInfo info;
  return pz::platform::fileInfo("DATA/kursy.dta", info) == 0 ? info.size : -1;
}

// The installation: a data root and a program root with the shipped field descriptions.
void instaluj() {
  namespace fs = std::filesystem;
  const fs::path dir = pz::fuzz::workDir();
  pz::fuzz::put("data.adr", reinterpret_cast<const uint8_t*>("DATA\\\r\n"), 7);
  pz::fuzz::put("prog.adr", reinterpret_cast<const uint8_t*>("PROG\\\r\n"), 7);
  fs::create_directories(dir / "PROG/dlib");
  for (const char* popis : {"kursyold.pol", "kursy.pol"})
    fs::copy_file(fs::path(PZ_SOURCE_DIR) / "demo/prog/dlib" / popis, dir / "PROG/dlib" / popis,
                  fs::copy_options::overwrite_existing);
  pz::storage::settings().user = "01";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool hotovo = (instaluj(), true);
  (void)hotovo;
  pz::fuzz::silence();
  pz::storage::ZapomenAdresy();
  pz::storage::ZahodParametry();
  pz::fuzz::put("DATA/kursy.dta", data, size);

  pz::rates::TfKursy okno;
  okno.NastavKursy();
  const int64_t prevedeno = velikost();
  // A file of fewer than 2 bytes holds no record and is started anew.
  if (prevedeno != static_cast<int64_t>(size < 2 ? 0 : size) &&
      (size % 18 != 0 || prevedeno != static_cast<int64_t>(size / 18 * pz::rates::tKurs::kVelikost)))
    __builtin_trap();
  okno.OpravDatum();
  if (velikost() != prevedeno) __builtin_trap();
  okno.Setrid(true);
  const int64_t podleData = velikost();
  okno.Setrid(false);
  if (podleData > prevedeno || velikost() > podleData) __builtin_trap();
  okno.Zavri();
  return 0;
}
