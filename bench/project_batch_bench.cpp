// Speed of zandor-cli project-batch: R generated regions (tables of the sample's shape: 101
// single-year ages, the six prepared fields), one manifest row each, 30 projected years, on
// two threads, end to end (manifest, tables read, projections, every result file and the
// summary written through the output writer). The aim is 3,000 regions in at most 3 s of wall
// time on two cores, and a time linear in the number of regions.
//
// The tables are made once before timing, in ZANDOR_BENCH_TMP (default: the system's
// temporary folder). Arguments: regions, threads.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
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

fs::path benchFolder() {
    const char* root = std::getenv("ZANDOR_BENCH_TMP");
    return fs::path(root ? root : fs::temp_directory_path().string()) / ("zandor-batch-bench-" + std::to_string(getpid()));
}

// The tables of every region (made once) and a manifest of the first `regions` of them.
fs::path prepare(int regions) {
    static const fs::path folder = [] {
        const fs::path f = benchFolder();
        fs::create_directories(f / "tables");
        for (int r = 0; r < kMostRegions; ++r) writeRegion(f / "tables" / ("r" + std::to_string(r) + ".db"), r);
        return f;
    }();
    const fs::path manifest = folder / ("manifest" + std::to_string(regions) + ".csv");
    std::ofstream out(manifest);
    out << "name,table,male-pop,female-pop,male-rates,female-rates,fertility,base-year,end-year\n";
    for (int r = 0; r < regions; ++r)
        out << "r" << r << ",tables/r" << r << ".db,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率,2020,2050\n";
    return manifest;
}

void BM_ProjectBatch(benchmark::State& state) {
    const int regions = static_cast<int>(state.range(0));
    const fs::path manifest = prepare(regions);
    const fs::path out = manifest.parent_path() / ("out" + std::to_string(regions));
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        const int status = zandor::cli::runCli({"project-batch", manifest.string(), "--out", out.string(), "--threads",
                                                std::to_string(state.range(1))},
                                               {sink, sink});
        if (status != 0) state.SkipWithError("project-batch failed");
    }
    std::fclose(sink);
    state.counters["regions/s"] = benchmark::Counter(static_cast<double>(regions) * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ProjectBatch)
    ->Args({1000, 2})
    ->Args({3000, 2})
    ->Args({3000, 1})
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
