// Attaching the cash desk's batch "PZUC.dta" to the general ledger "uc01.dta" through the real
// program, from the main window's accounting menu: by the vouchers marked in the list, the whole
// batch, the refusals that leave both files byte for byte, and a second process appending to the
// batch while the attach runs, a station killed in the middle of an attach; and the voucher print
// of the batch.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "accounting/entries.h"
#include "e2e/run.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "support/installation.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

std::string castka(std::int64_t v) {
  std::string b(8, '\0');
  for (int i = 0; i < 8; ++i) b[static_cast<size_t>(i)] = static_cast<char>(static_cast<std::uint64_t>(v) >> (8 * i));
  return b;
}

std::string zapis(const std::string& up, const std::string& radek, const std::string& md, const std::string& dal,
                  std::int64_t v, const std::string& agenda = "PZ") {
  return kratky(agenda, 2) + kratky(up, 6) + kratky(radek, 2) + kratky("Doklad " + up, 30) + kratky(md, 6) +
         kratky("20100", 5) + kratky("", 20) + kratky(dal, 6) + kratky("20100", 5) + kratky("", 20) + castka(v) +
         kratky("091226", 6) + kratky("", 10);
}

// Three balanced vouchers; the second is split into two one-sided lines.
const std::string kA = zapis("010001", "01", "211200", "602000", 1000000);
const std::string kB1 = zapis("010002", "01", "512000", "000000", 500000);
const std::string kB2 = zapis("010002", "02", "000000", "211200", 500000);
const std::string kC = zapis("010003", "01", "211200", "311000", 250000);
const std::string kLedger = zapis("009999", "01", "221000", "211200", 70000, "BA");

// The main window's accounting menu, its third item; then the way of attaching.
const char* const kPripojovani = "Tab\nEnter\nDown\nDown\nEnter\n";
const char* const kPodleVyberu = "Tab\nEnter\nDown\nDown\nEnter\nDown\nEnter\n";
const char* const kVsechny = "Tab\nEnter\nDown\nDown\nEnter\nDown\nDown\nEnter\n";

// Every run starts its menus at their first item: the last choice a menu remembers goes.
RunResult spust(const TempDir& d, const std::string& skript) {
  std::filesystem::remove(d / "par/VYBER.IDX");
  return runPzpokl(d, skript);
}

class Attach : public ::testing::Test {
 protected:
  void SetUp() override { install(dir, {.programRoot = true}); }
  TempDir dir;
};

TEST_F(Attach, MarkedVouchersMoveToTheLedgerAndTheRestStaysInTheBatch) {
  dir.write("data/PZUC.dta", kA + kB1 + kB2 + kC + kA);
  dir.write("data/uc01.dta", kLedger);
  // The list has four rows (010001 appears in two runs); marking the first two rows attaches
  // every entry of 010001 and 010002, wherever they stand.
  auto r = spust(dir, std::string(kPodleVyberu) + "dump\nInsert\nInsert\ndump\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Seznam UP z PZ"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Insert-označte pro připojení"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("010002      2              2"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + kA + kB1 + kB2 + kA);
  EXPECT_EQ(dir.read("data/PZUC.dta"), kC);
  EXPECT_FALSE(std::filesystem::exists(dir / "uc1.wrk"));

  // The last voucher into an empty ledger: the ledger is made of it, the batch is left empty.
  dir.write("data/uc01.dta", "");
  r = spust(dir, std::string(kPodleVyberu) + "Insert\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/uc01.dta"), kC);
  EXPECT_EQ(dir.read("data/PZUC.dta"), "");
  r = spust(dir, std::string(kPripojovani) + "dump\nEnter\nEsc\n");
  EXPECT_NE(r.out.find("Soubor účetnictví z PZ je prázdný, není co připojovat"), std::string::npos) << r.out;
}

TEST_F(Attach, AnUnbalancedSelectionIsRefusedAndBothFilesStayAsTheyWere) {
  // One side of voucher 010002 differs by 0.01 Kč.
  const std::string kB2spatne = zapis("010002", "02", "000000", "211200", 499900);
  const std::string davka = kA + kB1 + kB2spatne + kC;
  dir.write("data/PZUC.dta", davka);
  dir.write("data/uc01.dta", kLedger);
  auto r = spust(dir, std::string(kPodleVyberu) + "Down\nInsert\nEsc\ndump\nEnter\ndump\nEnter\ndump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Připojením by byl způsoben nesoulad stran MD-DAL o\n  0.0100  korun"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Připojení nelze provést pokud neuvedete strany do souladu"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Tato chyba pravděpodobně vznikla přepsáním čísla ÚP při\n  opravách"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), davka);
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger);
  // The work files stay for a look at what would have been attached.
  EXPECT_EQ(dir.read("uc1.wrk"), kB1 + kB2spatne);
  EXPECT_EQ(dir.read("uc2.wrk"), kA + kC);

  // "Všechny" attaches the same batch without a question; the batch is gone afterwards.
  r = spust(dir, std::string(kVsechny) + "Esc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + davka);
  EXPECT_FALSE(std::filesystem::exists(dir / "data/PZUC.dta"));
}

