#include "support/stationtable.h"

#include <stdexcept>

namespace pz::test {

std::string stationTable(const std::vector<std::pair<std::string, std::string>>& entries, size_t size) {
  std::string t(size, '\0');
  size_t at = 0;
  for (const auto& [k, v] : entries) {
    if (k.size() > 8 || v.size() > 8 || at + 18 > size) throw std::invalid_argument("stationTable");
    t[at] = static_cast<char>(k.size());
    t.replace(at + 1, k.size(), k);
    t[at + 9] = static_cast<char>(v.size());
    t.replace(at + 10, v.size(), v);
    at += 18;
  }
  return t;
}

}  // namespace pz::test
