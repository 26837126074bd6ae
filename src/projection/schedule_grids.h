// Seeding the schedule grids of the projection dialog with texts: year headers, row labels,
// and the base-year values in the display patterns the dialog shows.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "projection/messages.h"
#include "text/text_grid.h"

namespace zandor::projection {

// Column count := Y + 1; header cell of column c := base year + c (row 0 must exist).
void setYearColumns(text::TextGrid& grid, int yearCount, int baseYear);

// Row `row` := label in column 0 and `cellText` in every year column.
void fillRow(text::TextGrid& grid, int row, std::string_view label, std::string_view cellText);

// The text of a base fertility-pattern value: "##.######", and "0.0" when that text would
// be empty (an exact zero, or a value too small to show with six decimals).
std::string patternCellText(double value);

// The base-year sex ratio at birth as "#####.####" in every year of the sex-ratio grid.
void fillSexRatioGrid(text::TextGrid& grid, double sexRatio, int yearCount, int baseYear);

// The three rows of the migrant grid, each with one text in every year.
void fillMigrantGrid(text::TextGrid& grid, int yearCount, int baseYear, std::string_view newMigrants,
                     std::string_view birthRate, std::string_view deathRate);

// The life-expectancy row of one sex ("男性" row 1, "女性" row 2) with the base e0 text.
void fillLifeExpectancyRow(text::TextGrid& grid, Sex sex, std::string_view e0Text, int yearCount, int baseYear);

// The TFR grid with the base TFR text in every year.
void fillTfrGrid(text::TextGrid& grid, std::string_view tfrText, int yearCount, int baseYear);

// The pattern grid: ages 15..49 in column 0 of rows 1-35, each year column the base
// pattern (35 values), and the "合计" row with their sum as "####.####".
void fillPatternGrid(text::TextGrid& grid, std::span<const double> basePattern, int yearCount, int baseYear);

}  // namespace zandor::projection
