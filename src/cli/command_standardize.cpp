// zandor-cli standardize: either page of the standardization dialog, adding the rescaled
// standard to the table as new fields and printing the stored whole numbers.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/standardization.h"
#include "cli/commands.h"
#include "cli/table_output.h"
#include "tables/numeric_column.h"
#include "tables/table.h"

namespace zandor::cli {

namespace {

namespace stdz = analysis::standardization;

struct Page {
    std::vector<std::string> fieldOptions;  // the standard series
    std::vector<std::string> nameOptions;   // the new fields' names
    std::span<const std::string_view> defaultNames;
};

const Page kByAge{{"male", "female"}, {"male-field", "female-field"}, stdz::kByAgeFields};
const Page kRuralUrban{{"rural-male", "rural-female", "urban-male", "urban-female"},
                       {"rural-male-field", "rural-female-field", "urban-male-field", "urban-female-field"},
                       stdz::kRuralUrbanFields};

bool usesPage(const ParsedArgs& args, const Page& page)
{
    for (const auto* options : {&page.fieldOptions, &page.nameOptions})
        for (const std::string& option : *options)
            if (args.has(option))
                return true;
    return false;
}

int runStandardize(const ParsedArgs& args, Streams& io)
{
    const bool byAge = usesPage(args, kByAge);
    const bool ruralUrban = usesPage(args, kRuralUrban);
    if (byAge == ruralUrban)
        throw UsageError(byAge ? "give the options of one page: --male/--female or --rural-male ... --urban-female"
                               : "missing options: --male and --female, or --rural-male, --rural-female, "
                                 "--urban-male and --urban-female");
    const Page& page = byAge ? kByAge : kRuralUrban;

    auto table = tables::Table::open(args.positional(0));
    analysis::StandardizationRequest request;
    // A field not given is a field not chosen: the dialog's "选定原始数据变量不够!".
    for (const std::string& option : page.fieldOptions) {
        request.standard.push_back(args.has(option) ? tables::readNumericColumn(table, *args.value(option))
                                                    : std::vector<double>{});
        request.fields.push_back(args.value(option).value_or(""));
    }
    request.totalText = args.value("total").value_or(std::string(stdz::kDefaultTotal));
    for (std::size_t k = 0; k < page.nameOptions.size(); ++k)
        request.names.push_back(args.value(page.nameOptions[k]).value_or(std::string(page.defaultNames[k])));

    const auto stored = analysis::standardizeInto(table, request);

    TableOutput csv(io.out);
    csv.text("record");
    for (const std::string& name : request.names)
        csv.text(name);
    csv.endRow();
    for (std::size_t x = 0; x < stored.front().size(); ++x) {
        csv.integer(static_cast<std::int64_t>(x));
        for (const auto& series : stored)
            csv.number(series[x]);
        csv.endRow();
    }
    csv.finish();
    return 0;
}

}  // namespace

const CommandSpec& standardizeCommand()
{
    static const CommandSpec command{
        .name = "standardize",
        .summary = "rescale a standard population structure to a total into new fields",
        .usage = "standardize TABLE --male F --female F [--total TEXT]\n"
                 "       [--male-field NAME] [--female-field NAME]\n"
                 "   or: standardize TABLE --rural-male F --rural-female F --urban-male F\n"
                 "       --urban-female F [--total TEXT] [--rural-male-field NAME]\n"
                 "       [--rural-female-field NAME] [--urban-male-field NAME]\n"
                 "       [--urban-female-field NAME]",
        .help =
            "Does what \"确定\" of the standardization dialog (人口数据标准化) does, on the page\n"
            "按年龄结构 (--male, --female) or on the page 分城乡分年龄结构 (--rural-male,\n"
            "--rural-female, --urban-male, --urban-female). Every value of the standard\n"
            "fields is divided by the sum of all of them and multiplied by the total\n"
            "  --total TEXT     the text of the box 被标准化总人口 (default 10000000)\n"
            "so the structure by age, sex (and rural/urban) is kept and the new fields sum to\n"
            "the total up to rounding. The new Float fields get whole persons (halves to\n"
            "even); their names default to Smale01, Sfemale01, or Rmale01, Rfemale01, Umale01,\n"
            "Ufemale01 (--male-field ... --urban-female-field). Writes CSV record,NAME1,NAME2..\n"
            "of the stored numbers in the order the fields are added (record x is row x).\n"
            "The dialog's refusals (a field missing, an empty or negative total, a standard\n"
            "value that is not a population: not a number, negative, infinite or above 1e15,\n"
            "named by field and row, a new name the table has, a standard summing to 0) exit\n"
            "with status 2 and the message; TABLE is then\n"
            "unchanged, as after any failure.\n",
        .example = "standardize single_region.DB --male 男性人口 --female 女性人口 --total 1000000",
        .positionals = {"TABLE"},
        .options = {{"male", true},
                    {"female", true},
                    {"rural-male", true},
                    {"rural-female", true},
                    {"urban-male", true},
                    {"urban-female", true},
                    {"total", true},
                    {"male-field", true},
                    {"female-field", true},
                    {"rural-male-field", true},
                    {"rural-female-field", true},
                    {"urban-male-field", true},
                    {"urban-female-field", true}},
        .requiredOptions = {},
        .run = runStandardize,
        .tableHold = TableHold::Exclusive,
    };
    return command;
}

}  // namespace zandor::cli
