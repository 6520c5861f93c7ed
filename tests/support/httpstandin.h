// A stand-in for a web service on a free port of 127.0.0.1: one thread answering HTTP/1.1
// requests one at a time (the head and a Content-Length body), until it is destroyed.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pz::test {

class HttpStandIn {
 public:
  struct Odpoved {
    std::string stav;  // "200 OK"
    std::string typ;   // Content-Type
    std::string telo;
  };
  // `odpovez` turns a whole request into the answer; no answer keeps the connection open and
  // silent until the stand-in ends (a service that accepts and never answers).
  explicit HttpStandIn(std::function<std::optional<Odpoved>(const std::string&)> odpovez);
  ~HttpStandIn();
  HttpStandIn(const HttpStandIn&) = delete;
  HttpStandIn& operator=(const HttpStandIn&) = delete;

  int port() const { return port_; }
  // Every request so far, whole; a silent one as "(silent)".
  std::vector<std::string> dotazy();

 private:
  void obsluhuj();

  std::function<std::optional<Odpoved>(const std::string&)> odpovez_;
  int sock_ = -1;
  int port_ = 0;
  std::atomic<bool> konec_{false};
  std::mutex m_;
  std::vector<std::string> dotazy_;
  std::vector<int> drzene_;
  std::thread vlakno_;
};

}  // namespace pz::test
