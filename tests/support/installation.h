// A test installation in a working directory, as the script tests of the real program start from:
// the station's settings table, the data root named by "data.adr" with its shared table, and on
// request a program root named by "prog.adr" with the shipped field layouts.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/tempdir.h"

namespace pz::test {

using Entries = std::vector<std::pair<std::string, std::string>>;

struct Installation {
  Entries station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}};  // "master.job"
  Entries dataRoot = {};      // "data\master.job", the table every station shares
  bool programRoot = false;   // "prog\" with "dlib" copied from the demo installation
};

void install(const TempDir& dir, const Installation& what = {});

}  // namespace pz::test
