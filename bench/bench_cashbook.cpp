// The cash book of one series of 100,000 documents and the overview by partner over 10 such
// series, beside the floor: reading the same document files once and writing a report (and side
// file) of the same number of lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cashdesk/cashbook.h"
#include "cashdesk/document.h"
#include "cashdesk/overview.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "reportfiles/report.h"

namespace {

namespace fs = std::filesystem;
using namespace pz::cashdesk;
constexpr int kDocuments = 100000;
constexpr int kSeries = 10;

std::string seriesFile(int s) {
  char b[32];
  std::snprintf(b, sizeof b, "PZ%02d_.dta", s + 1);
  return b;
}

// Ten document files of a year of receipts and expenditures of 50 partners.
const fs::path& dir() {
  static const fs::path d = [] {
    fs::path p = fs::temp_directory_path() / "pzbench-cashbook";
    fs::create_directories(p);
    pz::platform::paths().clear();
    pz::platform::paths().setWorkDir(p.string());
    std::vector<std::uint8_t> rec(337, 0);
    for (int s = 0; s < kSeries; ++s) {
      // Files of an earlier run are used as they are.
      if (fs::exists(p / seriesFile(s)) && fs::file_size(p / seriesFile(s)) == 337u * kDocuments) continue;
      std::string file;
      file.reserve(static_cast<size_t>(kDocuments) * 337);
      for (int i = 1; i <= kDocuments; ++i) {
        PokladniDoklad d;
        char t[16];
        d.druh = i % 3 ? "P" : "V";
        std::snprintf(t, sizeof t, "%05d", i);
        d.ident = t;
        d.cislo = "D-" + d.ident;
        d.cisloOrg = static_cast<std::uint16_t>(i % 50 + 1);
        std::snprintf(t, sizeof t, "%02d%02d26", i % 28 + 1, i % 12 + 1);
        d.datumZapl = d.datumDod = t;
        d.text = "platba za zbozi";
        d.placenoVal = d.celkemVal = (i % 1000 + 1) * 10000 + 2500;
        d.placenoKc = d.celkemKc = d.placenoVal * 25;
        d.kurz = 25;
        d.adr1 = "Partner " + std::to_string(d.cisloOrg);
        std::fill(rec.begin(), rec.end(), 0);
        ZapisDoklad(d, rec);
        file.append(rec.begin(), rec.end());
      }
      pz::platform::writeWholeFile((p / seriesFile(s)).string(), file);
    }
    return p;
  }();
  return d;
}

std::string path(int s) { return (dir() / seriesFile(s)).string(); }

void BM_CashBook(benchmark::State& state) {
  dir();
  RadaKnihy rada{"01", "EUR", "CZK", 1000000, 25000000};
  for (auto _ : state) {
    DokladySouboru soubor;
    CtiDokladySouboru(path(0), soubor);
    pz::reports::OtevriSestavu("PZ10", 132);
    PisKnihu(soubor.doklady, rada, "010126", "311226", PoradiKnihy::DataZaplaceni);
    pz::reports::ZavriSestavu();
  }
  state.counters["lines"] = pz::reports::RadkuSestavy();
}
BENCHMARK(BM_CashBook)->Unit(benchmark::kMillisecond);

void BM_Overview(benchmark::State& state) {
  dir();
  VyberPrehledu v;
  v.od = "010126";
  v.do_ = "311226";
  v.poradi = PoradiPrehledu::Organizace;
  v.zeSeznamuRad = true;
  for (auto _ : state) {
    VybraneDoklady vybrane(v);
    for (int s = 0; s < kSeries; ++s) vybrane.CtiRadu(seriesFile(s).substr(2, 2), path(s));
    pz::reports::OtevriSestavu("PZ08", 132);
    PisPrehled(vybrane);
    pz::reports::ZavriSestavu();
  }
  state.counters["lines"] = pz::reports::RadkuSestavy();
}
BENCHMARK(BM_Overview)->Unit(benchmark::kMillisecond);

// The floor: the files read once, and `lines` report lines (one side-file line per document).
void floor(benchmark::State& state, int series, int linesPerDocument) {
  dir();
  const std::string line(132, 'x');
  const std::string csv(120, 'y');
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (int s = 0; s < series; ++s) {
      std::string content;
      pz::platform::readWholeFile(path(s), content, pz::platform::Share::DenyNone);
      bytes += content.size();
    }
    benchmark::DoNotOptimize(bytes);
    pz::reports::OtevriSestavu("FLOOR", 132);
    for (int i = 0; i < series * kDocuments; ++i) {
      for (int k = 0; k < linesPerDocument; ++k) pz::reports::PisRadek(line);
      pz::reports::PisCsv(csv);
    }
    pz::reports::ZavriSestavu();
  }
}
void BM_FloorCashBook(benchmark::State& state) { floor(state, 1, 1); }
void BM_FloorOverview(benchmark::State& state) { floor(state, kSeries, 2); }
BENCHMARK(BM_FloorCashBook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorOverview)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
