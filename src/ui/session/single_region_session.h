// What the single-region projection keeps between its windows and between runs: the input
// set the field handlers fill (its region is also the rural region of the urban-rural input
// set), the result set of the last run, the pyramid frame the chart windows show next, the
// schedule row last selected and, per field list, the column of the main grid it marked.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "projection/result_set.h"
#include "projection/single_region_inputs.h"
#include "projection/variants.h"

namespace zandor::ui {

// The five field lists of the projection dialog, in the order of the input set's fields.
enum class FieldList { MalePopulation, FemalePopulation, MaleDeathRates, FemaleDeathRates, Fertility };
inline constexpr int kFieldListCount = 5;

struct SingleRegionSession {
    // The input set; a completed run leaves its end state in inputs.region (the population
    // of the last projected year, the schedules it used), where the next run starts.
    projection::SingleRegionInputs inputs;
    // The result set of the last completed run; the results dialog and the chart windows'
    // pyramid buttons read it.
    projection::ProjectionResultSet results;
    // The projected-year number (1..Y) of the age-pyramid frame that "<<<" shows next: the
    // last year after a run and whenever the results dialog shows an indicator.
    int pyramidFrameCursor = 0;
    // The row of the cell last selected in the life-expectancy or the migrant grid; the
    // interpolation of those two grids works on it.
    int selectedScheduleRow = 1;
    // With "多方案预测": every variant of the last run in order, with its results or the
    // refusal that stopped it; empty after a run of the schedules alone. `results` then holds
    // the variant the results dialog shows (中方案 first, when it ran).
    struct VariantResults {
        projection::Variant variant = projection::Variant::Medium;
        std::optional<projection::ProjectionResultSet> results;
        std::string refusal;
    };
    std::vector<VariantResults> variants;
    // The main-grid column each field list marked last (-1: none yet).
    std::array<int, kFieldListCount> markedColumns{-1, -1, -1, -1, -1};
};

}  // namespace zandor::ui
