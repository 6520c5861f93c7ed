// The bank's rates fetched into the demo's rate files from a stand-in for the bank on 127.0.0.1
// that answers in the bank's public text export, built from two real daily lists of the bank.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/httpstandin.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

// A day's list of the bank: "DD.MM.YYYY #n", "země|měna|množství|kód|kurz", one line a currency.
struct DenniKurzy {
  std::string datum;  // DD.MM.YYYY
  std::vector<std::string> radky;
};

DenniKurzy NactiDenni(const std::string& jmeno) {
  std::ifstream in(std::filesystem::path(PZ_SOURCE_DIR) / "tests/cashdesk/cnb" / jmeno, std::ios::binary);
  DenniKurzy d;
  std::string r;
  std::getline(in, r);
  d.datum = r.substr(0, 10);
  std::getline(in, r);
  while (std::getline(in, r)) d.radky.push_back(r);
  return d;
}

int Cislo(const std::string& ddmmyyyy) {
  return std::stoi(ddmmyyyy.substr(6, 4)) * 10000 + std::stoi(ddmmyyyy.substr(3, 2)) * 100 +
         std::stoi(ddmmyyyy.substr(0, 2));
}

std::string Parametr(const std::string& dotaz, const std::string& jmeno) {
  const size_t i = dotaz.find(jmeno + "=");
  if (i == std::string::npos) return {};
  const size_t od = i + jmeno.size() + 1;
  return dotaz.substr(od, dotaz.find_first_of("& ", od) - od);
}

// The stand-in of the bank, answering the export requests as the bank does.
class Banka {
 public:
  enum class Rezim { Vyvoz, Chyba500, Nesmysl };

  Banka() : dny_{NactiDenni("denni_kurz_2022-01-03.txt"), NactiDenni("denni_kurz_2025-05-30.txt")} {}
  int port() const { return server_.port(); }
  std::atomic<Rezim> rezim{Rezim::Vyvoz};
  // The request lines so far.
  std::vector<std::string> dotazy() {
    std::vector<std::string> radky;
    for (const std::string& q : server_.dotazy()) radky.push_back(q.substr(0, q.find("\r\n")));
    return radky;
  }

 private:
  // The bank's export of one currency from `od` to `do`: its heading, then the quoted days.
  std::string vyvoz(const std::string& mena, const std::string& od, const std::string& do_) const {
    std::string mnozstvi, telo;
    for (const auto& d : dny_) {
      for (const auto& r : d.radky) {
        std::vector<std::string> sloupce;
        std::stringstream ss(r);
        for (std::string s; std::getline(ss, s, '|');) sloupce.push_back(s);
        if (sloupce.size() != 5 || sloupce[3] != mena) continue;
        mnozstvi = sloupce[2];
        if (Cislo(d.datum) >= Cislo(od) && Cislo(d.datum) <= Cislo(do_)) telo += d.datum + "|" + sloupce[4] + "\n";
      }
    }
    return "M\xC4\x9Bna: " + mena + "|Mno\xC5\xBEstv\xC3\xAD: " + mnozstvi + "\nDatum|Kurz\n" + telo;
  }

  HttpStandIn::Odpoved odpovez(const std::string& pozadavek) const {
    const std::string radek = pozadavek.substr(0, pozadavek.find("\r\n"));
    const std::string mena = Parametr(radek, "mena");
    std::string stav = "200 OK", telo;
    switch (rezim.load()) {
      case Rezim::Vyvoz:
        telo = vyvoz(mena, Parametr(radek, "od"), Parametr(radek, "do"));
        break;
      case Rezim::Chyba500:
        stav = "500 Internal Server Error";
        telo = "chyba\n";
        break;
      case Rezim::Nesmysl:
        // A page in place of the export for EUR; yen quoted per 1 where the file has 100.
        telo = mena == "EUR" ? "<html><body>Služba není dostupná</body></html>\n"
                             : "M\xC4\x9Bna: JPY|Mno\xC5\xBEstv\xC3\xAD: 1\nDatum|Kurz\n30.05.2025|0,15305\n";
        break;
    }
    return {stav, "text/plain; charset=UTF-8", telo};
  }

  std::vector<DenniKurzy> dny_;
  HttpStandIn server_{[this](const std::string& q) { return std::optional(odpovez(q)); }};
};

struct Beh {
  int kod = -1;
  std::string out, err;
};

Beh Spust(const TempDir& dir, const std::string& argumenty) {
  const std::string cmd = "cd '" + dir.str() + "/work' && '" PZPOKL_BIN "' " + argumenty +
                          " --today 2025-06-02 >../stdout.txt 2>../stderr.txt";
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("stdout.txt"), dir.read("stderr.txt")};
}

std::string BezRadku(std::string text, const std::string& radek) {
  const size_t i = text.find(radek);
  return i == std::string::npos ? text : text.erase(i, radek.size());
}

// A 6-byte real of a record: exponent byte (bias 129), 39-bit fraction, sign in the top bit.
double Real48(const std::string& s, size_t at) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[at + i]); };
  if (b(0) == 0) return 0;
  unsigned long long f = 0;
  for (size_t i = 5; i >= 1; --i) f = (f << 8) | b(i);
  const double v = std::ldexp(1 + static_cast<double>(f & ((1ULL << 39) - 1)) / 549755813888.0, b(0) - 129);
  return (f >> 39) & 1 ? -v : v;
}

