#include "ui/keys.h"

namespace pz::ui {

KeyEvent keyForChar(char ch) {
  KeyEvent ev;
  ev.ch = ch;
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') ev.vk = kVkA + (c - 'a');
  else if (c >= 'A' && c <= 'Z') ev.vk = kVkA + (c - 'A'), ev.shift = true;
  else if (c >= '0' && c <= '9') ev.vk = kVk0 + (c - '0');
  else if (c == ' ') ev.vk = kVkSpace;
  return ev;
}

}  // namespace pz::ui
