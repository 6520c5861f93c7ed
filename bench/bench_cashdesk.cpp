// The cash desk window opened on a series of 99,999 documents (the most `ident` can number) and on
// one of 10: open (supplement file, rate file, form, the one pass of the date repair over every
// document), draw the first page, draw the last page, close. The repair pass reads every document
// once, so the opening grows with the file; the pages read only the rows in view.
//
// The files lie in a fresh directory under the system's temporary directory, warm in the page
// cache after the first iteration.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cashdesk/cashwindow.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "platform/paths.h"
#include "storage/fields.h"
#include "storage/params.h"
#include "storage/roots.h"

namespace {

namespace fs = std::filesystem;
using pz::cashdesk::tPzDoklad;
using pz::cashdesk::tPzRada;

struct Adresar {
  fs::path cesta;
  Adresar() {
    char vzor[] = "/tmp/pzbench_cashdesk_XXXXXX";
    cesta = mkdtemp(vzor);
    fs::current_path(cesta);
    pz::platform::paths().setWorkDir(cesta.string());
    pz::storage::ZapomenAdresy();
  }
  ~Adresar() {
    pz::storage::ZahodParametry();
    pz::platform::paths().clear();
    std::error_code ec;
    fs::current_path("/", ec);
    fs::remove_all(cesta, ec);
  }
};

// n documents of series 01: receipts and expenditures with numbers, texts, partners and dates.
void zapisDoklady(const fs::path& soubor, int n) {
  std::ofstream f(soubor, std::ios::binary | std::ios::trunc);
  for (int i = 1; i <= n; ++i) {
    auto v = pz::cashdesk::PrazdnyDoklad({2026, 1 + i % 12, 1 + i % 28});
    (void)pz::storage::writeShortString(v, tPzDoklad::kDruh, 1, i % 3 ? "P" : "V");
    (void)pz::storage::writeShortString(v, tPzDoklad::kIdent, 5, pz::cashdesk::IdentDokladu(i));
    (void)pz::storage::writeShortString(v, tPzDoklad::kCislo, 60, "PZ01" + pz::cashdesk::IdentDokladu(i));
    (void)pz::storage::writeShortString(v, tPzDoklad::kText, 50, "Nakup valut pro sluzebni cestu");
    (void)pz::storage::writeShortString(v, tPzDoklad::kAdr1, 30, "Dodavatel s.r.o.");
    (void)pz::storage::writeReal48(v, tPzDoklad::kPlacenoVal, 10 + i % 997);
    (void)pz::storage::writeReal48(v, tPzDoklad::kKurz, 25.125);
    f.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
  }
}

void BM_OtevriPokladnuAStranky(benchmark::State& state) {
  const int pocet = static_cast<int>(state.range(0));
  Adresar adresar;
  zapisDoklady(adresar.cesta / "PZ01_.dta", pocet);
  std::string rada(tPzRada::kVelikost, '\0');
  (void)pz::storage::writeShortString(rada, tPzRada::kRada, 2, "01");
  (void)pz::storage::writeShortString(rada, tPzRada::kMena, 3, "EUR");
  const std::span<const std::uint8_t> r(reinterpret_cast<const std::uint8_t*>(rada.data()), rada.size());
  pz::cashdesk::TfPZPokl okno;
  for (auto _ : state) {
    if (!okno.OtevriPokladnu("PZ01_.dta", r)) state.SkipWithError("the document file did not open");
    okno.JdiNa(1, 0);
    okno.Prekresli();
    okno.JdiNa(okno.PocetRadku, 2);
    okno.Prekresli();
    benchmark::DoNotOptimize(okno.sgRol.rows.data());
    okno.ZavriPokladnu();
  }
  state.counters["documents"] = pocet;
  state.counters["rows_drawn"] = okno.Viditelne;
}
BENCHMARK(BM_OtevriPokladnuAStranky)->Arg(10)->Arg(tPzDoklad::kNejvic)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
