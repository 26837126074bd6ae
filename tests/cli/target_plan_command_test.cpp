// zandor-cli target-plan: the two output forms, the report files, the printed seed, the
// same output on one and two threads, and the exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::runProgram;
using testing::ScratchDir;

std::vector<std::string> sampleArgs(const std::string& from, const std::string& to)
{
    return {"target-plan",  ZANDOR_SOURCE_DIR "/samples/single_region.DB",
            "--male-pop",   "男性人口",
            "--female-pop", "女性人口",
            "--male-rates", "男性死亡率",
            "--female-rates", "女性死亡率",
            "--fertility",  "年龄别生育率",
            "--from",       from,
            "--to",         to,
            "--target",     "9900000"};
}

// Two years with a target about 99000 births a year above the aged population.
std::vector<std::string> smallSearch(const ScratchDir& dir, const std::string& threads)
{
    auto args = sampleArgs("2000", "2002");
    args.back() = "10030000";
    for (const char* word : {"--runs", "6", "--seed", "42"})
        args.push_back(word);
    for (const std::string& word : {std::string("--threads"), threads, std::string("--report-dir"), dir.path().string()})
        args.push_back(word);
    return args;
}

// The arguments with each "--name value" pair of `extra` set: replaced where given, else added.
std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& extra)
{
    for (std::size_t i = 0; i + 1 < extra.size(); i += 2) {
        auto at = std::find(args.begin(), args.end(), extra[i]);
        if (at == args.end())
            args.insert(args.end(), {extra[i], extra[i + 1]});
        else
            *(at + 1) = extra[i + 1];
    }
    return args;
}

std::size_t lineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(CliTargetPlan, BirthsOnly)
{
    auto args = sampleArgs("2000", "2010");
    args.push_back("--births-only");
    const auto run = runInProcess(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    EXPECT_TRUE(run.out.starts_with("year,births,women_15_49,mean_age\n2000,"));
    EXPECT_EQ(lineCount(run.out), 11u);

    // Births of 0 or below, which the search refuses, are listed all the same.
    auto below = sampleArgs("2000", "2001");
    below.push_back("--births-only");
    const auto listed = runInProcess(below);
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_TRUE(listed.out.starts_with("year,births,women_15_49,mean_age\n2000,-45286.")) << listed.out;
}

TEST(CliTargetPlan, SearchWritesCsvAndReportsAlikeOnOneAndTwoThreads)
{
    ScratchDir one, two;
    // Reports of an earlier search of more years are set aside and named on standard error.
    for (const char* stale : {"TFR1.txt", "TFR2.txt", "TFR5.txt"})
        testing::writeFile((one.path() / stale).string(), "old");
    const auto a = runInProcess(smallSearch(one, "1"));
    const auto b = runInProcess(smallSearch(two, "2"));
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_TRUE(a.out.starts_with(
        "year,births,women_15_49,mean_age,mean_tfr,tfr_up,tfr_low,converged,retained\n2000,"));
    EXPECT_EQ(lineCount(a.out), 3u);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(one.files(), (std::vector<std::string>{"TFR0.txt", "TFR1.txt", "TFR2.old.txt", "TFR5.old.txt"}));
    EXPECT_EQ(a.err, "上次的报告已改名: TFR2.old.txt\n上次的报告已改名: TFR5.old.txt\n");
    EXPECT_EQ(readFile(one.path() / "TFR1.txt"), readFile(two.path() / "TFR1.txt"));
}

TEST(CliTargetPlan, SeedFromTheClockIsPrinted)
{
    ScratchDir dir;
    auto args = smallSearch(dir, "2");
    args.erase(std::find(args.begin(), args.end(), "--seed"), std::find(args.begin(), args.end(), "--seed") + 2);
    const auto run = runProgram(args, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("seed: ")) << run.err;
    EXPECT_EQ(lineCount(run.err), 1u);
}

TEST(CliTargetPlan, ExitStatuses)
{
    ScratchDir dir;
    struct Case {
        std::vector<std::string> extra;
        int status;
        std::string err;
    };
    const std::string folder = dir.path().string();
    const std::vector<Case> cases = {
        {{"--to", "2000"}, 2, "Please Redefine the Restrospect Years Aagain!\n"},
        // Two runs of one generation cannot reach the births of a 1.26 thousand million target.
        {{"--target", "1260000000", "--runs", "2", "--generations", "1", "--seed", "1", "--report-dir", folder},
         2,
         "Division by zero: no run converged in 2000.\n"},
        // 2000-2001 with the target 9900000 needs fewer births than none: no search.
        {{"--target", "9900000", "--report-dir", folder},
         2,
         "The target is reached without births: the births required in 2000 are -45286.4811935366.\n"},
        {{"--from", "year"}, 64, ""},
        {{"--mode", "other"}, 64, ""},
        {{"--individuals", "many"}, 2, "个体数 (Edit1): “many”不是有效的整数\n"},
    };
    for (const auto& c : cases) {
        const auto run = runInProcess(with(sampleArgs("2000", "2001"), c.extra));
        EXPECT_EQ(run.status, c.status) << c.extra[0];
        EXPECT_TRUE(run.out.empty());
        if (!c.err.empty()) {
            EXPECT_EQ(run.err, c.err);
        }
    }
    EXPECT_TRUE(dir.files().empty());
    // A report folder that cannot be written is named before any search.
    const auto nowhere =
        runInProcess(with(sampleArgs("2000", "2001"), {"--target", "11500000", "--report-dir", folder + "/none"}));
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_NE(nowhere.err.find("报告文件夹 " + folder + "/none 不存在"), std::string::npos) << nowhere.err;
    auto missing = sampleArgs("2000", "2001");
    missing.erase(missing.begin() + 10, missing.begin() + 12);  // no --fertility
    EXPECT_EQ(runInProcess(missing).status, 64);
}

}  // namespace
}  // namespace zandor::cli
