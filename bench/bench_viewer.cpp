// The report viewer over a report of 1,000,000 lines of 100 characters (102 MB): opening it,
// a page search for the last page from line 1 (every line read once, one read per line), and a
// text search for a text that is in no line (every line read and folded once). The viewer reads
// lines by position, so peak memory must not grow with the report.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/paths.h"
#include "platform/text.h"
#include "reports/viewer.h"
#include "storage/params.h"

namespace {

using pz::platform::cz;

constexpr int kSirka = 100;
constexpr int kMilion = 1000000;
constexpr int kNaList = 120;  // lines of a page, the header included: 8,334 pages, numbered in four places

long peakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// The report in a directory of its own, written once.
const std::filesystem::path& adresar() {
  static const std::filesystem::path d = [] {
    auto p = std::filesystem::temp_directory_path() / "pz_bench_viewer";
    std::filesystem::create_directories(p);
    const auto soubor = p / "velka.txt";
    if (!std::filesystem::exists(soubor) ||
        std::filesystem::file_size(soubor) != static_cast<std::uintmax_t>(kMilion) * (kSirka + 2)) {
      std::ofstream out(soubor, std::ios::binary);
      std::string radek;
      char buf[200];
      for (int n = 0; n < kMilion; ++n) {
        if (n % kNaList == 0) {
          radek.assign(1, '\f');
        } else if (n % kNaList == 1) {
          std::snprintf(buf, sizeof buf, "%-24s%13s%-30s%10sList:%4d Datum: 09.12.26", "TAMBRA s.r.o.", "",
                        "Pokladni kniha", "", n / kNaList + 1);
          radek = buf;
        } else {
          std::snprintf(buf, sizeof buf, "%7d 09.12.26 %s %12.2f EUR  %s", n, "Prijem hotovosti",
                        (n % 9973) * 1.25, cz("Novák Jan, Praha 4").c_str());
          radek = buf;
        }
        radek.resize(kSirka, ' ');
        out << radek << "\r\n";
      }
    }
    pz::platform::paths().setWorkDir(p.string());
    std::filesystem::current_path(p);
    return p;
  }();
  return d;
}

void BM_Otevri(benchmark::State& state) {
  adresar();
  pz::reports::TfPozri okno;
  const long pred = peakKb();
  for (auto _ : state) {
    benchmark::DoNotOptimize(okno.Nahraj("velka.txt"));
  }
  state.counters["lines"] = okno.Radku();
  state.counters["peak_growth_kB"] = static_cast<double>(peakKb() - pred);
  state.counters["peak_kB"] = static_cast<double>(peakKb());
  okno.Zavri();
}
BENCHMARK(BM_Otevri)->Unit(benchmark::kMicrosecond);

void BM_NajdiPosledniList(benchmark::State& state) {
  adresar();
  pz::reports::TfPozri okno;
  okno.Nahraj("velka.txt");
  const int posledni = (kMilion - 1) / kNaList + 1;
  const long pred = peakKb();
  int r = 0;
  for (auto _ : state) {
    okno.Radek = 1;
    r = okno.NajdiList(posledni);
  }
  state.counters["found_line"] = r;
  state.counters["peak_growth_kB"] = static_cast<double>(peakKb() - pred);
  state.counters["peak_kB"] = static_cast<double>(peakKb());
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMilion,
                                                 benchmark::Counter::kIsRate);
  okno.Zavri();
}
BENCHMARK(BM_NajdiPosledniList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HledejText(benchmark::State& state) {
  adresar();
  pz::reports::TfPozri okno;
  okno.Nahraj("velka.txt");
  const long pred = peakKb();
  int r = 0;
  for (auto _ : state) {
    okno.Radek = 1;
    r = okno.NajdiText("ZXQ WVY");
  }
  state.counters["found_line"] = r;
  state.counters["peak_growth_kB"] = static_cast<double>(peakKb() - pred);
  state.counters["peak_kB"] = static_cast<double>(peakKb());
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMilion,
                                                 benchmark::Counter::kIsRate);
  okno.Zavri();
}
BENCHMARK(BM_HledejText)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
