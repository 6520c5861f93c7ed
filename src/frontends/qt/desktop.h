// Entry of the desktop presenter, free of Qt headers so that main() needs none.
#pragma once

#include <functional>

namespace pz::qtfront {

// Runs `program` with the desktop presenter; returns its exit code.
int runDesktop(int& argc, char** argv, const std::function<int()>& program);

}  // namespace pz::qtfront
