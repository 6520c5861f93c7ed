// Runs the real pzpokl binary under the headless presenter in a working directory.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/tempdir.h"

namespace pz::test {

struct RunResult {
  int exitCode = -1;
  std::string out;  // standard output: the dumped screens
  std::string err;  // standard error
};

// Writes `script` to a file in `dir` and runs `pzpokl --headless` there with a fixed date.
RunResult runPzpokl(const TempDir& dir, const std::string& script, const std::string& today = "2026-12-09");

// Starts `pzpokl --headless` on `script` in `dir` (output dropped) without waiting for it: its
// process id, for a test that kills it.
pid_t startPzpokl(const TempDir& dir, const std::string& script);

// Two stations at once, each in its working directory with its script; both results once both ended.
struct TwoRuns {
  RunResult a, b;
};
TwoRuns runTogether(const TempDir& a, const std::string& scriptA, const TempDir& b, const std::string& scriptB);

// Stations 01 and 02 on the data root "data/" and program folder "prog/" of `root`, each running
// its script in its own process, both at once.
TwoRuns runTwoStations(const TempDir& root, const std::string& scriptA, const std::string& scriptB);

}  // namespace pz::test
