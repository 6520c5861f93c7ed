// The drive table and the address files are edited by hand at each installation: any content
// must give a table and two roots (or the start-up refusal) without a crash, and the paths built
// from them must translate to native names.
// Input: drives.txt, a NUL, data.adr, a NUL, prog.adr (missing parts give missing files).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "storage/roots.h"
#include "support.h"

namespace {

// Writes the part as the file, or removes the file when the input has no such part.
void putPart(const char* name, std::string_view all, size_t& from, bool& present) {
  if (!present) {
    std::filesystem::remove(std::filesystem::path(pz::fuzz::workDir()) / name);
    return;
  }
  size_t end = all.find('\0', from);
  std::string_view part = all.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
  pz::fuzz::put(name, reinterpret_cast<const uint8_t*>(part.data()), part.size());
  if (end == std::string_view::npos) {
    present = false;
  } else {
    from = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t from = 0;
  bool present = true;
  putPart("drives.txt", all, from, present);
  putPart("data.adr", all, from, present);
  putPart("prog.adr", all, from, present);

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
