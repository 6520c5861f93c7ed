// Runs a key script against windows of this process under the headless presenter, as the script
// tests of single windows do. Header-only: only suites linked with the headless presenter use it.
#pragma once

#include <functional>
#include <sstream>
#include <string>

#include "frontends/headless/headless.h"
#include "platform/clock.h"
#include "support/tempdir.h"

namespace pz::test {

struct ScriptRun {
  int rc = -1;
  std::string out;  // the dumped screens
  std::string err;
};

// Writes `script` to "skript.txt" in `dir` and runs `program` with it on the day `today`.
inline ScriptRun runScript(const TempDir& dir, const std::string& script, const std::function<void()>& program,
                           platform::Date today = platform::Date{2026, 12, 9}) {
  dir.write("skript.txt", script);
  std::ostringstream out, err;
  ScriptRun r;
  r.rc = headless::runHeadless((dir / "skript.txt").string(), today,
                               [&] {
                                 program();
                                 return 0;
                               },
                               out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

}  // namespace pz::test
