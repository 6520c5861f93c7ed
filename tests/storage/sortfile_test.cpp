// The file sort as the stored files show it: order files of a column sort (Czech order, equal
// values, dates), the disk merge with its work file, the status codes, an order file that is
// replaced only after a sort that succeeded, and whole records written back in key order.
#include "storage/sortfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/recordfile.h"
#include "storage/sortarray.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;
namespace fs = std::filesystem;

// One sort input entry: the key as a short string of 50, the record number twice.
std::string polozka(const std::string& klic, std::int32_t cislo) {
  std::string e(kPolozkaTrideni, '\0');
  EXPECT_TRUE(writeShortString(e, 0, kDelkaKlice, klic.substr(0, kDelkaKlice)));
  writeI32(e, 51, cislo);
  writeI32(e, 55, cislo);
  return e;
}

std::vector<std::pair<std::int32_t, std::int32_t>> zaznamy(const std::string& bytes) {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  for (size_t i = 0; i + 8 <= bytes.size(); i += 8) out.emplace_back(readI32(bytes, i), readI32(bytes, i + 4));
  return out;
}

class SortFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    setInteraction(&rec);
  }
  void TearDown() override {
    setInteraction(nullptr);
    platform::paths().clear();
  }
  std::vector<std::string> pracovniSoubory() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path()))
      if (std::regex_match(e.path().filename().string(), std::regex("SORT[0-9]{4}\\.WRK"))) out.push_back(e.path().filename());
    return out;
  }
  // Sorts a list of texts as a column would be and gives the texts in the order file's order.
  std::vector<std::string> setridSloupec(const std::vector<std::string>& hodnoty, DruhSloupce druh) {
    const int code = VytvorPoradi("seznam.dt1", static_cast<std::int32_t>(hodnoty.size()),
                                  [&](std::int32_t e) { return KlicSloupce(hodnoty[e - 1], druh, e); });
    EXPECT_EQ(code, 0);
    std::vector<std::string> out;
    for (auto [vet, radek] : zaznamy(dir.read("seznam.dt1"))) out.push_back(hodnoty.at(vet - 1));
    return out;
  }

  test::TempDir dir;
  RecordingInteraction rec;
};

// ---------------------------------------------------------------------------------------------
// Order files of a column sort

TEST_F(SortFileTest, NameColumnGivesCzechAlphabeticalOrder) {
  const std::vector<std::string> mesta = {cz("Ivančice"), cz("Děčín"),  cz("Chrudim"), cz("Hradec"),
                                          cz("Čáslav"),   cz("Cvikov"), cz("Brno")};
  EXPECT_EQ(setridSloupec(mesta, DruhSloupce::Text),
            (std::vector<std::string>{cz("Brno"), cz("Cvikov"), cz("Čáslav"), cz("Děčín"), cz("Hradec"),
                                      cz("Chrudim"), cz("Ivančice")}));
  EXPECT_FALSE(fs::exists(dir / kPracovniSoubor));
  EXPECT_TRUE(pracovniSoubory().empty());
}

TEST_F(SortFileTest, OrderEntriesNameTheRecordOfEachRowAndTheRowOfEachRecord) {
  const std::vector<std::string> jmena = {"Novak", "Adam", "Zeman", "Adam", "Kral"};
  setridSloupec(jmena, DruhSloupce::Text);
  // Rows: Adam(2), Adam(4), Kral(5), Novak(1), Zeman(3): equal values keep their record order.
  // Second fields: record 1 stands at row 4, record 2 at row 1, ...
  EXPECT_EQ(zaznamy(dir.read("seznam.dt1")),
            (std::vector<std::pair<std::int32_t, std::int32_t>>{{2, 4}, {4, 1}, {5, 5}, {1, 2}, {3, 3}}));
}

TEST_F(SortFileTest, RecordFileShowsTheNewOrderAndFindsEachRecordsRow) {
  std::string bajty;
  for (const char* jmeno : {"Zeman", "Adam", "Kral"}) {
    std::string r(9, '\0');
    EXPECT_TRUE(writeShortString(r, 0, 8, jmeno));
    bajty += r;
  }
  dir.write("org.dta", bajty);
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("=org.dta", kSPoradim + 9));
  const int code = VytvorPoradi(RecordFile::CestaPoradi(f.cesta(), 1), f.pocet(), [&](std::int32_t e) {
    f.CtiVetuPrimo(e);
    return KlicSloupce(readShortString(f.veta(), 0, 8), DruhSloupce::Text, e);
  });
  ASSERT_EQ(code, 0);
  ASSERT_TRUE(f.ObnovSoubor());
  ASSERT_TRUE(f.NastavPoradi(1));
  EXPECT_EQ(f.CisloZPoradi(1), 2);   // Adam at the top
  EXPECT_EQ(f.CisloZPoradi(3), 1);   // Zeman at the bottom
  EXPECT_EQ(f.CisloZPoradi2(1), 3);  // and record 1 (Zeman) is found at row 3
  EXPECT_EQ(f.CisloZPoradi2(3), 2);
  f.ZavriSoubor();
}

