// The file sort (SetridSoubor on "pracovni.wrk", entries of 59 bytes) beside GNU sort run on the
// same keys in the same run.
//
// Keys are what a column sort of a partner list makes: the collation key of "Surname First name,
// Town" (realistic Czech names, so CH, diacritics and long common prefixes all occur) padded to
// 45 characters and the record number, 50 characters in all (KlicSloupce). GNU sort gets the same
// 50 bytes a line, LC_ALL=C, so both compare the same bytes and give the same order.
//
// Sizes: 200,000 entries (one run, everything in memory) and 1,000,000 (four runs through the
// work file and the merge). Each iteration starts from a fresh copy of the input (not timed); the
// time covers reading the input, sorting and writing the output, and for GNU sort also starting
// the process. Peak memory: for our sort the growth of this process's peak resident size during
// the sort (the peak is reset before it through /proc/self/clear_refs, read with getrusage); for
// GNU sort the peak resident size of its process (wait4).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/sortarray.h"
#include "storage/sortfile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace pz::storage;
using pz::platform::cz;

const char* const kPrijmeni[] = {
    "Novák", "Nováková", "Svoboda", "Svobodová", "Novotný", "Novotná", "Dvořák", "Dvořáková",
    "Černý", "Černá", "Procházka", "Procházková", "Kučera", "Kučerová", "Veselý", "Veselá",
    "Horák", "Horáková", "Němec", "Němcová", "Marek", "Marková", "Pospíšil", "Pospíšilová",
    "Pokorný", "Pokorná", "Hájek", "Hájková", "Král", "Králová", "Jelínek", "Jelínková",
    "Růžička", "Růžičková", "Beneš", "Benešová", "Fiala", "Fialová", "Sedláček", "Sedláčková",
    "Doležal", "Doležalová", "Zeman", "Zemanová", "Kolář", "Kolářová", "Navrátil", "Navrátilová",
    "Čermák", "Čermáková", "Urban", "Urbanová", "Vaněk", "Vaňková", "Blažek", "Blažková",
    "Chalupa", "Chalupová", "Chvátal", "Chvátalová", "Šťastný", "Šťastná", "Říha", "Říhová",
    "Štěpánek", "Štěpánková", "Žák", "Žáková", "Chromý", "Chromá", "Ondráček", "Ondráčková"};
const char* const kJmena[] = {
    "Jan", "Jana", "Petr", "Petra", "Jiří", "Jiřina", "Josef", "Marie", "Pavel", "Pavla",
    "Martin", "Martina", "Tomáš", "Tereza", "Jaroslav", "Jaroslava", "Miroslav", "Eva",
    "Zdeněk", "Hana", "Václav", "Věra", "Michal", "Michaela", "František", "Lenka",
    "Karel", "Kateřina", "Milan", "Lucie", "Vojtěch", "Alena", "Ondřej", "Šárka", "Radek", "Žaneta"};
const char* const kMesta[] = {
    "Praha", "Brno", "Ostrava", "Plzeň", "Liberec", "Olomouc", "České Budějovice", "Hradec Králové",
    "Ústí nad Labem", "Pardubice", "Zlín", "Havířov", "Kladno", "Most", "Opava", "Frýdek-Místek",
    "Karviná", "Jihlava", "Teplice", "Děčín", "Karlovy Vary", "Chomutov", "Jablonec nad Nisou",
    "Mladá Boleslav", "Prostějov", "Přerov", "Česká Lípa", "Třebíč", "Třinec", "Tábor", "Znojmo",
    "Příbram", "Cheb", "Kolín", "Trutnov", "Písek", "Chrudim", "Ivančice", "Čáslav", "Cvikov"};

template <typename T, size_t N>
const char* nahodne(const T (&pole)[N], std::mt19937& g) {
  return pole[g() % N];
}

std::string klic(std::mt19937& g, std::int32_t e) {
  const std::string text = cz(std::string(nahodne(kPrijmeni, g)) + " " + nahodne(kJmena, g) + ", " + nahodne(kMesta, g));
  return KlicSloupce(text, DruhSloupce::Text, e);
}

// The inputs of one size, written once: the 59-byte entries and the same keys as text lines.
struct Data {
  fs::path dir;
  fs::path entries, lines;
  RecordingInteraction quiet;

  explicit Data(std::int32_t n) {
    dir = fs::temp_directory_path() / ("pzbench-sort-" + std::to_string(getpid()) + "-" + std::to_string(n));
    fs::create_directories(dir);
    entries = dir / "input.59";
    lines = dir / "input.txt";
    std::ofstream e(entries, std::ios::binary), l(lines, std::ios::binary);
    std::mt19937 g(2026);
    std::string entry(kPolozkaTrideni, '\0');
    for (std::int32_t i = 1; i <= n; ++i) {
      const std::string k = klic(g, i);
      std::fill(entry.begin(), entry.end(), '\0');
      (void)writeShortString(entry, 0, kDelkaKlice, k);
      writeI32(entry, 51, i);
      writeI32(entry, 55, i);
      e.write(entry.data(), static_cast<std::streamsize>(entry.size()));
      l << k << '\n';
    }
    pz::platform::paths().setWorkDir(dir.string());
    setInteraction(&quiet);
  }
  ~Data() {
    setInteraction(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

long peakKb() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

long currentKb() {
  std::ifstream s("/proc/self/status");
  std::string line;
  while (std::getline(s, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void resetPeak() {
  std::ofstream c("/proc/self/clear_refs");
  c << "5";
}

void BM_SetridSoubor(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  Data data(n);
  const fs::path prac = data.dir / kPracovniSoubor;
  long narust = 0;
  InfoTrideni info;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(data.entries, prac, fs::copy_options::overwrite_existing);
    resetPeak();
    const long pred = currentKb();
    state.ResumeTiming();
    const int stav = SetridSoubor(kPracovniSoubor, kPolozkaTrideni, {}, {}, &info);
    state.PauseTiming();
    narust = std::max(narust, peakKb() - pred);
    if (stav != 0 || fs::file_size(prac) != static_cast<std::uintmax_t>(n) * 8) state.SkipWithError("sort failed");
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = static_cast<double>(narust) / 1024.0;
  state.counters["runs_on_disk"] = info.behu;
  state.SetItemsProcessed(state.iterations() * n);
}

// Runs GNU sort on the key lines; `extra` are further options.
void gnuSort(benchmark::State& state, std::vector<std::string> extra) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  Data data(n);
  const std::string out = (data.dir / "output.txt").string();
  std::vector<std::string> args = {"sort"};
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), {"-T", data.dir.string(), "-o", out, data.lines.string()});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = {"LC_ALL=C", "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  long peak = 0;
  for (auto _ : state) {
    pid_t pid;
    if (posix_spawnp(&pid, "sort", nullptr, nullptr, argv.data(), envp.data()) != 0) {
      state.SkipWithError("sort could not be started");
      break;
    }
    int status = 0;
    struct rusage ru;
    wait4(pid, &status, 0, &ru);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("sort failed");
    peak = std::max(peak, ru.ru_maxrss);
  }
  state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_GnuSort(benchmark::State& state) { gnuSort(state, {}); }
// The same budget as ours: one thread, a 32 MB buffer.
void BM_GnuSort_1thread_32MB(benchmark::State& state) { gnuSort(state, {"--parallel=1", "-S", "32M"}); }

BENCHMARK(BM_SetridSoubor)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_GnuSort)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_GnuSort_1thread_32MB)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
