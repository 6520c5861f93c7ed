// Reading and writing the 6-byte reals of amounts and rates: a field read gives the shortest
// decimal that is stored as the same bytes (what the cashier typed), a field written rounds that
// decimal once. Amounts of two decimals up to a million and rates of three to seven decimals.
//
//   peer: the bare binary conversion of the same bytes to a double, which loses the typed decimal.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "storage/fields.h"

namespace {

std::vector<pz::storage::Real48> hodnoty() {
  std::mt19937_64 rng(48);
  std::vector<pz::storage::Real48> v;
  for (int i = 0; i < 4096; ++i) {
    const double castka = static_cast<double>(rng() % 100000000) / 100;  // up to 999 999.99
    const double kurz = static_cast<double>(rng() % 400000000) / 10000000;  // 0 to 40, 7 places
    for (double x : {castka, kurz}) {
      std::vector<std::uint8_t> b(6);
      (void)pz::storage::writeReal48(b, 0, x);
      v.push_back(pz::storage::readReal48Bytes(b, 0));
    }
  }
  return v;
}

void BM_CtiReal48(benchmark::State& state) {
  const auto v = hodnoty();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(pz::storage::real48ToDecimal(v[i++ % v.size()]));
}
BENCHMARK(BM_CtiReal48);

void BM_PisReal48(benchmark::State& state) {
  const auto v = hodnoty();
  std::vector<double> d;
  for (const auto& b : v) d.push_back(pz::storage::real48ToDecimal(b));
  std::vector<std::uint8_t> pole(6);
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(pz::storage::writeReal48(pole, 0, d[i++ % d.size()]));
}
BENCHMARK(BM_PisReal48);

void BM_Real48NaDouble(benchmark::State& state) {
  const auto v = hodnoty();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(pz::storage::real48ToDouble(v[i++ % v.size()]));
}
BENCHMARK(BM_Real48NaDouble);

}  // namespace

BENCHMARK_MAIN();
