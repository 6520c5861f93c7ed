// Program start and the main window as a user sees them: the settings shown, the end when the
// suite has gone or the lock server is missing, the switches of the installation, and what the
// main window stores when it closes.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

const Entries kStation = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}, {"DAN1", "12"},
                          {"DAN3", "0"}, {"ZAK1", "Firma"}};

// A working directory with the station's table and a data root "data\" below it.
void installStation(const TempDir& dir, const Entries& dataRoot = {}) {
  test::install(dir, {.station = kStation, .dataRoot = dataRoot});
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ProgramStart, MainWindowShowsTheUserAndTheVatRates) {
  TempDir dir;
  installStation(dir);
  auto r = runPzpokl(dir, "dump\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TForm1 \"TAMBRA 01\" ===")) << r.out;
  // The rates in the order second reduced, reduced, basic; a zero rate shows as blanks.
  EXPECT_TRUE(has(r.out, "\n Nastavené sazby DPH :    , 12 , 21\n")) << r.out;
  EXPECT_TRUE(has(r.out, "Účetnictví")) << r.out;
  EXPECT_TRUE(has(r.out, "[ ] Podrozvahové zúčtování")) << r.out;
}

TEST(ProgramStart, AStationWithoutAUserNumberRunsAsUser01AndStoresIt) {
  TempDir dir;
  installStation(dir);
  dir.write("master.job", stationTable({{"DAN2", "21"}}));
  auto r = runPzpokl(dir, "dump\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TForm1 \"TAMBRA 01\" ===")) << r.out;
  EXPECT_EQ(dir.read("master.job"), stationTable({{"DAN2", "21"}, {"UZIVATEL", "01"}}));
}

// Without the station table, or with one too short to hold an entry, the station runs on its
// fallbacks and says so in the caption instead of showing no user.
TEST(ProgramStart, AMissingOrShortStationTableIsNamedInTheCaption) {
  for (const char* obsah : {"", "x"}) {
    TempDir dir;
    installStation(dir);
    if (*obsah) dir.write("master.job", obsah);
    else std::filesystem::remove(dir / "master.job");
    auto r = runPzpokl(dir, "dump\nEsc\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, "=== TForm1 \"TAMBRA - chybí master.job\" ===")) << r.out;
  }
}

// The suite keeps word 1 (user 01) of UZIVATEL.tab; the script plays the suite going away.
const std::string kSetSlot = "run printf '\\006\\000' | dd of=data/UZIVATEL.tab bs=1 seek=2 conv=notrunc 2>/dev/null\n";
const std::string kRestoreSlot = "run printf '\\005\\000' | dd of=data/UZIVATEL.tab bs=1 seek=2 conv=notrunc 2>/dev/null\n";

std::string slotTable() {
  std::string t(200, '\0');
  t[2] = 5;
  return t;
}

