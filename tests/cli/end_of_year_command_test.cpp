// zandor-cli end-of-year and standardize: the options reach the engines, the new fields and
// the CSV of the stored whole numbers, refusals exit 2 with the table unchanged, usage
// errors exit 64.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "cli_test_support.h"
#include "tables/numeric_column.h"
#include "tables/table.h"
#include "text/numbers.h"

namespace zandor::cli {
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;

class CliEndOfYear : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = scratch / "single_region.DB";
        std::filesystem::copy_file(ZANDOR_SOURCE_DIR "/samples/single_region.DB", path);
    }

    std::vector<std::string> endOfYear(const std::string& total) const
    {
        return {"end-of-year", path, "--male-pop", "男性人口", "--female-pop", "女性人口", "--male-rates",
                "男性死亡率", "--female-rates", "女性死亡率", "--total", total, "--male-births", "52000",
                "--female-births", "48000"};
    }

    ScratchDir scratch;
    std::string path;
};

// The sample's year settles; the stored whole numbers sum to the total within TOT / 100000
// and half a person a cell, and the CSV holds what the fields hold.
TEST_F(CliEndOfYear, StoresTheEstimateInTwoFieldsAndPrintsIt)
{
    const double total = 10090000;
    const auto run = runInProcess(endOfYear("10090000"));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    auto table = tables::Table::open(path, true);
    ASSERT_EQ(table.fieldCount(), 8);
    const auto male = tables::readNumericColumn(table, "Tcm01");
    const auto female = tables::readNumericColumn(table, "Tcf01");
    double stored = 0;
    std::string expected = "age,Tcm01,Tcf01\n";
    for (std::size_t x = 0; x < male.size(); ++x) {
        EXPECT_EQ(male[x], std::round(male[x]));
        stored += male[x] + female[x];
        expected += std::to_string(x) + "," + text::formatRoundTrip(male[x]) + "," +
                    text::formatRoundTrip(female[x]) + "\n";
    }
    EXPECT_EQ(run.out, expected);
    EXPECT_LE(std::fabs(stored - total), total / 100000 + 0.5 * 2 * static_cast<double>(male.size()));
}

TEST_F(CliEndOfYear, RefusalsLeaveTheTableAsItWas)
{
    const std::string before = readFile(path);
    std::vector<std::string> taken = endOfYear("10090000");
    taken.insert(taken.end(), {"--female-field", "男性人口"});
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {endOfYear("0.0"), "数据逻辑错误!\n"},
        {endOfYear("2e7"), "数据逻辑错误!!!请检查数据!\n"},
        {taken, "男性人口变量已存在，请输入新的变量名.\n"},
    };
    for (const auto& c : cases) {
        const auto run = runInProcess(c.args);
        EXPECT_EQ(run.status, kExitRefused);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_EQ(scratch.files(), std::vector<std::string>{"single_region.DB"});
}

TEST_F(CliEndOfYear, StandardizeEitherPage)
{
    auto run = runInProcess({"standardize", path, "--male", "男性人口", "--female", "女性人口", "--total", "1000"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.out.starts_with("record,Smale01,Sfemale01\n0,4,4\n"));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 102);

    run = runInProcess({"standardize", path, "--rural-male", "男性人口", "--rural-female", "女性人口",
                        "--urban-male", "Smale01", "--urban-female", "Sfemale01", "--urban-female-field", "城女"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.out.starts_with("record,Rmale01,Rfemale01,Umale01,城女\n")) << run.out.substr(0, 80);
    EXPECT_EQ(tables::Table::open(path, true).fieldCount(), 12);

    const std::string before = readFile(path);
    EXPECT_EQ(runInProcess({"standardize", path, "--male", "男性人口"}).err, "选定原始数据变量不够!\n");
    EXPECT_EQ(runInProcess({"standardize", path, "--male", "男性人口", "--female", "女性人口"}).err,
              "Smale01变量已存在，请输入新的变量名.\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"standardize", path},
             {"standardize", path, "--male", "男性人口", "--rural-female", "女性人口"},
             {"end-of-year", path, "--male-pop", "男性人口"}})
        EXPECT_EQ(runInProcess(args).status, kExitUsage) << args.back();
    EXPECT_EQ(readFile(path), before);
}

}  // namespace
}  // namespace zandor::cli
