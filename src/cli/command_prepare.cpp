// zandor-cli prepare single|urban-rural PATH: the prepared population data table, as the
// data-preparation menu commands make it.
#include <cstdio>

#include "cli/commands.h"
#include "tables/prepared.h"

namespace zandor::cli {

namespace {

int runPrepare(const ParsedArgs& args, Streams& io)
{
    const std::string& layout = args.positional(0);
    tables::PopulationSchema schema;
    if (layout == "single")
        schema = tables::PopulationSchema::SingleRegion;
    else if (layout == "urban-rural")
        schema = tables::PopulationSchema::RuralUrban;
    else
        throw UsageError("the layout is single or urban-rural, not '" + layout + "'");

    const tables::PreparedTable prepared =
        tables::preparePopulationTable(args.positional(1), schema, Edition::Full);
    for (const std::string& remark : prepared.remarks)
        std::fprintf(io.err, "%s\n", remark.c_str());
    return 0;
}

}  // namespace

const CommandSpec& prepareCommand()
{
    static const CommandSpec command{
        .name = "prepare",
        .summary = "a new prepared population data table (ages 0 to 80)",
        .usage = "prepare single|urban-rural PATH",
        .help =
            "Creates the prepared population data table PATH as the data-preparation menu\n"
            "commands do: 81 records, ages 0 to 80 in the field 年龄, every other field 0.\n"
            "  single       年龄,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率\n"
            "  urban-rural  年龄, then the five rural fields (农村男性人口, ...), then the five\n"
            "               urban fields (城镇男性人口, ...)\n"
            "PATH ending in .db makes a Paradox table, .dbf a dBase table; without an\n"
            "extension .DB is added. An existing file is refused with\n"
            "\" 文件已存在，请输入新文件名.\" (exit 2) and left as it was.\n",
        .example = "prepare single 人口.DB",
        .positionals = {"LAYOUT", "PATH"},
        .options = {},
        .requiredOptions = {},
        .run = runPrepare,
    };
    return command;
}

}  // namespace zandor::cli
