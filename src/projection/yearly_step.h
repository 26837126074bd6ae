// One projected year of the cohort-component method for one region: survival of each
// single-year cohort by the ratio of person-years Lx(x+1)/Lx(x), births from the women
// exposed during the year, and the surviving infants.
#pragma once

#include <span>

namespace zandor::projection {

// The schedules of one year, N ages each.
struct YearSchedule {
    std::span<const double> maleLx;
    std::span<const double> femaleLx;
    std::span<const double> fertility;  // age-specific fertility rates
    double maleBirthShare = 0;
    double femaleBirthShare = 0;
    // The exact mode: the oldest age is an open group that survives as a group instead of
    // leaving the population.
    bool openLastAge = false;
};

struct YearStepTotals {
    double maleBirths = 0;    // Bm
    double femaleBirths = 0;  // Bf
    double births = 0;        // (Bm + Bf) / 2
    double deathsAbove0 = 0;  // deaths of the cohorts aged 0..N-2 at the start of the year
};

// Advances the start-of-year population (Pm, Pf) by one year into newMale/newFemale
// (unrounded, N ages each):
//  - survival, x = 0..N-2: new[x+1] = L[x+1] / L[x] * P[x]; the oldest age leaves;
//  - deaths: the sum of (Pm[x] - newMale[x+1]) + (Pf[x] - newFemale[x+1]);
//  - with openLastAge, the open group instead: new[N-1] = (P[N-2] + P[N-1]) T[N-1] / T[N-2]
//    (T[N-1] = L[N-1], T[N-2] = L[N-2] + L[N-1]), and its deaths P[N-2] + P[N-1] - new[N-1],
//    so that the deaths are never negative and nobody leaves except by death;
//  - births: W(x) = Lf[x] / Lf[x-1] * Pf[x-1] + Pf[x] for x = 15..49 (women reaching age x
//    plus women of age x at the start), Bm = sum W(x) f(x) sm, Bf likewise with sf, births
//    (Bm + Bf) / 2;
//  - age 0: newMale[0] = Bm Lm[0] / 2, newFemale[0] = Bf Lf[0] / 2.
// A zero Lx under a survival ratio throws Refusal naming calendarYear, the sex and the age.
YearStepTotals projectOneYear(std::span<const double> startMale, std::span<const double> startFemale,
                              const YearSchedule& schedule, std::span<double> newMale,
                              std::span<double> newFemale, int calendarYear);

}  // namespace zandor::projection
