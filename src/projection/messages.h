// The fixed texts of the single-region projection: refusal messages, grid labels and the
// headings of the listings. Every text a user reads comes from here.
#pragma once

#include <string>
#include <string_view>

namespace zandor::projection {

enum class Sex { Male, Female };

namespace message {

// Field choice and interpolation.
inline constexpr std::string_view kBadData = "数据格式不正确.";
inline constexpr std::string_view kBadInterpolation = "插值设定错误！请重新设定。";

// Checks when a run starts, in the order they are made.
inline constexpr std::string_view kTooFewFields = "选定原始数据变量不够!";
inline constexpr std::string_view kBadMalePopulation = "男性年龄别人口数据格式不正确.";
inline constexpr std::string_view kBadFemalePopulation = "女性年龄别人口数据格式不正确.";
inline constexpr std::string_view kBadMaleDeathRates = "男性年龄别死亡率数据格式不正确.";
inline constexpr std::string_view kBadFemaleDeathRates = "女性年龄别死亡率数据格式不正确.";
inline constexpr std::string_view kBadFertility = "年龄别生育率数据格式不正确.";

// The a-values use ages 0 to 70, so a shorter table cannot be projected.
std::string tooFewAgeRows(std::size_t rows);

// The projection wizard's age-group count is below the 71 ages the a-values use.
std::string tooFewAgeGroups(int ageGroups);

// The end year lies before the base year.
std::string endBeforeBase(int baseYear, int endYear);

// Exponential interpolation needs a non-zero start value and an end value of the same sign.
std::string noExponentialInterpolation(std::string_view rowName, double start, double end);

// A life-expectancy target that no logit shift of the base life table reaches.
std::string unreachableLifeExpectancy(int year, Sex sex, double target);

// A person-years value of zero under a survival ratio.
std::string zeroPersonYears(int year, Sex sex, int age);

// A sex ratio at birth of -100 leaves no share of boys and girls.
std::string noBirthShares(int year, double sexRatio);

// An urban share outside 0..1, naming the box, the range and the text.
std::string urbanShareOutOfRange(std::string_view text);

// A result that overflowed the range of numbers.
std::string overflow(int year);

// A cell of a schedule grid (or an edit box) that is not a number: the number-conversion
// message, preceded by where the cell is so that the user can find it.
std::string badCell(std::string_view where, int year, std::string_view text);
std::string badBox(std::string_view where, std::string_view text);

// Where a cell or box is, for badCell and badBox.
inline constexpr std::string_view kWhereTfr = "总和生育率";
inline constexpr std::string_view kWhereSexRatio = "出生性别比";
inline constexpr std::string_view kWhereMaleE0 = "男性期望寿命";
inline constexpr std::string_view kWhereFemaleE0 = "女性期望寿命";
std::string wherePattern(int age);                   // "生育模式15岁"
std::string whereMigrants(std::string_view rowLabel);  // "流动人口新增人口"
inline constexpr std::string_view kWhereUrbanShare = "起始年城镇人口比重";
inline constexpr std::string_view kWhereMigrantStock = "现有流动人口规模";

std::string_view sexName(Sex sex);  // "男性" / "女性"

}  // namespace message

// Labels of the schedule grids and the two edit boxes.
namespace label {
inline constexpr std::string_view kTfr = "总和生育率";
inline constexpr std::string_view kSexRatio = "性别比";
inline constexpr std::string_view kMale = "男性";
inline constexpr std::string_view kFemale = "女性";
inline constexpr std::string_view kPatternTotal = "合计";
inline constexpr std::string_view kNewMigrants = "新增人口";
inline constexpr std::string_view kMigrantBirthRate = "出生率";
inline constexpr std::string_view kMigrantDeathRate = "死亡率";
inline constexpr std::string_view kUrbanShare = "起始年城镇人口比重:";
inline constexpr std::string_view kMigrantStock = "请输入现有流动人口规模";
inline constexpr std::string_view kEmptyCell = "0.0";
// The migrant rows "包含流动人口" (and the projection wizard) put in every year.
inline constexpr std::string_view kSeedNewMigrants = "10000";
inline constexpr std::string_view kSeedMigrantBirthRate = "0.012";
inline constexpr std::string_view kSeedMigrantDeathRate = "0.003";
// What the two edit boxes hold when the dialog opens (and what zandor-cli takes by default).
inline constexpr std::string_view kDefaultUrbanShare = "0.26";
inline constexpr std::string_view kDefaultMigrantStock = "50000";
// The exact mode: its check box, the mark after a results caption and a listing's heading,
// and the line of the parameter listing that records it.
inline constexpr std::string_view kExactMode = "精确模式";
inline constexpr std::string_view kExactModeMark = "（精确模式）";
inline constexpr std::string_view kExactModeRecord =
    "精确模式：出生预期寿命按生命表自身的e0拟合，最高年龄组作为开放组存活，死亡人数完整核算";
}  // namespace label

}  // namespace zandor::projection
