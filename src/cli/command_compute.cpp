// zandor-cli compute TABLE --target F (operation A B | --copy A | --transform NAME A): the
// field calculator's three modes, row by row, as its 确认 button runs them.
#include <algorithm>
#include <array>
#include <string>

#include "cli/commands.h"
#include "tables/field_calculator.h"
#include "tables/table.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

struct NamedOperation {
    const char* option;
    tables::Operation operation;
};
constexpr std::array<NamedOperation, 4> kOperations = {{
    {"add", tables::Operation::Add},
    {"sub", tables::Operation::Subtract},
    {"mul", tables::Operation::Multiply},
    {"div", tables::Operation::Divide},
}};

// In the order of the calculator's function list.
const std::vector<std::string>& transformNames()
{
    static const std::vector<std::string> names = {"abs",   "ln",      "div10",   "percent",    "div1000", "mul10",
                                                   "mul100", "mul1000", "reciprocal", "exp",    "round"};
    return names;
}

tables::FieldCalculation calculationOf(const ParsedArgs& args)
{
    tables::FieldCalculation calculation;
    calculation.target = *args.value("target");
    int modes = 0;
    for (const auto& named : kOperations) {
        if (!args.has(named.option))
            continue;
        ++modes;
        const auto words = args.valueWords(named.option);
        calculation.mode = tables::CalculatorMode::Operate;
        calculation.operation = named.operation;
        calculation.first = words[0];
        calculation.second = words[1];
    }
    if (args.has("copy")) {
        ++modes;
        calculation.mode = tables::CalculatorMode::Replace;
        calculation.first = *args.value("copy");
    }
    if (args.has("transform")) {
        ++modes;
        const auto words = args.valueWords("transform");
        const auto& names = transformNames();
        const auto position = std::find(names.begin(), names.end(), words[0]) - names.begin();
        calculation.mode = tables::CalculatorMode::Transform;
        calculation.transform = tables::transformAt(static_cast<int>(position));
        calculation.first = words[1];
    }
    if (modes != 1)
        throw UsageError("give one of --add, --sub, --mul, --div, --copy or --transform");
    return calculation;
}

int runCompute(const ParsedArgs& args, Streams&)
{
    const tables::FieldCalculation calculation = calculationOf(args);
    tables::Table table = tables::Table::open(args.positional(0));
    const tables::CalculationOutcome outcome = tables::computeField(table, calculation);
    table.close();
    if (outcome.failedRow) {
        const std::size_t row = *outcome.failedRow + 1;
        throw Refusal(std::string(tables::kDataError) + "\nrow " + std::to_string(row)
                      + " cannot be computed; it and the rows after it are unchanged"
                      + (row > 1 ? ", rows 1 to " + std::to_string(row - 1) + " keep their new values" : ""));
    }
    return 0;
}

}  // namespace

const CommandSpec& computeCommand()
{
    static const CommandSpec command{
        .name = "compute",
        .summary = "fills a field row by row from other fields (the field calculator)",
        .usage = "compute TABLE --target F (--add|--sub|--mul|--div A B | --copy A | --transform NAME A)",
        .help =
            "Fills the field F of TABLE row by row, from its first row to its last, as the\n"
            "field calculator (计算) does; each row's fields are read before F is written, so F\n"
            "may also be A or B. Empty values read as 0. Prints nothing on success.\n"
            "  --add A B, --sub A B, --mul A B, --div A B   F := A + B, A - B, A * B, A / B\n"
            "  --copy A                                     F := A\n"
            "  --transform NAME A                           F := NAME(A), NAME one of\n"
            "      abs (|A|), ln (natural logarithm), div10 (A/10), percent (A/100),\n"
            "      div1000 (A/1000), mul10, mul100, mul1000 (A*10 ...), reciprocal (1/A),\n"
            "      exp (e to the A), round (whole number, halves to the even neighbour)\n"
            "A row that cannot be computed (division by 0, ln of a value not above 0, 1/0,\n"
            "a result that is no finite number) stops the walk: exit 2, standard error holds\n"
            "\"Data Error!\" and then the row number; the rows before it keep their new values.\n"
            "The whole field is computed first and the table then rewritten once, so a stop\n"
            "part way leaves it as it was, and no reader ever sees some rows new and others\n"
            "old. A table with fields that cannot be rewritten as they are (memo, binary,\n"
            "Paradox short or currency fields) is refused unchanged.\n"
            "An Integer field F takes the result rounded half to even, a Char field its text;\n"
            "a Date field is refused before any row changes.\n",
        .example = "compute 人口.DB --target 结果 --mul 男性人口 男性死亡率",
        .positionals = {"TABLE"},
        .options = {{"target", true},
                    {"add", true, {}, 2},
                    {"sub", true, {}, 2},
                    {"mul", true, {}, 2},
                    {"div", true, {}, 2},
                    {"copy", true},
                    {"transform", true, transformNames(), 2}},
        .requiredOptions = {"target"},
        .run = runCompute,
        .tableHold = TableHold::Exclusive,
    };
    return command;
}

}  // namespace zandor::cli
