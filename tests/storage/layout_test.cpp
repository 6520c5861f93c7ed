// Record layout conversion as the stored files show it: old-layout files built byte by byte are
// converted, new ones are left alone, every field kind lands as the new layout expects, and a
// failure or another station's hold leaves the original file untouched.
#include "storage/layout.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;
namespace fs = std::filesystem;

// A short string as stored: length byte, then the text filled to the width with `vypln`.
std::string ss(const std::string& text, size_t sirka, char vypln = ' ', int delka = -1) {
  std::string t = text;
  t.resize(sirka, vypln);
  return std::string(1, static_cast<char>(delka < 0 ? sirka : static_cast<size_t>(delka))) + t;
}
std::string u16(unsigned v) { return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)}; }
std::string i64(long long v) {
  std::string s;
  for (int i = 0; i < 8; ++i) s += static_cast<char>((static_cast<unsigned long long>(v) >> (8 * i)) & 0xff);
  return s;
}
std::string r48(double v) {
  const auto r = doubleToReal48(v);
  return std::string(r->begin(), r->end());
}

// Old layout: code, name, count, a DDMMYY date. 4 + 11 + 2 + 7 = 24 bytes.
const char* kStary =
    "Popis ceníku, verze 1\r\n"
    "Kód : S3; \"Kód\" \"X\"\r\n"
    "Název : S10; \"Název\" \"X\"\r\n"
    "Počet : W \"Počet\" \"####W\"\r\n"
    "Datum : S6; \"Datum\" \"D\"\r\n";
// New layout: shorter name, count as a real, a DDMMYYYY date, and two new fields.
// 4 + 6 + 6 + 9 + 8 + 7 = 40 bytes.
const char* kNovy =
    "KÓD: S3; \"Kód\" \"X\"\n"
    "NÁ ZEV: S5; \"Název\" \"X\"\n"
    "Počet: R \"Počet\" \"####.##R\"\n"
    "Datum: S8; \"Datum\" \"Q\"\n"
    "Suma: C \"Suma\" \"####.##C\"\n"
    "Banka: S6; \"Kód\" \"P\"\n";

std::string staraVeta(const std::string& kod, const std::string& nazev, unsigned pocet, const std::string& datum) {
  return ss(kod, 3) + ss(nazev, 10) + u16(pocet) + ss(datum, 6);
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/.keep", "");
    ZapomenAdresy();
    setInteraction(&okno);
    settings().user = "01";
    popis("stary.pol", kStary);
    popis("novy.pol", kNovy);
    data = DataCesta("cenik.dta");
  }
  void TearDown() override {
    setInteraction(nullptr);
    settings() = GlobalSettings{};
    ZapomenAdresy();
    platform::paths().clear();
  }
  void popis(const std::string& jmeno, const char* utf8) { dir.write("PROG/dlib/" + jmeno, cz(utf8)); }
  bool preved(const std::string& stary = "stary.pol", const std::string& novy = "novy.pol") {
    return PrevedSoubor(data, data, ProgCesta("dlib\\" + stary), ProgCesta("dlib\\" + novy));
  }
  std::string soubor() const { return dir.read("DATA/cenik.dta"); }
  void zapis(const std::string& bytes) const { dir.write("DATA/cenik.dta", bytes); }
  // Files of the data directory other than the data file, the sharing table and the marker.
  std::vector<std::string> zbyle() const {
    std::vector<std::string> jmena;
    for (const auto& e : fs::directory_iterator(dir / "DATA")) {
      const std::string j = e.path().filename().string();
      // The sharing table and this station's session stamp beside it belong to the locks.
      const bool zamky = j == "FOT.tab" || (j.starts_with("FOT") && j.ends_with(".ses"));
      if (j != "cenik.dta" && !zamky && j != ".keep") jmena.push_back(j);
    }
    return jmena;
  }

  test::TempDir dir;
  RecordingInteraction okno;
  std::string data;
};

