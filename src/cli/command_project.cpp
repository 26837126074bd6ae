// zandor-cli project TABLE ...: the single-region projection, run as a user of the
// projection dialog runs it, with the indicators, one text listing or the last year's
// population as output.
#include <cstdio>
#include <utility>

#include "cli/commands.h"
#include "cli/project_output.h"
#include "cli/table_output.h"
#include "cli/schedule_file.h"
#include "projection/indicators.h"
#include "projection/single_region_projection.h"
#include "projection/variants.h"
#include "tables/table.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

using projection::SingleRegionGrids;

// A run's results under the name of its variant.
struct NamedResults {
    std::string_view name;
    const projection::ProjectionResultSet* results;
};

// The indicator rows of one run; with `variant`, a first column holding its name.
void writeIndicatorRows(TableOutput& csv, const projection::ProjectionResultSet& results, const std::vector<int>& codes,
                        const std::string_view* variant)
{
    std::vector<std::vector<double>> values;
    for (int code : codes)
        values.push_back(projection::indicatorValues(results, code));
    for (int t = 0; t < results.yearCount; ++t) {
        if (variant)
            csv.text(*variant);
        csv.integer(results.calendarYear(t));
        for (const auto& series : values)
            csv.number(series[static_cast<std::size_t>(t)]);
        csv.endRow();
    }
}

// The indicators of one run, or of the four variants (a first column `variant`).
void writeIndicators(const std::vector<NamedResults>& runs, bool variants, std::FILE* out, const ParsedArgs& args)
{
    const auto& catalogue = projection::indicatorCatalogue(Edition::Full);
    std::vector<int> codes;
    for (int code = 0; code <= projection::indicator::kMigrantDeaths; ++code)
        if (code != projection::indicator::kAgeStructure)
            codes.push_back(code);

    TableOutput csv(out);
    applyWorkbookOption(args, csv, "project");
    if (variants)
        csv.text("variant");
    csv.text("year");
    for (int code : codes)
        csv.text(catalogue[static_cast<std::size_t>(code)]);
    csv.endRow();
    for (const NamedResults& run : runs)
        writeIndicatorRows(csv, *run.results, codes, variants ? &run.name : nullptr);
    csv.finish();
}

void writeAges(const std::vector<NamedResults>& runs, bool variants, std::FILE* out, const ParsedArgs& args)
{
    TableOutput csv(out);
    applyWorkbookOption(args, csv, "project ages");
    if (variants)
        csv.text("variant");
    csv.text("age");
    csv.text("male");
    csv.text("female");
    csv.endRow();
    for (const NamedResults& run : runs) {
        const projection::ProjectionResultSet& results = *run.results;
        for (int a = 0; a < results.ageCount; ++a) {
            if (variants)
                csv.text(run.name);
            csv.integer(a);
            csv.number(results.malePopulation[static_cast<std::size_t>(a)]);
            csv.number(results.femalePopulation[static_cast<std::size_t>(a)]);
            csv.endRow();
        }
    }
    csv.finish();
}

int runProject(const ParsedArgs& args, Streams& io)
{
    checkWorkbookOption(args);
    writeProjectOutput(args, io.out);
    return 0;
}

}  // namespace

ProjectTotals writeProjectOutput(const ParsedArgs& args, std::FILE* out)
{
    if (args.has("listing") && args.has("ages"))
        throw UsageError("--listing and --ages cannot be given together");
    const bool variants = args.has("variants");
    if (variants && args.has("listing"))
        throw UsageError("--listing and --variants cannot be given together");
    if (args.has("survival-male") != args.has("survival-female"))
        throw UsageError("--survival-male and --survival-female go together");
    const int baseYear = yearOption(args, "base-year");
    const int endYear = yearOption(args, "end-year");
    checkYearSpan("base-year", baseYear, "end-year", endYear);

    tables::Table table = tables::Table::open(args.positional(0), /*readOnly=*/true);
    projection::SingleRegionInputs inputs;
    // The dialog as it opens at the start of a session, then the five field handlers with the
    // years set (the same grids as choosing the fields first and rebuilding for new years).
    SingleRegionGrids grids = projection::openScheduleGrids(0, baseYear);
    for (const auto& [field, option] : kFieldOptions)
        projection::chooseField(inputs, grids, field, args.value(option).value_or(""), table, baseYear, endYear);
    if (args.has("migrants"))
        projection::chooseMigrantOption(inputs, grids, true, baseYear, Edition::Full);
    if (auto schedule = args.value("schedule"))
        applyScheduleFile(*schedule, grids, baseYear, endYear);

    projection::RunOptions options;
    options.urbanShareText = args.value("urban-share").value_or(options.urbanShareText);
    options.migrantStockText = args.value("migrant-stock").value_or(options.migrantStockText);
    options.exact = args.has("exact");
    if (args.has("survival-male")) {
        options.mortality = projection::MortalityOption::SurvivalCurves;
        options.maleSurvival = projection::loadAgeSeries(table, *args.value("survival-male"));
        options.femaleSurvival = projection::loadAgeSeries(table, *args.value("survival-female"));
    }
    const projection::SingleRegionSchedules schedules = projection::parseSchedules(inputs, grids, options);

    // The runs, all of them before anything is written: a refused variant leaves no output.
    std::vector<projection::ProjectionResultSet> results;
    std::vector<NamedResults> named;
    if (variants) {
        for (projection::VariantRun& run : projection::projectVariants(inputs, schedules, options)) {
            if (!run.run)
                throw Refusal(run.refusal);
            results.push_back(std::move(run.run->results));
        }
        for (std::size_t i = 0; i < results.size(); ++i)
            named.push_back({projection::variantName(projection::kVariants[i]), &results[i]});
    } else {
        results.push_back(projection::projectSingleRegion(inputs, schedules, options).results);
        named.push_back({projection::variantName(projection::Variant::Medium), &results[0]});
    }

    if (auto listing = args.value("listing"))
        writeLines(projection::textListing(results[0], *listing, Edition::Full), out);
    else if (args.has("ages"))
        writeAges(named, variants, out, args);
    else
        writeIndicators(named, variants, out, args);

    ProjectTotals totals;
    const projection::ProjectionResultSet& first = results[0];
    if (first.yearCount > 0) {
        totals.first = first.total.front();
        totals.last = first.total[static_cast<std::size_t>(first.yearCount) - 1];
    }
    return totals;
}

