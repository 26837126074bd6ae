// The urban-rural input set and the schedule grids of the urban-rural projection dialog,
// with the work of its field handlers, its interpolation tools and its year rebuild.
//
// Each region (rural, urban) has the members of a single-region input set: population,
// death rates and base life tables by sex, fertility with its total and pattern, birth
// shares. The rural region is not a copy: it is the single-region input set itself, so
// choosing a rural field here replaces the base data of the single-region dialog and the
// other way round. The field handlers of a region are those of the single-region dialog;
// only the grids they seed differ.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projection/interpolation.h"
#include "projection/single_region_inputs.h"
#include "text/text_grid.h"

namespace zandor::tables {
class Table;
}

namespace zandor::projection {

enum class Region { Rural, Urban };

// The two regions of a run. `rural` is the single-region input set.
struct UrbanRuralInputs {
    SingleRegionInputs& rural;
    SingleRegionInputs& urban;
};

// The schedule grids. Column 0 holds the row labels; column c (1..Y) the calendar year
// base year + c, whose number is the header cell (row 0).
struct UrbanRuralGrids {
    text::TextGrid tfr;                // StringGrid1: row 1 "农村", row 2 "城市"
    text::TextGrid sexRatio;           // StringGrid2: row 1 "农村", row 2 "城市"
    text::TextGrid lifeExpectancy;     // StringGrid3: "农村男性", "农村女性", "城市男性", "城市女性"
    text::TextGrid ruralPattern;       // StringGrid4: rows 1-35 ages 15-49, row 36 "合计"
    text::TextGrid urbanPattern;       // StringGrid5: likewise
    text::TextGrid maleMoverShares;    // StringGrid6: rows 1-101 ages 0-100, row 102 "合计"
    text::TextGrid femaleMoverShares;  // StringGrid7: likewise
    text::TextGrid movers;             // StringGrid8: row 1 "男性", row 2 "女性"
};

// Age rows a table must have: the a-values reach age 70, the mover grids age 100, and the
// oldest age takes no movers.
inline constexpr int kUrbanRuralMinimumAges = 71;
inline constexpr int kUrbanRuralMaximumAges = 102;
inline constexpr int kMoverShareAges = 101;                  // ages 0..100
inline constexpr int kMoverShareTotalRow = kMoverShareAges + 1;  // 102

namespace ur_label {
inline constexpr std::string_view kRural = "农村";
inline constexpr std::string_view kUrban = "城市";
}  // namespace ur_label

// "农村" or "城市".
std::string_view regionName(Region region);
// The row of a region in the two-row grids (1 rural, 2 urban), and of a region and sex in
// the life-expectancy grid (1..4).
int regionRow(Region region);
int lifeExpectancyRow(Region region, Sex sex);

// The grids as the dialog opens them for yearCount projected years: headers, labels and
// "0.0" in every value cell, the "合计" rows included.
UrbanRuralGrids openUrbanRuralGrids(int yearCount, int baseYear);

// A field handler of one region. An empty name only clears the remembered text. A table
// with fewer than 71 or more than 102 records is refused (nothing read); otherwise the
// single-region handler loads, checks and derives (its refusals, "数据格式不正确." included,
// leave the grids alone), and the region's rows are seeded:
//  - population: the sex-ratio row, 100 s / (1 - s) with s the male share at age 0, as
//    "#####.####" (empty when either sex has no one at age 0);
//  - death rates: the region's life-expectancy row of that sex, e0 as "#####.####";
//  - fertility: the TFR row ("#####.##") and the region's pattern grid.
void chooseUrbanRuralField(SingleRegionInputs& region, Region which, UrbanRuralGrids& grids, InputField field,
                           const std::string& fieldName, tables::Table& table, int baseYear, int endYear);

// The same with the series already read (tests, benchmarks): N is its size.
void chooseUrbanRuralFieldSeries(SingleRegionInputs& region, Region which, UrbanRuralGrids& grids, InputField field,
                                 const std::string& fieldName, std::vector<double> series, int baseYear,
                                 int endYear);

// The year rebuild (double-click on a year box, change of page). With yearsChanged set:
// the TFR grid is reset to its labels and "0" cells, the movers and mover-share grids too
// (their labels, "0" in every cell, "合计" included), then the ten handlers run again, rural
// then urban, each region in the order male population, female population, male death
// rates, female death rates, fertility; a handler's refusal does not stop the others.
// yearsChanged is then cleared. Returns the refusals in the order they arose. An end year
// before the base year, or a chosen field in a table whose size is refused, is refused
// once (Refusal) before anything changes, and yearsChanged stays set.
std::vector<std::string> rebuildUrbanRuralYears(UrbanRuralInputs inputs, UrbanRuralGrids& grids,
                                                tables::Table& table, int baseYear, int endYear,
                                                bool& yearsChanged);

// "插值" of the mover-share page: each of the 101 age rows with "复制" or "线性插值", then
// the "合计" row of the interpolated columns only (c1..c2) := the sum of rows 1-101 as
// "####.####". Nothing is written unless every row can be done.
void interpolateMoverShares(text::TextGrid& grid, int baseYear, int startYear, int endYear,
                            InterpolationMethod method);

// The refusal for a table of the wrong size.
std::string urbanRuralAgeRowsRefusal(std::size_t rows);

}  // namespace zandor::projection