TEST(SuitePresence, TheThirdChangedReadingEndsTheProgramWithTheMessage) {
  TempDir dir;
  installStation(dir);
  dir.write("data/UZIVATEL.tab", slotTable());
  auto r = runPzpokl(dir, "wait 3000\n" + kSetSlot +
                              "wait 3000\n"
                              "wait 3000\n"
                              "dump\n"
                              "wait 3000\n"
                              "dump\n"
                              "Enter\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string message = "Program \"Valutová pokladna\" byl opuštěn programem TAMBRA";
  const size_t shown = r.out.find(message);
  ASSERT_NE(shown, std::string::npos) << r.out;
  // After two changed readings the program still ran without the message.
  EXPECT_LT(r.out.find("=== TForm1"), r.out.find("=== TfZprava"));
  EXPECT_EQ(r.out.find(message), r.out.rfind(message));
  EXPECT_FALSE(has(r.err, "left")) << r.err;
}

TEST(SuitePresence, AChangedReadingFollowedByAnUnchangedOneDoesNotEndIt) {
  TempDir dir;
  installStation(dir);
  dir.write("data/UZIVATEL.tab", slotTable());
  auto r = runPzpokl(dir, "wait 3000\n" + kSetSlot + "wait 3000\n" + kRestoreSlot + "wait 3000\n" + kSetSlot +
                              "wait 3000\n"
                              "wait 3000\n"
                              "dump\n"
                              "Esc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(has(r.out, "TfZprava")) << r.out;
  EXPECT_TRUE(has(r.out, "=== TForm1 \"TAMBRA 01\" ===")) << r.out;
}

TEST(SuitePresence, AMissingUserTableIsCreatedWithTheOwnSlot) {
  TempDir dir;
  installStation(dir);
  auto r = runPzpokl(dir, "wait 3000\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::string expected(200, '\0');
  expected[2] = 99;
  EXPECT_EQ(dir.read("data/UZIVATEL.tab"), expected);
}

bool somethingListensOn5050() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(5050);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool listening = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return listening;
}

TEST(LockServer, NobodyListeningShowsTheMessageAndEndsTheProgram) {
  if (somethingListensOn5050()) GTEST_SKIP() << "port 5050 of this machine is in use";
  TempDir dir;
  installStation(dir, {{"SERVER1", "127.0.0."}, {"SERVER2", "1"}});
  auto r = runPzpokl(dir, "dump\nEnter\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TfZprava")) << r.out;
  EXPECT_TRUE(has(r.out, "Server TAMBRA není spuštěn, obraťte se na správce sítě.")) << r.out;
  // The program ended before the main window showed any rates.
  EXPECT_FALSE(has(r.out, "12 , 21")) << r.out;
  EXPECT_FALSE(has(r.err, "left")) << r.err;
}

TEST(Installation, CashJournalModeHidesTheAccountingButtonAndTheCheckBox) {
  TempDir dir;
  installStation(dir, {{"FJ", "A"}});
  auto r = runPzpokl(dir, "dump\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "Valutová pokladna")) << r.out;
  EXPECT_FALSE(has(r.out, "Účetnictví")) << r.out;
  EXPECT_FALSE(has(r.out, "Podrozvahové")) << r.out;
}

TEST(OffBalanceSwitch, TheCheckBoxIsWrittenToTheCashDeskParametersOnClose) {
  TempDir dir;
  installStation(dir);
  dir.write("PZPOKL.PAR", "WebCNB : https://example.cz\r\n");
  auto r = runPzpokl(dir, "click 6 8\ndump\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "[X] Podrozvahové zúčtování")) << r.out;
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "WebCNB : https://example.cz\r\nPODROZVAHA : ANO\r\n");

  // Shown checked at the next start; two clicks leave the key out of the file.
  auto again = runPzpokl(dir, "dump\nclick 6 8\nclick 6 8\nEsc\n");
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(has(again.out, "[X] Podrozvahové zúčtování")) << again.out;
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "WebCNB : https://example.cz\r\nPODROZVAHA : ANO\r\n");

  auto off = runPzpokl(dir, "Tab Tab Space\nEsc\n");  // the keyboard way to the check box
  EXPECT_EQ(off.exitCode, 0) << off.err;
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "WebCNB : https://example.cz\r\n");
}

TEST(BadInput, ADamagedStationTableStillStarts) {
  TempDir dir;
  installStation(dir);
  std::string junk(500, '\xFF');
  dir.write("master.job", junk);
  auto r = runPzpokl(dir, "dump\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TForm1")) << r.out;
  // The user number went into the first free entry; the damaged bytes are kept as they were.
  const std::string now = dir.read("master.job");
  EXPECT_EQ(now.size(), 3600u);
  EXPECT_EQ(now.substr(0, 500), junk);
  EXPECT_EQ(now.substr(504, 18), stationTable({{"UZIVATEL", "01"}}).substr(0, 18));
}

TEST(BadInput, AnUnreadableDataAddressEndsTheStartWithAMessage) {
  TempDir dir;
  dir.write("master.job", stationTable(kStation));
  std::filesystem::create_directory(dir / "data.adr");  // a directory where the file should be
  auto r = runPzpokl(dir, "dump\nEnter\n");
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(has(r.out, "Soubor data.adr nelze přečíst (err     5), program končí.")) << r.out;
  EXPECT_FALSE(has(r.out, "TForm1")) << r.out;
}

}  // namespace
}  // namespace pz::test

namespace pz::test {
namespace {

// The shared event log gets the cash desk's start line and the program's end line.
TEST(EventLog, CashDeskStartAndProgramEndAreLogged) {
  TempDir dir;
  installStation(dir);
  // Esc leaves the own company form that the cash desk shows first, the series list, then the
  // main window.
  auto r = runPzpokl(dir, "Enter\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string log = dir.read("data/PROTOKOL.PRT");
  ASSERT_EQ(log.size(), 400u);  // the new log's own line, START, the series list's two, KONEC
  auto line = [&](size_t n) { return log.substr(n * 80 + 1, static_cast<unsigned char>(log[n * 80])); };
  EXPECT_EQ(line(0).substr(0, 9), "09.12.26 ");
  EXPECT_TRUE(has(line(0), "1 01  Pr\xE1zdn\xFD protokol")) << line(0);
  EXPECT_TRUE(has(line(1), "1 01 * START - Valutov\xE1 pokladna")) << line(1);
  EXPECT_TRUE(has(line(2), "Start - \xD8" "ady valutov\xE9 pokladny")) << line(2);
  EXPECT_TRUE(has(line(3), "Konec - \xD8" "ady valutov\xE9 pokladny")) << line(3);
  EXPECT_TRUE(has(line(4), "1 01 * KONEC - Valutov\xE1 pokladna")) << line(4);
}

}  // namespace
}  // namespace pz::test
