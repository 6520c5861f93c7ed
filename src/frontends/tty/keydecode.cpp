#include "frontends/tty/keydecode.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text.h"

namespace pz::tty {

using namespace ui;

namespace {

bool isFinal(char c) { return c >= 0x40 && c <= 0x7E; }

std::vector<int> params(std::string_view s) {
  std::vector<int> out;
  int cur = 0;
  bool any = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      cur = std::min(cur * 10 + (c - '0'), 99999);  // no key number is longer; a flood of digits is no key
      any = true;
    } else if (c == ';') {
      out.push_back(any ? cur : 0);
      cur = 0;
      any = false;
    }
  }
  out.push_back(any ? cur : 0);
  return out;
}

int tildeKey(int code) {
  switch (code) {
    case 1: case 7: return kVkHome;
    case 2: return kVkInsert;
    case 3: return kVkDelete;
    case 4: case 8: return kVkEnd;
    case 5: return kVkPrior;
    case 6: return kVkNext;
    case 11: return kVkF1;
    case 12: return kVkF2;
    case 13: return kVkF3;
    case 14: return kVkF4;
    case 15: return kVkF5;
    case 17: return kVkF6;
    case 18: return kVkF7;
    case 19: return kVkF8;
    case 20: return kVkF9;
    case 21: return kVkF10;
    case 23: return kVkF11;
    case 24: return kVkF12;
    default: return 0;
  }
}

int letterKey(char c) {
  switch (c) {
    case 'A': return kVkUp;
    case 'B': return kVkDown;
    case 'C': return kVkRight;
    case 'D': return kVkLeft;
    case 'H': return kVkHome;
    case 'F': return kVkEnd;
    case 'P': return kVkF1;
    case 'Q': return kVkF2;
    case 'R': return kVkF3;
    case 'S': return kVkF4;
    default: return 0;
  }
}

