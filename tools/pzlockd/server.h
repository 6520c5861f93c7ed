// The lock server: the lock table served over TCP to every station at once.
#pragma once

#include <csignal>
#include <map>
#include <string>

#include "pzlockd/lock_table.h"
#include "pzlockd/socket_io.h"

namespace pz::lockd {

inline constexpr int kVychoziPort = 5050;
// Stations send a keep-alive every 10 s; one silent for this long (18 keep-alives missed) is
// taken for switched off, and its locks are freed.
inline constexpr int64_t kVychoziTichoMs = 180000;
// Every reply on the wire ends so, that a client reads one reply per request without waiting for
// a pause.
inline constexpr std::string_view kKonecOdpovedi = "\r\n";

class Server {
 public:
  // Reads the user names of the replies from `jmenaTab` (empty: none); a missing file is no error.
  explicit Server(const std::string& jmenaTab = "");

  // The reply bytes for data arriving on a connection (the replies of every whole request, each
  // followed by `konec`).
  std::string prijmi(int spojeni, std::string_view data, int64_t nyniMs, std::string_view konec = {});
  void odpoj(int spojeni);
  // Replies for requests left half sent too long.
  std::vector<std::pair<int, std::string>> tik(int64_t nyniMs);

  // Serves on a listening socket until `konec` is set.
  int obsluhuj(int naslouchani, const volatile std::sig_atomic_t& konec);

  const TabulkaZamku& tabulka() const { return tabulka_; }
  // How long a station may stay silent before it is dropped; 0 keeps silent stations.
  void nastavTicho(int64_t ms) { ticho_ = ms; }

 private:
  TabulkaZamku tabulka_;
  std::map<int, Ramec> ramce_;
  int64_t ticho_ = kVychoziTichoMs;
};

}  // namespace pz::lockd
