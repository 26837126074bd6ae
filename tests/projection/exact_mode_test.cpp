// The exact mode of both projections: the open last age worked by hand, e0 targets met on the
// life table's own e0, the population balance of a closed population, a stationary
// population that stays stationary, and base texts that keep the base table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "projection/base_life_table.h"
#include "projection/indicators.h"
#include "projection/urban_rural_projection.h"
#include "projection/yearly_step.h"
#include "projection_test_support.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {
namespace {

namespace pt = testing;

// 71 ages, nobody fertile. L = 1 up to age 68, then .4 and .6 (the open age): men 100 at
// age 69 and 300 in the open age, women 50 and 50.
//   Exact:   new[70] = (P69 + P70) T70 / T69 = 400 x .6 / 1 = 240 (women 60); deaths
//            (400 - 240) + (100 - 60) = 200.
//   Literal: new[70] = L70 / L69 x P69 = 150 (women 75): the open age is dropped and the
//            deaths (100 - 150) + (50 - 75) = -75.
struct OpenAgeCase {
    bool openLastAge;
    double male70, female70, deaths;
};

class OpenLastAge : public ::testing::TestWithParam<OpenAgeCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, OpenLastAge,
                         ::testing::Values(OpenAgeCase{true, 240, 60, 200}, OpenAgeCase{false, 150, 75, -75}),
                         [](const auto& info) { return std::string(info.param.openLastAge ? "Exact" : "Literal"); });

TEST_P(OpenLastAge, SurvivesAsAGroupInTheExactModeOnly) {
    std::vector<double> L(71, 1.0);
    L[69] = 0.4;
    L[70] = 0.6;
    const std::vector<double> fertility(71, 0.0);
    std::vector<double> pm(71, 0.0), pf(71, 0.0), newMale(71), newFemale(71);
    pm[69] = 100;
    pm[70] = 300;
    pf[69] = 50;
    pf[70] = 50;
    const YearSchedule s{.maleLx = L, .femaleLx = L, .fertility = fertility, .maleBirthShare = 0.5,
                         .femaleBirthShare = 0.5, .openLastAge = GetParam().openLastAge};
    const YearStepTotals totals = projectOneYear(pm, pf, s, newMale, newFemale, 2001);
    EXPECT_DOUBLE_EQ(newMale[70], GetParam().male70);
    EXPECT_DOUBLE_EQ(newFemale[70], GetParam().female70);
    EXPECT_DOUBLE_EQ(totals.deathsAbove0, GetParam().deaths);
}

// A run of the synthetic table over `years` years from 2020, in the exact mode unless said.
struct ExactRun {
    pt::SyntheticTable table;
    SingleRegionInputs in;
    SingleRegionGrids grids;
    RunOptions options;

    ExactRun(int years, pt::SyntheticTable t) : table(std::move(t)), grids(openScheduleGrids(0, 2020)) {
        pt::chooseAll(in, grids, table, 2020, 2020 + years);
        options.exact = true;
    }
    ExactRun(int ages, int years) : ExactRun(years, pt::syntheticTable(ages)) {}

    void setRow(text::TextGrid& grid, int row, const std::string& text) {
        for (int c = 1; c < grid.columnCount(); ++c) grid.setCell(row, c, text);
    }
    // e0 targets rising by `step` a year from the base e0 of the sex.
    void risingE0(int row, double step) {
        const double base = text::toNumber(row == kMaleRow ? in.region.male.baseLifeExpectancyText
                                                            : in.region.female.baseLifeExpectancyText);
        for (int c = 1; c < grids.lifeExpectancy.columnCount(); ++c) {
            grids.lifeExpectancy.setCell(row, c, text::formatGeneral(base + step * c));
        }
    }
    ProjectionRun run() const { return projectSingleRegion(in, parseSchedules(in, grids, options), options); }
};

double baseTotal(const SingleRegionInputs& in) {
    const auto& r = in.region;
    return std::accumulate(r.malePopulation.begin(), r.malePopulation.end(), 0.0) +
           std::accumulate(r.femalePopulation.begin(), r.femalePopulation.end(), 0.0);
}

// On 71 to 102 ages, with e0 rising (so that the oldest population grows): deaths are never
// negative, and without births the population loses exactly its deaths, up to the rounding
// of each age row to whole persons (at most one person per age for both sexes).
class ExactBalance : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Ages, ExactBalance, ::testing::Values(71, 76, 81, 101, 102));

