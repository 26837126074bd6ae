// zandor-cli target-plan: the population target dialog's search for the fertility that meets
// a population target, year by year, as CSV, with the report files TFR<index>.txt.
#include <charconv>
#include <cinttypes>
#include <filesystem>
#include <string>

#include "analysis/target_planning.h"
#include "cli/commands.h"
#include "cli/table_output.h"
#include "text/refusal.h"
#include "tables/table.h"

namespace zandor::cli {

namespace {

template <typename Number>
Number wholeOption(const ParsedArgs& args, const char* name, Number lowest, Number highest)
{
    const std::string text = *args.value(name);
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        throw UsageError("option '--" + std::string(name) + "' takes a whole number from " + std::to_string(lowest)
                         + " to " + std::to_string(highest) + ", not '" + text + "'");
    return value;
}

int runTargetPlan(const ParsedArgs& args, Streams& io)
{
    if (args.has("xlsx") && args.has("births-only"))
        throw Refusal("--xlsx is for the full plan, not with --births-only");
    checkWorkbookOption(args);
    using namespace analysis;
    const std::filesystem::path tablePath = args.positional(0);
    const int from = wholeOption(args, "from", 1500, 3000);
    const int to = wholeOption(args, "to", 1500, 3000);
    const int threads = args.has("threads") ? wholeOption(args, "threads", 1, 1024) : 0;
    const std::uint64_t seed = args.has("seed") ? wholeOption<std::uint64_t>(args, "seed", 0, UINT64_MAX) : clockSeed();
    const std::array<std::string, 4> fields = {*args.value("male-pop"), *args.value("female-pop"),
                                               *args.value("male-rates"), *args.value("female-rates")};

    TargetPlanningTexts texts;
    for (auto [option, text] : {std::pair{"target", &texts.target}, {"individuals", &texts.individuals},
                                {"crossover", &texts.crossover}, {"mutation", &texts.mutation},
                                {"pressure", &texts.pressure}, {"generations", &texts.generations},
                                {"runs", &texts.runs}, {"range", &texts.range}})
        if (auto value = args.value(option))
            *text = *value;

    // The field loaders of the dialog, in the order of its lists, then "&OK".
    auto table = tables::Table::open(tablePath.string(), /*readOnly=*/true);
    TargetPlanningInput input;
    input.malePopulation = loadTargetSeries(table, fields[0], TargetSeries::Population);
    input.femalePopulation = loadTargetSeries(table, fields[1], TargetSeries::Population);
    input.maleRates = loadTargetSeries(table, fields[2], TargetSeries::DeathRates);
    input.femaleRates = loadTargetSeries(table, fields[3], TargetSeries::DeathRates);
    input.fertility = loadTargetSeries(table, *args.value("fertility"), TargetSeries::Fertility);
    input.fromYear = from;
    input.toYear = to;
    input.mode = args.value("mode").value_or("constant") == "cohorts" ? BirthsMode::EqualCohorts
                                                                       : BirthsMode::ConstantBirths;
    checkTargetChoice(fields, from, to);
    const TargetPlanningSettings settings = parseTargetSettings(texts);
    const TargetBirths births = prepareTargetBirths(input, settings);

    TableOutput csv(io.out);
    applyWorkbookOption(args, csv, "target-plan");
    if (args.has("births-only")) {
        for (const char* name : {"year", "births", "women_15_49", "mean_age"})
            csv.text(name);
        csv.endRow();
        for (int y = 0; y < births.yearCount; ++y) {
            csv.integer(from + y);
            csv.number(births.births[y]);
            csv.number(births.womenCount[y]);
            csv.number(births.meanAge[y]);
            csv.endRow();
        }
        csv.finish();
        return 0;
    }

    checkRequiredBirths(births);  // a target reached without births needs no search
    if (!args.has("seed")) {
        std::fprintf(io.err, "seed: %" PRIu64 "\n", seed);
        std::fflush(io.err);
    }
    TargetSearchOptions options;
    options.seed = seed;
    options.threads = threads;
    const std::filesystem::path reportDir = args.has("report-dir")
                                                ? std::filesystem::path(*args.value("report-dir"))
                                                : std::filesystem::absolute(tablePath).parent_path();
    requireWritableReportFolder(reportDir);
    requireWritableReports(reportDir, births.yearCount);
    for (const std::string& name : setAsideStaleReports(reportDir, births.yearCount))
        std::fprintf(io.err, "上次的报告已改名: %s\n", name.c_str());
    // Each year's report is written as the year is done, so that a later year that fails
    // leaves the earlier reports.
    const TargetSearchResult result =
        searchTargetFertility(births, settings, options, {},
                              [&](const TargetYearResult& year) { writeTargetReport(reportDir, births, year); });

    for (const char* name : {"year", "births", "women_15_49", "mean_age", "mean_tfr", "tfr_up", "tfr_low",
                             "converged", "retained"})
        csv.text(name);
    csv.endRow();
    for (const TargetYearResult& year : result.years) {
        const int y = year.yearIndex;
        csv.integer(from + y);
        csv.number(births.births[y]);
        csv.number(births.womenCount[y]);
        csv.number(births.meanAge[y]);
        csv.number(year.meanTfr);
        csv.number(year.tfrUp);
        csv.number(year.tfrLow);
        csv.integer(year.converged);
        csv.integer(year.retained);
        csv.endRow();
    }
    csv.finish();
    return 0;
}

}  // namespace

const CommandSpec& targetPlanCommand()
{
    static const CommandSpec command{
        .name = "target-plan",
        .summary = "the fertility that keeps a population on a target (genetic search)",
        .usage = "target-plan TABLE --male-pop F --female-pop F --male-rates F --female-rates F\n"
                 "       --fertility F --from N --to N [--target TEXT] [--mode constant|cohorts]\n"
                 "       [--individuals N] [--crossover P] [--mutation P] [--pressure Q]\n"
                 "       [--generations G] [--runs R] [--range K] [--seed S] [--threads N]\n"
                 "       [--report-dir DIR] [--births-only] [--xlsx OUT.xlsx]",
        .help =
            "Does what the population target dialog does: ages the base population of TABLE\n"
            "(record k is age k) without births from year N (--from) to year N (--to), derives\n"
            "the births each planning year must bring for the population to reach the target,\n"
            "and searches for every planning year, with a genetic algorithm run many times,\n"
            "the fertility rates of ages 15-49 that give those births.\n"
            "  --male-pop F, --female-pop F      base population by age\n"
            "  --male-rates F, --female-rates F  central death rates by age (0 to 1)\n"
            "  --fertility F                     the reference fertility schedule\n"
            "  --target TEXT          population at the end of the period (default 1260000000)\n"
            "  --mode constant|cohorts\n"
            "                         the same births every year (default), or births whose\n"
            "                         survivors at the end are equal\n"
            "  --individuals N (100), --crossover P (0.2), --mutation P (0.5),\n"
            "  --pressure Q (0.05), --generations G (300), --runs R (500), --range K (2.0)\n"
            "                         the search's settings, as typed in the dialog\n"
            "  --seed S               the generators' seed (default from the clock, printed on\n"
            "                         standard error as 'seed: S'); the same seed gives the same\n"
            "                         output and reports whatever the number of threads\n"
            "  --threads N            threads for the runs (default every core)\n"
            "  --report-dir DIR       where TFR<index>.txt go (default the table's folder)\n"
            "  --births-only          no search: CSV year,births,women_15_49,mean_age only\n"
            "                         (births of 0 or below included)\n"
            "Writes CSV year,births,women_15_49,mean_age,mean_tfr,tfr_up,tfr_low,converged,\n"
            "retained, one row per planning year (year = From + year index). Required births of\n"
            "0 or below (the target is reached without births) are refused at once with a\n"
            "message naming the year and the births, exit status 2. A year without a\n"
            "converged run, without women 15-49, or a zero L ends with its message and exit\n"
            "status 2; the report files of the years before it stay, and no CSV is written.\n"
            "\n"
            "--xlsx OUT.xlsx writes the same rows as the Excel workbook OUT.xlsx instead of\n"
            "standard output (numbers as numbers, the header row bold and frozen), whole or\n"
            "not at all.\n",
        .example = "target-plan single_region.DB --male-pop 男性人口 --female-pop 女性人口 \\\n"
                   "      --male-rates 男性死亡率 --female-rates 女性死亡率 --fertility 年龄别生育率 \\\n"
                   "      --from 2020 --to 2030 --births-only",
        .positionals = {"TABLE"},
        .options = {{"male-pop", true},
                    {"female-pop", true},
                    {"male-rates", true},
                    {"female-rates", true},
                    {"fertility", true},
                    {"from", true},
                    {"to", true},
                    {"target", true},
                    {"mode", true, {"constant", "cohorts"}},
                    {"individuals", true},
                    {"crossover", true},
                    {"mutation", true},
                    {"pressure", true},
                    {"generations", true},
                    {"runs", true},
                    {"range", true},
                    {"seed", true},
                    {"threads", true},
                    {"report-dir", true},
                    {"births-only", false},
                    {"xlsx", true}},
        .requiredOptions = {"male-pop", "female-pop", "male-rates", "female-rates", "fertility", "from", "to"},
        .run = runTargetPlan,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
