// The link to the lock server ("TfClient"): one TCP connection per process to port 5050 of the
// address named by the data root's SERVER1 + SERVER2, used strictly request-then-reply. A request
// is the text command + "<" + a + ">" + b + "#" + c + "$" + d; the reply is one text, and a reply
// beginning with "OK" means success. A keep-alive request "Client<Vata>#$" goes out every 10
// seconds while a server is set. Every wait has a time limit, so that a silent server cannot
// hang the program.
//
// One reply per request: it ends at CR LF (pzlockd ends every reply so), or is a bare "OK", or is
// what came within a short settling time after its first byte from a server that ends its replies
// with nothing; it is never longer than kNejdelsiOdpoved bytes. Bytes left over belong to no
// request and are dropped before the next one.
//
// The link remembers the locks the server granted it. When the link had to connect again (the
// server restarted and knows none of them) it takes them again before anything else; a lock
// another station got meanwhile is dropped from the record with a message, so that whoever
// asks whether it is still held (storage::DrziZamek) hears no.
#pragma once

#include <optional>
#include <string>
#include <vector>

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
  // Asks the server (a keep-alive, which connects again and takes the locks again when needed)
  // and answers whether the lock is still in the record.
  bool drzi(const std::string& adresar, const std::string& jmeno, const std::string& uzivatel) override;
  // Locks granted and not yet released, as the link remembers them.
  size_t pocetDrzenych() const { return drzene_.size(); }
  void zavri();

  bool pripojeno() const { return socket_.connected(); }
  const std::string& adresa() const { return adresa_; }

  // Time limits in milliseconds (tests shorten them) and the port (tests use a free one).
  int port = kPort;
  int limitSpojeni = 5000;
  int limitOdpovedi = 10000;
  int dobehOdpovedi = 100;  // how long an unterminated reply may take after its first byte

  ui::Timer& udrzovani() { return udrzovani_; }

 private:
  struct Drzeny {
    std::string adresar, jmeno, rezim, uzivatel;
  };
  void udrzuj();
  // Connects when needed and then takes the remembered locks again; 0 or an errno value.
  int pripravSpojeni();
  // Sends one request and reads its reply; 0 or an errno value.
  int vymen(const std::string& text, std::string& odpoved);
  void zaznamenej(const std::string& prikaz, const std::string& a, const std::string& b, const std::string& c,
                  const std::string& d, bool uspech);
  platform::TcpClient socket_;
  std::vector<Drzeny> drzene_;
  std::string adresa_;
  std::string odpoved_;
  bool hlasenaChyba_ = false;  // the keep-alive reports a dead link once, not every 10 s
  ui::Timer udrzovani_;
};

inline constexpr int kIntervalUdrzovaniMs = 10000;

}  // namespace pz::shell
