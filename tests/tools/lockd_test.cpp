// The lock server: its answers to the stations' requests, its reading of a byte stream that may
// be cut anywhere or be garbage, and the real server on loopback with stations as processes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "pzlockd/server.h"
#include "pzlockd/socket_io.h"
#include "shell/lock_client.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/tempdir.h"
#include "cashdesk/document.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "cashdesk/saving.h"
#include "storage/fields.h"

namespace pz::lockd {
namespace {

using platform::cz;

std::string jmenaTab() {
  std::string t;
  for (int i = 0; i < 100; ++i) {
    std::string name = i == 1 ? cz("Jan Novák") : i == 2 ? cz("Jana Nováková") : "";
    std::string r(1, static_cast<char>(name.size()));
    r += name;
    r.resize(25, ' ');
    t += r;
  }
  return t;
}

std::string req(const std::string& cmd, const std::string& name, const std::string& mode, const std::string& user) {
  std::string n = name;
  n.resize(12, ' ');
  return cmd + "<F:\\DATA\\>" + n + "#" + mode + "$" + user + "  ";
}

class LockServerTable : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("JMENA.tab", jmenaTab());
    server = std::make_unique<Server>((dir / "JMENA.tab").string());
  }
  std::string ask(int conn, const std::string& text) { return server->prijmi(conn, text, now); }
  test::TempDir dir;
  std::unique_ptr<Server> server;
  int64_t now = 1000;
};

TEST_F(LockServerTable, ReadLocksAreSharedAndAWriteLockIsAlone) {
  EXPECT_EQ(ask(1, req("Zamkni", "KURSY.DTA", "", "01")), "OK");
  EXPECT_EQ(ask(2, req("Zamkni", "KURSY.DTA", "R", "02")), "OK");
  EXPECT_EQ(ask(3, req("Zamkni", "KURSY.DTA", "W", "07")), cz("R 01 JAN NOVÁK"));
  EXPECT_EQ(ask(3, req("Zamkni", "ORG.DTA", "W", "07")), "OK");
  EXPECT_EQ(ask(1, req("Zamkni", "ORG.DTA", "R", "01")), "W 07");
  // A station's own read lock stands in the way of its write lock, as in the sharing table.
  EXPECT_EQ(ask(2, req("Zamkni", "KURSY.DTA", "W", "02")), cz("R 01 JAN NOVÁK"));
  EXPECT_EQ(ask(1, req("Odemkni", "KURSY.DTA", "p", "01")), "OK");
  EXPECT_EQ(ask(2, req("Zamkni", "KURSY.DTA", "W", "02")), cz("R 02 JANA NOVÁKOVÁ"));
  EXPECT_EQ(ask(2, req("Odemkni", "KURSY.DTA", "p", "02")), "OK");
  EXPECT_EQ(ask(2, req("Zamkni", "kursy.dta", "W", "02")), "OK");  // names are compared upper-cased
  EXPECT_EQ(server->tabulka().pocet(), 2u);
}

TEST_F(LockServerTable, IsFreeAndConvertLookOnlyAtOtherStations) {
  ASSERT_EQ(ask(1, req("Zamkni", "KURSY.DTA", "", "01")), "OK");
  ASSERT_EQ(ask(1, req("Zamkni", "KURSY.DTA", "", "01")), "OK");
  EXPECT_EQ(ask(1, req("IfVolny", "KURSY.DTA", "p", "01")), "OK");
  EXPECT_EQ(ask(2, req("IfVolny", "KURSY.DTA", "p", "02")), cz("R 01 JAN NOVÁK"));
  ASSERT_EQ(ask(2, req("Zamkni", "KURSY.DTA", "", "02")), "OK");
  EXPECT_NE(ask(1, req("Premkni", "KURSY.DTA", "p", "01")), "OK");
  EXPECT_EQ(server->tabulka().pocet(), 3u);  // a refused conversion changes nothing
  ASSERT_EQ(ask(2, req("Odemkni", "KURSY.DTA", "p", "02")), "OK");
  EXPECT_EQ(ask(1, req("Premkni", "KURSY.DTA", "p", "01")), "OK");
  EXPECT_EQ(server->tabulka().pocet(), 1u);
  EXPECT_EQ(ask(2, req("Zamkni", "KURSY.DTA", "", "02")), cz("W 01 JAN NOVÁK"));
}

