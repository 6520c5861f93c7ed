// The link to the lock server ("TfClient"): one TCP connection per process to port 5050 of the
// address named by the data root's SERVER1 + SERVER2, used strictly request-then-reply. A request
// is the text command + "<" + a + ">" + b + "#" + c + "$" + d; the reply is whatever the server
// sends back, and a reply beginning with "OK" means success. A keep-alive request "Client<Vata>#$"
// goes out every 10 seconds while a server is set. Every wait has a time limit, so that a silent
// server cannot hang the program.
#pragma once

#include <optional>
#include <string>

#include "platform/net.h"
#include "storage/locks.h"
#include "ui/timer.h"

namespace pz::shell {

class TfClient : public storage::LockLink {
 public:
  static constexpr int kPort = 5050;
  static constexpr int kUspech = 0;
  static constexpr int kNelze = 99;  // the server could not be reached
  static constexpr size_t kNejdelsiOdpoved = 4096;  // bytes of one reply

  TfClient();

  // Connects to the server; an empty address means no server and counts as success. When nobody
  // answers, the message "Server TAMBRA není spuštěn, obraťte se na správce sítě." is shown and
  // the result is kNelze.
  int otevri(const std::string& adresa);
  // Sends one request and waits for its reply (kept as posledniOdpoved). False, after the message
  // "Err " + code, when the link failed or no reply came in time; the keep-alive timer is
  // stopped meanwhile.
  bool pozadavek(const std::string& prikaz, const std::string& a, const std::string& b, const std::string& c,
                 const std::string& d);
  const std::string& posledniOdpoved() const { return odpoved_; }
  // The storage layer's lock requests: the reply, or nullopt when the request failed.
  std::optional<std::string> vymena(const std::string& prikaz, const std::string& adresar, const std::string& jmeno,
                                    const std::string& rezim, const std::string& uzivatel) override;
  void zavri();

  bool pripojeno() const { return socket_.connected(); }
  const std::string& adresa() const { return adresa_; }

  // Time limits in milliseconds (tests shorten them) and the port (tests use a free one).
  int port = kPort;
  int limitSpojeni = 5000;
  int limitOdpovedi = 10000;
  int pauzaOdpovedi = 50;  // a reply has ended when no more bytes come for this long

  ui::Timer& udrzovani() { return udrzovani_; }

 private:
  void udrzuj();
  platform::TcpClient socket_;
  std::string adresa_;
  std::string odpoved_;
  bool hlasenaChyba_ = false;  // the keep-alive reports a dead link once, not every 10 s
  ui::Timer udrzovani_;
};

inline constexpr int kIntervalUdrzovaniMs = 10000;

}  // namespace pz::shell
