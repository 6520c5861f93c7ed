// Lock and unlock pairs between workstations: through the sharing table "FOT.tab" (an exclusive
// open, a read of 1980 bytes and a write, twice) and through the lock server on loopback (two
// exchanges). Peers measured in the same run: the operating system's own advisory lock on the
// same file (the least a file lock can cost), and one keep-alive exchange with the server (the
// least a server request can cost).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/paths.h"
#include "pzlockd/server.h"
#include "pzlockd/socket_io.h"
#include "shell/lock_client.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "storage/settings.h"

namespace {

namespace fs = std::filesystem;
using namespace pz;

// A working directory with a data root below it; `others` locks of other stations are put in
// the table first, so that a request scans a table in use.
struct Installation {
  explicit Installation(const std::string& tag, int others = 0) {
    root = fs::temp_directory_path() / ("pzbench-locks-" + tag + "-" + std::to_string(getpid()));
    fs::create_directories(root / "DATA");
    std::ofstream(root / "data.adr") << "DATA\\\r\n";
    platform::paths().clear();
    platform::paths().setWorkDir(root.string());
    storage::ZapomenAdresy();
    storage::setInteraction(&quiet);
    storage::settings().user = "02";
    for (int i = 0; i < others; ++i) storage::Zamkni(storage::DataCesta("F" + std::to_string(i) + ".DTA"));
    storage::settings().user = "01";
  }
  ~Installation() {
    storage::setInteraction(nullptr);
    storage::settings() = storage::GlobalSettings{};
    storage::ZapomenAdresy();
    fs::remove_all(root);
  }
  fs::path root;
  storage::RecordingInteraction quiet;
};

void BM_SharingTableLockUnlock(benchmark::State& state) {
  Installation inst("table", static_cast<int>(state.range(0)));
  const std::string path = storage::DataCesta("KURSY.DTA");
  for (auto _ : state) {
    if (storage::Zamkni(path, "W") != storage::Zamek::Drzen) state.SkipWithError("lock refused");
    storage::Odemkni(path);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SharingTableLockUnlock)->Arg(0)->Arg(90)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Peer: an open-file-description write lock taken and released on the table file itself.
void BM_OsAdvisoryLockPeer(benchmark::State& state) {
  Installation inst("ofd");
  const std::string file = (inst.root / "DATA" / "FOT.tab").string();
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT, 0644);
  for (auto _ : state) {
    struct flock fl{};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    fcntl(fd, F_OFD_SETLKW, &fl);
    fl.l_type = F_UNLCK;
    fcntl(fd, F_OFD_SETLK, &fl);
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OsAdvisoryLockPeer)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The server runs as a process of its own, as it does beside the workstations.
struct ServerProcess {
  ServerProcess() {
    std::string err;
    const int fd = lockd::naslouchej("127.0.0.1", 0, err);
    port = lockd::portSoketu(fd);
    pid = fork();
    if (pid == 0) {
      static volatile std::sig_atomic_t never = 0;
      lockd::Server s;
      _exit(s.obsluhuj(fd, never));
    }
    lockd::zavriSoket(fd);
  }
  ~ServerProcess() {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  int port = 0;
  pid_t pid = -1;
};

void BM_LockServerLockUnlock(benchmark::State& state) {
  Installation inst("server");
  ServerProcess server;
  shell::TfClient link;
  link.port = server.port;
  link.otevri("127.0.0.1");
  storage::settings().lockServer = "127.0.0.1";
  storage::setLockLink(&link);
  const std::string path = storage::DataCesta("KURSY.DTA");
  for (auto _ : state) {
    if (storage::Zamkni(path, "W") != storage::Zamek::Drzen) state.SkipWithError("lock refused");
    storage::Odemkni(path);
  }
  storage::setLockLink(nullptr);
  link.zavri();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LockServerLockUnlock)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Peer: two keep-alive exchanges, the network's share of one lock and unlock pair.
void BM_LockServerKeepAlivePeer(benchmark::State& state) {
  ServerProcess server;
  shell::TfClient link;
  link.port = server.port;
  link.otevri("127.0.0.1");
  for (auto _ : state) {
    link.pozadavek("Client", "Vata", "", "", "");
    link.pozadavek("Client", "Vata", "", "", "");
  }
  link.zavri();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LockServerKeepAlivePeer)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
