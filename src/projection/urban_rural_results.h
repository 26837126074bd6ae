// The urban-rural result set and what the results dialog makes of it: the catalogue of 30
// indicators (the population split into the rural part, the urban part and their sum), each
// indicator's yearly values, the text listing of "数据显示" and the frames of the three age
// pyramids.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projection/age_year_matrix.h"
#include "projection/indicators.h"

namespace zandor::projection {

// The series of one region, column t for the end of projected year t.
struct RegionResults {
    std::vector<double> total, maleTotal, femaleTotal;  // Y values each
    std::vector<double> age0to14, age15to59, age60plus;
    AgeYearMatrix maleShare;    // -m(a) / region total
    AgeYearMatrix femaleShare;  // f(a) / region total
    // Population of the last projected year by age, rounded to whole persons.
    std::vector<double> malePopulation, femalePopulation;
};

struct UrbanRuralResultSet {
    int ageCount = 0;   // N
    int yearCount = 0;  // Y
    int baseYear = 0;   // year t is labelled baseYear + 1 + t
    int endYear = 0;    // the end year given to the run
    bool exact = false;  // the run used the exact mode ("精确模式")
    RegionResults rural;
    RegionResults urban;
    // The combined population: -(rural + urban males of age a) / (rural + urban total), and
    // the females likewise, positive.
    AgeYearMatrix totalMaleShare;
    AgeYearMatrix totalFemaleShare;

    int calendarYear(int t) const { return baseYear + 1 + t; }
};

// A result set for N ages and Y years, every series zero-filled.
UrbanRuralResultSet emptyUrbanRuralResultSet(int ageCount, int yearCount, int baseYear, int endYear);

namespace urban_rural_indicator {
inline constexpr int kTotal = 0;
inline constexpr int kRuralTotal = 9;
inline constexpr int kUrbanTotal = 18;
inline constexpr int kLastSeries = 26;
inline constexpr int kTotalStructure = 27;  // "总人口年龄结构"
inline constexpr int kRuralStructure = 28;  // "农村人口年龄结构"
inline constexpr int kUrbanStructure = 29;  // "城市人口年龄结构"
inline constexpr int kCount = 30;
}  // namespace urban_rural_indicator

// The list's 30 entries in order (the same in both editions).
const std::vector<std::string>& urbanRuralCatalogue();

// The code of a list text: its position, or 0 (the total population) for any other text.
int urbanRuralIndicatorCode(std::string_view listText);

// The yearly values of codes 0-26 (shares of a year without population 0); other codes
// throw std::invalid_argument.
std::vector<double> urbanRuralIndicatorValues(const UrbanRuralResultSet& results, int code);

// The lines "数据显示" shows for the list text, the leading empty line included: the list
// text, then one line per year (year, three spaces, value in the general form); for codes
// 27-29 the list text, the end year's heading and the age table of the last projected year.
std::vector<std::string> urbanRuralTextListing(const UrbanRuralResultSet& results, std::string_view listText);

// What the line and bar presentations draw: codes 0-26 a series, 27-29 a pyramid.
ChartPlan urbanRuralChartPlan(const UrbanRuralResultSet& results, std::string_view listText);

// The pyramid of codes 27-29: its first title ("总人口年龄结构金字塔" ...) and one frame per
// projected year, each titled with the calendar year glued to that title.
struct PyramidAnimation {
    std::string title;
    std::vector<PyramidFrame> frames;
};
PyramidAnimation urbanRuralPyramid(const UrbanRuralResultSet& results, int code);

}  // namespace zandor::projection
