// The interpolation tool of the schedule grids ("插值"): copies, or interpolates linearly or
// exponentially, one row of a grid between the columns of a start year and an end year.
// Shared by the single-region and the urban-rural dialogs.
#pragma once

#include "text/text_grid.h"

namespace zandor::projection {

enum class InterpolationMethod {
    Copy,         // "复制": every column from start to end gets the start value
    Linear,       // "线性插值": (Q - P) t / n + P
    Exponential,  // "指数插值": P exp(ln(Q / P) t / n)
};

// Row `row` of `grid`, columns s = startYear - baseYear to e = endYear - baseYear, with
// P the start cell, Q the end cell, n = e - s and t = c - s; values written in the general
// number form. Refusals (nothing written): "插值设定错误！请重新设定。" when s <= 0, s >= e or
// e lies beyond the grid; for the exponential method, a start value of 0 or an end value of
// the other sign. A start or end cell that is not a number throws text::NumberFormatError
// naming the row and the year.
void interpolateRow(text::TextGrid& grid, int row, int baseYear, int startYear, int endYear,
                    InterpolationMethod method);

// The fertility-pattern grid: each of the 35 age rows (rows 1-35), then the "合计" row of
// every year column := the sum of rows 1-35 as "####.####". Nothing is written unless every
// row can be done.
void interpolatePattern(text::TextGrid& grid, int baseYear, int startYear, int endYear,
                        InterpolationMethod method);

}  // namespace zandor::projection
