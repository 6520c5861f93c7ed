// Key scripts of the headless presenter. A script is checked whole before anything runs.
//
//   # comment                 a line whose first non-blank character is "#"; blank lines too
//   F2 Enter Ctrl+F3 Shift+A  keys, several per line; a key line may end in a "#" comment
//   type Text to type         the rest of the line after one blank, character by character
//   wait 3000                 the clock moves on; timers that fall due fire in order
//   pace 50                   how far the clock moves after each key from now on (default 100)
//   dump                      prints every open window, bottom to top
//   click 5 3                 left button at column 5, row 3 of the topmost window (from 1);
//   dblclick / rclick         likewise a double click and the right button
//   rclick 5 3 Ctrl           Ctrl, Shift or Alt after the row: held down during the click
//   drag 5 3 9 7              left button pressed at column 5, row 3 and released at 9, 7
//   resize 640 480            the topmost window resized to 640 x 480 pixels
//   run COMMAND               the rest of the line through /bin/sh; the script waits for it
#pragma once

#include <string>
#include <vector>

#include "ui/keys.h"

namespace pz::headless {

struct ScriptStep {
  enum Kind { Key, Type, Wait, Pace, Dump, Click, DoubleClick, RightClick, Drag, Resize, Run, RealWaits } kind = Key;
  int line = 0;
  ui::KeyEvent key;   // Key
  std::string text;   // Type (cp1250), Run (as written)
  long long number = 0;  // Wait, Pace
  int col = 0, row = 0;    // clicks and the start of a drag, from 1; Resize: width, height
  int col2 = 0, row2 = 0;  // the end of a drag
};

struct ScriptError {
  int line;
  std::string message;
};

// Parses a UTF-8 script. Returns the steps, or fills `errors` (one per bad line).
std::vector<ScriptStep> parseScript(const std::string& utf8, std::vector<ScriptError>& errors);

// One key name ("F2", "Ctrl+Shift+F4", "Num+", "A"); false when it is not one.
bool parseKey(const std::string& name, ui::KeyEvent& out);

}  // namespace pz::headless
