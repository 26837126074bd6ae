// Population target planning: the checks, the aging without births, the required births, the
// search over the planning years on a pool of threads, the statistics and the report files.
#include "analysis/target_planning.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include <unistd.h>

#include "analysis/age_series.h"
#include "analysis/target_search.h"
#include "projection/base_life_table.h"
#include "projection/single_region_inputs.h"
#include "tables/output_file.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::analysis {

const std::array<double, kTargetGenes> kTargetRateLimits = {
    0.14, 0.25, 0.32, 0.38, 0.41, 0.52, 0.54,  0.57, 0.58, 0.54, 0.52, 0.51,
    0.5,  0.495, 0.49, 0.48, 0.47, 0.45, 0.43, 0.405, 0.4, 0.4, 0.4, 0.39,
    0.37, 0.34, 0.3,  0.222, 0.12, 0.1, 0.08, 0.06, 0.04, 0.015, 0.01};

namespace {

constexpr double kZ = 2.575;                 // the bounds: mean +- z sd
constexpr double kBoysPerGirl = 0.952381;    // 1 / 1.05: girls per boy at birth, as written
constexpr double kBirthsPerBoy = 1.952381;   // 2.05 / 1.05: all births per boy born
constexpr int kWomenRows = kTargetGenes + 1; // ages 14..49

int parseInteger(const char* box, const std::string& text)
{
    std::string_view digits = text;
    if (digits.starts_with('+'))
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()
        || (text.starts_with('+') && digits.starts_with('-')))
        throw Refusal(std::string(box) + ": " + text::invalidIntegerMessage(text));
    return value;
}

double parseDouble(const char* box, const std::string& text)
{
    if (auto value = text::parseNumber(text))
        return *value;
    throw Refusal(std::string(box) + ": " + text::invalidNumberMessage(text));
}

std::string yearText(int fromYear, int yearIndex)
{
    return std::to_string(fromYear + yearIndex);
}

std::string fixed(double v)
{
    return text::formatGeneral(v);
}

// The base life table's person-years of one sex, every one finite and above 0 (the aging
// divides by them).
std::vector<double> personYears(projection::Sex sex, const std::vector<double>& rates)
{
    auto table = projection::baseLifeTable(sex, rates);
    const char* name = sex == projection::Sex::Male ? "male" : "female";
    for (std::size_t x = 0; x < table.Lx.size(); ++x)
        if (!(table.Lx[x] > 0) || !std::isfinite(table.Lx[x]))
            throw Refusal(std::string("Division by zero: the ") + name + " person-years L at age " + std::to_string(x)
                          + " are " + fixed(table.Lx[x]) + " (no survivors, or a death rate of 0 at the last age).");
    return std::move(table.Lx);
}

void ageOneYear(std::vector<double>& P, const std::vector<double>& L)
{
    for (std::size_t x = P.size() - 1; x > 0; --x)
        P[x] = text::roundHalfEven(P[x - 1] * L[x] / L[x - 1]);
    P[0] = 0;
}

}  // namespace

TargetPlanningSettings parseTargetSettings(const TargetPlanningTexts& texts)
{
    TargetPlanningSettings s;
    // Each box is named as the user knows it: its meaning and its name in the dialog.
    s.target = parseDouble("人口目标 (Edit7)", texts.target);
    s.individuals = parseInteger("个体数 (Edit1)", texts.individuals);
    s.crossover = parseDouble("交叉概率 (Edit2)", texts.crossover);
    s.mutation = parseDouble("变异概率 (Edit3)", texts.mutation);
    s.pressure = parseDouble("选择压力 (Edit4)", texts.pressure);
    s.generations = parseInteger("代数 (Edit5)", texts.generations);
    s.runs = parseInteger("运行次数 (Edit10)", texts.runs);
    s.range = parseDouble("范围系数 (Edit12)", texts.range);
    if (s.individuals < 1 || s.generations < 1 || s.runs < 1)
        throw Refusal("The population size, the generations and the runs must each be at least 1.");
    if (!(s.pressure > 0 && s.pressure <= 1))
        throw Refusal("The selection pressure must lie above 0 and at most 1.");
    if (!(s.range > 1) || !std::isfinite(s.range))
        throw Refusal("The range factor must be above 1.");
    return s;
}

void checkTargetSeries(const std::vector<double>& values, TargetSeries kind)
{
    double sum = 0;
    for (double v : values) {
        const bool bad = kind == TargetSeries::Population ? !(v >= 0) : !(v >= 0 && v <= 1);
        if (bad)
            throw Refusal(std::string(target_message::kBadData));
        sum += v;
    }
    if (kind == TargetSeries::Fertility && sum == 0)
        throw Refusal(std::string(target_message::kBadData));
}

