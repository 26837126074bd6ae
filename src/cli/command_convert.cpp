// zandor-cli convert SOURCE TARGET --to FORMAT: the format conversion (a batch move in copy
// mode into a table of another kind).
#include <cstdio>

#include "cli/commands.h"
#include "tables/batch_move.h"

namespace zandor::cli {

namespace {

tables::TableFormat formatOption(const std::string& name)
{
    if (name == "ascii")
        return tables::TableFormat::Ascii;
    if (name == "dbase")
        return tables::TableFormat::DBase;
    if (name == "foxpro")
        return tables::TableFormat::FoxPro;
    return tables::TableFormat::Paradox;
}

int runConvert(const ParsedArgs& args, Streams& io)
{
    const auto remarks = tables::copyTable(args.positional(0), args.positional(1),
                                           formatOption(*args.value("to")));
    for (const std::string& remark : remarks)
        std::fprintf(io.err, "%s\n", remark.c_str());
    return 0;
}

}  // namespace

const CommandSpec& convertCommand()
{
    static const CommandSpec command{
        .name = "convert",
        .summary = "copies a table into a table of another format",
        .usage = "convert SOURCE TARGET --to ascii|dbase|foxpro|paradox",
        .help =
            "Copies every record of the table SOURCE into a table of the chosen format at\n"
            "TARGET, with SOURCE's fields, as the format conversion dialog does:\n"
            "  --to ascii    delimited text: TARGET (.txt) and its schema file (.sch)\n"
            "  --to dbase    dBase III+ table (.dbf)\n"
            "  --to foxpro   Visual FoxPro table (.dbf)\n"
            "  --to paradox  Paradox table (.db)\n"
            "An existing TARGET is replaced, but only once the new table is complete; on\n"
            "failure it is left as it was. A TARGET whose extension names another format is\n"
            "refused. What the format forced (shortened names, changed kinds) is reported on\n"
            "standard error.\n",
        .example = "convert single_region.DB single_region.dbf --to dbase",
        .positionals = {"SOURCE", "TARGET"},
        .options = {{"to", true, {"ascii", "dbase", "foxpro", "paradox"}}},
        .requiredOptions = {"to"},
        .run = runConvert,
    };
    return command;
}

}  // namespace zandor::cli
