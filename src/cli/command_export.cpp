// zandor-cli export TABLE OUT.xlsx: a whole table as one worksheet of an Excel workbook.
#include <filesystem>

#include "cli/commands.h"
#include "tables/output_file.h"
#include "tables/table_file.h"
#include "tables/xlsx_writer.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

int runExport(const ParsedArgs& args, Streams&)
{
    const std::string& source = args.positional(0);
    const std::string& target = args.positional(1);
    std::string extension = std::filesystem::path(target).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".xlsx")
        throw Refusal(target + ": export writes Excel workbooks, whose name ends in .xlsx");
    try {
        tables::requireWritableOutput(target);
    } catch (const tables::OutputFileError& e) {
        throw Refusal(e.what());
    }
    const auto table = tables::openTableFile(source, /*readOnly=*/true);
    if (table->recordCount() >= 1048576)
        throw Refusal(source + " holds " + std::to_string(table->recordCount())
                      + " records; a worksheet holds 1048575 below its header");
    tables::writeTableXlsx(*table, target);
    return 0;
}

}  // namespace

const CommandSpec& exportCommand()
{
    static const CommandSpec command{
        .name = "export",
        .summary = "a table as an Excel workbook",
        .usage = "export TABLE OUT.xlsx",
        .help =
            "Writes the whole table TABLE (Paradox .db or dBase .dbf) as the Excel workbook\n"
            "OUT.xlsx: one worksheet named after the table, the field names in the first row,\n"
            "bold and frozen, then one row per record. Numbers stay numbers (a dBase numeric\n"
            "field keeps its decimals as the cell format), dates are dates, truth values\n"
            "TRUE/FALSE, texts texts; empty values are empty cells; the columns are as wide\n"
            "as their contents. The workbook is made beside and put in place of OUT.xlsx only\n"
            "when complete, so an existing file is replaced whole or not at all.\n"
            "\n"
            "Refused (exit 2): OUT.xlsx not ending in .xlsx, or naming something that is no\n"
            "regular file (a folder, a device); a table of more than 1,048,575 records.\n",
        .example = "export 人口.DB 人口.xlsx",
        .positionals = {"TABLE", "OUT.xlsx"},
        .options = {},
        .requiredOptions = {},
        .run = runExport,
    };
    return command;
}

}  // namespace zandor::cli
