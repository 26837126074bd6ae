// The urban-rural cohort-component projection ("运算"): a rural and an urban population, each
// projected with the single-region steps (birth shares, fertility schedule, life-expectancy
// fit by a logit shift of its base life table, survival, births, rounding to whole
// persons), coupled by the persons who move from the rural to the urban population at the
// start of every year, before survival.
#pragma once

#include "core/feedback.h"
#include "projection/urban_rural_inputs.h"
#include "projection/urban_rural_results.h"
#include "projection/yearly_schedules.h"

namespace zandor::projection {

// What a run leaves: the result set, and each region as the run ended it (the population of
// the last projected year, the yearly lx, Lx and fertility schedules used).
struct UrbanRuralRun {
    UrbanRuralResultSet results;
    RegionInputs rural;
    RegionInputs urban;
};

struct UrbanRuralOptions {
    // "精确模式": as RunOptions::exact of the single-region run, for both regions.
    bool exact = false;
};

// The persons moving from the rural to the urban population: the number of each sex by
// projected year, and their age distribution (ages 0..N-2; the oldest age takes no movers).
struct UrbanRuralMovers {
    std::vector<double> male;
    std::vector<double> female;
    AgeYearMatrix maleShares;
    AgeYearMatrix femaleShares;
};

// The schedule grids of a run as numbers.
struct UrbanRuralSchedules {
    RegionSchedules rural;
    RegionSchedules urban;
    UrbanRuralMovers movers;
};

// Checks the base data of both regions and reads every schedule cell a run uses. Both
// regions must have been loaded for the same table and years.
//
// Refusals, in this order: the rural selection and values, then the urban ones (Refusal
// "选定原始数据变量不够!" for a field list without text, then, age by age, the five value
// messages, the same texts for both regions); regions whose age counts differ from each
// other or from 71..102, or whose years differ; then, while the cells are read (rural rows,
// urban rows, movers), a sex ratio at birth of -100 and movers of a year whose age pattern
// sums to 0, naming the region and the year. A text that is no number throws
// text::NumberFormatError naming the region, the schedule, the row and the year.
UrbanRuralSchedules parseUrbanRuralSchedules(const SingleRegionInputs& rural, const SingleRegionInputs& urban,
                                             const UrbanRuralGrids& grids);

// Projects both regions over the years their fields were chosen for, with the parsed
// schedules: the years of the rural region, then those of the urban region. The inputs are
// not changed; the base-data checks of parseUrbanRuralSchedules are made again.
//
// Refusals found while running name the region and the year: a life-expectancy target no
// logit shift reaches, movers who outnumber the population of their age and sex, a zero Lx
// under a survival ratio, a region without population, a result beyond the range of
// numbers. One progress step per region and year goes to `feedback`; a stop requested ends
// the run with zandor::Stopped at the start of a year.
UrbanRuralRun projectUrbanRural(const SingleRegionInputs& rural, const SingleRegionInputs& urban,
                                const UrbanRuralSchedules& schedules, const UrbanRuralOptions& options = {},
                                const Feedback& feedback = {});

}  // namespace zandor::projection
