// What the urban-rural projection keeps between its windows and between runs: the urban
// region of its input set, the result set of the last run and the schedule row last selected.
//
// The rural region is not kept here: it is the single-region input set
// (SingleRegionSession::inputs), so that each of the two projection dialogs loads the base
// data the other one sees. Session::urbanRuralInputs() hands out the two regions together.
#pragma once

#include "projection/single_region_inputs.h"
#include "projection/urban_rural_results.h"

namespace zandor::ui {

struct UrbanRuralSession {
    projection::SingleRegionInputs urban;
    // The result set of the last completed run; the results dialog reads it.
    projection::UrbanRuralResultSet results;
    // The row of the cell last selected in the TFR, sex-ratio, life-expectancy or movers grid:
    // one value for the four, which their interpolation works on.
    int selectedScheduleRow = 1;
};

}  // namespace zandor::ui
