// Speed of the target-planning search on samples/single_region.DB with the dialog's settings
// (100 individuals, up to 300 generations, 500 runs a year, 10 planning years) and a target
// the table can reach (9900000, about a million above the population aged without births):
//  - one generation of 100 individuals on one core (the time of a run over its generations);
//  - the whole press on one thread and on every core, with the runs that reached the cap.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <thread>

#include "analysis/target_planning.h"
#include "analysis/target_search.h"
#include "tables/table.h"

namespace {

using namespace zandor::analysis;

struct Sample {
    TargetPlanningSettings settings;
    TargetBirths births;
};

const Sample& sample()
{
    static const Sample s = [] {
        auto table = zandor::tables::Table::open(ZANDOR_SOURCE_DIR "/samples/single_region.DB", true);
        TargetPlanningInput in;
        in.malePopulation = loadTargetSeries(table, "男性人口", TargetSeries::Population);
        in.femalePopulation = loadTargetSeries(table, "女性人口", TargetSeries::Population);
        in.maleRates = loadTargetSeries(table, "男性死亡率", TargetSeries::DeathRates);
        in.femaleRates = loadTargetSeries(table, "女性死亡率", TargetSeries::DeathRates);
        in.fertility = loadTargetSeries(table, "年龄别生育率", TargetSeries::Fertility);
        in.fromYear = 2000;
        in.toYear = 2010;
        Sample made;
        made.settings = parseTargetSettings({.target = "9900000"});
        made.births = prepareTargetBirths(in, made.settings);
        return made;
    }();
    return s;
}

// Runs of the first planning year, one after another on one thread; the counter gives the
// time per generation.
void BM_TargetGeneration(benchmark::State& state)
{
    const auto& s = sample();
    const auto problem = target_search::makeProblem(s.births, s.settings, 0);
    target_search::Scratch scratch(s.settings.individuals);
    std::uint64_t run = 0;
    double generations = 0;
    for (auto _ : state) {
        target_search::Generator random(1, 0, run++);
        generations += target_search::runOnce(problem, random, scratch).generation;
    }
    state.counters["generation_us"] = benchmark::Counter(generations / 1e6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["generations_per_run"] = generations / static_cast<double>(run);
}
BENCHMARK(BM_TargetGeneration)->Unit(benchmark::kMillisecond);

// The whole press: 10 years x 500 runs, on 1 thread and on every core.
void BM_TargetPress(benchmark::State& state)
{
    const auto& s = sample();
    int capped = 0;
    int runs = 0;
    TargetSearchOptions options;
    options.seed = 2024;
    options.threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const auto result = searchTargetFertility(s.births, s.settings, options);
        for (const auto& year : result.years) {
            capped += year.generationCapped;
            runs += year.converged + year.generationCapped;
        }
    }
    state.counters["capped_runs"] = benchmark::Counter(capped, benchmark::Counter::kAvgIterations);
    state.counters["runs"] = benchmark::Counter(runs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TargetPress)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
