#include "e2e/run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/stationtable.h"

namespace pz::test {

RunResult runPzpokl(const TempDir& dir, const std::string& script, const std::string& today) {
  dir.write("script.keys", script);
  const std::string cmd = "cd '" + dir.str() + "' && '" PZPOKL_BIN "' --headless script.keys --today " + today +
                          " >stdout.txt 2>stderr.txt";
  RunResult r;
  int status = std::system(cmd.c_str());
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = dir.read("stdout.txt");
  r.err = dir.read("stderr.txt");
  return r;
}

pid_t startPzpokl(const TempDir& dir, const std::string& script) {
  dir.write("script.keys", script);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.str().c_str()) != 0) _exit(127);
    const int nul = open("/dev/null", O_WRONLY);
    dup2(nul, 1);
    dup2(nul, 2);
    execl(PZPOKL_BIN, PZPOKL_BIN, "--headless", "script.keys", "--today", "2026-12-09", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

TwoRuns runTogether(const TempDir& a, const std::string& scriptA, const TempDir& b, const std::string& scriptB) {
  TwoRuns r;
  std::thread ta([&] { r.a = runPzpokl(a, scriptA); });
  r.b = runPzpokl(b, scriptB);
  ta.join();
  return r;
}

TwoRuns runTwoStations(const TempDir& root, const std::string& scriptA, const std::string& scriptB) {
  const std::string data = (root / "data").string() + "/", prog = (root / "prog").string() + "/";
  TempDir sa, sb;
  for (const auto& [dir, number] : {std::pair<const TempDir*, const char*>{&sa, "01"}, {&sb, "02"}}) {
    dir->write("master.job", stationTable({{"UZIVATEL", number}, {"POCITAC", number}, {"DAN2", "21"}}));
    dir->write("data.adr", data + "\r\n");
    dir->write("prog.adr", prog + "\r\n");
  }
  return runTogether(sa, scriptA, sb, scriptB);
}

}  // namespace pz::test