std::vector<double> loadTargetSeries(tables::Table& table, const std::string& field, TargetSeries kind)
{
    std::vector<double> values = projection::loadAgeSeries(table, field);
    if (kind == TargetSeries::Population)
        requirePopulation(values, field);
    checkTargetSeries(values, kind);
    return values;
}

void checkTargetChoice(const std::array<std::string, 4>& fieldNames, int fromYear, int toYear)
{
    for (const auto& name : fieldNames)
        if (name.empty())
            throw Refusal(std::string(target_message::kNotEnoughVariables));
    if (toYear - fromYear < 1)
        throw Refusal(std::string(target_message::kBadYears));
}

double TargetBirths::womenAt(int age, int year) const
{
    return women[static_cast<std::size_t>(year) * kWomenRows + static_cast<std::size_t>(age - (kTargetFirstAge - 1))];
}

TargetBirths prepareTargetBirths(const TargetPlanningInput& input, const TargetPlanningSettings& settings)
{
    if (input.fertility.empty())
        throw Refusal(std::string(target_message::kNoReference));
    const std::size_t n = input.malePopulation.size();
    for (const auto* series : {&input.femalePopulation, &input.maleRates, &input.femaleRates, &input.fertility})
        if (series->size() != n)
            throw std::invalid_argument("target planning: series of unequal length");
    if (n < static_cast<std::size_t>(projection::kMinimumAgeRows))
        throw Refusal(projection::message::tooFewAgeRows(n));
    TargetBirths b;
    b.fromYear = input.fromYear;
    b.yearCount = input.toYear - input.fromYear;
    const int Y = b.yearCount;
    if (static_cast<std::size_t>(Y) >= n)
        throw Refusal("A planning period of " + std::to_string(Y) + " years needs the person-years of ages 0 to "
                      + std::to_string(Y) + ", but the table has " + std::to_string(n) + " ages.");
    b.reference.assign(input.fertility.begin() + kTargetFirstAge, input.fertility.begin() + kTargetFirstAge + kTargetGenes);
    for (int j = 0; j < kTargetGenes; ++j) {
        const double f = b.reference[j];
        if (f > 0 && !(f / settings.range < kTargetRateLimits[j]))
            throw Refusal("The reference rate " + fixed(f) + " at age " + std::to_string(kTargetFirstAge + j)
                          + " divided by the range factor lies above the age's limit " + fixed(kTargetRateLimits[j]) + ".");
    }
    b.maleL = personYears(projection::Sex::Male, input.maleRates);
    b.femaleL = personYears(projection::Sex::Female, input.femaleRates);

    std::vector<double> male = input.malePopulation;
    std::vector<double> female = input.femalePopulation;
    b.women.resize(static_cast<std::size_t>(Y) * kWomenRows);
    for (int y = 0; y < Y; ++y) {
        std::copy_n(female.begin() + (kTargetFirstAge - 1), kWomenRows, b.women.begin() + y * kWomenRows);
        double count = 0;
        double ages = 0;
        for (int x = kTargetFirstAge; x < kTargetFirstAge + kTargetGenes; ++x) {
            count += female[x];
            ages += x * female[x];
        }
        if (count == 0)
            throw Refusal("Division by zero: no women aged 15-49 at the start of " + yearText(b.fromYear, y) + ".");
        b.womenCount.push_back(count);
        b.meanAge.push_back(ages / count);
        ageOneYear(male, b.maleL);
        ageOneYear(female, b.femaleL);
    }
    for (double v : male)
        b.agedPopulation += v;
    for (double v : female)
        b.agedPopulation += v;
    b.need = settings.target - b.agedPopulation;

    const auto& Lm = b.maleL;
    const auto& Lf = b.femaleL;
    b.births.resize(static_cast<std::size_t>(Y));
    if (input.mode == BirthsMode::ConstantBirths) {
        double survivors = 0;
        for (int y = 0; y < Y; ++y)
            survivors += Lm[y + 1] / Lm[0] + kBoysPerGirl * Lf[y + 1] / Lf[0];
        const double boys = b.need / survivors;
        std::fill(b.births.begin(), b.births.end(), kBirthsPerBoy * boys);
    } else {
        const double cohort = b.need / Y;
        for (int y = 0; y < Y; ++y)
            b.births[Y - 1 - y] = (cohort / kBirthsPerBoy) * Lm[0] / Lm[y + 1]
                                  + (cohort - cohort / kBirthsPerBoy) * Lf[0] / Lf[y + 1];
    }
    return b;
}

