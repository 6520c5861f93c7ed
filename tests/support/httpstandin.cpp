#include "support/httpstandin.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pz::test {

HttpStandIn::HttpStandIn(std::function<std::optional<Odpoved>(const std::string&)> odpovez)
    : odpovez_(std::move(odpovez)) {
  sock_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(sock_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  getsockname(sock_, reinterpret_cast<sockaddr*>(&a), &n);
  port_ = ntohs(a.sin_port);
  listen(sock_, 8);
  vlakno_ = std::thread([this] { obsluhuj(); });
}

HttpStandIn::~HttpStandIn() {
  konec_ = true;
  vlakno_.join();
  for (int c : drzene_) close(c);
  close(sock_);
}

std::vector<std::string> HttpStandIn::dotazy() {
  std::lock_guard<std::mutex> l(m_);
  return dotazy_;
}

void HttpStandIn::obsluhuj() {
  while (!konec_) {
    pollfd p{sock_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    const int c = accept(sock_, nullptr, nullptr);
    if (c < 0) continue;
    std::string q;
    char buf[4096];
    while (q.find("\r\n\r\n") == std::string::npos) {
      const ssize_t n = read(c, buf, sizeof buf);
      if (n <= 0) break;
      q.append(buf, static_cast<size_t>(n));
    }
    const size_t hlava = q.find("\r\n\r\n");
    size_t delka = 0;
    if (const size_t cl = q.find("Content-Length: "); cl != std::string::npos && cl < hlava)
      delka = std::stoul(q.substr(cl + 16));
    while (hlava != std::string::npos && q.size() < hlava + 4 + delka) {
      const ssize_t n = read(c, buf, sizeof buf);
      if (n <= 0) break;
      q.append(buf, static_cast<size_t>(n));
    }
    const std::optional<Odpoved> o = odpovez_(q);
    {
      std::lock_guard<std::mutex> l(m_);
      dotazy_.push_back(o ? q : "(silent)");
    }
    if (!o) {
      drzene_.push_back(c);
      continue;
    }
    const std::string odpoved = "HTTP/1.1 " + o->stav + "\r\nContent-Type: " + o->typ +
                                "\r\nContent-Length: " + std::to_string(o->telo.size()) +
                                "\r\nConnection: close\r\n\r\n" + o->telo;
    for (size_t poslano = 0; poslano < odpoved.size();) {
      const ssize_t n = write(c, odpoved.data() + poslano, odpoved.size() - poslano);
      if (n <= 0) break;
      poslano += static_cast<size_t>(n);
    }
    close(c);
  }
}

}  // namespace pz::test
