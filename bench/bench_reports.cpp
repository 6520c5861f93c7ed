// Report files: writing 100,000 lines of width 132 and reading line n at random, beside plain
// sequential writing and a bare pread of the same bytes (the physical limit here).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/paths.h"
#include "reportfiles/report.h"

namespace {

namespace fs = std::filesystem;
constexpr int kLines = 100000;
constexpr int kWidth = 132;

const fs::path& dir() {
  static const fs::path d = [] {
    fs::path p = fs::temp_directory_path() / "pzbench-reports";
    fs::create_directories(p);
    pz::platform::paths().clear();
    pz::platform::paths().setWorkDir(p.string());
    return p;
  }();
  return d;
}

std::string line(int i) { return "Doklad " + std::to_string(i) + "  1 250,00 EUR  31 687,50 CZK  Novak Jan, Praha"; }

void BM_WriteReport(benchmark::State& state) {
  dir();
  for (auto _ : state) {
    pz::reports::OtevriSestavu("*bench", kWidth);
    for (int i = 0; i < kLines; ++i) pz::reports::PisRadek(line(i));
    pz::reports::ZavriSestavu();
  }
  state.SetBytesProcessed(state.iterations() * kLines * (kWidth + 2));
}
BENCHMARK(BM_WriteReport)->Unit(benchmark::kMillisecond);

// The peer: the same bytes padded by hand and written sequentially in 64 KiB pieces.
void BM_WritePlainPeer(benchmark::State& state) {
  const std::string path = (dir() / "plain.txt").string();
  for (auto _ : state) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string buf;
    for (int i = 0; i < kLines; ++i) {
      std::string l = line(i);
      l.resize(kWidth, ' ');
      buf += l + "\r\n";
      if (buf.size() >= 65536) {
        (void)!::write(fd, buf.data(), buf.size());
        buf.clear();
      }
    }
    (void)!::write(fd, buf.data(), buf.size());
    ::close(fd);
  }
  state.SetBytesProcessed(state.iterations() * kLines * (kWidth + 2));
}
BENCHMARK(BM_WritePlainPeer)->Unit(benchmark::kMillisecond);

void BM_ReadRandomLine(benchmark::State& state) {
  dir();
  pz::reports::OtevriSestavu("*bench", kWidth);
  for (int i = 0; i < kLines; ++i) pz::reports::PisRadek(line(i));
  pz::reports::ZavriSestavu();
  pz::reports::RadkovySoubor r;
  r.otevri("bench.TXT");
  std::mt19937 rng(1);
  std::string l;
  for (auto _ : state) {
    r.cti(1 + static_cast<int64_t>(rng() % kLines), l);
    benchmark::DoNotOptimize(l);
  }
}
BENCHMARK(BM_ReadRandomLine);

void BM_PreadPeer(benchmark::State& state) {
  const std::string path = (dir() / "bench.TXT").string();
  int fd = ::open(path.c_str(), O_RDONLY);
  std::mt19937 rng(1);
  char buf[kWidth];
  for (auto _ : state) {
    benchmark::DoNotOptimize(::pread(fd, buf, kWidth, static_cast<off_t>(rng() % kLines) * (kWidth + 2)));
  }
  ::close(fd);
}
BENCHMARK(BM_PreadPeer);

}  // namespace

BENCHMARK_MAIN();
