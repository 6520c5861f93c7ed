// The cash document as a value and its save: the entry's calculations on a document, the order of
// the saving steps, a declined step, a commit that fails at any write, and a station killed at any
// write of a save, with what the next station finds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cashdesk/document.h"
#include "cashdesk/documents.h"
#include "cashdesk/entry.h"
#include "cashdesk/intent.h"
#include "cashdesk/records.h"
#include "cashdesk/saving.h"
#include "cashdesk/series.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/syscalls.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::cashdesk {
namespace {

using D = tPzDoklad;
constexpr Penize kEur = 10000;  // one unit in ten-thousandths

std::vector<std::uint8_t> zaznamRady(const std::string& cislo, double kurz, int mnozstvi, double stav) {
  std::vector<std::uint8_t> v(tPzRada::kVelikost, 0);
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, cislo));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, "EUR"));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kKurz, kurz));
  EXPECT_TRUE(storage::writeU16(v, tPzRada::kMnozstvi, static_cast<std::uint16_t>(mnozstvi)));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, stav));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kUcet, 6, "000000"));
  return v;
}

std::string jakoText(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(CashDocument, ReadAndWrittenUnchangedKeepsItsBytesAndTheCalculationsAreDecimal) {
  platform::Date den{2026, 12, 9};
  std::vector<std::uint8_t> z = PrazdnyDoklad(den);
  ASSERT_TRUE(storage::writeShortString(z, D::kDruh, 1, "P"));
  ASSERT_TRUE(storage::writeReal48(z, D::kKurz, 24.3333));
  ASSERT_TRUE(storage::writeReal48(z, D::kPlacenoKc, 2433.33));
  ASSERT_TRUE(storage::writeShortString(z, D::kAdr1, 30, "Alfa s.r.o."));
  const std::vector<std::uint8_t> puvodni = z;
  bool ok = false;
  PokladniDoklad d = CtiDoklad(z, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.placenoKc, 24333300);
  ASSERT_TRUE(ZapisDoklad(d, z));
  EXPECT_EQ(z, puvodni);

  // 1.50 EUR at 25.35 is 38.025 exactly: 38.03, where doubles give 38.02.
  const RadaPokladny eur = CtiRadu(zaznamRady("01", 25.35, 1, 0));
  d.kurz = 25.35;
  d.celkemVal = d.placenoVal = 15000;
  ASSERT_EQ(KorunyDokladu(d, eur), ChybaVypoctu::Zadna);
  EXPECT_EQ(d.celkemKc, 380300);
  EXPECT_EQ(d.placenoKc, 380300);
  // 1000 JPY at 15.5 per 100, and back from crowns when they come from items.
  const RadaPokladny jpy = CtiRadu(zaznamRady("02", 15.5, 100, 0));
  d.kurz = 15.5;
  d.celkemVal = d.placenoVal = 1000 * kEur;
  ASSERT_EQ(KorunyDokladu(d, jpy), ChybaVypoctu::Zadna);
  EXPECT_EQ(d.placenoKc, 155 * kEur);
  d.celkemKc = 31 * kEur;
  d.placenoKc = 0;
  ASSERT_EQ(ValutyDokladu(d, jpy), ChybaVypoctu::Zadna);
  EXPECT_EQ(d.celkemVal, 200 * kEur);
  d.kurz = 0;
  EXPECT_EQ(ValutyDokladu(d, jpy), ChybaVypoctu::NulovyKurz);
  EXPECT_EQ(d.celkemVal, 200 * kEur);  // left as it was

  // Editing a receipt of 100 into an expenditure of 40 moves the balance by -140.
  PokladniDoklad pred;
  pred.druh = "P";
  pred.placenoVal = 100 * kEur;
  PokladniDoklad po;
  po.druh = "V";
  po.placenoVal = 40 * kEur;
  EXPECT_EQ(PohybStavu(&pred, po), -140 * kEur);
  EXPECT_EQ(PohybStavu(nullptr, po), -40 * kEur);
}

// A step that records its calls and, when it commits, writes one record of a batch file.
struct Zaznamy {
  std::vector<std::string> volani;
};

class FalesnyKrok : public KrokUkladani {
 public:
  FalesnyKrok(std::string nazev, PoradiKroku poradi, Zaznamy& z, bool prijmout = true, std::string davka = "")
      : nazev_(std::move(nazev)), poradi_(poradi), z_(z), prijmout_(prijmout), davka_(std::move(davka)) {}
  std::string_view Nazev() const override { return nazev_; }
  PoradiKroku Poradi() const override { return poradi_; }
  bool Priprav(Ukladani&) override {
    z_.volani.push_back("priprav " + nazev_);
    if (!prijmout_) {
      // A window of its own (the voucher or the posting's entries), left with Esc: declined.
      return storage::interaction().window(nazev_, [] { return 13; }) == 13;
    }
    return storage::interaction().question(nazev_ + "?", true);
  }
  bool Zapis(Ukladani& u, Zamer& zamer, const StavRady&) override {
    z_.volani.push_back("zapis " + nazev_);
    if (!davka_.empty()) zamer.Zapis(davka_, 64, std::vector<std::uint8_t>(64, static_cast<std::uint8_t>(u.cisloZaznamu)));
    return true;
  }

 private:
  std::string nazev_;
  PoradiKroku poradi_;
  Zaznamy& z_;
  bool prijmout_;
  std::string davka_;
};

class SaveService : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    dir.write("pz_ra.dta", jakoText(zaznamRady("01", 25, 1, 1000)));
    std::string doklady;
    for (int n = 1; n <= 3; ++n) doklady += jakoText(doklad(n, "P", 10));
    dir.write("PZ01_.dta", doklady);
    dir.write("PZA01_.dta", std::string(3 * kVelikostDodatku, '\x11'));
    dir.write("DAVKA.dta", std::string(128, '\x22'));
  }
  void TearDown() override {
    platform::sys() = platform::realSysCalls();
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  static std::vector<std::uint8_t> doklad(int n, const std::string& druh, int eur) {
    std::vector<std::uint8_t> z = PrazdnyDoklad(platform::Date{2026, 12, 9});
    PokladniDoklad d = CtiDoklad(z);
    d.druh = druh;
    d.ident = IdentDokladu(n);
    d.kurz = 25;
    d.celkemVal = d.placenoVal = eur * kEur;
    EXPECT_TRUE(ZapisDoklad(d, z));
    return z;
  }
  Ukladani novy(const std::string& druh, int eur) {
    Ukladani u;
    u.zaznam = doklad(4, druh, eur);
    u.doklad = CtiDoklad(u.zaznam);
    u.cisloZaznamu = 4;
    u.rada = CtiRadu(zaznamRady("01", 25, 1, 1000));
    return u;
  }
  double stav() const { return storage::readReal48(dir.read("pz_ra.dta"), tPzRada::kStav); }
  std::string soubory() const {
    return dir.read("PZ01_.dta") + "|" + dir.read("PZA01_.dta") + "|" + dir.read("pz_ra.dta") + "|" +
           dir.read("DAVKA.dta");
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST_F(SaveService, StepsRunInTheirOrderAndADeclinedOneIsSkippedWhileTheDocumentIsSaved) {
  Zaznamy z;
  SluzbaUkladani s;
  s.Registruj(std::make_unique<FalesnyKrok>("zauctovani", PoradiKroku::Zauctovani, z, true, "DAVKA.dta"));
  s.Registruj(std::make_unique<FalesnyKrok>("dph", PoradiKroku::DodatekDph, z));
  s.Registruj(std::make_unique<FalesnyKrok>("tisk", PoradiKroku::TiskDokladu, z, false));
  s.Registruj(std::make_unique<FalesnyKrok>("faktura", PoradiKroku::PlatbaFaktury, z));
  zpravy.windowAnswer = [](const std::string&) { return 27; };
  Ukladani u = novy("V", 40);
  u.doklad.placenoKc = 0;  // the crown step puts 1000.00 back
  ASSERT_EQ(s.Uloz(u, "PZ01_.dta"), VysledekUlozeni::Ulozeno);
  // Every question before any write, in the order of the steps; the declined voucher is skipped.
  EXPECT_EQ(z.volani, (std::vector<std::string>{"priprav dph", "priprav faktura", "priprav tisk", "priprav zauctovani",
                                                "zapis dph", "zapis faktura", "zapis zauctovani"}));
  EXPECT_EQ(zpravy.questions, (std::vector<std::string>{"dph?", "faktura?", "zauctovani?"}));
  EXPECT_EQ(zpravy.windows, std::vector<std::string>{"tisk"});
  EXPECT_EQ(u.preskocene, std::vector<std::string>{"tisk"});
  const std::string doklady = dir.read("PZ01_.dta");
  ASSERT_EQ(doklady.size(), 4u * D::kVelikost);
  const PokladniDoklad ulozeny = CtiDoklad(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(doklady.data()) + 3 * D::kVelikost, D::kVelikost));
  EXPECT_EQ(ulozeny.druh, "V");
  EXPECT_EQ(ulozeny.placenoKc, 1000 * kEur);
  EXPECT_EQ(dir.read("PZA01_.dta").size(), 4u * kVelikostDodatku);
  EXPECT_EQ(stav(), 960.0);
  EXPECT_EQ(dir.read("DAVKA.dta").substr(64), std::string(64, '\x04'));
  EXPECT_FALSE(std::filesystem::exists(dir / "PZ01_.jrn"));
}

// Every write of the commit fails in turn, once and for good, and torn: whatever fails, the files
// are as they were, and the save after it stores everything.
TEST_F(SaveService, ACommitThatFailsAtAnyWriteLeavesEveryFileByteForByte) {
  const std::string pred = soubory();
  int zapisu = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    Zaznamy z;
    SluzbaUkladani s;
    s.Registruj(std::make_unique<FalesnyKrok>("zauctovani", PoradiKroku::Zauctovani, z, true, "DAVKA.dta"));
    Ukladani u = novy("P", 10);
    bool ulozeno = false;
    {
      pz::test::FaultInjector f;
      if (n % 3 == 0) f.tearNthWrite(n / 3 + 1, ENOSPC);
      else f.failNth(pz::test::FaultOp::Write, n / 3 + 1, EIO, n % 3 == 2);
      ulozeno = s.Uloz(u, "PZ01_.dta") == VysledekUlozeni::Ulozeno;
      zapisu = f.calls(pz::test::FaultOp::Write);
    }
    if (ulozeno) {
      ASSERT_GT(n, 9);  // the commit writes at least the record, the document, supplement, balance and batch
      break;
    }
    // A disk that keeps failing cannot take the old bytes back either: the intent record stays
    // and the next open puts them back.
    if (n % 3 != 1) {
      EXPECT_NE(ObnovRadu("01"), Obnova::Chyba);
    }
    ASSERT_EQ(soubory(), pred);
    ASSERT_FALSE(std::filesystem::exists(dir / "PZ01_.jrn"));
    ASSERT_LT(n, 100);
  }
  EXPECT_GE(zapisu, 5);
  EXPECT_EQ(dir.read("PZ01_.dta").size(), 4u * D::kVelikost);
  EXPECT_EQ(stav(), 1010.0);
}

