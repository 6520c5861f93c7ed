// pzpokl: picks the presenter from the command line and runs the program in the current
// directory (the working directory with the address files).
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "shell/program.h"

namespace {

void usage(std::ostream& out) {
  out << "usage: pzpokl [--headless SCRIPT] [--today YYYY-MM-DD]\n"
         "  --headless SCRIPT   run from a key script (\"-\" reads standard input) and print screens\n"
         "  --today YYYY-MM-DD  fix today's date (headless runs)\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> script;
  std::optional<pz::platform::Date> today;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--headless" && i + 1 < argc) {
      script = argv[++i];
    } else if (a == "--today" && i + 1 < argc) {
      pz::platform::Date d;
      if (!pz::headless::parseIsoDate(argv[++i], d)) {
        std::cerr << "pzpokl: --today needs a date as YYYY-MM-DD\n";
        return 2;
      }
      today = d;
    } else if (a == "--help" || a == "-h") {
      usage(std::cout);
      return 0;
    } else {
      usage(std::cerr);
      return 2;
    }
  }
  std::error_code ec;
  pz::platform::paths().loadDriveTable(std::filesystem::current_path(ec).string());
  if (!script) {
    std::cerr << "pzpokl: this build has no interactive presenter yet; run it with --headless SCRIPT\n";
    return 2;
  }
  return pz::headless::runHeadless(*script, today, pz::shell::runProgram, std::cout, std::cerr);
}
