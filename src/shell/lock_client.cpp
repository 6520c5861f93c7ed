#include "shell/lock_client.h"

#include <cerrno>

#include "platform/text.h"
#include "storage/interaction.h"

namespace pz::shell {

using platform::cz;

TfClient::TfClient() : udrzovani_(kIntervalUdrzovaniMs, [this] { udrzuj(); }, true) {}

int TfClient::otevri(const std::string& adresa) {
  adresa_ = adresa;
  if (adresa_.empty()) return kUspech;
  if (socket_.connect(adresa_, port, limitSpojeni) != 0) {
    storage::interaction().message(cz("Server TAMBRA není spuštěn, obraťte se na správce sítě."));
    return kNelze;
  }
  return kUspech;
}

bool TfClient::pozadavek(const std::string& prikaz, const std::string& a, const std::string& b, const std::string& c,
                         const std::string& d) {
  if (adresa_.empty()) return false;
  const bool bezelo = udrzovani_.enabled();
  udrzovani_.setEnabled(false);
  odpoved_.clear();
  if (socket_.connected()) {
    // Bytes a server sent after an earlier reply had ended belong to no request.
    std::string stare;
    int d = 0;
    while ((d = socket_.receive(stare, 4096, 0)) == 0) {
    }
    if (d != ETIMEDOUT) socket_.close();  // the server closed the link: connect again below
  }
  int err = socket_.connected() ? 0 : socket_.connect(adresa_, port, limitSpojeni);
  if (err == 0) err = socket_.send(prikaz + "<" + a + ">" + b + "#" + c + "$" + d, limitSpojeni);
  if (err == 0) err = socket_.receive(odpoved_, 4096, limitOdpovedi);
  // The reply may come in pieces; it has ended when the server pauses. A bare "OK", the usual
  // reply, is complete as it is, so a lock does not wait out the pause.
  // A peer that never pauses must not keep the station here: a reply is at most kNejdelsiOdpoved
  // bytes, whatever follows belongs to no request.
  while (err == 0 && odpoved_ != "OK" && odpoved_.size() < kNejdelsiOdpoved) {
    std::string dalsi;
    if (socket_.receive(dalsi, kNejdelsiOdpoved - odpoved_.size(), pauzaOdpovedi) != 0) break;
    odpoved_ += dalsi;
  }
  if (err != 0) {
    // A broken link is dropped; the next request connects again.
    socket_.close();
    odpoved_.clear();
    const bool udrzovaci = prikaz == "Client";
    // A server that accepts but never answers (stopped, hung) is named as such.
    const std::string text = "Err " + std::to_string(err) +
                             (err == ETIMEDOUT ? cz(" - server zámků neodpovídá") : std::string());
    if (!udrzovaci || !hlasenaChyba_) storage::interaction().message(text);
    if (udrzovaci) hlasenaChyba_ = true;
  } else {
    hlasenaChyba_ = false;
  }
  udrzovani_.setEnabled(bezelo);
  return err == 0;
}

std::optional<std::string> TfClient::vymena(const std::string& prikaz, const std::string& adresar,
                                           const std::string& jmeno, const std::string& rezim,
                                           const std::string& uzivatel) {
  if (!pozadavek(prikaz, adresar, jmeno, rezim, uzivatel)) return std::nullopt;
  return odpoved_;
}

void TfClient::udrzuj() {
  if (!adresa_.empty()) pozadavek("Client", "Vata", "", "", "");
}

void TfClient::zavri() {
  udrzovani_.setEnabled(false);
  socket_.close();
}

}  // namespace pz::shell
