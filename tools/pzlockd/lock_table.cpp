#include "pzlockd/lock_table.h"

#include <algorithm>
#include <cctype>

#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/textutil.h"

namespace pz::lockd {

namespace {

constexpr size_t kJmeno = 12;
constexpr size_t kUzivatel = 4;

bool znamyPrikaz(std::string_view p) {
  return p == "Zamkni" || p == "Odemkni" || p == "IfVolny" || p == "Premkni" || p == "Client";
}
constexpr size_t kNejdelsiPrikaz = 7;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Ramec

void Ramec::pridej(std::string_view data, int64_t nyniMs) {
  if (buf_.empty() && !data.empty()) od_ = nyniMs;
  buf_.append(data);
}

// Drops the bytes of a request that cannot be one, up to where a known command word starts
// again: a good request that came after garbage in the same piece is still answered.
void Ramec::zahod() {
  size_t dalsi = std::string::npos;
  for (std::string_view slovo : {"Zamkni<", "Odemkni<", "IfVolny<", "Premkni<", "Client<"}) {
    const size_t p = buf_.find(slovo, 1);
    if (p < dalsi) dalsi = p;
  }
  if (dalsi == std::string::npos)
    buf_.clear();
  else
    buf_.erase(0, dalsi);
}

Ramec::Stav Ramec::dalsi(Pozadavek& out) {
  // Line ends between requests (a client that ends its requests with CR LF) are no request.
  if (const size_t zacatek = buf_.find_first_not_of("\r\n"); zacatek != 0) buf_.erase(0, zacatek);
  if (buf_.empty()) return Stav::Nic;
  auto chyba = [this] {
    zahod();
    return Stav::Chyba;
  };
  const size_t lt = buf_.find('<');
  if (lt == std::string::npos) return buf_.size() > kNejdelsiPrikaz ? chyba() : Stav::Nic;
  const std::string prikaz = buf_.substr(0, lt);
  if (!znamyPrikaz(prikaz)) return chyba();
  const size_t gt = buf_.find('>', lt + 1);
  const size_t hash = gt == std::string::npos ? gt : buf_.find('#', gt + 1);
  const size_t dollar = hash == std::string::npos ? hash : buf_.find('$', hash + 1);
  const size_t uzivatel = prikaz == "Client" ? 0 : kUzivatel;
  if (dollar == std::string::npos || buf_.size() < dollar + 1 + uzivatel)
    return buf_.size() > kNejdelsiPozadavek ? chyba() : Stav::Nic;
  out.prikaz = prikaz;
  out.adresar = buf_.substr(lt + 1, gt - lt - 1);
  out.jmeno = buf_.substr(gt + 1, hash - gt - 1);
  out.rezim = buf_.substr(hash + 1, dollar - hash - 1);
  out.uzivatel = buf_.substr(dollar + 1, uzivatel);
  buf_.erase(0, dollar + 1 + uzivatel);
  if (dollar + 1 + uzivatel > kNejdelsiPozadavek) return Stav::Chyba;
  return Stav::Pozadavek;
}

bool Ramec::propadl(int64_t nyniMs) {
  if (buf_.empty() || nyniMs - od_ < kLhutaPozadavkuMs) return false;
  buf_.clear();
  return true;
}

// ---------------------------------------------------------------------------------------------
// TabulkaZamku

std::string TabulkaZamku::chybnyPozadavek() { return platform::cz("CHYBA: neplatný požadavek"); }

size_t TabulkaZamku::pocet() const { return pocet_; }

std::string TabulkaZamku::popis(const Zamek& z) const {
  std::string text = std::string(1, z.rezim) + " " + z.uzivatel.substr(0, 2);
  int n = -1;
  if (z.uzivatel.size() >= 2 && std::isdigit(static_cast<unsigned char>(z.uzivatel[0])) &&
      std::isdigit(static_cast<unsigned char>(z.uzivatel[1])))
    n = (z.uzivatel[0] - '0') * 10 + (z.uzivatel[1] - '0');
  if (n >= 0 && static_cast<size_t>(n + 1) * 25 <= jmena_.size()) {
    const std::string jmeno = storage::Orez(storage::readShortString(std::string_view(jmena_).substr(n * 25, 25), 0, 24));
    if (!jmeno.empty()) text += " " + jmeno;
  }
  return storage::VelkaPismena(text);
}

std::string TabulkaZamku::vyrid(int spojeni, const Pozadavek& p) {
  if (p.prikaz == "Client") return "OK";
  if (p.adresar.empty() || p.jmeno.empty()) return chybnyPozadavek();
  // Names are kept as the sharing table keeps them: upper case, 12 characters.
  const std::string klic = storage::VelkaPismena(p.adresar) + "\n" + storage::NaSirku(storage::VelkaPismena(p.jmeno), kJmeno);
  const std::string uzivatel = storage::NaSirku(p.uzivatel, kUzivatel);
  auto it = zamky_.find(klic);
  std::vector<Zamek>* zamky = it == zamky_.end() ? nullptr : &it->second;
  auto jiny = [&](const Zamek& z) { return z.uzivatel.compare(0, 2, uzivatel, 0, 2) != 0; };
  auto pridej = [&](char rezim) -> std::string {
    if (pocet_ >= kNejvicZamku) return platform::cz("CHYBA: tabulka zámků je plná");
    zamky_[klic].push_back({uzivatel, rezim, spojeni});
    ++pocet_;
    return "OK";
  };

  if (p.prikaz == "Zamkni") {
    const bool zapis = p.rezim == "W";
    if (zamky) {
      for (const Zamek& z : *zamky)
        if (zapis || z.rezim == 'W') return popis(z);
    }
    return pridej(zapis ? 'W' : 'R');
  }
  if (p.prikaz == "Odemkni") {
    // Nothing to free is no refusal: the file is unlocked either way.
    if (!zamky) return "OK";
    auto vlastni = std::find_if(zamky->begin(), zamky->end(),
                                [&](const Zamek& z) { return z.uzivatel == uzivatel && z.spojeni == spojeni; });
    if (vlastni == zamky->end())
      vlastni = std::find_if(zamky->begin(), zamky->end(), [&](const Zamek& z) { return z.uzivatel == uzivatel; });
    if (vlastni != zamky->end()) {
      zamky->erase(vlastni);
      --pocet_;
      if (zamky->empty()) zamky_.erase(it);
    }
    return "OK";
  }
  if (p.prikaz == "IfVolny") {
    if (zamky)
      for (const Zamek& z : *zamky)
        if (jiny(z)) return popis(z);
    return "OK";
  }
  if (p.prikaz == "Premkni") {
    if (zamky) {
      for (const Zamek& z : *zamky)
        if (z.uzivatel != uzivatel) return popis(z);
      pocet_ -= zamky->size();
      zamky_.erase(it);
    }
    return pridej('W');
  }
  return chybnyPozadavek();
}

void TabulkaZamku::odpoj(int spojeni) {
  for (auto it = zamky_.begin(); it != zamky_.end();) {
    auto& v = it->second;
    const size_t pred = v.size();
    std::erase_if(v, [&](const Zamek& z) { return z.spojeni == spojeni; });
    pocet_ -= pred - v.size();
    it = v.empty() ? zamky_.erase(it) : std::next(it);
  }
}

}  // namespace pz::lockd
