// Speed of zandor-cli project-batch: R generated regions (tables of the sample's shape: 101
// single-year ages, the six prepared fields), one manifest row each, 30 projected years, on
// two threads, end to end (manifest, tables read, projections, every result file and the
// summary written through the output writer). The aim is 3,000 regions in at most 3 s of wall
// time on two cores, and a time linear in the number of regions.
//
// The tables are made once before timing, in ZANDOR_BENCH_TMP (default: the system's
// temporary folder), 100 to a folder (a province's counties by prefecture) and, for the last
// case, all in one folder: the table store looks through a table's folder for interrupted
// writes each time it opens a table, so one folder of thousands of tables costs more.
// Arguments: regions, threads, tables per folder. The counter cpu_s is the processor time
// of all threads, which on a busy machine says more than the wall time.
//
// Measured (Release, 2 cores, load average about 5 from other builds): 3,000 regions on two
// threads 9.5 s wall, 1.8 s processor time (0.6 ms a run; 1,000 regions 0.47 s), so about
// 1 s wall on two idle cores; the same 3,000 tables in one folder 6.7 s processor time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "tables/table_file.h"

namespace {

namespace fs = std::filesystem;
using zandor::tables::FieldDef;
using zandor::tables::FieldKind;

constexpr int kAges = 101;
constexpr int kMostRegions = 3000;

// Region r: a population of its own size and age slope, mortality and fertility levels that
// differ a little from one region to the next (Gompertz-Makeham rates, a bell of fertility).
void writeRegion(const fs::path& path, int r) {
    auto created = zandor::tables::createTableFile(
        path.string(), zandor::tables::TableFormat::Paradox,
        {FieldDef{"年龄", FieldKind::Integer}, FieldDef{"男性人口", FieldKind::Float},
         FieldDef{"女性人口", FieldKind::Float}, FieldDef{"男性死亡率", FieldKind::Float},
         FieldDef{"女性死亡率", FieldKind::Float}, FieldDef{"年龄别生育率", FieldKind::Float}});
    const double size = 20000 + 97.0 * (r % 500);
    const double slope = 0.012 + 0.00001 * (r % 700);
    const double level = 0.8 + 0.0004 * (r % 1000);
    const double tfr = 1.1 + 0.0003 * (r % 2000);
    std::vector<double> fertility(kAges, 0.0);
    double sum = 0;
    for (int x = 15; x <= 49; ++x) {
        const double z = (x - 28.0) / 6.0;
        sum += fertility[static_cast<std::size_t>(x)] = std::exp(-z * z / 2);
    }
    for (int x = 0; x < kAges; ++x) {
        const double gompertz = 0.00003 * std::exp(0.1 * x) * level;
        created.table->append({std::int64_t(x), std::round(size * std::exp(-slope * x)),
                               std::round(size * 0.96 * std::exp(-(slope - 0.002) * x)),
                               std::min(1.0, (x == 0 ? 0.006 : 0.0004) + gompertz * 1.3),
                               std::min(1.0, (x == 0 ? 0.005 : 0.0003) + gompertz),
                               fertility[static_cast<std::size_t>(x)] * tfr / sum});
    }
    created.table->flush();
}

// Texts joined by appending (GCC 12 warns wrongly about "literal" + std::string at -O2).
std::string cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) out += part;
    return out;
}

fs::path benchFolder() {
    const char* root = std::getenv("ZANDOR_BENCH_TMP");
    return fs::path(root ? root : fs::temp_directory_path().string()) / cat({"zandor-batch-bench-", std::to_string(getpid())});
}

// The tables of every region (made once, both layouts) and a manifest of the first `regions`
// of them.
fs::path prepare(int regions, int perFolder) {
    static const fs::path folder = [] {
        const fs::path f = benchFolder();
        fs::create_directories(f / "one");
        for (int r = 0; r < kMostRegions; ++r) {
            const std::string name = cat({"r", std::to_string(r), ".db"});
            writeRegion(f / "one" / name, r);
            const fs::path grouped = f / cat({"g", std::to_string(r / 100)});
            fs::create_directories(grouped);
            fs::copy_file(f / "one" / name, grouped / name, fs::copy_options::overwrite_existing);
        }
        return f;
    }();
    const fs::path manifest = folder / cat({"manifest", std::to_string(regions), "-", std::to_string(perFolder), ".csv"});
    std::ofstream out(manifest);
    out << "name,table,male-pop,female-pop,male-rates,female-rates,fertility,base-year,end-year\n";
    for (int r = 0; r < regions; ++r) {
        const std::string table = perFolder >= kMostRegions ? std::string("one/r") : cat({"g", std::to_string(r / 100), "/r"});
        out << "r" << r << "," << table << r << ".db,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率,2020,2050\n";
    }
    return manifest;
}

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_ProjectBatch(benchmark::State& state) {
    const int regions = static_cast<int>(state.range(0));
    const fs::path manifest = prepare(regions, static_cast<int>(state.range(2)));
    const fs::path out = manifest.parent_path() / cat({"out-", manifest.stem().string()});
    std::FILE* sink = std::fopen("/dev/null", "w");
    double processor = 0;
    for (auto _ : state) {
        const double before = processorSeconds();
        const int status = zandor::cli::runCli({"project-batch", manifest.string(), "--out", out.string(), "--threads",
                                                std::to_string(state.range(1))},
                                               {sink, sink});
        processor += processorSeconds() - before;
        if (status != 0) state.SkipWithError("project-batch failed");
    }
    std::fclose(sink);
    state.counters["regions/s"] = benchmark::Counter(static_cast<double>(regions) * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
    state.counters["cpu_s"] = processor / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ProjectBatch)
    ->Args({1000, 2, 100})
    ->Args({3000, 2, 100})
    ->Args({3000, 1, 100})
    ->Args({3000, 2, 3000})
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Removes the generated tables and results after the last benchmark.
struct Cleanup {
    ~Cleanup() {
        std::error_code ignored;
        fs::remove_all(benchFolder(), ignored);
    }
} cleanup;

}  // namespace
BENCHMARK_MAIN();
