// Speed of the target-planning search on samples/single_region.DB with the dialog's settings
// (100 individuals, up to 300 generations, 500 runs a year):
//  - one generation of 100 individuals on one core, in runs that converge (births the table
//    can give) and in runs that reach the cap (births above what any gene can give);
//  - whole presses on 2 threads: the README's example (2000-2010, target 9900000, seed 1;
//    median of 5), a target no run reaches (2000-2001, 11500000: a TFR of about 24 needed,
//    above the 12.247 the genes' limits allow), and the 40-year plan (2000-2040, 9900000),
//    which stops at its first year without a converged run.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <tuple>

#include "analysis/target_planning.h"
#include "analysis/target_search.h"
#include "stop_latency.h"
#include "tables/table.h"
#include "text/refusal.h"

namespace {

using namespace zandor::analysis;

struct Sample {
    TargetPlanningSettings settings;
    TargetBirths births;
};

const Sample& sample(int from, int to, const std::string& target)
{
    static std::map<std::tuple<int, int, std::string>, Sample> made;
    const auto key = std::tuple{from, to, target};
    if (auto it = made.find(key); it != made.end())
        return it->second;
    auto table = zandor::tables::Table::open(ZANDOR_SOURCE_DIR "/samples/single_region.DB", true);
    TargetPlanningInput in;
    in.malePopulation = loadTargetSeries(table, "男性人口", TargetSeries::Population);
    in.femalePopulation = loadTargetSeries(table, "女性人口", TargetSeries::Population);
    in.maleRates = loadTargetSeries(table, "男性死亡率", TargetSeries::DeathRates);
    in.femaleRates = loadTargetSeries(table, "女性死亡率", TargetSeries::DeathRates);
    in.fertility = loadTargetSeries(table, "年龄别生育率", TargetSeries::Fertility);
    in.fromYear = from;
    in.toYear = to;
    Sample s;
    s.settings = parseTargetSettings({.target = target});
    s.births = prepareTargetBirths(in, s.settings);
    return made.emplace(key, std::move(s)).first->second;
}

// Runs of the first planning year, one after another on one thread; the counter gives the
// time per generation. Arg 0: a reachable target (the README's); arg 1: an unreachable one.
void BM_TargetGeneration(benchmark::State& state)
{
    const auto& s = state.range(0) == 0 ? sample(2000, 2010, "9900000") : sample(2000, 2001, "11500000");
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
BENCHMARK(BM_TargetGeneration)->ArgName("unreachable")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One press of "&OK" on 2 threads; a press that ends with a refusal (a year without a
// converged run) counts as finished when it ends.
void press(benchmark::State& state, int from, int to, const std::string& target, std::uint64_t seed)
{
    const auto& s = sample(from, to, target);
    int years = 0;
    int capped = 0;
    int refused = 0;
    TargetSearchOptions options;
    options.seed = seed;
    options.threads = 2;
    for (auto _ : state) {
        try {
            const auto result = searchTargetFertility(s.births, s.settings, options);
            years += static_cast<int>(result.years.size());
            for (const auto& year : result.years)
                capped += year.generationCapped;
        } catch (const zandor::Refusal& e) {
            ++refused;
            state.SetLabel(e.what());
        }
    }
    state.counters["years"] = benchmark::Counter(years, benchmark::Counter::kAvgIterations);
    state.counters["capped_runs"] = benchmark::Counter(capped, benchmark::Counter::kAvgIterations);
    state.counters["refused"] = benchmark::Counter(refused, benchmark::Counter::kAvgIterations);
}

// How soon "Stop" ends a press of the README's example on 2 threads: the stop is heard
// before every run, so the runs under way finish first.
void BM_StopTargetPress(benchmark::State& state)
{
    const auto& s = sample(2000, 2010, "9900000");
    const TargetSearchOptions options{.seed = 1, .threads = 2};
    bench_support::measureStop(
        state, [&](const zandor::Feedback& feedback) { searchTargetFertility(s.births, s.settings, options, feedback); },
        std::chrono::milliseconds(300));
}
BENCHMARK(BM_StopTargetPress)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_TargetPressReadme(benchmark::State& state) { press(state, 2000, 2010, "9900000", 1); }
BENCHMARK(BM_TargetPressReadme)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(5);

void BM_TargetPressUnreachable(benchmark::State& state) { press(state, 2000, 2001, "11500000", 1); }
BENCHMARK(BM_TargetPressUnreachable)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_TargetPressFortyYears(benchmark::State& state) { press(state, 2000, 2040, "9900000", 1); }
BENCHMARK(BM_TargetPressFortyYears)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
