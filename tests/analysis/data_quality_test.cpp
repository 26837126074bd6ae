// Age-heaping indexes and the UN sex-age index: hand-worked series, the cases that decide
// where a series ends or how it is grouped, a census population with published indexes, the
// bands, and the refusals.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "analysis/data_quality.h"
#include "analysis/un_sex_age.h"
#include "text/refusal.h"

namespace zandor::analysis {
namespace {

std::vector<double> series(std::size_t n, const std::function<double(std::size_t)>& value)
{
    std::vector<double> x(n);
    for (std::size_t k = 0; k < n; ++k)
        x[k] = value(k);
    return x;
}

std::vector<double> linear(std::size_t n) { return series(n, [](std::size_t k) { return 2000.0 - 10.0 * k; }); }

// Males by single year of age 0 to 99, the example population of the U.S. Census Bureau's
// Population Analysis Spreadsheets (PAS), workbook SINGAGE, as carried by the R package
// DemoTools (data set pop1m_pasex). Heavy heaping on ages ending in 0 and 5. The published
// figures are Whipple's index 2.34 (as a ratio; 234 in per cent) and Myers' index 47.46, the
// latter on the 0-180 scale, the sum of the digits' absolute deviations, which this program
// halves (0-90).
const std::vector<double> kSingageMales = {
    80626, 95823, 104315, 115813, 100796, 105086, 97266, 116328, 75984, 89982,
    95525, 56973, 78767,  65672,  53438,  85014,  47600, 64363,  42195, 42262,
    73221, 30080, 34391,  29072,  20531,  66171,  24029, 44227,  24128, 23599,
    82088, 16454, 22628,  17108,  12531,  57325,  17220, 28425,  16206, 17532,
    65976, 11593, 15828,  13541,  8133,   44696,  11165, 18543,  12614, 12041,
    55798, 9324,  10772,  10453,  6773,   28358,  9916,  13348,  8039,  7583,
    42470, 5288,  5317,   6582,   3361,   17949,  3650,  5873,   3279,  3336,
    27368, 1965,  2495,   2319,   1335,   12022,  1401,  1668,   1360,  1185,
    9167,  424,   568,    462,    282,    6206,   343,   409,    333,   291,
    4137,  133,   169,    157,    89,     2068,   68,    81,     66,     57};

TEST(AgeQuality, CensusWithHeavyHeapingGivesThePublishedIndexes)
{
    const IndexReport whipple = qualityReport(AgeIndex::Whipple, kSingageMales);
    EXPECT_EQ(whipple.lines, std::vector<std::string>{"WI  233.87"});
    EXPECT_EQ(std::lround(*whipple.value), 234);  // 2.34
    EXPECT_EQ(whipple.band, QualityBand::Unacceptable);

    const IndexReport myers = qualityReport(AgeIndex::Myers, kSingageMales);
    EXPECT_EQ(myers.lines, std::vector<std::string>{"Mayer_index  23.73"});
    EXPECT_EQ(std::lround(2 * *myers.value * 100), 4746);  // 47.46 on the 0-180 scale
    EXPECT_EQ(myers.band, QualityBand::Unacceptable);
}

// Series of 101 single years unless said otherwise.
struct SingleValueCase {
    const char* name;
    AgeIndex index;
    std::vector<double> x;
    double expected;
    const char* line;
};

class AgeQualityValue : public ::testing::TestWithParam<SingleValueCase> {};

TEST_P(AgeQualityValue, GivesTheHandWorkedValue)
{
    const SingleValueCase& c = GetParam();
    const IndexReport report = qualityReport(c.index, c.x);
    ASSERT_TRUE(report.value);
    EXPECT_NEAR(*report.value, c.expected, 1e-9);
    EXPECT_EQ(report.lines, std::vector<std::string>{c.line});
}

// 16 ages of 2 among 40 ages that would otherwise hold 1: 100 x 16 / (48 / 5) = 166.67.
const auto kHeapedOnes = series(63, [](std::size_t k) { return k % 5 == 0 ? 2.0 : 1.0; });
// Groups of 100 with one of 130 (group 5): the age ratios of groups 4, 5, 6 are 300/3.3,
// 3900/33 and 300/3.3, deviating 100/11, 200/11, 100/11 from 100; 400/11 / 13 = 2.797.
const auto kOneHeapedGroup = series(21, [](std::size_t g) { return g == 5 ? 130.0 : 100.0; });
const auto kOneHeapedGroupByAge =
    series(101, [](std::size_t age) { return age / 5 == 5 ? 26.0 : 20.0; });

INSTANTIATE_TEST_SUITE_P(
    Cases, AgeQualityValue,
    ::testing::Values(
        // 63 rows are enough (62 are refused below).
        SingleValueCase{"LinearWhipple", AgeIndex::Whipple, linear(63), 100, "WI  100"},
        SingleValueCase{"HeapedWhipple", AgeIndex::Whipple, kHeapedOnes, 500.0 / 3, "WI  166.67"},
        // Constant: the blended counts are 71 + j; half of 2500 / 755.
        SingleValueCase{"ConstantMyers", AgeIndex::Myers, std::vector<double>(90, 7.0), 1250.0 / 755,
                        "Mayer_index  1.66"},
        // Zero shows as the empty text.
        SingleValueCase{"LinearAccuracy", AgeIndex::Accuracy, linear(101), 0, "ARCerret_Index   "},
        SingleValueCase{"GroupedAccuracy", AgeIndex::Accuracy, kOneHeapedGroup, 400.0 / 143,
                        "ARCerret_Index   2.8"},
        SingleValueCase{"SingleYearAccuracy", AgeIndex::Accuracy, kOneHeapedGroupByAge, 400.0 / 143,
                        "ARCerret_Index   2.8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AgeQuality, PreferenceRunsFromAgeTwoToThreeBeforeTheLastZero)
{
    EXPECT_EQ(agePreference(linear(101)), std::vector<double>(97, 100.0));

    // 150 at age 10 among 100s: 100 x 150 / 110 at age 10, 100 x 100 / 110 beside it.
    auto x = std::vector<double>(101, 100.0);
    x[10] = 150;
    x[80] = 0;
    const IndexReport report = qualityReport(AgeIndex::Preference, x);
    ASSERT_EQ(report.lines.size(), 76u);  // ages 2 to 77
    EXPECT_EQ(report.lines.front(), "2  100");
    EXPECT_EQ(report.lines[8 - 2], "8  90.91");
    EXPECT_EQ(report.lines[10 - 2], "10  136.36");
    EXPECT_EQ(report.lines.back(), "77  100");
    EXPECT_EQ(report.bands, (std::array<std::string, 3>{"Near 100", "<110", ">110"}));
    EXPECT_FALSE(report.band);
}

struct BandCase {
    QualityBand (*classify)(double);
    double value;
    QualityBand band;
};

TEST(AgeQuality, ValueOnABoundaryBelongsToTheBetterBand)
{
    const BandCase cases[] = {
        {whippleBand, 95, QualityBand::Good},           {whippleBand, 110.004, QualityBand::Good},
        {whippleBand, 110.006, QualityBand::Acceptable}, {whippleBand, 130, QualityBand::Acceptable},
        {whippleBand, 130.01, QualityBand::Unacceptable}, {myersBand, 5, QualityBand::Good},
        {myersBand, 10, QualityBand::Acceptable},        {myersBand, 10.01, QualityBand::Unacceptable},
        {accuracyBand, 3, QualityBand::Good},            {accuracyBand, 7, QualityBand::Acceptable},
        {accuracyBand, 7.01, QualityBand::Unacceptable}, {unIndexBand, 20, QualityBand::Good},
        {unIndexBand, 40, QualityBand::Acceptable},      {unIndexBand, 40.01, QualityBand::Unacceptable},
    };
    for (const BandCase& c : cases)
        EXPECT_EQ(c.classify(c.value), c.band) << c.value;
    EXPECT_EQ(bandLine(QualityBand::Acceptable), "所在范围: 可接受");
}

TEST(UnSexAgeIndex, HandWorkedThreeGroups)
{
    // Sex ratios 100, 110, 100: score 10; male age ratio 110: score 10; females 0.
    const IndexReport report = unIndexReport({100, 110, 100}, {100, 100, 100});
    EXPECT_EQ(report.lines, std::vector<std::string>{"联合国分性别指数:   40"});
    EXPECT_EQ(report.bands, (std::array<std::string, 3>{"<20", "20-40", ">40"}));
    EXPECT_EQ(report.band, QualityBand::Acceptable);
}

TEST(UnSexAgeIndex, SeriesLinearAndProportionalGiveZero)
{
    const auto male = linear(101);
    const auto female = series(101, [&](std::size_t k) { return 2 * male[k]; });
    EXPECT_NEAR(unSexAgeIndex(male, female), 0, 1e-9);  // 20 groups
    EXPECT_NEAR(unSexAgeIndex({10, 20, 30, 40}, {20, 40, 60, 80}), 0, 1e-9);
}

TEST(UnSexAgeIndex, TablesOf25RecordsOrMoreAreGrouped)
{
    // Males alternate 100, 110; females 100. As 24 groups: sex-ratio score 10, male age ratios
    // alternately 110 and 200/2.2 (11 each): 3 x 10 + (11 x 10 + 11 x 100/11) / 22.
    const auto zigzag = series(25, [](std::size_t k) { return k % 2 ? 110.0 : 100.0; });
    const std::vector<double> female(25, 100.0);
    EXPECT_NEAR(unSexAgeIndex({zigzag.begin(), zigzag.end() - 1}, {female.begin(), female.end() - 1}),
                30 + 210.0 / 22, 1e-9);
    // As 5 groups 520, 530, 520, 530, 520 against 500: 3 x 2 + (2 x 2/1.04 + 2/1.06) / 3.
    EXPECT_NEAR(unSexAgeIndex(zigzag, female), 6 + (4 / 1.04 + 2 / 1.06) / 3, 1e-9);
}

TEST(UnSexAgeIndex, FirstMinusOneEndsTheData)
{
    // Ages 0 to 59 form 12 groups: 500 females each, 500 males except 600 in group 11.
    // Sex-ratio score 20/11, male age ratio of group 10: 1000/11 (one in ten); females 0.
    // What follows the first -1 (another -1 at 80, and anything) is never read.
    auto male = series(101, [](std::size_t age) {
        return age >= 60 ? 7.0 * age : age >= 55 ? 120.0 : 100.0;
    });
    auto female = std::vector<double>(101, 100.0);
    female[60] = kEndOfData;
    male[80] = kEndOfData;
    EXPECT_NEAR(unSexAgeIndex(male, female), 60.0 / 11 + 10.0 / 11, 1e-9);
}

struct RefusalCase {
    const char* name;
    std::function<void()> run;
    std::string message;
};

class QualityRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(QualityRefusal, NamesTheProblem)
{
    try {
        GetParam().run();
        FAIL() << "no refusal";
    } catch (const Refusal& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

std::vector<double> withZeros(std::vector<double> x, std::vector<std::size_t> ages)
{
    for (std::size_t age : ages)
        x[age] = 0;
    return x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QualityRefusal,
    ::testing::Values(
        RefusalCase{"Whipple62", [] { whippleIndex(linear(62)); }, kWhippleTooFewAges},
        RefusalCase{"Myers89", [] { myersIndex(linear(89)); }, kMyersTooFewAges},
        RefusalCase{"AccuracySingleYears", [] { ageAccuracyIndex(linear(74)); },
                    "Not Enough Age Groups: the age accuracy index needs 75 rows of single years "
                    "(ages 0 to 74), the table has 74"},
        RefusalCase{"AccuracyGroups", [] { ageAccuracyIndex(linear(14)); },
                    "Not Enough Age Groups: the age accuracy index needs 15 rows of five-year "
                    "groups (0-4 to 70-74), the table has 14"},
        RefusalCase{"PreferenceZeroWindow",
                    [] { agePreference(withZeros(linear(101), {10, 11, 12, 13, 14, 20})); },
                    "Division by zero at age 12: ages 10 to 14 sum to 0"},
        RefusalCase{"WhippleZero", [] { whippleIndex(std::vector<double>(63, 0.0)); },
                    "Division by zero: ages 23 to 62 sum to 0"},
        RefusalCase{"MyersZero", [] { myersIndex(std::vector<double>(90, 0.0)); },
                    "Division by zero: the blended sums of ages 10 to 89 are 0"},
        RefusalCase{"AccuracyZero",
                    [] { ageAccuracyIndex(withZeros(linear(21), {5, 6, 7})); },
                    "Division by zero at group 6 (ages 30-34): ages 25 to 39 sum to 0"},
        RefusalCase{"UnTwoGroups", [] { unSexAgeIndex({1, 2, -1, 4}, {1, 2, 3, 4}); },
                    "Not Enough Age Groups: the UN index needs 3 five-year groups, the data give 2"},
        RefusalCase{"UnZeroFemales",
                    [] { unSexAgeIndex(linear(30), withZeros(linear(30), {10, 11, 12, 13, 14})); },
                    "Division by zero: the female population of group 2 (ages 10-14) is 0"},
        RefusalCase{"UnZeroNeighbours", [] { unSexAgeIndex({0, 5, 0}, {1, 1, 1}); },
                    "Division by zero: the male groups next to group 1 sum to 0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zandor::analysis
