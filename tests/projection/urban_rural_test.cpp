// The urban-rural projection worked by hand: the grids its field handlers seed, the
// interpolation of the mover shares, the movers, births and rounding of a projected year,
// the independence of the regions without movers, the catalogue's sums and the refusals.
#include <gtest/gtest.h>

#include <stop_token>
#include <string>
#include <vector>

#include "projection/urban_rural_projection.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {
namespace {

constexpr int kN = 71;

struct RegionData {
    std::vector<double> male, female, maleRates, femaleRates, fertility;
};

// P persons of each sex at every age, death rates 0.01, fertility 0.05 at ages 15-49.
RegionData flatRegion(double persons, int ages = kN) {
    RegionData d;
    for (int x = 0; x < ages; ++x) {
        d.male.push_back(persons);
        d.female.push_back(persons);
        d.maleRates.push_back(0.01);
        d.femaleRates.push_back(0.01);
        d.fertility.push_back(x >= 15 && x <= 49 ? 0.05 : 0.0);
    }
    return d;
}

struct Scenario {
    SingleRegionInputs rural;
    SingleRegionInputs urban;
    UrbanRuralGrids grids;

    Scenario(const RegionData& r, const RegionData& u, int baseYear = 1990, int endYear = 1991)
        : grids(openUrbanRuralGrids(endYear - baseYear, baseYear)) {
        choose(rural, Region::Rural, r, baseYear, endYear);
        choose(urban, Region::Urban, u, baseYear, endYear);
    }

    void choose(SingleRegionInputs& in, Region which, const RegionData& d, int baseYear, int endYear) {
        const std::pair<InputField, const std::vector<double>*> fields[] = {
            {InputField::MalePopulation, &d.male},      {InputField::FemalePopulation, &d.female},
            {InputField::MaleDeathRates, &d.maleRates}, {InputField::FemaleDeathRates, &d.femaleRates},
            {InputField::Fertility, &d.fertility}};
        for (const auto& [field, series] : fields) {
            chooseUrbanRuralFieldSeries(in, which, grids, field, "field", *series, baseYear, endYear);
        }
    }

