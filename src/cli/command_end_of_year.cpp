// zandor-cli end-of-year: what "运算" of the end-of-year dialog does, adding the two estimated
// fields to the table and printing the stored whole numbers.
#include <string>

#include "analysis/end_of_year.h"
#include "cli/commands.h"
#include "cli/table_output.h"
#include "tables/numeric_column.h"
#include "tables/result_field.h"
#include "tables/table.h"

namespace zandor::cli {

namespace {

namespace eoy = analysis::end_of_year;

int runEndOfYear(const ParsedArgs& args, Streams& io)
{
    const std::string maleName = args.value("male-field").value_or(std::string(eoy::kDefaultMaleField));
    const std::string femaleName = args.value("female-field").value_or(std::string(eoy::kDefaultFemaleField));
    auto table = tables::Table::open(args.positional(0));
    analysis::EndOfYearInputs in;
    in.malePopulation = tables::readNumericColumn(table, *args.value("male-pop"));
    in.femalePopulation = tables::readNumericColumn(table, *args.value("female-pop"));
    in.maleRates = tables::readNumericColumn(table, *args.value("male-rates"));
    in.femaleRates = tables::readNumericColumn(table, *args.value("female-rates"));
    in.totalText = *args.value("total");
    in.maleBirthsText = *args.value("male-births");
    in.femaleBirthsText = *args.value("female-births");

    const analysis::EndOfYearProblem problem = analysis::checkEndOfYear(in);
    tables::refuseExistingNames(table, {maleName, femaleName});
    const analysis::EndOfYearEstimate estimate = analysis::estimateEndOfYear(problem);
    const analysis::EndOfYearStored stored = analysis::saveEndOfYear(table, estimate, maleName, femaleName);

    TableOutput csv(io.out);
    csv.text("age");
    csv.text(maleName);
    csv.text(femaleName);
    csv.endRow();
    for (std::size_t x = 0; x < stored.male.size(); ++x) {
        csv.integer(static_cast<std::int64_t>(x));
        csv.number(stored.male[x]);
        csv.number(stored.female[x]);
        csv.endRow();
    }
    csv.finish();
    return 0;
}

}  // namespace

const CommandSpec& endOfYearCommand()
{
    static const CommandSpec command{
        .name = "end-of-year",
        .summary = "estimate the end-of-year population by age and sex into two new fields",
        .usage = "end-of-year TABLE --male-pop F --female-pop F --male-rates F --female-rates F\n"
                 "       --total TEXT --male-births TEXT --female-births TEXT\n"
                 "       [--male-field NAME] [--female-field NAME]",
        .help =
            "Does what \"运算\" of the end-of-year dialog (推算年末人口数) does. Record x of TABLE\n"
            "is age x (at least ages 0 to 70):\n"
            "  --male-pop F, --female-pop F      the population at the start of the year\n"
            "  --male-rates F, --female-rates F  the death rates of the year (0 to 1)\n"
            "  --total TEXT                      the known total population at the end of\n"
            "                                    the year (年末总人口数)\n"
            "  --male-births TEXT, --female-births TEXT\n"
            "                                    the year's births (当年男性/女性出生数)\n"
            "  --male-field NAME, --female-field NAME\n"
            "                                    the new fields (defaults Tcm01 and Tcf01)\n"
            "The start population is aged one year with life-table survival ratios, the\n"
            "surviving births go to age 0, and the mortality of both sexes is shifted in steps\n"
            "of 0.02 years of life expectancy until the estimated total is within TOTAL/100000\n"
            "of TOTAL (at most 100000 steps). The two new Float fields get the estimates in\n"
            "whole persons (halves to even). Writes CSV age,NAME_MALE,NAME_FEMALE of the\n"
            "stored numbers.\n"
            "The dialog's refusals (a value out of range, births or total that do not fit the\n"
            "population, a new name the table has, an estimate that does not settle) exit\n"
            "with status 2 and the message; TABLE is then unchanged, as after any failure.\n",
        .example = "end-of-year single_region.DB --male-pop 男性人口 --female-pop 女性人口 "
                   "--male-rates 男性死亡率 --female-rates 女性死亡率 --total 10090000 "
                   "--male-births 52000 --female-births 48000",
        .positionals = {"TABLE"},
        .options = {{"male-pop", true},
                    {"female-pop", true},
                    {"male-rates", true},
                    {"female-rates", true},
                    {"total", true},
                    {"male-births", true},
                    {"female-births", true},
                    {"male-field", true},
                    {"female-field", true}},
        .requiredOptions = {"male-pop", "female-pop", "male-rates", "female-rates", "total", "male-births",
                            "female-births"},
        .run = runEndOfYear,
        .tableHold = TableHold::Exclusive,
    };
    return command;
}

}  // namespace zandor::cli
