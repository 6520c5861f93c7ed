// The rate lookup of a cash document: the rate file is read from its start at every lookup, so
// its cost is that of reading and scanning the whole file. Files of one year (about 250 quoted
// days) and of ten years, the wanted day the last one (the worst case); the peer is reading the
// same file without looking at it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "cashdesk/ratefile.h"
#include "platform/file.h"

namespace {

namespace fs = std::filesystem;

// A rate file in the bank's export layout with one line per weekday of `roky` years from 2015.
// Returns the path and the last quoted day as DDMMYY.
std::string RateFile(int roky, std::string& posledni) {
  const fs::path dir = fs::temp_directory_path() / ("pzbench-rates-" + std::to_string(roky));
  fs::create_directories(dir);
  const fs::path path = dir / "EUR.txt";
  std::ofstream out(path, std::ios::binary);
  out << "M\xC4\x9Bna: EUR|Mno\xC5\xBEstv\xC3\xAD: 1\nDatum|Kurz\n";
  int denTydne = 3;  // 1 January 2015 was a Thursday (Monday 0)
  char radek[48];
  for (int rok = 2015; rok < 2015 + roky; ++rok)
    for (int mesic = 1; mesic <= 12; ++mesic) {
      const int dni[] = {31, (rok % 4 == 0) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      for (int den = 1; den <= dni[mesic - 1]; ++den, denTydne = (denTydne + 1) % 7) {
        if (denTydne >= 5) continue;
        std::snprintf(radek, sizeof radek, "%02d.%02d.%04d|%d,%03d\n", den, mesic, rok, 24 + den % 3, (den * 37) % 1000);
        out << radek;
        std::snprintf(radek, sizeof radek, "%02d%02d%02d", den, mesic, rok % 100);
        posledni = radek;
      }
    }
  return path.string();
}

void BM_RateLookupLastDay(benchmark::State& state) {
  std::string den;
  const std::string path = RateFile(static_cast<int>(state.range(0)), den);
  for (auto _ : state) benchmark::DoNotOptimize(pz::cashdesk::KurzZeSouboru(path, den));
  if (!pz::cashdesk::KurzZeSouboru(path, den)) state.SkipWithError("no rate found");
  fs::remove_all(fs::path(path).parent_path());
}
BENCHMARK(BM_RateLookupLastDay)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// The peer: the same file read whole, not scanned.
void BM_ReadWholeFilePeer(benchmark::State& state) {
  std::string den, obsah;
  const std::string path = RateFile(static_cast<int>(state.range(0)), den);
  for (auto _ : state) benchmark::DoNotOptimize(pz::platform::readWholeFile(path, obsah, pz::platform::Share::DenyNone));
  fs::remove_all(fs::path(path).parent_path());
}
BENCHMARK(BM_ReadWholeFilePeer)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
