// The attach of a batch to the ledger, both ways, under every fault of the set at every call it
// makes. Afterwards the files are byte for byte the old ones or the complete new ones, and a run
// that kept the old ones showed the user why.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "accounting/accounts.h"
#include "accounting/attach.h"
#include "accounting/centres.h"
#include "accounting/entries.h"
#include "accounting/journal.h"
#include "accounting/templates.h"
#include "platform/paths.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faultsweep.h"
#include "support/script.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using accounting::tUcZapis;
namespace fs = std::filesystem;

tUcZapis zapis(const std::string& up, const std::string& radek, std::int64_t castka, const std::string& datum) {
  tUcZapis z;
  z.agenda = "PZ";
  z.cisloUP = up;
  z.radek = radek;
  z.text = "Zapis " + up + std::string(18, ' ');
  z.ucetMD = "211200";
  z.ucetDal = "221000";
  z.zakMD = z.zakDal = std::string(20, ' ');
  z.castka = castka;
  z.datum = datum;
  z.parUdaj = std::string(10, ' ');
  return z;
}

std::string bajty(const std::vector<tUcZapis>& z) {
  std::string s;
  for (const auto& e : z) {
    const auto v = accounting::SlozZapis(e);
    s.append(v.begin(), v.end());
  }
  return s;
}

// Answers for every message box a failing run may raise, and more.
const std::string kPotvrzeni = [] {
  std::string s;
  for (int i = 0; i < 12; ++i) s += "dump\nEsc\n";
  return s;
}();

class RewriteFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  // A fresh installation with these files of the data root.
  void priprav(const std::map<std::string, std::string>& data) {
    for (const auto& e : fs::directory_iterator(dir.path())) fs::remove_all(e.path());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("PROG/.keep", "");
    std::string osnova;
    for (const char* u : {"211200", "221000"}) {
      std::string v = std::string("\x06") + u + "\x1e" + "Ucet " + u + std::string(19, ' ');
      v.resize(79, '\0');
      osnova += v;
    }
    dir.write("DATA/CI10.DTA", osnova);
    for (const auto& [jmeno, obsah] : data) dir.write("DATA/" + jmeno, obsah);
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::ZapomenOtevrenaOkna();
    zpravy.messages.clear();
  }
  std::string stav(const std::vector<std::string>& soubory) const {
    std::string s;
    for (const auto& f : soubory)
      s += f + "=" + (fs::exists(dir / ("DATA/" + f)) ? dir.read("DATA/" + f) : std::string("<none>")) + "\n";
    return s;
  }
  // Runs `akce` under `skript` for every fault; the files named are compared as a whole.
  // Answers how many runs said that the entries could not all be read.
  int sweep(const std::map<std::string, std::string>& data, const std::vector<std::string>& soubory,
            const std::string& skript, const std::function<void()>& akce, const char* nazev, bool slovo = true,
            const std::function<bool(const test::FaultCase&)>& ktere = {}) {
    const std::string stary = [&] {
      priprav(data);
      return stav(soubory);
    }();
    priprav(data);
    const test::ScriptRun cista = test::runScript(dir, skript + kPotvrzeni, akce);
    EXPECT_NE(cista.rc, 3) << cista.err;
    const std::string novy = stav(soubory);
    EXPECT_NE(novy, stary) << "the fault-free run changed nothing:\n" << cista.out;
    EXPECT_EQ(cista.out.find("=== TfZprava"), std::string::npos) << cista.out;
    if (novy == stary || cista.rc == 3) return 0;
    int stejne = 0, nove = 0, tiche = 0, necele = 0;
    test::ScriptRun r;
    const int vypadky = test::sweepFaults(
        [&] { priprav(data); },
        [&](const test::UnderFaults& poruchy) {
          r = test::runScript(dir, skript + kPotvrzeni, [&] { poruchy(akce); });
        },
        [&](const test::FaultCase& f, const std::string& porucha, bool nastala) {
          const std::string po = stav(soubory);
          if (po == novy) {
            ++nove;
            return;
          }
          ASSERT_EQ(po, stary) << porucha << ": neither the old files nor the new ones\n" << r.out;
          ++stejne;
          if (r.out.find("nelze přečíst celé") != std::string::npos) ++necele;
          if (!nastala || r.out.find("=== TfZprava") != std::string::npos || !zpravy.messages.empty()) return;
          ++tiche;
          // A failed read of what the menus remember ends a run before it changed anything.
          if (slovo && f.op != test::FaultOp::Read)
            ADD_FAILURE() << porucha << ": the files were kept without a word\n" << r.out << r.err;
        },
        ktere);
    std::cout << nazev << ": " << vypadky << " faults fired, " << stejne << " kept the old files, " << nove
              << " gave the new ones, " << tiche << " of the kept ones without a message\n";
    EXPECT_GT(vypadky, 0);
    return necele;
  }
  // The journal over the batch, as the corrections item opens it: a fresh window each run, as
  // the window remembers the answers of its dialogs.
  static void denik() {
    accounting::TfUc uc;
    uc.Nastav("PZUC.dta", "00000101");
    uc.JdiNa(1);
    uc.showModal();
    uc.Zavri();
  }

  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  accounting::TfCis10 osnova;
  accounting::TfCis30 strediska;
  accounting::TfCis36 zakazky;
  accounting::TfCis11 predkontace;
  accounting::TfUc uc;
};