TEST_F(LayoutTest, MalformedDescriptionIsRejectedWithAMessageAndNothingConverted) {
  const std::string puvodni = staraVeta("EUR", "Euro", 3, "010524");
  zapis(puvodni);
  popis("typ.pol", "Kód: S3; \"\" \"X\"\nKurz: F \"\" \"\"\n");
  popis("strednik.pol", "Kód: S3 \"\" \"X\"\n");
  EXPECT_FALSE(preved("stary.pol", "typ.pol"));
  EXPECT_FALSE(preved("strednik.pol", "novy.pol"));
  EXPECT_EQ(soubor(), puvodni);
  ASSERT_EQ(okno.messages.size(), 2u);
  EXPECT_NE(okno.messages[0].find(cz("neznámý typ položky F")), std::string::npos);
  EXPECT_NE(okno.messages[1].find(cz("středník")), std::string::npos);
  std::string chyba;
  EXPECT_FALSE(CtiPopis("bez dvojteček\n", &chyba));
  EXPECT_FALSE(chyba.empty());
}

TEST_F(LayoutTest, MissingDescriptionOrDataFileGivesItsMessage) {
  zapis(staraVeta("EUR", "Euro", 3, "010524"));
  EXPECT_FALSE(preved("chybi.pol", "novy.pol"));
  EXPECT_FALSE(preved("stary.pol", "chybi.pol"));
  data = DataCesta("nic.dta");
  EXPECT_FALSE(preved());
  ASSERT_EQ(okno.messages.size(), 3u);
  EXPECT_EQ(okno.messages[0], cz("Chybí popis vstupní položky ") + ProgCesta("dlib\\chybi.pol"));
  EXPECT_EQ(okno.messages[1], cz("Chybí popis výstupní položky ") + ProgCesta("dlib\\chybi.pol"));
  EXPECT_EQ(okno.messages[2], cz("Chybí vstupní soubor ") + DataCesta("nic.dta"));
}

TEST_F(LayoutTest, OneOldRecordIsConvertedAndASecondCallDoesNothing) {
  zapis(staraVeta("EUR", "Euro", 7, "0l0595"));
  ASSERT_TRUE(preved());
  const std::string nova = ss("EUR", 3) + ss("Euro ", 5) + r48(7.0) + ss("0l051995", 8) + i64(0) + ss("", 6, '0');
  EXPECT_EQ(soubor(), nova);
  EXPECT_FALSE(preved());
  EXPECT_EQ(soubor(), nova);
  EXPECT_TRUE(okno.messages.empty());
  EXPECT_TRUE(zbyle().empty());  // no work file left behind
}

TEST_F(LayoutTest, ManyOldRecordsAreConvertedInOrder) {
  zapis(staraVeta("EUR", "Euro", 1, "311299") + staraVeta("USD", "Dolar", 2, "") +
        staraVeta("GBP", "Libra", 3, "000000"));
  ASSERT_TRUE(preved());
  const std::string s = soubor();
  ASSERT_EQ(s.size(), 120u);
  EXPECT_EQ(s.substr(40, 10), ss("USD", 3) + ss("Dolar", 5));
  EXPECT_EQ(s.substr(16, 9), ss("31121999", 8));
  EXPECT_EQ(s.substr(56, 9), ss("", 8));   // no date stays no date
  EXPECT_EQ(s.substr(96, 9), ss("", 8));   // "000000" too
  EXPECT_EQ(s.substr(90, 6), r48(3.0));
}

