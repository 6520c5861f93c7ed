// Entry of the terminal presenter.
#pragma once

#include <functional>

namespace pz::tty {

// Runs `program` on the terminal; returns its exit code, or 2 when there is no terminal.
int runTerminal(const std::function<int()>& program);

}  // namespace pz::tty
