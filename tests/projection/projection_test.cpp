// The single-region run: a two-year projection worked by hand, the urban and migrant models,
// the rules by which edited schedule texts become yearly schedules, survival curves, and
// the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "projection/base_life_table.h"
#include "projection/single_region_projection.h"
#include "projection_test_support.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {
namespace {

// 71 ages, base year 2000, two projected years.
//   Male Lx = 0.5^(x+1): every survival ratio is 1/2 and L0 = 1/2.
//   Female Lx = 1/2 at every age: every survival ratio is 1 and L0 = 1/2.
//   Fertility pattern .25 at age 20 and .75 at age 30, TFR 1 (unedited), sex ratio 100, so
//   each sex gets half of the births; urban share .5.
//   Start: men 8 (age 0), 4 (1), 5 (10), 7 (12), 6 (70); women 100 (19), 200 (20), 40 (29),
//   60 (30), 3 (70). Total 433.
struct Hand {
    SingleRegionInputs in;
    SingleRegionGrids grids;
    RunOptions options;
};

Hand handProjection() {
    Hand h;
    SingleRegionInputs& in = h.in;
    in.ageCount = 71;
    in.yearCount = 2;
    in.baseYear = 2000;
    in.endYear = 2002;
    in.fields = {"m", "f", "mx", "fx", "asfr"};
    sizeInputSet(in);
    for (auto [age, n] : std::map<int, double>{{0, 8}, {1, 4}, {10, 5}, {12, 7}, {70, 6}}) in.region.malePopulation[age] = n;
    for (auto [age, n] : std::map<int, double>{{19, 100}, {20, 200}, {29, 40}, {30, 60}, {70, 3}}) {
        in.region.femalePopulation[age] = n;
    }
    std::fill(in.region.male.deathRates.begin(), in.region.male.deathRates.end(), 0.5);
    std::fill(in.region.female.deathRates.begin(), in.region.female.deathRates.end(), 0.5);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 71; ++x) {
            in.region.male.Lx(x, y) = std::ldexp(1.0, -(x + 1));
            in.region.female.Lx(x, y) = 0.5;
        }
    }
    in.region.male.baseLifeExpectancyText = "70";
    in.region.female.baseLifeExpectancyText = "70";
    in.region.fertilityRates(20, 0) = 0.25;
    in.region.fertilityRates(30, 0) = 0.75;
    in.region.baseTfr = 1;
    in.region.baseTfrText = "1";
    in.region.tfrByYear = {1, 1};
    h.grids = openScheduleGrids(2, 2000);
    SingleRegionGrids& g = h.grids;
    for (int c = 1; c <= 2; ++c) {
        g.tfr.setCell(1, c, "1");
        g.lifeExpectancy.setCell(1, c, "70");
        g.lifeExpectancy.setCell(2, c, "70");
        g.sexRatio.setCell(1, c, "100");
        g.pattern.setCell(6, c, "0.25");
        g.pattern.setCell(16, c, "0.75");
    }
    h.options.urbanShareText = "0.5";
    return h;
}

using Series = std::vector<double>;

void expectSeries(const Series& actual, const Series& expected, const char* name) {
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (std::size_t t = 0; t < expected.size(); ++t) EXPECT_DOUBLE_EQ(actual[t], expected[t]) << name << " year " << t;
}

