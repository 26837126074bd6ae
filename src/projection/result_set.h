// The projection result set: for every projected year of a single-region run, the totals,
// age groups, single ages, births, deaths, rates, the urban population, the migrant series,
// the age-structure shares and the year's parameters, filled year by year in a fixed order
// (recordYear) and read by the indicator catalogue, the listings and the charts.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "projection/age_year_matrix.h"

namespace zandor::projection {

// One year's parameters, as the schedules held them before the run.
inline constexpr int kParameterCount = 43;
namespace parameter {
inline constexpr int kTfr = 0;
inline constexpr int kMaleE0 = 1;
inline constexpr int kFemaleE0 = 2;
inline constexpr int kSexRatio = 3;
inline constexpr int kFirstPattern = 4;  // 4 + (age - 15), ages 15..49
inline constexpr int kUrbanShare = 39;
inline constexpr int kNewMigrants = 40;
inline constexpr int kMigrantBirthRate = 41;
inline constexpr int kMigrantDeathRate = 42;
}  // namespace parameter
using ParameterRecord = std::array<double, kParameterCount>;

struct ProjectionResultSet {
    int ageCount = 0;   // N
    int yearCount = 0;  // Y
    int baseYear = 0;   // year t is labelled baseYear + 1 + t
    int endYear = 0;    // the end year given to the run
    bool exact = false;  // the run used the exact mode ("精确模式")

    // End-of-year population of the last projected year, rounded to whole persons.
    std::vector<double> malePopulation;
    std::vector<double> femalePopulation;

    // Per-year series (Y values each).
    std::vector<double> total, maleTotal, femaleTotal;
    std::vector<double> age0to14, age15to64, age65plus;
    std::vector<double> urban;
    std::vector<double> births, deaths, infantDeaths, infantMortalityRate;
    std::vector<double> crudeBirthRate, crudeDeathRate;
    std::vector<double> women15to49, womenAged23, women20to29;
    std::vector<double> aged6, aged7, aged11, aged15, aged18;
    std::vector<double> age6to10, age15to24, age25to44, age45to64, age19to64;
    std::vector<double> migrantPopulation, migrantBirths, migrantDeaths;

    // Age-structure shares (N ages by Y years): -m(a) / total and f(a) / total.
    AgeYearMatrix maleShare;
    AgeYearMatrix femaleShare;

    std::vector<ParameterRecord> parameters;  // one per year

    // The migrant schedules (Y values each). In migrant mode the new-migrants schedule is
    // overwritten year by year with the year-end migrant population.
    std::vector<double> newMigrants, migrantBirthRate, migrantDeathRate;

    int calendarYear(int t) const { return baseYear + 1 + t; }
};

// A result set for N ages and Y years, every series zero-filled.
ProjectionResultSet emptyResultSet(int ageCount, int yearCount, int baseYear, int endYear);

// What a projected year hands over to the accumulation: the start-of-year population, the
// unrounded end-of-year population (with the surviving infants at age 0), and the births
// and deaths of the projection step.
struct YearOutcome {
    std::span<const double> startMale, startFemale;  // M(a), F(a)
    std::span<const double> endMale, endFemale;      // M'(a), F'(a), unrounded
    double births = 0;                               // both sexes
    double deathsAbove0 = 0;                         // sum of M(a) - M'(a+1) + F(a) - F'(a+1)
};

// The state the urban population model carries from year to year.
struct UrbanState {
    double previousTotal = 0;  // P(t-1), starting with the base-year total
    double previousUrban = 0;  // U(t-1), starting with s0 P(-1)
    double transfer = 0;       // c = 0.044 - 0.028 s0
};
UrbanState startUrbanModel(double baseUrbanShare, double baseTotal);

// The accumulation at the end of year t, in its order: infant deaths, infant mortality and
// deaths; the mean population; rounding of the end-of-year population (halves to even) into
// roundedMale/roundedFemale, which become the next year's start; totals and women 15-49;
// crude rates; the urban population; the age-structure shares; the age groups. Shares and
// rates of a year whose total, mean population or infant base is zero are 0.
void recordYear(ProjectionResultSet& results, int t, const YearOutcome& outcome, UrbanState& urban,
                std::span<double> roundedMale, std::span<double> roundedFemale);

// The migrant model of year t with migrants included: the stock grows by the year's new
// migrants; births and deaths are the stock times the year's rates; the migrant population
// is stock + births - deaths, and the stock carried on is the stock after the new migrants.
void recordMigrants(ProjectionResultSet& results, int t, double& stock);

}  // namespace zandor::projection
