// zandor-cli quality and un-index: the data-quality result window's lines (or its three band
// texts) for one index of one field, and for the UN joint sex-age index of two fields.
#include <string>

#include "analysis/data_quality.h"
#include "analysis/un_sex_age.h"
#include "cli/commands.h"
#include "tables/table.h"

namespace zandor::cli {

namespace {

analysis::AgeIndex indexOf(const std::string& name)
{
    if (name == "whipple")
        return analysis::AgeIndex::Whipple;
    if (name == "myers")
        return analysis::AgeIndex::Myers;
    if (name == "accuracy")
        return analysis::AgeIndex::Accuracy;
    return analysis::AgeIndex::Preference;
}

// The whole text is built first and written at once: a refusal leaves standard output empty.
int writeReport(const analysis::IndexReport& report, bool bands, Streams& io)
{
    std::string text;
    if (bands)
        for (const std::string& band : report.bands)
            text += band + "\n";
    else
        for (const std::string& line : report.lines)
            text += line + "\n";
    std::fwrite(text.data(), 1, text.size(), io.out);
    return 0;
}

int runQuality(const ParsedArgs& args, Streams& io)
{
    auto table = tables::Table::open(args.positional(0), /*readOnly=*/true);
    const auto report =
        analysis::qualityReport(table, *args.value("field"), indexOf(*args.value("index")));
    return writeReport(report, args.has("bands"), io);
}

int runUnIndex(const ParsedArgs& args, Streams& io)
{
    auto table = tables::Table::open(args.positional(0), /*readOnly=*/true);
    const auto report = analysis::unIndexReport(table, *args.value("male"), *args.value("female"));
    return writeReport(report, args.has("bands"), io);
}

}  // namespace

const CommandSpec& qualityCommand()
{
    static const CommandSpec command{
        .name = "quality",
        .summary = "an age-heaping index of one field (age preference, Whipple, Myers, accuracy)",
        .usage = "quality TABLE --field F --index preference|whipple|myers|accuracy [--bands]",
        .help =
            "Evaluates the age reporting of the field F of TABLE, record k being age k (or\n"
            "five-year group k for the accuracy index of a table of at most 25 records), and\n"
            "writes the lines of the data-quality result window, one per line:\n"
            "  preference  the age, two spaces and 100 x the value / the mean of the five\n"
            "              ages around it, for ages 2 to three before the last zero value\n"
            "  whipple     WI  and Whipple's index of ages 23 to 62 (needs 63 records)\n"
            "  myers       Mayer_index  and Myers' blended index of ages 10 to 89 (needs 90)\n"
            "  accuracy    ARCerret_Index   and the mean deviation of the five-year age\n"
            "              ratios of groups 1 to 13 from 100 (needs 75 single years or 15\n"
            "              five-year groups)\n"
            "Values are written as the window shows them (#####.##: at most two decimals, 0\n"
            "as the empty text).\n"
            "  --bands     write instead the three band texts of the window, good, acceptable\n"
            "              and unacceptable, one per line\n"
            "A refusal of the dialog (too few rows, no field, a field the table lacks, a\n"
            "division by zero, which names the age or group) exits with status 2, as does a\n"
            "population that is not a number, negative, infinite or above 1e15 (the message\n"
            "names the field and the row) and a preference index with fewer than five\n"
            "usable ages.\n",
        .example = "quality single_region.DB --field 男性人口 --index whipple",
        .positionals = {"TABLE"},
        .options = {{"field", true},
                    {"index", true, {"preference", "whipple", "myers", "accuracy"}},
                    {"bands", false}},
        .requiredOptions = {"field", "index"},
        .run = runQuality,
        .tableHold = TableHold::Shared,
    };
    return command;
}

const CommandSpec& unIndexCommand()
{
    static const CommandSpec command{
        .name = "un-index",
        .summary = "the UN joint sex-age accuracy index of a male and a female field",
        .usage = "un-index TABLE --male F --female F [--bands]",
        .help =
            "Computes the United Nations joint sex-age accuracy index of the male and female\n"
            "population fields of TABLE and writes the result window's line:\n"
            "  联合国分性别指数:   and 3 x the sex-ratio score + both age-ratio scores\n"
            "A table of 25 records or more holds single years, summed into complete five-year\n"
            "groups; a shorter one holds five-year groups. A value of -1 in either field ends\n"
            "the data before that record.\n"
            "  --bands     write instead the three band texts of the window, one per line\n"
            "A refusal (fewer than three groups, a field the table lacks, a division by zero,\n"
            "which names the group) exits with status 2.\n",
        .example = "un-index single_region.DB --male 男性人口 --female 女性人口",
        .positionals = {"TABLE"},
        .options = {{"male", true}, {"female", true}, {"bands", false}},
        .requiredOptions = {"male", "female"},
        .run = runUnIndex,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