TEST_F(SortFileTest, ShortDatesSortByTheirWidenedYear) {
  const std::vector<std::string> data = {"01.01.05", "31.12.99", "15.06.39", "01.01.40", "02.01.05"};
  EXPECT_EQ(setridSloupec(data, DruhSloupce::DatumDdMmRr),
            (std::vector<std::string>{"01.01.40", "31.12.99", "01.01.05", "02.01.05", "15.06.39"}));
}

// ---------------------------------------------------------------------------------------------
// The engine on "pracovni.wrk"

TEST_F(SortFileTest, ThreeHundredThousandEntriesGoThroughTheDiskMergeAndTheWorkFileGoes) {
  constexpr std::int32_t kPocet = 300000;
  std::mt19937 g(19);
  std::vector<std::string> klice(kPocet);
  std::string vstup;
  vstup.reserve(static_cast<size_t>(kPocet) * kPolozkaTrideni);
  for (std::int32_t i = 0; i < kPocet; ++i) {
    // Few distinct keys of various lengths, so that many entries are equal and prefixes matter.
    klice[i] = std::string(1 + g() % 12, static_cast<char>('a' + g() % 3)) + static_cast<char>('a' + g() % 26);
    vstup += polozka(klice[i], i + 1);
  }
  dir.write(kPracovniSoubor, vstup);

  bool pracovniBehemSlevani = false;
  InfoTrideni info;
  const int stav = SetridSoubor(kPracovniSoubor, kPolozkaTrideni, [&](std::int64_t, std::int64_t) {
    pracovniBehemSlevani = pracovniBehemSlevani || pracovniSoubory().size() == 1;
  }, {}, &info);
  EXPECT_EQ(stav, 0);
  EXPECT_EQ(info.behu, 2);
  EXPECT_TRUE(std::regex_match(info.pracovniSoubor, std::regex("SORT[0-9]{4}\\.WRK")));
  EXPECT_TRUE(pracovniBehemSlevani);
  EXPECT_TRUE(pracovniSoubory().empty());

  std::vector<std::int32_t> ocekavane(kPocet);
  for (std::int32_t i = 0; i < kPocet; ++i) ocekavane[i] = i + 1;
  std::stable_sort(ocekavane.begin(), ocekavane.end(),
                   [&](std::int32_t a, std::int32_t b) { return klice[a - 1] < klice[b - 1]; });
  const auto vystup = zaznamy(dir.read(kPracovniSoubor));
  ASSERT_EQ(vystup.size(), static_cast<size_t>(kPocet));
  for (std::int32_t i = 0; i < kPocet; ++i) {
    ASSERT_EQ(vystup[i].first, ocekavane[i]) << "row " << i + 1;
    ASSERT_EQ(vystup[i].second, ocekavane[i]);
  }
}

TEST_F(SortFileTest, ManyRunsMergeStablyAndKeyBytesCompareUnsigned) {
  // Runs of 7 entries: 15 runs. Keys above 127 must sort after plain letters; equal keys that
  // lie in different runs must keep their input order.
  std::vector<std::string> klice = {"\xC8" "a", "b", "a", "ab", "", "\x9A", "b"};
  std::string vstup;
  std::vector<std::string> vsechny;
  for (std::int32_t i = 0; i < 100; ++i) {
    vsechny.push_back(klice[i % klice.size()]);
    vstup += polozka(vsechny.back(), i + 1);
  }
  dir.write(kPracovniSoubor, vstup);
  InfoTrideni info;
  EXPECT_EQ(SetridSoubor(kPracovniSoubor, kPolozkaTrideni, {}, {kPametTrideni, 7, kNejvicPolozek}, &info), 0);
  EXPECT_EQ(info.behu, 15);
  std::vector<std::int32_t> ocekavane(100);
  for (std::int32_t i = 0; i < 100; ++i) ocekavane[i] = i + 1;
  std::stable_sort(ocekavane.begin(), ocekavane.end(),
                   [&](std::int32_t a, std::int32_t b) { return vsechny[a - 1] < vsechny[b - 1]; });
  std::vector<std::int32_t> vysledek;
  for (auto [vet, druhe] : zaznamy(dir.read(kPracovniSoubor))) vysledek.push_back(vet);
  EXPECT_EQ(vysledek, ocekavane);
  EXPECT_TRUE(pracovniSoubory().empty());
}

