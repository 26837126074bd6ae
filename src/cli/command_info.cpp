// zandor-cli info TABLE: the structure of a table, as the structure dialog shows it.
#include "cli/commands.h"
#include "cli/table_output.h"
#include "tables/table_file.h"

namespace zandor::cli {

namespace {

int runInfo(const ParsedArgs& args, Streams& io)
{
    const auto table = tables::openTableFile(args.positional(0), /*readOnly=*/true);
    TableOutput csv(io.out);
    csv.text("number");
    csv.text("name");
    csv.text("type");
    csv.text("width");
    csv.endRow();
    int number = 0;
    for (const tables::FieldInfo& field : table->fields()) {
        csv.integer(++number);
        csv.text(field.name);
        csv.text(tables::kindName(field.kind()));
        if (field.kind() == tables::FieldKind::Char)
            csv.integer(field.width);
        else
            csv.empty();
        csv.endRow();
    }
    csv.finish();
    return 0;
}

}  // namespace

const CommandSpec& infoCommand()
{
    static const CommandSpec command{
        .name = "info",
        .summary = "the fields of a table: number, name, type, width",
        .usage = "info TABLE",
        .help = "Writes the structure of TABLE as the structure dialog shows it: CSV with the\n"
                "header number,name,type,width and one line per field in table order.\n"
                "number counts from 1; type is Integer, Float, Char, Boolean or Date; width is\n"
                "the display width of a Char field and empty for the other types.\n",
        .example = "info single_region.DB",
        .positionals = {"TABLE"},
        .options = {},
        .requiredOptions = {},
        .run = runInfo,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