TEST_F(Attach, TheBusyFlagAReadOnlyStationAndABrokenLedgerChangeNothing) {
  const std::string davka = kA + kB1 + kB2;
  dir.write("data/PZUC.dta", davka);
  dir.write("data/uc01.dta", kLedger + "xyz");
  // A ledger of no whole number of entries is never appended to.
  auto r = spust(dir, std::string(kVsechny) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("nemá délku celých účetních zápisů"), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/PZUC.dta"), davka);
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + "xyz");

  struct Priznak {
    const char* hodnota;
    const char* zprava;
    const char* klavesy;  // one Enter per message
  };
  for (const auto& [hodnota, zprava, klavesy] :
       {Priznak{"PRENOS", "Potvrďte přenos a teprve pak spusťte tuto akci", "dump\nEnter\ndump\nEnter\nEsc\n"},
        Priznak{"N.OBDOBI", "Nedokončeno nastavení nového období", "dump\nEnter\nEnter\nEsc\n"},
        Priznak{"DF", "Připojení ÚP z agendy DF nedokončeno", "dump\nEnter\nEsc\n"}}) {
    TempDir d;
    install(d, {.dataRoot = {{"UC01", hodnota}}, .programRoot = true});
    d.write("data/PZUC.dta", davka);
    r = spust(d, std::string(kPripojovani) + klavesy);
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_NE(r.out.find(zprava), std::string::npos) << hodnota << r.out;
    EXPECT_EQ(r.out.find("Připojit ÚP z PZ"), std::string::npos) << r.out;
    EXPECT_EQ(d.read("data/PZUC.dta"), davka);
    EXPECT_FALSE(std::filesystem::exists(d / "data/uc01.dta"));
  }

  // A cash desk save cut off and not yet undone: its entries in the batch are not the ledger's.
  TempDir zamer;
  install(zamer, {.programRoot = true});
  zamer.write("data/PZUC.dta", davka);
  zamer.write("data/PZ01_.jrn", "PZJ1");
  r = spust(zamer, std::string(kPripojovani) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("zůstalo nedokončené uložení dokladu (PZ01_.jrn)"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Připojit ÚP z PZ"), std::string::npos) << r.out;
  EXPECT_EQ(zamer.read("data/PZUC.dta"), davka);
  EXPECT_FALSE(std::filesystem::exists(zamer / "data/uc01.dta"));

  TempDir cteni;
  install(cteni, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}, {"CTENI", "A"}},
                  .programRoot = true});
  cteni.write("data/PZUC.dta", davka);
  r = spust(cteni, std::string(kPripojovani) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Nemáte práva na připojování účetních zápisů"), std::string::npos) << r.out;
  EXPECT_EQ(cteni.read("data/PZUC.dta"), davka);
}

