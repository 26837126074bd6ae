// The cohort-component step of one projected year.
#include "projection/yearly_step.h"

#include "projection/messages.h"
#include "text/refusal.h"

namespace zandor::projection {

YearStepTotals projectOneYear(std::span<const double> pm, std::span<const double> pf, const YearSchedule& s,
                              std::span<double> newMale, std::span<double> newFemale, int calendarYear) {
    const std::size_t n = pm.size();
    const auto& lm = s.maleLx;
    const auto& lf = s.femaleLx;
    YearStepTotals totals;

    for (std::size_t x = 0; x + 1 < n; ++x) {
        if (lm[x] == 0) throw Refusal(message::zeroPersonYears(calendarYear, Sex::Male, static_cast<int>(x)));
        if (lf[x] == 0) throw Refusal(message::zeroPersonYears(calendarYear, Sex::Female, static_cast<int>(x)));
        newMale[x + 1] = lm[x + 1] / lm[x] * pm[x];
        newFemale[x + 1] = lf[x + 1] / lf[x] * pf[x];
    }
    if (s.openLastAge && n >= 2) {
        const std::size_t open = n - 1;
        newMale[open] = (pm[open - 1] + pm[open]) * (lm[open] / (lm[open - 1] + lm[open]));
        newFemale[open] = (pf[open - 1] + pf[open]) * (lf[open] / (lf[open - 1] + lf[open]));
    }
    for (std::size_t x = 0; x + 1 < n; ++x) totals.deathsAbove0 += (pm[x] - newMale[x + 1]) + (pf[x] - newFemale[x + 1]);
    if (s.openLastAge && n >= 1) totals.deathsAbove0 += pm[n - 1] + pf[n - 1];

    for (std::size_t x = 15; x <= 49; ++x) {
        const double women = lf[x] / lf[x - 1] * pf[x - 1] + pf[x];
        totals.maleBirths += women * s.fertility[x] * s.maleBirthShare;
        totals.femaleBirths += women * s.fertility[x] * s.femaleBirthShare;
    }
    totals.births = (totals.maleBirths + totals.femaleBirths) / 2;
    newMale[0] = totals.maleBirths * lm[0] / 2;
    newFemale[0] = totals.femaleBirths * lf[0] / 2;
    return totals;
}

}  // namespace zandor::projection