// A station killed at each write of a save, through the system call table in a child process:
// the next open finds the files as they were before the save; the run that is not killed stores
// the document, its supplement, the batch and the balance.
TEST_F(SaveService, AStationKilledAtAnyWriteOfASaveIsUndoneAtTheNextOpen) {
  const std::string pred = soubory();
  static int zbyva = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      zbyva = n;
      platform::sys().pwrite = [](int fd, const void* b, size_t len, off_t o) -> ssize_t {
        if (--zbyva == 0) raise(SIGKILL);
        return platform::realSysCalls().pwrite(fd, b, len, o);
      };
      Zaznamy z;
      SluzbaUkladani s;
      s.Registruj(std::make_unique<FalesnyKrok>("zauctovani", PoradiKroku::Zauctovani, z, true, "DAVKA.dta"));
      Ukladani u = novy("V", 30);
      _exit(s.Uloz(u, "PZ01_.dta") == VysledekUlozeni::Ulozeno ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    const bool zabit = WIFSIGNALED(status);
    ASSERT_TRUE(zabit || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
    EXPECT_NE(ObnovRadu("01"), Obnova::Chyba);
    const std::string doklady = dir.read("PZ01_.dta");
    if (zabit) {
      ASSERT_EQ(soubory(), pred);
    } else {
      ASSERT_EQ(doklady.size(), 4u * D::kVelikost);
      EXPECT_EQ(dir.read("PZA01_.dta").size(), 4u * kVelikostDodatku);
      EXPECT_EQ(dir.read("DAVKA.dta").substr(64), std::string(64, '\x04'));
      EXPECT_EQ(stav(), 970.0);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "PZ01_.jrn"));
    if (!zabit) break;
    // Back to the files before the save for the next kill.
    dir.write("PZ01_.dta", pred.substr(0, 3 * D::kVelikost));
    dir.write("PZA01_.dta", std::string(3 * kVelikostDodatku, '\x11'));
    dir.write("pz_ra.dta", jakoText(zaznamRady("01", 25, 1, 1000)));
    dir.write("DAVKA.dta", std::string(128, '\x22'));
    ASSERT_LT(n, 100);
  }
}

}  // namespace
}  // namespace pz::cashdesk

