// zandor-cli project-ur on the urban-rural sample table: the output forms, the schedule file
// reaching the grids, and the exit statuses with their messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::runInProcess;
using testing::runProgram;
using testing::ScratchDir;
using testing::writeFile;

const std::string kSample = ZANDOR_SOURCE_DIR "/samples/urban_rural.DB";

std::vector<std::string> projectUrArgs(int base = 2020, int end = 2025)
{
    return {"project-ur",           kSample,          "--rural-male-pop",    "农村男性人口",
            "--rural-female-pop",   "农村女性人口",   "--rural-male-rates",  "农村男性死亡率",
            "--rural-female-rates", "农村女性死亡率", "--rural-fertility",   "农村年龄别生育率",
            "--urban-male-pop",     "城镇男性人口",   "--urban-female-pop",  "城镇女性人口",
            "--urban-male-rates",   "城镇男性死亡率", "--urban-female-rates", "城镇女性死亡率",
            "--urban-fertility",    "城镇年龄别生育率", "--base-year",       std::to_string(base),
            "--end-year",           std::to_string(end)};
}

std::vector<std::string> plus(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST(ProjectUrCommand, IndicatorsListingAndAgesOfTheSample)
{
    const auto run = runInProcess(projectUrArgs());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(rows[0].starts_with("year,总人口数,男性总人口数,")) << rows[0];
    EXPECT_NE(rows[0].find(",农村总人口数,"), std::string::npos);
    EXPECT_TRUE(rows[0].ends_with(",城市老年人口比重")) << rows[0];
    EXPECT_EQ(rows[1].substr(0, 5), "2021,");
    EXPECT_EQ(rows[5].substr(0, 5), "2025,");

    const auto listing = lines(runInProcess(plus(projectUrArgs(), {"--listing", "农村人口年龄结构"})).out);
    ASSERT_EQ(listing.size(), 4u + 101u);
    EXPECT_EQ(listing[0], "");
    EXPECT_EQ(listing[2], "2025年 年龄结构");

    const auto ages = lines(runInProcess(plus(projectUrArgs(), {"--ages"})).out);
    ASSERT_EQ(ages.size(), 102u);
    EXPECT_EQ(ages[0], "age,rural_male,rural_female,urban_male,urban_female");
}

TEST(ProjectUrCommand, ExactTicksTheExactMode)
{
    const auto literal = runInProcess(plus(projectUrArgs(), {"--ages"}));
    const auto exact = runInProcess(plus(projectUrArgs(), {"--exact", "--ages"}));
    ASSERT_EQ(exact.status, 0) << exact.err;
    EXPECT_NE(exact.out, literal.out);
    const auto listing = lines(runInProcess(plus(projectUrArgs(), {"--exact", "--listing", "城市人口数"})).out);
    EXPECT_EQ(listing.at(1), "城市人口数（精确模式）");
}

TEST(ProjectUrCommand, TheScheduleFileReachesTheGrids)
{
    ScratchDir scratch;
    const std::string schedule = scratch / "movers.csv";
    writeFile(schedule, "row,2021,2022\nmovers_male,5000,5000\nmover_share_male_20,1,1\n");
    const auto base = lines(runInProcess(plus(projectUrArgs(2020, 2022), {"--listing", "城市男性总人口数"})).out);
    const auto moved = lines(
        runInProcess(plus(projectUrArgs(2020, 2022), {"--listing", "城市男性总人口数", "--schedule", schedule})).out);
    ASSERT_EQ(base.size(), 4u);
    ASSERT_EQ(moved.size(), 4u);
    EXPECT_NE(base[2], moved[2]);
}

struct Failure {
    const char* name;
    std::vector<std::string> extra;
    int status;
    const char* message;  // the start of standard error
};

class ProjectUrFailures : public ::testing::TestWithParam<Failure> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectUrFailures,
    ::testing::Values(Failure{"FieldLeftOut", {"--drop", "--urban-fertility"}, 2, "选定原始数据变量不够!\n"},
                      Failure{"NoNumberInASchedule", {"--schedule", "@e0_rural_male,x,77"}, 1,
                              "zandor-cli: 农村男性期望寿命 2021年"},
                      Failure{"MoversWithoutPattern", {"--schedule", "@movers_female,0,20000"}, 2,
                              "2022年城镇化规模女性为20000人"},
                      Failure{"UnknownScheduleRow", {"--schedule", "@pattern_15,1,1"}, 1, "zandor-cli: schedule file"},
                      Failure{"ListingAndAges", {"--listing", "总人口数", "--ages"}, 64, ""},
                      Failure{"FieldTheTableLacks", {"--table", "single_region.DB"}, 1, "zandor-cli: "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(ProjectUrFailures, ExitWithTheirStatusAndWriteNothing)
{
    ScratchDir scratch;
    std::vector<std::string> extra = GetParam().extra;
    std::vector<std::string> args = projectUrArgs(2020, 2022);
    // "--table NAME": another sample table; "--drop OPTION": the option and its value left out.
    if (extra.size() == 2 && extra[0] == "--table") {
        args[1] = ZANDOR_SOURCE_DIR "/samples/" + extra[1];
        extra.clear();
    } else if (extra.size() == 2 && extra[0] == "--drop") {
        const auto option = std::find(args.begin(), args.end(), extra[1]);
        args.erase(option, option + 2);
        extra.clear();
    }
    for (std::string& word : extra) {
        // "@ROW,CELLS": a schedule file holding the header and that one line.
        if (!word.empty() && word[0] == '@') {
            const std::string path = scratch / "schedule.csv";
            writeFile(path, "row,2021,2022\n" + word.substr(1) + "\n");
            word = path;
        }
    }
    const auto run = runProgram(plus(args, extra), scratch);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, std::string(GetParam().message).size()), GetParam().message) << run.err;
}

}  // namespace
}  // namespace zandor::cli
