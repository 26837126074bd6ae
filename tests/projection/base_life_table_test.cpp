// The projection's a-values, base life table and logit-shift fit.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "projection/base_life_table.h"
#include "projection_test_support.h"

namespace zandor::projection {
namespace {

struct AValueCase {
    const char* name;
    Sex sex;
    double m0;
    double a0;
    double a1to4;
};

class AValues : public ::testing::TestWithParam<AValueCase> {};

// q0 = 1 - exp(-m0). m0 = 0.1 gives q0 = 0.0951625819640405 (below 0.1); m0 = 0.2 gives
// q0 = 0.18127 (above). Below 0.1: male a0 = 0.0425 + 2.875 q0, a1-4 = (1.63 - 3.013 q0) / 4;
// female a0 = 0.05 + 3 q0, a1-4 = (1.524 - 1.627 q0) / 4.
INSTANTIATE_TEST_SUITE_P(
    Cases, AValues,
    ::testing::Values(AValueCase{"MaleLowInfantMortality", Sex::Male, 0.1, 0.31609242314661634, 0.3358187851355865},
                      AValueCase{"FemaleLowInfantMortality", Sex::Female, 0.1, 0.33548774589212144,
                                 0.3422926197861265},
                      AValueCase{"MaleHighInfantMortality", Sex::Male, 0.2, 0.33, 0.338},
                      AValueCase{"FemaleHighInfantMortality", Sex::Female, 0.2, 0.35, 0.34025}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(AValues, ChildhoodValuesFollowQ0AndOlderAgesAreFixed) {
    const AValueCase& c = GetParam();
    const std::vector<double> a = singleYearAValues(c.sex, 75, c.m0);
    ASSERT_EQ(a.size(), 75u);
    EXPECT_DOUBLE_EQ(a[0], c.a0);
    for (int x = 1; x <= 4; ++x) EXPECT_DOUBLE_EQ(a[x], c.a1to4) << x;
    for (int x = 5; x <= 9; ++x) EXPECT_EQ(a[x], 0.45) << x;
    for (int x = 10; x <= 69; ++x) EXPECT_EQ(a[x], 0.52) << x;
    for (int x = 70; x < 75; ++x) EXPECT_EQ(a[x], 0.5) << x;
}

TEST(AValues, NeedAtLeast71Ages) {
    EXPECT_THROW(singleYearAValues(Sex::Male, 70, 0.01), std::invalid_argument);
    EXPECT_EQ(singleYearAValues(Sex::Male, 71, 0.01).size(), 71u);
}

// Constant m = 0.1 over 71 ages (males): every qx = 1 - e^-0.1, so lx = e^(-0.1 x), and
// Lx = lx (e^-0.1 + qx ax). By hand: L0 = 1 (0.904837 + 0.0951626 x 0.316092) = 0.934918;
// L1 = e^-0.1 (0.904837 + 0.0951626 x 0.335819) = 0.847647; L5 = e^-0.5 (0.904837 +
// 0.0951626 x 0.45) = 0.574785; L69 = e^-6.9 (0.904837 + 0.0951626 x 0.52) = 0.000961752;
// the open age 70 is closed with a = 1/m: L70 = l70 / 0.1 = 10 e^-7 = 0.00911882.
TEST(BaseLifeTable, ConstantRateTableWorkedByHand) {
    const std::vector<double> mx(71, 0.1);
    const BaseLifeTable t = baseLifeTable(Sex::Male, mx);
    ASSERT_EQ(t.lx.size(), 72u);
    for (int x = 0; x <= 70; ++x) EXPECT_NEAR(t.lx[x], std::exp(-0.1 * x), 1e-15) << x;
    EXPECT_EQ(t.lx[71], 0.0);
    EXPECT_NEAR(t.Lx[0], 0.9349175891618615, 1e-15);
    EXPECT_NEAR(t.Lx[1], 0.8476469886962468, 1e-15);
    EXPECT_NEAR(t.Lx[5], 0.5747851967223994, 1e-15);
    EXPECT_NEAR(t.Lx[69], 0.0009617517665713898, 1e-17);
    EXPECT_NEAR(t.Lx[70], 0.009118819655545162, 1e-16);
    EXPECT_EQ(t.qx[70], 1.0);
    EXPECT_NEAR(t.ax[70], 10.0, 1e-12);
    EXPECT_NEAR(t.dx[70], t.lx[70], 0);
    EXPECT_NEAR(t.ex[0], 9.937253651442017, 1e-12);
}

// What every base life table satisfies: lx falls from 1, the deaths add up to the radix,
// Tx is the sum of Lx from x up, ex = Tx / lx, and lx >= Lx >= lx+1 below the open age.
TEST(BaseLifeTable, InvariantsOfARealisticSchedule) {
    const auto table = testing::syntheticTable();
    for (Sex sex : {Sex::Male, Sex::Female}) {
        const BaseLifeTable t =
            baseLifeTable(sex, sex == Sex::Male ? table.maleRates : table.femaleRates);
        const std::size_t n = t.Lx.size();
        EXPECT_EQ(t.lx[0], 1.0);
        EXPECT_NEAR(std::accumulate(t.dx.begin(), t.dx.end(), 0.0), 1.0, 1e-12);
        for (std::size_t x = 0; x < n; ++x) {
            EXPECT_NEAR(t.Tx[x], std::accumulate(t.Lx.begin() + static_cast<long>(x), t.Lx.end(), 0.0), 1e-9);
            EXPECT_DOUBLE_EQ(t.ex[x], t.Tx[x] / t.lx[x]);
            EXPECT_LE(t.lx[x + 1], t.lx[x]);
            if (x + 1 < n) {
                EXPECT_LE(t.Lx[x], t.lx[x]);
                EXPECT_GE(t.Lx[x], t.lx[x + 1]);
            }
        }
        EXPECT_GT(t.ex[0], 60);
        EXPECT_LT(t.ex[0], 90);
    }
}

std::vector<double> baseCurve() {
    const BaseLifeTable t = baseLifeTable(Sex::Female, testing::syntheticTable().femaleRates);
    return std::vector<double>(t.lx.begin(), t.lx.end() - 1);
}

double shiftedSum(const std::vector<double>& l, double alpha) {
    double sum = 0;
    for (double v : l) sum += logitShifted(v, std::exp(2 * alpha));
    return sum;
}

class LogitFit : public ::testing::TestWithParam<double> {};

INSTANTIATE_TEST_SUITE_P(Targets, LogitFit, ::testing::Values(1.5, 40.0, 72.25, 80.0, 95.5, 100.5));

TEST_P(LogitFit, ReachesTheTargetSumOfLx) {
    const std::vector<double> l = baseCurve();
    const auto fit = fitLogitShift(l, GetParam());
    ASSERT_TRUE(fit);
    EXPECT_LE(std::fabs(fit->sum - GetParam()), 1e-9);
    EXPECT_LE(std::fabs(shiftedSum(l, fit->alpha) - GetParam()), 1e-9);
}

// The sum of lx ranges from about 1 (alpha = 100) to about N (alpha = -100); outside, the
// interval stops shrinking and the fit gives up instead of running on.
TEST(LogitFitLimits, UnreachableTargetsEndTheSearch) {
    const std::vector<double> l = baseCurve();
    for (double target : {0.5, 0.99, 101.5, 150.0, -3.0}) EXPECT_FALSE(fitLogitShift(l, target)) << target;
}

// A shift of a shifted curve is a shift of the base curve: fitting from a curve already
// moved towards another target ends on the curve fitted from the base.
TEST(LogitFitLimits, ShiftingAShiftedCurveReachesTheSameCurve) {
    const std::vector<double> base = baseCurve();
    const auto first = fitLogitShift(base, 70.0);
    ASSERT_TRUE(first);
    std::vector<double> moved;
    for (double v : base) moved.push_back(logitShifted(v, std::exp(2 * first->alpha)));
    const auto fromMoved = fitLogitShift(moved, 85.0);
    const auto fromBase = fitLogitShift(base, 85.0);
    ASSERT_TRUE(fromMoved && fromBase);
    for (std::size_t x = 0; x < base.size(); ++x) {
        EXPECT_NEAR(logitShifted(moved[x], std::exp(2 * fromMoved->alpha)),
                    logitShifted(base[x], std::exp(2 * fromBase->alpha)), 1e-10)
            << x;
    }
}

}  // namespace
}  // namespace zandor::projection
