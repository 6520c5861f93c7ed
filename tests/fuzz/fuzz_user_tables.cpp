// The user name table and the session stamp table are shared binary files that other programs of
// the suite write: any length and content must give a 24-character name and a suite check
// answer without a crash.
// Input: two bytes (little-endian) giving the length of the JMENA.tab part, that part, and the
// rest as UZIVATEL.tab.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/suite_check.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t names = data[0] | (static_cast<size_t>(data[1]) << 8);
  data += 2;
  size -= 2;
  if (names > size) names = size;
  pz::fuzz::put("JMENA.tab", data, names);
  pz::fuzz::put(pz::shell::kTabulkaUzivatelu, data + names, size - names);
  pz::storage::ZapomenAdresy();

  for (const char* user : {"1 ", " 7", "42", "99", "00"}) {
    if (pz::storage::JmenoUzivatele(user).size() != 24) __builtin_trap();
  }
  pz::shell::KontrolaSady check;
  for (int user : {1, 50, 99}) {
    check.vynuluj();
    (void)check.zkontroluj(pz::shell::kTabulkaUzivatelu, user);
    (void)check.zkontroluj(pz::shell::kTabulkaUzivatelu, user);
  }
  return 0;
}
