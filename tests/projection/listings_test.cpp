// The indicator catalogue, the text listings of "数据显示" line by line, and what the charts
// are given.
#include <gtest/gtest.h>

#include <algorithm>

#include "projection/indicators.h"

namespace zandor::projection {
namespace {

using Lines = std::vector<std::string>;

// Three ages, two projected years (2001, 2002) after base year 2000.
ProjectionResultSet smallResults() {
    ProjectionResultSet r = emptyResultSet(3, 2, 2000, 2002);
    r.total = {450, 449};
    r.maleTotal = {31, 23};
    r.femaleTotal = {419, 426};
    r.age0to14 = {50, 0};
    r.births = {2.5, 3.5};
    r.deaths = {1.25, 0.5};
    r.crudeBirthRate = {0.25, 0.125};
    r.crudeDeathRate = {0.0625, 0.5};
    r.migrantPopulation = {60540, 70630};
    r.malePopulation = {7, 10, 2.5};
    r.femalePopulation = {7, 19, 0};
    for (int t = 0; t < 2; ++t) {
        ParameterRecord& p = r.parameters[t];
        p[parameter::kTfr] = t == 0 ? 1.5 : 1.6;
        p[parameter::kMaleE0] = 70.25;
        p[parameter::kFemaleE0] = 75.5;
        p[parameter::kSexRatio] = 105;
        p[parameter::kFirstPattern] = 0.25;         // age 15
        p[parameter::kFirstPattern + 34] = 0.123456789;  // age 49
        p[parameter::kUrbanShare] = 0.26;
        p[parameter::kNewMigrants] = 10000;
        p[parameter::kMigrantBirthRate] = 0.012;
        p[parameter::kMigrantDeathRate] = 0.003;
    }
    for (int a = 0; a < 3; ++a) {
        r.maleShare(a, 1) = -r.malePopulation[a] / 449;
        r.femaleShare(a, 1) = r.femalePopulation[a] / 449;
    }
    return r;
}

TEST(Catalogue, ZandorListsThirtySixAndZandorTThirtyThree) {
    const auto& full = indicatorCatalogue(Edition::Full);
    ASSERT_EQ(full.size(), 36u);
    EXPECT_EQ(full[0], "总人口数");
    EXPECT_EQ(full[13], "自然增长率");
    EXPECT_EQ(full[21], "总人口年龄结构");
    EXPECT_EQ(full[31], "19_64岁人口");
    EXPECT_EQ(full[32], "流动人口规模");
    EXPECT_EQ(full[35], "人口预测参数设置");
    const auto& target = indicatorCatalogue(Edition::Target);
    ASSERT_EQ(target.size(), 33u);
    EXPECT_EQ(target[31], "19_64岁人口");
    EXPECT_EQ(target[32], "人口预测参数设置");
    for (const char* migrant : {"流动人口规模", "流动人口出生数", "流动人口死亡数"}) {
        EXPECT_EQ(std::find(target.begin(), target.end(), migrant), target.end()) << migrant;
    }
}

struct CodeCase {
    const char* text;
    Edition edition;
    int code;
};

class IndicatorCodes : public ::testing::TestWithParam<CodeCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, IndicatorCodes,
                         ::testing::Values(CodeCase{"总人口数", Edition::Full, 0}, CodeCase{"死亡人数", Edition::Full, 16},
                                           CodeCase{"流动人口死亡数", Edition::Full, 34},
                                           CodeCase{"人口预测参数设置", Edition::Full, 35},
                                           CodeCase{"人口预测参数设置", Edition::Target, 35},
                                           CodeCase{"流动人口规模", Edition::Target, 0},
                                           CodeCase{"我的指标", Edition::Full, 0}, CodeCase{"", Edition::Full, 0}));

TEST_P(IndicatorCodes, ComeFromTheListPosition) {
    EXPECT_EQ(indicatorCode(GetParam().text, GetParam().edition), GetParam().code);
}

struct ListingCase {
    const char* name;
    const char* text;
    Lines lines;
};

class Listings : public ::testing::TestWithParam<ListingCase> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, Listings,
    ::testing::Values(
        ListingCase{"Total", "总人口数", {"", "总人口数", "2001    450", "2002    449"}},
        // A typed text that is not an entry lists the total population under that text.
        ListingCase{"TypedText", "我的指标", {"", "我的指标", "2001    450", "2002    449"}},
        // Shares in the 15-digit general form; a year without population shows 0.
        ListingCase{"Share", "0--14岁人口比重", {"", "0--14岁人口比重", "2001    0.111111111111111", "2002    0"}},
        ListingCase{"NaturalGrowthRate", "自然增长率", {"", "自然增长率", "2001    0.1875", "2002    -0.375"}},
        // Births, deaths and natural increase are rounded, halves to the even neighbour.
        ListingCase{"Births", "出生人数", {"", "出生人数", "2001    2", "2002    4"}},
        ListingCase{"Deaths", "死亡人数", {"", "死亡人数", "2001    1", "2002    0"}},
        ListingCase{"NaturalIncrease", "自然增加", {"", "自然增加", "2001    1", "2002    3"}},
        ListingCase{"Migrants", "流动人口规模", {"", "流动人口规模", "2001    60540", "2002    70630"}},
        // The last projected year's population under the end year.
        ListingCase{"AgeStructure",
                    "总人口年龄结构",
                    {"", "2002年 年龄结构", "年龄  男性        女性", "0  7   7", "1  10   19", "2  2   0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(Listings, ExactLines) {
    EXPECT_EQ(textListing(smallResults(), GetParam().text, Edition::Full), GetParam().lines);
}

TEST(ParameterListing, ZandorShowsThePatternInBlocksOfSevenAges) {
    const Lines lines = textListing(smallResults(), "人口预测参数设置", Edition::Full);
    Lines expected = {"", "人口预测参数设置",
                      "总和生育率", "2001    1.5", "2002    1.6",
                      "出生性别比", "2001    105", "2002    105",
                      "男性平均预期寿命", "2001    70.25", "2002    70.25",
                      "女性平均预期寿命", "2001    75.5", "2002    75.5",
                      "生育模式"};
    const std::string blank = "  ";  // a zero shows as nothing under "####.######"
    for (int block = 0; block < 5; ++block) {
        const int first = 15 + 7 * block;
        std::string header = "         ";
        for (int age = first; age < first + 7; ++age) header += "      " + std::to_string(age);
        expected.push_back(header);
        for (const char* year : {"2001", "2002"}) {
            std::string line = std::string(year) + "   ";
            if (block == 0) line += "  .25" + blank + blank + blank + blank + blank + blank;
            if (block == 1 || block == 2 || block == 3) line += blank + blank + blank + blank + blank + blank + blank;
            if (block == 4) line += blank + blank + blank + blank + blank + blank + "  .123457";
            expected.push_back(line);
        }
    }
    for (const char* line : {"流动人口规模", "2001    10000", "2002    10000", "流动人口出生率", "2001    0.012",
                             "2002    0.012", "流动人口死亡率", "2001    0.003", "2002    0.003"}) {
        expected.emplace_back(line);
    }
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines[15], "               15      16      17      18      19      20      21");
    EXPECT_EQ(lines[16], "2001     .25            ");
}

TEST(ParameterListing, ZandorTShowsOnePatternLinePerYearAndAge) {
    const Lines lines = textListing(smallResults(), "人口预测参数设置", Edition::Target);
    const auto pattern = std::find(lines.begin(), lines.end(), "生育模式");
    ASSERT_NE(pattern, lines.end());
    const auto first = static_cast<std::size_t>(pattern - lines.begin()) + 1;
    ASSERT_GE(lines.size(), first + 70);
    EXPECT_EQ(lines[first], "2001    0.25");
    EXPECT_EQ(lines[first + 1], "2001    0");
    EXPECT_EQ(lines[first + 34], "2001    0.123456789");
    EXPECT_EQ(lines[first + 35], "2002    0.25");
    EXPECT_EQ(lines[first + 70], "流动人口规模");
}

TEST(ParameterListing, NoYearsListOnlyTheHeading) {
    const ProjectionResultSet empty = emptyResultSet(3, 0, 2000, 2000);
    EXPECT_EQ(textListing(empty, "总人口数", Edition::Full), (Lines{"", "总人口数"}));
}

TEST(Charts, SeriesPyramidOrNothing) {
    const ProjectionResultSet r = smallResults();
    const ChartPlan births = chartPlan(r, "出生人数", Edition::Full);
    EXPECT_EQ(births.kind, ChartPlan::Kind::Series);
    EXPECT_EQ(births.title, "出生人数");
    EXPECT_EQ(births.labels, (Lines{"2001", "2002"}));
    EXPECT_EQ(births.values, (std::vector<double>{2.5, 3.5}));  // unrounded

    EXPECT_EQ(chartPlan(r, "总人口年龄结构", Edition::Full).kind, ChartPlan::Kind::Pyramid);
    for (const char* none : {"流动人口规模", "流动人口出生数", "流动人口死亡数", "人口预测参数设置"}) {
        EXPECT_EQ(chartPlan(r, none, Edition::Full).kind, ChartPlan::Kind::None) << none;
    }
    // ZandorT draws the total population for its parameter entry; any typed text does too.
    for (const char* text : {"人口预测参数设置", "随便什么"}) {
        const ChartPlan plan = chartPlan(r, text, Edition::Target);
        EXPECT_EQ(plan.kind, ChartPlan::Kind::Series);
        EXPECT_EQ(plan.title, text);
        EXPECT_EQ(plan.values, r.total);
    }
}

TEST(Charts, PyramidFrameOfAYear) {
    const PyramidFrame frame = pyramidFrame(smallResults(), 1);
    EXPECT_EQ(frame.title, "2002 年龄结构金字塔");
    EXPECT_EQ(frame.ageLabels, (Lines{"0", "1", "2"}));
    EXPECT_EQ(frame.maleShares, (std::vector<double>{-7.0 / 449, -10.0 / 449, -2.5 / 449}));
    EXPECT_EQ(frame.femaleShares, (std::vector<double>{7.0 / 449, 19.0 / 449, 0.0}));
}

}  // namespace
}  // namespace zandor::projection
