// zandor-cli import SOURCE.csv TABLE: a new table from a CSV file, with each column's type
// chosen from its values.
#include "cli/import_types.h"

#include <cstdio>

#include "cli/commands.h"
#include "tables/binary_file.h"
#include "tables/table_error.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

std::string existingMessage(const std::string& target)
{
    return target + " exists already: import only creates new tables";
}

int runImport(const ParsedArgs& args, Streams& io)
{
    const std::string& source = args.positional(0);
    const std::string& target = args.positional(1);
    // A name that is no table's (.db, .dbf) is refused before anything is read.
    static_cast<void>(tables::formatOfPath(target));
    if (tables::fileExists(target))
        throw Refusal(existingMessage(target));
    if (isWorkbookPath(source)) {
        std::vector<std::string> remarks;
        try {
            remarks = importWorkbook(source, target, args.value("sheet"));
        } catch (const tables::TableExists&) {
            throw Refusal(existingMessage(target));
        }
        for (const std::string& remark : remarks)
            std::fprintf(io.err, "%s\n", remark.c_str());
        return 0;
    }
    if (args.has("sheet"))
        throw Refusal("--sheet is for a workbook (.xlsx); " + source + " is read as a CSV file");

    std::vector<std::string> remarks;
    try {
        remarks = importCsv(source, target);
    } catch (const tables::TableExists&) {
        throw Refusal(existingMessage(target));
    }
    for (const std::string& remark : remarks)
        std::fprintf(io.err, "%s\n", remark.c_str());
    return 0;
}

}  // namespace

const CommandSpec& importCommand()
{
    static const CommandSpec command{
        .name = "import",
        .summary = "a new table from a CSV file or an Excel workbook",
        .usage = "import SOURCE.csv|SOURCE.xlsx TABLE [--sheet NAME]",
        .help =
            "Creates the table TABLE (Paradox for .db, dBase for .dbf) from the UTF-8 CSV file\n"
            "SOURCE.csv, whose first line holds the field names. Quoted values (RFC 4180),\n"
            "a UTF-8 byte order mark and CRLF line ends are accepted.\n"
            "\n"
            "Each column's type comes from its values; empty values are left out of the\n"
            "choice and stored as empty (null) values:\n"
            "  Integer  every value is a whole number written without a point or exponent\n"
            "           that fits 32 bits (-2147483648 to 2147483647; a Paradox table keeps\n"
            "           -2147483648 for an empty value, so there such a column is Float)\n"
            "  Float    every value is a number (sign, digits, optional point and exponent)\n"
            "  Char     otherwise, as wide as the longest value in GBK bytes; a column with\n"
            "           no value at all becomes Char of width 1\n"
            "\n"
            "Refused (exit 2, no table written): TABLE exists already; a line whose number of\n"
            "values differs from the header's (the message names the line); broken quoting;\n"
            "a TABLE that another program creates while the import runs (that table is kept).\n"
            "A field name or value that is no UTF-8 text or holds a NUL byte fails (exit 1),\n"
            "naming the line and column.\n"
            "Field names that the format has to change (dBase keeps 10 bytes) are reported\n"
            "on standard error.\n"
            "\n"
            "A SOURCE ending in .xlsx is read as an Excel workbook: the first worksheet, or\n"
            "the one --sheet names. Its first row with values holds the field names; a\n"
            "header cell merged over several columns names the first, the others get\n"
            "NAME_2, NAME_3, ... Rows and columns without values at the end are left out.\n"
            "Texts stay texts (a column holding any text is Char), numbers are typed as\n"
            "above, formulas give their last computed value; besides:\n"
            "  Date     every value is a whole day shown with a date format\n"
            "  Boolean  every value is TRUE or FALSE\n"
            "In a Char column numbers are written out, dates as YYYY-MM-DD, truth values as\n"
            "TRUE and FALSE. Refused, naming the sheet and the cell (e.g. C17): an error value\n"
            "such as #DIV/0!, a text outside the GBK code page; refused as well: a file that is\n"
            "no workbook or is cut short, a missing sheet, more fields than the table holds.\n"
            "\n"
            "From a CSV file:\n"
            "  zandor-cli import data.csv 人口.DB\n",
        .example = "import 普查.xlsx 人口.DB --sheet 分年龄",
        .positionals = {"SOURCE", "TABLE"},
        .options = {{"sheet", true}},
        .requiredOptions = {},
        .run = runImport,
    };
    return command;
}

}  // namespace zandor::cli
