// The shell's answer to the storage layer's messages, questions and wait windows: small modal
// forms with the text and their buttons. Registered at program start, so that storage code can
// tell the user what went wrong without knowing the screens.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "storage/interaction.h"

namespace pz::shell {

class ShellInteraction : public storage::Interaction {
 public:
  // "TfZprava": the text and an OK button; Enter or Esc closes it.
  void message(const std::string& text, bool beep = false) override;
  // "TfDotaz": the text with the buttons "Ano" and "Ne"; Esc answers no.
  bool question(const std::string& text, bool defaultYes) override;
  // "TfErr", the red wait window: the text while `attempt` is tried every `intervalMs`; Esc
  // gives up. A right click asks "Došlo k poruše, chcete ignorovat ochranu souborů"; yes gives
  // up with ignoreProtection set, no goes on waiting.
  bool waitFor(const std::string& text, int intervalMs, const std::function<bool()>& attempt) override;
};


}  // namespace pz::shell