// Year 2001. Men: 8 x .5 = 4 reach age 1, 4 -> 2 at age 2, 5 -> 2.5 at 11 (rounded to 2),
// 7 -> 3.5 at 13 (rounded to 4); the 6 men of 70 leave. Deaths of ages 0-69: 4+2+2.5+3.5 = 12.
// Women survive whole: 100 at 20, 200 at 21, 40 at 30, 60 at 31.
// Women exposed W(x) = Pf(x-1) + Pf(x): W(20) = 300, W(30) = 100; Bm = Bf = 300 x .25 x .5 +
// 100 x .75 x .5 = 75; births (75+75)/2 = 75. Infants: 75 x .5 / 2 = 18.75 of each sex (19).
// Infant deaths 75 - 37.5 = 37.5; infant base .8 x 37.5 + .2 x 8 = 31.6. Deaths 49.5.
// End sum 30.75 + 418.75 = 449.5; mean (433 + 449.5) / 2 = 441.25. Rounded total 31 + 419 = 450.
// Urban: c = .044 - .028 x .5 = .03; U = round((450 + 216.5 x .03) x 216.5 / 433) = 228.
//
// Year 2002. Men: 19 -> 9.5 at age 1 (rounded to 10), 4 -> 2, 2 -> 1 at 3, 2 -> 1 at 12,
// 4 -> 2 at 14: deaths 15.5. Women move up one age. W(20) = 0 + 100, W(30) = 0 + 40;
// Bm = Bf = 100 x .25 x .5 + 40 x .75 x .5 = 27.5 = births; infants 6.875 of each sex (7).
// Infant deaths 13.75; base .8 x 13.75 + .2 x 38 = 18.6. Deaths 29.25. End sum 22.375 +
// 425.875 = 448.25; mean 449.125. Rounded total 23 + 426 = 449.
// Urban: round((449 + 222 x .03) x 228 / 450) = round(230.87) = 231.
TEST(HandWorkedProjection, TwoYearsEveryCell) {
    Hand h = handProjection();
    const ProjectionResultSet r = testing::runKeepingEndState(h.in, h.grids, h.options);
    ASSERT_EQ(r.yearCount, 2);
    EXPECT_EQ(r.calendarYear(0), 2001);
    expectSeries(r.births, {75, 27.5}, "births");
    expectSeries(r.infantDeaths, {37.5, 13.75}, "infant deaths");
    expectSeries(r.infantMortalityRate, {37.5 / 31.6, 13.75 / 18.6}, "infant mortality");
    expectSeries(r.deaths, {49.5, 29.25}, "deaths");
    expectSeries(r.crudeBirthRate, {75 / 441.25, 27.5 / 449.125}, "crude birth rate");
    expectSeries(r.crudeDeathRate, {49.5 / 441.25, 29.25 / 449.125}, "crude death rate");
    expectSeries(r.maleTotal, {31, 23}, "male total");
    expectSeries(r.femaleTotal, {419, 426}, "female total");
    expectSeries(r.total, {450, 449}, "total");
    expectSeries(r.urban, {228, 231}, "urban");
    expectSeries(r.age0to14, {50, 49}, "0-14");
    expectSeries(r.age15to64, {400, 400}, "15-64");
    expectSeries(r.age65plus, {0, 0}, "65+");
    expectSeries(r.women15to49, {400, 400}, "women 15-49");
    expectSeries(r.womenAged23, {0, 0}, "women 23");
    expectSeries(r.women20to29, {300, 300}, "women 20-29");
    expectSeries(r.aged6, {0, 0}, "6");
    expectSeries(r.aged7, {0, 0}, "7");
    expectSeries(r.aged11, {2, 0}, "11");
    expectSeries(r.aged15, {0, 0}, "15");
    expectSeries(r.aged18, {0, 0}, "18");
    expectSeries(r.age6to10, {0, 0}, "6-10");
    expectSeries(r.age15to24, {300, 300}, "15-24");
    expectSeries(r.age25to44, {100, 100}, "25-44");
    expectSeries(r.age45to64, {0, 0}, "45-64");
    expectSeries(r.age19to64, {400, 400}, "19-64");
    expectSeries(r.migrantPopulation, {0, 0}, "migrants");
    expectSeries(r.migrantBirths, {0, 0}, "migrant births");
    expectSeries(r.migrantDeaths, {0, 0}, "migrant deaths");

    // Every age of both years, through the age-structure shares (population / total).
    const std::map<int, double> men[2] = {{{0, 19}, {1, 4}, {2, 2}, {11, 2}, {13, 4}},
                                          {{0, 7}, {1, 10}, {2, 2}, {3, 1}, {12, 1}, {14, 2}}};
    const std::map<int, double> women[2] = {{{0, 19}, {20, 100}, {21, 200}, {30, 40}, {31, 60}},
                                            {{0, 7}, {1, 19}, {21, 100}, {22, 200}, {31, 40}, {32, 60}}};
    const double totals[2] = {450, 449};
    for (int t = 0; t < 2; ++t) {
        for (int a = 0; a < 71; ++a) {
            const double m = men[t].contains(a) ? men[t].at(a) : 0.0;
            const double f = women[t].contains(a) ? women[t].at(a) : 0.0;
            EXPECT_DOUBLE_EQ(r.maleShare(a, t), -m / totals[t]) << "age " << a << " year " << t;
            EXPECT_DOUBLE_EQ(r.femaleShare(a, t), f / totals[t]) << "age " << a << " year " << t;
            if (t == 1) {
                EXPECT_EQ(r.malePopulation[a], m) << a;
                EXPECT_EQ(r.femalePopulation[a], f) << a;
                EXPECT_EQ(h.in.region.malePopulation[a], m) << a;
            }
        }
    }

    // The year records and the schedules the run leaves in the input set.
    for (int t = 0; t < 2; ++t) {
        const ParameterRecord& p = r.parameters[t];
        EXPECT_EQ(p[parameter::kTfr], 1);
        EXPECT_EQ(p[parameter::kMaleE0], 70);
        EXPECT_EQ(p[parameter::kFemaleE0], 70);
        EXPECT_EQ(p[parameter::kSexRatio], 100);
        EXPECT_EQ(p[parameter::kFirstPattern + 5], 0.25);
        EXPECT_EQ(p[parameter::kFirstPattern + 15], 0.75);
        EXPECT_EQ(p[parameter::kFirstPattern], 0);
        EXPECT_EQ(p[parameter::kUrbanShare], 0.5);
        EXPECT_EQ(p[parameter::kNewMigrants], 0);
        EXPECT_EQ(h.in.region.fertilityRates(20, t), 0.25);
        EXPECT_EQ(h.in.region.fertilityRates(30, t), 0.75);
        EXPECT_EQ(h.in.region.maleBirthShare[t], 0.5);
    }
}

