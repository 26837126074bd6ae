// zandor-cli project-ur TABLE ...: the urban-rural projection, run as a user of the
// urban-rural dialog runs it, with the indicators, one text listing or the last year's
// population of both regions as output.
#include <cstdio>
#include <utility>

#include "cli/commands.h"
#include "cli/table_output.h"
#include "cli/schedule_file.h"
#include "projection/urban_rural_projection.h"
#include "tables/table.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

using projection::UrbanRuralGrids;

void writeIndicators(const projection::UrbanRuralResultSet& results, std::FILE* out, const ParsedArgs& args)
{
    const auto& catalogue = projection::urbanRuralCatalogue();
    std::vector<std::vector<double>> values;
    for (int code = 0; code <= projection::urban_rural_indicator::kLastSeries; ++code)
        values.push_back(projection::urbanRuralIndicatorValues(results, code));
    TableOutput csv(out);
    applyWorkbookOption(args, csv, "project-ur");
    csv.text("year");
    for (int code = 0; code <= projection::urban_rural_indicator::kLastSeries; ++code)
        csv.text(catalogue[static_cast<std::size_t>(code)]);
    csv.endRow();
    for (int t = 0; t < results.yearCount; ++t) {
        csv.integer(results.calendarYear(t));
        for (const auto& series : values)
            csv.number(series[static_cast<std::size_t>(t)]);
        csv.endRow();
    }
    csv.finish();
}

void writeAges(const projection::UrbanRuralResultSet& results, std::FILE* out, const ParsedArgs& args)
{
    TableOutput csv(out);
    applyWorkbookOption(args, csv, "project-ur ages");
    for (const char* name : {"age", "rural_male", "rural_female", "urban_male", "urban_female"})
        csv.text(name);
    csv.endRow();
    for (int a = 0; a < results.ageCount; ++a) {
        const auto i = static_cast<std::size_t>(a);
        csv.integer(a);
        csv.number(results.rural.malePopulation[i]);
        csv.number(results.rural.femalePopulation[i]);
        csv.number(results.urban.malePopulation[i]);
        csv.number(results.urban.femalePopulation[i]);
        csv.endRow();
    }
    csv.finish();
}

int runProjectUr(const ParsedArgs& args, Streams& io)
{
    checkWorkbookOption(args);
    if (args.has("listing") && args.has("ages"))
        throw UsageError("--listing and --ages cannot be given together");
    const int baseYear = yearOption(args, "base-year");
    const int endYear = yearOption(args, "end-year");
    checkYearSpan("base-year", baseYear, "end-year", endYear);

    tables::Table table = tables::Table::open(args.positional(0), /*readOnly=*/true);
    projection::SingleRegionInputs rural;
    projection::SingleRegionInputs urban;
    // The dialog as it opens (its years 1990 to 2000), the years set, the grids rebuilt as a
    // double-click on a year box does: the ten field handlers with the new years.
    UrbanRuralGrids grids = projection::openUrbanRuralGrids(10, 1990);
    for (const auto& [field, option] : kFieldOptions) {
        projection::fieldText(rural.fields, field) = args.value("rural-" + std::string(option)).value_or("");
        projection::fieldText(urban.fields, field) = args.value("urban-" + std::string(option)).value_or("");
    }
    bool yearsChanged = true;
    const auto refusals =
        projection::rebuildUrbanRuralYears({rural, urban}, grids, table, baseYear, endYear, yearsChanged);
    // The dialog shows each handler's refusal in turn; the first one ends the command.
    if (!refusals.empty())
        throw Refusal(refusals.front());
    if (auto schedule = args.value("schedule"))
        applyScheduleFile(*schedule, grids, baseYear, endYear);

    const projection::UrbanRuralSchedules schedules = projection::parseUrbanRuralSchedules(rural, urban, grids);
    const projection::UrbanRuralRun run =
        projection::projectUrbanRural(rural, urban, schedules, {.exact = args.has("exact")});
    if (auto listing = args.value("listing"))
        writeLines(projection::urbanRuralTextListing(run.results, *listing), io.out);
    else if (args.has("ages"))
        writeAges(run.results, io.out, args);
    else
        writeIndicators(run.results, io.out, args);
    return 0;
}

}  // namespace

