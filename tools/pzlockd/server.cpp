#include "pzlockd/server.h"

#include "platform/file.h"

namespace pz::lockd {

Server::Server(const std::string& jmenaTab) {
  std::string jmena;
  if (!jmenaTab.empty() && platform::readWholeFile(jmenaTab, jmena, platform::Share::DenyNone) == 0)
    tabulka_.nastavJmena(std::move(jmena));
}

std::string Server::prijmi(int spojeni, std::string_view data, int64_t nyniMs, std::string_view konec) {
  Ramec& r = ramce_[spojeni];
  r.pridej(data, nyniMs);
  std::string odpovedi;
  Pozadavek p;
  for (;;) {
    const auto stav = r.dalsi(p);
    if (stav == Ramec::Stav::Nic) break;
    odpovedi += stav == Ramec::Stav::Pozadavek ? tabulka_.vyrid(spojeni, p) : TabulkaZamku::chybnyPozadavek();
    odpovedi += konec;
  }
  return odpovedi;
}

void Server::odpoj(int spojeni) {
  ramce_.erase(spojeni);
  tabulka_.odpoj(spojeni);
}

std::vector<std::pair<int, std::string>> Server::tik(int64_t nyniMs) {
  std::vector<std::pair<int, std::string>> out;
  for (auto& [spojeni, r] : ramce_)
    if (r.propadl(nyniMs)) out.emplace_back(spojeni, TabulkaZamku::chybnyPozadavek());
  return out;
}

int Server::obsluhuj(int naslouchani, const volatile std::sig_atomic_t& konec) {
  Udalosti u;
  u.data = [this](int s, std::string_view d, int64_t t) { return prijmi(s, d, t, kKonecOdpovedi); };
  u.odpojeni = [this](int s) { odpoj(s); };
  u.tik = [this](int64_t t) {
    auto out = tik(t);
    for (auto& [s, text] : out) text += kKonecOdpovedi;
    return out;
  };
  u.tichoMs = ticho_;
  return lockd::obsluhuj(naslouchani, u, konec);
}

}  // namespace pz::lockd
