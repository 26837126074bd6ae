// The command line of zandor-cli: argument parsing, help, usage errors and their exit status.
#include <gtest/gtest.h>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::runInProcess;

int noRun(const ParsedArgs&, Streams&)
{
    return 0;
}

const CommandSpec& sampleCommand()
{
    static const CommandSpec command{
        .name = "sample",
        .summary = "",
        .usage = "sample SOURCE TARGET --to FORMAT [--3d] [--title TEXT]",
        .help = "",
        .positionals = {"SOURCE", "TARGET"},
        .options = {{"to", true, {"ascii", "dbase"}}, {"3d", false}, {"title", true}},
        .requiredOptions = {"to"},
        .run = noRun,
    };
    return command;
}

struct ParseCase {
    std::vector<std::string> words;
    std::vector<std::string> positionals;
    std::string to;
    std::string title;  // "<none>" when absent
    bool threeD;
};

class CliParseArgsAccepts : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CliParseArgsAccepts, SplitsPositionalsValuesAndFlags)
{
    const ParseCase& c = GetParam();
    const ParsedArgs parsed = parseArgs(sampleCommand(), c.words);
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(parsed.positionals, c.positionals);
    EXPECT_EQ(parsed.value("to").value_or("<none>"), c.to);
    EXPECT_EQ(parsed.value("title").value_or("<none>"), c.title);
    EXPECT_EQ(parsed.has("3d"), c.threeD);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliParseArgsAccepts,
    ::testing::Values(
        ParseCase{{"a.db", "b.dbf", "--to", "dbase"}, {"a.db", "b.dbf"}, "dbase", "<none>", false},
        ParseCase{{"--to=ascii", "a.db", "b.dbf"}, {"a.db", "b.dbf"}, "ascii", "<none>", false},
        ParseCase{{"a.db", "--3d", "b.dbf", "--to", "ascii", "--title", "--to"},
                  {"a.db", "b.dbf"}, "ascii", "--to", true},
        // A value may start with a dash, be empty, or be Chinese.
        ParseCase{{"a.db", "b.dbf", "--to", "ascii", "--title", "-1"}, {"a.db", "b.dbf"}, "ascii", "-1", false},
        ParseCase{{"a.db", "b.dbf", "--to", "ascii", "--title="}, {"a.db", "b.dbf"}, "ascii", "", false},
        ParseCase{{"人口.db", "b.dbf", "--to", "ascii", "--title", "年龄 结构"}, {"人口.db", "b.dbf"}, "ascii", "年龄 结构", false},
        // After "--" every word is a positional, and a lone "-" always is.
        ParseCase{{"--to", "ascii", "--", "--3d", "-"}, {"--3d", "-"}, "ascii", "<none>", false}));

struct RejectCase {
    std::vector<std::string> words;
    std::string messagePart;
};

class CliParseArgsRejects : public ::testing::TestWithParam<RejectCase> {};

