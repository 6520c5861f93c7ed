// The headless presenter: runs the whole program from a key script on a virtual clock and prints
// the screens as text. The end-to-end tests use it, and so can anyone who automates the program.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "frontends/headless/script.h"
#include "platform/clock.h"
#include "ui/app.h"

namespace pz::headless {

class HeadlessPresenter : public ui::Presenter {
 public:
  HeadlessPresenter(std::vector<ScriptStep> steps, platform::VirtualClock& clock, std::ostream& out, std::ostream& err);
  void runModal(ui::Form& form) override;
  void beep() override { ++beeps_; }

  // Thrown out of the modal loops when the script ends while windows are open; the program
  // unwinds to runHeadless, which reports the open windows.
  struct ScriptExhausted {};

  size_t unusedSteps() const { return steps_.size() - next_; }
  // Names of the windows that were open when the script ran out, bottom to top.
  const std::vector<std::string>& openAtEnd() const { return openAtEnd_; }
  int beeps() const { return beeps_; }
  void dump();

 private:
  void execute(const ScriptStep& step);
  void advance(long long ms);
  void mouse(const ScriptStep& step);

  std::vector<ScriptStep> steps_;
  size_t next_ = 0;
  platform::VirtualClock& clock_;
  std::ostream& out_;
  std::ostream& err_;
  long long pace_ = 100;
  bool realWaits_ = false;  // wait windows run their retries in real time, taking no steps
  void waitInRealTime(ui::Form& form);
  int beeps_ = 0;
  std::vector<std::string> openAtEnd_;
};

// Runs `program` under a headless presenter on the script at `scriptPath` ("-" for standard
// input). Exit codes: the program's own; 2 for a malformed script (nothing runs); 3 when the
// script ran out while windows were open.
int runHeadless(const std::string& scriptPath, std::optional<platform::Date> today, const std::function<int()>& program,
                std::ostream& out, std::ostream& err);

// Reads "YYYY-MM-DD"; false when it is no valid date.
bool parseIsoDate(const std::string& s, platform::Date& out);

}  // namespace pz::headless
