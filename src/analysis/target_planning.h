// Population target planning: which fertility keeps a population at a target size at the end
// of a planning period. From the base population by sex and age, the death rates by sex and a
// reference fertility schedule it
//  1. ages the base population without births to the end of the period (life tables of the
//     base death rates; persons rounded every year, halves to even),
//  2. derives from the target the births each planning year must contribute (sex ratio at
//     birth 105 boys per 100 girls; constant births, or equal surviving cohorts), and
//  3. for every planning year searches, with a real-coded genetic algorithm run R times, for
//     fertility schedules of ages 15 to 49 that give that year's births; the TFRs of the
//     converged runs give a mean with bounds (mean +- 2.575 sd) and a mean schedule of the
//     curves within the bounds.
// A report file "TFR<year index>.txt" is written per planning year.
//
// The runs of a year are independent: each draws from its own generator, seeded from
// (seed, year index, run), so a search gives the same results on any number of threads.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace zandor::tables {
class Table;
}

namespace zandor::analysis {

inline constexpr int kTargetFirstAge = 15;
inline constexpr int kTargetGenes = 35;  // fertility rates of ages 15 to 49

// Upper limit of a fertility rate at ages 15 to 49; their sum is 12.247.
extern const std::array<double, kTargetGenes> kTargetRateLimits;

namespace target_message {
inline constexpr std::string_view kNoTable = "没有打开的数据表!请先打开数据表.";
inline constexpr std::string_view kBadData = "数据格式不正确.";
inline constexpr std::string_view kNotEnoughVariables = "Not enough variable selected!";
inline constexpr std::string_view kBadYears = "Please Redefine the Restrospect Years Aagain!";
inline constexpr std::string_view kNoReference = "No reference fertility schedule: choose the ASFertility Rate field first.";
}  // namespace target_message

enum class BirthsMode {
    ConstantBirths,  // RadioButton1: the same births every year
    EqualCohorts,    // RadioButton2: births whose survivors at the end of the period are equal
};

// The dialog's boxes as typed (defaults as the dialog opens).
struct TargetPlanningTexts {
    std::string target = "1260000000";  // Edit7
    std::string individuals = "100";    // Edit1, P
    std::string crossover = "0.2";      // Edit2
    std::string mutation = "0.5";       // Edit3
    std::string pressure = "0.05";      // Edit4, q of the geometric ranking
    std::string generations = "300";    // Edit5, G
    std::string runs = "500";           // Edit10, R
    std::string range = "2.0";          // Edit12, k
};

struct TargetPlanningSettings {
    double target = 0;
    int individuals = 0;
    double crossover = 0;
    double mutation = 0;
    double pressure = 0;
    int generations = 0;
    int runs = 0;
    double range = 0;
};

// Reads the texts as numbers (Refusal with the conversion message of the first one that is
// no number) and refuses values the search cannot work with: fewer than 1 individual,
// generation or run, a selection pressure outside (0, 1], a range factor of 1 or less.
TargetPlanningSettings parseTargetSettings(const TargetPlanningTexts& texts);

enum class TargetSeries { Population, DeathRates, Fertility };

// A field loader of the dialog: every record's value of the field, in record order.
// A population that is not a number, negative, infinite or too large is refused naming the
// field and the row (requirePopulation); Refusal "数据格式不正确." for a rate below 0 or above
// 1, or a fertility schedule summing to 0; an unknown field throws the table store's TableError.
std::vector<double> loadTargetSeries(tables::Table& table, const std::string& field, TargetSeries kind);
// The same check on a series already read.
void checkTargetSeries(const std::vector<double>& values, TargetSeries kind);

// The checks of "&OK", in order: the four population and death-rate fields chosen, then
// To - From at least 1.
void checkTargetChoice(const std::array<std::string, 4>& fieldNames, int fromYear, int toYear);

struct TargetPlanningInput {
    std::vector<double> malePopulation;  // by age, N records
    std::vector<double> femalePopulation;
    std::vector<double> maleRates;  // central death rates m(x)
    std::vector<double> femaleRates;
    std::vector<double> fertility;  // the reference schedule; empty when none is loaded
    int fromYear = 1990;
    int toYear = 2000;
    BirthsMode mode = BirthsMode::ConstantBirths;
};

// The aging without births and the required births: exact, no search.
struct TargetBirths {
    int fromYear = 0;
    int yearCount = 0;             // Y = To - From
    std::vector<double> maleL;     // person-years by age of the base life tables (radix 1)
    std::vector<double> femaleL;
    std::vector<double> reference;  // f at ages 15..49
    // Women at ages 14..49 at the start of each planning year: (kTargetGenes + 1) per year.
    std::vector<double> women;
    std::vector<double> womenCount;  // W, women 15-49, by planning year
    std::vector<double> meanAge;     // MA, their mean age
    std::vector<double> births;      // B, required births
    double agedPopulation = 0;       // both sexes after the Y years without births
    double need = 0;                 // target - agedPopulation

