// Adding an analysis's result field to the current table: values row by row, the refusal of a
// name the table has, and the current table left open and unchanged when the change fails.
#include <gtest/gtest.h>

#include <cmath>

#include "tables/result_field.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "text/refusal.h"
#include "statements_scratch.h"

namespace zandor::tables {
namespace {

using testing::allRecords;
using testing::fileBytes;
using testing::sameValue;
using testing::ScratchFolder;

class ResultField : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        path = scratch.path("t" + GetParam());
        runStatement("Create table \"" + path + "\" (年龄 integer,Pop float,地区 char(8))");
        Table t = Table::open(path);
        for (int age = 0; age < 5; ++age) {
            t.append();
            t.setValue(0, std::int64_t{age});
            t.setValue(1, 100.0 + age);
            t.setValue(2, std::string(age % 2 ? "城镇" : "农村"));
            t.post();
        }
        t.close();
        original = allRecords(path);
    }

    ScratchFolder scratch;
    std::string path;
    std::vector<Record> original;
};

INSTANTIATE_TEST_SUITE_P(Formats, ResultField, ::testing::Values(".DB", ".dbf"),
                         [](const auto& info) { return info.param == ".DB" ? "Paradox" : "dBase"; });

TEST_P(ResultField, ValuesGoRowByRowAndTheRestStayNull)
{
    Table current = Table::open(path);
    const struct {
        std::string name;
        std::vector<double> values;
    } cases[] = {
        {"结果", {0.5, 1.5, 2.5, 3.5, 4.5}},
        {"少", {-1.25, 7.0}},
        {"空", {}},
    };
    std::size_t added = 0;
    for (const auto& c : cases) {
        addResultField(current, c.name, c.values);
        ++added;
        ASSERT_TRUE(current.isOpen());
        ASSERT_EQ(current.fieldCount(), static_cast<int>(3 + added));
        EXPECT_EQ(current.fields().back().name, c.name);
        EXPECT_EQ(current.fields().back().kind(), FieldKind::Float);
        EXPECT_EQ(current.recNo(), 0u);
        const auto records = allRecords(path);
        ASSERT_EQ(records.size(), 5u);
        for (std::size_t r = 0; r < records.size(); ++r) {
            for (std::size_t f = 0; f < 3; ++f)
                EXPECT_TRUE(sameValue(original[r][f], records[r][f])) << c.name << " row " << r;
            const Value expected = r < c.values.size() ? Value{c.values[r]} : Value{};
            EXPECT_TRUE(sameValue(expected, records[r].back())) << c.name << " row " << r;
        }
    }
    // The earlier results survive the later restructurings.
    EXPECT_TRUE(sameValue(4.5, allRecords(path)[4][3]));
}

TEST_P(ResultField, ANameTheTableHasIsRefused)
{
    // Chinese names must match exactly; ASCII letters match in any case.
    for (const std::string name : {"年龄", "地区", "Pop", "POP", "pop"}) {
        Table current = Table::open(path);
        const std::string before = fileBytes(path);
        try {
            addResultField(current, name, {1.0});
            ADD_FAILURE() << "accepted " << name;
        } catch (const Refusal& e) {
            EXPECT_EQ(std::string(e.what()), name + "变量已存在，请输入新的变量名.");
        }
        EXPECT_TRUE(current.isOpen());
        EXPECT_EQ(current.fieldCount(), 3);
        EXPECT_EQ(fileBytes(path), before);
    }
    // A name that only looks alike is another field.
    Table current = Table::open(path);
    addResultField(current, "年齡", {1.0});
    EXPECT_EQ(current.fieldCount(), 4);
}

TEST_P(ResultField, FailuresLeaveTheCurrentTableOpenAndUnchanged)
{
    const struct {
        std::string name;
        std::vector<double> values;
    } cases[] = {
        {"多", std::vector<double>(6, 1.0)},       // more values than rows
        {"非数", {1.0, std::nan(""), 2.0}},        // a value no table holds
        {"无穷", {HUGE_VAL}},
        {"两 个", {1.0}},                          // not one word
        {"结果\U0001F600", {1.0}},                 // a name with no form in the tables' code page
    };
    for (const auto& c : cases) {
        Table current = Table::open(path);
        const std::string before = fileBytes(path);
        const auto files = scratch.files();
        EXPECT_THROW(addResultField(current, c.name, c.values), TableError) << c.name;
        ASSERT_TRUE(current.isOpen()) << c.name;
        EXPECT_EQ(current.fieldCount(), 3);
        EXPECT_EQ(current.recordCount(), 5u);
        EXPECT_EQ(fileBytes(path), before) << c.name;
        EXPECT_EQ(scratch.files(), files) << c.name;
    }
}

TEST_P(ResultField, SeveralFieldsComeTogetherOrNotAtAll)
{
    Table current = Table::open(path);
    addResultFields(current, {{"男", {1, 2, 3, 4, 5}}, {"女", {6, 7}}});
    EXPECT_EQ(current.fieldCount(), 5);
    const auto records = allRecords(path);
    EXPECT_TRUE(sameValue(5.0, records[4][3]));
    EXPECT_TRUE(sameValue(7.0, records[1][4]));
    EXPECT_TRUE(sameValue(Value{}, records[2][4]));

    // A failure on the second field, whether its name is refused by the format or the disk
    // gives out while the rows are written, leaves no trace of the first.
    const std::string before = fileBytes(path);
    const auto files = scratch.files();
    const RecordHook diskFull = [](std::size_t written) {
        if (written == 3)
            throw TableError("No space left on the device");
    };
    const struct {
        std::vector<ResultColumn> columns;
        RecordHook hook;
    } cases[] = {
        {{{"甲", {1.0}}, {"乙\U0001F600", {2.0}}}, {}},
        {{{"甲", {1.0}}, {"乙", {2.0}}}, diskFull},
        {{{"甲", {1.0}}, {"POP", {2.0}}}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_ANY_THROW(addResultFields(current, c.columns, c.hook)) << c.columns[1].name;
        ASSERT_TRUE(current.isOpen());
        EXPECT_EQ(current.fieldCount(), 5);
        EXPECT_EQ(fileBytes(path), before) << c.columns[1].name;
        EXPECT_EQ(scratch.files(), files) << c.columns[1].name;
    }
}

TEST(ResultFieldDBase, AShortenedNameStillGetsTheValues)
{
    ScratchFolder scratch;
    const std::string path = scratch.path("t.dbf");
    runStatement("Create table \"" + path + "\" (年龄 integer)");
    Table current = Table::open(path);
    for (int age = 0; age < 3; ++age) {
        current.append();
        current.setValue(0, std::int64_t{age});
        current.post();
    }
    const auto remarks = addResultField(current, "年龄别生育率", {0.25, 0.5, 0.75});
    ASSERT_EQ(remarks.size(), 1u);
    EXPECT_EQ(current.fields().back().name, "年龄别生育");
    const auto records = allRecords(path);
    EXPECT_TRUE(sameValue(0.75, records[2][1]));
}

}  // namespace
}  // namespace zandor::tables
