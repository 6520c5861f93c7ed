// The drive table and the address files are edited by hand at each installation: any content
// must give a table and two roots (or the start-up refusal) without a crash, and the paths built
// from them must translate to native names.
// Input: drives.txt, a NUL, data.adr, a NUL, prog.adr (missing parts give missing files).
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/paths.h"
#include "storage/roots.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::putParts({reinterpret_cast<const char*>(data), size}, {"drives.txt", "data.adr", "prog.adr"});

  pz::platform::PathMapper table;
  table.loadDriveTable(pz::fuzz::workDir());
  (void)table.driveLetters();
  (void)table.portPath("LPT1");
  (void)table.toProgram(pz::fuzz::workDir() + "/par/okna2.par");

  pz::storage::ZapomenAdresy();
  if (pz::storage::NactiAdresy()) {
    for (const std::string& p : {pz::storage::DataCesta("kursy.dta"), pz::storage::DataCesta("\\log\\a.log"),
                                 pz::storage::ProgCesta("\\help\\pzpokl.hlp")}) {
      std::string native = table.toNative(p);
      if (!native.empty()) (void)table.toProgram(native);
    }
  }
  return 0;
}
