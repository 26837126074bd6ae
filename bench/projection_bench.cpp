// Speed of the single-region and the urban-rural projection: 101 single-year ages over 100
// projected years with a life-expectancy target in every year for every sex (and region), so
// that every year and sex runs its own logit-shift fit. The urban-rural run projects two
// regions and should cost about twice the single-region run. Argument 0: the literal mode,
// 1: the exact mode ("精确模式": the fit on the table's own e0, the open last age).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "projection/single_region_projection.h"
#include "projection/schedule_grids.h"
#include "projection/urban_rural_projection.h"
#include "stop_latency.h"
#include "text/numbers.h"

namespace {

using namespace zandor::projection;

constexpr int kAges = 101;
constexpr int kBaseYear = 2020;
constexpr int kEndYear = 2120;

struct Series {
    std::vector<double> male, female, maleRates, femaleRates, fertility;
};

// A smooth synthetic population: Gompertz-Makeham mortality, a bell of fertility (TFR 1.6).
Series syntheticSeries(double size) {
    Series s;
    for (int x = 0; x < kAges; ++x) {
        const double gompertz = 0.00003 * std::exp(0.1 * x);
        s.maleRates.push_back(std::min(1.0, (x == 0 ? 0.006 : 0.0004) + gompertz * 1.3));
        s.femaleRates.push_back(std::min(1.0, (x == 0 ? 0.005 : 0.0003) + gompertz));
        s.male.push_back(std::round(size * std::exp(-0.02 * x)));
        s.female.push_back(std::round(size * (115.0 / 120.0) * std::exp(-0.018 * x)));
        const double z = (x - 28.0) / 6.0;
        s.fertility.push_back(x >= 15 && x <= 49 ? 0.05 * std::exp(-z * z / 2) : 0.0);
    }
    return s;
}

struct Prepared {
    SingleRegionInputs inputs;
    SingleRegionGrids grids;
};

// The synthetic population, its fields chosen as in the dialog, and e0 targets rising by 0.1
// a year.
Prepared prepare() {
    const Series s = syntheticSeries(120000);
    Prepared p;
    p.grids = openScheduleGrids(0, kBaseYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::MalePopulation, "m", s.male, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::FemalePopulation, "f", s.female, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::MaleDeathRates, "mx", s.maleRates, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::FemaleDeathRates, "fx", s.femaleRates, kBaseYear, kEndYear);
    chooseFieldSeries(p.inputs, p.grids, InputField::Fertility, "asfr", s.fertility, kBaseYear, kEndYear);
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
    RunOptions options;
    options.exact = state.range(0) != 0;
    for (auto _ : state) {
        const ProjectionRun run = projectSingleRegion(prepared.inputs, parseSchedules(prepared.inputs, prepared.grids, options), options);
        benchmark::DoNotOptimize(run.results.total.data());
    }
}
BENCHMARK(BM_ProjectWithLifeExpectancyTargets)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

struct PreparedUrbanRural {
    SingleRegionInputs rural;
    SingleRegionInputs urban;
    UrbanRuralGrids grids;
};

// Both regions from the synthetic population (the urban one smaller), e0 targets rising by 0.1
// a year in all four rows, and 2000 persons of each sex moving every year at ages 18-27.
PreparedUrbanRural prepareUrbanRural() {
    PreparedUrbanRural p;
    p.grids = openUrbanRuralGrids(10, 1990);
    const std::pair<Region, Series> regions[] = {{Region::Rural, syntheticSeries(120000)},
                                                 {Region::Urban, syntheticSeries(80000)}};
    for (const auto& [region, s] : regions) {
        SingleRegionInputs& in = region == Region::Rural ? p.rural : p.urban;
        const std::pair<InputField, const std::vector<double>*> fields[] = {
            {InputField::MalePopulation, &s.male},      {InputField::FemalePopulation, &s.female},
            {InputField::MaleDeathRates, &s.maleRates}, {InputField::FemaleDeathRates, &s.femaleRates},
            {InputField::Fertility, &s.fertility}};
        for (const auto& [field, series] : fields) {
            chooseUrbanRuralFieldSeries(in, region, p.grids, field, "f", *series, kBaseYear, kEndYear);
        }
    }
    setYearColumns(p.grids.movers, kEndYear - kBaseYear, kBaseYear);
    setYearColumns(p.grids.maleMoverShares, kEndYear - kBaseYear, kBaseYear);
    setYearColumns(p.grids.femaleMoverShares, kEndYear - kBaseYear, kBaseYear);
    for (int c = 1; c <= kEndYear - kBaseYear; ++c) {
        for (Region region : {Region::Rural, Region::Urban}) {
            const SingleRegionInputs& in = region == Region::Rural ? p.rural : p.urban;
            p.grids.lifeExpectancy.setCell(lifeExpectancyRow(region, Sex::Male), c,
                                           zandor::text::formatGeneral(in.region.male.ex[0] + 0.1 * c));
            p.grids.lifeExpectancy.setCell(lifeExpectancyRow(region, Sex::Female), c,
                                           zandor::text::formatGeneral(in.region.female.ex[0] + 0.1 * c));
        }
        p.grids.movers.setCell(1, c, "2000");
        p.grids.movers.setCell(2, c, "2000");
        for (int age = 0; age < kMoverShareAges; ++age) {
            const char* share = age >= 18 && age <= 27 ? "0.1" : "0";
            p.grids.maleMoverShares.setCell(age + 1, c, share);
            p.grids.femaleMoverShares.setCell(age + 1, c, share);
        }
    }
    return p;
}

// One run: the schedules of both regions read from the grids, then both projections.
void BM_ProjectUrbanRuralWithLifeExpectancyTargets(benchmark::State& state) {
    const PreparedUrbanRural prepared = prepareUrbanRural();
    const UrbanRuralOptions options{.exact = state.range(0) != 0};
    for (auto _ : state) {
        const UrbanRuralSchedules schedules = parseUrbanRuralSchedules(prepared.rural, prepared.urban, prepared.grids);
        UrbanRuralRun run = projectUrbanRural(prepared.rural, prepared.urban, schedules, options);
        benchmark::DoNotOptimize(run.results.rural.total.data());
    }
}
BENCHMARK(BM_ProjectUrbanRuralWithLifeExpectancyTargets)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// How soon "停止" ends a run: the stop is heard at the start of every projected year.
void BM_StopProjection(benchmark::State& state) {
    const Prepared prepared = prepare();
    const RunOptions options;
    const SingleRegionSchedules schedules = parseSchedules(prepared.inputs, prepared.grids, options);
    bench_support::measureStop(
        state, [&](const zandor::Feedback& feedback) { projectSingleRegion(prepared.inputs, schedules, options, feedback); },
        std::chrono::milliseconds(0));
}
BENCHMARK(BM_StopProjection)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_StopUrbanRural(benchmark::State& state) {
    const PreparedUrbanRural prepared = prepareUrbanRural();
    const UrbanRuralSchedules schedules = parseUrbanRuralSchedules(prepared.rural, prepared.urban, prepared.grids);
    bench_support::measureStop(
        state,
        [&](const zandor::Feedback& feedback) { projectUrbanRural(prepared.rural, prepared.urban, schedules, {}, feedback); },
        std::chrono::milliseconds(0));
}
BENCHMARK(BM_StopUrbanRural)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
