// Texts of the schedule grids.
#include "projection/schedule_grids.h"

#include <algorithm>

#include "projection/single_region_inputs.h"
#include "text/numbers.h"

namespace zandor::projection {

namespace {

void ensureRows(text::TextGrid& grid, int rows) {
    if (grid.rowCount() < rows) grid.setRowCount(rows);
}

}  // namespace

void setYearColumns(text::TextGrid& grid, int yearCount, int baseYear) {
    ensureRows(grid, 1);
    grid.setColumnCount(yearCount + 1);
    for (int c = 1; c <= yearCount; ++c) grid.setCell(0, c, std::to_string(baseYear + c));
}

void fillRow(text::TextGrid& grid, int row, std::string_view label, std::string_view cellText) {
    ensureRows(grid, row + 1);
    grid.setCell(row, 0, std::string(label));
    for (int c = 1; c < grid.columnCount(); ++c) grid.setCell(row, c, std::string(cellText));
}

std::string patternCellText(double value) {
    std::string text = text::formatPattern(value, "##.######");
    // An empty cell would not read back as a number, so every run would stop on it.
    if (text.empty()) text = label::kEmptyCell;
    return text;
}

void fillSexRatioGrid(text::TextGrid& grid, double sexRatio, int yearCount, int baseYear) {
    setYearColumns(grid, yearCount, baseYear);
    fillRow(grid, 1, label::kSexRatio, text::formatPattern(sexRatio, "#####.####"));
}

void fillMigrantGrid(text::TextGrid& grid, int yearCount, int baseYear, std::string_view newMigrants,
                     std::string_view birthRate, std::string_view deathRate) {
    setYearColumns(grid, yearCount, baseYear);
    fillRow(grid, kNewMigrantsRow, label::kNewMigrants, newMigrants);
    fillRow(grid, kMigrantBirthRateRow, label::kMigrantBirthRate, birthRate);
    fillRow(grid, kMigrantDeathRateRow, label::kMigrantDeathRate, deathRate);
}

void fillLifeExpectancyRow(text::TextGrid& grid, Sex sex, std::string_view e0Text, int yearCount, int baseYear) {
    setYearColumns(grid, yearCount, baseYear);
    const bool male = sex == Sex::Male;
    fillRow(grid, male ? kMaleRow : kFemaleRow, male ? label::kMale : label::kFemale, e0Text);
}

void fillTfrGrid(text::TextGrid& grid, std::string_view tfrText, int yearCount, int baseYear) {
    setYearColumns(grid, yearCount, baseYear);
    fillRow(grid, 1, label::kTfr, tfrText);
}

void fillPatternGrid(text::TextGrid& grid, std::span<const double> basePattern, int yearCount, int baseYear) {
    setYearColumns(grid, yearCount, baseYear);
    ensureRows(grid, kPatternTotalRow + 1);
    double total = 0;
    for (int k = 0; k < kPatternAges; ++k) {
        const double value = basePattern[static_cast<std::size_t>(k)];
        fillRow(grid, k + 1, std::to_string(kFirstFertileAge + k), patternCellText(value));
        total += value;
    }
    fillRow(grid, kPatternTotalRow, label::kPatternTotal, text::formatPattern(total, "####.####"));
}

}  // namespace zandor::projection
