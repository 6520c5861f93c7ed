// The bytes of a station settings table "master.job", built independently of the program's own
// code so that tests compare against the layout itself: 200 entries of 18 bytes, each a key and
// a value as short strings of 8 (length byte, 8 bytes, zero-filled).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pz::test {

// The entries from the first one on; `size` 1818 gives a table of the earlier size. Texts are
// taken as bytes (cp1250).
std::string stationTable(const std::vector<std::pair<std::string, std::string>>& entries, size_t size = 3600);

}  // namespace pz::test