TEST(HandWorkedProjection, RoundingTiesGoToTheEvenNeighbour) {
    // 2.5 -> 2 and 3.5 -> 4 (men of 11 and 13 in 2001), 9.5 -> 10 (men of 1 in 2002).
    Hand h = handProjection();
    h.in.yearCount = 1;
    h.in.endYear = 2001;
    const ProjectionResultSet one = testing::runKeepingEndState(h.in, h.grids, h.options);
    EXPECT_EQ(h.in.region.malePopulation[11], 2);
    EXPECT_EQ(h.in.region.malePopulation[13], 4);
    // A second run starts from where the first ended.
    const ProjectionResultSet two = testing::runKeepingEndState(h.in, h.grids, h.options);
    EXPECT_EQ(h.in.region.malePopulation[1], 10);
    EXPECT_EQ(two.total[0], 449);
    EXPECT_EQ(one.total[0], 450);
}

struct UrbanCase {
    const char* share;
    Series urban;
};

class UrbanModel : public ::testing::TestWithParam<UrbanCase> {};

// With share 0 nobody is urban; with share 1 (c = .016, no rural population) the urban
// population is the total.
INSTANTIATE_TEST_SUITE_P(Shares, UrbanModel,
                         ::testing::Values(UrbanCase{"0", {0, 0}}, UrbanCase{"1", {450, 449}},
                                           UrbanCase{"0.5", {228, 231}}));

TEST_P(UrbanModel, FollowsTheBaseShare) {
    Hand h = handProjection();
    h.options.urbanShareText = GetParam().share;
    expectSeries(testing::runKeepingEndState(h.in, h.grids, h.options).urban, GetParam().urban, "urban");
}

void setMigrantRows(SingleRegionGrids& g) {
    const char* rows[3][2] = {{"100", "200"}, {"0.5", "0.25"}, {"0.25", "0.5"}};
    for (int row = 0; row < 3; ++row) {
        for (int c = 0; c < 2; ++c) g.migrants.setCell(row + 1, c + 1, rows[row][c]);
    }
}

// Stock 1000. 2001: 1000 + 100 = 1100; births 550, deaths 275, migrants 1375.
// 2002: 1100 + 200 = 1300 (births and deaths are not carried); 325 and 650, migrants 975.
TEST(MigrantModel, OnAccumulatesTheStock) {
    Hand h = handProjection();
    setMigrantRows(h.grids);
    h.in.includeMigrants = true;
    h.options.migrantStockText = "1000";
    const ProjectionResultSet r = testing::runKeepingEndState(h.in, h.grids, h.options);
    expectSeries(r.migrantPopulation, {1375, 975}, "migrants");
    expectSeries(r.migrantBirths, {550, 325}, "migrant births");
    expectSeries(r.migrantDeaths, {275, 650}, "migrant deaths");
    expectSeries(r.newMigrants, {1375, 975}, "new-migrant schedule, overwritten");
    EXPECT_EQ(r.parameters[1][parameter::kNewMigrants], 200);
    EXPECT_EQ(r.parameters[1][parameter::kMigrantDeathRate], 0.5);
    expectSeries(r.total, {450, 449}, "residents are unaffected");
}

