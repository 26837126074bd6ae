// Speed of the single-region projection: 101 single-year ages over 100 projected years with
// a life-expectancy target in every year for both sexes, so that every year and sex runs
// its own logit-shift fit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "projection/single_region_projection.h"
#include "text/numbers.h"

namespace {

using namespace zandor::projection;

constexpr int kAges = 101;
constexpr int kBaseYear = 2020;
constexpr int kEndYear = 2120;

struct Prepared {
    SingleRegionInputs inputs;
    SingleRegionGrids grids;
};

// A smooth synthetic population (Gompertz-Makeham mortality, a bell of fertility, TFR 1.6),
// its fields chosen as in the dialog, and e0 targets rising by 0.1 a year.
Prepared prepare() {
    std::vector<double> male, female, maleRates, femaleRates, fertility;
    for (int x = 0; x < kAges; ++x) {
        const double gompertz = 0.00003 * std::exp(0.1 * x);
        maleRates.push_back(std::min(1.0, (x == 0 ? 0.006 : 0.0004) + gompertz * 1.3));
        femaleRates.push_back(std::min(1.0, (x == 0 ? 0.005 : 0.0003) + gompertz));
        male.push_back(std::round(120000 * std::exp(-0.02 * x)));
        female.push_back(std::round(115000 * std::exp(-0.018 * x)));
        const double z = (x - 28.0) / 6.0;
        fertility.push_back(x >= 15 && x <= 49 ? 0.05 * std::exp(-z * z / 2) : 0.0);
    }
    Prepared p;
    p.grids = openScheduleGrids(0, kBaseYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::MalePopulation, "m", male, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::FemalePopulation, "f", female, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::MaleDeathRates, "mx", maleRates, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::FemaleDeathRates, "fx", femaleRates, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::Fertility, "asfr", fertility, kBaseYear, kEndYear);
    const double maleE0 = p.inputs.region.male.ex[0];
    const double femaleE0 = p.inputs.region.female.ex[0];
    for (int c = 1; c <= kEndYear - kBaseYear; ++c) {
        p.grids.lifeExpectancy.setCell(kMaleRow, c, zandor::text::formatGeneral(maleE0 + 0.1 * c));
        p.grids.lifeExpectancy.setCell(kFemaleRow, c, zandor::text::formatGeneral(femaleE0 + 0.1 * c));
    }
    return p;
}

// One run, including the copy of the input set it starts from (a run overwrites it).
void BM_ProjectWithLifeExpectancyTargets(benchmark::State& state) {
    const Prepared prepared = prepare();
    for (auto _ : state) {
        const RunOptions options;
        const ProjectionRun run = projectSingleRegion(prepared.inputs, parseSchedules(prepared.inputs, prepared.grids, options), options);
        benchmark::DoNotOptimize(run.results.total.data());
    }
}
BENCHMARK(BM_ProjectWithLifeExpectancyTargets)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