const CommandSpec& projectUrCommand()
{
    static const CommandSpec command{
        .name = "project-ur",
        .summary = "urban-rural population projection",
        .usage = "project-ur TABLE --rural-male-pop F --rural-female-pop F --rural-male-rates F\n"
                 "    --rural-female-rates F --rural-fertility F --urban-male-pop F --urban-female-pop F\n"
                 "    --urban-male-rates F --urban-female-rates F --urban-fertility F\n"
                 "    --base-year N --end-year N [--schedule FILE] [--exact] [--listing TEXT | --ages] [--xlsx OUT.xlsx]",
        .help =
            "Runs the urban-rural projection as a user of the urban-rural dialog does: chooses\n"
            "the ten fields (base-year population, central death rates and fertility rates by\n"
            "single year of age of the rural and of the urban population, one record per age\n"
            "from 0; 71 to 102 records), sets the years and rebuilds the grids as a double-click\n"
            "on a year box does, puts the schedule file's cells into the grids and presses \"运算\".\n"
            "\n"
            "  --schedule FILE  CSV; first line: row,<base year + 1>,...,<end year>; then one line\n"
            "                   per row: its name and one cell text per year. Rows: tfr_rural,\n"
            "                   tfr_urban, sex_ratio_rural, sex_ratio_urban, e0_rural_male,\n"
            "                   e0_rural_female, e0_urban_male, e0_urban_female, rural_pattern_15\n"
            "                   ... rural_pattern_49, urban_pattern_15 ... urban_pattern_49,\n"
            "                   movers_male, movers_female (persons moving from the rural to the\n"
            "                   urban population each year), mover_share_male_0 ...\n"
            "                   mover_share_male_100, mover_share_female_0 ...\n"
            "                   mover_share_female_100 (their distribution over the ages). Rows\n"
            "                   not named keep the texts the dialog put there (movers 0).\n"
            "  --exact          ticks \"精确模式\" on the \"基础数据\" page: the exact mode of\n"
            "                   zandor-cli project for both regions\n"
            "\n"
            "Output (default): CSV with the header 'year' and the indicators 总人口数 ...\n"
            "城市老年人口比重 (catalogue codes 0-26), one row per projected year.\n"
            "  --listing TEXT  the text listing that \"数据显示\" shows for the list text TEXT, line\n"
            "                  by line, the leading empty line included\n"
            "  --ages          CSV age,rural_male,rural_female,urban_male,urban_female: the\n"
            "                  population of the last projected year\n"
            "\n"
            "The program's refusals exit with 2 and the message alone on standard error, for\n"
            "example \"选定原始数据变量不够!\" when one of the ten fields is left out. A schedule\n"
            "cell that is not a number exits with 1, naming the region, the row and the year.\n"
            "\n"
            "--xlsx OUT.xlsx writes the same rows as the Excel workbook OUT.xlsx instead of\n"
            "standard output (numbers as numbers, the header row bold and frozen), whole or\n"
            "not at all.\n",
        .example = "project-ur urban_rural.DB --rural-male-pop 农村男性人口 --rural-female-pop 农村女性人口 \\\n"
                   "      --rural-male-rates 农村男性死亡率 --rural-female-rates 农村女性死亡率 \\\n"
                   "      --rural-fertility 农村年龄别生育率 --urban-male-pop 城镇男性人口 --urban-female-pop 城镇女性人口 \\\n"
                   "      --urban-male-rates 城镇男性死亡率 --urban-female-rates 城镇女性死亡率 \\\n"
                   "      --urban-fertility 城镇年龄别生育率 --base-year 2020 --end-year 2050 > 城乡预测.csv",
        .positionals = {"TABLE"},
        .options = {{"rural-male-pop", true},     {"rural-female-pop", true}, {"rural-male-rates", true},
                    {"rural-female-rates", true}, {"rural-fertility", true},  {"urban-male-pop", true},
                    {"urban-female-pop", true},   {"urban-male-rates", true}, {"urban-female-rates", true},
                    {"urban-fertility", true},    {"base-year", true},        {"end-year", true},
                    {"schedule", true},           {"exact", false},           {"listing", true},
                    {"ages", false},           {"xlsx", true}},
        // A field left out is a field list left empty: the run refuses with the program's
        // own message, as the dialog does.
        .requiredOptions = {"base-year", "end-year"},
        .run = runProjectUr,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