TEST_P(CliParseArgsRejects, WithAMessageNamingTheProblem)
{
    const RejectCase& c = GetParam();
    try {
        parseArgs(sampleCommand(), c.words);
        FAIL() << "accepted";
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliParseArgsRejects,
    ::testing::Values(
        RejectCase{{"a", "b", "--to", "ascii", "--bogus"}, "unknown option '--bogus'"},
        RejectCase{{"a", "b", "--to", "ascii", "-x"}, "unknown option '-x'"},
        RejectCase{{"a", "b", "--to"}, "'--to' needs a value"},
        RejectCase{{"a", "b", "--to", "paradise"}, "one of ascii, dbase, not 'paradise'"},
        RejectCase{{"a", "b", "--to", "ascii", "--3d=yes"}, "takes no value"},
        RejectCase{{"a", "b", "--to", "ascii", "--to", "dbase"}, "given twice"},
        RejectCase{{"a", "--to", "ascii"}, "missing TARGET"},
        RejectCase{{"a", "b", "c", "--to", "ascii"}, "unexpected argument 'c'"},
        RejectCase{{"a", "b"}, "missing option '--to'"}));

TEST(CliParseArgs, HelpWinsOverEveryOtherCheck)
{
    EXPECT_TRUE(parseArgs(sampleCommand(), std::vector<std::string>{"--bogus", "--help"}).help);
    EXPECT_TRUE(parseArgs(sampleCommand(), std::vector<std::string>{"-h"}).help);
    EXPECT_THROW(parseArgs(sampleCommand(), std::vector<std::string>{"--", "--help"}), UsageError);
}

struct UsageCase {
    std::vector<std::string> args;
    std::string messagePart;
};

class CliUsageError : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageError, ExitsWith64AndWritesNothingToStandardOutput)
{
    const auto run = runInProcess(GetParam().args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().messagePart), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageError,
    ::testing::Values(UsageCase{{}, "Usage: zandor-cli COMMAND"},
                      UsageCase{{"frobnicate"}, "unknown command 'frobnicate'"},
                      UsageCase{{"--verbose"}, "unknown option '--verbose'"},
                      UsageCase{{"help", "frobnicate"}, "unknown command 'frobnicate'"},
                      UsageCase{{"info"}, "missing TABLE"},
                      UsageCase{{"info", "a.db", "b.db"}, "unexpected argument 'b.db'"},
                      UsageCase{{"dump", "--bogus", "a.db"}, "unknown option '--bogus'"},
                      UsageCase{{"import", "a.csv"}, "missing TABLE"}));

TEST(CliHelp, GeneralHelpListsEveryCommand)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"help"}}) {
        const auto run = runInProcess(args);
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.err, "");
        for (const CommandSpec* command : commands())
            EXPECT_NE(run.out.find("\n  " + command->name + " "), std::string::npos)
                << command->name << " missing from\n" << run.out;
    }
}

TEST(CliHelp, EveryCommandHasItsOwnHelp)
{
    for (const CommandSpec* command : commands()) {
        const auto help = runInProcess({command->name, "--help"});
        EXPECT_EQ(help.status, kExitOk) << command->name;
        EXPECT_EQ(help.out.rfind("Usage: zandor-cli " + command->usage + "\n", 0), 0u) << help.out;
        EXPECT_GT(help.out.size(), command->usage.size() + 40) << command->name;
        const auto viaHelp = runInProcess({"help", command->name});
        EXPECT_EQ(viaHelp.status, kExitOk) << command->name;
        EXPECT_EQ(viaHelp.out, help.out) << command->name;
    }
}

// The manual page is made from the help texts: every option has to be named there, and every
// command needs an example.
TEST(CliHelp, EveryCommandNamesEachOptionAndGivesAnExample)
{
    for (const CommandSpec* command : commands()) {
        const std::string help = commandHelp(*command);
        EXPECT_FALSE(command->example.empty()) << command->name << " has no example";
        EXPECT_NE(help.find("\nExample:\n  zandor-cli " + command->name + " "), std::string::npos)
            << help;
        for (const OptionSpec& option : command->options)
            EXPECT_NE(help.find("--" + option.name), std::string::npos)
                << command->name << " does not name --" << option.name;
    }
}

TEST(CliHelp, VersionGoesToStandardOutput)
{
    const auto run = runInProcess({"--version"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out.rfind("zandor-cli ", 0), 0u) << run.out;
    EXPECT_EQ(run.out.back(), '\n');
    EXPECT_EQ(run.err, "");
}

TEST(CliManualPage, HoldsEveryCommandWithItsHelpEscapedForRoff)
{
    const std::string page = manualPage("share/velmora/samples");
    EXPECT_EQ(page.rfind(".TH ZANDOR\\-CLI 1 ", 0), 0u) << page.substr(0, 80);
    EXPECT_NE(page.find(".SH \"EXIT STATUS\"\n.nf\n  0   success\n"), std::string::npos);
    for (const CommandSpec* command : commands()) {
        std::string name;  // as roff writes it: hyphens escaped
        for (char c : command->name)
            name += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(page.find("\n.SS " + name + "\n"), std::string::npos) << command->name;
    }
    EXPECT_NE(page.find("\n  zandor\\-cli info single_region.DB\n"), std::string::npos);
}

}  // namespace
}  // namespace zandor::cli
