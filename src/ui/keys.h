// Input events of the screen model. Keys carry the platform's virtual-key code and modifiers;
// the system's key number (Ctrl + 1000, Shift + 2000, Alt + 3000) is computed only here.
#pragma once

namespace pz::ui {

enum Vk : int {
  kVkBack = 8, kVkTab = 9, kVkReturn = 13, kVkCapital = 20, kVkEscape = 27, kVkSpace = 32,
  kVkPrior = 33, kVkNext = 34, kVkEnd = 35, kVkHome = 36, kVkLeft = 37, kVkUp = 38, kVkRight = 39,
  kVkDown = 40, kVkInsert = 45, kVkDelete = 46, kVk0 = 48, kVkA = 65, kVkMultiply = 106,
  kVkAdd = 107, kVkSubtract = 109, kVkF1 = 112, kVkF2, kVkF3, kVkF4, kVkF5, kVkF6, kVkF7, kVkF8,
  kVkF9, kVkF10, kVkF11, kVkF12,
};

inline constexpr int kCtrlAdd = 1000;
inline constexpr int kShiftAdd = 2000;
inline constexpr int kAltAdd = 3000;

struct KeyEvent {
  int vk = 0;      // virtual-key code; 0 for a character with no key of its own
  bool ctrl = false, shift = false, alt = false;
  char ch = 0;     // the cp1250 character typed, 0 when the key types none

  // The system's key number: Ctrl+F3 is 1114, Alt+F1 is 3112.
  int number() const { return vk + (ctrl ? kCtrlAdd : 0) + (shift ? kShiftAdd : 0) + (alt ? kAltAdd : 0); }
  bool plain() const { return !ctrl && !shift && !alt; }
};

// The key event that types one cp1250 character: letters and digits with their key codes (a
// capital letter with Shift), a blank with Space, any other character with no key code.
KeyEvent keyForChar(char ch);

enum class MouseButton { Left, Right, Middle };

struct MouseEvent {
  MouseButton button = MouseButton::Left;
  bool doubleClick = false;
  int col = 0, row = 0;  // character cell in the form's client area, from 0
  int x = 0, y = 0;      // pixels in the form's client area
  bool ctrl = false, shift = false, alt = false;
  // A drag: the button was pressed at (fromX, fromY) and released at (x, y), in another cell. It
  // is delivered once, on release, to the control under the press.
  bool drag = false;
  int fromCol = 0, fromRow = 0;
  int fromX = 0, fromY = 0;
};

}  // namespace pz::ui