TEST_P(ExactBalance, DeathsAreNeverNegativeAndAClosedPopulationLosesExactlyThem) {
    const int ages = GetParam();
    ExactRun open(ages, 40);
    open.risingE0(kMaleRow, 0.2);
    open.risingE0(kFemaleRow, 0.15);
    const ProjectionResultSet withBirths = open.run().results;
    for (int t = 0; t < 40; ++t) EXPECT_GE(withBirths.deaths[static_cast<std::size_t>(t)], 0) << ages << " ages, " << t;

    ExactRun closed = open;
    closed.setRow(closed.grids.tfr, 1, "0");
    const ProjectionResultSet r = closed.run().results;
    double previous = baseTotal(closed.in);
    for (int t = 0; t < 40; ++t) {
        const auto y = static_cast<std::size_t>(t);
        EXPECT_EQ(r.births[y], 0);
        EXPECT_GE(r.deaths[y], 0);
        EXPECT_LE(std::fabs(previous - r.deaths[y] - r.total[y]), ages) << ages << " ages, year " << t;
        previous = r.total[y];
    }

    // The literal mode drops the open age and books the newcomers to it as negative deaths
    // (here with the base tables: it cannot reach the rising targets on 76 ages).
    if (ages == 76) {
        ExactRun base(ages, 40);
        base.options.exact = false;
        const ProjectionResultSet literal = base.run().results;
        EXPECT_LT(*std::min_element(literal.deaths.begin(), literal.deaths.end()), 0);
    }
}

// Every age at k L(x), the open age at k T(N-1), constant rates, sex ratio 100 and the TFR
// that makes the surviving births equal the age-0 population: the total stays within 0.01 %
// for 100 years; only the yearly rounding to whole persons moves it.
class Stationary : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Ages, Stationary, ::testing::Values(81, 101));

TEST_P(Stationary, PopulationKeepsItsTotalFor100Years) {
    const int ages = GetParam();
    constexpr double k = 100000;
    pt::SyntheticTable t = pt::syntheticTable(ages);
    const BaseLifeTable male = baseLifeTable(Sex::Male, t.maleRates);
    const BaseLifeTable female = baseLifeTable(Sex::Female, t.femaleRates);
    for (int x = 0; x < ages; ++x) {
        t.malePopulation[static_cast<std::size_t>(x)] = k * male.Lx[static_cast<std::size_t>(x)];
        t.femalePopulation[static_cast<std::size_t>(x)] = k * female.Lx[static_cast<std::size_t>(x)];
    }
    ExactRun s(100, t);
    s.setRow(s.grids.sexRatio, 1, "100");
    // Births: W(x) = 2 k Lf(x), each sex gets half, and survives by L(0) / 2; so the year's
    // pattern (as the grid holds it) times the TFR must give the sum of Lf(x) f(x) = 2.
    double sum = 0;
    for (int a = kFirstFertileAge; a <= kLastFertileAge; ++a) {
        sum += female.Lx[static_cast<std::size_t>(a)] * text::toNumber(s.grids.pattern.cell(a - kFirstFertileAge + 1, 1));
    }
    s.setRow(s.grids.tfr, 1, text::formatGeneral(2 / sum));
    const double start = baseTotal(s.in);
    const ProjectionResultSet r = s.run().results;
    for (int y = 0; y < 100; ++y) EXPECT_NEAR(r.total[static_cast<std::size_t>(y)] / start, 1.0, 1e-4) << y;
}

// Years whose e0 cell keeps the base text keep the base table: an unedited row and a row
// edited only in its last year give the same years before it. Edited years meet their
// target on the life table's own e0 (the sum of Lx with the open age l / m).
TEST(ExactLifeExpectancy, BaseTextsKeepTheBaseTableAndTargetsMeetTheTablesE0) {
    ExactRun unedited(81, 12);
    ExactRun lastEdited = unedited;
    lastEdited.grids.lifeExpectancy.setCell(kMaleRow, 12, "74.5");
    lastEdited.grids.lifeExpectancy.setCell(kFemaleRow, 12, "79.25");
    const ProjectionRun a = unedited.run();
    const ProjectionRun b = lastEdited.run();
    for (int y = 0; y < 11; ++y) {
        const auto t = static_cast<std::size_t>(y);
        EXPECT_EQ(a.results.total[t], b.results.total[t]) << y;
        EXPECT_EQ(a.results.deaths[t], b.results.deaths[t]) << y;
        EXPECT_EQ(a.results.births[t], b.results.births[t]) << y;
    }
    const BaseLifeTable base = baseLifeTable(Sex::Male, unedited.table.maleRates);
    const auto first = b.endState.male.Lx.year(0);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), base.Lx.begin()));
    const auto sumOf = [](std::span<const double> v) { return std::accumulate(v.begin(), v.end(), 0.0); };
    EXPECT_NEAR(sumOf(b.endState.male.Lx.year(11)), 74.5, 1e-9);
    EXPECT_NEAR(sumOf(b.endState.female.Lx.year(11)), 79.25, 1e-9);

    // The literal mode refits every year of an edited row, base texts included.
    lastEdited.options.exact = false;
    EXPECT_NE(lastEdited.run().results.total[0], a.results.total[0]);
}