// Length of the UTF-8 sequence that starts with `lead` (1 for anything not a lead byte).
size_t utf8Length(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

// The xterm modifier parameter is 1 + (Shift 1, Alt 2, Ctrl 4, Meta 8).
void KeyDecoder::pushKey(int vk, int mod, char ch) {
  TtyEvent ev;
  ev.key.vk = vk;
  if (mod > 1) {
    int m = mod - 1;
    ev.key.shift = m & 1;
    ev.key.alt = (m & 2) || (m & 8);
    ev.key.ctrl = m & 4;
  }
  ev.key.ch = ev.key.ctrl || ev.key.alt ? 0 : ch;
  out_.push_back(ev);
}

void KeyDecoder::feed(std::string_view bytes) {
  buf_.append(bytes);
  while (!buf_.empty()) {
    size_t used = decodeOne(false);
    if (used == 0) break;
    buf_.erase(0, used);
  }
}

void KeyDecoder::timeout() {
  while (!buf_.empty()) {
    size_t used = decodeOne(true);
    buf_.erase(0, used ? used : 1);
  }
}

std::vector<TtyEvent> KeyDecoder::take() {
  std::vector<TtyEvent> r;
  r.swap(out_);
  return r;
}

size_t KeyDecoder::decodeCsi(bool final) {
  // buf_ starts with ESC [
  if (buf_.size() >= 3 && buf_[2] == '[') {  // Linux console F1-F5: ESC [ [ A..E
    if (buf_.size() < 4) return final ? 3 : 0;
    char c = buf_[3];
    if (c >= 'A' && c <= 'E') pushKey(kVkF1 + (c - 'A'), 1);
    return 4;
  }
  size_t i = 2;
  while (i < buf_.size() && !isFinal(buf_[i])) ++i;
  if (i >= buf_.size()) {
    if (!final && buf_.size() < 32) return 0;
    return buf_.size();  // a broken sequence is dropped whole
  }
  std::string_view body(buf_.data() + 2, i - 2);
  const char fin = buf_[i];
  const size_t used = i + 1;
  if (!body.empty() && body[0] == '<') {  // SGR mouse: ESC [ < b ; x ; y (M press | m release)
    auto p = params(body.substr(1));
    if (fin != 'M' || p.size() < 3) return used;
    int b = p[0];
    if (b & 32 || b >= 64) return used;  // motion and wheel are not clicks
    TtyEvent ev;
    ev.isMouse = true;
    int btn = b & 3;
    ev.mouse.button = btn == 0 ? MouseButton::Left : btn == 2 ? MouseButton::Right : MouseButton::Middle;
    ev.mouse.shift = b & 4;
    ev.mouse.alt = b & 8;
    ev.mouse.ctrl = b & 16;
    ev.mouse.col = p[1] - 1;
    ev.mouse.row = p[2] - 1;
    out_.push_back(ev);
    return used;
  }
  auto p = params(body);
  int mod = p.size() >= 2 ? p[1] : 1;
  if (fin == '~') {
    if (int vk = tildeKey(p[0])) pushKey(vk, mod);
  } else if (fin == 'Z') {
    pushKey(kVkTab, 2);
  } else if (int vk = letterKey(fin)) {
    pushKey(vk, mod);
  }
  return used;
}

size_t KeyDecoder::decodeOne(bool final) {
  const auto b = static_cast<unsigned char>(buf_[0]);
  if (b == 0x1B) {
    if (buf_.size() == 1) {
      if (!final) return 0;
      pushKey(kVkEscape, 1);
      return 1;
    }
    const char n = buf_[1];
    if (n == '[') return decodeCsi(final);
    if (n == 'O') {
      if (buf_.size() < 3) {
        if (!final) return 0;
        pushKey(kVkA + ('O' - 'A'), 3);  // Alt+O typed alone
        return 2;
      }
      size_t i = 2;
      int mod = 1;
      while (i < buf_.size() && buf_[i] >= '0' && buf_[i] <= '9') mod = buf_[i++] - '0';  // old xterm: ESC O 5 P
      if (i >= buf_.size()) return final ? buf_.size() : 0;
      char c = buf_[i];
      switch (c) {
        case 'k': pushKey(kVkAdd, mod, '+'); break;
        case 'm': pushKey(kVkSubtract, mod, '-'); break;
        case 'j': pushKey(kVkMultiply, mod, '*'); break;
        case 'M': pushKey(kVkReturn, mod); break;
        default:
          if (int vk = letterKey(c)) pushKey(vk, mod);
      }
      return i + 1;
    }
    if (n == 0x1B) {  // Esc, then whatever the next escape brings
      pushKey(kVkEscape, 1);
      return 1;
    }
    if (n >= '1' && n <= '9') {
      pushKey(kVkF1 + (n - '1'), 1);
      return 2;
    }
    if (n == '0') {
      pushKey(kVkF10, 1);
      return 2;
    }
    // Alt + character.
    size_t len = utf8Length(static_cast<unsigned char>(n));
    if (buf_.size() < 1 + len) return final ? buf_.size() : 0;
    size_t pos = 1;
    char ch = platform::unicodeToCp1250(platform::nextUtf8(buf_, pos));
    KeyEvent k = keyForChar(ch);
    pushKey(k.vk ? k.vk : 0, k.shift ? 4 : 3, ch);
    return pos;
  }
  if (b == 0x0D || b == 0x0A) {
    pushKey(kVkReturn, 1);
    return 1;
  }
  if (b == 0x09) {
    pushKey(kVkTab, 1);
    return 1;
  }
  if (b == 0x7F || b == 0x08) {
    pushKey(kVkBack, 1);
    return 1;
  }
  if (b == 0x00) {
    pushKey(kVkSpace, 5);
    return 1;
  }
  if (b < 0x20) {
    pushKey(kVkA + (b - 1), 5);  // Ctrl+A .. Ctrl+Z
    return 1;
  }
  size_t len = utf8Length(b);
  if (buf_.size() < len) return final ? buf_.size() : 0;
  size_t pos = 0;
  char ch = platform::unicodeToCp1250(platform::nextUtf8(buf_, pos));
  TtyEvent ev;
  ev.key = keyForChar(ch);
  out_.push_back(ev);
  return pos;
}

}  // namespace pz::tty
