// zandor-cli smooth and graduate: the CSV form, --save adding one Float field, and the exit
// statuses of a refusal (table unchanged) and of a usage error.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli_test_support.h"
#include "tables/numeric_column.h"
#include "tables/table.h"

namespace zandor::cli {
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;

std::size_t lineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(CliAdjust, SmoothAndGraduateOutputSaveAndRefusals)
{
    ScratchDir scratch;
    const std::string path = scratch / "single_region.DB";
    std::filesystem::copy_file(ZANDOR_SOURCE_DIR "/samples/single_region.DB", path);

    // 101 single years are grouped: 0-4 ... 95-99 and 100+.
    const auto smoothed = runInProcess({"smooth", path, "--field", "男性人口", "--method", "arriaga"});
    ASSERT_EQ(smoothed.status, kExitOk) << smoothed.err;
    EXPECT_TRUE(smoothed.out.starts_with("age,original,smoothed\n0,")) << smoothed.out;
    EXPECT_EQ(lineCount(smoothed.out), 22u);
    EXPECT_NE(smoothed.out.find("\n95,"), std::string::npos);
    EXPECT_NE(smoothed.out.find("\n100,"), std::string::npos);

    // The whole adjustment saved: one value per record, as a new Float field.
    const auto graduated = runInProcess({"graduate", path, "--field", "男性人口", "--method", "sprague", "--smooth",
                                         "arriaga", "--save", "男性调整"});
    ASSERT_EQ(graduated.status, kExitOk) << graduated.err;
    EXPECT_TRUE(graduated.out.starts_with("age,value\n0,"));
    EXPECT_EQ(lineCount(graduated.out), 102u);
    {
        auto table = tables::Table::open(path, true);
        EXPECT_EQ(tables::readNumericColumn(table, "男性调整").size(), 101u);
    }

    // Refusals: the group results do not fit the single-year table; a name the table has.
    const std::string before = readFile(path);
    for (const auto& args : {std::vector<std::string>{"smooth", path, "--field", "男性人口", "--method", "strong",
                                                      "--save", "S1"},
                             std::vector<std::string>{"graduate", path, "--field", "男性人口", "--method",
                                                      "beers-modified", "--save", "男性调整"}}) {
        const auto run = runInProcess(args);
        EXPECT_EQ(run.status, kExitRefused) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_EQ(runInProcess({"smooth", path, "--field", "男性人口", "--method", "whittaker"}).status, kExitUsage);

    // A table of four five-year groups is too short; the message names the open group.
    testing::writeFile(scratch / "small.csv", "p\n10\n9\n8\n7\n");
    const std::string small = scratch / "small.DB";
    ASSERT_EQ(runInProcess({"import", scratch / "small.csv", small}).status, kExitOk);
    const auto tooFew = runInProcess({"smooth", small, "--field", "p", "--method", "arriaga"});
    EXPECT_EQ(tooFew.status, kExitRefused);
    EXPECT_NE(tooFew.err.find("15岁及以上"), std::string::npos) << tooFew.err;
}

}  // namespace
}  // namespace zandor::cli
