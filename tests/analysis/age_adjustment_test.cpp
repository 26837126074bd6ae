// Smoothing and graduation of age groups: the published worked examples, the totals each
// method promises to keep, Sprague's exactness on a cubic, the grouping of single years, and
// the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "analysis/age_adjustment.h"
#include "text/refusal.h"

namespace zandor::analysis {
namespace {

// Males in five-year groups 0-4 ... 75-79 and 80+, the example of the U.S. Census Bureau's
// Population Analysis Spreadsheets (PAS), workbook AGESMTH, as carried by the R package
// DemoTools (data set pop5m_pasex).
const std::vector<double> kAgesmthMales = {642367, 515520, 357831, 275542, 268336, 278601,
                                           242515, 198231, 165937, 122756, 96775,  59307,
                                           63467,  32377,  29796,  16183,  34729};

constexpr double kNotReached = -1;  // the spreadsheet leaves the cell empty

void expectPublished(const SmoothedGroups& smoothed, const std::vector<double>& published, const char* method)
{
    ASSERT_EQ(smoothed.values.size(), published.size()) << method;
    for (std::size_t g = 0; g < published.size(); ++g) {
        SCOPED_TRACE(std::string(method) + " group " + std::to_string(g));
        if (published[g] == kNotReached) {
            EXPECT_FALSE(smoothed.reached[g]);
            EXPECT_EQ(smoothed.values[g], kAgesmthMales[g]);
        } else {
            EXPECT_NEAR(smoothed.values[g], published[g], 1.0);
        }
    }
}

// PAS AGESMTH, the smoothed male columns of each method, as DemoTools' tests of
// smooth_age_5_cf, _kkn, _arriaga, _un and _strong give them (empty cells: not reached).
TEST(AgeSmoothing, PasAgesmthWorkedExample)
{
    const double x = kNotReached;
    expectPublished(smoothCarrierFarrag(kAgesmthMales),
                    {x, x, 346290, 287083, 285855, 261082, 237937, 202809, 162973, 125720, 88730, 67352, 55187,
                     40657, x, x, x},
                    "Carrier-Farrag");
    expectPublished(smoothKarupKingNewton(kAgesmthMales),
                    {x, x, 354871, 278502, 285508, 261429, 236513, 204233, 162138, 126555, 90094, 65988, 54803,
                     41041, x, x, x},
                    "Karup-King-Newton");
    expectPublished(smoothArriaga(kAgesmthMales),
                    {662761, 495126, 345744, 287629, 285919, 261018, 237469, 203277, 161733, 126960, 88586, 67496,
                     54587, 41257, 28790, 17189, 34729},
                    "Arriaga");
    expectPublished(smoothUnitedNations(kAgesmthMales),
                    {x, x, 364491, 279123, 268724, 272228, 243638, 200923, 162752, 126304, 91662, 67432, 54677,
                     38833, x, x, x},
                    "United Nations");
    expectPublished(smoothStrong(kAgesmthMales),
                    {646617, 511270, 386889, 317345, 273736, 240058, 218645, 188297, 153931, 124347, 93254, 71858,
                     53594, 39721, 27887, 18092, 34729},
                    "Strong");
}

// Beers ordinary, workbook BEERSP of Johnson (2016) as carried by DemoTools' test of
// graduate_beers: males 0-4 ... 75-79 and 80+, published single ages 10, 11 and 12. (Its ages
// 0-9 are those of Johnson's adjustment below ten, not the plain multipliers.)
TEST(AgeGraduation, BeersOrdinaryJohnsonWorkbook)
{
    const std::vector<double> males = {752124, 582662, 463534, 369976, 286946, 235867, 199561, 172133, 151194,
                                       131502, 113439, 95614,  78777,  60157,  40960,  21318,  25451};
    const std::vector<double> single = graduateBeersOrdinary(males);
    ASSERT_EQ(single.size(), 81u);
    EXPECT_NEAR(single[10], 101088, 1.0);
    EXPECT_NEAR(single[11], 96719, 1.0);
    EXPECT_NEAR(single[12], 92551, 1.0);
    EXPECT_EQ(single[80], 25451);  // the open group stays one group
}

// A heaped series (every second group inflated) that is not smooth in any sense.
std::vector<double> heaped()
{
    std::vector<double> groups;
    for (int g = 0; g < 20; ++g)
        groups.push_back(100000.0 - 4500.0 * g + (g % 2 ? -9000.0 : 12000.0) + 300.0 * (g % 3));
    groups.push_back(2500);
    return groups;
}

TEST(AgeSmoothing, CarrierFarragKarupKingNewtonAndArriagaKeepEveryTenYearTotal)
{
    for (const auto& groups : {kAgesmthMales, heaped()})
        for (SmoothingMethod method :
             {SmoothingMethod::CarrierFarrag, SmoothingMethod::KarupKingNewton, SmoothingMethod::Arriaga}) {
            const SmoothedGroups s = smoothGroups(method, groups);
            for (std::size_t j = 0; 2 * j + 2 < groups.size(); ++j)
                EXPECT_NEAR(s.values[2 * j] + s.values[2 * j + 1], groups[2 * j] + groups[2 * j + 1], 1e-6)
                    << methodName(method) << " ten-year group " << j;
            EXPECT_EQ(s.values.back(), groups.back());
        }
}

TEST(AgeGraduation, SpragueAndBeersOrdinaryKeepEveryGroupSum)
{
    const std::vector<double> groups = heaped();
    for (GraduationMethod method : {GraduationMethod::Sprague, GraduationMethod::BeersOrdinary}) {
        const std::vector<double> single = graduateGroups(method, groups);
        ASSERT_EQ(single.size(), 101u);
        for (std::size_t g = 0; g + 1 < groups.size(); ++g) {
            double sum = 0;
            for (std::size_t a = 5 * g; a < 5 * g + 5; ++a)
                sum += single[a];
            EXPECT_NEAR(sum, groups[g], 1e-6) << methodName(method) << " group " << g;
        }
        EXPECT_EQ(single.back(), groups.back());
    }
}

// Sprague's multipliers reproduce a cubic in single ages, in the interior groups and (a check
// of the end panels as tabled) in the first two and last two closed groups too; so do Beers'
// ordinary ones, rounded to four decimals.
TEST(AgeGraduation, SpragueAndBeersOrdinaryReturnACubicUnchanged)
{
    const auto cubic = [](double a) { return 50000 + 800 * a - 30 * a * a + 0.2 * a * a * a; };
    std::vector<double> groups(16, 0.0);
    for (int a = 0; a < 75; ++a)
        groups[a / 5] += cubic(a);
    groups[15] = 1000;  // open group
    const std::vector<double> sprague = graduateSprague(groups);
    const std::vector<double> beers = graduateBeersOrdinary(groups);
    for (int a = 0; a < 75; ++a) {
        EXPECT_NEAR(sprague[a], cubic(a), 1e-6) << "age " << a;
        EXPECT_NEAR(beers[a], cubic(a), 1e-3) << "age " << a;
    }
}

// Hand-worked: a constant single-year population of 1 per age stays constant through every
// graduation (each row of multipliers sums to one fifth).
TEST(AgeGraduation, ConstantGroupsGiveConstantSingleYears)
{
    const std::vector<double> groups = {5, 5, 5, 5, 5, 5, 7};
    for (GraduationMethod method :
         {GraduationMethod::Sprague, GraduationMethod::BeersOrdinary, GraduationMethod::BeersModified}) {
        const std::vector<double> single = graduateGroups(method, groups);
        ASSERT_EQ(single.size(), 31u);
        for (int a = 0; a < 30; ++a)
            EXPECT_NEAR(single[a], 1.0, 1e-9) << methodName(method) << " age " << a;
        EXPECT_EQ(single[30], 7);
    }
}

TEST(AgeAdjustment, GroupsSingleYearsUpToTheHighestMultipleOfFive)
{
    std::vector<double> ages(101, 1.0);  // ages 0-100
    std::vector<double> groups = groupSingleYears(ages);
    ASSERT_EQ(groups.size(), 21u);
    EXPECT_EQ(groups[0], 5);
    EXPECT_EQ(groups[19], 5);
    EXPECT_EQ(groups[20], 1);  // 100+
    ages.resize(104, 1.0);  // ages 0-103: the open group is still 100+
    groups = groupSingleYears(ages);
    ASSERT_EQ(groups.size(), 21u);
    EXPECT_EQ(groups[20], 4);
    EXPECT_EQ(groupLabel(20, 21), "100岁及以上");
    EXPECT_EQ(groupLabel(2, 21), "10-14岁");

    // The whole adjustment, single years in and single years out, has one row per record.
    const AdjustedSeries whole = adjustAgeSeries(
        {std::vector<double>(101, 1.0), true, SmoothingMethod::Arriaga, GraduationMethod::Sprague});
    EXPECT_TRUE(whole.singleYears);
    ASSERT_EQ(whole.adjusted.size(), 101u);
    EXPECT_EQ(whole.ages.back(), 100);
    EXPECT_NEAR(whole.adjusted[50], 1.0, 1e-9);
}

void expectRefusal(const std::function<void()>& f, const std::string& part)
{
    try {
        f();
        ADD_FAILURE() << "no refusal; expected one naming " << part;
    } catch (const Refusal& e) {
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

TEST(AgeAdjustment, RefusalsNameTheGroup)
{
    const std::vector<double> five = {10, 9, 8, 7, 6, 5};  // 5 closed groups and 0-25+
    expectRefusal([&] { smoothArriaga(five); }, "25岁及以上");
    expectRefusal([&] { smoothUnitedNations(std::vector<double>{10, 9, 8, 7, 6}); }, "20岁及以上");
    expectRefusal([&] { graduateSprague(std::vector<double>{10, 9, 8, 7, 6}); }, "Sprague法");

    std::vector<double> zero = kAgesmthMales;
    zero[4] = zero[5] = 0;  // 20-29 is empty
    expectRefusal([&] { smoothCarrierFarrag(zero); }, "20-29岁");
    zero[5] = -1;
    expectRefusal([&] { smoothCarrierFarrag(zero); }, "负数");

    std::vector<double> bad = kAgesmthMales;
    bad[3] = std::numeric_limits<double>::quiet_NaN();
    expectRefusal([&] { smoothKarupKingNewton(bad); }, "15-19岁");
    bad[3] = std::numeric_limits<double>::infinity();
    expectRefusal([&] { graduateBeersModified(bad); }, "15-19岁");
    std::vector<double> single(101, 1.0);
    single[37] = std::numeric_limits<double>::quiet_NaN();
    expectRefusal([&] { groupSingleYears(single); }, "37岁");
    expectRefusal([&] { adjustAgeSeries({std::vector<double>(101, 1.0), true, {}, {}}); }, "请选择");
}

}  // namespace
}  // namespace zandor::analysis
