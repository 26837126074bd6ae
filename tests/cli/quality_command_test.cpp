// zandor-cli quality and un-index over the sample table: the output form of each index and of
// --bands, and the exit statuses of refusals, usage errors and failures.
#include <gtest/gtest.h>

#include <regex>

#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::runInProcess;
using testing::runProgram;
using testing::ScratchDir;

// 101 single years, ages 0 to 100; the populations hold no zero, the fertility rates are 0
// before age 15.
const std::string kSample = std::string(ZANDOR_SOURCE_DIR) + "/samples/single_region.DB";

TEST(CliQuality, WritesTheResultLinesOfEachIndex)
{
    const struct {
        const char* index;
        const char* pattern;
    } cases[] = {
        {"whipple", "WI  [0-9]*\\.?[0-9]{0,2}\n"},
        {"accuracy", "ARCerret_Index   [0-9]*\\.?[0-9]{0,2}\n"},
        // Ages 2 to 98, one line each.
        {"preference", "2  [0-9.]+\n([0-9]+  [0-9]*\\.?[0-9]{0,2}\n){96}"},
    };
    for (const auto& c : cases) {
        const auto run = runInProcess({"quality", kSample, "--field", "男性人口", "--index", c.index});
        EXPECT_EQ(run.status, kExitOk) << c.index << ": " << run.err;
        EXPECT_TRUE(std::regex_match(run.out, std::regex(c.pattern))) << c.index << ":\n" << run.out;
    }
    const auto bands = runInProcess({"quality", kSample, "--field", "男性人口", "--index", "whipple", "--bands"});
    EXPECT_EQ(bands.status, kExitOk);
    EXPECT_EQ(bands.out, "100-110\n110-130\n>130\n");
}

TEST(CliQuality, UnIndexWritesItsLineAndBands)
{
    const auto run = runInProcess({"un-index", kSample, "--male", "男性人口", "--female", "女性人口"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("联合国分性别指数:   [0-9]*\\.?[0-9]{0,2}\n"))) << run.out;
    const auto bands =
        runInProcess({"un-index", kSample, "--male", "男性人口", "--female", "女性人口", "--bands"});
    EXPECT_EQ(bands.out, "<20\n20-40\n>40\n");
}

TEST(CliQuality, RefusalsExitTwoWithTheMessageAndNoOutput)
{
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"quality", kSample, "--field", "年龄别生育率", "--index", "preference"},
         "Division by zero at age 2: ages 0 to 4 sum to 0\n"},
        {{"quality", kSample, "--field", "人口", "--index", "whipple"},
         "Field '人口' not found in " + kSample + "\n"},
        {{"un-index", kSample, "--male", "男性人口", "--female", " "}, "Field Not Selected\n"},
    };
    for (const auto& c : cases) {
        const auto run = runInProcess(c.args);
        EXPECT_EQ(run.status, kExitRefused);
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(run.out, "");
    }
}

TEST(CliQuality, UsageErrorsAndFailures)
{
    EXPECT_EQ(runInProcess({"quality", kSample, "--field", "男性人口"}).status, kExitUsage);
    EXPECT_EQ(runInProcess({"quality", kSample, "--field", "男性人口", "--index", "bachi"}).status, kExitUsage);
    EXPECT_EQ(runInProcess({"un-index", kSample, "--male", "男性人口"}).status, kExitUsage);

    ScratchDir scratch;
    const auto missing = runProgram({"quality", scratch / "none.DB", "--field", "x", "--index", "whipple"}, scratch);
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_NE(missing.err.find("none.DB"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace zandor::cli
