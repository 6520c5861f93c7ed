#include "storage/settings.h"

namespace pz::storage {

GlobalSettings& settings() {
  static GlobalSettings s;
  return s;
}

}  // namespace pz::storage
