// The yearly schedules of a run. Parsing turns the schedule grids' texts into numbers (every
// conversion message, with the row and the year, comes from here, before anything runs);
// the apply functions then derive one region's birth shares, fertility rates by age and
// person-years lived by age and sex (from life-expectancy targets or survival curves).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "projection/age_year_matrix.h"
#include "projection/region_inputs.h"
#include "text/text_grid.h"

namespace zandor::projection {

// The schedules of one region as numbers, one value per projected year (Y values).
struct RegionSchedules {
    std::vector<double> sexRatio;  // sex ratio at birth
    std::vector<double> tfr;       // the TFR row
    bool tfrEdited = false;        // a cell of the TFR row differs as text from the base TFR text
    AgeYearMatrix pattern;         // 35 ages (15..49) by year
    std::vector<double> maleE0;    // life-expectancy targets
    std::vector<double> femaleE0;
    bool maleE0Edited = false;  // a cell of the row differs as text from the base e0 text
    bool femaleE0Edited = false;
    // By year: the e0 cell's text equals the base e0 text (the exact mode keeps the base
    // life table in such a year).
    std::vector<bool> maleE0AtBase;
    std::vector<bool> femaleE0AtBase;
};

// A schedule cell read as a number; a text that is no number (or a year column the grid lacks,
// read as empty) throws text::NumberFormatError naming `where` and the calendar year.
double scheduleCell(const text::TextGrid& grid, int row, int column, std::string_view where, int baseYear);

// Whether any year cell of the row differs as text from the base text.
bool rowEdited(const text::TextGrid& grid, int row, const std::string& baseText);

// A sex ratio at birth of -100 is refused, naming the year.
void checkSexRatio(double sexRatio, int calendarYear);

// Where one region's rows are in the schedule grids. The single-region dialog has one row in
// each; the urban-rural dialog a row per region (and per sex) in shared grids. `prefix` goes
// before each cell's name in a message ("农村男性期望寿命 2021年: ...").
struct RegionRows {
    const text::TextGrid* sexRatio;
    int sexRatioRow;
    const text::TextGrid* tfr;
    int tfrRow;
    const text::TextGrid* pattern;  // rows 1-35, ages 15-49
    const text::TextGrid* lifeExpectancy;
    int maleE0Row;
    int femaleE0Row;
    std::string_view prefix;
};

// Reads every cell of a region's rows for yearCount years, in the order sex ratio (each
// checked), TFR, pattern, male and female e0; the TFR and e0 rows also say whether they were
// edited against the region's base texts.
RegionSchedules parseRegionSchedules(const RegionInputs& region, const RegionRows& rows, int yearCount, int baseYear);

// Male and female birth shares of every year: R / (R + 100) and 100 / (R + 100).
void birthSharesFromSchedule(RegionInputs& region, const RegionSchedules& schedules);

// ASFR of every year: ages 1..N-1 copied from column 0; then, for ages 15..49, the pattern
// times the year's TFR. The TFR by year is the TFR row when it was edited; otherwise it stays.
void fertilityFromSchedule(RegionInputs& region, const RegionSchedules& schedules);

// The Lx schedule of one sex from its life-expectancy targets. Nothing changes when the row
// was not edited. Otherwise every year's lx is the base curve (column 0 of lx) shifted to the
// year's target sum of lx, and its Lx follows with the sex's a-values. A target no shift
// reaches is refused, naming the year (baseYear + y + 1), sex and target.
void mortalityFromLifeExpectancy(RegionInputs& region, Sex sex, const RegionSchedules& schedules, int baseYear);

// The same schedule in the exact mode, year by year from the base life table of the sex's
// death rates (computed afresh, so a run does not depend on what an earlier run left): a
// year whose cell keeps the base text takes the base lx and Lx as they are; any other year
// takes the base lx shifted so that its own life table's e0 (the sum of Lx, the open age
// l / m) meets the target, and its Lx. A target no shift reaches is refused as above.
void exactMortalityFromLifeExpectancy(RegionInputs& region, Sex sex, const RegionSchedules& schedules, int baseYear);

// The Lx schedules of both sexes towards new survival curves over `yearCount` years: lx of
// the last year from the two series, a-values recomputed from the base death rate at age 0,
// the end-year Lx, and every year's Lx on the straight line from the base-year Lx (column 0)
// to the end-year Lx.
void mortalityFromSurvivalCurves(RegionInputs& region, int yearCount, std::span<const double> maleLx,
                                 std::span<const double> femaleLx);

}  // namespace zandor::projection
