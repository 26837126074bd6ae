// The field calculator: each operation and transformation on hand-picked values, and the row
// walk over real tables (the rows before a failing row keep their values, the target may be
// its own operand, non-float targets take the table store's conversion).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tables/field_calculator.h"
#include "tables/statements.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "statements_scratch.h"

namespace zandor::tables {
namespace {

using testing::allRecords;
using testing::sameValue;
using testing::ScratchFolder;

TEST(FieldCalculatorValues, EachItemOnHandWorkedValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        int position;
        double a;
        std::optional<double> expected;
    } transforms[] = {
        {0, -2.5, 2.5},         {1, 1.0, 0.0},          {1, 0.0, std::nullopt}, {1, -1.0, std::nullopt},
        {2, 25.0, 2.5},         {3, 25.0, 0.25},        {4, 25.0, 0.025},       {5, 0.25, 2.5},
        {6, 0.25, 25.0},        {7, 0.25, 250.0},       {8, 4.0, 0.25},         {8, 0.0, std::nullopt},
        {9, 0.0, 1.0},          {9, 1000.0, std::nullopt}, {10, 2.5, 2.0},      {10, 3.5, 4.0},
        {10, -2.5, -2.0},       {10, 2.51, 3.0},        {11, -7.0, 7.0},        {-1, -7.0, 7.0},
        {0, inf, std::nullopt},
    };
    for (const auto& c : transforms)
        EXPECT_EQ(transform(transformAt(c.position), c.a), c.expected) << "item " << c.position << " of " << c.a;

    const struct {
        int position;
        double a, b;
        std::optional<double> expected;
    } operations[] = {
        {0, 7.0, 2.0, 9.0}, {1, 7.0, 2.0, 5.0}, {2, 7.0, 2.0, 14.0}, {3, 7.0, 2.0, 3.5},
        {3, 7.0, 0.0, std::nullopt}, {3, 0.0, 0.0, std::nullopt}, {2, 1e200, 1e200, std::nullopt},
        {4, 7.0, 2.0, 9.0}, {-1, 7.0, 2.0, 9.0},
    };
    for (const auto& c : operations)
        EXPECT_EQ(operate(operationAt(c.position), c.a, c.b), c.expected) << "item " << c.position;
}

FieldCalculation copyOf(const std::string& target, const std::string& source)
{
    FieldCalculation calculation;
    calculation.mode = CalculatorMode::Replace;
    calculation.target = target;
    calculation.first = source;
    return calculation;
}

class FieldCalculatorWalk : public ::testing::TestWithParam<std::string> {
protected:
    // A 1 2 3 4, B 4 2 0 (empty), H 0.5 1.5 2.5 -2.5, R -1 everywhere; I, D, T empty.
    void SetUp() override
    {
        path = scratch.path("calc" + GetParam());
        runStatement("Create table \"" + path + "\" (A float,B float,H float,R float,I integer,D date,T char(24))");
        Table t = Table::open(path);
        const double a[] = {1, 2, 3, 4};
        const Value b[] = {4.0, 2.0, 0.0, Value{}};
        const double h[] = {0.5, 1.5, 2.5, -2.5};
        for (int row = 0; row < 4; ++row) {
            t.append();
            t.setValue("A", a[row]);
            t.setValue("B", b[row]);
            t.setValue("H", h[row]);
            t.setValue("R", -1.0);
            t.post();
        }
        t.close();
    }

    CalculationOutcome run(FieldCalculation calculation)
    {
        Table t = Table::open(path);
        auto outcome = computeField(t, calculation);
        t.close();
        return outcome;
    }

    Value cell(std::size_t row, int field) { return allRecords(path).at(row).at(static_cast<std::size_t>(field)); }

