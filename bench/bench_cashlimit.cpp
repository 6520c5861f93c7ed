// The check of the legal limit on cash payments before a save, over a data root of 10 series of
// 100,000 documents each (partners 1 to 500, payment dates over a year): the day's sum of one
// partner in one direction.
//
//   steady      every file's picture is taken and none changed: the usual save
//   one_changed the series being saved changed since the last check: its file is read again
//   cold        the first check after the program started: every file is read (the peer: what
//               each check would cost without the pictures)
//
// The files lie in a fresh directory under the system's temporary directory, warm in the page
// cache.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cashdesk/cashlimit.h"
#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "platform/paths.h"
#include "storage/fields.h"
#include "storage/params.h"
#include "storage/roots.h"

namespace {

namespace fs = std::filesystem;
using pz::cashdesk::tPzDoklad;

constexpr int kRad = 10, kDokladu = 100000;

struct DatovyKoren {
  fs::path cesta;
  DatovyKoren() {
    char vzor[] = "/tmp/pzbench_cashlimit_XXXXXX";
    cesta = mkdtemp(vzor);
    pz::platform::paths().setWorkDir(cesta.string());
    pz::storage::ZapomenAdresy();
    for (int r = 1; r <= kRad; ++r) {
      std::ofstream f(cesta / ("PZ0" + std::to_string(r - 1) + "_.dta"), std::ios::binary | std::ios::trunc);
      for (int i = 1; i <= kDokladu; ++i) {
        const pz::platform::Date den{2026, 1 + i % 12, 1 + i % 28};
        auto v = pz::cashdesk::PrazdnyDoklad(den);
        (void)pz::storage::writeShortString(v, tPzDoklad::kDruh, 1, i % 3 ? "P" : "V");
        (void)pz::storage::writeShortString(v, tPzDoklad::kIdent, 5, pz::cashdesk::IdentDokladu(i));
        (void)pz::storage::writeU16(v, tPzDoklad::kCisloOrg, static_cast<std::uint16_t>(1 + i % 500));
        (void)pz::storage::writeShortString(v, tPzDoklad::kDatumZapl, 6, pz::cashdesk::DatumDokladu(den));
        (void)pz::storage::writeReal48(v, tPzDoklad::kPlacenoKc, 1000 + i % 997);
        f.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
      }
    }
    // The pictures are trusted only once the second of the files' last change has passed.
    sleep(2);
  }
  ~DatovyKoren() {
    pz::storage::ZahodParametry();
    pz::platform::paths().clear();
    std::error_code ec;
    fs::remove_all(cesta, ec);
  }
};

DatovyKoren& koren() {
  static DatovyKoren k;
  return k;
}

pz::cashdesk::PokladniDoklad prijem() {
  pz::cashdesk::PokladniDoklad d;
  d.druh = "P";
  d.cisloOrg = 7;
  d.datumZapl = pz::cashdesk::DatumDokladu({2026, 7, 7});
  d.placenoKc = 1000 * 10000;
  return d;
}

void BM_LimitHotovosti(benchmark::State& state) {
  koren();
  const int rezim = static_cast<int>(state.range(0));  // 0 steady, 1 one changed, 2 cold
  pz::cashdesk::HotovostDne hotovost;
  const auto d = prijem();
  (void)pz::cashdesk::VarovaniLimitu(hotovost, d, "PZ00_.dta", 0, 270000LL * 10000);
  for (auto _ : state) {
    if (rezim == 1) hotovost.Zapomen("PZ00_.dta");
    if (rezim == 2) hotovost = pz::cashdesk::HotovostDne();
    benchmark::DoNotOptimize(pz::cashdesk::VarovaniLimitu(hotovost, d, "PZ00_.dta", 0, 270000LL * 10000));
  }
  state.counters["documents"] = kRad * kDokladu;
  state.SetLabel(rezim == 0 ? "steady" : rezim == 1 ? "one_changed" : "cold");
}
BENCHMARK(BM_LimitHotovosti)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
