// The accumulation of a projected year's results.
#include "projection/result_set.h"

#include "text/numbers.h"

namespace zandor::projection {

namespace {

// A share or rate whose base is zero is 0: there is nobody it could describe.
double ratio(double numerator, double denominator) { return denominator == 0 ? 0.0 : numerator / denominator; }

double sumOfBoth(std::span<const double> m, std::span<const double> f, int from, int to) {
    double sum = 0;
    for (int a = from; a <= to; ++a) sum += m[static_cast<std::size_t>(a)] + f[static_cast<std::size_t>(a)];
    return sum;
}

double sumOf(std::span<const double> v, int from, int to) {
    double sum = 0;
    for (int a = from; a <= to; ++a) sum += v[static_cast<std::size_t>(a)];
    return sum;
}

}  // namespace

ProjectionResultSet emptyResultSet(int ageCount, int yearCount, int baseYear, int endYear) {
    ProjectionResultSet r;
    r.ageCount = ageCount;
    r.yearCount = yearCount;
    r.baseYear = baseYear;
    r.endYear = endYear;
    const auto years = static_cast<std::size_t>(yearCount);
    for (auto* series :
         {&r.total, &r.maleTotal, &r.femaleTotal, &r.age0to14, &r.age15to64, &r.age65plus, &r.urban, &r.births,
          &r.deaths, &r.infantDeaths, &r.infantMortalityRate, &r.crudeBirthRate, &r.crudeDeathRate, &r.women15to49,
          &r.womenAged23, &r.women20to29, &r.aged6, &r.aged7, &r.aged11, &r.aged15, &r.aged18, &r.age6to10,
          &r.age15to24, &r.age25to44, &r.age45to64, &r.age19to64, &r.migrantPopulation, &r.migrantBirths,
          &r.migrantDeaths, &r.newMigrants, &r.migrantBirthRate, &r.migrantDeathRate}) {
        series->assign(years, 0.0);
    }
    r.maleShare = AgeYearMatrix(ageCount, yearCount);
    r.femaleShare = AgeYearMatrix(ageCount, yearCount);
    r.parameters.assign(years, ParameterRecord{});
    r.malePopulation.assign(static_cast<std::size_t>(ageCount), 0.0);
    r.femalePopulation.assign(static_cast<std::size_t>(ageCount), 0.0);
    return r;
}

UrbanState startUrbanModel(double baseUrbanShare, double baseTotal) {
    return UrbanState{.previousTotal = baseTotal,
                      .previousUrban = baseUrbanShare * baseTotal,
                      .transfer = 0.044 - 0.028 * baseUrbanShare};
}

void recordYear(ProjectionResultSet& r, int t, const YearOutcome& o, UrbanState& urban,
                std::span<double> roundedMale, std::span<double> roundedFemale) {
    const auto year = static_cast<std::size_t>(t);
    const std::size_t n = o.endMale.size();

    // 1. Infant deaths, infant mortality and deaths. The infant base weights this year's
    // surviving infants by 0.8 and the age-0 population at the start of the year by 0.2.
    const double survivingInfants = o.endMale[0] + o.endFemale[0];
    const double infantDeaths = o.births - o.endMale[0] - o.endFemale[0];
    r.births[year] = o.births;
    r.infantDeaths[year] = infantDeaths;
    r.infantMortalityRate[year] =
        ratio(infantDeaths, 0.8 * survivingInfants + 0.2 * (o.startMale[0] + o.startFemale[0]));
    r.deaths[year] = o.deathsAbove0 + infantDeaths;

    // 2. Mean population: start-of-year plus completed end-of-year population, halved.
    double startSum = 0;
    double endSum = 0;
    for (std::size_t a = 0; a < n; ++a) startSum += o.startMale[a] + o.startFemale[a];
    for (std::size_t a = 0; a < n; ++a) endSum += o.endMale[a] + o.endFemale[a];
    const double mean = (startSum + endSum) / 2;

    // 3. Whole persons, halves to the even neighbour.
    for (std::size_t a = 0; a < n; ++a) {
        roundedMale[a] = text::roundHalfEven(o.endMale[a]);
        roundedFemale[a] = text::roundHalfEven(o.endFemale[a]);
    }
    const std::span<const double> m = roundedMale;
    const std::span<const double> f = roundedFemale;
    const int last = static_cast<int>(n) - 1;

    // 4. Totals.
    r.maleTotal[year] = sumOf(m, 0, last);
    r.femaleTotal[year] = sumOf(f, 0, last);
    const double total = r.maleTotal[year] + r.femaleTotal[year];
    r.total[year] = total;
    r.women15to49[year] = sumOf(f, 15, 49);

    // 5. Crude rates, plain fractions.
    r.crudeBirthRate[year] = ratio(r.births[year], mean);
    r.crudeDeathRate[year] = ratio(r.deaths[year], mean);

    // 6. Urban population: last year's urban share applied to this year's total plus the
    // transfer coefficient times last year's rural population (0 when last year had nobody).
    const double urbanNow = text::roundHalfEven(
        urban.previousTotal == 0
            ? 0.0
            : (total + (urban.previousTotal - urban.previousUrban) * urban.transfer) * urban.previousUrban /
                  urban.previousTotal);
    r.urban[year] = urbanNow;
    urban.previousTotal = total;
    urban.previousUrban = urbanNow;

    // 7. Age-structure shares, males negative.
    for (std::size_t a = 0; a < n; ++a) {
        r.maleShare(static_cast<int>(a), t) = total == 0 ? 0.0 : -m[a] / total;
        r.femaleShare(static_cast<int>(a), t) = ratio(f[a], total);
    }

    // 8. Age groups and single ages.
    r.age0to14[year] = sumOfBoth(m, f, 0, 14);
    r.age15to64[year] = sumOfBoth(m, f, 15, 64);
    r.age65plus[year] = sumOfBoth(m, f, 65, last);
    r.age15to24[year] = sumOfBoth(m, f, 15, 24);
    r.age25to44[year] = sumOfBoth(m, f, 25, 44);
    r.age45to64[year] = sumOfBoth(m, f, 45, 64);
    r.age19to64[year] = sumOfBoth(m, f, 19, 64);
    r.womenAged23[year] = f[23];
    r.aged6[year] = m[6] + f[6];
    r.aged7[year] = m[7] + f[7];
    r.aged11[year] = m[11] + f[11];
    r.aged15[year] = m[15] + f[15];
    r.aged18[year] = m[18] + f[18];
    r.age6to10[year] = sumOfBoth(m, f, 6, 10);
    r.women20to29[year] = sumOf(f, 20, 29);
}

void recordMigrants(ProjectionResultSet& r, int t, double& stock) {
    const auto year = static_cast<std::size_t>(t);
    stock += r.newMigrants[year];
    r.migrantBirths[year] = stock * r.migrantBirthRate[year];
    r.migrantDeaths[year] = stock * r.migrantDeathRate[year];
    r.migrantPopulation[year] = stock + r.migrantBirths[year] - r.migrantDeaths[year];
    r.newMigrants[year] = r.migrantPopulation[year];
}

}  // namespace zandor::projection
