// zandor-cli lifetable: the period life table of the life-table dialog, from death rates or
// from deaths and population, as CSV.
#include <stdexcept>
#include <utility>

#include "analysis/life_table.h"
#include "cli/commands.h"
#include "cli/table_output.h"
#include "tables/table.h"
#include "text/numbers.h"

namespace zandor::cli {

namespace {

analysis::AValueMethod methodOf(const std::string& name)
{
    if (name == "chiang")
        return analysis::AValueMethod::Chiang;
    if (name == "coale-demeny")
        return analysis::AValueMethod::CoaleDemeny;
    if (name == "un")
        return analysis::AValueMethod::UN;
    return analysis::AValueMethod::Uniform;
}

analysis::LifeTableInput inputOf(const ParsedArgs& args)
{
    const bool rates = args.has("rates");
    const bool counts = args.has("population") || args.has("deaths");
    if (rates && counts)
        throw UsageError("give either --rates or --population and --deaths, not both");
    if (!rates && !counts)
        throw UsageError("missing option '--rates' (or '--population' and '--deaths')");
    if (counts && !args.has("population"))
        throw UsageError("missing option '--population'");
    if (counts && !args.has("deaths"))
        throw UsageError("missing option '--deaths'");

    analysis::LifeTableInput input;
    if (rates) {
        input.mode = analysis::MortalityInput::Rates;
        input.ratesField = *args.value("rates");
    } else {
        input.mode = analysis::MortalityInput::DeathCounts;
        input.populationField = *args.value("population");
        input.deathsField = *args.value("deaths");
    }
    input.width = args.value("width").value_or("1") == "5" ? analysis::AgeWidth::Abridged
                                                            : analysis::AgeWidth::Single;
    input.method = methodOf(args.value("method").value_or("uniform"));
    if (auto sex = args.value("sex"))
        input.sex = *sex;
    if (auto a0 = args.value("a0"))
        input.uniformA0 = *a0;
    if (auto a1 = args.value("a1"))
        input.uniformA1 = *a1;
    // The dialog reads the two boxes only for the uniform method; so does the command.
    if (input.method == analysis::AValueMethod::Uniform)
        for (const auto& [option, value] : {std::pair{"--a0", input.uniformA0}, std::pair{"--a1", input.uniformA1}})
            if (!text::parseNumber(value))
                throw std::runtime_error(std::string(option) + ": " + text::invalidNumberMessage(value));
    return input;
}

int runLifeTable(const ParsedArgs& args, Streams& io)
{
    checkWorkbookOption(args);
    const analysis::LifeTableInput input = inputOf(args);
    auto table = tables::Table::open(args.positional(0), /*readOnly=*/true);
    const analysis::LifeTable result = analysis::computeLifeTable(table, input);
    const text::TextGrid grid = analysis::lifeTableGrid(result);

    TableOutput csv(io.out);
    applyWorkbookOption(args, csv, "lifetable");
    for (int c = 0; c < grid.columnCount(); ++c)
        csv.text(grid.cell(0, c));
    csv.endRow();
    const bool formatted = args.has("formatted");
    for (std::size_t k = 0; k < result.groupCount(); ++k) {
        if (formatted) {
            for (int c = 0; c < grid.columnCount(); ++c)
                csv.text(grid.cell(static_cast<int>(k) + 1, c));
        } else {
            csv.integer(static_cast<std::int64_t>(k));
            for (const auto* column : {&result.mx, &result.qx, &result.lx, &result.dx, &result.Lx,
                                       &result.Tx, &result.ex})
                csv.number((*column)[k]);
        }
        csv.endRow();
    }
    csv.finish();
    return 0;
}

}  // namespace

const CommandSpec& lifeTableCommand()
{
    static const CommandSpec command{
        .name = "lifetable",
        .summary = "a period life table from death rates or from deaths and population",
        .usage = "lifetable TABLE (--rates FIELD | --population FIELD --deaths FIELD)\n"
                 "       [--width 1|5] [--method uniform|chiang|coale-demeny|un] [--sex TEXT]\n"
                 "       [--a0 TEXT] [--a1 TEXT] [--formatted] [--xlsx OUT.xlsx]",
        .help =
            "Computes the life table of the life-table dialog from TABLE, record k being age\n"
            "group k (at most 101 groups):\n"
            "  --rates FIELD          age-specific death rates (per person, not per thousand)\n"
            "  --population FIELD --deaths FIELD\n"
            "                         population and deaths; the rates are deaths/population\n"
            "  --width 1|5            single years (default) or abridged groups: 0, 1-4, then\n"
            "                         five-year groups; the last group is open\n"
            "  --method NAME          how the a-values are set: uniform (default, 均匀分布),\n"
            "                         chiang (蒋庆琅法), coale-demeny, un (联合国法)\n"
            "  --sex TEXT             Male (default) or Female, for coale-demeny and un\n"
            "  --a0 TEXT, --a1 TEXT   the uniform method's a0 and 4a1 (defaults 0.2 and 1.5)\n"
            "  --formatted            write the texts the result window shows instead of the\n"
            "                         numbers (patterns ####.###### and ####.## for ex)\n"
            "Writes CSV with the header 年龄组,Mx,qx,lx,Dx,Lx,Tx,ex and one line per age\n"
            "group; 年龄组 is the group index (also for abridged groups). The radix l0 is 1.\n"
            "A table the dialog would refuse (no records, too many or too few groups, a zero\n"
            "population, a last death rate of 0, a sex other than Male or Female with\n"
            "coale-demeny or un, ...) gives the refusal message and exit status 2.\n"
            "\n"
            "--xlsx OUT.xlsx writes the same rows as the Excel workbook OUT.xlsx instead of\n"
            "standard output (numbers as numbers, the header row bold and frozen), whole or\n"
            "not at all.\n",
        .example = "lifetable single_region.DB --rates 男性死亡率 --sex Male",
        .positionals = {"TABLE"},
        .options = {{"rates", true},
                    {"population", true},
                    {"deaths", true},
                    {"width", true, {"1", "5"}},
                    {"method", true, {"uniform", "chiang", "coale-demeny", "un"}},
                    {"sex", true},
                    {"a0", true},
                    {"a1", true},
                    {"formatted", false},
                    {"xlsx", true}},
        .requiredOptions = {},
        .run = runLifeTable,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