const std::string kDavka = bajty({zapis("000005", "01", 10000, "030122"), zapis("000006", "01", 20000, "l5O2OO"),
                                  zapis("000007", "01", 30000, "310122")});
const std::string kKniha = bajty({zapis("000001", "01", 70000, "020122")});

TEST_F(RewriteFaults, AttachingTheWholeBatch) {
  sweep({{"PZUC.dta", kDavka}, {"uc01.dta", kKniha}}, {"PZUC.dta", "uc01.dta"}, "Down\nDown\nEnter\n",
        [] { accounting::PripojDavku("PZUC.dta"); }, "attach all");
}

TEST_F(RewriteFaults, AttachingTheMarkedVouchers) {
  sweep({{"PZUC.dta", kDavka}, {"uc01.dta", kKniha}}, {"PZUC.dta", "uc01.dta"}, "Down\nEnter\nDown\nInsert\nEsc\n",
        [] { accounting::PripojDavku("PZUC.dta"); }, "attach marked");
}

// The journal's rewrites of the batch from its menu and keys (the year-2000 repair, the sort and
// the moves rewrite through the same step as these two). A read that missed entries
// must refuse the rewrite and say so, never write the batch without them (nor crash on the
// duplicate of an entry it did not read).
TEST_F(RewriteFaults, TheJournalsDateReplacementAndDuplicate) {
  const std::map<std::string, std::string> data{{"PZUC.dta", kDavka}};
  // A message raised in the middle of a key script takes the script's next key, so it is not
  // always on a dumped screen: these runs are held to the files alone.
  const int zamena = sweep(data, {"PZUC.dta"}, "F10\nDown\nDown\nDown\nDown\nDown\nEnter\ntype 0122\nDown\ntype 0226\nF2\ndump\nEsc\n",
                           [] { denik(); }, "date replacement", false);
  EXPECT_GT(zamena, 0) << "no read fault of the date replacement was refused with its message";
  // The duplicate of an entry that a failed read left out.
  EXPECT_GT(sweep(data, {"PZUC.dta"}, "Down\nDown\nAlt+F4\ndump\nEsc\n", [] { denik(); }, "duplicate", false,
                  [](const test::FaultCase& f) { return f.op == test::FaultOp::Read; }),
            0);
}

// The correction run: a work copy corrected in the journal goes back into the batch only whole,
// under the batch's write lock; a lock refused says so.
TEST_F(RewriteFaults, TheCorrectionRun) {
  // The second entry lost its agenda, which the run gives back from the one before.
  tUcZapis bez = zapis("000006", "01", 20000, "150122");
  bez.agenda = "  ";
  const std::string davka = bajty({zapis("000005", "01", 10000, "030122"), bez, zapis("000007", "01", 30000, "310122")});
  sweep({{"PZUC.dta", davka}}, {"PZUC.dta"}, "dump\nEsc\ndump\n", [] { accounting::OpravyDavky("PZUC.dta"); }, "correction run");
}

// The voucher a posting proposes comes back whole or not at all.
TEST_F(RewriteFaults, TheProposedVoucherIsWholeOrRefused) {
  const std::vector<tUcZapis> navrh{zapis("000008", "01", 10000, "030122"), zapis("000008", "02", 20000, "030122"),
                                    zapis("000008", "03", 30000, "030122")};
  std::optional<std::vector<tUcZapis>> prijate;
  int cele = 0, odmitnute = 0;
  test::ScriptRun r;
  const int vypadky = test::sweepFaults(
      [&] {
        priprav({});
        prijate.reset();
      },
      [&](const test::UnderFaults& poruchy) {
        r = test::runScript(dir, "Esc\nA\n" + kPotvrzeni, [&] { poruchy([&] { prijate = accounting::UkazPredpis(navrh); }); });
      },
      [&](const test::FaultCase&, const std::string& porucha, bool) {
        if (!prijate) {
          ++odmitnute;
          return;
        }
        EXPECT_EQ(bajty(*prijate), bajty(navrh)) << porucha << ": a part of the voucher was accepted\n" << r.out;
        ++cele;
      });
  std::cout << "proposed voucher: " << vypadky << " faults fired, " << cele << " whole, " << odmitnute << " refused\n";
  EXPECT_GT(odmitnute, 0);
}

}  // namespace
}  // namespace pz
