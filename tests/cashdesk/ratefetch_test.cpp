// The merge of the bank's export of one currency into a rate file: what a stored file keeps, what
// it gains, and which answers leave it alone.
#include "cashdesk/ratefetch.h"

#include <gtest/gtest.h>

#include <string>

#include "cashdesk/ratefile.h"
#include "platform/text.h"

namespace pz::cashdesk {
namespace {

const std::string kEur = "M\xC4\x9Bna: EUR|Mno\xC5\xBEstv\xC3\xAD: 1\nDatum|Kurz\n";
const std::string kJpy = "M\xC4\x9Bna: JPY|Mno\xC5\xBEstv\xC3\xAD: 100\nDatum|Kurz\n";
constexpr platform::Date kDnes{2025, 6, 2};

TEST(RateMerge, ExistingBytesStayAndNewDaysFollowInTheFilesLineEnds) {
  // Saved on Windows: a byte order mark, the heading in Windows-1250, CR LF, no line end at the
  // very end, and a comment line a user added.
  const std::string soubor =
      "\xEF\xBB\xBFM\xECna: JPY|Mno\x9Estv\xED: 100\r\nDatum|Kurz\r\n30.12.2021|19,144\r\n# ruc\xE8\xEB\r\n03.01.2022|19,016";
  EXPECT_EQ(OdKdyStahnout(soubor, kDnes).day, 4);
  const auto s = SlucVyvoz(soubor, kJpy + "04.01.2022|18,950\n30.05.2025|15,305\n", "JPY", {2022, 1, 4}, kDnes);
  ASSERT_TRUE(s.ok) << platform::cp1250ToUtf8(s.chyba);
  EXPECT_EQ(s.obsah, soubor + "\r\n04.01.2022|18,950\r\n30.05.2025|15,305\r\n");
  EXPECT_EQ(s.pridano, 2);
  EXPECT_EQ(s.posledni, "30.05.2025");
  EXPECT_EQ(NajdiKurz(s.obsah, "310522").kurz, 18.95);  // a day between two new quotes
  EXPECT_EQ(NajdiKurz(s.obsah, "300525").kurz, 15.305);
  EXPECT_EQ(NajdiKurz(s.obsah, "300525").mnozstvi, 100);

  // An answer without days (a weekend) changes nothing; a file not there yet gets the heading.
  EXPECT_EQ(SlucVyvoz(s.obsah, kJpy, "JPY", {2025, 5, 31}, kDnes).obsah, s.obsah);
  const auto novy = SlucVyvoz("", kEur + "30.05.2025|24,930\n", "EUR", OdKdyStahnout("", kDnes), kDnes);
  ASSERT_TRUE(novy.ok);
  EXPECT_EQ(novy.obsah, kEur + "30.05.2025|24,930\n");
  EXPECT_EQ(OdKdyStahnout("", kDnes).year, 2024);
  EXPECT_EQ(OdKdyStahnout(novy.obsah, kDnes).day, 31);
}

TEST(RateMerge, AnswersThatAreNotTheExportOfThePeriodAskedAreRefused) {
  const std::string soubor = kJpy + "03.01.2022|19,016\n";
  const platform::Date od{2022, 1, 4};
  const struct {
    const char* proc;
    std::string vyvoz;
  } spatne[] = {
      {"a web page", "<html><body>Chyba</body></html>\n"},
      {"another currency", "M\xC4\x9Bna: EUR|Mno\xC5\xBEstv\xC3\xAD: 100\nDatum|Kurz\n30.05.2025|15,305\n"},
      {"another quantity", "M\xC4\x9Bna: JPY|Mno\xC5\xBEstv\xC3\xAD: 1\nDatum|Kurz\n30.05.2025|0,153\n"},
      {"no column heading", "M\xC4\x9Bna: JPY|Mno\xC5\xBEstv\xC3\xAD: 100\n30.05.2025|15,305\n"},
      {"dates going back", kJpy + "30.05.2025|15,305\n29.05.2025|15,300\n"},
      {"a day twice", kJpy + "30.05.2025|15,305\n30.05.2025|15,305\n"},
      {"a day already in the file", kJpy + "03.01.2022|19,016\n"},
      {"a day after today", kJpy + "03.06.2025|15,305\n"},
      {"no such date", kJpy + "31.02.2025|15,305\n"},
      {"a rate that is no number", kJpy + "30.05.2025|n/a\n"},
      {"a zero rate", kJpy + "30.05.2025|0,000\n"},
      {"a cut line", kJpy + "30.05.2025|\n"},
  };
  for (const auto& p : spatne) {
    SCOPED_TRACE(p.proc);
    const auto s = SlucVyvoz(soubor, p.vyvoz, "JPY", od, kDnes);
    EXPECT_FALSE(s.ok);
    EXPECT_FALSE(s.chyba.empty());
  }
  EXPECT_EQ(platform::cp1250ToUtf8(SlucVyvoz(soubor, spatne[2].vyvoz, "JPY", od, kDnes).chyba),
            "banka uvádí kurz za 1 jednotek, soubor kurzů za 100");
}

}  // namespace
}  // namespace pz::cashdesk
