#include "shell/lock_client.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

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

namespace {

std::string text(const std::string& prikaz, const std::string& a, const std::string& b, const std::string& c,
                 const std::string& d) {
  return prikaz + "<" + a + ">" + b + "#" + c + "$" + d;
}

bool zacinaOK(const std::string& s) { return s.compare(0, 2, "OK") == 0; }

std::string bezMezer(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

int TfClient::vymen(const std::string& pozadavek, std::string& odpoved) {
  odpoved.clear();
  if (int err = socket_.send(pozadavek, limitSpojeni)) return err;
  if (int err = socket_.receive(odpoved, kNejdelsiOdpoved, limitOdpovedi)) return err;
  auto hotova = [&] {
    return odpoved == "OK" || odpoved.find("\r\n") != std::string::npos || odpoved.size() >= kNejdelsiOdpoved;
  };
  // A reply split by the network: the rest is waited for at most dobehOdpovedi after the first
  // byte in all, so a peer that never pauses cannot hold the station either.
  using namespace std::chrono;
  const auto konec = steady_clock::now() + milliseconds(dobehOdpovedi);
  while (!hotova()) {
    const auto zbyva = duration_cast<milliseconds>(konec - steady_clock::now()).count();
    if (zbyva <= 0) break;
    std::string dalsi;
    if (socket_.receive(dalsi, kNejdelsiOdpoved - odpoved.size(), static_cast<int>(zbyva)) != 0) break;
    odpoved += dalsi;
  }
  if (const size_t konecOdpovedi = odpoved.find("\r\n"); konecOdpovedi != std::string::npos)
    odpoved.resize(konecOdpovedi);
  return 0;
}

int TfClient::pripravSpojeni() {
  if (socket_.connected()) {
    // Bytes after an earlier reply belong to no request; a peer that keeps sending is read only
    // so far, its bytes cannot keep the station here.
    std::string stare;
    int d = 0;
    for (int i = 0; i < 16 && (d = socket_.receive(stare, kNejdelsiOdpoved, 0)) == 0; ++i) {
    }
    if (d != 0 && d != ETIMEDOUT) socket_.close();  // the server closed the link: connect again
  }
  if (socket_.connected()) return 0;
  if (int err = socket_.connect(adresa_, port, limitSpojeni)) return err;
  // A new connection: the server knows none of this station's locks. They are taken again
  // before the request that found the link broken, so nobody else can be granted them first
  // by this station's own silence.
  std::vector<Drzeny> zpet;
  for (size_t i = 0; i < drzene_.size(); ++i) {
    const Drzeny& z = drzene_[i];
    std::string odpoved;
    if (int err = vymen(text("Zamkni", z.adresar, z.jmeno, z.rezim, z.uzivatel), odpoved)) {
      // Whatever was not confirmed yet is tried again on the next connection.
      zpet.insert(zpet.end(), drzene_.begin() + static_cast<std::ptrdiff_t>(i), drzene_.end());
      drzene_ = std::move(zpet);
      socket_.close();
      return err;
    }
    if (zacinaOK(odpoved)) {
      zpet.push_back(z);
    } else {
      storage::interaction().message(cz("Po obnovení spojení se serverem zámků nelze znovu zamknout ") +
                                         bezMezer(z.jmeno) + ": " + odpoved,
                                     true);
    }
  }
  drzene_ = std::move(zpet);
  return 0;
}

void TfClient::zaznamenej(const std::string& prikaz, const std::string& a, const std::string& b, const std::string& c,
                          const std::string& d, bool uspech) {
  auto tenZamek = [&](const Drzeny& z) { return z.adresar == a && z.jmeno == b && z.uzivatel == d; };
  if (prikaz == "Odemkni") {
    // Released whether or not the server heard it: a lock the station let go is never taken again.
    const auto it = std::find_if(drzene_.begin(), drzene_.end(), tenZamek);
    if (it != drzene_.end()) drzene_.erase(it);
    return;
  }
  if (!uspech || !zacinaOK(odpoved_)) return;
  if (prikaz == "Zamkni") drzene_.push_back({a, b, c, d});
  if (prikaz == "Premkni") {
    std::erase_if(drzene_, tenZamek);
    drzene_.push_back({a, b, "W", d});
  }
}

bool TfClient::pozadavek(const std::string& prikaz, const std::string& a, const std::string& b, const std::string& c,
                         const std::string& d) {
  if (adresa_.empty()) return false;
  const bool bezelo = udrzovani_.enabled();
  udrzovani_.setEnabled(false);
  odpoved_.clear();
  int err = pripravSpojeni();
  if (err == 0) err = vymen(text(prikaz, a, b, c, d), odpoved_);
  zaznamenej(prikaz, a, b, c, d, err == 0);
  if (err != 0) {
    // A broken link is dropped; the next request connects again.
    socket_.close();
    odpoved_.clear();
    const bool udrzovaci = prikaz == "Client";
    // A server that accepts but never answers (stopped, hung) is named as such.
    const std::string zprava = "Err " + std::to_string(err) +
                               (err == ETIMEDOUT ? cz(" - server zámků neodpovídá") : std::string());
    if (!udrzovaci || !hlasenaChyba_) storage::interaction().message(zprava);
    if (udrzovaci) hlasenaChyba_ = true;
  } else {
    hlasenaChyba_ = false;
  }
  udrzovani_.setEnabled(bezelo);
  return err == 0;
}

bool TfClient::drzi(const std::string& adresar, const std::string& jmeno, const std::string& uzivatel) {
  if (!pozadavek("Client", "Vata", "", "", "")) return false;
  return std::any_of(drzene_.begin(), drzene_.end(), [&](const Drzeny& z) {
    return z.adresar == adresar && z.jmeno == jmeno && z.uzivatel == uzivatel;
  });
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