    double womenAt(int age, int year) const;  // age 14..49
};

// Refuses a missing reference schedule, series of unequal length, fewer than 71 ages, a
// period longer than the table has ages, a reference rate the genes cannot reach (a positive
// rate whose 1/k share lies above its age's limit), a life table with an L of 0 or without
// end, and a year without women 15-49; then ages the population and derives the births.
TargetBirths prepareTargetBirths(const TargetPlanningInput& input, const TargetPlanningSettings& settings);

// Refuses a search when the births required in a planning year are not above 0: the target is
// reached without births, and no fertility schedule has negative births to find. The message
// names the first such year and its births.
void checkRequiredBirths(const TargetBirths& births);

struct TargetYearResult {
    int yearIndex = 0;
    int converged = 0;  // runs whose best error fell below one birth within G generations
    int retained = 0;   // converged curves within mean +- 2.575 sd
    int generationCapped = 0;  // runs that reached the generation cap
    double meanTfr = 0;
    double tfrUp = 0;
    double tfrLow = 0;
    std::array<double, kTargetGenes> meanSchedule{};  // c[j], the retained curves' mean
    double lastBirths = 0;     // births of the last evaluated individual of the last run
    int lastGeneration = 0;    // generation at which the last run ended
    std::filesystem::path reportFile;  // empty when no folder was given
};

// Where the search stands: after every run of a year.
struct TargetRunProgress {
    int yearIndex = 0;
    int run = 0;            // the run just finished (0..R-1)
    int generation = 0;     // the generation at which it ended
    int converged = 0;      // converged runs of the year so far
    int finishedRuns = 0;   // runs finished over the whole search
    int totalRuns = 0;      // Y x R
};

struct TargetSearchOptions {
    std::uint64_t seed = 0;
    int threads = 0;  // 0: every core
    std::filesystem::path reportDir;  // where TFR<index>.txt go; empty: no files
    // Called after every run from the thread that ran it, never two at once.
    std::function<void(const TargetRunProgress&)> runFinished;
    // Called on the calling thread when a year's statistics and report file are done.
    std::function<void(const TargetYearResult&)> yearFinished;
    std::stop_token stop;  // checked before every run
};

struct TargetSearchResult {
    std::vector<TargetYearResult> years;  // the finished years
    bool stopped = false;                 // a stop was requested before every year finished
};

// Searches every planning year in turn, after checkRequiredBirths. A year without a converged
// run ends the search with a Refusal naming the year (the report files of earlier years stay); a report file that
// cannot be written throws std::runtime_error naming it.
TargetSearchResult searchTargetFertility(const TargetBirths& births, const TargetPlanningSettings& settings,
                                         const TargetSearchOptions& options);

// The report file of one year: 35 lines "c    spare  rest", the births, the women's mean
// age and number, the TFR figures and the male and female L of ages 0 to Y.
std::string targetReport(const TargetBirths& births, const TargetYearResult& year);
std::string targetReportName(int yearIndex);  // "TFR3.txt"

// The status texts after a year: Edit6 and Edit11.
std::string targetYearSummary(const TargetYearResult& year);
std::string targetCurvesSummary(const TargetYearResult& year);

// A seed from the clock, for a search that is not asked to repeat an earlier one.
std::uint64_t clockSeed();

// Refuses (Refusal) a report folder that is missing, not a folder or not writable, naming it:
// checked before a search, so that no run is lost at its first report.
void requireWritableReportFolder(const std::filesystem::path& folder);

// At the start of a search of `yearCount` years, the reports TFR<i>.txt of an earlier, longer
// search (i >= yearCount) would sit beside the new ones as if they belonged to them: each is
// renamed TFR<i>.old.txt (replacing an older one). Returns the new names, in index order.
std::vector<std::string> setAsideStaleReports(const std::filesystem::path& folder, int yearCount);

// "已停止" and the finished years ("已停止, 已完成 2001-2003 年." / "已停止, 没有完成的年份."),
// for the status after Stop; the year of index i is fromYear + i.
std::string targetStoppedSummary(int fromYear, int finishedYears);

}  // namespace zandor::analysis
