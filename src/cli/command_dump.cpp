// zandor-cli dump TABLE: every record of a table as CSV.
#include "cli/commands.h"
#include "cli/table_output.h"
#include "tables/table_file.h"

namespace zandor::cli {

namespace {

int runDump(const ParsedArgs& args, Streams& io)
{
    const auto table = tables::openTableFile(args.positional(0), /*readOnly=*/true);
    const std::size_t fieldCount = table->fields().size();
    const std::size_t recordCount = table->recordCount();
    TableOutput csv(io.out);
    for (const tables::FieldInfo& field : table->fields())
        csv.text(field.name);
    csv.endRow();
    tables::Record record;
    record.reserve(fieldCount);
    for (std::size_t i = 0; i < recordCount; ++i) {
        table->read(i, record);
        for (const tables::Value& value : record)
            csv.value(value);
        csv.endRow();
    }
    csv.finish();
    return 0;
}

}  // namespace

const CommandSpec& dumpCommand()
{
    static const CommandSpec command{
        .name = "dump",
        .summary = "every record of a table, as CSV",
        .usage = "dump TABLE",
        .help = "Writes every record of TABLE in table order as CSV; the header line holds the\n"
                "field names. Integers are written as integers, floating-point numbers in the\n"
                "shortest form that reads back to the same double, text as stored, dates as\n"
                "YYYY-MM-DD, logical values as True or False, and an empty (null) value as an\n"
                "empty field.\n",
        .example = "dump single_region.DB > single_region.csv",
        .positionals = {"TABLE"},
        .options = {},
        .requiredOptions = {},
        .run = runDump,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
