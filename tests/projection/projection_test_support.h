// Inputs for the projection tests: a synthetic 101-age population with smooth mortality and
// fertility, and helpers to choose its fields the way the dialog does.
#pragma once

#include <cmath>
#include <vector>

#include "projection/single_region_inputs.h"
#include "projection/single_region_projection.h"

namespace zandor::projection::testing {

inline constexpr int kAges = 101;

struct SyntheticTable {
    std::vector<double> malePopulation, femalePopulation, maleRates, femaleRates, fertility;
};

// Gompertz-Makeham death rates, a declining population by age and a bell of fertility over
// ages 15-49 (TFR 1.6): enough shape for life tables and fits, nothing that needs checking
// against a publication.
inline SyntheticTable syntheticTable(int ages = kAges) {
    SyntheticTable t;
    for (int x = 0; x < ages; ++x) {
        const double gompertz = 0.00003 * std::exp(0.1 * x);
        t.maleRates.push_back(std::min(1.0, (x == 0 ? 0.006 : 0.0004) + gompertz * 1.3));
        t.femaleRates.push_back(std::min(1.0, (x == 0 ? 0.005 : 0.0003) + gompertz));
        t.malePopulation.push_back(std::round(12000 * std::exp(-0.02 * x)));
        t.femalePopulation.push_back(std::round(11500 * std::exp(-0.018 * x)));
        const double z = (x - 28.0) / 6.0;
        t.fertility.push_back(x >= 15 && x <= 49 ? 0.2 * std::exp(-z * z / 2) : 0.0);
    }
    double sum = 0;
    for (double f : t.fertility) sum += f;
    for (double& f : t.fertility) f *= 1.6 / sum;
    return t;
}

// Chooses the five fields in the dialog's order, with field names "m", "f", "mx", "fx", "asfr".
inline void chooseAll(SingleRegionInputs& in, SingleRegionGrids& grids, const SyntheticTable& t, int baseYear,
                      int endYear) {
    chooseFieldSeries(in, grids, InputField::MalePopulation, "m", t.malePopulation, baseYear, endYear);
    chooseFieldSeries(in, grids, InputField::FemalePopulation, "f", t.femalePopulation, baseYear, endYear);
    chooseFieldSeries(in, grids, InputField::MaleDeathRates, "mx", t.maleRates, baseYear, endYear);
    chooseFieldSeries(in, grids, InputField::FemaleDeathRates, "fx", t.femaleRates, baseYear, endYear);
    chooseFieldSeries(in, grids, InputField::Fertility, "asfr", t.fertility, baseYear, endYear);
}

// A run as the projection dialog makes it: the grids parsed, the run, and its end state kept
// in the input set for the next run.
inline ProjectionResultSet runKeepingEndState(SingleRegionInputs& in, const SingleRegionGrids& grids,
                                              const RunOptions& options) {
    ProjectionRun run = projectSingleRegion(in, parseSchedules(in, grids, options), options);
    in.region = std::move(run.endState);
    return std::move(run.results);
}

}  // namespace zandor::projection::testing
