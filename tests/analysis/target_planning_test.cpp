// Target planning: the aging and required births worked by hand, the births modes on the
// sample table, the genes' limits, the mutation's direct draw, runs of unreachable births
// ending at the cap, the same results on one and two threads, a stop between runs, the report
// and status texts, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "../cli/cli_test_support.h"
#include "analysis/target_planning.h"
#include "analysis/target_search.h"
#include "tables/table.h"
#include "text/refusal.h"

namespace zandor::analysis {
namespace {

using cli::testing::readFile;
using cli::testing::ScratchDir;

// 71 ages without deaths below the last: everyone moves up one age a year.
TargetPlanningInput noDeaths()
{
    TargetPlanningInput in;
    in.malePopulation.assign(71, 0);
    in.femalePopulation.assign(71, 0);
    in.maleRates.assign(71, 0);
    in.femaleRates.assign(71, 0);
    in.maleRates.back() = in.femaleRates.back() = 0.5;
    in.fertility.assign(71, 0);
    for (int x = 15; x <= 49; ++x)
        in.fertility[x] = kTargetRateLimits[x - 15] / 4;
    in.malePopulation[40] = 500;
    in.femalePopulation[20] = in.femalePopulation[30] = 1000;
    in.fromYear = 2000;
    in.toYear = 2002;
    return in;
}

TargetPlanningInput sampleInput(BirthsMode mode, int years)
{
    auto table = tables::Table::open(ZANDOR_SOURCE_DIR "/samples/single_region.DB", true);
    TargetPlanningInput in;
    in.malePopulation = loadTargetSeries(table, "男性人口", TargetSeries::Population);
    in.femalePopulation = loadTargetSeries(table, "女性人口", TargetSeries::Population);
    in.maleRates = loadTargetSeries(table, "男性死亡率", TargetSeries::DeathRates);
    in.femaleRates = loadTargetSeries(table, "女性死亡率", TargetSeries::DeathRates);
    in.fertility = loadTargetSeries(table, "年龄别生育率", TargetSeries::Fertility);
    in.fromYear = 2000;
    in.toYear = 2000 + years;
    in.mode = mode;
    return in;
}

TargetPlanningSettings defaults() { return parseTargetSettings({}); }

// The births of the sample for a target about 99000 births a year above the aged population,
// near what its reference schedule gives.
TargetBirths reachableBirths(BirthsMode mode, int years, TargetPlanningSettings& settings)
{
    const auto aged = prepareTargetBirths(sampleInput(mode, years), settings).agedPopulation;
    settings.target = aged + 99000.0 * years;
    return prepareTargetBirths(sampleInput(mode, years), settings);
}

// Without deaths: women 20 and 30 (W = 2000, mean age 25), a year later 21 and 31; the aged
// population keeps its 2500 persons; L0 = L(y) = 1, so both modes need (target - 2500) / Y.
TEST(TargetPlanning, AgingAndBirthsByHand)
{
    auto settings = defaults();
    settings.target = 3500;
    for (auto mode : {BirthsMode::ConstantBirths, BirthsMode::EqualCohorts}) {
        auto in = noDeaths();
        in.mode = mode;
        const TargetBirths b = prepareTargetBirths(in, settings);
        EXPECT_EQ(b.womenCount, (std::vector<double>{2000, 2000}));
        EXPECT_EQ(b.meanAge, (std::vector<double>{25, 26}));
        EXPECT_EQ(b.womenAt(21, 1), 1000);
        EXPECT_EQ(b.agedPopulation, 2500);
        ASSERT_EQ(b.births.size(), 2u);
        EXPECT_NEAR(b.births[0], 500, 1e-9);
        EXPECT_NEAR(b.births[1], 500, 1e-9);
    }
}

TEST(TargetPlanning, BirthsModesOnTheSample)
{
    auto settings = defaults();
    settings.target = 9900000;
    const auto constant = prepareTargetBirths(sampleInput(BirthsMode::ConstantBirths, 10), settings);
    const auto cohorts = prepareTargetBirths(sampleInput(BirthsMode::EqualCohorts, 10), settings);
    EXPECT_EQ(constant.agedPopulation, cohorts.agedPopulation);
    EXPECT_GT(constant.need, 0);
    for (double v : constant.births)
        EXPECT_EQ(v, constant.births[0]);
    for (std::size_t y = 1; y < cohorts.births.size(); ++y)
        EXPECT_LT(cohorts.births[y], cohorts.births[y - 1]);

    settings.target = constant.agedPopulation;
    for (double v : prepareTargetBirths(sampleInput(BirthsMode::EqualCohorts, 10), settings).births)
        EXPECT_EQ(v, 0);
}

// Runs of small populations on the sample: every gene within its age's limit (so a TFR of at
// most 12.247, the limits' sum) and at least f / k from the initial population on; a
// converged run's best curve gives the year's births within one birth.
TEST(TargetPlanning, GenesStayWithinTheirLimits)
{
    auto settings = parseTargetSettings({.individuals = "30", .generations = "150"});
    const auto births = reachableBirths(BirthsMode::ConstantBirths, 1, settings);
    const auto problem = target_search::makeProblem(births, settings, 0);
    target_search::Scratch scratch(settings.individuals);
    EXPECT_NEAR(std::accumulate(kTargetRateLimits.begin(), kTargetRateLimits.end(), 0.0), 12.247, 1e-12);
    int converged = 0;
    for (std::uint64_t run = 0; run < 12; ++run) {
        target_search::Generator random(7, 0, run);
        const auto out = target_search::runOnce(problem, random, scratch);
        converged += out.converged;
        if (out.converged) {
            EXPECT_LT(std::abs(problem.birthsOf(out.best.data()) - births.births[0]), 1.0);
        }
        for (int j = 0; j < kTargetGenes; ++j)
            for (int i = 0; i < settings.individuals; ++i)
                for (double gene : {scratch.population[i * kTargetGenes + j], out.best[j]}) {
                    ASSERT_GT(gene, 0);
                    ASSERT_LE(gene, kTargetRateLimits[j]);
                }
    }
    EXPECT_GT(converged, 0);
}

// The mutation's draw worked by hand: a gene of 0.3 stepping down by up to 0.5. The rejection
// loop's attempt 0 passes with probability 0.3 / 0.5 = 0.6, landing anywhere in (0, 0.3];
// attempt 1 reaches 0.25 and always passes, landing in [0.05, 0.3]. So 0.6 / 6 = 10 % of the
// genes fall below 0.05, and their mean is 0.3 - (0.6 x 0.15 + 0.4 x 0.125) = 0.16. Genes of
// any size and step stay within (0, limit] and at most 2 k f; a gene at its limit stepping up
// stays; an initial gene lies within [f / k, min(limit, k f)].
TEST(TargetPlanning, MutationDrawsWhatTheRejectionLoopKept)
{
    using target_search::mutatedGene;
    target_search::Generator random(3, 0, 0);
    constexpr int kDraws = 40000;
    int low = 0;
    double sum = 0;
    for (int i = 0; i < kDraws; ++i) {
        const double gene = mutatedGene(0.3, -0.5, 1.0, 2.0, random);
        ASSERT_GT(gene, 0);
        ASSERT_LE(gene, 0.3);
        low += gene < 0.05 ? 1 : 0;
        sum += gene;
    }
    EXPECT_NEAR(low / double(kDraws), 0.10, 0.01);
    EXPECT_NEAR(sum / kDraws, 0.16, 0.003);

    EXPECT_EQ(mutatedGene(1.0, 0.5, 1.0, 2.0, random), 1.0);
    for (int i = 0; i < kDraws; ++i) {
        const double limit = 0.01 + random.uniform();
        const double widest = 0.01 + 2 * random.uniform();
        const double upper = std::min(limit, widest);
        const double gene = upper * std::pow(random.uniform(), 40.0 * random.uniform());  // often near 0 or upper
        const double step = (2 * random.uniform() - 1) * widest * widest;
        if (!(gene > 0))
            continue;
        const double moved = mutatedGene(gene, step, limit, widest, random);
        ASSERT_TRUE(moved > 0 && moved <= upper && (moved < limit || moved == gene)) << gene << " " << step;
    }
    for (int i = 0; i < 1000; ++i) {
        const double gene = target_search::initialGene(0.1, 0.14, 2.0, random);
        ASSERT_TRUE(gene >= 0.05 && gene <= 0.14) << gene;
    }
}

// Births the genes cannot give: fewer than none (they shrink towards 0) or more than the
// largest genes give (they press against their limits). A run of such a year used to spend
// minutes in the rejection loops; now every run ends at the generation cap, its genes within
// their limits.
TEST(TargetPlanning, UnreachableBirthsEndEveryRunAtTheCap)
{
    auto settings = defaults();
    settings.target = 9900000;
    const auto births = prepareTargetBirths(sampleInput(BirthsMode::ConstantBirths, 1), settings);
    target_search::Scratch scratch(settings.individuals);
    for (double wanted : {-45286.0, 1555897.0}) {
        auto problem = target_search::makeProblem(births, settings, 0);
        problem.births = wanted;
        for (std::uint64_t run = 0; run < 3; ++run) {
            target_search::Generator random(11, 0, run);
            const auto out = target_search::runOnce(problem, random, scratch);
            EXPECT_FALSE(out.converged);
            EXPECT_EQ(out.generation, settings.generations + 1);
            for (int i = 0; i < settings.individuals; ++i)
                for (int j = 0; j < kTargetGenes; ++j) {
                    const double gene = scratch.population[i * kTargetGenes + j];
                    ASSERT_TRUE(gene > 0 && gene <= kTargetRateLimits[j]) << wanted << " " << gene;
                }
        }
    }
}

struct Search {
    TargetSearchResult result;
    std::vector<std::string> reports;
};

Search searchSample(int threads, const ScratchDir& dir, std::stop_source* stopAfterRuns = nullptr, int runs = 0)
{
    auto settings = parseTargetSettings({.runs = "8"});
    const auto births = reachableBirths(BirthsMode::EqualCohorts, 3, settings);
    TargetSearchOptions options;
    options.seed = 20240611;
    options.threads = threads;
    Feedback feedback;
    if (stopAfterRuns)
        feedback = Feedback(stopAfterRuns->get_token(), [=](long long finished, long long, std::string_view) {
            if (finished == runs)
                stopAfterRuns->request_stop();
        });
    Search s{searchTargetFertility(births, settings, options, feedback,
                                   [&](const TargetYearResult& year) { writeTargetReport(dir.path(), births, year); }),
             {}};
    for (const auto& name : dir.files())
        s.reports.push_back(readFile(dir.path() / name));
    return s;
}

TEST(TargetPlanning, SameResultsOnOneAndTwoThreads)
{
    ScratchDir one, two;
    const auto a = searchSample(1, one);
    const auto b = searchSample(2, two);
    EXPECT_EQ(one.files(), (std::vector<std::string>{"TFR0.txt", "TFR1.txt", "TFR2.txt"}));
    EXPECT_EQ(a.reports, b.reports);
    ASSERT_EQ(a.result.years.size(), 3u);
    for (std::size_t y = 0; y < 3; ++y) {
        EXPECT_EQ(targetYearSummary(a.result.years[y]), targetYearSummary(b.result.years[y]));
        EXPECT_EQ(a.result.years[y].meanSchedule, b.result.years[y].meanSchedule);
        EXPECT_LE(a.result.years[y].tfrLow, a.result.years[y].meanTfr);
    }
}

// Stopped during the second year: the first year's report stays, the second is not written.
TEST(TargetPlanning, StopBetweenRunsKeepsFinishedYears)
{
    ScratchDir dir;
    std::stop_source stop;
    const auto s = searchSample(2, dir, &stop, 11);
    EXPECT_TRUE(s.result.stopped);
    EXPECT_EQ(s.result.years.size(), 1u);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"TFR0.txt"}));
}