// A 76-age table whose female e0 is beyond 76 years: the sum of lx cannot reach it, the
// table's own e0 can.
TEST(ExactLifeExpectancy, AShortTableReachesTargetsAboveItsAgeCount) {
    ExactRun s(76, 3);
    const double e0 = text::toNumber(s.in.region.female.baseLifeExpectancyText);
    ASSERT_GT(e0, 76);
    s.grids.lifeExpectancy.setCell(kFemaleRow, 2, text::formatGeneral(e0 + 1));
    EXPECT_NO_THROW(s.run());
    s.options.exact = false;
    EXPECT_THROW(s.run(), Refusal);
}

TEST(ExactMode, ListingsSayItAndTheParameterListingRecordsIt) {
    ExactRun s(81, 2);
    const ProjectionResultSet exact = s.run().results;
    s.options.exact = false;
    const ProjectionResultSet literal = s.run().results;
    EXPECT_EQ(textListing(exact, "总人口数", Edition::Full).at(1), "总人口数（精确模式）");
    EXPECT_EQ(textListing(literal, "总人口数", Edition::Full).at(1), "总人口数");
    EXPECT_EQ(textListing(exact, "总人口年龄结构", Edition::Full).at(1), "2022年 年龄结构（精确模式）");
    const auto parameters = textListing(exact, "人口预测参数设置", Edition::Full);
    EXPECT_EQ(parameters.back(), label::kExactModeRecord);
    EXPECT_EQ(textListing(literal, "人口预测参数设置", Edition::Full).size(), parameters.size() - 1);
}

// The urban-rural run: the open age of each region survives as a group, an edited e0 is met
// on the table's own e0, and its listings say so.
TEST(ExactMode, UrbanRuralRegionsTakeItToo) {
    const pt::SyntheticTable t = pt::syntheticTable(81);
    SingleRegionInputs rural;
    SingleRegionInputs urban;
    UrbanRuralGrids grids = openUrbanRuralGrids(1, 2020);
    const std::pair<InputField, const std::vector<double>*> fields[] = {
        {InputField::MalePopulation, &t.malePopulation}, {InputField::FemalePopulation, &t.femalePopulation},
        {InputField::MaleDeathRates, &t.maleRates},      {InputField::FemaleDeathRates, &t.femaleRates},
        {InputField::Fertility, &t.fertility}};
    for (const auto& [field, series] : fields) {
        chooseUrbanRuralFieldSeries(rural, Region::Rural, grids, field, "field", *series, 2020, 2021);
        chooseUrbanRuralFieldSeries(urban, Region::Urban, grids, field, "field", *series, 2020, 2021);
    }
    grids.lifeExpectancy.setCell(lifeExpectancyRow(Region::Urban, Sex::Female), 1, "81.5");
    const UrbanRuralRun run =
        projectUrbanRural(rural, urban, parseUrbanRuralSchedules(rural, urban, grids), {.exact = true});

    const BaseLifeTable male = baseLifeTable(Sex::Male, t.maleRates);
    const double open = (t.malePopulation[79] + t.malePopulation[80]) * (male.Lx[80] / (male.Lx[79] + male.Lx[80]));
    EXPECT_EQ(run.results.rural.malePopulation[80], text::roundHalfEven(open));
    const auto lx = run.urban.female.Lx.year(0);
    EXPECT_NEAR(std::accumulate(lx.begin(), lx.end(), 0.0), 81.5, 1e-9);
    EXPECT_EQ(urbanRuralTextListing(run.results, "总人口数").at(1), "总人口数（精确模式）");
}

}  // namespace
}  // namespace zandor::projection