void checkRequiredBirths(const TargetBirths& b)
{
    for (int y = 0; y < b.yearCount; ++y)
        if (!(b.births[y] > 0))
            throw Refusal("The target is reached without births: the births required in " + yearText(b.fromYear, y)
                          + " are " + fixed(b.births[y]) + ".");
}

namespace {

// The statistics of a year over its runs, in run order.
TargetYearResult yearStatistics(int yearIndex, const std::vector<target_search::RunOutcome>& runs,
                                int fromYear)
{
    TargetYearResult r;
    r.yearIndex = yearIndex;
    std::vector<double> tfr(runs.size());
    double sum = 0;
    for (std::size_t t = 0; t < runs.size(); ++t) {
        for (double gene : runs[t].best)
            tfr[t] += gene;
        if (runs[t].converged) {
            ++r.converged;
            sum += tfr[t];
        } else {
            ++r.generationCapped;
        }
    }
    if (r.converged == 0)
        throw Refusal("Division by zero: no run converged in " + yearText(fromYear, yearIndex) + ".");
    const double n = r.converged;
    r.meanTfr = sum / n;
    double squares = 0;
    for (std::size_t t = 0; t < runs.size(); ++t)
        if (runs[t].converged)
            squares += (tfr[t] - r.meanTfr) * (tfr[t] - r.meanTfr);
    const double sd = std::sqrt(squares / n);
    r.tfrUp = r.meanTfr + kZ * sd;
    r.tfrLow = r.meanTfr - kZ * sd;
    for (std::size_t t = 0; t < runs.size(); ++t) {
        if (!runs[t].converged || !(std::fabs(tfr[t] - r.meanTfr) <= kZ * sd))
            continue;
        ++r.retained;
        for (int j = 0; j < kTargetGenes; ++j)
            r.meanSchedule[j] += runs[t].best[j];
    }
    if (r.retained == 0)
        throw Refusal("Division by zero: no curve retained in " + yearText(fromYear, yearIndex) + ".");
    for (double& c : r.meanSchedule)
        c /= r.retained;
    r.lastBirths = runs.back().lastBirths;
    r.lastGeneration = runs.back().generation;
    return r;
}

}  // namespace

void requireWritableReports(const std::filesystem::path& folder, int yearCount)
{
    for (int y = 0; y < yearCount; ++y)
        tables::requireWritableOutput((folder / targetReportName(y)).string());
}

std::filesystem::path writeTargetReport(const std::filesystem::path& folder, const TargetBirths& births,
                                        const TargetYearResult& year)
{
    std::filesystem::path path = folder / targetReportName(year.yearIndex);
    tables::writeOutputFile(path.string(), targetReport(births, year));
    return path;
}

TargetSearchResult searchTargetFertility(const TargetBirths& births, const TargetPlanningSettings& settings,
                                         const TargetSearchOptions& options, const Feedback& feedback,
                                         const TargetYearFinished& yearFinished)
{
    checkRequiredBirths(births);
    const int Y = births.yearCount;
    const int R = settings.runs;
    const int threads = std::clamp(options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency()),
                                   1, std::max(R, 1));
    TargetSearchResult result;
    std::vector<target_search::RunOutcome> runs(static_cast<std::size_t>(R));
    std::mutex progressLock;
    long long finished = 0;
    const long long totalRuns = static_cast<long long>(Y) * R;
    for (int y = 0; y < Y; ++y) {
        const target_search::Problem problem = target_search::makeProblem(births, settings, y);
        std::atomic<int> nextRun{0};
        int converged = 0;
        int doneThisYear = 0;
        auto work = [&] {
            target_search::Scratch scratch(settings.individuals);
            for (;;) {
                if (feedback.stopRequested())
                    return;
                const int t = nextRun.fetch_add(1);
                if (t >= R)
                    return;
                target_search::Generator random(options.seed, static_cast<std::uint64_t>(y), static_cast<std::uint64_t>(t));
                runs[t] = target_search::runOnce(problem, random, scratch);
                std::lock_guard lock(progressLock);
                converged += runs[t].converged ? 1 : 0;
                ++doneThisYear;
                ++finished;
                feedback.progress(finished, totalRuns, targetRunStatus({y, t, runs[t].generation, converged}));
            }
        };
        {
            std::vector<std::jthread> pool;
            for (int i = 1; i < threads; ++i)
                pool.emplace_back(work);
            work();
        }
        // A stop between runs leaves the year unfinished; one after its last run still
        // lets the year report.
        if (doneThisYear < R) {
            result.stopped = true;
            return result;
        }
        result.stopped = feedback.stopRequested();
        result.years.push_back(yearStatistics(y, runs, births.fromYear));
        if (yearFinished)
            yearFinished(result.years.back());
        if (result.stopped)
            return result;
    }
    return result;
}

