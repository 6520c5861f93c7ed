// Costs of the platform layer that every record operation pays: cp1250 conversion of a screen
// row, and the translation of a program path to a native one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "platform/paths.h"
#include "platform/text.h"

namespace {

void BM_Cp1250RowToUtf8(benchmark::State& state) {
  const std::string row = pz::platform::cz("Čáslav  Žižkova 12   příjem hotovosti    1 250,00 EUR  31 687,50 Kč");
  for (auto _ : state) benchmark::DoNotOptimize(pz::platform::cp1250ToUtf8(row));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * row.size()));
}
BENCHMARK(BM_Cp1250RowToUtf8);

void BM_PathToNative(benchmark::State& state) {
  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / "pzbench-paths";
  fs::create_directories(root / "data" / "TAMBRA3W");
  std::ofstream(root / "data" / "Kursy.DTA") << "x";
  pz::platform::PathMapper m;
  m.setWorkDir(root.string());
  m.mapDrive('F', (root / "data").string());
  // Exact spelling takes the fast way; a different case needs a directory scan.
  const char* path = state.range(0) ? "F:\\kursy.dta" : "F:\\Kursy.DTA";
  for (auto _ : state) benchmark::DoNotOptimize(m.toNative(path));
  fs::remove_all(root);
}
BENCHMARK(BM_PathToNative)->Arg(0)->Arg(1);

// The peer: one stat() of the native path, the least any open must pay.
void BM_StatPeer(benchmark::State& state) {
  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / "pzbench-stat";
  fs::create_directories(root);
  std::ofstream(root / "Kursy.DTA") << "x";
  const std::string native = (root / "Kursy.DTA").string();
  struct stat st;
  for (auto _ : state) benchmark::DoNotOptimize(stat(native.c_str(), &st));
  fs::remove_all(root);
}
BENCHMARK(BM_StatPeer);

}  // namespace

BENCHMARK_MAIN();