TEST(MigrantModel, OffListsTheScheduleAsEntered) {
    Hand h = handProjection();
    setMigrantRows(h.grids);
    const ProjectionResultSet r = testing::runKeepingEndState(h.in, h.grids, h.options);
    expectSeries(r.migrantPopulation, {100, 200}, "migrants");
    expectSeries(r.migrantBirths, {0, 0}, "migrant births");
    expectSeries(r.migrantDeaths, {0, 0}, "migrant deaths");
}

// ZandorT has no migrants: nothing is filled and the stock box is never read.
TEST(MigrantModel, TargetEditionFillsNoMigrantSeries) {
    Hand h = handProjection();
    setMigrantRows(h.grids);
    h.in.includeMigrants = true;
    h.options.edition = Edition::Target;
    h.options.migrantStockText = "not read";
    const ProjectionResultSet r = testing::runKeepingEndState(h.in, h.grids, h.options);
    expectSeries(r.migrantPopulation, {0, 0}, "migrants");
    expectSeries(r.migrantBirths, {0, 0}, "migrant births");
    expectSeries(r.total, {450, 449}, "total");
}

struct RunRefusal {
    const char* name;
    std::function<void(Hand&)> spoil;
    std::string message;
};

class RunRefusals : public ::testing::TestWithParam<RunRefusal> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, RunRefusals,
    ::testing::Values(
        RunRefusal{"AnEmptyFieldList", [](Hand& h) { h.in.fields.fertility.clear(); }, "选定原始数据变量不够!"},
        RunRefusal{"NegativeMalePopulation", [](Hand& h) { h.in.region.malePopulation[5] = -1; },
                   "男性年龄别人口数据格式不正确."},
        // The first failing age decides: the woman of age 3 comes before the man of age 5.
        RunRefusal{"FirstFailingAgeFirst",
                   [](Hand& h) {
                       h.in.region.malePopulation[5] = -1;
                       h.in.region.femalePopulation[3] = -1;
                   },
                   "女性年龄别人口数据格式不正确."},
        RunRefusal{"MaleDeathRateAboveOne", [](Hand& h) { h.in.region.male.deathRates[9] = 1.5; },
                   "男性年龄别死亡率数据格式不正确."},
        RunRefusal{"NegativeFemaleDeathRate", [](Hand& h) { h.in.region.female.deathRates[70] = -0.1; },
                   "女性年龄别死亡率数据格式不正确."},
        RunRefusal{"FertilityRateAboveOne", [](Hand& h) { h.in.region.fertilityRates(40, 0) = 2; },
                   "年龄别生育率数据格式不正确."},
        RunRefusal{"SeventyAges",
                   [](Hand& h) {
                       h.in.fields = {};
                       h.options.wizardData = true;
                       h.in.ageCount = 70;
                   },
                   "数据表只有70行，单区域人口预测至少需要71个年龄行（0至70岁）."},
        RunRefusal{"UrbanShareAboveOne", [](Hand& h) { h.options.urbanShareText = "1.5"; },
                   "起始年城镇人口比重必须在0到1之间，不能是1.5."},
        RunRefusal{"NegativeUrbanShare", [](Hand& h) { h.options.urbanShareText = "-0.01"; },
                   "起始年城镇人口比重必须在0到1之间，不能是-0.01."},
        RunRefusal{"SexRatioOfMinus100", [](Hand& h) { h.grids.sexRatio.setCell(1, 2, "-100"); },
                   "2002年出生性别比为-100，无法计算出生婴儿的性别构成."},
        RunRefusal{"UnreachableLifeExpectancy",
                   [](Hand& h) {
                       for (int x = 0; x <= 71; ++x) h.in.region.male.lx(x, 0) = x < 71 ? std::exp(-0.01 * x) : 0;
                       h.in.region.male.aValues.assign(71, 0.5);
                       h.grids.lifeExpectancy.setCell(1, 1, "60");
                       h.grids.lifeExpectancy.setCell(1, 2, "500");
                   },
                   "2002年男性出生预期寿命500无法由基础生命表的logit变换达到."},
        RunRefusal{"ZeroPersonYears", [](Hand& h) { h.in.region.female.Lx(40, 1) = 0; },
                   "2002年女性40岁的生存人年数(Lx)为0，无法计算存活比."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(RunRefusals, NameTheProblem) {
    Hand h = handProjection();
    GetParam().spoil(h);
    try {
        testing::runKeepingEndState(h.in, h.grids, h.options);
        FAIL() << "no refusal";
    } catch (const Refusal& refusal) {
        EXPECT_EQ(refusal.what(), GetParam().message);
    }
}

TEST(RunChecks, TheWizardSkipsTheFieldListsAndAZeroDeathRatePasses) {
    Hand h = handProjection();
    h.in.fields = {};
    h.options.wizardData = true;
    h.in.region.male.deathRates[3] = 0;
    EXPECT_NO_THROW(testing::runKeepingEndState(h.in, h.grids, h.options));
}

struct BadCell {
    const char* name;
    std::function<void(Hand&)> spoil;
    std::string message;
};

class BadCells : public ::testing::TestWithParam<BadCell> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, BadCells,
    ::testing::Values(
        BadCell{"Pattern", [](Hand& h) { h.grids.pattern.setCell(16, 2, "x"); },
                "生育模式30岁 2002年: “x”不是有效的数值"},
        BadCell{"EditedTfr", [](Hand& h) { h.grids.tfr.setCell(1, 1, "1,5"); },
                "总和生育率 2001年: “1,5”不是有效的数值"},
        BadCell{"MigrantRow", [](Hand& h) { h.grids.migrants.setCell(3, 1, "千"); },
                "流动人口死亡率 2001年: “千”不是有效的数值"},
        BadCell{"UrbanShare", [](Hand& h) { h.options.urbanShareText = "26%"; },
                "起始年城镇人口比重: “26%”不是有效的数值"},
        BadCell{"MigrantStock", [](Hand& h) { h.options.migrantStockText = ""; },
                "现有流动人口规模: “”不是有效的数值"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(BadCells, EndTheRunWithTheConversionMessageAndWhere) {
    Hand h = handProjection();
    GetParam().spoil(h);
    try {
        testing::runKeepingEndState(h.in, h.grids, h.options);
        FAIL() << "no error";
    } catch (const text::NumberFormatError& e) {
        EXPECT_EQ(e.what(), GetParam().message);
    }
}

// The realistic table of the test support, 2020-2030.
struct Realistic {
    testing::SyntheticTable table = testing::syntheticTable();
    SingleRegionInputs in;
    SingleRegionGrids grids = openScheduleGrids(0, 2020);
    Realistic() { testing::chooseAll(in, grids, table, 2020, 2030); }
};

TEST(ScheduleTexts, WithoutEditsEveryYearKeepsTheBaseLxAndTfr) {
    Realistic s;
    const AgeYearMatrix maleLx = s.in.region.male.Lx;
    const AgeYearMatrix femaleLx = s.in.region.female.Lx;
    const double tfr = s.in.region.baseTfr;
    testing::runKeepingEndState(s.in, s.grids, RunOptions{});
    EXPECT_EQ(s.in.region.male.Lx, maleLx);
    EXPECT_EQ(s.in.region.female.Lx, femaleLx);
    for (double v : s.in.region.tfrByYear) EXPECT_EQ(v, tfr);
    // The pattern comes from the grid texts, times the base TFR.
    EXPECT_EQ(s.in.region.fertilityRates(28, 5), text::toNumber(s.grids.pattern.cell(14, 6)) * tfr);
}

// One edited e0 cell makes every year of that sex fitted: each year's sum of lx over ages
// 0..N-1 meets its cell's number, also in years whose cell still shows the base text; the
// other sex keeps its base Lx.
TEST(ScheduleTexts, OneEditedE0CellRefitsEveryYearOfThatSex) {
    Realistic s;
    const BaseLifeTable base = baseLifeTable(Sex::Male, s.table.maleRates);
    const AgeYearMatrix femaleLx = s.in.region.female.Lx;
    s.grids.lifeExpectancy.setCell(1, 4, "78");
    const double baseText = text::toNumber(s.in.region.male.baseLifeExpectancyText);
    testing::runKeepingEndState(s.in, s.grids, RunOptions{});
    for (int y = 0; y < 10; ++y) {
        double sum = 0;
        for (int x = 0; x < testing::kAges; ++x) sum += s.in.region.male.lx(x, y);
        EXPECT_NEAR(sum, y == 3 ? 78.0 : baseText, 1e-9) << y;
        EXPECT_EQ(s.in.region.male.lx(0, y), 1.0);
        EXPECT_EQ(s.in.region.male.lx(testing::kAges, y), 0.0);
        // Lx from the fitted lx with the base a-values (the open age closed with 1/m).
        const int last = testing::kAges - 1;
        EXPECT_DOUBLE_EQ(s.in.region.male.Lx(last, y), s.in.region.male.lx(last, y) * base.ax[last]);
        EXPECT_DOUBLE_EQ(s.in.region.male.Lx(40, y), (s.in.region.male.lx(40, y) - s.in.region.male.lx(41, y)) * 0.52 + s.in.region.male.lx(41, y));
    }
    // The fit criterion is the sum of lx, not e0: an unedited year's curve is not the base.
    double largest = 0;
    for (int x = 0; x < testing::kAges; ++x) largest = std::max(largest, std::fabs(s.in.region.male.lx(x, 0) - base.lx[x]));
    EXPECT_GT(largest, 1e-6);
    EXPECT_EQ(s.in.region.female.Lx, femaleLx);
}

TEST(ScheduleTexts, OneEditedTfrCellTakesTheWholeRow) {
    Realistic s;
    s.grids.tfr.setCell(1, 2, "1.8");
    testing::runKeepingEndState(s.in, s.grids, RunOptions{});
    EXPECT_EQ(s.in.region.tfrByYear[1], 1.8);
    EXPECT_EQ(s.in.region.tfrByYear[0], 1.6);  // the base text "1.6", not the summed TFR
    EXPECT_EQ(s.in.region.fertilityRates(30, 1), s.in.region.fertilityPattern(15, 1) * 1.8);
}

// New survival curves: the end year's Lx comes from the lx fields with a-values recomputed
// from m(0) (the open age now has a = .5), and the years between move on a straight line
// from the base Lx.
TEST(SurvivalCurves, LxMovesLinearlyToTheNewCurve) {
    Realistic s;
    const BaseLifeTable better = baseLifeTable(Sex::Male, std::vector<double>(testing::kAges, 0.02));
    RunOptions options;
    options.mortality = MortalityOption::SurvivalCurves;
    options.maleSurvival.assign(better.lx.begin(), better.lx.end() - 1);
    options.femaleSurvival = options.maleSurvival;
    const AgeYearMatrix baseLx = s.in.region.male.Lx;
    testing::runKeepingEndState(s.in, s.grids, options);
    const int last = testing::kAges - 1;
    EXPECT_EQ(s.in.region.male.aValues[last], 0.5);
    const double end40 = (better.lx[40] - better.lx[41]) * 0.52 + better.lx[41];
    const double endLast = better.lx[last] * 0.5;
    EXPECT_DOUBLE_EQ(s.in.region.male.Lx(40, 9), end40);
    EXPECT_DOUBLE_EQ(s.in.region.male.Lx(last, 9), endLast);
    EXPECT_DOUBLE_EQ(s.in.region.male.Lx(40, 4), baseLx(40, 0) + (end40 - baseLx(40, 0)) * 5 / 10);
    EXPECT_DOUBLE_EQ(s.in.region.female.Lx(40, 9), end40);
}

// Nobody to project: every share and rate is 0 and nothing is NaN or infinite.
TEST(EmptyPopulation, SharesAndRatesAreZero) {
    testing::SyntheticTable table = testing::syntheticTable();
    std::fill(table.malePopulation.begin(), table.malePopulation.end(), 0.0);
    std::fill(table.femalePopulation.begin(), table.femalePopulation.end(), 0.0);
    SingleRegionInputs in;
    SingleRegionGrids grids = openScheduleGrids(0, 2020);
    testing::chooseAll(in, grids, table, 2020, 2023);
    for (int c = 1; c <= 3; ++c) grids.sexRatio.setCell(1, c, "105");
    const ProjectionResultSet r = testing::runKeepingEndState(in, grids, RunOptions{});
    for (int t = 0; t < 3; ++t) {
        for (const Series* s : {&r.total, &r.urban, &r.infantMortalityRate, &r.crudeBirthRate, &r.crudeDeathRate}) {
            EXPECT_EQ((*s)[t], 0.0);
        }
        for (int a = 0; a < testing::kAges; ++a) {
            EXPECT_EQ(r.maleShare(a, t), 0.0);
            EXPECT_EQ(r.femaleShare(a, t), 0.0);
        }
    }
}

TEST(EmptyPopulation, NoYearsToProject) {
    Realistic s;
    s.in.yearCount = 0;
    s.in.endYear = 2020;
    const ProjectionResultSet r = testing::runKeepingEndState(s.in, s.grids, RunOptions{});
    EXPECT_EQ(r.yearCount, 0);
    EXPECT_TRUE(r.total.empty());
    EXPECT_EQ(r.malePopulation, s.table.malePopulation);
}

}  // namespace
}  // namespace zandor::projection
