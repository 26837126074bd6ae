// Adjustment of age data: smoothing of five-year age groups, graduation of five-year groups
// into single years of age, and the grouping of single years into five-year groups, so that
// a heaped single-year series can be grouped, smoothed and split back (the whole adjustment),
// and data that come in five-year groups can feed the single-year projection.
//
// Groups: `groups[g]` holds ages 5g to 5g+4, the last element is the open group (ages 5(n-1)
// and over); it is never smoothed nor split. The closed groups are paired into ten-year groups
// T[j] = groups[2j] + groups[2j+1]; a closed group left without a partner (an odd number of
// closed groups) keeps its value in every method that works on ten-year groups.
//
// Smoothing (one function per method; each returns every group, the reached flags saying
// which groups it changed):
//   - Carrier-Farrag: upper half of T[j] = T[j] / (1 + (T[j-1] / T[j+1])^(1/4)), lower half the
//     rest. Reaches the ten-year groups that have a neighbour on both sides (from ages 10-19 to
//     the next-to-last ten-year group); ages 0-9, the last ten-year group, an unpaired closed
//     group and the open group keep their values. Every ten-year total is kept. Needs three
//     ten-year groups; refuses a zero or negative neighbouring ten-year group (its ratio is
//     divided and its fourth root taken).
//   - Karup-King-Newton: lower half = T[j] / 2 + (T[j-1] - T[j+1]) / 16. Reach and totals as
//     Carrier-Farrag.
//   - Arriaga: upper half = (-T[j-1] + 11 T[j] + 2 T[j+1]) / 24; at the first ten-year group the
//     upper half is (8 T[0] + 5 T[1] - T[2]) / 24, at the last one (L) the lower half is
//     (8 T[L] + 5 T[L-1] - T[L-2]) / 24. Reaches every paired group; keeps every ten-year total.
//   - United Nations: S[g] = (-G[g-2] + 4 G[g-1] + 10 G[g] + 4 G[g+1] - G[g+2]) / 16 for the
//     closed groups with two closed groups on each side (from ages 10-14 to the third-last
//     closed group); the two first and two last closed groups and the open group keep their
//     values. Totals are not kept.
//   - Strong: the ten-year groups with two neighbours are averaged, (T[j-1] + 2 T[j] + T[j+1]) / 4,
//     those of ages 10 to 69 are scaled back to their original joint total, and the result is
//     split into halves as Arriaga's. Reaches every paired group; keeps the totals of ages 0-9,
//     of the last ten-year group and of ages 10-69 together, not those in between.
//
// Graduation (multipliers applied to five closed groups; the first two and the last two
// closed groups use the end panels): Sprague's fifth-difference osculatory multipliers,
// Beers' ordinary six-term multipliers and Beers' modified (smoothing) multipliers. Sprague
// and Beers ordinary keep every closed group's sum; Beers modified smooths and does not. Each
// needs five closed groups. The result holds the single ages 0 to 5m-1 (m closed groups)
// followed by the open group, unchanged.
//
// Refusals (zandor::Refusal, each naming the group): too few groups for the method, a value
// that is not a finite number, a zero or negative group where the method divides.
//
// Sources: T. B. Sprague (1880), Explanation of a new formula for interpolation, JIA 22;
// H. S. Beers (1945), Modified-interpolation formulas that minimize fourth differences,
// Record of the American Institute of Actuaries 34; N. H. Carrier and A. M. Farrag (1959),
// The reduction of errors in census populations for statistically underdeveloped countries,
// Population Studies 12; E. Arriaga (1968), New life tables for Latin American populations;
// United Nations (1955), Manual II, Methods of appraisal of quality of basic data for
// population estimates; J. S. Siegel and D. A. Swanson (2004), The Methods and Materials of
// Demography, 2nd ed., appendix C (the multiplier tables); U.S. Census Bureau, Population
// Analysis System (PAS), spreadsheets AGESMTH, SPRAGUE, BEERSO and BEERSM.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zandor::analysis {

enum class SmoothingMethod { CarrierFarrag, KarupKingNewton, Arriaga, UnitedNations, Strong };
enum class GraduationMethod { Sprague, BeersOrdinary, BeersModified };

// Smoothed five-year groups: one value per group (the open group last) and whether the
// method changed it.
struct SmoothedGroups {
    std::vector<double> values;
    std::vector<bool> reached;
};

SmoothedGroups smoothCarrierFarrag(std::span<const double> groups);
SmoothedGroups smoothKarupKingNewton(std::span<const double> groups);
SmoothedGroups smoothArriaga(std::span<const double> groups);
SmoothedGroups smoothUnitedNations(std::span<const double> groups);
SmoothedGroups smoothStrong(std::span<const double> groups);
SmoothedGroups smoothGroups(SmoothingMethod method, std::span<const double> groups);

// Single years 0 .. 5m-1 and, last, the open group.
std::vector<double> graduateSprague(std::span<const double> groups);
std::vector<double> graduateBeersOrdinary(std::span<const double> groups);
std::vector<double> graduateBeersModified(std::span<const double> groups);
std::vector<double> graduateGroups(GraduationMethod method, std::span<const double> groups);

// Sums single ages (record k = age k) into five-year groups, the last group open from the
// highest multiple of 5 the series reaches: ages 0-100 give 0-4 ... 95-99 and 100+. Refuses a
// series shorter than 6 ages and a value that is no finite number (naming the age).
std::vector<double> groupSingleYears(std::span<const double> single);

// The name of group g of n ("10-14岁", the last "100岁及以上").
std::string groupLabel(std::size_t g, std::size_t n);

// The methods' names as the dialog lists them ("Carrier-Farrag法", "Sprague法", ...) and the
// sentence on each one's reach and what it keeps, as the dialog's list and the manual give it.
std::string methodName(SmoothingMethod method);
std::string methodName(GraduationMethod method);
std::string methodReach(SmoothingMethod method);
std::string methodReach(GraduationMethod method);

// The whole adjustment of one age series.
struct AgeAdjustment {
    std::vector<double> values;   // the field's values, in table order
    bool singleYears = true;      // record k = age k; otherwise record k = group k
    std::optional<SmoothingMethod> smoothing;
    std::optional<GraduationMethod> graduation;
};

struct AdjustedSeries {
    bool singleYears = false;         // the result is by single year (graduated)
    std::vector<int> ages;            // lower age of every row; the last row is the open group
    std::vector<double> original;     // the input in the result's rows (groups: grouped; single
                                      // years: the values, or a group's mean for five-year input)
    std::vector<double> adjusted;
    std::vector<bool> reached;        // rows changed by the smoothing (groups only)
};

// Groups the input when it holds single years, smooths, then graduates. Refuses when neither
// method is chosen, and as the steps refuse.
AdjustedSeries adjustAgeSeries(const AgeAdjustment& request);

// A table of more than this many records is taken as single years when the user has not said.
inline constexpr std::size_t kFiveYearTableMaxRecords = 30;
inline bool holdsSingleYears(std::size_t records) { return records > kFiveYearTableMaxRecords; }

// Refuses to store a result of `rows` rows in a table of `records` records: the new field
// holds one value per record, so the two must agree (a grouped result goes into a table of
// groups, a graduated one into a table of single years).
void requireRowPerRecord(std::size_t records, const AdjustedSeries& result);

}  // namespace zandor::analysis