// Another station of the same installation: waits for a held lock as long as it takes.
class TrpelivaStanice : public storage::Interaction {
 public:
  void message(const std::string& text, bool) override { std::fprintf(stderr, "zprava: %s\n", text.c_str()); }
  bool question(const std::string&, bool) override { return false; }
  bool waitFor(const std::string&, int, const std::function<bool()>& attempt) override {
    for (int i = 0; i < 1000; ++i) {
      if (attempt()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
};

// In a forked process: station 02 of the installation in `dir`, waiting for held locks.
void staniceDva(const TempDir& dir) {
  if (chdir(dir.str().c_str()) != 0) _exit(2);
  platform::paths().setWorkDir(dir.str());
  storage::ZapomenAdresy();
  storage::settings().user = "02";
  static TrpelivaStanice stanice;
  storage::setInteraction(&stanice);
}

std::string jakoVDavce(const std::string& veta) {
  const auto v = accounting::SlozZapis(accounting::RozeberZapis(veta));
  return std::string(v.begin(), v.end());
}

std::string zaslany(int i) {
  char up[8];
  std::snprintf(up, sizeof up, "02%04d", i);
  return zapis(up, "01", "211200", "602000", 10000 * (i + 1));
}

// Station 02 posts vouchers 020000, 020001, ... one every 20 ms into the batch from before
// station 01 starts until it has ended, while station 01 attaches voucher 010001 by selection:
// its list is shown and waited on while the postings go on, then marked and left. Every posting
// is in the batch afterwards, in the order it was made, after the vouchers left behind; the ledger
// gained exactly the marked voucher.
TEST_F(Attach, AVoucherPostedByAnotherStationDuringAnAttachIsNeverLost) {
  dir.write("data/PZUC.dta", kA + kB1 + kB2 + kC);
  dir.write("data/uc01.dta", kLedger);
  int roura[2];
  ASSERT_EQ(pipe(roura), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(roura[0]);
    staniceDva(dir);
    // One character per posting, A when it was made, sent as it is made.
    for (int i = 0; i < 2000 && !std::filesystem::exists("stop"); ++i) {
      const char c = accounting::PridejDoDavky({accounting::RozeberZapis(zaslany(i))}, "PZUC.dta") ? 'A' : 'N';
      if (write(roura[1], &c, 1) != 1) _exit(3);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    _exit(0);
  }
  close(roura[1]);
  std::string hotovo;
  char c = 0;
  while (hotovo.size() < 5 && read(roura[0], &c, 1) == 1) hotovo += c;  // postings run before the start
  // When station 02 holds the batch at the moment, the wait window tries again each second.
  const std::string kPockej = "run sleep 0.1\nwait 1000\n";
  const auto r = spust(dir, std::string(kPodleVyberu) + "run sleep 0.5\nInsert\nEsc\n" + kPockej + kPockej + "Esc\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  dir.write("stop", "");
  while (read(roura[0], &c, 1) == 1) hotovo += c;
  close(roura[0]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;

  EXPECT_EQ(hotovo, std::string(hotovo.size(), 'A'));
  EXPECT_GT(hotovo.size(), 10u);  // postings went on while the list was shown
  std::string zaslane;
  for (size_t i = 0; i < hotovo.size(); ++i) zaslane += jakoVDavce(zaslany(static_cast<int>(i)));
  EXPECT_EQ(dir.read("data/uc01.dta"), kLedger + kA);
  EXPECT_EQ(dir.read("data/PZUC.dta"), kB1 + kB2 + kC + zaslane);
}

// A station killed (SIGKILL) in the middle of an attach, each round at a seeded moment: mostly
// just after the ledger took the marked voucher (the moment the batch has not yet given it up),
// sometimes anywhere in the run. The next start of the attach, or a posting of another station
// before it, finishes what the killed one began: afterwards every voucher is in exactly one of the batch and the ledger, whole, the two sides
// balance over both files, and the ledger is its old entries followed by the attached ones.
TEST_F(Attach, AStationKilledWhileAttachingLeavesEveryVoucherInExactlyOneFile) {
  // Vouchers of two one-sided entries each: many of them, so that the batch's replacement after
  // the ledger's takes long enough for a kill to land between the two.
  std::map<std::string, std::string> vouchers;  // voucher number -> its two entries
  std::string batch;
  for (int i = 0; i < 600; ++i) {
    char up[8];
    std::snprintf(up, sizeof up, "03%04d", i);
    const std::string v = zapis(up, "01", "512000", "000000", 10000 * (i + 1)) + zapis(up, "02", "000000", "211200", 10000 * (i + 1));
    vouchers[up] = v;
    batch += v;
  }
  dir.write("data/PZUC.dta", batch);
  dir.write("data/uc01.dta", kLedger);
  std::string ledger = kLedger;  // as the rounds have made it

  auto number = [](const std::string& e) { return e.substr(4, 6); };
  auto sizeOf = [&](const char* f) {
    std::error_code ec;
    const auto n = std::filesystem::file_size(dir / f, ec);
    return ec ? std::uintmax_t(-1) : n;
  };
  std::mt19937 rng(20261210);
  constexpr int kRounds = 10;
  int kills = 0, mid = 0, doubled = 0;
  for (int round = 0; round < kRounds; ++round) {
    // The last round attaches the whole batch; the others the first voucher of the list.
    const bool all = round == kRounds - 1;
    std::filesystem::remove(dir / "par/VYBER.IDX");
    const auto before = sizeOf("data/uc01.dta");
    const bool anywhere = round % 4 == 3;
    const auto delay = std::chrono::microseconds(anywhere ? std::uniform_int_distribution<int>(20000, 200000)(rng)
                                                          : std::uniform_int_distribution<int>(0, 1500)(rng));
    const pid_t pid = startPzpokl(dir, std::string(all ? kVsechny : kPodleVyberu) + (all ? "" : "Insert\nEsc\n") + "Esc\n");
    ASSERT_GT(pid, 0);
    int status = 0;
    bool ended = false;
    if (!anywhere) {
      // Watched until the ledger has changed (or the station ended, or 5 s passed).
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (sizeOf("data/uc01.dta") == before && std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
          ended = true;
          break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(20));
      }
    }
    if (!ended) {
      std::this_thread::sleep_for(delay);
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ++kills;
    if (std::filesystem::exists(dir / "data/PZUC.jrn")) ++mid;
    {
      // Vouchers in both files as the kill left them.
      const std::string l = dir.read("data/uc01.dta");
      const std::string b = std::filesystem::exists(dir / "data/PZUC.dta") ? dir.read("data/PZUC.dta") : "";
      for (size_t o = 0; o + 138 <= b.size(); o += 138)
        if (l.find(b.substr(o, 138)) != std::string::npos) {
          ++doubled;
          break;
        }
    }
    // The killed station's entries in the sharing tables would hold the files for ever: an
    // administrator clears them after a crash.
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
      if (e.path().filename() == "FOT.tab") std::filesystem::remove(e.path());

    if (round % 4 == 1) {
      // Here a posting of station 02 is the first to take the batch: it finishes the attach and
      // appends its voucher after the entries the batch kept.
      char up[8];
      std::snprintf(up, sizeof up, "04%04d", round);
      const std::string posted = zapis(up, "01", "211200", "602000", 7000 + round);
      const pid_t p = fork();
      ASSERT_GE(p, 0);
      if (p == 0) {
        staniceDva(dir);
        _exit(accounting::PridejDoDavky({accounting::RozeberZapis(posted)}, "PZUC.dta") ? 0 : 3);
      }
      int st = 0;
      ASSERT_EQ(waitpid(p, &st, 0), p);
      ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "round " << round;
      vouchers[up] = jakoVDavce(posted);
    }
    // The next attach, left at its choice.
    const auto r = spust(dir, std::string(kPripojovani) + "Esc\nEsc\nEsc\n");
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "data/PZUC.jrn")) << "round " << round;

    const std::string l = dir.read("data/uc01.dta");
    const std::string b = std::filesystem::exists(dir / "data/PZUC.dta") ? dir.read("data/PZUC.dta") : "";
    ASSERT_EQ(l.size() % 138, 0u) << "round " << round;
    ASSERT_EQ(b.size() % 138, 0u) << "round " << round;
    ASSERT_EQ(l.compare(0, ledger.size(), ledger), 0) << "round " << round << ": the ledger lost entries";
    std::map<std::string, std::string> seen;  // voucher number -> its entries in both files
    std::int64_t debit = 0, credit = 0;
    for (const std::string* f : {&l, &b})
      for (size_t o = 0; o < f->size(); o += 138) {
        const std::string e = f->substr(o, 138);
        std::int64_t amount = 0;
        std::memcpy(&amount, e.data() + 112, 8);
        if (e.substr(45, 6) != "000000") debit += amount;
        if (e.substr(79, 6) != "000000") credit += amount;
        if (e != kLedger) seen[number(e)] += e;
      }
    EXPECT_EQ(debit, credit) << "round " << round;
    ASSERT_EQ(seen.size(), vouchers.size()) << "round " << round << ": a voucher was lost";
    for (const auto& [up, entries] : vouchers)
      ASSERT_EQ(seen[up], entries) << "round " << round << ": voucher " << up << " lost or doubled";
    ledger = l;
  }
  std::cout << kills << " kills of " << kRounds << " rounds, " << mid << " with the attach's record standing, "
            << doubled << " with a voucher in both files at the kill\n";
  EXPECT_GT(kills, kRounds / 2);
  // The last round attached the whole batch; only the voucher posted after its kill is left.
  static_assert(kRounds % 4 == 2);
  EXPECT_EQ(dir.read("data/PZUC.dta"), vouchers["04" + std::to_string(10000 + kRounds - 1).substr(1)]);
}

// The voucher print from the main window's menu, through the viewer that shows it.
const char* const kOpis = "Tab\nEnter\nDown\nEnter\n";
const char* const kSmaz = "End\nBackspace\nBackspace\nBackspace\nBackspace\nBackspace\nBackspace\n";

TEST_F(Attach, ThePrintShowsItsSelectionTheTotalsOfEachVoucherAndTheApprovalBlock) {
  dir.write("data/PZUC.dta", kA + kB1 + kB2 + kC + zapis("010004", "01", "211200", "311000", 10000, "BA"));
  // From "10002" (filled to 010002), no upper bound, agenda PZ: vouchers 010002 and 010003.
  auto r = spust(dir, std::string(kOpis) + kSmaz + "type 10002\nEnter\ndump\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string tisk = r.out.substr(r.out.find("=== fPozri"));
  EXPECT_NE(tisk.find("ÚČETNÍ PŘEDPISY       [VÝBĚR]            OBDOBÍ: /??  DATUM: 09.12.26  List:   1"),
            std::string::npos) << tisk;
  EXPECT_NE(tisk.find("VÝBĚR:  OD ČÍS. ÚP: 010002      DO ČÍS. ÚP: DO KONCE      AGENDA: PZ"), std::string::npos)
      << tisk;
  EXPECT_EQ(tisk.find("Doklad 010001"), std::string::npos) << tisk;
  EXPECT_EQ(tisk.find("Doklad 010004"), std::string::npos) << tisk;
  EXPECT_NE(tisk.find("  10002  1 Doklad 010002                    512000 20100           20100           50.00   "
                      "091226            PZ"),
            std::string::npos) << tisk;
  EXPECT_NE(tisk.find("  10002  2 Doklad 010002                           20100    211200 20100           50.00"),
            std::string::npos) << tisk;
  EXPECT_NE(tisk.find("MÁ DÁTI:            50.00  DAL:            50.00  CELK.:           100.00"), std::string::npos)
      << tisk;
  EXPECT_NE(tisk.find("CELKEM VÝBĚR:  MÁ DATI:          75.00  DAL:          75.00  CELK.:         125.00    "
                      "Celk. počet řádků: 3"),
            std::string::npos) << tisk;
  // The stored report holds the same lines, 112 characters each, in the code page of the reports.
  const std::string soubor = dir.read("PZ22.TXT");
  EXPECT_NE(soubor.find(platform::cz("VÝBĚR:  OD ČÍS. ÚP: 010002      DO ČÍS. ÚP: DO KONCE      AGENDA: PZ") +
                        std::string(40, ' ')),
            std::string::npos) << soubor;

  // List mode over every agenda, with the approval block that DF.par asks for: one line per
  // voucher with its entry count, report "UC22".
  dir.write("DF.par", "PREDKONTACEprisp : Ano\r\n");
  r = spust(dir, std::string(kOpis) + "Down\nDown\nBackspace\nBackspace\nDown\nBackspace\ntype A\nEnter\ndump\n"
                                      "Esc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string seznam = r.out.substr(r.out.find("=== fPozri"));
  EXPECT_NE(seznam.find("ÚČETNÍ PŘEDPISY       [SEZNAM]"), std::string::npos) << seznam;
  EXPECT_NE(seznam.find("ČÍS.ÚP ČŘ  PŘ AG"), std::string::npos) << seznam;
  EXPECT_NE(seznam.find(" 10002  2    PZ  MÁ DÁTI:            50.00  DAL:            50.00  CELK.:           100.00"),
            std::string::npos) << seznam;
  EXPECT_NE(seznam.find(" 10004  1    BA  MÁ DÁTI:             1.00"), std::string::npos) << seznam;
  EXPECT_NE(seznam.find("Celk. počet řádků: 5"), std::string::npos) << seznam;
  EXPECT_EQ(seznam.find("Doklad 0100"), std::string::npos) << seznam;
  EXPECT_NE(seznam.find("U finanční operace proběhla finanční kontrola ve smyslu Zákona č. 320/2001 Sb."),
            std::string::npos) << seznam;
  EXPECT_NE(dir.read("UC22.TXT").find(platform::cz("Doklad byl řádně přezkoušen. (hlavní účetní)")), std::string::npos);

  // An agenda with no entries, and an empty batch.
  r = spust(dir, std::string(kOpis) + "Down\nDown\nBackspace\nBackspace\ntype SK\nEnter\ndump\nEsc\nEsc\n");
  EXPECT_NE(r.out.find("*********** PRO ZADANÝ VÝBĚR NENALEZENY ZÁZNAMY ***************"), std::string::npos) << r.out;
  dir.write("data/PZUC.dta", "");
  r = spust(dir, std::string(kOpis) + "dump\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Zásobník účetních předpisů agendy PZ je prázdný -> není co"), std::string::npos)
      << r.out;
}

}  // namespace
}  // namespace pz::test
