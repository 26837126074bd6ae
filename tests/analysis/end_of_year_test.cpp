// End-of-year structure and standardization: the first estimate worked from the life table,
// the direction and size of the life-expectancy steps, the checks in order, an estimate that
// cannot settle, a realistic year of the sample, and the rescaling with its rounding and
// refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "../cli/cli_test_support.h"
#include "analysis/end_of_year.h"
#include "analysis/standardization.h"
#include "tables/numeric_column.h"
#include "tables/statements.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {
namespace {

using cli::testing::readFile;
using cli::testing::ScratchDir;

double sum(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

// 71 ages of 1000 persons of each sex, death rates 0.01 and 0.008 (1 at the open age).
EndOfYearInputs flatYear()
{
    EndOfYearInputs in;
    in.malePopulation.assign(71, 1000);
    in.femalePopulation.assign(71, 1000);
    in.maleRates.assign(71, 0.01);
    in.femaleRates.assign(71, 0.008);
    in.maleRates.back() = in.femaleRates.back() = 1;
    in.maleBirthsText = "520";
    in.femaleBirthsText = "480";
    return in;
}

// The first pass by hand: aged with L(x+1)/L(x), births times L(0), averaged from age 1.
std::vector<double> firstEstimate(const std::vector<double>& p, double births, const core::LifeTableColumns& t)
{
    std::vector<double> e(p.size());
    e[0] = births * t.Lx[0];
    for (std::size_t x = 1; x < p.size(); ++x)
        e[x] = (p[x] + p[x - 1] * t.Lx[x] / t.Lx[x - 1]) / 2;
    return e;
}

double sumOfLx(const core::LifeTableColumns& t) { return std::accumulate(t.lx.begin(), t.lx.end() - 1, 0.0); }

TEST(EndOfYear, ATotalEqualToTheFirstEstimateKeepsIt)
{
    EndOfYearInputs in = flatYear();
    const auto male = endOfYearLifeTable(projection::Sex::Male, in.maleRates);
    const auto female = endOfYearLifeTable(projection::Sex::Female, in.femaleRates);
    const auto expectedMale = firstEstimate(in.malePopulation, 520, male);
    const auto expectedFemale = firstEstimate(in.femalePopulation, 480, female);
    in.totalText = text::formatRoundTrip(sum(expectedMale) + sum(expectedFemale));

    const EndOfYearEstimate e = estimateEndOfYear(checkEndOfYear(in));
    EXPECT_EQ(e.passes, 1);
    EXPECT_DOUBLE_EQ(e.male[0], 520 * male.Lx[0]);
    for (std::size_t x = 0; x < 71; ++x) {
        EXPECT_DOUBLE_EQ(e.male[x], expectedMale[x]) << x;
        EXPECT_DOUBLE_EQ(e.female[x], expectedFemale[x]) << x;
    }
    // The life expectancy a pass moves is the sum of lx, not e0 with the open age's l/m.
    EXPECT_DOUBLE_EQ(e.maleE0, sumOfLx(male));
}

// Above the first estimate every pass raises both life expectancies by 0.02 years; below it,
// lowers them; the total ends within TOT / 100000.
TEST(EndOfYear, EachPassMovesLifeExpectancyTowardsTheTotal)
{
    for (const double factor : {1.002, 0.995}) {
        EndOfYearInputs in = flatYear();
        in.totalText = "140000";
        const EndOfYearProblem first = checkEndOfYear(in);
        const double start = sum(firstEstimate(in.malePopulation, 520, first.maleTable)) +
                             sum(firstEstimate(in.femalePopulation, 480, first.femaleTable));
        in.totalText = text::formatRoundTrip(start * factor);
        const EndOfYearProblem p = checkEndOfYear(in);
        const EndOfYearEstimate e = estimateEndOfYear(p);
        ASSERT_GT(e.passes, 2) << factor;
        const double moved = (factor > 1 ? 0.02 : -0.02) * (e.passes - 1);
        EXPECT_NEAR(e.maleE0, sumOfLx(p.maleTable) + moved, 0.0001 * e.passes) << factor;
        EXPECT_NEAR(e.femaleE0, sumOfLx(p.femaleTable) + moved, 0.0001 * e.passes) << factor;
        EXPECT_LE(std::fabs(e.total - p.total), p.total / 100000) << factor;
        EXPECT_DOUBLE_EQ(e.total, sum(e.male) + sum(e.female));
    }
}

TEST(EndOfYear, ChecksComeInOrderWithTheirMessages)
{
    using Change = void (*)(EndOfYearInputs&);
    const struct {
        Change change;
        std::string message;
    } cases[] = {
        {[](EndOfYearInputs& in) { in.femaleRates.clear(); }, "选定原始数据变量不够!"},
        {[](EndOfYearInputs& in) { in.femalePopulation[3] = -1; in.maleRates[2] = 2; }, "男性年龄别死亡率数据格式不正确."},
        {[](EndOfYearInputs& in) { in.femalePopulation[3] = -1; in.maleRates[5] = 2; }, "女性年龄别人口数据格式不正确."},
        {[](EndOfYearInputs& in) { in.femaleRates[70] = -0.1; }, "女性年龄别死亡率数据格式不正确."},
        {[](EndOfYearInputs& in) { in.totalText = "0.0"; }, "数据逻辑错误!"},
        {[](EndOfYearInputs& in) { in.totalText = ""; }, "数据逻辑错误!"},
        {[](EndOfYearInputs& in) { in.totalText = "1000"; }, "数据逻辑错误!"},
        {[](EndOfYearInputs& in) { in.totalText = "1e5"; in.maleBirthsText = "-3"; }, "数据逻辑错误!"},
        {[](EndOfYearInputs& in) { in.totalText = "1e5x"; }, "年末总人口数: “1e5x”不是有效的数值"},
        {[](EndOfYearInputs& in) { in.totalText = "1e5"; in.femaleBirthsText = "四百"; },
         "当年女性出生数: “四百”不是有效的数值"},
        // Age 0 counts: the start population with the births is 143000 persons.
        {[](EndOfYearInputs& in) { in.totalText = "142999"; in.malePopulation[0] = 0; }, "数据逻辑错误!!!请检查数据!"},
        {[](EndOfYearInputs& in) { in.totalText = "1e5"; in.maleBirthsText = "11700"; }, "数据逻辑错误!!!请检查数据!"},
    };
    for (const auto& c : cases) {
        EndOfYearInputs in = flatYear();
        in.totalText = "140000";
        c.change(in);
        try {
            checkEndOfYear(in);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Refusal& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    // Just below the start population with the births is accepted (deaths fewer than age 0).
    EndOfYearInputs in = flatYear();
    in.totalText = "142999";
    EXPECT_NO_THROW(checkEndOfYear(in));
}

TEST(EndOfYear, AnEstimateThatCannotSettleNamesTheClosestTotal)
{
    EndOfYearInputs in = flatYear();
    in.totalText = "142999";  // would need more survivors than no deaths at all give
    try {
        estimateEndOfYear(checkEndOfYear(in));
        ADD_FAILURE() << "settled";
    } catch (const Refusal& e) {
        EXPECT_NE(std::string(e.what()).find("最接近的推算总人口为 "), std::string::npos) << e.what();
    }
}

TEST(EndOfYear, ARealisticYearOfTheSampleSettles)
{
    auto table = tables::Table::open(ZANDOR_SOURCE_DIR "/samples/single_region.DB", true);
    EndOfYearInputs in;
    in.malePopulation = tables::readNumericColumn(table, "男性人口");
    in.femalePopulation = tables::readNumericColumn(table, "女性人口");
    in.maleRates = tables::readNumericColumn(table, "男性死亡率");
    in.femaleRates = tables::readNumericColumn(table, "女性死亡率");
    in.totalText = "10090000";
    in.maleBirthsText = "52000";
    in.femaleBirthsText = "48000";
    const EndOfYearProblem p = checkEndOfYear(in);
    const EndOfYearEstimate e = estimateEndOfYear(p);
    EXPECT_GT(e.passes, 1);
    EXPECT_LE(std::fabs(e.total - 10090000), 10090000.0 / 100000);
}

TEST(Standardization, SharesOfOneTotalAndHalvesToEven)
{
    const auto scaled = standardize({{60}, {40}}, 1000);
    EXPECT_EQ(scaled, (std::vector<std::vector<double>>{{600}, {400}}));

    ScratchDir scratch;
    const std::string path = scratch / "std.DB";
    tables::runStatement("Create table \"" + path + "\" (M float,F float)");
    {
        auto t = tables::Table::open(path);
        for (const auto& [m, f] : {std::pair{5.0, 4.0}, std::pair{7.0, 0.0}}) {
            t.append();
            t.setValue(0, m);
            t.setValue(1, f);
            t.post();
        }
    }
    auto t = tables::Table::open(path);
    const StandardizationRequest request{{{5, 7}, {4, 0}}, "8", {"Smale01", "Sfemale01"}, {}};
    // 5/16 x 8 = 2.5 and 7/16 x 8 = 3.5.
    EXPECT_EQ(standardizeInto(t, request), (std::vector<std::vector<double>>{{2, 4}, {2, 0}}));
    EXPECT_EQ(tables::readNumericColumn(t, "Smale01"), (std::vector<double>{2, 4}));

    // Refusals leave the table as it is: a name it has (now Smale01), an empty total, a total
    // that is no number, a standard summing to 0, a field not chosen.
    const std::string before = readFile(path);
    const struct {
        StandardizationRequest request;
        std::string message;
    } refused[] = {
        {request, "Smale01变量已存在，请输入新的变量名."},
        {{{{5, 7}, {4, 0}}, "", {"a", "b"}, {}}, "总人口数据不正确."},
        {{{{5, 7}, {4, 0}}, "8人", {"a", "b"}, {}}, "被标准化总人口: “8人”不是有效的数值"},
        {{{{0, 0}, {0, 0}}, "8", {"a", "b"}, {}}, "标准人口的总和为0, 无法标准化."},
        {{{{5, 7}, {}}, "8", {"a", "b"}, {}}, "选定原始数据变量不够!"},
    };
    for (const auto& c : refused) {
        try {
            standardizeInto(t, c.request);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Refusal& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(readFile(path), before) << c.message;
    }
}

}  // namespace
}  // namespace zandor::analysis
