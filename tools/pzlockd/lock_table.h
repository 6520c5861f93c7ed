// The lock server's state, without sockets: the locks of every station, and the cutting of a
// connection's byte stream into requests.
//
// A request is one cp1250 text with no terminator:
//   command "<" directory ">" name "#" mode "$" user
// with the commands Zamkni, Odemkni, IfVolny, Premkni (the user field 4 characters) and the
// keep-alive "Client<Vata>#$" (no user field). Locks have the meaning of the workstations'
// sharing table: read locks are shared, a write lock is alone on its file, and a station is
// known by its user field. A reply starting with "OK" means success; a refusal names the first
// other holder as "mode user name" ("R 02 JANA NOVÁKOVÁ"), the wording of the table's "is it
// free" answer. Unlike the table, the server forgets a connection's locks when it drops, so a
// station that ended without unlocking leaves nothing behind.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pz::lockd {

inline constexpr size_t kNejdelsiPozadavek = 1024;   // bytes; longer is refused
inline constexpr int64_t kLhutaPozadavkuMs = 2000;   // a request left half sent this long is refused
inline constexpr size_t kNejvicZamku = 100000;       // locks of all stations together

struct Pozadavek {
  std::string prikaz, adresar, jmeno, rezim, uzivatel;
};

// Collects the bytes of one connection and gives back whole requests. A request that cannot be
// one (unknown command, oversized, or stuck half sent) gives an error instead, and the bytes
// collected so far are dropped up to the next command word, so that the connection can go on
// with the next request. CR and LF between requests are skipped.
class Ramec {
 public:
  enum class Stav { Nic, Pozadavek, Chyba };
  void pridej(std::string_view data, int64_t nyniMs);
  // The next request, an error, or nothing yet.
  Stav dalsi(Pozadavek& out);
  // True (and the partial bytes dropped) when a started request has waited too long.
  bool propadl(int64_t nyniMs);
  bool prazdny() const { return buf_.empty(); }

 private:
  void zahod();
  std::string buf_;
  int64_t od_ = 0;  // when the first byte of the pending request came
};

class TabulkaZamku {
 public:
  // Names of the users for the replies: 100 records of a length byte + 24 characters, record n
  // for user number n (the suite's "JMENA.tab"). Without it replies carry the user numbers only.
  void nastavJmena(std::string jmenaTab) { jmena_ = std::move(jmenaTab); }

  // The reply to one request of connection `spojeni`.
  std::string vyrid(int spojeni, const Pozadavek& p);
  // Forgets every lock that connection `spojeni` took.
  void odpoj(int spojeni);

  size_t pocet() const;  // locks held now

  static std::string chybnyPozadavek();

 private:
  struct Zamek {
    std::string uzivatel;
    char rezim;  // 'R' or 'W'
    int spojeni;
  };
  std::string popis(const Zamek& z) const;
  std::map<std::string, std::vector<Zamek>> zamky_;  // by directory + "\n" + name
  std::string jmena_;
  size_t pocet_ = 0;
};

}  // namespace pz::lockd
