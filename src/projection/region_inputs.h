// The base data and schedules of one region of a projection: population by sex, birth shares,
// the base life table and the yearly lx and Lx of each sex, the fertility rates, pattern and
// TFR. The single-region input set holds one; the urban-rural input set holds two, its rural
// region being the single-region set's own (the session object shows the sharing).
//
// The derive functions are the checks and base-year values of the field handlers, the same
// for every region: each checks its series ("数据格式不正确." and nothing derived when a
// value is out of range) and derives what the schedule grids are seeded with.
#pragma once

#include <string>
#include <vector>

#include "projection/age_year_matrix.h"
#include "projection/messages.h"

namespace zandor::projection {

inline constexpr int kFirstFertileAge = 15;
inline constexpr int kLastFertileAge = 49;
inline constexpr int kPatternAges = kLastFertileAge - kFirstFertileAge + 1;  // 35

// Death rates, base life table and the yearly lx and Lx schedules of one sex.
struct SexMortality {
    std::vector<double> deathRates;  // central death rates m(x), by age (the chosen field)
    std::vector<double> qx, dx, Tx, ex;
    std::vector<double> aValues;
    AgeYearMatrix lx;  // N+1 ages by year; column 0 is the base curve until a fit replaces it
    AgeYearMatrix Lx;  // N ages by year
    std::string baseLifeExpectancyText;  // e0 as "#####.####"
};

struct RegionInputs {
    std::vector<double> malePopulation;  // by age
    std::vector<double> femalePopulation;
    SexMortality male;
    SexMortality female;

    AgeYearMatrix fertilityRates;     // N ages by year; column 0 holds the chosen field
    double baseTfr = 0;
    std::string baseTfrText;          // "#####.##"
    std::vector<double> tfrByYear;    // by year
    AgeYearMatrix fertilityPattern;   // 35 ages (15..49) by year; column 0 the base pattern

    std::vector<double> maleBirthShare;  // by year; element 0 from the base population
    std::vector<double> femaleBirthShare;
    double baseSexRatio = 0;

    SexMortality& mortality(Sex sex) { return sex == Sex::Male ? male : female; }
    const SexMortality& mortality(Sex sex) const { return sex == Sex::Male ? male : female; }
    std::vector<double>& population(Sex sex) { return sex == Sex::Male ? malePopulation : femalePopulation; }
};

// Year-indexed series keep a column for the base-year values also when no year is projected.
inline int yearColumns(int yearCount) { return yearCount > 1 ? yearCount : 1; }

// Every series of the region sized to `ages` ages and yearColumns(yearCount) years; values
// that fit are kept, new ones are 0.
void sizeRegion(RegionInputs& region, int ages, int yearCount);

// The population of `sex` (already loaded): every value >= 0; then the birth shares of year 0
// and the base sex ratio at age 0 from both populations (0 when either has no one at age 0).
void derivePopulationValues(RegionInputs& region, Sex sex);

// The death rates of `sex` (already loaded): every value > 0 and <= 1; then the base life
// table, its lx as column 0 of lx, its Lx in every year, and the e0 text.
void deriveMortalityValues(RegionInputs& region, Sex sex);

// The fertility rates (column 0, already loaded): TFR != 0, then every value in 0..1; then
// the TFR and its text, the TFR of every year, and the base pattern (column 0).
void deriveFertilityValues(RegionInputs& region);

}  // namespace zandor::projection
