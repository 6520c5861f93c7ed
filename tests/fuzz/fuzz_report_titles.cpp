// The report titles "listw.tab" below the program root are kept by hand: with any content every
// listed report gets a title of at most 45 characters (a deleted one none), the list sorts by
// title, and the rewrite that follows a join of archives keeps every line and leaves no "AR1"
// name behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "reports/spool.h"
#include "storage/czech.h"
#include "support.h"

namespace {

pz::reports::SestavaSeznamu sestava(const std::string& jmeno) {
  pz::reports::SestavaSeznamu s;
  s.jmeno = jmeno;
  s.jmeno.resize(30, ' ');
  s.soubor = jmeno + ".txt";
  s.slozka = "C:\\PZ\\";
  return s;
}

size_t pocetRadku(const std::string& text) {
  size_t n = 0;
  for (char c : text) n += c == '\n';
  return n + (!text.empty() && text.back() != '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::fuzz::put("listw.tab", data, size);
  std::vector<pz::reports::SestavaSeznamu> seznam = {sestava("PZAR1EUR"), sestava("PZARlEUR"), sestava("DENIK"),
                                                     sestava("POKLADNA"), sestava("########"), sestava("")};
  pz::reports::PridejNazvy(seznam, "listw.tab");
  for (const auto& s : seznam)
    if (s.nazev.size() > 45 || (s.zrusena() && !s.nazev.empty())) __builtin_trap();
  pz::reports::SetridSeznam(seznam, 4, true);
  if (seznam.size() != 6) __builtin_trap();

  // No archive to join: only the titles' file is rewritten.
  if (pz::reports::SpojArchivy({}, true, "listw.tab") != 0) return 0;
  std::string po;
  if (pz::platform::readWholeFile("listw.tab", po) != 0) __builtin_trap();
  const std::string pred(reinterpret_cast<const char*>(data), size);
  if (pocetRadku(po) != pocetRadku(pred)) __builtin_trap();
  for (size_t od = 0; od < po.size();) {
    const size_t k = po.find('\n', od);
    if (po.size() >= od + 5 && k - od >= 5 && pz::storage::VelkaPismena(po.substr(od + 2, 3)) == "AR1") __builtin_trap();
    od = k == std::string::npos ? po.size() : k + 1;
  }
  return 0;
}