// The cash document record: 337 bytes, the rate at 148 and the crowns paid at 160.
constexpr size_t kDoklad = 337, kKurz = 148, kPlacenoKc = 160;

TEST(RateFetchE2E, TheDemoRateFilesComeUpToDateFromTheBankAndAFailedAnswerChangesNothing) {
  TempDir dir;
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", dir.path(),
                        std::filesystem::copy_options::recursive);
  // The demo's files as they were before the bank's list of Friday 30 May 2025.
  const std::string eurCely = dir.read("TAMBRA3W/EUR.txt"), jpyCely = dir.read("TAMBRA3W/JPY.txt");
  const std::string eur = BezRadku(eurCely, "30.05.2025|24,930\n");
  const std::string jpy = BezRadku(jpyCely, "30.05.2025|15,305\r\n");
  ASSERT_NE(eur, eurCely);
  ASSERT_NE(jpy, jpyCely);
  dir.write("TAMBRA3W/EUR.txt", eur);
  dir.write("TAMBRA3W/JPY.txt", jpy);
  Banka banka;
  dir.write("work/PZPOKL.PAR", "WebCNB : http://127.0.0.1:" + std::to_string(banka.port()) + "/\r\n");

  // A failed download and answers that are not the export leave both files as they were.
  banka.rezim = Banka::Rezim::Chyba500;
  Beh b = Spust(dir, "--fetch-rates");
  EXPECT_EQ(b.kod, 1) << b.out << b.err;
  EXPECT_NE(b.err.find("EUR: banka odpověděla chybou, soubor kurzů nezměněn"), std::string::npos) << b.err;
  EXPECT_NE(b.err.find("JPY: banka odpověděla chybou, soubor kurzů nezměněn"), std::string::npos) << b.err;
  banka.rezim = Banka::Rezim::Nesmysl;
  b = Spust(dir, "--fetch-rates");
  EXPECT_EQ(b.kod, 1) << b.out << b.err;
  EXPECT_NE(b.err.find("EUR: odpověď banky není výpis kurzů měny EUR, soubor kurzů nezměněn"), std::string::npos)
      << b.err;
  EXPECT_NE(b.err.find("JPY: banka uvádí kurz za 1 jednotek, soubor kurzů za 100, soubor kurzů nezměněn"),
            std::string::npos)
      << b.err;
  EXPECT_EQ(dir.read("TAMBRA3W/EUR.txt"), eur);
  EXPECT_EQ(dir.read("TAMBRA3W/JPY.txt"), jpy);

  // The real export brings the Friday in, each file in its own line ends.
  banka.rezim = Banka::Rezim::Vyvoz;
  b = Spust(dir, "--fetch-rates");
  EXPECT_EQ(b.kod, 0) << b.out << b.err;
  EXPECT_NE(b.out.find("EUR: doplněno kurzů: 1, poslední ze dne 30.05.2025"), std::string::npos) << b.out;
  EXPECT_EQ(dir.read("TAMBRA3W/EUR.txt"), eurCely);
  EXPECT_EQ(dir.read("TAMBRA3W/JPY.txt"), jpyCely);
  const auto dotazy = banka.dotazy();
  ASSERT_FALSE(dotazy.empty());
  EXPECT_NE(dotazy.back().find("?od=04.01.2022&do=02.06.2025&mena=JPY"), std::string::npos) << dotazy.back();
  EXPECT_EQ(dotazy.back().find("GET /cs/financni-trhy/devizovy-trh/"), 0u) << dotazy.back();

  // Again from the main window's command: nothing new, nothing written.
  dir.write("stahni.keys", "Down\nDown\nDown\nDown\nDown\nDown\nDown\nEnter\ndump\nEnter\nEsc\n");
  b = Spust(dir, "--headless ../stahni.keys");
  EXPECT_EQ(b.kod, 0) << b.out << b.err;
  EXPECT_NE(b.out.find("EUR: banka nemá nové kurzy, poslední ze dne 30.05.2025"), std::string::npos) << b.out;
  EXPECT_NE(banka.dotazy().back().find("?od=31.05.2025&do=02.06.2025&mena=JPY"), std::string::npos);
  EXPECT_EQ(dir.read("TAMBRA3W/EUR.txt"), eurCely);
  EXPECT_EQ(dir.read("TAMBRA3W/JPY.txt"), jpyCely);

  // A receipt paid on the new day takes its rate.
  std::string doklad = dir.read("doklad.keys");
  for (size_t i; (i = doklad.find("type 030122")) != std::string::npos;) doklad.replace(i, 11, "type 300525");
  dir.write("doklad.keys", doklad);
  b = Spust(dir, "--headless ../doklad.keys");
  EXPECT_EQ(b.kod, 0) << b.out << b.err;
  const std::string docs = dir.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), kDoklad) << b.out;
  EXPECT_NEAR(Real48(docs, kKurz), 24.93, 1e-9);
  EXPECT_NEAR(Real48(docs, kPlacenoKc), 2493.0, 1e-9);
}

}  // namespace
}  // namespace pz::test