// A year without a converged run ends the search; the report its caller wrote for the year
// before it stays.
TEST(TargetPlanning, FailingYearLeavesEarlierReports)
{
    ScratchDir dir;
    auto settings = parseTargetSettings({.runs = "4"});
    auto births = reachableBirths(BirthsMode::ConstantBirths, 2, settings);
    births.births[1] = 1e9;  // beyond any schedule within the limits
    EXPECT_THROW(searchTargetFertility(births, settings, {.seed = 3, .threads = 2}, {},
                                       [&](const TargetYearResult& year) {
                                           writeTargetReport(dir.path(), births, year);
                                       }),
                 Refusal);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"TFR0.txt"}));
}

TEST(TargetPlanning, ReportAndStatusTexts)
{
    auto settings = defaults();
    settings.target = 3500;
    const auto b = prepareTargetBirths(noDeaths(), settings);
    TargetYearResult year;
    year.yearIndex = 1;
    year.meanSchedule.fill(0.1);
    year.meanTfr = 3.5;
    year.tfrUp = 3.75;
    year.tfrLow = 3.25;
    year.converged = 480;
    year.retained = 470;
    year.lastBirths = 500.25;
    year.lastGeneration = 17;
    EXPECT_EQ(targetYearSummary(year), "Birth:500.25finished   17TFR_up:3.75TFR_low:3.25mean_TFR:3.5");
    EXPECT_EQ(targetCurvesSummary(year), "480last_curve:470");

    const std::string report = targetReport(b, year);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = report.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(report.substr(at, end - at));
    ASSERT_EQ(lines.size(), 35u + 16);
    EXPECT_EQ(lines[0], "0.1    0  0");          // age 15: no women
    EXPECT_EQ(lines[21 - 15], "0.1    440  900");  // age 21: 1000 women, limit 0.54
    const std::vector<std::string> tail(lines.begin() + 35, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{" ", "birth:500", "women mean age:26", "pop Size of birth women:2000", " ",
                                              "mean_TFR:3.5", "TFR_up:3.75", "TFR_low:3.25", " male survive", "1", "1",
                                              "1", " female survive ", "1", "1", "1"}));
    EXPECT_EQ(targetReportName(3), "TFR3.txt");
}

