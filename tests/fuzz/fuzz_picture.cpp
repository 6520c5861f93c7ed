// Whatever a user types into a field: numbers, money, dates and times parse or are refused.
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/fields.h"
#include "ui/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  (void)pz::ui::TextNaCele(text);
  (void)pz::ui::TextNaReal(text);
  (void)pz::ui::TextNaPenize(text);
  (void)pz::ui::CtiDatum('d', text, 2026);
  (void)pz::ui::CtiDatum('D', text, 2026);
  (void)pz::ui::CtiCas(text);
  (void)pz::ui::FormatE("### ### ###.##-", pz::ui::TextNaReal(text));
  if (size >= 6) {
    pz::storage::Real48 r;
    for (int i = 0; i < 6; ++i) r[static_cast<size_t>(i)] = data[i];
    (void)pz::ui::FormatR("##########.##-", r);
    (void)pz::storage::real48ToDecimal(r);
  }
  return 0;
}
