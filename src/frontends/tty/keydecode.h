// Turns the bytes a terminal sends into key and mouse events.
//
// Understood: the xterm sequences for cursor keys, Home, End, Insert, Delete, PgUp, PgDn and
// F1-F12, each with the modifier parameter ("ESC [ 1 ; 5 P" is Ctrl+F1, "ESC [ 15 ; 3 ~" Alt+F5);
// SS3 forms ("ESC O P"); the Linux console's F1-F5 ("ESC [ [ A"); the application keypad's
// + - * and Enter; SGR mouse reports; control characters as Ctrl+letter; UTF-8 text.
//
// For terminals that send nothing usable for function keys: Esc followed quickly by a digit is
// F1-F9 (1-9) and F10 (0); Esc followed by another character is Alt with that character. A lone
// Esc counts as the Esc key when nothing follows within the escape time-out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/keys.h"

namespace pz::tty {

struct TtyEvent {
  bool isMouse = false;
  ui::KeyEvent key;
  ui::MouseEvent mouse;  // col and row are terminal cells from 0
};

class KeyDecoder {
 public:
  void feed(std::string_view bytes);
  // Nothing more came within the escape time-out: an incomplete sequence is taken as it stands.
  void timeout();
  bool pending() const { return !buf_.empty(); }
  std::vector<TtyEvent> take();

 private:
  // Decodes one event from the front of buf_; returns bytes used, 0 when more bytes are needed.
  size_t decodeOne(bool final);
  size_t decodeCsi(bool final);
  void pushKey(int vk, int mod, char ch = 0);
  std::string buf_;
  std::vector<TtyEvent> out_;
};

}  // namespace pz::tty
