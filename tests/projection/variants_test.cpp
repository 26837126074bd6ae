// Projection variants: the TFR each variant runs with, and a first year worked by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "projection/variants.h"
#include "projection_test_support.h"

namespace zandor::projection {
namespace {

// Every variant's TFR indicator against the medium's, with a TFR row typed into the grid
// (falling to 0.3, so the low variant meets 0) and with the row left at the base text (the
// run then uses the unrounded base TFR; the variants move it by the same step).
TEST(ProjectionVariants, TfrOfEachVariantFollowsTheMedium)
{
    const auto table = testing::syntheticTable();
    for (bool edited : {true, false}) {
        SingleRegionInputs in;
        SingleRegionGrids grids = openScheduleGrids(0, 2020);
        testing::chooseAll(in, grids, table, 2020, 2024);
        if (edited)
            for (int c = 1; c <= 4; ++c)
                grids.tfr.setCell(1, c, c == 4 ? "0.3" : "1.2");
        const RunOptions options;
        const auto runs = projectVariants(in, parseSchedules(in, grids, options), options);
        ASSERT_EQ(runs.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(runs[i].variant, kVariants[i]);
            ASSERT_TRUE(runs[i].run) << runs[i].refusal;
        }
        const auto tfr = [&](std::size_t v, std::size_t t) { return runs[v].run->results.parameters[t][parameter::kTfr]; };
        const auto births = [&](std::size_t v) { return runs[v].run->results.births[0]; };
        for (std::size_t t = 0; t < 4; ++t) {
            EXPECT_EQ(tfr(1, t), tfr(0, t) + 0.5);
            EXPECT_EQ(tfr(2, t), std::max(0.0, tfr(0, t) - 0.5));
            EXPECT_EQ(tfr(3, t), in.region.baseTfr);
        }
        EXPECT_EQ(tfr(2, 3), edited ? 0.0 : tfr(0, 3) - 0.5);
        EXPECT_GT(births(1), births(0));
        EXPECT_LT(births(2), births(0));
        if (!edited) {  // the constant variant is then the medium itself
            EXPECT_EQ(births(3), births(0));
        }
    }
}

// 71 ages, death rate 0.01 at every age, 1000 women at 24 and at 25, fertility 1 at 25 only
// (base TFR 1, the whole pattern at 25), a TFR row of 1.2. The survival ratio from 24 to 25
// is L25/L24 = 1 - q = exp(-0.01) (the same a-value at both ages), so the women counted for
// the year's births are W = 1000 exp(-0.01) + 1000, and the births W * TFR / 2:
// 中方案 TFR 1.2, 高方案 1.7, 低方案 0.7, 不变方案 1 (the field's own TFR).
TEST(ProjectionVariants, FirstYearBirthsWorkedByHand)
{
    testing::SyntheticTable t;
    for (int x = 0; x < 71; ++x) {
        t.malePopulation.push_back(x == 0 ? 1000 : 0);
        t.femalePopulation.push_back(x == 0 || x == 24 || x == 25 ? 1000 : 0);
        t.maleRates.push_back(0.01);
        t.femaleRates.push_back(0.01);
        t.fertility.push_back(x == 25 ? 1.0 : 0.0);
    }
    SingleRegionInputs in;
    SingleRegionGrids grids = openScheduleGrids(0, 2020);
    testing::chooseAll(in, grids, t, 2020, 2021);
    grids.tfr.setCell(1, 1, "1.2");
    const RunOptions options;
    const auto runs = projectVariants(in, parseSchedules(in, grids, options), options);
    const double women = 1000 * std::exp(-0.01) + 1000;
    const double tfr[] = {1.2, 1.7, 0.7, 1.0};
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(runs[i].run) << runs[i].refusal;
        EXPECT_NEAR(runs[i].run->results.births[0], women * tfr[i] / 2, 1e-9) << variantName(kVariants[i]);
    }
}

}  // namespace
}  // namespace zandor::projection
