// The sharing table "FOT.tab" of any size and content: two stations lock, ask and unlock a file
// in it. A lock that is reported held is seen by the other station, and a table that was written
// back has its full size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/settings.h"

namespace {

using namespace pz::storage;

template <class F>
auto as(const char* user, F fn) {
  settings().user = user;
  return fn();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::put("D/FOT.tab", data, size);
  RecordingInteraction rec;  // gives up every wait after a few tries, answers questions "no"
  setInteraction(&rec);
  const std::string kursy = "D\\kursy.dta";
  const Zamek cteni = as("01", [&] { return Zamkni(kursy, "R"); });
  if (cteni == Zamek::Drzen && as("02", [&] { return IfVolny(kursy); }).empty()) std::abort();
  as("02", [&] { return Zamkni(kursy, "W"); });
  as("01", [&] { return Premkni(kursy); });
  as("01", [&] {
    Odemkni(kursy);
    return 0;
  });
  as("03", [&] { return Zamkni("D\\plat.dta", "W"); });
  const auto now = std::filesystem::file_size(pz::fuzz::workDir() + "/D/FOT.tab");
  if (now != size && now != kVelikostSdileni) std::abort();
  setInteraction(nullptr);
  return 0;
}
