// The rate lookup over the bank's text export of one currency: which day takes which quote.
#include "cashdesk/ratefile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/tempdir.h"

namespace pz::cashdesk {
namespace {

const std::filesystem::path kSource = PZ_SOURCE_DIR;

// The heading of the bank's export of one currency (UTF-8, as the bank writes it).
const std::string kHlavicka = "M\xC4\x9Bna: EUR|Mno\xC5\xBEstv\xC3\xAD: 1\nDatum|Kurz\n";

TEST(RateLookup, ADayOfTheFileTakesItsLineAndADayBeforeTheFirstLineOnlyInItsMonth) {
  const std::string soubor = kHlavicka + "02.01.2024|24,725\n03.01.2024|24,610\n";
  EXPECT_EQ(KurzZTextu(soubor, "020124"), 24.725);
  EXPECT_EQ(KurzZTextu(soubor, "030124"), 24.61);
  EXPECT_EQ(KurzZTextu(soubor, "010124"), 24.725);  // New Year's Day: the first quote of January
  EXPECT_EQ(KurzZTextu(soubor, "311223"), std::nullopt);  // the month before the file
  EXPECT_EQ(KurzZTextu(soubor, "040124"), std::nullopt);  // after the last quote
}

TEST(RateLookup, DaysWithoutAQuoteTakeTheLastQuoteBeforeThemAcrossMonthEnds) {
  const std::string soubor = kHlavicka +
                             "05.01.2024|24,660\n08.01.2024|24,580\n"    // Friday, Monday
                             "29.02.2024|25,305\n04.03.2024|25,270\n";  // Thursday, Monday
  EXPECT_EQ(KurzZTextu(soubor, "060124"), 24.66);
  EXPECT_EQ(KurzZTextu(soubor, "070124"), 24.66);
  EXPECT_EQ(KurzZTextu(soubor, "080124"), 24.58);
  EXPECT_EQ(KurzZTextu(soubor, "010324"), 25.305);  // a payment on 1 March after the 29 February quote
  EXPECT_EQ(KurzZTextu(soubor, "030324"), 25.305);
  EXPECT_EQ(KurzZTextu(soubor, "040324"), 25.27);
}

TEST(RateLookup, ALaterLineOfTheWantedDateWinsOverTheFirstLinesMonthRule) {
  const std::string soubor = kHlavicka + "02.01.2024|24,725\n01.03.2024|25,280\n";
  EXPECT_EQ(KurzZTextu(soubor, "010324"), 25.28);
  EXPECT_EQ(KurzZTextu(soubor, "150124"), 24.725);
}

TEST(RateLookup, LineEndsSeparatorsAndLongRatesAreReadAsTheBankWritesThem) {
  // CR LF lines, a point as the decimal separator, a rate longer than nine characters that a
  // filled weekend day still takes whole.
  const std::string soubor = "Datum|Kurz\r\n05.01.2024|24.6812345678\r\n08.01.2024 24,580\r\n";
  EXPECT_EQ(KurzZTextu(soubor, "050124"), 24.6812345678);
  EXPECT_EQ(KurzZTextu(soubor, "070124"), 24.6812345678);
  EXPECT_EQ(KurzZTextu(soubor, "080124"), 24.58);
  // A UTF-8 byte order mark before a first data line, and a last line without its LF.
  EXPECT_EQ(KurzZTextu("\xEF\xBB\xBF" "03.01.2022|24,820", "030122"), 24.82);
}

TEST(RateLookup, NoRateForBadDatesHeadingsOrLinesWithoutANumber) {
  const std::string soubor = kHlavicka + "02.01.2024|24,725\n03.01.2024|\n04.01.2024|abc\n";
  EXPECT_EQ(KurzZTextu(soubor, "      "), std::nullopt);
  EXPECT_EQ(KurzZTextu(soubor, "000000"), std::nullopt);
  EXPECT_EQ(KurzZTextu(soubor, "320124"), std::nullopt);
  EXPECT_EQ(KurzZTextu(soubor, "030124"), std::nullopt);
  EXPECT_EQ(KurzZTextu(soubor, "040124"), std::nullopt);
  EXPECT_EQ(KurzZTextu("", "020124"), std::nullopt);
  // A line starting "00" is no data line, so the month rule holds for the next one.
  EXPECT_EQ(KurzZTextu("00.01.2024|99,000\n05.01.2024|24,660\n", "030124"), 24.66);
  // Two-digit years below 40 are 20yy; 1999 is in the file's century 19.
  EXPECT_EQ(KurzZTextu("30.12.1999|36,880\n", "301299"), 36.88);
}

TEST(RateLookup, AMissingOrEmptyFileGivesNothing) {
  test::TempDir dir;
  EXPECT_EQ(KurzZeSouboru((dir / "EUR.txt").string(), "030122"), std::nullopt);
  dir.write("EUR.txt", "");
  EXPECT_EQ(KurzZeSouboru((dir / "EUR.txt").string(), "030122"), std::nullopt);
}

// The rate of a currency in one of the bank's daily lists ("země|měna|množství|kód|kurz").
std::string KurzZDennihoListku(const std::string& jmeno, const std::string& kod) {
  std::ifstream in(kSource / "tests" / "cashdesk" / "cnb" / jmeno);
  std::string radek;
  while (std::getline(in, radek))
    if (radek.find("|" + kod + "|") != std::string::npos) return radek.substr(radek.rfind('|') + 1);
  return "";
}

TEST(DemoRateFiles, HoldTheBanksRatesOfTheirTwoDays) {
  for (const char* kod : {"EUR", "JPY"}) {
    SCOPED_TRACE(kod);
    const std::string cesta = (kSource / "demo" / "TAMBRA3W" / (std::string(kod) + ".txt")).string();
    for (const auto& [den, listek] : {std::pair{"030122", "denni_kurz_2022-01-03.txt"},
                                      std::pair{"300525", "denni_kurz_2025-05-30.txt"}}) {
      std::string text = KurzZDennihoListku(listek, kod);
      ASSERT_FALSE(text.empty());
      text[text.find(',')] = '.';
      EXPECT_EQ(KurzZeSouboru(cesta, den), std::stod(text)) << den;
    }
  }
}

}  // namespace
}  // namespace pz::cashdesk