    UrbanRuralRun run() const { return projectUrbanRural(rural, urban, parseUrbanRuralSchedules(rural, urban, grids)); }
};

void setRow(text::TextGrid& grid, int row, const std::string& cell) {
    for (int c = 1; c < grid.columnCount(); ++c) grid.setCell(row, c, cell);
}

// Survival ratios of 1: every Lx of every year 1 (the e0 rows stay unedited, so the run keeps
// these tables).
void survivalOfOne(SingleRegionInputs& in) {
    for (AgeYearMatrix* lx : {&in.region.male.Lx, &in.region.female.Lx}) {
        for (int y = 0; y < lx->yearCount(); ++y) {
            for (double& v : lx->year(y)) v = 1.0;
        }
    }
}

// Fertility exactly 0.05 at ages 15-49: TFR row "1.75" and every pattern cell "0.02857..."
// would round; a TFR of 1 and pattern cells of 0.05 are exact.
void exactFertility(UrbanRuralGrids& g) {
    setRow(g.tfr, 1, "1");
    setRow(g.tfr, 2, "1");
    for (int k = 1; k <= kPatternAges; ++k) {
        setRow(g.ruralPattern, k, "0.05");
        setRow(g.urbanPattern, k, "0.05");
    }
}

TEST(UrbanRuralGrids, OpenAndSeedWithTheBaseYearTexts) {
    RegionData rural = flatRegion(1000);
    rural.male[0] = 5200;
    rural.female[0] = 4800;
    RegionData urban = flatRegion(1000);
    urban.male[0] = 0;  // no boys: no sex ratio
    const Scenario s(rural, urban, 1990, 2000);
    const UrbanRuralGrids& g = s.grids;
    for (const text::TextGrid* grid : {&g.tfr, &g.sexRatio, &g.lifeExpectancy, &g.ruralPattern, &g.urbanPattern,
                                       &g.maleMoverShares, &g.femaleMoverShares, &g.movers}) {
        ASSERT_EQ(grid->columnCount(), 11);
        EXPECT_EQ(grid->cell(0, 1), "1991");
        EXPECT_EQ(grid->cell(0, 10), "2000");
    }
    EXPECT_EQ(g.sexRatio.cell(1, 0), "农村");
    EXPECT_EQ(g.sexRatio.cell(1, 5), "108.3333");
    EXPECT_EQ(g.sexRatio.cell(2, 5), "");
    EXPECT_EQ(g.tfr.cell(1, 3), "1.75");
    EXPECT_EQ(g.tfr.cell(2, 0), "城市");
    EXPECT_EQ(g.lifeExpectancy.cell(3, 0), "城市男性");
    EXPECT_EQ(g.lifeExpectancy.cell(3, 1), s.urban.region.male.baseLifeExpectancyText);
    EXPECT_EQ(g.ruralPattern.cell(1, 1), ".028571");  // 0.05 / 1.75
    EXPECT_EQ(g.ruralPattern.cell(kPatternTotalRow, 1), "1");
    EXPECT_EQ(g.maleMoverShares.cell(101, 0), "100");
    EXPECT_EQ(g.maleMoverShares.cell(kMoverShareTotalRow, 0), "合计");
    EXPECT_EQ(g.movers.cell(2, 0), "女性");
    EXPECT_EQ(g.movers.cell(2, 4), "0.0");
}

TEST(UrbanRuralGrids, MoverSharesTotalOnlyTheInterpolatedColumnsPatternsEveryColumn) {
    UrbanRuralGrids g = openUrbanRuralGrids(6, 2000);
    g.maleMoverShares.setCell(21, 2, "0.4");  // age 20
    g.maleMoverShares.setCell(21, 6, "0.8");
    interpolateMoverShares(g.maleMoverShares, 2000, 2002, 2006, InterpolationMethod::Linear);
    EXPECT_EQ(g.maleMoverShares.cell(21, 4), "0.6");
    EXPECT_EQ(g.maleMoverShares.cell(kMoverShareTotalRow, 4), ".6");
    EXPECT_EQ(g.maleMoverShares.cell(kMoverShareTotalRow, 1), "0.0");  // outside 2002-2006

    g.ruralPattern.setCell(1, 2, "0.5");
    interpolatePattern(g.ruralPattern, 2000, 2002, 2004, InterpolationMethod::Copy);
    EXPECT_EQ(g.ruralPattern.cell(kPatternTotalRow, 3), ".5");
    EXPECT_EQ(g.ruralPattern.cell(kPatternTotalRow, 6), "");  // every column recomputed: 0 is empty
}

// Year 1991 by hand, survival ratios 1 and fertility 0.05 at ages 15-49, 1000 persons of each
// sex at every age, sex ratio at birth 100 in both regions:
//  - births of each sex: 35 ages x (1000 + 1000 women) x 0.05 x 1/2 x L0 (1) / 2 = 875;
//  - 1000 men aged 20 move (volume 1000, share 1 at age 20): rural age 21 in 1991 holds
//    1000 - 1000 = 0 men, urban 1000 + 1000 = 2000; movers change neither the total nor births.
TEST(UrbanRuralRun, MoversBirthsAndTheYearColumnsByHand) {
    Scenario s(flatRegion(1000), flatRegion(1000));
    survivalOfOne(s.rural);
    survivalOfOne(s.urban);
    exactFertility(s.grids);
    setRow(s.grids.sexRatio, 1, "100");
    setRow(s.grids.sexRatio, 2, "100");
    s.grids.movers.setCell(1, 1, "1000");
    s.grids.maleMoverShares.setCell(21, 1, "1");

    const UrbanRuralRun run = s.run();
    const UrbanRuralResultSet& r = run.results;
    ASSERT_EQ(r.yearCount, 1);
    EXPECT_EQ(r.calendarYear(0), 1991);
    EXPECT_EQ(r.rural.malePopulation[0], 875);
    EXPECT_EQ(r.urban.femalePopulation[0], 875);
    EXPECT_EQ(r.rural.malePopulation[21], 0);
    EXPECT_EQ(r.urban.malePopulation[21], 2000);
    // Ages 1..70 hold the survivors of ages 0..69 (the oldest leave): 70 x 1000 per sex,
    // plus 875 births per sex.
    EXPECT_EQ(r.rural.total[0] + r.urban.total[0], 2 * (2 * 70 * 1000 + 2 * 875));
    EXPECT_EQ(r.rural.maleTotal[0], 69 * 1000 + 875);
    EXPECT_EQ(r.rural.age0to14[0], 2 * (875 + 14 * 1000));
    EXPECT_EQ(r.urban.age60plus[0], 2 * 11 * 1000);
    EXPECT_DOUBLE_EQ(r.rural.maleShare(21, 0), 0.0);
    EXPECT_DOUBLE_EQ(r.totalMaleShare(21, 0), -2000.0 / (r.rural.total[0] + r.urban.total[0]));
    // The end state holds the last year; the inputs are untouched.
    EXPECT_EQ(run.urban.malePopulation[21], 2000);
    EXPECT_EQ(s.urban.region.malePopulation[21], 1000);
}

// L(21) / L(20) = 0.5: 5 men aged 20 become 2.5 -> 2, 7 women become 3.5 -> 4 (halves to even).
TEST(UrbanRuralRun, HalvesRoundToTheEvenNeighbour) {
    RegionData rural = flatRegion(1000);
    rural.male[20] = 5;
    rural.female[20] = 7;
    Scenario s(rural, flatRegion(1000));
    survivalOfOne(s.rural);
    survivalOfOne(s.urban);
    for (AgeYearMatrix* lx : {&s.rural.region.male.Lx, &s.rural.region.female.Lx}) {
        for (int x = 21; x < kN; ++x) (*lx)(x, 0) = 0.5;
    }
    const UrbanRuralResultSet r = s.run().results;
    EXPECT_EQ(r.rural.malePopulation[21], 2);
    EXPECT_EQ(r.rural.femalePopulation[21], 4);
}

TEST(UrbanRuralRun, WithoutMoversTheRegionsDoNotTouchEachOther) {
    Scenario a(flatRegion(1000), flatRegion(1000), 1990, 1995);
    RegionData otherUrban = flatRegion(3000);
    otherUrban.maleRates.assign(kN, 0.02);
    otherUrban.fertility[30] = 0.2;
    Scenario b(flatRegion(1000), otherUrban, 1990, 1995);
    setRow(b.grids.lifeExpectancy, 3, "45");
    const UrbanRuralResultSet ra = a.run().results;
    const UrbanRuralResultSet rb = b.run().results;
    EXPECT_EQ(ra.rural.total, rb.rural.total);
    EXPECT_EQ(ra.rural.malePopulation, rb.rural.malePopulation);
    EXPECT_EQ(ra.rural.maleShare, rb.rural.maleShare);
    EXPECT_NE(ra.urban.total, rb.urban.total);
}

TEST(UrbanRuralRun, ReportsEveryRegionYearAndEndsWhenStopped) {
    const Scenario s(flatRegion(1000), flatRegion(1000), 1990, 1993);
    std::vector<long long> steps;
    std::stop_source stop;
    projectUrbanRural(s.rural, s.urban, parseUrbanRuralSchedules(s.rural, s.urban, s.grids), {},
                      Feedback(stop.get_token(), [&](long long done, long long total, std::string_view) {
                          steps.push_back(done);
                          EXPECT_EQ(total, 6);
                      }));
    EXPECT_EQ(steps, (std::vector<long long>{0, 1, 2, 3, 4, 5}));
    stop.request_stop();
    EXPECT_THROW(projectUrbanRural(s.rural, s.urban, parseUrbanRuralSchedules(s.rural, s.urban, s.grids), {},
                                   Feedback(stop.get_token(), {})),
                 Stopped);
}

TEST(UrbanRuralResults, CatalogueSumsListingsAndPyramids) {
    const UrbanRuralResultSet r = Scenario(flatRegion(1000), flatRegion(3000), 1990, 2000).run().results;
    const auto& entries = urbanRuralCatalogue();
    ASSERT_EQ(entries.size(), 30u);
    const auto total = urbanRuralIndicatorValues(r, 0);
    const auto rural = urbanRuralIndicatorValues(r, 9);
    const auto urban = urbanRuralIndicatorValues(r, 18);
    for (std::size_t t = 0; t < total.size(); ++t) EXPECT_EQ(total[t], rural[t] + urban[t]);

    const auto listing = urbanRuralTextListing(r, "总人口数");
    ASSERT_EQ(listing.size(), 12u);
    EXPECT_EQ(listing[0], "");
    EXPECT_EQ(listing[2], "1991   " + text::formatGeneral(total[0]));
    EXPECT_EQ(listing[11].substr(0, 7), "2000   ");
    EXPECT_EQ(urbanRuralTextListing(r, "typed"), [&] {
        auto lines = listing;
        lines[1] = "typed";
        return lines;
    }());

    const auto both = urbanRuralTextListing(r, "总人口年龄结构");
    const auto ruralAges = urbanRuralTextListing(r, "农村人口年龄结构");
    const auto urbanAges = urbanRuralTextListing(r, "城市人口年龄结构");
    ASSERT_EQ(both.size(), 4u + kN);
    EXPECT_EQ(both[1], "总人口年龄结构");
    EXPECT_EQ(both[2], "2000年 年龄结构");
    EXPECT_EQ(both[3], "年龄  男性        女性");
    for (int a = 0; a < kN; ++a) {
        const auto i = static_cast<std::size_t>(a);
        EXPECT_EQ(both[4 + i], std::to_string(a) + "  " +
                                   text::formatGeneral(r.rural.malePopulation[i] + r.urban.malePopulation[i]) + "   " +
                                   text::formatGeneral(r.rural.femalePopulation[i] + r.urban.femalePopulation[i]));
        EXPECT_EQ(ruralAges[4 + i], std::to_string(a) + "  " + text::formatGeneral(r.rural.malePopulation[i]) + "   " +
                                        text::formatGeneral(r.rural.femalePopulation[i]));
        EXPECT_EQ(urbanAges[4 + i].substr(0, std::to_string(a).size() + 2), std::to_string(a) + "  ");
    }

    const PyramidAnimation pyramid = urbanRuralPyramid(r, 28);
    EXPECT_EQ(pyramid.title, "农村人口年龄结构金字塔");
    ASSERT_EQ(pyramid.frames.size(), 10u);
    EXPECT_EQ(pyramid.frames[0].title, "1991农村人口年龄结构金字塔");
    EXPECT_EQ(pyramid.frames[9].maleShares[5], r.rural.maleShare(5, 9));
    EXPECT_EQ(urbanRuralChartPlan(r, "城市老年人口比重").kind, ChartPlan::Kind::Series);
    EXPECT_EQ(urbanRuralChartPlan(r, "城市人口年龄结构").kind, ChartPlan::Kind::Pyramid);
}

// Each refusal of a run, with the words its message must hold.
struct RunRefusal {
    const char* name;
    void (*spoil)(Scenario&);
    std::vector<std::string> words;
    bool numberFormat = false;
};

const RunRefusal kRunRefusals[] = {
    {"FieldLeftOut", [](Scenario& s) { s.urban.fields.fertility.clear(); }, {"选定原始数据变量不够!"}},
    {"NegativeDeathRate", [](Scenario& s) { s.rural.region.female.deathRates[3] = -0.1; },
     {"女性年龄别死亡率数据格式不正确."}},
    {"CellNoNumber", [](Scenario& s) { s.grids.sexRatio.setCell(2, 1, "abc"); },
     {"城市出生性别比", "1991年", "“abc”"}, true},
    {"MoverCellNoNumber", [](Scenario& s) { s.grids.femaleMoverShares.setCell(8, 1, "x"); },
     {"城镇化模式女性7岁", "1991年"}, true},
    {"MoversOutnumberTheRural",
     [](Scenario& s) {
         s.grids.movers.setCell(2, 1, "1001");
         s.grids.femaleMoverShares.setCell(31, 1, "1");
     },
     {"农村", "1991年", "30岁", "女性", "1001", "1000"}},
    {"MoversWithoutPattern", [](Scenario& s) { s.grids.movers.setCell(1, 1, "20000"); },
     {"1991年", "男性", "20000", "城镇化模式"}},
    {"UnreachableLifeExpectancy", [](Scenario& s) { s.grids.lifeExpectancy.setCell(4, 1, "500"); },
     {"城市", "1991年", "女性", "500"}},
    {"ZeroPersonYears", [](Scenario& s) { s.urban.region.male.Lx(12, 0) = 0; }, {"城市", "1991年", "男性", "12岁"}},
    {"NoPopulation",
     [](Scenario& s) {
         s.urban.region.malePopulation.assign(kN, 0);
         s.urban.region.femalePopulation.assign(kN, 0);
     },
     {"城市", "1991年", "人口总数为0"}},
};

class UrbanRuralRunRefusals : public ::testing::TestWithParam<RunRefusal> {};

INSTANTIATE_TEST_SUITE_P(Cases, UrbanRuralRunRefusals, ::testing::ValuesIn(kRunRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(UrbanRuralRunRefusals, NameWhereTheRunStopped) {
    Scenario s(flatRegion(1000), flatRegion(1000));
    GetParam().spoil(s);
    std::string message;
    bool numberFormat = false;
    try {
        s.run();
    } catch (const Refusal& e) {
        message = e.what();
    } catch (const text::NumberFormatError& e) {
        message = e.what();
        numberFormat = true;
    }
    EXPECT_EQ(numberFormat, GetParam().numberFormat) << message;
    for (const std::string& word : GetParam().words) EXPECT_NE(message.find(word), std::string::npos) << message;
}

TEST(UrbanRuralHandlers, RefuseTablesOutsideSeventyOneToOneHundredTwoAgesAndZeroFertility) {
    UrbanRuralGrids grids = openUrbanRuralGrids(10, 1990);
    SingleRegionInputs in;
    for (int ages : {70, 103}) {
        try {
            chooseUrbanRuralFieldSeries(in, Region::Urban, grids, InputField::MalePopulation, "m",
                                        std::vector<double>(static_cast<std::size_t>(ages), 1.0), 1990, 2000);
            ADD_FAILURE() << ages;
        } catch (const Refusal& e) {
            EXPECT_NE(std::string(e.what()).find("71至102"), std::string::npos);
        }
    }
    const UrbanRuralGrids before = grids;
    EXPECT_THROW(chooseUrbanRuralFieldSeries(in, Region::Rural, grids, InputField::Fertility, "f",
                                             std::vector<double>(kN, 0.0), 1990, 2000),
                 Refusal);
    EXPECT_EQ(grids.tfr, before.tfr);
}

}  // namespace
}  // namespace zandor::projection
