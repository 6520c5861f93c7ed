// pzpokl: picks the presenter and runs the program in the current directory (the working
// directory with the address files).
//
//   the desktop presenter when a display is there (and this build has it),
//   else the terminal presenter when standard input and output are a terminal;
//   --gui and --tty force one, --headless SCRIPT runs a key script.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "frontends/headless/headless.h"
#include "frontends/tty/terminal_run.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/terminal.h"
#include "shell/program.h"
#ifdef PZ_HAVE_QT
#include "frontends/qt/desktop.h"
#endif

namespace {

void usage(std::ostream& out) {
  out << "usage: pzpokl [--gui | --tty | --headless SCRIPT | --fetch-rates] [--today YYYY-MM-DD]\n"
         "  --gui               the desktop window\n"
         "  --tty               the terminal\n"
         "  --headless SCRIPT   run from a key script (\"-\" reads standard input) and print screens\n"
         "  --fetch-rates       bring the rate files of the series' currencies up to date from the bank\n"
         "                      and end (no window; exits 1 when a currency could not be updated)\n"
         "  --today YYYY-MM-DD  fix today's date (headless runs and --fetch-rates)\n";
}

[[maybe_unused]] bool haveDisplay() {
  for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* v = std::getenv(var); v && *v) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  enum class Mode { Auto, Gui, Tty, Headless, FetchRates } mode = Mode::Auto;
  std::string script;
  std::optional<pz::platform::Date> today;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--headless" && i + 1 < argc) {
      mode = Mode::Headless;
      script = argv[++i];
    } else if (a == "--fetch-rates") {
      mode = Mode::FetchRates;
    } else if (a == "--gui") {
      mode = Mode::Gui;
    } else if (a == "--tty") {
      mode = Mode::Tty;
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

  if (mode == Mode::FetchRates) {
    std::optional<pz::platform::VirtualClock> fixed;
    if (today) {
      fixed.emplace(*today, pz::platform::TimeOfDay{12, 0, 0, 0});
      pz::platform::setClock(&*fixed);
    }
    const int rc = pz::shell::runFetchRates(std::cout, std::cerr);
    pz::platform::setClock(nullptr);
    return rc;
  }
  if (mode == Mode::Headless) {
    const auto run = [&] { return pz::headless::runHeadless(script, today, pz::shell::runProgram, std::cout, std::cerr); };
#ifdef PZ_HAVE_QT
    // A PDF file as the printer: the trace would be written otherwise.
    const std::string prn = pz::platform::paths().portPath("PRN");
    if (prn.size() > 4 && (prn.ends_with(".pdf") || prn.ends_with(".PDF")))
      return pz::qtfront::runWithPdfPrinter(argc, argv, run);
#endif
    return run();
  }
#ifdef PZ_HAVE_QT
  if (mode == Mode::Gui || (mode == Mode::Auto && haveDisplay()))
    return pz::qtfront::runDesktop(argc, argv, pz::shell::runProgram);
#else
  if (mode == Mode::Gui) {
    std::cerr << "pzpokl: this build has no desktop presenter (Qt 6 was not found); use --tty\n";
    return 2;
  }
#endif
  if (!pz::platform::Terminal::available()) {
    std::cerr << "pzpokl: no display and no terminal to show the program on (try --headless SCRIPT)\n";
    return 2;
  }
  return pz::tty::runTerminal(pz::shell::runProgram);
}
