// How the storage layer talks to the user without knowing the screens: messages, yes/no
// questions and the wait window. The shell registers the real windows at program start; tests
// register a fake. Texts are cp1250.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pz::storage {

class Interaction {
 public:
  virtual ~Interaction() = default;
  // A modal message box (after a beep where the caller asks for one).
  virtual void message(const std::string& text, bool beep = false) = 0;
  virtual bool question(const std::string& text, bool defaultYes) = 0;
  // The wait window: shows `text` and calls `attempt` every `intervalMs` until it returns true
  // (then true) or the user gives up (then false). Never a blocking sleep.
  virtual bool waitFor(const std::string& text, int intervalMs, const std::function<bool()>& attempt) = 0;
  // A window shown modally for a step that needs more than yes or no (a voucher, a report):
  // `show` opens it and answers its exit key. `title` names it to whoever records or answers.
  virtual int window(const std::string& title, const std::function<int()>& show) {
    (void)title;
    return show();
  }

  // Set by a wait window that the user left by choosing to ignore file protection (the question
  // on its right mouse button); the sharing table clears it before each wait and reads it after.
  bool ignoreProtection = false;
};

// The registered interaction; a recording one (below) until the shell registers its own.
Interaction& interaction();
void setInteraction(Interaction* i);  // nullptr restores the recording one

// Remembers every message and question; answers questions with their default and tries a wait
// a bounded number of times. Used before the windows exist and in tests.
class RecordingInteraction : public Interaction {
 public:
  void message(const std::string& text, bool beep = false) override;
  bool question(const std::string& text, bool defaultYes) override;
  bool waitFor(const std::string& text, int intervalMs, const std::function<bool()>& attempt) override;
  // Records the title; answers with `windowAnswer` when set instead of opening the window.
  int window(const std::string& title, const std::function<int()>& show) override;

  std::vector<std::string> messages;
  std::vector<std::string> windows;
  std::function<int(const std::string&)> windowAnswer;
  std::vector<std::string> questions;
  std::vector<std::string> waits;
  int waitAttempts = 3;  // tries of each wait before it counts as given up
  std::function<bool(const std::string&)> answer;  // when set, answers questions
};

}  // namespace pz::storage
