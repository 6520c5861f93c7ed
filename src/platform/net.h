// A TCP client with time-outs on connect, send and receive (the lock server link).
#pragma once

#include <string>

namespace pz::platform {

class TcpClient {
 public:
  TcpClient() = default;
  ~TcpClient();
  TcpClient(const TcpClient&) = delete;
  TcpClient& operator=(const TcpClient&) = delete;

  // 0 on success, else an errno value (ETIMEDOUT when the time ran out).
  int connect(const std::string& host, int port, int timeoutMs);
  int send(const std::string& data, int timeoutMs);
  // Receives what is there, at most maxBytes, waiting at most timeoutMs for the first byte.
  // ECONNRESET when the peer closed the connection.
  int receive(std::string& out, size_t maxBytes, int timeoutMs);
  void close();
  bool connected() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace pz::platform
