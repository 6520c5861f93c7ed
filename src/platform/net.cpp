#include "platform/net.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace pz::platform {
namespace {

int waitFor(int fd, short events, int timeoutMs) {
  pollfd p = {fd, events, 0};
  int rc;
  do {
    rc = poll(&p, 1, timeoutMs);
  } while (rc < 0 && errno == EINTR);
  if (rc == 0) return ETIMEDOUT;
  if (rc < 0) return errno;
  return 0;
}

}  // namespace

TcpClient::~TcpClient() { close(); }

void TcpClient::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int TcpClient::connect(const std::string& host, int port, int timeoutMs) {
  close();
  addrinfo hints = {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) != 0 || !res) return EHOSTUNREACH;
  int err = ECONNREFUSED;
  for (addrinfo* ai = res; ai; ai = ai->ai_next) {
    int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
      err = errno;
      continue;
    }
    int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (rc != 0 && errno == EINPROGRESS) {
      err = waitFor(fd, POLLOUT, timeoutMs);
      if (err == 0) {
        socklen_t len = sizeof err;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
      }
    } else {
      err = rc == 0 ? 0 : errno;
    }
    if (err == 0) {
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      fd_ = fd;
      break;
    }
    ::close(fd);
  }
  freeaddrinfo(res);
  return err;
}

int TcpClient::send(const std::string& data, int timeoutMs) {
  if (fd_ < 0) return ENOTCONN;
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (int e = waitFor(fd_, POLLOUT, timeoutMs)) return e;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? errno : EPIPE;
  }
  return 0;
}

int TcpClient::receive(std::string& out, size_t maxBytes, int timeoutMs) {
  out.clear();
  if (fd_ < 0) return ENOTCONN;
  if (int e = waitFor(fd_, POLLIN, timeoutMs)) return e;
  out.resize(maxBytes);
  ssize_t n;
  do {
    n = ::recv(fd_, out.data(), maxBytes, 0);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    out.clear();
    return n == 0 ? ECONNRESET : errno;
  }
  out.resize(static_cast<size_t>(n));
  return 0;
}

}  // namespace pz::platform
