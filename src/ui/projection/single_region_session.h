// What the single-region projection keeps between its windows and between runs: the input
// set the field handlers fill, the result set of the last run, the schedule row last selected
// and, per field list, the column of the main grid it marked.
#pragma once

#include <array>

#include "projection/result_set.h"
#include "projection/single_region_inputs.h"

namespace zandor::ui {

// The five field lists of the projection dialog, in the order of the input set's fields.
enum class FieldList { MalePopulation, FemalePopulation, MaleDeathRates, FemaleDeathRates, Fertility };
inline constexpr int kFieldListCount = 5;

struct SingleRegionSession {
    projection::SingleRegionInputs inputs;
    // The result set of the last completed run; the results dialog and the chart windows'
    // pyramid buttons read it (and move its pyramid frame cursor).
    projection::ProjectionResultSet results;
    // The row of the cell last selected in the life-expectancy or the migrant grid; the
    // interpolation of those two grids works on it.
    int selectedScheduleRow = 1;
    // The main-grid column each field list marked last (-1: none yet).
    std::array<int, kFieldListCount> markedColumns{-1, -1, -1, -1, -1};
};

}  // namespace zandor::ui