const CommandSpec& projectCommand()
{
    static const CommandSpec command{
        .name = "project",
        .summary = "single-region population projection",
        .usage = "project TABLE --male-pop FIELD --female-pop FIELD --male-rates FIELD\n"
                 "    --female-rates FIELD --fertility FIELD --base-year N --end-year N\n"
                 "    [--schedule FILE] [--urban-share TEXT] [--migrants] [--migrant-stock TEXT]\n"
                 "    [--survival-male FIELD --survival-female FIELD] [--exact] [--variants]\n"
                 "    [--listing TEXT | --ages] [--xlsx OUT.xlsx]",
        .help =
            "Runs the single-region cohort-component projection as a user of the projection\n"
            "dialog does: chooses the five fields (base-year population, central death rates\n"
            "and fertility rates by single year of age, one record per age from 0; at least\n"
            "71 records), sets the base and end year, chooses \"包含流动人口\" with --migrants,\n"
            "puts the schedule file's cells into the grids, chooses the new survival curves\n"
            "with the two --survival-* fields (lx by age), and presses \"开始预测\".\n"
            "\n"
            "  --base-year, --end-year  calendar years from 0 to 9999, the end year at most 1000\n"
            "                        years after the base year (anything else is refused, exit 2)\n"
            "  --urban-share TEXT    base-year urban share, 0 to 1 (default 0.26; outside, exit 2)\n"
            "  --migrant-stock TEXT  migrant population at the start (default 50000)\n"
            "  --schedule FILE       CSV; first line: row,<base year + 1>,...,<end year>; then one\n"
            "                        line per row: its name and one cell text per year. Rows: tfr,\n"
            "                        e0_male, e0_female, sex_ratio, pattern_15 ... pattern_49,\n"
            "                        new_migrants, migrant_birth_rate, migrant_death_rate. Rows\n"
            "                        not named keep the base-year values. A life-expectancy or\n"
            "                        TFR row counts as changed when a cell differs as text from\n"
            "                        the base-year value (e0 as #####.####, TFR as #####.##).\n"
            "  --exact               ticks \"精确模式\": each e0 target is met on the life table's\n"
            "                        own e0 (a year whose cell keeps the base text keeps the base\n"
            "                        table), the oldest age survives as an open group and the\n"
            "                        deaths are fully accounted; listing headings say so\n"
            "  --variants            runs the schedules as given (中方案) and three variants of them:\n"
            "                        高方案 (every year's TFR + 0.5), 低方案 (TFR - 0.5, not below\n"
            "                        0) and 不变方案 (every year's TFR equal to the base year's, the\n"
            "                        fertility field's sum); the CSV gets a first column 'variant'\n"
            "                        and the rows of the four in that order. When one variant is\n"
            "                        refused, nothing is written and the exit status is 2, the\n"
            "                        message naming it (\"高方案: ...\"). Not with --listing.\n"
            "\n"
            "Output (default): CSV with the header 'year' and the indicators 总人口数 ...\n"
            "流动人口死亡数 (catalogue codes 0-20 and 22-34), one row per projected year; births,\n"
            "deaths and natural increase unrounded.\n"
            "  --listing TEXT  the text listing that \"数据显示\" shows for the list text TEXT, line\n"
            "                  by line, the leading empty line included\n"
            "  --ages          CSV age,male,female: the population of the last projected year\n"
            "\n"
            "The program's refusals exit with 2 and the message alone on standard error, for\n"
            "example \"选定原始数据变量不够!\" when one of the five fields is left out or empty,\n"
            "\"数据格式不正确.\" when a field handler finds a value out of range. A schedule cell\n"
            "or box text that is not a number exits with 1, naming the row and the year.\n"
            "\n"
            "--xlsx OUT.xlsx writes the same rows as the Excel workbook OUT.xlsx instead of\n"
            "standard output (numbers as numbers, the header row bold and frozen), whole or\n"
            "not at all.\n",
        .example = "project single_region.DB --male-pop 男性人口 --female-pop 女性人口 \\\n      --male-rates 男性死亡率 --female-rates 女性死亡率 --fertility 年龄别生育率 \\\n      --base-year 2020 --end-year 2050 --variants > 预测.csv",
        .positionals = {"TABLE"},
        .options = {{"male-pop", true},       {"female-pop", true},     {"male-rates", true},
                    {"female-rates", true},   {"fertility", true},      {"base-year", true},
                    {"end-year", true},       {"schedule", true},       {"urban-share", true},
                    {"migrants", false},      {"migrant-stock", true},  {"survival-male", true},
                    {"survival-female", true}, {"exact", false},        {"listing", true},
                    {"ages", false},          {"variants", false},       {"xlsx", true}},
        // A field left out is a field list left empty: the run refuses with the program's
        // own message, as the dialog does.
        .requiredOptions = {"base-year", "end-year"},
        .run = runProject,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