TEST_F(LayoutTest, FilesThatDoNotLookOldAreLeftAlone) {
  // One record of the new layout.
  const std::string nova = ss("EUR", 3) + ss("Euro ", 5) + r48(7.0) + ss("01052024", 8) + i64(0) + ss("", 6, '0');
  zapis(nova);
  EXPECT_FALSE(preved());
  EXPECT_EQ(soubor(), nova);
  // Three new records are 120 bytes, five old records as well: but where the second old record's
  // first text would begin there is no length byte of its width.
  std::string tri;
  for (int i = 0; i < 3; ++i) tri += nova;
  zapis(tri);
  EXPECT_FALSE(preved());
  EXPECT_EQ(soubor(), tri);
  // A size that is no whole number of old records.
  zapis(staraVeta("EUR", "Euro", 1, "") + "x");
  EXPECT_FALSE(preved());
  EXPECT_TRUE(okno.messages.empty());
}

TEST_F(LayoutTest, EqualRecordSizesAreNeverConverted) {
  // The same 24 bytes with the date retyped: converting again at every open would flip it.
  popis("jiny.pol",
        "Kód : S3; \"\" \"X\"\nNázev : S10; \"\" \"X\"\nPočet : W \"\" \"\"\nDatum : S6; \"\" \"d\"\n");
  const std::string puvodni = staraVeta("EUR", "Euro", 3, "010524");
  zapis(puvodni);
  EXPECT_FALSE(preved("stary.pol", "jiny.pol"));
  EXPECT_EQ(soubor(), puvodni);
}

TEST_F(LayoutTest, NewLayoutFileAsLongAsOneOldRecordIsTestedLikeAnyOther) {
  // Old 24 bytes, new 12: two new records are exactly one old record long.
  popis("kratky.pol", "Kód: S3; \"\" \"X\"\nPočet: W \"\" \"\"\nX: I \"\" \"\"\nY: W \"\" \"\"\n");
  std::string dve;
  for (int i = 0; i < 2; ++i) dve += ss("EUR", 3) + u16(2) + std::string(4, '\0') + std::string(2, '\x01');
  ASSERT_EQ(dve.size(), 24u);
  zapis(dve);
  EXPECT_FALSE(preved("stary.pol", "kratky.pol"));
  EXPECT_EQ(soubor(), dve);
  // A true old record of that size is still converted.
  zapis(staraVeta("CHF", "Frank", 9, ""));
  EXPECT_TRUE(preved("stary.pol", "kratky.pol"));
  EXPECT_EQ(soubor(), ss("CHF", 3) + u16(9) + std::string(6, '\0'));
}

// ---------------------------------------------------------------------------------------------
// Field conversions, one pair of descriptions at a time

struct Pripad {
  const char* nazev;
  const char* stary;  // one or more field lines
  const char* novy;
  std::string vstup;  // the old record
  std::string vystup; // the expected new record
};

std::string prevedVetu(const char* stary, const char* novy, const std::string& vstup) {
  auto s = CtiPopis(cz(stary));
  auto n = CtiPopis(cz(novy));
  EXPECT_TRUE(s && n);
  if (!s || !n) return {};
  Sparuj(*n, *s);
  std::vector<std::uint8_t> veta = PrazdnaVeta(*n);
  PrevedVetu(*s, *n, vstup, veta);
  return std::string(veta.begin(), veta.end());
}

