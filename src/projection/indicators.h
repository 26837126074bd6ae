// The indicator catalogue of the projection results ("主要指标"), each indicator's yearly
// values, and what the three presentations show: the text listing of "数据显示" line by line,
// and the series of the line and bar charts or the frames of the age pyramid.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projection/result_set.h"
#include "text/edition.h"

namespace zandor::projection {

// Codes of the full catalogue (the position of the entry in Zandor's list).
namespace indicator {
inline constexpr int kTotal = 0;
inline constexpr int kBirths = 15;
inline constexpr int kDeaths = 16;
inline constexpr int kNaturalIncrease = 17;
inline constexpr int kAgeStructure = 21;
inline constexpr int kMigrantPopulation = 32;
inline constexpr int kMigrantDeaths = 34;
inline constexpr int kParameters = 35;
inline constexpr int kCount = 36;
}  // namespace indicator

// The list's entries in order: 36 in Zandor, 33 in ZandorT (without the three migrant
// entries, so that "人口预测参数设置" is the 33rd).
const std::vector<std::string>& indicatorCatalogue(Edition edition);

// The full-catalogue code of a list text. A text that is not an entry of the edition's list
// is the total population (code 0); ZandorT's "人口预测参数设置" is code 35.
int indicatorCode(std::string_view listText, Edition edition);

// The yearly values of codes 0-20 and 22-34 (births, deaths and natural increase
// unrounded; shares of a year with no population 0). Other codes throw std::invalid_argument.
std::vector<double> indicatorValues(const ProjectionResultSet& results, int code);

// The lines of the text listing "数据显示" shows for the list text, the leading empty line
// included.
std::vector<std::string> textListing(const ProjectionResultSet& results, std::string_view listText,
                                     Edition edition);

// What the line and bar presentations draw for the list text.
struct ChartPlan {
    enum class Kind {
        None,     // the chart window is made but never shown
        Series,   // one value per projected year
        Pyramid,  // the age pyramid, one frame per projected year
    };
    Kind kind = Kind::None;
    std::string title;                // the list text
    std::vector<std::string> labels;  // calendar years
    std::vector<double> values;
};
ChartPlan chartPlan(const ProjectionResultSet& results, std::string_view listText, Edition edition);

// One frame of the age pyramid: title "<year> 年龄结构金字塔", and for each age its label
// and the male (negative) and female shares of projected year t.
struct PyramidFrame {
    std::string title;
    std::vector<std::string> ageLabels;
    std::vector<double> maleShares;
    std::vector<double> femaleShares;
};
inline constexpr std::string_view kPyramidTitle = "年龄结构金字塔";
inline constexpr std::string_view kPyramidMale = "男性";
inline constexpr std::string_view kPyramidFemale = "女性";
PyramidFrame pyramidFrame(const ProjectionResultSet& results, int t);

}  // namespace zandor::projection
