// Appending one voucher of three entries to a batch of unattached accounting entries of n
// entries (1,000 / 10,000 / 100,000): PridejDoDavky reads the batch, checks that it is a whole
// number of entries, and replaces it by a work file with the voucher at its end, under the
// batch's write lock. The peer in the same run appends the same three records at the file's
// end in place (what an append without the work file would cost, and what a crash in the
// middle of it could leave half written). Also the balance sums over the batch.
//
// The files lie in a fresh directory under the system's temporary directory, warm in the page
// cache.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "accounting/entries.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "storage/params.h"
#include "storage/roots.h"

namespace {

namespace fs = std::filesystem;
using pz::accounting::tUcZapis;

tUcZapis zapis(int i) {
  tUcZapis z;
  z.agenda = "PZ";
  z.cisloUP = "0" + std::to_string(10000 + i % 90000);
  z.radek = "01";
  z.text = "Prijem EUR doklad " + std::to_string(i);
  z.ucetMD = "211200";
  z.ucetDal = i % 2 ? "602000" : "343200";
  z.castka = 10000 + i % 997 * 100;
  z.datum = "030122";
  return z;
}

struct Davka {
  fs::path cesta;
  explicit Davka(int n) {
    char vzor[] = "/tmp/pzbench_entries_XXXXXX";
    cesta = mkdtemp(vzor);
    pz::platform::paths().setWorkDir(cesta.string());
    pz::storage::ZapomenAdresy();
    std::ofstream f(cesta / "PZUC.dta", std::ios::binary | std::ios::trunc);
    for (int i = 0; i < n; ++i) {
      const auto v = pz::accounting::SlozZapis(zapis(i));
      f.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
    }
  }
  ~Davka() {
    pz::storage::ZahodParametry();
    pz::storage::ZapomenAdresy();
    pz::platform::paths().clear();
    fs::remove_all(cesta);
  }
  // Back to n entries, so that every iteration appends to the same batch.
  void zkrat(int n) { fs::resize_file(cesta / "PZUC.dta", static_cast<std::uintmax_t>(n) * 138); }
};

const std::vector<tUcZapis> kPredpis = {zapis(1), zapis(2), zapis(3)};

void BM_PridejDoDavky(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Davka d(n);
  for (auto _ : state) {
    benchmark::DoNotOptimize(pz::accounting::PridejDoDavky(kPredpis, "PZUC.dta"));
    state.PauseTiming();
    d.zkrat(n);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PridejDoDavky)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PripojeniNaKonec(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Davka d(n);
  std::string obsah;
  for (const auto& z : kPredpis) {
    const auto v = pz::accounting::SlozZapis(z);
    obsah.append(v.begin(), v.end());
  }
  for (auto _ : state) {
    pz::platform::File f;
    f.open((d.cesta / "PZUC.dta").string(), pz::platform::Access::ReadWrite, pz::platform::Share::DenyWrite);
    benchmark::DoNotOptimize(f.append(obsah.data(), obsah.size()));
    f.sync();
    f.close();
    state.PauseTiming();
    d.zkrat(n);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PripojeniNaKonec)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SoucetStran(benchmark::State& state) {
  std::vector<tUcZapis> z;
  for (int i = 0; i < state.range(0); ++i) z.push_back(zapis(i));
  for (auto _ : state) benchmark::DoNotOptimize(pz::accounting::SoucetStran(z, true));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SoucetStran)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