TEST_F(LockServerTable, ADroppedConnectionLeavesNoLockBehind) {
  ASSERT_EQ(ask(1, req("Zamkni", "KURSY.DTA", "W", "01")), "OK");
  ASSERT_EQ(ask(1, req("Zamkni", "ORG.DTA", "", "01")), "OK");
  ASSERT_EQ(ask(2, req("Zamkni", "ORG.DTA", "", "02")), "OK");
  server->odpoj(1);
  EXPECT_EQ(server->tabulka().pocet(), 1u);
  EXPECT_EQ(ask(2, req("Zamkni", "KURSY.DTA", "W", "02")), "OK");
  // Unlocking what the server does not hold is no refusal, so a station never loops on it.
  EXPECT_EQ(ask(3, req("Odemkni", "NIC.DTA", "p", "03")), "OK");
}

TEST_F(LockServerTable, RequestsCutAnywhereAreAnsweredOnceWhole) {
  const std::string r = req("Zamkni", "KURSY.DTA", "W", "01");
  for (size_t cut = 1; cut < r.size(); ++cut) {
    Server s;
    EXPECT_EQ(s.prijmi(1, r.substr(0, cut), now), "") << cut;
    EXPECT_EQ(s.prijmi(1, r.substr(cut), now), "OK") << cut;
  }
  EXPECT_EQ(ask(1, "Client<Vata>#$"), "OK");
  // Two requests in one piece get two replies.
  EXPECT_EQ(ask(1, req("Zamkni", "A.DTA", "", "01") + req("Zamkni", "A.DTA", "W", "02")), cz("OKR 01 JAN NOVÁK"));
}

TEST_F(LockServerTable, GarbageOversizedAndStuckRequestsGetAnErrorAndTheConnectionGoesOn) {
  const std::string chyba = cz("CHYBA: neplatný požadavek");
  EXPECT_EQ(ask(1, "GET / HTTP/1.0\r\n\r\n"), chyba);
  EXPECT_EQ(ask(1, "Smaz<F:\\>A#W$01  "), chyba);
  EXPECT_EQ(ask(1, "Zamkni<>A.DTA#W$01  "), chyba);
  EXPECT_EQ(ask(1, "Zamkni<F:\\" + std::string(5000, 'x')), chyba);
  EXPECT_EQ(ask(1, req("Zamkni", "A.DTA", "W", "01")), "OK");

  EXPECT_EQ(ask(2, "Zamkni<F:\\DATA\\>A.D"), "");
  EXPECT_TRUE(server->tik(now + 1000).empty());
  const auto late = server->tik(now + kLhutaPozadavkuMs);
  ASSERT_EQ(late.size(), 1u);
  EXPECT_EQ(late[0], (std::pair<int, std::string>{2, chyba}));
  EXPECT_EQ(ask(2, req("Zamkni", "B.DTA", "W", "02")), "OK");
}

TEST_F(LockServerTable, AGoodRequestAfterGarbageOrALineEndInTheSamePieceIsAnswered) {
  const std::string chyba = cz("CHYBA: neplatný požadavek");
  EXPECT_EQ(ask(1, "GET / HTTP/1.0\r\n" + req("Zamkni", "A.DTA", "W", "01")), chyba + "OK");
  EXPECT_EQ(ask(1, "\r\n" + req("Zamkni", "B.DTA", "W", "01") + "\r\n"), "OK");
  EXPECT_EQ(ask(2, "xx" + req("IfVolny", "A.DTA", "p", "02") + req("Odemkni", "B.DTA", "p", "01")),
            chyba + cz("W 01 JAN NOVÁK") + "OK");
  EXPECT_EQ(server->tabulka().pocet(), 1u);  // the unlock after the garbage was carried out
}

// ---------------------------------------------------------------------------------------------
// The real server on loopback