namespace pz::cashdesk {
namespace {

// A save of series 01 cut off after it appended its entries to the batch; before series 01 is
// opened again, a save of another series appends its own. Undoing the cut-off save takes its
// document and balance back but must not cut the batch back to its old length: the other
// series' entries stay, and the cashier is told that the cut-off save's entries stayed too.
TEST_F(SaveService, AnUndoneSaveNeverCutsOffWhatAnotherSeriesAppendedToTheBatchSince) {
  const std::string pred = dir.read("PZ01_.dta");
  PuvodniStav doklad{.druh = 'W', .jmeno = "PZ01_.dta", .pozice = 3 * D::kVelikost, .delka = 3 * D::kVelikost,
                     .pocet = D::kVelikost, .bajty = {}};
  PuvodniStav davka{.druh = 'W', .jmeno = "DAVKA.dta", .pozice = 128, .delka = 128, .pocet = 64, .bajty = {}};
  dir.write("PZ01_.jrn", ZakodujZamer({doklad, davka}));
  dir.write("PZ01_.dta", pred + jakoText(SaveService::doklad(4, "P", 10)));
  const std::string cizi(64, '\x33');
  dir.write("DAVKA.dta", std::string(128, '\x22') + std::string(64, '\x04') + cizi);

  EXPECT_EQ(ObnovRadu("01"), Obnova::Vraceno);
  EXPECT_EQ(dir.read("PZ01_.dta"), pred);
  EXPECT_EQ(dir.read("DAVKA.dta"), std::string(128, '\x22') + std::string(64, '\x04') + cizi);
  ASSERT_EQ(zpravy.messages.size(), 1u);
  EXPECT_NE(zpravy.messages[0].find("DAVKA.dta"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "PZ01_.jrn"));
}

}  // namespace
}  // namespace pz::cashdesk

