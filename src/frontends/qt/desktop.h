// Entry of the desktop presenter, free of Qt headers so that main() needs none.
#pragma once

#include <functional>

namespace pz::qtfront {

// Runs `program` with the desktop presenter; returns its exit code.
int runDesktop(int& argc, char** argv, const std::function<int()>& program);

// Runs `run` (a headless or terminal run) with PDF printing: every print goes into the PDF file
// that the drive table maps to "PRN". Qt works offscreen meanwhile and shows no window.
int runWithPdfPrinter(int& argc, char** argv, const std::function<int()>& run);

}  // namespace pz::qtfront
