// Speed of the end-of-year estimate on long tables: 20,000 and 200,000 ages, with a known
// total 0.003 % above the first estimate, which the passes reach only after raising the life
// expectancy by some hundreds of years (tens of thousands of 0.02-year passes). The counter
// gives the time per row.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "analysis/end_of_year.h"
#include "stop_latency.h"

namespace {

using namespace zandor::analysis;

EndOfYearProblem longTable(std::size_t rows)
{
    EndOfYearInputs in;
    double population = 0;
    for (std::size_t x = 0; x < rows; ++x) {
        const double age = static_cast<double>(x);
        const double n = static_cast<double>(rows);
        const bool last = x + 1 == rows;
        in.maleRates.push_back(last ? 0.5 : std::min(0.5, 0.001 + 0.00002 * age));
        in.femaleRates.push_back(last ? 0.5 : std::min(0.5, 0.0008 + 0.000018 * age));
        in.malePopulation.push_back(std::round(100000 * std::max(0.0, 1 - age / (1.2 * n)) + 10));
        in.femalePopulation.push_back(std::round(100000 * std::max(0.0, 1 - age / (1.1 * n)) + 10));
        population += in.malePopulation.back() + in.femalePopulation.back();
    }
    in.maleBirthsText = "52000";
    in.femaleBirthsText = "48000";
    in.totalText = std::to_string(population / 2);
    EndOfYearProblem p = checkEndOfYear(in);
    // The first estimate: aged with L(x+1) / L(x), the births times L(0), averaged from age 1.
    double first = 0;
    for (const auto* sex : {&p.maleTable, &p.femaleTable}) {
        const auto& P = sex == &p.maleTable ? p.malePopulation : p.femalePopulation;
        first += (sex == &p.maleTable ? p.maleBirths : p.femaleBirths) * sex->Lx[0];
        for (std::size_t x = 1; x < rows; ++x)
            first += (P[x] + P[x - 1] * sex->Lx[x] / sex->Lx[x - 1]) / 2;
    }
    p.total = first * 1.00003;
    return p;
}

void BM_EndOfYear(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    const EndOfYearProblem p = longTable(rows);
    int passes = 0;
    for (auto _ : state)
        passes = estimateEndOfYear(p).passes;
    state.counters["passes"] = passes;
    state.counters["row_us"] = benchmark::Counter(static_cast<double>(rows) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EndOfYear)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// How soon "停止" ends the estimate: the stop is heard before every pass.
void BM_StopEndOfYear(benchmark::State& state)
{
    const EndOfYearProblem p = longTable(static_cast<std::size_t>(state.range(0)));
    bench_support::measureStop(state, [&](const zandor::Feedback& feedback) { estimateEndOfYear(p, feedback); },
                               std::chrono::milliseconds(20));
}
BENCHMARK(BM_StopEndOfYear)->Arg(200000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
