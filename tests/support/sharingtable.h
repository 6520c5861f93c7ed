// The bytes of a sharing table "FOT.tab", built independently of the program's own code: 99
// entries of 20 bytes (name as a short string of 12, user of 4, mode of 1).
#pragma once

#include <string>

namespace pz::test {

// One entry: the name (upper case, as the program keeps names), the user number and the mode
// 'R' or 'W'; a blank name, user and mode make a free entry.
inline std::string sharingEntry(std::string jmeno, std::string uzivatel, char rezim) {
  jmeno.resize(12, ' ');
  uzivatel.resize(4, ' ');
  return std::string("\x0c") + jmeno + "\x04" + uzivatel + "\x01" + rezim;
}

// A table in which station 07 holds a read lock on `jmeno`, the other entries free.
inline std::string sharingTable(const std::string& jmeno) {
  std::string t = sharingEntry(jmeno, "07", 'R');
  for (int i = 1; i < 99; ++i) t += sharingEntry("", "", ' ');
  return t;
}

}  // namespace pz::test