// Runs the server in a child process, so that it can be killed like a crashed machine.
class ServerProcess {
 public:
  // `nastav` runs in the server's process before it serves.
  explicit ServerProcess(int port = 0, std::function<void(Server&)> nastav = {}) {
    std::string err;
    fd_ = naslouchej("127.0.0.1", port, err);
    EXPECT_GE(fd_, 0) << err;
    this->port = portSoketu(fd_);
    pid_ = fork();
    if (pid_ == 0) {
      static volatile std::sig_atomic_t never = 0;
      Server s;
      if (nastav) nastav(s);
      _exit(s.obsluhuj(fd_, never));
    }
    zavriSoket(fd_);
  }
  ~ServerProcess() { kill(); }
  void kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  int port = 0;
  pid_t pid() const { return pid_; }

 private:
  int fd_ = -1;
  pid_t pid_ = -1;
};

class PatientStation : public storage::RecordingInteraction {
 public:
  bool waitFor(const std::string& text, int, const std::function<bool()>& attempt) override {
    waits.push_back(text);
    for (int i = 0; i < 5000; ++i) {
      if (attempt()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
};

class ServedStations : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("DATA/.keep", "");
    storage::ZapomenAdresy();
    storage::setInteraction(&station);
    storage::settings().user = "01";
    storage::settings().lockServer = "127.0.0.1";
  }
  void TearDown() override {
    storage::setLockLink(nullptr);
    storage::setInteraction(nullptr);
    storage::settings() = storage::GlobalSettings{};
    storage::ZapomenAdresy();
  }
  std::unique_ptr<shell::TfClient> link(int port) {
    auto k = std::make_unique<shell::TfClient>();
    k->port = port;
    k->limitOdpovedi = 2000;
    EXPECT_EQ(k->otevri("127.0.0.1"), shell::TfClient::kUspech);
    return k;
  }
  test::TempDir dir;
  PatientStation station;
};

int countingStation(const std::string& user, int port, const std::string& counter, int rounds) {
  PatientStation patient;
  storage::setInteraction(&patient);
  storage::settings().user = user;
  shell::TfClient k;
  k.port = port;
  if (k.otevri("127.0.0.1") != shell::TfClient::kUspech) return 100;
  storage::setLockLink(&k);
  int wrong = 0;
  for (int i = 0; i < rounds; ++i) {
    if (storage::Zamkni(counter, "W") != storage::Zamek::Drzen) {
      ++wrong;
      continue;
    }
    platform::File f;
    uint32_t n = 0;
    if (f.open(counter, platform::Access::ReadWrite, platform::Share::DenyNone, platform::Create::OpenAlways) != 0) {
      ++wrong;
    } else {
      size_t got = 0;
      f.readAt(0, &n, sizeof n, &got);
      ++n;
      if (f.writeAt(0, &n, sizeof n) != 0) ++wrong;
      f.close();
    }
    storage::Odemkni(counter);
  }
  storage::setLockLink(nullptr);
  return std::min(wrong, 99);
}

TEST_F(ServedStations, StationsIncrementingUnderTheServersWriteLocksLoseNoStep) {
  ServerProcess server;
  constexpr int kStations = 4, kRounds = 250;
  const std::string counter = storage::DataCesta("CITAC.DTA");
  std::vector<pid_t> children;
  for (int s = 0; s < kStations; ++s) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(countingStation("0" + std::to_string(s + 1), server.port, counter, kRounds));
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  const std::string bytes = dir.read("DATA/CITAC.DTA");
  ASSERT_EQ(bytes.size(), 4u);
  uint32_t n = 0;
  std::memcpy(&n, bytes.data(), 4);
  EXPECT_EQ(n, static_cast<uint32_t>(kStations * kRounds));
  // Nothing is left locked, and the sharing table was never touched.
  auto k = link(server.port);
  storage::setLockLink(k.get());
  storage::settings().user = "09";
  EXPECT_EQ(storage::IfVolny(counter), "");
  EXPECT_TRUE(storage::Premkni(counter));
  EXPECT_FALSE(std::filesystem::exists(dir / "DATA" / "FOT.tab"));
}

TEST_F(ServedStations, AStationThatGoesAwayReleasesItsLocks) {
  ServerProcess server;
  const std::string kursy = storage::DataCesta("kursy.dta");
  auto other = link(server.port);
  storage::setLockLink(other.get());
  storage::settings().user = "02";
  ASSERT_EQ(storage::Zamkni(kursy, "W"), storage::Zamek::Drzen);

  auto mine = link(server.port);
  storage::setLockLink(mine.get());
  storage::settings().user = "01";
  EXPECT_EQ(storage::IfVolny(kursy), "W 02");
  other.reset();  // station 02 ends without unlocking
  EXPECT_EQ(storage::Zamkni(kursy, "W"), storage::Zamek::Drzen);
}

TEST_F(ServedStations, AKilledServerIsReportedAndANewOneStartsClean) {
  auto server = std::make_unique<ServerProcess>();
  const int port = server->port;
  const std::string kursy = storage::DataCesta("kursy.dta");
  auto k = link(port);
  storage::setLockLink(k.get());
  ASSERT_EQ(storage::Zamkni(kursy, "W"), storage::Zamek::Drzen);
  server->kill();

  storage::Odemkni(kursy);  // the station reports the error and goes on
  EXPECT_EQ(storage::Zamkni(storage::DataCesta("org.dta")), storage::Zamek::Nedrzen);
  ASSERT_GE(station.messages.size(), 2u);
  for (const auto& m : station.messages) EXPECT_EQ(m.substr(0, 4), "Err ");

  ServerProcess fresh(port);
  station.messages.clear();
  storage::settings().user = "02";
  EXPECT_EQ(storage::IfVolny(kursy), "");  // the link connects again by itself
  EXPECT_EQ(storage::Zamkni(kursy, "W"), storage::Zamek::Drzen);
  EXPECT_TRUE(station.messages.empty());
}

// The server restarts while station 01 holds the document lock of series 01 (a new document
// open). Its first request afterwards takes the lock again, so station 02 finds the series in
// use. When station 02 gets there first, station 01 is told, and its save stores nothing.
TEST_F(ServedStations, AfterARestartTheHeldLocksComeBackFirstOrTheSaveUnderALostOneStops) {
  auto server = std::make_unique<ServerProcess>();
  const int port = server->port;
  const std::string pz01 = storage::CestaZamku("PZ01");
  auto mine = link(port);
  storage::setLockLink(mine.get());
  ASSERT_EQ(storage::Zamkni(pz01, "W"), storage::Zamek::Drzen);

  server->kill();
  server = std::make_unique<ServerProcess>(port);
  EXPECT_EQ(storage::IfVolny(storage::DataCesta("org.dta")), "");  // any request after the restart
  auto other = link(port);
  storage::setLockLink(other.get());
  storage::settings().user = "02";
  EXPECT_EQ(storage::IfVolny(pz01), "W 01");

  // A series with one document, and station 01's new document 2 of it.
  std::vector<std::uint8_t> rada(cashdesk::tPzRada::kVelikost, 0);
  ASSERT_TRUE(storage::writeShortString(rada, cashdesk::tPzRada::kRada, 2, "01"));
  ASSERT_TRUE(storage::writeShortString(rada, cashdesk::tPzRada::kMena, 3, "EUR"));
  ASSERT_TRUE(storage::writeReal48(rada, cashdesk::tPzRada::kKurz, 25));
  ASSERT_TRUE(storage::writeU16(rada, cashdesk::tPzRada::kMnozstvi, 1));
  ASSERT_TRUE(storage::writeReal48(rada, cashdesk::tPzRada::kStav, 1000));
  dir.write("DATA/pz_ra.dta", std::string(rada.begin(), rada.end()));
  const std::vector<std::uint8_t> prvni = cashdesk::PrazdnyDoklad(platform::Date{2026, 12, 9});
  dir.write("DATA/PZ01_.dta", std::string(prvni.begin(), prvni.end()));
  cashdesk::Ukladani u;
  u.zaznam = prvni;
  u.doklad = cashdesk::CtiDoklad(u.zaznam);
  u.doklad.druh = "P";
  u.doklad.ident = cashdesk::IdentDokladu(2);
  u.doklad.kurz = 25;
  u.doklad.celkemVal = u.doklad.placenoVal = 100000;
  u.cisloZaznamu = 2;
  u.rada = cashdesk::CtiRadu(rada);
  u.zamkyVolajiciho = {pz01};

  other.reset();
  server->kill();
  server = std::make_unique<ServerProcess>(port);
  auto second = link(port);
  storage::setLockLink(second.get());
  ASSERT_EQ(storage::Zamkni(pz01, "W"), storage::Zamek::Drzen);  // 02 is first at the new server

  storage::setLockLink(mine.get());
  storage::settings().user = "01";
  station.messages.clear();
  cashdesk::SluzbaUkladani sluzba;
  EXPECT_EQ(sluzba.Uloz(u, "PZ01_.dta"), cashdesk::VysledekUlozeni::BezZamku);
  EXPECT_EQ(dir.read("DATA/PZ01_.dta"), std::string(prvni.begin(), prvni.end()));
  EXPECT_EQ(dir.read("DATA/pz_ra.dta"), std::string(rada.begin(), rada.end()));
  EXPECT_EQ(station.messages,
            (std::vector<std::string>{cz("Po obnovení spojení se serverem zámků nelze znovu zamknout PZ01: W 02"),
                                      cz("Zámek PZ01 tato stanice už nedrží, doklad nebyl uložen")}));
  EXPECT_EQ(mine->pocetDrzenych(), 0u);  // the balance lock went with the failed save
}

// CPU seconds the process has used (user + system).
double cpuSekundy(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  std::getline(f, stat);
  if (stat.find(')') == std::string::npos) return -1;
  std::vector<std::string> pole;
  size_t p = stat.rfind(')') + 2;
  while (p < stat.size()) {
    const size_t q = stat.find(' ', p);
    pole.push_back(stat.substr(p, q - p));
    if (q == std::string::npos) break;
    p = q + 1;
  }
  return (std::stod(pole[11]) + std::stod(pole[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

int pripoj(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  timeval limit{2, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  return fd;
}

// What a raw station gets back for one keep-alive: the reply, or "" when the server closed it.
std::string udrzuj(int fd) {
  const std::string r = "Client<Vata>#$";
  send(fd, r.data(), r.size(), MSG_NOSIGNAL);
  char buf[64];
  const ssize_t n = recv(fd, buf, sizeof buf, 0);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

TEST_F(ServedStations, ASilentStationIsDroppedWithItsLocksAndNoDescriptorsLeftRefusesWithoutSpinning) {
  {
    ServerProcess server(0, [](Server& s) { s.nastavTicho(500); });
    const std::string kursy = storage::DataCesta("kursy.dta");
    auto silent = link(server.port);
    storage::setLockLink(silent.get());
    storage::settings().user = "02";
    ASSERT_EQ(storage::Zamkni(kursy, "W"), storage::Zamek::Drzen);  // and then nothing, not even keep-alives
    auto mine = link(server.port);
    storage::setLockLink(mine.get());
    storage::settings().user = "01";
    EXPECT_EQ(storage::IfVolny(kursy), "W 02");
    std::string volno = "W 02";
    for (int i = 0; i < 50 && !volno.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      volno = storage::IfVolny(kursy);  // these requests keep station 01 alive
    }
    EXPECT_EQ(volno, "");
    EXPECT_EQ(storage::Zamkni(kursy, "W"), storage::Zamek::Drzen);
  }
  // A server left with room for three stations.
  ServerProcess server(0, [](Server&) {
    rlim_t otevreno = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++otevreno;
    rlimit r{otevreno + 3, otevreno + 3};
    setrlimit(RLIMIT_NOFILE, &r);
  });
  std::vector<int> stanice;
  for (int i = 0; i < 8; ++i) stanice.push_back(pripoj(server.port));
  int obslouzeno = 0, odmitnuto = 0;
  for (int fd : stanice) {
    const std::string r = udrzuj(fd);
    if (r == "OK\r\n") ++obslouzeno;
    else if (r.empty()) ++odmitnuto;
  }
  EXPECT_GE(obslouzeno, 1);
  EXPECT_EQ(obslouzeno + odmitnuto, 8);
  EXPECT_GE(odmitnuto, 1);
  const double pred = cpuSekundy(server.pid());
  ASSERT_GE(pred, 0);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_LT(cpuSekundy(server.pid()) - pred, 0.3);  // a spinning loop would use the whole second
  EXPECT_EQ(udrzuj(stanice[0]), "OK\r\n");          // the stations it has are still served
  for (int fd : stanice) close(fd);
}

}  // namespace
}  // namespace pz::lockd
