#include "pzlockd/socket_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

namespace pz::lockd {

namespace {

constexpr size_t kNejvicStanic = 1000;
constexpr size_t kNejvicVystupu = 64 * 1024;  // unsent replies of a station that does not read

struct Stanice {
  int fd;
  std::string vystup;
  int64_t naposledy = 0;  // when the station last sent something
};

// The system's own check of an idle link: first probe after 60 s, then every 10 s, 6 tries.
void udrzujSpojeni(int fd) {
  int on = 1, idle = 60, interval = 10, pokusy = 6;
  setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &pokusy, sizeof pokusy);
}

void neblokujici(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK); }

// Sends what the socket takes now; false when the station is gone.
bool posli(Stanice& s) {
  while (!s.vystup.empty()) {
    const ssize_t n = ::send(s.fd, s.vystup.data(), s.vystup.size(), MSG_NOSIGNAL);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    s.vystup.erase(0, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

int64_t monotonniMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int naslouchej(const std::string& host, int port, std::string& chyba) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* res = nullptr;
  const std::string sluzba = std::to_string(port);
  if (int e = getaddrinfo(host.empty() ? nullptr : host.c_str(), sluzba.c_str(), &hints, &res); e != 0) {
    chyba = gai_strerror(e);
    return -1;
  }
  int fd = -1;
  for (addrinfo* a = res; a; a = a->ai_next) {
    fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 64) == 0) break;
    chyba = std::strerror(errno);
    ::close(fd);
    fd = -1;
  }
  freeaddrinfo(res);
  if (fd >= 0) neblokujici(fd);
  return fd;
}

int portSoketu(int fd) {
  sockaddr_storage a{};
  socklen_t len = sizeof a;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) return -1;
  if (a.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
  if (a.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port);
  return -1;
}

void zavriSoket(int fd) {
  if (fd >= 0) ::close(fd);
}

int obsluhuj(int naslouchani, Udalosti& u, const volatile std::sig_atomic_t& konec) {
  std::map<int, Stanice> stanice;  // by connection number
  int dalsiCislo = 1;
  std::vector<pollfd> pfd;
  std::vector<int> cisla;
  auto odpoj = [&](int cislo) {
    auto it = stanice.find(cislo);
    if (it == stanice.end()) return;
    ::close(it->second.fd);
    stanice.erase(it);
    if (u.odpojeni) u.odpojeni(cislo);
  };
  int64_t pristiTik = monotonniMs() + 250;
  // A descriptor kept in reserve: with none left, it is given up to accept and close the
  // station waiting, so that the listening socket does not stay readable for ever.
  int rezerva = ::fcntl(naslouchani, F_DUPFD_CLOEXEC, 0);
  int64_t prijimatOd = 0;  // accepting waits until then when even the reserve did not help
  while (!konec) {
    pfd.clear();
    cisla.clear();
    pfd.push_back({naslouchani, static_cast<short>(monotonniMs() >= prijimatOd ? POLLIN : 0), 0});
    for (auto& [cislo, s] : stanice) {
      pfd.push_back({s.fd, static_cast<short>(POLLIN | (s.vystup.empty() ? 0 : POLLOUT)), 0});
      cisla.push_back(cislo);
    }
    const int n = ::poll(pfd.data(), pfd.size(), 250);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      for (auto& [cislo, s] : stanice) ::close(s.fd);
      if (rezerva >= 0) ::close(rezerva);
      return e;
    }
    const int64_t nyni = monotonniMs();
    if (pfd[0].revents & POLLIN) {
      for (;;) {
        const int c = ::accept4(naslouchani, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c < 0) {
          if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            if (rezerva >= 0) {
              ::close(rezerva);
              const int odmitnuta = ::accept4(naslouchani, nullptr, nullptr, SOCK_CLOEXEC);
              if (odmitnuta >= 0) ::close(odmitnuta);
              rezerva = ::fcntl(naslouchani, F_DUPFD_CLOEXEC, 0);
            }
            if (rezerva < 0) prijimatOd = nyni + 1000;
          }
          break;
        }
        if (stanice.size() >= kNejvicStanic) {
          ::close(c);
          continue;
        }
        int on = 1;
        setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        udrzujSpojeni(c);
        const int cislo = dalsiCislo++;
        stanice[cislo] = {c, {}, nyni};
        if (u.pripojeni) u.pripojeni(cislo);
      }
    }
    for (size_t i = 1; i < pfd.size(); ++i) {
      const int cislo = cisla[i - 1];
      auto it = stanice.find(cislo);
      if (it == stanice.end()) continue;
      Stanice& s = it->second;
      bool zije = true;
      if (pfd[i].revents & (POLLIN | POLLHUP | POLLERR)) {
        char buf[4096];
        const ssize_t r = ::recv(s.fd, buf, sizeof buf, 0);
        if (r > 0) {
          s.naposledy = nyni;
          s.vystup += u.data(cislo, std::string_view(buf, static_cast<size_t>(r)), nyni);
        } else if (r == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
          zije = false;
        }
      }
      if (zije) zije = posli(s) && s.vystup.size() <= kNejvicVystupu;
      if (!zije) odpoj(cislo);
    }
    if (u.tik && nyni >= pristiTik) {
      pristiTik = nyni + 250;
      if (u.tichoMs > 0) {
        std::vector<int> mlci;
        for (auto& [cislo, s] : stanice)
          if (nyni - s.naposledy >= u.tichoMs) mlci.push_back(cislo);
        for (int cislo : mlci) odpoj(cislo);
      }
      for (auto& [cislo, text] : u.tik(nyni)) {
        auto it = stanice.find(cislo);
        if (it == stanice.end()) continue;
        it->second.vystup += text;
        if (!posli(it->second)) odpoj(cislo);
      }
    }
  }
  for (auto& [cislo, s] : stanice) ::close(s.fd);
  if (rezerva >= 0) ::close(rezerva);
  return 0;
}

}  // namespace pz::lockd
