// Life tables: hand-worked tables, the a-values of the four methods at their boundaries, the
// identities every table keeps over random schedules, reading from a table file, and every
// refusal with its message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../cli/cli_test_support.h"
#include "analysis/life_table.h"
#include "analysis/life_table_avalues.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {
namespace {

using cli::testing::ScratchDir;

std::vector<std::string> gridRow(const text::TextGrid& grid, int row)
{
    std::vector<std::string> cells;
    for (int c = 0; c < grid.columnCount(); ++c)
        cells.push_back(grid.cell(row, c));
    return cells;
}

using Row = std::vector<std::string>;

// ---------------------------------------------------------------------------------------
// Hand-worked tables

// Two single years, M = 0.1 and 0.5, uniform a0 = 0.2:
//   q0 = 1 - e^-0.1 = 0.0951626, l1 = e^-0.1 = 0.9048374, L0 = l1 + 0.2 q0 = 0.9238699;
//   the open group: q1 = 1, d1 = l1, L1 = l1 / 0.5 = 1.8096748, e1 = 1 / 0.5 = 2;
//   T0 = 0.9238699 + 1.8096748 = 2.7335448 = e0.
TEST(LifeTable, TwoSingleYearsByHand)
{
    LifeTableInput input;
    input.ratesField = "m";
    input.rates = {0.1, 0.5};
    const LifeTable t = computeLifeTable(input);
    EXPECT_NEAR(t.Lx[0], 0.9238699344, 1e-10);
    EXPECT_NEAR(t.Lx[1], 1.8096748361, 1e-10);
    EXPECT_NEAR(t.ex[0], 2.7335447705, 1e-10);
    EXPECT_DOUBLE_EQ(t.ex[1], 2.0);
    EXPECT_EQ(t.lx.size(), 3u);
    EXPECT_EQ(t.lx[2], 0.0);

    const text::TextGrid grid = lifeTableGrid(t);
    ASSERT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(grid.columnCount(), 8);
    EXPECT_EQ(gridRow(grid, 0), (Row{"年龄组", "Mx", "qx", "lx", "Dx", "Lx", "Tx", "ex"}));
    EXPECT_EQ(gridRow(grid, 1), (Row{"0", ".1", ".095163", "1", ".095163", ".92387", "2.733545", "2.73"}));
    EXPECT_EQ(gridRow(grid, 2), (Row{"1", ".5", "1", ".904837", ".904837", "1.809675", "1.809675", "2"}));
}

// Three abridged groups (0, 1-4, 5+), M = 0.1, 0.05, 0.2, uniform a0 = 0.2, 4a1 = 1.5:
//   l1 = e^-0.1 = 0.9048374, q1 = 1 - e^-(4 x 0.05) = 0.1812692, d1 = 0.1640192,
//   l2 = e^-0.3 = 0.7408182, L1 = 4 l2 + 1.5 d1 = 3.2093017, L2 = l2 / 0.2 = 3.7040911,
//   T1 = 6.9133928, T0 = 0.9238699 + T1 = 7.8372627, e1 = T1 / l1 = 7.6404806, e2 = 5.
TEST(LifeTable, ThreeAbridgedGroupsByHand)
{
    LifeTableInput input;
    input.ratesField = "m";
    input.width = AgeWidth::Abridged;
    input.rates = {0.1, 0.05, 0.2};
    const text::TextGrid grid = lifeTableGrid(computeLifeTable(input));
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(gridRow(grid, 1), (Row{"0", ".1", ".095163", "1", ".095163", ".92387", "7.837263", "7.84"}));
    EXPECT_EQ(gridRow(grid, 2), (Row{"1", ".05", ".181269", ".904837", ".164019", "3.209302", "6.913393", "7.64"}));
    EXPECT_EQ(gridRow(grid, 3), (Row{"2", ".2", "1", ".740818", ".740818", "3.704091", "3.704091", "5"}));
}

// One open group alone: everyone lives 1 / M on average.
TEST(LifeTable, SingleOpenGroup)
{
    LifeTableInput input;
    input.ratesField = "m";
    input.rates = {0.04};
    const LifeTable t = computeLifeTable(input);
    EXPECT_DOUBLE_EQ(t.ex[0], 25.0);
    EXPECT_EQ(gridRow(lifeTableGrid(t), 1), (Row{"0", ".04", "1", "1", "1", "25", "25", "25"}));
}

// ---------------------------------------------------------------------------------------
// a-values at the boundaries of each method's ranges

struct AValueCase {
    std::string name;
    AValueMethod method;
    AgeWidth width;
    std::string sex;
    std::function<void(std::vector<double>&)> setRates;  // from 0.01 at every age
    std::vector<std::pair<std::size_t, double>> expected;  // index, a-value
};

void PrintTo(const AValueCase& c, std::ostream* os) { *os << c.name; }

class LifeTableAValues : public ::testing::TestWithParam<AValueCase> {};

// M0 for a given q0: q0 = 1 - exp(-M0).
double rateForQ0(double q0) { return -std::log(1 - q0); }

// UN rule with M(x-1) = 0.01, Mx = 0.02, M(x+1) = 0.04:
//   G = 2.5 - 25/12 (0.02 - 0.2 ln 4) = 2.5 + 25/12 x 0.2572589 = 3.0359560 years.
constexpr double kGreville = 3.0359559838;

const AValueCase kAValueCases[] = {
    {"UniformSingle", AValueMethod::Uniform, AgeWidth::Single, "Male", nullptr,
     {{0, 0.2}, {1, 0.375}, {4, 0.375}, {5, 0.5}, {100, 0.5}}},
    {"UniformAbridged", AValueMethod::Uniform, AgeWidth::Abridged, "Male", nullptr,
     {{0, 0.2}, {1, 1.5}, {2, 2.5}, {100, 2.5}}},
    {"ChiangSingle", AValueMethod::Chiang, AgeWidth::Single, "Male", nullptr,
     {{0, 0.09}, {4, 0.39}, {5, 0.46}, {19, 0.57}, {20, 0.49}, {49, 0.54}, {50, 0.53},
      {79, 0.51}, {80, 0.48}, {85, 0.48}, {86, 0.46}, {100, 0.46}}},
    {"ChiangAbridged", AValueMethod::Chiang, AgeWidth::Abridged, "Male", nullptr,
     {{0, 0.09}, {1, 1.56}, {4, 2.85}, {5, 2.45}, {10, 2.7}, {11, 2.65}, {16, 2.55},
      {17, 2.4}, {18, 2.3}, {100, 2.3}}},
    // Female, q0 = 0.05: a0 = 0.05 + 3 x 0.05 = 0.2; 4a1 = 1.524 - 1.627 x 0.05 = 1.44265.
    {"CoaleDemenyFemaleSingle", AValueMethod::CoaleDemeny, AgeWidth::Single, "Female",
     [](std::vector<double>& m) { m[0] = rateForQ0(0.05); },
     {{0, 0.2}, {1, 0.3606625}, {4, 0.3606625}, {5, 0.45}, {9, 0.45}, {10, 0.52}, {70, 0.52},
      {71, 0.5}, {100, 0.5}}},
    {"CoaleDemenyFemaleAbridged", AValueMethod::CoaleDemeny, AgeWidth::Abridged, "Female",
     [](std::vector<double>& m) { m[0] = rateForQ0(0.05); },
     {{0, 0.2}, {1, 1.44265}, {2, 2.25}, {3, 2.6}, {15, 2.6}, {16, 2.5}, {100, 2.5}}},
    // Male, q0 = 0.05: a0 = 0.0425 + 2.875 x 0.05 = 0.18625; 4a1 = 1.63 - 3.013 x 0.05 = 1.47935.
    {"CoaleDemenyMaleLowQ0", AValueMethod::CoaleDemeny, AgeWidth::Abridged, "Male",
     [](std::vector<double>& m) { m[0] = rateForQ0(0.05); }, {{0, 0.18625}, {1, 1.47935}}},
    // q0 = 1 - e^-0.2 = 0.18 and above 0.1: the fixed values.
    {"CoaleDemenyMaleHighQ0", AValueMethod::CoaleDemeny, AgeWidth::Single, "Male",
     [](std::vector<double>& m) { m[0] = 0.2; }, {{0, 0.33}, {1, 0.338}}},
    {"CoaleDemenyFemaleHighQ0", AValueMethod::CoaleDemeny, AgeWidth::Single, "Female",
     [](std::vector<double>& m) { m[0] = 0.5; }, {{0, 0.35}, {4, 0.34025}}},
    {"UNSingle", AValueMethod::UN, AgeWidth::Single, "Female",
     [](std::vector<double>& m) { m[0] = rateForQ0(0.05); m[14] = 0.01; m[15] = 0.02; m[16] = 0.04; },
     {{0, 0.2}, {4, 0.3606625}, {5, 0.5}, {14, 0.5}, {15, kGreville / 5},
      // equal neighbours: 2.5 - 25/12 x 0.01 = 2.4791667 years
      {50, 2.4791666667 / 5}}},
    {"UNAbridged", AValueMethod::UN, AgeWidth::Abridged, "Female",
     [](std::vector<double>& m) { m[0] = rateForQ0(0.05); m[3] = 0.01; m[4] = 0.02; m[5] = 0.04; },
     {{1, 1.44265}, {2, 2.5}, {3, 2.5}, {4, kGreville}, {50, 2.4791666667}}},
};

TEST_P(LifeTableAValues, ValuesAtRangeBoundaries)
{
    const AValueCase& c = GetParam();
    LifeTableInput input;
    input.method = c.method;
    input.width = c.width;
    input.sex = c.sex;
    std::vector<double> rates(kMaxAgeGroups, 0.01);
    if (c.setRates)
        c.setRates(rates);
    const std::vector<double> a = lifeTableAValues(input, rates);
    ASSERT_EQ(a.size(), kMaxAgeGroups);
    for (const auto& [index, expected] : c.expected)
        EXPECT_NEAR(a[index], expected, 1e-9) << "a-value of age group " << index;
}

INSTANTIATE_TEST_SUITE_P(Methods, LifeTableAValues, ::testing::ValuesIn(kAValueCases),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// Identities every table keeps

// The identities a table keeps, checked without the engine's formulas: Dx adds up to the
// radix 1, lx starts at 1, falls by Dx and ends at 0, 0 <= qx <= 1 with qx = 1 in the open
// group, Tx is the sum of Lx from x on, ex = Tx / lx, and (where 0 <= ax <= width) each Lx
// lies between width x the survivors at the end and at the start of its interval.
// Returns one line per violation, naming the identity and the age group.
std::vector<std::string> lifeTableViolations(const LifeTable& t, bool aWithinInterval)
{
    std::vector<std::string> found;
    const auto check = [&](bool holds, const std::string& what, std::size_t k) {
        if (!holds)
            found.push_back(what + ", group " + std::to_string(k));
    };
    const auto close = [](double a, double b) { return std::abs(a - b) <= 1e-12 * std::max(1.0, std::abs(b)); };
    const std::size_t n = t.groupCount();
    if (t.lx.size() != n + 1 || n == 0)
        return {"lx has " + std::to_string(t.lx.size()) + " entries for " + std::to_string(n) + " groups"};
    double deaths = 0;
    for (double d : t.dx)
        deaths += d;
    check(close(deaths, 1.0), "Dx sum " + text::formatGeneral(deaths), 0);
    check(t.lx[0] == 1.0, "radix", 0);
    check(t.lx[n] == 0.0, "lx after the open group", n);
    check(t.qx[n - 1] == 1.0, "qx of the open group", n - 1);
    check(t.dx[n - 1] == t.lx[n - 1], "Dx of the open group", n - 1);
    double later = 0;
    for (std::size_t k = n; k-- > 0;) {
        later += t.Lx[k];
        check(close(t.Tx[k], later), "Tx sums Lx", k);
        check(close(t.ex[k], later / t.lx[k]), "ex = Tx/lx", k);
        check(t.qx[k] >= 0 && t.qx[k] <= 1, "0 <= qx <= 1", k);
        check(t.lx[k + 1] <= t.lx[k], "lx falls", k);
        check(std::abs(t.lx[k] - t.lx[k + 1] - t.dx[k]) <= 1e-15, "lx falls by Dx", k);
        if (aWithinInterval && k + 1 < n) {
            const double width = t.width == AgeWidth::Single || k == 0 ? 1 : k == 1 ? 4 : 5;
            check(t.Lx[k] >= width * t.lx[k + 1] - 1e-15 && t.Lx[k] <= width * t.lx[k] + 1e-15,
                  "Lx within the interval", k);
        }
    }
    return found;
}

bool mentions(const std::vector<std::string>& violations, const std::string& what)
{
    return std::any_of(violations.begin(), violations.end(),
                       [&](const std::string& v) { return v.starts_with(what); });
}

// The checker itself must notice a broken table.
TEST(LifeTable, InvariantCheckerNoticesBrokenTables)
{
    LifeTableInput input;
    input.ratesField = "m";
    input.rates = {0.02, 0.01, 0.05, 0.3};
    const LifeTable good = computeLifeTable(input);
    EXPECT_EQ(lifeTableViolations(good, true), std::vector<std::string>{});

    LifeTable broken = good;
    broken.dx[1] *= 1.01;
    EXPECT_TRUE(mentions(lifeTableViolations(broken, true), "Dx sum"));
    broken = good;
    broken.Tx[0] += 0.001;
    EXPECT_TRUE(mentions(lifeTableViolations(broken, true), "Tx sums Lx, group 0"));
    broken = good;
    broken.Lx[2] = 5 * broken.lx[2];
    EXPECT_TRUE(mentions(lifeTableViolations(broken, true), "Lx within the interval, group 2"));
    broken = good;
    broken.lx[2] = broken.lx[1] * 1.5;
    EXPECT_TRUE(mentions(lifeTableViolations(broken, true), "lx falls, group 1"));
}

// Random rate schedules: a Siler-like curve (falling child mortality, a floor, rising old-age
// mortality) with random levels and random noise, of random length.
std::vector<double> randomSchedule(std::mt19937& rng, AgeWidth width)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Single years up to age 100; abridged groups up to the group of age 105.
    const std::size_t minimum = width == AgeWidth::Abridged ? 3 : 1;
    const std::size_t maximum = width == AgeWidth::Abridged ? 23 : kMaxAgeGroups;
    const std::size_t n = std::uniform_int_distribution<std::size_t>(minimum, maximum)(rng);
    const double child = 0.001 + 0.1 * unit(rng);
    const double floor = 0.0001 + 0.003 * unit(rng);
    const double ageing = 0.00001 + 0.0001 * unit(rng);
    const double growth = 0.07 + 0.05 * unit(rng);
    std::vector<double> m(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double age = width == AgeWidth::Single ? double(k) : k == 0 ? 0.0 : k == 1 ? 1.0 : 5.0 * double(k - 1);
        const double noise = 0.7 + 0.6 * unit(rng);
        // Rates above 1 a year are not seen in real tables.
        m[k] = noise * std::min(1.0, child * std::exp(-3 * age) + floor + ageing * std::exp(growth * age));
    }
    return m;
}

struct MethodCase {
    AValueMethod method;
    AgeWidth width;
    const char* name;
};

class LifeTableIdentities : public ::testing::TestWithParam<MethodCase> {};

TEST_P(LifeTableIdentities, HoldOverRandomSchedules)
{
    std::mt19937 rng(20240611u + static_cast<unsigned>(GetParam().method) * 7u
                     + static_cast<unsigned>(GetParam().width));
    for (int run = 0; run < 200; ++run) {
        LifeTableInput input;
        input.ratesField = "m";
        input.method = GetParam().method;
        input.width = GetParam().width;
        input.sex = run % 2 ? "Male" : "Female";
        input.rates = randomSchedule(rng, input.width);
        SCOPED_TRACE("run " + std::to_string(run) + ", " + std::to_string(input.rates.size()) + " groups");
        const LifeTable t = computeLifeTable(input);
        EXPECT_EQ(lifeTableViolations(t, input.method != AValueMethod::UN), std::vector<std::string>{});

        const text::TextGrid grid = lifeTableGrid(t);
        const int last = grid.rowCount() - 1;
        EXPECT_EQ(grid.cell(last, 2), "1") << "qx of the last row";
        EXPECT_EQ(grid.cell(last, 3), grid.cell(last, 4)) << "lx and Dx of the last row";
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Methods, LifeTableIdentities,
    ::testing::Values(MethodCase{AValueMethod::Uniform, AgeWidth::Single, "UniformSingle"},
                      MethodCase{AValueMethod::Uniform, AgeWidth::Abridged, "UniformAbridged"},
                      MethodCase{AValueMethod::Chiang, AgeWidth::Single, "ChiangSingle"},
                      MethodCase{AValueMethod::Chiang, AgeWidth::Abridged, "ChiangAbridged"},
                      MethodCase{AValueMethod::CoaleDemeny, AgeWidth::Single, "CoaleDemenySingle"},
                      MethodCase{AValueMethod::CoaleDemeny, AgeWidth::Abridged, "CoaleDemenyAbridged"},
                      MethodCase{AValueMethod::UN, AgeWidth::Single, "UNSingle"},
                      MethodCase{AValueMethod::UN, AgeWidth::Abridged, "UNAbridged"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Chart labels

TEST(LifeTable, SurvivalChartLabels)
{
    LifeTableInput input;
    input.ratesField = "m";
    input.rates = {0.02, 0.002, 0.001, 0.002, 0.3};
    EXPECT_EQ(survivalChartLabels(computeLifeTable(input)), (Row{"0", "1", "2", "3", "4"}));
    input.width = AgeWidth::Abridged;
    EXPECT_EQ(survivalChartLabels(computeLifeTable(input)), (Row{"0", "4", "9", "14", "19"}));
}

// ---------------------------------------------------------------------------------------
// Reading from a table file

class LifeTableFromFile : public ::testing::Test {
protected:
    // Ages 0-3: population, deaths and the rates deaths / population.
    void SetUp() override
    {
        path = scratch / "mortality.db";
        auto created = tables::createTableFile(
            path, tables::TableFormat::Paradox,
            {tables::FieldDef{"人口"}, tables::FieldDef{"死亡人数"}, tables::FieldDef{"死亡率"}});
        const double rows[][3] = {{1000, 100, 0.1}, {2000, 100, 0.05}, {400, 40, 0.1}, {800, 400, 0.5}};
        for (const auto& row : rows)
            created.table->append({row[0], row[1], row[2]});
        created.table->flush();
    }
    ScratchDir scratch;
    std::string path;
};

TEST_F(LifeTableFromFile, CountsAndRatesGiveTheSameTable)
{
    for (const AgeWidth width : {AgeWidth::Single, AgeWidth::Abridged}) {
        auto table = tables::Table::open(path, true);
        LifeTableInput counts;
        counts.mode = MortalityInput::DeathCounts;
        counts.populationField = "人口";
        counts.deathsField = "死亡人数";
        counts.width = width;
        LifeTableInput rates;
        rates.ratesField = "死亡率";
        rates.width = width;
        const LifeTable a = computeLifeTable(table, counts);
        const LifeTable b = computeLifeTable(table, rates);
        ASSERT_EQ(a.groupCount(), 4u);
        EXPECT_EQ(a.mx, (std::vector<double>{0.1, 0.05, 0.1, 0.5}));
        EXPECT_EQ(a.mx, b.mx);
        EXPECT_EQ(a.qx, b.qx);
        EXPECT_EQ(a.lx, b.lx);
        EXPECT_EQ(a.Lx, b.Lx);
        EXPECT_EQ(a.ex, b.ex);
        EXPECT_EQ(lifeTableGrid(a), lifeTableGrid(b));
    }
}

TEST_F(LifeTableFromFile, MissingAndUnknownFields)
{
    auto table = tables::Table::open(path, true);
    LifeTableInput input;
    EXPECT_THROW(
        {
            try {
                computeLifeTable(table, input);
            } catch (const Refusal& e) {
                EXPECT_STREQ(e.what(), "Not enough variable selected!");
                throw;
            }
        },
        Refusal);
    input.mode = MortalityInput::DeathCounts;
    input.populationField = "人口";
    EXPECT_THROW(computeLifeTable(table, input), Refusal);
    input.deathsField = "死亡";
    EXPECT_THROW(computeLifeTable(table, input), tables::TableError);
}

// The sample table's death rates are exact central rates m(x) of Siler schedules whose
// life expectancy at birth the generator integrated: 75.00 for men, 80.00 for women
// (samples/README.md). Every a-value method must come within 0.05 years of it: the
// a-values change person-years lived only by a part of the deaths in each interval.
struct SampleCase {
    const char* name;
    AValueMethod method;
    const char* field;
    const char* sex;
    double e0;
};

class LifeTableSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(LifeTableSample, LifeExpectancyOfTheGeneratingSchedule)
{
    auto table = tables::Table::open(ZANDOR_SOURCE_DIR "/samples/single_region.DB", true);
    LifeTableInput input;
    input.ratesField = GetParam().field;
    input.method = GetParam().method;
    input.sex = GetParam().sex;
    const LifeTable t = computeLifeTable(table, input);
    ASSERT_EQ(t.groupCount(), 101u);
    EXPECT_NEAR(t.ex[0], GetParam().e0, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, LifeTableSample,
    ::testing::Values(SampleCase{"UniformMale", AValueMethod::Uniform, "男性死亡率", "Male", 75.0},
                      SampleCase{"ChiangMale", AValueMethod::Chiang, "男性死亡率", "Male", 75.0},
                      SampleCase{"CoaleDemenyMale", AValueMethod::CoaleDemeny, "男性死亡率", "Male", 75.0},
                      SampleCase{"UNMale", AValueMethod::UN, "男性死亡率", "Male", 75.0},
                      SampleCase{"UniformFemale", AValueMethod::Uniform, "女性死亡率", "Female", 80.0},
                      SampleCase{"ChiangFemale", AValueMethod::Chiang, "女性死亡率", "Female", 80.0},
                      SampleCase{"CoaleDemenyFemale", AValueMethod::CoaleDemeny, "女性死亡率", "Female", 80.0},
                      SampleCase{"UNFemale", AValueMethod::UN, "女性死亡率", "Female", 80.0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Refusals

struct RefusalCase {
    std::string name;
    std::function<void(LifeTableInput&)> prepare;  // from a valid single-year rate input
    std::string message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class LifeTableRefusals : public ::testing::TestWithParam<RefusalCase> {};

std::vector<double> flatRates(std::size_t n, double last = 0.3)
{
    std::vector<double> m(n, 0.01);
    m.back() = last;
    return m;
}

void useCounts(LifeTableInput& in, std::vector<double> population, std::vector<double> deaths)
{
    in.mode = MortalityInput::DeathCounts;
    in.rates.clear();
    in.population = std::move(population);
    in.deaths = std::move(deaths);
}

const RefusalCase kRefusalCases[] = {
    {"NoRecords", [](LifeTableInput& in) { in.rates.clear(); },
     "字段“男性死亡率”没有年龄组: 数据表没有记录."},
    {"MoreThan101Groups", [](LifeTableInput& in) { in.rates = flatRates(102); },
     "字段“男性死亡率”有 102 个年龄组, 生命表最多处理 101 个 (0 至 100 岁组); 第 101 组及以后无法处理."},
    {"AbridgedWithTwoGroups",
     [](LifeTableInput& in) {
         in.width = AgeWidth::Abridged;
         in.rates = flatRates(2);
     },
     "字段“男性死亡率”只有 2 个年龄组, 简略生命表至少需要 3 个 (0 岁, 1-4 岁和最后的开口组)."},
    {"AbridgedOnSingleYears",
     [](LifeTableInput& in) {
         in.width = AgeWidth::Abridged;
         in.rates = flatRates(31);
     },
     "\"5 Years\" 要求按 0, 1-4, 5-9 ... 岁分组的数据, 而字段“男性死亡率”有 31 个记录 (多于 30 个, 是单岁数据): "
     "请选择 \"1 Year\"."},
    {"ZeroPopulation",
     [](LifeTableInput& in) { useCounts(in, {100, 90, 0, 50}, {2, 1, 0, 20}); },
     "字段“男性人口”第 2 年龄组的人口为 0: 无法计算其死亡率."},
    {"ZeroDeathsInTheLastGroup",
     [](LifeTableInput& in) { useCounts(in, {100, 90, 70, 50}, {2, 1, 1, 0}); },
     "字段“男性死亡人数”/“男性人口”第 3 年龄组 (最后的开口组) 的死亡率为 0: 其 a 值 1/Mx 要求死亡率大于 0."},
    {"ZeroRateInTheLastGroup", [](LifeTableInput& in) { in.rates = flatRates(5, 0); },
     "字段“男性死亡率”第 4 年龄组 (最后的开口组) 的死亡率为 0: 其 a 值 1/Mx 要求死亡率大于 0."},
    {"NegativeRateInTheLastGroup",
     [](LifeTableInput& in) {
         in.width = AgeWidth::Abridged;
         in.rates = flatRates(4, -0.25);
     },
     "字段“男性死亡率”第 3 年龄组 (最后的开口组) 的死亡率为 -0.25: 其 a 值 1/Mx 要求死亡率大于 0."},
    {"NoSurvivorsSingleYears", [](LifeTableInput& in) { in.rates = {0.01, 0.01, 40, 0.01, 0.3}; },
     "第 3 年龄组已无存活者 (最后一组之前 lx = 0): 字段“男性死亡率”第 2 年龄组的死亡率过高, 无法计算 ex = Tx/lx."},
    // 5 x 10 = 50: exp(-50) vanishes beside 1, so q = 1 exactly.
    {"NoSurvivorsAbridged",
     [](LifeTableInput& in) {
         in.width = AgeWidth::Abridged;
         in.rates = {0.01, 0.01, 10, 0.01, 0.3};
     },
     "第 3 年龄组已无存活者 (最后一组之前 lx = 0): 字段“男性死亡率”第 2 年龄组的死亡率过高, 无法计算 ex = Tx/lx."},
    {"CoaleDemenyWithLowerCaseSex",
     [](LifeTableInput& in) {
         in.method = AValueMethod::CoaleDemeny;
         in.sex = "male";
     },
     "性别“male”既不是 \"Male\" 也不是 \"Female\": Coale-Demeny 需要其中之一."},
    {"UNWithChineseSex",
     [](LifeTableInput& in) {
         in.method = AValueMethod::UN;
         in.sex = "女";
     },
     "性别“女”既不是 \"Male\" 也不是 \"Female\": 联合国法 需要其中之一."},
    {"UNZeroRateBelow",
     [](LifeTableInput& in) {
         in.method = AValueMethod::UN;
         in.rates = flatRates(30);
         in.rates[14] = 0;
     },
     "字段“男性死亡率”第 14 年龄组的死亡率为 0: 联合国法计算第 15 年龄组的 a 值要取相邻两组死亡率之比的对数, 它们必须大于 0."},
    {"UNNegativeRateAboveAbridged",
     [](LifeTableInput& in) {
         in.method = AValueMethod::UN;
         in.width = AgeWidth::Abridged;
         in.sex = "Female";
         in.rates = flatRates(10);
         in.rates[5] = -0.001;
     },
     "字段“男性死亡率”第 5 年龄组的死亡率为 -0.001: 联合国法计算第 4 年龄组的 a 值要取相邻两组死亡率之比的对数, 它们必须大于 0."},
};

TEST_P(LifeTableRefusals, RefusedWithMessage)
{
    LifeTableInput input;
    input.ratesField = "男性死亡率";
    input.populationField = "男性人口";
    input.deathsField = "男性死亡人数";
    input.rates = flatRates(5);
    GetParam().prepare(input);
    try {
        computeLifeTable(input);
        ADD_FAILURE() << "no refusal";
    } catch (const Refusal& e) {
        EXPECT_EQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LifeTableRefusals, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& info) { return info.param.name; });

// The uniform values are read only when the uniform method is chosen, and a text that is no
// number stops the computation with the number-conversion message.
TEST(LifeTable, UniformValuesMustBeNumbers)
{
    LifeTableInput input;
    input.ratesField = "m";
    input.rates = flatRates(5);
    input.uniformA1 = "1,5";
    try {
        computeLifeTable(input);
        ADD_FAILURE() << "no error";
    } catch (const text::NumberFormatError& e) {
        EXPECT_STREQ(e.what(), "均匀分布的 a1: “1,5”不是有效的数值");
    }
    input.method = AValueMethod::Chiang;
    EXPECT_NO_THROW(computeLifeTable(input));
}

}  // namespace
}  // namespace zandor::analysis
