// What the two projection commands share: the options naming the input fields, the schedule
// file (cells typed into the dialog's grids, by row name and year) and the output of a text
// listing.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "projection/single_region_inputs.h"
#include "projection/urban_rural_inputs.h"

namespace zandor::cli {

// The option word of each input field, in the order the dialog's field handlers run:
// --male-pop ... --fertility (project-ur puts rural- or urban- before it).
struct FieldOption {
    projection::InputField field;
    std::string_view option;
};
inline constexpr FieldOption kFieldOptions[] = {
    {projection::InputField::MalePopulation, "male-pop"},
    {projection::InputField::FemalePopulation, "female-pop"},
    {projection::InputField::MaleDeathRates, "male-rates"},
    {projection::InputField::FemaleDeathRates, "female-rates"},
    {projection::InputField::Fertility, "fertility"},
};

// One line of a schedule file: a row name and one cell text per projected year.
struct ScheduleLine {
    std::string row;
    std::vector<std::string> cells;
};

// Reads a schedule file (CSV): first line "row" and the years baseYear + 1 .. endYear, then
// one line per row. The whole file is checked before anything is returned: an unknown row
// name (knownRow false) or a line with the wrong number of cells throws std::runtime_error
// naming the file and the line. Empty lines are skipped.
std::vector<ScheduleLine> readScheduleFile(const std::string& path, int baseYear, int endYear,
                                           const std::function<bool(const std::string&)>& knownRow);

// Reads the schedule file at `path` and puts its cells into the grids, as if typed; the whole
// file is checked before any cell is written. The row names are those of the single-region
// command (tfr, e0_male, ..., pattern_15 ...) or of the urban-rural one (tfr_rural, ...,
// mover_share_female_100).
void applyScheduleFile(const std::string& path, projection::SingleRegionGrids& grids, int baseYear, int endYear);
void applyScheduleFile(const std::string& path, projection::UrbanRuralGrids& grids, int baseYear, int endYear);

// The lines of a text listing, each ended by a line break.
void writeLines(const std::vector<std::string>& lines, std::FILE* out);

}  // namespace zandor::cli
