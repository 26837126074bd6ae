// zandor-cli smooth and graduate: the age-data adjustment of one field, printed as CSV and,
// with --save, added to the table as a new Float field.
#include <string>
#include <utility>

#include "analysis/age_adjustment.h"
#include "cli/commands.h"
#include "cli/table_output.h"
#include "tables/numeric_column.h"
#include "tables/result_field.h"
#include "tables/table.h"

namespace zandor::cli {

namespace {

using analysis::GraduationMethod;
using analysis::SmoothingMethod;

const std::vector<std::pair<std::string, SmoothingMethod>> kSmoothing = {
    {"carrier-farrag", SmoothingMethod::CarrierFarrag},
    {"karup-king-newton", SmoothingMethod::KarupKingNewton},
    {"arriaga", SmoothingMethod::Arriaga},
    {"united-nations", SmoothingMethod::UnitedNations},
    {"strong", SmoothingMethod::Strong},
};
const std::vector<std::pair<std::string, GraduationMethod>> kGraduation = {
    {"sprague", GraduationMethod::Sprague},
    {"beers-ordinary", GraduationMethod::BeersOrdinary},
    {"beers-modified", GraduationMethod::BeersModified},
};

template <typename Method>
std::vector<std::string> namesOf(const std::vector<std::pair<std::string, Method>>& methods)
{
    std::vector<std::string> names;
    for (const auto& [name, method] : methods)
        names.push_back(name);
    return names;
}

// The option's value is one of the choices: the parser has checked it.
template <typename Method>
Method methodOf(const std::vector<std::pair<std::string, Method>>& methods, const std::string& name)
{
    for (const auto& [text, method] : methods)
        if (text == name)
            return method;
    return methods.front().second;
}

// Reads the field, adjusts it and, with --save, adds the result to the table; returns the
// result only when everything has succeeded, so that a failure prints nothing.
analysis::AdjustedSeries adjust(const ParsedArgs& args, analysis::AgeAdjustment request)
{
    const std::optional<std::string> save = args.value("save");
    auto table = tables::Table::open(args.positional(0), /*readOnly=*/!save);
    request.values = tables::readNumericColumn(table, *args.value("field"));
    const std::optional<std::string> input = args.value("input");
    request.singleYears = input ? *input == "single" : analysis::holdsSingleYears(request.values.size());
    analysis::AdjustedSeries result = analysis::adjustAgeSeries(request);
    if (save) {
        tables::refuseExistingNames(table, {*save});
        analysis::requireRowPerRecord(table.recordCount(), result);
        tables::addResultField(table, *save, result.adjusted);
    }
    return result;
}

int runSmooth(const ParsedArgs& args, Streams& io)
{
    checkWorkbookOption(args);
    analysis::AgeAdjustment request;
    request.smoothing = methodOf(kSmoothing, *args.value("method"));
    const analysis::AdjustedSeries result = adjust(args, std::move(request));
    TableOutput csv(io.out);
    applyWorkbookOption(args, csv, "smooth");
    csv.text("age");
    csv.text("original");
    csv.text("smoothed");
    csv.endRow();
    for (std::size_t k = 0; k < result.adjusted.size(); ++k) {
        csv.integer(result.ages[k]);
        csv.number(result.original[k]);
        csv.number(result.adjusted[k]);
        csv.endRow();
    }
    csv.finish();
    return 0;
}

int runGraduate(const ParsedArgs& args, Streams& io)
{
    checkWorkbookOption(args);
    analysis::AgeAdjustment request;
    request.graduation = methodOf(kGraduation, *args.value("method"));
    if (const std::optional<std::string> smooth = args.value("smooth"))
        request.smoothing = methodOf(kSmoothing, *smooth);
    const analysis::AdjustedSeries result = adjust(args, std::move(request));
    TableOutput csv(io.out);
    applyWorkbookOption(args, csv, "graduate");
    csv.text("age");
    csv.text("value");
    csv.endRow();
    for (std::size_t k = 0; k < result.adjusted.size(); ++k) {
        csv.integer(result.ages[k]);
        csv.number(result.adjusted[k]);
        csv.endRow();
    }
    csv.finish();
    return 0;
}

constexpr const char* kXlsxHelp =
    "  --xlsx OUT.xlsx  the same rows as the Excel workbook OUT.xlsx instead of standard\n"
    "              output (numbers as numbers, the header row frozen), whole or not at all\n";

constexpr const char* kInputHelp =
    "  --input five|single  what a record of F holds: five, one five-year group per\n"
    "              record (record k = ages 5k to 5k+4, the last record the open group);\n"
    "              single, one age per record (record k = age k), summed into five-year\n"
    "              groups first, the last group open from the highest multiple of 5 the\n"
    "              table reaches (ages 0-100 give 0-4 ... 95-99 and 100+). Default:\n"
    "              single when the table has more than 30 records, five otherwise.\n";

constexpr const char* kSaveHelp =
    "  --save NAME adds the result to TABLE as a new Float field NAME, in one rewrite of\n"
    "              the table; the table must have one record per row of the result. On\n"
    "              any refusal or failure TABLE is left as it was.\n";

constexpr const char* kRefusalHelp =
    "Refusals exit with status 2 and a message that names the group: too few groups for\n"
    "the method, a value that is no finite number, a zero or negative group where the\n"
    "method divides (Carrier-Farrag, Strong), a new name the table has, a table whose\n"
    "records do not match the rows of the result (--save).\n";

}  // namespace

const CommandSpec& smoothCommand()
{
    static const std::string help =
        std::string(
            "Smooths the field F of TABLE by five-year age groups and writes CSV\n"
            "age,original,smoothed, one row per group (age = the group's lower bound, the\n"
            "last row the open group). A group the method does not reach keeps its original\n"
            "value in smoothed.\n"
            "  --method    carrier-farrag     ten-year groups split by the fourth root of the\n"
            "                                 ratio of their neighbours; 10-19 to the next-to-\n"
            "                                 last ten-year group; ten-year totals kept\n"
            "              karup-king-newton  ten-year groups split by a quadratic through\n"
            "                                 their neighbours; reach and totals as above\n"
            "              arriaga            as Karup-King-Newton with end formulas, so that\n"
            "                                 every paired group is reached; totals kept\n"
            "              united-nations     a five-term moving formula on five-year groups,\n"
            "                                 10-14 to the third-last closed group; totals\n"
            "                                 not kept\n"
            "              strong             ten-year groups averaged with their neighbours,\n"
            "                                 10-69 scaled back to its total, split as\n"
            "                                 Arriaga's\n") +
        kInputHelp + kSaveHelp + kXlsxHelp + kRefusalHelp;
    static const CommandSpec command{
        .name = "smooth",
        .summary = "smooth the five-year age groups of a field (Carrier-Farrag, Arriaga, ...)",
        .usage = "smooth TABLE --field F --method carrier-farrag|karup-king-newton|arriaga|\n"
                 "       united-nations|strong [--input five|single] [--save NAME] [--xlsx OUT.xlsx]",
        .help = help,
        .example = "smooth single_region.DB --field 男性人口 --method arriaga",
        .positionals = {"TABLE"},
        .options = {{"field", true},
                    {"method", true, namesOf(kSmoothing)},
                    {"input", true, {"five", "single"}},
                    {"save", true},
                    {"xlsx", true}},
        .requiredOptions = {"field", "method"},
        .run = runSmooth,
        .tableHold = TableHold::ExclusiveWhenSaving,
    };
    return command;
}

const CommandSpec& graduateCommand()
{
    static const std::string help =
        std::string(
            "Splits the five-year age groups of the field F of TABLE into single years and\n"
            "writes CSV age,value: one row per single year up to the open group's lower\n"
            "bound, then one row for the open group, which stays one group.\n"
            "  --method    sprague         Sprague's fifth-difference osculatory multipliers;\n"
            "                              every closed group's sum kept\n"
            "              beers-ordinary  Beers' ordinary six-term multipliers; every closed\n"
            "                              group's sum kept\n"
            "              beers-modified  Beers' modified multipliers, which also smooth;\n"
            "                              group sums not kept\n"
            "  --smooth METHOD  smooths the groups first (a method of 'smooth'): group,\n"
            "              smooth and split, the whole adjustment of a heaped field\n"
            "Each method needs five closed groups and the open group.\n") +
        kInputHelp + kSaveHelp + kXlsxHelp + kRefusalHelp;
    static const CommandSpec command{
        .name = "graduate",
        .summary = "split the five-year age groups of a field into single years (Sprague, Beers)",
        .usage = "graduate TABLE --field F --method sprague|beers-ordinary|beers-modified\n"
                 "       [--smooth METHOD] [--input five|single] [--save NAME] [--xlsx OUT.xlsx]",
        .help = help,
        .example = "graduate single_region.DB --field 男性人口 --method sprague --smooth arriaga --save 男性调整",
        .positionals = {"TABLE"},
        .options = {{"field", true},
                    {"method", true, namesOf(kGraduation)},
                    {"smooth", true, namesOf(kSmoothing)},
                    {"input", true, {"five", "single"}},
                    {"save", true},
                    {"xlsx", true}},
        .requiredOptions = {"field", "method"},
        .run = runGraduate,
        .tableHold = TableHold::ExclusiveWhenSaving,
    };
    return command;
}

}  // namespace zandor::cli
