// The bytes of a sharing table "FOT.tab", built independently of the program's own code: 99
// entries of 20 bytes (name as a short string of 12, user of 4, mode of 1).
#pragma once

#include <string>

namespace pz::test {

// A table in which station 07 holds a read lock on `jmeno` (upper case, as the program keeps
// names), the other entries free.
inline std::string sharingTable(const std::string& jmeno) {
  std::string t;
  for (int i = 0; i < 99; ++i) {
    std::string n = i == 0 ? jmeno : "";
    n.resize(12, ' ');
    t += std::string("\x0c") + n + "\x04" + (i == 0 ? "07  " : "    ") + "\x01" + (i == 0 ? "R" : " ");
  }
  return t;
}

}  // namespace pz::test