TEST(LayoutFields, EveryKindLandsAsTheNewLayoutExpects) {
  const std::vector<Pripad> pripady = {
      {"X 10 into X 5 keeps the start", "A: S10; \"\" \"X\"", "A: S5; \"\" \"X\"", ss("ABC", 10), ss("ABC", 5)},
      {"Y 10 into Y 12 gets two blanks in front", "A: S10; \"\" \"Y\"", "A: S12; \"\" \"Y\"",
       ss("     12345", 10), ss("       12345", 12)},
      {"X into Y is not converted", "A: S10; \"\" \"X\"", "A: S10; \"\" \"Y\"", ss("ABC", 10), ss("", 10)},
      {"L widened with zeros", "A: S3; \"\" \"L\"", "A: S6; \"\" \"L\"", ss("211", 3), ss("211000", 6)},
      {"P widened with zeros in front", "A: S3; \"\" \"P\"", "A: S4; \"\" \"P\"", ss("800", 3), ss("0800", 4)},
      {"unmatched P is zeros, p blanks, C zero", "A: B \"\" \"\"",
       "A: B \"\" \"\"\nK: S6; \"\" \"P\"\nk: S6; \"\" \"p\"\nM: C \"\" \"\"", "\x05",
       "\x05" + ss("000000", 6) + ss("", 6) + i64(0)},
      {"W 7 into R is 7.0", "A: W \"\" \"\"", "A: R \"\" \"\"", u16(7), r48(7.0)},
      {"B into W and I widened", "A: B \"\" \"\"\nB: B \"\" \"\"", "A: W \"\" \"\"\nB: I \"\" \"\"", "\xff\x80",
       u16(255) + std::string("\x80\0\0\0", 4)},
      {"R into C rounds halves to even", "A: R \"\" \"\"\nB: R \"\" \"\"", "A: C \"\" \"\"\nB: C \"\" \"\"",
       r48(1.23445) + r48(0.57), i64(12344) + i64(5700)},
      {"R into D and back", "A: R \"\" \"\"\nB: D \"\" \"\"", "A: D \"\" \"\"\nB: R \"\" \"\"",
       r48(25.35) + std::string("\0\0\0\0\0\0\x39\x40", 8), std::string("\x9a\x99\x99\x99\x99\x59\x39\x40", 8) + r48(25.0)},
      {"I into C by value", "A: I \"\" \"\"", "A: C \"\" \"\"", std::string("\xfe\xff\xff\xff", 4), i64(-20000)},
      {"R that does not fit B leaves it zero", "A: R \"\" \"\"", "A: B \"\" \"\"", r48(300.0), std::string(1, '\0')},
      {"D date 0l0595 into Q widens to 1995", "A: S6; \"\" \"D\"", "A: S8; \"\" \"Q\"", ss("0l0595", 6),
       ss("0l051995", 8)},
      {"D date with O in the year into q", "A: S6; \"\" \"D\"", "A: S8; \"\" \"q\"", ss("0301O5", 6),
       ss("20050103", 8)},
      {"blank D date into Q stays blank", "A: S6; \"\" \"D\"", "A: S8; \"\" \"Q\"", ss("", 6), ss("", 8)},
      {"d into q and Q", "A: S6; \"\" \"d\"\nB: S6; \"\" \"d\"", "A: S8; \"\" \"q\"\nB: S8; \"\" \"Q\"",
       ss("l50131", 6) + ss("991231", 6), ss("20150131", 8) + ss("31121999", 8)},
      {"D and d reordered", "A: S6; \"\" \"D\"\nB: S6; \"\" \"d\"", "A: S6; \"\" \"d\"\nB: S6; \"\" \"D\"",
       ss("310124", 6) + ss("240131", 6), ss("240131", 6) + ss("310124", 6)},
      {"Q and q reordered", "A: S8; \"\" \"Q\"\nB: S8; \"\" \"q\"", "A: S8; \"\" \"q\"\nB: S8; \"\" \"Q\"",
       ss("31012024", 8) + ss("20240131", 8), ss("20240131", 8) + ss("31012024", 8)},
      {"names match without blanks under Czech capitals", "Kód banky: S4; \"\" \"P\"", "KÓDBANKY: S4; \"\" \"P\"",
       ss("0100", 4), ss("0100", 4)},
      {"of two old fields with one name the last counts", "A: S2; \"\" \"X\"\na: S2; \"\" \"X\"", "A: S2; \"\" \"X\"",
       ss("11", 2) + ss("22", 2), ss("22", 2)},
      {"same width and kind copied with its length byte", "A: S4; \"\" \"X\"", "A: S4; \"\" \"X\"",
       ss("AB", 4, '\0', 2), ss("AB", 4, '\0', 2)},
  };
  for (const Pripad& p : pripady) {
    SCOPED_TRACE(p.nazev);
    EXPECT_EQ(prevedVetu(p.stary, p.novy, p.vstup), p.vystup);
  }
}

