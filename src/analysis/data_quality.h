// Quality of age reporting in one age-specific series (normally a population by single year
// of age, record k being age k): the age preference index per age, the Whipple index, the
// Myers blended index and the age accuracy index of five-year age ratios; and the result
// report that the result window and zandor-cli show for them (lines, interpretation bands and
// the band the value falls in). The UN joint sex-age index (un_sex_age.h) uses the same report.
//
// Indexes (X the series, N its length):
//   - age preference, for every age i from 2 to E - 3, E being the index of the last zero
//     value (N when none is zero): P(i) = 100 X[i] / mean(X[i-2..i+2]). 100 means no
//     preference for age i; above 100 the age attracts reports, below 100 it repels them.
//   - Whipple: 100 x (ages 25, 30, ..., 60) / (one fifth of ages 23 to 62); 100 when the
//     ages ending in 0 or 5 hold a fifth of the population, 500 when they hold all of it.
//   - Myers blended: for each terminal digit j the ages 10+j..80+j weighted j + 1 plus the
//     ages 20+j..80+j weighted 9 - j; half the sum of the absolute deviations of the digits'
//     shares from 10 per cent (0 to 90). A population that is constant in age gives 1.66,
//     since the second sums run over seven decades and the first over eight.
//   - age accuracy: five-year groups G (a series of more than 25 records is summed into
//     groups of single years, only complete groups; otherwise each record is one group);
//     the mean over groups 1 to 13 of |300 G[g] / (G[g-1] + G[g] + G[g+1]) - 100|, so groups
//     0 to 14 (ages 0 to 74) are needed. 0 for a population linear in age.
//
// References: H. S. Shryock and J. S. Siegel (1976), The Methods and Materials of Demography,
// condensed ed., Academic Press, ch. 8 (Whipple's and Myers' indexes, age ratios);
// United Nations (1955), Methods of Appraisal of Quality of Basic Data for Population
// Estimates, Manual II, ST/SOA/Series A/23 (age ratios, the joint score).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zandor::tables {
class Table;
}

namespace zandor::analysis {

enum class AgeIndex {
    Preference,  // "年龄偏好指数"
    Whipple,     // "Whipple  指数"
    Myers,       // "Myer 指数"
    Accuracy,    // "年龄准确指数"
};

// The three interpretation bands, best first.
enum class QualityBand { Good, Acceptable, Unacceptable };

// What the result window shows for one computation.
struct IndexReport {
    std::vector<std::string> lines;    // the list, one line per age or one line in all
    std::array<std::string, 3> bands;  // the texts of the boxes "好:", "可接受", "不可接受:"
    // The single index value and the band it falls in (none for the age preference index).
    std::optional<double> value;
    std::optional<QualityBand> band;
    // The values of the lines as numbers, each with its label (the age for the age
    // preference index), for a workbook.
    std::string labelHeading = "指数";
    std::vector<std::pair<std::string, double>> values;
};

// The refusals of the quality dialog (and the UN dialog's field check).
inline constexpr const char* kFieldNotSelected = "Field Not Selected";
inline constexpr const char* kWhippleTooFewAges = "Not Enough Age Groups(<62)";
inline constexpr const char* kMyersTooFewAges = "Not Enough Age Groups(<89)";

// The index values. Each throws zandor::Refusal with the messages above for too short a
// series, and with a message naming the age or group where a denominator is 0.
std::vector<double> agePreference(const std::vector<double>& x);  // ages 2, 3, ..., E - 3
double whippleIndex(const std::vector<double>& x);
double myersIndex(const std::vector<double>& x);
double ageAccuracyIndex(const std::vector<double>& x);

// The band of an index value as shown (to two decimals); a value on a boundary belongs to the
// better band, and a Whipple index below 100 counts as good.
QualityBand whippleBand(double value);
QualityBand myersBand(double value);
QualityBand accuracyBand(double value);
QualityBand unIndexBand(double value);

// The line under the bands that says where the value falls: "所在范围: 可接受".
std::string bandLine(QualityBand band);

// The report as a text file: the lines, then "好: ", "可接受: " and "不可接受: " with the band
// texts, then the band line when there is one; every line ends with a line feed.
std::string reportText(const IndexReport& report);

// Every value written in the result window: pattern "#####.##".
std::string formatIndex(double value);

// The report of one index over the series.
IndexReport qualityReport(AgeIndex index, const std::vector<double>& x);

// Reads the field `name` of every record of `table`, in table order. Refuses with
// kFieldNotSelected when the name is blank and names a field the table lacks.
std::vector<double> readQualitySeries(tables::Table& table, const std::string& name);

// Reads the field and reports the index.
IndexReport qualityReport(tables::Table& table, const std::string& field, AgeIndex index);

}  // namespace zandor::analysis
