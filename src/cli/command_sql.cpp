// zandor-cli sql STATEMENT: one Create table or alter table statement of the table store.
#include <cstdio>

#include "cli/commands.h"
#include "tables/statements.h"

namespace zandor::cli {

namespace {

int runSql(const ParsedArgs& args, Streams& io)
{
    for (const std::string& remark : tables::runStatement(args.positional(0)))
        std::fprintf(io.err, "%s\n", remark.c_str());
    return 0;
}

}  // namespace

const CommandSpec& sqlCommand()
{
    static const CommandSpec command{
        .name = "sql",
        .summary = "runs one Create table or alter table statement",
        .usage = "sql STATEMENT",
        .help =
            "Runs one statement of the table store, given as one argument (quote it):\n"
            "  Create table \"PATH\" (NAME TYPE,NAME TYPE,...)\n"
            "  alter table \"PATH\" add NAME TYPE\n"
            "  alter table \"PATH\" drop NAME\n"
            "TYPE is integer, float, char(N), date or boolean; keywords and type names are\n"
            "taken in any case. Adding or dropping a field rewrites the table and puts it in\n"
            "place only when complete; on failure the table is left as it was. What the\n"
            "table format forced (shortened dBase names) is reported on standard error.\n"
            "Example:\n"
            "  zandor-cli sql 'alter table \"/data/pop.db\" add 总人口 float'\n",
        .example = "sql 'alter table \"人口.DB\" Add 结果 Float'",
        .positionals = {"STATEMENT"},
        .options = {},
        .requiredOptions = {},
        .run = runSql,
    };
    return command;
}

}  // namespace zandor::cli