std::string targetRunStatus(const TargetRunStatus& s)
{
    return "year " + std::to_string(s.yearIndex) + " run " + std::to_string(s.run) + " generation "
           + std::to_string(s.generation) + " converged " + std::to_string(s.converged);
}

std::optional<TargetRunStatus> parseTargetRunStatus(std::string_view text)
{
    TargetRunStatus s;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (auto [word, value] : {std::pair{std::string_view("year "), &s.yearIndex}, {" run ", &s.run},
                               {" generation ", &s.generation}, {" converged ", &s.converged}}) {
        if (static_cast<std::size_t>(end - at) < word.size() || std::string_view(at, word.size()) != word)
            return std::nullopt;
        at += word.size();
        const auto [next, error] = std::from_chars(at, end, *value);
        if (error != std::errc{})
            return std::nullopt;
        at = next;
    }
    if (at != end)
        return std::nullopt;
    return s;
}

std::string targetReportName(int yearIndex)
{
    return "TFR" + std::to_string(yearIndex) + ".txt";
}

std::string targetReport(const TargetBirths& b, const TargetYearResult& year)
{
    const int y = year.yearIndex;
    std::string text;
    for (int j = 0; j < kTargetGenes; ++j) {
        const double c = year.meanSchedule[j];
        const double women = b.womenAt(kTargetFirstAge + j, y);
        text += fixed(c) + "    " + fixed((kTargetRateLimits[j] - c) * women) + "  " + fixed((1 - c) * women) + "\n";
    }
    text += " \n";
    text += "birth:" + fixed(b.births[y]) + "\n";
    text += "women mean age:" + fixed(b.meanAge[y]) + "\n";
    text += "pop Size of birth women:" + fixed(b.womenCount[y]) + "\n";
    text += " \n";
    text += "mean_TFR:" + fixed(year.meanTfr) + "\n";
    text += "TFR_up:" + fixed(year.tfrUp) + "\n";
    text += "TFR_low:" + fixed(year.tfrLow) + "\n";
    text += " male survive\n";
    for (int a = 0; a <= b.yearCount; ++a)
        text += fixed(b.maleL[a]) + "\n";
    text += " female survive \n";
    for (int a = 0; a <= b.yearCount; ++a)
        text += fixed(b.femaleL[a]) + "\n";
    return text;
}

std::string targetYearSummary(const TargetYearResult& year)
{
    return "Birth:" + fixed(year.lastBirths) + "finished   " + std::to_string(year.lastGeneration) + "TFR_up:"
           + fixed(year.tfrUp) + "TFR_low:" + fixed(year.tfrLow) + "mean_TFR:" + fixed(year.meanTfr);
}

std::string targetCurvesSummary(const TargetYearResult& year)
{
    return std::to_string(year.converged) + "last_curve:" + std::to_string(year.retained);
}

std::uint64_t clockSeed()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

void requireWritableReportFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    const bool isFolder = std::filesystem::is_directory(folder, error);
    if (!isFolder || ::access(folder.c_str(), W_OK | X_OK) != 0)
        throw Refusal("报告文件夹 " + folder.string() + (isFolder ? " 不可写" : " 不存在")
                      + ": 目标分析要在其中写入各年的报告文件 TFR<年序号>.txt, 请换一个可写的文件夹.");
}

std::vector<std::string> setAsideStaleReports(const std::filesystem::path& folder, int yearCount)
{
    std::vector<std::pair<int, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 8 || !name.starts_with("TFR") || !name.ends_with(".txt"))
            continue;
        const std::string digits = name.substr(3, name.size() - 7);
        int index = 0;
        const auto [end, failed] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (failed != std::errc() || end != digits.data() + digits.size() || targetReportName(index) != name
            || index < yearCount || !entry.is_regular_file(error))
            continue;
        found.emplace_back(index, name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> renamed;
    for (const auto& [index, name] : found) {
        const std::string old = "TFR" + std::to_string(index) + ".old.txt";
        std::filesystem::rename(folder / name, folder / old, error);
        if (!error)
            renamed.push_back(old);
    }
    return renamed;
}

std::string targetStoppedSummary(int fromYear, int finishedYears)
{
    if (finishedYears <= 0)
        return "已停止, 没有完成的年份.";
    const std::string first = std::to_string(fromYear);
    const std::string last = std::to_string(fromYear + finishedYears - 1);
    return "已停止, 已完成 " + (finishedYears == 1 ? first : first + "-" + last) + " 年.";
}

}  // namespace zandor::analysis