TEST_F(SortFileTest, WriteErrorDuringARunGivesItsCodeAndLeavesTheInput) {
  std::string vstup;
  for (std::int32_t i = 0; i < 250; ++i) vstup += polozka(std::to_string(997 * i % 250), i + 1);
  dir.write(kPracovniSoubor, vstup);
  test::FaultInjector faults;
  faults.failNth(test::FaultOp::Write, 1, ENOSPC, true);  // the disk of the work file is full
  EXPECT_EQ(SetridSoubor(kPracovniSoubor, kPolozkaTrideni, {}, {kPametTrideni, 100, kNejvicPolozek}), 101);
  EXPECT_EQ(dir.read(kPracovniSoubor), vstup);
  EXPECT_TRUE(pracovniSoubory().empty());
}

TEST_F(SortFileTest, EntryLimitAndTooSmallEntries) {
  std::string vstup;
  for (std::int32_t i = 0; i < 8; ++i) vstup += polozka(std::string(1, static_cast<char>('h' - i)), i + 1);
  dir.write(kPracovniSoubor, vstup);
  // Over the limit: status 9, and the entries that were taken come out sorted.
  EXPECT_EQ(SetridSoubor(kPracovniSoubor, kPolozkaTrideni, {}, {kPametTrideni, 2, 5}), kStavPrilisMnoho);
  std::vector<std::int32_t> vysledek;
  for (auto [vet, druhe] : zaznamy(dir.read(kPracovniSoubor))) vysledek.push_back(vet);
  EXPECT_EQ(vysledek, (std::vector<std::int32_t>{5, 4, 3, 2, 1}));
  EXPECT_TRUE(pracovniSoubory().empty());

  dir.write(kPracovniSoubor, vstup);
  EXPECT_EQ(SetridSoubor(1), kStavMalaPolozka);
  EXPECT_EQ(dir.read(kPracovniSoubor), vstup);
}

TEST_F(SortFileTest, FailedSortLeavesTheOldOrderFileAndRemovesTheWorkFile) {
  dir.write("seznam.dt1", "old order file");
  test::FaultInjector faults;
  faults.failNth(test::FaultOp::Write, 2, ENOSPC);  // 1: the keys into pracovni.wrk; 2: the sorted output
  const int code = VytvorPoradi("seznam.dt1", 3, [](std::int32_t e) { return KlicSloupce("x", DruhSloupce::Text, e); });
  EXPECT_EQ(code, 101);
  EXPECT_EQ(dir.read("seznam.dt1"), "old order file");
  EXPECT_FALSE(fs::exists(dir / kPracovniSoubor));
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], cz("Err.   101 při třídění souboru pracovni.wrk"));
}

// ---------------------------------------------------------------------------------------------
// Whole records

TEST_F(SortFileTest, WholeRecordsAreWrittenBackInKeyOrderWithNothingLost) {
  constexpr std::int32_t kVeta = 71;  // the series record's size
  const std::vector<std::string> nazvy = {"EUR", "USD", "CZK", "EUR", "GBP"};
  std::string soubor;
  for (size_t i = 0; i < nazvy.size(); ++i) {
    std::string r(kVeta, static_cast<char>('0' + i));
    EXPECT_TRUE(writeShortString(r, 0, 3, nazvy[i]));
    soubor += r;
  }
  soubor += "partial";  // the tail of a write that failed long ago
  dir.write("pz_ra.dta", soubor);

  const int code = SetridVety("pz_ra.dta", kVeta,
                              [](std::span<const std::uint8_t> v, std::int32_t) { return readShortString(v, 0, 3); },
                              "pz_ra.wrk");
  EXPECT_EQ(code, 0);
  const std::string vysledek = dir.read("pz_ra.wrk");
  ASSERT_EQ(vysledek.size(), soubor.size());
  const std::vector<int> poradi = {2, 0, 3, 4, 1};  // CZK, EUR (1st), EUR (4th), GBP, USD
  for (size_t k = 0; k < poradi.size(); ++k)
    EXPECT_EQ(vysledek.substr(k * kVeta, kVeta), soubor.substr(static_cast<size_t>(poradi[k]) * kVeta, kVeta));
  EXPECT_EQ(vysledek.substr(poradi.size() * kVeta), "partial");
  EXPECT_EQ(dir.read("pz_ra.dta"), soubor);  // the caller replaces it; the sort only reads it
  EXPECT_TRUE(pracovniSoubory().empty());
}

}  // namespace
}  // namespace pz::storage
