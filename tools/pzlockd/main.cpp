// pzlockd: the lock server of the cash desk workstations.
//
//   pzlockd [--port N] [--bind ADDRESS] [--jmena PATH-TO-JMENA.tab] [--silence SECONDS]
//
// Listens on port 5050 of every address unless told otherwise, serves until SIGINT or SIGTERM.
// A station that sends nothing (not even its keep-alive every 10 s) for --silence seconds
// (default 180, 0 never) is dropped and its locks are freed.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pzlockd/server.h"

namespace {

volatile std::sig_atomic_t g_konec = 0;
void naSignal(int) { g_konec = 1; }

int pouziti() {
  std::fprintf(stderr, "usage: pzlockd [--port N] [--bind ADDRESS] [--jmena JMENA.tab] [--silence SECONDS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int port = pz::lockd::kVychoziPort;
  std::string adresa, jmena;
  int64_t ticho = pz::lockd::kVychoziTichoMs;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) return pouziti();
    if (a == "--port") {
      char* end = nullptr;
      const long p = std::strtol(argv[++i], &end, 10);
      if (*end || p < 0 || p > 65535) return pouziti();
      port = static_cast<int>(p);
    } else if (a == "--bind") {
      adresa = argv[++i];
    } else if (a == "--silence") {
      char* end = nullptr;
      const long sekundy = std::strtol(argv[++i], &end, 10);
      if (*end || sekundy < 0 || sekundy > 86400) return pouziti();
      ticho = static_cast<int64_t>(sekundy) * 1000;
    } else if (a == "--jmena") {
      jmena = argv[++i];
    } else {
      return pouziti();
    }
  }
  std::string chyba;
  const int fd = pz::lockd::naslouchej(adresa, port, chyba);
  if (fd < 0) {
    std::fprintf(stderr, "pzlockd: cannot listen on port %d: %s\n", port, chyba.c_str());
    return 1;
  }
  struct sigaction sa{};
  sa.sa_handler = naSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  std::fprintf(stderr, "pzlockd: listening on port %d\n", pz::lockd::portSoketu(fd));
  pz::lockd::Server server(jmena);
  server.nastavTicho(ticho);
  const int e = server.obsluhuj(fd, g_konec);
  pz::lockd::zavriSoket(fd);
  if (e != 0) {
    std::fprintf(stderr, "pzlockd: %s\n", std::strerror(e));
    return 1;
  }
  return 0;
}
