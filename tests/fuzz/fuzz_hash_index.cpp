// A hashed file's table "plat.dti" of any content beside its data records: lookups name only
// records that exist, an insert lands in the data, and the data never shrinks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support.h"
#include "storage/fields.h"
#include "storage/hashfile.h"
#include "storage/interaction.h"

namespace {

constexpr int kKey = 11;
constexpr int kRecord = 16;
constexpr int kRecords = 20;

std::string record(const std::string& key) {
  std::string r(kRecord, '.');
  (void)pz::storage::writeShortString(r, 0, kKey - 1, key);
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string records = [] {
    std::string r;
    for (int i = 1; i <= kRecords; ++i) r += record("K" + std::to_string(i));
    return r;
  }();
  pz::fuzz::put("plat.dta", reinterpret_cast<const uint8_t*>(records.data()), records.size());
  pz::fuzz::put("plat.dti", data, size);
  pz::storage::RecordingInteraction rec;
  pz::storage::setInteraction(&rec);
  {
    pz::storage::HashFile h;
    if (h.OtevriHash("=plat", kKey, kRecord, 8)) {
      for (int i = 0; i <= kRecords + 1; ++i) {
        const int32_t n = h.NajdiHash("K" + std::to_string(i));
        if (n != -1 && (n < 1 || n > kRecords)) std::abort();
      }
      const std::string novy = record("NOVY");
      const int vlozeno = h.VlozHash("NOVY", novy);
      const int32_t n = h.NajdiHash("NOVY");
      if (vlozeno >= 0 && n < 1) std::abort();
    }
  }
  const auto now = std::filesystem::file_size(pz::fuzz::workDir() + "/plat.dta");
  if (now != records.size() && now != records.size() + kRecord) std::abort();
  pz::storage::setInteraction(nullptr);
  return 0;
}
