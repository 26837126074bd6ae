// The single-region cohort-component projection ("开始预测"): checks the loaded base data,
// turns the schedule grids into yearly fertility rates and person-years lived (fitting each
// target life expectancy by a logit shift of the base life table, or moving towards new
// survival curves), advances the population one calendar year at a time and records every
// year in the projection result set.
#pragma once

#include <string>
#include <vector>

#include "projection/result_set.h"
#include "projection/single_region_inputs.h"
#include "text/edition.h"

namespace zandor::projection {

enum class MortalityOption {
    LifeExpectancy,  // "期望寿命:": the e0 schedule of the life-expectancy grid
    SurvivalCurves,  // "新的男性和女性存活概率曲线(lx) ": lx fields reached in the end year
};

struct RunOptions {
    Edition edition = Edition::Full;
    bool wizardData = false;                 // the wizard filled the input set: no field lists
    std::string urbanShareText = "0.26";     // "起始年城镇人口比重:"
    std::string migrantStockText = "50000";  // "请输入现有流动人口规模"
    MortalityOption mortality = MortalityOption::LifeExpectancy;
    // With SurvivalCurves: the lx fields of the two lists, by age (N values each, lx[0] = 1).
    std::vector<double> maleSurvival;
    std::vector<double> femaleSurvival;
};

// Runs the projection of inputs.yearCount years from inputs.baseYear.
//
// Refusals (zandor::Refusal, nothing computed): a field list without text (unless
// wizardData), fewer than 71 ages, a negative population, a death rate outside 0..1 or a
// fertility rate outside 0..1 (each with its message, the first failing age first).
// Refusals during the run (the input set may already hold some new schedules): a sex ratio
// at birth of -100, a life-expectancy target no logit shift reaches, a zero Lx under a
// survival ratio, a result beyond the range of numbers; each names the year.
// A grid cell or box that is not a number throws text::NumberFormatError naming the cell.
//
// The run writes into `inputs` the ASFR, lx and Lx schedules and the TFR by year, and
// leaves the population arrays holding the last projected year; with survival curves the
// a-values are recomputed (the last age then has 0.5).
ProjectionResultSet projectSingleRegion(SingleRegionInputs& inputs, const SingleRegionGrids& grids,
                                        const RunOptions& options);

}  // namespace zandor::projection
