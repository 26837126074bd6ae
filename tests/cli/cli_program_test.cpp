// The built zandor-cli program end to end: exit statuses and streams as a script sees them.
#include <gtest/gtest.h>

#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::runProgram;
using testing::ScratchDir;
using testing::writeFile;

TEST(CliProgram, UsageErrorsExitWith64)
{
    ScratchDir scratch;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"frobnicate"},
          std::vector<std::string>{"dump"}, std::vector<std::string>{"info", "--bogus", "t.db"}}) {
        const auto run = runProgram(args, scratch);
        EXPECT_EQ(run.status, 64);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

TEST(CliProgram, HelpGoesToStandardOutput)
{
    ScratchDir scratch;
    const auto run = runProgram({"--help"}, scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Usage: zandor-cli COMMAND"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

TEST(CliProgram, AnUnreadableTableExitsWith1NamingTheFile)
{
    ScratchDir scratch;
    const std::string path = scratch / "缺少的表.db";
    const auto run = runProgram({"info", path}, scratch);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
}

TEST(CliProgram, ImportAndDumpThroughThePipe)
{
    ScratchDir scratch;
    writeFile(scratch / "in.csv", "年龄,男性人口,地区\n0,10.5,城镇\n80,0.25,\"农村,山区\"\n");
    const auto imported = runProgram({"import", scratch / "in.csv", scratch / "t.dbf"}, scratch);
    ASSERT_EQ(imported.status, 0) << imported.err;
    const auto dumped = runProgram({"dump", scratch / "t.dbf"}, scratch);
    EXPECT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(dumped.out, "年龄,男性人口,地区\n0,10.5,城镇\n80,0.25,\"农村,山区\"\n");
    EXPECT_EQ(dumped.err, "");
}

}  // namespace
}  // namespace zandor::cli
