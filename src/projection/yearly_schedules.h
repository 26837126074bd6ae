// The yearly schedules a run derives from the grids: birth shares, fertility rates by age,
// and person-years lived by age and sex, from life-expectancy targets or survival curves.
#pragma once

#include <span>
#include <string_view>

#include "projection/single_region_inputs.h"

namespace zandor::projection {

// A schedule cell read as a number; a text that is no number throws text::NumberFormatError
// naming `where` and the calendar year of the column.
double scheduleCell(const text::TextGrid& grid, int row, int column, std::string_view where, int baseYear);

// Male and female birth shares of every year from the sex-ratio grid: R / (R + 100) and
// 100 / (R + 100). A sex ratio of -100 is refused, naming the year.
void birthSharesFromGrid(SingleRegionInputs& inputs, const text::TextGrid& sexRatioGrid);

// ASFR of every year: ages 1..N-1 copied from column 0; then, for ages 15..49, the
// pattern grid's value times the year's TFR. The TFR row is taken from the grid only when
// one of its cells differs as text from the base TFR text; otherwise the TFR by year stays.
void fertilityFromGrids(SingleRegionInputs& inputs, const text::TextGrid& tfrGrid,
                        const text::TextGrid& patternGrid);

// The Lx schedule of one sex from its life-expectancy row. Nothing changes when no cell of
// the row differs as text from the base e0 text. Otherwise every year's lx is the base curve
// (column 0 of lx) shifted to the year's target sum of lx, and its Lx follows with the
// sex's a-values. A target no shift reaches is refused, naming the year, sex and target.
void mortalityFromLifeExpectancy(SingleRegionInputs& inputs, Sex sex, const text::TextGrid& lifeExpectancyGrid);

// The Lx schedules of both sexes towards new survival curves: lx of the last year from the
// two series, a-values recomputed from the base death rate at age 0, the end-year Lx, and
// every year's Lx on the straight line from the base-year Lx (column 0) to the end-year Lx.
void mortalityFromSurvivalCurves(SingleRegionInputs& inputs, std::span<const double> maleLx,
                                 std::span<const double> femaleLx);

}  // namespace zandor::projection
