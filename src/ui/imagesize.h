// The pixel size of a document picture, read from the header of its file (PNG, JPEG, GIF, BMP),
// so that the picture panel of a list can take the picture's own proportions.
#pragma once

#include <optional>
#include <string_view>

namespace pz::ui {

struct RozmerObrazku {
  int sirka = 0, vyska = 0;  // pixels, both at least 1
};

// The size stated in the file's header; nothing for another format or a damaged header.
std::optional<RozmerObrazku> ZjistiRozmer(std::string_view bytes);

}  // namespace pz::ui