// ---------------------------------------------------------------------------------------------
// Failures and other stations

TEST_F(LayoutTest, WriteFailureHalfWayLeavesTheOriginalFileIntactAndReadable) {
  std::string puvodni;
  for (int i = 0; i < 5; ++i) puvodni += staraVeta("C" + std::to_string(i), "Polozka", static_cast<unsigned>(i), "");
  zapis(puvodni);
  settings().lockingOff = true;  // so that the records are the only writes
  {
    test::FaultInjector faults;
    faults.failNth(test::FaultOp::Write, 3, ENOSPC, true);  // the disk fills during the records
    EXPECT_FALSE(preved());
  }
  EXPECT_EQ(soubor(), puvodni);
  EXPECT_TRUE(zbyle().empty());
  ASSERT_FALSE(okno.messages.empty());
  EXPECT_NE(okno.messages.back().find(cz("nelze převést")), std::string::npos);
  // Once the disk has room the same call converts.
  okno.messages.clear();
  EXPECT_TRUE(preved());
  EXPECT_EQ(soubor().size(), 200u);
}

TEST_F(LayoutTest, FailedReplacementAnswersNoAndKeepsTheOriginal) {
  const std::string puvodni = staraVeta("EUR", "Euro", 3, "");
  zapis(puvodni);
  {
    test::FaultInjector faults;
    faults.failNth(test::FaultOp::Rename, 1, EACCES, true);
    EXPECT_FALSE(preved());
  }
  EXPECT_EQ(soubor(), puvodni);
  EXPECT_TRUE(zbyle().empty());
}

// Every fault of the set at each of the conversion's first calls: the file is the original byte
// for byte and the failure was shown, or it is the whole conversion; no work file stays.
TEST_F(LayoutTest, EveryFaultLeavesTheOriginalOrTheWholeConversion) {
  std::string puvodni;
  for (int i = 0; i < 5; ++i) puvodni += staraVeta("C" + std::to_string(i), "Polozka", static_cast<unsigned>(i), "010524");
  zapis(puvodni);
  ASSERT_TRUE(preved());
  const std::string prevedeny = soubor();
  for (const auto& f : test::everyFault()) {
    for (int nth = 1; nth <= 6; ++nth) {
      SCOPED_TRACE(std::string(f.name) + " at " + std::to_string(nth));
      zapis(puvodni);
      okno.messages.clear();
      bool ok;
      {
        test::FaultInjector faults;
        faults.plan(f, nth);
        ok = preved();
      }
      if (ok) {
        EXPECT_EQ(soubor(), prevedeny);
      } else {
        EXPECT_EQ(soubor(), puvodni);
        EXPECT_FALSE(okno.messages.empty());
      }
      EXPECT_TRUE(zbyle().empty());
    }
  }
}

TEST_F(LayoutTest, FileHeldByAnotherStationIsNotConverted) {
  const std::string puvodni = staraVeta("EUR", "Euro", 3, "");
  zapis(puvodni);
  settings().user = "02";
  ASSERT_EQ(Zamkni(data), Zamek::Drzen);
  settings().user = "01";
  EXPECT_FALSE(preved());
  EXPECT_EQ(soubor(), puvodni);
  ASSERT_EQ(okno.messages.size(), 1u);
  EXPECT_NE(okno.messages[0].find(cz("pracuje s ním")), std::string::npos);
  // Once the other station has let go, the conversion runs and leaves no lock behind.
  settings().user = "02";
  Odemkni(data);
  settings().user = "01";
  EXPECT_TRUE(preved());
  EXPECT_EQ(IfVolny(data), "");
  settings().user = "02";
  EXPECT_EQ(IfVolny(data), "");
}

}  // namespace
}  // namespace pz::storage
