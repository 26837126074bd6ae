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
// The caller writes a report file "TFR<year index>.txt" per planning year as it arrives.
//
// The runs of a year are independent: each draws from its own generator, seeded from
// (seed, year index, run), so a search gives the same results on any number of threads.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/feedback.h"

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
};

struct TargetSearchOptions {
    std::uint64_t seed = 0;
    int threads = 0;  // 0: every core
};

struct TargetSearchResult {
    std::vector<TargetYearResult> years;  // the finished years
    bool stopped = false;                 // a stop was requested before every year finished
};

// Called on the calling thread as each year's statistics are done, before the next year is
// searched: the caller writes the year's report (a failing later year leaves it in place).
using TargetYearFinished = std::function<void(const TargetYearResult&)>;

// Searches every planning year in turn, after checkRequiredBirths; writes no files. After
// every run, `feedback` gets the runs finished over the whole search of Y x R and the status
// targetRunStatus gives (from the thread that ran it, never two at once); a stop is heard
// before every run, and a stop between the runs of a year leaves that year unfinished. A
// year without a converged run ends the search with a Refusal naming the year (the years
// before it have been handed to `yearFinished`).
TargetSearchResult searchTargetFertility(const TargetBirths& births, const TargetPlanningSettings& settings,
                                         const TargetSearchOptions& options, const Feedback& feedback = {},
                                         const TargetYearFinished& yearFinished = {});

// Where the search stands after a run: the year, the run just finished (0..R-1), the
// generation at which it ended and the year's converged runs so far. As a status text it is
// "year Y run T generation G converged C" (Y the year index).
struct TargetRunStatus {
    int yearIndex = 0;
    int run = 0;
    int generation = 0;
    int converged = 0;
};
std::string targetRunStatus(const TargetRunStatus& status);
std::optional<TargetRunStatus> parseTargetRunStatus(std::string_view text);

// Writes the report of one year, TFR<index>.txt in `folder`, through the output writer (so
// that a report is either the old one or the new one); a file that cannot be written throws
// std::runtime_error naming it. Returns its path.
std::filesystem::path writeTargetReport(const std::filesystem::path& folder, const TargetBirths& births,
                                        const TargetYearResult& year);
// Refuses, before a search, report names that no report can go to (a pipe or a device).
void requireWritableReports(const std::filesystem::path& folder, int yearCount);

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