TEST(TargetPlanning, Refusals)
{
    auto refusal = [](auto&& call) -> std::string {
        try {
            call();
        } catch (const Refusal& e) {
            return e.what();
        }
        return "(accepted)";
    };
    EXPECT_EQ(refusal([&] { checkTargetChoice({"a", "b", "", "d"}, 1990, 2000); }), "Not enough variable selected!");
    EXPECT_EQ(refusal([&] { checkTargetChoice({"a", "b", "c", "d"}, 2000, 2000); }),
              "Please Redefine the Restrospect Years Aagain!");
    EXPECT_EQ(refusal([&] { checkTargetSeries(std::vector<double>(50, 0.0), TargetSeries::Fertility); }), "数据格式不正确.");
    EXPECT_EQ(refusal([&] { checkTargetSeries({0.5, 1.5}, TargetSeries::DeathRates); }), "数据格式不正确.");
    EXPECT_EQ(refusal([&] { checkTargetSeries({10, -1}, TargetSeries::Population); }), "数据格式不正确.");
    EXPECT_EQ(refusal([&] { parseTargetSettings({.individuals = "1e2"}); }), "个体数 (Edit1): “1e2”不是有效的整数");
    EXPECT_EQ(refusal([&] { parseTargetSettings({.target = "x"}); }), "人口目标 (Edit7): “x”不是有效的数值");
    EXPECT_EQ(refusal([&] { parseTargetSettings({.range = "1"}); }), "The range factor must be above 1.");
    EXPECT_EQ(refusal([&] { parseTargetSettings({.runs = "0"}); }),
              "The population size, the generations and the runs must each be at least 1.");

    auto settings = defaults();
    auto in = noDeaths();
    in.fertility.clear();
    EXPECT_EQ(refusal([&] { prepareTargetBirths(in, settings); }),
              "No reference fertility schedule: choose the ASFertility Rate field first.");
    in = noDeaths();
    in.fertility[15] = 0.3;  // 0.3 / 2 above the limit 0.14 of age 15: no gene can be drawn
    EXPECT_NE(refusal([&] { prepareTargetBirths(in, settings); }).find("at age 15"), std::string::npos);
    in = noDeaths();
    in.femalePopulation.assign(71, 0);
    EXPECT_EQ(refusal([&] { prepareTargetBirths(in, settings); }),
              "Division by zero: no women aged 15-49 at the start of 2000.");
    in = noDeaths();
    in.maleRates.back() = 0;
    EXPECT_NE(refusal([&] { prepareTargetBirths(in, settings); }).find("male person-years L at age 70"), std::string::npos);

    // A target the aged population meets without births is answered before any search.
    settings = defaults();
    settings.target = 3500;
    auto reached = prepareTargetBirths(noDeaths(), settings);
    reached.births[1] = 0;
    EXPECT_EQ(refusal([&] { searchTargetFertility(reached, settings, TargetSearchOptions{}); }),
              "The target is reached without births: the births required in 2001 are 0.");

    // A target that the search cannot reach in one generation: no run converges.
    settings = parseTargetSettings({.individuals = "5", .generations = "1", .runs = "2"});
    settings.target = 1260000000;
    const auto births = prepareTargetBirths(sampleInput(BirthsMode::ConstantBirths, 2), settings);
    EXPECT_EQ(refusal([&] { searchTargetFertility(births, settings, TargetSearchOptions{}); }),
              "Division by zero: no run converged in 2000.");
}

}  // namespace
}  // namespace zandor::analysis
