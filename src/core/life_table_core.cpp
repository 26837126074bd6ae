// The shared life-table arithmetic.
#include "core/life_table_core.h"

#include <cmath>
#include <stdexcept>

namespace zandor::core {

double groupWidth(AgeWidth width, std::size_t k)
{
    if (width == AgeWidth::Single || k == 0)
        return 1;
    return k == 1 ? 4 : 5;
}

LifeTableColumns lifeTableFromRates(std::span<const double> mx, std::vector<double> ax, AgeWidth width)
{
    const std::size_t n = mx.size();
    if (n == 0 || ax.size() != n)
        throw std::invalid_argument("life table: " + std::to_string(n) + " death rates and "
                                    + std::to_string(ax.size()) + " a-values");
    LifeTableColumns t;
    t.ax = std::move(ax);
    t.qx.resize(n);
    t.dx.resize(n);
    t.Lx.resize(n);
    t.Tx.resize(n);
    t.ex.resize(n);
    t.lx.assign(n + 1, 0.0);

    // Closed groups: a share q of the survivors dies within the interval; those who die
    // live a years of it on average, the survivors the whole width.
    const std::size_t last = n - 1;
    t.lx[0] = 1;
    for (std::size_t k = 0; k < last; ++k) {
        const double w = groupWidth(width, k);
        t.qx[k] = 1 - std::exp(-w * mx[k]);
        t.dx[k] = t.lx[k] * t.qx[k];
        t.lx[k + 1] = t.lx[k] - t.dx[k];
        t.Lx[k] = closedPersonYears(t.lx[k], t.lx[k + 1], t.ax[k], w);
    }

    // The open group: everyone dies in it, living 1 / M years on average.
    t.qx[last] = 1;
    t.ax[last] = 1 / mx[last];
    t.dx[last] = t.lx[last];
    t.Lx[last] = t.ax[last] * t.dx[last];

    t.Tx[last] = t.Lx[last];
    for (std::size_t k = last; k-- > 0;)
        t.Tx[k] = t.Tx[k + 1] + t.Lx[k];
    for (std::size_t k = 0; k < n; ++k)
        t.ex[k] = t.Tx[k] / t.lx[k];
    return t;
}

std::optional<std::size_t> firstGroupWithoutSurvivors(const LifeTableColumns& table)
{
    for (std::size_t k = 1; k < table.Lx.size(); ++k)
        if (!(table.lx[k] > 0))
            return k;
    return std::nullopt;
}

void singleYearPersonYears(std::span<const double> lx, std::span<const double> ax, std::span<double> Lx)
{
    for (std::size_t x = 0; x < Lx.size(); ++x)
        Lx[x] = closedPersonYears(lx[x], lx[x + 1], ax[x], 1);
}

}  // namespace zandor::core
