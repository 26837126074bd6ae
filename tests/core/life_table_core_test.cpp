// The shared life-table arithmetic against a published abridged table.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numeric>

#include "core/life_table_core.h"

namespace zandor::core {
namespace {

// Austria, males, 1992: S. H. Preston, P. Heuveline and M. Guillot (2001), Demography:
// Measuring and Modeling Population Processes, Blackwell, Box 3.1, p. 49 (data: United
// Nations 1994). Groups 0, 1-4, 5-9, ..., 80-84, 85+; radix 100 000; e0 = 72.89.
constexpr std::array<double, 19> kPopulation{47925,  189127, 234793, 238790, 254996, 326831, 355086,
                                             324222, 269963, 261971, 238011, 261612, 181385, 187962,
                                             153832, 105169, 73694,  57512,  32248};
constexpr std::array<double, 19> kDeaths{419,  70,   36,   46,   249,  420,  403,  441,  508, 769,
                                         1154, 1866, 2043, 3496, 4366, 4337, 5279, 6460, 6146};
constexpr std::array<double, 19> kAx{0.068, 1.626, 2.5,   3.143, 2.724, 2.520, 2.481, 2.601, 2.701, 2.663,
                                     2.698, 2.676, 2.645, 2.624, 2.619, 2.593, 2.518, 2.423, 5.247};
constexpr std::array<double, 19> kLx{100000, 99133, 98986, 98910, 98815, 98334, 97704, 97151, 96492, 95588,
                                     94195,  91937, 88711, 83845, 76377, 66225, 53803, 37441, 21134};
constexpr std::array<double, 19> kDx{867,  147,  76,   95,    481,   630,   553,   659,   904,  1393,
                                     2258, 3225, 4867, 7467, 10152, 12422, 16362, 16307, 21134};
constexpr std::array<double, 19> kPersonYears{99192,  396183, 494741, 494375, 492980, 490106, 487127,
                                              484175, 480384, 474686, 465777, 452188, 432096, 401480,
                                              357713, 301224, 228404, 145182, 110889};

// The book turns Mx into qx with n M / (1 + (n - a) M); the core assumes a constant force
// within the interval. Handing the core the force that gives the book's qx (and the open
// group's own Mx) must then reproduce the printed table to its rounding.
TEST(LifeTableCore, ReproducesAPublishedAbridgedTable)
{
    std::vector<double> mx(19);
    for (std::size_t k = 0; k < 19; ++k) {
        const double m = kDeaths[k] / kPopulation[k];
        const double n = groupWidth(AgeWidth::Abridged, k);
        mx[k] = k == 18 ? m : -std::log(1 - n * m / (1 + (n - kAx[k]) * m)) / n;
    }
    const LifeTableColumns t = lifeTableFromRates(mx, std::vector<double>(kAx.begin(), kAx.end()), AgeWidth::Abridged);

    const double half = 0.5 / 100000;  // the book rounds to whole persons of 100 000
    for (std::size_t k = 0; k < 19; ++k) {
        EXPECT_NEAR(t.lx[k], kLx[k] / 100000, half) << k;
        EXPECT_NEAR(t.dx[k], kDx[k] / 100000, half) << k;
        EXPECT_NEAR(t.Lx[k], kPersonYears[k] / 100000, half) << k;
        EXPECT_DOUBLE_EQ(t.ex[k], t.Tx[k] / t.lx[k]) << k;
        if (k > 0) {
            EXPECT_LT(t.lx[k], t.lx[k - 1]) << k;
        }
    }
    EXPECT_NEAR(t.ex[0], 72.89, 0.005);
    EXPECT_NEAR(t.ax[18], 5.247, 0.0005);  // the open group: 1 / M
    EXPECT_EQ(t.qx[18], 1.0);
    EXPECT_EQ(t.lx[19], 0.0);
    EXPECT_NEAR(std::accumulate(t.dx.begin(), t.dx.end(), 0.0), 1.0, 1e-14);
    EXPECT_DOUBLE_EQ(t.Tx[0], std::accumulate(t.Lx.begin(), t.Lx.end(), 0.0));
    EXPECT_EQ(firstGroupWithoutSurvivors(t), std::nullopt);
}

TEST(LifeTableCore, SurvivorsGoneBeforeTheLastGroupAreFound)
{
    const std::vector<double> mx{0.01, 1e6, 0.5, 0.5};
    const LifeTableColumns t = lifeTableFromRates(mx, std::vector<double>(4, 0.5));
    EXPECT_EQ(firstGroupWithoutSurvivors(t), std::optional<std::size_t>(2));
    EXPECT_THROW(lifeTableFromRates(mx, std::vector<double>(3, 0.5)), std::invalid_argument);
}

}  // namespace
}  // namespace zandor::core
