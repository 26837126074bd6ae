// zandor-cli compute: the options reach the field calculator, success prints nothing, a row
// that cannot be computed exits 2 with "Data Error!" and the row, usage errors exit 64.
#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "tables/table.h"

namespace zandor::cli {
namespace {

using testing::runInProcess;
using testing::ScratchDir;

class CliCompute : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = scratch / "calc.db";
        ASSERT_EQ(runInProcess({"sql", "Create table \"" + path + "\" (A float,B float,结果 float)"}).status, kExitOk);
        auto table = tables::Table::open(path);
        for (double row : {1.0, 2.0, 3.0}) {
            table.append();
            table.setValue("A", row);
            table.setValue("B", 6.0 - 2 * row);  // 4 2 0
            table.post();
        }
        table.close();
    }

    std::string dump() { return runInProcess({"dump", path}).out; }

    ScratchDir scratch;
    std::string path;
};

TEST_F(CliCompute, EachModeWritesTheTargetAndPrintsNothing)
{
    const struct {
        std::vector<std::string> mode;
        std::string dump;
    } cases[] = {
        {{"--add", "A", "B"}, "A,B,结果\n1,4,5\n2,2,4\n3,0,3\n"},
        {{"--sub", "A", "B"}, "A,B,结果\n1,4,-3\n2,2,0\n3,0,3\n"},
        {{"--mul", "A", "B"}, "A,B,结果\n1,4,4\n2,2,4\n3,0,0\n"},
        {{"--copy", "B"}, "A,B,结果\n1,4,4\n2,2,2\n3,0,0\n"},
        {{"--transform", "percent", "A"}, "A,B,结果\n1,4,0.01\n2,2,0.02\n3,0,0.03\n"},
        {{"--transform=exp", "B"}, "A,B,结果\n1,4,54.598150033144236\n2,2,7.38905609893065\n3,0,1\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"compute", path, "--target", "结果"};
        args.insert(args.end(), c.mode.begin(), c.mode.end());
        const auto run = runInProcess(args);
        EXPECT_EQ(run.status, kExitOk) << c.mode[0] << ": " << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(dump(), c.dump) << c.mode[0];
    }
}

TEST_F(CliCompute, ARowThatCannotBeComputedExitsTwoNamingIt)
{
    const auto run = runInProcess({"compute", path, "--target", "结果", "--div", "A", "B"});
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Data Error!\nrow 3 cannot be computed; it and the rows after it are unchanged, "
                       "rows 1 to 2 keep their new values\n");
    EXPECT_EQ(dump(), "A,B,结果\n1,4,0.25\n2,2,1\n3,0,\n");

}

TEST_F(CliCompute, UsageErrorsAndUnknownFields)
{
    const std::vector<std::vector<std::string>> usage = {
        {"compute", path, "--target", "结果"},
        {"compute", path, "--target", "结果", "--add", "A"},
        {"compute", path, "--target", "结果", "--copy", "A", "--add", "A", "B"},
        {"compute", path, "--target", "结果", "--transform", "sqrt", "A"},
        {"compute", path, "--copy", "A"},
    };
    for (const auto& args : usage)
        EXPECT_EQ(runInProcess(args).status, kExitUsage) << args.back();

    const auto unknown = runInProcess({"compute", path, "--target", "结果", "--copy", "无此字段"});
    EXPECT_EQ(unknown.status, kExitFailure);
    EXPECT_NE(unknown.err.find("无此字段"), std::string::npos) << unknown.err;
    EXPECT_EQ(dump(), "A,B,结果\n1,4,\n2,2,\n3,0,\n");
}

}  // namespace
}  // namespace zandor::cli
