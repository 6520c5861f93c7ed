// The lock server: the lock table served over TCP to every station at once.
#pragma once

#include <csignal>
#include <map>
#include <string>

#include "pzlockd/lock_table.h"
#include "pzlockd/socket_io.h"

namespace pz::lockd {

inline constexpr int kVychoziPort = 5050;

class Server {
 public:
  // Reads the user names of the replies from `jmenaTab` (empty: none); a missing file is no error.
  explicit Server(const std::string& jmenaTab = "");

  // The reply bytes for data arriving on a connection (the replies of every whole request).
  std::string prijmi(int spojeni, std::string_view data, int64_t nyniMs);
  void odpoj(int spojeni);
  // Replies for requests left half sent too long.
  std::vector<std::pair<int, std::string>> tik(int64_t nyniMs);

  // Serves on a listening socket until `konec` is set.
  int obsluhuj(int naslouchani, const volatile std::sig_atomic_t& konec);

  const TabulkaZamku& tabulka() const { return tabulka_; }

 private:
  TabulkaZamku tabulka_;
  std::map<int, Ramec> ramce_;
};

}  // namespace pz::lockd