    ScratchFolder scratch;
    std::string path;
};

INSTANTIATE_TEST_SUITE_P(Formats, FieldCalculatorWalk, ::testing::Values(".DB", ".dbf"),
                         [](const auto& info) { return info.param == ".DB" ? "Paradox" : "dBase"; });

TEST_P(FieldCalculatorWalk, DivisionByZeroInTheThirdRowKeepsRowsOneAndTwoOnly)
{
    const auto outcome = run({CalculatorMode::Operate, "R", "A", "B", Operation::Divide, Transform::Abs});
    EXPECT_EQ(outcome.rowsWritten, 2u);
    ASSERT_EQ(outcome.failedRow, std::optional<std::size_t>(2));
    EXPECT_TRUE(sameValue(0.25, cell(0, 3)));
    EXPECT_TRUE(sameValue(1.0, cell(1, 3)));
    EXPECT_TRUE(sameValue(-1.0, cell(2, 3)));
    EXPECT_TRUE(sameValue(-1.0, cell(3, 3)));
}

TEST_P(FieldCalculatorWalk, TargetReadsItsOldValueBeforeItIsWritten)
{
    FieldCalculation sum{CalculatorMode::Operate, "A", "A", "A", Operation::Add, Transform::Abs};
    EXPECT_EQ(run(sum).rowsWritten, 4u);
    FieldCalculation scale{CalculatorMode::Transform, "A", "A", "", Operation::Add, Transform::Mul10};
    EXPECT_FALSE(run(scale).failedRow);
    for (std::size_t row = 0; row < 4; ++row)
        EXPECT_TRUE(sameValue(20.0 * static_cast<double>(row + 1), cell(row, 0))) << row;
}

TEST_P(FieldCalculatorWalk, EmptyOperandReadsAsZeroAndCopyCopies)
{
    EXPECT_FALSE(run(copyOf("R", "B")).failedRow);
    EXPECT_TRUE(sameValue(4.0, cell(0, 3)));
    EXPECT_TRUE(sameValue(0.0, cell(3, 3)));
}

TEST_P(FieldCalculatorWalk, NonFloatTargetsTakeTheStoreConversion)
{
    EXPECT_FALSE(run(copyOf("I", "H")).failedRow);
    const std::int64_t halvesToEven[] = {0, 2, 2, -2};
    for (std::size_t row = 0; row < 4; ++row)
        EXPECT_EQ(cell(row, 4), Value(halvesToEven[row])) << row;
    FieldCalculation text{CalculatorMode::Operate, "T", "A", "B", Operation::Divide, Transform::Abs};
    EXPECT_EQ(run(text).failedRow, std::optional<std::size_t>(2));
    EXPECT_EQ(cell(0, 6), Value(std::string("0.25")));
    EXPECT_EQ(cell(1, 6), Value(std::string("1")));

    const auto before = allRecords(path);
    EXPECT_THROW(run(copyOf("D", "A")), TableError);
    EXPECT_THROW(run(copyOf("无此字段", "A")), TableError);
    EXPECT_THROW(run({CalculatorMode::Operate, "R", "A", "无此字段", Operation::Add, Transform::Abs}), TableError);
    EXPECT_EQ(allRecords(path).size(), before.size());
    for (std::size_t row = 0; row < before.size(); ++row)
        for (std::size_t f = 0; f < before[row].size(); ++f)
            EXPECT_TRUE(sameValue(before[row][f], allRecords(path)[row][f]));
}

TEST_P(FieldCalculatorWalk, ValueTheTargetCannotHoldStopsAtItsRowNamingIt)
{
    Table t = Table::open(path);
    t.moveTo(1);
    t.setValue("A", 3e9);
    t.post();
    try {
        computeField(t, copyOf("I", "A"));
        FAIL() << "an integer beyond 32 bits was stored";
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find("row 2"), std::string::npos) << e.what();
    }
    t.close();
    EXPECT_EQ(cell(0, 4), Value(std::int64_t{1}));
    EXPECT_TRUE(isNull(cell(1, 4)));
}

}  // namespace
}  // namespace zandor::tables
