// The lock link reads whatever the server sends back: any reply, cut anywhere, too long or never
// ended, must give a result (or a failure) for each request without a crash or a hang.
// Input: the bytes the server sends after the first request; a byte 0x00 marks where the server
// pauses between two sends.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "shell/lock_client.h"
#include "support.h"

namespace {

// A server on a free port of 127.0.0.1 that answers each connection's first request with the
// current input and closes it after a short while.
class Server {
 public:
  Server() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, 4) != 0) std::abort();
    socklen_t n = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
    port = ntohs(a.sin_port);
    std::thread([this] { run(); }).detach();
  }
  void set(std::string reply) {
    std::lock_guard<std::mutex> g(m_);
    reply_ = std::move(reply);
  }
  int port = 0;

 private:
  void run() {
    for (;;) {
      int c = accept(fd_, nullptr, nullptr);
      if (c < 0) continue;
      char buf[512];
      if (read(c, buf, sizeof buf) > 0) {
        std::string reply;
        {
          std::lock_guard<std::mutex> g(m_);
          reply = reply_;
        }
        size_t from = 0;
        while (from <= reply.size()) {
          size_t end = reply.find('\0', from);
          if (end == std::string::npos) end = reply.size();
          if (end > from) (void)send(c, reply.data() + from, end - from, MSG_NOSIGNAL);
          from = end + 1;
          if (from <= reply.size()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
      }
      close(c);
    }
  }
  int fd_ = -1;
  std::mutex m_;
  std::string reply_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Server server;
  (void)pz::fuzz::workDir();
  server.set(std::string(reinterpret_cast<const char*>(data), size));
  pz::shell::TfClient link;
  link.port = server.port;
  link.limitSpojeni = 500;
  link.limitOdpovedi = 50;
  link.dobehOdpovedi = 5;
  if (link.otevri("127.0.0.1") != pz::shell::TfClient::kUspech) return 0;
  auto reply = link.vymena("Zamkni", "F:\\DATA\\", "KURSY.DTA", "W", "07");
  if (reply && reply->size() > pz::shell::TfClient::kNejdelsiOdpoved) __builtin_trap();
  (void)link.drzi("F:\\DATA\\", "KURSY.DTA", "07");
  link.zavri();
  return 0;
}