namespace pz::cashdesk {
namespace {

// A payment of an invoice kept in a file every series writes: the paid count of its one record
// (eight digits) grows by the document's amount, as stored under the file's write lock.
class KrokPlatbyNaFakture : public KrokUkladani {
 public:
  std::string_view Nazev() const override { return "platba"; }
  PoradiKroku Poradi() const override { return PoradiKroku::PlatbaFaktury; }
  bool Priprav(Ukladani&) override { return true; }
  std::vector<std::string> Zamky(const Ukladani&) const override { return {storage::DataCesta("FAKT.dta")}; }
  bool Zapis(Ukladani& u, Zamer& zamer, const StavRady&) override {
    std::string stare;
    if (platform::readWholeFile(storage::DataCesta("FAKT.dta"), stare, platform::Share::DenyNone) != platform::kIoOk)
      return false;
    const std::string nove = std::to_string(100000000 + std::stoi(stare) + u.doklad.placenoVal / kEur).substr(1);
    zamer.Zapis("FAKT.dta", 0, std::vector<std::uint8_t>(nove.begin(), nove.end()));
    return true;
  }
};

// Series 01 paid 20 on an invoice and was cut off in the middle of its save; before series 01 is
// opened again, series 02 pays 5 on the same invoice. The cut-off save is undone first, so 02 pays
// on the invoice as it was (paid 15, not 35) and the later open of 01 has nothing left to put back
// over 02's payment. While another station holds series 01's lock, 02's save stores nothing.
TEST_F(SaveService, ASaveInAFileOfEverySeriesUndoesAnotherSeriesCutOffSaveFirst) {
  const std::string uzivatel = storage::settings().user;
  struct Vrat {
    std::string u;
    ~Vrat() { storage::settings().user = u; }
  } vrat{uzivatel};
  // Locks apply: the data root is not the working directory.
  pz::test::TempDir jinde;
  jinde.write("data.adr", dir.str() + "/\r\n");
  platform::paths().setWorkDir(jinde.str());
  storage::ZapomenAdresy();
  storage::settings().user = "01";
  dir.write("pz_ra.dta", jakoText(zaznamRady("01", 25, 1, 1020)) + jakoText(zaznamRady("02", 25, 1, 500)));
  const std::string doklady01 = dir.read("PZ01_.dta");
  dir.write("PZ02_.dta", doklady01);
  std::vector<std::uint8_t> stav01(6);
  ASSERT_TRUE(storage::writeReal48(stav01, 0, 1000));
  const auto prerusene = [&] {
    PuvodniStav doklad{.druh = 'W', .jmeno = "PZ01_.dta", .pozice = 3 * D::kVelikost, .delka = 3 * D::kVelikost,
                       .pocet = D::kVelikost, .bajty = {}};
    PuvodniStav faktura{.druh = 'W', .jmeno = "FAKT.dta", .pozice = 0, .delka = 8, .pocet = 8,
                        .bajty = {'0', '0', '0', '0', '0', '0', '1', '0'}};
    PuvodniStav stav{.druh = 'S', .jmeno = "01", .pozice = 0, .delka = 0, .pocet = 0, .bajty = stav01};
    dir.write("PZ01_.jrn", ZakodujZamer({doklad, faktura, stav}));
    dir.write("PZ01_.dta", doklady01 + jakoText(SaveService::doklad(4, "P", 20)));
    dir.write("FAKT.dta", "00000030");
  };
  const auto uloz02 = [&](int eur) {
    SluzbaUkladani s;
    s.Registruj(std::make_unique<KrokPlatbyNaFakture>());
    Ukladani u = novy("P", eur);
    u.rada = CtiRadu(zaznamRady("02", 25, 1, 500));
    return s.Uloz(u, "PZ02_.dta");
  };
  const auto stavRady = [&](int n) {
    return storage::readReal48(dir.read("pz_ra.dta").substr(static_cast<std::size_t>(n) * tPzRada::kVelikost),
                               tPzRada::kStav);
  };

  prerusene();
  const std::string doklady02 = dir.read("PZ02_.dta");
  storage::settings().user = "07";  // another station is opening series 01
  ASSERT_EQ(storage::Zamkni(ZamekStavu("01"), "W"), storage::Zamek::Drzen);
  storage::settings().user = "01";
  EXPECT_EQ(uloz02(5), VysledekUlozeni::Neulozeno);
  EXPECT_EQ(dir.read("FAKT.dta"), "00000030");
  EXPECT_TRUE(dir.read("PZ02_.dta") == doklady02);
  EXPECT_TRUE(std::filesystem::exists(dir / "PZ01_.jrn"));
  ASSERT_FALSE(zpravy.messages.empty());
  EXPECT_NE(zpravy.messages.back().find("01"), std::string::npos);
  storage::settings().user = "07";
  storage::Odemkni(ZamekStavu("01"));
  storage::settings().user = "01";

  ASSERT_EQ(uloz02(5), VysledekUlozeni::Ulozeno);
  EXPECT_EQ(dir.read("FAKT.dta"), "00000015");
  EXPECT_EQ(dir.read("PZ01_.dta"), doklady01);
  EXPECT_DOUBLE_EQ(stavRady(0), 1000);
  EXPECT_DOUBLE_EQ(stavRady(1), 505);
  EXPECT_FALSE(std::filesystem::exists(dir / "PZ01_.jrn"));
  EXPECT_EQ(ObnovRadu("01"), Obnova::Nic);
  EXPECT_EQ(dir.read("FAKT.dta"), "00000015");
}

}  // namespace
}  // namespace pz::cashdesk
