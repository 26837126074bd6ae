// Numbers that are not numbers in a population field: every analysis command refuses them
// (exit 2, the message naming the field and the row), nothing is printed or stored, and a
// chart of values no axis can hold is refused the same way.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli_test_support.h"
#include "tables/table.h"
#include "tables/table_file.h"

namespace zandor::cli {
namespace {

using namespace zandor::cli::testing;
using tables::FieldDef;
using tables::FieldKind;

constexpr int kAges = 101;
constexpr int kBadRow = 31;  // as the messages count rows, from 1

class CliBadNumbers : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = scratch_ / "pop.DB";
        std::vector<FieldDef> fields;
        for (const char* name : {"男性人口", "女性人口", "男性死亡率", "女性死亡率", "年龄别生育率", "非数", "无穷",
                                 "巨大", "负数", "少龄", "截止"})
            fields.push_back(FieldDef{name, FieldKind::Float});
        auto created = tables::createTableFile(path_, tables::TableFormat::Paradox, fields);
        for (int age = 0; age < kAges; ++age) {
            const double people = 20000.0 - 150 * age;
            const bool bad = age == kBadRow - 1;
            created.table->append({people, people, 0.01, 0.01, age >= 15 && age <= 49 ? 0.06 : 0.0,
                                   bad ? std::numeric_limits<double>::quiet_NaN() : people,
                                   bad ? std::numeric_limits<double>::infinity() : people, bad ? 1.7e308 : people,
                                   bad ? -5.0 : people, age == 3 ? 0.0 : people,
                                   bad ? -1.0 : age > kBadRow ? std::numeric_limits<double>::quiet_NaN() : people});
        }
        created.table->flush();
    }
    CliRun run(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, path_);
        return runProgram(args, scratch_);
    }
    ScratchDir scratch_;
    std::string path_;
};

TEST_F(CliBadNumbers, EveryAnalysisRefusesNamingTheFieldAndRow)
{
    const std::string row = "第 " + std::to_string(kBadRow) + " 行";
    std::vector<std::pair<std::vector<std::string>, std::string>> cases;
    for (const char* index : {"preference", "whipple", "myers", "accuracy"})
        for (const char* field : {"非数", "无穷", "巨大", "负数"})
            cases.push_back({{"quality", "--field", field, "--index", index}, std::string("字段“") + field + "”" + row});
    cases.push_back({{"un-index", "--male", "男性人口", "--female", "负数"}, "字段“负数”" + row});
    cases.push_back({{"standardize", "--male", "男性人口", "--female", "无穷"}, "字段“无穷”" + row});
    cases.push_back({{"standardize", "--male", "男性人口", "--female", "女性人口", "--total", "-1"}, "总人口数据不正确."});
    cases.push_back({{"target-plan", "--male-pop", "巨大", "--female-pop", "女性人口", "--male-rates", "男性死亡率",
                      "--female-rates", "女性死亡率", "--fertility", "年龄别生育率", "--from", "2000", "--to", "2005",
                      "--target", "2000000", "--births-only"},
                     "字段“巨大”" + row});
    cases.push_back({{"quality", "--field", "少龄", "--index", "preference"}, "字段“少龄”"});
    cases.push_back({{"chart", "--kind", "bar", "--fields", "男性人口,巨大", "--out", scratch_ / "c.png"}, "字段“巨大”" + row});
    cases.push_back({{"chart", "--kind", "line", "--fields", "非数", "--out", scratch_ / "c.svg"}, "字段“非数”" + row});
    for (const auto& [args, message] : cases) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, kExitRefused) << args[0] << " " << args[2] << ": " << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << args[0] << " " << args[2] << ": " << result.err;
        EXPECT_EQ(result.out, "") << args[0] << " " << args[2];
    }
    // For the UN index a -1 ends the data: what follows it is never read, so never refused.
    const CliRun ended = run({"un-index", "--male", "男性人口", "--female", "截止"});
    EXPECT_EQ(ended.status, kExitOk) << ended.err;
    // Nothing was stored or drawn.
    auto table = tables::Table::open(path_, /*readOnly=*/true);
    EXPECT_EQ(table.fields().size(), 11u);
    EXPECT_EQ(scratch_.files(), std::vector<std::string>{"pop.DB"});
}

}  // namespace
}  // namespace zandor::cli
