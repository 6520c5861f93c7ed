// The lock server's only contact with the operating system: a listening TCP socket and one
// poll() loop on one thread that accepts stations, reads their bytes and writes the replies.
// No thread per client; a slow or silent station never holds up the others.
#pragma once

#include <csignal>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pz::lockd {

struct Udalosti {
  std::function<void(int spojeni)> pripojeni;
  // Bytes from a station; returns what to send back (possibly nothing yet).
  std::function<std::string(int spojeni, std::string_view data, int64_t nyniMs)> data;
  std::function<void(int spojeni)> odpojeni;
  // Called about every 250 ms; returns the connection and text of replies to send (stuck
  // requests).
  std::function<std::vector<std::pair<int, std::string>>(int64_t nyniMs)> tik;
  // A station that sent nothing for this long is dropped (0: never).
  int64_t tichoMs = 0;
};

// Binds `host`:`port` (port 0 picks a free one) and listens. The socket, or -1 with `chyba`.
int naslouchej(const std::string& host, int port, std::string& chyba);
// The port a listening socket is bound to.
int portSoketu(int fd);
void zavriSoket(int fd);

// Serves until `konec` becomes non-zero; returns 0, or an errno value when poll() failed.
// Accepted stations get TCP keep-alive, so a peer that vanished is noticed by the system too.
// When the process has no descriptor left, a new station is accepted and closed at once (it
// is refused, the loop does not spin on it).
int obsluhuj(int naslouchani, Udalosti& u, const volatile std::sig_atomic_t& konec);

int64_t monotonniMs();

}  // namespace pz::lockd
