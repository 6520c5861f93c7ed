// The checks of a partner's numbers: a Czech birth number given as DIČ, and a Czech bank
// account (prefix "-" number) with its weighted test. Kept apart from the window so that they
// are tested without a screen.
#pragma once

#include <string>

namespace pz::registers {

// A birth number with or without its "/" (blanks are ignored): 9 digits with a month of 0-12
// or 51-62, or 10 digits divisible by 11 (or remainder 10 on the first nine and a last 0).
bool KontrolaRodnehoCisla(const std::string& rc);

// The account check: true when every part passes; `ucet` is rewritten as prefix "-" number (or
// the number alone), padded with blanks on the left to its former length. On failure `ucet`
// keeps its value.
bool KontrolaKonta(std::string& ucet);

// The weighted test of one part (prefix or number): weights 1, 2, 4, ... from the right, the sum
// divisible by 11; a part that is not all digits or whose value is 0 fails.
bool VahovyTest(const std::string& cast);

}  // namespace pz::registers
