// Writes the two sample tables under samples/ (single_region.DB, urban_rural.DB): synthetic
// population, mortality and fertility schedules by single year of age 0..100, where the row of
// age 100 is the open group 100 and over. samples/README.md describes the models.
//
//   make_samples FOLDER     writes FOLDER/single_region.DB and FOLDER/urban_rural.DB
//   make_samples --print    writes nothing; prints the schedules and their summary figures
//
// Everything is computed from the parameters below; there is no randomness, so a run gives
// the same tables every time.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tables/prepared.h"
#include "tables/table.h"
#include "tables/table_file.h"
#include "text/numbers.h"

namespace {

constexpr int kOldest = 100;  // the open age group 100+
constexpr int kAges = kOldest + 1;
constexpr int kCensusYear = 2020;
constexpr double kPi = 3.14159265358979323846;

// ---- mortality: the Siler law -------------------------------------------------------------
//
// Force of mortality mu(x) = a1 exp(-b1 x) + a2 + a3 exp(b3 x): a falling infant and child
// component, a constant background, and the Gompertz ageing component. Its cumulative hazard
// has a closed form, so survivorship l(x) = exp(-H(x)) is exact; only the person-years need
// numerical integration.
struct Siler {
    double a1, b1, a2, a3, b3;

    double cumulativeHazard(double x) const {
        return a1 / b1 * (1 - std::exp(-b1 * x)) + a2 * x + a3 / b3 * (std::exp(b3 * x) - 1);
    }
    double survivors(double x) const { return std::exp(-cumulativeHazard(x)); }
};

// Composite Simpson rule with an even number of steps.
template <class F>
double integrate(F f, double from, double to, int steps) {
    const double h = (to - from) / steps;
    double sum = f(from) + f(to);
    for (int i = 1; i < steps; ++i) sum += (i % 2 ? 4 : 2) * f(from + i * h);
    return sum * h / 3;
}

struct LifeTable {
    std::vector<double> l;   // survivors at exact age x of one birth, x = 0..100
    std::vector<double> L;   // person-years lived in [x, x+1); the last is T(100), all of 100+
    std::vector<double> m;   // central death rate: deaths / person-years
    double e0 = 0;
};

LifeTable lifeTable(const Siler& law) {
    LifeTable t;
    t.l.resize(kAges);
    t.L.resize(kAges);
    t.m.resize(kAges);
    const auto survivors = [&](double x) { return law.survivors(x); };
    for (int x = 0; x < kAges; ++x) t.l[x] = law.survivors(x);
    for (int x = 0; x < kOldest; ++x) {
        t.L[x] = integrate(survivors, x, x + 1, 200);
        t.m[x] = (t.l[x] - t.l[x + 1]) / t.L[x];
    }
    // Nobody in these laws lives past 160: l(160) is below 1e-25.
    t.L[kOldest] = integrate(survivors, kOldest, 160, 6000);
    t.m[kOldest] = t.l[kOldest] / t.L[kOldest];
    for (double years : t.L) t.e0 += years;
    return t;
}

// The Gompertz level a3 that gives the wanted life expectancy at birth, the other parameters
// held fixed (e0 falls as a3 rises; bisection on the logarithm of a3).
Siler fitLevel(Siler law, double wantedE0) {
    double low = 1e-8;
    double high = 1e-2;
    for (int i = 0; i < 200; ++i) {
        law.a3 = std::sqrt(low * high);
        if (lifeTable(law).e0 > wantedE0) {
            low = law.a3;
        } else {
            high = law.a3;
        }
    }
    return law;
}

// ---- fertility: the Hadwiger function -----------------------------------------------------
//
// f(x) = TFR * H / (T sqrt(pi)) * (T/x)^(3/2) * exp(-H^2 (T/x + x/T - 2)), which is an inverse
// Gaussian density with mean age T and standard deviation T / (H sqrt 2). The single-year rate
// at age x is the integral over [x, x+1), scaled so that ages 15..49 sum to exactly the TFR.
struct Hadwiger {
    double tfr, T, H;
    double density(double x) const {
        return H / (T * std::sqrt(kPi)) * std::pow(T / x, 1.5) * std::exp(-H * H * (T / x + x / T - 2));
    }
};

std::vector<double> fertilityRates(const Hadwiger& schedule) {
    std::vector<double> rates(kAges, 0.0);
    double sum = 0;
    for (int x = 15; x <= 49; ++x) {
        rates[x] = integrate([&](double t) { return schedule.density(t); }, x, x + 1, 100);
        sum += rates[x];
    }
    for (double& rate : rates) rate *= schedule.tfr / sum;
    return rates;
}

// ---- births by year and the sex ratio at birth --------------------------------------------

struct Knot {
    double year, value;
};

// Linear between the knots, constant outside them.
double piecewise(const std::vector<Knot>& knots, double year) {
    if (year <= knots.front().year) return knots.front().value;
    for (std::size_t i = 1; i < knots.size(); ++i) {
        if (year <= knots[i].year) {
            const Knot& a = knots[i - 1];
            const Knot& b = knots[i];
            return a.value + (b.value - a.value) * (year - a.year) / (b.year - a.year);
        }
    }
    return knots.back().value;
}

// Relative number of births by calendar year: a low level before 1950, the rise of the 1950s,
// the famine years 1959-1961, the boom of 1962-1975, the fall of the late 1970s, the echo of
// the late 1980s, the low 2000s and the fall after 2016.
const std::vector<Knot> kBirthIndex = {
    {1915, 0.55}, {1945, 0.60}, {1950, 0.75}, {1957, 0.85}, {1958, 0.80}, {1959, 0.62},
    {1960, 0.52}, {1961, 0.45}, {1962, 0.90}, {1963, 1.15}, {1965, 1.05}, {1970, 1.05},
    {1975, 0.85}, {1979, 0.70}, {1982, 0.82}, {1987, 0.95}, {1990, 0.95}, {1995, 0.78},
    {2000, 0.68}, {2005, 0.62}, {2010, 0.62}, {2014, 0.65}, {2016, 0.70}, {2017, 0.67},
    {2019, 0.57}, {2020, 0.47}};

// Boys per girl at birth.
const std::vector<Knot> kSexRatioAtBirth = {{1980, 1.06}, {2005, 1.17}, {2020, 1.11}};

// Share of the births that are rural, by calendar year.
const std::vector<Knot> kRuralBirthShare = {{1950, 0.85}, {1980, 0.75}, {2000, 0.55}, {2020, 0.40}};

// Share of a rural-born cohort that lives in the towns at age x: moves at the ages of study
// and first work, and less among the old, whose cohorts moved before migration was common.
double movedToTown(int age) {
    const auto logistic = [](double z) { return 1 / (1 + std::exp(-z)); };
    return 0.45 * logistic((age - 21) / 3.0) * (1 - 0.6 * logistic((age - 55) / 6.0));
}

// ---- populations ----------------------------------------------------------------------------
//
// The people aged x at the census are the births of the year (census - x) times the person-
// years L(x) of one birth: each cohort has lived under today's mortality (a stationary
// population per cohort size). The open group takes the births of 1920 and before, at the
// 1920 level, times T(100).

struct Sexes {
    std::vector<double> male, female;
};

Sexes cohortPopulation(const LifeTable& maleTable, const LifeTable& femaleTable, double birthsScale,
                       double (*share)(double year)) {
    Sexes p{std::vector<double>(kAges), std::vector<double>(kAges)};
    for (int x = 0; x < kAges; ++x) {
        const double year = kCensusYear - x;
        const double births = birthsScale * piecewise(kBirthIndex, year) * share(year);
        const double ratio = piecewise(kSexRatioAtBirth, year);
        p.male[x] = births * ratio / (1 + ratio) * maleTable.L[x];
        p.female[x] = births / (1 + ratio) * femaleTable.L[x];
    }
    return p;
}

double wholeBirths(double) { return 1.0; }
double ruralBirths(double year) { return piecewise(kRuralBirthShare, year); }
double urbanBirths(double year) { return 1 - piecewise(kRuralBirthShare, year); }

void roundToPersons(std::vector<double>& values) {
    for (double& v : values) v = zandor::text::roundHalfEven(v);
}

double sum(const std::vector<double>& values) {
    double s = 0;
    for (double v : values) s += v;
    return s;
}

// ---- the regions ------------------------------------------------------------------------------

struct Region {
    const char* name;
    double maleE0, femaleE0;
    Siler male, female;  // a3 is fitted to the e0 above
    Hadwiger fertility;
    // filled in by compute()
    LifeTable maleTable, femaleTable;
    std::vector<double> fertilityRates;
    Sexes population;
};

// Infant and background mortality are higher in the countryside and among men; the Gompertz
// slope is steeper for women.
Region singleRegion() {
    return {"single region", 75.0, 80.0, {0.015, 3.0, 0.0007, 0, 0.095}, {0.013, 3.0, 0.00025, 0, 0.105},
            {1.5, 28.5, 3.70}, {}, {}, {}, {}};
}
Region urbanRegion() {
    return {"urban", 75.0, 80.0, {0.013, 3.0, 0.0006, 0, 0.095}, {0.011, 3.0, 0.0002, 0, 0.105},
            {1.3, 30.0, 3.86}, {}, {}, {}, {}};
}
Region ruralRegion() {
    return {"rural", 72.5, 78.0, {0.022, 3.0, 0.0009, 0, 0.095}, {0.019, 3.0, 0.0003, 0, 0.105},
            {1.7, 27.0, 3.47}, {}, {}, {}, {}};
}

void computeSchedules(Region& region) {
    region.male = fitLevel(region.male, region.maleE0);
    region.female = fitLevel(region.female, region.femaleE0);
    region.maleTable = lifeTable(region.male);
    region.femaleTable = lifeTable(region.female);
    region.fertilityRates = fertilityRates(region.fertility);
}

// Births of a year at index 1.0; chosen so that the single region holds about 10 million
// people and the urban and rural regions together about 10 million as well.
constexpr double kSingleRegionBirths = 170000;
constexpr double kUrbanRuralBirths = 170000;

void computeSingle(Region& region) {
    computeSchedules(region);
    region.population = cohortPopulation(region.maleTable, region.femaleTable, kSingleRegionBirths, wholeBirths);
    roundToPersons(region.population.male);
    roundToPersons(region.population.female);
}

void computeUrbanRural(Region& urban, Region& rural) {
    computeSchedules(urban);
    computeSchedules(rural);
    urban.population = cohortPopulation(urban.maleTable, urban.femaleTable, kUrbanRuralBirths, urbanBirths);
    rural.population = cohortPopulation(rural.maleTable, rural.femaleTable, kUrbanRuralBirths, ruralBirths);
    for (int x = 0; x < kAges; ++x) {
        for (auto sex : {&Sexes::male, &Sexes::female}) {
            const double moved = (rural.population.*sex)[x] * movedToTown(x);
            (rural.population.*sex)[x] -= moved;
            (urban.population.*sex)[x] += moved;
        }
    }
    for (Region* r : {&urban, &rural}) {
        roundToPersons(r->population.male);
        roundToPersons(r->population.female);
    }
}

// ---- output -----------------------------------------------------------------------------------

struct Column {
    std::string name;
    const std::vector<double>* values;
};

void writeTable(const std::filesystem::path& path, zandor::tables::PopulationSchema schema,
                const std::vector<Column>& columns) {
    using namespace zandor::tables;
    std::vector<FieldDef> fields{{"年龄", FieldKind::Integer, 0, false}};
    std::string fieldList = "年龄 integer";
    for (const Column& column : columns) {
        fields.push_back({column.name, FieldKind::Float, 0, false});
        fieldList += "," + column.name + " float";
    }
    // The samples have the layout of the prepared population tables, so every window that
    // takes a prepared table takes them too.
    if (fieldList != populationFieldList(schema)) {
        throw std::runtime_error("the fields of " + path.string() + " differ from the prepared layout: " +
                                 fieldList);
    }
    std::filesystem::remove(path);  // the store creates new files only
    CreateResult created = createTableFile(path.string(), TableFormat::Paradox, fields);
    for (const std::string& remark : created.remarks) std::fprintf(stderr, "%s\n", remark.c_str());
    Table table(std::move(created.table));
    for (int x = 0; x < kAges; ++x) {
        table.append();
        table.setValue("年龄", Value{std::int64_t{x}});
        for (const Column& column : columns) table.setValue(column.name, Value{(*column.values)[x]});
        table.post();
    }
    table.close();
}

std::vector<Column> regionColumns(const Region& r, const std::string& prefix) {
    return {{prefix + "男性人口", &r.population.male},
            {prefix + "女性人口", &r.population.female},
            {prefix + "男性死亡率", &r.maleTable.m},
            {prefix + "女性死亡率", &r.femaleTable.m},
            {prefix + "年龄别生育率", &r.fertilityRates}};
}

void printSummary(const Region& r) {
    std::printf("%s: e0 male %.2f female %.2f; a3 male %.4g female %.4g; q0 male %.4f female %.4f; "
                "m(100+) male %.4f female %.4f; TFR %.3f; population male %.0f female %.0f total %.0f\n",
                r.name, r.maleTable.e0, r.femaleTable.e0, r.male.a3, r.female.a3, 1 - r.maleTable.l[1],
                1 - r.femaleTable.l[1], r.maleTable.m[kOldest], r.femaleTable.m[kOldest], sum(r.fertilityRates),
                sum(r.population.male), sum(r.population.female),
                sum(r.population.male) + sum(r.population.female));
}

void printSchedules(const Region& r) {
    std::printf("%s\nage,male,female,m_male,m_female,asfr\n", r.name);
    for (int x = 0; x < kAges; ++x) {
        std::printf("%d,%.0f,%.0f,%.6f,%.6f,%.6f\n", x, r.population.male[x], r.population.female[x],
                    r.maleTable.m[x], r.femaleTable.m[x], r.fertilityRates[x]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples FOLDER | make_samples --print\n");
        return 2;
    }
    Region single = singleRegion();
    Region urban = urbanRegion();
    Region rural = ruralRegion();
    computeSingle(single);
    computeUrbanRural(urban, rural);

    const std::string argument = argv[1];
    if (argument == "--print") {
        for (const Region* r : {&single, &urban, &rural}) printSchedules(*r);
        for (const Region* r : {&single, &urban, &rural}) printSummary(*r);
        return 0;
    }
    try {
        const std::filesystem::path folder(argument);
        writeTable(folder / "single_region.DB", zandor::tables::PopulationSchema::SingleRegion,
                   regionColumns(single, ""));
        std::vector<Column> both = regionColumns(rural, "农村");
        for (const Column& column : regionColumns(urban, "城镇")) both.push_back(column);
        writeTable(folder / "urban_rural.DB", zandor::tables::PopulationSchema::RuralUrban, both);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_samples: %s\n", e.what());
        return 1;
    }
    for (const Region* r : {&single, &urban, &rural}) printSummary(*r);
    return 0;
}
