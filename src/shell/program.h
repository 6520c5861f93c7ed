// The program from start to end, under whichever presenter the front end installed.
#pragma once

#include <iosfwd>

namespace pz::shell {

// Creates the windows, shows the main window until it closes, and returns the exit code.
int runProgram();

// Brings the rate files of the series' currencies up to date from the central bank, without any
// window (for a daily job): one line per currency on `out`, the failed ones on `err` too. 0 when
// every currency is up to date, 1 otherwise.
int runFetchRates(std::ostream& out, std::ostream& err);

}  // namespace pz::shell
