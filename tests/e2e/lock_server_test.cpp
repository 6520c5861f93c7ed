// The program beside a real lock server: the link's keep-alive while the server runs, and the
// station going on after the server was killed.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

bool accepts5050() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(5050);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
  return n;
}

TEST(LockServerBeside, AKilledServerIsReportedOnceAndTheStationGoesOn) {
  if (accepts5050()) GTEST_SKIP() << "port 5050 of this machine is in use";
  TempDir dir;
  install(dir, {.station = {{"UZIVATEL", "01"}, {"DAN2", "21"}, {"DAN1", "12"}, {"DAN3", "0"}},
                .dataRoot = {{"SERVER1", "127.0.0."}, {"SERVER2", "1"}}});

  const pid_t server = fork();
  ASSERT_GE(server, 0);
  if (server == 0) {
    execl(PZLOCKD_BIN, "pzlockd", "--bind", "127.0.0.1", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 200 && !accepts5050(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(accepts5050());
  dir.write("lockd.pid", std::to_string(server));

  const std::string script =
      "wait 10500\n"  // the first keep-alive goes to the running server
      "dump\n"
      "run kill -9 $(cat lockd.pid)\n"
      "wait 10000\n"  // the next one finds it gone
      "dump\n"
      "Enter\n"
      "wait 20000\n"  // later keep-alives do not repeat the message
      "dump\n"
      "Esc\n";
  auto r = runPzpokl(dir, script);
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);

  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(count(r.out, "=== TForm1"), 3u) << r.out;   // the main window stayed
  EXPECT_EQ(count(r.out, "=== TfZprava"), 1u) << r.out;  // one message, after the kill
  const size_t message = r.out.find("=== TfZprava");
  ASSERT_NE(message, std::string::npos);
  EXPECT_GT(message, r.out.find("=== TForm1"));
  EXPECT_NE(r.out.find("Err ", message), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("12 , 21"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace pz::test
