// The single-region cohort-component projection ("开始预测"), in two steps. parseSchedules
// checks the loaded base data and turns the schedule grids and boxes into numbers;
// projectSingleRegion derives the yearly fertility rates and person-years lived (fitting
// each target life expectancy by a logit shift of the base life table, or moving towards new
// survival curves), advances the population one calendar year at a time and records every
// year in the projection result set. Neither changes its inputs: the run returns, beside the
// results, the region as it stands at the end (the schedules it used and the population of
// the last year), which the session keeps for the next run.
#pragma once

#include <string>
#include <vector>

#include "core/feedback.h"
#include "projection/messages.h"
#include "projection/result_set.h"
#include "projection/single_region_inputs.h"
#include "projection/yearly_schedules.h"
#include "text/edition.h"

namespace zandor::projection {

enum class MortalityOption {
    LifeExpectancy,  // "期望寿命:": the e0 schedule of the life-expectancy grid
    SurvivalCurves,  // "新的男性和女性存活概率曲线(lx) ": lx fields reached in the end year
};

struct RunOptions {
    Edition edition = Edition::Full;
    bool wizardData = false;  // the wizard filled the input set: no field lists
    std::string urbanShareText{label::kDefaultUrbanShare};      // "起始年城镇人口比重:"
    std::string migrantStockText{label::kDefaultMigrantStock};  // "请输入现有流动人口规模"
    MortalityOption mortality = MortalityOption::LifeExpectancy;
    // With SurvivalCurves: the lx fields of the two lists, by age (N values each, lx[0] = 1).
    std::vector<double> maleSurvival;
    std::vector<double> femaleSurvival;
    // "精确模式": e0 targets met on the life table's own e0, a year whose e0 cell keeps the
    // base text on the base life table, the oldest age surviving as an open group and the
    // deaths fully accounted (see exactMortalityFromLifeExpectancy and projectOneYear).
    bool exact = false;
};

// The grids and boxes of a run as numbers.
struct SingleRegionSchedules {
    RegionSchedules region;
    std::vector<double> newMigrants;  // by projected year
    std::vector<double> migrantBirthRate;
    std::vector<double> migrantDeathRate;
    double urbanShare = 0;
    double migrantStock = 0;  // read in Zandor only
};

// Checks the base data and reads every schedule cell and box a run uses.
//
// Refusals (zandor::Refusal), in this order: a field list without text (unless wizardData),
// fewer than 71 ages, an end year before the base year, a negative population, a death rate
// outside 0..1 or a fertility rate outside 0..1 (each with its message, the first failing
// age first); then, while the cells are read, an urban share outside 0..1 (naming the box and
// the range) and a sex ratio at birth of -100 (naming the year).
// A cell or box that is not a number throws text::NumberFormatError naming the row or box
// and the year. Cells are read migrants, boxes, sex ratio, TFR, pattern, male and female e0.
SingleRegionSchedules parseSchedules(const SingleRegionInputs& inputs, const SingleRegionGrids& grids,
                                     const RunOptions& options);

struct ProjectionRun {
    ProjectionResultSet results;
    // The region at the end of the run: the population of the last projected year, the
    // ASFR, TFR, pattern, birth-share, lx and Lx schedules of the run (with survival curves
    // also the recomputed a-values, the last age then with 0.5).
    RegionInputs endState;
};

// Runs the projection of inputs.yearCount years from inputs.baseYear with the parsed
// schedules. Makes the base-data checks of parseSchedules again; refusals during the run: a
// life-expectancy target no logit shift reaches, a zero Lx under a survival ratio, a result
// beyond the range of numbers; each names the year. Reports one step per projected year to
// `feedback` and ends with zandor::Stopped at the start of a year once a stop is requested.
ProjectionRun projectSingleRegion(const SingleRegionInputs& inputs, const SingleRegionSchedules& schedules,
                                  const RunOptions& options, const Feedback& feedback = {});

}  // namespace zandor::projection
