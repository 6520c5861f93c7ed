#include "shell/lock_client.h"

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
  int err = socket_.connected() ? 0 : socket_.connect(adresa_, port, limitSpojeni);
  if (err == 0) err = socket_.send(prikaz + "<" + a + ">" + b + "#" + c + "$" + d, limitSpojeni);
  if (err == 0) err = socket_.receive(odpoved_, 4096, limitOdpovedi);
  // The reply may come in pieces; it has ended when the server pauses.
  while (err == 0) {
    std::string dalsi;
    if (socket_.receive(dalsi, 4096, pauzaOdpovedi) != 0) break;
    odpoved_ += dalsi;
  }
  if (err != 0) {
    // A broken link is dropped; the next request connects again.
    socket_.close();
    odpoved_.clear();
    const bool udrzovaci = prikaz == "Client";
    if (!udrzovaci || !hlasenaChyba_) storage::interaction().message("Err " + std::to_string(err));
    if (udrzovaci) hlasenaChyba_ = true;
  } else {
    hlasenaChyba_ = false;
  }
  udrzovani_.setEnabled(bezelo);
  return err == 0;
}

void TfClient::udrzuj() {
  if (!adresa_.empty()) pozadavek("Client", "Vata", "", "", "");
}

void TfClient::zavri() {
  udrzovani_.setEnabled(false);
  socket_.close();
}

}  // namespace pz::shell
