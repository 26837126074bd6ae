// The arithmetic every life table of the program shares: from central death rates and
// a-values to q, d, l, L, T and e, with the last age group open. The projection's base
// tables, the life-table window and the later engines all call it; each of them keeps its
// own a-values (they differ on purpose) and hands them in.
//
// Computation (radix l0 = 1, so lx is a survival probability), group k of width n:
//   qx = 1 - exp(-n Mx)       (constant force of mortality within the interval),
//   dx = lx qx, l(x+n) = lx - dx,
//   Lx = n l(x+n) + ax dx     (ax in years of the interval; single years: a fraction of the year).
// The last group is open: qx = 1, dx = lx, ax = 1 / Mx and Lx = lx / Mx (the person-years of
// a stationary population with constant mortality Mx beyond the last age).
// Tx sums Lx from x to the last group; ex = Tx / lx.
//
// Reference: S. H. Preston, P. Heuveline and M. Guillot (2001), Demography: Measuring and
// Modeling Population Processes, Blackwell, ch. 3.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace zandor::core {

// Single years, or abridged groups: 0, 1-4, then five-year groups.
enum class AgeWidth { Single = 1, Abridged = 5 };

// Width of group k in years: 1 for single years; 1, 4, 5, 5, ... for abridged groups.
double groupWidth(AgeWidth width, std::size_t k);

// The person-years of a closed interval of `width` years: width l(x+n) + a (lx - l(x+n)).
inline double closedPersonYears(double lx, double lNext, double a, double width)
{
    return width * lNext + a * (lx - lNext);
}

struct LifeTableColumns {
    // One entry per age group, except lx, which has one more (0 after the open group).
    std::vector<double> ax;  // the a-values used; the open group's is 1 / Mx
    std::vector<double> qx;  // the last is 1
    std::vector<double> dx;
    std::vector<double> lx;  // radix 1
    std::vector<double> Lx;
    std::vector<double> Tx;
    std::vector<double> ex;
};

// The life table of the death rates mx (N >= 1 groups) with the a-values ax (N values; the
// last is replaced by 1 / mx[N-1]). The caller checks its rates: a last rate of 0 gives an
// infinite open group, survivors that reach 0 give ex = 0 / 0 (see firstGroupWithoutSurvivors).
// std::invalid_argument when there are no groups or ax has not N values.
LifeTableColumns lifeTableFromRates(std::span<const double> mx, std::vector<double> ax,
                                    AgeWidth width = AgeWidth::Single);

// The first group k >= 1 whose survivors lx[k] are not above 0, if any.
std::optional<std::size_t> firstGroupWithoutSurvivors(const LifeTableColumns& table);

// Person-years Lx[x] of single years x = 0..Lx.size()-1 from the survivors lx (one more
// value than Lx) and the a-values, every interval closed (the open age's a-value given).
void singleYearPersonYears(std::span<const double> lx, std::span<const double> ax, std::span<double> Lx);

}  // namespace zandor::core
