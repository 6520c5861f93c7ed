// A station killed at any moment while it writes: afterwards the record file holds whole records
// only, records never change into a mix of two writes, the settings file is never empty or cut,
// and the sharing table can still be read (stale entries of the killed station are allowed).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "platform/paths.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

constexpr int kSize = 32;

// The station's loop: appends, rewrites, settings saves and locks, for ever.
[[noreturn]] void station() {
  settings().user = "02";
  RecordFile f;
  if (!f.OtevriSoubor("CRASH.DTA", kSize)) _exit(2);
  for (unsigned i = 0;; ++i) {
    const char c = static_cast<char>('A' + i % 26);
    std::fill(f.veta().begin(), f.veta().end(), c);
    f.PridejVetu();
    if (f.pocet() > 1) {
      std::fill(f.veta().begin(), f.veta().end(), static_cast<char>('a' + i % 26));
      f.PisVetu(static_cast<int32_t>(1 + i % static_cast<unsigned>(f.pocet())));
    }
    PisPar("par\\stanice.par", "Pocitadlo", std::to_string(i));
    PisPar("par\\stanice.par", "Pevny", "hodnota");
    UlozPar();
    const std::string zamek = CestaZamku("PZ01");
    if (Zamkni(zamek, "W") == Zamek::Drzen) Odemkni(zamek);
  }
}

TEST(CrashTest, KilledStationsLeaveWholeRecordsAndWholeSettings) {
  test::TempDir dir;
  platform::paths().clear();
  platform::paths().setWorkDir(dir.str());
  dir.write("data.adr", "DATA\\\r\n");
  dir.write("DATA/.keep", "");
  ZapomenAdresy();
  ZahodParametry();
  RecordingInteraction rec;
  setInteraction(&rec);
  settings().user = "01";
  std::mt19937 rng(20261209);
  bool ulozeno = false;
  for (int round = 0; round < 40; ++round) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) station();
    // Until a station got as far as its first settings save, each round gives the next one longer
    // (a loaded machine or an instrumented build may need more than the first rounds' moments).
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + rng() % 30000 + (ulozeno ? 0 : round * 4000)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the station ended by itself: " << WEXITSTATUS(status);

    const std::string data = dir.read("DATA/CRASH.DTA");
    ASSERT_EQ(data.size() % kSize, 0u) << "round " << round;
    for (size_t r = 0; r < data.size() / kSize; ++r) {
      const std::string one = data.substr(r * kSize, kSize);
      ASSERT_EQ(one, std::string(kSize, one[0])) << "record " << r + 1 << " is torn in round " << round;
    }
    // Once a station has saved its settings, no later kill leaves them empty or cut (how many
    // rounds the first save takes depends on the machine's load).
    const std::string par = dir.read("par/stanice.par");
    ulozeno = ulozeno || !par.empty();
    if (ulozeno) {
      ASSERT_NE(par.find("Pevny : hodnota"), std::string::npos) << "round " << round << ": " << par;
      ASSERT_NE(par.find("Pocitadlo : "), std::string::npos) << par;
    }
    // The table still answers; the killed station's entry may stand in it.
    (void)IfVolny(CestaZamku("PZ01"));
  }
  EXPECT_GT(dir.read("DATA/CRASH.DTA").size(), 0u);
  EXPECT_TRUE(ulozeno);
  setInteraction(nullptr);
  ZahodParametry();
  ZapomenAdresy();
  settings() = GlobalSettings{};
}

}  // namespace
}  // namespace pz::storage
