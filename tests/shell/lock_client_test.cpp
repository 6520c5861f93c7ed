// The link to the lock server against a small server in the test.
#include "shell/lock_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "ui/timer.h"

namespace pz::shell {
namespace {

using platform::cz;

// A one-connection server on a free port of 127.0.0.1. `answer` turns a request into a reply;
// an empty reply means silence.
class TestServer {
 public:
  explicit TestServer(std::function<std::string(const std::string&)> answer) : answer_(std::move(answer)) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    listen(fd_, 1);
    thread_ = std::thread([this] { serve(); });
  }
  ~TestServer() {
    stop_ = true;
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    if (thread_.joinable()) thread_.join();
  }
  // The requests received; call after the client closed its link.
  std::vector<std::string> done() {
    if (thread_.joinable()) thread_.join();
    return requests;
  }
  int port = 0;

 private:
  void serve() {
    int c = accept(fd_, nullptr, nullptr);
    if (c < 0) return;
    char buf[512];
    while (!stop_) {
      ssize_t n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      std::string req(buf, static_cast<size_t>(n));
      requests.push_back(req);
      std::string reply = answer_(req);
      if (reply.empty()) continue;
      // The reply comes in two pieces, as a slow network may deliver it.
      send(c, reply.data(), 1, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      send(c, reply.data() + 1, reply.size() - 1, 0);
    }
    close(c);
  }
  std::function<std::string(const std::string&)> answer_;
  std::vector<std::string> requests;
  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class LockServerLink : public ::testing::Test {
 protected:
  void SetUp() override {
    storage::setInteraction(&rec);
    platform::setClock(&clock);
  }
  void TearDown() override {
    platform::setClock(nullptr);
    storage::setInteraction(nullptr);
  }
  storage::RecordingInteraction rec;
  platform::VirtualClock clock{{2026, 12, 9}, {8, 0, 0, 0}};
};

TEST_F(LockServerLink, NoAddressMeansNoServerAndSuccess) {
  TfClient k;
  EXPECT_EQ(k.otevri(""), TfClient::kUspech);
  EXPECT_FALSE(k.pripojeno());
  EXPECT_TRUE(rec.messages.empty());
}

TEST_F(LockServerLink, NobodyListeningGivesTheServerMessage) {
  int port;
  {
    TestServer gone([](const std::string&) { return std::string(); });
    port = gone.port;
  }  // the port is free again and nobody listens on it
  TfClient k;
  k.port = port;
  EXPECT_EQ(k.otevri("127.0.0.1"), TfClient::kNelze);
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], cz("Server TAMBRA není spuštěn, obraťte se na správce sítě."));
}

TEST_F(LockServerLink, ARequestSendsItsFieldsAndKeepsTheWholeReply) {
  TestServer server([](const std::string&) { return std::string("OK zamceno"); });
  TfClient k;
  k.port = server.port;
  ASSERT_EQ(k.otevri("127.0.0.1"), TfClient::kUspech);
  EXPECT_TRUE(k.pozadavek("Zamkni", "F:\\DATA\\", "KURSY.DTA   ", "W", "  01"));
  EXPECT_EQ(k.posledniOdpoved(), "OK zamceno");
  EXPECT_TRUE(k.udrzovani().enabled());  // started again after the request
  k.zavri();
  EXPECT_EQ(server.done(), std::vector<std::string>{"Zamkni<F:\\DATA\\>KURSY.DTA   #W$  01"});
}

TEST_F(LockServerLink, ASilentServerCannotHangTheProgram) {
  TestServer server([](const std::string&) { return std::string(); });
  TfClient k;
  k.port = server.port;
  k.limitOdpovedi = 200;
  ASSERT_EQ(k.otevri("127.0.0.1"), TfClient::kUspech);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(k.pozadavek("Zamkni", "F:\\DATA\\", "KURSY.DTA", "W", "01"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0].rfind("Err ", 0), 0u);
  EXPECT_EQ(rec.messages[0], cz("Err 110 - server zámků neodpovídá"));
  EXPECT_EQ(k.posledniOdpoved(), "");
  k.zavri();
}

// Something else on the server's port that streams bytes without a pause.
TEST_F(LockServerLink, AServiceThatNeverPausesCannotHangTheProgram) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  listen(fd, 1);
  std::atomic<bool> stop{false};
  std::thread proud([&] {
    const int c = accept(fd, nullptr, nullptr);
    if (c < 0) return;
    const std::string kus(512, 'x');
    // Bounded: at most 20 s of streaming, ended as soon as the test is done.
    const auto konec = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stop && std::chrono::steady_clock::now() < konec)
      if (send(c, kus.data(), kus.size(), MSG_NOSIGNAL) < 0) break;
    close(c);
  });
  TfClient k;
  k.port = ntohs(a.sin_port);
  k.limitOdpovedi = 2000;
  ASSERT_EQ(k.otevri("127.0.0.1"), TfClient::kUspech);
  const auto start = std::chrono::steady_clock::now();
  const bool ok = k.pozadavek("Zamkni", "F:\\DATA\\", "KURSY.DTA", "W", "01");
  const auto trvani = std::chrono::steady_clock::now() - start;
  stop = true;
  k.zavri();
  proud.join();
  close(fd);
  EXPECT_TRUE(ok);
  EXPECT_LT(trvani, std::chrono::seconds(5));
  EXPECT_LE(k.posledniOdpoved().size(), TfClient::kNejdelsiOdpoved);
  EXPECT_NE(k.posledniOdpoved().rfind("OK", 0), 0u);  // no lock was granted
}

TEST_F(LockServerLink, KeepAliveEveryTenSecondsOnlyWithAServer) {
  TestServer server([](const std::string&) { return std::string("OK"); });
  TfClient idle;  // no address: its timer fires but sends nothing
  TfClient k;
  k.port = server.port;
  ASSERT_EQ(k.otevri("127.0.0.1"), TfClient::kUspech);
  clock.advance(9999);
  ui::TimerQueue::instance().fireDue(clock.monotonicMs());
  clock.advance(1);
  ui::TimerQueue::instance().fireDue(clock.monotonicMs());
  EXPECT_EQ(k.posledniOdpoved(), "OK");
  k.zavri();
  EXPECT_EQ(server.done(), std::vector<std::string>{"Client<Vata>#$"});
}

}  // namespace
}  // namespace pz::shell
